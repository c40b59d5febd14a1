#include "platform/common/vbformat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/vbdate.h"
#include "platform/common/vbstring.h"

namespace vb {
namespace {

// One piece of a format section: a literal text, or a code ("0", "#", ".", "dddd", "am/pm"...).
struct Piece {
    bool literal = false;
    std::string text;
};

char Lower(char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

// Splits on ";" outside quotes and escapes.
std::vector<std::string> Sections(const std::string& format) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '\\' && i + 1 < format.size()) {
            out.back() += c;
            out.back() += format[++i];
            continue;
        }
        if (!quoted && c == ';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

std::vector<Piece> Lex(const std::string& s) {
    std::vector<Piece> out;
    auto literal = [&](const std::string& text) {
        if (!out.empty() && out.back().literal)
            out.back().text += text;
        else
            out.push_back({true, text});
    };
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            const size_t close = s.find('"', i + 1);
            literal(s.substr(i + 1, (close == std::string::npos ? s.size() : close) - i - 1));
            i = close == std::string::npos ? s.size() : close + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < s.size()) literal(std::string(1, s[i + 1]));
            i += 2;
            continue;
        }
        const std::string_view rest = std::string_view(s).substr(i);
        if (tolvaran::StartsWithNoCase(rest, "am/pm") || tolvaran::StartsWithNoCase(rest, "ampm")) {
            const size_t len = tolvaran::StartsWithNoCase(rest, "am/pm") ? 5 : 4;
            out.push_back({false, s.substr(i, len)});
            i += len;
            continue;
        }
        if (tolvaran::StartsWithNoCase(rest, "a/p")) {
            out.push_back({false, s.substr(i, 3)});
            i += 3;
            continue;
        }
        if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
            out.push_back({false, s.substr(i, 2)});
            i += 2;
            continue;
        }
        const char l = Lower(c);
        if (l == 'd' || l == 'w' || l == 'm' || l == 'q' || l == 'y' || l == 'h' || l == 'n' || l == 's' ||
            l == 't' || l == 'c') {
            size_t j = i;
            while (j < s.size() && Lower(s[j]) == l) ++j;
            out.push_back({false, std::string(j - i, l)});
            i = j;
            continue;
        }
        if (c == '0' || c == '#' || c == '.' || c == ',' || c == '%' || c == '@' || c == '&' || c == '<' ||
            c == '>' || c == '!' || c == '/' || c == ':') {
            out.push_back({false, std::string(1, c)});
            ++i;
            continue;
        }
        literal(std::string(1, c));
        ++i;
    }
    return out;
}

bool Has(const std::vector<Piece>& pieces, bool (*test)(const std::string&)) {
    for (const auto& p : pieces)
        if (!p.literal && test(p.text)) return true;
    return false;
}
bool IsDigitCode(const std::string& t) {
    return t == "0" || t == "#";
}
bool IsTextCode(const std::string& t) {
    return t == "@" || t == "&" || t == "<" || t == ">" || t == "!";
}
bool IsDateCode(const std::string& t) {
    const char l = Lower(t[0]);
    return l == 'd' || l == 'w' || l == 'm' || l == 'q' || l == 'y' || l == 'h' || l == 'n' || l == 's' ||
           l == 't' || l == 'c' || l == 'a';
}

// ---- numbers ----

