#pragma once
// A store file that another program holds, or that cannot be written here: waiting for its
// lock with a word about it, and errors that name the file and the cause.
#include <exception>
#include <functional>
#include <string>

#include "platform/ado/ado.h"

namespace tolvaran {

// The text of an error that a statement on the store file at path gave, naming the file:
// "The lists file '<path>' is read-only (<error>)", "The lists file '<path>' is locked by
// another program (<error>)", and for any other error "The lists file '<path>': <error>";
// no full stop at the end. role: "lists file" or "settings file".
std::string StoreFileError(const std::string& role, const std::string& path, const std::exception& e);
// True when e is a statement's refusal by the file (read-only, locked by another program).
bool IsStoreFileRefusal(const std::exception& e);

// The connection's wait for another program's lock (CommandTimeout, seconds; 0: no wait) set
// while this lives, and put back as it was afterwards.
class ConnectionWait {
  public:
    ConnectionWait(ado::ConnectionPtr conn, long seconds);
    ~ConnectionWait();
    ConnectionWait(const ConnectionWait&) = delete;
    ConnectionWait& operator=(const ConnectionWait&) = delete;

  private:
    ado::ConnectionPtr conn_;
    long earlier_;
};

// Told what is being waited for (a text naming the file); true to wait for it as the
// connection waits, false to give up at once.
using LockWait = std::function<bool(const std::string& what)>;

// Runs step, statements on conn that need a lock another program may hold: first without
// waiting for it. When the lock is held elsewhere, waiting is told (with a text naming the
// store file at path) and, when it agrees, step runs again waiting as long as the connection
// waits. The error of a step given up, or failed again, goes to the caller. Without waiting,
// the step simply runs with the connection's wait.
void WithLockWait(const ado::ConnectionPtr& conn, const std::string& role, const std::string& path,
                  const LockWait& waiting, const std::function<void()>& step);

}  // namespace tolvaran
