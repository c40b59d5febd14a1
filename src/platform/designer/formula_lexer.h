#pragma once
// Tokens of Crystal-syntax formulas (internal to the formula checker).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace designer::formula {

enum class Tok {
    End,
    Number,    // 12, 1.5, .5
    String,    // "a" or 'a'; text holds the value with doubled quotes undone
    DateTime,  // #...#; text holds the content
    Brace,     // {...}; text holds the content
    Word,      // identifiers and keywords
    Punct,     // := ; , ( ) [ ] : = <> < > <= >= + - * / \ % ^ & $
    Unknown,   // a character no token starts with
    Error,     // a token the lexer cannot finish; text holds the message
};

struct Token {
    Tok kind = Tok::End;
    std::string text;
    size_t pos = 0;  // byte offset in the formula
};

// Splits a formula into tokens; the last one is End or Error. Comments ("//" to the end of
// the line) and whitespace are dropped.
std::vector<Token> Tokenize(std::string_view text);

}  // namespace designer::formula
