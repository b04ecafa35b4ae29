// TFrmMain: import and export of questions, from the category tree's context
// menu and Ctrl+I. A left click on the tree keeps its described behaviour.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "exchange/BankImport.h"
#include "exchange/ExportDialog.h"
#include "exchange/ImportDialog.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "store/DataModule.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidgetItem>

void TFrmMain::buildExchange() {
    auto* import = new QAction(QStringLiteral("导入试题…"), this);
    import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    addAction(import);
    connect(import, &QAction::triggered, this, Guarded([this] { importQuestions(); }));

    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, Guarded([this, import](const QPoint& at) {
                // The question tree only: the technique articles have nothing to import.
                if (TreeView1->Tag != 0) return;
                QTreeWidgetItem* node = TreeView1->itemAt(at);
                QMenu menu(this);
                menu.addAction(import);
                QAction* exportAction = menu.addAction(QStringLiteral("导出本分类…"));
                exportAction->setEnabled(node != nullptr);
                if (menu.exec(TreeView1->viewport()->mapToGlobal(at)) == exportAction && node) {
                    TFrmExport dlg(NodeInfo(node)->Id, node->text(0), this);
                    dlg.ShowModal();
                }
            }));
}

void TFrmMain::importQuestions() {
    if (ZoneMode) return;
    TFrmImport dlg(this);
    // The new section is shown in the question tree; over the technique
    // articles the import only reports.
    if (dlg.ShowModal() == mrOk && dlg.ImportedSection != 0 && TreeView1->Tag == 0)
        showSection(dlg.ImportedSection);
}

void TFrmMain::showSection(int id) {
    // The import is in the bank either way; a running exam may stay on screen.
    if (!ConfirmLeaveTimedExam()) return;
    ActShiTiKuExecute();
    for (int r = 0; r < TreeView1->topLevelItemCount(); ++r)
        for (int s = 0; s < TreeView1->topLevelItem(r)->childCount(); ++s) {
            QTreeWidgetItem* subject = TreeView1->topLevelItem(r)->child(s);
            for (int k = 0; k < subject->childCount(); ++k) {
                QTreeWidgetItem* node = subject->child(k);
                if (NodeInfo(node)->Id != id) continue;
                for (QTreeWidgetItem* p = node->parent(); p; p = p->parent())
                    p->setExpanded(true);
                TreeView1->setCurrentItem(node);
                TreeView1->scrollToItem(node);
                TreeView1Click();
                return;
            }
        }
}

void TFrmMain::writeBankPictures() {
    try {
        exchange::WriteMissingPictures(DataModule1->ADOConnection1, QString::fromStdString(AppFolder()));
    } catch (const std::exception& e) {
        // The pages then show those pictures as missing; nothing else depends on them.
        qCWarning(lcApp) << "writing the bank's pictures failed:" << e.what();
    }
}
