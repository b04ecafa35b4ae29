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
#include "review/ReviewCards.h"
#include "stats/StatsDialog.h"
#include "store/DataModule.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <unordered_map>

void TFrmMain::buildReview() {
    // A page loaded afresh may be rated again; grading one page twice may not.
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] { ratedOnPage_.clear(); });
}

void TFrmMain::feedReviewCards(const std::vector<std::vector<bool>>& checked) {
    std::vector<int> ids;
    for (int k = 0; k < ShiTiList.Count(); ++k)
        if (ShiTiList[k]->OptionCount > 0 && !ratedOnPage_.count(ShiTiList[k]->Id)) ids.push_back(ShiTiList[k]->Id);
    if (ids.empty()) return;

    // A timed paper knows how long each answer took: quick and right is Easy.
    std::unordered_map<std::string, std::pair<long long, int>> typeTime;
    if (timedExam_)
        for (const TimedQuestion& q : timedExam_->Questions())
            if (const int s = timedExam_->SecondsOn(q.id); s > 0) {
                typeTime[q.type].first += s;
                ++typeTime[q.type].second;
            }
    const auto quick = [&](const TShiTi* q) {
        if (!timedExam_) return false;
        const auto it = typeTime.find(q->TypeName);
        const int s = timedExam_->SecondsOn(q->Id);
        return it != typeTime.end() && s > 0 && s * 2LL * it->second.second < it->second.first;
    };
    try {
        AdoConnection& connection = DataModule1->ADOConnection1;
        const auto cards = review::ReadCards(connection, ids);
        // On a paper whose time ran out, a blank before the last answer was
        // skipped; the blanks after it were never reached and tell nothing.
        int lastAnswered = -1;
        for (int k = 0; k < ShiTiList.Count(); ++k)
            if (!ChosenLetters(checked[static_cast<size_t>(k)]).empty()) lastAnswered = k;
        std::vector<review::Rated> ratings;
        for (int k = 0; k < ShiTiList.Count(); ++k) {
            const TShiTi* q = ShiTiList[k];
            if (q->OptionCount == 0 || ratedOnPage_.count(q->Id)) continue;
            const bool answered = !ChosenLetters(checked[static_cast<size_t>(k)]).empty();
            if (!answered) {
                if (timedExam_ && timedExam_->RanOut() && k < lastAnswered)
                    ratings.push_back({q->Id, fsrs::Rating::Again});
            } else if (!q->Correct) {
                ratings.push_back({q->Id, fsrs::Rating::Again});
            } else if (cards.count(q->Id)) {
                ratings.push_back({q->Id, quick(q) ? fsrs::Rating::Easy : fsrs::Rating::Good});
            }
        }
        review::RateQuestions(connection, ratings, review::NowDays());
        for (const review::Rated& r : ratings) ratedOnPage_.insert(r.id);
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

void TFrmMain::ActCTFXExecute() {
    TFrmCTFX dlg(this);
    if (dlg.ShowModal() == mrOk) showPaper("错题复习", true);
}

void TFrmMain::ActXXTJExecute() {
    TFrmXXTJ dlg(this);
    // Only what the window opens replaces the page: asked about then.
    if (dlg.ShowModal() != mrOk || !ConfirmLeaveTimedExam()) return;
    showPaper(dlg.PageTitle.c_str());
    if (dlg.Answers.empty()) return;
    // The answers a timed exam kept, ticked as the user left them.
    QJsonArray answers;
    for (const auto& [id, letters] : dlg.Answers)
        answers.append(QJsonArray{id, QString::fromStdString(letters)});
    WebBrowser1->WaitForLoad();
    WebBrowser1->RunInObserverWorld(
        QStringLiteral("%1.forEach(function(a){ for (var i = 0; i < a[1].length; i++) {"
                       " var e = document.getElementById(a[0] + '/' + (a[1].charCodeAt(i) - 65)); if (e) e.checked = true; } });")
            .arg(QString::fromUtf8(QJsonDocument(answers).toJson(QJsonDocument::Compact))));
}
