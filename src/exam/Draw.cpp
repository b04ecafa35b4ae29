#include "exam/Draw.h"

#include "platform/Seam.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

#include <chrono>
#include <random>
#include <unordered_set>

namespace {
Seam<unsigned()> seedSeam;

unsigned nextSeed() {
    if (seedSeam) return seedSeam();
    return static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

// "1,2,3)" as the lines after an IN(.
std::string idList(const std::vector<int>& ids) {
    std::string s;
    s.reserve(ids.size() * 7);
    for (size_t i = 0; i < ids.size(); ++i) {
        s += std::to_string(ids[i]);
        s += i + 1 < ids.size() ? ',' : ')';
    }
    return s;
}

std::vector<int> column(AdoQuery& q, const char* name) {
    std::vector<int> out;
    out.reserve(static_cast<size_t>(q.RecordCount()));
    for (; !q.Eof(); q.Next())
        out.push_back(q.FieldByName(name).AsInteger());
    return out;
}
} // namespace

std::function<unsigned()> SetDrawSeedSource(std::function<unsigned()> source) {
    return seedSeam.Replace(std::move(source));
}

TDrawResult DrawPaper(const TDrawRequest& r) {
    const ReadTransaction reads(DataModule1->ADOConnection1);
    AdoQuery& q = DataModule1->ADOQuery2;

    std::vector<int> sources;
    for (const std::string& name : r.Sources)
        for (int id : column(q.OpenWith({"SELECT 编号 FROM 题目类别 WHERE 名称=", QuotedStr(name)}), "编号"))
            sources.push_back(id);
    if (sources.empty()) return TDrawResult::NoSource;

    const std::unordered_set<std::string> chosenSubjects(r.Subjects.begin(), r.Subjects.end());
    std::vector<int> subjects;
    for (int s : sources)
        for (q.OpenWith({"SELECT 编号,名称 FROM 题目类别 WHERE 父级编号=", std::to_string(s)}); !q.Eof();
             q.Next())
            if (chosenSubjects.count(q.FieldByName("名称").AsString()))
                subjects.push_back(q.FieldByName("编号").AsInteger());
    if (subjects.empty()) return TDrawResult::NoSubject;

    std::vector<int> sections;
    for (int j : subjects)
        for (int id :
             column(q.OpenWith({"SELECT 编号 FROM 题目类别 WHERE 父级编号=", std::to_string(j)}), "编号"))
            sections.push_back(id);
    if (sections.empty()) return TDrawResult::NoQuestions;

    const std::vector<int> leads = column(
        q.OpenWith({"SELECT 小题号 FROM 小题 WHERE 小题号=大题号 AND ", "所属编号 IN(", idList(sections)}),
        "小题号");
    if (leads.empty()) return TDrawResult::NoQuestions;

    std::vector<int> eligible;
    if (r.Scope == 0) {
        eligible = leads;
    } else {
        // Each scope row, in its order, brings the leads equal to it.
        std::unordered_multiset<int> inLeads(leads.begin(), leads.end());
        q.OpenWith({r.Scope == 1 ? "SELECT 小题号 FROM 小题 WHERE 是否收藏=1"
                                 : "SELECT DISTINCT 小题号 FROM 测试题目 WHERE 回答正确=0"});
        for (int id : column(q, "小题号"))
            for (size_t n = inLeads.count(id); n > 0; --n)
                eligible.push_back(id);
    }
    if (eligible.empty()) return TDrawResult::NothingInScope;

    XiaoTiList.Clear();
    const std::string eligibleList = idList(eligible);
    for (const auto& [type, count] : r.Counts) {
        if (count <= 0) continue;
        const std::vector<int> candidates =
            column(q.OpenWith({"SELECT 小题号 FROM 小题 WHERE 题目类型=", QuotedStr(type), " AND 小题号 IN(",
                               eligibleList}),
                   "小题号");
        if (candidates.empty()) continue;
        if (static_cast<size_t>(count) >= candidates.size()) {
            for (int id : candidates)
                XiaoTiList.Add()->Id = id;
            continue;
        }
        // Independent draws with replacement, each from a freshly seeded generator.
        for (int k = 0; k < count; ++k) {
            std::mt19937 rng(nextSeed());
            std::uniform_int_distribution<size_t> pick(0, candidates.size() - 1);
            XiaoTiList.Add()->Id = candidates[pick(rng)];
        }
    }

    std::vector<int> expanded;
    for (int i = 0; i < XiaoTiList.Count(); ++i)
        for (int id :
             column(q.OpenWith({"SELECT 小题号 FROM 小题 WHERE 大题号=", std::to_string(XiaoTiList[i]->Id)}),
                    "小题号"))
            expanded.push_back(id);
    if (expanded.empty()) return TDrawResult::NoQuestions;
    XiaoTiList.Clear();
    for (int id : expanded)
        XiaoTiList.Add()->Id = id;
    return TDrawResult::Drawn;
}
