// Opens a bank as the program does and saves tests of 40 questions to its
// history until it is killed, printing the count after every commit.
#include "exam/History.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::signal(SIGXFSZ, SIG_IGN); // as the program does
    TDataModule1 dm;
    if (!dm.GuardAndConnect(argv[1])) return 1;
    DataModule1 = &dm;
    for (int i = 1; i <= 40; ++i) {
        TShiTi* s = ShiTiList.Add();
        s->Id = i;
        s->OptionCount = 4;
        s->Correct = i % 3 == 0;
    }
    const TResultTotals totals{40, 13, 40, 13};
    for (long n = 1;; ++n) {
        if (SaveTestToHistory(totals, "2026-12-09 12:00:00") != TSaveResult::Saved) return 1;
        std::printf("saved %ld\n", n);
        std::fflush(stdout);
    }
}
