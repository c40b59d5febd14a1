#include "platform/ado/jet_queries.h"

#include <algorithm>
#include <memory>

#include "platform/common/text.h"

namespace ado {

namespace {

// Row kinds of MSysQueries ("Attribute").
enum Attribute {
    kStart = 0,
    kType = 1,
    kParameter = 2,
    kFlags = 3,
    kRemoteDatabase = 4,
    kTable = 5,
    kColumn = 6,
    kJoin = 7,
    kWhere = 8,
    kGroupBy = 9,
    kHaving = 10,
    kOrderBy = 11,
    kEnd = 255,
};

// Bits of the flag row.
constexpr long kSelectStar = 0x01;
constexpr long kDistinct = 0x02;
constexpr long kOwnerAccess = 0x04;
constexpr long kDistinctRow = 0x08;
constexpr long kTop = 0x10;
constexpr long kPercent = 0x20;

// A union query keeps its two halves in table rows named by these markers.
constexpr const char* kUnionPart1 = "X7YZ_____1";
constexpr const char* kUnionPart2 = "X7YZ_____2";

// Column flags of a crosstab query.
constexpr long kCrosstabPivot = 1;
constexpr long kCrosstabRowHeading = 2;

const char* const kNewline = "\r\n";

// A stored expression without the blanks and ";" that end it.
std::string TrimRight(const std::string& s) {
    return std::string(tolvaran::TrimEnd(s, " \r\n\t;"));
}

std::string ParameterType(long code) {
    switch (code) {
        case 1:
            return "Bit";
        case 2:
            return "Byte";
        case 3:
            return "Short";
        case 4:
            return "Long";
        case 5:
            return "Currency";
        case 6:
            return "IEEESingle";
        case 7:
            return "IEEEDouble";
        case 8:
            return "DateTime";
        case 9:
            return "Binary";
        case 10:
            return "Text ( 255 )";
        case 11:
            return "LongBinary";
        case 12:
            return "Memo";
        case 15:
            return "Guid";
        case 16:
            return "BigInt";
        case 20:
            return "Decimal";
        default:
            return "Value";
    }
}

// A parameter named like Forms!Dialog!Field is written part by part, each bracketed.
std::string ParameterName(const std::string& name) {
    if (name.find('!') == std::string::npos || name.find('[') != std::string::npos) return JetQuoteName(name);
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t bang = name.find('!', start);
        parts.push_back("[" + name.substr(start, bang - start) + "]");
        if (bang == std::string::npos) break;
        start = bang + 1;
    }
    return tolvaran::JoinList(parts, "!");
}

// FROM clause: the tables, nested by their joins in the order the join rows come.
struct FromNode {
    std::string leaf;  // table text when not a join
    std::unique_ptr<FromNode> left, right;
    long joinType = 1;
    std::vector<std::string> conditions;
    std::vector<std::string> keys;  // names (aliases) the node covers

