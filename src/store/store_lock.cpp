#include "store/store_lock.h"

#include "platform/ado/driver.h"
#include "platform/common/com_error.h"

namespace tolvaran {

namespace {

long NumberOf(const std::exception& e) {
    const auto* com = dynamic_cast<const vb::ComError*>(&e);
    return com ? com->Number() : 0;
}

}  // namespace

bool IsStoreFileRefusal(const std::exception& e) {
    const long number = NumberOf(e);
    return number == ado::kErrReadOnlyFile || number == ado::kErrFileLocked;
}

std::string StoreFileError(const std::string& role, const std::string& path, const std::exception& e) {
    const std::string file = "The " + role + " '" + path + "'";
    switch (NumberOf(e)) {
        case ado::kErrReadOnlyFile:
            return file + " is read-only (" + e.what() + ")";
        case ado::kErrFileLocked:
            return file + " is locked by another program (" + e.what() + ")";
        default:
            return file + ": " + e.what();
    }
}

void WithLockWait(const ado::ConnectionPtr& conn, const std::string& role, const std::string& path,
                  const LockWait& waiting, const std::function<void()>& step) {
    if (!waiting) {
        step();
        return;
    }
    const long wait = conn->CommandTimeout();
    conn->setCommandTimeout(0);
    try {
        step();
        conn->setCommandTimeout(wait);
        return;
    } catch (const vb::ComError& e) {
        conn->setCommandTimeout(wait);
        if (e.Number() != ado::kErrFileLocked) throw;
        if (!waiting("Waiting for the " + role + " '" + path + "': another program holds its lock.")) throw;
    } catch (...) {
        conn->setCommandTimeout(wait);
        throw;
    }
    step();
}

}  // namespace tolvaran
