// TFrmMain: every graded page feeds the wrong-question notebook's schedule; the
// notebook (slot 17) and the statistics (slot 18).
#include "app/FrmMain.h"

#include "app/Log.h"
#include "browser/WebBrowser.h"
#include "exam/Grading.h"
#include "exam/TimedExam.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "review/NotebookDialog.h"
#include "review/Rating.h"
#include "review/ReviewCards.h"
#include "stats/StatsDialog.h"
#include "store/DataModule.h"

#include <QJsonArray>
#include <QJsonDocument>

void TFrmMain::buildReview() {
    // A page loaded afresh may be rated again; grading one page twice may not.
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { ratedOnPage_.clear(); });
}

void TFrmMain::feedReviewCards(const std::vector<std::vector<bool>>& checked) {
    std::vector<int> ids;
    for (int k = 0; k < ShiTiList.Count(); ++k)
        if (ShiTiList[k]->OptionCount > 0 && !ratedOnPage_.count(ShiTiList[k]->Id))
            ids.push_back(ShiTiList[k]->Id);
    if (ids.empty()) return;

    try {
        AdoConnection& connection = DataModule1->ADOConnection1;
        const auto cards = review::ReadCards(connection, ids);
        // Every question of the page, the ones not rated here too: they tell
        // where the answers end. A timed paper (built from this page's questions)
        // knows how long each took.
        std::vector<review::AnswerFacts> answers;
        for (int k = 0; k < ShiTiList.Count(); ++k) {
            const TShiTi* q = ShiTiList[k];
            const bool answered = !ChosenLetters(checked[static_cast<size_t>(k)]).empty();
            const int seconds = timedExam_ ? timedExam_->SecondsOn(q->Id) : 0;
            answers.push_back({answered, q->Correct, q->TypeName, seconds, cards.count(q->Id) > 0});
        }
        const review::PaperFacts paper{timedExam_ != nullptr, timedExam_ && timedExam_->RanOut()};
        const auto rated = review::RateAnswers(answers, paper);
        std::vector<review::Rated> ratings;
        for (int k = 0; k < ShiTiList.Count(); ++k) {
            const TShiTi* q = ShiTiList[k];
            if (q->OptionCount == 0 || ratedOnPage_.count(q->Id)) continue;
            if (const auto& r = rated[static_cast<size_t>(k)]) ratings.push_back({q->Id, *r});
        }
        review::RateQuestions(connection, ratings, review::NowDays());
        for (const review::Rated& r : ratings)
            ratedOnPage_.insert(r.id);
    } catch (const std::exception& e) {
        qCWarning(lcApp) << "updating the review cards failed:" << e.what();
        reviewFailed_ = true;
    }
}

void TFrmMain::reportReviewFailure() {
    if (!reviewFailed_ || reviewFailureShown_) return;
    reviewFailureShown_ = true;
    MessageBox(QStringLiteral("错题本没有更新：题库无法写入（只读或磁盘已满）。本次批阅的成绩不受影响。"),
               QStringLiteral("错题复习"), MB_ICONWARNING | MB_OK);
}

namespace {
// The questions a window chose become the page's list.
void setXiaoTiList(const std::vector<int>& ids) {
    XiaoTiList.Clear();
    for (int id : ids)
        XiaoTiList.Add()->Id = id;
}
} // namespace

void TFrmMain::ActCTFXExecute() {
    TFrmCTFX dlg(this);
    if (dlg.ShowModal() != mrOk) return;
    setXiaoTiList(dlg.Questions);
    showPaper("错题复习", true);
}

void TFrmMain::ActXXTJExecute() {
    TFrmXXTJ dlg(this);
    // Only what the window opens replaces the page: asked about then.
    if (dlg.ShowModal() != mrOk || !ConfirmLeaveTimedExam()) return;
    setXiaoTiList(dlg.Questions);
    showPaper(dlg.PageTitle.c_str());
    if (dlg.Answers.empty()) return;
    // The answers a timed exam kept, ticked as the user left them.
    QJsonArray answers;
    for (const auto& [id, letters] : dlg.Answers)
        answers.append(QJsonArray{id, QString::fromStdString(letters)});
    WebBrowser1->WaitForLoad();
    WebBrowser1->RunInObserverWorld(
        QStringLiteral("%1.forEach(function(a){ for (var i = 0; i < a[1].length; i++) {"
                       " var e = document.getElementById(a[0] + '/' + (a[1].charCodeAt(i) - 65)); if (e) "
                       "e.checked = true; } });")
            .arg(QString::fromUtf8(QJsonDocument(answers).toJson(QJsonDocument::Compact))));
}
