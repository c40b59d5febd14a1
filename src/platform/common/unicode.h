#pragma once
// Code points of UTF-8 texts, and the Windows-1252 code page the host language's character
// codes (Chr, Asc, String) count in.
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

// Appends the UTF-8 form of a code point; a surrogate or a value past U+10FFFF becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);
std::string Utf8Of(char32_t codePoint);

// The code point that starts at byte i of s, moving i past it. A byte that starts no valid
// sequence (a stray continuation byte, a sequence cut short) is read alone as its own value.
char32_t NextCodePoint(std::string_view s, std::size_t& i);

// The characters of s, each as its UTF-8 bytes.
std::vector<std::string> Utf8Characters(std::string_view s);

// Windows-1252: the code point of a byte, and the byte of a code point (-1 when the page has
// none). The five bytes the page leaves undefined stand for the C1 controls of their value.
char32_t FromCp1252(unsigned char byte);
int ToCp1252(char32_t codePoint);

}  // namespace tolvaran
