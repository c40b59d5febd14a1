#include "platform/ado/read_statement.h"

#include <vector>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace ado {

namespace {

// Words that begin or make a statement that writes, changes the database or runs other code,
// in one engine or another the program reaches; a statement that only reads holds none of
// them outside a literal or a name.
constexpr const char* kWriteWords[] = {
    "INTO",     "INSERT",  "UPDATE",     "DELETE",         "MERGE",    "CREATE",  "ALTER", "DROP",
    "TRUNCATE", "EXEC",    "EXECUTE",    "CALL",           "GRANT",    "REVOKE",  "DENY",  "VACUUM",
    "ATTACH",   "DETACH",  "PRAGMA",     "REINDEX",        "BACKUP",   "RESTORE", "DBCC",  "SHUTDOWN",
    "KILL",     "WAITFOR", "OPENROWSET", "OPENDATASOURCE", "OPENQUERY"};

// What a date literal may hold: digits, letters, blanks and the marks of a date or time. An
// engine without date literals reads "#" otherwise (a comment, a temporary table's name), so
// a literal holding anything else could hide a second statement from this check.
bool PlainDate(const std::string& text) {
    for (const char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit && c != ' ' && c != '/' && c != '-' && c != ':' && c != '.' && c != ',')
            return false;
    }
    return true;
}

std::string WriteWord(const std::vector<SqlToken>& t, std::size_t i) {
    // A word after "." or "!" names a column of a table, never a statement's keyword.
    if (i > 0 && (IsSymbol(t[i - 1], ".") || IsSymbol(t[i - 1], "!"))) return {};
    for (const char* w : kWriteWords)
        if (IsWord(t[i], w)) return w;
    return {};
}

// Why the tokens hold more than one statement, or a word that writes; "" when they do not.
// parametersEnd: the place of the ";" that ends a PARAMETERS declaration, or none.
std::string CheckTokens(const std::vector<SqlToken>& t, std::size_t parametersEnd) {
    for (std::size_t i = 0; t[i].kind != SqlToken::End; ++i) {
        if (IsSymbol(t[i], ";")) {
            if (i != parametersEnd && t[i + 1].kind != SqlToken::End) return "holds more than one statement";
        } else if (t[i].kind == SqlToken::Date) {
            if (!PlainDate(t[i].text)) return "holds a date literal that is no date (#" + t[i].text + "#)";
            std::vector<SqlToken> inside;
            try {
                inside = TokenizeJetSql(t[i].text);
            } catch (const vb::ComError&) {
                return "holds a date literal that is no date (#" + t[i].text + "#)";
            }
            for (std::size_t k = 0; inside[k].kind != SqlToken::End; ++k)
                if (const std::string w = WriteWord(inside, k); !w.empty()) return "writes (" + w + ")";
        } else if (t[i].kind == SqlToken::Word) {
            if (const std::string w = WriteWord(t, i); !w.empty()) return "writes (" + w + ")";
        }
    }
    return {};
}

}  // namespace

std::string WhyNotOneReadStatement(const std::string& sql) {
    std::vector<SqlToken> t;
    try {
        t = TokenizeJetSql(sql, SqlErrors::Throw, SqlComments::Blanks);
    } catch (const vb::ComError& e) {
        return std::string("cannot be read (") + e.what() + ")";
    }
    if (t[0].kind == SqlToken::End) return "is empty";
    std::size_t i = 0;
    std::size_t parametersEnd = t.size();
    if (IsWord(t[0], "PARAMETERS")) {
        while (t[i].kind != SqlToken::End && !IsSymbol(t[i], ";")) ++i;
        if (t[i].kind == SqlToken::End) return "declares parameters but holds no SELECT statement";
        parametersEnd = i++;
    }
    while (IsSymbol(t[i], "(")) ++i;
    if (!IsWord(t[i], "SELECT") && !IsWord(t[i], "TRANSFORM")) {
        if (t[i].kind == SqlToken::Word)
            return "is a " + tolvaran::UpperCase(t[i].text) + " statement, not a SELECT statement";
        return "is not a SELECT statement";
    }
    return CheckTokens(t, parametersEnd);
}

}  // namespace ado
