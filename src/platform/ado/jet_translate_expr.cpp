// The expression part of the translator: names, parameters, operators, functions,
// aggregates, domain functions and subqueries.
#include <cmath>

#include "platform/ado/jet_functions.h"
#include "platform/ado/jet_translate_impl.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace ado::jettr {

namespace {

constexpr long kErrSyntax = static_cast<long>(0x80040E14);
constexpr long kErrTypeMismatch = static_cast<long>(0x80040E07);

JetType Numeric(JetType t) {
    return t == JetType::Boolean ? JetType::Integer : t;
}

void Merge(TExpr& into, const TExpr& from) {
    into.aggregate = into.aggregate || from.aggregate;
    into.sources.insert(into.sources.end(), from.sources.begin(), from.sources.end());
}

TExpr Made(std::string sql, JetType type, std::initializer_list<const TExpr*> from) {
    TExpr t;
    t.sql = std::move(sql);
    t.type = type;
    for (const TExpr* f : from) Merge(t, *f);
    return t;
}

// The SQL name of an aggregate.
const char* AggregateSql(const std::string& fn) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"Sum", "SUM"},           {"Avg", "AVG"},         {"Count", "COUNT"},   {"Min", "MIN"},
        {"Max", "MAX"},           {"First", "jet_first"}, {"Last", "jet_last"}, {"StDev", "jet_stdev"},
        {"StDevP", "jet_stdevp"}, {"Var", "jet_var"},     {"VarP", "jet_varp"}};
    for (const auto& [name, sql] : kNames)
        if (fn == name) return sql;
    return "";
}

bool IsLiteral(const jetsql::Expr* e) {
    return e && e->kind == jetsql::Expr::Literal;
}

[[noreturn]] void Mismatch(const vb::Variant& text, const char* what, const std::string& statement) {
    throw vb::ComError(kErrTypeMismatch,
                       "Data type mismatch in criteria expression: the text '" + text.ToString() +
                           "' is compared with a " + what + " and is no " + what +
                           ". Statement: " + statement,
                       "Jet");
}

// A text compared with a date is read as a date, as Jet reads it: a text literal once (one
// that is no date is a type mismatch), any other text row by row (Null stays Null). source:
// the text as written, nullptr for a value the statement computes.
TExpr AsDate(const jetsql::Expr* source, TExpr t, const std::string& statement) {
    if (!IsJetText(t.type)) return t;
    if (IsLiteral(source)) {
        try {
            t.sql = JetSqlLiteral(vb::Variant(source->value.ToDate()));
        } catch (const vb::ComError&) {
            Mismatch(source->value, "date", statement);
        }
    } else {
        t.sql = "(CASE WHEN " + t.sql + " IS NULL THEN NULL ELSE jet_CDate('-', " + t.sql + ") END)";
    }
    t.type = JetType::Date;
    return t;
}

bool IsNumber(JetType t) {
    return IsJetNumeric(t) && t != JetType::Boolean;
}

// A number n compared with a text t, as a column of numbers compares with a text: a text
// written in the statement is read as a number once (one that is none is a type mismatch); a
// number written in the statement, against a computed text, is its text, as a column of texts
// takes it; a computed number takes a computed text as a number where it reads as one.
void NumberWithText(const jetsql::Expr* numberSource, TExpr& n, const jetsql::Expr* textSource, TExpr& t,
                    const std::string& statement) {
    if (IsLiteral(textSource)) {
        const vb::Variant& text = textSource->value;
        if (!text.IsNumeric()) Mismatch(text, "number", statement);
        const double x = text.ToDouble();
        const bool whole = x == std::trunc(x) && std::fabs(x) < 9e15;
        t.sql = JetSqlLiteral(whole ? vb::Variant(static_cast<long long>(x)) : vb::Variant(x));
        t.type = whole ? JetType::Long : JetType::Double;
    } else if (t.column) {
        // SQLite gives the column's texts their own affinity: the number is read as a text.
    } else if (IsLiteral(numberSource)) {
        n.sql = JetSqlLiteral(vb::Variant(numberSource->value.ToString()));
        n.type = JetType::Text;
    } else if (!n.column) {
        n.sql = "CAST(" + n.sql + " AS NUMERIC)";  // numeric affinity, as a column of numbers has
    }
}

