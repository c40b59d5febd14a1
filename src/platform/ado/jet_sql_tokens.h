#pragma once
// Tokens of an Access (Jet) SQL statement. The lexical rules are those of Access expressions
// (platform/common/expression_tokens.h: names in brackets, texts in double or single quotes
// with the quote doubled inside, #date# literals, numbers), so a statement and the expressions
// inside it are read alike; on top of them come back-quoted names, "?" placeholders and the
// two-character comparisons. Blanks are dropped; every token keeps its byte offset for
// messages.
#include <cstddef>
#include <string>
#include <vector>

namespace ado {

struct SqlToken {
    enum Kind {
        Word,    // a bare word: keyword, function or name (compare without regard to case)
        Name,    // [name] or `name`, text without its quotes
        Number,  // 12, 1.5, .5, 1.5E3
        Text,    // "text" or 'text', without the quotes, a doubled quote undone
        Date,    // #1/31/2024#, text between the #
        Symbol,  // ( ) , . ! ; and operators: = <> < > <= >= + - * / \ ^ &
        Param,   // ?
        End,     // after the last token
    };
    Kind kind = End;
    std::string text;
    char quote = 0;       // '[' or '`' for a Name, '"' or '\'' for a Text
    std::size_t pos = 0;  // byte offset in the statement
};

// Throws vb::ComError (0x80040E14) naming the place for an unclosed quote, bracket or date.
// The list always ends with one End token.
std::vector<SqlToken> TokenizeJetSql(const std::string& sql);

// Case-insensitive comparison of a Word with a keyword written in capitals.
bool IsWord(const SqlToken& t, const char* upperKeyword);

}  // namespace ado
