#include "shell/main_window/instance_lock.h"

#include <QLockFile>

#include "shell/qt/qt_text.h"
#include "store/support.h"

namespace tolvaran {

namespace {

constexpr const char* kLockFile = "TOLVARAN.LCK";

}  // namespace

std::string InstanceLock::LockPath(const std::string& programFolder) {
    return JoinPath(programFolder, kLockFile);
}

InstanceLock::InstanceLock(const std::string& programFolder)
    : lock_(new QLockFile(Q(LockPath(programFolder)))) {
    // Never stale while the holder lives: a lock of a process that died is removed by
    // QLockFile because the process id is gone.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryLock() {
    return lock_->isLocked() || lock_->tryLock(0) || lock_->error() != QLockFile::LockFailedError;
}

bool InstanceLock::IsLocked() const {
    return lock_->isLocked();
}

}  // namespace tolvaran
