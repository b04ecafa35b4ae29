// The statistics window on a real (virtual) display: its first chart reaches
// the screen with its lines drawn.
#include "MainWindowFixture.h"
#include "stats/StatsDialog.h"
#include "support/Screen.h"

#include <QChartView>
#include <QGuiApplication>
#include <QLineSeries>
#include <QTest>

namespace {
class StatsOnScreen : public MainWindowFixture {
protected:
    StatsOnScreen() : MainWindowFixture(DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql")) {}
};
} // namespace

TEST_F(StatsOnScreen, TheAccuracyChartIsPaintedWithItsLine) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    TFrmMain& f = Start();
    bool shown = false;
    whenShown<TFrmXXTJ>([&](TFrmXXTJ& d) {
        shown = true;
        ASSERT_FALSE(d.Charts.empty());
        QChartView* chart = d.Charts[0];
        ASSERT_FALSE(chart->chart()->series().isEmpty());
        const QColor line = qobject_cast<QLineSeries*>(chart->chart()->series()[0])->color();
        // The line's own colour inside the plot area (the legend's marker is
        // outside it; an unpainted window has none), and the window on screen
        // as it paints itself.
        const QRect plot = chart->mapFromScene(chart->chart()->plotArea()).boundingRect();
        auto linePixels = [&] { return CountColour(ScreenPixelsOf(chart).copy(plot), line); };
        EXPECT_TRUE(SpinUntil([&] { return linePixels() > 30; }, 10000)) << "line pixels: " << linePixels();
        EXPECT_TRUE(SpinUntil([&] { return SameShare(ScreenPixelsOf(&d), d.grab().toImage()) > 0.97; }, 5000))
            << "same share: " << SameShare(ScreenPixelsOf(&d), d.grab().toImage());
        d.reject();
    });
    QTest::mouseClick(f.NavImages[18], Qt::LeftButton);
    EXPECT_TRUE(shown);
}
