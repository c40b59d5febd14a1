#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/ado/jet_sql.h"
#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace ado::jetsql {

namespace {

constexpr long kErrSyntax = static_cast<long>(0x80040E14);
// The reader's own recursion (brackets, subqueries, NOT) stops at the tree's limit too.
constexpr int kMaxDepth = kMaxJetSqlHeight;

// Words that end an expression or a name list: never read as a column or an alias.
const char* const kReserved[] = {
    "SELECT", "FROM",       "WHERE", "GROUP", "HAVING", "ORDER",   "UNION",    "INNER",
    "LEFT",   "RIGHT",      "JOIN",  "ON",    "AS",     "AND",     "OR",       "NOT",
    "XOR",    "EQV",        "IMP",   "MOD",   "LIKE",   "BETWEEN", "IN",       "IS",
    "PIVOT",  "TRANSFORM",  "WITH",  "INTO",  "BY",     "ALL",     "DISTINCT", "DISTINCTROW",
    "TOP",    "PARAMETERS", "OUTER", "ASC",   "DESC",   "EXISTS"};

class Parser {
  public:
    explicit Parser(const std::string& sql) : sql_(sql), toks_(TokenizeJetSql(sql)) {}

    Statement statement() {
        Statement s;
        if (word("PARAMETERS")) {
            ++pos_;
            commaList([&] { s.parameters.push_back(parameter()); });
            expectSymbol(";");
        }
        for (const char* verb : {"INSERT", "UPDATE", "DELETE", "CREATE", "ALTER", "DROP", "EXEC", "EXECUTE",
                                 "PROCEDURE", "GRANT", "REVOKE"}) {
            if (word(verb)) {
                s.kind = Statement::Write;
                s.writeVerb = verb;
                return s;
            }
        }
        if (word("TRANSFORM")) {
            ++pos_;
            s.kind = Statement::Crosstab;
            s.transform = expression();
            if (word("AS")) {  // an alias of the value is not a column of the result
                ++pos_;
                nameText();
            }
            s.query = std::make_unique<Query>();
            s.query->parts.push_back(selectCore());
            s.query->orderBy = orderBy();
            if (!word("PIVOT")) fail("PIVOT expected");
            ++pos_;
            s.pivot = expression();
            // The expression reader takes "x In (list)" for a test; after PIVOT it is the list
            // of column headings.
            if (s.pivot->kind == Expr::InList && !s.pivot->negated) {
                ExprPtr in = std::move(s.pivot);
                s.pivot = std::move(in->args[0]);
                for (size_t i = 1; i < in->args.size(); ++i) s.pivotIn.push_back(std::move(in->args[i]));
            } else if (word("IN")) {
                ++pos_;
                expectSymbol("(");
                commaList([&] { s.pivotIn.push_back(expression()); });
                expectSymbol(")");
            }
        } else if (word("SELECT") || word("TABLE") || symbol("(")) {
            s.query = query();
            if (into_) {
                s.kind = Statement::Write;
                s.writeVerb = "SELECT INTO";
                return s;
            }
        } else {
            // A bare table or query name.
            s.query = std::make_unique<Query>();
            auto core = std::make_unique<SelectCore>();
            SelectItem star;
            star.expr = node(Expr::Star);
            core->items.push_back(std::move(star));
            auto src = std::make_unique<Source>();
            src->name = bareName();
            core->from.push_back(std::move(src));
            s.query->parts.push_back(std::move(core));
        }
        ownerAccess();
        if (symbol(";")) ++pos_;
        if (cur().kind != SqlToken::End) fail("unexpected " + describe(cur()));
        s.placeholders = placeholders_;
        return s;
    }

  private:
    const SqlToken& cur() const { return toks_[pos_]; }
    const SqlToken& peek(std::size_t ahead = 1) const {
        return toks_[std::min(pos_ + ahead, toks_.size() - 1)];
    }
    bool word(const char* w) const { return IsWord(cur(), w); }
    bool symbol(const char* s) const { return cur().kind == SqlToken::Symbol && cur().text == s; }
    // One or more items separated by commas, each read by `item`.
    template <class Item>
    void commaList(Item&& item) {
        for (;;) {
            item();
            if (!symbol(",")) break;
            ++pos_;
        }
    }
    static bool reserved(const SqlToken& t) {
        for (const char* k : kReserved)
            if (IsWord(t, k)) return true;
        return false;
    }

