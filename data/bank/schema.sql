-- Schema of exam.db. Row order without ORDER BY is the rowid order of each table,
-- which the program shows as is; every table therefore keeps an implicit rowid.

CREATE TABLE 题目类别 (
  编号     INTEGER PRIMARY KEY,
  名称     TEXT NOT NULL DEFAULT '',
  父级编号 INTEGER NOT NULL DEFAULT 0,
  属性     TEXT
);
CREATE INDEX 题目类别_父级编号 ON 题目类别(父级编号);

CREATE TABLE 类型说明 (
  题目类型 TEXT NOT NULL,
  类型说明 TEXT,
  分数     REAL NOT NULL DEFAULT 0
);
CREATE INDEX 类型说明_题目类型 ON 类型说明(题目类型);

CREATE TABLE 大题 (
  大题号   INTEGER PRIMARY KEY,
  大题内容 TEXT
);

CREATE TABLE 小题 (
  小题号   INTEGER PRIMARY KEY,
  大题号   INTEGER NOT NULL,
  所属编号 INTEGER NOT NULL,
  题目类型 TEXT,
  题目内容 TEXT,
  答案     TEXT,
  解释     TEXT,
  是否单项 INTEGER NOT NULL DEFAULT 0,
  是否收藏 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX 小题_大题号 ON 小题(大题号);
CREATE INDEX 小题_所属编号 ON 小题(所属编号);

CREATE TABLE 答案选项 (
  大题号   INTEGER NOT NULL,
  小题号   INTEGER NOT NULL,
  答案编号 INTEGER NOT NULL,
  答题选项 TEXT
);
CREATE INDEX 答案选项_题号 ON 答案选项(大题号, 小题号, 答案编号);

CREATE TABLE 试题技巧 (
  编号     INTEGER PRIMARY KEY,
  名称     TEXT NOT NULL DEFAULT '',
  父级编号 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX 试题技巧_父级编号 ON 试题技巧(父级编号);

CREATE TABLE 技巧说明 (
  所属编号 INTEGER NOT NULL,
  技巧内容 TEXT
);
CREATE INDEX 技巧说明_所属编号 ON 技巧说明(所属编号);

-- 编号 is assigned by the engine and never reused, so history rows never swap owners.
CREATE TABLE 测试结果 (
  编号     INTEGER PRIMARY KEY AUTOINCREMENT,
  试题数   INTEGER NOT NULL DEFAULT 0,
  答对     INTEGER NOT NULL DEFAULT 0,
  总分     REAL NOT NULL DEFAULT 0,
  得分     REAL NOT NULL DEFAULT 0,
  正确率   REAL NOT NULL DEFAULT 0,
  测试时间 TEXT NOT NULL
);

CREATE TABLE 测试题目 (
  测试编号 INTEGER NOT NULL,
  小题号   INTEGER NOT NULL,
  回答正确 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX 测试题目_测试编号 ON 测试题目(测试编号);

CREATE TABLE 系统参数 (
  参数名 TEXT NOT NULL,
  参数值 TEXT
);
CREATE INDEX 系统参数_参数名 ON 系统参数(参数名);

-- Pictures an import brought in, named "<sha256>.<ext>" of their bytes; the
-- program writes them to images/bank/ for the pages. Made at first use in a
-- bank that lacks it.
CREATE TABLE IF NOT EXISTS 图片 (
  名称 TEXT PRIMARY KEY,
  数据 BLOB NOT NULL
);

-- A saved timed exam: its limit, the time used and whether it ran out (是否超时
-- 1). Per question of it: the letters ticked (empty: none) and the seconds spent.
-- Made at the first save of a timed exam in a bank that lacks them.
CREATE TABLE IF NOT EXISTS 测试计时 (
  测试编号 INTEGER PRIMARY KEY,
  限时秒数 INTEGER NOT NULL,
  用时秒数 INTEGER NOT NULL,
  是否超时 INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS 测试作答 (
  测试编号 INTEGER NOT NULL,
  小题号   INTEGER NOT NULL,
  作答     TEXT NOT NULL DEFAULT '',
  用时秒数 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS 测试作答_测试编号 ON 测试作答(测试编号);

-- The wrong-question notebook: per question its review schedule (FSRS-5; 状态
-- 0 new, 1 learning, 2 review, 3 relearning; times as 测试时间 writes them),
-- and every rating given (评分 1 again, 2 hard, 3 good, 4 easy; 间隔天数 the
-- time to the card's next due). Made at the first grading that rates a card.
CREATE TABLE IF NOT EXISTS 复习卡片 (
  小题号   INTEGER PRIMARY KEY,
  状态     INTEGER NOT NULL,
  稳定度   REAL NOT NULL,
  难度     REAL NOT NULL,
  到期时间 TEXT NOT NULL,
  上次复习 TEXT NOT NULL,
  复习次数 INTEGER NOT NULL DEFAULT 0,
  遗忘次数 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS 复习卡片_到期时间 ON 复习卡片(到期时间);
CREATE TABLE IF NOT EXISTS 复习记录 (
  记录编号 INTEGER PRIMARY KEY AUTOINCREMENT,
  小题号   INTEGER NOT NULL,
  评分     INTEGER NOT NULL,
  复习时间 TEXT NOT NULL,
  间隔天数 REAL NOT NULL
);
CREATE INDEX IF NOT EXISTS 复习记录_小题号 ON 复习记录(小题号);

-- Summaries the statistics read instead of every saved answer: per test and
-- type the questions and right answers; per subject (by name) and per type
-- of the timed exams' answers, totals; per question its wrong answers. Brought
-- up to date with the tests saved since the last look.
CREATE TABLE IF NOT EXISTS 测试汇总 (
  测试编号 INTEGER NOT NULL,
  题目类型 TEXT NOT NULL,
  题数     INTEGER NOT NULL,
  答对     INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS 测试汇总_测试编号 ON 测试汇总(测试编号);
CREATE TABLE IF NOT EXISTS 科目汇总 (
  科目 TEXT PRIMARY KEY,
  题数 INTEGER NOT NULL,
  答对 INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS 用时汇总 (
  题目类型 TEXT PRIMARY KEY,
  秒数     REAL NOT NULL,
  题数     INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS 错题汇总 (
  小题号 INTEGER PRIMARY KEY,
  次数   INTEGER NOT NULL
);

-- Each question judged while practising (练习模式): counted by the statistics
-- beside the saved tests.
CREATE TABLE IF NOT EXISTS 练习记录 (
  小题号   INTEGER NOT NULL,
  答对     INTEGER NOT NULL,
  练习时间 TEXT NOT NULL
);

-- Every attempt at a 申论 task, saved as it is typed; 估分 once submitted.
CREATE TABLE IF NOT EXISTS 申论作答 (
  作答编号 INTEGER PRIMARY KEY AUTOINCREMENT,
  小题号   INTEGER NOT NULL,
  开始时间 TEXT NOT NULL,
  保存时间 TEXT NOT NULL,
  用时秒数 INTEGER NOT NULL DEFAULT 0,
  作答     TEXT NOT NULL DEFAULT '',
  字数     INTEGER NOT NULL DEFAULT 0,
  估分     REAL,
  满分     REAL NOT NULL DEFAULT 0,
  任务类型 TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS 申论作答_小题号 ON 申论作答(小题号);
