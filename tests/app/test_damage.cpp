// The real main window on damaged installations: a clear message, no crash,
// and the user's bank left as it was.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "render/Global.h"

#include <filesystem>

namespace {
// The start-up page is the first root's first child's first child.
const std::string kBank = DefaultSettingsSql() + FixtureText("render/fixtures/page_bank.sql") +
                          "INSERT INTO 题目类别 VALUES(1,'模拟题库',0,'0');"
                          "INSERT INTO 题目类别 VALUES(10,'言语理解与表达',1,NULL);"
                          "INSERT INTO 题目类别 VALUES(101,'片段阅读',10,NULL);";

class DamagedInstall : public MainWindowFixture {
protected:
    DamagedInstall() : MainWindowFixture(kBank) {}
    std::string bank() { return ReadFileBytes(inst.Path("exam.db")); }
    // A start that may fail: whether the window came up.
    bool start() {
        frm = std::make_unique<TFrmMain>();
        return frm->FormCreate();
    }
};
} // namespace

TEST_F(DamagedInstall, ATruncatedBankEndsInTheFatalMessageAndKeepsItsBytes) {
    std::string bytes = bank();
    bytes.resize(4096 + 2048); // the header and half of SQLite's first page
    WriteFileBytes(inst.Path("exam.db"), bytes);
    EXPECT_FALSE(start());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "打开数据库出现严重的错误，程序将中止！");
    EXPECT_EQ(bank(), bytes);
}

TEST_F(DamagedInstall, BitFlipsInsideThePagesAreReportedWithoutACrash) {
    std::string bytes = bank();
    // Every byte of every page after SQLite's first: the schema still reads,
    // the tables do not.
    for (size_t i = 4096 + 4096; i < bytes.size(); i += 1)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    WriteFileBytes(inst.Path("exam.db"), bytes);
    start(); // the window may or may not come up; either way the user is told
    ASSERT_FALSE(boxes.shown.empty());
    // Only the header block was ever written back, and it was closed before.
    EXPECT_EQ(bank().substr(4096), bytes.substr(4096));
}

TEST_F(DamagedInstall, AMissingCssFolderIsNamedAndTheWindowStillOpens) {
    std::filesystem::remove_all(inst.Path("css"));
    EXPECT_TRUE(start());
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("css/Question.html")))
        << boxes.shown[0].text.toStdString();
    EXPECT_FALSE(PaperLoaded);
}
