#include "BenchBank.h"

#include "SyntheticBank.h"
#include "platform/Files.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

const std::string& LargeBankPath(int questions) {
    static std::map<int, std::string> paths;
    auto it = paths.find(questions);
    if (it != paths.end()) return it->second;
    fs::create_directories(QUILLORA_BENCH_DATA);
    const std::string path = std::string(QUILLORA_BENCH_DATA) + "/synthetic-" + std::to_string(questions) + ".db";
    if (!fs::exists(path)) {
        bank::SynthOptions o;
        o.questions = questions;
        o.schemaPath = std::string(QUILLORA_SOURCE_DIR) + "/data/bank/schema.sql";
        bank::BuildSynthetic(path, o);
    }
    return paths.emplace(questions, path).first->second;
}

std::string MakeBenchInstall(const std::string& name, int questions) {
    const fs::path dir = fs::temp_directory_path() / ("quillora-bench-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir / "css");
    CopyFileOver(LargeBankPath(questions), (dir / "exam.db").string());
    return dir.string() + "/";
}
