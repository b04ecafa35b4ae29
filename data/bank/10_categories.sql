-- Category tree: source → subject → section. Rows are inserted in display order,
-- because the program lists siblings in rowid order. Subject names under 编号 1 are
-- the subject list of the dialogs; other roots reuse the same names.
-- 属性 '0' marks a mock-exam source; children inherit their root's value.
-- Three full papers in the exam's part order, the 申论 sets, then practice by topic.

INSERT INTO 题目类别 VALUES (1, '行测模拟试卷（一）', 0, '0');
INSERT INTO 题目类别 VALUES (11, '常识判断', 1, '0');
INSERT INTO 题目类别 VALUES (101, '政治经济', 11, '0');
INSERT INTO 题目类别 VALUES (102, '法律常识', 11, '0');
INSERT INTO 题目类别 VALUES (103, '人文科技', 11, '0');
INSERT INTO 题目类别 VALUES (12, '言语理解与表达', 1, '0');
INSERT INTO 题目类别 VALUES (104, '逻辑填空', 12, '0');
INSERT INTO 题目类别 VALUES (105, '片段阅读', 12, '0');
INSERT INTO 题目类别 VALUES (106, '语句表达', 12, '0');
INSERT INTO 题目类别 VALUES (13, '数量关系', 1, '0');
INSERT INTO 题目类别 VALUES (107, '数学运算', 13, '0');
INSERT INTO 题目类别 VALUES (14, '判断推理', 1, '0');
INSERT INTO 题目类别 VALUES (108, '图形推理', 14, '0');
INSERT INTO 题目类别 VALUES (109, '定义判断', 14, '0');
INSERT INTO 题目类别 VALUES (110, '类比推理', 14, '0');
INSERT INTO 题目类别 VALUES (111, '逻辑判断', 14, '0');
INSERT INTO 题目类别 VALUES (15, '资料分析', 1, '0');
INSERT INTO 题目类别 VALUES (112, '材料一', 15, '0');
INSERT INTO 题目类别 VALUES (113, '材料二', 15, '0');
INSERT INTO 题目类别 VALUES (114, '材料三', 15, '0');
INSERT INTO 题目类别 VALUES (115, '材料四', 15, '0');

INSERT INTO 题目类别 VALUES (2, '行测模拟试卷（二）', 0, '0');
INSERT INTO 题目类别 VALUES (21, '常识判断', 2, '0');
INSERT INTO 题目类别 VALUES (201, '政治经济', 21, '0');
INSERT INTO 题目类别 VALUES (202, '法律常识', 21, '0');
INSERT INTO 题目类别 VALUES (203, '人文科技', 21, '0');
INSERT INTO 题目类别 VALUES (22, '言语理解与表达', 2, '0');
INSERT INTO 题目类别 VALUES (204, '逻辑填空', 22, '0');
INSERT INTO 题目类别 VALUES (205, '片段阅读', 22, '0');
INSERT INTO 题目类别 VALUES (206, '语句表达', 22, '0');
INSERT INTO 题目类别 VALUES (23, '数量关系', 2, '0');
INSERT INTO 题目类别 VALUES (207, '数学运算', 23, '0');
INSERT INTO 题目类别 VALUES (24, '判断推理', 2, '0');
INSERT INTO 题目类别 VALUES (208, '图形推理', 24, '0');
INSERT INTO 题目类别 VALUES (209, '定义判断', 24, '0');
INSERT INTO 题目类别 VALUES (210, '类比推理', 24, '0');
INSERT INTO 题目类别 VALUES (211, '逻辑判断', 24, '0');
INSERT INTO 题目类别 VALUES (25, '资料分析', 2, '0');
INSERT INTO 题目类别 VALUES (212, '材料一', 25, '0');
INSERT INTO 题目类别 VALUES (213, '材料二', 25, '0');
INSERT INTO 题目类别 VALUES (214, '材料三', 25, '0');
INSERT INTO 题目类别 VALUES (215, '材料四', 25, '0');

