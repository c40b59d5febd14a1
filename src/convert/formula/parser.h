#pragma once
// Splits the nested calls of an expression into items: each call, innermost first, becomes one
// item in which every call it holds is replaced by the placeholder "%n%" (n = the 1-based
// number of that call's item); the last item is the whole text. A bracket with no name before
// it (a grouping bracket) is an item too, with an empty name.
#include <string>
#include <vector>

namespace tolvaran {

class Parser {
  public:
    // Items in the order they end. Never throws for readable text; raises ExpressionError for an
    // unclosed "[", string, date literal or "{", a stray "]", or nesting deeper than 1000 brackets.
    std::vector<std::string> Parse(const std::string& text);

    // Rebuilds the full text of a parse result: each placeholder of an item becomes the
    // (already rebuilt) text of the item it names; returns the last item rebuilt.
    static std::string PutTogether(const std::vector<std::string>& items);
};

}  // namespace tolvaran
