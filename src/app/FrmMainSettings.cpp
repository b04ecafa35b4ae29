// TFrmMain: the settings dialogs, backup and restore.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/WebBrowser.h"
#include "exam/JMSZ.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "platform/Files.h"
#include "render/Global.h"
#include "render/StyleSheet.h"
#include "settings/UISet.h"
#include "store/DBBackup.h"
#include "store/DBRestore.h"

#include <QCoreApplication>

void TFrmMain::ActUISetExecute() {
    if (!TimedExam()) return void(ExecuteUISet(WebBrowser1, this));
    // The reload would clear a running exam's answers: asked about first.
    if (ExecuteUISet(nullptr, this) == mrOk && PaperLoaded && ConfirmLeaveTimedExam())
        WebBrowser1->Navigate(AppFolder() + "css/Question.html");
}

void TFrmMain::ActYHSZExecute() {
    TFrmJMSZ dlg(WebBrowser1, this);
    dlg.ShowModal();
}

void TFrmMain::ActShuJuBeiFenExecute() {
    TFrmDBBackup dlg(this);
    dlg.ShowModal();
}

void TFrmMain::ActShuJuHuanYuanExecute() {
    TFrmDBRestore dlg(this);
    dlg.ShowModal();
    if (dlg.ConnectionLost) {
        // The fatal message has been shown; without a bank the program cannot go on.
        qCWarning(lcApp) << "no connection after a restore: ending";
        // Ending goes through the shutdown step all the same.
        DeleteFileAt(AppFolder() + "css/Question.html");
        QCoreApplication::exit(1);
        return;
    }
    if (!dlg.Restored) return;
    writeBankPictures();
    // Nothing shown may still describe the bank that was replaced.
    XiaoTiList.Clear();
    ShiTiList.Clear();
    TestList.Clear();
    PaperLoaded = false;
    WebBrowser1->Navigate(QStringLiteral("about:blank"));
    try {
        LoadDisplaySettings();
        loadPracticeSetting();
        setWindowTitle(QString::fromStdString(AppTitle));
        // The pages take their look from the sheet: it follows the restored settings.
        WriteMainCss();
        showFirstCategory();
    } catch (...) {
        HandleException();
    }
}
