#include "review/ReviewCards.h"

#include "review/Log.h"
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/OwnTables.h"
#include "store/SqlText.h"
#include "store/Transaction.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

namespace review {
namespace {
std::function<double()> nowSource;
constexpr double kMsPerDay = 86400000.0;

// The stored row leaves out the step: a learning card's is told by the gap
// its last rating set (the first step is at most 5.5 minutes, the second 10).
int stepOf(const fsrs::Card& c) {
    return c.state == fsrs::State::Learning && c.due - c.lastReview > 7 * fsrs::kMinute ? 1 : 0;
}
} // namespace

double NowDays() {
    return nowSource ? nowSource() : static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / kMsPerDay;
}

std::function<double()> SetNowForTests(std::function<double()> now) {
    std::swap(nowSource, now);
    return now;
}

std::string TimeText(double days) {
    return QDateTime::fromMSecsSinceEpoch(std::llround(days * kMsPerDay))
        .toLocalTime()
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

double DaysOfText(const std::string& text) {
    const QDateTime t =
        QDateTime::fromString(QString::fromStdString(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return t.isValid() ? static_cast<double>(t.toMSecsSinceEpoch()) / kMsPerDay : 0;
}

void CreateReviewTables(AdoConnection& connection) {
    owntables::Create(connection, {"复习卡片", "复习记录"});
}

std::unordered_map<int, fsrs::Card> ReadCards(AdoConnection& connection, const std::vector<int>& ids) {
    std::unordered_map<int, fsrs::Card> cards;
    AdoQuery q(&connection);
    if (q.OpenBound("SELECT 1 FROM sqlite_master WHERE type='table' AND name='复习卡片'", {}).Eof())
        return cards;
    for (int id : ids) {
        q.OpenBound(
            "SELECT 状态,稳定度,难度,到期时间,上次复习,复习次数,遗忘次数 FROM 复习卡片 WHERE 小题号=?",
            {static_cast<long long>(id)});
        if (q.Eof()) continue;
        fsrs::Card c;
        const int state = q.Fields(0).AsInteger();
        c.state = state >= 0 && state <= 3 ? static_cast<fsrs::State>(state) : fsrs::State::New;
        c.stability = q.Fields(1).AsFloat();
        c.difficulty = q.Fields(2).AsFloat();
        c.due = DaysOfText(q.Fields(3).AsString());
        c.lastReview = DaysOfText(q.Fields(4).AsString());
        c.reps = q.Fields(5).AsInteger();
        c.lapses = q.Fields(6).AsInteger();
        // A foreign bank's nonsense starts the card afresh rather than dividing by it.
        if (!(c.stability > 0) || !(c.difficulty >= 1 && c.difficulty <= 10)) {
            qCWarning(lcReview) << "the card of question" << id << "had stability" << c.stability
                                << "and difficulty" << c.difficulty << "; started afresh";
            c = fsrs::Card{};
        }
        c.step = stepOf(c);
        cards.emplace(id, c);
    }
    return cards;
}

void RateQuestions(AdoConnection& connection, const std::vector<Rated>& ratings, double now) {
    if (ratings.empty()) return;
    store::WriteTransaction transaction(connection);
    CreateReviewTables(connection);
    std::vector<int> ids;
    for (const Rated& r : ratings)
        ids.push_back(r.id);
    std::unordered_map<int, fsrs::Card> cards = ReadCards(connection, ids);
    AdoQuery q(&connection);
    const std::string when = TimeText(now);
    for (const Rated& r : ratings) {
        fsrs::Card& card = cards[r.id];
        card = fsrs::Review(card, r.rating, now);
        const std::string due = TimeText(card.due);
        q.ExecBound(
            "INSERT OR REPLACE INTO 复习卡片(小题号,状态,稳定度,难度,到期时间,上次复习,复习次数,遗忘次数) "
            "VALUES(?,?,?,?,?,?,?,?)",
            {static_cast<long long>(r.id), static_cast<long long>(card.state),
             std::string_view(SqlNumber(card.stability)), std::string_view(SqlNumber(card.difficulty)),
             std::string_view(due), std::string_view(when), static_cast<long long>(card.reps),
             static_cast<long long>(card.lapses)});
        q.ExecBound("INSERT INTO 复习记录(小题号,评分,复习时间,间隔天数) VALUES(?,?,?,?)",
                    {static_cast<long long>(r.id), static_cast<long long>(r.rating), std::string_view(when),
                     std::string_view(SqlNumber(card.due - now))});
    }
    transaction.commit();
}

} // namespace review
