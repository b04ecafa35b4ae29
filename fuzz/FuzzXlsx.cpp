// Arbitrary bytes as an imported file, read as an Excel workbook and as a
// Word document under small limits. Whatever the bytes, each reader returns,
// gives a reason exactly when it fails, and hands back only rows, lines and
// pictures within those limits. The seeds are made by xlsx_corpus.py.
#include "FuzzFiles.h"
#include "exchange/Docx.h"
#include "exchange/ImportFile.h"
#include "exchange/Pictures.h"
#include "exchange/Xlsx.h"

#include <QCryptographicHash>
#include <cstdint>

using namespace exchange;

namespace {
Limits smallLimits() {
    Limits limits;
    limits.maxFileBytes = 1 << 20;
    limits.maxEntryBytes = 256 << 10;
    limits.maxTotalBytes = 1 << 20;
    limits.maxEntries = 64;
    limits.maxXmlDepth = 64;
    limits.maxPictureBytes = 64 << 10;
    limits.maxCellChars = 16 << 10;
    limits.maxTotalChars = 256 << 10;
    return limits;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString& path = WriteScratchFile(data, size, "input");
    const Limits limits = smallLimits();

    QString error;
    const bool rowsRead = ReadXlsxRows(
        path, limits,
        [&](int row, const QStringList& cells) {
            FUZZ_CHECK(row >= 1 && row <= 1048576, "row %d", row);
            FUZZ_CHECK(!cells.isEmpty() && cells.size() <= 16384 && !cells.back().isEmpty(), "%lld cells",
                       static_cast<long long>(cells.size()));
            return true;
        },
        &error);
    FUZZ_CHECK(rowsRead == error.isEmpty(), "read %d, error \"%s\"", rowsRead, qPrintable(error));

    std::vector<Text> lines;
    Pictures pictures;
    int leftOut = -1;
    error.clear();
    const bool linesRead = ReadDocxLines(path, limits, lines, pictures, &error, &leftOut);
    FUZZ_CHECK(linesRead == error.isEmpty(), "read %d, error \"%s\"", linesRead, qPrintable(error));
    FUZZ_CHECK(linesRead ? leftOut >= 0 : lines.empty() && pictures.empty(), "left out %d, %zu lines",
               leftOut, lines.size());
    for (const Text& line : lines)
        FUZZ_CHECK(line.html, "a line not marked as HTML");
    for (const auto& [sha, picture] : pictures) {
        FUZZ_CHECK(IsPictureFileName(sha + QLatin1Char('.') + picture.ext), "picture %s.%s", qPrintable(sha),
                   qPrintable(picture.ext));
        FUZZ_CHECK(picture.bytes.size() <= limits.maxPictureBytes, "picture of %lld bytes",
                   static_cast<long long>(picture.bytes.size()));
        // A picture is what its name says: its bytes' hash and their format.
        FUZZ_CHECK(PictureExt(picture.bytes) == picture.ext, "%s bytes named .%s",
                   qPrintable(PictureExt(picture.bytes)), qPrintable(picture.ext));
        FUZZ_CHECK(QCryptographicHash::hash(picture.bytes, QCryptographicHash::Sha256).toHex() ==
                       sha.toLatin1(),
                   "picture named %s", qPrintable(sha));
    }

    // The whole import of a workbook keeps to the text budget, however often
    // one shared string is used.
    const ParsedFile parsed = ReadImportFile(WriteScratchFile(data, size, "input.xlsx"), limits);
    qint64 total = 0;
    const auto count = [&](const Text& t) {
        FUZZ_CHECK(t.value.size() <= limits.maxCellChars, "a text of %lld characters",
                   static_cast<long long>(t.value.size()));
        total += t.value.size();
    };
    for (const Record& r : parsed.records) {
        count(r.stem);
        count(r.explanation);
        count(r.material);
        for (const Text& o : r.options)
            count(o);
    }
    FUZZ_CHECK(total <= limits.maxTotalChars, "%lld characters in all", static_cast<long long>(total));
    return 0;
}
