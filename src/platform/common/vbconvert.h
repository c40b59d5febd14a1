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
// A Double as a Single holds it: the nearest Single, as the Double of the same value
// (0.15 becomes 0.150000005960464; a value past the Single's range is returned as it is).
// Compared or converted, a Single is this value.
double SingleValue(double x);
// A Single as the host language shows it: its seven significant digits, read back as a
// Double (0.150000005960464 shows as 0.15). Only a Single's text is this value.
double SingleShown(double x);
// CSng: SingleValue, Overflow past the Single's range; CByte: a whole number
// 0 to 255, halves to even; CDec: a Decimal, held as a Double. Null throws 94.
Variant CSng(const Variant& v);
Variant CByte(const Variant& v);
Variant CDec(const Variant& v);
// CVar: the value as it is, Null included.
Variant CVar(const Variant& v);
// Str: the number's text after a blank, or after "-" when negative ("." as the decimal
// point); a date gives its text. Null gives Null; a text must read as a number (13).
Variant Str(const Variant& v);
// Hex and Oct of the whole number (halves to even) in the 32-bit range: a negative one as its
// 16-bit two's complement when it fits 16 bits, else as its 32-bit one. Null gives Null.
Variant Hex(const Variant& v);
Variant Oct(const Variant& v);

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
// Exp (Overflow past e^709.78), Log (the natural one; zero and negatives throw 5), and the
// trigonometric functions in radians.
Variant Exp(const Variant& v);
Variant Log(const Variant& v);
Variant Sin(const Variant& v);
Variant Cos(const Variant& v);
Variant Tan(const Variant& v);
Variant Atn(const Variant& v);
// The range of the series start to stop in steps of interval that holds number, as
// "lower:upper" with both sides padded with blanks to the width of stop + 1 (":start-1" below
// the series, "stop+1:" above it); each argument rounded to a whole number, halves to even.
// Null in any gives Null; start below 0, stop not above start or interval below 1 throws 5.
Variant Partition(const Variant& number, const Variant& start, const Variant& stop, const Variant& interval);

// StrConv with the case conversions: 1 upper case, 2 lower case, 3 the first letter of each
// word upper and the rest lower; another conversion throws ComError 5.
std::string StrConv(const std::string& s, long conversion);

}  // namespace vb
