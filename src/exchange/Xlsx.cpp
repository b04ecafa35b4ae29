#include "exchange/Xlsx.h"

#include "exchange/Sheets.h"
#include "exchange/Zip.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace exchange {
namespace {

// Each string costs an offset besides its text; an entry of empty <si/>
// would otherwise cost far more memory than its bytes.
constexpr qsizetype kMaxSharedStrings = qsizetype(1) << 24;

// All shared strings in one buffer: a table of a million strings is then
// one allocation, not a million.
class SharedStrings {
public:
    void Add(const QString& s) {
        text_ += s;
        ends_.push_back(text_.size());
    }
    qsizetype size() const { return qsizetype(ends_.size()); }
    QString At(qsizetype i) const {
        const qsizetype begin = i == 0 ? 0 : ends_[std::size_t(i - 1)];
        return text_.mid(begin, ends_[std::size_t(i)] - begin);
    }

private:
    QString text_;
    std::vector<qsizetype> ends_;
};

// The text of <si> or <is>: plain <t>, or the <t> of each rich-text run;
// phonetic guides are not part of it.
bool ReadRichText(XmlEntry& xml, QString& text) {
    const int depth = xml.Depth();
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isStartElement()) {
            if (r.name() == u"t") {
                if (!xml.AppendText(text)) return false;
            } else if (r.name() == u"rPh" || r.name() == u"phoneticPr" || r.name() == u"rPr") {
                if (!xml.Skip()) return false;
            }
        } else if (r.isEndElement() && xml.Depth() < depth) {
            return true;
        }
    }
    return false;
}

bool ReadSharedStrings(Zip& zip, const QString& name, SharedStrings& strings, QString* error) {
    XmlEntry xml(zip, name);
    QString text;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (!r.isStartElement() || r.name() != u"si") continue;
        if (strings.size() >= kMaxSharedStrings) {
            *error = Zip::TooBig();
            return false;
        }
        text.clear();
        if (!ReadRichText(xml, text)) break;
        strings.Add(text);
    }
    if (xml.Failed()) {
        *error = xml.Error();
        return false;
    }
    return true;
}

// The column of a reference like "B7", from 0; -1 when it has no letters,
// kMaxSheetColumns and more when it lies past XFD.
int ColumnOf(QStringView ref) {
    int column = 0, letters = 0;
    for (const QChar c : ref) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            column = column * 26 + (u - u'A' + 1);
        else if (u >= u'a' && u <= u'z')
            column = column * 26 + (u - u'a' + 1);
        else
            break;
        if (++letters > 3) return kMaxSheetColumns;
    }
    return letters == 0 ? -1 : column - 1;
}

// Reads the <c> element the reader stands on and answers its text.
bool ReadCell(XmlEntry& xml, QStringView type, const SharedStrings& strings, QString& text) {
    const int depth = xml.Depth();
    QString value, inlineText;
    bool hasInline = false;
    for (;;) {
        if (!xml.ReadNext()) return false;
        QXmlStreamReader& r = xml.Xml();
        if (r.isStartElement()) {
            if (r.name() == u"v") {
                if (!xml.AppendText(value)) return false;
            } else if (r.name() == u"is") {
                hasInline = true;
                if (!ReadRichText(xml, inlineText)) return false;
            } else if (!xml.Skip()) { // the formula, extensions
                return false;
            }
        } else if (r.isEndElement() && xml.Depth() < depth) {
            break;
        }
    }
    if (type == u"s") {
        bool ok = false;
        const qsizetype i = value.trimmed().toLongLong(&ok);
        // An index past the table is the file's mistake; the cell stays empty.
        text = ok && i >= 0 && i < strings.size() ? strings.At(i) : QString();
    } else if (type == u"inlineStr" || hasInline) {
        text = inlineText;
    } else if (type == u"b") {
        const QString v = value.trimmed();
        text = v == u"1" ? u"TRUE"_s : v == u"0" ? u"FALSE"_s : v;
    } else {
        text = value;
    }
    return true;
}

