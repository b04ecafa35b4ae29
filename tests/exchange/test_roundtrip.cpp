// Export then import into another bank gives the same questions back: paths,
// types, texts, options, keys, explanations, groups and pictures.
#include "exchange/BankImport.h"
#include "exchange/Export.h"
#include "exchange/ImportFile.h"
#include "exchange/TypeNotes.h"
#include "platform/Gbk.h"
#include "store/DataModule.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace exchange;

namespace {
const char* kTypes =
    "INSERT INTO 类型说明 VALUES('单项选择题','：',1);INSERT INTO 类型说明 VALUES('多项选择题','：',1);"
    "INSERT INTO 类型说明 VALUES('判断题','：',1);INSERT INTO 类型说明 VALUES('资料分析题','：',1);";

ImportResult importInto(OpenBank& bank, const QString& path) {
    ImportPlan plan = PlanImport(ReadImportFile(path), ReadBankFacts(bank.Module().ADOConnection1), {});
    EXPECT_TRUE(plan.Clean()) << (plan.problems.empty() ? std::string()
                                                        : DescribeProblem(plan.problems[0]).toStdString());
    return WritePlan(bank.Module().ADOConnection1, plan);
}

// Everything but the numbers the bank gave out.
std::vector<QStringList> contentOf(OpenBank& bank) {
    std::vector<QStringList> out;
    for (const ExportedQuestion& q :
         ReadForExport(bank.Module().ADOConnection1, {Selection::Kind::Category, 0}))
        out.push_back(QStringList{q.path[0], q.path[1], q.path[2], q.type, q.stem, q.options.join(u'|'),
                                  q.key, q.explanation, q.group ? QStringLiteral("组") : QString(),
                                  q.material});
    return out;
}
} // namespace