// Two values about to be compared, made comparable where one is a number and the other a
// text (sources as for AsDate).
void Comparable(const jetsql::Expr* sa, TExpr& a, const jetsql::Expr* sb, TExpr& b,
                const std::string& statement) {
    if (IsNumber(a.type) && IsJetText(b.type))
        NumberWithText(sa, a, sb, b, statement);
    else if (IsNumber(b.type) && IsJetText(a.type))
        NumberWithText(sb, b, sa, a, statement);
}

// A domain as a source of the statement text: a name, bracketed unless it is bracketed.
std::string DomainSource(const std::string& domain) {
    const std::string d(tolvaran::TrimBlanks(domain, " "));
    return !d.empty() && d.front() == '[' ? d : "[" + d + "]";
}

}  // namespace

JetType LiteralType(const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Boolean:
            return JetType::Boolean;
        case vb::VarType::Long:
            return JetType::Long;
        case vb::VarType::Double:
            return JetType::Double;
        case vb::VarType::Date:
            return JetType::Date;
        case vb::VarType::String:
            return JetType::Text;
        case vb::VarType::Bytes:
            return JetType::LongBinary;
        default:
            return JetType::Null;
    }
}

std::string Translator::tags(const std::vector<TExpr>& args) const {
    std::string t = "'";
    for (const auto& a : args) t += Tag(a.type);
    return t + "'";
}

void Translator::typeParameter(const TExpr& param, JetType type) {
    if (param.param < 0 || type == JetType::Value || type == JetType::Null) return;
    JetParameter& p = params_[static_cast<size_t>(param.param)];
    if (p.type == JetType::Value) p.type = type;
}

TExpr Translator::parameter(const std::string& name) {
    const int i = declare(name, JetType::Value);
    TExpr t;
    t.sql = "?" + std::to_string(i + 1);
    t.type = params_[static_cast<size_t>(i)].type;
    t.param = i;
    return t;
}

TExpr Translator::name(const jetsql::Expr& e, Scope& scope) {
    auto columnOf = [](const SourceInfo& src, const std::string& field) -> TExpr {
        for (const auto& f : src.fields) {
            if (!tolvaran::EqualsNoCase(f.name, field)) continue;
            TExpr t;
            t.sql = JetSqlName(src.alias) + "." + JetSqlName(f.name);
            t.type = f.type;
            t.sources = {src.id};
            t.column = &f;
            return t;
        }
        return TExpr{};
    };
    for (Scope* s = &scope; s; s = s->outer) {
        if (e.parts.size() == 1) {
            std::vector<TExpr> hits;
            for (const auto& src : s->sources) {
                TExpr t = columnOf(src, e.parts[0]);
                if (!t.sql.empty()) hits.push_back(std::move(t));
            }
            if (hits.size() > 1) {
                throw vb::ComError(
                    kErrSyntax,
                    "The specified field '" + e.parts[0] +
                        "' could refer to more than one table listed in the FROM clause of your SQL "
                        "statement: " +
                        sql_,
                    "Jet");
            }
            if (hits.size() == 1) return hits[0];
            for (const auto& [alias, value] : s->aliases) {
                if (!tolvaran::EqualsNoCase(alias, e.parts[0])) continue;
                TExpr t = value;
                t.sql = "(" + t.sql + ")";
                t.column = nullptr;
                return t;
            }
        } else if (e.parts.size() == 2) {
            // An aliased table answers only to its alias; a name no source of this query
            // answers to is looked up in the enclosing query.
            for (const auto& src : s->sources) {
                if (!tolvaran::EqualsNoCase(src.alias, e.parts[0])) continue;
                TExpr t = columnOf(src, e.parts[1]);
                if (!t.sql.empty()) return t;
                return parameter(e.name);  // Orders.Nope: Jet asks for it as a parameter
            }
        } else {
            break;
        }
    }
    // By the name of a table that has an alias, the innermost first: Jet would ask for it as a
    // parameter, but the program's own statements write it.
    if (e.parts.size() == 2) {
        for (Scope* s = &scope; s; s = s->outer) {
            for (const auto& src : s->sources) {
                if (src.table.empty() || !tolvaran::EqualsNoCase(src.table, e.parts[0])) continue;
                TExpr t = columnOf(src, e.parts[1]);
                if (!t.sql.empty()) return t;
                return parameter(e.name);
            }
        }
    }
    return parameter(e.name);
}

