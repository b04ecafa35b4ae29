#include "exchange/Docx.h"

#include "exchange/Pictures.h"
#include "exchange/Zip.h"

#include <algorithm>
#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace exchange {
namespace {

constexpr int kLevels = 9;
// Word allows no more; it also keeps a hostile start value from making
// every number a long string.
constexpr int kMaxNumber = 32767;
constexpr qsizetype kMaxLevelText = 64;

struct Level {
    bool defined = false;
    QString format = u"decimal"_s;
    QString text; // "%1." with %1 … %9 for the levels' numbers
    int start = 1;
    QString suffix = u" "_s; // Word's default tab, drawn as a space
};

struct List {
    int abstractId = -1;
    std::array<int, kLevels> startOverride{-1, -1, -1, -1, -1, -1, -1, -1, -1};
};

struct Counter {
    std::array<int, kLevels> value{};
    std::array<bool, kLevels> started{};
};

struct Numbering {
    QHash<int, std::array<Level, kLevels>> abstracts;
    QHash<int, List> lists; // by numId
    QHash<int, Counter> counters;
};

int IntOf(QStringView s, int fallback) {
    bool ok = false;
    const int v = s.toInt(&ok);
    return ok ? v : fallback;
}

int LevelOf(QStringView s) {
    const int v = IntOf(s, -1);
    return v >= 0 && v < kLevels ? v : -1;
}

QString Letters(int n, char16_t a) {
    if (n < 1) return {};
    // Word repeats the letter past Z: 27 is AA, 28 BB.
    return QString(qsizetype((n - 1) / 26 + 1), QChar(char16_t(a + (n - 1) % 26)));
}

QString Roman(int n, bool upper) {
    if (n < 1 || n > 3999) return QString::number(n);
    static const std::pair<int, const char16_t*> parts[] = {
        {1000, u"m"}, {900, u"cm"}, {500, u"d"}, {400, u"cd"}, {100, u"c"}, {90, u"xc"}, {50, u"l"},
        {40, u"xl"},  {10, u"x"},   {9, u"ix"},  {5, u"v"},    {4, u"iv"},  {1, u"i"}};
    QString s;
    for (const auto& [value, digits] : parts)
        for (; n >= value; n -= value)
            s += QString::fromUtf16(digits);
    return upper ? s.toUpper() : s;
}

QString Chinese(int n) {
    if (n < 1 || n > 99) return QString::number(n);
    static const QString digits = u"〇一二三四五六七八九"_s;
    const int tens = n / 10, ones = n % 10;
    QString s;
    if (tens > 1) s += digits[tens];
    if (tens > 0) s += u'十';
    if (ones > 0) s += digits[ones];
    return s;
}

QString Format(int n, const QString& format) {
    if (format == u"upperLetter") return n > 780 ? QString::number(n) : Letters(n, u'A');
    if (format == u"lowerLetter") return n > 780 ? QString::number(n) : Letters(n, u'a');
    if (format == u"upperRoman") return Roman(n, true);
    if (format == u"lowerRoman") return Roman(n, false);
    if (format.startsWith(u"chineseCounting") || format == u"japaneseCounting") return Chinese(n);
    if (format.startsWith(u"decimalEnclosedCircle") && n >= 1 && n <= 20)
        return QChar(char16_t(0x2460 + n - 1));
    if (format == u"decimalZero" && n >= 0 && n < 10) return u"0"_s + QString::number(n);
    if (format == u"none" || format == u"bullet") return {};
    return QString::number(n); // decimal, and what we do not draw
}

bool ReadNumbering(Zip& zip, const QString& name, Numbering& numbering, QString* error) {
    XmlEntry xml(zip, name);
    std::array<Level, kLevels>* abstract = nullptr;
    Level* level = nullptr;
    List* list = nullptr;
    int overrideLevel = -1;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isEndElement()) {
            if (r.name() == u"abstractNum") abstract = nullptr;
            if (r.name() == u"lvl") level = nullptr;
            if (r.name() == u"num") list = nullptr;
            if (r.name() == u"lvlOverride") overrideLevel = -1;
            continue;
        }
        if (!r.isStartElement()) continue;
        const QXmlStreamAttributes a = r.attributes();
        const QStringView n = r.name(), val = Attr(a, "val"_L1);
        if (n == u"abstractNum") {
            abstract = &numbering.abstracts[IntOf(Attr(a, "abstractNumId"_L1), -1)];
        } else if (n == u"num") {
            list = &numbering.lists[IntOf(Attr(a, "numId"_L1), -1)];
        } else if (n == u"lvl") {
            const int i = LevelOf(Attr(a, "ilvl"_L1));
            if (abstract && i >= 0) {
                level = &(*abstract)[std::size_t(i)];
                *level = Level{};
                level->defined = true;
            } else if (!xml.Skip()) { // a level redefined in an override: not drawn
                break;
            }
        } else if (level && n == u"start") {
            level->start = std::clamp(IntOf(val, 1), 0, kMaxNumber);
        } else if (level && n == u"numFmt") {
            level->format = val.toString();
        } else if (level && n == u"lvlText") {
            level->text = val.left(kMaxLevelText).toString();
        } else if (level && n == u"suff") {
            level->suffix = val == u"nothing" ? QString() : u" "_s;
        } else if (list && n == u"abstractNumId") {
            list->abstractId = IntOf(val, -1);
        } else if (list && n == u"lvlOverride") {
            overrideLevel = LevelOf(Attr(a, "ilvl"_L1));
        } else if (list && overrideLevel >= 0 && n == u"startOverride") {
            list->startOverride[std::size_t(overrideLevel)] = std::clamp(IntOf(val, 1), 0, kMaxNumber);
        }
    }
    if (xml.Failed()) {
        *error = xml.Error();
        return false;
    }
    return true;
}

