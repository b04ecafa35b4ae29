#!/usr/bin/python3
"""Draw the 资料分析 charts described in charts.json into ../pictures/<sha256>.png
and write charts_index.json (figure id -> file name). Output is byte-stable:
fixed size and dpi, no metadata, palette PNG."""
import hashlib, io, json, os
import matplotlib
matplotlib.use('Agg')
import matplotlib.pyplot as plt
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'pictures')
plt.rcParams['font.family'] = 'WenQuanYi Micro Hei'
plt.rcParams['axes.unicode_minus'] = False
plt.rcParams['svg.hashsalt'] = 'bank'
DPI = 100
SIZE = (6.4, 3.8)
GREYS = ['#4a6f9c', '#d08a3c', '#6a9a5b', '#a45a6b', '#8c7bb0', '#9a9a9a']


def fmt(v, vals):
    # one number of decimals per series, so 18.0 next to 14.8 keeps its zero
    dec = max(len(repr(float(x)).split('.')[1].rstrip('0')) for x in vals)
    return '%.*f' % (dec, v)


def bar(ax, d, chart):
    xs = range(len(d['x']))
    n = len(d['series'])
    w = 0.8 / n
    top = max(max(s['values']) for s in d['series'])
    for k, s in enumerate(d['series']):
        pos = [i - 0.4 + w * (k + 0.5) for i in xs]
        ax.bar(pos, s['values'], w * 0.92, color=GREYS[k], label=s['name'])
        for p, v in zip(pos, s['values']):
            ax.text(p, v + top * 0.015, fmt(v, s['values']), ha='center', va='bottom', fontsize=7.5)
    ax.set_ylim(0, top * 1.15)
    ax.set_xticks(list(xs), d['x'])
    if n > 1:
        ax.legend(fontsize=8, loc='upper left', frameon=False)


def line(ax, d, chart):
    xs = list(range(len(d['x'])))
    allv = [v for s in d['series'] for v in s['values']]
    lo, hi = min(allv), max(allv)
    span = hi - lo
    for k, s in enumerate(d['series']):
        ax.plot(xs, s['values'], marker='o', ms=4, color=GREYS[k], label=s['name'])
        vals = s['values']
        for x, v in zip(xs, vals):
            # a dip gets its label below the point, clear of both line segments
            dip = 0 < x < len(vals) - 1 and v < vals[x - 1] and v < vals[x + 1]
            ax.annotate(fmt(v, vals), (x, v), textcoords='offset points',
                        xytext=(0, -13 if dip else 6), ha='center', fontsize=7.5)
    ax.set_ylim(max(0, lo - span * 0.25) if lo > span else 0, hi + span * 0.18)
    ax.set_xlim(-0.5, len(xs) - 0.5)
    ax.set_xticks(xs, d['x'])
    if len(d['series']) > 1:
        ax.legend(fontsize=8, loc='upper left', frameon=False)


def barline(ax, d, chart):
    xs = list(range(len(d['x'])))
    b = next(s for s in d['series'] if s['type'] == 'bar')
    l = next(s for s in d['series'] if s['type'] == 'line')
    top = max(b['values'])
    ax.bar(xs, b['values'], 0.55, color=GREYS[0], label=b['name'])
    for x, v in zip(xs, b['values']):
        ax.text(x, v + top * 0.015, fmt(v, b['values']), ha='center', va='bottom', fontsize=7.5)
    # bars in the lower part, the line above them, so labels never collide
    ax.set_ylim(0, top * 1.85)
    ax.set_xticks(xs, d['x'])
    ax2 = ax.twinx()
    ax2.plot(xs, l['values'], marker='o', ms=4, color=GREYS[1], label=l['name'])
    for x, v in zip(xs, l['values']):
        ax2.annotate(fmt(v, l['values']), (x, v), textcoords='offset points', xytext=(0, 6),
                     ha='center', fontsize=7.5, color='#8a4f10')
    lo, hi = min(l['values']), max(l['values'])
    ax2.set_ylim(lo - (hi - lo) * 1.45, hi + (hi - lo) * 0.3)
    ax2.set_ylabel(chart['ylabel2'], fontsize=9)
    ax2.tick_params(labelsize=8)
    h1, n1 = ax.get_legend_handles_labels()
    h2, n2 = ax2.get_legend_handles_labels()
    ax.legend(h1 + h2, n1 + n2, fontsize=8, loc='lower center', bbox_to_anchor=(0.5, 0.98), ncol=2, frameon=False)


def pie(fig, d, chart):
    ax = fig.add_axes([0.02, 0.04, 0.5, 0.82])
    wedges, _ = ax.pie(d['values'], colors=GREYS, startangle=90, counterclock=False,
                       wedgeprops={'linewidth': 1, 'edgecolor': 'white'})
    for w_, v in zip(wedges, d['values']):
        import math
        a = math.radians((w_.theta1 + w_.theta2) / 2)
        ax.text(0.68 * math.cos(a), 0.68 * math.sin(a), '%g%%' % v, ha='center',
                va='center', fontsize=8, color='white')
    ax.set_aspect('equal')
    lab = ['%s  %g%%' % (n, v) for n, v in zip(d['labels'], d['values'])]
    fig.legend(wedges, lab, loc='center left', bbox_to_anchor=(0.52, 0.45), fontsize=8.5,
               frameon=False)


def draw(chart):
    fig = plt.figure(figsize=SIZE, dpi=DPI)
    if chart['kind'] == 'pie':
        pie(fig, chart['data'], chart)
    else:
        ax = fig.add_axes([0.11, 0.13, 0.77 if chart['kind'] == 'barline' else 0.85, 0.70 if chart['kind'] == 'barline' else 0.74])
        {'bar': bar, 'line': line, 'barline': barline}[chart['kind']](ax, chart['data'], chart)
        ax.set_xlabel(chart['xlabel'], fontsize=9)
        ax.set_ylabel(chart['ylabel'], fontsize=9)
        ax.tick_params(labelsize=8)
        for side in ('top',) if chart['kind'] == 'barline' else ('top', 'right'):
            ax.spines[side].set_visible(False)
    fig.suptitle(chart['title'], fontsize=11, y=0.965)
    buf = io.BytesIO()
    fig.savefig(buf, format='png', dpi=DPI, metadata={'Software': None})
    plt.close(fig)
    buf.seek(0)
    img = Image.open(buf).convert('RGB').quantize(colors=64, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    out = io.BytesIO()
    img.save(out, format='PNG', optimize=True)
    return out.getvalue()


def main():
    with open(os.path.join(HERE, 'charts.json'), encoding='utf-8') as f:
        specs = {c['id']: c for c in json.load(f)['charts']}
    os.makedirs(OUT, exist_ok=True)
    idx_path = os.path.join(HERE, 'charts_index.json')
    # drop the pictures of the previous run; other files in OUT are not ours
    if os.path.exists(idx_path):
        with open(idx_path, encoding='utf-8') as f:
            for old in json.load(f).values():
                if os.path.exists(os.path.join(OUT, old)):
                    os.remove(os.path.join(OUT, old))
    index = {}
    for fid, chart in specs.items():
        png = draw(chart)
        name = hashlib.sha256(png).hexdigest() + '.png'
        with open(os.path.join(OUT, name), 'wb') as f:
            f.write(png)
        index[fid] = name
    with open(idx_path, 'w', encoding='utf-8') as f:
        json.dump(index, f, ensure_ascii=False, indent=2)
        f.write('\n')


if __name__ == '__main__':
    main()