TExpr Translator::infix(TExpr a, const std::string& op, const TExpr& b, char chain, JetType type) const {
    std::string sql;
    if (a.chain == chain) {
        sql = std::move(a.sql);
        sql.pop_back();
    } else {
        sql = "(" + a.sql;
    }
    TExpr t = Made(sql + " " + op + " " + b.sql + ")", type, {&a, &b});
    t.chain = chain;
    return t;
}

TExpr Translator::comparison(const std::string& op, TExpr a, TExpr b) {
    typeParameter(a, b.type);
    typeParameter(b, a.type);
    if (a.param >= 0) a.type = params_[static_cast<size_t>(a.param)].type;
    if (b.param >= 0) b.type = params_[static_cast<size_t>(b.param)].type;
    std::string sql;
    const bool booleans = (a.type == JetType::Boolean || b.type == JetType::Boolean) &&
                          (a.type == JetType::Boolean || a.type == JetType::Null) ==
                              (b.type == JetType::Boolean || b.type == JetType::Null);
    if (booleans && (op == "=" || op == "<>")) {
        // True is -1 in a table and 1 from a comparison: compare truth.
        sql = "(((" + a.sql + ") <> 0) " + op + " ((" + b.sql + ") <> 0))";
    } else {
        const bool text = Textual(a.type) || Textual(b.type);
        sql = "(" + a.sql + " " + op + " " + b.sql + (text ? " COLLATE JETTEXT" : "") + ")";
    }
    return Made(sql, JetType::Boolean, {&a, &b});
}

TExpr Translator::binary(const jetsql::Expr& e, Scope& scope) {
    const std::string& op = e.op;
    TExpr a = expr(*e.args[0], scope);
    TExpr b = expr(*e.args[1], scope);
    if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
        if (a.type == JetType::Date) b = AsDate(e.args[1].get(), std::move(b), sql_);
        if (b.type == JetType::Date) a = AsDate(e.args[0].get(), std::move(a), sql_);
        Comparable(e.args[0].get(), a, e.args[1].get(), b, sql_);
        return comparison(op, a, b);
    }
    if (op == "AND" || op == "OR")
        return infix(std::move(a), op, b, op == "AND" ? 'A' : 'O', JetType::Boolean);
    const std::string ta = "((" + a.sql + ") <> 0)", tb = "((" + b.sql + ") <> 0)";
    if (op == "XOR") return Made("(" + ta + " <> " + tb + ")", JetType::Boolean, {&a, &b});
    if (op == "EQV") return Made("(" + ta + " = " + tb + ")", JetType::Boolean, {&a, &b});
    if (op == "IMP") return Made("(NOT " + ta + " OR " + tb + ")", JetType::Boolean, {&a, &b});
    if (op == "LIKE") {
        typeParameter(b, JetType::Text);
        const std::string like = "jet_like(" + tags({a, b}) + ", " + a.sql + ", " + b.sql + ")";
        return Made(e.negated ? "(NOT " + like + ")" : like, JetType::Boolean, {&a, &b});
    }
    const std::string args = tags({a, b}) + ", " + a.sql + ", " + b.sql + ")";
    if (op == "&") return Made("jet_concat(" + args, JetType::Text, {&a, &b});
    if (op == "\\") return Made("jet_intdiv(" + args, JetType::Long, {&a, &b});
    if (op == "MOD") return Made("jet_mod(" + args, JetType::Long, {&a, &b});
    if (op == "^") return Made("jet_pow(" + args, JetType::Double, {&a, &b});
    if (op == "/") return Made("jet_div(" + args, JetType::Double, {&a, &b});
    const bool dateA = a.type == JetType::Date, dateB = b.type == JetType::Date;
    if (op == "+") {
        if (IsJetText(a.type) && IsJetText(b.type)) return infix(std::move(a), "||", b, '|', JetType::Text);
        const bool known = (IsJetNumeric(a.type) || dateA || a.type == JetType::Null) &&
                           (IsJetNumeric(b.type) || dateB || b.type == JetType::Null);
        if (!known)
            return Made("jet_plus(" + args, dateA || dateB ? JetType::Date : JetType::Value, {&a, &b});
        const JetType t = dateA || dateB ? JetType::Date : JetUnifyTypes(Numeric(a.type), Numeric(b.type));
        return infix(std::move(a), "+", b, '+', t);
    }
    if (op == "-") {
        const JetType t = dateA && dateB ? JetType::Double
                          : dateA        ? JetType::Date
                                         : JetUnifyTypes(Numeric(a.type), Numeric(b.type));
        return infix(std::move(a), "-", b, '+', t);
    }
    if (op == "*") {
        const JetType t = JetUnifyTypes(Numeric(a.type), Numeric(b.type));
        return infix(std::move(a), "*", b, '*', t);
    }
    Unsupported(sql_, "the operator " + op);
}