// The number Word draws before a paragraph of list `numId` at `ilvl`, and
// advances the list: deeper levels start again after it.
QString NextNumber(Numbering& numbering, int numId, int ilvl) {
    const auto list = numbering.lists.constFind(numId);
    if (list == numbering.lists.cend()) return {};
    const auto abstract = numbering.abstracts.constFind(list->abstractId);
    if (abstract == numbering.abstracts.cend()) return {};
    const Level& level = (*abstract)[std::size_t(ilvl)];
    if (!level.defined) return {};
    Counter& counter = numbering.counters[numId];
    const auto startOf = [&](int i) {
        const int o = list->startOverride[std::size_t(i)];
        return o >= 0 ? o : (*abstract)[std::size_t(i)].start;
    };
    const auto i = std::size_t(ilvl);
    counter.value[i] = counter.started[i] ? std::min(counter.value[i] + 1, kMaxNumber) : startOf(ilvl);
    counter.started[i] = true;
    for (std::size_t j = i + 1; j < kLevels; ++j)
        counter.started[j] = false;

    QString text;
    for (qsizetype k = 0; k < level.text.size(); ++k) {
        const QChar c = level.text[k];
        const QChar d = k + 1 < level.text.size() ? level.text[k + 1] : QChar();
        if (c == u'%' && d >= u'1' && d <= u'9') {
            const int l = d.unicode() - u'1';
            const int value = counter.started[std::size_t(l)] ? counter.value[std::size_t(l)] : startOf(l);
            text += Format(value, (*abstract)[std::size_t(l)].format);
            ++k;
        } else {
            text += c;
        }
    }
    return text.isEmpty() ? text : text + level.suffix;
}

struct Run {
    bool bold = false;
    int align = 0; // 0 baseline, 1 superscript, 2 subscript
};

// One paragraph as it is read; text boxes nest paragraphs in paragraphs.
struct Paragraph {
    QString prefix; // the number, plain text
    QString html;
    std::vector<std::pair<qsizetype, QString>> pictures; // position in html, relationship id
    Run open;                                            // the format the html has open

    void Close() {
        if (open.align == 1) html += u"</sup>"_s;
        if (open.align == 2) html += u"</sub>"_s;
        if (open.bold) html += u"</b>"_s;
        open = Run{};
    }
    void Append(const Run& run, const QString& text) {
        if (text.isEmpty()) return;
        if (run.bold != open.bold || run.align != open.align) {
            Close();
            if (run.bold) html += u"<b>"_s;
            if (run.align == 1) html += u"<sup>"_s;
            if (run.align == 2) html += u"<sub>"_s;
            open = run;
        }
        html += text.toHtmlEscaped();
    }
};

struct Line {
    QString html;
    std::vector<std::pair<qsizetype, QString>> pictures;
};

bool IsOff(QStringView val) {
    return val == u"0" || val == u"false" || val == u"off";
}

bool ReadRunProperties(XmlEntry& xml, Run& run) {
    const int depth = xml.Depth();
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isEndElement() && xml.Depth() < depth) return true;
        if (!r.isStartElement()) continue;
        if (r.name() == u"rPrChange") { // the format before a tracked change
            if (!xml.Skip()) return false;
        } else if (r.name() == u"b") {
            run.bold = !IsOff(Attr(r.attributes(), "val"_L1));
        } else if (r.name() == u"vertAlign") {
            const QXmlStreamAttributes a = r.attributes();
            const QStringView val = Attr(a, "val"_L1);
            run.align = val == u"superscript" ? 1 : val == u"subscript" ? 2 : 0;
        }
    }
    return false;
}

