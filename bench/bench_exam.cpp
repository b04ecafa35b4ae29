// The mock exam on the 100,000-question bank: a draw with every source, subject
// and type chosen at 100 per type, and grading a 1,000-question page in the real
// browser (the one batch read of the ticked options included).
#include "BenchBank.h"
#include "app/FrmMain.h"
#include "browser/WebBrowser.h"
#include "exam/Draw.h"
#include "exam/Grading.h"
#include "platform/AppFolder.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"

#include <benchmark/benchmark.h>

namespace {
struct Bank {
    std::string folder = MakeBenchInstall("exam", 100000);
    TDataModule1 dm;
    Bank() {
        if (!dm.GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
        DataModule1 = &dm;
        SetAppFolder(folder);
    }
};
Bank& bank() {
    static Bank b;
    return b;
}

TDrawRequest everything() {
    TDrawRequest r;
    AdoQuery& q = DataModule1->ADOQuery1;
    for (q.OpenWith({"SELECT * FROM 题目类别 WHERE 属性='0'"}); !q.Eof(); q.Next())
        r.Sources.push_back(q.FieldByName("名称").AsString());
    for (q.OpenWith({"SELECT * FROM 题目类别 WHERE 父级编号=1"}); !q.Eof(); q.Next())
        r.Subjects.push_back(q.FieldByName("名称").AsString());
    for (q.OpenWith({"SELECT * FROM 类型说明 "}); !q.Eof(); q.Next())
        r.Counts.emplace_back(q.FieldByName("题目类型").AsString(), 100);
    return r;
}
} // namespace

static void BM_DrawPaper(benchmark::State& state) {
    bank();
    const TDrawRequest r = everything();
    for (auto _ : state)
        if (DrawPaper(r) != TDrawResult::Drawn) state.SkipWithError("nothing drawn");
    state.counters["questions"] = XiaoTiList.Count();
}
BENCHMARK(BM_DrawPaper)->Unit(benchmark::kMillisecond);

static void BM_GradePage(benchmark::State& state) {
    bank();
    XiaoTiList.Clear();
    for (int id = 1; XiaoTiList.Count() < 1000; id += 97)
        XiaoTiList.Add()->Id = id;
    BuildQuestionPage("模拟考场");
    TFrmMain frm;
    frm.WebBrowser1->Navigate(AppFolder() + "css/Question.html");
    frm.WebBrowser1->WaitForLoad();
    frm.WebBrowser1->Evaluate(
        "var a=document.getElementsByTagName('input');for(var i=0;i<a.length;i+=3)a[i].checked=true;1");
    for (auto _ : state) {
        auto checked = frm.ReadChoices();
        if (!checked) {
            state.SkipWithError("page not read");
            break;
        }
        GradeChoices(*checked);
        ScoreTallies();
    }
    state.counters["questions"] = ShiTiList.Count();
}
BENCHMARK(BM_GradePage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
