#include "exchange/Export.h"

#include "exchange/Log.h"
#include "exchange/Pictures.h"
#include "exchange/XlsxWriter.h"
#include "store/AdoConnection.h"
#include "store/DatabaseError.h"
#include "store/Statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamWriter>

namespace exchange {

namespace {
// "../images/bank/<sha>.<ext>" in a text: the pictures it shows.
const QRegularExpression& bankPicture() {
    static const QRegularExpression re(
        QStringLiteral("\\.\\./images/bank/([0-9a-f]{64}\\.(?:png|jpg|gif|bmp|webp))"));
    return re;
}

QStringList picturesOf(const QString& html) {
    QStringList names;
    if (!html.contains(u"../images/bank/")) return names;
    for (auto it = bankPicture().globalMatch(html); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

constexpr qsizetype kCellMax = 32767; // characters an Excel cell holds
} // namespace

std::vector<ExportedQuestion> ReadForExport(AdoConnection& connection, const Selection& selection) {
    sqlite3* db = connection.Handle();
    // The tree: names, parents, and the order siblings are listed in.
    struct Node {
        QString name;
        long long parent;
    };
    QHash<long long, Node> nodes;
    QHash<long long, std::vector<long long>> children;
    {
        store::Statement q(db, "SELECT 编号, 名称, 父级编号 FROM 题目类别");
        while (q.step()) {
            nodes.insert(q.integer(0), {q.text(1), q.integer(2)});
            children[q.integer(2)].push_back(q.integer(0));
        }
    }
    // Sections in tree order, below the chosen category or everywhere.
    std::vector<long long> order;
    QSet<long long> visited;
    std::vector<long long> stack;
    const long long start = selection.kind == Selection::Kind::Category ? selection.category : 0;
    if (start != 0)
        stack.push_back(start);
    else {
        const std::vector<long long> roots = children.value(0);
        stack.assign(roots.rbegin(), roots.rend());
    }
    while (!stack.empty()) {
        const long long id = stack.back();
        stack.pop_back();
        if (visited.contains(id)) continue; // a bank from elsewhere may hold a cycle
        visited.insert(id);
        order.push_back(id);
        const auto kids = children.value(id);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            stack.push_back(*it);
    }
    QHash<long long, int> rank;
    for (size_t i = 0; i < order.size(); ++i)
        rank.insert(order[i], static_cast<int>(i));

    QHash<long long, QStringList> options;
    {
        store::Statement q(db, "SELECT 小题号, 答题选项 FROM 答案选项 ORDER BY 小题号, 答案编号");
        while (q.step())
            options[q.integer(0)] << q.text(1);
    }
    std::string where;
    switch (selection.kind) {
    case Selection::Kind::Category:
        where = "";
        break;
    case Selection::Kind::Favourites:
        where = " WHERE 是否收藏<>0";
        break;
    case Selection::Kind::Wrong:
        where = " WHERE 小题号 IN (SELECT DISTINCT 小题号 FROM 测试题目 WHERE 回答正确=0)";
        break;
    }
    std::vector<std::pair<int, ExportedQuestion>> picked;
    QHash<long long, int> groupSize;
    {
        store::Statement q(db, "SELECT 小题号, 大题号, 所属编号, 题目类型, 题目内容, 答案, 解释 FROM 小题" +
                                   where + " ORDER BY 小题号");
        while (q.step()) {
            const long long section = q.integer(2);
            if (!rank.contains(section)) continue;
            ExportedQuestion e;
            e.id = static_cast<int>(q.integer(0));
            // The path from the root down, three levels as the tree holds them.
            QStringList names;
            for (long long n = section; n != 0 && names.size() < 8 && nodes.contains(n);
                 n = nodes.value(n).parent)
                names.prepend(nodes.value(n).name);
            for (int i = 0; i < 3 && i < names.size(); ++i)
                e.path[static_cast<size_t>(i)] = names[i];
            e.type = q.text(3);
            e.stem = q.text(4);
            e.key = q.text(5);
            e.explanation = q.text(6);
            e.options = options.value(e.id);
            e.group = static_cast<int>(q.integer(1));
            ++groupSize[e.group];
            picked.push_back({rank.value(section), std::move(e)});
        }
    }
    std::stable_sort(picked.begin(), picked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Materials of the groups that went with the questions.
    QHash<long long, QString> materials;
    {
        store::Statement q(db, "SELECT 大题号, 大题内容 FROM 大题");
        while (q.step())
            materials.insert(q.integer(0), q.text(1));
    }
    std::vector<ExportedQuestion> out;
    out.reserve(picked.size());
    for (auto& [r, e] : picked) {
        (void)r;
        if (materials.contains(e.group))
            e.material = materials.value(e.group);
        else if (groupSize.value(e.group) < 2)
            e.group = 0;
        out.push_back(std::move(e));
    }
    return out;
}

namespace {
// Pictures beside the exported file, texts pointing at them by bare name.
class PictureCopies {
public:
    PictureCopies(const PictureSource& source, const QString& targetFolder)
        : source_(source), to_(targetFolder) {}

    QString rewrite(const QString& html) {
        QString out = html;
        for (const QString& name : picturesOf(html)) {
            copy(name);
            out.replace(QStringLiteral("../images/bank/") + name, name);
        }
        return out;
    }
    QString error;

private:
    void copy(const QString& name) {
        if (done_.contains(name)) return;
        done_.insert(name);
        const QByteArray bytes = source_ ? source_(name) : QByteArray();
        QSaveFile f(QDir(to_).filePath(name));
        if ((bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() ||
             !f.commit()) &&
            error.isEmpty())
            error = QStringLiteral("图片“%1”无法写到导出文件夹").arg(name);
    }
    const PictureSource& source_;
    QString to_;
    QSet<QString> done_;
};

} // namespace

PictureSource BankPictures(AdoConnection& connection) {
    sqlite3* db = connection.Handle();
    return [db](const QString& name) -> QByteArray {
        // A bank without the table holds no pictures. A read that fails counts
        // as a missing picture, which the writers report, rather than ending
        // the export halfway through its file.
        try {
            store::Statement s(db, "SELECT 数据 FROM 图片 WHERE 名称 = ?");
            s.bind(1, name);
            return s.step() ? s.blob(0) : QByteArray();
        } catch (const EDatabaseError& e) {
            qCWarning(lcExchange) << "reading the picture" << name << "failed:" << e.what();
            return {};
        }
    };
}

bool WriteTemplateXlsx(const QString& path, const std::vector<ExportedQuestion>& questions,
                       const PictureSource& source, QString* error) {
    // Nothing is cut: a text a cell cannot hold stops the export before it starts.
    for (const ExportedQuestion& q : questions) {
        QStringList texts{q.stem, q.explanation, q.material};
        texts += q.options;
        for (const QString& t : texts)
            if (t.size() > kCellMax) {
                *error = QStringLiteral(
                             "题号 %1 的一段文字有 %2 个字符，超过 Excel 单元格的上限 32767，无法导出为 "
                             "Excel；可以导出为 Moodle XML。")
                             .arg(q.id)
                             .arg(t.size());
                return false;
            }
        if (q.options.size() > 8) {
            *error = QStringLiteral("题号 %1 有 %2 个选项，模板最多 8 个（A～H）。")
                         .arg(q.id)
                         .arg(q.options.size());
            return false;
        }
    }
    PictureCopies pictures(source, QFileInfo(path).absolutePath());
    const QString temp = path + QStringLiteral(".part");
    XlsxWriter book;
    if (!book.Open(temp, QStringLiteral("题库"), error)) {
        QFile::remove(temp);
        return false;
    }
    book.Row({QStringLiteral("分类"), QStringLiteral("题型"), QStringLiteral("题干"), QStringLiteral("选项A"),
              QStringLiteral("选项B"), QStringLiteral("选项C"), QStringLiteral("选项D"),
              QStringLiteral("选项E"), QStringLiteral("选项F"), QStringLiteral("选项G"),
              QStringLiteral("选项H"), QStringLiteral("答案"), QStringLiteral("解析"),
              QStringLiteral("材料编号"), QStringLiteral("材料")});
    QStringList cells;
    for (const ExportedQuestion& q : questions) {
        cells.clear();
        cells << q.path[0] + QLatin1Char('/') + q.path[1] + QLatin1Char('/') + q.path[2] << q.type
              << pictures.rewrite(q.stem);
        for (int i = 0; i < 8; ++i)
            cells << (i < q.options.size() ? pictures.rewrite(q.options[i]) : QString());
        cells << q.key << pictures.rewrite(q.explanation);
        if (q.group != 0) cells << QString::number(q.group) << pictures.rewrite(q.material);
        book.Row(cells);
    }
    if (!book.Close(error)) {
        QFile::remove(temp);
        return false;
    }
    // The finished file replaces the old one only now.
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        *error = QStringLiteral("无法写入文件：") + path;
        return false;
    }
    if (!pictures.error.isEmpty()) {
        *error = pictures.error;
        return false;
    }
    return true;
}

namespace {
// <text> with the HTML, and the pictures it shows as <file> beside it.
void writeTextBody(QXmlStreamWriter& w, const QString& html, const PictureSource& pictures) {
    QString text = html;
    const QStringList names = picturesOf(html);
    for (const QString& name : names)
        text.replace(QStringLiteral("../images/bank/") + name, QStringLiteral("@@PLUGINFILE@@/") + name);
    w.writeStartElement(QStringLiteral("text"));
    w.writeCDATA(text);
    w.writeEndElement();
    QSet<QString> once;
    for (const QString& name : names) {
        if (once.contains(name)) continue;
        once.insert(name);
        const QByteArray bytes = pictures ? pictures(name) : QByteArray();
        if (bytes.isEmpty()) continue;
        w.writeStartElement(QStringLiteral("file"));
        w.writeAttribute(QStringLiteral("name"), name);
        w.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        w.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        w.writeCharacters(QString::fromLatin1(bytes.toBase64()));
        w.writeEndElement();
    }
}

void writeText(QXmlStreamWriter& w, const char* element, const QString& html, const PictureSource& pictures) {
    w.writeStartElement(QString::fromLatin1(element));
    w.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
    writeTextBody(w, html, pictures);
    w.writeEndElement();
}

void writeTag(QXmlStreamWriter& w, const QString& text) {
    w.writeStartElement(QStringLiteral("tag"));
    w.writeTextElement(QStringLiteral("text"), text);
    w.writeEndElement();
}
} // namespace

bool WriteMoodleXml(const QString& path, const std::vector<ExportedQuestion>& questions,
                    const PictureSource& pictures, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法创建文件：") + file.errorString();
        return false;
    }
    QXmlStreamWriter w(&file);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("quiz"));
    QString category;
    QSet<int> materialWritten;
    for (const ExportedQuestion& q : questions) {
        const QString path3 = q.path[0] + QLatin1Char('/') + q.path[1] + QLatin1Char('/') + q.path[2];
        if (path3 != category) {
            category = path3;
            w.writeStartElement(QStringLiteral("question"));
            w.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            w.writeStartElement(QStringLiteral("category"));
            w.writeTextElement(QStringLiteral("text"), QStringLiteral("$course$/top/") + path3);
            w.writeEndElement();
            w.writeEndElement();
        }
        // A group's material travels as a description tagged with the group.
        const QString groupTag = QStringLiteral("材料编号:%1").arg(q.group);
        if (q.group != 0 && !materialWritten.contains(q.group)) {
            materialWritten.insert(q.group);
            w.writeStartElement(QStringLiteral("question"));
            w.writeAttribute(QStringLiteral("type"), QStringLiteral("description"));
            w.writeStartElement(QStringLiteral("name"));
            w.writeTextElement(QStringLiteral("text"), QStringLiteral("材料 %1").arg(q.group));
            w.writeEndElement();
            writeText(w, "questiontext", q.material, pictures);
            w.writeStartElement(QStringLiteral("tags"));
            writeTag(w, groupTag);
            w.writeEndElement();
            w.writeEndElement();
        }
        const bool trueFalse = q.options == QStringList{QStringLiteral("正确"), QStringLiteral("错误")} &&
                               (q.key == u"A" || q.key == u"B");
        const QString type =
            q.options.isEmpty() ? (q.type.isEmpty() ? QStringLiteral("description") : QStringLiteral("essay"))
            : trueFalse         ? QStringLiteral("truefalse")
                                : QStringLiteral("multichoice");
        w.writeStartElement(QStringLiteral("question"));
        w.writeAttribute(QStringLiteral("type"), type);
        w.writeStartElement(QStringLiteral("name"));
        w.writeTextElement(
            QStringLiteral("text"),
            QStringLiteral("%1 %2").arg(q.type.isEmpty() ? QStringLiteral("说明") : q.type).arg(q.id));
        w.writeEndElement();
        writeText(w, "questiontext", q.stem, pictures);
        if (!q.explanation.isEmpty()) writeText(w, "generalfeedback", q.explanation, pictures);
        if (type == u"multichoice") {
            w.writeTextElement(QStringLiteral("single"),
                               q.key.size() > 1 ? QStringLiteral("false") : QStringLiteral("true"));
            w.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("0"));
            w.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
            const int right = static_cast<int>(q.key.size());
            for (int i = 0; i < q.options.size(); ++i) {
                const bool isRight = q.key.contains(QChar(u'A' + i));
                w.writeStartElement(QStringLiteral("answer"));
                w.writeAttribute(QStringLiteral("fraction"),
                                 isRight ? QString::number(100.0 / std::max(1, right), 'g', 7)
                                         : QStringLiteral("0"));
                w.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
                writeTextBody(w, q.options[i], pictures);
                w.writeEndElement();
            }
        } else if (type == u"truefalse") {
            for (const auto& [word, letter] :
                 {std::pair{QStringLiteral("true"), u'A'}, std::pair{QStringLiteral("false"), u'B'}}) {
                w.writeStartElement(QStringLiteral("answer"));
                w.writeAttribute(QStringLiteral("fraction"),
                                 q.key[0] == QChar(letter) ? QStringLiteral("100") : QStringLiteral("0"));
                w.writeAttribute(QStringLiteral("format"), QStringLiteral("moodle_auto_format"));
                w.writeTextElement(QStringLiteral("text"), word);
                w.writeEndElement();
            }
        }
        w.writeStartElement(QStringLiteral("tags"));
        if (!q.type.isEmpty()) writeTag(w, QStringLiteral("题型:") + q.type);
        if (q.group != 0) writeTag(w, groupTag);
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    if (w.hasError() || !file.commit()) {
        *error = QStringLiteral("写入文件失败：") + file.errorString();
        return false;
    }
    return true;
}

} // namespace exchange
