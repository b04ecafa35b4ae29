#!/usr/bin/env python3
"""Load schema.sql and the bank files into memory and check the data rules the
program relies on. Usage: check_bank.py [bank_dir]. Exit status 1 on any fault."""
import glob, hashlib, json, math, os, re, sqlite3, string, sys
from fractions import Fraction
from collections import Counter

DIR = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
TYPES = {'单项选择题': 'single', '多项选择题': 'multi', '判断题': 'tf', '资料分析题': 'data',
         '常识判断': 'single', '言语理解与表达': 'single', '数量关系': 'single', '判断推理': 'single',
         '资料分析': 'data', '申论': 'essay'}
KEYS = {'字体', '字号', '工具栏字号', '颜色', '背景色', '行间距', '软件品牌', '软件区域', '资源信息',
        '广告位1', '广告位2', '广告位3', '招考信息', '职位查询', '讨论区', '考试网站'}
faults = []
def fault(msg): faults.append(msg)

db = sqlite3.connect(':memory:')
file_of = {}  # question id -> the file that holds it
for path in [os.path.join(DIR, 'schema.sql')] + sorted(
        p for p in glob.glob(os.path.join(DIR, '*.sql')) if not p.endswith('schema.sql')):
    with open(path, encoding='utf-8') as f:
        db.executescript(f.read().replace('@PORTAL@', 'http://127.0.0.1:8901'))
    for (no,) in db.execute('SELECT 小题号 FROM 小题'): file_of.setdefault(no, os.path.basename(path))
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
# 申论 has a source of its own and is not drawn by subject.
for (n,) in x('SELECT 名称 FROM 题目类别 WHERE 编号 IN (%s)' % ','.join(str(c) for c in lv if lv[c] == 1)):
    if n not in subjects and n != '申论': fault(f'subject {n} not among the children of 编号 1')
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
OPTION_COUNT = {'单项选择题': 4, '多项选择题': 4, '判断题': 2, '资料分析题': 4,
                '常识判断': 4, '言语理解与表达': 4, '数量关系': 4, '判断推理': 4, '资料分析': 4}
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
    if kind not in ('data', 'essay') and big != no: fault(f'{where}: stand-alone question with 大题号 {big}')
    if kind == 'essay':
        # Answered on paper: no options, no key; grading leaves it out.
        if n or ans or multi != 0: fault(f'{where}: {typ} with options, a key or check boxes')
        continue
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
GROUPED = "('资料分析题', '资料分析', '申论')"
groups = x("SELECT 大题号, COUNT(*), COUNT(DISTINCT 题目类型), MIN(小题号), COUNT(DISTINCT 所属编号) "
           f"FROM 小题 WHERE 大题号 IN (SELECT 大题号 FROM 小题 WHERE 题目类型 IN {GROUPED}) GROUP BY 大题号")
for big, cnt, ntypes, head, nsec in groups:
    if head != big or not (3 <= cnt <= 5) or ntypes != 1 or nsec != 1:
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

# Every text must survive the GBK files the program writes.
for table, cols in [('题目类别', '名称'), ('类型说明', '题目类型, 类型说明'), ('大题', '大题内容'),
                    ('小题', '题目内容, 答案, 解释'), ('答案选项', '答题选项'), ('试题技巧', '名称'),
                    ('技巧说明', '技巧内容')]:
    for row in x(f'SELECT rowid, {cols} FROM {table}'):
        for v in row[1:]:
            try: (v or '').encode('gbk')
            except UnicodeEncodeError as e: fault(f'{table} row {row[0]}: {v[e.start:e.end]!r} is not in GBK')

# Pictures: every one a text shows is in pictures/, named by the SHA-256 of its bytes.
PICS = os.path.join(DIR, 'pictures')
files = set(os.listdir(PICS)) if os.path.isdir(PICS) else set()
for name in files:
    with open(os.path.join(PICS, name), 'rb') as f:
        if name != hashlib.sha256(f.read()).hexdigest() + os.path.splitext(name)[1]:
            fault(f'picture {name}: name is not the SHA-256 of its bytes')
shown = set()
for (t,) in x("SELECT 题目内容 FROM 小题 UNION ALL SELECT 解释 FROM 小题 UNION ALL SELECT 大题内容 FROM 大题 "
              "UNION ALL SELECT 答题选项 FROM 答案选项"):
    shown.update(re.findall(r'\.\./images/bank/([0-9a-f]{64}\.png)', t or ''))
