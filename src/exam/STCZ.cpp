#include "exam/STCZ.h"

#include "exam/SCJST.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"

TFrmSTCZ::TFrmSTCZ(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("试题查找"), 501, 312);
    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 8, 485, 257);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("查找内容"));
    PageControl1->addTab(TabSheet2, QStringLiteral("查找范围"));
    PageControl1->setCurrentIndex(0);

    LabeledEdit1Label = new QLabel(QStringLiteral("要查找的内容"), TabSheet1);
    LabeledEdit1Label->setGeometry(24, 40, 300, 18);
    LabeledEdit1 = new QLineEdit(TabSheet1);
    LabeledEdit1->setGeometry(24, 60, 433, 24);
    LabeledEdit1Label->setBuddy(LabeledEdit1);

    Header1 = new QLabel(QStringLiteral("科目名称"), TabSheet2);
    Header1->setGeometry(8, 8, 463, 22);
    Header1->setFrameShape(QFrame::Panel);
    Header1->setFrameShadow(QFrame::Raised);
    Header1->setContentsMargins(4, 0, 0, 0);
    CheckListBox1 = new QListWidget(TabSheet2);
    CheckListBox1->setGeometry(8, 30, 463, 188);

    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn1->setGeometry(336, 277, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(418, 277, 75, 25);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrCancel);
    FormCreate();
}

void TFrmSTCZ::FormCreate() {
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT DISTINCT 名称 FROM 题目类别 WHERE 父级编号=1"});
    for (; !q.Eof(); q.Next()) {
        auto* item =
            new QListWidgetItem(QString::fromStdString(q.FieldByName("名称").AsString()), CheckListBox1);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    SetAllChecked(true);
}

void TFrmSTCZ::SetAllChecked(bool checked) {
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<std::string> TFrmSTCZ::scopeNames() const {
    std::vector<std::string> names;
    for (const TBH* b : SearchScope)
        names.push_back(CheckListBox1->item(b->Id)->text().toStdString());
    return names;
}

void TFrmSTCZ::fail(const char* text) {
    MessageBox(QString::fromUtf8(text), QStringLiteral("提示"), MB_ICONWARNING);
    ModalResult = mrNone;
}

void TFrmSTCZ::BitBtn1Click() {
    SearchScope.Clear();
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            SearchScope.Add()->Id = static_cast<std::uint16_t>(i);
    if (SearchScope.Count() == 0) return fail("至少选择一个试题科目！");

    // A database error propagates; the button's handler then keeps the dialog open.
    TSearchResult found;
    {
        const BusyCursor busy;
        found = SearchQuestions(scopeNames(), LabeledEdit1->text().toStdString(), SearchScope);
    }
    switch (found) {
    case TSearchResult::NoSubjects:
        return fail("没有相应的科目！");
    case TSearchResult::NoCategories:
        return fail("没有相应的试题类别！");
    case TSearchResult::NoQuestions:
        return fail("没有相应的小题！");
    case TSearchResult::Found:
        break;
    }

    hide();
    TFrmSCJST result(parentWidget());
    try {
        const BusyCursor busy; // every question matches an empty text
        result.FillData(DataModule1->ADOQuery2);
    } catch (...) {
        show(); // the error is shown over the user's own text and subjects
        throw;
    }
    result.BitBtn2->hide();
    result.setWindowTitle(QStringLiteral("试题查找"));
    if (result.ShowModal() == mrOk && ShowPaper) ShowPaper("试题查找");
    ModalResult = mrOk;
}
