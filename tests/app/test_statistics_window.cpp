// The statistics window from the real main window: its charts, saving one as
// a picture, and a saved timed test opened again with its answers ticked.
#include "MainWindowFixture.h"
#include "browser/WebBrowser.h"
#include "platform/CommonDialogs.h"
#include "render/Global.h"
#include "stats/StatsDialog.h"
#include "support/Screen.h"

#include <QChartView>
#include <QImage>
#include <QTabBar>
#include <QTest>

namespace {
class StatisticsWindow : public MainWindowFixture {
protected:
    explicit StatisticsWindow(const std::string& history = kHistory)
        : MainWindowFixture(DefaultSettingsSql() + FixtureText("exam/fixtures/draw_bank.sql") + history) {}
    static constexpr const char* kHistory =
        // Test 3: timed, 1 answered A (right), 4 answered AC (right), 3 answered A (wrong).
        "INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) VALUES(3,2,5,3.5,0.7,'2026-12-08 "
        "10:00:00');"
        "INSERT INTO 测试题目 VALUES(3,1,-1);INSERT INTO 测试题目 VALUES(3,4,-1);INSERT INTO 测试题目 "
        "VALUES(3,3,0);"
        "INSERT INTO 测试计时 VALUES(3,600,300,0);"
        "INSERT INTO 测试作答 VALUES(3,1,'A',20);INSERT INTO 测试作答 VALUES(3,4,'AC',40);"
        "INSERT INTO 测试作答 VALUES(3,3,'A',30);";
};

class NoHistoryWindow : public StatisticsWindow {
protected:
    NoHistoryWindow() : StatisticsWindow("DELETE FROM 测试题目;DELETE FROM 测试结果;") {}
};
} // namespace

TEST_F(StatisticsWindow, ChartsSaveAsPicturesAndATimedTestOpensWithItsAnswers) {
    TFrmMain& f = Start();
    const std::string png = inst.Path("正确率.png");
    whenShown<TFrmXXTJ>([&](TFrmXXTJ& d) {
        ASSERT_NE(d.PageControl1, nullptr);
        EXPECT_EQ(d.PageControl1->count(), 8);
        ASSERT_EQ(d.Charts.size(), 4u);
        EXPECT_EQ(d.Charts[0]->chart()->title(), "各题型正确率走势");
        // The first tab's "保存为图片…" writes the chart as a PNG.
        const auto previous =
            SetFileDialogHandler([&](const TFileDialog&) { return QString::fromStdString(png); });
        for (auto* b : d.PageControl1->widget(0)->findChildren<QPushButton*>())
            QTest::mouseClick(b, Qt::LeftButton);
        SetFileDialogHandler(previous);
        EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull());
        // 3 answered wrongly twice (the fixture's test 1 and test 3): the most often.
        EXPECT_EQ(d.StringGrid1->item(0, 2)->text(), "2");
        // The newest test is the timed one; on its tab, a double click opens it.
        QTabBar* tabs = d.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(6).center());
        ASSERT_TRUE(d.StringGrid2->isVisible());
        ASSERT_GE(d.StringGrid2->rowCount(), 3);
        EXPECT_EQ(d.StringGrid2->item(0, 4)->text(), "是");
        const QRect cell = d.StringGrid2->visualItemRect(d.StringGrid2->item(0, 0));
        QTest::mouseClick(d.StringGrid2->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(d.StringGrid2->viewport(), Qt::LeftButton, {}, cell.center());
    });
    f.ActClickExecute(f.NavImages[18]);
    ASSERT_TRUE(f.WebBrowser1->WaitForLoad());
    EXPECT_EQ(f.WebBrowser1->Evaluate("document.title").toString(), "温故知新");
    EXPECT_EQ(ShiTiList.Count(), 3);
    EXPECT_TRUE(SpinUntil(
        [&] {
            return f.WebBrowser1
                ->Evaluate("['1/0','4/0','4/2','3/0'].every(function(id){"
                           "return document.getElementById(id).checked;})")
                .toBool();
        },
        5000));
    EXPECT_FALSE(f.WebBrowser1->Evaluate("document.getElementById('3/2').checked").toBool());
}

TEST_F(NoHistoryWindow, SaysHowToStartInsteadOfEmptyAxes) {
    TFrmMain& f = Start();
    whenShown<TFrmXXTJ>([](TFrmXXTJ& d) {
        EXPECT_EQ(d.PageControl1, nullptr);
        ASSERT_NE(d.Label1, nullptr);
        EXPECT_TRUE(d.Label1->text().startsWith("还没有测试记录。"));
        d.reject();
    });
    f.ActClickExecute(f.NavImages[18]);
}
