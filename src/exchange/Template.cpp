#include "exchange/Template.h"

#include "exchange/Csv.h"
#include "exchange/Pictures.h"
#include "exchange/Sheets.h"
#include "exchange/Xlsx.h"
#include "platform/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace exchange {

namespace {
// The names people give each column; the first is the template's own.
struct ColumnNames {
    int column;
    std::initializer_list<const char16_t*> names;
};
const ColumnNames kColumns[] = {
    {0, {u"分类", u"章节", u"所属章节", u"所属分类", u"科目", u"知识点"}},
    {1, {u"题型", u"类型", u"题目类型", u"试题类型"}},
    {2, {u"题干", u"题目", u"试题", u"试题内容", u"题目内容", u"问题"}},
    {3, {u"答案", u"正确答案", u"参考答案", u"标准答案"}},
    {4, {u"解析", u"答案解析", u"试题解析", u"解释"}},
    {5, {u"材料编号"}},
    {6, {u"材料"}},
    {7, {u"图片"}},
};
// Columns a question bank often has that the program has no place for.
const char16_t* const kIgnored[] = {u"序号", u"题号", u"编号", u"难度", u"分值", u"分数", u"备注"};
// How many rows above the header (a title, a note) are passed over.
constexpr int kRowsBeforeHeader = 10;

int columnOf(const QString& name) {
    for (const ColumnNames& c : kColumns)
        for (const char16_t* n : c.names)
            if (name == QString::fromUtf16(n)) return c.column;
    return -1;
}

// 选项A, A, A选项, A项, 选项一: the option's index, or -1.
int optionOf(const QString& name) {
    static const QRegularExpression letter(QStringLiteral("^(?:选项)?([A-Ha-hＡ-Ｈ])(?:选项|项)?$"));
    static const QString numbers = QStringLiteral("一二三四五六七八");
    const QRegularExpressionMatch m = letter.match(name);
    if (m.hasMatch()) {
        const char16_t c = m.captured(1)[0].unicode();
        return c >= u'Ａ' ? c - u'Ａ' : QChar(c).toUpper().unicode() - 'A';
    }
    if (name.size() == 3 && name.startsWith(u"选项")) return static_cast<int>(numbers.indexOf(name[2]));
    return -1;
}

// "A.兰州 B.武汉 C.西安 D.郑州" (or one a line): the options in order; empty
// unless the text starts with A's marker.
std::vector<QString> splitOptions(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("(?:^|\\s)([A-Ha-h])\\s*[.．、:：)）]"));
    std::vector<std::pair<qsizetype, qsizetype>> at; // (marker start, content start)
    char16_t next = 'A';
    for (auto it = marker.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1)[0].toUpper().unicode() != next) continue;
        if (next == 'A' && !text.left(m.capturedStart(1)).trimmed().isEmpty()) return {};
        at.push_back({m.capturedStart(1), m.capturedEnd()});
        ++next;
    }
    std::vector<QString> options;
    for (size_t i = 0; i < at.size(); ++i)
        options.push_back(
            text.mid(at[i].second, (i + 1 < at.size() ? at[i + 1].first : text.size()) - at[i].second)
                .trimmed());
    return options;
}
} // namespace

QString HeaderName(const QString& cell) {
    QString s = cell.trimmed();
    s.remove(QLatin1Char(' '));
    s.remove(QChar(0x3000));
    return s;
}

QStringList ColumnRoles() {
    QStringList roles{QStringLiteral("题干")};
    for (int i = 0; i < 8; ++i)
        roles << QStringLiteral("选项") + QChar(char16_t('A' + i));
    roles << QStringLiteral("选项") << QStringLiteral("答案") << QStringLiteral("解析")
          << QStringLiteral("分类") << QStringLiteral("题型") << QStringLiteral("材料编号")
          << QStringLiteral("材料") << QStringLiteral("图片") << QStringLiteral("不导入");
    return roles;
}

