// Arbitrary bytes as an imported .xls and .ods workbook. Whatever the bytes,
// each reader returns, gives a reason exactly when it fails, and passes rows
// numbered from 1 whose last cell holds something. Seeds: the test files
// saved by LibreOffice.
#include "FuzzFiles.h"
#include "exchange/Sheets.h"

#include <cstdint>

using namespace exchange;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString& path = WriteScratchFile(data, size, "input");
    Limits limits;
    limits.maxEntryBytes = 1 << 20;
    limits.maxTotalBytes = 4 << 20;
    const auto row = [](int n, const QStringList& cells) {
        FUZZ_CHECK(n >= 1 && !cells.isEmpty() && !cells.back().isEmpty() && cells.size() <= 16384,
                   "row %d of %lld cells", n, static_cast<long long>(cells.size()));
        return true;
    };
    for (auto* read : {ReadXlsRows, ReadOdsRows}) {
        QString error;
        const bool ok = read(path, limits, row, &error);
        FUZZ_CHECK(ok == error.isEmpty(), "read %d, error \"%s\"", ok, qPrintable(error));
    }
    return 0;
}
