#include "support/lock_probe.h"

#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

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

pid_t HoldSqliteLock(const std::string& file, const char* begin, int milliseconds) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_busy_timeout(db, 10000);
        const int rc = sqlite3_exec(db, begin, nullptr, nullptr, nullptr);
        const char signal = rc == SQLITE_OK ? 'L' : 'X';
        (void)!write(ready[1], &signal, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(0);
    }
    close(ready[1]);
    char signal = 0;
    const bool holds = child > 0 && read(ready[0], &signal, 1) == 1 && signal == 'L';
    close(ready[0]);
    if (!holds && child > 0) EndHolder(child);
    return holds ? child : -1;
}

void EndHolder(pid_t holder) {
    if (holder <= 0) return;
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
}

}  // namespace test
