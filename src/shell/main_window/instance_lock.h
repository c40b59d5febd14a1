#pragma once
// The single-instance check: one running program per program folder. The lock is a file in
// the temporary folder named after the program folder (never in the program folder itself,
// so the check touches no file of the program); it is released when the holder ends, also
// when it ends abnormally.
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

    // True when this object now holds the lock (no other instance runs on the folder).
    bool TryLock();
    bool IsLocked() const;
    // The lock file used for programFolder.
    static std::string LockPath(const std::string& programFolder);

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace tolvaran
