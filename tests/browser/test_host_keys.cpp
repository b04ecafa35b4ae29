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

int keysSeenByPage(WebBrowser& b) {
    b.show();
    b.resize(300, 200);
    b.Navigate(QStringLiteral("about:blank"));
    b.Document().Writeln("<html><body><script>window.n=0;document.onkeydown=function(){window.n++;};</script></body></html>");
    EXPECT_TRUE(b.WaitForLoad());
    QWidget* target = b.focusProxy() ? b.focusProxy() : &b;
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier, QStringLiteral("a"));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return b.Evaluate(QStringLiteral("window.n")).toInt();
}
}  // namespace

TEST(BrowserHost, KeysGoToThePageUnlessTheSiteTakesThem) {
    WebBrowser plain;
    TNulWBContainer standard(&plain);
    EXPECT_EQ(keysSeenByPage(plain), 3) << "S_FALSE: the browser handles the keys itself";

    WebBrowser hosted;
    KeyTakingContainer taking(&hosted);
    EXPECT_EQ(keysSeenByPage(hosted), 0);
    EXPECT_GE(taking.asked, 3);
}
