-- Question types in the order the dialogs list them; 类型说明 is shown above
-- the first question of each run of the type, right after the type's name.
-- Each part of a full paper has a type of its own, so that a whole paper's mix
-- can be drawn and every part is shown under its own instruction; the points
-- add up to 100 for a paper of 20, 40, 15, 40 and 20 questions.
INSERT INTO 类型说明 VALUES ('常识判断', '：根据题目要求，在四个选项中选出一项最恰当的答案。', 0.6);
INSERT INTO 类型说明 VALUES ('言语理解与表达', '：本部分考查对语言文字的理解和运用。每道题给出一段文字或一个句子，请根据题目要求，在四个选项中选出一项最恰当的答案。', 0.7);
INSERT INTO 类型说明 VALUES ('数量关系', '：每道题给出一段表述数量关系的文字，请准确、迅速地计算出答案。', 0.8);
INSERT INTO 类型说明 VALUES ('判断推理', '：本部分包括图形推理、定义判断、类比推理和逻辑判断四种题目。请根据每道题的要求，在四个选项中选出一项最恰当的答案。', 0.7);
INSERT INTO 类型说明 VALUES ('资料分析', '：每组资料后有五道题。请根据资料给出的文字、表格或图形进行分析、比较和计算，在四个选项中选出一项最恰当的答案。', 1);
INSERT INTO 类型说明 VALUES ('申论', '：请认真阅读给定资料，按照作答要求作答。点每题后的“作答”在程序中写答案，提交后对照参考要点估分。', 0);
INSERT INTO 类型说明 VALUES ('单项选择题', '：每小题给出的四个选项中，只有一项最符合题意，请将其选出。', 0.8);
INSERT INTO 类型说明 VALUES ('多项选择题', '：每小题给出的备选项中，有两项或两项以上符合题意，请将其全部选出。多选、少选或错选，该题均不得分。', 1.5);
INSERT INTO 类型说明 VALUES ('判断题', '：请判断下列各题的表述是否正确。认为正确的选“正确”，认为错误的选“错误”。', 0.5);
INSERT INTO 类型说明 VALUES ('资料分析题', '：每组资料后附有若干问题，请根据资料提供的信息进行分析、比较、计算和判断，从每题的备选项中选出最恰当的一项。', 1);
