#include "platform/ado/jet_sql_tokens.h"

#include <algorithm>

#include "platform/common/com_error.h"
#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"

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

bool IsWord(const SqlToken& t, const char* keyword) {
    return t.kind == SqlToken::Word && tolvaran::EqualsNoCase(t.text, keyword);
}

bool IsSymbol(const SqlToken& t, const char* symbol) {
    return t.kind == SqlToken::Symbol && t.text == symbol;
}

std::string ViewSelectText(const std::string& definition) {
    const auto t = TokenizeJetSql(definition, SqlErrors::Tolerate);
    if (!IsWord(t[0], "CREATE")) return definition;
    int depth = 0;
    for (std::size_t i = 1; t[i].kind != SqlToken::End; ++i) {
        if (IsSymbol(t[i], "(")) ++depth;
        if (IsSymbol(t[i], ")")) --depth;
        if (depth == 0 && IsWord(t[i], "AS"))
            return std::string(tolvaran::TrimBlanks(std::string_view(definition).substr(t[i + 1].pos)));
    }
    return definition;
}

std::vector<SqlToken> TokenizeJetSql(const std::string& sql, SqlErrors errors, SqlComments comments) {
    const bool tolerate = errors == SqlErrors::Tolerate;
    // Back-quoted names are not part of the expression language: each becomes a bracketed
    // name of the same length, so offsets stay those of the statement. Tolerating, a quote,
    // bracket or date left open is closed after the end of the text, and a character that
    // would stop the expression tokenizer ("]" closing nothing, "#" or "{" left open) stands
    // in as a neutral one-character operator, its own text restored afterwards.
    std::string source = sql;
    std::vector<bool> stray;
    auto markStray = [&](std::size_t i) {
        if (stray.empty()) stray.resize(sql.size(), false);
        stray[i] = true;
        source[i] = '~';
    };
    // A comment becomes blanks of its length (its line ends kept), so offsets stay those of the
    // statement; i moves to its last character.
    auto blankOut = [&](std::size_t& i, std::size_t end) {
        for (std::size_t k = i; k < end; ++k)
            if (source[k] != '\n') source[k] = ' ';
        i = end - 1;
    };
    const bool skipComments = comments == SqlComments::Blanks;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        const char after = i + 2 < sql.size() ? sql[i + 2] : '\0';
        if (skipComments && c == '-' && next == '-' &&
            (after == '\0' || after == ' ' || after == '\t' || after == '\r' || after == '\n')) {
            const std::size_t eol = sql.find('\n', i);
            blankOut(i, eol == std::string::npos ? sql.size() : eol);
            continue;
        }
        if (skipComments && c == '/' && next == '*' && after != '!') {
            const std::size_t close = sql.find("*/", i + 2);
            blankOut(i, close == std::string::npos ? sql.size() : close + 2);
            continue;
        }
        if (c == '[') {
            const std::size_t close = sql.find(']', i);
            if (close == std::string::npos) {
                if (!tolerate) break;
                source += ']';
                break;
            }
            i = close;
        } else if (c == ']') {
            if (tolerate) markStray(i);
        } else if (c == '"' || c == '\'') {
            std::size_t j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (j >= sql.size()) {
                if (!tolerate) break;
                source += c;
                break;
            }
            i = j;
        } else if (c == '#' || c == '{') {
            const std::size_t close = sql.find(c == '#' ? '#' : '}', i + 1);
            if (close == std::string::npos) {
                if (!tolerate) break;
                markStray(i);
                continue;
            }
            i = close;
        } else if (c == '`') {
            const std::size_t close = sql.find('`', i + 1);
            if (close == std::string::npos) {
                if (!tolerate)
                    Fail(sql, "the name that starts at position " + std::to_string(i + 1) + " is not closed");
                source[i] = '[';
                source += ']';
                break;
            }
            if (sql.find_first_of("[]", i) < close) {
                if (!tolerate) Fail(sql, "a back-quoted name holds a bracket");
                markStray(i);
                continue;
            }
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
            t.len = std::min(tok.len, sql.size() - tok.pos);
            if (!stray.empty() && tok.kind == tolvaran::TokenKind::Operator && stray[tok.pos]) {
                t.kind = SqlToken::Symbol;
                t.text = sql.substr(tok.pos, 1);
                out.push_back(std::move(t));
                continue;
            }
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
                    if (!tolerate) Fail(sql, "the ODBC escape " + std::string(text) + " is not supported");
                    t.kind = SqlToken::Symbol;
                    t.text = std::string(text);
                    break;
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
