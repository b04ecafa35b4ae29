// TFrmMain: keyboard shortcuts for the tool buttons, named in their tool tips.
#include "app/FrmMain.h"

#include "platform/Application.h"

#include <QAction>
#include <QKeySequence>

namespace {
struct ButtonKeys {
    TToolButton* button;
    QString tip; // the button's words and the keys as the user types them
    QList<QKeySequence> keys;
};
} // namespace

void TFrmMain::buildShortcuts() {
    const ButtonKeys table[] = {
        {ToolButton2,
         QStringLiteral("放大 (Ctrl+=)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(QKeySequence::ZoomIn)}},
        {ToolButton3, QStringLiteral("缩小 (Ctrl+-)"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        {ToolButton1, QStringLiteral("显示/隐藏全部答案 (Ctrl+D)"), {QKeySequence(Qt::CTRL | Qt::Key_D)}},
        // Return is the main keyboard's key, Enter the keypad's.
        {ToolButton8,
         QStringLiteral("批阅试卷 (Ctrl+Enter)"),
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}},
        {ToolButton6, QStringLiteral("打印试题 (Ctrl+P)"), {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {ToolButton9, QStringLiteral("全屏显示/退出全屏 (F11, Esc)"), {QKeySequence(Qt::Key_F11)}},
    };
    for (const ButtonKeys& k : table) {
        k.button->setToolTip(k.tip);
        auto* action = new QAction(this);
        action->setShortcuts(k.keys);
        addAction(action);
        TToolButton* button = k.button;
        // Through the button, so a key does exactly what a click does; not while
        // its tool bar is hidden (the application zone).
        connect(action, &QAction::triggered, button, Guarded([button] {
                    if (button->isVisible()) button->click();
                }));
    }
    // Search is a slot of the navigation strip (made later, at start-up), not a tool button.
    auto* search = new QAction(this);
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(search);
    connect(search, &QAction::triggered, this, Guarded([this] {
                if (NavImages[3] && NavImages[3]->isVisible()) ActClickExecute(NavImages[3]);
            }));
    // 练习模式's button is the first to go when the row is narrow; its key works
    // all the same, wherever the tool bars are shown.
    ToolButton10->setToolTip(ToolButton10->toolTip() + QStringLiteral(" (Ctrl+L)"));
    auto* practice = new QAction(this);
    practice->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(practice);
    connect(practice, &QAction::triggered, this, Guarded([this] {
                if (CoolBar1->isVisible()) ToolButton10->click();
            }));
    buildExchange();
    // Esc only leaves full screen; otherwise it is left to the page. A live
    // shortcut takes its key even when it does nothing, so it is live only
    // in full screen.
    leaveFullScreen_ = new QAction(this);
    leaveFullScreen_->setShortcut(QKeySequence(Qt::Key_Escape));
    leaveFullScreen_->setEnabled(false);
    addAction(leaveFullScreen_);
    connect(leaveFullScreen_, &QAction::triggered, this, Guarded([this] {
                if (ToolButton9->Tag == 1 && ToolButton9->isVisible()) ToolButton9->click();
            }));
}
