// "收藏本题" under a question, clicked in the real main browser, reaches the
// program through window.external and marks the question.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <QElapsedTimer>

namespace {
class FavouriteInPageTest : public MainWindowFixture {
protected:
    FavouriteInPageTest()
        : MainWindowFixture(
              DefaultSettingsSql() + FixtureText("render/fixtures/page_bank.sql") +
              "INSERT INTO 题目类别 VALUES(1,'源',0,'0');INSERT INTO 题目类别 VALUES(11,'科目',1,NULL);"
              "INSERT INTO 题目类别 VALUES(101,'节',11,NULL);") {}

    int favourite(int id) { return FavouriteMark(id); }
    bool waitForBoxes(size_t n) {
        QElapsedTimer t;
        t.start();
        while (boxes.shown.size() < n && t.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        return boxes.shown.size() >= n;
    }
};
} // namespace

TEST_F(FavouriteInPageTest, ClickingTheLinkMarksTheQuestionAndReportsIt) {
    TFrmMain& f = Start(); // start-up showed the category page in WebBrowser1
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    ASSERT_TRUE(f.WebBrowser1->HasExternal());
    EXPECT_EQ(f.WebBrowser1->Evaluate("typeof external.DoSeaarchData").toString(), "function");
    EXPECT_EQ(f.WebBrowser1->Evaluate("window.external === window.external").toBool(), true);

    f.WebBrowser1->ExecScript("document.querySelector(\"a[onclick=\\\"scbt('12');\\\"]\").click()");
    ASSERT_TRUE(waitForBoxes(1));
    EXPECT_EQ(boxes.shown[0].text, "已经成功地收藏了本题!");
    EXPECT_EQ(boxes.shown[0].caption, "收藏成功");
    EXPECT_EQ(favourite(12), 1);
    EXPECT_EQ(favourite(11), 0);

    // A number instead of a text works the same; a member the object lacks fails in the page.
    f.WebBrowser1->ExecScript("external.DoSeaarchData(13)");
    ASSERT_TRUE(waitForBoxes(2));
    EXPECT_EQ(favourite(13), 1);
    EXPECT_THROW(f.WebBrowser1->ExecScript("external.DoSearchData('11')"), EScriptError);

    // The same page in another browser has no such object.
    f.WebBrowser2->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser2->WaitForLoad());
    EXPECT_FALSE(f.WebBrowser2->HasExternal());
    EXPECT_EQ(f.WebBrowser2->Evaluate("typeof window.external.DoSeaarchData").toString(), "undefined");
    EXPECT_THROW(f.WebBrowser2->ExecScript("scbt('11')"), EScriptError);
    QApplication::processEvents();
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(favourite(11), 0);
}

TEST_F(FavouriteInPageTest, OnlyOurQuestionPageReachesTheProgramAndALoopingPageFallsSilent) {
    TFrmMain& f = Start();
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    // Another page in the main browser has the object, but the program does not answer it.
    WriteFileBytes(inst.Path("css/other.html"), "<html><body>other</body></html>");
    f.WebBrowser1->Navigate(inst.Path("css/other.html"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    f.WebBrowser1->ExecScript("external.DoSeaarchData(12)");
    // The channel lives in the program's own world: the page cannot reach it
    // past window.external, not even to call the bridge directly.
    EXPECT_EQ(f.WebBrowser1->Evaluate("typeof qt").toString(), "undefined");
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(favourite(12), 0);
    EXPECT_TRUE(boxes.shown.empty());

    // Our page calling in a loop, also while its box is open (the user reading
    // it): a box or a few, then nothing more from that page.
    f.WebBrowser1->Navigate(inst.Path("css/Question.html"));
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    int shown = 0;
    const MessageBoxHandler recorder = SetMessageBoxHandler([&](const QString&, const QString&, int) {
        ++shown;
        QElapsedTimer open;
        open.start();
        while (open.elapsed() < 400)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return IDOK;
    });
    f.WebBrowser1->ExecScript("setInterval(function(){ external.DoSeaarchData(13); }, 20)");
    t.restart();
    while (t.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    SetMessageBoxHandler(recorder);
    EXPECT_GE(shown, 1);
    EXPECT_LE(shown, 3) << "boxes do not pile up, and the page falls silent";
    EXPECT_EQ(favourite(13), 1);
}
