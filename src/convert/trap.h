#pragma once
// Error traps of the converter. A trapped error keeps the number and description the
// failing call gave (vb::ComError), or number 5 and the text of any other exception.
#include <exception>
#include <optional>
#include <string>

#include "platform/common/com_error.h"

namespace tolvaran {

struct TrappedError {
    long number = 0;
    std::string description;
};

// The error being handled, as a trapped error; call only inside a catch block.
inline TrappedError CurrentError() {
    try {
        throw;
    } catch (const vb::ComError& e) {
        return {e.Number(), e.Description()};
    } catch (const std::exception& e) {
        return {vb::kErrGeneric, e.what()};
    } catch (...) {
        return {vb::kErrGeneric, "Unknown error"};
    }
}

// Runs body; the error it raised, or nothing. For the traps that go on with the next
// statement.
template <class F>
std::optional<TrappedError> Try(F&& body) {
    try {
        body();
        return std::nullopt;
    } catch (...) {
        return CurrentError();
    }
}

// "Object variable or With block variable not set": a member called before the object it
// works on exists.
[[noreturn]] inline void ThrowNotSet() {
    throw vb::ComError(91, "Object variable or With block variable not set");
}

}  // namespace tolvaran
