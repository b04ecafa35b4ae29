#include "exchange/Moodle.h"

#include "exchange/LmsSupport.h"
#include "exchange/Pictures.h"

#include <QHash>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>

namespace exchange {
namespace {

// A <file> inside a text, resolved once the text is read.
struct EmbeddedFile {
    int line = 0;
    QString path, name, encoding;
    QByteArray base64; // without white space
    bool tooLarge = false;
};

class MoodleReader {
public:
    MoodleReader(const QString& text, const Limits& limits, ParsedFile& out)
        : xml_(text), limits_(limits), out_(out) {}
    void Run();
    void Finish();

private:
    bool Next();
    void Skip();
    template <class F> void Children(F&& onChild);
    QString ReadText();
    Text ReadRich();
    void ReadFile(std::vector<EmbeddedFile>& files);
    void Resolve(Text& text, const EmbeddedFile& file);
    void ReadCategory();
    void ReadQuestion();
    int Line() const { return static_cast<int>(xml_.lineNumber()); }
    void Note(int line, const QString& text) { out_.problems.push_back({line, {}, text, false}); }
    void Fail(int line, const QString& text) {
        out_.problems.push_back({line, {}, text, true});
        stopped_ = true;
    }

    QXmlStreamReader xml_;
    const Limits& limits_;
    ParsedFile& out_;
    int depth_ = 0;
    bool stopped_ = false;
    QString category_;
    QHash<QString, Text> materials_; // a group's material, from its tagged description
};

// One token on; false at the end of the document and once a fatal problem is recorded.
bool MoodleReader::Next() {
    if (stopped_) return false;
    switch (xml_.readNext()) {
    case QXmlStreamReader::StartElement:
        if (++depth_ > limits_.maxXmlDepth) {
            Fail(Line(), QStringLiteral("XML 元素嵌套超过 %1 层，不能再读").arg(limits_.maxXmlDepth));
            return false;
        }
        return true;
    case QXmlStreamReader::EndElement:
        --depth_;
        return true;
    case QXmlStreamReader::DTD:
    case QXmlStreamReader::EntityReference:
        // Entities are how an XML file grows a billion laughs or reads files it names.
        Fail(Line(), QStringLiteral("文件带有 DTD 或实体声明，不能导入"));
        return false;
    case QXmlStreamReader::Invalid:
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            Fail(Line(), QStringLiteral("文件不完整，在这里提前结束"));
        else
            Fail(Line(), QStringLiteral("XML 格式错误（%1）").arg(xml_.errorString()));
        return false;
    case QXmlStreamReader::EndDocument:
        return false;
    default:
        return true;
    }
}

// Reads on to the end of the current element.
void MoodleReader::Skip() {
    const int level = depth_;
    while (Next())
        if (xml_.isEndElement() && depth_ < level) return;
}

// Calls onChild(name) at each child element of the current one; onChild reads it to its end.
template <class F> void MoodleReader::Children(F&& onChild) {
    const int level = depth_;
    while (Next()) {
        if (xml_.isStartElement())
            onChild(xml_.name().toString());
        else if (xml_.isEndElement() && depth_ < level)
            return;
    }
}

// The element's own text; child elements are skipped.
QString MoodleReader::ReadText() {
    QString text;
    const int level = depth_;
    while (Next()) {
        if (xml_.isCharacters() && depth_ == level)
            text += xml_.text();
        else if (xml_.isEndElement() && depth_ < level)
            break;
    }
    return text;
}

// questiontext, generalfeedback, answer: <text> in the element's format and the pictures it embeds.
Text MoodleReader::ReadRich() {
    Text text;
    text.html = xml_.attributes().value(QLatin1StringView("format")) == u"html";
    std::vector<EmbeddedFile> files;
    Children([&](const QString& name) {
        if (name == u"text")
            text.value = ReadText();
        else if (name == u"file")
            ReadFile(files);
        else
            Skip(); // feedback of an answer, tags
    });
    if (!stopped_)
        for (const EmbeddedFile& file : files)
            Resolve(text, file);
    return text;
}

void MoodleReader::ReadFile(std::vector<EmbeddedFile>& files) {
    EmbeddedFile file;
    file.line = Line();
    const QXmlStreamAttributes attributes = xml_.attributes();
    file.name = attributes.value(QLatin1StringView("name")).toString();
    file.path = attributes.value(QLatin1StringView("path")).toString();
    file.encoding = attributes.value(QLatin1StringView("encoding")).toString();
    // Measured before decoding: four characters of base64 carry three bytes.
    const qint64 maxChars = (std::max<qint64>(limits_.maxPictureBytes, 0) + 2) / 3 * 4;
    const int level = depth_;
    while (Next()) {
        if (xml_.isCharacters() && depth_ == level && !file.tooLarge) {
            for (const QChar c : xml_.text())
                if (!c.isSpace()) file.base64 += static_cast<char>(c.unicode() < 128 ? c.unicode() : '?');
            if (file.base64.size() > maxChars) {
                file.tooLarge = true;
                file.base64.clear();
            }
        } else if (xml_.isEndElement() && depth_ < level) {
            break;
        }
    }
    files.push_back(std::move(file));
}

// Decodes the picture and points the text's @@PLUGINFILE@@ references to it.
// A picture that fails keeps its reference, which the sanitizer drops.
void MoodleReader::Resolve(Text& text, const EmbeddedFile& file) {
    if (file.tooLarge) {
        Note(
            file.line,
            QStringLiteral("图片 %1 超过 %2 MB，不能导入").arg(file.name).arg(limits_.maxPictureBytes >> 20));
        return;
    }
    if (file.encoding != u"base64") {
        Note(file.line, QStringLiteral("图片 %1 不是 base64 编码，不能导入").arg(file.name));
        return;
    }
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(file.base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        Note(file.line, QStringLiteral("图片 %1 的 base64 数据有误，不能导入").arg(file.name));
        return;
    }
    QString error;
    const QString src = AddPicture(out_.pictures, *decoded, limits_, &error);
    if (src.isEmpty()) {
        Note(file.line, QStringLiteral("图片 %1：%2").arg(file.name, error));
        return;
    }
    QString wanted = file.path.isEmpty() ? QStringLiteral("/") : file.path;
    if (!wanted.startsWith(QLatin1Char('/'))) wanted.prepend(QLatin1Char('/'));
    if (!wanted.endsWith(QLatin1Char('/'))) wanted += QLatin1Char('/');
    wanted += file.name;
    // Names may stand URL-encoded in the text ("%E5%9B%BE 1.png" for "图 1.png").
    static const QRegularExpression reference(QStringLiteral("@@PLUGINFILE@@(/[^\"'\\s<>?#]*)"));
    QString result;
    qsizetype copied = 0;
    for (auto it = reference.globalMatch(text.value); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (QUrl::fromPercentEncoding(match.captured(1).toUtf8()) != wanted) continue;
        result += QStringView(text.value).sliced(copied, match.capturedStart() - copied);
        result += src;
        copied = match.capturedEnd();
    }
    if (copied == 0) return;
    result += QStringView(text.value).sliced(copied);
    text.value = result;
}

void MoodleReader::ReadCategory() {
    QString path;
    Children([&](const QString& name) {
        if (name != u"category") return Skip();
        Children([&](const QString& inner) {
            if (inner == u"text")
                path = ReadText();
            else
                Skip();
        });
    });
    category_ = CategoryFromPath(path);
}

void MoodleReader::ReadQuestion() {
    const int line = Line();
    const QString type = xml_.attributes().value(QLatin1StringView("type")).toString();
    if (type == u"category") return ReadCategory();
    if (type != u"multichoice" && type != u"truefalse" && type != u"essay" && type != u"description") {
        Note(line, type.isEmpty() ? QStringLiteral("题目没有注明题型，已跳过")
                                  : QStringLiteral("不支持的题型 %1，已跳过").arg(type));
        return Skip();
    }
    Record record;
    record.line = line;
    record.category = category_;
    std::vector<Text> answers;
    std::vector<double> fractions;
    bool single = true; // Moodle's default when <single> is missing
    Children([&](const QString& name) {
        if (name == u"questiontext") {
            record.stem = ReadRich();
        } else if (name == u"generalfeedback") {
            record.explanation = ReadRich();
        } else if (name == u"answer") {
            fractions.push_back(xml_.attributes().value(QLatin1StringView("fraction")).toDouble());
            answers.push_back(ReadRich());
        } else if (name == u"tags") {
            // Our own export names the bank's type and group in tags.
            Children([&](const QString& tag) {
                if (tag != u"tag") return Skip();
                Children([&](const QString& inner) {
                    if (inner != u"text") return Skip();
                    const QString t = ReadText().trimmed();
                    if (t.startsWith(u"题型:"))
                        record.type = t.mid(3).trimmed();
                    else if (t.startsWith(u"材料编号:"))
                        record.groupId = t.mid(5).trimmed();
                });
            });
        } else if (name == u"single") {
            const QString value = ReadText().trimmed();
            single = value == u"true" || value == u"1";
        } else {
            Skip();
        }
    });
    if (stopped_) return; // a question cut off is not kept

    if (type == u"description" && !record.groupId.isEmpty()) {
        materials_.insert(record.groupId, record.stem);
        return;
    }
    if (type == u"multichoice") {
        if (answers.size() > kMaxOptions) {
            Note(line, QStringLiteral("选项超过 %1 个，已跳过").arg(kMaxOptions));
            return;
        }
        if (record.type.isEmpty())
            record.type = single ? QStringLiteral("单项选择题") : QStringLiteral("多项选择题");
        record.key = ChoiceKey(fractions, single);
        record.options = std::move(answers);
    } else if (type == u"truefalse") {
        record.kind = Kind::TrueFalse;
        record.options = {Text{QStringLiteral("正确"), false}, Text{QStringLiteral("错误"), false}};
        bool trueIsRight = false;
        for (std::size_t i = 0; i < answers.size(); ++i)
            if (answers[i].value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0 && fractions[i] >= 100)
                trueIsRight = true;
        record.key = trueIsRight ? QStringLiteral("A") : QStringLiteral("B");
    } else {
        record.kind = type == u"essay" ? Kind::Essay : Kind::Description;
    }
    if (!AddRecord(out_, std::move(record), limits_)) stopped_ = true;
}

void MoodleReader::Run() {
    while (Next()) {
        if (!xml_.isStartElement()) continue;
        if (xml_.name() != u"quiz")
            return Fail(Line(), QStringLiteral("不是 Moodle XML 题库（最外层元素不是 quiz）"));
        Children([&](const QString& name) {
            if (name == u"question")
                ReadQuestion();
            else
                Skip();
        });
        return;
    }
    if (!stopped_) Fail(0, QStringLiteral("文件里没有题目（不是 Moodle XML 题库）"));
}

void MoodleReader::Finish() {
    for (Record& r : out_.records)
        if (!r.groupId.isEmpty() && r.material.isEmpty()) r.material = materials_.value(r.groupId);
}

} // namespace

ParsedFile ReadMoodleXml(const QByteArray& bytes, const Limits& limits) {
    ParsedFile out;
    QString text;
    if (!DecodeUtf8File(bytes, limits, text, out)) return out;
    if (text.trimmed().isEmpty()) {
        out.problems.push_back({0, {}, QStringLiteral("文件是空的"), true});
        return out;
    }
    MoodleReader reader(text, limits, out);
    reader.Run();
    reader.Finish();
    return out;
}

} // namespace exchange
