#include "platform/Gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <stdexcept>

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

void appendGbk(std::string_view utf8, std::string& out) {
    // Most of a page is ASCII markup: copy runs of it without iconv.
    size_t i = 0;
    while (i < utf8.size()) {
        size_t start = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
        out.append(utf8.data() + start, i - start);
        start = i;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) ++i;
        if (i > start) toGbk().append(utf8.substr(start, i - start), out, true);
    }
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

GbkTextFile::GbkTextFile(const std::string& path) : path_(path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        throw std::runtime_error("无法创建文件 \"" + path + "\"。" + std::strerror(errno));
    buffer_.reserve(1 << 16);
}

GbkTextFile::~GbkTextFile() {
    try {
        Close();
    } catch (...) {
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
