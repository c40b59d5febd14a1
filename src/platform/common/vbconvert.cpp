#include "platform/common/vbconvert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/common/com_error.h"
#include "platform/common/vbstring.h"

namespace vb {
namespace {

[[noreturn]] void Overflow() {
    throw ComError(kErrOverflow, "Overflow");
}

// A whole number keeps its type; other values become Double.
Variant Number(const Variant& v, double x) {
    if (v.Type() == VarType::Long) return Variant(static_cast<long long>(x));
    return Variant(x);
}

}  // namespace

double Round(double x, int decimals) {
    if (decimals < 0) throw ComError(kErrGeneric, "Invalid procedure call or argument");
    const double scale = std::pow(10.0, decimals);
    // Read the scaled value through its 15 significant digits, so 2.675 is a half.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", x * scale);
    const double scaled = std::strtod(buf, nullptr);
    return std::nearbyint(scaled) / scale;
}

Variant CCur(const Variant& v) {
    const double x = v.ToDouble();
    if (std::fabs(x) > 922337203685477.5807) Overflow();
    return Variant(Round(x, 4));
}

// The range tests are written so that NaN fails them too.
Variant CInt(const Variant& v) {
    const double x = std::nearbyint(v.ToDouble());
    if (!(x >= -32768 && x <= 32767)) Overflow();
    return Variant(static_cast<long long>(x));
}

Variant CLng(const Variant& v) {
    const double x = std::nearbyint(v.ToDouble());
    if (!(x >= -2147483648.0 && x <= 2147483647.0)) Overflow();
    return Variant(static_cast<long long>(x));
}

Variant CDbl(const Variant& v) {
    return Variant(v.ToDouble());
}

Variant CStr(const Variant& v) {
    if (v.IsNull()) throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
    return Variant(v.ToString());
}

Variant CDate(const Variant& v) {
    return Variant(v.ToDate());
}

Variant CBool(const Variant& v) {
    return Variant(v.ToBool());
}

Variant Abs(const Variant& v) {
    if (v.IsNull()) return v;
    return Number(v, std::fabs(v.ToDouble()));
}

Variant Int(const Variant& v) {
    if (v.IsNull()) return v;
    return Number(v, std::floor(v.ToDouble()));
}

Variant Fix(const Variant& v) {
    if (v.IsNull()) return v;
    return Number(v, std::trunc(v.ToDouble()));
}

Variant Sgn(const Variant& v) {
    if (v.IsNull()) return v;
    const double x = v.ToDouble();
    return Variant(x > 0 ? 1 : x < 0 ? -1 : 0);
}

Variant Sqr(const Variant& v) {
    if (v.IsNull()) return v;
    const double x = v.ToDouble();
    if (x < 0) throw ComError(kErrGeneric, "Invalid procedure call or argument");
    return Variant(std::sqrt(x));
}

std::string StrConv(const std::string& s, long conversion) {
    switch (conversion) {
        case 1:
            return UCase(s);
        case 2:
            return LCase(s);
        case 3: {
            // A letter after a blank, a tab, a line break, a NUL or the start opens a word.
            std::string out = LCase(s);
            bool start = true;
            for (size_t i = 0; i < out.size();) {
                size_t len = 1;
                while (i + len < out.size() && (static_cast<unsigned char>(out[i + len]) & 0xC0) == 0x80)
                    ++len;
                const std::string ch = out.substr(i, len);
                if (start) out.replace(i, len, UCase(ch));
                start =
                    ch == " " || ch == "\t" || ch == "\r" || ch == "\n" || ch == std::string_view("\0", 1);
                i += len;
            }
            return out;
        }
        default:
            throw ComError(kErrGeneric, "Invalid procedure call or argument");
    }
}

}  // namespace vb
