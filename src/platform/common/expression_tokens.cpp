#include "platform/common/expression_tokens.h"

#include <array>
#include <cctype>

#include "platform/common/text.h"

namespace tolvaran {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordStart(char c) {
    auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || c == '_' || u >= 0x80;
}
bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c);
}

std::string At(std::size_t pos) {
    return " at position " + std::to_string(pos + 1);
}

// Length of a literal that starts with `open` at i and ends at `close`; a doubled `close`
// inside stands for one character when `doubling` is set.
std::size_t Delimited(const std::string& s, std::size_t i, char close, bool doubling, const char* what) {
    std::size_t j = i + 1;
    while (j < s.size()) {
        if (s[j] == close) {
            if (doubling && j + 1 < s.size() && s[j + 1] == close) {
                j += 2;
                continue;
            }
            return j + 1 - i;
        }
        ++j;
    }
    throw ExpressionError(std::string("The ") + what + " that starts" + At(i) + " is not closed");
}

}  // namespace

TokenList::TokenList(std::string source) : source_(std::move(source)) {
    const std::string& s = source_;
    std::size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        TokenKind kind = TokenKind::Operator;
        std::size_t len = 1;
        if (IsSpace(c)) {
            kind = TokenKind::Space;
            while (i + len < s.size() && IsSpace(s[i + len])) ++len;
        } else if (c == '[') {
            kind = TokenKind::Name;
            len = Delimited(s, i, ']', false, "name");
        } else if (c == ']') {
            throw ExpressionError("The ] at position " + std::to_string(i + 1) + " closes no [");
        } else if (c == '"' || c == '\'') {
            kind = TokenKind::String;
            len = Delimited(s, i, c, true, "text");
        } else if (c == '#') {
            kind = TokenKind::DateLiteral;
            len = Delimited(s, i, '#', false, "date");
        } else if (c == '{') {
            kind = TokenKind::Reference;
            len = Delimited(s, i, '}', false, "reference");
        } else if (c == '%' && i + 1 < s.size() && IsDigit(s[i + 1])) {
            std::size_t j = i + 1;
            while (j < s.size() && IsDigit(s[j])) ++j;
            if (j < s.size() && s[j] == '%') {
                kind = TokenKind::Placeholder;
                len = j + 1 - i;
            }
        } else if (IsWordStart(c)) {
            kind = TokenKind::Identifier;
            while (i + len < s.size() && IsWordChar(s[i + len])) ++len;
            if (i + len < s.size() && s[i + len] == '$') ++len;
        } else if (IsDigit(c) || (c == '.' && i + 1 < s.size() && IsDigit(s[i + 1]) &&
                                  (tokens_.empty() || (tokens_.back().kind != TokenKind::Name &&
                                                       tokens_.back().kind != TokenKind::Identifier &&
                                                       tokens_.back().kind != TokenKind::RParen)))) {
            kind = TokenKind::Number;
            std::size_t j = i;
            while (j < s.size() && IsDigit(s[j])) ++j;
            if (j < s.size() && s[j] == '.') {
                ++j;
                while (j < s.size() && IsDigit(s[j])) ++j;
            }
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                std::size_t k = j + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && IsDigit(s[k])) {
                    while (k < s.size() && IsDigit(s[k])) ++k;
                    j = k;
                }
            }
            len = j - i;
        } else if (c == '(') {
            kind = TokenKind::LParen;
        } else if (c == ')') {
            kind = TokenKind::RParen;
        } else if (c == ',') {
            kind = TokenKind::Comma;
        } else if (c == '!') {
            kind = TokenKind::Bang;
        } else if (c == '.') {
            kind = TokenKind::Dot;
        } else if ((c == '<' && i + 1 < s.size() && (s[i + 1] == '>' || s[i + 1] == '=')) ||
                   (c == '>' && i + 1 < s.size() && s[i + 1] == '=')) {
            len = 2;
        }
        tokens_.push_back({kind, i, len});
        i += len;
    }
}

std::string TokenList::Join(std::size_t first, std::size_t last) const {
    if (first >= last || first >= tokens_.size()) return {};
    std::size_t end = last >= tokens_.size() ? source_.size() : tokens_[last].pos;
    return source_.substr(tokens_[first].pos, end - tokens_[first].pos);
}

std::size_t TokenList::NextSolid(std::size_t i) const {
    for (std::size_t j = i + 1; j < tokens_.size(); ++j)
        if (tokens_[j].kind != TokenKind::Space) return j;
    return npos;
}

std::size_t TokenList::PrevSolid(std::size_t i) const {
    for (std::size_t j = i; j-- > 0;)
        if (tokens_[j].kind != TokenKind::Space) return j;
    return npos;
}

std::size_t TokenList::MatchingParen(std::size_t i) const {
    int depth = 0;
    for (std::size_t j = i; j < tokens_.size(); ++j) {
        if (tokens_[j].kind == TokenKind::LParen) {
            ++depth;
        } else if (tokens_[j].kind == TokenKind::RParen) {
            if (--depth == 0) return j;
        }
    }
    return npos;
}

bool TokenList::IsCall(std::size_t i) const {
    if (tokens_[i].kind != TokenKind::Identifier || IsKeyword(Text(i))) return false;
    std::size_t n = NextSolid(i);
    return n != npos && tokens_[n].kind == TokenKind::LParen;
}

bool TokenList::IsQualified(std::size_t i) const {
    auto joiner = [&](std::size_t j) {
        return tokens_[j].kind == TokenKind::Dot || tokens_[j].kind == TokenKind::Bang;
    };
    return (i > 0 && joiner(i - 1)) || (i + 1 < tokens_.size() && joiner(i + 1));
}

std::string_view BracketContent(std::string_view nameToken) {
    if (nameToken.size() < 2) return {};
    return nameToken.substr(1, nameToken.size() - 2);
}

bool IsKeyword(std::string_view word) {
    static constexpr std::array<std::string_view, 14> kWords = {
        "And", "Or", "Not", "Xor", "Eqv", "Imp", "Mod", "Is", "Like", "In", "Between", "If", "Then", "Else"};
    for (auto k : kWords)
        if (EqualsNoCase(word, k)) return true;
    return false;
}

}  // namespace tolvaran
