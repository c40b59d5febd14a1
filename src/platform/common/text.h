#pragma once
// The text helpers every layer shares, so that a name matches alike in each of them. Texts
// are UTF-8.
//
// Names compare as Jet compares them: without regard to case for the ASCII letters and the
// accented Latin-1 letters ("é" matches "É", U+00C0..U+00DE with U+00E0..U+00FE, not "×"
// and "÷"), the same folding vb::UCase and vb::LCase apply; accents themselves count ("é"
// does not match "e").
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

// The text upper-cased, or lower-cased, by the folding above; other characters unchanged.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

bool EqualsNoCase(std::string_view a, std::string_view b);
// Negative, zero or positive as a sorts before, with or after b once both are upper-cased.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
// Byte offset of the first occurrence of what in s, without regard to case; npos when none.
std::size_t FindNoCase(std::string_view s, std::string_view what);

// Ordering for maps and sets keyed by a name.
struct NoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
};

// Blanks as the C library counts them: space, tab, line feed, carriage return, vertical tab,
// form feed.
inline constexpr std::string_view kBlanks = " \t\n\r\v\f";

// The C0 controls and DEL: never part of a file name the program makes.
constexpr bool IsControlChar(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '\x7F';
}
constexpr bool HoldsControlChar(std::string_view s) {
    for (char c : s)
        if (IsControlChar(c)) return true;
    return false;
}

// s without the characters of chars at both ends (at the end only). The result points into s:
// keep s alive while it is used. For the host language's Trim (spaces only) use vb::Trim.
std::string_view TrimBlanks(std::string_view s, std::string_view chars = kBlanks);
std::string_view TrimEnd(std::string_view s, std::string_view chars = kBlanks);

// The parts of a list between its separators, in order, empty parts included ("a;;b" gives
// "a", "", "b"); an empty text gives none. Parts are not trimmed.
std::vector<std::string> SplitList(std::string_view text, char separator = ';');
// The parts with separator between each two.
std::string JoinList(const std::vector<std::string>& parts, std::string_view separator);

// Replaces every occurrence of what in s by with, left to right; text put in is not searched
// again. An empty what changes nothing.
void ReplaceAll(std::string& s, std::string_view what, std::string_view with);

// The one routine that joins a folder and a file name: the folder's separators ("\" read as
// one) become this machine's "/", runs of them one, and exactly one stands before name, so a
// folder written with and without its final separator gives the same path. An empty folder
// gives name alone. name is appended as it is.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace tolvaran