INSERT INTO 题目类别 VALUES (3, '行测模拟试卷（三）', 0, '0');
INSERT INTO 题目类别 VALUES (31, '常识判断', 3, '0');
INSERT INTO 题目类别 VALUES (301, '政治经济', 31, '0');
INSERT INTO 题目类别 VALUES (302, '法律常识', 31, '0');
INSERT INTO 题目类别 VALUES (303, '人文科技', 31, '0');
INSERT INTO 题目类别 VALUES (32, '言语理解与表达', 3, '0');
INSERT INTO 题目类别 VALUES (304, '逻辑填空', 32, '0');
INSERT INTO 题目类别 VALUES (305, '片段阅读', 32, '0');
INSERT INTO 题目类别 VALUES (306, '语句表达', 32, '0');
INSERT INTO 题目类别 VALUES (33, '数量关系', 3, '0');
INSERT INTO 题目类别 VALUES (307, '数学运算', 33, '0');
INSERT INTO 题目类别 VALUES (34, '判断推理', 3, '0');
INSERT INTO 题目类别 VALUES (308, '图形推理', 34, '0');
INSERT INTO 题目类别 VALUES (309, '定义判断', 34, '0');
INSERT INTO 题目类别 VALUES (310, '类比推理', 34, '0');
INSERT INTO 题目类别 VALUES (311, '逻辑判断', 34, '0');
INSERT INTO 题目类别 VALUES (35, '资料分析', 3, '0');
INSERT INTO 题目类别 VALUES (312, '材料一', 35, '0');
INSERT INTO 题目类别 VALUES (313, '材料二', 35, '0');
INSERT INTO 题目类别 VALUES (314, '材料三', 35, '0');
INSERT INTO 题目类别 VALUES (315, '材料四', 35, '0');

-- 申论 is not drawn by subject in the mock exam; its sets are read and timed whole.
INSERT INTO 题目类别 VALUES (4, '申论模拟试卷', 0, '0');
INSERT INTO 题目类别 VALUES (41, '申论', 4, '0');
INSERT INTO 题目类别 VALUES (401, '第一套', 41, '0');
INSERT INTO 题目类别 VALUES (402, '第二套', 41, '0');

INSERT INTO 题目类别 VALUES (5, '专项训练', 0, '1');
INSERT INTO 题目类别 VALUES (51, '言语理解与表达', 5, '1');
INSERT INTO 题目类别 VALUES (511, '逻辑填空', 51, '1');
INSERT INTO 题目类别 VALUES (512, '片段阅读', 51, '1');
INSERT INTO 题目类别 VALUES (513, '病句辨析', 51, '1');
INSERT INTO 题目类别 VALUES (52, '数量关系', 5, '1');
INSERT INTO 题目类别 VALUES (521, '数学运算', 52, '1');
INSERT INTO 题目类别 VALUES (522, '数字推理', 52, '1');
INSERT INTO 题目类别 VALUES (523, '工程与行程问题', 52, '1');
INSERT INTO 题目类别 VALUES (53, '判断推理', 5, '1');
INSERT INTO 题目类别 VALUES (531, '逻辑判断', 53, '1');
INSERT INTO 题目类别 VALUES (532, '定义判断', 53, '1');
INSERT INTO 题目类别 VALUES (533, '类比推理', 53, '1');
INSERT INTO 题目类别 VALUES (54, '资料分析', 5, '1');
INSERT INTO 题目类别 VALUES (541, '综合资料', 54, '1');
INSERT INTO 题目类别 VALUES (542, '增长率专项', 54, '1');
INSERT INTO 题目类别 VALUES (55, '常识判断', 5, '1');
INSERT INTO 题目类别 VALUES (551, '法律常识', 55, '1');
INSERT INTO 题目类别 VALUES (552, '科技人文常识', 55, '1');
INSERT INTO 题目类别 VALUES (553, '常识综合', 55, '1');
