#pragma once
// The brackets of a token list paired in one pass, for rules that look at many calls.
#include <cstddef>
#include <vector>

namespace tolvaran {

class TokenList;

struct BracketPairs {
    explicit BracketPairs(const TokenList& t);

    // Indexed by the token index of a "(" (npos elsewhere): its matching ")" (as
    // TokenList::MatchingParen gives it; npos when not closed), its first argument comma (one
    // outside any inner bracket; npos for none) and how many argument commas it holds.
    std::vector<std::size_t> close;
    std::vector<std::size_t> firstComma;
    std::vector<std::size_t> commas;
};

}  // namespace tolvaran
