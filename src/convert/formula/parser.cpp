#include "convert/formula/parser.h"

#include "platform/common/expression_tokens.h"

namespace tolvaran {
namespace {

// Deeper nesting than any expression Access accepts; guards the recursion.
constexpr int kMaxDepth = 1000;

// One bracket level: scans from token `i`, adds the level's item when it ends (at its ")" or at
// the end of the text) and returns the index of the token after the level.
std::size_t ParseLevel(const TokenList& t, std::size_t i, const std::string& callText, int depth,
                       std::vector<std::string>& items) {
    if (depth > kMaxDepth) throw ExpressionError("The expression nests brackets too deeply");
    const bool top = depth == 0;
    std::string body;
    std::size_t wordStart = std::string::npos;  // where the name of a possible call starts in body
    while (i < t.size()) {
        const Token& tok = t[i];
        switch (tok.kind) {
            case TokenKind::LParen: {
                if (i + 1 == t.size()) break;  // a text ending in "(" has no call there
                std::string call;
                if (wordStart != std::string::npos) {
                    call = body.substr(wordStart);
                    body.erase(wordStart);
                }
                call += '(';
                i = ParseLevel(t, i + 1, call, depth + 1, items);
                body += '%' + std::to_string(items.size()) + '%';
                wordStart = std::string::npos;
                continue;
            }
            case TokenKind::RParen:
                if (top) break;
                body += ')';
                items.push_back(callText + body);
                return i + 1;
            case TokenKind::Space:
                body += t.Text(i);
                ++i;
                continue;
            case TokenKind::Identifier: {
                bool qualified =
                    i > 0 && (t[i - 1].kind == TokenKind::Dot || t[i - 1].kind == TokenKind::Bang);
                wordStart = IsKeyword(t.Text(i)) || qualified ? std::string::npos : body.size();
                body += t.Text(i);
                ++i;
                continue;
            }
            default:
                break;
        }
        body += t.Text(i);
        wordStart = std::string::npos;
        ++i;
    }
    items.push_back(callText + body);
    return i;
}

}  // namespace

std::vector<std::string> Parser::Parse(const std::string& text) {
    TokenList tokens(text);
    std::vector<std::string> items;
    ParseLevel(tokens, 0, {}, 0, items);
    return items;
}

std::string Parser::PutTogether(const std::vector<std::string>& items) {
    std::vector<std::string> rebuilt;
    rebuilt.reserve(items.size());
    for (const std::string& item : items) {
        TokenList t(item);
        std::string out;
        out.reserve(item.size());
        for (std::size_t i = 0; i < t.size(); ++i) {
            std::string_view text = t.Text(i);
            if (t[i].kind == TokenKind::Placeholder) {
                std::string_view digits = text.substr(1, text.size() - 2);
                std::size_t n = 0;
                for (char c : digits) n = digits.size() > 9 ? 0 : n * 10 + static_cast<std::size_t>(c - '0');
                if (n >= 1 && n <= rebuilt.size()) {
                    out += rebuilt[n - 1];
                    continue;
                }
            }
            out += text;
        }
        rebuilt.push_back(std::move(out));
    }
    return rebuilt.empty() ? std::string() : rebuilt.back();
}

}  // namespace tolvaran
