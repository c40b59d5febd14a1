#pragma once
// Whether a SQLite file's lock is held, as another process sees it: POSIX record locks
// belong to a process, so only a process of its own can tell whether this one still holds
// them (a close of any descriptor of the file drops them all).
#include <string>

namespace test {

// True when some process holds a shared (reader's) lock or more on file, as a forked child
// asks the kernel (F_GETLK over the bytes SQLite locks for readers). A connection in WAL mode
// holds one for as long as it is open.
bool ReaderLockSeenFromOutside(const std::string& file);

}  // namespace test
