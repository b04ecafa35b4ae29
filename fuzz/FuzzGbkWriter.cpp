// Pages are written as GBK lines. Whatever UTF-8 (or broken UTF-8) a line
// holds, the file must decode back to it, with '?' standing only for a
// character GBK cannot hold or for a byte that was not UTF-8 at all.
#include "FuzzSupport.h"
#include "platform/Gbk.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
// An independent iconv for checking: nothing shared with the writer's cache.
bool convert(const char* to, const char* from, std::string_view in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1), "iconv_open %s %s", to, from);
    std::string src(in);
    char* s = src.data();
    size_t sLeft = src.size();
    out.assign(src.size() * 4 + 16, '\0');
    char* d = out.data();
    size_t dLeft = out.size();
    const size_t r = iconv(cd, &s, &sLeft, &d, &dLeft);
    iconv_close(cd);
    out.resize(out.size() - dLeft);
    return r != static_cast<size_t>(-1) && sLeft == 0;
}

// iconv drops Unicode tag characters without an error: that is no GBK form.
bool gbkHolds(std::string_view utf8Char) {
    std::string gbk;
    return convert("GBK", "UTF-8", utf8Char, gbk) && !gbk.empty();
}

// Length of the well-formed UTF-8 sequence at the start of s, 0 if there is none.
size_t sequenceLength(std::string_view s) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(0);
    size_t len = c < 0x80                ? 1
                 : c >= 0xC2 && c < 0xE0 ? 2
                 : c >= 0xE0 && c < 0xF0 ? 3
                 : c >= 0xF0 && c < 0xF5 ? 4
                                         : 0;
    if (len == 0 || len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k)
        if ((b(k) & 0xC0) != 0x80) return 0;
    // Overlong forms and surrogates are not UTF-8 either.
    if (c == 0xE0 && b(1) < 0xA0) return 0;
    if (c == 0xED && b(1) >= 0xA0) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;
    if (c == 0xF4 && b(1) >= 0x90) return 0;
    return len;
}

// The decoded line against what was written: character by character, each
// either itself or '?' for a reason.
void checkLine(std::string_view written, std::string_view decoded) {
    size_t i = 0, j = 0;
    while (i < written.size()) {
        const size_t len = sequenceLength(written.substr(i));
        const std::string_view ch = written.substr(i, len == 0 ? 1 : len);
        FUZZ_CHECK(j < decoded.size(), "decoded line ends early at byte %zu", i);
        if (decoded.compare(j, ch.size(), ch) == 0 && len != 0) {
            j += ch.size();
        } else {
            FUZZ_CHECK(decoded[j] == '?', "byte %zu of the line decodes to something else", i);
            FUZZ_CHECK(len == 0 || !gbkHolds(ch), "byte %zu: GBK holds %s but it became '?'", i,
                       std::string(ch).c_str());
            ++j;
        }
        i += ch.size();
    }
    FUZZ_CHECK(j == decoded.size(), "decoded line is longer than the written one");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path =
        (fs::temp_directory_path() / ("quillora-fuzz-gbk-" + std::to_string(getpid()) + ".htm")).string();
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // Input lines are split at '\n'; a '\r' stays inside its line.
    std::vector<std::string_view> lines;
    for (size_t start = 0;;) {
        const size_t end = input.find('\n', start);
        lines.push_back(
            input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    {
        GbkTextFile file(path);
        for (std::string_view line : lines)
            file.Writeln(line);
        file.Close();
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fs::remove(path);

    std::string decoded;
    FUZZ_CHECK(convert("UTF-8", "GBK", bytes, decoded), "the file is not valid GBK");
    size_t at = 0;
    for (std::string_view line : lines) {
        // Lines hold no '\n' and GBK trail bytes are never one, so each '\n' ends a line.
        const size_t end = decoded.find('\n', at);
        FUZZ_CHECK(end != std::string::npos && end > at && decoded[end - 1] == '\r',
                   "a line ending is missing");
        checkLine(line, std::string_view(decoded).substr(at, end - 1 - at));
        at = end + 1;
    }
    FUZZ_CHECK(at == decoded.size(), "more text than lines");
    return 0;
}