    [[noreturn]] void fail(const std::string& why) const {
        throw vb::ComError(
            kErrSyntax,
            "Syntax error at position " + std::to_string(cur().pos + 1) + " (" + why + "): " + sql_, "Jet");
    }
    static std::string describe(const SqlToken& t) {
        switch (t.kind) {
            case SqlToken::End:
                return "end of the statement";
            case SqlToken::Name:
                return "[" + t.text + "]";
            case SqlToken::Text:
                return "'" + t.text + "'";
            case SqlToken::Date:
                return "#" + t.text + "#";
            default:
                return "\"" + t.text + "\"";
        }
    }
    void expectSymbol(const char* s) {
        if (!symbol(s)) fail(std::string(s) + " expected");
        ++pos_;
    }
    void enter() {
        if (++depth_ > kMaxDepth) tooComplex();
    }
    void leave() { --depth_; }

    [[noreturn]] void tooComplex() const {
        throw vb::ComError(kErrSyntax,
                           "Query is too complex: it nests or chains more than " + std::to_string(kMaxDepth) +
                               " levels deep at position " + std::to_string(cur().pos + 1) +
                               " (each bracket, subquery, join and operator of a chain is a level). "
                               "Statement: " +
                               Excerpt(sql_),
                           "Jet");
    }
    // A node's height from a child's: refused past the limit as it is built, so that no
    // recursion over the tree goes deeper.
    int above(int height, int child) const {
        if (child + 1 > kMaxJetSqlHeight) tooComplex();
        return std::max(height, child + 1);
    }
    void add(Expr& parent, ExprPtr child) {
        parent.height = above(parent.height, child->height);
        parent.args.push_back(std::move(child));
    }
    void hold(Expr& parent, QueryPtr q) {
        parent.height = above(parent.height, q->height);
        parent.query = std::move(q);
    }
    // The height of a query: one above everything its parts and ORDER BY hold.
    int heightOf(const Query& q) const {
        int h = 1;
        auto expr = [&](const ExprPtr& e) {
            if (e) h = above(h, e->height);
        };
        for (const auto& part : q.parts) {
            for (const auto& item : part->items) expr(item.expr);
            for (const auto& src : part->from) h = above(h, src->height);
            expr(part->where);
            for (const auto& g : part->groupBy) expr(g);
            expr(part->having);
        }
        for (const auto& o : q.orderBy) expr(o.expr);
        return h;
    }

    ExprPtr node(Expr::Kind kind) {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->pos = cur().pos;
        return e;
    }

    void ownerAccess() {
        if (word("WITH") && IsWord(peek(), "OWNERACCESS")) {
            pos_ += 2;
            if (word("OPTION")) ++pos_;
        }
    }

    // A name: a Name token or a bare word that is no keyword.
    bool atName() const {
        return cur().kind == SqlToken::Name || (cur().kind == SqlToken::Word && !reserved(cur()));
    }
    std::string nameText() {
        if (!atName()) fail("a name expected, found " + describe(cur()));
        return toks_[pos_++].text;
    }

    // A source without SELECT: the rest of the text, bracketed or not, blanks allowed.
    std::string bareName() {
        if (cur().kind == SqlToken::Name &&
            (peek().kind == SqlToken::End || (peek().kind == SqlToken::Symbol && peek().text == ";")))
            return toks_[pos_++].text;
        std::size_t b = cur().pos;
        std::size_t e = sql_.find_last_not_of(" \t\r\n;");
        if (e == std::string::npos || e < b) fail("a table name expected");
        while (cur().kind != SqlToken::End && !(symbol(";") && peek().kind == SqlToken::End)) ++pos_;
        return sql_.substr(b, e - b + 1);
    }

    ParameterDecl parameter() {
        ParameterDecl p;
        for (;;) {
            p.name += nameText();
            if (symbol("!") || symbol(".")) {
                p.name += toks_[pos_++].text;
                continue;
            }
            break;
        }
        if (cur().kind == SqlToken::Word && !reserved(cur())) {
            p.type = toks_[pos_++].text;
            if (symbol("(")) {  // a size: Text ( 255 )
                ++pos_;
                while (!symbol(")") && cur().kind != SqlToken::End) ++pos_;
                expectSymbol(")");
            }
        }
        return p;
    }

