// The statistics window's data on a long history: 10,000 saved tests of 100
// questions of the 100,000-question bank (a million 测试题目 rows), a tenth of
// them timed with their answers kept.
#include "BenchBank.h"
#include "stats/StatsData.h"
#include "store/AdoQuery.h"
#include "store/OwnTables.h"
#include "store/Transaction.h"

#include <benchmark/benchmark.h>

namespace {
constexpr int kTests = 10000, kPerTest = 100;

OpenLargeBank& withHistory() {
    static OpenLargeBank bank("stats");
    static const bool filled = [] {
        AdoConnection& c = bank.module.ADOConnection1;
        AdoQuery q(&c);
        store::WriteTransaction transaction(c);
        // Two tests a day for the last 5,000 days; about 70 % right.
        q.ExecWith({"WITH RECURSIVE t(n) AS (SELECT 1 UNION ALL SELECT n+1 FROM t WHERE n<",
                    std::to_string(kTests),
                    ") INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) SELECT 100,70,80,56,0.7,"
                    "strftime('%Y-%m-%d %H:%M:%S','2026-12-09',((n-10000)/2)||' days',((n%2)*6+8)||' hours') "
                    "FROM t"});
        q.ExecWith(
            {"WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM k WHERE i<",
             std::to_string(kPerTest - 1),
             ") INSERT INTO 测试题目(测试编号,小题号,回答正确) SELECT r.编号, (r.编号*7919+k.i*997)%100000+1,"
             "CASE WHEN (r.编号+k.i)%10<7 THEN -1 ELSE 0 END FROM 测试结果 r, k"});
        owntables::Create(c, {"测试计时", "测试作答"});
        q.ExecWith({"INSERT INTO 测试计时 SELECT 编号, 6000, 5400, 0 FROM 测试结果 WHERE 编号%10=0"});
        q.ExecWith({"INSERT INTO 测试作答 SELECT 测试编号, 小题号, 'A', 40+小题号%50 FROM 测试题目 "
                    "WHERE 测试编号%10=0"});
        transaction.commit();
        return true;
    }();
    (void)filled;
    return bank;
}

// One more test saved since the window was last open.
void saveOneMore(AdoConnection& c) {
    AdoQuery q(&c);
    q.ExecWith({"INSERT INTO 测试结果(试题数,答对,总分,得分,正确率,测试时间) "
                "VALUES(100,70,80,56,0.7,'2026-12-09 20:00:00')"});
    q.ExecWith(
        {"INSERT INTO 测试题目 SELECT last_insert_rowid(), 小题号, 回答正确 FROM 测试题目 WHERE 测试编号=1"});
}
} // namespace

// The first look at a history the summaries have never seen: done once.
static void BM_FirstLook(benchmark::State& state) {
    AdoConnection& c = withHistory().module.ADOConnection1;
    AdoQuery q(&c);
    for (auto _ : state) {
        state.PauseTiming();
        q.ExecWith({"DROP TABLE IF EXISTS 测试汇总"});
        q.ExecWith({"DROP TABLE IF EXISTS 错题汇总"});
        state.ResumeTiming();
        stats::CatchUpSummaries(c);
        benchmark::DoNotOptimize(stats::ReadFigures(c, "2026-12-09"));
    }
}
BENCHMARK(BM_FirstLook)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every later opening of the window: catch up with one new test, read everything.
static void BM_WindowData(benchmark::State& state) {
    AdoConnection& c = withHistory().module.ADOConnection1;
    stats::CatchUpSummaries(c);
    for (auto _ : state) {
        state.PauseTiming();
        saveOneMore(c);
        state.ResumeTiming();
        stats::CatchUpSummaries(c);
        benchmark::DoNotOptimize(stats::ReadFigures(c, "2026-12-09"));
    }
}
BENCHMARK(BM_WindowData)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
