// Whatever bytes a GIFT or Aiken file holds, both readers keep their promises
// (FuzzRecords.h).
#include "FuzzRecords.h"
#include "exchange/Aiken.h"
#include "exchange/Gift.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const exchange::Limits limits = FuzzLimits();
    const int lines = FuzzLineCount(bytes);
    FuzzCheckParsed(exchange::ReadGift(bytes, limits), limits, lines);
    FuzzCheckParsed(exchange::ReadAiken(bytes, limits), limits, lines);
    return 0;
}
