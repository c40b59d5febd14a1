#include "platform/common/vbconvert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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

double SingleValue(double x) {
    const float f = static_cast<float>(x);
    return std::isfinite(f) ? static_cast<double>(f) : x;
}

double SingleShown(double x) {
    const float f = static_cast<float>(x);
    if (!std::isfinite(f)) return x;
    // A Single holds about seven significant digits, and the host language shows seven.
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(f));
    return std::strtod(buf, nullptr);
}

Variant CSng(const Variant& v) {
    const double x = v.ToDouble();
    if (!(std::fabs(x) <= 3.402823466e38)) Overflow();
    return Variant(SingleValue(x));
}

Variant CByte(const Variant& v) {
    const double x = std::nearbyint(v.ToDouble());
    if (!(x >= 0 && x <= 255)) Overflow();
    return Variant(static_cast<long long>(x));
}

Variant CDec(const Variant& v) {
    const double x = v.ToDouble();
    if (!(std::fabs(x) <= 7.9228162514264337593543950335e28)) Overflow();
    return Variant(x);
}

Variant CVar(const Variant& v) {
    return v;
}

Variant Str(const Variant& v) {
    if (v.IsNull()) return v;
    if (v.Type() == VarType::Date) return Variant(v.ToString());
    const double x = v.ToDouble();
    const std::string text = Variant(x).ToString();
    return Variant(x < 0 ? text : " " + text);
}

namespace {

// The digits of a whole number in base 16 or 8, as Hex and Oct give them.
Variant InBase(const Variant& v, int base) {
    if (v.IsNull()) return v;
    const double x = std::nearbyint(v.ToDouble());
    if (!(x >= -2147483648.0 && x <= 2147483647.0)) Overflow();
    auto n = static_cast<long long>(x);
    if (n < 0) n += n >= -32768 ? 65536 : 4294967296LL;
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[n % base]);
        n /= base;
    } while (n > 0);
    return Variant(out);
}

}  // namespace

Variant Hex(const Variant& v) {
    return InBase(v, 16);
}

Variant Oct(const Variant& v) {
    return InBase(v, 8);
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

namespace {

[[noreturn]] void BadCall() {
    throw ComError(kErrGeneric, "Invalid procedure call or argument");
}

Variant Math(const Variant& v, double (*f)(double)) {
    if (v.IsNull()) return v;
    return Variant(f(v.ToDouble()));
}

}  // namespace

Variant Exp(const Variant& v) {
    if (v.IsNull()) return v;
    const double x = v.ToDouble();
    if (x > 709.782712893384) Overflow();
    return Variant(std::exp(x));
}

Variant Log(const Variant& v) {
    if (v.IsNull()) return v;
    const double x = v.ToDouble();
    if (!(x > 0)) BadCall();
    return Variant(std::log(x));
}

Variant Sin(const Variant& v) {
    return Math(v, std::sin);
}
Variant Cos(const Variant& v) {
    return Math(v, std::cos);
}
Variant Tan(const Variant& v) {
    return Math(v, std::tan);
}
Variant Atn(const Variant& v) {
    return Math(v, std::atan);
}

Variant Partition(const Variant& number, const Variant& start, const Variant& stop, const Variant& interval) {
    if (number.IsNull() || start.IsNull() || stop.IsNull() || interval.IsNull()) return Variant::null();
    const long long n = CLng(number).ToLong(), from = CLng(start).ToLong(), to = CLng(stop).ToLong(),
                    step = CLng(interval).ToLong();
    if (from < 0 || to <= from || step < 1) BadCall();
    const size_t width = std::to_string(to + 1).size();
    auto padded = [&](long long x) {
        const std::string t = std::to_string(x);
        return std::string(width > t.size() ? width - t.size() : 0, ' ') + t;
    };
    const std::string blank(width, ' ');
    if (n < from) return Variant(blank + ":" + padded(from - 1));
    if (n > to) return Variant(padded(to + 1) + ":" + blank);
    const long long low = from + (n - from) / step * step;
    return Variant(padded(low) + ":" + padded(std::min(low + step - 1, to)));
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
