// TFrmMain: 申论 — a task without options is written in a window of its own,
// opened beside the page (the materials stay readable) from the page's 作答.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/WebBrowser.h"
#include "essay/WritingWindow.h"
#include "exam/PageWatch.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"

#include <QGuiApplication>
#include <QScreen>

void TFrmMain::buildWriting() {
    connect(pageWatch_, &TPageWatch::WriteAsked, this, Guarded([this](int id) { openWriting(id); }));
}

void TFrmMain::openWriting(int id) {
    if (QWidget* open = writingWindows_[id]) {
        open->raise();
        open->activateWindow();
        return;
    }
    AdoQuery q(&DataModule1->ADOConnection1);
    q.OpenBound("SELECT 题目内容, 解释 FROM 小题 WHERE 小题号=?", {static_cast<long long>(id)});
    if (q.Eof()) {
        MessageBox(QStringLiteral("题库中没有这道题。"), QStringLiteral("申论作答"), MB_OK | MB_ICONWARNING);
        return;
    }
    essay::Task task = essay::ReadTask(id, QString::fromStdString(q.Fields(0).AsString()),
                                       QString::fromStdString(q.Fields(1).AsString()));
    q.Close();
    auto* window = new essay::WritingWindow(DataModule1->ADOConnection1, std::move(task), this);
    writingWindows_[id] = window;
    // Beside the page: the right part of the screen, the main window's page left in view.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        const int width = std::min(760, area.width() / 2);
        window->setGeometry(area.right() - width, area.top() + 40, width, std::min(680, area.height() - 80));
    }
    window->show();
    window->raise();
}
