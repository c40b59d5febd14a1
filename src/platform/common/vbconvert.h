#pragma once
// The host language's conversion and number functions over Variants. A conversion of Null
// throws ComError 94 ("Invalid use of Null"), a text that does not read as the type 13 ("Type
// mismatch"), a value outside the type's range 6 ("Overflow"); the number functions give Null
// for Null.
#include <string>

#include "platform/common/com_error.h"
#include "platform/common/variant.h"

namespace vb {

// CCur: rounded to four decimals, halves to even.
Variant CCur(const Variant& v);
// CInt and CLng: rounded to a whole number, halves to even; 16-bit and 32-bit ranges.
Variant CInt(const Variant& v);
Variant CLng(const Variant& v);
Variant CDbl(const Variant& v);
Variant CStr(const Variant& v);
Variant CDate(const Variant& v);
Variant CBool(const Variant& v);

// Round(x, decimals): halves to even, as the host language rounds.
double Round(double x, int decimals = 0);

Variant Abs(const Variant& v);
// Int: the whole number at or below; Fix: the whole part (toward zero).
Variant Int(const Variant& v);
Variant Fix(const Variant& v);
// -1, 0 or 1.
Variant Sgn(const Variant& v);
// A negative number throws ComError 5.
Variant Sqr(const Variant& v);

// StrConv with the case conversions: 1 upper case, 2 lower case, 3 the first letter of each
// word upper and the rest lower; another conversion throws ComError 5.
std::string StrConv(const std::string& s, long conversion);

}  // namespace vb
