#pragma once
// The one exception type at the platform boundary: every outside-component call that fails
// throws ComError with the system's own error number and a description.
#include <stdexcept>
#include <string>

namespace vb {

class ComError : public std::runtime_error {
  public:
    ComError(long number, const std::string& description, std::string source = {})
        : std::runtime_error(description), number_(number), source_(std::move(source)) {}

    long Number() const { return number_; }
    std::string Description() const { return what(); }
    const std::string& Source() const { return source_; }

  private:
    long number_;
    std::string source_;
};

// Error numbers the system relies on.
inline constexpr long kErrInvalidUseOfNull = 94;
inline constexpr long kErrMissingArgument = 448;
inline constexpr long kErrActiveConnection = 1000;          // "Active Connection is nothing."
inline constexpr long kErrPictureFileMissing = 0x80043AC4;  // designer: picture file not found
inline constexpr long kErrDesigner = 0x80047E42;
inline constexpr long kErrItemNotFound = 3265;  // "Item not found in this collection."
inline constexpr long kErrGeneric = 5;          // "Invalid procedure call or argument"
inline constexpr long kErrOverflow = 6;         // "Overflow"
inline constexpr long kErrTypeMismatch = 13;    // "Type mismatch"

}  // namespace vb
