#include "platform/access/encoding.h"

#include <cstdint>

#include "platform/common/unicode.h"

namespace tolvaran::access::detail {

namespace {

std::string FromUtf16Le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2 + bytes.size() / 8);
    size_t i = 0;
    auto unit = [&](size_t at) {
        return static_cast<unsigned>(static_cast<std::uint8_t>(bytes[at])) |
               (static_cast<unsigned>(static_cast<std::uint8_t>(bytes[at + 1])) << 8);
    };
    while (i + 1 < bytes.size()) {
        unsigned u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < bytes.size()) {
            unsigned low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 2;
                tolvaran::AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
        }
        tolvaran::AppendUtf8(out, u);
    }
    return out;
}

std::string FromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (char ch : bytes) {
        auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80)
            out.push_back(ch);
        else
            tolvaran::AppendUtf8(out, tolvaran::FromCp1252(b));
    }
    return out;
}

bool LooksLikeUtf16Le(std::string_view bytes) {
    // "Ve" of "Version" or any ASCII start: every odd byte of the first units is zero.
    if (bytes.size() < 8) return false;
    for (size_t i = 0; i < 8; i += 2)
        if (bytes[i] == 0 || bytes[i + 1] != 0) return false;
    return true;
}

// Text that decodes as UTF-8 throughout is taken as UTF-8 even without a mark: Windows-1252
// text with accents practically never forms valid multi-byte sequences.
bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<std::uint8_t>(s[i]);
        size_t follow = 0;
        if (b < 0x80)
            follow = 0;
        else if ((b & 0xE0) == 0xC0)
            follow = 1;
        else if ((b & 0xF0) == 0xE0)
            follow = 2;
        else if ((b & 0xF8) == 0xF0)
            follow = 3;
        else
            return false;
        if (i + follow >= s.size() && follow > 0) return false;
        for (size_t k = 1; k <= follow; ++k)
            if ((static_cast<std::uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
        i += follow + 1;
    }
    return true;
}

}  // namespace

std::string DecodeExportText(std::string_view bytes, AnsiCodePage ansi) {
    if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
        static_cast<std::uint8_t>(bytes[1]) == 0xFE)
        return FromUtf16Le(bytes.substr(2));
    if (bytes.size() >= 3 && static_cast<std::uint8_t>(bytes[0]) == 0xEF &&
        static_cast<std::uint8_t>(bytes[1]) == 0xBB && static_cast<std::uint8_t>(bytes[2]) == 0xBF)
        return std::string(bytes.substr(3));
    if (LooksLikeUtf16Le(bytes)) return FromUtf16Le(bytes);
    if (ansi == AnsiCodePage::Utf8 || IsValidUtf8(bytes)) return std::string(bytes);
    return FromCp1252(bytes);
}

}  // namespace tolvaran::access::detail
