#pragma once
// Whether a SQLite file's lock is held, as another process sees it: POSIX record locks
// belong to a process, so only a process of its own can tell whether this one still holds
// them (a close of any descriptor of the file drops them all).
#include <sys/types.h>

#include <string>

namespace test {

// Another process that opens the SQLite file, runs begin ("BEGIN IMMEDIATE" holds the write
// lock, "BEGIN EXCLUSIVE" keeps readers out too) and holds it for milliseconds, or until it is
// killed. Returns its process id once it holds the lock; -1 when it could not take it.
pid_t HoldSqliteLock(const std::string& file, const char* begin, int milliseconds);
// Kills the holder (when it still holds) and waits for its end.
void EndHolder(pid_t holder);

// True when some process holds a shared (reader's) lock or more on file, as a forked child
// asks the kernel (F_GETLK over the bytes SQLite locks for readers). A connection in WAL mode
// holds one for as long as it is open.
bool ReaderLockSeenFromOutside(const std::string& file);

}  // namespace test
