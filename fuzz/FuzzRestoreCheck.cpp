// Arbitrary bytes as a backup file, through the restore check as RestoreBank
// runs it on its staged copy (the header opened first). Whatever the bytes, the
// check returns, and a refusal says why; libFuzzer's time and memory limits
// catch a check that loops or allocates without bound. The seeds are small
// banks made by restore_check_corpus.py.
#include "FuzzSupport.h"
#include "store/BankCopy.h"
#include "store/EncryptionMDB.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("quillora-fuzz-restore-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const std::string& stagingPath() {
    static const Scratch scratch;
    static const std::string path = (scratch.dir / "restore.db").string();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = stagingPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    fs::remove(path + "-journal"); // each input stands alone
    DecryptMDB(path);
    std::string why;
    const bool usable = IsUsableBank(path, &why);
    FUZZ_CHECK(usable || !why.empty(), "refused without a reason (%zu bytes)", size);
    return 0;
}
