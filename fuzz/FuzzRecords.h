#pragma once
// What every import reader promises whatever the bytes: records within the
// limits and the letters A–Z, lines inside the file, one fatal problem at
// most and last, pictures that are what their names say.
#include "FuzzSupport.h"
#include "exchange/Pictures.h"
#include "exchange/Record.h"

#include <QCryptographicHash>

inline int FuzzLineCount(const QByteArray& bytes) {
    return int(bytes.count('\n') + bytes.count('\r')) + 1;
}

inline void FuzzCheckParsed(const exchange::ParsedFile& f, const exchange::Limits& limits, int lines) {
    using exchange::Kind;
    FUZZ_CHECK(f.records.size() <= std::size_t(limits.maxRecords), "%zu records", f.records.size());
    for (std::size_t i = 0; i < f.problems.size(); ++i) {
        const exchange::Problem& p = f.problems[i];
        FUZZ_CHECK(!p.text.isEmpty(), "problem %zu without text", i);
        FUZZ_CHECK(p.line >= 0 && p.line <= lines, "problem on line %d of %d", p.line, lines);
        FUZZ_CHECK(!p.fatal || i + 1 == f.problems.size(), "fatal problem %zu of %zu", i, f.problems.size());
    }
    for (const exchange::Record& r : f.records) {
        FUZZ_CHECK(r.line >= 1 && r.line <= lines, "record on line %d of %d", r.line, lines);
        FUZZ_CHECK(r.options.size() <= 26, "%zu options", r.options.size());
        for (const QChar c : r.key)
            FUZZ_CHECK(c >= u'A' && c.unicode() < u'A' + r.options.size(), "key %s with %zu options",
                       qPrintable(r.key), r.options.size());
        if (r.kind == Kind::TrueFalse) FUZZ_CHECK(r.options.size() == 2 && r.key.size() == 1, "true/false");
        if (r.kind == Kind::Essay || r.kind == Kind::Description)
            FUZZ_CHECK(r.options.empty() && r.key.isEmpty(), "essay or description with options");
    }
    for (const auto& [sha, picture] : f.pictures) {
        FUZZ_CHECK(picture.bytes.size() <= limits.maxPictureBytes, "picture of %lld bytes",
                   static_cast<long long>(picture.bytes.size()));
        FUZZ_CHECK(exchange::PictureExt(picture.bytes) == picture.ext, "picture .%s",
                   qPrintable(picture.ext));
        FUZZ_CHECK(QCryptographicHash::hash(picture.bytes, QCryptographicHash::Sha256).toHex() ==
                       sha.toLatin1(),
                   "picture named %s", qPrintable(sha));
    }
}

// Small limits, so that the fuzzer reaches them.
inline exchange::Limits FuzzLimits() {
    exchange::Limits limits;
    limits.maxFileBytes = 1 << 20;
    limits.maxXmlDepth = 32;
    limits.maxRecords = 64;
    limits.maxPictureBytes = 4096;
    return limits;
}
