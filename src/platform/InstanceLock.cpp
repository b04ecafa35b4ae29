#include "platform/InstanceLock.h"

#include "platform/Log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const std::string& folder) {
    fd_ = ::open((folder + "exam.db.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A folder we cannot write in still has a bank to protect: lock the bank
    // itself (flock does not touch SQLite's POSIX locks). The descriptor stays
    // open for the whole run, since closing it would drop those locks.
    if (fd_ < 0) fd_ = ::open((folder + "exam.db").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;  // nothing there to protect; start-up reports the missing bank
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            acquired_ = false;
            qCWarning(lcPlatform, "%s is held by another running program", (folder + "exam.db.lock").c_str());
        }
        break;
    }
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}
