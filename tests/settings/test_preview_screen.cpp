// The preview on a real display (X under xvfb-run): a browser that never paints
// shows the dialog's own background instead of the page.
#include "browser/WebBrowser.h"
#include "render/Global.h"
#include "settings/UISet.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QScreen>
#include <QDir>
#include <gtest/gtest.h>

namespace {
// Share of the widget's pixels on screen that have colour `c`.
double shareOf(QWidget* w, QColor c) {
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    const QImage shot = w->screen()->grabWindow(0, at.x(), at.y(), w->width(), w->height()).toImage();
    long hits = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixelColor(x, y) == c) ++hits;
    return shot.isNull() ? 0 : static_cast<double>(hits) / (static_cast<double>(shot.width()) * shot.height());
}

// Waits until the share reaches `least` (paints arrive after the load).
double waitForShare(QWidget* w, QColor c, double least) {
    QElapsedTimer t;
    t.start();
    double share = 0;
    while ((share = shareOf(w, c)) < least && t.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    return share;
}
}  // namespace

TEST(PreviewOnScreen, TheSamplePageIsPaintedAndRepaintedAfterAChange) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs a real display";
    OpenBank bank(DefaultSettingsSql() + "UPDATE 系统参数 SET 参数值='#FF00FF' WHERE 参数名='背景色';");
    LoadDisplaySettings();
    TFrmUISet dlg;
    dlg.move(20, 20);
    dlg.show();
    ASSERT_TRUE(dlg.WebBrowser1->WaitForLoad());
    // The page background fills most of the preview; text and radio buttons the rest.
    EXPECT_GT(waitForShare(dlg.WebBrowser1, QColor(255, 0, 255), 0.5), 0.5);
    // The background swatch shows the colour too; the rest of the bottom panel does not.
    EXPECT_GT(shareOf(dlg.Panel3, QColor(255, 0, 255)), 0.5);
    EXPECT_LT(shareOf(dlg.BitBtn2, QColor(255, 0, 255)), 0.01);

    // Each change replaces the preview browser; the new one must paint too.
    dlg.SpinEdit2->setValue(30);
    ASSERT_TRUE(dlg.WebBrowser1->WaitForLoad());
    EXPECT_GT(waitForShare(dlg.WebBrowser1, QColor(255, 0, 255), 0.5), 0.5);
    const QPoint at = dlg.mapToGlobal(QPoint(0, 0));
    dlg.screen()->grabWindow(0, at.x(), at.y(), dlg.width(), dlg.height())
        .save(QDir::temp().filePath(QStringLiteral("quillora-appearance-preview.png")));
}
