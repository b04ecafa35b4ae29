#pragma once
#include <string>

// One running program per installation folder. The lock is an flock on a file
// beside exam.db, so the kernel drops it when the holder ends, however it ends:
// a killed program never blocks the next start.
class InstanceLock {
public:
    explicit InstanceLock(const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another running program holds the folder.
    bool Acquired() const { return acquired_; }

private:
    int fd_ = -1;
    bool acquired_ = true;
};
