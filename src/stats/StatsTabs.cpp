// TFrmXXTJ: the pages of the statistics window's tabs, one builder each.
#include "stats/StatsDialog.h"

#include "platform/ListGrid.h"
#include "stats/Log.h"
#include "store/DataModule.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QStringList>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QChartView* view(QChart* chart) {
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* v = new QChartView(chart);
    v->setRenderHint(QPainter::Antialiasing);
    return v;
}

QValueAxis* valueAxis(const QString& title, double max) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setRange(0, max);
    a->setLabelFormat(QStringLiteral("%.0f"));
    return a;
}

// Shown to one decimal, on the bars too.
double percent(int right, int total) {
    return total ? std::round(1000.0 * right / total) / 10 : 0;
}
} // namespace

// Accuracy per type over the tests (or weeks).
QWidget* TFrmXXTJ::accuracyPage() {
    auto* chart = new QChart;
    std::vector<std::string> labels;
    std::map<std::string, size_t> at;
    for (const auto& p : figures_.accuracy)
        if (at.emplace(p.label, labels.size()).second) labels.push_back(p.label);
    std::map<std::string, QLineSeries*> lines;
    for (const auto& p : figures_.accuracy) {
        QLineSeries*& line = lines[p.type];
        if (!line) {
            line = new QLineSeries;
            line->setName(q(p.type));
            line->setPointsVisible(true);
        }
        line->append(static_cast<double>(at[p.label]), percent(p.right, p.total));
    }
    auto* x = new QBarCategoryAxis;
    for (const auto& l : labels)
        x->append(figures_.byWeek ? q(l) : q(l).mid(5, 11));
    x->setTitleText(figures_.byWeek ? QStringLiteral("周") : QStringLiteral("测试时间"));
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = valueAxis(QStringLiteral("正确率（%）"), 100);
    chart->addAxis(y, Qt::AlignLeft);
    for (auto& [type, line] : lines) {
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    chart->setTitle(QStringLiteral("各题型正确率走势"));
    return chartPage(view(chart),
                     figures_.byWeek
                         ? QStringLiteral("每条线是一个题型，每个点是一周内所有测试的正确率。")
                         : QStringLiteral("每条线是一个题型，每个点是一次测试中该题型的正确率。"));
}

// By subject, weakest at the top.
QWidget* TFrmXXTJ::subjectPage() {
    auto* chart = new QChart;
    auto* set = new QBarSet(QStringLiteral("正确率（%）"));
    auto* y = new QBarCategoryAxis;
    for (auto it = figures_.subjects.rbegin(); it != figures_.subjects.rend(); ++it) {
        *set << percent(it->right, it->total);
        y->append(QStringLiteral("%1（%2 题）").arg(q(it->subject)).arg(it->total));
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value%"));
    chart->addSeries(series);
    chart->addAxis(y, Qt::AlignLeft);
    auto* x = valueAxis(QStringLiteral("正确率（%）"), 100);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("各科目正确率（最弱的在上）"));
    return chartPage(view(chart), QStringLiteral("同名科目（不论来源）合在一起计算，全部测试历史。"));
}

// Questions per day, the last 90 days.
QWidget* TFrmXXTJ::practicePage() {
    auto* chart = new QChart;
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("题数"));
    int most = 1;
    for (const auto& d : figures_.days) {
        line->append(
            static_cast<double>(
                QDateTime(QDate::fromString(q(d.day), Qt::ISODate), QTime(12, 0)).toMSecsSinceEpoch()),
            d.questions);
        most = std::max(most, d.questions);
    }
    chart->addSeries(line);
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("MM-dd"));
    x->setTickCount(10);
    x->setTitleText(QStringLiteral("日期"));
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = valueAxis(QStringLiteral("题数"), most * 1.1);
    chart->addAxis(y, Qt::AlignLeft);
    line->attachAxis(x);
    line->attachAxis(y);
    chart->legend()->hide();
    chart->setTitle(QStringLiteral("最近 90 天每天练习的题数"));
    return chartPage(view(chart), QStringLiteral("按保存的测试计算：一天中所有测试的题数之和。"));
}

