// The shipped bank as a user meets it: connecting, loading the category tree
// and writing the page of its largest section. QUILLORA_BANK names another
// bank file to compare with (an earlier shipped bank, say).
#include "BenchBank.h"
#include "app/FrmMain.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/AdoQuery.h"
#include "store/DataModule.h"

#include <benchmark/benchmark.h>

namespace {
std::string sampleBank() {
    return qEnvironmentVariableIsSet("QUILLORA_BANK") ? qEnvironmentVariable("QUILLORA_BANK").toStdString()
                                                      : std::string(QUILLORA_DIST_BANK);
}
OpenLargeBank& sample() {
    static OpenLargeBank bank("sample", sampleBank());
    return bank;
}
} // namespace

static void BM_SampleConnect(benchmark::State& state) {
    const std::string folder = MakeBenchInstallOf("sample-connect", sampleBank());
    for (auto _ : state) {
        TDataModule1 dm;
        if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    }
}
BENCHMARK(BM_SampleConnect)->Unit(benchmark::kMillisecond);

static void BM_SampleTree(benchmark::State& state) {
    sample();
    TFrmMain frm;
    for (auto _ : state)
        frm.ActShiTiKuExecute();
    state.counters["categories"] = frm.RootNodeInfos.Count() + frm.ChildNodeInfos.Count();
}
BENCHMARK(BM_SampleTree)->Unit(benchmark::kMillisecond);

// The section of the most questions, as a click on it lists them.
static void BM_SampleLargestSection(benchmark::State& state) {
    sample();
    AdoQuery q(&DataModule1->ADOConnection1);
    const int section = q.OpenBound("SELECT 所属编号 FROM 小题 GROUP BY 1 ORDER BY COUNT(*) DESC LIMIT 1", {})
                            .Fields(0)
                            .AsInteger();
    XiaoTiList.Clear();
    for (q.OpenBound("SELECT 小题号 FROM 小题 WHERE 所属编号=? ORDER BY 小题号",
                     {static_cast<long long>(section)});
         !q.Eof(); q.Next())
        XiaoTiList.Add()->Id = q.Fields(0).AsInteger();
    q.Close();
    for (auto _ : state)
        BuildQuestionPage("专项");
    state.counters["questions"] = ShiTiList.Count();
}
BENCHMARK(BM_SampleLargestSection)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