bool ReadParagraphProperties(XmlEntry& xml, Numbering& numbering, Paragraph& paragraph) {
    const int depth = xml.Depth();
    int numId = -1, ilvl = 0;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isEndElement() && xml.Depth() < depth) {
            if (numId > 0) paragraph.prefix = NextNumber(numbering, numId, ilvl);
            return true;
        }
        if (!r.isStartElement()) continue;
        if (r.name() == u"rPr" || r.name() == u"pPrChange" || r.name() == u"tabs") {
            if (!xml.Skip()) return false;
        } else if (r.name() == u"numId") {
            numId = IntOf(Attr(r.attributes(), "val"_L1), -1);
        } else if (r.name() == u"ilvl") {
            ilvl = std::max(0, LevelOf(Attr(r.attributes(), "val"_L1)));
        }
    }
    return false;
}

// word/document.xml read into lines, one handler per kind of element.
// Paragraphs nest (text boxes); an element outside every paragraph is not
// drawn, but what it holds is still read (a table's cells hold paragraphs).
class DocumentReader {
public:
    DocumentReader(XmlEntry& xml, Numbering& numbering, std::vector<Line>& lines, int& leftOut)
        : xml_(xml), numbering_(numbering), lines_(lines), leftOut_(leftOut) {}

    // Up to the end of the document or the first failure, which the entry holds.
    void Read();

private:
    // A handler reads its start element, and what is inside it when it must;
    // false when the entry failed meanwhile.
    using Handler = bool (DocumentReader::*)(Paragraph&);
    static Handler HandlerOf(QStringView element);

    void EndParagraph();
    bool ParagraphProperties(Paragraph& p);
    bool StartRun(Paragraph& p);
    bool RunProperties(Paragraph& p);
    bool Characters(Paragraph& p);
    bool Tab(Paragraph& p);
    bool Break(Paragraph& p);
    bool NoBreakHyphen(Paragraph& p);
    bool Blip(Paragraph& p);
    bool ImageData(Paragraph& p);
    bool Hidden(Paragraph& p);
    bool PlacePicture(Paragraph& p, QLatin1StringView idAttribute);

    XmlEntry& xml_;
    Numbering& numbering_;
    std::vector<Line>& lines_;
    int& leftOut_;
    std::vector<Paragraph> open_;
    Run run_; // the format of the run being read, until the next <w:r>
};

DocumentReader::Handler DocumentReader::HandlerOf(QStringView element) {
    struct Entry {
        QStringView name;
        Handler handler;
    };
    static const Entry handlers[] = {
        {u"pPr", &DocumentReader::ParagraphProperties},
        {u"r", &DocumentReader::StartRun},
        {u"rPr", &DocumentReader::RunProperties},
        {u"t", &DocumentReader::Characters},
        {u"tab", &DocumentReader::Tab},
        {u"br", &DocumentReader::Break},
        {u"cr", &DocumentReader::Break},
        {u"noBreakHyphen", &DocumentReader::NoBreakHyphen},
        {u"blip", &DocumentReader::Blip},           // DrawingML
        {u"imagedata", &DocumentReader::ImageData}, // VML
        {u"delText", &DocumentReader::Hidden},
        {u"instrText", &DocumentReader::Hidden},
        {u"delInstrText", &DocumentReader::Hidden},
        {u"moveFrom", &DocumentReader::Hidden},
        {u"Fallback", &DocumentReader::Hidden},
    };
    for (const Entry& entry : handlers)
        if (entry.name == element) return entry.handler;
    return nullptr;
}

void DocumentReader::Read() {
    xml_.ReadRoot("document"_L1);
    while (xml_.ReadNext()) {
        QXmlStreamReader& r = xml_.Xml();
        const QStringView n = r.name();
        if (r.isEndElement()) {
            if (n == u"p") EndParagraph();
            continue;
        }
        if (!r.isStartElement()) continue;
        if (n == u"p") {
            open_.emplace_back();
            continue;
        }
        if (open_.empty()) continue;
        const Handler handler = HandlerOf(n);
        if (handler && !(this->*handler)(open_.back())) break;
    }
}

void DocumentReader::EndParagraph() {
    if (open_.empty()) return;
    Paragraph& p = open_.back();
    p.Close();
    const QString prefix = p.prefix.toHtmlEscaped();
    for (auto& picture : p.pictures)
        picture.first += prefix.size();
    lines_.push_back(Line{prefix + p.html, std::move(p.pictures)});
    open_.pop_back();
}

bool DocumentReader::ParagraphProperties(Paragraph& p) {
    return ReadParagraphProperties(xml_, numbering_, p);
}

