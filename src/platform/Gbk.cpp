#include "platform/Gbk.h"

#include "platform/Files.h"
#include "platform/Log.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {
// Length of the UTF-8 sequence that starts with byte c (1 for a stray byte).
size_t utf8Length(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }

    // Converts `in`, appending to `out`. An input sequence that cannot be
    // converted is skipped and written as '?'.
    void append(std::string_view in, std::string& out, bool utf8Input) {
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char chunk[1024];
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = chunk;
            size_t dstLeft = sizeof chunk;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(chunk, dst - chunk);
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: replace one character and go on.
            size_t skip = utf8Input ? utf8Length(static_cast<unsigned char>(*src))
                                    : (static_cast<unsigned char>(*src) >= 0x81 && srcLeft > 1 ? 2 : 1);
            if (skip > srcLeft) skip = srcLeft;
            src += skip;
            srcLeft -= skip;
            out.push_back('?');
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    iconv_t cd_;
};

Converter& toGbk() {
    static Converter c("GBK", "UTF-8");
    return c;
}

// GBK bytes of each BMP code point, looked up in iconv the first time the code
// point is met: pages repeat a few thousand characters over and over.
constexpr std::uint16_t kUnknown = 0xFFFF, kNoGbk = 0;
std::vector<std::uint16_t>& gbkOf() {
    static std::vector<std::uint16_t> table(0x10000, kUnknown);
    return table;
}

std::uint16_t lookupGbk(std::uint32_t cp) {
    std::uint16_t& slot = gbkOf()[cp];
    if (slot != kUnknown) return slot;
    char utf8[3] = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                    static_cast<char>(0x80 | (cp & 0x3F))};
    std::string_view in(utf8, 3);
    if (cp < 0x800) {
        utf8[0] = static_cast<char>(0xC0 | (cp >> 6));
        utf8[1] = static_cast<char>(0x80 | (cp & 0x3F));
        in = std::string_view(utf8, 2);
    }
    std::string bytes;
    toGbk().append(in, bytes, true);
    slot = bytes.size() == 2 ? static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                          static_cast<unsigned char>(bytes[1]))
           : bytes.size() == 1 && bytes[0] != '?'
               ? static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]))
               : kNoGbk;
    return slot;
}

// Writes the GBK of `utf8` at `out` and returns the end. Never more bytes than
// `utf8` has: each character shrinks or keeps its length, a broken byte is one '?'.
char* writeGbk(std::string_view utf8, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        // Most of a page is ASCII markup: copy such runs in one go.
        const auto* run = p;
        while (p < end && *p < 0x80)
            ++p;
        std::memcpy(out, run, static_cast<size_t>(p - run));
        out += p - run;
        if (p == end) break;
        const unsigned char c = *p;
        std::uint32_t cp = 0;
        size_t len = 0;
        if (c >= 0xC2 && c < 0xE0)
            cp = c & 0x1F, len = 2;
        else if (c >= 0xE0 && c < 0xF0)
            cp = c & 0x0F, len = 3;
        else if (c >= 0xF0 && c < 0xF5)
            cp = c & 0x07, len = 4;
        bool ok = len > 0 && p + len <= end;
        for (size_t k = 1; ok && k < len; ++k) {
            ok = (p[k] & 0xC0) == 0x80;
            cp = cp << 6 | (p[k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not
        // UTF-8: decoded, an overlong form would slip in a character unseen.
        static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kLeast[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) ok = false;
        if (!ok) { // a broken sequence: one '?' for its first byte
            *out++ = '?';
            ++p;
            continue;
        }
        p += len;
        const std::uint16_t g = cp < 0x10000 ? lookupGbk(cp) : kNoGbk;
        if (g == kNoGbk)
            *out++ = '?';
        else if (g < 0x100)
            *out++ = static_cast<char>(g);
        else {
            *out++ = static_cast<char>(g >> 8);
            *out++ = static_cast<char>(g & 0xFF);
        }
    }
    return out;
}

void appendGbk(std::string_view utf8, std::string& out) {
    const size_t at = out.size();
    out.resize(at + utf8.size());
    out.resize(static_cast<size_t>(writeGbk(utf8, out.data() + at) - out.data()));
}
} // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    appendGbk(utf8, out);
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    static Converter c("UTF-8", "GBK");
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    c.append(gbk, out, false);
    return out;
}

GbkTextFile::GbkTextFile(const std::string& folder, const std::string& name)
    : path_(folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name) {
    const int fd = CreateScratch(folder, name);
    if (fd >= 0 && !(file_ = ::fdopen(fd, "wb"))) ::close(fd);
    if (!file_) throw std::runtime_error("无法创建文件 \"" + path_ + "\"。" + std::strerror(errno));
    buffer_.reserve(1 << 16);
}

// A bare name is in the current folder: npos + 1 is 0.
GbkTextFile::GbkTextFile(const std::string& path)
    : GbkTextFile(path.substr(0, path.rfind('/') + 1), path.substr(path.rfind('/') + 1)) {}

GbkTextFile::~GbkTextFile() {
    // A writer that cares calls Close and sees the error; here, on the way out
    // of a failure, it can only be logged.
    try {
        Close();
    } catch (const std::exception& e) {
        qCWarning(lcPlatform) << "closing" << path_.c_str() << "failed:" << e.what();
    }
}

void GbkTextFile::Writeln(std::string_view line) {
    if (!file_) throw std::runtime_error("文件未打开: \"" + path_ + "\"");
    appendGbk(line, buffer_);
    buffer_ += "\r\n";
    if (buffer_.size() >= (1 << 16)) flush();
}

void GbkTextFile::flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        throw std::runtime_error("写入文件出错: \"" + path_ + "\"。" + std::strerror(errno));
    buffer_.clear();
}

void GbkTextFile::Close() {
    if (!file_) return;
    std::FILE* f = file_;
    try {
        flush();
    } catch (...) {
        file_ = nullptr;
        std::fclose(f);
        throw;
    }
    file_ = nullptr;
    if (std::fclose(f) != 0)
        throw std::runtime_error("写入文件出错: \"" + path_ + "\"。" + std::strerror(errno));
}
