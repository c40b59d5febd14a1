#pragma once
// Tokenizer of Access expressions, as they stand in report control sources, and of the
// Crystal-syntax text the translator makes from them. Every textual rule of the translator
// works on these tokens, so no rule can split a string literal, a date literal, a bracketed
// name or a braced reference. Joining the texts of all tokens gives back the input exactly.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

enum class TokenKind {
    Space,        // blanks, tabs, line breaks
    Name,         // [bracketed name]; may hold blanks, accents, punctuation
    Identifier,   // bare word: function, keyword or name (letters, digits, "_", non-ASCII; may end in "$")
    Number,       // 12, 1.5, .5, 1.5E3
    String,       // "text" or 'text', the delimiter doubled inside
    DateLiteral,  // #1/31/2024#
    Reference,    // {Table.Field}, {@formula}: Crystal references made by the translator
    Placeholder,  // %n%: a call the Parser has taken out
    LParen,
    RParen,
    Comma,
    Bang,      // ! qualifier
    Dot,       // . qualifier
    Operator,  // + - * / \ ^ & = <> < > <= >= and any other single character
};

struct Token {
    TokenKind kind;
    std::size_t pos;  // byte offset in the source text
    std::size_t len;
};

// Raised for text that cannot be read as an expression: an unclosed "[", string, date or "{",
// or a "]" that closes no "[".
class ExpressionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TokenList {
  public:
    explicit TokenList(std::string source);

    const std::string& Source() const { return source_; }
    std::size_t size() const { return tokens_.size(); }
    bool empty() const { return tokens_.empty(); }
    const Token& operator[](std::size_t i) const { return tokens_[i]; }
    std::string_view Text(std::size_t i) const { return Text(tokens_[i]); }
    std::string_view Text(const Token& t) const { return std::string_view(source_).substr(t.pos, t.len); }

    // Text of tokens [first, last) joined.
    std::string Join(std::size_t first, std::size_t last) const;

    // Index of the next / previous token that is not Space, or npos.
    std::size_t NextSolid(std::size_t i) const;
    std::size_t PrevSolid(std::size_t i) const;

    // For an LParen at i: the index of its matching RParen by nesting, or npos when unclosed.
    std::size_t MatchingParen(std::size_t i) const;

    // True when the Identifier at i is a call: followed (blanks allowed) by "(".
    bool IsCall(std::size_t i) const;

    // True when the token at i is joined to a neighbour by "." or "!" (part of a qualified name).
    bool IsQualified(std::size_t i) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  private:
    std::string source_;
    std::vector<Token> tokens_;
};

// The name inside a Name token's brackets.
std::string_view BracketContent(std::string_view nameToken);

// Access keywords that are operators, never function names ("And", "Or", "Not", "Mod", "Is",
// "Like", "In", "Between", "Xor", "Eqv", "Imp") and the If/Then/Else words of converted IIf calls.
bool IsKeyword(std::string_view word);

}  // namespace tolvaran
