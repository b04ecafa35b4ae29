#include "exchange/Pdf.h"

#include "exchange/PdfImages.h"
#include "exchange/Pictures.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <memory>
#include <poppler-qt6.h>
#include <set>

namespace exchange {
namespace {

// Figures are rendered at twice the page's resolution (points are 1/72 inch).
constexpr double kRenderDpi = 144;
constexpr double kScale = kRenderDpi / 72;
// The band at the top and at the foot of a page where running heads, feet and page numbers stand.
constexpr double kMarginShare = 0.1;
constexpr int kMaxPages = 2000;

struct Word {
    QRectF box;
    QString text;
};

struct Line {
    QRectF box;
    QString text; // plain
    int page = 0;
    int column = 0;
    double columnLeft = 0, columnRight = 0;
    QString picture; // the src of a figure; then `text` is empty
};

bool isCjk(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF) ||
           (u >= 0x3000 && u <= 0x303F);
}

// Words of one line, left to right: a space only between two words of Latin
// letters or digits (PDF writers put one between Chinese and a digit too).
QString joinWords(std::vector<Word>& words) {
    std::sort(words.begin(), words.end(),
              [](const Word& a, const Word& b) { return a.box.left() < b.box.left(); });
    QString text;
    for (size_t i = 0; i < words.size(); ++i) {
        const QString& w = words[i].text;
        const double gap = i > 0 ? words[i].box.left() - words[i - 1].box.right() : 0;
        // A wide gap lays things apart (options on one line): kept as spaces whatever the script.
        if (i > 0 && !text.isEmpty() && text.back() == u' ') {
            // the word before brought its own
        } else if (i > 0 && gap > 0.6 * words[i].box.height()) {
            text += QStringLiteral("  ");
        } else if (i > 0 && !text.isEmpty() && !w.isEmpty() && !isCjk(text.back()) && !isCjk(w.front()) &&
                   gap > 0.15 * words[i].box.height())
            text += u' ';
        text += w;
    }
    return text;
}

// Words into lines by their vertical middles, top to bottom.
std::vector<Line> linesOf(std::vector<Word> words) {
    std::sort(words.begin(), words.end(),
              [](const Word& a, const Word& b) { return a.box.center().y() < b.box.center().y(); });
    std::vector<Line> lines;
    std::vector<Word> current;
    QRectF box;
    auto flush = [&] {
        if (current.empty()) return;
        Line l;
        l.box = box;
        l.text = joinWords(current).trimmed();
        lines.push_back(std::move(l));
        current.clear();
    };
    for (const Word& w : words) {
        if (!current.empty() &&
            std::abs(w.box.center().y() - box.center().y()) > 0.5 * std::min(w.box.height(), box.height()))
            flush();
        box = current.empty() ? w.box : box.united(w.box);
        current.push_back(w);
    }
    flush();
    return lines;
}

// The x of a clear gutter between two columns, or a negative value. Words
// across the middle at the top of the page (a title) do not count.
double gutterOf(const std::vector<Word>& words, double width, double height) {
    const int n = static_cast<int>(width);
    if (n < 100) return -1;
    std::vector<int> cover(static_cast<size_t>(n + 1), 0);
    int below = 0;
    // Titles at the top and the foot's page number may lie across the middle.
    const auto body = [&](const Word& w) {
        return w.box.top() >= height * 0.15 && w.box.bottom() <= height * 0.9;
    };
    for (const Word& w : words) {
        if (!body(w)) continue;
        ++below;
        for (int x = std::max(0, static_cast<int>(w.box.left()));
             x <= std::min(n, static_cast<int>(w.box.right())); ++x)
            ++cover[static_cast<size_t>(x)];
    }
    if (below < 20) return -1;
    int bestFrom = -1, bestLen = 0;
    for (int x = static_cast<int>(width * 0.3), run = 0; x <= static_cast<int>(width * 0.7); ++x) {
        run = cover[static_cast<size_t>(x)] == 0 ? run + 1 : 0;
        if (run > bestLen) {
            bestLen = run;
            bestFrom = x - run + 1;
        }
    }
    if (bestLen < 6) return -1;
    const double gutter = bestFrom + bestLen / 2.0;
    // Columns, not a gap that short lines happen to leave: lines on the left
    // reach the gutter (text wraps there), and lines on the right start at one
    // margin.
    int left = 0, right = 0, reaching = 0, aligned = 0;
    double margin = width;
    for (const Word& w : words)
        if (body(w) && w.box.left() > gutter) margin = std::min(margin, w.box.left());
    for (const Word& w : words) {
        if (!body(w)) continue;
        if (w.box.right() < gutter) {
            ++left;
            if (w.box.right() > gutter - bestLen / 2.0 - 12) ++reaching;
        } else {
            ++right;
            if (w.box.left() < margin + 3) ++aligned;
        }
    }
    return left > 10 && right > 10 && reaching >= 3 && aligned >= 5 ? gutter : -1;
}

const QRegularExpression& pageNumber() {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(?:第\\s*\\d+\\s*页(?:\\s*[,，/"
                       "]?\\s*共\\s*\\d+\\s*页)?|[-—–]?\\s*\\d{1,4}\\s*[-—–]?|\\d+\\s*/\\s*\\d+|"
                       "page\\s*\\d+(?:\\s*of\\s*\\d+)?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

// A line that starts something of its own is never the end of the line before.
const QRegularExpression& startsItem() {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(?:\\d{1,5}\\s*[.．、)）]|第\\s*[一二三四五六七八九十\\d]|[（(]\\s*["
                       "\\d一二三四五六七八九十]{1,3}\\s*[)）]|"
                       "[（(]?\\s*[A-HＡ-Ｈ]\\s*[.．、)）:：]|[一二三四五六七八九十]{1,3}\\s*[、.．]|【|答案|"
                       "解析|参考答案|根据|阅读)"));
    return re;
}

// Drops running heads and feet: a line in the top or foot band that stands,
// digits aside, at the same place on at least half the pages (and on two), and
// page numbers there.
void dropRunningLines(std::vector<std::vector<Line>>& pages, const std::vector<QSizeF>& sizes) {
    std::map<std::pair<QString, int>, int> seen;
    auto key = [](const Line& l) {
        QString k = l.text;
        static const QRegularExpression digits(QStringLiteral("\\d+"));
        k.replace(digits, QStringLiteral("#"));
        k.remove(QLatin1Char(' '));
        return std::make_pair(k, static_cast<int>(l.box.top() / 6));
    };
    auto inBand = [&](const Line& l) {
        const double h = sizes[static_cast<size_t>(l.page)].height();
        return l.box.bottom() < h * kMarginShare || l.box.top() > h * (1 - kMarginShare);
    };
    for (const auto& page : pages) {
        std::set<std::pair<QString, int>> once;
        for (const Line& l : page)
            if (inBand(l)) once.insert(key(l));
        for (const auto& k : once)
            ++seen[k];
    }
    const int repeated = std::max(2, static_cast<int>((pages.size() + 1) / 2));
    for (auto& page : pages)
        page.erase(std::remove_if(page.begin(), page.end(),
                                  [&](const Line& l) {
                                      return inBand(l) && (seen[key(l)] >= repeated ||
                                                           pageNumber().match(l.text).hasMatch());
                                  }),
                   page.end());
}

// A file that makes Poppler work this long is stopped and reported.
constexpr qint64 kTimeLimitMs = 120000;

bool pastDeadline(const QVariant& deadline) {
    return QDateTime::currentMSecsSinceEpoch() > deadline.toLongLong();
}

// What is drawn in `region` (points) of the page, cropped to its ink (where
// that lies, in points, in `ink`); null when blank.
QImage figureIn(const Poppler::Page& page, const QRectF& region, qint64 deadline, QRectF* ink) {
    const QRect px(static_cast<int>(region.left() * kScale), static_cast<int>(region.top() * kScale),
                   static_cast<int>(region.width() * kScale), static_cast<int>(region.height() * kScale));
    if (px.width() < 8 || px.height() < 8 || px.width() > 8000 || px.height() > 8000) return {};
    const QImage image =
        page.renderToImage(kRenderDpi, kRenderDpi, px.x(), px.y(), px.width(), px.height(),
                           Poppler::Page::Rotate0, nullptr, nullptr, pastDeadline, QVariant(deadline))
            .convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) return {};
    int top = image.height(), bottom = -1, left = image.width(), right = -1, inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGray(row[x]) < 200) {
                ++inked;
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    }
    // A rule under a running head or a stray dot is no figure.
    if (inked < 20 || right - left < 16 || bottom - top < 16) return {};
    constexpr int pad = 6;
    const QRect crop =
        QRect(QPoint(left, top), QPoint(right, bottom)).adjusted(-pad, -pad, pad, pad) & image.rect();
    *ink = QRectF(region.left() + left / kScale, region.top() + top / kScale, (right - left + 1) / kScale,
                  (bottom - top + 1) / kScale);
    return image.copy(crop);
}

// The picture the file embeds that is all of what `ink` shows, if there is one.
const EmbeddedImage* embeddedAt(const std::vector<EmbeddedImage>& images, const QRectF& region,
                                const QRectF& ink) {
    const EmbeddedImage* found = nullptr;
    for (const EmbeddedImage& image : images) {
        const QRectF both = image.box & region;
        if (both.width() * both.height() < 0.9 * image.box.width() * image.box.height()) continue;
        if (found) return nullptr; // two or more: the region is drawn as a whole
        found = &image;
    }
    // Nothing drawn beside it: its box holds all the ink.
    return found && found->box.adjusted(-3, -3, 3, 3).contains(ink) ? found : nullptr;
}

QString pictureOf(const QImage& image, Pictures& pictures, const Limits& limits) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    QString error;
    return AddPicture(pictures, png, limits, &error);
}

// The page's lines in reading order, with the figures between them.
std::vector<Line> readPage(const Poppler::Page& page, int index, const std::vector<EmbeddedImage>& embedded,
                           Pictures& pictures, const Limits& limits, qint64 deadline) {
    const QSizeF size = page.pageSizeF();
    std::vector<Word> words;
    for (const auto& box : page.textList(Poppler::Page::Rotate0, pastDeadline, QVariant(deadline))) {
        // Spaces a word carries (no-break spaces laying options apart) stay,
        // a run of them as two.
        QString t;
        int spaces = 0;
        for (const QChar c : box->text()) {
            if (c.isSpace()) {
                ++spaces;
                continue;
            }
            if (spaces) t += spaces > 1 || c == QChar(0xA0) ? QStringLiteral("  ") : QStringLiteral(" ");
            spaces = 0;
            t += c;
        }
        if (spaces && !t.isEmpty()) t += QStringLiteral("  ");
        if (!t.trimmed().isEmpty()) words.push_back({box->boundingBox(), t});
    }
    const double gutter = gutterOf(words, size.width(), size.height());
    // With two columns: what lies across the gutter at the top (a title) is
    // read first, at the foot (a page number) last.
    std::vector<std::vector<Word>> columns(gutter > 0 ? 4 : 1);
    for (Word& w : words) {
        size_t c = 0;
        if (gutter > 0) {
            const bool across = w.box.left() < gutter && w.box.right() > gutter;
            c = across && w.box.top() < size.height() * 0.5 ? 0
                : across                                    ? 3
                : w.box.right() <= gutter                   ? 1
                                                            : 2;
        }
        columns[c].push_back(std::move(w));
    }
    std::vector<Line> out;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].empty()) continue;
        std::vector<Line> lines = linesOf(std::move(columns[c]));
        double left = lines.front().box.left(), right = lines.front().box.right();
        for (const Line& l : lines) {
            left = std::min(left, l.box.left());
            right = std::max(right, l.box.right());
        }
        // Room for a figure between two lines, or above the first and below
        // the last (a figure at the top or the foot of the page).
        const auto figureBetween = [&](double top, double bottom, const Line& next) {
            const double gap = bottom - top;
            if (gap <= std::max(18.0, 1.5 * next.box.height())) return;
            const QRectF region(left - 4, top + 1, right - left + 8, gap - 2);
            QRectF ink;
            const QImage figure = figureIn(page, region, deadline, &ink);
            if (figure.isNull()) return;
            Line pictureLine = next;
            pictureLine.text.clear();
            pictureLine.box = region;
            // A picture the file embeds is taken as it is; a figure drawn with
            // lines and shapes, or several things together, as the page shows it.
            QString error;
            if (const EmbeddedImage* image = embeddedAt(embedded, region, ink))
                pictureLine.picture = AddPicture(pictures, image->bytes, limits, &error);
            if (pictureLine.picture.isEmpty()) pictureLine.picture = pictureOf(figure, pictures, limits);
            if (!pictureLine.picture.isEmpty()) out.push_back(std::move(pictureLine));
        };
        for (size_t i = 0; i < lines.size(); ++i) {
            Line& l = lines[i];
            l.page = index;
            l.column = static_cast<int>(c);
            l.columnLeft = left;
            l.columnRight = right;
            figureBetween(i > 0 ? lines[i - 1].box.bottom() : 0, l.box.top(), l);
            out.push_back(l);
        }
        figureBetween(lines.back().box.bottom(), size.height(), lines.back());
    }
    return out;
}
} // namespace

