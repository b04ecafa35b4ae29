-- Category tree: source → subject → section. Rows are inserted in display order,
-- because the program lists siblings in rowid order. Subject names under 编号 1 are
-- the subject list of the dialogs; other roots reuse the same names.
-- 属性 '0' marks a mock-exam source; children inherit their root's value.

INSERT INTO 题目类别 VALUES (1, '2024年模拟试卷', 0, '0');
INSERT INTO 题目类别 VALUES (11, '言语理解与表达', 1, '0');
INSERT INTO 题目类别 VALUES (101, '逻辑填空', 11, '0');
INSERT INTO 题目类别 VALUES (102, '片段阅读', 11, '0');
INSERT INTO 题目类别 VALUES (12, '数量关系', 1, '0');
INSERT INTO 题目类别 VALUES (111, '数学运算', 12, '0');
INSERT INTO 题目类别 VALUES (112, '数字推理', 12, '0');
INSERT INTO 题目类别 VALUES (13, '判断推理', 1, '0');
INSERT INTO 题目类别 VALUES (121, '逻辑判断', 13, '0');
INSERT INTO 题目类别 VALUES (122, '定义判断', 13, '0');
INSERT INTO 题目类别 VALUES (14, '资料分析', 1, '0');
INSERT INTO 题目类别 VALUES (131, '综合资料', 14, '0');
INSERT INTO 题目类别 VALUES (15, '常识判断', 1, '0');
INSERT INTO 题目类别 VALUES (141, '法律常识', 15, '0');
INSERT INTO 题目类别 VALUES (142, '科技人文常识', 15, '0');

INSERT INTO 题目类别 VALUES (2, '2023年模拟试卷', 0, '0');
INSERT INTO 题目类别 VALUES (21, '言语理解与表达', 2, '0');
INSERT INTO 题目类别 VALUES (201, '逻辑填空', 21, '0');
INSERT INTO 题目类别 VALUES (22, '数量关系', 2, '0');
INSERT INTO 题目类别 VALUES (211, '数学运算', 22, '0');
INSERT INTO 题目类别 VALUES (23, '判断推理', 2, '0');
INSERT INTO 题目类别 VALUES (221, '逻辑判断', 23, '0');
INSERT INTO 题目类别 VALUES (24, '资料分析', 2, '0');
INSERT INTO 题目类别 VALUES (231, '综合资料', 24, '0');
INSERT INTO 题目类别 VALUES (25, '常识判断', 2, '0');
INSERT INTO 题目类别 VALUES (241, '常识综合', 25, '0');

INSERT INTO 题目类别 VALUES (3, '专项训练', 0, '1');
INSERT INTO 题目类别 VALUES (31, '言语理解与表达', 3, '1');
INSERT INTO 题目类别 VALUES (301, '病句辨析', 31, '1');
INSERT INTO 题目类别 VALUES (32, '数量关系', 3, '1');
INSERT INTO 题目类别 VALUES (311, '工程与行程问题', 32, '1');
INSERT INTO 题目类别 VALUES (33, '判断推理', 3, '1');
INSERT INTO 题目类别 VALUES (321, '类比推理', 33, '1');
INSERT INTO 题目类别 VALUES (34, '资料分析', 3, '1');
INSERT INTO 题目类别 VALUES (331, '增长率专项', 34, '1');
