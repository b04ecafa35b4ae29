// The browser asks its site about every key before the page sees it.
#include "browser/NulContainer.h"
#include "browser/WebBrowser.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {
// A site that takes every key for the host.
class KeyTakingContainer : public TNulWBContainer {
public:
    using TNulWBContainer::TNulWBContainer;
    HRESULT TranslateAccelerator(MSG*, const GUID*, DWORD) override {
        ++asked;
        return S_OK;
    }
    int asked = 0;
};

void loadKeyCounter(WebBrowser& b) {
    b.show();
    b.resize(300, 200);
    b.Navigate(QStringLiteral("about:blank"));
    b.Document().Writeln(
        "<html><body><script>window.n=0;document.onkeydown=function(){window.n++;};</script></body></html>");
    EXPECT_TRUE(b.WaitForLoad());
    b.setFocus();
}

void sendKey(WebBrowser& b) {
    QWidget* target = b.focusProxy() ? b.focusProxy() : &b;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

// Keys the page counted after sending one every 50 ms for up to `ms`, stopping at the first.
int keysSeen(WebBrowser& b, int ms) {
    int n = 0;
    for (int waited = 0; waited < ms && n == 0; waited += 50) {
        sendKey(b);
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        n = b.Evaluate(QStringLiteral("window.n")).toInt();
    }
    return n;
}
} // namespace

TEST(BrowserHost, KeysGoToThePageUnlessTheSiteTakesThem) {
    WebBrowser plain;
    TNulWBContainer standard(&plain);
    loadKeyCounter(plain);
    EXPECT_GE(keysSeen(plain, 5000), 1) << "S_FALSE: the browser handles the keys itself";

    WebBrowser hosted;
    KeyTakingContainer taking(&hosted);
    loadKeyCounter(hosted);
    EXPECT_EQ(keysSeen(hosted, 1000), 0);
    EXPECT_GE(taking.asked, 1);
}
