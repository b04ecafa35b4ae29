#include "platform/InstanceLock.h"

#include "platform/Files.h"
#include "platform/Log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::InstanceLock(const std::string& folder) {
    // Never made anew: a second program must find the very file the first one locked.
    fd_ = OpenInFolder(folder, "exam.db.lock", O_RDWR | O_CREAT);
    if (fd_ < 0 && errno == ELOOP)
        qCWarning(lcPlatform, "%sexam.db.lock is reached through a symbolic link; locking the bank instead",
                  folder.c_str());
    // A folder we cannot write in still has a bank to protect: lock the bank
    // itself (flock does not touch SQLite's POSIX locks). The descriptor stays
    // open for the whole run, since closing it would drop those locks.
    if (fd_ < 0) fd_ = OpenInFolder(folder, "exam.db", O_RDONLY);
    if (fd_ < 0) return; // nothing there to protect; start-up reports the missing bank
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
