// Whatever bytes a Moodle XML file holds, the reader keeps its promises
// (FuzzRecords.h) and never expands an entity.
#include "FuzzRecords.h"
#include "exchange/Moodle.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const exchange::Limits limits = FuzzLimits();
    FuzzCheckParsed(exchange::ReadMoodleXml(bytes, limits), limits, FuzzLineCount(bytes));
    return 0;
}
