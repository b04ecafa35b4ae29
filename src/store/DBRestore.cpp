#include "store/DBRestore.h"

#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "store/BankCopy.h"
#include "store/DataModule.h"

TFrmDBRestore::TFrmDBRestore(QWidget* parent)
    : TFrmDBCopy(QStringLiteral("数据还原"), 559, 307,
                 QStringLiteral("    说明：如果以前进行过数据备份，重新安装本软件后，请进行数据还原操作，"
                                "可以保留原来的答题历史记录等重要数据。注意，进行数据还原操作，"
                                "将覆盖当前的数据文件，而且不能恢复。"),
                 QStringLiteral("要还原的数据文件"), parent) {
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    AttachButton(BitBtn2, mrOk, [this] { BitBtn2Click(); });
}

void TFrmDBRestore::BitBtn1Click() {
    TFileDialog dialog(TFileDialog::Kind::Open);
    dialog.Filter = QStringLiteral("数据文件(*.db)|*.db");
    if (dialog.Execute(this)) LabeledEdit1->setText(dialog.FileName);
}

void TFrmDBRestore::BitBtn2Click() {
    if (!HasDbExtension(LabeledEdit1->text())) return RejectName();
    std::string why;
    RestoreResult result;
    {
        BusyCursor busy;
        result = RestoreBank(*DataModule1, AppFolder(), FileName(), &why);
    }
    switch (result) {
    case RestoreResult::Done:
        Restored = true;
        MessageBox(QStringLiteral("数据恢复成功!"), QStringLiteral("操作成功"), MB_ICONINFORMATION | MB_OK);
        break;
    case RestoreResult::SameFile:
        RejectCopy(QStringLiteral("要还原的文件就是正在使用的数据文件，请重新选择！"), {});
        break;
    case RestoreResult::CopyFailed:
        RejectCopy(QStringLiteral("数据还原失败，请重新选择要还原的数据文件！"), why);
        break;
    case RestoreResult::NotABank:
        RejectCopy(QStringLiteral("所选文件不是有效的数据文件，当前数据没有改变，请重新选择！"), why);
        break;
    case RestoreResult::ReconnectFailed:
        ConnectionLost = true;
        break;
    }
}
