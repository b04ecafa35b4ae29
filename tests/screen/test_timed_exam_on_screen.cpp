// The answer sheet beside a timed exam's page, on a real (virtual) display.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "exam/AnswerSheet.h"
#include "exam/TimedExamDialogs.h"
#include "support/FakeExamClock.h"
#include "support/Screen.h"

#include <QGuiApplication>
#include <QTest>

namespace {
class TimedExamOnScreen : public MainWindowFixture {
protected:
    TimedExamOnScreen()
        : MainWindowFixture(DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql")) {}
    FakeExamClock clock;
};
} // namespace

TEST_F(TimedExamOnScreen, TheSheetIsPaintedBesideThePageWithTheAnsweredCellFilled) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with QT_QPA_PLATFORM=xcb";
    TFrmMain& f = Start();
    whenShown<TFrmJSMK>([](TFrmJSMK& d) {
        d.RadioGroup1->Item(TFrmJSMK::WholeSource)->click();
        whenShown<TFrmKSSJ>([](TFrmKSSJ& k) { k.BitBtn1->click(); });
        d.BitBtn1->click();
    });
    QTest::mouseClick(f.NavImages[16], Qt::LeftButton);
    ASSERT_TRUE(f.AnswerSheet1->isVisible());
    f.WebBrowser1->Evaluate(QStringLiteral("document.getElementById('2/1').click(); 1"));
    ASSERT_TRUE(
        SpinUntil([&] { return f.AnswerSheet1->CellState(2) == TAnswerSheet::Cell::Answered; }, 5000));

    // The filled cell (#2F6FB7) reaches the screen, and the sheet looks on
    // screen as it paints itself: nothing clipped or left unpainted.
    const QColor filled(0x2F, 0x6F, 0xB7);
    QPushButton* cell = f.AnswerSheet1->CellButton(2);
    EXPECT_TRUE(SpinUntil([&] { return CountColour(ScreenPixelsOf(cell), filled) > 400; }, 10000))
        << "filled pixels: " << CountColour(ScreenPixelsOf(cell), filled);
    EXPECT_TRUE(SpinUntil(
        [&] { return SameShare(ScreenPixelsOf(f.AnswerSheet1), f.AnswerSheet1->grab().toImage()) > 0.97; },
        5000))
        << "same share: " << SameShare(ScreenPixelsOf(f.AnswerSheet1), f.AnswerSheet1->grab().toImage());
    // The page beside it is painted too (the fixture has no style sheet: a
    // white page, where an unpainted window would be black).
    const QColor body(Qt::white);
    const int area = f.WebBrowser1->width() * f.WebBrowser1->height();
    EXPECT_TRUE(SpinUntil([&] { return CountColour(ScreenPixelsOf(f.WebBrowser1), body) > area / 3; }, 10000))
        << "white pixels: " << CountColour(ScreenPixelsOf(f.WebBrowser1), body) << " of " << area;
    // Full screen puts the countdown after the tool bars; back again, the
    // window has its width and the sheet's right edge is on screen.
    const int width = f.width();
    QTest::mouseClick(f.ToolButton9, Qt::LeftButton);
    EXPECT_TRUE(SpinUntil([&] { return f.CountdownLabel->isVisible(); }, 2000));
    QTest::mouseClick(f.ToolButton9, Qt::LeftButton);
    EXPECT_TRUE(SpinUntil([&] { return f.AnswerSheet1->isVisible(); }, 2000));
    QTest::qWait(300);
    EXPECT_EQ(f.width(), width);
    EXPECT_LE(f.AnswerSheet1->mapToGlobal(QPoint(f.AnswerSheet1->width(), 0)).x(), 1366);
}
