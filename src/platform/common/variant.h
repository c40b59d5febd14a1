#pragma once
// A value as the host language holds it: Empty, Null, Boolean, a whole number, a floating
// number, text (UTF-8), a date (days since 1899-12-30, the fraction being the time of day),
// or a byte array. Conversions follow the host language's rules; a conversion that the
// language refuses throws vb::ComError (94 for Null, 13 for a type mismatch).
#include <compare>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vb {

struct Empty {
    bool operator==(const Empty&) const = default;
};
struct Null {
    bool operator==(const Null&) const = default;
};
struct Date {
    double serial = 0;  // days since 1899-12-30; fraction = time of day
    bool operator==(const Date&) const = default;
    auto operator<=>(const Date&) const = default;

    static Date FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    void ToParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const;
    static Date Now();
};
using Bytes = std::vector<std::uint8_t>;

enum class VarType { Empty, Null, Boolean, Long, Double, String, Date, Bytes };

class Variant {
  public:
    Variant() = default;
    Variant(Empty) {}
    Variant(Null v) : v_(v) {}
    Variant(bool b) : v_(b) {}
    Variant(int n) : v_(static_cast<std::int64_t>(n)) {}
    Variant(long n) : v_(static_cast<std::int64_t>(n)) {}
    Variant(long long n) : v_(static_cast<std::int64_t>(n)) {}
    Variant(unsigned n) : v_(static_cast<std::int64_t>(n)) {}
    Variant(double d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(Date d) : v_(d) {}
    Variant(Bytes b) : v_(std::move(b)) {}

    static Variant null() { return Variant(Null{}); }

    VarType Type() const { return static_cast<VarType>(v_.index()); }
    bool IsNull() const { return Type() == VarType::Null; }
    bool IsEmpty() const { return Type() == VarType::Empty; }
    bool IsNumeric() const;  // number, Boolean, or text that reads as a number (IsNumeric)
    bool IsText() const { return Type() == VarType::String; }

    // Conversions as CStr, CLng, CDbl, CBool, CDate. Empty reads as "" / 0 / False.
    std::string ToString() const;
    // A whole number, halves rounded to even; Overflow (6) when the value lies outside 64
    // bits, is infinite or is not a number. CLng and CInt (vbconvert.h) hold the language's
    // ranges.
    std::int64_t ToLong() const;
    double ToDouble() const;
    bool ToBool() const;
    Date ToDate() const;
    const Bytes& ToBytes() const;

    // Direct access when the type is known.
    const std::string* AsString() const { return std::get_if<std::string>(&v_); }

    bool operator==(const Variant& o) const = default;

  private:
    std::variant<Empty, Null, bool, std::int64_t, double, std::string, Date, Bytes> v_;
};

// Null default: the value itself unless it is Null, then the default (the whole number 0
// when none is given). The empty text and Empty are not Null.
Variant NZ(const Variant& value, const Variant& def = Variant(0));

// Text of a number, a Boolean and a date as the host language shows them
// ("1.5", "True", "12/7/2026 3:04:05 PM").
std::string NumberText(double d);
std::string DateText(Date d);

// A text written as a date, a time or both, as CDate reads it (a number is not one).
bool ReadsAsDate(const std::string& text, Date& out);

}  // namespace vb
