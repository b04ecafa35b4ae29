#include "exchange/Sheets.h"

#include "exchange/Zip.h"

using namespace Qt::StringLiterals;

namespace exchange {
namespace {
// A cell or row with a value repeated more than this is a trick, not a bank.
constexpr int kMaxRepeat = 1000;

int repeatOf(const QXmlStreamAttributes& a, QLatin1StringView name) {
    bool ok = false;
    const int n = Attr(a, name).toInt(&ok);
    return ok && n > 1 ? n : 1;
}

// The text of a cell: its paragraphs, one a line; spaces, tabs and line breaks
// as written; notes left out.
bool cellText(XmlEntry& xml, QString& text) {
    const int depth = xml.Depth();
    bool firstParagraph = true;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            if (name == u"annotation") {
                if (!xml.Skip()) return false;
            } else if (name == u"p" || name == u"h") {
                if (!firstParagraph) text += u'\n';
                firstParagraph = false;
            } else if (name == u"s") {
                const int n = repeatOf(r.attributes(), "c"_L1);
                text += QString(std::min(n, 100), u' ');
            } else if (name == u"tab") {
                text += u'\t';
            } else if (name == u"line-break") {
                text += u'\n';
            }
        } else if (r.isCharacters()) {
            text += r.text();
        } else if (r.isEndElement() && xml.Depth() < depth) {
            return true;
        }
    }
    return false;
}
} // namespace

bool ReadOdsRows(const QString& path, const Limits& limits, const RowSink& onRow, QString* error) {
    QString dummy;
    if (!error) error = &dummy;
    Zip zip(limits, u"OpenDocument 表格（.ods）"_s);
    if (!zip.Open(path, error)) return false;
    if (!zip.Contains(u"content.xml"_s)) {
        *error = zip.NotValid();
        return false;
    }
    XmlEntry xml(zip, u"content.xml"_s);
    if (!xml.ReadRoot("document-content"_L1)) {
        *error = xml.Failed() ? xml.Error() : zip.NotValid();
        return false;
    }
    QStringList cells;
    int row = 0, column = 0, tableDepth = 0;
    int rowRepeat = 1;
    while (xml.ReadNext()) {
        QXmlStreamReader& r = xml.Xml();
        if (r.isStartElement()) {
            const QStringView name = r.name();
            if (name == u"table" && tableDepth == 0) {
                tableDepth = xml.Depth();
            } else if (tableDepth == 0) {
                continue;
            } else if (name == u"table-row") {
                rowRepeat = repeatOf(r.attributes(), "number-rows-repeated"_L1);
                cells.clear();
                column = 0;
            } else if (name == u"table-cell" || name == u"covered-table-cell") {
                const int repeat = repeatOf(r.attributes(), "number-columns-repeated"_L1);
                QString text;
                if (!cellText(xml, text)) break;
                if (text.isEmpty()) {
                    column += repeat;
                    continue;
                }
                for (int i = 0; i < std::min(repeat, kMaxRepeat) && column < kMaxSheetColumns;
                     ++i, ++column) {
                    while (cells.size() < column)
                        cells.append(QString());
                    cells.append(text);
                }
            }
        } else if (r.isEndElement() && tableDepth > 0) {
            if (r.name() == u"table-row") {
                // Empty rows may be repeated to the sheet's end; rows with values only so often.
                const int times = cells.isEmpty() ? 0 : std::min(rowRepeat, kMaxRepeat);
                for (int i = 0; i < times; ++i)
                    if (!onRow(row + 1 + i, cells)) return true;
                row += rowRepeat;
                if (row >= kMaxSheetRows) return true;
            } else if (xml.Depth() < tableDepth) {
                return true; // the first sheet is all
            }
        }
    }
    if (xml.Failed()) {
        *error = xml.Error();
        return false;
    }
    return true;
}

} // namespace exchange
