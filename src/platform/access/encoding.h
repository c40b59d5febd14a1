#pragma once
// Decoding of export bytes to UTF-8 text: a UTF-16LE or UTF-8 byte-order mark decides; text
// without one is UTF-16LE when its first characters have zero high bytes, else
// UTF-8 when it decodes as UTF-8 throughout, else ANSI in Windows-1252 (or kept as it is,
// when the caller says the ANSI page is UTF-8). Internal to platform/access.
#include <string>
#include <string_view>

namespace tolvaran::access::detail {

enum class AnsiCodePage { Windows1252, Utf8 };

std::string DecodeExportText(std::string_view bytes, AnsiCodePage ansi);

}  // namespace tolvaran::access::detail
