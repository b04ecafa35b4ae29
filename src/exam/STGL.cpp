#include "exam/STGL.h"

#include "exam/Filter.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"

TFrmSTGL::TFrmSTGL(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("试题过滤"), 419, 269);
    RadioGroup1 = new TRadioGroup(
        QStringLiteral("试题范围"),
        {QStringLiteral("全部试题"), QStringLiteral("收藏夹"), QStringLiteral("错题重做")}, this);
    RadioGroup1->setGeometry(8, 8, 185, 217);
    RadioGroup1->SetItemIndex(0);
    Label1 = new QLabel(QStringLiteral("选择题型"), this);
    Label1->setGeometry(208, 10, 200, 18);
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setGeometry(208, 30, 203, 195);
    Label1->setBuddy(CheckListBox1);

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setGeometry(256, 236, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(336, 236, 75, 25);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrCancel);
    FormCreate();
}

void TFrmSTGL::FormCreate() {
    // In the table's own order: read through its index, the engine would sort the names.
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT 题目类型 FROM 类型说明 ORDER BY rowid"});
    for (; !q.Eof(); q.Next()) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(q.FieldByName("题目类型").AsString()), CheckListBox1);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    SetAllChecked(true);
}

void TFrmSTGL::SetAllChecked(bool checked) {
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TFrmSTGL::fail(const char* text, const char* caption, int icon) {
    MessageBox(QString::fromUtf8(text), QString::fromUtf8(caption), icon);
    ModalResult = mrNone;
}

void TFrmSTGL::BitBtn1Click() {
    std::vector<std::string> types;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            types.push_back(CheckListBox1->item(i)->text().toStdString());
    if (types.empty()) return fail(" 必须至少选择一种题型!", "选择题型", MB_ICONWARNING);

    TFilterResult filtered;
    {
        const BusyCursor busy;
        filtered = FilterQuestions(static_cast<TFilterScope>(RadioGroup1->ItemIndex()), types);
    }
    switch (filtered) {
    case TFilterResult::Filtered:
        break;
    case TFilterResult::NothingToFilter:
        return fail("没有可以过滤的题目！", "没有题目", MB_ICONQUESTION);
    case TFilterResult::NothingInScope:
        return fail("没有符合试题范围的试题!", "无试题", MB_ICONQUESTION);
    }
}