    QueryPtr query() {
        enter();
        auto q = std::make_unique<Query>();
        q->parts.push_back(queryPart());
        while (word("UNION")) {
            ++pos_;
            bool all = false;
            if (word("ALL")) {
                all = true;
                ++pos_;
            } else if (word("DISTINCT")) {
                ++pos_;
            }
            q->unionAll.push_back(all);
            q->parts.push_back(queryPart());
        }
        q->orderBy = orderBy();
        q->height = heightOf(*q);
        leave();
        return q;
    }

    std::unique_ptr<SelectCore> queryPart() {
        if (symbol("(")) {
            ++pos_;
            QueryPtr inner = query();
            expectSymbol(")");
            if (inner->parts.size() != 1 || !inner->orderBy.empty())
                fail("a bracketed UNION or ORDER BY inside a UNION is not supported");
            return std::move(inner->parts[0]);
        }
        if (word("TABLE")) {
            ++pos_;
            auto core = std::make_unique<SelectCore>();
            SelectItem star;
            star.expr = node(Expr::Star);
            core->items.push_back(std::move(star));
            auto src = std::make_unique<Source>();
            src->name = nameText();
            core->from.push_back(std::move(src));
            return core;
        }
        return selectCore();
    }

    std::unique_ptr<SelectCore> selectCore() {
        if (!word("SELECT")) fail("SELECT expected, found " + describe(cur()));
        ++pos_;
        auto s = std::make_unique<SelectCore>();
        if (word("DISTINCT")) {
            s->distinct = true;
            ++pos_;
        } else if (word("DISTINCTROW")) {
            s->distinctRow = true;
            ++pos_;
        } else if (word("ALL")) {
            ++pos_;
        }
        if (word("TOP")) {
            ++pos_;
            if (cur().kind != SqlToken::Number) fail("TOP needs a number");
            s->top = std::atol(cur().text.c_str());
            ++pos_;
            if (word("PERCENT")) {
                s->percent = true;
                ++pos_;
            }
        }
        for (;;) {
            SelectItem item;
            const std::size_t start = cur().pos;
            if (symbol("*")) {
                item.expr = node(Expr::Star);
                ++pos_;
            } else if (atName() && peek().kind == SqlToken::Symbol &&
                       (peek().text == "." || peek().text == "!") && peek(2).kind == SqlToken::Symbol &&
                       peek(2).text == "*") {
                item.expr = node(Expr::Star);
                item.expr->parts.push_back(cur().text);
                pos_ += 3;
            } else {
                item.expr = expression();
                item.expr->text = trimmed(start, cur().pos);
                if (word("AS")) {
                    ++pos_;
                    item.alias = nameText();
                }
            }
            s->items.push_back(std::move(item));
            if (!symbol(",")) break;
            ++pos_;
        }
        if (word("INTO")) {
            into_ = true;
            ++pos_;
            nameText();
            if (word("IN")) {
                ++pos_;
                ++pos_;
            }
        }
        if (word("FROM")) {
            ++pos_;
            commaList([&] { s->from.push_back(source()); });
        }
        if (word("WHERE")) {
            ++pos_;
            s->where = expression();
        }
        if (word("GROUP")) {
            ++pos_;
            if (!word("BY")) fail("BY expected");
            ++pos_;
            commaList([&] { s->groupBy.push_back(expression()); });
        }
        if (word("HAVING")) {
            ++pos_;
            s->having = expression();
        }
        return s;
    }

    std::vector<OrderItem> orderBy() {
        std::vector<OrderItem> out;
        if (!word("ORDER")) return out;
        ++pos_;
        if (!word("BY")) fail("BY expected");
        ++pos_;
        for (;;) {
            OrderItem o;
            o.expr = expression();
            if (word("DESC")) {
                o.descending = true;
                ++pos_;
            } else if (word("ASC")) {
                ++pos_;
            }
            out.push_back(std::move(o));
            if (!symbol(",")) break;
            ++pos_;
        }
        return out;
    }

