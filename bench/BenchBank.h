#pragma once
#include "store/DataModule.h"

#include <string>

// The 100,000-question synthetic bank, made once into bench/data/ and reused.
// Returns its path (closed state, as shipped).
// `sections` level-2 categories (0: one per 40 questions).
const std::string& LargeBankPath(int questions = 100000, int sections = 0);

// A fresh installation folder (trailing '/') holding a copy of the large bank.
std::string MakeBenchInstall(const std::string& name, int questions = 100000, int sections = 0);
// The same holding a copy of `bankFile`.
std::string MakeBenchInstallOf(const std::string& name, const std::string& bankFile);

// Qt with the offscreen platform, for benchmarks that need widgets.
void StartQt(int& argc, char** argv);

// main() of the benchmarks that need Qt.
int RunQtBenchmarks(int argc, char** argv);

// XiaoTiList as every k-th question of the 100,000: a spread like a drawn paper,
// not one category's block.
void FillSpreadList(int count, int bank = 100000);

// A bench installation of the large bank, connected through the guard, with
// DataModule1 and AppFolder() pointing at it for the whole run.
struct OpenLargeBank {
    std::string folder;
    TDataModule1 module;
    explicit OpenLargeBank(const std::string& name);
    // The same for a copy of another bank file.
    OpenLargeBank(const std::string& name, const std::string& bankFile);
};
