#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
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
    Fd src(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.ok()) return -1;
    return static_cast<long>(readFull(fd.get(), static_cast<char*>(data), size, static_cast<off_t>(offset)));
}

bool FileExists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileKind KindOfFile(const std::string& path, std::uint64_t* size) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0) return FileKind::Missing;
    if (!S_ISREG(st.st_mode)) return FileKind::Other;
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    return FileKind::Regular;
}

bool DeleteFileAt(const std::string& path) { return ::unlink(path.c_str()) == 0; }

namespace {
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool fail(std::string* why, int err) {
    if (why) *why = std::strerror(err);
    return false;
}

// Whole-file copy between descriptors: in the kernel where it can, by reads
// and writes where it cannot (other file systems, old kernels).
bool copyAll(int from, int to) {
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
        break;
    }
    constexpr size_t kChunk = 1 << 20;
    std::vector<char> buf(kChunk);
    off_t at = ::lseek(to, 0, SEEK_CUR);
    if (at < 0 || ::lseek(from, at, SEEK_SET) < 0) return false;
    for (;;) {
        const ssize_t n = readFull(from, buf.data(), kChunk, at);
        if (n < 0) return false;
        if (n == 0) return true;
        if (!writeFull(to, buf.data(), static_cast<size_t>(n), at)) return false;
        at += n;
    }
}
} // namespace

bool ReplaceFile(const std::string& from, const std::string& to, std::string* why) {
    struct stat ts{};
    if (::stat(to.c_str(), &ts) == 0 && ::chmod(from.c_str(), ts.st_mode & 07777) != 0) return fail(why, errno);
    if (::rename(from.c_str(), to.c_str()) != 0) return fail(why, errno);
    // The rename itself is only durable once the folder is flushed.
    Fd dir(::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok() || ::fsync(dir.get()) != 0) return fail(why, errno);
    return true;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* why) {
    // Not blocking on open: a named pipe in place of a file is refused below, not waited on.
    Fd src(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!src.ok()) return fail(why, errno);
    struct stat ss{};
    if (::fstat(src.get(), &ss) != 0) return fail(why, errno);
    if (!S_ISREG(ss.st_mode)) return fail(why, EINVAL);
    if (SameFile(from, to)) return fail(why, EEXIST);

    std::string temp = to + ".XXXXXX";
    Fd dst(::mkostemp(temp.data(), O_CLOEXEC));
    if (!dst.ok()) return fail(why, errno);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(dst.get(), 0666 & ~mask) == 0 && copyAll(src.get(), dst.get()) && ::fsync(dst.get()) == 0;
    int err = errno;
    if (ok && !dst.close()) {
        ok = false;
        err = errno;
    }
    if (ok && !ReplaceFile(temp, to, why)) {
        ::unlink(temp.c_str());
        return false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(why, err);
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa{}, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