    SourcePtr source() {
        enter();
        SourcePtr left = operand();
        for (;;) {
            std::string kind;
            if (word("INNER"))
                kind = "INNER";
            else if (word("LEFT"))
                kind = "LEFT";
            else if (word("RIGHT"))
                kind = "RIGHT";
            else if (word("FULL"))
                fail("FULL JOIN is not supported by Access");
            else if (word("JOIN"))
                fail("INNER, LEFT or RIGHT expected before JOIN");
            if (kind.empty()) break;
            ++pos_;
            if (word("OUTER")) ++pos_;
            if (!word("JOIN")) fail("JOIN expected");
            ++pos_;
            auto join = std::make_unique<Source>();
            join->kind = Source::Join;
            join->join = kind;
            join->left = std::move(left);
            join->right = operand();
            if (!word("ON")) fail("ON expected");
            ++pos_;
            join->on = expression();
            join->height = above(above(above(1, join->left->height), join->right->height), join->on->height);
            left = std::move(join);
        }
        leave();
        return left;
    }

    SourcePtr operand() {
        auto src = std::make_unique<Source>();
        if (symbol("(")) {
            ++pos_;
            if (word("SELECT") || symbol("(")) {
                // A bracket that opens another bracket may hold a query or a join; a query
                // starts with SELECT after its brackets.
                std::size_t look = pos_;
                while (toks_[look].kind == SqlToken::Symbol && toks_[look].text == "(") ++look;
                if (IsWord(toks_[look], "SELECT")) {
                    src->kind = Source::Subquery;
                    src->query = query();
                    src->height = above(1, src->query->height);
                    expectSymbol(")");
                    if (word("AS")) ++pos_;
                    if (atName()) src->alias = nameText();
                    return src;
                }
            }
            SourcePtr inner = source();
            expectSymbol(")");
            return inner;
        }
        src->name = nameText();
        while (symbol(".") && (peek().kind == SqlToken::Name || peek().kind == SqlToken::Word)) {
            // owner.table: Access keeps only the last part.
            ++pos_;
            src->name = toks_[pos_++].text;
        }
        if (word("IN")) {
            ++pos_;
            if (cur().kind != SqlToken::Text) fail("the file of IN expected as a quoted text");
            src->database = toks_[pos_++].text;
            if (cur().kind == SqlToken::Name) ++pos_;  // the connect text: [dBase IV;]
        }
        if (word("AS")) {
            ++pos_;
            src->alias = nameText();
        } else if (atName()) {
            src->alias = nameText();
        }
        return src;
    }

    std::string trimmed(std::size_t b, std::size_t e) const {
        return std::string(tolvaran::TrimEnd(std::string_view(sql_).substr(b, e > b ? e - b : 0)));
    }

    // ---- expressions, lowest precedence first ----

    ExprPtr expression() {
        enter();
        ExprPtr e = binaryLevel(0);
        leave();
        return e;
    }

    static int levelOf(const std::string& op) {
        if (op == "IMP") return 0;
        if (op == "EQV") return 1;
        if (op == "XOR") return 2;
        if (op == "OR") return 3;
        if (op == "AND") return 4;
        return -1;
    }

    // Levels 0 to 4: Imp, Eqv, Xor, Or, And (left to right); 5: Not; then comparisons.
    ExprPtr binaryLevel(int level) {
        if (level == 5) return notLevel();
        ExprPtr left = binaryLevel(level + 1);
        for (;;) {
            if (cur().kind != SqlToken::Word) return left;
            std::string op = tolvaran::UpperCase(cur().text);
            if (levelOf(op) != level) return left;
            auto e = node(Expr::Binary);
            ++pos_;
            e->op = op;
            add(*e, std::move(left));
            add(*e, binaryLevel(level + 1));
            left = std::move(e);
        }
    }

    ExprPtr notLevel() {
        if (word("NOT")) {
            auto e = node(Expr::Unary);
            ++pos_;
            e->op = "NOT";
            enter();
            add(*e, notLevel());
            leave();
            return e;
        }
        return comparison();
    }

