// Script calls into a page: values, errors, and a script that outlasts its limit.
#include "browser/LocalFiles.h"
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QTemporaryDir>
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
    EXPECT_THROW(b.Evaluate(QStringLiteral(
                     "(function(){var t=Date.now();while(Date.now()-t<1200){}return 'late';})()")),
                 EScriptError);
    WebBrowser::SetScriptTimeoutForTests(15000);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 50); // the late reply arrives here
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
        while (t.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
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

namespace {
void writePage(const QString& path, const QString& html) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(html.toUtf8());
}
void spin(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}
} // namespace

TEST(PageLoads, AWaitEndsOnTheLoadItStartedAndANewPageOpensAtItsTop) {
    // Pages are served from the installation's css folder only.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("css")));
    SetAppFolder(dir.path().toStdString() + "/");
    const auto restore = qScopeGuard([] { SetAppFolder({}); });
    const QString path = dir.filePath(QStringLiteral("css/Question.html"));
    WebBrowser b;
    b.resize(400, 300);
    b.show();

    // Scrolled to its end by the keyboard, then the same address shows a new page.
    QString tall = QStringLiteral("<html><head><title>长</title></head><body>");
    for (int i = 0; i < 300; ++i)
        tall += QStringLiteral("<p>第%1行</p>").arg(i);
    writePage(path, tall + QStringLiteral("</body></html>"));
    b.Navigate(path);
    ASSERT_TRUE(b.WaitForLoad(10000));
    b.setFocus();
    QWidget* target = b.focusProxy() ? b.focusProxy() : &b;
    for (int tries = 0; tries < 100 && b.Evaluate(QStringLiteral("window.scrollY")).toInt() == 0; ++tries) {
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
        QApplication::sendEvent(target, &end);
        spin(50);
    }
    ASSERT_GT(b.Evaluate(QStringLiteral("window.scrollY")).toInt(), 0);
    writePage(path,
              tall.replace(QStringLiteral("长"), QStringLiteral("新")) + QStringLiteral("</body></html>"));
    b.Navigate(path);
    ASSERT_TRUE(b.WaitForLoad(10000));
    spin(300); // where the browser would put back the old position
    EXPECT_EQ(b.Evaluate(QStringLiteral("document.title + window.scrollY")).toString().toStdString(), "新0");

    // A page still busy loading when the next navigation starts: its late end
    // must not end the wait for the next one (which may report no end of its own).
    writePage(path,
              QStringLiteral("<html><head><title>一</title></head><body>一"
                             "<script>var t=Date.now();while(Date.now()-t<800){}</script></body></html>"));
    b.Navigate(path);
    spin(200);
    writePage(path, QStringLiteral("<html><head><title>二</title></head><body>二</body></html>"));
    b.Navigate(path);
    ASSERT_TRUE(b.WaitForLoad(10000));
    EXPECT_EQ(b.Evaluate(QStringLiteral("document.title + document.readyState")).toString().toStdString(),
              "二complete");
}

namespace {
int refusalLines = 0;
QtMessageHandler previousHandler = nullptr;
void countRefusals(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("refused a local request"))) ++refusalLines;
    previousHandler(type, context, text);
}
} // namespace

TEST(PageLoads, RefusedLocalRequestsAreToldApartByNameOnlyAndAFloodOfThemLogsAFewLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("css")));
    const std::string folder = dir.path().toStdString() + "/";
    SetAppFolder(folder);
    const auto restore = qScopeGuard([] { SetAppFolder({}); });
    // By the letters alone: the way out through dot segments is outside.
    EXPECT_TRUE(UnderOurFolders(QString::fromStdString(folder + "CSS/Main.css")));
    EXPECT_FALSE(UnderOurFolders(QString::fromStdString(folder + "css/../exam.db")));
    EXPECT_FALSE(UnderOurFolders(QStringLiteral("/etc/passwd")));

    writePage(dir.filePath(QStringLiteral("css/Question.html")),
              QStringLiteral("<html><body><script>window.failed=0;for(var i=0;i<3000;i++){var m=new Image();"
                             "m.onerror=function(){window.failed++;};m.src='file:///etc/nothing'+i+'.png';}"
                             "</script></body></html>"));
    refusalLines = 0;
    previousHandler = qInstallMessageHandler(countRefusals);
    const auto unhook = qScopeGuard([] { qInstallMessageHandler(previousHandler); });
    WebBrowser b;
    b.Navigate(dir.filePath(QStringLiteral("css/Question.html")));
    ASSERT_TRUE(b.WaitForLoad(20000));
    QElapsedTimer t;
    t.start();
    while (b.Evaluate(QStringLiteral("window.failed")).toInt() < 3000 && t.elapsed() < 20000)
        spin(50);
    EXPECT_EQ(b.Evaluate(QStringLiteral("window.failed")).toInt(), 3000);
    EXPECT_LE(refusalLines, 11);
}
