// The statement part of the translator: statements, queries, select lists, FROM lists,
// clauses, TOP, DISTINCTROW, UNION and crosstabs.
#include <algorithm>
#include <map>
#include <set>

#include "platform/ado/jet_functions.h"
#include "platform/ado/jet_translate_impl.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/vbconvert.h"

namespace ado {

namespace jettr {

namespace {

constexpr long kErrSyntax = static_cast<long>(0x80040E14);
constexpr long kErrNoValue = static_cast<long>(0x80040E10);  // no value given for a parameter

// The conjuncts of a condition written as a AND b AND c.
void Conjuncts(const jetsql::Expr& e, std::vector<const jetsql::Expr*>& out) {
    if (e.kind == jetsql::Expr::Binary && e.op == "AND") {
        Conjuncts(*e.args[0], out);
        Conjuncts(*e.args[1], out);
    } else {
        out.push_back(&e);
    }
}

bool IsPlainStar(const jetsql::SelectCore& s) {
    return s.items.size() == 1 && s.items[0].expr->kind == jetsql::Expr::Star &&
           s.items[0].expr->parts.empty();
}

std::string OrderTerm(const std::string& sql, JetType type, bool descending) {
    return sql + (Textual(type) ? " COLLATE JETTEXT" : "") + (descending ? " DESC" : "");
}

// A value the engine groups, keeps distinct or hands on as a column (to a UNION, an enclosing
// query) compares as Jet compares texts, whatever expression made it; a plain column has the
// collation from its table already.
std::string Keyed(const TExpr& t) {
    return Textual(t.type) && !t.column ? "(" + t.sql + " COLLATE JETTEXT)" : t.sql;
}

}  // namespace

char Tag(JetType t) {
    return t == JetType::Date ? 'D' : t == JetType::Boolean ? 'B' : t == JetType::Single ? 'S' : '-';
}

bool Textual(JetType t) {
    return IsJetText(t) || t == JetType::Value;
}

void Unsupported(const std::string& sql, const std::string& what) {
    throw vb::ComError(kErrSyntax,
                       "This statement cannot be run on the Access file: " + what + ". Statement: " + sql,
                       "Jet");
}

Translator::Level::Level(Translator& t) : t_(t) {
    if (++t_.depth_ > kMaxTranslateDepth) {
        --t_.depth_;
        throw vb::ComError(
            kErrSyntax,
            "Query is too complex: with the saved queries and domain functions it draws on, it "
            "nests more than " +
                std::to_string(kMaxTranslateDepth) + " levels deep. Statement: " + jetsql::Excerpt(t_.sql_),
            "Jet");
    }
}

std::string Translator::withClause() const {
    return withs_.empty() ? std::string() : "WITH " + tolvaran::JoinList(withs_, ", ") + " ";
}

int Translator::declare(const std::string& name, JetType type) {
    auto [it, added] = paramIndex_.try_emplace(name, static_cast<int>(params_.size()));
    if (!added) {
        JetParameter& p = params_[static_cast<size_t>(it->second)];
        if (p.type == JetType::Value) p.type = type;
        return it->second;
    }
    params_.push_back(JetParameter{name, type == JetType::Value ? seed(params_.size()) : type});
    return it->second;
}

JetTranslation Translator::translate(const std::string& sql) {
    sql_ = sql;
    const jetsql::Statement st = jetsql::ParseJetSql(sql);
    for (int i = 0; i < st.placeholders; ++i) params_.push_back(JetParameter{"?", seed(params_.size())});
    // A bare table or saved query, or SELECT * FROM it with nothing else: a saved query runs
    // as itself, so its order and column names are its own.
    if (st.kind == jetsql::Statement::Select && st.query->parts.size() == 1 && st.query->orderBy.empty()) {
        const jetsql::SelectCore& core = *st.query->parts[0];
        if (IsPlainStar(core) && core.from.size() == 1 && core.from[0]->kind == jetsql::Source::Table &&
            core.from[0]->database.empty() && core.from[0]->alias.empty() && !core.where &&
            core.groupBy.empty() && !core.having && core.top < 0 && !core.distinct && !core.distinctRow) {
            const std::string& name = core.from[0]->name;
            if (!host_.table(name, "")) {
                if (auto saved = host_.savedQuery(name)) {
                    expanding_.push_back(saved->name);
                    sql_ = saved->sql;
                    Result r = statement(jetsql::ParseJetSql(saved->sql));
                    return JetTranslation{withClause() + r.sql, std::move(r.fields), params_};
                }
            }
        }
    }
    Result r = statement(st);
    return JetTranslation{withClause() + r.sql, std::move(r.fields), params_};
}

Result Translator::statement(const jetsql::Statement& st) {
    if (st.kind == jetsql::Statement::Write)
        throw vb::ComError(kErrJetWrite, "The statement writes (" + st.writeVerb + "): " + sql_, "Jet");
    for (const auto& p : st.parameters) declare(p.name, JetTypeFromText(p.type));
    if (st.kind == jetsql::Statement::Crosstab) return crosstab(st);
    return query(*st.query, nullptr);
}

const std::vector<JetField>& Translator::savedQuery(const std::string& name, std::string& sqlName) {
    for (const auto& c : ctes_) {
        if (tolvaran::EqualsNoCase(c.name, name)) {
            sqlName = c.name;
            return c.fields;
        }
    }
    auto saved = host_.savedQuery(name);
    if (!saved) {
        throw vb::ComError(vb::kErrGeneric,
                           "The Microsoft Jet database engine cannot find the input table or query '" + name +
                               "'. Make sure it exists and that its name is spelled correctly.",
                           "Jet");
    }
    for (const auto& open : expanding_) {
        if (tolvaran::EqualsNoCase(open, saved->name)) {
            std::string chain;
            for (const auto& q : expanding_) chain += q + " -> ";
            throw vb::ComError(kErrSyntax,
                               "The saved query " + saved->name + " draws on itself: " + chain + saved->name,
                               "Jet");
        }
    }
    const jetsql::Statement st = jetsql::ParseJetSql(saved->sql);
    if (st.placeholders > 0)
        Unsupported(saved->sql, "a \"?\" placeholder inside the saved query " + saved->name);
    expanding_.push_back(saved->name);
    const std::string outerSql = sql_;
    sql_ = saved->sql;
    Result r = statement(st);
    sql_ = outerSql;
    expanding_.pop_back();
    // Each saved query is computed once per statement, however often the statement reads it.
    withs_.push_back(JetSqlName(saved->name) + " AS MATERIALIZED (" + r.sql + ")");
    ctes_.push_back(Cte{saved->name, std::move(r.fields)});
    sqlName = saved->name;
    return ctes_.back().fields;
}

std::string Translator::from(const jetsql::Source& s, Scope& scope) {
    SourceInfo info;
    info.id = nextSource_++;
    std::string sql;
    switch (s.kind) {
        case jetsql::Source::Join: {
            const std::string left = from(*s.left, scope);
            const std::string right = from(*s.right, scope);
            const TExpr on = expr(*s.on, scope);
            if (on.aggregate) Unsupported(sql_, "an aggregate in the ON of a join");
            // SQLite reads the left side of a RIGHT JOIN first and searches the right side
            // without an index for each of its rows; written as the LEFT JOIN it is, the right
            // side is read first and its partners are looked up. A join on the left stays: on
            // the right of a join SQLite would read it as a subquery, without the rowids
            // DISTINCTROW needs.
            if (s.join == "RIGHT" && s.left->kind != jetsql::Source::Join)
                return "(" + right + " LEFT JOIN " + left + " ON " + on.sql + ")";
            return "(" + left + " " + s.join + " JOIN " + right + " ON " + on.sql + ")";
        }
        case jetsql::Source::Subquery: {
            Result r = query(*s.query, nullptr);
            info.alias = s.alias.empty() ? "Query" + std::to_string(++nextSubquery_) : s.alias;
            info.fields = std::move(r.fields);
            sql = "(" + r.sql + ")";
            break;
        }
        case jetsql::Source::Table: {
            info.alias = s.alias.empty() ? s.name : s.alias;
            info.table = s.name;
            if (auto t = host_.table(s.name, s.database)) {
                sql = JetSqlName(t->sqlName);
                info.fields = std::move(t->fields);
                info.hasRowId = true;
            } else if (!s.database.empty()) {
                throw vb::ComError(vb::kErrGeneric,
                                   "The Microsoft Jet database engine cannot find the input table '" +
                                       s.name + "' in " + s.database + ".",
                                   "Jet");
            } else {
                std::string cte;
                info.fields = savedQuery(s.name, cte);
                sql = JetSqlName(cte);
            }
            break;
        }
    }
    for (const auto& other : scope.sources) {
        if (tolvaran::EqualsNoCase(other.alias, info.alias))
            Unsupported(sql_, "the name " + info.alias +
                                  " stands twice in the FROM clause; give one of them an alias");
    }
    scope.sources.push_back(info);
    return sql + " AS " + JetSqlName(info.alias);
}

std::vector<Item> Translator::items(const jetsql::SelectCore& s, Scope& scope) {
    std::vector<Item> out;
    int exprNumber = 1000;
    for (const auto& item : s.items) {
        const jetsql::Expr& e = *item.expr;
        if (e.kind == jetsql::Expr::Star) {
            bool found = e.parts.empty();
            for (const auto& src : scope.sources) {
                if (!e.parts.empty() && !tolvaran::EqualsNoCase(src.alias, e.parts[0])) continue;
                found = true;
                for (const auto& f : src.fields) {
                    Item it;
                    it.value.sql = JetSqlName(src.alias) + "." + JetSqlName(f.name);
                    it.value.type = f.type;
                    it.value.sources = {src.id};
                    it.value.column = &f;
                    it.name = f.name;
                    it.sourceAlias = src.alias;
                    out.push_back(std::move(it));
                }
            }
            if (!found) Unsupported(sql_, e.parts[0] + ".* names no table of the FROM clause");
            continue;
        }
        Item it;
        it.value = expr(e, scope);
        if (!item.alias.empty()) {
            it.name = item.alias;
            it.explicitName = true;
            scope.aliases.emplace_back(item.alias, it.value);
        } else if (it.value.column) {
            it.name = it.value.column->name;
            for (const auto& src : scope.sources)
                if (!it.value.sources.empty() && src.id == it.value.sources[0]) it.sourceAlias = src.alias;
        } else if (e.kind == jetsql::Expr::Call && e.args.size() == 1 &&
                   e.args[0]->kind == jetsql::Expr::Name && FindJetFunction(e.name) &&
                   FindJetFunction(e.name)->kind == JetFunction::Aggregate) {
            it.name = std::string(FindJetFunction(e.name)->name) + "Of" + e.args[0]->parts.back();
        } else {
            it.name = "Expr" + std::to_string(exprNumber++);
        }
        out.push_back(std::move(it));
    }
    // Two columns of one name from different sources are named by their source: "T.C".
    std::map<std::string, int, tolvaran::NoCaseLess> named;
    for (const auto& it : out) ++named[it.name];
    for (auto& it : out) {
        if (named.find(it.name)->second > 1 && !it.explicitName && !it.sourceAlias.empty())
            it.name = it.sourceAlias + "." + it.name;
    }
    return out;
}

Translator::Clauses Translator::clauses(const jetsql::SelectCore& s, Scope& scope,
                                        const std::vector<Item>& items) {
    Clauses c;
    std::vector<std::string> where, having;
    if (s.where) {
        std::vector<const jetsql::Expr*> parts;
        Conjuncts(*s.where, parts);
        // A condition on an aggregate (the designer writes it under WHERE in crosstabs) holds
        // for the groups.
        for (const auto* p : parts) {
            TExpr t = expr(*p, scope);
            (t.aggregate ? having : where).push_back(t.sql);
        }
    }
    for (const auto& g : s.groupBy) {
        TExpr t = expr(*g, scope);
        if (t.aggregate) Unsupported(sql_, "an aggregate in GROUP BY");
        c.groupBy.push_back(std::move(t));
    }
    if (s.having) having.push_back(expr(*s.having, scope).sql);
    c.aggregate = !c.groupBy.empty() || !having.empty() ||
                  std::any_of(items.begin(), items.end(), [](const Item& i) { return i.value.aggregate; });
    if (!where.empty()) c.where = " WHERE " + tolvaran::JoinList(where, " AND ");
    if (!having.empty()) c.having = " HAVING " + tolvaran::JoinList(having, " AND ");
    return c;
}

Result Translator::select(const jetsql::SelectCore& s, const std::vector<jetsql::OrderItem>& orderBy,
                          Scope* outer, bool unionPart) {
    Scope scope;
    scope.outer = outer;
    std::vector<std::string> fromParts;
    for (const auto& src : s.from) fromParts.push_back(from(*src, scope));
    const std::vector<Item> list = items(s, scope);
    Clauses c = clauses(s, scope, list);

    std::vector<std::string> groups;
    for (const auto& g : c.groupBy) groups.push_back(Keyed(g));
    // DISTINCTROW: one row per row of the tables the select list reads, when that is not all
    // of them (otherwise every row is distinct already).
    if (s.distinctRow && !c.aggregate && scope.sources.size() > 1) {
        std::set<int> read;
        for (const auto& it : list) read.insert(it.value.sources.begin(), it.value.sources.end());
        bool rowIds = !read.empty() && read.size() < scope.sources.size();
        std::vector<std::string> keys;
        for (const auto& src : scope.sources) {
            if (!read.count(src.id)) continue;
            if (!src.hasRowId) rowIds = false;
            keys.push_back(JetSqlName(src.alias) + ".rowid");
        }
        if (rowIds) groups = keys;
    }

    std::vector<std::string> order;
    std::vector<TExpr> keys;
    for (const auto& o : orderBy) {
        TExpr t = expr(*o.expr, scope);
        if (t.sql.find_first_not_of("0123456789") == std::string::npos)
            continue;  // a constant orders nothing
        order.push_back(OrderTerm(t.sql, t.type, o.descending));
        keys.push_back(std::move(t));
    }
    if (order.empty() && !c.groupBy.empty() && !unionPart) {
        for (const auto& g : c.groupBy) order.push_back(OrderTerm(g.sql, g.type, false));
    }

    Result r;
    for (const auto& it : list) {
        JetField f;
        f.name = it.name;
        f.type = it.value.type == JetType::Null ? JetType::Value : it.value.type;
        if (it.value.column) f.size = it.value.column->size;
        r.fields.push_back(std::move(f));
    }
    const bool windowTop = s.top >= 0 && !keys.empty();
    std::vector<std::string> columns;
    for (size_t i = 0; i < list.size(); ++i)
        columns.push_back(Keyed(list[i].value) + " AS " +
                          JetSqlName(windowTop ? "__c" + std::to_string(i) : list[i].name));
    if (windowTop) {
        for (size_t k = 0; k < keys.size(); ++k)
            columns.push_back(keys[k].sql + " AS \"__k" + std::to_string(k) + "\"");
    }
    std::string core =
        std::string("SELECT ") + (s.distinct ? "DISTINCT " : "") + tolvaran::JoinList(columns, ", ");
    if (!fromParts.empty()) core += " FROM " + tolvaran::JoinList(fromParts, ", ");
    core += c.where;
    if (!groups.empty()) core += " GROUP BY " + tolvaran::JoinList(groups, ", ");
    core += c.having;

    if (s.top < 0) {
        r.sql = core + (order.empty() ? "" : " ORDER BY " + tolvaran::JoinList(order, ", "));
        return r;
    }
    const std::string top = std::to_string(s.top);
    if (!windowTop) {
        // TOP without an order: the first rows as they come.
        if (!s.percent) {
            r.sql = core + (order.empty() ? "" : " ORDER BY " + tolvaran::JoinList(order, ", ")) + " LIMIT " +
                    top;
            return r;
        }
        std::vector<std::string> names;
        for (const auto& f : r.fields) names.push_back(JetSqlName(f.name));
        r.sql = "SELECT " + tolvaran::JoinList(names, ", ") +
                " FROM (SELECT *, ROW_NUMBER() OVER () AS \"__n\", COUNT(*) OVER () AS \"__count\" FROM (" +
                core + (order.empty() ? "" : " ORDER BY " + tolvaran::JoinList(order, ", ")) +
                ")) WHERE \"__n\" <= (" + top + " * \"__count\" + 99) / 100";
        return r;
    }
    // TOP n with an order keeps every row that ties with the n-th.
    std::vector<std::string> keyOrder, outNames;
    for (size_t k = 0; k < keys.size(); ++k)
        keyOrder.push_back(
            OrderTerm("\"__k" + std::to_string(k) + "\"", keys[k].type, orderBy[k].descending));
    for (size_t i = 0; i < list.size(); ++i)
        outNames.push_back("\"__c" + std::to_string(i) + "\" AS " + JetSqlName(r.fields[i].name));
    const std::string limit = s.percent ? "(" + top + " * \"__count\" + 99) / 100" : top;
    r.sql = "SELECT " + tolvaran::JoinList(outNames, ", ") + " FROM (SELECT *, RANK() OVER (ORDER BY " +
            tolvaran::JoinList(keyOrder, ", ") + ") AS \"__rank\", COUNT(*) OVER () AS \"__count\" FROM (" +
            core + ")) WHERE \"__rank\" <= " + limit + " ORDER BY " + tolvaran::JoinList(keyOrder, ", ");
    return r;
}

Result Translator::query(const jetsql::Query& q, Scope* outer) {
    const Level level(*this);
    if (q.parts.size() == 1) return select(*q.parts[0], q.orderBy, outer, false);
    Result r;
    std::vector<std::string> sqls;
    for (size_t i = 0; i < q.parts.size(); ++i) {
        Result part = select(*q.parts[i], {}, outer, true);
        if (q.parts[i]->top >= 0) part.sql = "SELECT * FROM (" + part.sql + ")";
        if (i == 0) {
            r.fields = part.fields;
        } else {
            if (part.fields.size() != r.fields.size())
                throw vb::ComError(
                    kErrSyntax,
                    "The number of columns in the two selected tables or queries of a union query do "
                    "not match: " +
                        sql_,
                    "Jet");
            for (size_t k = 0; k < r.fields.size(); ++k)
                r.fields[k].type = JetUnifyTypes(r.fields[k].type, part.fields[k].type);
        }
        sqls.push_back(part.sql);
    }
    r.sql = sqls[0];
    for (size_t i = 1; i < sqls.size(); ++i)
        r.sql += std::string(q.unionAll[i - 1] ? " UNION ALL " : " UNION ") + sqls[i];
    // The ORDER BY of a union names columns of its result.
    std::vector<std::string> order;
    for (const auto& o : q.orderBy) {
        const JetField* hit = nullptr;
        if (o.expr->kind == jetsql::Expr::Name) {
            for (const auto& f : r.fields)
                if (tolvaran::EqualsNoCase(f.name, o.expr->parts.back()) ||
                    tolvaran::EqualsNoCase(f.name, o.expr->name))
                    hit = &f;
        }
        if (!hit)
            Unsupported(sql_, "the ORDER BY of a UNION names something that is no column of its result");
        order.push_back(OrderTerm(JetSqlName(hit->name), hit->type, o.descending));
    }
    if (!order.empty()) r.sql += " ORDER BY " + tolvaran::JoinList(order, ", ");
    return r;
}

Result Translator::crosstab(const jetsql::Statement& st) {
    const jetsql::SelectCore& s = *st.query->parts[0];
    Scope scope;
    std::vector<std::string> fromParts;
    for (const auto& src : s.from) fromParts.push_back(from(*src, scope));
    const std::string fromSql =
        fromParts.empty() ? std::string() : " FROM " + tolvaran::JoinList(fromParts, ", ");
    const std::vector<Item> rows = items(s, scope);
    Clauses c = clauses(s, scope, rows);
    const TExpr pivot = expr(*st.pivot, scope);
    if (pivot.aggregate) Unsupported(sql_, "an aggregate in PIVOT");

    // The column headings.
    std::vector<vb::Variant> headings;
    if (!st.pivotIn.empty()) {
        for (const auto& v : st.pivotIn) {
            if (v->kind != jetsql::Expr::Literal)
                Unsupported(sql_, "the IN list of PIVOT holds something that is no constant");
            headings.push_back(v->value);
        }
    } else {
        const std::string p = pivot.sql + (Textual(pivot.type) ? " COLLATE JETTEXT" : "");
        const std::string distinct =
            withClause() + "SELECT DISTINCT " + p + fromSql + c.where + " ORDER BY 1";
        std::vector<vb::Variant> binds;
        for (size_t i = 0; i < params_.size(); ++i)
            binds.push_back(JetParameterValue(params_[i], values_, i));
        // A Single heading is compared as the float it is (and named as it shows).
        headings =
            host_.columnValues(distinct, binds, pivot.type == JetType::Single ? JetType::Double : pivot.type);
    }

    Result r;
    std::vector<std::string> columns;
    for (const auto& it : rows) {
        columns.push_back(Keyed(it.value) + " AS " + JetSqlName(it.name));
        JetField f;
        f.name = it.name;
        f.type = it.value.type == JetType::Null ? JetType::Value : it.value.type;
        if (it.value.column) f.size = it.value.column->size;
        r.fields.push_back(std::move(f));
    }
    for (const auto& h : headings) {
        const std::string cond = h.IsNull() ? "(" + pivot.sql + " IS NULL)"
                                            : "(" + pivot.sql + " = " + JetSqlLiteral(h) +
                                                  (Textual(pivot.type) ? " COLLATE JETTEXT" : "") + ")";
        scope.pivotFilter = &cond;
        const TExpr cell = expr(*st.transform, scope);
        scope.pivotFilter = nullptr;
        if (!cell.aggregate) Unsupported(sql_, "a TRANSFORM value without an aggregate");
        JetField f;
        f.name = h.IsNull()                      ? "<>"
                 : pivot.type == JetType::Single ? vb::Variant(JetSingleValue(h.ToDouble())).ToString()
                                                 : h.ToString();
        f.type = cell.type == JetType::Null ? JetType::Value : cell.type;
        columns.push_back("(CASE WHEN COUNT(CASE WHEN " + cond + " THEN 1 END) > 0 THEN " + cell.sql +
                          " END) AS " + JetSqlName(f.name));
        r.fields.push_back(std::move(f));
    }
    std::vector<std::string> groups, order;
    for (const auto& g : c.groupBy) groups.push_back(Keyed(g));
    for (const auto& o : st.query->orderBy) {
        const TExpr t = expr(*o.expr, scope);
        order.push_back(OrderTerm(t.sql, t.type, o.descending));
    }
    if (order.empty())
        for (const auto& g : c.groupBy) order.push_back(OrderTerm(g.sql, g.type, false));
    r.sql = "SELECT " + tolvaran::JoinList(columns, ", ") + fromSql + c.where;
    if (!groups.empty()) r.sql += " GROUP BY " + tolvaran::JoinList(groups, ", ");
    r.sql += c.having;
    if (!order.empty()) r.sql += " ORDER BY " + tolvaran::JoinList(order, ", ");
    return r;
}

}  // namespace jettr

JetTranslation TranslateJetSql(const std::string& sql, JetSqlHost& host,
                               const std::vector<vb::Variant>* values) {
    static const std::vector<vb::Variant> kNone;
    const std::vector<vb::Variant>& given = values ? *values : kNone;
    JetTranslation t = jettr::Translator(host, given).translate(sql);
    // A parameter the statement gives no type takes the type of the value given for it, so a
    // date stays a date in the functions it reaches: translate again knowing those types.
    std::vector<JetType> seeds;
    bool seeded = false;
    for (size_t i = 0; i < t.parameters.size(); ++i) {
        JetType type = t.parameters[i].type;
        if (type == JetType::Value && i < given.size()) {
            // Bytes and Null say nothing a function could use: the parameter stays untyped.
            const JetType givenType = jettr::LiteralType(given[i]);
            if (givenType != JetType::Null && givenType != JetType::LongBinary) type = givenType;
            seeded = seeded || type != JetType::Value;
        }
        seeds.push_back(type);
    }
    if (!seeded) return t;
    return jettr::Translator(host, given, std::move(seeds)).translate(sql);
}

vb::Variant JetParameterValue(const JetParameter& p, const std::vector<vb::Variant>& values, size_t index) {
    const std::string shown = p.name == "?" ? "? number " + std::to_string(index + 1) : "[" + p.name + "]";
    if (index >= values.size())
        throw vb::ComError(jettr::kErrNoValue, "No value given for the parameter " + shown + ".", "Jet");
    const vb::Variant& v = values[index];
    if (v.IsNull() || v.IsEmpty()) return vb::Variant::null();
    try {
        switch (p.type) {
            case JetType::Boolean:
                return vb::Variant(v.ToBool());
            case JetType::Byte:
            case JetType::Integer:
            case JetType::Long:
                return vb::Variant(static_cast<long long>(v.ToLong()));
            case JetType::Single:
                return vb::CSng(v);  // the float itself, as a Single column holds it
            case JetType::Currency:
            case JetType::Double:
            case JetType::Decimal:
                return vb::Variant(v.ToDouble());
            case JetType::Date:
                return vb::Variant(v.ToDate());
            case JetType::Text:
            case JetType::Memo:
                return v.Type() == vb::VarType::Bytes ? v : vb::Variant(v.ToString());
            default:
                return v;
        }
    } catch (const vb::ComError& e) {
        throw vb::ComError(e.Number(),
                           "The value given for the parameter " + shown + " is not a " + JetTypeText(p.type) +
                               ": " + e.Description(),
                           "Jet");
    }
}

}  // namespace ado
