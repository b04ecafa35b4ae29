// From a file to the bank: the template and the text layout read, checked
// row by row, and written all or nothing where the tree and the mock exam find them.
#include "exchange/BankImport.h"
#include "exchange/ImportFile.h"
#include "exchange/PlainText.h"
#include "platform/Files.h"
#include "platform/Gbk.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace exchange;

namespace {
const char* kBank = "INSERT INTO 题目类别 VALUES(1,'2024年模拟试卷',0,'0');INSERT INTO 题目类别 "
                    "VALUES(11,'言语理解与表达',1,'0');"
                    "INSERT INTO 题目类别 VALUES(101,'逻辑填空',11,'0');"
                    "INSERT INTO 类型说明 VALUES('单项选择题','：选一项。',0.8);INSERT INTO 类型说明 "
                    "VALUES('多项选择题','：选多项。',1.5);"
                    "INSERT INTO 类型说明 VALUES('判断题','：判断。',0.5);INSERT INTO 类型说明 "
                    "VALUES('资料分析题','：资料。',1);"
                    "INSERT INTO 小题 VALUES(5,5,101,'单项选择题','已有的 题目','A','',0,0);"
                    "INSERT INTO 答案选项 VALUES(5,5,1,'甲');INSERT INTO 答案选项 VALUES(5,5,2,'乙');";

std::string one(const std::string& sql) {
    return DataModule1->ADOQuery1.OpenWith({sql}).Fields(0).AsString();
}

QStringList problems(const ImportPlan& plan) {
    QStringList out;
    for (const Problem& p : plan.problems)
        out << DescribeProblem(p);
    return out;
}

ImportPlan plan(const QString& path, const ImportOptions& options = {}) {
    return PlanImport(ReadImportFile(path), ReadBankFacts(DataModule1->ADOConnection1), options);
}
} // namespace

TEST(TemplateImport, ACsvInGbkIsCheckedByRowAndLandsInTheTree) {
    OpenBank bank(kBank);
    const std::string csv =
        "分类,题型,题干,选项A,选项B,选项C,选项D,答案,解析,材料编号,材料\r\n"
        "我的题/ 言语理解与表达 /逻辑填空,,填入最恰当的一项：＿＿,甲,乙,丙,丁,b,选乙。,,\r\n"
        "我的题/常识判断/法律,多项选择题,下列说法正确的是,一,二,三,,\"a, c\",\"两行\n解析\",,\r\n"
        "我的题/常识判断/法律,,宪法是根本法。,,,,,正确,,,\r\n"
        "我的题/资料分析/综合,资料分析题,增长了多少？,1,2,3,4,C,,M1,2023年产值为100。\r\n"
        "我的题/资料分析/综合,资料分析题,占比约为？,1%,2%,3%,4%,A,,M1,\r\n"
        "我的题/资料分析/综合,资料分析题,单独一题？,1,2,,,B,,M2,单题的材料。\r\n"
        "我的题/常识判断/法律,,答案越界,甲,乙,丙,丁,E,,,\r\n"
        "a/b/c/d,,分类太深,甲,乙,,,A,,,\r\n"
        ",,已有的题目,甲,乙,,,A,,,\r\n";
    WriteFileBytes(bank.Install.Path("题目.csv"), Utf8ToGbk(csv));

    const ImportPlan p = plan(QString::fromStdString(bank.Install.Path("题目.csv")));
    EXPECT_EQ(problems(p), (QStringList{"第 8 行：答案“E”不在选项中",
                                        "第 9 行：分类“a/b/c/d”超过三级（来源/科目/专项）"}));
    EXPECT_FALSE(p.Clean());
    EXPECT_EQ(p.duplicates, 1) << "the bank's own question, blanks aside";
    ASSERT_EQ(p.questions.size(), 6u);

    const ImportResult r = WritePlan(bank.Module().ADOConnection1, p);
    EXPECT_EQ(r.questions, 6);
    EXPECT_EQ(r.groups, 1) << "a material with one question is folded into it";
    // One new source with three subjects; the verbal subject is the bank's own spelling.
    EXPECT_EQ(one("SELECT count(*) FROM 题目类别 WHERE 父级编号=0"), "2");
    EXPECT_EQ(one("SELECT group_concat(名称,'|') FROM 题目类别 WHERE 父级编号=(SELECT 编号 FROM 题目类别 "
                  "WHERE 名称='我的题')"),
              "言语理解与表达|常识判断|资料分析");
    EXPECT_EQ(one("SELECT 属性 FROM 题目类别 WHERE 名称='法律'"), "0");
    EXPECT_EQ(one("SELECT 答案||是否单项 FROM 小题 WHERE 题目内容 LIKE '填入%'"), "B0");
    EXPECT_EQ(one("SELECT 答案||是否单项||解释 FROM 小题 WHERE 题目类型='多项选择题'"), "AC1两行<br>解析");
    EXPECT_EQ(one("SELECT 题目类型||答案 FROM 小题 WHERE 题目内容='宪法是根本法。'"), "判断题A");
    EXPECT_EQ(
        one("SELECT group_concat(答题选项,'|') FROM 答案选项 WHERE 小题号=(SELECT 小题号 FROM 小题 WHERE "
            "题目内容='宪法是根本法。')"),
        "正确|错误");
    // The two questions of M1 share one 大题 with the material; M2's stem holds its own.
    EXPECT_EQ(one("SELECT 大题内容 FROM 大题"), "2023年产值为100。");
    EXPECT_EQ(one("SELECT count(*) FROM 小题 WHERE 大题号=(SELECT 大题号 FROM 大题)"), "2");
    EXPECT_EQ(one("SELECT 题目内容 FROM 小题 WHERE 题目内容 LIKE '单题%'"), "单题的材料。<br>单独一题？");
    EXPECT_EQ(one("SELECT count(*) FROM 答案选项 WHERE 大题号<>小题号 AND 小题号 NOT IN (SELECT 小题号 FROM "
                  "小题 WHERE "
                  "大题号<>小题号)"),
              "0");
}

