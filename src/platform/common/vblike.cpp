#include "platform/common/vblike.h"

#include <vector>

#include "platform/common/com_error.h"

namespace vb {
namespace {

constexpr long kErrBadPattern = 93;

// Code points of a UTF-8 text (a malformed byte stands for itself).
std::vector<char32_t> Decode(const std::string& s) {
    std::vector<char32_t> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
        if (extra && i + extra >= s.size()) {
            extra = 0;
            cp = c;
        }
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += 1 + extra;
    }
    return out;
}

struct Matcher {
    const std::vector<char32_t>& t;
    const std::vector<char32_t>& p;

    // The end of the set that starts at "[" at i (the index of its "]").
    size_t SetEnd(size_t i) const {
        for (size_t j = i + 1; j < p.size(); ++j)
            if (p[j] == U']') return j;
        throw ComError(kErrBadPattern, "Invalid pattern string");
    }

    bool InSet(size_t open, size_t close, char32_t c) const {
        size_t i = open + 1;
        bool negate = false;
        if (i < close && p[i] == U'!') {
            negate = true;
            ++i;
        }
        bool hit = false;
        for (; i < close; ++i) {
            if (i + 2 < close && p[i + 1] == U'-') {
                if (c >= p[i] && c <= p[i + 2]) hit = true;
                i += 2;
            } else if (p[i] == c) {
                hit = true;
            }
        }
        return hit != negate;
    }

    // One pattern element at pi against the character c; next receives the element's end.
    bool One(size_t pi, char32_t c, size_t& next) const {
        next = pi + 1;
        const char32_t pc = p[pi];
        if (pc == U'?') return true;
        if (pc == U'#') return c >= U'0' && c <= U'9';
        if (pc == U'[') {
            const size_t close = SetEnd(pi);
            next = close + 1;
            return InSet(pi, close, c);
        }
        return pc == c;
    }

    // Greedy matching that returns to the last "*" on a mismatch: time in proportion to the
    // text's length times the pattern's, whatever the pattern.
    bool Match() const {
        size_t ti = 0, pi = 0;
        size_t starP = std::string::npos, starT = 0;
        while (ti < t.size()) {
            size_t next = 0;
            if (pi < p.size() && p[pi] == U'*') {
                starP = ++pi;
                starT = ti;
            } else if (pi < p.size() && One(pi, t[ti], next)) {
                pi = next;
                ++ti;
            } else if (starP != std::string::npos) {
                pi = starP;
                ti = ++starT;
            } else {
                return false;
            }
        }
        while (pi < p.size() && p[pi] == U'*') ++pi;
        if (pi < p.size() && p[pi] == U'[') SetEnd(pi);  // an unclosed set is an error even at the end
        return pi == p.size();
    }
};

}  // namespace

bool Like(const std::string& text, const std::string& pattern, CompareMethod compare) {
    const auto t = Decode(compare == vbTextCompare ? UCase(text) : text);
    const auto p = Decode(compare == vbTextCompare ? UCase(pattern) : pattern);
    return Matcher{t, p}.Match();
}

}  // namespace vb
