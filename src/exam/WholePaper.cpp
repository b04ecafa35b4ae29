#include "exam/WholePaper.h"

#include "render/Global.h"
#include "store/DataModule.h"

#include <unordered_map>
#include <unordered_set>

std::vector<PaperSource> PaperSources() {
    std::vector<PaperSource> out;
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT 编号,名称 FROM 题目类别 WHERE 父级编号=0"});
    for (; !q.Eof(); q.Next())
        out.push_back({q.Fields(0).AsInteger(), q.Fields(1).AsString()});
    return out;
}

std::string FillWholePaper(int source) {
    // The tree's own order: table order, children under their parent.
    std::unordered_map<int, std::vector<int>> children;
    AdoQuery& q = DataModule1->ADOQuery2.OpenWith({"SELECT 编号,父级编号 FROM 题目类别"});
    for (; !q.Eof(); q.Next())
        children[q.Fields(1).AsInteger()].push_back(q.Fields(0).AsInteger());

    std::vector<int> order;
    std::unordered_set<int> seen;
    std::vector<int> stack{source};
    while (!stack.empty()) {
        const int id = stack.back();
        stack.pop_back();
        if (!seen.insert(id).second) continue; // a cycle in a foreign bank
        order.push_back(id);
        const auto it = children.find(id);
        if (it != children.end()) stack.insert(stack.end(), it->second.rbegin(), it->second.rend());
    }

    std::string in, rank = " ORDER BY CASE 所属编号";
    for (size_t i = 0; i < order.size(); ++i) {
        in += (i ? "," : "") + std::to_string(order[i]);
        rank += " WHEN " + std::to_string(order[i]) + " THEN " + std::to_string(i);
    }
    rank += " END, 小题号";

    // Untyped rows are notes, not questions (and a page ending in one could
    // not be graded): the paper holds the questions only.
    XiaoTiList.Clear();
    AdoQuery& rows = DataModule1->ADOQuery2.OpenWith(
        {"SELECT 小题号 FROM 小题 WHERE 所属编号 IN(" + in + ") AND 题目类型<>''"});
    for (; !rows.Eof(); rows.Next())
        XiaoTiList.Add()->Id = rows.Fields(0).AsInteger();
    return rank;
}
