#include "exam/Search.h"

#include "exam/IdLines.h"
#include "store/DataModule.h"
#include "store/SqlText.h"

namespace {
// Empties `scope` and refills it with the 编号 of every row of the open query.
void refill(AdoQuery& q, TObjectList<TSearchBH>& scope) {
    scope.Clear();
    for (; !q.Eof(); q.Next())
        scope.Add()->Id = static_cast<std::uint16_t>(q.FieldByName("编号").AsInteger());
}

void begin(AdoQuery& q, std::string firstLine) {
    q.Close();
    q.SQL.Clear();
    q.SQL.Add(std::move(firstLine));
}
} // namespace

TSearchResult SearchQuestions(const std::vector<std::string>& subjects, std::string_view text,
                              TObjectList<TSearchBH>& scope) {
    AdoQuery& q = DataModule1->ADOQuery2;
    const auto id = [](const TSearchBH* b) { return b->Id; };
    if (subjects.empty()) return TSearchResult::NoSubjects; // the dialog asks for one first
    const ReadTransaction reads(DataModule1->ADOConnection1);

    begin(q, "SELECT 编号 FROM 题目类别 WHERE 名称 IN(");
    for (size_t i = 0; i < subjects.size(); ++i) {
        q.SQL.Add(QuotedStr(subjects[i]));
        q.SQL.Add(std::string(i + 1 < subjects.size() ? "," : ")"));
    }
    q.Open();
    refill(q, scope);
    if (scope.Count() == 0) return TSearchResult::NoSubjects;

    begin(q, "SELECT 编号 FROM 题目类别 WHERE 父级编号 IN(");
    AddIdLines(q.SQL, scope, id);
    q.Open();
    refill(q, scope);
    if (scope.Count() == 0) return TSearchResult::NoCategories;

    // The text is a value: quotes, % and _ in it match themselves. Only the
    // columns the result list shows: on a large bank the rest is most of the bytes.
    begin(q, "SELECT 小题号,题目内容,题目类型 FROM 小题 WHERE 题目内容 LIKE " + LikeContains(text));
    q.SQL.Add(std::string(" AND 所属编号 IN("));
    AddIdLines(q.SQL, scope, id);
    q.Open();
    return q.RecordCount() == 0 ? TSearchResult::NoQuestions : TSearchResult::Found;
}
