#include "exchange/Csv.h"

#include "platform/Gbk.h"

#include <QFile>
#include <QStringDecoder>

namespace exchange {

bool ReadImportBytes(const QString& path, const Limits& limits, QByteArray* bytes, ParsedFile& out) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        out.problems.push_back({0, {}, QStringLiteral("无法打开文件：") + f.errorString(), true});
        return false;
    }
    if (f.size() > limits.maxFileBytes) {
        out.problems.push_back(
            {0, {}, QStringLiteral("文件太大（超过 %1 MB）").arg(limits.maxFileBytes >> 20), true});
        return false;
    }
    *bytes = f.readAll();
    return true;
}

QString DecodeSpreadsheetText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    const std::string gbk = GbkToUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return QString::fromStdString(gbk);
}

void ReadCsvRows(const QString& text, const std::function<bool(int row, const QStringList& cells)>& onRow) {
    // The separator is the header line's: a tab when it has tabs and no commas.
    const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
    const QStringView header = QStringView(text).left(firstBreak < 0 ? text.size() : firstBreak);
    const QChar sep = header.contains(QLatin1Char('\t')) && !header.contains(QLatin1Char(','))
                          ? QLatin1Char('\t')
                          : QLatin1Char(',');
    QStringList cells;
    QString cell;
    bool quoted = false;
    bool any = false; // the row has a character or a separator
    int row = 1;
    const qsizetype n = text.size();
    auto endRow = [&]() -> bool {
        cells << cell;
        cell.clear();
        bool blank = true;
        for (const QString& c : cells)
            if (!c.trimmed().isEmpty()) blank = false;
        const bool go = blank || onRow(row, cells);
        cells.clear();
        any = false;
        ++row;
        return go;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) {
                cell += QLatin1Char('\n');
                ++i;
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
            any = true;
        } else if (c == sep) {
            cells << cell;
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            if (!endRow()) return;
        } else {
            cell += c;
            any = true;
        }
    }
    if (any || !cell.isEmpty()) endRow();
}

} // namespace exchange
