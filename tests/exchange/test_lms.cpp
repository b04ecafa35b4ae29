// The learning-management readers: Moodle XML, GIFT and Aiken files written
// here, read into records, problems with their lines, and pictures.
#include "exchange/Aiken.h"
#include "exchange/Gift.h"
#include "exchange/Moodle.h"

#include <QByteArrayList>
#include <QCryptographicHash>
#include <gtest/gtest.h>
#include <ostream>

using namespace exchange;

// Failures show the text, not its UTF-16 units.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// The 1-based line of the nth line holding `marker`.
int LineOf(const QByteArray& text, const char* marker, int nth = 0) {
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].contains(marker) && nth-- == 0) return static_cast<int>(i) + 1;
    ADD_FAILURE() << "no line with " << marker;
    return -1;
}

// Bytes that are a PNG by their signature, `size` long.
QByteArray Png(int size) {
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    while (bytes.size() < size)
        bytes += static_cast<char>(bytes.size() % 251);
    return bytes;
}

QString BankSrc(const QByteArray& bytes) {
    return "../images/bank/" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + ".png";
}

std::vector<QString> OptionTexts(const Record& r) {
    std::vector<QString> texts;
    for (const Text& t : r.options)
        texts.push_back(t.value);
    return texts;
}

} // namespace

TEST(MoodleXml, ReadsChoiceTrueFalseEssayDescriptionAndSkipsOtherTypes) {
    const QByteArray picture = Png(64);
    const QByteArray xml =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<quiz>\n"
        "  <question type=\"category\">\n"
        "    <category><text>$course$/top/国考/言语理解/逻辑填空</text></category>\n"
        "  </question>\n"
        "  <question type=\"multichoice\">\n"
        "    <name><text>名称不用</text></name>\n"
        "    <questiontext format=\"html\">\n"
        "      <text><![CDATA[<p>看图 <img src=\"@@PLUGINFILE@@/%E5%9B%BE%201.png\"> 选</p>]]></text>\n"
        "      <file name=\"图 1.png\" path=\"/\" encoding=\"base64\">\n" +
        picture.toBase64() +
        "\n      </file>\n"
        "    </questiontext>\n"
        "    <generalfeedback format=\"plain_text\"><text>乙 &lt;最&gt; 贴切</text></generalfeedback>\n"
        "    <single>true</single>\n"
        "    <answer fraction=\"0\" format=\"plain_text\"><text>甲</text>"
        "<feedback><text>不对</text></feedback></answer>\n"
        "    <answer fraction=\"100\"><text>乙</text></answer>\n"
        "    <answer fraction=\"0\"><text>丙</text></answer>\n"
        "  </question>\n"
        "  <question type=\"multichoice\">\n"
        "    <questiontext format=\"moodle_auto_format\"><text>选出两项</text></questiontext>\n"
        "    <single>false</single>\n"
        "    <answer fraction=\"50\"><text>一</text></answer>\n"
        "    <answer fraction=\"-50\"><text>二</text></answer>\n"
        "    <answer fraction=\"50\"><text>三</text></answer>\n"
        "  </question>\n"
        "  <question type=\"matching\"><questiontext><text>配对</text></questiontext></question>\n"
        "  <question type=\"truefalse\">\n"
        "    <questiontext format=\"markdown\"><text>地球是平的</text></questiontext>\n"
        "    <answer fraction=\"0\"><text>true</text></answer>\n"
        "    <answer fraction=\"100\"><text>false</text></answer>\n"
        "  </question>\n"
        "  <question type=\"truefalse\">\n"
        "    <questiontext><text>水是湿的</text></questiontext>\n"
        "    <answer fraction=\"100\"><text>true</text></answer>\n"
        "    <answer fraction=\"0\"><text>false</text></answer>\n"
        "  </question>\n"
        "  <question type=\"essay\"><questiontext><text>谈谈看法</text></questiontext></question>\n"
        "  <question type=\"description\"><questiontext><text>以下是材料</text></questiontext>"
        "</question>\n"
        "</quiz>\n";
    const ParsedFile f = ReadMoodleXml(xml, Limits{});

    ASSERT_EQ(f.records.size(), 6u);
    const Record& single = f.records[0];
    EXPECT_EQ(single.line, LineOf(xml, "<question type=\"multichoice\">"));
    EXPECT_EQ(single.category, "国考/言语理解/逻辑填空");
    EXPECT_EQ(single.type, "单项选择题");
    EXPECT_TRUE(single.stem.html);
    EXPECT_EQ(single.stem.value, "<p>看图 <img src=\"" + BankSrc(picture) + "\"> 选</p>");
    EXPECT_EQ(OptionTexts(single), (std::vector<QString>{"甲", "乙", "丙"}));
    EXPECT_EQ(single.key, "B");
    EXPECT_EQ(single.explanation.value, "乙 <最> 贴切");
    EXPECT_FALSE(single.explanation.html);
    ASSERT_EQ(f.pictures.size(), 1u);
    EXPECT_EQ(f.pictures.begin()->second.bytes, picture);

    const Record& multiple = f.records[1];
    EXPECT_EQ(multiple.line, LineOf(xml, "<question type=\"multichoice\">", 1));
    EXPECT_EQ(multiple.type, "多项选择题");
    EXPECT_FALSE(multiple.stem.html);
    EXPECT_EQ(OptionTexts(multiple), (std::vector<QString>{"一", "二", "三"}));
    EXPECT_EQ(multiple.key, "AC");

    EXPECT_EQ(f.records[2].kind, Kind::TrueFalse);
    EXPECT_EQ(OptionTexts(f.records[2]), (std::vector<QString>{"正确", "错误"}));
    EXPECT_EQ(f.records[2].key, "B");
    EXPECT_EQ(f.records[3].key, "A");
    EXPECT_EQ(f.records[4].kind, Kind::Essay);
    EXPECT_EQ(f.records[4].stem.value, "谈谈看法");
    EXPECT_TRUE(f.records[4].options.empty());
    EXPECT_EQ(f.records[5].kind, Kind::Description);
    EXPECT_TRUE(f.records[5].key.isEmpty());
    EXPECT_EQ(f.records[5].category, "国考/言语理解/逻辑填空");

    ASSERT_EQ(f.problems.size(), 1u);
    EXPECT_EQ(f.problems[0].line, LineOf(xml, "matching"));
    EXPECT_EQ(f.problems[0].text, "不支持的题型 matching，已跳过");
    EXPECT_FALSE(f.problems[0].fatal);
}

