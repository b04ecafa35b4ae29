// TFrmMain: the timed exam (slot 16): building its paper, the clock, the answer
// sheet, time-up, and the question before leaving a running exam.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/LocalFiles.h"
#include "browser/WebBrowser.h"
#include "exam/AnswerSheet.h"
#include "exam/MLKC.h"
#include "exam/PageWatch.h"
#include "exam/TimedExam.h"
#include "exam/TimedExamDialogs.h"
#include "exam/WholePaper.h"
#include "platform/AppFolder.h"
#include "platform/Application.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/Online.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"
#include "store/SystemParams.h"

#include <QApplication>
#include <QLayout>
#include <QMessageBox>
#include <QTimer>

namespace {
// The last limit chosen, with the paper size it was chosen for: "100:120".
constexpr const char* kLimitKey = "计时模考时长";
constexpr std::int64_t kNoticeMs = 5 * 60 * 1000;

} // namespace

int TFrmMain::rememberedMinutes(const char* key, int count, int fallback) {
    try {
        const auto value = ReadSystemParam(DataModule1->ADOConnection1, key);
        if (value) {
            const QStringList parts = QString::fromStdString(*value).split(u':');
            bool okCount = false, okMinutes = false;
            const int stored = parts.value(0).toInt(&okCount), minutes = parts.value(1).toInt(&okMinutes);
            if (parts.size() == 2 && okCount && okMinutes && stored == count && minutes >= kMinLimitMinutes &&
                minutes <= kMaxLimitMinutes)
                return minutes;
        }
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "reading the last time limit failed:" << e.what();
    }
    return fallback;
}

void TFrmMain::rememberMinutes(const char* key, int count, int minutes) {
    try {
        WriteSystemParam(DataModule1->ADOConnection1, key,
                         std::to_string(count) + ":" + std::to_string(minutes));
    } catch (const std::exception& e) {
        // A read-only bank still gets its exam; only the choice is not kept.
        qCWarning(lcApp) << "keeping the time limit failed:" << e.what();
    }
}

void TFrmMain::buildTimedExam() {
    AnswerSheet1 = new TAnswerSheet(Panel8);
    AnswerSheet1->hide();
    Panel8->layout()->addWidget(AnswerSheet1);
    connect(AnswerSheet1, &TAnswerSheet::QuestionClicked, this,
            Guarded([this](int id) { WebBrowser1->RunInObserverWorld(TPageWatch::ScrollScript(id)); }));

    CountdownLabel = new QLabel(CoolBar1);
    CountdownLabel->setObjectName(QStringLiteral("countdown"));
    CountdownLabel->setStyleSheet(
        QStringLiteral("QLabel#countdown{font-weight:bold;font-size:16px;color:#1E559A;}"));
    // Shown in full screen only: there the row has room, elsewhere it would widen the window.
    CountdownLabel->hide();
    CoolBar1->layout()->addWidget(CountdownLabel);

    pageWatch_ = new TPageWatch(this);
    WebBrowser1->AddObserver(QStringLiteral("answers"), pageWatch_,
                             TPageWatch::Script(QStringLiteral("answers")));
    connect(pageWatch_, &TPageWatch::Answered, this,
            Guarded([this](int id, const QString& l) { examAnswered(id, l); }));

    examTimer_ = new QTimer(this);
    examTimer_->setInterval(250);
    connect(examTimer_, &QTimer::timeout, this, Guarded([this] { TimedExamTick(); }));
}

bool TFrmMain::SlotLeavesPage(int slot) {
    switch (slot) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 7:
    case 11:
    case 16:
    case 17:
        return true;
    default:
        return false;
    }
}

void TFrmMain::ActJSMKExecute() {
    TFrmJSMK how(this);
    if (how.ShowModal() != mrOk) return;
    if (how.Choice() == TFrmJSMK::ByType) {
        TFrmMLKC dlg(this);
        if (dlg.ShowModal() != mrOk) return;
        showPaper("模拟考场");
    } else {
        const PaperSource source = how.Source();
        const std::string order = FillWholePaper(source.id);
        if (XiaoTiList.Count() == 0) {
            MessageBox(QStringLiteral("没有符合要求的题目！"), QStringLiteral("没有题目"),
                       MB_ICONQUESTION | MB_OK);
            return;
        }
        const BusyCursor busy;
        BuildQuestionPage(source.name, order);
        practicePage_ = false;
        WebBrowser1->Navigate(AppFolder() + "css/Question.html");
    }
    startTimedExam();
}

void TFrmMain::startTimedExam() {
    std::vector<TimedQuestion> questions;
    for (const TShiTi* q : ShiTiList)
        if (q->OptionCount > 0) questions.push_back({q->Id, q->Number, q->TypeName, q->OptionCount});
    if (PaperLoaded && questions.empty() && startEssaySet()) return;
    if (!PaperLoaded || questions.empty()) {
        MessageBox(QStringLiteral("这份试卷没有可以作答的选择题，不能计时。"), QStringLiteral("计时模考"),
                   MB_ICONINFORMATION | MB_OK);
        return;
    }
    const int count = static_cast<int>(questions.size());
    TFrmKSSJ limit(count, rememberedMinutes(kLimitKey, count, DefaultLimitMinutes(count)), this);
    // Cancelled: the paper stays on screen, untimed.
    if (limit.ShowModal() != mrOk) return;
    rememberMinutes(kLimitKey, count, limit.Minutes());
    // The clock starts on a page the user can see.
    WebBrowser1->WaitForLoad();

    timedExam_ = std::make_unique<TTimedExam>(std::move(questions), limit.Minutes() * 60);
    // A paper of five minutes or less has no "five minutes left" to tell.
    examWarned_ = timedExam_->RemainingMs() <= kNoticeMs;
    lockAnswers(true);
    AnswerSheet1->Build(timedExam_->Questions());
    WebBrowser2->hide();
    AnswerSheet1->show();
    placeCountdown();
    TimedExamTick();
    examTimer_->start();
    qCInfo(lcApp) << "timed exam:" << count << "questions," << limit.Minutes() << "minutes";
}