for name in sorted(shown - files): fault(f'picture {name} is shown but missing')
for name in sorted(files - shown): fault(f'picture {name} is shipped but never shown')

# The keys of the full papers are spread over the letters.
paper_keys = Counter(a for (a,) in x(
    "SELECT q.答案 FROM 小题 q JOIN 题目类别 s ON s.编号 = q.所属编号 JOIN 题目类别 j ON j.编号 = s.父级编号 "
    "JOIN 题目类别 r ON r.编号 = j.父级编号 WHERE r.属性 = '0' AND length(q.答案) = 1"))
total_keys = sum(paper_keys.values())
for letter in 'ABCD':
    share = paper_keys[letter] / total_keys if total_keys else 0
    if not 0.22 <= share <= 0.28: fault(f'key {letter} in {share:.0%} of the papers\' single-choice questions')

# A key that is strictly the longest option teaches a candidate to pick the
# longest: per source and section, at most a third of the single-choice
# questions with four options may have one (markup removed, characters counted).
plain = lambda h: re.sub(r'<[^>]*>', '', h or '')
longest = {}
for no, sec, ans, multi in x('SELECT 小题号, 所属编号, 答案, 是否单项 FROM 小题'):
    opts = [plain(o) for (o,) in x('SELECT 答题选项 FROM 答案选项 WHERE 小题号 = ? ORDER BY 答案编号', no)]
    if multi != 0 or len(opts) != 4 or len(ans or '') != 1 or not 'A' <= ans <= 'D': continue
    k = ord(ans) - 65
    root = sec
    while parent.get(root, 0): root = parent[root]
    n, l = longest.get((root, sec), (0, 0))
    longest[(root, sec)] = (n + 1, l + (len(opts[k]) > max(len(o) for j, o in enumerate(opts) if j != k)))
names = dict(x('SELECT 编号, 名称 FROM 题目类别'))
for (root, sec), (n, l) in sorted(longest.items()):
    if l * 3 > n: fault(f'{names[root]}/{names[sec]}: the key is the longest option in {l} of {n}')
for root in sorted({r for r, _ in longest}):
    print(f'key is the longest option, {names[root]}: ' + ', '.join(
        f'{names[sec]} {l}/{n}' for (r, sec), (n, l) in sorted(longest.items()) if r == root and l))
# Each practice file's four-option single-choice keys spread over the letters too.
practice = {}
for no, ans in x("SELECT 小题号, 答案 FROM 小题 q WHERE 是否单项 = 0 AND length(答案) = 1 AND "
                 "(SELECT COUNT(*) FROM 答案选项 o WHERE o.小题号 = q.小题号) = 4"):
    if file_of.get(no, '').startswith('29_practice'): practice.setdefault(file_of[no], Counter())[ans] += 1
for name, keys in sorted(practice.items()):
    total = sum(keys.values())
    for letter in 'ABCD':
        # Within 20–30 %, or as near a quarter as a small file can come.
        if not 0.2 <= keys[letter] / total <= 0.3 and abs(keys[letter] - total / 4) >= 1:
            fault(f'{name}: key {letter} in {keys[letter]} of its {total} single-choice questions')

# Computed keys: checks/*.py give per question an expression of the numbers in
# its text, its group's material or its chart's data; the key must be its value.
def number_of(text):
    m = re.search(r'(-?\d+(?:\.\d+)?)(?:\s*/\s*(\d+(?:\.\d+)?))?', re.sub(r'<[^>]*>', '', text or ''))
    if not m: return None
    return float(m.group(1)) / float(m.group(2)) if m.group(2) else float(m.group(1))
chart_numbers = {}
for path in glob.glob(os.path.join(DIR, 'figures', '*.json')):
    with open(path, encoding='utf-8') as f: desc = json.load(f)
    index_path = path[:-5] + '_index.json'
    if path.endswith('_index.json') or not os.path.exists(index_path): continue
    with open(index_path, encoding='utf-8') as f: index = json.load(f)
    items = desc if isinstance(desc, list) else desc.get('charts', desc.get('figures', list(desc.values())))
    for item in items if isinstance(items, list) else []:
        if isinstance(item, dict) and item.get('id') in index:
            chart_numbers[index[item['id']]] = re.findall(r'-?\d+(?:\.\d+)?', json.dumps(item.get('data', item)))