TEST(Gift, ReadsChoiceTrueFalseEssayDescriptionAndSkipsOtherForms) {
    const QByteArray gift = "// 一行注释\n"
                            "$CATEGORY: $course$/top/省考/常识\n"
                            "\n"
                            "::标题::[html]<b>哪个</b>对\\{不是答案\\}？{\n"
                            "  =甲 \\~ 丁 #对\n"
                            "  ~乙 #错\n"
                            "  ####因为 a\\=b\n"
                            "}\n"
                            "\n"
                            "多选 {~%50%甲 ~%-100%乙 ~%50%丙}\n"
                            "\n"
                            "// 注释不算空行\n"
                            "地球是圆的。{T}\n"
                            "\n"
                            "月亮会发光。{FALSE#它反射阳光}\n"
                            "\n"
                            "谈谈看法。{}\n"
                            "\n"
                            "这是一段说明。\n"
                            "\n"
                            "匹配 {=a -> 1 =b -> 2}\n"
                            "\n"
                            "数值 {#3:0.1}\n"
                            "\n"
                            "简答 {=北京 =京}\n"
                            "\n"
                            "北京是中国的 {=首都 ~省会} 。\n";
    const ParsedFile f = ReadGift(gift, Limits{});

    ASSERT_EQ(f.records.size(), 7u);
    const Record& single = f.records[0];
    EXPECT_EQ(single.line, LineOf(gift, "::标题::"));
    EXPECT_EQ(single.category, "省考/常识");
    EXPECT_EQ(single.type, "单项选择题");
    EXPECT_TRUE(single.stem.html);
    EXPECT_EQ(single.stem.value, "<b>哪个</b>对{不是答案}？");
    EXPECT_EQ(OptionTexts(single), (std::vector<QString>{"甲 ~ 丁", "乙"}));
    EXPECT_EQ(single.key, "A");
    EXPECT_EQ(single.explanation.value, "因为 a=b");

    EXPECT_EQ(f.records[1].line, LineOf(gift, "多选"));
    EXPECT_EQ(f.records[1].type, "多项选择题");
    EXPECT_FALSE(f.records[1].stem.html);
    EXPECT_EQ(f.records[1].key, "AC");
    EXPECT_EQ(f.records[2].line, LineOf(gift, "地球"));
    EXPECT_EQ(f.records[2].kind, Kind::TrueFalse);
    EXPECT_EQ(f.records[2].key, "A");
    EXPECT_EQ(OptionTexts(f.records[2]), (std::vector<QString>{"正确", "错误"}));
    EXPECT_EQ(f.records[3].key, "B");
    EXPECT_EQ(f.records[4].kind, Kind::Essay);
    EXPECT_EQ(f.records[4].stem.value, "谈谈看法。");
    EXPECT_EQ(f.records[5].kind, Kind::Description);
    EXPECT_EQ(f.records[5].stem.value, "这是一段说明。");
    EXPECT_EQ(f.records[6].stem.value, "北京是中国的 _____ 。");
    EXPECT_EQ(f.records[6].key, "A");

    ASSERT_EQ(f.problems.size(), 3u);
    EXPECT_EQ(f.problems[0].line, LineOf(gift, "匹配"));
    EXPECT_EQ(f.problems[0].text, "不支持的题型 匹配题，已跳过");
    EXPECT_EQ(f.problems[1].line, LineOf(gift, "数值"));
    EXPECT_EQ(f.problems[1].text, "不支持的题型 数值题，已跳过");
    EXPECT_EQ(f.problems[2].line, LineOf(gift, "简答"));
    EXPECT_EQ(f.problems[2].text, "不支持的题型 简答题，已跳过");
}

