#include "review/Notebook.h"

#include "review/Fsrs.h"
#include "review/ReviewCards.h"
#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/Subjects.h"
#include "store/SystemParams.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace review {
namespace {
constexpr const char* kLimitKey = "错题复习每日题数";

bool hasCards(AdoConnection& connection) {
    AdoQuery q(&connection);
    return !q.OpenBound("SELECT 1 FROM sqlite_master WHERE type='table' AND name='复习卡片'", {}).Eof();
}

// Today's start in days, by the local clock.
double startOfToday(double now) {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(std::llround(now * 86400000.0)).toLocalTime();
    return static_cast<double>(QDateTime(t.date(), QTime(0, 0)).toMSecsSinceEpoch()) / 86400000.0;
}
} // namespace

std::vector<NotebookCard> ReadNotebook(AdoConnection& connection, int limit) {
    std::vector<NotebookCard> cards;
    if (!hasCards(connection)) return cards;
    TSubjectNames subjects(connection);
    AdoQuery q(&connection);
    for (q.OpenBound("SELECT c.小题号,x.大题号,x.题目内容,x.题目类型,x.所属编号,c.状态,c.到期时间,"
                     "julianday(c.到期时间)-julianday(c.上次复习),c.遗忘次数 "
                     "FROM 复习卡片 c JOIN 小题 x ON x.小题号=c.小题号 ORDER BY c.到期时间, c.小题号 LIMIT ?",
                     {static_cast<long long>(limit)});
         !q.Eof(); q.Next()) {
        NotebookCard c;
        c.id = q.Fields(0).AsInteger();
        c.group = q.Fields(1).AsInteger();
        c.text = q.Fields(2).AsString();
        c.type = q.Fields(3).AsString();
        c.subject = subjects.Of(q.Fields(4).AsInteger());
        c.state = q.Fields(5).AsInteger();
        c.due = q.Fields(6).AsString();
        c.intervalDays = q.Fields(7).IsNull() ? 0 : q.Fields(7).AsFloat();
        c.lapses = q.Fields(8).AsInteger();
        cards.push_back(std::move(c));
    }
    return cards;
}

std::vector<StandingCounts> CountStandings(AdoConnection& connection, double now) {
    std::vector<StandingCounts> out;
    if (!hasCards(connection)) return out;
    TSubjectNames subjects(connection);
    const std::string today = TimeText(startOfToday(now)), tomorrow = TimeText(startOfToday(now) + 1);
    AdoQuery q(&connection);
    q.OpenBound(
        "SELECT x.题目类型, x.所属编号, "
        "SUM(c.到期时间>=?1 AND c.到期时间<?2), SUM(c.到期时间<?1), "
        "SUM(c.到期时间>=?2 AND c.状态 IN (1,3)), "
        "SUM(c.到期时间>=?2 AND c.状态 NOT IN (1,3) AND julianday(c.到期时间)-julianday(c.上次复习)>60), "
        "COUNT(*) FROM 复习卡片 c JOIN 小题 x ON x.小题号=c.小题号 GROUP BY x.题目类型, x.所属编号",
        {std::string_view(today), std::string_view(tomorrow)});
    std::map<std::pair<std::string, std::string>, StandingCounts> by;
    for (; !q.Eof(); q.Next()) {
        const std::string type = q.Fields(0).AsString();
        const std::string& subject = subjects.Of(q.Fields(1).AsInteger());
        StandingCounts& s = by[{type, subject}];
        s.type = type;
        s.subject = subject;
        s.due += q.Fields(2).AsInteger();
        s.overdue += q.Fields(3).AsInteger();
        s.learning += q.Fields(4).AsInteger();
        s.mastered += q.Fields(5).AsInteger();
        s.total += q.Fields(6).AsInteger();
    }
    for (auto& [key, s] : by)
        out.push_back(std::move(s));
    return out;
}

std::vector<int> DueQueue(AdoConnection& connection, double now, int limit) {
    std::vector<int> ids;
    if (!hasCards(connection) || limit <= 0) return ids;
    AdoQuery q(&connection);
    const std::string end = TimeText(startOfToday(now) + 1);
    std::vector<long long> groups;
    std::unordered_set<long long> seen;
    // Read no more of the index than the review needs: a few rows past the
    // limit cover groups with several due rows; only then read them all.
    for (const long long take : {static_cast<long long>(limit) * 4, -1LL}) {
        groups.clear();
        seen.clear();
        q.OpenBound("SELECT x.大题号 FROM 复习卡片 c JOIN 小题 x ON x.小题号=c.小题号 WHERE c.到期时间<? "
                    "ORDER BY c.到期时间, c.小题号 LIMIT ?",
                    {std::string_view(end), take});
        for (; !q.Eof() && static_cast<int>(groups.size()) < limit; q.Next())
            if (seen.insert(q.Fields(0).AsLargeInt()).second) groups.push_back(q.Fields(0).AsLargeInt());
        if (static_cast<int>(groups.size()) >= limit || q.RecordCount() < take) break;
    }
    // The page builder prints a group's stem only with its rows together.
    for (long long g : groups)
        for (q.OpenBound("SELECT 小题号 FROM 小题 WHERE 大题号=?", {g}); !q.Eof(); q.Next())
            ids.push_back(q.Fields(0).AsInteger());
    return ids;
}

void RemoveCard(AdoConnection& connection, int id) {
    AdoQuery q(&connection);
    q.ExecBound("DELETE FROM 复习卡片 WHERE 小题号=?", {static_cast<long long>(id)});
}

int DailyLimit(AdoConnection& connection) {
    const auto v = ReadSystemParam(connection, kLimitKey);
    bool ok = false;
    const int n = v ? QString::fromStdString(*v).toInt(&ok) : 0;
    return ok && n >= 1 && n <= 1000 ? n : kDefaultDailyLimit;
}

void SetDailyLimit(AdoConnection& connection, int limit) {
    WriteSystemParam(connection, kLimitKey, std::to_string(limit));
}

} // namespace review
