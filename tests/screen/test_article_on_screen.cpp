// A technique article in the real main window, on a real (virtual) display.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "support/Screen.h"

#include <QGuiApplication>

namespace {
class ArticleOnScreen : public MainWindowFixture {
protected:
    ArticleOnScreen()
        : MainWindowFixture(DefaultSettingsSql() + "INSERT INTO 试题技巧 VALUES(1,'言语技巧',0);"
                                                   "INSERT INTO 技巧说明 VALUES(1,'<p>先读问题。</p>');") {}
};
} // namespace

TEST_F(ArticleOnScreen, TheArticleReachesTheScreenOnItsOwnBackground) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    TFrmMain& f = Start();
    f.ActClickExecute(f.NavImages[1]); // "试题技巧"
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    // The page's fixed background, #DAF0FB, must fill most of the main browser on screen.
    const QColor background(0xda, 0xf0, 0xfb);
    const int area = f.WebBrowser1->width() * f.WebBrowser1->height();
    EXPECT_TRUE(
        SpinUntil([&] { return CountColour(ScreenPixelsOf(f.WebBrowser1), background) > area / 2; }, 20000))
        << "background pixels on screen: " << CountColour(ScreenPixelsOf(f.WebBrowser1), background) << " of "
        << area;
}
