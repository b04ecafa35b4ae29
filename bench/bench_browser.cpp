// What the user waits for: the written question page of 1,000 and 10,000
// questions of the 100,000-question bank loaded into the browser control
// (offscreen). Reported beside the page build: first paint (the browser's own
// paint timing), load end, and the memory of all the program's processes.
#include "BenchBank.h"
#include "browser/WebBrowser.h"
#include "platform/AppFolder.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fstream>
#include <unistd.h>
#include <string>

namespace {
OpenLargeBank& installed() {
    static OpenLargeBank bank("browser");
    return bank;
}

long rssKiB(long pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

long parentOf(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = s.rfind(')');
    if (close == std::string::npos) return 0;
    long ppid = 0;
    std::sscanf(s.c_str() + close + 2, "%*c %ld", &ppid);
    return ppid;
}

// This process and every process below it (the browser's helper processes).
double treeMiB() {
    const long self = ::getpid();
    long kib = rssKiB(self);
    DIR* d = ::opendir("/proc");
    while (dirent* e = ::readdir(d)) {
        const long pid = std::atol(e->d_name);
        if (pid <= 0 || pid == self) continue;
        for (long p = parentOf(pid); p > 1; p = parentOf(p))
            if (p == self) {
                kib += rssKiB(pid);
                break;
            }
    }
    ::closedir(d);
    return static_cast<double>(kib) / 1024.0;
}
}  // namespace

static void BM_LoadQuestionPage(benchmark::State& state) {
    OpenLargeBank& inst = installed();
    FillSpreadList(static_cast<int>(state.range(0)));
    BuildQuestionPage("模拟考场");
    WebBrowser browser;
    browser.resize(1000, 700);
    browser.show();
    double paintMs = 0;
    for (auto _ : state) {
        browser.Navigate(QStringLiteral("about:blank"));
        browser.WaitForLoad();
        QElapsedTimer t;
        t.start();
        browser.Navigate(inst.folder + "css/Question.html");
        browser.WaitForLoad();
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
        paintMs = browser
                      .Evaluate(QStringLiteral("(performance.getEntriesByType('paint').filter(function(e){"
                                               "return e.name=='first-contentful-paint';})[0]||{startTime:-1}).startTime"))
                      .toDouble();
    }
    state.counters["first_paint_ms"] = paintMs;
    state.counters["questions"] = ShiTiList.Count();
    state.counters["memory_MiB"] = treeMiB();
}
BENCHMARK(BM_LoadQuestionPage)->Arg(1000)->Arg(10000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