bool ReadPdfLines(const QString& path, const Limits& limits, std::vector<Text>& lines, Pictures& pictures,
                  QString* error) {
    QString dummy;
    if (!error) error = &dummy;
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc) {
        *error = QStringLiteral("文件不是有效的 PDF 文档");
        return false;
    }
    if (doc->isLocked()) {
        *error = QStringLiteral("PDF 文档有打开密码，请先去掉密码再导入");
        return false;
    }
    const int count = doc->numPages();
    if (count > kMaxPages) {
        *error = QStringLiteral("PDF 文档超过 %1 页，太大").arg(kMaxPages);
        return false;
    }
    std::vector<std::vector<Line>> pages;
    std::vector<QSizeF> sizes;
    bool anyText = false;
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + kTimeLimitMs;
    const std::vector<std::vector<EmbeddedImage>> embedded =
        EmbeddedImages(path, count, limits.maxPictureBytes, deadline);
    for (int i = 0; i < count; ++i) {
        if (QDateTime::currentMSecsSinceEpoch() > deadline) {
            *error = QStringLiteral("读取这个 PDF 文档超过了 %1 秒（读到第 %2 页），已停止")
                         .arg(kTimeLimitMs / 1000)
                         .arg(i);
            return false;
        }
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) continue;
        sizes.push_back(page->pageSizeF());
        pages.push_back(readPage(*page, static_cast<int>(pages.size()), embedded[static_cast<size_t>(i)],
                                 pictures, limits, deadline));
        for (const Line& l : pages.back())
            anyText = anyText || !l.text.isEmpty();
    }
    if (!anyText) {
        *error = QStringLiteral("这个 PDF 文档中没有文字（可能是扫描的图片），读不出题目。请用含文字的 PDF，"
                                "或先用文字识别（OCR）软件转成文字");
        return false;
    }
    dropRunningLines(pages, sizes);

    // A line that reaches its column's right edge wraps onto the next one,
    // across a column or a page too, unless that one starts something new.
    QString pending;
    bool wraps = false;
    auto flush = [&] {
        if (!pending.isEmpty()) lines.push_back({pending, true});
        pending.clear();
    };
    for (const auto& page : pages)
        for (const Line& l : page) {
            if (!l.picture.isEmpty()) {
                flush();
                lines.push_back({QStringLiteral("<img src=\"%1\">").arg(l.picture), true});
                wraps = false;
                continue;
            }
            const QString html = l.text.toHtmlEscaped();
            if (wraps && !startsItem().match(l.text).hasMatch()) {
                const bool latin = !pending.isEmpty() && !isCjk(pending.back()) && !isCjk(l.text.front());
                pending += (latin ? QStringLiteral(" ") : QString()) + html;
            } else {
                flush();
                pending = html;
            }
            wraps = l.box.right() >= l.columnRight - 1.5 * l.box.height();
        }
    flush();
    return true;
}

} // namespace exchange
