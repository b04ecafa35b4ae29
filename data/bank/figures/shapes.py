#!/usr/bin/python3
"""Draw the 图形推理 questions described in shapes.json, check each rule against
the geometry, and write the pictures, shapes_index.json and 24_paper_figures.sql.
Any rule that does not hold, or any option other than the key that also fits,
stops the run with an error, so the texts never disagree with the pictures."""
import hashlib, json, math, os, struct, sys, zlib
import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
BANK = os.path.dirname(HERE)
PICS = os.path.join(BANK, 'pictures')
CELL, SCALE, OFF, LW = 90, 0.8, 5, 2.0
TOL = 0.6            # figure units (0..100) allowed between a mapped point and a stroke
FONT = 'WenQuanYi Micro Hei'


def die(msg):
    sys.exit('shapes.py: ' + msg)


# ---------------------------------------------------------------- geometry
# Primitives: ('s', x1, y1, x2, y2) segment; ('a', cx, cy, r, a0, a1) arc in
# degrees, clockwise on screen, a1 > a0 (a full circle spans 360);
# fills: ('fp', [(x, y), ...]) polygon, ('fc', cx, cy, r) disc.

LAT = {i: (15 + 35 * (i % 3), 15 + 35 * (i // 3)) for i in range(9)}


def lat_ok(a, b):
    (ax, ay), (bx, by) = divmod(a, 3)[::-1], divmod(b, 3)[::-1]
    return a != b and abs(ax - bx) <= 1 and abs(ay - by) <= 1


def lat_key(p):
    a, b = sorted((int(p[0]), int(p[1])))
    if not lat_ok(a, b):
        die(f'lattice edge {p} is not between neighbouring points')
    return f'{a}{b}'


def tf_point(x, y, t):
    s = t.get('s', 1.0)
    x, y = 50 + (x - 50) * s, 50 + (y - 50) * s
    if t.get('flip') == 'h': x = 100 - x
    if t.get('flip') == 'v': y = 100 - y
    r = math.radians(t.get('rot', 0))
    dx, dy = x - 50, y - 50
    x, y = 50 + dx * math.cos(r) - dy * math.sin(r), 50 + dx * math.sin(r) + dy * math.cos(r)
    return x + t.get('dx', 0), y + t.get('dy', 0)


def tf_prim(p, t):
    if p[0] == 's':
        return ('s',) + tf_point(p[1], p[2], t) + tf_point(p[3], p[4], t)
    if p[0] == 'fp':
        return ('fp', [tf_point(x, y, t) for x, y in p[1]])
    if p[0] == 'fc':
        return ('fc',) + tf_point(p[1], p[2], t) + (p[3] * t.get('s', 1.0),)
    cx, cy = tf_point(p[1], p[2], t)
    a0, a1 = p[4], p[5]
    if t.get('flip') == 'h': a0, a1 = 180 - a1, 180 - a0
    if t.get('flip') == 'v': a0, a1 = -a1, -a0
    rot = t.get('rot', 0)
    return ('a', cx, cy, p[3] * t.get('s', 1.0), a0 + rot, a1 + rot)


def pts(flat):
    return [(flat[i], flat[i + 1]) for i in range(0, len(flat), 2)]


def reg_pts(cx, cy, r, n, rot):
    return [(cx + r * math.cos(math.radians(-90 + rot + 360 * k / n)),
             cy + r * math.sin(math.radians(-90 + rot + 360 * k / n))) for k in range(n)]


def ring(p):
    return [('s',) + p[i] + p[(i + 1) % len(p)] for i in range(len(p))]


def expand(items, defs, depth=0):
    if depth > 8: die('defs nest too deep')
    out = []
    for it in items:
        k = it[0]
        if k == 's': out.append(('s',) + tuple(it[1:5]))
        elif k == 'pl':
            p = pts(it[1]); out += [('s',) + p[i] + p[i + 1] for i in range(len(p) - 1)]
        elif k == 'pg': out += ring(pts(it[1]))
        elif k == 'rect':
            x, y, w, h = it[1:5]; out += ring([(x, y), (x + w, y), (x + w, y + h), (x, y + h)])
        elif k == 'reg': out += ring(reg_pts(*it[1:6]))
        elif k == 'c': out.append(('a', it[1], it[2], it[3], 0, 360))
        elif k == 'arc': out.append(('a',) + tuple(it[1:6]))
        elif k == 'dot': out.append(('fc', it[1], it[2], it[3]))
        elif k == 'fpg': out.append(('fp', pts(it[1])))
        elif k == 'freg': out.append(('fp', reg_pts(*it[1:6])))
        elif k == 'lat':
            for e in it[1]:
                e = lat_key(e); out.append(('s',) + LAT[int(e[0])] + LAT[int(e[1])])
        elif k == 'use':
            if it[1] not in defs: die(f'unknown def {it[1]}')
            t = it[2] if len(it) > 2 else {}
            out += [tf_prim(p, t) for p in expand(defs[it[1]], defs, depth + 1)]
        else: die(f'unknown item {it!r}')
    return out


def figure_prims(fig, defs):
    prims = expand(fig.get('items', []), defs)
    t = {k: fig[k] for k in ('rot', 'flip', 's', 'dx', 'dy') if k in fig}
    return [tf_prim(p, t) for p in prims] if t else prims


def strokes(prims): return [p for p in prims if p[0] in ('s', 'a')]
def fills(prims): return [p for p in prims if p[0] in ('fp', 'fc')]


def merge_segments(segs):
    """Collinear segments that overlap or touch are one line."""
    groups = {}
    for s in segs:
        x1, y1, x2, y2 = s[1:]
        dx, dy = x2 - x1, y2 - y1
        L = math.hypot(dx, dy)
        if L < 1e-6: die('zero-length segment')
        ux, uy = dx / L, dy / L
        if ux < -1e-9 or (abs(ux) < 1e-9 and uy < 0): ux, uy = -ux, -uy
        off = -uy * x1 + ux * y1
        key = (round(ux, 4), round(uy, 4), round(off, 2))
        t1, t2 = sorted((ux * x1 + uy * y1, ux * x2 + uy * y2))
        groups.setdefault(key, (ux, uy, off, []))[3].append((t1, t2))
    out = []
    for ux, uy, off, iv in groups.values():
        iv.sort()
        cur = list(iv[0])
        for a, b in iv[1:]:
            if a <= cur[1] + 1e-6: cur[1] = max(cur[1], b)
            else: out.append((ux, uy, off, cur)); cur = [a, b]
        out.append((ux, uy, off, cur))
    res = []
    for ux, uy, off, (a, b) in out:
        px, py = -uy * off, ux * off
        res.append(('s', px + ux * a, py + uy * a, px + ux * b, py + uy * b))
    return res


def in_arc(p, ang):
    a0, a1 = p[4], p[5]
    if a1 - a0 >= 360 - 1e-9: return True
    d = (ang - a0) % 360
    return d <= (a1 - a0) + 1e-6 or d >= 360 - 1e-6


def seg_seg(s, t):
    x1, y1, x2, y2 = s[1:]; x3, y3, x4, y4 = t[1:]
    d = (x2 - x1) * (y4 - y3) - (y2 - y1) * (x4 - x3)
    if abs(d) < 1e-9: return []
    u = ((x3 - x1) * (y4 - y3) - (y3 - y1) * (x4 - x3)) / d
    v = ((x3 - x1) * (y2 - y1) - (y3 - y1) * (x2 - x1)) / d
    if -1e-7 <= u <= 1 + 1e-7 and -1e-7 <= v <= 1 + 1e-7:
        return [(x1 + u * (x2 - x1), y1 + u * (y2 - y1))]
    return []


def line_circle(s, cx, cy, r):
    x1, y1, x2, y2 = s[1:]
    dx, dy = x2 - x1, y2 - y1
    a = dx * dx + dy * dy; b = 2 * (dx * (x1 - cx) + dy * (y1 - cy))
    c = (x1 - cx) ** 2 + (y1 - cy) ** 2 - r * r
    disc = b * b - 4 * a * c
    if disc < -1e-6: return []
    disc = math.sqrt(max(disc, 0))
    out = []
    for u in {(-b - disc) / (2 * a), (-b + disc) / (2 * a)}:
        if -1e-7 <= u <= 1 + 1e-7: out.append((x1 + u * dx, y1 + u * dy))
    return out


def seg_arc(s, p):
    return [q for q in line_circle(s, p[1], p[2], p[3])
            if in_arc(p, math.degrees(math.atan2(q[1] - p[2], q[0] - p[1])))]


def arc_arc(p, q):
    (x0, y0, r0), (x1, y1, r1) = p[1:4], q[1:4]
    d = math.hypot(x1 - x0, y1 - y0)
    if d < 1e-9:
        if abs(r0 - r1) < 1e-6: die('two arcs on the same circle')
        return []
    if d > r0 + r1 + 1e-6 or d < abs(r0 - r1) - 1e-6: return []
    a = (r0 * r0 - r1 * r1 + d * d) / (2 * d)
    h = math.sqrt(max(r0 * r0 - a * a, 0))
    mx, my = x0 + a * (x1 - x0) / d, y0 + a * (y1 - y0) / d
    cand = {(mx + h * (y1 - y0) / d, my - h * (x1 - x0) / d), (mx - h * (y1 - y0) / d, my + h * (x1 - x0) / d)}
    ang = lambda c, z: math.degrees(math.atan2(z[1] - c[2], z[0] - c[1]))
    return [z for z in cand if in_arc(p, ang(p, z)) and in_arc(q, ang(q, z))]


def arc_ends(p):
    if p[5] - p[4] >= 360 - 1e-9: return []
    return [(p[1] + p[3] * math.cos(math.radians(a)), p[2] + p[3] * math.sin(math.radians(a))) for a in (p[4], p[5])]


class Graph:
    def __init__(self, prims):
        segs = merge_segments([p for p in prims if p[0] == 's'])
        arcs = [p for p in prims if p[0] == 'a']
        self.lines, self.curves = len(segs), len(arcs)
        ps = segs + arcs
        on = [[] for _ in ps]
        self.vs = []
        def vid(q):
            for i, v in enumerate(self.vs):
                if abs(v[0] - q[0]) < 1e-3 and abs(v[1] - q[1]) < 1e-3: return i
            self.vs.append(q); return len(self.vs) - 1
        cross_cl = set()
        for i, p in enumerate(ps):
            for q in ([p[1:3], p[3:5]] if p[0] == 's' else arc_ends(p)): on[i].append(vid(q))
        for i in range(len(ps)):
            for j in range(i + 1, len(ps)):
                a, b = ps[i], ps[j]
                if a[0] == 's' and b[0] == 's': hit = seg_seg(a, b)
                elif a[0] == 's': hit = seg_arc(a, b)
                elif b[0] == 's': hit = seg_arc(b, a)
                else: hit = arc_arc(a, b)
                if not hit and gap(a, b) < 2.5:
                    die(f'strokes {a} and {b} nearly touch; make them meet or part clearly')
                for q in hit:
                    v = vid(q); on[i].append(v); on[j].append(v)
                    if a[0] != b[0]: cross_cl.add(v)
        self.cross_cl = len(cross_cl)
        edges = []
        for i, p in enumerate(ps):
            vv = sorted(set(on[i]))
            if p[0] == 's':
                x1, y1, x2, y2 = p[1:]
                vv.sort(key=lambda v: (self.vs[v][0] - x1) * (x2 - x1) + (self.vs[v][1] - y1) * (y2 - y1))
                edges += [(vv[k], vv[k + 1]) for k in range(len(vv) - 1)]
            else:
                full = p[5] - p[4] >= 360 - 1e-9
                if not vv: vv = [vid((p[1] + p[3], p[2]))]
                span = p[5] - p[4]
                def ang(v):
                    a = (math.degrees(math.atan2(self.vs[v][1] - p[2], self.vs[v][0] - p[1])) - p[4]) % 360
                    return 0 if (not full and a > span + 1e-3) else a
                vv.sort(key=ang)
                if full: edges += [(vv[k], vv[(k + 1) % len(vv)]) for k in range(len(vv))]
                else: edges += [(vv[k], vv[k + 1]) for k in range(len(vv) - 1)]
        used = sorted({v for e in edges for v in e})
        par = {v: v for v in used}
        def find(v):
            while par[v] != v: par[v] = par[par[v]]; v = par[v]
            return v
        deg = {v: 0 for v in used}
        for a, b in edges:
            deg[a] += 1; deg[b] += 1; par[find(a)] = find(b)
        comps = {}
        for v in used: comps.setdefault(find(v), []).append(v)
        self.parts = len(comps)
        self.regions = len(edges) - len(used) + len(comps)
        self.strokes = sum(max(1, sum(deg[v] % 2 for v in c) // 2) for c in comps.values())
        self.ends = sum(1 for v in used if deg[v] == 1)


def gap(a, b):
    return min(min(dist(q, b) for q in sample([a], 1.0)), min(dist(q, a) for q in sample([b], 1.0)))


def sample(prims, step=0.5):
    out = []
    for p in prims:
        if p[0] == 's':
            n = max(2, int(math.hypot(p[3] - p[1], p[4] - p[2]) / step))
            out += [(p[1] + (p[3] - p[1]) * k / n, p[2] + (p[4] - p[2]) * k / n) for k in range(n + 1)]
        elif p[0] == 'a':
            n = max(4, int(math.radians(p[5] - p[4]) * p[3] / step))
            out += [(p[1] + p[3] * math.cos(math.radians(p[4] + (p[5] - p[4]) * k / n)),
                     p[2] + p[3] * math.sin(math.radians(p[4] + (p[5] - p[4]) * k / n))) for k in range(n + 1)]
        elif p[0] == 'fp':
            out += sample(ring(p[1]), step)
        else:
            out += sample([('a', p[1], p[2], p[3], 0, 360)], step)
    return out


def outline(prims):
    """Fills reduced to their outlines, for distance tests."""
    out = []
    for p in prims:
        if p[0] == 'fp': out += ring(p[1])
        elif p[0] == 'fc': out.append(('a', p[1], p[2], p[3], 0, 360))
        else: out.append(p)
    return out


def dist(q, p):
    x, y = q
    if p[0] == 's':
        x1, y1, x2, y2 = p[1:]
        dx, dy = x2 - x1, y2 - y1
        u = max(0, min(1, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x1 - u * dx, y - y1 - u * dy)
    ang = math.degrees(math.atan2(y - p[2], x - p[1]))
    if in_arc(p, ang): return abs(math.hypot(x - p[1], y - p[2]) - p[3])
    return min(math.hypot(x - e[0], y - e[1]) for e in arc_ends(p))


def covered(points, prims):
    return all(min(dist(q, p) for p in prims) <= TOL for q in points)


def same_layer(a, b):
    if not a or not b: return not a and not b
    return covered(sample(a), b) and covered(sample(b), a)


def same_figure(pa, pb):
    return same_layer(strokes(pa), strokes(pb)) and same_layer(outline(fills(pa)), outline(fills(pb)))


def mapped(prims, f):
    out = []
    for p in prims:
        if p[0] == 's': out.append(('s',) + f(p[1], p[2]) + f(p[3], p[4]))
        elif p[0] == 'fp': out.append(('fp', [f(x, y) for x, y in p[1]]))
        else: out.append(p)
    return out


def symmetry(prims):
    """Reflection axes (direction in degrees, 0 horizontal, 90 vertical) and
    whether a half turn maps the figure onto itself."""
    st, fl = strokes(prims), outline(fills(prims))
    pts_all = sample(st) + sample(fl)
    cx = sum(p[0] for p in pts_all) / len(pts_all); cy = sum(p[1] for p in pts_all) / len(pts_all)
    def test(f):
        for layer in (st, fl):
            if not layer: continue
            sm = sample(layer)
            coarse = [f(*q) for q in sm[::max(1, len(sm) // 40)]]
            if not covered(coarse, layer): return False
            if not covered([f(*q) for q in sm], layer): return False
        return True
    axes = []
    for deg in range(180):
        c2, s2 = math.cos(math.radians(2 * deg)), math.sin(math.radians(2 * deg))
        f = lambda x, y: (cx + c2 * (x - cx) + s2 * (y - cy), cy + s2 * (x - cx) - c2 * (y - cy))
        if test(f): axes.append(deg)
    central = test(lambda x, y: (2 * cx - x, 2 * cy - y))
    # Neighbouring degrees passing together are one axis seen twice.
    merged = []
    for a in axes:
        if merged and a - merged[-1][-1] <= 2: merged[-1].append(a)
        else: merged.append([a])
    if len(merged) > 1 and merged[0][0] <= 2 and merged[-1][-1] >= 177:
        merged[0] = merged.pop() + merged[0]
    dirs = []
    for g in merged:
        wrap = min(g) <= 2 and max(g) >= 177
        vals = [a - 180 if wrap and a > 90 else a for a in g]
        dirs.append(round(sum(vals) / len(vals)) % 180)
    dirs.sort()
    return dirs, central


PROP_NAMES = {'lines': '直线数', 'curves': '曲线数', 'regions': '封闭区域数', 'strokes': '笔画数',
              'parts': '组成部分数', 'ends': '端点数', 'cross': '曲直交点数', 'dots': '黑点数',
              'total': '线条总数', 'axes': '对称轴条数', 'axisdir': '对称轴方向', 'central': '是否中心对称', 'curved': '是否含曲线'}
_cache = {}


def props(prims):
    key = repr(prims)
    if key in _cache: return _cache[key]
    g = Graph(strokes(prims))
    dirs, central = symmetry(prims)
    d = {'lines': g.lines, 'curves': g.curves, 'total': g.lines + g.curves, 'regions': g.regions, 'strokes': g.strokes,
         'parts': g.parts + len(fills(prims)), 'ends': g.ends, 'cross': g.cross_cl,
         'dots': sum(1 for p in prims if p[0] == 'fc'),
         'axes': 99 if len(dirs) > 12 else len(dirs),
         'axisdir': 'many' if len(dirs) > 12 else ','.join(map(str, dirs)) or 'none',
         'central': central, 'curved': g.curves > 0}
    _cache[key] = d
    return d


# ---------------------------------------------------------------- drawing
def surface(w, h):
    s = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    c = cairo.Context(s)
    c.set_source_rgb(1, 1, 1); c.paint()
    c.set_source_rgb(0, 0, 0); c.set_line_width(LW)
    c.set_line_join(cairo.LINE_JOIN_MITER); c.set_line_cap(cairo.LINE_CAP_SQUARE)
    return s, c


def draw_fig(c, prims, x0, y0):
    P = lambda x, y: (x0 + OFF + x * SCALE, y0 + OFF + y * SCALE)
    c.set_line_width(LW)
    for p in prims:
        if p[0] == 's':
            c.move_to(*P(p[1], p[2])); c.line_to(*P(p[3], p[4])); c.stroke()
        elif p[0] == 'a':
            c.new_sub_path()
            c.arc(*P(p[1], p[2]), p[3] * SCALE, math.radians(p[4]), math.radians(p[5])); c.stroke()
        elif p[0] == 'fp':
            c.move_to(*P(*p[1][0]))
            for q in p[1][1:]: c.line_to(*P(*q))
            c.close_path(); c.fill_preserve(); c.set_line_width(1); c.stroke(); c.set_line_width(LW)
        else:
            c.new_sub_path(); c.arc(*P(p[1], p[2]), p[3] * SCALE, 0, 2 * math.pi); c.fill()


def box(c, x, y, w=CELL, h=CELL):
    c.set_line_width(1)
    c.rectangle(x + 0.5, y + 0.5, w - 1, h - 1); c.stroke()
    c.set_line_width(LW)


def text(c, s, cx, cy, size):
    c.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_NORMAL)
    c.set_font_size(size)
    e = c.text_extents(s)
    c.move_to(round(cx - e.x_bearing - e.width / 2), round(cy - e.y_bearing - e.height / 2))
    c.show_text(s)


def png_bytes(s):
    """8-bit grey PNG from the RGB surface; no metadata, so the bytes only
    depend on the drawing."""
    s.flush()
    w, h, stride, data = s.get_width(), s.get_height(), s.get_stride(), bytes(s.get_data())
    raw = bytearray()
    for y in range(h):
        raw.append(0)
        row = data[y * stride: y * stride + 4 * w]
        raw += row[1::4]          # green channel of BGRx; all channels are equal
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 0, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


PENDING = {}


def save(s):
    # Written out only once every question has passed its checks.
    b = png_bytes(s)
    name = hashlib.sha256(b).hexdigest() + '.png'
    PENDING[name] = b
    return name


def draw_stem(q, figs):
    form = q['form']
    if form == 'row':
        n = len(figs) + 1
        s, c = surface(CELL * n, CELL)
        for i, f in enumerate(figs): box(c, CELL * i, 0); draw_fig(c, f, CELL * i, 0)
        box(c, CELL * (n - 1), 0); text(c, '？', CELL * (n - 0.5), CELL / 2, 40)
    elif form == 'row2':
        k = q['group']            # panels in the first group
        gap = 24
        n = len(figs) + 1
        s, c = surface(CELL * n + gap, CELL)
        for i, f in enumerate(figs):
            x = CELL * i + (gap if i >= k else 0); box(c, x, 0); draw_fig(c, f, x, 0)
        x = CELL * (n - 1) + gap; box(c, x, 0); text(c, '？', x + CELL / 2, CELL / 2, 40)
    elif form == 'grid':
        s, c = surface(CELL * 3, CELL * 3)
        for i in range(9):
            x, y = CELL * (i % 3), CELL * (i // 3)
            box(c, x, y)
            if i < 8: draw_fig(c, figs[i], x, y)
            else: text(c, '？', x + CELL / 2, y + CELL / 2, 40)
    elif form == 'group6':
        lab = 24
        s, c = surface(CELL * 6, CELL + lab)
        for i, f in enumerate(figs):
            box(c, CELL * i, 0); draw_fig(c, f, CELL * i, 0)
            text(c, '①②③④⑤⑥'[i], CELL * i + CELL / 2, CELL + lab / 2, 16)
    else: die(f'unknown form {form}')
    return save(s)


def draw_option(f):
    s, c = surface(CELL, CELL)
    draw_fig(c, f, 0, 0)
    return save(s)


# ---------------------------------------------------------------- rules
def fmt(v):
    if v is True: return '是'
    if v is False: return '否'
    return str(v)


def check(q, defs, panels, options):
    """Returns the panel and option values of the rule's property (for the
    explanation); dies when the key is not the one and only fitting option."""
    r, key = q['rule'], 'ABCD'.index(q['key'])
    qid = q['id']
    kind = r['type']
    pv = ov = None
    if kind in ('count', 'same'):
        prop = r['prop']
        pv = [props(f)[prop] for f in panels]
        ov = [props(f)[prop] for f in options]
        want = r['values'] if kind == 'count' else [r['value']] * len(panels)
        if pv != want: die(f'{qid}: {prop} of the panels is {pv}, described {want}')
        ans = r['answer'] if kind == 'count' else r['value']
        also = r.get('also', [])
        fit = [i for i, v in enumerate(ov) if v == ans and all(props(options[i])[p2] == v2 for p2, v2 in also)]
        if fit != [key]: die(f'{qid}: options with {prop}={ans}: {fit}, key {key}; values {ov}')
        for p2, v2 in also:                   # a second property every panel shares
            vals = [props(f)[p2] for f in panels]
            if any(v != v2 for v in vals) or props(options[key])[p2] != v2:
                die(f'{qid}: {p2} not {v2} throughout: {vals}')
    elif kind in ('xor', 'and'):
        sets = [lat_set(f) for f in q['panels']] + [None]
        osets = [lat_set(f) for f in q['options']]
        op = (lambda a, b: a ^ b) if kind == 'xor' else (lambda a, b: a & b)
        triples = [(0, 1, 2), (3, 4, 5), (6, 7, 8)] if q['form'] == 'grid' else [(0, 1, 2), (3, 4, 5)]
        for a, b, cidx in triples[:-1]:
            if op(sets[a], sets[b]) != sets[cidx]: die(f'{qid}: panels {a},{b},{cidx} break the {kind} rule')
        a, b, _ = triples[-1]
        want = op(sets[a], sets[b])
        fit = [i for i, s in enumerate(osets) if s == want]
        if fit != [key]: die(f'{qid}: options fitting {kind}: {fit}, key {key}')
        # Options must also differ as drawn pictures, not only as edge sets.
        wprims = figure_prims({'items': [['lat', sorted(want)]] + q.get('frame', [])}, defs)
        if not same_figure(wprims, options[key]): die(f'{qid}: key picture differs from the {kind} result')
    elif kind == 'turn':
        # Part j of panel i is part j of the base turned by i*step_j (and
        # flipped on odd steps when asked); the answer is the next step.
        n = len(panels)
        def build(i):
            items = []
            for part in r['parts']:
                t = {'rot': part.get('step', 0) * i}
                if part.get('flip') and i % 2: t['flip'] = part['flip']
                items.append(['use', part['use'], t])
            return figure_prims({'items': items + r.get('fixed', [])}, defs)
        for i, f in enumerate(panels):
            if not same_figure(build(i), f): die(f'{qid}: panel {i + 1} is not step {i} of the turn rule')
        want = build(n)
        fit = [i for i, f in enumerate(options) if same_figure(want, f)]
        if fit != [key]: die(f'{qid}: options fitting the turn rule: {fit}, key {key}')
    elif kind == 'walk':
        n = len(panels)
        def build(i):
            return figure_prims(walk_fig(r, [(t['start'] + t['step'] * i) % len(r['path']) for t in r['tokens']]), defs)
        for i, f in enumerate(panels):
            if not same_figure(build(i), f): die(f'{qid}: panel {i + 1} is not step {i} of the walk')
        want = build(n)
        fit = [i for i, f in enumerate(options) if same_figure(want, f)]
        if fit != [key]: die(f'{qid}: options fitting the walk: {fit}, key {key}')
    elif kind == 'traverse':
        comp = [f['compose'] for f in q['panels']]
        ocomp = [f['compose'] for f in q['options']]
        nparts = len(comp[0])
        rows = [comp[0:3], comp[3:6], comp[6:8]]
        want = []
        for j in range(nparts):
            full = sorted(x[j] for x in rows[0])
            if len(set(full)) != 3: die(f'{qid}: row 1 repeats part {j}')
            if sorted(x[j] for x in rows[1]) != full: die(f'{qid}: row 2 does not run through part {j}')
            rest = sorted(set(full) - {x[j] for x in rows[2]})
            if len(rest) != 1: die(f'{qid}: row 3 repeats part {j}')
            want.append(rest[0])
        fit = [i for i, c in enumerate(ocomp) if c == want]
        if fit != [key]: die(f'{qid}: options completing the rows: {fit}, key {key}')
        kp = figure_prims({'items': [['use', n] for n in want]}, defs)
        for i, f in enumerate(options):
            if (i == key) != same_figure(kp, f): die(f'{qid}: option {i} picture vs completion')
    elif kind == 'group':
        prop = r['prop']
        pv = [props(f)[prop] for f in panels]
        groups = {}
        for i, v in enumerate(pv): groups.setdefault(v, []).append(i + 1)
        parts = sorted(groups.values())
        if len(parts) != 2 or len(parts[0]) != 3: die(f'{qid}: {prop} splits the six as {parts}')
        want = parts[0] if 1 in parts[0] else parts[1]
        fit = [i for i, o in enumerate(r['splits']) if o == want]
        if fit != [key]: die(f'{qid}: split {want} is option {fit}, key {key}')
        # No other property may give one of the offered splits.
        for p2 in PROP_NAMES:
            if p2 == prop: continue
            g2 = {}
            for i, f in enumerate(panels): g2.setdefault(props(f)[p2], []).append(i + 1)
            for o in r['splits']:
                if sorted(g2.values()) == sorted([o, [k for k in range(1, 7) if k not in o]]):
                    die(f'{qid}: {p2} also splits the six as {o}')
    else: die(f'{qid}: unknown rule {kind}')
    if kind in ('count', 'same'):
        # No other simple property may single out a different option.
        for p2 in PROP_NAMES:
            if p2 == r['prop']: continue
            a = [props(f)[p2] for f in panels]
            b = [props(f)[p2] for f in options]
            guess = None
            if all(v == a[0] for v in a): guess = a[0]
            elif all(isinstance(v, int) and not isinstance(v, bool) for v in a):
                d = a[1] - a[0]
                if d and all(a[i + 1] - a[i] == d for i in range(len(a) - 1)) and q['form'] != 'grid':
                    guess = a[-1] + d
            if guess is not None:
                fit = [i for i, v in enumerate(b) if v == guess]
                if len(fit) == 1 and fit[0] != key:
                    die(f'{qid}: {p2} ({a} -> {guess}) picks option {"ABCD"[fit[0]]} instead')
    return pv, ov


def lat_set(fig):
    out = set()
    for it in fig.get('items', []):
        if it[0] == 'lat': out |= {lat_key(e) for e in it[1]}
    return out


def walk_fig(r, cells):
    n = r['grid']
    step = 100 / n
    items = [['rect', 0, 0, 100, 100]] + [['s', step * k, 0, step * k, 100] for k in range(1, n)] \
        + [['s', 0, step * k, 100, step * k] for k in range(1, n)]
    for t, c in zip(r['tokens'], cells):
        cell = r['path'][c]
        cx, cy = step * (cell % n) + step / 2, step * (cell // n) + step / 2
        items.append(['use', t['use'], {'s': step / 100 * 0.7, 'dx': cx - 50, 'dy': cy - 50}])
    return {'items': items}


def resolve(f, q, defs):
    if 'compose' in f:
        return figure_prims({'items': [['use', n] for n in f['compose']]}, defs)
    if 'walk' in f:
        return figure_prims(walk_fig(q['rule'], f['walk']), defs)
    fig = dict(f)
    fig['items'] = list(f.get('items', [])) + q.get('frame', [])
    return figure_prims(fig, defs)


# ---------------------------------------------------------------- output
def sql_text(s):
    s.encode('gbk')
    return "'" + s.replace("'", "''") + "'"


def main():
    with open(os.path.join(HERE, 'shapes.json'), encoding='utf-8') as f:
        data = json.load(f)
    defs = data['defs']
    os.makedirs(PICS, exist_ok=True)
    index, lines = {}, ['-- 图形推理 of the three papers; generated by figures/shapes.py from figures/shapes.json.']
    keys = {}
    for q in data['questions']:
        qid = q['id']
        panels = [resolve(f, q, defs) for f in q['panels']]
        options = [resolve(f, q, defs) for f in q['options']] if q['rule']['type'] != 'group' else []
        pv, ov = check(q, defs, panels, options)
        stem_png = draw_stem(q, panels)
        index[f'{qid}_stem'] = stem_png
        img = lambda n: f'<img src="../images/bank/{n}">'
        if q['rule']['type'] == 'group':
            opts = ['，'.join(''.join('①②③④⑤⑥'[k - 1] for k in part) for part in
                              (o, [k for k in range(1, 7) if k not in o])) for o in q['rule']['splits']]
        else:
            opts = []
            for i, f in enumerate(options):
                n = draw_option(f); index[f'{qid}_{"ABCD"[i]}'] = n; opts.append(img(n))
        stem = q['stem'] + '<br>' + img(stem_png)
        ex = q['explain']
        if pv is not None:
            ex = ex.replace('{P}', '、'.join(fmt(v) for v in pv))
        if ov is not None:
            ex = ex.replace('{O}', '、'.join(fmt(v) for v in ov))
        if '{' in ex: die(f'{qid}: unfilled placeholder in explanation')
        sec = (qid // 10000) * 100 + 8
        if qid // 100 % 100 != 8 or not 1 <= qid % 100 <= 10: die(f'{qid}: not a 图形推理 id')
        lines.append(f"INSERT INTO 小题 VALUES ({qid}, {qid}, {sec}, '判断推理', {sql_text(stem)}, '{q['key']}', {sql_text(ex)}, 0, 0);")
        for i, o in enumerate(opts):
            lines.append(f'INSERT INTO 答案选项 VALUES ({qid}, {qid}, {i + 1}, {sql_text(o)});')
        keys[qid] = q['key']
    if 'article' in data:
        lines.append("INSERT INTO 试题技巧 VALUES (33, '图形推理技巧', 3);")
        lines.append(f"INSERT INTO 技巧说明 VALUES (33, {sql_text(data['article'])});")
    # Pictures of an earlier run that are no longer used go, so the folder only
    # holds what the bank refers to.
    old_index = os.path.join(HERE, 'shapes_index.json')
    if os.path.exists(old_index):
        with open(old_index, encoding='utf-8') as f:
            for n in set(json.load(f).values()) - set(index.values()):
                if os.path.exists(os.path.join(PICS, n)): os.remove(os.path.join(PICS, n))
    for name, b in sorted(PENDING.items()):
        with open(os.path.join(PICS, name), 'wb') as f: f.write(b)
    with open(old_index, 'w', encoding='utf-8') as f:
        json.dump(index, f, ensure_ascii=False, indent=1, sort_keys=True); f.write('\n')
    with open(os.path.join(BANK, '24_paper_figures.sql'), 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')
    from collections import Counter
    print('questions:', len(keys), 'keys:', dict(sorted(Counter(keys.values()).items())), 'pictures:', len(index))


if __name__ == '__main__':
    main()
