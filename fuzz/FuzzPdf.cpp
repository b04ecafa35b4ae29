// Arbitrary bytes as an imported PDF paper. Whatever the bytes, the reader
// returns, gives a reason exactly when it fails, and hands back HTML lines
// and pictures within the limits. Seeds: the test files saved by LibreOffice.
#include "FuzzFiles.h"
#include "exchange/Pdf.h"
#include "exchange/Pictures.h"

#include <cstdint>

using namespace exchange;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString& path = WriteScratchFile(data, size, "input.pdf");
    Limits limits;
    limits.maxPictureBytes = 256 << 10;
    std::vector<Text> lines;
    Pictures pictures;
    QString error;
    const bool read = ReadPdfLines(path, limits, lines, pictures, &error);
    FUZZ_CHECK(read == error.isEmpty(), "read %d, error \"%s\"", read, qPrintable(error));
    for (const Text& line : lines)
        FUZZ_CHECK(line.html && !line.value.isEmpty(), "a line not HTML, or empty");
    for (const auto& [sha, picture] : pictures)
        FUZZ_CHECK(IsPictureFileName(sha + QLatin1Char('.') + picture.ext) &&
                       picture.bytes.size() <= limits.maxPictureBytes,
                   "picture %s.%s of %lld bytes", qPrintable(sha), qPrintable(picture.ext),
                   static_cast<long long>(picture.bytes.size()));
    return 0;
}
