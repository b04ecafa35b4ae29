#include "stats/StatsData.h"

#include "store/AdoConnection.h"
#include "store/AdoQuery.h"
#include "store/OwnTables.h"
#include "store/Subjects.h"
#include "store/Transaction.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <string_view>

namespace stats {
namespace {
bool hasTable(AdoQuery& q, const char* name) {
    return !q.OpenBound("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?", {std::string_view(name)})
                .Eof();
}

// The kinds of writing task in the order a paper sets them.
constexpr std::string_view kEssayKinds[] = {"归纳概括", "综合分析", "提出对策", "贯彻执行", "文章论述"};
int essayKindRank(const std::string& kind) {
    return static_cast<int>(
        std::find(std::begin(kEssayKinds), std::end(kEssayKinds), std::string_view(kind)) -
        std::begin(kEssayKinds));
}
} // namespace

void CatchUpSummaries(AdoConnection& connection) {
    AdoQuery q(&connection);
    store::WriteTransaction transaction(connection);
    owntables::Create(connection, {"测试汇总", "科目汇总", "用时汇总", "错题汇总"});
    const long long done =
        q.OpenBound("SELECT IFNULL(MAX(测试编号),0) FROM 测试汇总", {}).Fields(0).AsLargeInt();
    // A test whose questions are all gone from the bank still counts as done.
    q.ExecBound("INSERT INTO 测试汇总 SELECT q.测试编号, IFNULL(x.题目类型,''), COUNT(*), SUM(q.回答正确<>0) "
                "FROM 测试题目 q LEFT JOIN 小题 x ON x.小题号=q.小题号 WHERE q.测试编号>? "
                "GROUP BY q.测试编号, x.题目类型",
                {done});
    // Subjects by name: the sections' counts summed under their subject.
    TSubjectNames subjects(connection);
    std::map<std::string, std::pair<long long, long long>> bySubject;
    for (q.OpenBound("SELECT x.所属编号, COUNT(*), SUM(q.回答正确<>0) FROM 测试题目 q JOIN 小题 x "
                     "ON x.小题号=q.小题号 WHERE q.测试编号>? GROUP BY 1",
                     {done});
         !q.Eof(); q.Next()) {
        const std::string& name = subjects.Of(q.Fields(0).AsInteger());
        if (name.empty()) continue;
        auto& [total, right] = bySubject[name];
        total += q.Fields(1).AsLargeInt();
        right += q.Fields(2).AsLargeInt();
    }
    q.Close();
    for (const auto& [name, counts] : bySubject)
        q.ExecBound("INSERT INTO 科目汇总 VALUES(?,?,?) ON CONFLICT(科目) DO UPDATE "
                    "SET 题数=题数+excluded.题数, 答对=答对+excluded.答对",
                    {std::string_view(name), counts.first, counts.second});
    if (hasTable(q, "测试作答"))
        q.ExecBound("INSERT INTO 用时汇总 SELECT x.题目类型, SUM(a.用时秒数), COUNT(*) FROM 测试作答 a "
                    "JOIN 小题 x ON x.小题号=a.小题号 WHERE a.测试编号>? AND a.作答<>'' GROUP BY 1 "
                    "ON CONFLICT(题目类型) DO UPDATE SET 秒数=秒数+excluded.秒数, 题数=题数+excluded.题数",
                    {done});
    q.ExecBound("INSERT INTO 错题汇总 SELECT 小题号, COUNT(*) FROM 测试题目 WHERE 测试编号>? AND 回答正确=0 "
                "GROUP BY 小题号 ON CONFLICT(小题号) DO UPDATE SET 次数=次数+excluded.次数",
                {done});
    transaction.commit();
}

void RecordPractice(AdoConnection& connection, int questionId, bool right, const std::string& time) {
    // One table and one row: each statement stands on its own.
    owntables::Create(connection, {"练习记录"});
    AdoQuery q(&connection);
    q.ExecBound(
        "INSERT INTO 练习记录(小题号, 答对, 练习时间) VALUES(?,?,?)",
        {static_cast<long long>(questionId), static_cast<long long>(right ? 1 : 0), std::string_view(time)});
}

Figures ReadFigures(AdoConnection& connection, const std::string& today) {
    Figures f;
    AdoQuery q(&connection);
    f.tests = q.OpenBound("SELECT COUNT(*) FROM 测试结果", {}).Fields(0).AsInteger();
    const bool practice = hasTable(q, "练习记录");
    if (practice) f.practised = q.OpenBound("SELECT COUNT(*) FROM 练习记录", {}).Fields(0).AsInteger();
    if (f.tests == 0 && f.practised == 0) return f;
    f.byWeek = f.tests > kTestsForWeeks;

    // Accuracy per type, by test or by week; practice by day, or in its week.
    const std::string label = f.byWeek ? "strftime('%Y-W%W', t.测试时间)" : "t.测试时间";
    std::map<std::pair<std::string, std::string>, std::pair<int, int>> points;
    for (q.OpenWith({"SELECT " + label +
                     ", s.题目类型, SUM(s.题数), SUM(s.答对) FROM 测试汇总 s "
                     "JOIN 测试结果 t ON t.编号=s.测试编号 WHERE s.题目类型<>'' GROUP BY 1, 2"});
         !q.Eof(); q.Next())
        points[{q.Fields(0).AsString(), q.Fields(1).AsString()}] = {q.Fields(2).AsInteger(),
                                                                    q.Fields(3).AsInteger()};
    std::map<int, std::pair<long long, long long>> practiceBySection;
    if (practice) {
        const std::string day =
            f.byWeek ? "strftime('%Y-W%W', p.练习时间)" : "substr(p.练习时间,1,10)||' 练习'";
        for (q.OpenWith({"SELECT " + day +
                         ", x.题目类型, COUNT(*), SUM(p.答对<>0) FROM 练习记录 p "
                         "JOIN 小题 x ON x.小题号=p.小题号 WHERE x.题目类型<>'' GROUP BY 1, 2"});
             !q.Eof(); q.Next()) {
            auto& [total, right] = points[{q.Fields(0).AsString(), q.Fields(1).AsString()}];
            total += q.Fields(2).AsInteger();
            right += q.Fields(3).AsInteger();
        }
        for (q.OpenWith({"SELECT x.所属编号, COUNT(*), SUM(p.答对<>0) FROM 练习记录 p JOIN 小题 x "
                         "ON x.小题号=p.小题号 GROUP BY 1"});
             !q.Eof(); q.Next())
            practiceBySection[q.Fields(0).AsInteger()] = {q.Fields(1).AsLargeInt(), q.Fields(2).AsLargeInt()};
    }
    // Labels begin with the date (or the week): their order is the time order.
    for (const auto& [key, counts] : points)
        f.accuracy.push_back({key.first, key.second, counts.first, counts.second});

    // By subject, subjects of one name together, weakest first.
    std::map<std::string, std::pair<long long, long long>> bySubject;
    for (q.OpenBound("SELECT 科目, 题数, 答对 FROM 科目汇总", {}); !q.Eof(); q.Next())
        bySubject[q.Fields(0).AsString()] = {q.Fields(1).AsLargeInt(), q.Fields(2).AsLargeInt()};
    if (!practiceBySection.empty()) {
        TSubjectNames subjects(connection);
        for (const auto& [section, counts] : practiceBySection) {
            const std::string& name = subjects.Of(section);
            if (name.empty()) continue;
            bySubject[name].first += counts.first;
            bySubject[name].second += counts.second;
        }
    }
    for (const auto& [name, counts] : bySubject)
        f.subjects.push_back({name, static_cast<int>(counts.first), static_cast<int>(counts.second)});
    std::stable_sort(f.subjects.begin(), f.subjects.end(), [](const SubjectRate& a, const SubjectRate& b) {
        return static_cast<double>(a.right) * b.total < static_cast<double>(b.right) * a.total;
    });

    // Questions per day over the last 90 days, the empty days included.
    const QDate end = QDate::fromString(QString::fromStdString(today), Qt::ISODate);
    const QDate start = end.addDays(-89);
    std::map<std::string, int> perDay;
    for (q.OpenBound("SELECT substr(测试时间,1,10), SUM(试题数) FROM 测试结果 WHERE 测试时间>=? GROUP BY 1",
                     {std::string_view(start.toString(Qt::ISODate).toStdString())});
         !q.Eof(); q.Next())
        perDay[q.Fields(0).AsString()] = q.Fields(1).AsInteger();
    if (practice)
        for (q.OpenBound("SELECT substr(练习时间,1,10), COUNT(*) FROM 练习记录 WHERE 练习时间>=? GROUP BY 1",
                         {std::string_view(start.toString(Qt::ISODate).toStdString())});
             !q.Eof(); q.Next())
            perDay[q.Fields(0).AsString()] += q.Fields(1).AsInteger();
    for (QDate d = start; d <= end; d = d.addDays(1)) {
        const std::string key = d.toString(Qt::ISODate).toStdString();
        f.days.push_back({key, perDay.count(key) ? perDay[key] : 0});
    }

    // Seconds per answered question by type, where timed exams kept them.
    for (q.OpenBound("SELECT 题目类型, 秒数/题数, 题数 FROM 用时汇总 WHERE 题数>0 ORDER BY 1", {}); !q.Eof();
         q.Next())
        f.seconds.push_back({q.Fields(0).AsString(), q.Fields(1).AsFloat(), q.Fields(2).AsInteger()});

    // A full paper of the last test's mix, at the last ten tests' accuracy per type.
    struct Mix {
        int count = 0, total = 0, right = 0;
        double points = 0;
    };
    std::map<std::string, Mix> mix;
    for (q.OpenBound(
             "SELECT 题目类型, SUM(题数) FROM 测试汇总 WHERE 测试编号=(SELECT MAX(编号) FROM 测试结果) "
             "AND 题目类型<>'' GROUP BY 1",
             {});
         !q.Eof(); q.Next())
        mix[q.Fields(0).AsString()].count = q.Fields(1).AsInteger();
    for (q.OpenBound("SELECT 题目类型, SUM(题数), SUM(答对) FROM 测试汇总 WHERE 测试编号 IN "
                     "(SELECT 编号 FROM 测试结果 ORDER BY 编号 DESC LIMIT 10) GROUP BY 1",
                     {});
         !q.Eof(); q.Next())
        if (auto it = mix.find(q.Fields(0).AsString()); it != mix.end()) {
            it->second.total = q.Fields(1).AsInteger();
            it->second.right = q.Fields(2).AsInteger();
        }
    for (auto& [type, m] : mix) {
        q.OpenBound("SELECT 分数 FROM 类型说明 WHERE 题目类型=?", {std::string_view(type)});
        m.points = q.Eof() ? 0 : q.Fields(0).AsFloat();
        if (m.total == 0) continue;
        // Each type's share right, give or take twice its standard error.
        const double p = static_cast<double>(m.right) / m.total;
        const double spread = 1.96 * std::sqrt(p * (1 - p) / m.total);
        const double worth = m.count * m.points;
        f.prediction.known = true;
        f.prediction.full += worth;
        f.prediction.score += worth * p;
        f.prediction.low += worth * std::max(0.0, p - spread);
        f.prediction.high += worth * std::min(1.0, p + spread);
    }

    // The questions answered wrongly most often.
    for (q.OpenBound("SELECT w.小题号, w.次数, x.题目内容, x.题目类型 FROM 错题汇总 w JOIN 小题 x ON "
                     "x.小题号=w.小题号 "
                     "ORDER BY w.次数 DESC, w.小题号 LIMIT 20",
                     {});
         !q.Eof(); q.Next())
        f.wrong.push_back({q.Fields(0).AsInteger(), q.Fields(1).AsInteger(), q.Fields(2).AsString(),
                           q.Fields(3).AsString()});

    // The saved tests, newest first.
    const bool timing = hasTable(q, "测试计时");
    for (q.OpenWith({std::string("SELECT t.编号, t.测试时间, t.试题数, t.答对, t.得分, t.总分, ") +
                     (timing ? "EXISTS(SELECT 1 FROM 测试计时 c WHERE c.测试编号=t.编号)" : "0") +
                     " FROM 测试结果 t ORDER BY t.编号 DESC"});
         !q.Eof(); q.Next())
        f.history.push_back({q.Fields(0).AsInteger(), q.Fields(1).AsString(), q.Fields(2).AsInteger(),
                             q.Fields(3).AsInteger(), q.Fields(4).AsFloat(), q.Fields(5).AsFloat(),
                             q.Fields(6).AsInteger() != 0});
    return f;
}

std::vector<std::pair<int, std::string>> AnswersOf(AdoConnection& connection, int testId) {
    std::vector<std::pair<int, std::string>> out;
    AdoQuery q(&connection);
    if (!hasTable(q, "测试作答")) return out;
    for (q.OpenBound("SELECT 小题号, 作答 FROM 测试作答 WHERE 测试编号=?", {static_cast<long long>(testId)});
         !q.Eof(); q.Next())
        out.emplace_back(q.Fields(0).AsInteger(), q.Fields(1).AsString());
    return out;
}

std::vector<int> QuestionsOf(AdoConnection& connection, int testId) {
    std::vector<int> out;
    AdoQuery q(&connection);
    for (q.OpenBound("SELECT 小题号 FROM 测试题目 WHERE 测试编号=?", {static_cast<long long>(testId)});
         !q.Eof(); q.Next())
        out.push_back(q.Fields(0).AsInteger());
    return out;
}

EssayFigures ReadEssayFigures(AdoConnection& connection) {
    EssayFigures f;
    AdoQuery q(&connection);
    if (!hasTable(q, "申论作答")) return f;
    std::map<std::string, int> numbers;
    double total = 0;
    for (q.OpenBound("SELECT 任务类型, 估分, 满分, 字数, 用时秒数 FROM 申论作答 ORDER BY 开始时间, 作答编号",
                     {});
         !q.Eof(); q.Next()) {
        ++f.attempts;
        const bool submitted = !q.Fields(1).IsNull();
        if (submitted) ++f.submitted;
        // A task without marks has no share to show.
        if (const double full = q.Fields(2).AsFloat(); submitted && full > 0) {
            const std::string kind = q.Fields(0).AsString();
            f.scores.push_back({kind, ++numbers[kind], 100 * q.Fields(1).AsFloat() / full});
        }
        // Under a minute says more about a glance at the task than about writing.
        if (const int seconds = q.Fields(4).AsInteger(); seconds >= 60) {
            f.speeds.push_back(q.Fields(3).AsInteger() / (seconds / 60.0));
            total += f.speeds.back();
        }
    }
    if (!f.speeds.empty()) f.averageSpeed = total / static_cast<double>(f.speeds.size());
    std::stable_sort(f.scores.begin(), f.scores.end(), [](const EssayPoint& a, const EssayPoint& b) {
        const int ra = essayKindRank(a.kind), rb = essayKindRank(b.kind);
        return ra != rb ? ra < rb : a.kind < b.kind;
    });
    return f;
}

} // namespace stats
