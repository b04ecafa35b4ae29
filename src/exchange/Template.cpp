#include "exchange/Template.h"

#include "exchange/Csv.h"
#include "exchange/Pictures.h"
#include "exchange/Xlsx.h"
#include "platform/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace exchange {

namespace {
const char16_t* const kNames[] = {u"分类", u"题型", u"题干", u"答案", u"解析", u"材料编号", u"材料", u"图片"};

QString headerName(const QString& cell) {
    QString s = cell.trimmed();
    s.remove(QLatin1Char(' '));
    s.remove(QChar(0x3000));
    return s;
}
}  // namespace

TemplateRows::TemplateRows(ParsedFile& out, const QString& folder, const Limits& limits)
    : out_(out), folder_(folder), limits_(limits) {
    col_.fill(-1);
    optionCol_.fill(-1);
}

bool TemplateRows::header(int row, const QStringList& cells) {
    haveHeader_ = true;
    for (int i = 0; i < cells.size(); ++i) {
        const QString name = headerName(cells[i]);
        if (name.isEmpty()) continue;
        bool known = false;
        for (int c = 0; c < ColumnCount; ++c)
            if (name == QString::fromUtf16(kNames[c]) && col_[c] < 0) {
                col_[c] = i;
                known = true;
            }
        if (name.size() == 3 && name.startsWith(u"选项")) {
            const int letter = name[2].toUpper().unicode() - 'A';
            if (letter >= 0 && letter < 8 && optionCol_[letter] < 0) {
                optionCol_[letter] = i;
                known = true;
            }
        }
        if (!known)
            out_.problems.push_back({row, name, QStringLiteral("不认识的列“%1”，已忽略").arg(name), false});
    }
    if (col_[Stem] < 0) {
        out_.problems.push_back({row, QStringLiteral("题干"),
                                 QStringLiteral("第一行应是列名，但其中没有“题干”列（请使用题库模板）"), true});
        return false;
    }
    return true;
}

QString TemplateRows::cell(const QStringList& cells, int column) const {
    return column >= 0 && column < cells.size() ? cells[column].trimmed() : QString();
}

QString TemplateRows::loadPicture(int line, const QString& name) {
    // Only a file lying in the spreadsheet's own folder: a name is never a way
    // to read anything else on the machine.
    const QString path = folder_.filePath(name);
    const QFileInfo info(path);
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('.')) ||
        !info.exists() || !info.isFile() || info.isSymLink()) {
        out_.problems.push_back({line, QStringLiteral("图片"),
                                 QStringLiteral("图片“%1”不在表格所在的文件夹中").arg(name), false});
        return {};
    }
    if (info.size() > limits_.maxPictureBytes) {
        out_.problems.push_back({line, QStringLiteral("图片"),
                                 QStringLiteral("图片“%1”超过 %2 MB，不能导入").arg(name).arg(limits_.maxPictureBytes >> 20),
                                 false});
        return {};
    }
    QFile f(path);
    QString error;
    QString src;
    if (f.open(QIODevice::ReadOnly)) src = AddPicture(out_.pictures, f.read(limits_.maxPictureBytes + 1), limits_, &error);
    else error = QStringLiteral("无法读取");
    if (src.isEmpty())
        out_.problems.push_back({line, QStringLiteral("图片"), QStringLiteral("图片“%1”：%2").arg(name, error), false});
    return src;
}

QString TemplateRows::localPictures(int line, QString html) {
    // <img src="name"> of a file beside the spreadsheet (as an export writes
    // them) becomes the bank's picture; any other src is left to the sanitizer.
    static const QRegularExpression img(QStringLiteral("(<img\\b[^>]*\\bsrc\\s*=\\s*\"?)([^\"/\\\\:<>\\s]+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = img.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString src = loadPicture(line, m.captured(2));
        out += QStringView(html).mid(from, m.capturedStart(2) - from);
        out += src.isEmpty() ? m.captured(2) : src;
        from = m.capturedEnd(2);
    }
    out += QStringView(html).mid(from);
    return out;
}

bool TemplateRows::Row(int row, const QStringList& cells) {
    if (!haveHeader_) return header(row, cells);
    if (static_cast<int>(out_.records.size()) >= limits_.maxRecords) {
        out_.problems.push_back({row, {}, QStringLiteral("题目超过 %1 道，文件太大").arg(limits_.maxRecords), true});
        return false;
    }
    Record r;
    r.line = row;
    r.category = cell(cells, col_[Category]);
    r.type = cell(cells, col_[Type]);
    // Template cells may hold the bank's own markup (<b>, <br>, tables); a
    // line break typed in a cell is one on the page too.
    auto html = [&](int column) {
        QString v = cell(cells, column);
        v.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        if (v.contains(u"<img", Qt::CaseInsensitive)) v = localPictures(row, v);
        return Text{v, true};
    };
    r.stem = html(col_[Stem]);
    r.key = cell(cells, col_[Key]);
    r.explanation = html(col_[Explanation]);
    r.groupId = cell(cells, col_[GroupId]);
    r.material = html(col_[Material]);
    int last = -1;
    for (int i = 0; i < 8; ++i)
        if (!cell(cells, optionCol_[i]).isEmpty()) last = i;
    for (int i = 0; i <= last; ++i) r.options.push_back(html(optionCol_[i]));
    if (r.type == u"判断题") r.kind = Kind::TrueFalse;
    const QString picture = cell(cells, col_[Picture]);
    if (!picture.isEmpty()) {
        const QString src = loadPicture(row, picture);
        if (!src.isEmpty()) r.stem.value += QStringLiteral("<br><img src=\"") + src + QStringLiteral("\">");
    }
    out_.records.push_back(std::move(r));
    return true;
}

void TemplateRows::Finish() {
    if (!haveHeader_) out_.problems.push_back({0, {}, QStringLiteral("文件是空的"), true});
}

ParsedFile ReadTemplateCsv(const QString& path, const Limits& limits) {
    ParsedFile out;
    QByteArray bytes;
    if (!ReadImportBytes(path, limits, &bytes, out)) return out;
    TemplateRows rows(out, QFileInfo(path).absolutePath(), limits);
    ReadCsvRows(DecodeSpreadsheetText(bytes), [&](int row, const QStringList& cells) { return rows.Row(row, cells); });
    rows.Finish();
    return out;
}

ParsedFile ReadTemplateXlsx(const QString& path, const Limits& limits) {
    ParsedFile out;
    TemplateRows rows(out, QFileInfo(path).absolutePath(), limits);
    QString error;
    if (!ReadXlsxRows(path, limits, [&](int row, const QStringList& cells) { return rows.Row(row, cells); }, &error)) {
        out.problems.push_back({0, {}, error, true});
        return out;
    }
    rows.Finish();
    return out;
}

}  // namespace exchange
