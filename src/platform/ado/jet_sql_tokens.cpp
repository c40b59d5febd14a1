#include "platform/ado/jet_sql_tokens.h"

#include "platform/common/com_error.h"
#include "platform/common/expression_tokens.h"

namespace ado {

namespace {

constexpr long kErrSyntax = static_cast<long>(0x80040E14);

[[noreturn]] void Fail(const std::string& sql, const std::string& why) {
    throw vb::ComError(kErrSyntax, "Syntax error in the statement (" + why + "): " + sql, "Jet");
}

std::string Undouble(std::string_view body, char quote) {
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        out += body[i];
        if (body[i] == quote && i + 1 < body.size() && body[i + 1] == quote) ++i;
    }
    return out;
}

}  // namespace

bool IsWord(const SqlToken& t, const char* upperKeyword) {
    if (t.kind != SqlToken::Word) return false;
    std::size_t i = 0;
    for (; upperKeyword[i]; ++i) {
        if (i >= t.text.size()) return false;
        const char c = t.text[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != upperKeyword[i]) return false;
    }
    return i == t.text.size();
}

std::vector<SqlToken> TokenizeJetSql(const std::string& sql) {
    // Back-quoted names are not part of the expression language: each becomes a bracketed
    // name of the same length, so offsets stay those of the statement.
    std::string source = sql;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '[') {
            const std::size_t close = source.find(']', i);
            if (close == std::string::npos) break;
            i = close;
        } else if (c == '"' || c == '\'') {
            std::size_t j = i + 1;
            while (j < source.size()) {
                if (source[j] == c) {
                    if (j + 1 < source.size() && source[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j;
        } else if (c == '#') {
            const std::size_t close = source.find('#', i + 1);
            if (close == std::string::npos) break;
            i = close;
        } else if (c == '`') {
            const std::size_t close = source.find('`', i + 1);
            if (close == std::string::npos)
                Fail(sql, "the name that starts at position " + std::to_string(i + 1) + " is not closed");
            if (source.find_first_of("[]", i) < close) Fail(sql, "a back-quoted name holds a bracket");
            source[i] = '[';
            source[close] = ']';
            i = close;
        }
    }
    std::vector<SqlToken> out;
    try {
        tolvaran::TokenList list(source);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const tolvaran::Token& tok = list[i];
            const std::string_view text = list.Text(i);
            SqlToken t;
            t.pos = tok.pos;
            switch (tok.kind) {
                case tolvaran::TokenKind::Space:
                    continue;
                case tolvaran::TokenKind::Identifier:
                    t.kind = SqlToken::Word;
                    t.text = std::string(text);
                    break;
                case tolvaran::TokenKind::Name:
                    t.kind = SqlToken::Name;
                    t.text = std::string(tolvaran::BracketContent(text));
                    t.quote = sql[tok.pos] == '`' ? '`' : '[';
                    break;
                case tolvaran::TokenKind::Number:
                    t.kind = SqlToken::Number;
                    t.text = std::string(text);
                    break;
                case tolvaran::TokenKind::String:
                    t.kind = SqlToken::Text;
                    t.quote = text[0];
                    t.text = Undouble(text.substr(1, text.size() - 2), text[0]);
                    break;
                case tolvaran::TokenKind::DateLiteral:
                    t.kind = SqlToken::Date;
                    t.text = std::string(text.substr(1, text.size() - 2));
                    break;
                case tolvaran::TokenKind::Reference:
                    Fail(sql, "the ODBC escape " + std::string(text) + " is not supported");
                default:
                    t.kind = text == "?" ? SqlToken::Param : SqlToken::Symbol;
                    t.text = std::string(text);
                    break;
            }
            out.push_back(std::move(t));
        }
    } catch (const tolvaran::ExpressionError& e) {
        Fail(sql, e.what());
    }
    SqlToken end;
    end.pos = sql.size();
    out.push_back(end);
    return out;
}

}  // namespace ado
