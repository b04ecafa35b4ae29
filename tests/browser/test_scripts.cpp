// Script calls into a page: values, errors, and a script that outlasts its limit.
#include "browser/WebBrowser.h"
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
