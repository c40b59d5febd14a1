#include "convert/formula/parser.h"

#include <algorithm>
#include <limits>

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
            case TokenKind::Placeholder:
                throw ExpressionError("The " + std::string(t.Text(i)) + " at position " +
                                      std::to_string(tok.pos + 1) + " is not part of an expression");
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

std::size_t AddSaturating(std::size_t a, std::size_t b) {
    return a > std::numeric_limits<std::size_t>::max() - b ? std::numeric_limits<std::size_t>::max() : a + b;
}

}  // namespace

std::size_t PlaceholderNumber(std::string_view token) {
    std::size_t n = 0;
    std::string_view digits = token.substr(1, token.size() - 2);
    for (char c : digits) n = digits.size() > 9 ? 0 : n * 10 + static_cast<std::size_t>(c - '0');
    return n;
}

std::vector<std::string> Parser::Parse(const std::string& text) {
    TokenList tokens(text);
    std::vector<std::string> items;
    ParseLevel(tokens, 0, {}, 0, items);
    return items;
}

std::string Parser::PutTogether(const std::vector<std::string>& items) {
    ItemTexts texts;
    for (const std::string& item : items) texts.Add(item);
    return items.empty() ? std::string() : texts.Item(items.size() - 1);
}

ItemTexts::Entry ItemTexts::Read(const std::string& text) const {
    Entry entry{text, {}, text.size()};
    if (items_.empty() || text.find('%') == std::string::npos) return entry;
    const TokenList t(text);
    std::size_t size = text.size();
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != TokenKind::Placeholder) continue;
        const std::size_t n = PlaceholderNumber(t.Text(i));
        if (n < 1 || n > items_.size()) continue;
        entry.placeholders.push_back({t[i].pos, t[i].len, n - 1});
        size = AddSaturating(size - t[i].len, items_[n - 1].size);
    }
    entry.size = size;
    return entry;
}

void ItemTexts::Add(const std::string& item) {
    items_.push_back(Read(item));
}

std::string ItemTexts::Item(std::size_t i) const {
    return PutBack(items_[i]);
}

std::optional<std::string> ItemTexts::Expand(const std::string& text, std::size_t limit) const {
    if (text.size() > limit) return std::nullopt;
    if (items_.empty() || text.find('%') == std::string::npos) return text;
    const Entry entry = Read(text);
    if (entry.size > limit) return std::nullopt;
    return PutBack(entry);
}

std::string ItemTexts::PutBack(const Entry& entry) const {
    std::string out;
    out.reserve(std::min<std::size_t>(entry.size, std::size_t{1} << 24));
    // Items being written, the innermost on top: the entry, its next placeholder, where its
    // text goes on.
    struct Frame {
        const Entry* entry;
        std::size_t next, at;
    };
    std::vector<Frame> stack = {{&entry, 0, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.entry->placeholders.size()) {
            out.append(f.entry->text, f.at);
            stack.pop_back();
            continue;
        }
        const Placeholder& p = f.entry->placeholders[f.next++];
        out.append(f.entry->text, f.at, p.pos - f.at);
        f.at = p.pos + p.len;
        stack.push_back({&items_[p.item], 0, 0});
    }
    return out;
}

}  // namespace tolvaran