// The decimal digits of |value| rounded half away from zero at `decimals` places after the
// point, read from its 15 significant digits as the host language shows a Double.
void Decimal(double value, int decimals, std::string& whole, std::string& fraction) {
    if (!std::isfinite(value)) throw ComError(kErrOverflow, "Overflow");
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    for (const char* p = buf; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    // digits d1 d2 ... stand for 0.d1d2... x 10^(exponent + 1).
    int point = exponent + 1;
    if (point < 0) {
        digits.insert(0, static_cast<size_t>(-point), '0');
        point = 0;
    }
    if (static_cast<int>(digits.size()) < point + decimals + 1)
        digits.append(static_cast<size_t>(point + decimals + 1 - static_cast<int>(digits.size())), '0');
    const int keep = point + decimals;
    bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    for (int i = keep - 1; up && i >= 0; --i) {
        if (digits[static_cast<size_t>(i)] == '9') {
            digits[static_cast<size_t>(i)] = '0';
        } else {
            ++digits[static_cast<size_t>(i)];
            up = false;
        }
    }
    if (up) {
        digits.insert(digits.begin(), '1');
        ++point;
    }
    whole = digits.substr(0, static_cast<size_t>(point));
    fraction = digits.substr(static_cast<size_t>(point));
    const size_t nz = whole.find_first_not_of('0');
    whole = nz == std::string::npos ? "" : whole.substr(nz);
}

std::string GroupThousands(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string FormatNumber(double value, const std::vector<Piece>& pieces, bool sign) {
    // Where the parts of the pattern are.
    size_t point = pieces.size(), exp = pieces.size();
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].literal) continue;
        if (pieces[i].text == "." && point == pieces.size() && exp == pieces.size()) point = i;
        if ((pieces[i].text[0] == 'E' || pieces[i].text[0] == 'e') && pieces[i].text.size() == 2 &&
            exp == pieces.size())
            exp = i;
    }
    const size_t intEnd = std::min(point, exp);
    int intPlaces = 0, intZeros = 0, decimals = 0, decimalZeros = 0, expZeros = 0;
    bool thousands = false;
    int scale = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.literal) continue;
        if (p.text == "%") value *= 100;
        if (IsDigitCode(p.text)) {
            if (i < intEnd) {
                ++intPlaces;
                if (p.text == "0") ++intZeros;
            } else if (i < exp) {
                ++decimals;
                if (p.text == "0") decimalZeros = decimals;
            } else if (p.text == "0") {
                ++expZeros;
            }
        }
        if (p.text == "," && i < intEnd) {
            // Between digit places: thousands; right before the point or the end: scaling.
            bool digitAfter = false;
            for (size_t j = i + 1; j < intEnd; ++j)
                if (!pieces[j].literal && IsDigitCode(pieces[j].text)) digitAfter = true;
            if (digitAfter)
                thousands = true;
            else
                ++scale;
        }
    }
    for (int i = 0; i < scale; ++i) value /= 1000;

    int exponent = 0;
    if (exp < pieces.size() && value != 0) {
        const int lead = std::max(intPlaces, 1);
        exponent = static_cast<int>(std::floor(std::log10(std::fabs(value)))) - (lead - 1);
        value /= std::pow(10.0, exponent);
        std::string w, f;
        Decimal(value, decimals, w, f);
        if (static_cast<int>(w.size()) > lead) {
            ++exponent;
            value /= 10;
        }
    }
    std::string whole, fraction;
    Decimal(value, decimals, whole, fraction);
    while (static_cast<int>(fraction.size()) > decimalZeros && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (static_cast<int>(whole.size()) < intZeros)
        whole.insert(0, static_cast<size_t>(intZeros - whole.size()), '0');
    if (thousands) whole = GroupThousands(whole);

    std::string out;
    if (sign) out += '-';
    // Integer digit places are filled from the right; the first place takes any digits left.
    std::vector<size_t> places;
    for (size_t i = 0; i < intEnd; ++i)
        if (!pieces[i].literal && IsDigitCode(pieces[i].text)) places.push_back(i);
    std::vector<std::string> fill(places.size());
    {
        std::string rest = whole;
        for (size_t k = places.size(); k-- > 0;) {
            if (thousands || k == 0) {
                fill[k] = rest;
                rest.clear();
            } else if (!rest.empty()) {
                fill[k] = rest.substr(rest.size() - 1);
                rest.pop_back();
            }
            if (thousands) break;
        }
    }
    size_t placeIndex = 0, fracIndex = 0, expDigitsDone = 0;
    std::string expText;
    if (exp < pieces.size()) {
        expText = std::to_string(std::abs(exponent));
        if (static_cast<int>(expText.size()) < expZeros)
            expText.insert(0, static_cast<size_t>(expZeros) - expText.size(), '0');
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (p.literal) {
            out += p.text;
            continue;
        }
        if (i < intEnd) {
            if (IsDigitCode(p.text)) {
                if (thousands) {
                    if (placeIndex++ == places.size() - 1) out += whole;
                } else {
                    out += fill[placeIndex++];
                }
            } else if (p.text != ",") {
                out += p.text;
            }
        } else if (i == point) {
            out += '.';
        } else if (i < exp) {
            if (IsDigitCode(p.text)) {
                if (fracIndex < fraction.size()) out += fraction[fracIndex];
                ++fracIndex;
            } else if (p.text != ",") {
                out += p.text;
            }
        } else if (i == exp) {
            out += p.text[0];
            if (exponent < 0)
                out += '-';
            else if (p.text[1] == '+')
                out += '+';
        } else if (IsDigitCode(p.text)) {
            if (expDigitsDone++ == 0) out += expText;
        } else {
            out += p.text;
        }
    }
    return out;
}

