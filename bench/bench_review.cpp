// The wrong-question notebook on the 100,000-question bank with a card for
// every question: the due queue of a review, the notebook dialog's data, and
// the card updates after grading a 135-question paper.
#include "BenchBank.h"
#include "review/Notebook.h"
#include "review/ReviewCards.h"
#include "store/Transaction.h"

#include <benchmark/benchmark.h>

namespace {
constexpr double kNow = 20'500;

OpenLargeBank& withCards() {
    static OpenLargeBank bank("review");
    static const bool filled = [] {
        AdoConnection& c = bank.module.ADOConnection1;
        store::WriteTransaction transaction(c);
        review::CreateReviewTables(c);
        AdoQuery q(&c);
        // Due dates spread over a year around now, one card per question.
        for (long long id = 1; id <= 100000; ++id) {
            const std::string due = review::TimeText(kNow - 180 + static_cast<double>(id % 365));
            const std::string last = review::TimeText(kNow - 200);
            q.ExecBound("INSERT OR REPLACE INTO 复习卡片 VALUES(?,2,'10','5',?,?,3,1)",
                        {id, std::string_view(due), std::string_view(last)});
        }
        transaction.commit();
        return true;
    }();
    (void)filled;
    return bank;
}
} // namespace

static void BM_DueQueue(benchmark::State& state) {
    AdoConnection& c = withCards().module.ADOConnection1;
    for (auto _ : state)
        benchmark::DoNotOptimize(review::DueQueue(c, kNow, 50));
}
BENCHMARK(BM_DueQueue)->Unit(benchmark::kMillisecond);

static void BM_NotebookData(benchmark::State& state) {
    AdoConnection& c = withCards().module.ADOConnection1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(review::ReadNotebook(c, 1000));
        benchmark::DoNotOptimize(review::CountStandings(c, kNow));
    }
}
BENCHMARK(BM_NotebookData)->Unit(benchmark::kMillisecond);

static void BM_RateAPaper(benchmark::State& state) {
    AdoConnection& c = withCards().module.ADOConnection1;
    std::vector<review::Rated> ratings;
    for (int k = 0; k < 135; ++k)
        ratings.push_back({1 + k * 701, k % 3 ? fsrs::Rating::Good : fsrs::Rating::Again});
    double now = kNow;
    for (auto _ : state)
        review::RateQuestions(c, ratings, now += 1);
}
BENCHMARK(BM_RateAPaper)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
