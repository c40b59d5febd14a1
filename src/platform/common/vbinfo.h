#pragma once
// The host language's functions that tell what a Variant holds. None throws; Null is a value
// like any other here.
#include <string>

#include "platform/common/variant.h"

namespace vb {

// A number, a Boolean, Empty, or a text that reads as a number (Null and dates are not).
bool IsNumeric(const Variant& v);
// A date, or a text written as a date or a time (numbers are not).
bool IsDate(const Variant& v);
bool IsEmpty(const Variant& v);
// Never True: no value here is an error value.
bool IsError(const Variant& v);

// VarType: the host language's type numbers: vbEmpty 0, vbNull 1, vbLong 3 (every whole number here),
// vbDouble 5 (every other number), vbDate 7, vbString 8, vbBoolean 11, an array of bytes 8209.
int VarTypeOf(const Variant& v);
// "Empty", "Null", "Long", "Double", "Date", "String", "Boolean", "Byte()".
std::string TypeName(const Variant& v);

}  // namespace vb
