#include "exchange/TypeNotes.h"

#include "exchange/Csv.h"
#include "store/AdoQuery.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace exchange {
namespace {
QString quoted(QString s) {
    return QLatin1Char('"') + s.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}
} // namespace

bool WriteTypeNotes(AdoConnection& connection, const QStringList& types, const QString& path,
                    QString* error) {
    QStringList lines{QStringLiteral("题型,类型说明,分数")};
    AdoQuery q(&connection);
    for (q.OpenBound("SELECT 题目类型, IFNULL(类型说明,''), 分数 FROM 类型说明 ORDER BY rowid", {}); !q.Eof();
         q.Next()) {
        const QString type = QString::fromStdString(q.Fields(0).AsString());
        if (!types.contains(type)) continue;
        lines << quoted(type) + QLatin1Char(',') + quoted(QString::fromStdString(q.Fields(1).AsString())) +
                     QLatin1Char(',') + QString::number(q.Fields(2).AsFloat());
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write("\xEF\xBB\xBF" + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n") < 0 ||
        !out.commit()) {
        if (error) *error = out.errorString();
        return false;
    }
    return true;
}

TypeNotes ReadTypeNotesBeside(const QString& importPath) {
    TypeNotes notes;
    const QString path = QFileInfo(importPath).dir().filePath(QString::fromUtf8(kTypeNotesFile));
    if (!QFileInfo(path).isFile()) return notes;
    Limits limits;
    limits.maxFileBytes = 1 << 20;
    QByteArray bytes;
    ParsedFile ignored;
    if (!ReadImportBytes(path, limits, &bytes, ignored)) return notes;
    ReadCsvRows(DecodeSpreadsheetText(bytes), [&](int row, const QStringList& cells) {
        if (row == 1) return cells.value(0) == u"题型"; // not ours: read nothing
        bool ok = false;
        const double points = cells.value(2).toDouble(&ok);
        const QString type = cells.value(0).trimmed();
        // Within what the points dialog accepts; a text is plain and short.
        if (!type.isEmpty() && type.size() <= 20 && ok && points >= 0 && points <= 100 && notes.size() < 100)
            notes[type] = {cells.value(1).left(500).toHtmlEscaped(), points};
        return true;
    });
    return notes;
}

} // namespace exchange
