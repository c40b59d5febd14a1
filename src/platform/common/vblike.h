#pragma once
// The host language's Like operator: "*" any run of characters, "?" one character, "#" one
// digit, "[abc]" and "[a-z]" one of a set, "[!a-z]" one outside it ("[*]", "[?]", "[#]" match
// the character itself). Texts are UTF-8 and compared character by character; vbTextCompare
// ignores case as UCase folds it.
#include <string>

#include "platform/common/vbstring.h"

namespace vb {

// A pattern with an unclosed "[" throws ComError 93 ("Invalid pattern string").
bool Like(const std::string& text, const std::string& pattern, CompareMethod compare = vbBinaryCompare);

}  // namespace vb
