#include "platform/ado/jet_select.h"

#include <cctype>
#include <cstdlib>
#include <optional>

#include "platform/common/com_error.h"

namespace ado {

namespace {

struct Token {
    enum Kind { Word, Name, Number, Text, Symbol, Param, End } kind = End;
    std::string text;  // Name and Text without their quotes
    char quote = 0;    // the quote a Name or Text was written in
};

[[noreturn]] void Refuse(const std::string& sql, const std::string& why) {
    throw vb::ComError(vb::kErrGeneric,
                       "This statement cannot be run on an Access file opened read-only here (" + why + "): " + sql,
                       "Jet");
}

std::vector<Token> Tokenize(const std::string& sql) {
    std::vector<Token> out;
    size_t i = 0;
    const size_t n = sql.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(sql[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        Token t;
        if (c == '[' || c == '"' || c == '`' || c == '\'') {
            char close = c == '[' ? ']' : static_cast<char>(c);
            size_t j = i + 1;
            std::string text;
            for (;;) {
                if (j >= n) Refuse(sql, "unclosed quote");
                if (sql[j] == close) {
                    if (close != ']' && j + 1 < n && sql[j + 1] == close) {
                        text += close;
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += sql[j++];
            }
            t.kind = c == '\'' ? Token::Text : Token::Name;
            t.text = text;
            t.quote = static_cast<char>(c);
            i = j + 1;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            size_t j = i;
            while (j < n && (std::isdigit(static_cast<unsigned char>(sql[j])) || sql[j] == '.')) ++j;
            t.kind = Token::Number;
            t.text = sql.substr(i, j - i);
            i = j;
        } else if (std::isalpha(c) || c == '_' || c >= 0x80) {
            size_t j = i;
            while (j < n && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_' ||
                             static_cast<unsigned char>(sql[j]) >= 0x80))
                ++j;
            t.kind = Token::Word;
            t.text = sql.substr(i, j - i);
            i = j;
        } else if (c == '?') {
            t.kind = Token::Param;
            ++i;
        } else {
            t.kind = Token::Symbol;
            t.text = std::string(1, static_cast<char>(c));
            if ((c == '<' || c == '>') && i + 1 < n && (sql[i + 1] == '=' || (c == '<' && sql[i + 1] == '>')))
                t.text += sql[++i];
            ++i;
        }
        out.push_back(std::move(t));
    }
    out.push_back(Token{});
    return out;
}

// A source that is not a SELECT is a table name, bracketed or not, blanks allowed.
std::string BareName(const std::string& sql) {
    size_t b = sql.find_first_not_of(" \t\r\n");
    size_t e = sql.find_last_not_of(" \t\r\n;");
    if (b == std::string::npos || e == std::string::npos || e < b) return {};
    std::string name = sql.substr(b, e - b + 1);
    if (name.size() >= 2 && ((name.front() == '[' && name.back() == ']') || (name.front() == '`' && name.back() == '`')))
        name = name.substr(1, name.size() - 2);
    return name;
}

std::string Upper(std::string s) {
    for (auto& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

class Parser {
public:
    Parser(const std::string& sql, const std::vector<vb::Variant>& params)
        : sql_(sql), params_(params), toks_(Tokenize(sql)) {}

    JetSelect parse() {
        JetSelect s;
        if (!isWord("SELECT")) {
            s.table = BareName(sql_);
            if (s.table.empty()) Refuse(sql_, "a table name expected");
            return s;
        }
        ++pos_;
        if (isWord("DISTINCT") || isWord("DISTINCTROW")) {
            s.distinct = isWord("DISTINCT");
            ++pos_;
        } else if (isWord("ALL")) {
            ++pos_;
        }
        if (isWord("TOP")) {
            ++pos_;
            if (cur().kind != Token::Number) Refuse(sql_, "TOP needs a number");
            s.top = std::atol(cur().text.c_str());
            ++pos_;
        }
        if (isSymbol("*")) {
            ++pos_;
        } else {
            s.allColumns = false;
            for (;;) {
                std::string col = columnRef(&s.allColumns);
                std::string as = col;
                if (isWord("AS")) {
                    ++pos_;
                    as = nameText();
                }
                if (!col.empty()) s.columns.emplace_back(col, as);
                if (!isSymbol(",")) break;
                ++pos_;
            }
            if (s.allColumns) s.columns.clear();
        }
        if (!isWord("FROM")) Refuse(sql_, "FROM expected");
        ++pos_;
        s.table = nameText();
        if (isWord("AS")) {
            ++pos_;
            alias_ = nameText();
        } else if (cur().kind == Token::Name || (cur().kind == Token::Word && !isKeyword())) {
            alias_ = nameText();
        }
        table_ = s.table;
        if (isWord("WHERE")) {
            ++pos_;
            for (;;) {
                s.where.push_back(condition());
                if (!isWord("AND")) break;
                ++pos_;
            }
        }
        if (isWord("ORDER")) {
            ++pos_;
            if (!isWord("BY")) Refuse(sql_, "BY expected");
            ++pos_;
            for (;;) {
                JetOrder o;
                o.column = columnRef(nullptr);
                if (isWord("DESC")) {
                    o.descending = true;
                    ++pos_;
                } else if (isWord("ASC")) {
                    ++pos_;
                }
                s.orderBy.push_back(o);
                if (!isSymbol(",")) break;
                ++pos_;
            }
        }
        if (isSymbol(";")) ++pos_;
        expectEnd();
        if (param_ != params_.size()) Refuse(sql_, "the number of parameters does not match its placeholders");
        // Columns may name the table before it was read; drop the qualifier now.
        auto strip = [&](std::string& col) {
            for (const std::string& q : {table_, alias_}) {
                if (q.empty()) continue;
                std::string prefix = Upper(q) + ".";
                if (Upper(col).rfind(prefix, 0) == 0) col = col.substr(prefix.size());
            }
        };
        for (auto& c : s.columns) strip(c.first);
        for (auto& c : s.where) strip(c.column);
        for (auto& o : s.orderBy) strip(o.column);
        return s;
    }

private:
    const Token& cur() const { return toks_[pos_]; }
    bool isWord(const char* w) const { return cur().kind == Token::Word && Upper(cur().text) == w; }
    bool isSymbol(const char* s) const { return cur().kind == Token::Symbol && cur().text == s; }
    bool isKeyword() const {
        for (const char* k : {"WHERE", "ORDER", "GROUP", "HAVING", "UNION", "INNER", "LEFT", "RIGHT", "JOIN"})
            if (isWord(k)) return true;
        return false;
    }
    void expectEnd() {
        if (cur().kind != Token::End) Refuse(sql_, "unexpected \"" + cur().text + "\"");
    }

    std::string nameText() {
        if (cur().kind != Token::Name && cur().kind != Token::Word) Refuse(sql_, "a name expected");
        std::string text = cur().text;
        ++pos_;
        return text;
    }

    // [table.]column; "table.*" sets *star when given.
    std::string columnRef(bool* star) {
        if (cur().kind != Token::Name && cur().kind != Token::Word) Refuse(sql_, "a column expected");
        std::string text = cur().text;
        ++pos_;
        if (isSymbol(".")) {
            ++pos_;
            if (isSymbol("*")) {
                ++pos_;
                if (!star) Refuse(sql_, "* is not a column");
                *star = true;
                return {};
            }
            if (cur().kind != Token::Name && cur().kind != Token::Word) Refuse(sql_, "a column expected");
            text += "." + cur().text;
            ++pos_;
        }
        return text;
    }

    std::optional<vb::Variant> value() {
        const Token& t = cur();
        std::optional<vb::Variant> v;
        if (t.kind == Token::Param) {
            if (param_ >= params_.size()) Refuse(sql_, "more placeholders than parameters");
            v = params_[param_++];
        } else if (t.kind == Token::Number) {
            if (t.text.find('.') == std::string::npos) v = vb::Variant(std::atoll(t.text.c_str()));
            else v = vb::Variant(std::atof(t.text.c_str()));
        } else if (t.kind == Token::Text || (t.kind == Token::Name && t.quote == '"')) {
            v = vb::Variant(t.text);
        } else if (t.kind == Token::Word && (Upper(t.text) == "TRUE" || Upper(t.text) == "FALSE")) {
            v = vb::Variant(Upper(t.text) == "TRUE");
        } else if (isSymbol("-") && toks_[pos_ + 1].kind == Token::Number) {
            ++pos_;
            const std::string& num = cur().text;
            if (num.find('.') == std::string::npos) v = vb::Variant(-std::atoll(num.c_str()));
            else v = vb::Variant(-std::atof(num.c_str()));
        }
        if (v) ++pos_;
        return v;
    }

    JetCondition::Op comparison() {
        static const std::pair<const char*, JetCondition::Op> ops[] = {
            {"=", JetCondition::Eq}, {"<>", JetCondition::Ne}, {"<", JetCondition::Lt},
            {">", JetCondition::Gt}, {"<=", JetCondition::Le}, {">=", JetCondition::Ge}};
        for (const auto& [text, op] : ops) {
            if (isSymbol(text)) {
                ++pos_;
                return op;
            }
        }
        Refuse(sql_, "a comparison expected");
    }

    JetCondition condition() {
        JetCondition c;
        bool paren = isSymbol("(");
        if (paren) ++pos_;
        if (auto left = value()) {
            // A constant test such as 1=0 or True.
            c.op = JetCondition::Constant;
            if (cur().kind == Token::Symbol && !isSymbol(")")) {
                JetCondition::Op op = comparison();
                auto right = value();
                if (!right) Refuse(sql_, "a value expected");
                JetCondition probe;
                probe.op = op;
                probe.value = *right;
                c.constant = JetMatches(probe, *left);
            } else {
                c.constant = left->ToBool();
            }
        } else {
            c.column = columnRef(nullptr);
            if (isWord("IS")) {
                ++pos_;
                c.op = JetCondition::IsNull;
                if (isWord("NOT")) {
                    c.op = JetCondition::IsNotNull;
                    ++pos_;
                }
                if (!isWord("NULL")) Refuse(sql_, "NULL expected");
                ++pos_;
            } else {
                c.op = comparison();
                auto v = value();
                if (!v) Refuse(sql_, "only values can be compared with a column");
                c.value = *v;
            }
        }
        if (paren) {
            if (!isSymbol(")")) Refuse(sql_, ") expected");
            ++pos_;
        }
        return c;
    }

    const std::string& sql_;
    const std::vector<vb::Variant>& params_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    size_t param_ = 0;
    std::string table_, alias_;
};

bool Numeric(const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Boolean:
        case vb::VarType::Long:
        case vb::VarType::Double:
        case vb::VarType::Date:
            return true;
        default:
            return false;
    }
}

double AsNumber(const vb::Variant& v) {
    if (v.Type() == vb::VarType::Date) return v.ToDate().serial;
    if (v.Type() == vb::VarType::Boolean) return v.ToBool() ? -1 : 0;
    return v.ToDouble();
}

}  // namespace

JetSelect ParseJetSelect(const std::string& sql, const std::vector<vb::Variant>& params) {
    return Parser(sql, params).parse();
}

int JetCompare(const vb::Variant& a, const vb::Variant& b) {
    bool an = a.IsNull() || a.IsEmpty(), bn = b.IsNull() || b.IsEmpty();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    if (Numeric(a) && Numeric(b)) {
        double x = AsNumber(a), y = AsNumber(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (Numeric(a) != Numeric(b)) {
        // A number against a text: compare as numbers when the text reads as one.
        const vb::Variant& text = Numeric(a) ? b : a;
        if (text.IsNumeric()) {
            double x = Numeric(a) ? AsNumber(a) : a.ToDouble();
            double y = Numeric(b) ? AsNumber(b) : b.ToDouble();
            return x < y ? -1 : x > y ? 1 : 0;
        }
    }
    std::string x = Upper(a.ToString()), y = Upper(b.ToString());
    return x < y ? -1 : x > y ? 1 : 0;
}

bool JetMatches(const JetCondition& c, const vb::Variant& value) {
    switch (c.op) {
        case JetCondition::Constant: return c.constant;
        case JetCondition::IsNull: return value.IsNull();
        case JetCondition::IsNotNull: return !value.IsNull();
        default: break;
    }
    if (value.IsNull() || c.value.IsNull()) return false;  // a comparison with Null is never true
    int r = JetCompare(value, c.value);
    switch (c.op) {
        case JetCondition::Eq: return r == 0;
        case JetCondition::Ne: return r != 0;
        case JetCondition::Lt: return r < 0;
        case JetCondition::Gt: return r > 0;
        case JetCondition::Le: return r <= 0;
        case JetCondition::Ge: return r >= 0;
        default: return false;
    }
}

}  // namespace ado
