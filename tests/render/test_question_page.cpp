#include "platform/Gbk.h"
#include "platform/InstanceLock.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "render/StyleSheet.h"
#include "store/DataModule.h"
#include "store/DatabaseError.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {
std::vector<std::string> splitLines(const std::string& text, const std::string& eol) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at; (at = text.find(eol, start)) != std::string::npos; start = at + eol.size())
        out.push_back(text.substr(start, at - start));
    if (start != text.size()) out.push_back(text.substr(start) + "<no line end>");
    return out;
}

std::vector<std::string> pageLines(const OpenBank& bank) {
    const std::string bytes = ReadFileBytes(bank.Install.Path("css/Question.html"));
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = splitLines(GbkToUtf8(bytes), "\r\n");
    for (const std::string& l : lines)
        EXPECT_EQ(l.find('\n'), std::string::npos) << "bare LF in: " << l;
    return lines;
}

void listIds(std::initializer_list<int> ids) {
    XiaoTiList.Clear();
    for (int id : ids)
        XiaoTiList.Add()->Id = id;
}

class QuestionPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextColor = "#000000";
        PaperLoaded = true;
        ShiTiList.Clear();
    }
    MessageBoxRecorder boxes;
    OpenBank bank{FixtureText("render/fixtures/page_bank.sql")};
};
} // namespace

TEST_F(QuestionPageTest, EveryKindOfBlockMatchesTheExpectedPage) {
    listIds({30, 10, 11, 12, 13, 14, 20, 21, 22, 23, 40, 41, 10, 99});
    BuildQuestionPage("测试页");
    const std::vector<std::string> expected =
        splitLines(FixtureText("render/golden/question_page.html"), "\n");
    const std::vector<std::string> actual = pageLines(bank);
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(actual.size(), expected.size());

    struct Want {
        int id, options;
        const char* type;
        const char* answer;
    };
    const Want want[] = {{11, 4, "单项选择题", "B"}, {12, 2, "单项选择题", "A"}, {13, 2, "单项选择题", "B"},
                         {14, 2, "单项选择题", "a"}, {20, 3, "多选题", "AC"},    {21, 3, "多选题", "BC"},
                         {22, 2, "判断题", "A"},     {23, 0, "判断题", ""},      {30, 2, "单项选择题", "A"},
                         {40, 27, "单项选择题", "["}};
    ASSERT_EQ(ShiTiList.Count(), static_cast<int>(std::size(want)));
    for (int i = 0; i < ShiTiList.Count(); ++i) {
        EXPECT_EQ(ShiTiList[i]->Id, want[i].id);
        EXPECT_EQ(ShiTiList[i]->OptionCount, want[i].options) << want[i].id;
        EXPECT_EQ(ShiTiList[i]->TypeName, want[i].type);
        EXPECT_EQ(ShiTiList[i]->Answer, want[i].answer);
        EXPECT_FALSE(ShiTiList[i]->Correct);
    }
    EXPECT_FALSE(PaperLoaded) << "the last block is a plain item";
}

TEST_F(QuestionPageTest, LastAnswerableBlockLeavesThePaperLoaded) {
    PaperLoaded = false;
    listIds({10, 11});
    BuildQuestionPage("x");
    EXPECT_TRUE(PaperLoaded);
    EXPECT_EQ(ShiTiList.Count(), 1);
}

TEST_F(QuestionPageTest, NoRowsGiveTheBarePageAndAnEmptyList) {
    listIds({11});
    BuildQuestionPage("x");
    ASSERT_EQ(ShiTiList.Count(), 1);
    listIds({98, 99});
    PaperLoaded = true;
    BuildQuestionPage("空");
    const std::vector<std::string> lines = pageLines(bank);
    ASSERT_EQ(lines.size(), 68u); // head, body start, page end
    EXPECT_EQ(lines[4], "<title>空</title>");
    EXPECT_EQ(lines[66], "<tr><td width=\"77%\" align=\"center\" class=\"TestCaption\">");
    EXPECT_EQ(lines[67], "</div> </div></body></html>");
    EXPECT_EQ(ShiTiList.Count(), 0);
    EXPECT_TRUE(PaperLoaded) << "unchanged without rows";
}

