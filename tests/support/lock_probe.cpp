#include "support/lock_probe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

namespace {

// The bytes SQLite's unix files lock: readers take a shared lock on these.
constexpr off_t kSharedFirst = 0x40000000 + 2;
constexpr off_t kSharedSize = 510;

}  // namespace

bool ReaderLockSeenFromOutside(const std::string& file) {
    const pid_t child = fork();
    if (child == 0) {
        // Only calls that are safe after fork in a process with threads.
        const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) _exit(2);
        struct flock probe {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        probe.l_start = kSharedFirst;
        probe.l_len = kSharedSize;
        if (fcntl(fd, F_GETLK, &probe) != 0) _exit(2);
        _exit(probe.l_type == F_UNLCK ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace test
