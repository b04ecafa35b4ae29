// What the user waits for: the written question page of 1,000 and 10,000
// questions of the 100,000-question bank loaded into the browser control
// (offscreen). Reported beside the page build: first paint (the browser's own
// paint timing), load end, and the memory of all the program's processes.
#include "BenchBank.h"
#include "browser/WebBrowser.h"
#include "exam/AnswerSheet.h"
#include "exam/PageWatch.h"
#include "exam/TimedExam.h"
#include "platform/AppFolder.h"
#include "render/Global.h"
#include "render/QuestionPage.h"
#include "store/DataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebEnginePage>
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fstream>
#include <string>
#include <unistd.h>

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
} // namespace

// The second argument: 1 with the timed exam's observer script in the page,
// 0 without; run with repetitions and compare the medians.
static void BM_LoadQuestionPage(benchmark::State& state) {
    OpenLargeBank& inst = installed();
    FillSpreadList(static_cast<int>(state.range(0)));
    BuildQuestionPage("模拟考场");
    WebBrowser browser;
    TPageWatch watch;
    if (state.range(1))
        browser.AddObserver(QStringLiteral("answers"), &watch, TPageWatch::Script(QStringLiteral("answers")));
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
                      .Evaluate(QStringLiteral(
                          "(performance.getEntriesByType('paint').filter(function(e){"
                          "return e.name=='first-contentful-paint';})[0]||{startTime:-1}).startTime"))
                      .toDouble();
    }
    state.counters["first_paint_ms"] = paintMs;
    state.counters["questions"] = ShiTiList.Count();
    state.counters["memory_MiB"] = treeMiB();
}
BENCHMARK(BM_LoadQuestionPage)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Args({10000, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A tick in a 400-question page until its answer-sheet cell is filled: the
// click goes in as the page's own script, the rest is the program's path.
static void BM_TickToAnswerSheet(benchmark::State& state) {
    OpenLargeBank& inst = installed();
    FillSpreadList(400);
    BuildQuestionPage("计时模考");
    WebBrowser browser;
    TPageWatch watch;
    browser.AddObserver(QStringLiteral("answers"), &watch, TPageWatch::Script(QStringLiteral("answers")));
    std::vector<TimedQuestion> questions;
    for (const TShiTi* q : ShiTiList)
        if (q->OptionCount > 0) questions.push_back({q->Id, q->Number, q->TypeName, q->OptionCount});
    TTimedExam exam(questions, 7200);
    TAnswerSheet sheet;
    sheet.Build(questions);
    sheet.resize(192, 600);
    sheet.show();
    QObject::connect(&watch, &TPageWatch::Answered, &sheet, [&](int id, const QString& letters) {
        if (exam.Answered(id, letters.toStdString())) sheet.SetAnswered(id, !letters.isEmpty());
    });
    browser.resize(1000, 700);
    browser.show();
    browser.Navigate(inst.folder + "css/Question.html");
    browser.WaitForLoad();
    size_t next = questions.size() / 2; // the middle of the page
    for (auto _ : state) {
        const TimedQuestion& q = questions[next++ % questions.size()];
        QElapsedTimer t;
        t.start();
        browser.page()->runJavaScript(QStringLiteral("document.getElementById('%1/0').click();").arg(q.id));
        while (sheet.CellState(q.id) != TAnswerSheet::Cell::Answered && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(static_cast<double>(t.nsecsElapsed()) / 1e9);
    }
    state.counters["questions"] = static_cast<double>(questions.size());
}
BENCHMARK(BM_TickToAnswerSheet)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
