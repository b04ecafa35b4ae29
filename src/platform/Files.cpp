#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

ssize_t readFull(int fd, char* buf, size_t n, off_t at) {
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pread(fd, buf + done, n - done, at + static_cast<off_t>(done));
        if (r < 0) return -1;
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(done);
}

bool writeFull(int fd, const char* buf, size_t n, off_t at) {
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::pwrite(fd, buf + done, n - done, at + static_cast<off_t>(done));
        if (r <= 0) return false;
        done += static_cast<size_t>(r);
    }
    return true;
}
} // namespace

bool CopyFileOver(const std::string& from, const std::string& to) {
    Fd src(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!src.ok()) return false;
    struct stat ss{};
    if (::fstat(src.get(), &ss) != 0 || !S_ISREG(ss.st_mode)) return false;
    Fd dst(::open(to.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!dst.ok()) return false;
    struct stat ds{};
    if (::fstat(dst.get(), &ds) != 0) return false;
    if (ss.st_dev == ds.st_dev && ss.st_ino == ds.st_ino) return false;

    // Compared and written a page at a time: a guard copy (a header change)
    // then rewrites only the header block and never SQLite's pages, so dying
    // half-way cannot leave a torn bank behind.
    constexpr size_t kBlock = 4096;
    constexpr size_t kBatch = 64 * kBlock;
    std::vector<char> a(kBatch), b(kBatch);
    off_t at = 0;
    for (;;) {
        ssize_t n = readFull(src.get(), a.data(), kBatch, at);
        if (n < 0) return false;
        if (n == 0) break;
        ssize_t m = at < ds.st_size ? readFull(dst.get(), b.data(), static_cast<size_t>(n), at) : 0;
        if (m < 0) return false;
        for (size_t off = 0; off < static_cast<size_t>(n); off += kBlock) {
            const size_t len = std::min(kBlock, static_cast<size_t>(n) - off);
            const bool same = off + len <= static_cast<size_t>(m) && std::memcmp(a.data() + off, b.data() + off, len) == 0;
            if (!same && !writeFull(dst.get(), a.data() + off, len, at + static_cast<off_t>(off))) return false;
        }
        at += n;
    }
    if (ds.st_size > at && ::ftruncate(dst.get(), at) != 0) return false;
    if (::fsync(dst.get()) != 0) return false;
    return dst.close();
}

bool WriteBlockAt(const std::string& path, std::uint64_t offset, const void* data, std::size_t size) {
    Fd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd.ok()) return false;
    if (!writeFull(fd.get(), static_cast<const char*>(data), size, static_cast<off_t>(offset))) return false;
    if (::fsync(fd.get()) != 0) return false;
    return fd.close();
}

long ReadBlockAt(const std::string& path, std::uint64_t offset, void* data, std::size_t size) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return -1;
    return static_cast<long>(readFull(fd.get(), static_cast<char*>(data), size, static_cast<off_t>(offset)));
}

bool FileExists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }
