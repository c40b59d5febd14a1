#include "platform/common/text.h"

namespace tolvaran {
namespace {

// The Latin-1 letters are two bytes, 0xC3 then 0x80..0xBE; folding changes only the second
// byte, so a text keeps its length and its byte offsets. Folder walks a text byte by byte
// and knows whether the byte at hand is the second byte of such a letter.
class Folder {
  public:
    explicit Folder(bool upper) : upper_(upper) {}

    unsigned char operator()(unsigned char c) {
        if (second_) {
            second_ = false;
            // U+00E0..U+00FE lower, U+00C0..U+00DE upper; U+00F7 and U+00D7 are signs.
            if (upper_ && c >= 0xA0 && c <= 0xBE && c != 0xB7) return static_cast<unsigned char>(c - 0x20);
            if (!upper_ && c >= 0x80 && c <= 0x9E && c != 0x97) return static_cast<unsigned char>(c + 0x20);
            return c;
        }
        if (c == 0xC3) {
            second_ = true;
            return c;
        }
        if (upper_ && c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
        if (!upper_ && c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
        return c;
    }

  private:
    bool upper_;
    bool second_ = false;
};

std::string Mapped(std::string_view s, bool upper) {
    std::string out(s);
    Folder fold(upper);
    for (char& c : out) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

std::string UpperCase(std::string_view s) {
    return Mapped(s, true);
}

std::string LowerCase(std::string_view s) {
    return Mapped(s, false);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    // While the folded bytes agree, both texts stand at the same place of a letter, so the
    // two folders stay in step.
    Folder fa(true), fb(true);
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fa(static_cast<unsigned char>(a[i]));
        const unsigned char y = fb(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::size_t FindNoCase(std::string_view s, std::string_view what) {
    return UpperCase(s).find(UpperCase(what));
}

std::string_view TrimBlanks(std::string_view s, std::string_view chars) {
    const std::size_t b = s.find_first_not_of(chars);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(chars) - b + 1);
}

std::string_view TrimEnd(std::string_view s, std::string_view chars) {
    const std::size_t e = s.find_last_not_of(chars);
    return e == std::string_view::npos ? std::string_view() : s.substr(0, e + 1);
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        out.emplace_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return out;
        start = end + 1;
    }
}

std::string JoinList(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += separator;
        out += parts[i];
    }
    return out;
}

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    if (what.empty()) return;
    for (std::size_t p = 0; (p = s.find(what, p)) != std::string::npos; p += with.size())
        s.replace(p, what.size(), with);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    for (const char c : folder) {
        const bool separator = c == '/' || c == '\\';
        if (!separator)
            path += c;
        else if (path.empty() || path.back() != '/')
            path += '/';
    }
    if (path.empty()) return std::string(name);
    if (path.back() != '/') path += '/';
    path += name;
    return path;
}

}  // namespace tolvaran
