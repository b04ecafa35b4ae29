// TFrmMain: the tool buttons above the main browser.
#include "app/FrmMain.h"

#include "browser/WebBrowser.h"
#include "platform/MessageBox.h"
#include "render/Global.h"

#include <QToolTip>

void TFrmMain::runPageScript(const QString& script) {
    WebBrowser1->ExecScript(script);
}

bool TFrmMain::requirePaper(bool loaded) {
    if (loaded) return true;
    MessageBox(QStringLiteral("请先选择试卷！"), QStringLiteral("未选择试卷"), MB_ICONINFORMATION);
    return false;
}

void TFrmMain::ToolButton1Click() {
    if (!requirePaper(PaperLoaded)) return;
    if (answersLocked()) {
        QToolTip::showText(ToolButton1->mapToGlobal(QPoint(0, ToolButton1->height())), ToolButton1->toolTip(),
                           ToolButton1);
        return;
    }
    ToolButton1->Tag = ToolButton1->Tag == 0 ? 1 : 0;
    ToolButton1->SetImageIndex(ToolButton1->Tag);
    runPageScript(QStringLiteral("showAllAnswer(%1)").arg(ToolButton1->Tag));
}

void TFrmMain::ToolButton2Click() {
    runPageScript(QStringLiteral("changeFont(1)"));
}

void TFrmMain::ToolButton3Click() {
    runPageScript(QStringLiteral("changeFont(0)"));
}

void TFrmMain::ToolButton4Click() {
    ActUISetExecute();
}

void TFrmMain::ToolButton5Click() {
    if (!requirePaper(PaperLoaded) || !ConfirmLeaveTimedExam()) return;
    if (MessageBox(QStringLiteral("重新答题会清空当前的回答,继续吗?"), QStringLiteral("重新答题"),
                   MB_YESNO | MB_ICONQUESTION) == IDYES)
        runPageScript(QStringLiteral("answerAgain()"));
}

void TFrmMain::ToolButton6Click() {
    WebBrowser1->PrintPreview();
}

void TFrmMain::ToolButton9Click() {
    const bool full = ToolButton9->Tag == 0;
    ToolButton9->Tag = full ? 1 : 0;
    ToolButton9->SetImageIndex(full ? 3 : 2);
    // The countdown in the tool bars' row goes before the columns come back and
    // comes after they go, so the row never asks for more than the window has.
    if (!full) placeCountdown();
    Panel1->setVisible(!full);
    Panel6->setVisible(!full);
    Panel8->setVisible(!full);
    if (full) placeCountdown();
    if (leaveFullScreen_) leaveFullScreen_->setEnabled(full);
}