TEST_F(QuestionPageTest, AnEmptyListIsTheDatabasesErrorAndKeepsThePreviousRecords) {
    listIds({11, 12});
    BuildQuestionPage("x");
    ASSERT_EQ(ShiTiList.Count(), 2);
    XiaoTiList.Clear();
    EXPECT_THROW(BuildQuestionPage("空列表"), EDatabaseError);
    const std::vector<std::string> lines = pageLines(bank);
    EXPECT_EQ(lines.size(), 67u) << "the file holds what was written before the query";
    EXPECT_EQ(lines[4], "<title>空列表</title>");
    EXPECT_EQ(ShiTiList.Count(), 2);
    EXPECT_TRUE(PaperLoaded);
}

TEST_F(QuestionPageTest, QuotesInATypeNameDoNotBreakTheTypeQuery) {
    MessageBoxRecorder quiet;
    OpenBank other("INSERT INTO 类型说明 VALUES('它''s 题','：说明',1);"
                   "INSERT INTO 小题 VALUES(1,1,101,'它''s 题','题干','A','',0,0);");
    listIds({1});
    BuildQuestionPage("引号");
    const std::string page = GbkToUtf8(ReadFileBytes(other.Install.Path("css/Question.html")));
    EXPECT_NE(page.find("它's 题：说明"), std::string::npos);
    EXPECT_NE(page.find("lx=\"它's 题\""), std::string::npos);
}

// Links planted in the working folder: start-up and the page writers replace
// or refuse each one, and what they point at stays as it was.
TEST_F(QuestionPageTest, LinksPlantedInTheWorkingFolderAreNeverWrittenThrough) {
    namespace fs = std::filesystem;
    const std::string folder = bank.Install.Folder();
    TestInstall outside({}, false);
    const std::string victim = outside.Path("victim");
    WriteFileBytes(victim, "someone else's file");
    for (const char* name : {"temp.db", "css/Question.html", "css/Main.css"})
        fs::create_symlink(victim, folder + name);
    // Links to nowhere: opening through one would create the file outside.
    fs::create_symlink(outside.Path("lock"), folder + "exam.db.lock");

    // Start-up: the lock, then the guard's copies around connecting.
    bank.Module().ADOConnection1.Close();
    {
        const InstanceLock lock(folder);
        EXPECT_TRUE(lock.Acquired());
    }
    ASSERT_TRUE(bank.Module().GuardAndConnect(folder));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder + "temp.db")));
    listIds({11});
    BuildQuestionPage("链接");
    WriteMainCss();
    EXPECT_FALSE(fs::is_symlink(folder + "css/Question.html"));
    EXPECT_EQ(pageLines(bank)[4], "<title>链接</title>");

    // Regular leftovers of a crash block nothing.
    WriteFileBytes(folder + "temp.db", "left by a crash");
    BuildQuestionPage("又一页");
    EXPECT_EQ(pageLines(bank)[4], "<title>又一页</title>");
    bank.Module().ADOConnection1.Close();
    ASSERT_TRUE(bank.Module().GuardAndConnect(folder));
    EXPECT_FALSE(fs::exists(folder + "temp.db"));

    EXPECT_EQ(ReadFileBytes(victim), "someone else's file");
    EXPECT_FALSE(fs::exists(outside.Path("lock")));

    // The bank itself as a link is refused, and what it points at is not written.
    const std::string bankBytes = ReadFileBytes(folder + "exam.db");
    TestInstall linked({}, false);
    fs::create_symlink(folder + "exam.db", linked.Path("exam.db"));
    TDataModule1 other;
    EXPECT_FALSE(other.GuardAndConnect(linked.Folder()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "打开数据库出现严重的错误，程序将中止！");
    EXPECT_EQ(ReadFileBytes(folder + "exam.db"), bankBytes);
}