TEST(RoundTrip, TheTemplateAndMoodleXmlGiveTheSameQuestionsBack) {
    auto source = std::make_unique<OpenBank>(kTypes);
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    {
        QFile f(QString::fromStdString(source->Install.Path("图.png")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(png);
    }
    const std::string csv =
        "分类,题型,题干,选项A,选项B,选项C,答案,解析,材料编号,材料,图片\n"
        "甲源/言语/填空,,选<b>一</b>项,一,二,三,b,因为 <sup>2</sup>,,,图.png\n"
        "甲源/常识/法律,多项选择题,选多项,一,二,三,AC,,,,\n"
        "甲源/常识/法律,判断题,对吗,,,,错误,不对,,,\n"
        "甲源/资料/综合,资料分析题,第一问,1,2,3,A,,M,材料<table border=\"1\"><tr><td>5</td></tr></table>,\n"
        "甲源/资料/综合,资料分析题,第二问,1,2,3,C,,M,,\n";
    WriteFileBytes(source->Install.Path("源.csv"), csv);
    ASSERT_EQ(importInto(*source, QString::fromStdString(source->Install.Path("源.csv"))).questions, 5);
    const auto original = contentOf(*source);
    ASSERT_EQ(original.size(), 5u);
    EXPECT_TRUE(original[0][4].contains("<img src=\"../images/bank/")) << original[0][4].toStdString();

    const QTemporaryDir out; // outlives the source bank's folder
    const QString xlsx = out.filePath(QStringLiteral("出.xlsx"));
    const QString xml = out.filePath(QStringLiteral("出.xml"));
    QString error;
    const auto questions = ReadForExport(source->Module().ADOConnection1, {Selection::Kind::Category, 0});
    const PictureSource pictures = BankPictures(source->Module().ADOConnection1);
    ASSERT_TRUE(WriteTemplateXlsx(xlsx, questions, pictures, &error)) << error.toStdString();
    ASSERT_TRUE(WriteMoodleXml(xml, questions, pictures, &error)) << error.toStdString();
    source.reset();

    for (const QString& file : {xlsx, xml}) {
        OpenBank target(kTypes);
        const ImportResult r = importInto(target, file);
        EXPECT_EQ(r.questions, 5) << file.toStdString();
        EXPECT_EQ(r.groups, 1);
        EXPECT_EQ(r.pictures, 1);
        EXPECT_EQ(contentOf(target), original) << file.toStdString();
    }
}

TEST(RoundTrip, TypesTravelWithTheirInstructionsAndPointsBesideTheExport) {
    // Five types the target lacks: more than a file may make without notes.
    std::string sql = kTypes;
    std::string csv = "分类,题型,题干,选项A,选项B,答案\n";
    for (int k = 1; k <= 5; ++k) {
        const std::string type = "型" + std::to_string(k);
        sql += "INSERT INTO 类型说明 VALUES('" + type + "','：说明" + std::to_string(k) + "<b>',0." +
               std::to_string(k) + ");";
        csv += "甲源/科/节," + type + ",题" + std::to_string(k) + ",一,二,A\n";
    }
    csv += "甲源/科/节,型5,写一篇文章,,,\n"; // an essay task of a noted type
    auto source = std::make_unique<OpenBank>(sql);
    WriteFileBytes(source->Install.Path("源.csv"), csv);
    ASSERT_EQ(importInto(*source, QString::fromStdString(source->Install.Path("源.csv"))).questions, 6);

    const QTemporaryDir out;
    const QString xlsx = out.filePath(QStringLiteral("出.xlsx"));
    QString error;
    const auto questions = ReadForExport(source->Module().ADOConnection1, {Selection::Kind::Category, 0});
    ASSERT_TRUE(WriteTemplateXlsx(xlsx, questions, BankPictures(source->Module().ADOConnection1), &error));
    ASSERT_TRUE(WriteTypeNotes(source->Module().ADOConnection1,
                               {QStringLiteral("型2"), QStringLiteral("型5"), QStringLiteral("型1"),
                                QStringLiteral("型3"), QStringLiteral("型4")},
                               out.filePath(QString::fromUtf8(kTypeNotesFile)), &error));
    source.reset();

    OpenBank target(kTypes);
    ImportOptions options;
    options.typeNotes = ReadTypeNotesBeside(xlsx);
    ImportPlan plan =
        PlanImport(ReadImportFile(xlsx), ReadBankFacts(target.Module().ADOConnection1), options);
    EXPECT_TRUE(plan.Clean()) << (plan.problems.empty() ? std::string()
                                                        : DescribeProblem(plan.problems[0]).toStdString());
    EXPECT_TRUE(plan.newTypes.isEmpty()) << "nothing left to confirm";
    EXPECT_EQ(WritePlan(target.Module().ADOConnection1, plan).types, 5);
    AdoQuery& q = target.Module().ADOQuery1;
    q.OpenWith({"SELECT 类型说明, 分数 FROM 类型说明 WHERE 题目类型='型5'"});
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.Fields(0).AsString(), "：说明5&lt;b&gt;") << "a note is plain text on the page";
    EXPECT_DOUBLE_EQ(q.Fields(1).AsFloat(), 0.5);
    EXPECT_EQ(q.OpenWith({"SELECT 1 FROM 小题 WHERE 题目类型='型5'"}).RecordCount(), 2);
}

// The template's 解析 cell names its pictures as the stem's do: bare, beside the workbook.
TEST(RoundTrip, AnExplanationsPictureGoesBesideTheWorkbookAndComesBack) {
    auto source = std::make_unique<OpenBank>(kTypes);
    const QByteArray gif("GIF89a-explanation");
    WriteFileBytes(source->Install.Path("解.gif"), gif.toStdString());
    WriteFileBytes(
        source->Install.Path("源.csv"),
        "分类,题干,选项A,选项B,答案,解析\n甲源/言语/填空,看解析,一,二,A,\"如图<img src=\"\"解.gif\"\">\"\n");
    ASSERT_EQ(importInto(*source, QString::fromStdString(source->Install.Path("源.csv"))).questions, 1);
    const auto original = contentOf(*source);
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(gif, QCryptographicHash::Sha256).toHex()) + ".gif";
    ASSERT_EQ(original.size(), 1u);
    ASSERT_TRUE(original[0][7].contains("../images/bank/" + name)) << original[0][7].toStdString();

    const QTemporaryDir out;
    const QString xlsx = out.filePath(QStringLiteral("出.xlsx"));
    QString error;
    const auto questions = ReadForExport(source->Module().ADOConnection1, {Selection::Kind::Category, 0});
    ASSERT_TRUE(WriteTemplateXlsx(xlsx, questions, BankPictures(source->Module().ADOConnection1), &error))
        << error.toStdString();
    source.reset();
    EXPECT_TRUE(QFile::exists(out.filePath(name)));

    OpenBank target(kTypes);
    EXPECT_EQ(importInto(target, xlsx).pictures, 1);
    EXPECT_EQ(contentOf(target), original);
}