// The worksheet the workbook lists first, through its relationships.
bool FirstSheet(Zip& zip, const QString& workbook, QString& sheet, QString& sharedStrings, QString* error) {
    QStringList ids;
    if (zip.Contains(workbook)) {
        XmlEntry xml(zip, workbook);
        if (xml.ReadRoot("workbook"_L1))
            while (xml.ReadNext())
                if (xml.Xml().isStartElement() && xml.Xml().name() == u"sheet")
                    ids.append(Attr(xml.Xml().attributes(), "id"_L1).toString());
        if (xml.Failed()) {
            *error = xml.Error();
            return false;
        }
    }
    QHash<QString, Relationship> rels;
    if (!ReadRelationships(zip, workbook, rels, error)) return false;
    for (const Relationship& rel : std::as_const(rels))
        if (rel.type.endsWith(u"/sharedStrings") && zip.Contains(rel.target)) sharedStrings = rel.target;
    if (sharedStrings.isEmpty() && zip.Contains(u"xl/sharedStrings.xml"_s))
        sharedStrings = u"xl/sharedStrings.xml"_s;
    for (const QString& id : std::as_const(ids)) {
        const auto rel = rels.constFind(id);
        if (rel != rels.cend() && rel->type.endsWith(u"/worksheet") && zip.Contains(rel->target)) {
            sheet = rel->target;
            return true;
        }
    }
    if (zip.Contains(u"xl/worksheets/sheet1.xml"_s)) {
        sheet = u"xl/worksheets/sheet1.xml"_s;
        return true;
    }
    *error = zip.Contains(workbook) ? u"工作簿中没有工作表"_s : zip.NotValid();
    return false;
}

} // namespace

bool ReadXlsxRows(const QString& path, const Limits& limits,
                  const std::function<bool(int row, const QStringList& cells)>& onRow, QString* error) {
    QString dummy;
    if (!error) error = &dummy;
    Zip zip(limits, u"Excel 工作簿（.xlsx）"_s);
    if (!zip.Open(path, error)) return false;

    QHash<QString, Relationship> package;
    if (!ReadRelationships(zip, QString(), package, error)) return false;
    QString workbook = u"xl/workbook.xml"_s;
    for (const Relationship& rel : std::as_const(package))
        if (rel.type.endsWith(u"/officeDocument") && zip.Contains(rel.target)) workbook = rel.target;

    QString sheet, sharedName;
    if (!FirstSheet(zip, workbook, sheet, sharedName, error)) return false;
    SharedStrings strings;
    if (!sharedName.isEmpty() && !ReadSharedStrings(zip, sharedName, strings, error)) return false;

    XmlEntry xml(zip, sheet);
    QStringList cells;
    QString text;
    bool inRow = false;
    int row = 0, lastRow = 0, nextColumn = 0;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isStartElement()) {
            if (r.name() == u"row") {
                bool ok = false;
                row = Attr(r.attributes(), "r"_L1).toInt(&ok);
                if (!ok || row < 1 || row > kMaxSheetRows) row = lastRow + 1;
                cells.clear();
                nextColumn = 0;
                inRow = true;
            } else if (r.name() == u"c" && inRow) {
                const QXmlStreamAttributes a = r.attributes();
                int column = ColumnOf(Attr(a, "r"_L1));
                if (column < 0) column = nextColumn;
                text.clear();
                if (!ReadCell(xml, Attr(a, "t"_L1), strings, text)) break;
                nextColumn = column + 1;
                if (column >= kMaxSheetColumns || text.isEmpty()) continue;
                while (cells.size() <= column)
                    cells.append(QString());
                cells[column] = text;
            }
        } else if (r.isEndElement() && r.name() == u"row" && inRow) {
            inRow = false;
            lastRow = row;
            if (!cells.isEmpty() && !onRow(row, cells)) return true;
        }
    }
    if (xml.Failed()) {
        *error = xml.Error();
        return false;
    }
    return true;
}

} // namespace exchange