    bool isJoin() const { return left != nullptr; }
    bool covers(const std::string& key) const {
        for (const auto& k : keys) {
            if (tolvaran::EqualsNoCase(k, key)) return true;
        }
        return false;
    }
    std::string render(bool nested) const {
        if (!isJoin()) return leaf;
        std::string kind = joinType == 2 ? "LEFT JOIN" : joinType == 3 ? "RIGHT JOIN" : "INNER JOIN";
        std::string on;
        if (conditions.size() == 1) {
            on = conditions[0];
        } else {
            std::vector<std::string> wrapped;
            for (const auto& c : conditions) wrapped.push_back("(" + c + ")");
            on = tolvaran::JoinList(wrapped, " AND ");
        }
        std::string text = left->render(true) + " " + kind + " " + right->render(true) + " ON " + on;
        return nested ? "(" + text + ")" : text;
    }
};

std::string FromClause(const std::vector<const JetQueryRow*>& tables,
                       const std::vector<const JetQueryRow*>& joins, const JetQueryRow* remote) {
    std::vector<std::unique_ptr<FromNode>> nodes;
    for (const JetQueryRow* t : tables) {
        auto node = std::make_unique<FromNode>();
        if (!t->expression.empty())
            node->leaf = "(" + TrimRight(t->expression) + ")";
        else
            node->leaf = JetQuoteName(t->name1);
        if (!t->name2.empty()) node->leaf += " AS " + JetQuoteName(t->name2);
        node->keys.push_back(t->name2.empty() ? t->name1 : t->name2);
        nodes.push_back(std::move(node));
    }
    auto find = [&](const std::string& key) -> long {
        for (size_t i = 0; i < nodes.size(); ++i)
            if (nodes[i]->covers(key)) return static_cast<long>(i);
        auto node = std::make_unique<FromNode>();
        node->leaf = JetQuoteName(key);
        node->keys.push_back(key);
        nodes.push_back(std::move(node));
        return static_cast<long>(nodes.size() - 1);
    };
    for (const JetQueryRow* j : joins) {
        long l = find(j->name1);
        long r = find(j->name2);
        std::string cond = j->expression;
        if (l == r) {
            // A further condition between tables already joined: it belongs to that join.
            if (nodes[static_cast<size_t>(l)]->isJoin())
                nodes[static_cast<size_t>(l)]->conditions.push_back(cond);
            continue;
        }
        auto node = std::make_unique<FromNode>();
        node->joinType = j->flag.value_or(1);
        node->conditions.push_back(cond);
        node->keys = nodes[static_cast<size_t>(l)]->keys;
        node->keys.insert(node->keys.end(), nodes[static_cast<size_t>(r)]->keys.begin(),
                          nodes[static_cast<size_t>(r)]->keys.end());
        node->left = std::move(nodes[static_cast<size_t>(l)]);
        node->right = std::move(nodes[static_cast<size_t>(r)]);
        size_t keep = static_cast<size_t>(std::min(l, r));
        size_t drop = static_cast<size_t>(std::max(l, r));
        nodes.erase(nodes.begin() + static_cast<long>(drop));
        nodes[keep] = std::move(node);
    }
    std::vector<std::string> parts;
    parts.reserve(nodes.size());
    for (const auto& n : nodes) parts.push_back(n->render(false));
    std::string from = tolvaran::JoinList(parts, ", ");
    if (remote && !remote->name1.empty()) {
        // A quote inside the path is doubled so the literal ends where the path ends.
        std::string path;
        for (char c : remote->name1) {
            path += c;
            if (c == '\'') path += c;
        }
        from += " IN '" + path + "'";
        if (!remote->expression.empty()) from += "[" + remote->expression + "]";
    }
    return from;
}

std::string ColumnText(const JetQueryRow& c) {
    std::string text = c.expression;
    if (!c.name1.empty()) text += " AS " + JetQuoteName(c.name1);
    return text;
}

// The rows of one query, by kind, each kind in the order stored.
struct QueryRows {
    const JetQueryRow* typeRow = nullptr;
    const JetQueryRow* flagRow = nullptr;
    const JetQueryRow* remote = nullptr;
    std::vector<const JetQueryRow*> params, tables, columns, joins, where, groupBy, having, orderBy;
};

QueryRows SortRows(const std::vector<JetQueryRow>& rows) {
    QueryRows q;
    for (const auto& r : rows) {
        switch (r.attribute) {
            case kType:
                q.typeRow = &r;
                break;
            case kFlags:
                q.flagRow = &r;
                break;
            case kRemoteDatabase:
                q.remote = &r;
                break;
            case kParameter:
                q.params.push_back(&r);
                break;
            case kTable:
                q.tables.push_back(&r);
                break;
            case kColumn:
                q.columns.push_back(&r);
                break;
            case kJoin:
                q.joins.push_back(&r);
                break;
            case kWhere:
                q.where.push_back(&r);
                break;
            case kGroupBy:
                q.groupBy.push_back(&r);
                break;
            case kHaving:
                q.having.push_back(&r);
                break;
            case kOrderBy:
                q.orderBy.push_back(&r);
                break;
            default:
                break;
        }
    }
    return q;
}

// "PARAMETERS a Text, b Long;" and a line break; "" without parameters.
std::string ParametersClause(const std::vector<const JetQueryRow*>& params) {
    if (params.empty()) return {};
    std::vector<std::string> ps;
    ps.reserve(params.size());
    for (const auto* p : params)
        ps.push_back(ParameterName(p->name1) + " " + ParameterType(p->flag.value_or(0)));
    return "PARAMETERS " + tolvaran::JoinList(ps, ", ") + ";" + kNewline;
}

// A list clause on a line of its own ("GROUP BY a, b"); descending: "D" in name1 adds DESC.
void AppendList(std::string& sql, const char* word, const std::vector<const JetQueryRow*>& items,
                bool descending) {
    if (items.empty()) return;
    std::vector<std::string> parts;
    for (const auto* i : items) {
        std::string t = i->expression;
        if (descending && (i->name1 == "D" || i->name1 == "d")) t += " DESC";
        parts.push_back(t);
    }
    sql += std::string(kNewline) + word + " " + tolvaran::JoinList(parts, ", ");
}

// A condition clause on a line of its own, its rows joined by AND.
void AppendConditions(std::string& sql, const char* word, const std::vector<const JetQueryRow*>& items) {
    if (items.empty()) return;
    std::vector<std::string> parts;
    parts.reserve(items.size());
    for (const auto* i : items) parts.push_back(i->expression);
    sql += std::string(kNewline) + word + " " + tolvaran::JoinList(parts, " AND ");
}

std::string UnionStatement(const QueryRows& r, long flags) {
    std::string part1, part2;
    for (const auto* t : r.tables) {
        if (t->name2 == kUnionPart1)
            part1 = TrimRight(t->expression);
        else if (t->name2 == kUnionPart2)
            part2 = TrimRight(t->expression);
    }
    // The union removes duplicates unless written UNION ALL; the distinct bit says which.
    std::string sql = part1 + kNewline + ((flags & kDistinct) ? "UNION" : "UNION ALL") + kNewline + part2;
    AppendList(sql, "ORDER BY", r.orderBy, true);
    return sql;
}

// What the column rows give a select: the list, and for a crosstab its TRANSFORM and PIVOT
// expressions and the GROUP BY rows shown (the pivot's is not).
struct SelectParts {
    std::vector<std::string> list;
    std::string transform, pivot;
    std::vector<const JetQueryRow*> groupBy;
};

SelectParts SelectPartsOf(JetQueryType type, const QueryRows& r, long flags) {
    SelectParts s;
    if (flags & kSelectStar) s.list.push_back("*");
    s.groupBy = r.groupBy;
    for (const auto* c : r.columns) {
        if (type == JetQueryType::Crosstab) {
            const long f = c->flag.value_or(0);
            if (f == kCrosstabPivot)
                s.pivot = c->expression;
            else if (f == kCrosstabRowHeading)
                s.list.push_back(ColumnText(*c));
            else
                s.transform = ColumnText(*c);
        } else if (type != JetQueryType::Update) {
            s.list.push_back(ColumnText(*c));
        }
    }
    if (type == JetQueryType::Crosstab) {
        s.groupBy.erase(
            std::remove_if(s.groupBy.begin(), s.groupBy.end(),
                           [](const JetQueryRow* g) { return g->flag.value_or(0) == kCrosstabPivot; }),
            s.groupBy.end());
    }
    return s;
}

// "SELECT DISTINCT TOP 10 PERCENT " as the flag row says.
std::string SelectHead(const QueryRows& r, long flags) {
    std::string head = "SELECT ";
    if (flags & kDistinct) head += "DISTINCT ";
    if (flags & kDistinctRow) head += "DISTINCTROW ";
    if (flags & kTop) {
        head += "TOP " + (r.flagRow ? r.flagRow->name1 : std::string()) + " ";
        if (flags & kPercent) head += "PERCENT ";
    }
    return head;
}

// The statement of any query but a union, pass-through or data-definition one.
std::string Statement(JetQueryType type, const QueryRows& r, long flags) {
    const SelectParts select = SelectPartsOf(type, r, flags);
    const std::string from = FromClause(r.tables, r.joins, r.remote);
    std::string sql;
    switch (type) {
        case JetQueryType::Update: {
            std::vector<std::string> sets;
            sets.reserve(r.columns.size());
            for (const auto* c : r.columns) sets.push_back(c->name2 + " = " + c->expression);
            sql += "UPDATE " + from + " SET " + tolvaran::JoinList(sets, ", ");
            AppendConditions(sql, "WHERE", r.where);
            break;
        }
        case JetQueryType::Delete: {
            sql +=
                "DELETE " + (select.list.empty() ? std::string("*") : tolvaran::JoinList(select.list, ", "));
            if (!from.empty()) sql += std::string(kNewline) + "FROM " + from;
            AppendConditions(sql, "WHERE", r.where);
            break;
        }
        default: {
            const std::string target = r.typeRow ? JetQuoteName(r.typeRow->name1) : std::string();
            if (type == JetQueryType::Append) {
                std::vector<std::string> targets;
                for (const auto* c : r.columns)
                    if (!c->name2.empty()) targets.push_back(c->name2);
                sql += "INSERT INTO " + target;
                if (!targets.empty()) sql += " ( " + tolvaran::JoinList(targets, ", ") + " )";
                sql += kNewline;
            }
            if (type == JetQueryType::Crosstab) sql += "TRANSFORM " + select.transform + kNewline;
            sql += SelectHead(r, flags) + tolvaran::JoinList(select.list, ", ");
            if (type == JetQueryType::MakeTable) sql += " INTO " + target;
            if (!from.empty()) sql += std::string(kNewline) + "FROM " + from;
            AppendConditions(sql, "WHERE", r.where);
            AppendList(sql, "GROUP BY", select.groupBy, false);
            AppendConditions(sql, "HAVING", r.having);
            AppendList(sql, "ORDER BY", r.orderBy, true);
            if (type == JetQueryType::Crosstab && !select.pivot.empty())
                sql += std::string(kNewline) + "PIVOT " + select.pivot;
            break;
        }
    }
    return sql;
}

}  // namespace