TExpr Translator::subquery(const jetsql::Query& q, Scope& scope) {
    Result r = query(q, &scope);
    TExpr t;
    t.sql = r.sql;
    t.type = r.fields.empty() ? JetType::Value : r.fields[0].type;
    return t;
}

TExpr Translator::quantified(const jetsql::Expr& e, Scope& scope) {
    TExpr a = expr(*e.args[0], scope);
    Result r = query(*e.query, &scope);
    if (r.fields.size() != 1) {
        throw vb::ComError(
            kErrSyntax,
            "You have written a subquery that can return more than one field: the subquery of " + e.name +
                " gives " + std::to_string(r.fields.size()) +
                " columns and must give one. Statement: " + sql_,
            "Jet");
    }
    // Each row of the subquery is compared in turn: ALL holds when no comparison fails, ANY
    // when one holds; otherwise a comparison with Null leaves the answer Null.
    const std::string q = JetSqlName("__q" + std::to_string(++nextQuantified_));
    TExpr v;
    v.sql = q + "." + JetSqlName(r.fields[0].name);
    v.type = r.fields[0].type;
    if (a.type == JetType::Date) v = AsDate(nullptr, std::move(v), sql_);
    if (v.type == JetType::Date) a = AsDate(e.args[0].get(), std::move(a), sql_);
    Comparable(e.args[0].get(), a, nullptr, v, sql_);
    const TExpr c = comparison(e.op, a, v);
    const std::string rows = "EXISTS (SELECT 1 FROM (" + r.sql + ") AS " + q + " WHERE ";
    const std::string unknown = rows + "(" + c.sql + ") IS NULL)";
    const std::string sql =
        e.name == "ALL"
            ? "(CASE WHEN " + rows + "NOT " + c.sql + ") THEN 0 WHEN " + unknown + " THEN NULL ELSE 1 END)"
            : "(CASE WHEN " + rows + c.sql + ") THEN 1 WHEN " + unknown + " THEN NULL ELSE 0 END)";
    return Made(sql, JetType::Boolean, {&a});
}

TExpr Translator::aggregate(const jetsql::Expr& e, Scope& scope, const std::string& fn) {
    if (scope.inAggregate) Unsupported(sql_, "an aggregate inside " + fn + "( )");
    const char* sqlName = AggregateSql(fn);
    const jetsql::Expr& arg = *e.args[0];
    const std::string filter = scope.pivotFilter ? *scope.pivotFilter : std::string();
    TExpr t;
    t.aggregate = true;
    if (arg.kind == jetsql::Expr::Star) {
        if (fn != "Count") Unsupported(sql_, fn + "(*)");
        t.sql = filter.empty() ? "COUNT(*)" : "COUNT(CASE WHEN " + filter + " THEN 1 END)";
        t.type = JetType::Long;
        return t;
    }
    scope.inAggregate = true;
    TExpr inner;
    try {
        inner = expr(arg, scope);
    } catch (...) {
        scope.inAggregate = false;
        throw;
    }
    scope.inAggregate = false;
    std::string value = inner.sql;
    if ((fn == "Min" || fn == "Max") && Textual(inner.type)) value += " COLLATE JETTEXT";
    if (!filter.empty()) value = "CASE WHEN " + filter + " THEN " + value + " END";
    t.sql = std::string(sqlName) + "(" + value + ")";
    t.type = FindJetFunction(fn)->result({inner.type});
    t.sources = inner.sources;
    return t;
}

