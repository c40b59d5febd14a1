#pragma once
// Text routines with the host language's meaning. Texts are UTF-8; positions and lengths count
// characters (code points), 1-based as the host language counts them. Comparison mode
// vbTextCompare ignores case (ASCII and Latin-1 letters, as platform/common/text.h folds them).
#include <cstddef>
#include <string>

namespace vb {

enum CompareMethod { vbBinaryCompare = 0, vbTextCompare = 1 };

long Len(const std::string& s);
// Position (1-based) of find in s at or after start; 0 when not found. An empty find gives
// start (when start <= Len(s) + 1). start below 1 throws ComError 5.
long InStr(long start, const std::string& s, const std::string& find,
           CompareMethod compare = vbBinaryCompare);
long InStr(const std::string& s, const std::string& find, CompareMethod compare = vbBinaryCompare);
// Last position of find in s at or before start (-1 = from the end); 0 when not found.
long InStrRev(const std::string& s, const std::string& find, long start = -1,
              CompareMethod compare = vbBinaryCompare);
// length -1: to the end. start below 1 throws ComError 5.
std::string Mid(const std::string& s, long start, long length = -1);
std::string Left(const std::string& s, long length);
std::string Right(const std::string& s, long length);
// Replaces find by with in s from start on (the result begins at start, as the host
// language's Replace does), at most count times (-1 = all). A result that would be longer than
// mostBytes throws ComError 14 "Out of string space" before it grows past them.
std::string Replace(const std::string& s, const std::string& find, const std::string& with, long start = 1,
                    long count = -1, CompareMethod compare = vbBinaryCompare,
                    std::size_t mostBytes = static_cast<std::size_t>(-1));
std::string UCase(const std::string& s);
std::string LCase(const std::string& s);
// Blanks (spaces only, as the host language trims).
std::string Trim(const std::string& s);
std::string LTrim(const std::string& s);
std::string RTrim(const std::string& s);
// The number at the start of s: blanks, tabs and line feeds are skipped anywhere; "&H" and
// "&O" prefixes read hexadecimal and octal; reading stops at the first other character.
double Val(const std::string& s);
// StrComp: -1, 0 or 1.
int StrComp(const std::string& a, const std::string& b, CompareMethod compare = vbBinaryCompare);
// Texts made n characters long by Space and String are bounded: past kMaxMadeText bytes they
// throw ComError kErrOutOfStringSpace, "Out of string space", rather than ask for gigabytes that one call of
// a query or formula names.
inline constexpr long kMaxMadeText = 64L * 1024 * 1024;
inline constexpr long kErrOutOfStringSpace = 14;
std::string Space(long n);
// n copies of the first character of character (an empty one throws ComError 5).
std::string String(long n, const std::string& character);
// The character of a Windows-1252 code, 0 to 255 (Chr), or of a UTF-16 code unit, -32768 to
// 65535 with a negative one counted from 65536 (ChrW; a lone surrogate gives U+FFFD); another
// code throws ComError 5.
std::string Chr(long code);
std::string ChrW(long code);
// The Windows-1252 code of the first character, 63 ("?") for one the page lacks (Asc), or its
// first UTF-16 code unit as a signed 16-bit number (AscW); an empty text throws ComError 5.
int Asc(const std::string& s);
int AscW(const std::string& s);
// The characters in the opposite order.
std::string StrReverse(const std::string& s);
// A number with a fixed count of decimals and "." as separator, as Format(x, "0.00") gives.
std::string FormatFixed(double value, int decimals);

}  // namespace vb
