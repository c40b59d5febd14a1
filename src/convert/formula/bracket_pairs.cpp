#include "convert/formula/bracket_pairs.h"

#include "platform/common/expression_tokens.h"

namespace tolvaran {

BracketPairs::BracketPairs(const TokenList& t)
    : close(t.size(), TokenList::npos), firstComma(t.size(), TokenList::npos), commas(t.size(), 0) {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t.size(); ++i) {
        switch (t[i].kind) {
            case TokenKind::LParen:
                open.push_back(i);
                break;
            case TokenKind::RParen:
                // A ")" that closes nothing pairs with nothing.
                if (!open.empty()) {
                    close[open.back()] = i;
                    open.pop_back();
                }
                break;
            case TokenKind::Comma:
                if (!open.empty()) {
                    if (commas[open.back()]++ == 0) firstComma[open.back()] = i;
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace tolvaran
