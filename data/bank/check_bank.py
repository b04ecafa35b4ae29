#!/usr/bin/env python3
"""Load schema.sql and the bank files into memory and check the data rules the
program relies on. Usage: check_bank.py [bank_dir]. Exit status 1 on any fault."""
import glob, os, sqlite3, string, sys
from collections import Counter

DIR = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
TYPES = {'单项选择题': 'single', '多项选择题': 'multi', '判断题': 'tf', '资料分析题': 'data'}
KEYS = {'字体', '字号', '工具栏字号', '颜色', '背景色', '行间距', '软件品牌', '软件区域', '资源信息',
        '广告位1', '广告位2', '广告位3', '招考信息', '职位查询', '讨论区', '考试网站'}
faults = []
def fault(msg): faults.append(msg)

db = sqlite3.connect(':memory:')
for path in [os.path.join(DIR, 'schema.sql')] + sorted(
        p for p in glob.glob(os.path.join(DIR, '*.sql')) if not p.endswith('schema.sql')):
    with open(path, encoding='utf-8') as f:
        db.executescript(f.read().replace('@PORTAL@', 'http://127.0.0.1:8901'))
x = lambda sql, *a: db.execute(sql, a).fetchall()

# Category tree: level of every node, sources, subjects under 编号 1.
parent = dict(x('SELECT 编号, 父级编号 FROM 题目类别'))
def level(c, depth=0):
    return depth if parent.get(c, 0) == 0 else (99 if depth > 5 else level(parent[c], depth + 1))
lv = {c: level(c) for c in parent}
if max(lv.values()) > 2: fault('category tree deeper than 3 levels')
roots = x('SELECT 编号, 属性 FROM 题目类别 WHERE 父级编号 = 0 ORDER BY rowid')
if not roots or roots[0] != (1, '0'): fault('first root must be 编号 1 with 属性 0')
if sum(a == '0' for _, a in roots) < 2 or not any(a != '0' for _, a in roots):
    fault('need two source roots and one non-source root')
subjects = {n for (n,) in x('SELECT 名称 FROM 题目类别 WHERE 父级编号 = 1')}
for (n,) in x('SELECT 名称 FROM 题目类别 WHERE 编号 IN (%s)' % ','.join(str(c) for c in lv if lv[c] == 1)):
    if n not in subjects: fault(f'subject {n} not among the children of 编号 1')
if len(subjects) < 3: fault('fewer than three subjects')
first = 1
for _ in range(2):
    kids = x('SELECT 编号 FROM 题目类别 WHERE 父级编号 = ? ORDER BY rowid LIMIT 1', first)
    first = kids[0][0] if kids else None
    if first is None: break
if first is None or lv.get(first) != 2 or not x('SELECT 1 FROM 小题 WHERE 所属编号 = ?', first):
    fault('first root → first child → first child is not a section with questions')

# Questions.
typenames = [t for (t,) in x('SELECT 题目类型 FROM 类型说明 ORDER BY rowid')]
if set(TYPES) - set(typenames): fault('missing question types')
# Options each choice type's questions carry, from the type instructions: four for
# single choice ("四个选项"), 正确/错误 for true/false; the multiple-choice and data
# questions have always been written with four.
OPTION_COUNT = {'单项选择题': 4, '多项选择题': 4, '判断题': 2, '资料分析题': 4}
opts = {}
for big, no, n in x('SELECT 大题号, 小题号, COUNT(*) FROM 答案选项 GROUP BY 大题号, 小题号'):
    opts[no] = (big, n)
