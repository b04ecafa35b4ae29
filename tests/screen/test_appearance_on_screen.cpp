// The appearance dialog's preview on a real (virtual) display: each preview
// browser, the first and every replacement, must reach the screen.
#include "browser/WebBrowser.h"
#include "render/Global.h"
#include "settings/UISet.h"
#include "support/Screen.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

TEST(AppearanceOnScreen, ThePreviewIsPaintedAndRepaintedAfterAChange) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    OpenBank bank(DefaultSettingsSql() + "UPDATE 系统参数 SET 参数值='#FF00FF' WHERE 参数名='背景色';");
    LoadDisplaySettings();
    TFrmUISet dlg;
    dlg.move(20, 20);
    dlg.show();
    // The page background fills most of the preview; text and radio buttons the rest.
    const QColor magenta(255, 0, 255);
    auto share = [&](QWidget* w) {
        return static_cast<double>(CountColour(ScreenPixelsOf(w), magenta)) / (w->width() * w->height());
    };
    for (int size : {14, 30}) {
        dlg.SpinEdit2->setValue(size); // the second value replaces the preview browser
        ASSERT_TRUE(dlg.WebBrowser1->WaitForLoad());
        EXPECT_TRUE(SpinUntil([&] { return share(dlg.WebBrowser1) > 0.5; }, 20000))
            << "size " << size << ": magenta share " << share(dlg.WebBrowser1);
    }
    // The background swatch shows the colour too; the buttons beside it do not.
    EXPECT_GT(share(dlg.Panel3), 0.5);
    EXPECT_LT(share(dlg.BitBtn2), 0.01);
    ScreenPixelsOf(&dlg).save(QDir::temp().filePath(QStringLiteral("quillora-appearance-preview.png")));
}
