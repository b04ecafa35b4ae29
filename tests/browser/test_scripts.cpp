// Script calls into a page: values, errors, and a script that outlasts its limit.
#include "browser/WebBrowser.h"
#include "platform/MessageBox.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

TEST(PageScripts, AReplyAfterTheLimitIsDroppedAndTheNextCallAnswersRightly) {
    WebBrowser b;
    b.Navigate(QStringLiteral("about:blank"));
    b.Document().Writeln("<html><body><p id=\"x\">1</p></body></html>");
    ASSERT_TRUE(b.WaitForLoad());
    EXPECT_EQ(b.Evaluate(QStringLiteral("6*7")).toInt(), 42);
    EXPECT_THROW(b.Evaluate(QStringLiteral("no_such_function()")), EScriptError);

    WebBrowser::SetScriptTimeoutForTests(200);
    // Busy for longer than the limit: the call gives up, the page answers later.
    EXPECT_THROW(b.Evaluate(QStringLiteral("(function(){var t=Date.now();while(Date.now()-t<1200){}return 'late';})()")),
                 EScriptError);
    WebBrowser::SetScriptTimeoutForTests(15000);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 50);  // the late reply arrives here
    EXPECT_EQ(b.Evaluate(QStringLiteral("document.getElementById('x').textContent")).toString(), "1");
}

TEST(PageScripts, APageThatLoopsOnDialogsCannotHoldTheWindow) {
    MessageBoxRecorder boxes;
    WebBrowser b;
    b.Navigate(QStringLiteral("about:blank"));
    b.Document().Writeln("<html><body></body></html>");
    ASSERT_TRUE(b.WaitForLoad());
    auto wait = [](int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    b.ExecScript(QStringLiteral("for (var i = 0; i < 100; i++) alert('第' + i + '次');"));
    ASSERT_EQ(boxes.shown.size(), 1u) << "one a second";
    EXPECT_EQ(boxes.shown[0].text, "第0次");
    wait(1100);
    boxes.Answer(IDCANCEL);
    EXPECT_FALSE(b.Evaluate(QStringLiteral("confirm('继续吗？')")).toBool());
    ASSERT_EQ(boxes.shown.size(), 2u);
    wait(1100);
    b.ExecScript(QStringLiteral("alert('拒绝之后')"));
    EXPECT_EQ(boxes.shown.size(), 2u) << "none after the user said no";

    // A new document starts afresh; past a few dialogs the user is asked.
    b.Navigate(QStringLiteral("about:blank"));
    b.Document().Writeln("<html><body></body></html>");
    ASSERT_TRUE(b.WaitForLoad());
    for (int i = 0; i < 3; ++i) {
        b.ExecScript(QStringLiteral("alert('again')"));
        wait(1100);
    }
    EXPECT_EQ(boxes.shown.size(), 5u);
    boxes.Answer(IDNO);
    b.ExecScript(QStringLiteral("alert('again')"));
    ASSERT_EQ(boxes.shown.size(), 6u);
    EXPECT_EQ(boxes.shown.back().text, "此网页还在不断显示对话框。是否允许它继续显示？");
}