ENV = {'C': math.comb, 'A': math.perm, 'fact': math.factorial, 'gcd': math.gcd, 'lcm': math.lcm,
       'sqrt': math.sqrt, 'pi': math.pi, 'floor': math.floor, 'ceil': math.ceil, 'Fraction': Fraction,
       'min': min, 'max': max, 'sum': sum, 'range': range, 'round': round, 'abs': abs, 'len': len,
       'all': all, 'any': any}
FREE = {str(n) for n in range(11)} | {'12', '60', '100', '1000', '10000'}
def given_numbers(no, big, numeric):
    # A statement option's threshold ("超过35亿元") is given by the question too.
    texts = [t for (t,) in x('SELECT 题目内容 FROM 小题 WHERE 小题号 = ? UNION ALL '
                             'SELECT 大题内容 FROM 大题 WHERE 大题号 = ? UNION ALL '
                             'SELECT 答题选项 FROM 答案选项 WHERE 小题号 = ? AND ? = 0', no, big, no, numeric)]
    found = set()
    for t in texts:
        plain = re.sub(r'<img[^>]*>', '', t or '').replace(',', '')
        found.update(re.findall(r'\d+(?:\.\d+)?', re.sub(r'<[^>]*>', ' ', plain)))
        for name in re.findall(r'\.\./images/bank/([0-9a-f]{64}\.png)', t or ''):
            found.update(n.lstrip('-') for n in chart_numbers.get(name, []))
    return {n.rstrip('0').rstrip('.') if '.' in n else n for n in found}
checks = {}
for path in sorted(glob.glob(os.path.join(DIR, 'checks', '*.py'))):
    scope = {}
    with open(path, encoding='utf-8') as f: exec(f.read(), scope)
    for no, expr in scope.get('CHECKS', {}).items():
        if no in checks: fault(f'question {no}: checked twice')
        checks[no] = expr
computed = 0
for no, big, typ, ans in x("SELECT 小题号, 大题号, 题目类型, 答案 FROM 小题 WHERE 题目类型 IN ('数量关系', '资料分析')"):
    if no not in checks: fault(f'question {no}: {typ} without a computed key'); continue
    expr = checks.pop(no); near = expr.startswith('~'); expr = expr.lstrip('~')
    try: value = eval(expr, dict(ENV))
    except Exception as e: fault(f'question {no}: check fails: {e}'); continue
    # Options count as given only where the key is computed as a letter: a
    # value's own option must never be quoted.
    given = given_numbers(no, big, 0 if isinstance(value, str) else 1)
    for lit in re.findall(r'(?<![\w.])\d+(?:\.\d+)?', expr):
        norm = lit.rstrip('0').rstrip('.') if '.' in lit else lit
        if norm not in FREE and norm not in given: fault(f'question {no}: {lit} is not a number the question gives')
    computed += 1
    if isinstance(value, str):
        if value != ans: fault(f'question {no}: computed key {value}, stored {ans}')
        continue
    values = [number_of(t) for (t,) in x('SELECT 答题选项 FROM 答案选项 WHERE 小题号 = ? ORDER BY 答案编号', no)]
    if None in values or not ans or ord(ans) - 65 >= len(values): fault(f'question {no}: options are not all numbers'); continue
    value, k = float(value), ord(ans) - 65
    dist = [abs(v - value) for v in values]
    if near: ok = all(dist[k] < d for j, d in enumerate(dist) if j != k)
    else: ok = dist[k] <= 1e-6 * max(1, abs(value)) and all(d > 1e-6 * max(1, abs(value)) for j, d in enumerate(dist) if j != k)
    if not ok: fault(f'question {no}: computed {value:g}, key {ans} is {values[k]:g}')
for no in checks: fault(f'check for question {no}, which is not a 数量关系 or 资料分析 question')

print('categories per level:', dict(sorted(Counter(lv.values()).items())))
print('questions per type:', dict(Counter(t or '(plain)' for _, _, _, t, _, _ in qs)), 'total', len(qs))
print('groups:', len(groups), ' articles:', x('SELECT COUNT(*) FROM 技巧说明')[0][0], ' pictures:', len(files),
      ' computed keys:', computed, ' paper keys:', dict(sorted(paper_keys.items())))
for m in faults: print('FAULT:', m)
sys.exit(1 if faults else 0)
