// Backup and restore of the 100,000-question bank against the floor of a plain
// copy of the same file: `cp` followed by an fsync of the copy.
#include "BenchBank.h"
#include "platform/Files.h"
#include "store/BankCopy.h"
#include "store/DataModule.h"
#include "store/EncryptionMDB.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool fsyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}
} // namespace

static void BM_Floor_CpAndFsync(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("floor");
    const std::string cmd = "cp " + folder + "exam.db " + folder + "copy.db";
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0 || !fsyncFile(folder + "copy.db")) state.SkipWithError("cp failed");
    }
}
BENCHMARK(BM_Floor_CpAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_Backup(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("backup");
    TDataModule1 dm;
    if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    for (auto _ : state) {
        if (BackupBank(folder, folder + "backup.db") != BackupResult::Done)
            state.SkipWithError("backup failed");
    }
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_Restore(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("restore");
    const std::string backup = folder + "backup.db";
    CopyFileReplacing(folder + "exam.db", backup);
    TDataModule1 dm;
    if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    for (auto _ : state) {
        if (RestoreBank(dm, folder, backup) != RestoreResult::Done) state.SkipWithError("restore failed");
    }
}
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part of a restore that reads the chosen file: header, tables and an integrity pass.
static void BM_RestoreCheck(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("check");
    DecryptMDB(folder + "exam.db");
    for (auto _ : state) {
        if (!IsUsableBank(folder + "exam.db")) state.SkipWithError("not usable");
    }
}
BENCHMARK(BM_RestoreCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