// A question the file repeats, blanks aside, is planned and written once.
TEST(TemplateImport, AQuestionTwiceInTheFileIsImportedOnce) {
    OpenBank bank(kBank);
    WriteFileBytes(bank.Install.Path("重复.csv"),
                   "题干,选项A,选项B,答案\n重复的题目,甲,乙,A\n重复的 题目,甲,乙,A\n");
    const ImportPlan p = plan(QString::fromStdString(bank.Install.Path("重复.csv")));
    ASSERT_TRUE(p.Clean()) << problems(p).join(u'\n').toStdString();
    EXPECT_EQ(p.duplicates, 1);
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(WritePlan(bank.Module().ADOConnection1, p).questions, 1);
    EXPECT_EQ(one("SELECT count(*) FROM 小题 WHERE 题目内容 LIKE '重复%'"), "1");
}

TEST(TemplateImport, ACancelledOrRefusedImportLeavesTheBankAsItWas) {
    OpenBank bank(kBank);
    std::string csv = "题干,选项A,选项B,答案,题型\n";
    for (int i = 0; i < 1200; ++i)
        csv += "题" + std::to_string(i) + ",甲,乙,A,论述选择题\n";
    WriteFileBytes(bank.Install.Path("多.csv"), csv);
    const QString path = QString::fromStdString(bank.Install.Path("多.csv"));
    const ImportPlan refused = plan(path);
    EXPECT_EQ(refused.newTypes, QStringList{"论述选择题"});
    EXPECT_EQ(refused.badLines.size(), 1200) << "a type the bank lacks needs the user's word";

    ImportOptions yes;
    yes.newTypes = true;
    yes.fallbackSource = QStringLiteral("多");
    const ImportPlan p = plan(path, yes);
    ASSERT_TRUE(p.Clean());
    int calls = 0;
    EXPECT_THROW(WritePlan(bank.Module().ADOConnection1, p, [&](int, int) { return ++calls < 2; }),
                 ImportCancelled);
    EXPECT_EQ(one("SELECT count(*) FROM 小题"), "1");
    EXPECT_EQ(one("SELECT count(*) FROM 题目类别"), "3");
    EXPECT_EQ(one("SELECT count(*) FROM 类型说明"), "4");

    const ImportResult r = WritePlan(bank.Module().ADOConnection1, p);
    EXPECT_EQ(r.questions, 1200);
    EXPECT_EQ(r.types, 1);
    EXPECT_EQ(one("SELECT 分数 FROM 类型说明 WHERE 题目类型='论述选择题'"), "1");
    EXPECT_EQ(one("SELECT 名称 FROM 题目类别 WHERE 编号=" + std::to_string(r.firstSection)), "未分类");
}

