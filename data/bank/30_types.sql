-- Question types in the order the dialogs list them; 类型说明 is shown above
-- the first question of each run of the type, right after the type's name.
INSERT INTO 类型说明 VALUES ('单项选择题', '：每小题给出的四个选项中，只有一项最符合题意，请将其选出。', 0.8);
INSERT INTO 类型说明 VALUES ('多项选择题', '：每小题给出的备选项中，有两项或两项以上符合题意，请将其全部选出。多选、少选或错选，该题均不得分。', 1.5);
INSERT INTO 类型说明 VALUES ('判断题', '：请判断下列各题的表述是否正确。认为正确的选“正确”，认为错误的选“错误”。', 0.5);
INSERT INTO 类型说明 VALUES ('资料分析题', '：每组资料后附有若干问题，请根据资料提供的信息进行分析、比较、计算和判断，从每题的备选项中选出最恰当的一项。', 1);
