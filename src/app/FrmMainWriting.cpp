// TFrmMain: 申论 — a task without options is written in a window of its own,
// opened beside the page (the materials stay readable) from the page's 作答.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/WebBrowser.h"
#include "essay/WritingWindow.h"
#include "exam/PageWatch.h"
#include "exam/TimedExam.h"
#include "exam/TimedExamDialogs.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"

#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {
// The last limit chosen for a set, with its number of tasks: "5:180".
constexpr const char* kEssayLimitKey = "申论限时";
constexpr int kMinutesPerTask = 36; // 180 minutes for a set of five, as the exam gives
} // namespace

void TFrmMain::buildWriting() {
    connect(pageWatch_, &TPageWatch::WriteAsked, this, Guarded([this](int id) { openWriting(id); }));
    essayTimer_ = new QTimer(this);
    essayTimer_->setInterval(250);
    connect(essayTimer_, &QTimer::timeout, this, Guarded([this] { essayTick(); }));
}

bool TFrmMain::startEssaySet() {
    std::vector<int> tasks;
    for (const TShiTi* q : ShiTiList)
        if (q->OptionCount == 0) tasks.push_back(q->Id);
    if (tasks.empty()) return false;
    const int n = static_cast<int>(tasks.size());
    const int proposed = std::clamp(n * kMinutesPerTask, kMinLimitMinutes, kMaxLimitMinutes);
    TFrmKSSJ limit(
        n, rememberedMinutes(kEssayLimitKey, n, proposed), this,
        QStringLiteral("本套共 %1 道题，按每题约 %2 分钟计，建议用时 %3 分钟。每题点“作答”在作答窗口中书写。")
            .arg(n)
            .arg(kMinutesPerTask)
            .arg(proposed));
    if (limit.ShowModal() != mrOk) return true; // the set stays on screen, untimed
    rememberMinutes(kEssayLimitKey, n, limit.Minutes());
    WebBrowser1->WaitForLoad();
    essayTasks_ = std::move(tasks);
    essayDeadlineMs_ = ExamNowMs() + static_cast<qint64>(limit.Minutes()) * 60000;
    lockAnswers(true); // the 参考要点 wait for the hand-in
    for (int id : essayTasks_)
        if (auto* w = qobject_cast<essay::WritingWindow*>(writingWindows_[id].data()))
            w->SetDeadline(essayDeadlineMs_, ExamNowMs);
    essayTimer_->start();
    essayTick();
    qCInfo(lcApp) << "timed 申论 set:" << n << "tasks," << limit.Minutes() << "minutes";
    return true;
}

void TFrmMain::essayTick() {
    if (essayDeadlineMs_ <= 0) return;
    const qint64 remaining = essayDeadlineMs_ - ExamNowMs();
    Header2->setText(QString::fromStdString(RemainingText(std::max<qint64>(remaining, 0))));
    // The writing windows hand themselves in at their own zero; the page's
    // answers open when the set is over.
    if (remaining <= 0) handInEssaySet();
}

void TFrmMain::handInEssaySet() {
    if (essayDeadlineMs_ <= 0) return;
    essayDeadlineMs_ = 0;
    essayTimer_->stop();
    for (int id : essayTasks_)
        if (auto* w = qobject_cast<essay::WritingWindow*>(writingWindows_[id].data())) w->HandIn();
    essayTasks_.clear();
    lockAnswers(false);
    Header2->setText(QStringLiteral("资源信息"));
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
        const int width = std::min(780, area.width() * 56 / 100);
        window->setGeometry(area.right() - width, area.top() + 40, width, std::min(680, area.height() - 80));
    }
    if (essayDeadlineMs_ > 0 && std::find(essayTasks_.begin(), essayTasks_.end(), id) != essayTasks_.end())
        window->SetDeadline(essayDeadlineMs_, ExamNowMs);
    window->show();
    window->raise();
}