TEST(TextImport, TheUsualLayoutWithHeadingsMaterialsAndOptionsOnOneLine) {
    const std::vector<Text> lines = {
        {"分类：我的题/言语理解与表达/逻辑填空", false},
        {"一、单项选择题（每题 1 分）", false},
        {"1. 依次填入画横线部分最恰当的一项是：", false},
        {"＿＿＿＿推进改革。", false},
        {"A. 循序渐进  B. 按部就班  C．亦步亦趋  D、一蹴而就", false},
        {"答案：A", false},
        {"解析：第一行", false},
        {"第二行", false},
        {"二、资料分析题", false},
        {"【材料】2023年产值 100 亿元，", false},
        {"增长 10%。", false},
        {"2. 2022年产值约为：", false},
        {"A. 91", false},
        {"B. 90", false},
        {"【答案】A", false},
        {"3、增长量为：", false},
        {"A.9.1 B.10", false},
        {"答案：a", false},
    };
    const ParsedFile f = ReadQuestionLines(lines, {});
    EXPECT_TRUE(f.problems.empty());
    ASSERT_EQ(f.records.size(), 3u);
    const Record& a = f.records[0];
    EXPECT_EQ(a.line, 3);
    EXPECT_EQ(a.category, "我的题/言语理解与表达/逻辑填空");
    EXPECT_EQ(a.type, "单项选择题");
    EXPECT_EQ(a.stem.value, "依次填入画横线部分最恰当的一项是：\n＿＿＿＿推进改革。");
    ASSERT_EQ(a.options.size(), 4u);
    EXPECT_EQ(a.options[1].value, "按部就班");
    EXPECT_EQ(a.options[3].value, "一蹴而就");
    EXPECT_EQ(a.key, "A");
    EXPECT_EQ(a.explanation.value, "第一行\n第二行");
    EXPECT_EQ(f.records[1].type, "资料分析题");
    EXPECT_EQ(f.records[1].material.value, "2023年产值 100 亿元，\n增长 10%。");
    EXPECT_EQ(f.records[1].groupId, f.records[2].groupId);
    EXPECT_FALSE(f.records[2].groupId.isEmpty());
    EXPECT_EQ(f.records[2].options.size(), 2u);
    EXPECT_EQ(f.records[2].options[0].value, "9.1");

    // A Word line keeps its markup; the number and letter are cut from the text, not the tags.
    const ParsedFile w = ReadQuestionLines(
        {{"<b>1. 粗体</b>题干", true}, {"A. x<sup>2</sup> B. <sub>y</sub>", true}, {"答案：B", true}}, {});
    ASSERT_EQ(w.records.size(), 1u);
    EXPECT_EQ(w.records[0].stem.value, "<b>粗体</b>题干");
    ASSERT_EQ(w.records[0].options.size(), 2u);
    EXPECT_EQ(w.records[0].options[0].value, "x<sup>2</sup>");
    EXPECT_EQ(w.records[0].options[1].value, "<sub>y</sub>");
}