TExpr Translator::domain(const jetsql::Expr& e, Scope& scope, const std::string& fn) {
    std::vector<TExpr> args;
    for (const auto& a : e.args) args.push_back(expr(*a, scope));
    auto literal = [&](size_t i) {
        return i >= e.args.size() || (e.args[i]->kind == jetsql::Expr::Literal && e.args[i]->value.IsText());
    };
    if (!literal(0) || !literal(1)) {
        Unsupported(sql_,
                    fn + " whose field or domain is not written as a text (the criteria may be computed)");
    }
    const std::string field = e.args[0]->value.ToString();
    const std::string source = DomainSource(e.args[1]->value.ToString());
    const std::string agg = fn == "DLookup" ? "" : fn.substr(1);
    const std::string select =
        "SELECT " + (agg.empty() ? field : agg + "(" + field + ")") + " FROM " + source;
    if (literal(2)) {
        // Field, domain and criteria are known: a subquery of this statement.
        const std::string text = select + (e.args.size() > 2 ? " WHERE " + e.args[2]->value.ToString() : "");
        const jetsql::Statement st = jetsql::ParseJetSql(text);
        if (st.kind != jetsql::Statement::Select || st.placeholders > 0)
            Unsupported(sql_, fn + " with " + text);
        Result r = query(*st.query, nullptr);
        TExpr t;
        t.sql = "(" + r.sql + (agg.empty() ? " LIMIT 1" : "") + ")";
        t.type = r.fields.empty() ? JetType::Value : r.fields[0].type;
        return t;
    }
    // Criteria computed row by row: the engine translates and runs the lookup as each row
    // asks; the domain's tables are read now.
    {
        Translator probe(host_, values_);
        probe.depth_ = depth_;
        probe.translate(select);
    }
    TExpr t = Made("jet_domain('" + fn + "', " + JetSqlLiteral(vb::Variant(select)) + ", " + tags({args[2]}) +
                       ", " + args[2].sql + ")",
                   JetType::Value, {&args[2]});
    return t;
}

TExpr Translator::call(const jetsql::Expr& e, Scope& scope) {
    const JetFunction* fn = FindJetFunction(e.name);
    if (!fn) {
        Unsupported(sql_,
                    "the function " + e.name +
                        " is none of the built-in functions this engine runs (a function of the file's VBA "
                        "modules runs only inside Access)");
    }
    const int n = static_cast<int>(e.args.size());
    if (n < fn->minArgs || n > fn->maxArgs)
        Unsupported(sql_, std::string(fn->name) + " with " + std::to_string(n) + " arguments");
    if (fn->kind == JetFunction::Aggregate) return aggregate(e, scope, fn->name);
    if (fn->kind == JetFunction::Domain) return domain(e, scope, fn->name);
    std::vector<TExpr> args;
    std::vector<JetType> types;
    for (const auto& a : e.args) {
        if (a->kind == jetsql::Expr::Star) Unsupported(sql_, std::string(fn->name) + "(*)");
        args.push_back(expr(*a, scope));
        types.push_back(args.back().type);
    }
    TExpr t;
    for (const auto& a : args) Merge(t, a);
    t.type = fn->result(types);
    const std::string name = fn->name;
    if (name == "IIf") {
        t.sql = "(CASE WHEN " + args[0].sql + " THEN " + args[1].sql + " ELSE " + args[2].sql + " END)";
    } else if (name == "Nz") {
        t.sql = "COALESCE(" + args[0].sql + ", " + (n > 1 ? args[1].sql : std::string("''")) + ")";
    } else if (name == "Switch") {
        if (n % 2 != 0) Unsupported(sql_, "Switch with an odd number of arguments");
        t.sql = "(CASE";
        for (int i = 0; i < n; i += 2) t.sql += " WHEN " + args[i].sql + " THEN " + args[i + 1].sql;
        t.sql += " END)";
    } else if (name == "IsNull") {
        t.sql = "(" + args[0].sql + " IS NULL)";
    } else {
        t.sql = "jet_" + name + "(" + tags(args);
        for (const auto& a : args) t.sql += ", " + a.sql;
        t.sql += ")";
    }
    return t;
}

