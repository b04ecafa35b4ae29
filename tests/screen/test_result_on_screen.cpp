// The result dialog over the real main window, on a real (virtual) display.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/ShowTestResult.h"
#include "render/Global.h"
#include "support/Screen.h"

#include <QGuiApplication>
#include <QPushButton>

namespace {
class ResultOnScreen : public MainWindowFixture {
protected:
    ResultOnScreen()
        : MainWindowFixture(DefaultSettingsSql() + "INSERT INTO 题目类别 VALUES(1,'模拟题库',0,'0');") {}
};
} // namespace

TEST_F(ResultOnScreen, TheDialogIsPaintedWithItsTableAndItsButton) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    Start();
    TestList.Clear();
    TTest* t = TestList.Add();
    t->TypeName = "单项选择题";
    t->Total = 4;
    t->RightCount = 3;
    t->FullScore = 4;
    t->Score = 3;
    t->RightRate = 0.75f;

    TFrmShowTestResult dlg(frm.get());
    dlg.show();
    ASSERT_TRUE(dlg.WebBrowser1->WaitForLoad());
    // The table's header cells (#c9e9f9) must reach the screen inside the browser.
    const QColor header(0xc9, 0xe9, 0xf9);
    EXPECT_TRUE(SpinUntil([&] { return CountColour(ScreenPixelsOf(dlg.WebBrowser1), header) > 2000; }, 20000))
        << "header pixels on screen: " << CountColour(ScreenPixelsOf(dlg.WebBrowser1), header);
    // The close button on screen is the button as it paints itself.
    EXPECT_TRUE(SpinUntil(
        [&] { return SameShare(ScreenPixelsOf(dlg.BitBtn1), dlg.BitBtn1->grab().toImage()) > 0.97; }, 5000))
        << "same share: " << SameShare(ScreenPixelsOf(dlg.BitBtn1), dlg.BitBtn1->grab().toImage());
    dlg.close();
}