TEST(HostileImport, NothingOfAHostileFileReachesTheBank) {
    OpenBank bank(kBank);
    WriteFileBytes(
        bank.Install.Path("坏.csv"),
        "题干,选项A,选项B,答案,解析\n"
        "\"<script>fetch('file:///etc/passwd')</script>题<img src=x onerror=alert(1)>\","
        "\"<a href=\"\"javascript:alert(1)\"\">甲</a>\",<iframe src=http://x/></iframe>乙,A,"
        "\"<style>*{}</style><form action=http://x><input></form><img src=\"\"http://x/p.png\"\">解\"\n");
    WriteFileBytes(
        bank.Install.Path("坏.xml"),
        "<quiz><question type=\"multichoice\"><questiontext format=\"html\"><text><![CDATA[<b "
        "onclick=x()>题二"
        "</b><svg onload=alert(1)></svg>]]></text></questiontext><answer fraction=\"100\" format=\"html\">"
        "<text><![CDATA[<img src=\"../images/bank/"
        "0000000000000000000000000000000000000000000000000000000000000000.png\">对]]></text></answer>"
        "<answer fraction=\"0\"><text>错</text></answer></question></quiz>");
    for (const char* file : {"坏.csv", "坏.xml"}) {
        ImportOptions options;
        options.fallbackSource = QStringLiteral("坏");
        const ImportPlan p = plan(QString::fromStdString(bank.Install.Path(file)), options);
        ASSERT_TRUE(p.Clean()) << file;
        WritePlan(bank.Module().ADOConnection1, p);
    }
    EXPECT_EQ(one("SELECT group_concat(题目内容 || 解释, '|') FROM 小题 WHERE 小题号 > 5"),
              "题解|<b>题二</b>");
    EXPECT_EQ(one("SELECT group_concat(答题选项, '|') FROM 答案选项 WHERE 小题号 > 5"), "甲|乙|对|错");
}

// The template users fill: both copies say the same and import cleanly.
TEST(TemplateImport, TheShippedTemplatesAgreeAndPassTheCheck) {
    OpenBank bank(kBank);
    const QString dir = QStringLiteral(QUILLORA_SOURCE_DIR "/data/import/");
    const ImportPlan csv = plan(dir + "题库模板.csv");
    const ImportPlan xlsx = plan(dir + "题库模板.xlsx");
    EXPECT_TRUE(csv.Clean()) << (csv.problems.empty() ? "" : DescribeProblem(csv.problems[0]).toStdString());
    ASSERT_EQ(csv.questions.size(), 8u);
    ASSERT_EQ(xlsx.questions.size(), csv.questions.size());
    for (size_t i = 0; i < csv.questions.size(); ++i) {
        EXPECT_EQ(xlsx.questions[i].stem, csv.questions[i].stem);
        EXPECT_EQ(xlsx.questions[i].options, csv.questions[i].options);
        EXPECT_EQ(xlsx.questions[i].key, csv.questions[i].key);
        EXPECT_EQ(xlsx.questions[i].explanation, csv.questions[i].explanation);
    }
    EXPECT_EQ(csv.groups.size(), 1u);
}

// The pages find imported pictures in images/bank/; a name in the bank that
// is not a hash and an extension never becomes a file name.
TEST(TemplateImport, PicturesAreWrittenForThePagesUnderTheirHashOnly) {
    OpenBank bank(kBank);
    WriteFileBytes(bank.Install.Path("图.gif"), "GIF89a-small-picture");
    WriteFileBytes(bank.Install.Path("带图.csv"), "题干,选项A,选项B,答案,图片\n看图,甲,乙,A,图.gif\n");
    const ImportPlan p = plan(QString::fromStdString(bank.Install.Path("带图.csv")));
    ASSERT_TRUE(p.Clean());
    ASSERT_EQ(p.pictures.size(), 1u);
    const QString name = p.pictures.begin()->first + ".gif";
    EXPECT_EQ(WritePlan(bank.Module().ADOConnection1, p).pictures, 1);
    DataModule1->ADOQuery2.ExecWith({"INSERT INTO 图片 VALUES('../../逃出.gif', X'474946383961')"});
    // A name that promises a picture: HTML under it, and a GIF under another GIF's hash, are never written.
    const std::string fake = std::string(64, 'a') + ".png", other = std::string(64, 'b') + ".gif";
    DataModule1->ADOQuery2.ExecWith(
        {"INSERT INTO 图片 VALUES('" + fake + "', CAST('<script>alert(1)</script>' AS BLOB))"});
    DataModule1->ADOQuery2.ExecWith({"INSERT INTO 图片 VALUES('" + other + "', X'474946383961')"});

    EXPECT_EQ(
        WriteMissingPictures(bank.Module().ADOConnection1, QString::fromStdString(bank.Install.Folder())), 1);
    EXPECT_EQ(ReadFileBytes(bank.Install.Path("images/bank/" + name.toStdString())), "GIF89a-small-picture");
    EXPECT_FALSE(FileExists(bank.Install.Path("逃出.gif")));
    EXPECT_FALSE(FileExists(bank.Install.Path("images/bank/" + fake)));
    EXPECT_FALSE(FileExists(bank.Install.Path("images/bank/" + other)));
    EXPECT_EQ(one("SELECT 题目内容 FROM 小题 WHERE 题目内容 LIKE '看图%'"),
              "看图<br><img src=\"../images/bank/" + name.toStdString() + "\">");
    // Written once: a second start finds it there.
    EXPECT_EQ(
        WriteMissingPictures(bank.Module().ADOConnection1, QString::fromStdString(bank.Install.Folder())), 0);
}