TEST(Aiken, ReadsQuestionsAndSkipsOnesWithoutAValidAnswer) {
    const QByteArray aiken = "\xEF\xBB\xBF"
                             "下列哪个是省会？\r\n"
                             "（单选）\r\n"
                             "A. 苏州\r\n"
                             "B. 南京\r\n"
                             "C. 无锡\r\n"
                             "ANSWER: B\r\n"
                             "\r\n"
                             "一年有几个季节？\n"
                             "A) 三个\n"
                             "B) 四个\n"
                             "ANSWER: B\n"
                             "没有答案的题\n"
                             "A. 有\n"
                             "B. 无\n"
                             "\n"
                             "答案越界的题\n"
                             "A. 甲\n"
                             "B. 乙\n"
                             "ANSWER: E\n"
                             "\n"
                             "最后一题\n"
                             "A. 对\n"
                             "B. 错\n"
                             "ANSWER: A\n";
    const ParsedFile f = ReadAiken(aiken, Limits{});

    ASSERT_EQ(f.records.size(), 3u);
    EXPECT_EQ(f.records[0].line, 1);
    EXPECT_EQ(f.records[0].stem.value, "下列哪个是省会？\n（单选）");
    EXPECT_FALSE(f.records[0].stem.html);
    EXPECT_EQ(OptionTexts(f.records[0]), (std::vector<QString>{"苏州", "南京", "无锡"}));
    EXPECT_EQ(f.records[0].key, "B");
    EXPECT_EQ(f.records[1].line, LineOf(aiken, "一年"));
    EXPECT_EQ(OptionTexts(f.records[1]), (std::vector<QString>{"三个", "四个"}));
    EXPECT_EQ(f.records[2].line, LineOf(aiken, "最后一题"));
    EXPECT_EQ(f.records[2].key, "A");

    ASSERT_EQ(f.problems.size(), 2u);
    EXPECT_EQ(f.problems[0].line, LineOf(aiken, "没有答案"));
    EXPECT_EQ(f.problems[0].text, "缺少 ANSWER 行，已跳过");
    EXPECT_EQ(f.problems[1].line, LineOf(aiken, "答案越界"));
    EXPECT_EQ(f.problems[1].text, "答案 E 不在选项中，已跳过");
}

