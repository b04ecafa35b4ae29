#include "exam/MLKC.h"

#include "exam/Draw.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"

TFrmMLKC::TFrmMLKC(QWidget* parent) : TDialog(parent) {
    InitForm(QStringLiteral("模拟考场"), 561, 344);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 8, 545, 281);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("试题范围"));
    PageControl1->addTab(TabSheet2, QStringLiteral("试题来源"));
    PageControl1->addTab(TabSheet3, QStringLiteral("试题科目"));
    PageControl1->addTab(TabSheet4, QStringLiteral("设置题量"));
    PageControl1->setCurrentIndex(0);
    RadioGroup1 = new TRadioGroup(
        QString(), {QStringLiteral("全部试题"), QStringLiteral("收藏夹"), QStringLiteral("错题重做")},
        TabSheet1);
    RadioGroup1->setGeometry(56, 16, 393, 209);

    BitBtn1 = new QPushButton(QStringLiteral("开始考试"), this);
    BitBtn1->setGeometry(352, 295, 114, 25);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    BitBtn2->setGeometry(472, 295, 81, 25);
    AttachButton(BitBtn1, mrOk, [this] { BitBtn1Click(); });
    AttachButton(BitBtn2, mrCancel);
    FormCreate();
}

void TFrmMLKC::addBoxes(std::vector<QCheckBox*>& boxes, QWidget* page, const char* sql) {
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({sql});
    const QFontMetrics fm(font());
    for (int top = 18; !q.Eof(); q.Next(), top += 20) {
        auto* box = new QCheckBox(QString::fromStdString(q.FieldByName("名称").AsString()), page);
        box->setChecked(true);
        box->setGeometry(18, top, fm.horizontalAdvance(box->text()) + 120, 17);
        boxes.push_back(box);
    }
}

void TFrmMLKC::FormCreate() {
    addBoxes(SourceBoxes, TabSheet2, "SELECT * FROM 题目类别 WHERE 属性='0'");
    addBoxes(SubjectBoxes, TabSheet3, "SELECT * FROM 题目类别 WHERE 父级编号=1");
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT * FROM 类型说明 "});
    const QFontMetrics fm(font());
    for (int i = 0; !q.Eof(); q.Next(), ++i) {
        auto* spin = new QSpinBox(TabSheet4);
        spin->setRange(0, 100);
        spin->setValue(0);
        spin->setGeometry(i % 2 == 0 ? 150 : 300, 20 + (i / 2) * 30, 51, 22);
        auto* label = new QLabel(QString::fromStdString(q.FieldByName("题目类型").AsString()), TabSheet4);
        const int w = fm.horizontalAdvance(label->text());
        label->setGeometry(spin->x() - 8 - w, spin->y() + 4, w, fm.height());
        CountEdits.push_back(spin);
        TypeLabels.push_back(label);
    }
}

void TFrmMLKC::fail(const char* text, const char* caption, int icon) {
    MessageBox(QString::fromUtf8(text), QString::fromUtf8(caption), icon | MB_OK);
    ModalResult = mrNone;
}

void TFrmMLKC::BitBtn1Click() {
    if (SourceBoxes.empty() || SubjectBoxes.empty())
        return fail("缺少试题来源或者试题科目，将不能正确地生成试卷！", "缺少项目", MB_ICONWARNING);
    bool anyCount = CountEdits.empty();
    for (const QSpinBox* s : CountEdits)
        anyCount = anyCount || s->value() > 0;
    if (!anyCount) return fail("试题数量不能全部为0！", "缺少题量", MB_ICONWARNING);

    TDrawRequest r;
    for (const QCheckBox* b : SourceBoxes)
        if (b->isChecked()) r.Sources.push_back(b->text().toStdString());
    for (const QCheckBox* b : SubjectBoxes)
        if (b->isChecked()) r.Subjects.push_back(b->text().toStdString());
    r.Scope = RadioGroup1->ItemIndex();
    for (size_t i = 0; i < CountEdits.size(); ++i)
        r.Counts.emplace_back(TypeLabels[i]->text().toStdString(), CountEdits[i]->value());

    const TDrawResult drawn = [&] {
        const BusyCursor busy;
        return DrawPaper(r);
    }();
    switch (drawn) {
    case TDrawResult::Drawn:
        break;
    case TDrawResult::NoSource:
        return fail("请选择试题来源！", "没有选择试题来源", MB_ICONQUESTION);
    case TDrawResult::NoSubject:
        return fail("没有符合要求的试题科目！", "没有试题科目", MB_ICONQUESTION);
    case TDrawResult::NothingInScope:
        return fail("没有符合试题范围要求的题目！", "没有题目", MB_ICONQUESTION);
    case TDrawResult::NoQuestions:
        return fail("没有符合要求的题目！", "没有题目", MB_ICONQUESTION);
    }
}
