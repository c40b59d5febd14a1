#include "platform/viewer/value.h"

#include <cmath>
#include <cstdio>

#include "platform/designer/types.h"

namespace viewer {

namespace {

constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

int Rank(ValueKind k) {
    switch (k) {
        case ValueKind::Null:
            return 0;
        case ValueKind::Boolean:
            return 1;
        case ValueKind::Number:
        case ValueKind::Currency:
            return 2;
        case ValueKind::Date:
        case ValueKind::DateTime:
            return 3;
        case ValueKind::Time:
            return 4;
        case ValueKind::String:
            return 5;
        case ValueKind::Array:
            return 6;
        case ValueKind::Range:
            return 7;
    }
    return 8;
}

int Sign(double d) {
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

// Weekday of a serial date, 0 = Sunday (1899-12-30 was a Saturday).
int Weekday(double serial) {
    long long days = static_cast<long long>(std::floor(serial));
    return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

}  // namespace

Value Value::Number(double d) {
    Value v;
    v.kind = ValueKind::Number;
    v.number = d;
    return v;
}

Value Value::Currency(double d) {
    Value v;
    v.kind = ValueKind::Currency;
    v.number = std::round(d * 100) / 100;
    return v;
}

Value Value::Boolean(bool b) {
    Value v;
    v.kind = ValueKind::Boolean;
    v.number = b ? 1 : 0;
    return v;
}

Value Value::String(std::string s) {
    Value v;
    v.kind = ValueKind::String;
    v.text = std::move(s);
    return v;
}

Value Value::Date(double serial) {
    Value v;
    v.kind = ValueKind::Date;
    v.number = std::trunc(serial);
    return v;
}

Value Value::Time(double dayFraction) {
    Value v;
    v.kind = ValueKind::Time;
    v.number = std::fabs(dayFraction - std::trunc(dayFraction));
    return v;
}

Value Value::DateTime(double serial) {
    Value v;
    v.kind = ValueKind::DateTime;
    v.number = serial;
    return v;
}

Value Value::Array(std::vector<Value> items) {
    Value v;
    v.kind = ValueKind::Array;
    v.items = std::make_shared<const std::vector<Value>>(std::move(items));
    return v;
}

Value Value::Range(Value low, Value high, bool lowExcluded, bool highExcluded) {
    Value v;
    v.kind = ValueKind::Range;
    v.items = std::make_shared<const std::vector<Value>>(std::vector<Value>{std::move(low), std::move(high)});
    v.lowExcluded = lowExcluded;
    v.highExcluded = highExcluded;
    return v;
}

Value FromVariant(const vb::Variant& v, int valueType) {
    using namespace designer;
    if (v.IsNull() || v.IsEmpty()) return Value::Null();
    try {
        switch (valueType) {
            case crInt8sField:
            case crInt8uField:
            case crInt16sField:
            case crInt16uField:
            case crInt32sField:
            case crInt32uField:
            case crNumberField:
                if (v.IsNumeric()) return Value::Number(v.ToDouble());
                break;
            case crCurrencyField:
                if (v.IsNumeric()) return Value::Currency(v.ToDouble());
                break;
            case crBooleanField:
                if (v.Type() == vb::VarType::Boolean || v.IsNumeric())
                    return Value::Boolean(v.ToDouble() != 0);
                break;
            case crDateField:
                return Value::Date(v.ToDate().serial);
            case crTimeField:
                return Value::Time(v.ToDate().serial);
            case crDateTimeField:
                return Value::DateTime(v.ToDate().serial);
            default:
                break;
        }
    } catch (const std::exception&) {
        // A value that does not read as its field's type keeps its own kind below.
    }
    switch (v.Type()) {
        case vb::VarType::Boolean:
            return Value::Boolean(v.ToBool());
        case vb::VarType::Long:
        case vb::VarType::Double:
            return Value::Number(v.ToDouble());
        case vb::VarType::Date:
            return Value::DateTime(v.ToDate().serial);
        case vb::VarType::Bytes:
            return Value::Null();
        default:
            return Value::String(v.ToString());
    }
}

int ValueTypeOf(const Value& v) {
    using namespace designer;
    switch (v.kind) {
        case ValueKind::Number:
            return crNumberField;
        case ValueKind::Currency:
            return crCurrencyField;
        case ValueKind::Boolean:
            return crBooleanField;
        case ValueKind::String:
            return crStringField;
        case ValueKind::Date:
            return crDateField;
        case ValueKind::Time:
            return crTimeField;
        case ValueKind::DateTime:
            return crDateTimeField;
        default:
            return crUnknownField;
    }
}

int Compare(const Value& a, const Value& b) {
    int ra = Rank(a.kind), rb = Rank(b.kind);
    if (ra != rb) return ra < rb ? -1 : 1;
    switch (a.kind) {
        case ValueKind::Null:
            return 0;
        case ValueKind::String:
            return a.text < b.text ? -1 : a.text > b.text ? 1 : 0;
        case ValueKind::Array:
        case ValueKind::Range: {
            size_t n = std::min(a.items->size(), b.items->size());
            for (size_t i = 0; i < n; ++i)
                if (int c = Compare((*a.items)[i], (*b.items)[i])) return c;
            return Sign(static_cast<double>(a.items->size()) - static_cast<double>(b.items->size()));
        }
        default:
            return Sign(a.number - b.number);
    }
}

bool Equal(const Value& a, const Value& b) {
    return Compare(a, b) == 0;
}

std::string FormatNumber(double value, int decimals, const std::string& thousands,
                         const std::string& decimalPoint) {
    if (std::isnan(value) || std::isinf(value))
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    // Halves round away from zero, as the formula language rounds.
    double scale = std::pow(10.0, decimals);
    double rounded =
        std::fabs(value) < 1e15 ? std::round(std::fabs(value) * scale) / scale : std::fabs(value);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
    std::string digits = buf;
    std::string whole = digits, frac;
    if (size_t dot = digits.find('.'); dot != std::string::npos) {
        whole = digits.substr(0, dot);
        frac = digits.substr(dot + 1);
    }
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += thousands;
        grouped += whole[i];
    }
    bool zero =
        whole.find_first_not_of('0') == std::string::npos && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += grouped;
    if (decimals > 0) out += decimalPoint + frac;
    return out;
}

std::string FormatNumberPattern(double value, const std::string& pattern) {
    // The number part runs from the first to the last of "#0,."; what stands around it is kept.
    size_t first = pattern.find_first_of("#0");
    if (first == std::string::npos) return pattern;
    size_t last = pattern.find_last_of("#0");
    while (first > 0 && (pattern[first - 1] == ',' || pattern[first - 1] == '.')) --first;
    std::string prefix = pattern.substr(0, first), suffix = pattern.substr(last + 1);
    std::string number = pattern.substr(first, last - first + 1);
    if (suffix.find('%') != std::string::npos) value *= 100;
    size_t dot = number.find('.');
    int decimals = dot == std::string::npos ? 0 : static_cast<int>(number.size() - dot - 1);
    bool thousands = number.substr(0, dot).find(',') != std::string::npos;
    std::string text = FormatNumber(value, decimals, thousands ? "," : "", ".");
    bool negative = !text.empty() && text[0] == '-';
    if (negative) text.erase(0, 1);
    // Leading zeros the pattern asks for ("000" gives "007"); "#" alone drops a lone zero.
    size_t wholeDigits = text.find('.') == std::string::npos ? text.size() : text.find('.');
    size_t zeros = 0;
    for (char c : number.substr(0, dot))
        if (c == '0') ++zeros;
    std::string digitsOnly;
    for (size_t i = 0; i < wholeDigits; ++i)
        if (text[i] != ',') digitsOnly += text[i];
    if (zeros > digitsOnly.size()) text.insert(0, std::string(zeros - digitsOnly.size(), '0'));
    if (zeros == 0 && digitsOnly == "0") text.erase(0, 1);
    return prefix + (negative ? "-" : "") + text + suffix;
}

std::string FormatDatePattern(double serial, const std::string& pattern) {
    int y, mo, d, h, mi, s;
    vb::Date{serial}.ToParts(y, mo, d, h, mi, s);
    std::string out;
    char buf[32];
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < pattern.size() && pattern[i + n] == c) ++n;
        return n;
    };
    while (i < pattern.size()) {
        char c = pattern[i];
        if (c == '"' || c == '\'') {
            size_t end = pattern.find(c, i + 1);
            if (end == std::string::npos) end = pattern.size();
            out += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        size_t n = run(c);
        switch (c) {
            case 'd':
                if (n >= 4)
                    out += kWeekdays[Weekday(serial)];
                else if (n == 3)
                    out += std::string(kWeekdays[Weekday(serial)]).substr(0, 3);
                else {
                    std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", d);
                    out += buf;
                }
                break;
            case 'M':
                if (n >= 4)
                    out += kMonths[(mo + 11) % 12];
                else if (n == 3)
                    out += std::string(kMonths[(mo + 11) % 12]).substr(0, 3);
                else {
                    std::snprintf(buf, sizeof buf, n == 2 ? "%02d" : "%d", mo);
                    out += buf;
                }
                break;
            case 'y':
                if (n <= 2)
                    std::snprintf(buf, sizeof buf, "%02d", ((y % 100) + 100) % 100);
                else
                    std::snprintf(buf, sizeof buf, "%d", y);
                out += buf;
                break;
            case 'h':
                std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", h % 12 == 0 ? 12 : h % 12);
                out += buf;
                break;
            case 'H':
                std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", h);
                out += buf;
                break;
            case 'm':
                std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", mi);
                out += buf;
                break;
            case 's':
                std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", s);
                out += buf;
                break;
            case 't':
                out += n >= 2 ? (h < 12 ? "AM" : "PM") : (h < 12 ? "A" : "P");
                break;
            default:
                out.append(n, c);
                break;
        }
        i += n;
    }
    return out;
}

namespace {

std::string NumberText(const Value& v, bool wholeWithoutDecimals) {
    bool whole = v.number == std::trunc(v.number) && std::fabs(v.number) < 1e15;
    std::string t = FormatNumber(v.number, wholeWithoutDecimals && whole ? 0 : 2);
    return v.kind == ValueKind::Currency ? (v.number < 0 ? "-$" + t.substr(1) : "$" + t) : t;
}

std::string DateTimeText(const Value& v, const char* datePattern) {
    double frac = std::fabs(v.number - std::trunc(v.number));
    std::string text = FormatDatePattern(v.number, datePattern);
    if (std::llround(frac * 86400) % 86400 != 0) text += " " + FormatDatePattern(v.number, kTimeOfDay);
    return text;
}

std::string Text(const Value& v, bool wholeWithoutDecimals, const char* datePattern) {
    switch (v.kind) {
        case ValueKind::Null:
            return {};
        case ValueKind::Number:
        case ValueKind::Currency:
            return NumberText(v, wholeWithoutDecimals);
        case ValueKind::Boolean:
            return v.number != 0 ? "True" : "False";
        case ValueKind::String:
            return v.text;
        case ValueKind::Date:
            return FormatDatePattern(v.number, datePattern);
        case ValueKind::Time:
            return FormatDatePattern(v.number, kTimeOfDay);
        case ValueKind::DateTime:
            return DateTimeText(v, datePattern);
        case ValueKind::Array: {
            std::string out;
            for (const Value& e : *v.items)
                out += (out.empty() ? "" : ", ") + Text(e, wholeWithoutDecimals, datePattern);
            return out;
        }
        case ValueKind::Range:
            return Text((*v.items)[0], wholeWithoutDecimals, datePattern) + " To " +
                   Text((*v.items)[1], wholeWithoutDecimals, datePattern);
    }
    return {};
}

}  // namespace

std::string ToText(const Value& v) {
    return Text(v, false, kShortDate);
}

std::string ConcatText(const Value& v) {
    return Text(v, true, kShortDate);
}

std::string DisplayText(const Value& v, int dateFormat, bool fractionalColumn) {
    // A column of fractional amounts shows two decimals on every row, a whole amount too, so
    // that its rows line up ("196.00" above "94.50"); whole-number columns show none.
    if (v.kind == ValueKind::Number && fractionalColumn) return NumberText(v, false);
    const char* datePattern = dateFormat == designer::crUseWindowsLongDate ? kLongDate : kShortDate;
    // A field set to the short or long date shows a date-time as a date.
    if (v.kind == ValueKind::DateTime && dateFormat != designer::crNotUsingWindowsDefaults)
        return FormatDatePattern(v.number, datePattern);
    return Text(v, true, datePattern);
}

}  // namespace viewer
