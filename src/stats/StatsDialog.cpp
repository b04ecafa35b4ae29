#include "stats/StatsDialog.h"

#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "stats/Log.h"
#include "store/DataModule.h"

#include <QChartView>
#include <QDate>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

TFrmXXTJ::TFrmXXTJ(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("学习统计"), 860, 560, true);
    FormCreate();
}

QWidget* TFrmXXTJ::chartPage(QChartView* chart, const QString& caption) {
    Charts.push_back(chart);
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    auto* text = new QLabel(caption);
    text->setWordWrap(true);
    top->addWidget(text, 1);
    auto* save = new QPushButton(QStringLiteral("保存为图片…"));
    top->addWidget(save);
    column->addLayout(top);
    column->addWidget(chart, 1);
    connect(save, &QPushButton::clicked, this, [this, chart] {
        TFileDialog dialog(TFileDialog::Kind::Save);
        dialog.Title = QStringLiteral("保存图表");
        dialog.Filter = QStringLiteral("PNG 图片(*.png)|*.png");
        dialog.DefaultExt = QStringLiteral(".png");
        if (!dialog.Execute(this)) return;
        if (!chart->grab().save(dialog.FileName, "PNG"))
            MessageBox(QStringLiteral("图片无法保存到：\n") + dialog.FileName, QStringLiteral("保存失败"),
                       MB_ICONWARNING | MB_OK);
    });
    return page;
}

void TFrmXXTJ::FormCreate() {
    AdoConnection& connection = DataModule1->ADOConnection1;
    auto* layout = new QVBoxLayout(this);
    // A bank that cannot be written (read-only, disk full) still shows what the
    // summaries held when last brought up to date.
    QString stale;
    const BusyCursor busy; // the first look reads the whole history once
    try {
        stats::CatchUpSummaries(connection);
    } catch (const std::exception& e) {
        qCWarning(lcStats) << "the statistics' summaries were not brought up to date:" << e.what();
        stale =
            QStringLiteral("题库文件无法写入，下面的统计不含最近保存的测试：") + QString::fromUtf8(e.what());
    }
    try {
        figures_ = stats::ReadFigures(connection, QDate::currentDate().toString(Qt::ISODate).toStdString());
    } catch (const std::exception& e) {
        qCWarning(lcStats) << "reading the statistics failed:" << e.what();
        Label1 = new QLabel(QStringLiteral("无法读取测试历史：") + QString::fromUtf8(e.what()));
        Label1->setWordWrap(true);
        layout->addWidget(Label1);
        return;
    }
    if (!stale.isEmpty()) {
        auto* warning = new QLabel(stale);
        warning->setWordWrap(true);
        layout->addWidget(warning);
    }
    if (figures_.tests == 0 && figures_.practised == 0) {
        Label1 = new QLabel(QStringLiteral("还没有测试记录。\n\n做一份「模拟考场」或「计时模考」，答完后按「"
                                           "批阅试卷」，在结果窗口关闭时选择保存到测试历史，"
                                           "或在「练习模式」下答题，这里就会显示各题型正确率的变化、薄弱的科"
                                           "目、每天的练习量、答题用时和预测得分。"));
        Label1->setWordWrap(true);
        Label1->setAlignment(Qt::AlignCenter);
        layout->addWidget(Label1);
        // 申论 attempts need no test to be shown.
        if (QWidget* essays = essayPage(false)) {
            PageControl1 = new QTabWidget(this);
            PageControl1->addTab(essays, QStringLiteral("申论"));
            layout->addWidget(PageControl1, 1);
        }
        return;
    }
    PageControl1 = new QTabWidget(this);
    layout->addWidget(PageControl1);
    PageControl1->addTab(accuracyPage(), QStringLiteral("正确率走势"));
    PageControl1->addTab(subjectPage(), QStringLiteral("科目"));
    PageControl1->addTab(practicePage(), QStringLiteral("练习量"));
    PageControl1->addTab(timePage(), QStringLiteral("用时"));
    PageControl1->addTab(predictionPage(), QStringLiteral("预测得分"));
    PageControl1->addTab(wrongPage(), QStringLiteral("易错题"));
    PageControl1->addTab(testsPage(), QStringLiteral("测试记录"));
    PageControl1->addTab(essayPage(true), QStringLiteral("申论"));
}

void TFrmXXTJ::openWrong() {
    if (figures_.wrong.empty()) return;
    Questions.clear();
    for (const auto& w : figures_.wrong)
        Questions.push_back(w.id);
    PageTitle = "易错题";
    Answers.clear();
    ModalResult = mrOk;
    done(mrOk);
}

void TFrmXXTJ::openTest(int row) {
    if (row < 0 || row >= static_cast<int>(figures_.history.size())) return;
    const stats::SavedTest& t = figures_.history[static_cast<size_t>(row)];
    std::vector<int> ids = stats::QuestionsOf(DataModule1->ADOConnection1, t.id);
    if (ids.empty()) return;
    Questions = std::move(ids);
    PageTitle = "温故知新";
    Answers = stats::AnswersOf(DataModule1->ADOConnection1, t.id);
    ModalResult = mrOk;
    done(mrOk);
}