TExpr Translator::expr(const jetsql::Expr& e, Scope& scope) {
    using K = jetsql::Expr;
    const Level level(*this);
    switch (e.kind) {
        case K::Literal: {
            TExpr t;
            t.sql = JetSqlLiteral(e.value);
            t.type = LiteralType(e.value);
            return t;
        }
        case K::Param: {
            const int i = static_cast<int>(e.value.ToLong());
            TExpr t;
            t.sql = "?" + std::to_string(i + 1);
            t.param = i;
            t.type = params_[static_cast<size_t>(i)].type;
            return t;
        }
        case K::Name:
            return name(e, scope);
        case K::Star:
            Unsupported(sql_, "* outside the select list and Count(*)");
        case K::Unary: {
            TExpr a = expr(*e.args[0], scope);
            if (e.op == "+") return a;
            if (e.op == "-")
                return Made("(- " + a.sql + ")", a.type == JetType::Date ? JetType::Date : Numeric(a.type),
                            {&a});
            // Not: logical on truth values, bitwise on whole numbers as Jet does.
            const bool whole =
                a.type == JetType::Byte || a.type == JetType::Integer || a.type == JetType::Long;
            return Made(whole ? "(~ " + a.sql + ")" : "(NOT " + a.sql + ")",
                        whole ? a.type : JetType::Boolean, {&a});
        }
        case K::Binary:
            return binary(e, scope);
        case K::Between: {
            TExpr a = expr(*e.args[0], scope), lo = expr(*e.args[1], scope), hi = expr(*e.args[2], scope);
            if (a.type == JetType::Date) {
                lo = AsDate(e.args[1].get(), std::move(lo), sql_);
                hi = AsDate(e.args[2].get(), std::move(hi), sql_);
            } else if (lo.type == JetType::Date || hi.type == JetType::Date) {
                a = AsDate(e.args[0].get(), std::move(a), sql_);
            }
            Comparable(e.args[0].get(), a, e.args[1].get(), lo, sql_);
            Comparable(e.args[0].get(), a, e.args[2].get(), hi, sql_);
            typeParameter(lo, a.type);
            typeParameter(hi, a.type);
            typeParameter(a, lo.type);
            const bool text = Textual(a.type) || Textual(lo.type);
            return Made("(" + a.sql + (text ? " COLLATE JETTEXT" : "") + (e.negated ? " NOT" : "") +
                            " BETWEEN " + lo.sql + " AND " + hi.sql + ")",
                        JetType::Boolean, {&a, &lo, &hi});
        }
        case K::InList: {
            TExpr a = expr(*e.args[0], scope);
            std::string list;
            bool text = Textual(a.type);
            std::vector<TExpr> items;
            for (size_t i = 1; i < e.args.size(); ++i) {
                items.push_back(expr(*e.args[i], scope));
                if (a.type == JetType::Date)
                    items.back() = AsDate(e.args[i].get(), std::move(items.back()), sql_);
                // A value written in the list takes the type of what is looked for.
                if (IsLiteral(e.args[i].get()))
                    Comparable(e.args[0].get(), a, e.args[i].get(), items.back(), sql_);
                typeParameter(items.back(), a.type);
                text = text || IsJetText(items.back().type);
                list += (i > 1 ? ", " : "") + items.back().sql;
            }
            TExpr t = Made("(" + a.sql + (text ? " COLLATE JETTEXT" : "") + (e.negated ? " NOT" : "") +
                               " IN (" + list + "))",
                           JetType::Boolean, {&a});
            for (const auto& i : items) Merge(t, i);
            return t;
        }
        case K::InQuery: {
            TExpr a = expr(*e.args[0], scope);
            TExpr q = subquery(*e.query, scope);
            return Made("(" + a.sql + (Textual(a.type) ? " COLLATE JETTEXT" : "") +
                            (e.negated ? " NOT" : "") + " IN (" + q.sql + "))",
                        JetType::Boolean, {&a});
        }
        case K::IsNull: {
            TExpr a = expr(*e.args[0], scope);
            return Made("(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"), JetType::Boolean, {&a});
        }
        case K::Exists: {
            TExpr q = subquery(*e.query, scope);
            TExpr t;
            t.sql = "(EXISTS (" + q.sql + "))";
            t.type = JetType::Boolean;
            return t;
        }
        case K::Subquery: {
            TExpr q = subquery(*e.query, scope);
            q.sql = "(" + q.sql + ")";
            return q;
        }
        case K::Call:
            return call(e, scope);
        case K::Quantified:
            return quantified(e, scope);
    }
    Unsupported(sql_, "an expression of an unknown kind");
}

}  // namespace ado::jettr
