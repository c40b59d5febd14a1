#pragma once
// Values of the formula language as the report engine computes them, and their text.
//
// Dates and date-times are serial days since 1899-12-30 (vb::Date), the fraction being the time
// of day; a time alone is that fraction. Number and Currency are doubles (Currency rounded to
// cents when made).
#include <memory>
#include <string>
#include <vector>

#include "platform/common/variant.h"

namespace viewer {

enum class ValueKind { Null, Number, Currency, Boolean, String, Date, Time, DateTime, Array, Range };

struct Value {
    ValueKind kind = ValueKind::Null;
    double number = 0;  // Number, Currency, Boolean (1 or 0), Date, Time, DateTime
    std::string text;   // String
    // Array: the elements. Range: low and high; a Null end is open (UpTo, UpFrom).
    std::shared_ptr<const std::vector<Value>> items;
    bool lowExcluded = false;   // Range: _To, _To_, UpFrom_
    bool highExcluded = false;  // Range: To_, _To_, UpTo_

    static Value Null() { return {}; }
    static Value Number(double d);
    static Value Currency(double d);  // rounded to cents
    static Value Boolean(bool b);
    static Value String(std::string s);
    static Value Date(double serial);  // the time of day dropped
    static Value Time(double dayFraction);
    static Value DateTime(double serial);
    static Value Array(std::vector<Value> items);
    static Value Range(Value low, Value high, bool lowExcluded = false, bool highExcluded = false);

    bool IsNull() const { return kind == ValueKind::Null; }
    bool IsNumeric() const { return kind == ValueKind::Number || kind == ValueKind::Currency; }
    bool IsDateLike() const { return kind == ValueKind::Date || kind == ValueKind::DateTime; }
    bool IsTrue() const { return kind == ValueKind::Boolean && number != 0; }
};

// A database value read as a field of the given value type (designer::FieldValueType). Values
// that do not read as that type keep their own kind (text stays text); Null and Empty are Null.
Value FromVariant(const vb::Variant& v, int valueType);
// The value type (designer::FieldValueType) of a value's kind; crUnknownField for Null, arrays
// and ranges.
int ValueTypeOf(const Value& v);

// Order of two values: numbers with currency, dates with date-times, texts by their bytes (as
// the formula language compares strings, with case), Booleans False before True. Null comes
// before everything; values of unrelated kinds order by kind.
int Compare(const Value& a, const Value& b);
bool Equal(const Value& a, const Value& b);

// Number text with a fixed count of decimals and the separators given ("1,234.50").
std::string FormatNumber(double value, int decimals, const std::string& thousands = ",",
                         const std::string& decimalPoint = ".");
// Number text from a picture of "#", "0", ",", "." and literal characters ("#,##0.00", "0.0%").
std::string FormatNumberPattern(double value, const std::string& pattern);
// Date and time text from a picture: d dd ddd dddd, M MM MMM MMMM, yy yyyy, h hh H HH, m mm,
// s ss, tt (AM/PM), t (A/P); text between quotes and other characters are copied.
std::string FormatDatePattern(double serial, const std::string& pattern);

inline constexpr const char* kShortDate = "M/d/yyyy";
inline constexpr const char* kLongDate = "dddd, MMMM d, yyyy";
inline constexpr const char* kTimeOfDay = "h:mm:ss tt";

// The text ToText and CStr give a value with no format arguments: numbers with two decimals and
// thousands separators, currency with "$", dates in the short form, Booleans "True"/"False".
std::string ToText(const Value& v);
// The text "&" gives an operand: as ToText, but whole numbers without decimals, so that
// "Page " & PageNumber reads "Page 3".
std::string ConcatText(const Value& v);
// The text a field object shows: numbers with thousands separators, with two decimals when the
// column holds fractional amounts (fractionalColumn; ReportRun::ShowsFractionalColumn) or the
// number is not whole, else none; currency with "$"; dates long (dateFormat
// crUseWindowsLongDate) or short; a date-time as its date alone under the short or long date
// setting, else followed by the time when it has one; Null as nothing.
std::string DisplayText(const Value& v, int dateFormat, bool fractionalColumn = false);

}  // namespace viewer