// Seconds per question by type.
QWidget* TFrmXXTJ::timePage() {
    auto* chart = new QChart;
    auto* set = new QBarSet(QStringLiteral("平均用时（秒）"));
    auto* x = new QBarCategoryAxis;
    double most = 10;
    for (const auto& s : figures_.seconds) {
        *set << std::round(s.seconds * 10) / 10;
        x->append(QStringLiteral("%1（%2 题）").arg(q(s.type)).arg(s.answers));
        most = std::max(most, s.seconds);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = valueAxis(QStringLiteral("平均用时（秒）"), most * 1.2);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->hide();
    chart->setTitle(figures_.seconds.empty() ? QStringLiteral("各题型平均每题用时（还没有计时模考的记录）")
                                             : QStringLiteral("各题型平均每题用时"));
    return chartPage(view(chart),
                     QStringLiteral("只计「计时模考」中作答了的题目：从上一次作答到这一题作答的时间。"));
}

// The predicted score.
QWidget* TFrmXXTJ::predictionPage() {
    const auto& p = figures_.prediction;
    auto* text = new QLabel(
        p.known ? QStringLiteral("<p style='font-size:20px'>预测得分：<b>%1</b> 分（满分 %2 分）</p>"
                                 "<p>可能在 %3 – %4 分之间。</p><p>按最近一次测试的题型组成，"
                                 "乘以最近 10 次测试中各题型的正确率和「用户设置」中各题型的分值计算；"
                                 "范围按各题型正确率的统计误差（约 95%）估计。</p>")
                      .arg(p.score, 0, 'f', 1)
                      .arg(p.full, 0, 'f', 1)
                      .arg(p.low, 0, 'f', 1)
                      .arg(p.high, 0, 'f', 1)
                : QStringLiteral("最近一次测试的题型在「用户设置」中都没有分值，无法预测得分。"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    text->setMargin(16);
    return text;
}

// The questions answered wrong most often.
QWidget* TFrmXXTJ::wrongPage() {
    StringGrid1 =
        NewListGrid(nullptr, {QStringLiteral("题目"), QStringLiteral("题型"), QStringLiteral("答错次数")});
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setRowCount(static_cast<int>(figures_.wrong.size()));
    for (int r = 0; r < static_cast<int>(figures_.wrong.size()); ++r) {
        const auto& w = figures_.wrong[static_cast<size_t>(r)];
        StringGrid1->setItem(r, 0, new QTableWidgetItem(ListText(w.text)));
        StringGrid1->setItem(r, 1, new QTableWidgetItem(q(w.type)));
        StringGrid1->setItem(r, 2, new QTableWidgetItem(QString::number(w.times)));
    }
    StringGrid1->setColumnWidth(0, 520);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this] { openWrong(); });
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(new QLabel(QStringLiteral("答错次数最多的 20 道题；双击打开这些题目练习。")));
    column->addWidget(StringGrid1, 1);
    return page;
}

// The saved tests.
QWidget* TFrmXXTJ::testsPage() {
    StringGrid2 =
        NewListGrid(nullptr, {QStringLiteral("测试时间"), QStringLiteral("试题数"), QStringLiteral("答对"),
                              QStringLiteral("得分"), QStringLiteral("计时模考")});
    StringGrid2->horizontalHeader()->setStretchLastSection(true);
    StringGrid2->setRowCount(static_cast<int>(figures_.history.size()));
    for (int r = 0; r < static_cast<int>(figures_.history.size()); ++r) {
        const auto& t = figures_.history[static_cast<size_t>(r)];
        StringGrid2->setItem(r, 0, new QTableWidgetItem(q(t.time)));
        StringGrid2->setItem(r, 1, new QTableWidgetItem(QString::number(t.questions)));
        StringGrid2->setItem(r, 2, new QTableWidgetItem(QString::number(t.right)));
        const QString score = QStringLiteral("%1 / %2").arg(t.score, 0, 'f', 2).arg(t.full, 0, 'f', 2);
        StringGrid2->setItem(r, 3, new QTableWidgetItem(score));
        StringGrid2->setItem(r, 4, new QTableWidgetItem(t.timed ? QStringLiteral("是") : QString()));
    }
    StringGrid2->setColumnWidth(0, 180);
    connect(StringGrid2, &QTableWidget::cellDoubleClicked, this, [this](int row) { openTest(row); });
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(
        new QLabel(QStringLiteral("保存过的测试，最新的在上；双击重新打开，计时模考会勾上当时的作答。")));
    column->addWidget(StringGrid2, 1);
    return page;
}

// 申论: the estimated score per kind of task over the attempts, and the writing speed.
QWidget* TFrmXXTJ::essayPage(bool always) {
    stats::EssayFigures essays;
    try {
        essays = stats::ReadEssayFigures(DataModule1->ADOConnection1);
    } catch (const std::exception& e) {
        qCWarning(lcStats) << "reading the essay attempts failed:" << e.what();
        if (!always) return nullptr;
        auto* failed = new QLabel(QStringLiteral("无法读取申论作答：") + QString::fromUtf8(e.what()));
        failed->setWordWrap(true);
        return failed;
    }
    if (essays.attempts == 0) {
        if (!always) return nullptr;
        auto* none = new QLabel(QStringLiteral("还没有申论作答记录。"));
        none->setAlignment(Qt::AlignCenter);
        return none;
    }
    auto* chart = new QChart;
    int most = 2;
    for (const auto& p : essays.scores)
        most = std::max(most, p.number);
    auto* x = valueAxis(QStringLiteral("该题型的第几次作答"), most);
    x->setRange(1, most);
    // Whole attempts only, at most about ten labels.
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(1);
    x->setTickInterval((most + 9) / 10);
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = valueAxis(QStringLiteral("%"), 100);
    chart->addAxis(y, Qt::AlignLeft);
    // The points come kind after kind: a new line where the kind changes.
    QLineSeries* line = nullptr;
    const std::string* kind = nullptr;
    for (const auto& p : essays.scores) {
        if (!kind || *kind != p.kind) {
            kind = &p.kind;
            line = new QLineSeries;
            line->setName(p.kind.empty() ? QStringLiteral("未分类") : q(p.kind));
            line->setPointsVisible(true);
            chart->addSeries(line);
            line->attachAxis(x);
            line->attachAxis(y);
        }
        line->append(static_cast<double>(p.number), std::round(p.percent * 10) / 10);
    }
    chart->setTitle(essays.scores.empty() ? QStringLiteral("申论各题型估分（还没有提交的作答）")
                                          : QStringLiteral("申论各题型估分"));
    QWidget* page =
        chartPage(view(chart), QStringLiteral("估分为程序按参考要点估计的分数（仅供参考），按作答顺序；"
                                              "书写速度按保存的字数和用时计算。"));

    QString text =
        QStringLiteral("共 %1 次作答，其中提交 %2 次。").arg(essays.attempts).arg(essays.submitted);
    if (essays.speeds.empty()) {
        text += QStringLiteral("\n书写速度：还没有用时一分钟以上的作答。");
    } else {
        // The last twenty are enough to see a trend.
        const size_t from = essays.speeds.size() > 20 ? essays.speeds.size() - 20 : 0;
        QStringList each;
        for (size_t i = from; i < essays.speeds.size(); ++i)
            each << QString::number(essays.speeds[i], 'f', 0);
        text += QStringLiteral("\n书写速度：用时一分钟以上的 %1 次作答平均每分钟 %2 字；%3依次为 %4。")
                    .arg(static_cast<int>(essays.speeds.size()))
                    .arg(essays.averageSpeed, 0, 'f', 0)
                    .arg(from ? QStringLiteral("最近 20 次") : QString())
                    .arg(each.join(QStringLiteral("、")));
    }
    auto* speed = new QLabel(text);
    speed->setWordWrap(true);
    page->layout()->addWidget(speed);
    return page;
}