std::string JetQuoteName(const std::string& name) {
    if (name.empty() || name.front() == '[') return name;
    bool plain = !(name[0] >= '0' && name[0] <= '9');
    for (unsigned char ch : name) {
        if (!(std::isalnum(ch) || ch == '_' || ch >= 0x80)) plain = false;
    }
    return plain ? name : "[" + name + "]";
}

JetQuery RebuildJetQuery(const std::vector<JetQueryRow>& rows) {
    const QueryRows r = SortRows(rows);
    JetQuery q;
    const long typeCode = r.typeRow ? r.typeRow->flag.value_or(1) : 1;
    q.type = typeCode >= 1 && typeCode <= 9 ? static_cast<JetQueryType>(typeCode) : JetQueryType::Unknown;
    q.hasParameters = !r.params.empty();
    const long flags = r.flagRow ? r.flagRow->flag.value_or(0) : 0;

    // Pass-through and data-definition queries keep their statement as written.
    if (q.type == JetQueryType::PassThrough || q.type == JetQueryType::DataDefinition) {
        q.sql = r.typeRow ? r.typeRow->expression : std::string();
        return q;
    }
    std::string sql = ParametersClause(r.params);
    if (q.type == JetQueryType::Union) {
        sql += UnionStatement(r, flags);
    } else {
        sql += Statement(q.type, r, flags);
        if (flags & kOwnerAccess) sql += std::string(kNewline) + "WITH OWNERACCESS OPTION";
    }
    q.sql = sql + ";";
    return q;
}

}  // namespace ado
