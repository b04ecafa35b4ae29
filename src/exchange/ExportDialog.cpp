#include "exchange/ExportDialog.h"

#include "exchange/Export.h"
#include "exchange/Log.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "store/DataModule.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("导出试题");
}

TFrmExport::TFrmExport(int category, const QString& categoryName, QWidget* parent)
    : TDialog(parent), category_(category) {
    InitForm(kCaption, 360, 250);
    RgpWhat = new TRadioGroup(
        QStringLiteral("导出哪些题目"),
        {QStringLiteral("本分类：") + (categoryName.isEmpty() ? QStringLiteral("（未选择）") : categoryName),
         QStringLiteral("收藏夹"), QStringLiteral("错题（答错过的题目）")},
        this);
    RgpWhat->SetItemIndex(category > 0 ? 0 : 1);
    RgpWhat->Item(0)->setEnabled(category > 0);
    RgpFormat = new TRadioGroup(
        QStringLiteral("格式"),
        {QStringLiteral("Excel 题库模板（.xlsx）"), QStringLiteral("Moodle XML（.xml）")}, this);
    RgpFormat->SetItemIndex(0);
    BtnOk = new QPushButton(QStringLiteral("导出…"), this);
    BtnCancel = new QPushButton(QStringLiteral("取消"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RgpWhat);
    layout->addWidget(RgpFormat);
    layout->addLayout(buttons);
    AttachButton(BtnOk, mrOk, [this] { exportNow(); });
    AttachButton(BtnCancel, mrCancel);
}

void TFrmExport::exportNow() {
    ModalResult = mrNone;
    exchange::Selection selection;
    selection.kind = RgpWhat->ItemIndex() == 0   ? exchange::Selection::Kind::Category
                     : RgpWhat->ItemIndex() == 1 ? exchange::Selection::Kind::Favourites
                                                 : exchange::Selection::Kind::Wrong;
    selection.category = category_;
    std::vector<exchange::ExportedQuestion> questions;
    {
        const BusyCursor busy;
        questions = exchange::ReadForExport(DataModule1->ADOConnection1, selection);
    }
    if (questions.empty()) {
        MessageBox(QStringLiteral("没有可以导出的题目。"), kCaption, MB_ICONINFORMATION | MB_OK);
        return;
    }
    const bool xlsx = RgpFormat->ItemIndex() == 0;
    TFileDialog dialog(TFileDialog::Kind::Save);
    dialog.Title = kCaption;
    dialog.Filter =
        xlsx ? QStringLiteral("Excel 题库模板 (*.xlsx)|*.xlsx") : QStringLiteral("Moodle XML (*.xml)|*.xml");
    dialog.DefaultExt = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".xml");
    if (!dialog.Execute(this)) return;
    QString error;
    bool ok = false;
    {
        const BusyCursor busy;
        const auto pictures = exchange::BankPictures(DataModule1->ADOConnection1);
        ok = xlsx ? exchange::WriteTemplateXlsx(dialog.FileName, questions, pictures, &error)
                  : exchange::WriteMoodleXml(dialog.FileName, questions, pictures, &error);
    }
    if (!ok) {
        qCWarning(lcExchange) << "export failed:" << error;
        MessageBox(QStringLiteral("导出失败：") + error, kCaption, MB_ICONERROR | MB_OK);
        return;
    }
    MessageBox(QStringLiteral("已导出 %1 道题到：\n%2").arg(questions.size()).arg(dialog.FileName), kCaption,
               MB_ICONINFORMATION | MB_OK);
    ModalResult = mrOk;
}
