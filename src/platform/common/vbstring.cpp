#include "platform/common/vbstring.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/unicode.h"

namespace vb {
namespace {

// Byte offset of each character start, plus the end offset.
std::vector<size_t> Offsets(const std::string& s) {
    std::vector<size_t> out;
    out.reserve(s.size() + 1);
    for (size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) out.push_back(i);
    out.push_back(s.size());
    return out;
}

bool IsAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

[[noreturn]] void BadCall() {
    throw ComError(kErrGeneric, "Invalid procedure call or argument");
}

[[noreturn]] void OutOfStringSpace() {
    throw ComError(kErrOutOfStringSpace, "Out of string space");
}

void CheckMadeLength(long n, size_t unit) {
    if (n > 0 && static_cast<double>(n) * static_cast<double>(unit) > static_cast<double>(kMaxMadeText))
        OutOfStringSpace();
}

}  // namespace

long Len(const std::string& s) {
    if (IsAscii(s)) return static_cast<long>(s.size());
    return static_cast<long>(Offsets(s).size()) - 1;
}

long InStr(long start, const std::string& s, const std::string& find, CompareMethod compare) {
    if (start < 1) BadCall();
    const std::string hay = compare == vbTextCompare ? UCase(s) : s;
    const std::string needle = compare == vbTextCompare ? UCase(find) : find;
    const auto off = Offsets(hay);
    const long chars = static_cast<long>(off.size()) - 1;
    if (start > chars + 1) return 0;
    if (needle.empty()) return start;
    const size_t at = hay.find(needle, off[static_cast<size_t>(start - 1)]);
    if (at == std::string::npos) return 0;
    long index = 0;
    while (off[static_cast<size_t>(index)] < at) ++index;
    return index + 1;
}

long InStr(const std::string& s, const std::string& find, CompareMethod compare) {
    return InStr(1, s, find, compare);
}

long InStrRev(const std::string& s, const std::string& find, long start, CompareMethod compare) {
    if (start == 0 || start < -1) BadCall();
    const std::string hay = compare == vbTextCompare ? UCase(s) : s;
    const std::string needle = compare == vbTextCompare ? UCase(find) : find;
    const auto off = Offsets(hay);
    const long chars = static_cast<long>(off.size()) - 1;
    if (start == -1) start = chars;
    if (start > chars) return 0;
    if (needle.empty()) return start;
    // The match must end at or before character start.
    const size_t endByte = off[static_cast<size_t>(start)];
    if (needle.size() > endByte) return 0;
    const size_t at = hay.rfind(needle, endByte - needle.size());
    if (at == std::string::npos) return 0;
    long index = 0;
    while (off[static_cast<size_t>(index)] < at) ++index;
    return index + 1;
}

std::string Mid(const std::string& s, long start, long length) {
    if (start < 1 || length < -1) BadCall();
    const auto off = Offsets(s);
    const long chars = static_cast<long>(off.size()) - 1;
    if (start > chars) return {};
    const long end = (length < 0 || start - 1 + length > chars) ? chars : start - 1 + length;
    return s.substr(off[static_cast<size_t>(start - 1)],
                    off[static_cast<size_t>(end)] - off[static_cast<size_t>(start - 1)]);
}

std::string Left(const std::string& s, long length) {
    if (length < 0) BadCall();
    if (length == 0) return {};
    return Mid(s, 1, length);
}

std::string Right(const std::string& s, long length) {
    if (length < 0) BadCall();
    const long chars = Len(s);
    if (length >= chars) return s;
    return Mid(s, chars - length + 1);
}

std::string Replace(const std::string& s, const std::string& find, const std::string& with, long start,
                    long count, CompareMethod compare, std::size_t mostBytes) {
    if (start < 1 || count < -1) BadCall();
    // No copy of a long text is made but the one the result needs.
    const std::string tail = start > 1 ? Mid(s, start) : std::string();
    const std::string& rest = start > 1 ? tail : s;
    if (find.empty() || count == 0) return rest;
    const std::string folded = compare == vbTextCompare ? UCase(rest) : std::string();
    const std::string& hay = compare == vbTextCompare ? folded : rest;
    const std::string needle = compare == vbTextCompare ? UCase(find) : find;
    // The result's length first, so that a text too long is refused before any of it is made.
    std::size_t length = rest.size();
    long done = 0;
    for (size_t at = hay.find(needle); at != std::string::npos && (count < 0 || done < count);
         at = hay.find(needle, at + needle.size())) {
        length = length - needle.size() + with.size();
        if (length > mostBytes) OutOfStringSpace();
        ++done;
    }
    if (length > mostBytes) OutOfStringSpace();
    std::string out;
    out.reserve(length);
    size_t pos = 0;
    for (long i = 0; i < done; ++i) {
        const size_t at = hay.find(needle, pos);
        out.append(rest, pos, at - pos);
        out += with;
        pos = at + needle.size();
    }
    out.append(rest, pos, std::string::npos);
    return out;
}

std::string UCase(const std::string& s) {
    return tolvaran::UpperCase(s);
}
std::string LCase(const std::string& s) {
    return tolvaran::LowerCase(s);
}

std::string LTrim(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return s.substr(b);
}

std::string RTrim(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return s.substr(0, e);
}

std::string Trim(const std::string& s) {
    return LTrim(RTrim(s));
}

double Val(const std::string& s) {
    std::string t;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') t += c;
    if (t.size() >= 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h' || t[1] == 'O' || t[1] == 'o')) {
        const int base = (t[1] == 'H' || t[1] == 'h') ? 16 : 8;
        long long v = 0;
        for (size_t i = 2; i < t.size(); ++i) {
            const char c = t[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                break;
            if (d >= base) break;
            v = v * base + d;
        }
        return static_cast<double>(v);
    }
    // Sign, digits, one ".", then an exponent "E" or "D" with digits.
    std::string num;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) num += t[i++];
    bool digits = false, dot = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9') {
            num += t[i];
            digits = true;
        } else if (t[i] == '.' && !dot) {
            num += '.';
            dot = true;
        } else {
            break;
        }
    }
    if (!digits) return 0;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::string exp = "e";
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) exp += t[j++];
        bool expDigits = false;
        while (j < t.size() && t[j] >= '0' && t[j] <= '9') {
            exp += t[j++];
            expDigits = true;
        }
        if (expDigits) num += exp;
    }
    return std::strtod(num.c_str(), nullptr);
}

