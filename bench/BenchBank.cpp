#include "BenchBank.h"

#include "SyntheticBank.h"
#include "platform/AppFolder.h"
#include "platform/Files.h"
#include "render/Global.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

const std::string& LargeBankPath(int questions, int sections) {
    static std::map<std::pair<int, int>, std::string> paths;
    auto it = paths.find({questions, sections});
    if (it != paths.end()) return it->second;
    fs::create_directories(QUILLORA_BENCH_DATA);
    const std::string path = std::string(QUILLORA_BENCH_DATA) + "/synthetic-" + std::to_string(questions) +
                             (sections ? "-s" + std::to_string(sections) : std::string()) + ".db";
    if (!fs::exists(path)) {
        bank::SynthOptions o;
        o.questions = questions;
        o.sections = sections;
        o.schemaPath = std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql";
        bank::BuildSynthetic(path, o);
    }
    return paths.emplace(std::make_pair(questions, sections), path).first->second;
}

std::string MakeBenchInstall(const std::string& name, int questions, int sections) {
    return MakeBenchInstallOf(name, LargeBankPath(questions, sections));
}

std::string MakeBenchInstallOf(const std::string& name, const std::string& bankFile) {
    const fs::path dir = fs::temp_directory_path() / ("quillora-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "css");
    CopyFileOver(bankFile, (dir / "exam.db").string());
    return dir.string() + "/";
}

void StartQt(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

int RunQtBenchmarks(int argc, char** argv) {
    StartQt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

void FillSpreadList(int count, int bank) {
    XiaoTiList.Clear();
    const int step = bank / count;
    for (int id = 1; id <= bank && XiaoTiList.Count() < count; id += step)
        XiaoTiList.Add()->Id = id;
}

OpenLargeBank::OpenLargeBank(const std::string& name) : OpenLargeBank(name, LargeBankPath()) {}

OpenLargeBank::OpenLargeBank(const std::string& name, const std::string& bankFile)
    : folder(MakeBenchInstallOf(name, bankFile)) {
    if (!module.GuardAndConnect(folder)) throw std::runtime_error("bank did not open");
    DataModule1 = &module;
    SetAppFolder(folder);
    TextColor = "#000000";
}