TEST(MoodleXml, HostileFilesStopWithAReasonAndKeepWhatCameBefore) {
    // An entity a DTD declares is never expanded.
    const ParsedFile dtd =
        ReadMoodleXml("<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [<!ENTITY a \"aaaaaaaa\">]>\n"
                      "<quiz><question type=\"essay\"><questiontext><text>&a;</text>"
                      "</questiontext></question></quiz>",
                      Limits{});
    EXPECT_TRUE(dtd.records.empty());
    ASSERT_EQ(dtd.problems.size(), 1u);
    EXPECT_TRUE(dtd.problems[0].fatal);
    EXPECT_EQ(dtd.problems[0].text, "文件带有 DTD 或实体声明，不能导入");

    const QByteArray essay =
        "<question type=\"essay\"><questiontext><text>谈谈</text></questiontext></question>\n";
    Limits shallow;
    shallow.maxXmlDepth = 8;
    const ParsedFile deep = ReadMoodleXml("<quiz>\n" + essay + QByteArray("<a>").repeated(9) + "\n" +
                                              QByteArray("</a>").repeated(9) + "</quiz>",
                                          shallow);
    EXPECT_EQ(deep.records.size(), 1u);
    ASSERT_EQ(deep.problems.size(), 1u);
    EXPECT_TRUE(deep.problems[0].fatal);
    EXPECT_EQ(deep.problems[0].line, 3);
    EXPECT_EQ(deep.problems[0].text, "XML 元素嵌套超过 8 层，不能再读");

    const QByteArray whole = "<quiz>\n" + essay + essay + "</quiz>\n";
    const ParsedFile cut =
        ReadMoodleXml(whole.first(whole.indexOf("谈谈", whole.indexOf("</question>"))), Limits{});
    EXPECT_EQ(cut.records.size(), 1u);
    ASSERT_EQ(cut.problems.size(), 1u);
    EXPECT_TRUE(cut.problems[0].fatal);
    EXPECT_EQ(cut.problems[0].text, "文件不完整，在这里提前结束");

    Limits few;
    few.maxRecords = 1;
    const ParsedFile many = ReadMoodleXml(whole, few);
    EXPECT_EQ(many.records.size(), 1u);
    ASSERT_EQ(many.problems.size(), 1u);
    EXPECT_TRUE(many.problems[0].fatal);
    EXPECT_EQ(many.problems[0].line, 3);

    // A picture over the limit is refused; its reference stays for the sanitizer to drop.
    Limits small;
    small.maxPictureBytes = 100;
    const QByteArray pictures =
        "<quiz>\n<question type=\"essay\"><questiontext format=\"html\">\n"
        "<text>&lt;img src=\"@@PLUGINFILE@@/big.png\"&gt;&lt;img src=\"@@PLUGINFILE@@/ok.png\"&gt;"
        "</text>\n<file name=\"big.png\" encoding=\"base64\">" +
        Png(101).toBase64() + "</file>\n<file name=\"ok.png\" encoding=\"base64\">" + Png(100).toBase64() +
        "</file>\n</questiontext></question></quiz>";
    const ParsedFile pf = ReadMoodleXml(pictures, small);
    ASSERT_EQ(pf.records.size(), 1u);
    EXPECT_EQ(pf.records[0].stem.value,
              "<img src=\"@@PLUGINFILE@@/big.png\"><img src=\"" + BankSrc(Png(100)) + "\">");
    EXPECT_EQ(pf.pictures.size(), 1u);
    ASSERT_EQ(pf.problems.size(), 1u);
    EXPECT_EQ(pf.problems[0].line, LineOf(pictures, "big.png", 1));
    EXPECT_FALSE(pf.problems[0].fatal);
}
