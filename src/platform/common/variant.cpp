#include "platform/common/variant.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/common/com_error.h"

namespace vb {
namespace {

constexpr long kTypeMismatch = 13;

// Days from 1970-01-01 to y-m-d in the proleptic Gregorian calendar.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long long kEpochOffset = 25569;  // 1899-12-30 to 1970-01-01 in days

bool ParseNumber(const std::string& s, double& out) {
    const char* b = s.c_str();
    while (*b == ' ' || *b == '\t') ++b;
    if (!*b) return false;
    // Decimal notation only: the language reads neither "inf", "nan" nor C's hexadecimal
    // floating-point forms as numbers.
    const char* first = (*b == '+' || *b == '-') ? b + 1 : b;
    if (!((*first >= '0' && *first <= '9') || *first == '.')) return false;
    if (first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) return false;
    char* e = nullptr;
    out = std::strtod(b, &e);
    if (e == b) return false;
    while (*e == ' ' || *e == '\t') ++e;
    return *e == '\0';
}

// A year written with two digits: 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999.
int WindowYear(int y) {
    return y < 30 ? 2000 + y : 1900 + y;
}

// "d-mmm-yy[yy]", "d mmm yyyy" or "mmm d, yyyy" with English month names (three letters or
// the whole name); n receives the length read.
bool ParseNamedMonth(const char* p, int& y, int& mo, int& d, int& n) {
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    auto month = [&](const char* word, int len) {
        if (len < 3) return 0;
        for (int m = 0; m < 12; ++m) {
            bool same = true;
            for (int i = 0; i < 3 && same; ++i)
                same = std::tolower(static_cast<unsigned char>(word[i])) == kMonths[m][i];
            if (same) return m + 1;
        }
        return 0;
    };
    char word[16] = {0};
    int a = 0, b = 0, yearAt = 0, end = 0;
    if (std::sscanf(p, "%2d%*[- ]%15[A-Za-z]%*[- ]%n%4d%n", &a, word, &yearAt, &b, &end) == 3) {
        mo = month(word, static_cast<int>(std::strlen(word)));
        d = a;
    } else if (std::sscanf(p, "%15[A-Za-z] %2d,%*[ ]%n%4d%n", word, &a, &yearAt, &b, &end) == 3) {
        mo = month(word, static_cast<int>(std::strlen(word)));
        d = a;
    } else {
        return false;
    }
    if (mo == 0) return false;
    y = end - yearAt <= 2 ? WindowYear(b) : b;
    n = end;
    return true;
}

// Reads "m/d/yyyy [h:mm[:ss] [AM|PM]]", "yyyy-mm-dd[ hh:mm[:ss]]", the named-month forms above
// or a time alone. A two-digit year takes its century as WindowYear gives it.
bool ParseDate(const std::string& s, Date& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    char ampm[3] = {0};
    int n = 0;
    const char* p = s.c_str();
    while (*p == ' ') ++p;
    bool haveDate = false;
    int yearAt = 0;
    if (std::sscanf(p, "%4d-%2d-%2d%n", &y, &mo, &d, &n) == 3) {
        haveDate = true;
    } else if (std::sscanf(p, "%2d/%2d/%n%4d%n", &mo, &d, &yearAt, &y, &n) == 3) {
        haveDate = true;
        if (n - yearAt <= 2) y = WindowYear(y);
    } else if (ParseNamedMonth(p, y, mo, d, n)) {
        haveDate = true;
    }
    if (haveDate) {
        p += n;
        while (*p == ' ' || *p == 'T') ++p;
    }
    if (*p) {
        int m2 = 0;
        if (std::sscanf(p, "%2d:%2d:%2d%n", &h, &mi, &se, &m2) == 3 ||
            (se = 0, std::sscanf(p, "%2d:%2d%n", &h, &mi, &m2) == 2)) {
            p += m2;
            while (*p == ' ') ++p;
            if (std::sscanf(p, "%2[AaPpMm]", ampm) == 1) {
                bool pm = ampm[0] == 'P' || ampm[0] == 'p';
                if (h == 12) h = 0;
                if (pm) h += 12;
                p += 2;
            }
            while (*p == ' ' || *p == '.') ++p;
            if (*p && !(std::isdigit(static_cast<unsigned char>(*p)))) return false;
        } else {
            return false;
        }
    }
    if (!haveDate && h == 0 && mi == 0 && se == 0 && s.find(':') == std::string::npos) return false;
    if (haveDate && (mo < 1 || mo > 12 || d < 1 || d > 31)) return false;
    out = haveDate ? Date::FromParts(y, mo, d, h, mi, se) : Date{(h * 3600.0 + mi * 60.0 + se) / 86400.0};
    return true;
}

}  // namespace

bool ReadsAsDate(const std::string& text, Date& out) {
    return ParseDate(text, out);
}

Date Date::FromParts(int year, int month, int day, int hour, int minute, int second) {
    const long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset;
    const double frac = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before the epoch the host language keeps the time as a positive fraction away from zero.
    return Date{days >= 0 ? days + frac : days - frac};
}

void Date::ToParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const {
    // The host language's dates run from January 1, 100 to December 31, 9999.
    if (!(serial > -657435.0 && serial < 2958466.0)) throw ComError(kErrOverflow, "Overflow");
    double whole = std::trunc(serial);
    double frac = std::fabs(serial - whole);
    long long secs = std::llround(frac * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        whole += serial >= 0 ? 1 : -1;
    }
    CivilFromDays(static_cast<long long>(whole) - kEpochOffset, year, month, day);
    hour = static_cast<int>(secs / 3600);
    minute = static_cast<int>(secs / 60 % 60);
    second = static_cast<int>(secs % 60);
}

Date Date::Now() {
    // Every log row asks for the time: the local time is worked out once per second.
    thread_local std::time_t lastTime = -1;
    thread_local Date last;
    const std::time_t t = std::time(nullptr);
    if (t == lastTime) return last;
    std::tm tm{};
    localtime_r(&t, &tm);
    last = FromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    lastTime = t;
    return last;
}

bool Variant::IsNumeric() const {
    switch (Type()) {
        case VarType::Boolean:
        case VarType::Long:
        case VarType::Double:
        case VarType::Empty:
            return true;
        case VarType::String: {
            double d;
            return ParseNumber(std::get<std::string>(v_), d);
        }
        default:
            return false;
    }
}

std::string NumberText(double d) {
    if (std::isnan(d)) return "NaN";
    if (d == std::trunc(d) && std::fabs(d) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return buf;
    }
    // Shortest text of up to 15 significant digits, as the host language shows a Double.
    char buf[40];
    for (int prec = 1; prec <= 15; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*G", prec, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    std::string s = buf;
    auto e = s.find('E');
    if (e != std::string::npos) {
        // "1E+20" keeps its sign; the exponent loses leading zeros ("1E-05" -> "1E-05" in VB).
        return s;
    }
    if (s.rfind("0.", 0) == 0) return s;
    if (s.rfind("-0.", 0) == 0) return s;
    return s;
}

std::string DateText(Date d) {
    int y, m, day, h, mi, s;
    d.ToParts(y, m, day, h, mi, s);
    const bool hasDate = std::trunc(d.serial) != 0;
    const bool hasTime = h != 0 || mi != 0 || s != 0;
    char buf[64];
    std::string out;
    if (hasDate || !hasTime) {
        std::snprintf(buf, sizeof buf, "%d/%d/%d", m, day, y);
        out = buf;
    }
    if (hasTime) {
        const int h12 = h % 12 == 0 ? 12 : h % 12;
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, mi, s, h < 12 ? "AM" : "PM");
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

std::string Variant::ToString() const {
    switch (Type()) {
        case VarType::Empty:
            return {};
        case VarType::Null:
            throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
        case VarType::Boolean:
            return std::get<bool>(v_) ? "True" : "False";
        case VarType::Long:
            return std::to_string(std::get<std::int64_t>(v_));
        case VarType::Double:
            return NumberText(std::get<double>(v_));
        case VarType::String:
            return std::get<std::string>(v_);
        case VarType::Date:
            return DateText(std::get<Date>(v_));
        case VarType::Bytes: {
            const auto& b = std::get<Bytes>(v_);
            return std::string(b.begin(), b.end());
        }
    }
    return {};
}

double Variant::ToDouble() const {
    switch (Type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
        case VarType::Boolean:
            return std::get<bool>(v_) ? -1 : 0;
        case VarType::Long:
            return static_cast<double>(std::get<std::int64_t>(v_));
        case VarType::Double:
            return std::get<double>(v_);
        case VarType::Date:
            return std::get<Date>(v_).serial;
        case VarType::String: {
            const auto& s = std::get<std::string>(v_);
            double d;
            if (ParseNumber(s, d)) return d;
            if (s == "True" || s == "true" || s == "TRUE") return -1;
            if (s == "False" || s == "false" || s == "FALSE") return 0;
            throw ComError(kTypeMismatch, "Type mismatch");
        }
        case VarType::Bytes:
            throw ComError(kTypeMismatch, "Type mismatch");
    }
    return 0;
}

std::int64_t Variant::ToLong() const {
    if (Type() == VarType::Long) return std::get<std::int64_t>(v_);
    // CLng rounds halves to even.
    const double d = std::nearbyint(ToDouble());
    // 2^63 is the first double past the range; NaN fails both tests.
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) throw ComError(kErrOverflow, "Overflow");
    return static_cast<std::int64_t>(d);
}

bool Variant::ToBool() const {
    if (Type() == VarType::Boolean) return std::get<bool>(v_);
    return ToDouble() != 0;
}

Date Variant::ToDate() const {
    switch (Type()) {
        case VarType::Date:
            return std::get<Date>(v_);
        case VarType::Null:
            throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
        case VarType::String: {
            Date d;
            if (ParseDate(std::get<std::string>(v_), d)) return d;
            double n;
            if (ParseNumber(std::get<std::string>(v_), n)) return Date{n};
            throw ComError(kTypeMismatch, "Type mismatch");
        }
        default:
            return Date{ToDouble()};
    }
}

const Bytes& Variant::ToBytes() const {
    if (auto* b = std::get_if<Bytes>(&v_)) return *b;
    throw ComError(kTypeMismatch, "Type mismatch");
}

Variant NZ(const Variant& value, const Variant& def) {
    return value.IsNull() ? def : value;
}

}  // namespace vb