    ExprPtr comparison() {
        ExprPtr left = concatenation();
        for (;;) {
            const std::size_t at = cur().pos;
            if (cur().kind == SqlToken::Symbol &&
                (cur().text == "=" || cur().text == "<>" || cur().text == "<" || cur().text == ">" ||
                 cur().text == "<=" || cur().text == ">=")) {
                auto e = node(Expr::Binary);
                e->op = toks_[pos_++].text;
                add(*e, std::move(left));
                if ((word("ALL") || word("ANY") || word("SOME")) && IsSymbol(peek(), "(") &&
                    IsWord(peek(2), "SELECT")) {
                    // x > ALL (SELECT ...): the comparison holds for every row, or for some.
                    e->kind = Expr::Quantified;
                    e->name = word("ALL") ? "ALL" : "ANY";
                    pos_ += 2;
                    hold(*e, query());
                    expectSymbol(")");
                } else {
                    add(*e, concatenation());
                }
                left = std::move(e);
                continue;
            }
            bool negated = false;
            if (word("NOT") &&
                (IsWord(peek(), "LIKE") || IsWord(peek(), "BETWEEN") || IsWord(peek(), "IN"))) {
                negated = true;
                ++pos_;
            }
            if (word("LIKE")) {
                ++pos_;
                auto e = node(Expr::Binary);
                e->pos = at;
                e->op = "LIKE";
                e->negated = negated;
                add(*e, std::move(left));
                add(*e, concatenation());
                left = std::move(e);
            } else if (word("BETWEEN")) {
                ++pos_;
                auto e = node(Expr::Between);
                e->pos = at;
                e->negated = negated;
                add(*e, std::move(left));
                add(*e, concatenation());
                if (!word("AND")) fail("AND expected in BETWEEN");
                ++pos_;
                add(*e, concatenation());
                left = std::move(e);
            } else if (word("IN")) {
                ++pos_;
                expectSymbol("(");
                ExprPtr e;
                if (word("SELECT")) {
                    e = node(Expr::InQuery);
                    hold(*e, query());
                    add(*e, std::move(left));
                } else {
                    e = node(Expr::InList);
                    add(*e, std::move(left));
                    commaList([&] { add(*e, expression()); });
                }
                expectSymbol(")");
                e->pos = at;
                e->negated = negated;
                left = std::move(e);
            } else if (word("IS")) {
                ++pos_;
                auto e = node(Expr::IsNull);
                e->pos = at;
                if (word("NOT")) {
                    e->negated = true;
                    ++pos_;
                }
                if (!word("NULL")) fail("NULL expected after IS");
                ++pos_;
                add(*e, std::move(left));
                left = std::move(e);
            } else {
                if (negated) fail("LIKE, BETWEEN or IN expected after NOT");
                return left;
            }
        }
    }

    ExprPtr binaryChain(ExprPtr (Parser::*next)(), std::initializer_list<const char*> ops) {
        ExprPtr left = (this->*next)();
        for (;;) {
            std::string op;
            for (const char* o : ops) {
                if ((cur().kind == SqlToken::Symbol && cur().text == o) || IsWord(cur(), o)) op = o;
            }
            if (op.empty()) return left;
            auto e = node(Expr::Binary);
            ++pos_;
            e->op = op;
            add(*e, std::move(left));
            add(*e, (this->*next)());
            left = std::move(e);
        }
    }
    ExprPtr concatenation() { return binaryChain(&Parser::additive, {"&"}); }
    ExprPtr additive() { return binaryChain(&Parser::modulo, {"+", "-"}); }
    ExprPtr modulo() { return binaryChain(&Parser::intDivision, {"MOD"}); }
    ExprPtr intDivision() { return binaryChain(&Parser::multiplicative, {"\\"}); }
    ExprPtr multiplicative() { return binaryChain(&Parser::negation, {"*", "/"}); }

    ExprPtr negation() {
        if (symbol("-") || symbol("+")) {
            auto e = node(Expr::Unary);
            e->op = toks_[pos_++].text;
            enter();
            add(*e, negation());
            leave();
            return e;
        }
        return power();
    }

    ExprPtr power() {
        ExprPtr left = primary();
        while (symbol("^")) {
            auto e = node(Expr::Binary);
            ++pos_;
            e->op = "^";
            add(*e, std::move(left));
            // The exponent may carry its own sign: 2^-1.
            if (symbol("-") || symbol("+")) {
                auto u = node(Expr::Unary);
                u->op = toks_[pos_++].text;
                add(*u, primary());
                add(*e, std::move(u));
            } else {
                add(*e, primary());
            }
            left = std::move(e);
        }
        return left;
    }

    ExprPtr literal(vb::Variant v) {
        auto e = node(Expr::Literal);
        e->value = std::move(v);
        ++pos_;
        return e;
    }

