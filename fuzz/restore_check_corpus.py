#!/usr/bin/env python3
"""Writes the seed banks of fuzz_restore_check into fuzz/corpus/restore_check/.

Each seed is schema.sql plus a few statements, in 512-byte pages so that it
stays small, behind our 4096-byte header (the verifier bytes are left zero:
the target opens the header itself, as a restore does).
"""
import os
import sqlite3
import tempfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(TOP, "fuzz", "corpus", "restore_check")
MAGIC = b"Quillora ExamDB\0"

SEEDS = {
    "sound": "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
             "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);"
             "INSERT INTO 大题 VALUES(1,'材料');INSERT INTO 小题 VALUES(1,1,101,'单项选择题','题','A','',0,0);"
             "INSERT INTO 答案选项 VALUES(1,1,1,'A');INSERT INTO 试题技巧 VALUES(1,'技巧',0);",
    # 4294967297 reads as the int 1: its own parent, and the tree doubles at every level.
    "colliding_ids": "INSERT INTO 题目类别 VALUES(1,'源',0,'0');"
                     "INSERT INTO 题目类别 VALUES(4294967297,'撞号',1,NULL);"
                     "INSERT INTO 题目类别 VALUES(8589934593,'又撞',4294967297,NULL);",
    "cycle": "INSERT INTO 题目类别 VALUES(40,'甲',41,NULL);INSERT INTO 题目类别 VALUES(41,'乙',40,NULL);",
    "trigger": "CREATE TRIGGER 清空 AFTER UPDATE ON 小题 BEGIN DELETE FROM 测试结果; END;",
    "reserved_columns": "CREATE TABLE 复习卡片(小题号 INTEGER, 下次 TEXT);",
}


def main():
    schema = open(os.path.join(TOP, "data", "bank", "schema.sql"), encoding="utf-8").read()
    os.makedirs(OUT, exist_ok=True)
    for name, sql in SEEDS.items():
        with tempfile.TemporaryDirectory() as tmp:
            image = os.path.join(tmp, "image.db")
            db = sqlite3.connect(image)
            db.executescript("PRAGMA page_size=512; PRAGMA journal_mode=DELETE;")
            db.executescript(schema)
            db.executescript(sql)
            db.commit()
            db.execute("VACUUM")
            db.close()
            header = MAGIC + bytes(4096 - len(MAGIC))
            with open(image, "rb") as f, open(os.path.join(OUT, name), "wb") as out:
                out.write(header + f.read())


if __name__ == "__main__":
    main()
