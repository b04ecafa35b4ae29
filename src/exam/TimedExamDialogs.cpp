#include "exam/TimedExamDialogs.h"

#include "exam/TimedExam.h"
#include "platform/MessageBox.h"

#include <QLabel>

TFrmJSMK::TFrmJSMK(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("计时模考"), 420, 300);
    RadioGroup1 = new TRadioGroup(QStringLiteral("试卷"),
                                  {QStringLiteral("按题型抽题"), QStringLiteral("整套试卷")}, this);
    RadioGroup1->setGeometry(8, 8, 404, 76);
    auto* label = new QLabel(QStringLiteral("试题来源："), this);
    label->setGeometry(12, 92, 200, 20);
    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(8, 114, 404, 144);
    sources_ = PaperSources();
    for (const PaperSource& s : sources_)
        ListBox1->addItem(QString::fromStdString(s.name));
    if (!sources_.empty()) ListBox1->setCurrentRow(0);
    // Picking a source is choosing the whole paper.
    connect(ListBox1, &QListWidget::itemPressed, this, [this] { RadioGroup1->SetItemIndex(WholeSource); });
    // A double click on a source is the quickest way to a whole paper.
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { BitBtn1->click(); });

    BitBtn1 = new QPushButton(QStringLiteral("下一步"), this);
    BitBtn1->setGeometry(236, 268, 90, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(331, 268, 81, 25);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrCancel);
}

void TFrmJSMK::BitBtn1Click() {
    if (Choice() != WholeSource) return;
    if (ListBox1->currentRow() < 0) {
        ModalResult = mrNone;
        MessageBox(QStringLiteral("请选择试题来源！"), QStringLiteral("没有选择试题来源"),
                   MB_ICONQUESTION | MB_OK);
    }
}

TFrmKSSJ::TFrmKSSJ(int questions, int minutes, QWidget* parent, const QString& advice) : TDialog(parent) {
    InitForm(QStringLiteral("考试时间"), 360, 128);
    Label1 =
        new QLabel(!advice.isEmpty() ? advice
                                     : QStringLiteral("本卷共 %1 道题，按每题约 55 秒计，建议用时 %2 分钟。")
                                           .arg(questions)
                                           .arg(DefaultLimitMinutes(questions)),
                   this);
    Label1->setGeometry(12, 10, 340, 40);
    Label1->setWordWrap(true);
    auto* label = new QLabel(QStringLiteral("考试时间（分钟）："), this);
    label->setGeometry(12, 58, 140, 22);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setGeometry(156, 56, 80, 24);
    SpinEdit1->setRange(kMinLimitMinutes, kMaxLimitMinutes);
    SpinEdit1->setSingleStep(5);
    SpinEdit1->setValue(minutes);
    SpinEdit1->selectAll();

    BitBtn1 = new QPushButton(QStringLiteral("开始计时"), this);
    BitBtn1->setGeometry(176, 96, 90, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("不计时"), this);
    BitBtn2->setGeometry(271, 96, 81, 25);
    AttachButton(BitBtn1, mrOk);
    AttachButton(BitBtn2, mrCancel);
}