qs = x('SELECT 小题号, 大题号, 所属编号, 题目类型, 答案, 是否单项 FROM 小题 ORDER BY rowid')
for no, big, sec, typ, ans, multi in qs:
    where = f'question {no}'
    if lv.get(sec) != 2: fault(f'{where}: 所属编号 {sec} is not a section')
    if typ and typ not in typenames: fault(f'{where}: unknown type {typ}')
    kind = TYPES.get(typ)
    if no in opts and opts[no][0] != big: fault(f'{where}: option rows carry 大题号 {opts[no][0]}')
    n = opts.get(no, (0, 0))[1]
    if not typ:
        if n or ans: fault(f'{where}: plain item with options or answer')
        continue
    if kind != 'data' and big != no: fault(f'{where}: stand-alone question with 大题号 {big}')
    if n == 0:
        fault(f'{where}: {typ} without options')
        continue
    if typ in OPTION_COUNT and n != OPTION_COUNT[typ]:
        fault(f'{where}: {n} options, {typ} has {OPTION_COUNT[typ]}')
    # The page shows the key as stored and grading compares it with the ticked
    # letters in option order (A = first by 答案编号), so it must be that string.
    letters = string.ascii_uppercase[:n]
    if not ans or any(c not in letters for c in ans) or ''.join(sorted(set(ans))) != ans:
        fault(f'{where}: key {ans!r} is not upper-case letters in order among {letters}')
    # The page draws radio buttons when 是否单项 is 0 and check boxes for any other
    # value: a one-letter key needs 0, a longer one check boxes, stored as 1.
    if len(ans) == 1 and multi != 0: fault(f'{where}: one-letter key {ans!r} with 是否单项 {multi} (check boxes)')
    if len(ans) > 1 and multi != 1: fault(f'{where}: key {ans!r} needs check boxes, 是否单项 1, not {multi}')
    if kind in ('single', 'data', 'tf') and len(ans) != 1: fault(f'{where}: {typ} with key {ans!r}')
    if kind == 'multi' and len(ans) < 2: fault(f'{where}: {typ} with key {ans!r}')
stems = Counter(t for (t,) in x("SELECT 题目内容 FROM 小题 WHERE 题目内容 <> ''"))
for stem, cnt in stems.items():
    if cnt > 1:
        nos = [no for (no,) in x('SELECT 小题号 FROM 小题 WHERE 题目内容 = ? ORDER BY rowid', stem)]
        fault(f'questions {", ".join(map(str, nos))}: same 题目内容')

# Data-analysis groups: head exists, 3–5 members, all of the type, stem present.
groups = x("SELECT 大题号, COUNT(*), SUM(题目类型 = '资料分析题'), MIN(小题号), COUNT(DISTINCT 所属编号) "
           "FROM 小题 WHERE 大题号 IN (SELECT 大题号 FROM 小题 WHERE 题目类型 = '资料分析题') GROUP BY 大题号")
for big, cnt, ndata, head, nsec in groups:
    if head != big or not (3 <= cnt <= 5) or ndata != cnt or nsec != 1:
        fault(f'group {big}: head/size/type/section wrong ({cnt} members)')
    if not x('SELECT 1 FROM 大题 WHERE 大题号 = ? AND 大题内容 <> \'\'', big): fault(f'group {big}: no stem')
if len(groups) < 5: fault('fewer than five data-analysis groups')

# Techniques, settings.
tparent = dict(x('SELECT 编号, 父级编号 FROM 试题技巧'))
for (owner,) in x('SELECT 所属编号 FROM 技巧说明'):
    if owner not in tparent: fault(f'article owner {owner} missing')
if any(p and p not in tparent for p in tparent.values()): fault('technique tree has a dangling parent')
keys = [k for (k,) in x('SELECT 参数名 FROM 系统参数')]
if len(keys) != 16 or set(keys) != KEYS: fault('系统参数 must hold exactly the sixteen keys')
if x('SELECT 1 FROM 测试结果') or x('SELECT 1 FROM 测试题目'): fault('test history must ship empty')

print('categories per level:', dict(sorted(Counter(lv.values()).items())))
print('questions per type:', dict(Counter(t or '(plain)' for _, _, _, t, _, _ in qs)), 'total', len(qs))
print('groups:', len(groups), ' articles:', x('SELECT COUNT(*) FROM 技巧说明')[0][0])
for m in faults: print('FAULT:', m)
sys.exit(1 if faults else 0)