bool ParseColumnChoice(const QString& text, ColumnChoice& choice, QString* error) {
    const QStringList roles = ColumnRoles();
    for (const QString& pair : text.split(QRegularExpression(QStringLiteral("[,，]")), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString role = HeaderName(pair.left(eq)), name = HeaderName(pair.mid(eq + 1));
        if (eq < 0 || name.isEmpty() || !roles.contains(role)) {
            *error = QStringLiteral("列的指定“%1”不对：应写成 题干=列名，可指定的有：%2")
                         .arg(pair, roles.join(QStringLiteral("、")));
            return false;
        }
        choice.insert(name, role);
    }
    return true;
}

TemplateRows::TemplateRows(ParsedFile& out, const QString& folder, const Limits& limits,
                           const ColumnChoice& choice)
    : out_(out), folder_(folder), limits_(limits), choice_(choice) {
    col_.fill(-1);
    optionCol_.fill(-1);
}

QString TemplateRows::roleOf(const QString& name) const {
    if (const auto it = choice_.find(name); it != choice_.end()) return *it;
    return name;
}

bool TemplateRows::header(int row, const QStringList& cells) {
    if (std::none_of(cells.begin(), cells.end(),
                     [&](const QString& c) { return columnOf(roleOf(HeaderName(c))) == 2; })) {
        // A title or a note above the column names is passed over.
        if (firstRow_.isEmpty()) firstRow_ = cells;
        if (++rowsBeforeHeader_ < kRowsBeforeHeader) return true;
        return noHeader(), false;
    }
    haveHeader_ = true;
    QStringList ignored;
    for (int i = 0; i < cells.size(); ++i) {
        const QString name = HeaderName(cells[i]);
        if (name.isEmpty()) continue;
        const QString role = roleOf(name);
        if (role == u"不导入") continue;
        const int c = columnOf(role);
        if (c >= 0) {
            if (col_[c] < 0) col_[c] = i;
            continue;
        }
        if (const int letter = optionOf(role); letter >= 0) {
            if (optionCol_[letter] < 0) optionCol_[letter] = i;
            continue;
        }
        if (role == u"选项" && optionsCol_ < 0) {
            optionsCol_ = i;
            continue;
        }
        if (std::any_of(std::begin(kIgnored), std::end(kIgnored),
                        [&](const char16_t* n) { return name == QString::fromUtf16(n); }))
            ignored << name;
        else
            out_.problems.push_back({row, name, QStringLiteral("不认识的列“%1”，已忽略").arg(name), false});
    }
    if (!ignored.isEmpty())
        out_.problems.push_back(
            {row, {}, QStringLiteral("没有用到的列：%1").arg(ignored.join(QStringLiteral("、"))), false});
    return true;
}

void TemplateRows::noHeader() {
    QStringList shown;
    for (const QString& c : firstRow_)
        if (!c.trimmed().isEmpty()) shown << c.trimmed().left(20);
    out_.problems.push_back(
        {0, QStringLiteral("题干"),
         QStringLiteral("没有找到列名：前 %1 行中都没有题干列（列名可以是“题干”“题目”“试题”“试题内容”"
                        "或“问题”）。表格的第一行是：%2")
             .arg(rowsBeforeHeader_)
             .arg(shown.isEmpty() ? QStringLiteral("（空）") : shown.join(QStringLiteral("、"))),
         true});
}

QString TemplateRows::cell(const QStringList& cells, int column) const {
    return column >= 0 && column < cells.size() ? cells[column].trimmed() : QString();
}

QString TemplateRows::loadPicture(int line, const QString& name) {
    // Only a file lying in the spreadsheet's own folder: a name is never a way
    // to read anything else on the machine.
    const QString path = folder_.filePath(name);
    const QFileInfo info(path);
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.startsWith(QLatin1Char('.')) || !info.exists() || !info.isFile() || info.isSymLink()) {
        out_.problems.push_back({line, QStringLiteral("图片"),
                                 QStringLiteral("图片“%1”不在表格所在的文件夹中").arg(name), false});
        return {};
    }
    if (info.size() > limits_.maxPictureBytes) {
        out_.problems.push_back(
            {line, QStringLiteral("图片"),
             QStringLiteral("图片“%1”超过 %2 MB，不能导入").arg(name).arg(limits_.maxPictureBytes >> 20),
             false});
        return {};
    }
    QFile f(path);
    QString error;
    QString src;
    if (f.open(QIODevice::ReadOnly))
        src = AddPicture(out_.pictures, f.read(limits_.maxPictureBytes + 1), limits_, &error);
    else
        error = QStringLiteral("无法读取");
    if (src.isEmpty())
        out_.problems.push_back(
            {line, QStringLiteral("图片"), QStringLiteral("图片“%1”：%2").arg(name, error), false});
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
    // A text shared by many cells (an .xlsx shared string) costs its size at
    // every use: the budget counts each cell as read.
    for (const QString& c : cells) {
        if (c.size() > limits_.maxCellChars) {
            out_.problems.push_back(
                {row,
                 {},
                 QStringLiteral("有一个单元格超过 %1 个字，文件未读入").arg(limits_.maxCellChars),
                 true});
            return false;
        }
        textChars_ += c.size();
    }
    if (textChars_ > limits_.maxTotalChars) {
        out_.problems.push_back(
            {row,
             {},
             QStringLiteral("表格中的文字超过 %1 万字，文件太大，未读入").arg(limits_.maxTotalChars / 10000),
             true});
        return false;
    }
    if (!haveHeader_) return header(row, cells);
    if (static_cast<int>(out_.records.size()) >= limits_.maxRecords) {
        out_.problems.push_back(
            {row, {}, QStringLiteral("题目超过 %1 道，文件太大").arg(limits_.maxRecords), true});
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
    for (int i = 0; i <= last; ++i)
        r.options.push_back(html(optionCol_[i]));
    // All the options in one cell.
    if (r.options.empty() && optionsCol_ >= 0)
        for (const QString& option : splitOptions(cell(cells, optionsCol_))) {
            QString v = option;
            r.options.push_back({v.replace(QLatin1Char('\n'), QStringLiteral("<br>")), true});
        }
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
    if (haveHeader_) return;
    if (firstRow_.isEmpty())
        out_.problems.push_back({0, {}, QStringLiteral("文件是空的"), true});
    else if (rowsBeforeHeader_ < kRowsBeforeHeader)
        noHeader();
}

ParsedFile ReadTemplateCsv(const QString& path, const Limits& limits, const ColumnChoice& choice) {
    ParsedFile out;
    QByteArray bytes;
    if (!ReadImportBytes(path, limits, &bytes, out)) return out;
    TemplateRows rows(out, QFileInfo(path).absolutePath(), limits, choice);
    ReadCsvRows(DecodeSpreadsheetText(bytes),
                [&](int row, const QStringList& cells) { return rows.Row(row, cells); });
    rows.Finish();
    return out;
}

namespace {
ParsedFile readSheet(const QString& path, const Limits& limits, const ColumnChoice& choice,
                     bool (*read)(const QString&, const Limits&, const RowSink&, QString*)) {
    ParsedFile out;
    TemplateRows rows(out, QFileInfo(path).absolutePath(), limits, choice);
    QString error;
    if (!read(
            path, limits, [&](int row, const QStringList& cells) { return rows.Row(row, cells); }, &error)) {
        out.problems.push_back({0, {}, error, true});
        return out;
    }
    rows.Finish();
    return out;
}
} // namespace

ParsedFile ReadTemplateXlsx(const QString& path, const Limits& limits, const ColumnChoice& choice) {
    return readSheet(path, limits, choice, ReadXlsxRows);
}
ParsedFile ReadTemplateOds(const QString& path, const Limits& limits, const ColumnChoice& choice) {
    return readSheet(path, limits, choice, ReadOdsRows);
}
ParsedFile ReadTemplateXls(const QString& path, const Limits& limits, const ColumnChoice& choice) {
    return readSheet(path, limits, choice, ReadXlsRows);
}

} // namespace exchange