void TFrmMain::lockAnswers(bool on) {
    if (on == answersLocked_) return;
    answersLocked_ = on;
    // The button's own words come back when the exam is over.
    if (on) unlockedTip_ = ToolButton1->toolTip();
    ToolButton1->setToolTip(on ? QString::fromUtf16(TPageWatch::kAnswersLockedTip) : unlockedTip_);
    if (on) {
        ToolButton1->Tag = 0;
        ToolButton1->SetImageIndex(0);
    }
    WebBrowser1->RunInObserverWorld(TPageWatch::AnswerLockScript(on));
}

bool TFrmMain::answersLocked() const {
    return answersLocked_;
}

void TFrmMain::endTimedExam() {
    if (!timedExam_) return;
    lockAnswers(false);
    examTimer_->stop();
    timedExam_.reset();
    if (examNotice_) examNotice_->close();
    AnswerSheet1->hide();
    placeCountdown();
    WebBrowser2->show();
}

bool TFrmMain::ConfirmLeaveTimedExam() {
    // A 申论 set's clock runs as long as it is set; a paper's until it is handed in.
    const bool running = essayDeadlineMs_ > 0 || (timedExam_ && timedExam_->Running());
    if (running && MessageBox(QStringLiteral("考试尚未交卷，确定离开吗？"), QStringLiteral("计时模考"),
                              MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    handInEssaySet();
    endTimedExam();
    return true;
}

bool TFrmMain::busyForTimeUp() const {
    return QApplication::activeModalWidget() || WebBrowser1->IsLoading() || OnlineCheckRunning() ||
           commandDepth_ > 0;
}

void TFrmMain::TimedExamTick() {
    if (!timedExam_) return;
    const std::int64_t remaining = timedExam_->RemainingMs();
    const QString text = timedExam_->Running() || !timedExam_->RanOut()
                             ? QString::fromStdString(RemainingText(remaining))
                             : QStringLiteral("时间到");
    CountdownLabel->setText(text);
    Header2->setText(text);
    if (!timedExam_->Running()) return;
    if (remaining <= kNoticeMs && !examWarned_) {
        examWarned_ = true;
        CountdownLabel->setStyleSheet(
            QStringLiteral("QLabel#countdown{font-weight:bold;font-size:16px;color:#D03030;}"));
        Header2->setStyleSheet(QStringLiteral("color:#D03030;"));
        if (remaining > 0) {
            // A notice the user may leave open while answering on.
            examNotice_ = new QMessageBox(QMessageBox::Information, QStringLiteral("计时模考"),
                                          QStringLiteral("距离考试结束还有 5 分钟，请抓紧时间作答。"),
                                          QMessageBox::Ok, this);
            examNotice_->setAttribute(Qt::WA_DeleteOnClose);
            examNotice_->setWindowModality(Qt::NonModal);
            connect(examNotice_, &QObject::destroyed, this, [this] { examNotice_ = nullptr; });
            examNotice_->show();
        }
    }
    if (remaining == 0 && !busyForTimeUp()) timeUp();
}

void TFrmMain::placeCountdown() {
    // The right column's header stands beside the tool bars; full screen hides
    // the column and leaves room in the tool bars' row instead.
    const bool on = timedExam_ != nullptr;
    CountdownLabel->setVisible(on && ToolButton9->Tag == 1);
    if (!on) {
        Header2->setText(QStringLiteral("资源信息"));
        Header2->setStyleSheet({});
        CountdownLabel->setStyleSheet(
            QStringLiteral("QLabel#countdown{font-weight:bold;font-size:16px;color:#1E559A;}"));
    }
    fitToolBars();
}

void TFrmMain::timeUp() {
    if (examNotice_) examNotice_->close();
    // The clock stops before grading so the result says time ran out.
    timedExam_->Stop(true);
    CountdownLabel->setText(QStringLiteral("时间到"));
    WebBrowser1->RunInObserverWorld(TPageWatch::LockScript());
    qCInfo(lcApp) << "timed exam: time is up, grading";
    ++commandDepth_;
    ToolButton8->Running = true;
    const struct Done {
        TFrmMain* f;
        ~Done() {
            f->ToolButton8->Running = false;
            --f->commandDepth_;
        }
    } done{this};
    ToolButton8Click();
}

void TFrmMain::examAnswered(int id, const QString& letters) {
    if (!timedExam_ || !IsOwnQuestionPage(WebBrowser1->url())) return;
    if (timedExam_->Answered(id, letters.toStdString())) AnswerSheet1->SetAnswered(id, !letters.isEmpty());
}

void TFrmMain::timedExamGraded(const std::vector<std::vector<bool>>& checked) {
    if (!timedExam_) return;
    // Grading before time-up stops the clock too.
    lockAnswers(false);
    timedExam_->Stop(false);
    examTimer_->stop();
    TimedExamTick();
    for (int k = 0; k < ShiTiList.Count(); ++k) {
        std::string letters;
        for (size_t j = 0; j < checked[static_cast<size_t>(k)].size(); ++j)
            if (checked[static_cast<size_t>(k)][j]) letters += OptionLetter(static_cast<int>(j));
        timedExam_->TakeGraded(ShiTiList[k]->Id, letters);
    }
}

void TFrmMain::showTimedVerdicts() {
    if (!timedExam_) return;
    for (const TShiTi* q : ShiTiList)
        AnswerSheet1->SetVerdict(q->Id, q->Correct);
}
