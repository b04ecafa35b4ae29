// Opens a bank as the program does and restores `source` over it again and
// again until it is killed, printing the count after every restore.
#include "store/BankCopy.h"
#include "store/DataModule.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    TDataModule1 dm;
    if (!dm.GuardAndConnect(argv[1])) return 1;
    for (long n = 1;; ++n) {
        if (RestoreBank(dm, argv[1], argv[2]) != RestoreResult::Done) return 1;
        std::printf("restored %ld\n", n);
        std::fflush(stdout);
    }
}
