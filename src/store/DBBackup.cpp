#include "store/DBBackup.h"

#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "store/BankCopy.h"

TFrmDBBackup::TFrmDBBackup(QWidget* parent)
    : TFrmDBCopy(
          QStringLiteral("数据备份"), 561, 309,
          QStringLiteral("    说明：重装系统或者重新安装本软件前，请进行数据备份操作，重新安装本软件后，"
                         "再进行数据还原操作。这样，可以保留原来的答题历史记录等重要数据。"),
          QStringLiteral("数据文件备份到"), parent) {
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    AttachButton(BitBtn2, mrOk, [this] { BitBtn2Click(); });
}

void TFrmDBBackup::BitBtn1Click() {
    TFileDialog dialog(TFileDialog::Kind::Save);
    dialog.Filter = QStringLiteral("数据文件|*.db");
    dialog.DefaultExt = QStringLiteral("db");
    if (dialog.Execute(this)) LabeledEdit1->setText(dialog.FileName);
}

void TFrmDBBackup::BitBtn2Click() {
    if (!HasDbExtension(LabeledEdit1->text())) return RejectName();
    std::string why;
    BackupResult result;
    {
        BusyCursor busy;
        result = BackupBank(AppFolder(), FileName(), &why);
    }
    switch (result) {
    case BackupResult::Done:
        MessageBox(QStringLiteral("数据备份成功!"), QStringLiteral("操作成功"), MB_ICONINFORMATION | MB_OK);
        break;
    case BackupResult::OntoRunningBank:
        RejectCopy(QStringLiteral("不能备份到正在使用的数据文件，请重新选择！"), {});
        break;
    case BackupResult::ScratchName:
        RejectCopy(QStringLiteral("不能备份为程序自己使用的文件（temp.db、restore.db），请换一个文件名！"),
                   {});
        break;
    case BackupResult::CopyFailed:
        RejectCopy(QStringLiteral("数据备份失败，请重新选择目标文件！"), why);
        break;
    }
}
