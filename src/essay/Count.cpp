#include "essay/Count.h"

#include <QRegularExpression>

namespace essay {
namespace {
bool halfWidth(char32_t c) {
    return c >= 0x21 && c < 0x7F;
}

bool space(char32_t c) {
    return c == u' ' || c == u'\t' || c == 0x3000 || c == 0xA0;
}

bool closing(char32_t c) {
    static const std::u32string marks = U"。！？；：，、…”’」』）.!?;:,)";
    return marks.find(c) != std::u32string::npos;
}

// Paragraphs with the indent a candidate typed taken off (the sheet gives its
// own): [begin, end) in the answer's UTF-16 units.
struct Span {
    qsizetype begin, end;
};
std::vector<Span> paragraphs(const QString& a) {
    std::vector<Span> out;
    qsizetype i = 0;
    const qsizetype n = a.size();
    while (i < n) {
        qsizetype end = a.indexOf(u'\n', i);
        if (end < 0) end = n;
        qsizetype b = i, e = end;
        while (b < e && space(a.at(b).unicode()))
            ++b;
        while (e > b && (space(a.at(e - 1).unicode()) || a.at(e - 1) == u'\r'))
            --e;
        if (b < e) out.push_back({b, e});
        i = end + 1;
    }
    return out;
}

// The cells of a paragraph's text, each with the answer index of its first unit.
template <typename Put> void cellsOf(const QString& a, Span s, Put put) {
    qsizetype i = s.begin;
    while (i < s.end) {
        const char32_t c = a.at(i).isHighSurrogate() && i + 1 < s.end
                               ? QChar::surrogateToUcs4(a.at(i), a.at(i + 1))
                               : a.at(i).unicode();
        const qsizetype len = c > 0xFFFF ? 2 : 1;
        if (halfWidth(c) && i + len < s.end && halfWidth(a.at(i + len).unicode())) {
            put(i, 2);
            i += 2;
            continue;
        }
        if (c == u' ' && halfWidth(i + 1 < s.end ? a.at(i + 1).unicode() : 0)) {
            put(i, 2); // a space shares its cell with what follows
            i += 2;
            continue;
        }
        put(i, len);
        i += len;
    }
}

int cellCount(const QString& a, Span s) {
    int n = 0;
    cellsOf(a, s, [&](qsizetype, qsizetype) { ++n; });
    return n;
}

bool isTitle(const QString& a, Span s, bool first, bool more) {
    if (!first || !more) return false;
    const int n = cellCount(a, s);
    return n <= kCellsPerRow - 4 && !closing(a.at(s.end - 1).unicode());
}

} // namespace

Limit ParseLimit(const QString& text) {
    Limit l;
    static const QRegularExpression range(
        QStringLiteral("(\\d{2,5})\\s*(?:～|~|－|-|—|至|到)\\s*(\\d{2,5})\\s*字"));
    static const QRegularExpression between(
        QStringLiteral("字数[^0-9。]{0,6}(\\d{2,5})[^0-9。]{0,4}(\\d{2,5})"));
    static const QRegularExpression atMost(
        QStringLiteral("(?:不超过|不多于|不得超过|限)\\s*(\\d{2,5})\\s*字"));
    static const QRegularExpression within(QStringLiteral("(\\d{2,5})\\s*字(?:以内|之内|左右)"));
    static const QRegularExpression atLeast(QStringLiteral("(?:不少于|不低于|至少)\\s*(\\d{2,5})\\s*字"));
    if (auto m = range.match(text); m.hasMatch()) {
        l.min = m.captured(1).toInt();
        l.max = m.captured(2).toInt();
    } else if (auto b = between.match(text); b.hasMatch()) {
        l.min = b.captured(1).toInt();
        l.max = b.captured(2).toInt();
    } else {
        if (auto m2 = atMost.match(text); m2.hasMatch())
            l.max = m2.captured(1).toInt();
        else if (auto w = within.match(text); w.hasMatch())
            l.max = w.captured(1).toInt();
        if (auto m3 = atLeast.match(text); m3.hasMatch()) l.min = m3.captured(1).toInt();
    }
    if (l.max > 0 && l.min > l.max) std::swap(l.min, l.max);
    return l;
}

Sheet LayOut(const QString& a) {
    Sheet sheet;
    sheet.cellOf.assign(static_cast<size_t>(a.size()), -1);
    const std::vector<Span> ps = paragraphs(a);
    for (size_t p = 0; p < ps.size(); ++p) {
        const Span s = ps[p];
        const int start = static_cast<int>(sheet.rows.size()) * kCellsPerRow;
        if (isTitle(a, s, p == 0, ps.size() > 1)) {
            Row row;
            row.title = true;
            const int n = cellCount(a, s);
            const int pad = (kCellsPerRow - n) / 2;
            for (int k = 0; k < pad; ++k)
                row.cells << QString();
            cellsOf(a, s, [&](qsizetype i, qsizetype len) {
                sheet.cellOf[static_cast<size_t>(i)] = start + static_cast<int>(row.cells.size());
                row.cells << a.mid(i, len);
            });
            sheet.rows.push_back(row);
            continue;
        }
        QStringList cells{QString(), QString()};
        cellsOf(a, s, [&](qsizetype i, qsizetype len) {
            sheet.cellOf[static_cast<size_t>(i)] = start + static_cast<int>(cells.size());
            cells << a.mid(i, len);
        });
        for (qsizetype k = 0; k < cells.size(); k += kCellsPerRow) {
            Row row;
            row.cells = cells.mid(k, kCellsPerRow);
            sheet.rows.push_back(row);
        }
    }
    sheet.cells = static_cast<int>(sheet.rows.size()) * kCellsPerRow;
    // The last row counts as far as it is written: a sheet's count is where the
    // pen stopped.
    if (!sheet.rows.empty()) sheet.cells -= kCellsPerRow - static_cast<int>(sheet.rows.back().cells.size());
    return sheet;
}

int CountCells(const QString& a) {
    return LayOut(a).cells;
}

int FittingPrefix(const QString& a, int cells) {
    return FittingPrefix(a, LayOut(a), cells);
}

int FittingPrefix(const QString& a, const Sheet& sheet, int cells) {
    int end = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const int c = sheet.cellOf[static_cast<size_t>(i)];
        if (c >= cells) break;
        if (c >= 0 || a.at(i) == u'\n' || space(a.at(i).unicode())) end = static_cast<int>(i) + 1;
    }
    return end;
}

} // namespace essay
