#pragma once
// The "Is Null" rewrite of the translator, in one pass over the text.
#include <cstddef>
#include <string>

namespace tolvaran {

// Rewrites the first `limit` "x Is Null" / "x Is Not Null" of f, from the left, as
// "IsNull(x)" / "Not IsNull(x)", exactly as rewriting the first one again and again would:
// x is the whole operand, back to the nearest comma, comparison, keyword or opening bracket of
// its nesting level, and an operand may hold what an earlier rewrite made
// ("a Is Null + b Is Null" gives "IsNull(IsNull(a) + b)"). "Is" needs a blank before it; an
// "Is Null" with no operand stays. A keyword directly before a rewritten operand is kept apart
// from "IsNull" by a blank. Raises ExpressionError for a text that cannot be read.
std::string RewriteIsNull(const std::string& f, std::size_t limit);

}  // namespace tolvaran
