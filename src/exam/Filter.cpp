#include "exam/Filter.h"

#include "exam/IdLines.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

namespace {
const auto kId = [](const TXiaoTi* x) { return x->Id; };

// Opens the query and makes its 小题号 column the new XiaoTiList.
void refill(AdoQuery& q) {
    q.Open();
    XiaoTiList.Clear();
    for (; !q.Eof(); q.Next())
        XiaoTiList.Add()->Id = q.FieldByName("小题号").AsInteger();
}

void begin(AdoQuery& q, const char* firstLine) {
    q.Close();
    q.SQL.Clear();
    q.SQL.Add(std::string(firstLine));
}
} // namespace

TFilterResult FilterQuestions(TFilterScope scope, const std::vector<std::string>& types) {
    if (XiaoTiList.Count() == 0) return TFilterResult::NothingToFilter;
    AdoQuery& q = DataModule1->ADOQuery2;
    const ReadTransaction reads(DataModule1->ADOConnection1);

    if (scope != TFilterScope::All) {
        begin(q, scope == TFilterScope::Favourites ? "SELECT 小题号 FROM 小题 WHERE 是否收藏=1"
                                                   : "SELECT DISTINCT 小题号 FROM 测试题目 WHERE 回答正确=0");
        q.SQL.Add(std::string(" AND 小题号 IN("));
        AddIdLines(q.SQL, XiaoTiList, kId);
        refill(q);
        if (XiaoTiList.Count() == 0) return TFilterResult::NothingInScope;
    }
    if (types.empty()) { // the dialog asks for a type first; nothing can match none
        XiaoTiList.Clear();
        return TFilterResult::NothingInScope;
    }

    begin(q, "SELECT 小题号 FROM 小题 WHERE 小题号 IN(");
    AddIdLines(q.SQL, XiaoTiList, kId, ") AND 题目类型 IN(");
    for (size_t i = 0; i < types.size(); ++i) {
        q.SQL.Add(QuotedStr(types[i]));
        if (i + 1 < types.size()) q.SQL.Add(std::string(","));
    }
    q.SQL.Add(std::string(")"));
    refill(q);
    return XiaoTiList.Count() == 0 ? TFilterResult::NothingInScope : TFilterResult::Filtered;
}
