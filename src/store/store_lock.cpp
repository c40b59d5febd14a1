#include "store/store_lock.h"

#include <exception>
#include <utility>

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

ConnectionWait::ConnectionWait(ado::ConnectionPtr conn, long seconds)
    : conn_(std::move(conn)), earlier_(conn_->CommandTimeout()) {
    conn_->setCommandTimeout(seconds);
}

ConnectionWait::~ConnectionWait() {
    conn_->setCommandTimeout(earlier_);
}

void WithLockWait(const ado::ConnectionPtr& conn, const std::string& role, const std::string& path,
                  const LockWait& waiting, const std::function<void()>& step) {
    if (!waiting) {
        step();
        return;
    }
    std::exception_ptr locked;
    try {
        const ConnectionWait none(conn, 0);
        step();
        return;
    } catch (const vb::ComError& e) {
        if (e.Number() != ado::kErrFileLocked) throw;
        locked = std::current_exception();
    }
    if (!waiting("Waiting for the " + role + " '" + path + "': another program holds its lock."))
        std::rethrow_exception(locked);
    step();
}

}  // namespace tolvaran
