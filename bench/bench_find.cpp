// The question search over every subject of the 100,000-question bank, with an
// empty text (every question matches) and a rare one, and the filter of a
// 10,000-question list; each beside its floor, the same SQL on a bare SQLite
// connection reading every column of every row.
#include "BenchBank.h"
#include "exam/Filter.h"
#include "exam/SCJST.h"
#include "exam/Search.h"
#include "platform/AppFolder.h"
#include "render/Global.h"
#include "store/DataModule.h"
#include "store/ExamDbFile.h"
#include "store/SqlText.h"
#include "store/Statement.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace {
struct Bank {
    std::string folder = MakeBenchInstall("find", 100000);
    TDataModule1 dm;
    sqlite3* bare = nullptr;
    std::vector<std::string> subjects;
    std::string rareText;
    Bank() {
        if (!dm.GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
        DataModule1 = &dm;
        SetAppFolder(folder);
        examdb::ExtractImage(folder + "exam.db", folder + "plain.db");
        sqlite3_open_v2((folder + "plain.db").c_str(), &bare, SQLITE_OPEN_READONLY, nullptr);
        AdoQuery& q = dm.ADOQuery1;
        for (q.OpenWith({"SELECT DISTINCT 名称 FROM 题目类别 WHERE 父级编号=1"}); !q.Eof(); q.Next())
            subjects.push_back(q.FieldByName("名称").AsString());
        // One question's whole text: found once or a few times among 100,000.
        rareText =
            q.OpenWith({"SELECT 题目内容 FROM 小题 WHERE 小题号=54321"}).FieldByName("题目内容").AsString();
    }
};
Bank& bank() {
    static Bank b;
    return b;
}

// Steps through `sql` on the bare connection, touching every column; returns the rows.
long long bareRows(const std::string& sql, std::vector<long long>* firstColumn = nullptr) {
    store::Statement s(bank().bare, sql);
    long long rows = 0, bytes = 0;
    const int n = s.columnCount();
    while (s.step()) {
        ++rows;
        if (firstColumn) firstColumn->push_back(s.integer(0));
        for (int c = 0; c < n; ++c)
            bytes += s.columnType(c) == SQLITE_TEXT ? static_cast<long long>(s.utf8(c).size()) : 8;
    }
    benchmark::DoNotOptimize(bytes);
    return rows;
}

std::string inList(const std::vector<long long>& ids) {
    std::string s;
    for (size_t i = 0; i < ids.size(); ++i)
        s += std::to_string(ids[i]) + (i + 1 < ids.size() ? "," : ")");
    return s;
}

void search(benchmark::State& state, const std::string& text) {
    Bank& b = bank();
    TObjectList<TSearchBH> scope;
    for (auto _ : state)
        if (SearchQuestions(b.subjects, text, scope) != TSearchResult::Found)
            state.SkipWithError("nothing found");
    state.counters["matches"] = DataModule1->ADOQuery2.RecordCount();
}

// The search's three statements on the bare connection.
void searchFloor(benchmark::State& state, const std::string& text) {
    Bank& b = bank();
    std::string names;
    for (size_t i = 0; i < b.subjects.size(); ++i)
        names += QuotedStr(b.subjects[i]) + (i + 1 < b.subjects.size() ? "," : ")");
    long long rows = 0;
    for (auto _ : state) {
        std::vector<long long> subjects, categories;
        bareRows("SELECT 编号 FROM 题目类别 WHERE 名称 IN(" + names, &subjects);
        bareRows("SELECT 编号 FROM 题目类别 WHERE 父级编号 IN(" + inList(subjects), &categories);
        rows = bareRows("SELECT * FROM 小题 WHERE 题目内容 LIKE " + LikeContains(text) + " AND 所属编号 IN(" +
                        inList(categories));
    }
    state.counters["matches"] = static_cast<double>(rows);
}

std::vector<std::string> filterTypes() {
    return {"单项选择题", "多项选择题", "判断题"};
}

void tenThousand() {
    XiaoTiList.Clear();
    for (int id = 1; id <= 100000; id += 10)
        XiaoTiList.Add()->Id = id;
}
} // namespace

static void BM_SearchEmptyText(benchmark::State& state) {
    search(state, "");
}
BENCHMARK(BM_SearchEmptyText)->Unit(benchmark::kMillisecond);
static void BM_Floor_SearchEmptyText(benchmark::State& state) {
    searchFloor(state, "");
}
BENCHMARK(BM_Floor_SearchEmptyText)->Unit(benchmark::kMillisecond);

static void BM_SearchRareText(benchmark::State& state) {
    search(state, bank().rareText);
}
BENCHMARK(BM_SearchRareText)->Unit(benchmark::kMillisecond);
static void BM_Floor_SearchRareText(benchmark::State& state) {
    searchFloor(state, bank().rareText);
}
BENCHMARK(BM_Floor_SearchRareText)->Unit(benchmark::kMillisecond);

// The matches of the empty search listed in the result dialog's grid.
static void BM_ListAllMatches(benchmark::State& state) {
    Bank& b = bank();
    TObjectList<TSearchBH> scope;
    TFrmSCJST dlg;
    for (auto _ : state) {
        state.PauseTiming();
        SearchQuestions(b.subjects, "", scope);
        state.ResumeTiming();
        dlg.FillData(DataModule1->ADOQuery2);
    }
    state.counters["rows"] = dlg.FavouriteIds.Count();
}
BENCHMARK(BM_ListAllMatches)->Unit(benchmark::kMillisecond);

// The floor of the list: the texts of the same open rows made into the strings
// a grid shows, and the ids, held in plain vectors with no widget.
static void BM_Floor_ListAllMatches(benchmark::State& state) {
    Bank& b = bank();
    TObjectList<TSearchBH> scope;
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SearchQuestions(b.subjects, "", scope);
        state.ResumeTiming();
        AdoQuery& q = DataModule1->ADOQuery2;
        std::vector<QString> cells;
        std::vector<int> ids;
        cells.reserve(static_cast<size_t>(q.RecordCount()));
        ids.reserve(static_cast<size_t>(q.RecordCount()));
        for (; !q.Eof(); q.Next()) {
            cells.push_back(QString::fromStdString(q.FieldByName("题目内容").AsString()));
            ids.push_back(q.FieldByName("小题号").AsInteger());
        }
        rows = ids.size();
        benchmark::DoNotOptimize(cells.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_Floor_ListAllMatches)->Unit(benchmark::kMillisecond);

static void BM_FilterTenThousand(benchmark::State& state) {
    bank();
    for (auto _ : state) {
        state.PauseTiming();
        tenThousand();
        state.ResumeTiming();
        if (FilterQuestions(TFilterScope::All, filterTypes()) != TFilterResult::Filtered)
            state.SkipWithError("none kept");
    }
    state.counters["kept"] = XiaoTiList.Count();
}
BENCHMARK(BM_FilterTenThousand)->Unit(benchmark::kMillisecond);

static void BM_Floor_FilterTenThousand(benchmark::State& state) {
    bank();
    tenThousand();
    FilterQuestions(TFilterScope::All, filterTypes());
    const std::string sql = DataModule1->ADOQuery2.SQL.Text(); // the very statement the filter sent
    long long rows = 0;
    for (auto _ : state) {
        std::vector<long long> ids;
        ids.reserve(10000);
        rows = bareRows(sql, &ids);
    }
    state.counters["kept"] = static_cast<double>(rows);
}
BENCHMARK(BM_Floor_FilterTenThousand)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