    ExprPtr primary() {
        const SqlToken& t = cur();
        switch (t.kind) {
            case SqlToken::Number: {
                const bool whole = t.text.find_first_of(".eE") == std::string::npos;
                if (whole && t.text.size() < 10) return literal(vb::Variant(std::atoll(t.text.c_str())));
                const double x = std::strtod(t.text.c_str(), nullptr);
                if (!std::isfinite(x)) {
                    fail("the number " + (t.text.size() > 40 ? t.text.substr(0, 40) + "..." : t.text) +
                         " is out of range: a number lies between -1.79769313486232E+308 and "
                         "1.79769313486232E+308");
                }
                return literal(vb::Variant(x));
            }
            case SqlToken::Text:
                return literal(vb::Variant(t.text));
            case SqlToken::Date: {
                vb::Variant v;
                try {
                    v = vb::Variant(vb::Variant(t.text).ToDate());
                } catch (const vb::ComError&) {
                    fail("#" + t.text + "# is not a date");
                }
                return literal(v);
            }
            case SqlToken::Param: {
                auto e = node(Expr::Param);
                e->value = vb::Variant(placeholders_++);
                ++pos_;
                return e;
            }
            case SqlToken::Symbol:
                if (t.text == "(") {
                    ++pos_;
                    if (word("SELECT")) {
                        auto e = node(Expr::Subquery);
                        hold(*e, query());
                        expectSymbol(")");
                        return e;
                    }
                    ExprPtr inner = expression();
                    expectSymbol(")");
                    return inner;
                }
                fail("an expression expected, found " + describe(t));
            case SqlToken::Word: {
                const std::string w = tolvaran::UpperCase(t.text);
                if (w == "TRUE" || w == "YES" || w == "ON") return literal(vb::Variant(true));
                if (w == "FALSE" || w == "NO" || w == "OFF") return literal(vb::Variant(false));
                if (w == "NULL") return literal(vb::Variant::null());
                if (w == "EXISTS") {
                    auto e = node(Expr::Exists);
                    ++pos_;
                    expectSymbol("(");
                    hold(*e, query());
                    expectSymbol(")");
                    return e;
                }
                // Function names may be join words too: Left( and Right( are calls.
                if (peek().kind == SqlToken::Symbol && peek().text == "(" && w != "NOT" && w != "IN")
                    return call();
                if (reserved(t)) fail("an expression expected, found " + describe(t));
                return name();
            }
            case SqlToken::Name:
                return name();
            default:
                fail("an expression expected, found " + describe(t));
        }
    }

    ExprPtr call() {
        auto e = node(Expr::Call);
        e->name = toks_[pos_].text;
        pos_ += 2;
        if (symbol(")")) {
            ++pos_;
            return e;
        }
        if (word("DISTINCT")) fail("DISTINCT inside " + e->name + "( ) is not supported by Access");
        for (;;) {
            if (symbol("*")) {
                add(*e, node(Expr::Star));
                ++pos_;
            } else {
                add(*e, expression());
            }
            if (!symbol(",")) break;
            ++pos_;
        }
        expectSymbol(")");
        return e;
    }

    ExprPtr name() {
        auto e = node(Expr::Name);
        e->parts.push_back(toks_[pos_++].text);
        e->name = e->parts.back();
        while ((symbol(".") || symbol("!")) &&
               (peek().kind == SqlToken::Name || peek().kind == SqlToken::Word)) {
            if (symbol("!")) e->bang = true;
            e->name += toks_[pos_++].text;
            e->parts.push_back(toks_[pos_++].text);
            e->name += e->parts.back();
        }
        return e;
    }

    const std::string& sql_;
    std::vector<SqlToken> toks_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    int placeholders_ = 0;
    bool into_ = false;
};

}  // namespace

Statement ParseJetSql(const std::string& sql) {
    // SQLite reads a statement up to its first NUL; Access takes none in its texts either.
    const std::size_t nul = sql.find('\0');
    if (nul != std::string::npos) {
        throw vb::ComError(kErrSyntax,
                           "Syntax error at position " + std::to_string(nul + 1) +
                               " (a NUL character, code 0, stands in the statement: no text or name in it "
                               "may hold one; give such a text as a parameter or with Chr(0)): " +
                               Excerpt(sql.substr(0, nul)) + "...",
                           "Jet");
    }
    return Parser(sql).statement();
}

std::string Excerpt(const std::string& sql) {
    std::size_t shown = std::min<std::size_t>(sql.size(), 200);
    while (shown > 0 && shown < sql.size() && (static_cast<unsigned char>(sql[shown]) & 0xC0) == 0x80)
        --shown;
    return sql.substr(0, shown) + (shown < sql.size() ? "..." : "");
}

}  // namespace ado::jetsql