// ---- dates ----

std::string Two(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

std::string FormatDate(Date d, const std::vector<Piece>& pieces);

std::string Named(Date d, const char* format) {
    return FormatDate(d, Lex(format));
}

std::string FormatDate(Date d, const std::vector<Piece>& pieces) {
    int y, mo, day, h, mi, s;
    d.ToParts(y, mo, day, h, mi, s);
    bool twelve = false;
    for (const auto& p : pieces)
        if (!p.literal && Lower(p.text[0]) == 'a') twelve = true;
    std::string out;
    bool afterHour = false;
    for (const auto& p : pieces) {
        if (p.literal) {
            out += p.text;
            continue;
        }
        const std::string& t = p.text;
        const char l = Lower(t[0]);
        const size_t n = t.size();
        bool hour = false;
        if (l == 'd') {
            if (n == 1)
                out += std::to_string(day);
            else if (n == 2)
                out += Two(day);
            else if (n == 3)
                out += WeekdayName(Weekday(d), true);
            else if (n == 4)
                out += WeekdayName(Weekday(d));
            else if (n == 5)
                out += Named(d, "m/d/yyyy");
            else
                out += Named(d, "dddd, mmmm d, yyyy");
        } else if (l == 'w') {
            out += std::to_string(n == 1 ? Weekday(d) : DatePart("ww", d));
        } else if (l == 'm') {
            if (afterHour && n <= 2)
                out += n == 1 ? std::to_string(mi) : Two(mi);
            else if (n == 1)
                out += std::to_string(mo);
            else if (n == 2)
                out += Two(mo);
            else
                out += MonthName(mo, n == 3);
        } else if (l == 'q') {
            out += std::to_string((mo - 1) / 3 + 1);
        } else if (l == 'y') {
            if (n == 1)
                out += std::to_string(DatePart("y", d));
            else if (n == 2)
                out += Two(y % 100);
            else
                out += std::to_string(y);
        } else if (l == 'h') {
            const int shown = twelve ? (h % 12 == 0 ? 12 : h % 12) : h;
            out += n == 1 ? std::to_string(shown) : Two(shown);
            hour = true;
        } else if (l == 'n') {
            out += n == 1 ? std::to_string(mi) : Two(mi);
        } else if (l == 's') {
            out += n == 1 ? std::to_string(s) : Two(s);
        } else if (l == 't') {
            out += Named(d, "h:nn:ss AM/PM");
        } else if (l == 'c') {
            out += DateText(d);
        } else if (l == 'a') {
            const bool pm = h >= 12;
            const std::string lower = LCase(t);
            if (lower == "a/p") {
                const bool upper = t[0] == 'A';
                out += pm ? (upper ? "P" : "p") : (upper ? "A" : "a");
            } else if (lower == "ampm") {
                out += pm ? "PM" : "AM";
            } else {
                const bool upper = t[0] == 'A';
                out += pm ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
            }
        } else {
            out += t;  // "/", ":" and any code that is no date code
        }
        if (hour)
            afterHour = true;
        else if (IsDateCode(t))
            afterHour = false;
    }
    return out;
}

// ---- texts ----

std::string FormatText(const std::string& text, const std::vector<Piece>& pieces) {
    bool lower = false, upper = false, leftFirst = false;
    size_t places = 0;
    for (const auto& p : pieces) {
        if (p.literal) continue;
        if (p.text == "<") lower = true;
        if (p.text == ">") upper = true;
        if (p.text == "!") leftFirst = true;
        if (p.text == "@" || p.text == "&") ++places;
    }
    std::string s = lower ? LCase(text) : upper ? UCase(text) : text;
    // Characters as units (UTF-8).
    std::vector<std::string> chars;
    for (size_t i = 0; i < s.size();) {
        size_t len = 1;
        while (i + len < s.size() && (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80) ++len;
        chars.push_back(s.substr(i, len));
        i += len;
    }
    std::string out;
    if (places == 0) {
        for (const auto& p : pieces)
            if (p.literal) out += p.text;
        return out + s;
    }
    // Which character each place receives: from the right unless "!" says from the left; what
    // is left over goes before the first place (or after the last, filling from the left).
    std::vector<std::string> fill(places);
    std::string extra;
    if (leftFirst) {
        for (size_t k = 0; k < places && k < chars.size(); ++k) fill[k] = chars[k];
        for (size_t k = places; k < chars.size(); ++k) extra += chars[k];
    } else {
        const size_t skip = chars.size() > places ? chars.size() - places : 0;
        for (size_t k = 0; k < skip; ++k) extra += chars[k];
        for (size_t k = 0; k < places; ++k) {
            const long from =
                static_cast<long>(chars.size()) - static_cast<long>(places) + static_cast<long>(k);
            if (from >= 0) fill[k] = chars[static_cast<size_t>(from)];
        }
    }
    size_t k = 0;
    for (const auto& p : pieces) {
        if (p.literal) {
            out += p.text;
        } else if (p.text == "@" || p.text == "&") {
            if (k == 0 && !leftFirst) out += extra;
            out += fill[k].empty() ? (p.text == "@" ? " " : "") : fill[k];
            if (++k == places && leftFirst) out += extra;
        }
    }
    return out;
}

// ---- value conversions ----

bool AsNumber(const Variant& v, double& out) {
    switch (v.Type()) {
        case VarType::Boolean:
        case VarType::Long:
        case VarType::Double:
        case VarType::Date:
        case VarType::Empty:
            out = v.ToDouble();
            return true;
        case VarType::String:
            if (!v.IsNumeric()) return false;
            out = v.ToDouble();
            return true;
        default:
            return false;
    }
}

bool AsDate(const Variant& v, Date& out) {
    try {
        if (v.Type() == VarType::Bytes) return false;
        out = v.ToDate();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

Variant FromSections(const Variant& value, const std::string& format) {
    const std::vector<std::string> sections = Sections(format);
    const std::vector<Piece> first = Lex(sections[0]);
    const bool number = Has(first, IsDigitCode) || (!Has(first, IsDateCode) && !Has(first, IsTextCode));
    if (value.IsNull()) {
        if (number && sections.size() >= 4) return Variant(FormatNumber(0, Lex(sections[3]), false));
        return Variant::null();
    }
    if (number) {
        double x;
        if (!AsNumber(value, x)) return Variant(value.ToString());
        size_t use = 0;
        bool sign = false;
        if (x < 0 && sections.size() >= 2 && !sections[1].empty()) {
            use = 1;
            x = -x;
        } else if (x < 0) {
            sign = true;
            x = -x;
        }
        if (x == 0 && sections.size() >= 3 && !sections[2].empty()) use = 2;
        return Variant(FormatNumber(x, Lex(sections[use]), sign));
    }
    if (Has(first, IsDateCode)) {
        Date d;
        if (!AsDate(value, d)) return Variant(value.ToString());
        return Variant(FormatDate(d, first));
    }
    return Variant(FormatText(value.ToString(), first));
}

const char* NamedPattern(const std::string& lower) {
    static const std::pair<const char*, const char*> kNamed[] = {
        {"currency", "$#,##0.00;($#,##0.00)"},
        {"fixed", "0.00"},
        {"standard", "#,##0.00"},
        {"percent", "0.00%"},
        {"scientific", "0.00E+00"},
        {"long date", "dddd, mmmm d, yyyy"},
        {"medium date", "dd-mmm-yy"},
        {"short date", "m/d/yyyy"},
        {"long time", "h:nn:ss AM/PM"},
        {"medium time", "hh:nn AM/PM"},
        {"short time", "hh:nn"},
    };
    for (const auto& [name, pattern] : kNamed)
        if (lower == name) return pattern;
    return nullptr;
}

}  // namespace

Variant Format(const Variant& value, const std::string& format) {
    if (value.IsNull() && format.empty()) return Variant::null();
    if (format.empty()) return Variant(value.ToString());
    const std::string lower = LCase(format);
    if (const char* pattern = NamedPattern(lower)) return FromSections(value, pattern);
    if (value.IsNull()) return FromSections(value, format);
    static const std::pair<const char*, std::pair<const char*, const char*>> kWords[] = {
        {"yes/no", {"Yes", "No"}}, {"true/false", {"True", "False"}}, {"on/off", {"On", "Off"}}};
    for (const auto& [name, words] : kWords) {
        if (lower != name) continue;
        double x;
        if (!AsNumber(value, x)) return Variant(value.ToString());
        return Variant(std::string(x != 0 ? words.first : words.second));
    }
    if (lower == "general number") {
        double x;
        if (!AsNumber(value, x)) return Variant(value.ToString());
        return Variant(NumberText(x));
    }
    if (lower == "general date") {
        Date d;
        if (!AsDate(value, d)) return Variant(value.ToString());
        return Variant(DateText(d));
    }
    return FromSections(value, format);
}

namespace {

// A number through the custom format the three switches make, with prefix before the digits
// and suffix after them.
std::string FormatAmount(const Variant& value, int decimals, int leadingDigit, int parentheses,
                         int groupDigits, bool parenthesesByDefault, const std::string& prefix,
                         const std::string& suffix) {
    if (value.IsNull()) throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
    auto on = [](int choice, bool byDefault) {
        if (choice == -2) return byDefault;
        if (choice != -1 && choice != 0) throw ComError(kErrGeneric, "Invalid procedure call or argument");
        return choice == -1;
    };
    if (decimals < -1 || decimals > 99) throw ComError(kErrGeneric, "Invalid procedure call or argument");
    const int places = decimals == -1 ? 2 : decimals;
    std::string digits = on(groupDigits, true) ? "#,##" : "#";
    digits += on(leadingDigit, true) ? "0" : "#";
    if (places > 0) digits += "." + std::string(static_cast<size_t>(places), '0');
    const std::string positive = prefix + digits + suffix;
    const std::string negative =
        on(parentheses, parenthesesByDefault) ? "\\(" + positive + "\\)" : "\\-" + positive;
    return Format(Variant(value.ToDouble()), positive + ";" + negative).ToString();
}

}  // namespace

std::string FormatNumber(const Variant& value, int decimals, int leadingDigit, int parentheses,
                         int groupDigits) {
    return FormatAmount(value, decimals, leadingDigit, parentheses, groupDigits, false, "", "");
}

std::string FormatCurrency(const Variant& value, int decimals, int leadingDigit, int parentheses,
                           int groupDigits) {
    return FormatAmount(value, decimals, leadingDigit, parentheses, groupDigits, true, "\\$", "");
}

std::string FormatPercent(const Variant& value, int decimals, int leadingDigit, int parentheses,
                          int groupDigits) {
    return FormatAmount(value, decimals, leadingDigit, parentheses, groupDigits, false, "", "%");
}

std::string FormatDateTime(const Variant& value, int namedFormat) {
    static const char* const kNamed[] = {"General Date", "Long Date", "Short Date", "Long Time",
                                         "Short Time"};
    if (value.IsNull()) throw ComError(kErrInvalidUseOfNull, "Invalid use of Null");
    if (namedFormat < 0 || namedFormat > 4) throw ComError(kErrGeneric, "Invalid procedure call or argument");
    return Format(Variant(value.ToDate()), kNamed[namedFormat]).ToString();
}

}  // namespace vb
