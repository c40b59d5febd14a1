#pragma once
// The host language's Format function with English (United States) settings: "." decimal
// point, "," thousands separator, "$" currency, dates month first.
//
// Named formats: "General Number", "Currency", "Fixed", "Standard", "Percent", "Scientific",
// "Yes/No", "True/False", "On/Off", "General Date", "Long Date", "Medium Date", "Short Date",
// "Long Time", "Medium Time", "Short Time" (any case).
// Custom formats:
//  - numbers: up to four sections "positive;negative;zero;null" holding 0 # . , % E+ E- e+ e-
//    (a "," between digit places separates thousands, one right before the point or at the end
//    divides by 1000), digit places filled from the right around literal characters;
//  - dates and times: c d dd ddd dddd ddddd dddddd w ww m mm mmm mmmm q y yy yyyy h hh n nn s ss
//    ttttt AM/PM am/pm A/P a/p AMPM / : (m right after h or hh is minutes; codes in any case);
//  - texts: @ (a character or a blank) & (a character or nothing) < (lower case) > (upper case)
//    ! (fill from the left);
//  - literal text between double quotes or after "\".
// A number format turns a text that reads as a number into that number, and a date format a
// text that reads as a date; any other text comes back unchanged.
#include <string>

#include "platform/common/variant.h"

namespace vb {

// Null gives Null, unless a number format has a fourth section, which gives Null's text.
Variant Format(const Variant& value, const std::string& format = {});

// FormatNumber, FormatCurrency and FormatPercent: decimals -1 is the setting's 2; the three
// switches take vbTrue (-1), vbFalse (0) or vbUseDefault (-2): a leading zero before the point
// (default yes), brackets around a negative amount (default no, yes for currency), thousands
// separators (default yes). A text must read as a number (13); Null throws 94.
std::string FormatNumber(const Variant& value, int decimals = -1, int leadingDigit = -2, int parentheses = -2,
                         int groupDigits = -2);
std::string FormatCurrency(const Variant& value, int decimals = -1, int leadingDigit = -2,
                           int parentheses = -2, int groupDigits = -2);
std::string FormatPercent(const Variant& value, int decimals = -1, int leadingDigit = -2,
                          int parentheses = -2, int groupDigits = -2);
// FormatDateTime: 0 vbGeneralDate, 1 vbLongDate, 2 vbShortDate, 3 vbLongTime, 4 vbShortTime;
// another throws 5. A text must read as a date (13); Null throws 94.
std::string FormatDateTime(const Variant& value, int namedFormat = 0);

}  // namespace vb
