// TFrmMain: 练习模式 — on the pages a candidate practises on (a section, 温故知新,
// 错题复习, favourites, search results), a question is judged as soon as it is
// answered: a single-answer question when an option is ticked, a multi-answer
// one by the 确定 the page watch adds. Each judged question rates its notebook
// card and counts for the statistics once per page load.
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/LocalFiles.h"
#include "browser/WebBrowser.h"
#include "exam/Grading.h"
#include "exam/PageWatch.h"
#include "platform/Application.h"
#include "render/Global.h"
#include "review/ReviewCards.h"
#include "stats/StatsData.h"
#include "store/DataModule.h"
#include "store/SystemParams.h"

#include <QDateTime>
#include <QToolTip>

namespace {
constexpr const char* kPracticeKey = "练习模式";
} // namespace

void TFrmMain::buildPractice() {
    connect(pageWatch_, &TPageWatch::JudgeAsked, this,
            Guarded([this](int id, const QString& letters) { judgeNow(id, letters.toStdString()); }));
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { judgedOnPage_.clear(); });
    connect(WebBrowser1, &WebBrowser::LoadSettled, this, Guarded([this] {
                if (practiceActive()) WebBrowser1->RunInObserverWorld(TPageWatch::PracticeScript(true));
            }));
}

void TFrmMain::loadPracticeSetting() {
    try {
        const auto value = ReadSystemParam(DataModule1->ADOConnection1, kPracticeKey);
        practising_ = value && *value == "1";
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "reading the practice setting failed:" << e.what();
        practising_ = false;
    }
    ToolButton10->SetImageIndex(practising_ ? 1 : 0);
}

bool TFrmMain::practiceActive() const {
    // A timed exam is never judged before it is handed in.
    return practising_ && practicePage_ && !timedExam_ && IsOwnQuestionPage(WebBrowser1->url());
}

void TFrmMain::ToolButton10Click() {
    practising_ = !practising_;
    ToolButton10->SetImageIndex(practising_ ? 1 : 0);
    try {
        WriteSystemParam(DataModule1->ADOConnection1, kPracticeKey, practising_ ? "1" : "0");
    } catch (const std::exception& e) {
        // A read-only bank still practises; only the choice is not kept.
        qCWarning(lcApp) << "keeping the practice setting failed:" << e.what();
    }
    if (practicePage_ && !timedExam_ && IsOwnQuestionPage(WebBrowser1->url()))
        WebBrowser1->RunInObserverWorld(TPageWatch::PracticeScript(practising_));
    // Without its button in sight (a narrow row, the key) the change is told where the user looks.
    if (!ToolButton10->isVisible())
        QToolTip::showText(WebBrowser1->mapToGlobal(QPoint(20, 20)),
                           practising_ ? QStringLiteral("练习模式已打开：选中选项即判对错")
                                       : QStringLiteral("练习模式已关闭"),
                           WebBrowser1);
}

void TFrmMain::judgeNow(int id, const std::string& letters) {
    if (!practiceActive() || letters.empty()) return;
    const TShiTi* q = nullptr;
    for (const TShiTi* s : ShiTiList)
        if (s->Id == id) q = s;
    if (!q || q->OptionCount == 0) return;
    const bool right = AnswerMatches(*q, letters);
    WebBrowser1->RunInObserverWorld(TPageWatch::JudgedScript(id, q->Number, right));
    if (!judgedOnPage_.insert(id).second) return;

    AdoConnection& connection = DataModule1->ADOConnection1;
    try {
        stats::RecordPractice(
            connection, id, right,
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString());
        // As after grading: a wrong answer files the card, a right one moves a card there is.
        if (ratedOnPage_.insert(id).second) {
            if (!right)
                review::RateQuestions(connection, {{id, fsrs::Rating::Again}}, review::NowDays());
            else if (review::ReadCards(connection, {id}).count(id))
                review::RateQuestions(connection, {{id, fsrs::Rating::Good}}, review::NowDays());
        }
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "keeping a practised answer failed:" << e.what();
        reviewFailed_ = true;
        reportReviewFailure();
    }
}
