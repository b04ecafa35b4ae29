#include "platform/Files.h"

#include "platform/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
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
std::string withoutSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder.empty() ? std::string(".") : folder;
}

// "a/b/c.db" -> {"a/b", "c.db"}; a bare name is in ".".
std::pair<std::string, std::string> splitPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The folder holding the last component of `name`, reached without following
// a link at the folder itself or below it; `leaf` receives that component.
int openParent(const std::string& folder, const std::string& name, std::string& leaf) {
    int dir = ::open(withoutSlash(folder).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    size_t start = 0;
    for (size_t slash; dir >= 0 && (slash = name.find('/', start)) != std::string::npos; start = slash + 1) {
        if (slash == start) continue;
        const int next = ::openat(dir, name.substr(start, slash - start).c_str(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int err = errno;
        ::close(dir);
        errno = err;
        dir = next;
    }
    leaf = name.substr(start);
    return dir;
}

int openPath(const std::string& path, int flags, mode_t mode = 0644) {
    const auto [folder, name] = splitPath(path);
    return OpenInFolder(folder, name, flags, mode);
}

bool fail(std::string* why, int err) {
    if (why) *why = std::strerror(err);
    return false;
}

// Whole-file copy between descriptors: in the kernel where it can, by reads
// and writes where it cannot (other file systems, old kernels). The kernel is
// asked for no more than the source holds: a call past the end fails with
// EFBIG when the copy ends exactly at a file size limit.
bool copyAll(int from, int to) {
    struct stat st {};
    if (::fstat(from, &st) != 0) return false;
    for (off_t done = 0; done < st.st_size;) {
        const size_t left = static_cast<size_t>(std::min<off_t>(st.st_size - done, 1 << 30));
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, left, 0);
        if (n == 0) return true;
        if (n > 0) {
            done += n;
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
        break;
    }
    // By reads and writes from where the kernel stopped (nothing left, as a rule).
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

// A regular file to copy from; -1 with errno set otherwise. Not blocking on
// open: a named pipe in place of a file is refused, not waited on.
int openSource(const std::string& from) {
    int fd = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        fd = -1;
    }
    return fd;
}

// Gives the file open as `fd` the permission bits of an existing `toName`,
// renames it there and flushes the folder, which makes the rename durable.
bool renameOver(int fd, int fromDir, const std::string& fromName, int toDir, const std::string& toName,
                std::string* why) {
    struct stat ts {};
    if (::fstatat(toDir, toName.c_str(), &ts, 0) == 0 && ::fchmod(fd, ts.st_mode & 07777) != 0)
        return fail(why, errno);
    if (::renameat(fromDir, fromName.c_str(), toDir, toName.c_str()) != 0) return fail(why, errno);
    // The copy is in place from here on, its data flushed before the rename: a
    // failed folder flush only leaves the rename less durable. Reporting the
    // copy as failed would be wrong, and the caller would undo what is done.
    if (::fsync(toDir) != 0)
        qCWarning(lcPlatform) << "folder flush after renaming to" << toName.c_str()
                              << "failed:" << std::strerror(errno);
    return true;
}

// A new file beside `name` in `dir` under a name of its own: name + ".xxxxxx",
// the name cut short so that a target near the length limit can still be made.
int createTemporary(int dir, const std::string& name, std::string& temp) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char r[6];
        if (::getrandom(r, sizeof r, 0) != static_cast<ssize_t>(sizeof r)) return -1;
        temp = name.substr(0, 200) + ".";
        for (unsigned char c : r)
            temp += kLetters[c % (sizeof kLetters - 1)];
        const int fd = ::openat(dir, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}
} // namespace

int OpenInFolder(const std::string& folder, const std::string& name, int flags, mode_t mode) {
    std::string leaf;
    Fd dir(openParent(folder, name, leaf));
    if (!dir.ok()) return -1;
    return ::openat(dir.get(), leaf.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
}

int CreateScratch(const std::string& folder, const std::string& name, mode_t mode) {
    std::string leaf;
    Fd dir(openParent(folder, name, leaf));
    if (!dir.ok()) return -1;
    if (::unlinkat(dir.get(), leaf.c_str(), 0) != 0 && errno != ENOENT) return -1;
    return ::openat(dir.get(), leaf.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}

bool DeleteInFolder(const std::string& folder, const std::string& name) {
    std::string leaf;
    Fd dir(openParent(folder, name, leaf));
    return dir.ok() && ::unlinkat(dir.get(), leaf.c_str(), 0) == 0;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool CopyFileOver(const std::string& from, const std::string& to) {
    Fd src(openSource(from));
    if (!src.ok()) return false;
    struct stat ss {};
    if (::fstat(src.get(), &ss) != 0) return false;
    Fd dst(openPath(to, O_RDWR | O_CREAT));
    if (!dst.ok()) return false;
    struct stat ds {};
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
            const bool same =
                off + len <= static_cast<size_t>(m) && std::memcmp(a.data() + off, b.data() + off, len) == 0;
            if (!same && !writeFull(dst.get(), a.data() + off, len, at + static_cast<off_t>(off)))
                return false;
        }
        at += n;
    }
    if (ds.st_size > at && ::ftruncate(dst.get(), at) != 0) return false;
    if (::fsync(dst.get()) != 0) return false;
    return dst.close();
}

bool CopyToScratch(const std::string& from, const std::string& to, std::string* why) {
    Fd src(openSource(from));
    if (!src.ok()) return fail(why, errno);
    // Making the target anew would delete the source first.
    if (SameFile(from, to)) return fail(why, EEXIST);
    const auto [folder, name] = splitPath(to);
    Fd dst(CreateScratch(folder, name));
    if (!dst.ok()) return fail(why, errno);
    if (copyAll(src.get(), dst.get()) && ::fsync(dst.get()) == 0 && dst.close()) return true;
    const int err = errno;
    DeleteInFolder(folder, name);
    return fail(why, err);
}

bool WriteBlockAt(const std::string& path, std::uint64_t offset, const void* data, std::size_t size) {
    Fd fd(openPath(path, O_WRONLY));
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
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FileKind KindOfFile(const std::string& path, std::uint64_t* size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileKind::Missing;
    if (!S_ISREG(st.st_mode)) return FileKind::Other;
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    return FileKind::Regular;
}

bool DeleteFileAt(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    return DeleteInFolder(folder, name);
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* why) {
    const auto [fromFolder, fromPath] = splitPath(from);
    const auto [toFolder, toPath] = splitPath(to);
    std::string fromName, toName;
    Fd fromDir(openParent(fromFolder, fromPath, fromName));
    if (!fromDir.ok()) return fail(why, errno);
    Fd toDir(openParent(toFolder, toPath, toName));
    if (!toDir.ok()) return fail(why, errno);
    Fd file(::openat(fromDir.get(), fromName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.ok()) return fail(why, errno);
    return renameOver(file.get(), fromDir.get(), fromName, toDir.get(), toName, why);
}

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* why) {
    Fd src(openSource(from));
    if (!src.ok()) return fail(why, errno);
    if (SameFile(from, to)) return fail(why, EEXIST);

    const auto [folder, name] = splitPath(to);
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok()) return fail(why, errno);
    std::string temp;
    Fd dst(createTemporary(dir.get(), name, temp));
    if (!dst.ok()) return fail(why, errno);
    if (!copyAll(src.get(), dst.get()) || ::fsync(dst.get()) != 0) {
        const int err = errno;
        ::unlinkat(dir.get(), temp.c_str(), 0);
        return fail(why, err);
    }
    if (!renameOver(dst.get(), dir.get(), temp, dir.get(), name, why)) {
        ::unlinkat(dir.get(), temp.c_str(), 0);
        return false;
    }
    // Flushed and in place: closing can no longer lose the copy.
    if (!dst.close())
        qCWarning(lcPlatform) << "closing the copy" << to.c_str() << "failed:" << std::strerror(errno);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
