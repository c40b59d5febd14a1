#pragma once
// Tokens of an Access (Jet) SQL statement. The lexical rules are those of Access expressions
// (platform/common/expression_tokens.h: names in brackets, texts in double or single quotes
// with the quote doubled inside, #date# literals, numbers), so a statement and the expressions
// inside it are read alike; on top of them come back-quoted names, "?" placeholders and the
// two-character comparisons. Blanks are dropped; every token keeps its byte offset and
// length, so a caller can copy the statement around it as it was written.
//
// This is the one SQL tokenizer of the system: the Jet parser, the recordset, the SQLite
// driver, the converter's raw-SQL rules and the query scanner all read statements through it.
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
    std::size_t len = 0;  // bytes in the statement, quotes included; 0 for End
};

enum class SqlErrors {
    // An unclosed quote, bracket or date, a "]" that closes nothing and an ODBC escape
    // ({fn ...}) throw vb::ComError (0x80040E14) naming the place.
    Throw,
    // For texts that are only looked at, never run (they may be a table name with a quote in
    // it, or another engine's SQL): an unclosed quote, bracket or date runs to the end of the
    // text; a stray "]" and an ODBC escape are Symbols holding their text.
    Tolerate,
};

enum class SqlComments {
    // Access SQL has none: "--" is two minus signs, "/*" a division and a product.
    None,
    // As the other engines read a statement: "--" followed by a blank (or the end) runs to the
    // end of its line, "/*" to the next "*/" (or the end), and both count as blanks. "/*!",
    // whose text one engine runs, is not a comment.
    Blanks,
};

// The list always ends with one End token.
std::vector<SqlToken> TokenizeJetSql(const std::string& sql, SqlErrors errors = SqlErrors::Throw,
                                     SqlComments comments = SqlComments::None);

// True when t is a Word equal to keyword without regard to case.
bool IsWord(const SqlToken& t, const char* keyword);
// True when t is the Symbol symbol.
bool IsSymbol(const SqlToken& t, const char* symbol);

// The SELECT of a view's definition ("CREATE VIEW name [(columns)] AS select", as the
// engines' catalogs give it): what follows the first AS outside parentheses, without blanks
// at either end. A text that does not start with CREATE, or has no such AS, comes back as it is.
std::string ViewSelectText(const std::string& definition);

}  // namespace ado