int StrComp(const std::string& a, const std::string& b, CompareMethod compare) {
    const int c = compare == vbTextCompare ? UCase(a).compare(UCase(b)) : a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string Space(long n) {
    CheckMadeLength(n, 1);
    return std::string(static_cast<size_t>(n < 0 ? 0 : n), ' ');
}
std::string String(long n, const std::string& character) {
    if (character.empty()) BadCall();
    size_t end = 0;
    tolvaran::NextCodePoint(character, end);
    const std::string one = character.substr(0, end);
    CheckMadeLength(n, one.size());
    std::string out;
    out.reserve(one.size() * static_cast<size_t>(n < 0 ? 0 : n));
    for (long i = 0; i < n; ++i) out += one;
    return out;
}

std::string Chr(long code) {
    if (code < 0 || code > 255) BadCall();
    return tolvaran::Utf8Of(tolvaran::FromCp1252(static_cast<unsigned char>(code)));
}

std::string ChrW(long code) {
    if (code < -32768 || code > 65535) BadCall();
    return tolvaran::Utf8Of(static_cast<char32_t>(code < 0 ? code + 65536 : code));
}

namespace {

char32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) BadCall();
    size_t i = 0;
    return tolvaran::NextCodePoint(s, i);
}

}  // namespace

int Asc(const std::string& s) {
    const int code = tolvaran::ToCp1252(FirstCodePoint(s));
    return code < 0 ? '?' : code;
}

int AscW(const std::string& s) {
    char32_t cp = FirstCodePoint(s);
    if (cp > 0xFFFF) cp = 0xD800 + ((cp - 0x10000) >> 10);  // the high surrogate
    return cp > 0x7FFF ? static_cast<int>(cp) - 65536 : static_cast<int>(cp);
}

std::string StrReverse(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    const std::vector<std::string> chars = tolvaran::Utf8Characters(s);
    for (auto it = chars.rbegin(); it != chars.rend(); ++it) out += *it;
    return out;
}

std::string FormatFixed(double value, int decimals) {
    // The host language rounds halves away from zero here.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
    std::string out = buf;
    if (out.rfind("-0", 0) == 0 && rounded == 0) out.erase(0, 1);
    return out;
}

}  // namespace vb