bool DocumentReader::StartRun(Paragraph&) {
    run_ = Run{};
    return true;
}

bool DocumentReader::RunProperties(Paragraph&) {
    return ReadRunProperties(xml_, run_);
}

bool DocumentReader::Characters(Paragraph& p) {
    QString text;
    const bool ok = xml_.AppendText(text);
    p.Append(run_, text);
    return ok;
}

bool DocumentReader::Tab(Paragraph& p) {
    p.Append(run_, u" "_s);
    return true;
}

bool DocumentReader::Break(Paragraph& p) {
    p.html += u"<br>"_s;
    return true;
}

bool DocumentReader::NoBreakHyphen(Paragraph& p) {
    p.Append(run_, u"-"_s);
    return true;
}

bool DocumentReader::Blip(Paragraph& p) {
    return PlacePicture(p, "embed"_L1);
}

bool DocumentReader::ImageData(Paragraph& p) {
    return PlacePicture(p, "id"_L1);
}

// The picture goes where the paragraph's html stands now; its bytes are read
// once the document is.
bool DocumentReader::PlacePicture(Paragraph& p, QLatin1StringView idAttribute) {
    const QXmlStreamAttributes a = xml_.Xml().attributes();
    const QStringView id = Attr(a, idAttribute);
    if (id.isEmpty())
        ++leftOut_; // linked, not embedded
    else
        p.pictures.emplace_back(p.html.size(), id.toString());
    return true;
}

// Deleted text, field codes, and the copy of a drawing for programs that
// cannot read it: none of it is on the page.
bool DocumentReader::Hidden(Paragraph&) {
    return xml_.Skip();
}

bool ReadDocument(Zip& zip, const QString& name, Numbering& numbering, std::vector<Line>& lines, int& leftOut,
                  QString* error) {
    XmlEntry xml(zip, name);
    DocumentReader reader(xml, numbering, lines, leftOut);
    reader.Read();
    if (xml.Failed()) {
        *error = xml.Error();
        return false;
    }
    return true;
}

} // namespace

bool ReadDocxLines(const QString& path, const Limits& limits, std::vector<Text>& lines, Pictures& pictures,
                   QString* error, int* picturesLeftOut) {
    QString dummy;
    if (!error) error = &dummy;
    int leftOut = 0;
    if (picturesLeftOut) *picturesLeftOut = 0;
    Zip zip(limits, u"Word 文档（.docx）"_s);
    if (!zip.Open(path, error)) return false;

    QHash<QString, Relationship> package, rels;
    if (!ReadRelationships(zip, QString(), package, error)) return false;
    QString document = u"word/document.xml"_s;
    for (const Relationship& rel : std::as_const(package))
        if (rel.type.endsWith(u"/officeDocument") && zip.Contains(rel.target)) document = rel.target;
    if (!zip.Contains(document)) {
        *error = zip.NotValid();
        return false;
    }
    if (!ReadRelationships(zip, document, rels, error)) return false;

    Numbering numbering;
    QString numberingName;
    for (const Relationship& rel : std::as_const(rels))
        if (rel.type.endsWith(u"/numbering") && zip.Contains(rel.target)) numberingName = rel.target;
    if (numberingName.isEmpty() && zip.Contains(u"word/numbering.xml"_s))
        numberingName = u"word/numbering.xml"_s;
    if (!numberingName.isEmpty() && !ReadNumbering(zip, numberingName, numbering, error)) return false;

    std::vector<Line> read;
    if (!ReadDocument(zip, document, numbering, read, leftOut, error)) return false;

    // Pictures are read after the document: the container streams one entry at a time.
    QHash<QString, QString> srcs; // by relationship id; empty when it failed
    lines.reserve(lines.size() + read.size());
    for (Line& line : read) {
        for (auto it = line.pictures.rbegin(); it != line.pictures.rend(); ++it) {
            auto src = srcs.find(it->second);
            if (src == srcs.end()) {
                QString found, why;
                const Relationship rel = rels.value(it->second);
                QByteArray bytes;
                if (rel.type.endsWith(u"/image") && !rel.target.isEmpty() &&
                    zip.ReadEntry(rel.target, limits.maxPictureBytes, bytes, &why))
                    found = AddPicture(pictures, bytes, limits, &why);
                src = srcs.insert(it->second, found);
            }
            if (src->isEmpty()) {
                ++leftOut;
                continue;
            }
            line.html.insert(it->first, u"<img src=\""_s + *src + u"\">"_s);
        }
        lines.push_back(Text{std::move(line.html), true});
    }
    if (picturesLeftOut) *picturesLeftOut = leftOut;
    return true;
}

} // namespace exchange
