// 申论 writing: the count redone on every keystroke of a 1,500-character
// answer (the writing window's own path: count, and the sheet when shown),
// and an answer of that length judged against a task of eight 要点.
#include "essay/Count.h"
#include "essay/Judge.h"

#include <benchmark/benchmark.h>

namespace {
QString answer() {
    QString text = QStringLiteral("对上老人的胃口\n");
    const QString sentence =
        QStringLiteral("养老服务要围着老人的需求转，设施建好以后要有运营经费，护理队伍要留得住人，");
    while (text.size() < 1500) {
        text += sentence;
        if (text.size() % 300 < sentence.size()) text += u'\n';
    }
    return text.left(1500);
}

essay::Task task() {
    QString points;
    const char* lines[] = {"提高待遇：按技能等级发放岗位补贴，从业满5年给予奖励。",
                           "提升技能：免费开展护理培训和职业技能等级认定。",
                           "拓宽来源：与中职学校开设老年护理订单班，定向就业。",
                           "增强职业认同：评选最美护理员，扭转偏见。",
                           "装前问需：按老人需要配置设备，减少误报。",
                           "建立维护机制：互助队员定期上门检查设备。",
                           "健全响应：区域养老服务中心24小时值守，联动村医。",
                           "补齐短板：在信号薄弱村补建基站。"};
    for (const char* l : lines)
        points += QStringLiteral("<p>1.%1（2分）</p>").arg(QString::fromUtf8(l));
    return essay::ReadTask(1, QStringLiteral("提出对策建议。要求：不超过1500字。（16分）"), points);
}
} // namespace

static void BM_CountPerKeystroke(benchmark::State& state) {
    const QString text = answer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(essay::CountCells(text));
        if (state.range(0)) benchmark::DoNotOptimize(essay::LayOut(text).rows.size());
    }
    state.counters["characters"] = static_cast<double>(text.size());
}
BENCHMARK(BM_CountPerKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_JudgeAnswer(benchmark::State& state) {
    const QString text = answer();
    const essay::Task t = task();
    for (auto _ : state)
        benchmark::DoNotOptimize(essay::Judge(t, text).score);
    state.counters["points"] = static_cast<double>(t.points.size());
}
BENCHMARK(BM_JudgeAnswer)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