TEST(TextImport, PapersWithTheirAnswersAtTheEndInEveryUsualForm) {
    const auto keys = [](const std::vector<Text>& lines) {
        const ParsedFile f = ReadQuestionLines(lines, {});
        QStringList out;
        for (const Record& r : f.records)
            out << QStringLiteral("%1:%2").arg(r.number).arg(r.key);
        return out.join(u' ').toStdString();
    };
    // Numbers and options in brackets and full width, a question number spelt 第3题, keys as "1.B 2.C".
    const std::vector<Text> bracketed = {
        {"（1）甲", false},      {"（A）对 （B）错", false}, {"(2) 乙", false},
        {"Ａ．对", false},       {"Ｂ．错", false},          {"第3题 丙", false},
        {"A、对  B、错", false}, {"参考答案", false},        {"1.B 2．A 3、B", false},
    };
    EXPECT_EQ(keys(bracketed), "1:B 2:A 3:B");
    // Ranges, per part with numbering that restarts, and a table of numbers over letters.
    const std::vector<Text> parts = {
        {"第一部分 常识判断", false},
        {"1. 甲", false},
        {"A. 对 B. 错", false},
        {"2. 乙", false},
        {"A. 对 B. 错", false},
        {"第二部分 言语理解与表达", false},
        {"1. 丙", false},
        {"A. 对 B. 错", false},
        {"2. 丁", false},
        {"A. 对 B. 错", false},
        {"3. 戊", false},
        {"A. 对 B. 错", false},
        {"答案及解析", false},
        {"第一部分", false},
        {"1-2 BA", false},
        {"第二部分", false},
        {"题号", false},
        {"1", false},
        {"2", false},
        {"3", false},
        {"答案", false},
        {"A", false},
        {"B", false},
        {"B", false},
    };
    EXPECT_EQ(keys(parts), "1:B 2:A 1:A 2:B 3:B");
    // 1．【答案】B【解析】… with the explanation running on; an inline key stays.
    const std::vector<Text> full = {
        {"1. 甲", false},
        {"A. 对 B. 错", false},
        {"2. 乙", false},
        {"A. 对 B. 错", false},
        {"答案：A", false},
        {"参考答案与解析", false},
        {"1．【答案】B【解析】第一行", false},
        {"第二行", false},
        {"2．【答案】B", false},
    };
    const ParsedFile f = ReadQuestionLines(full, {});
    ASSERT_EQ(f.records.size(), 2u);
    EXPECT_EQ(f.records[0].key, "B");
    EXPECT_EQ(f.records[0].explanation.value, "第一行\n第二行");
    EXPECT_EQ(f.records[1].key, "A");
    // Four figures in one picture, named by the letters under it.
    const ParsedFile figures = ReadQuestionLines({{"1. 选出一项", false},
                                                  {"<img src=\"../images/bank/a.png\">", true},
                                                  {"A.  B.  C.  D.", false},
                                                  {"答案：C", false}},
                                                 {});
    ASSERT_EQ(figures.records.size(), 1u);
    EXPECT_EQ(figures.records[0].options.size(), 4u);
    EXPECT_TRUE(figures.records[0].stem.value.contains(u"<img"));
}
