#pragma once
// The single-instance check: one running program per program folder. The lock is a file in
// the program folder itself, beside the store files it guards, so every instance that runs on
// the folder meets it whatever its temporary folder; it is released when the holder ends,
// also when it ends abnormally.
#include <memory>
#include <string>

class QLockFile;

namespace tolvaran {

class InstanceLock {
  public:
    explicit InstanceLock(const std::string& programFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another instance holds the lock of the folder. A folder where no lock can be
    // made (read-only) holds no instance's lock either: then true, without a lock.
    bool TryLock();
    bool IsLocked() const;
    // The lock file used for programFolder.
    static std::string LockPath(const std::string& programFolder);

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace tolvaran
