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
    JetQuery q;
    const JetQueryRow* typeRow = nullptr;
    const JetQueryRow* flagRow = nullptr;
    const JetQueryRow* remote = nullptr;
    std::vector<const JetQueryRow*> params, tables, columns, joins, where, groupBy, having, orderBy;
    for (const auto& r : rows) {
        switch (r.attribute) {
            case kType:
                typeRow = &r;
                break;
            case kFlags:
                flagRow = &r;
                break;
            case kRemoteDatabase:
                remote = &r;
                break;
            case kParameter:
                params.push_back(&r);
                break;
            case kTable:
                tables.push_back(&r);
                break;
            case kColumn:
                columns.push_back(&r);
                break;
            case kJoin:
                joins.push_back(&r);
                break;
            case kWhere:
                where.push_back(&r);
                break;
            case kGroupBy:
                groupBy.push_back(&r);
                break;
            case kHaving:
                having.push_back(&r);
                break;
            case kOrderBy:
                orderBy.push_back(&r);
                break;
            default:
                break;
        }
    }
    long typeCode = typeRow ? typeRow->flag.value_or(1) : 1;
    q.type = typeCode >= 1 && typeCode <= 9 ? static_cast<JetQueryType>(typeCode) : JetQueryType::Unknown;
    q.hasParameters = !params.empty();
    long flags = flagRow ? flagRow->flag.value_or(0) : 0;

    // Pass-through and data-definition queries keep their statement as written.
    if (q.type == JetQueryType::PassThrough || q.type == JetQueryType::DataDefinition) {
        q.sql = typeRow ? typeRow->expression : std::string();
        return q;
    }

    std::string sql;
    if (!params.empty()) {
        std::vector<std::string> ps;
        ps.reserve(params.size());
        for (const auto* p : params)
            ps.push_back(ParameterName(p->name1) + " " + ParameterType(p->flag.value_or(0)));
        sql += "PARAMETERS " + tolvaran::JoinList(ps, ", ") + ";" + kNewline;
    }

    auto clause = [&](const char* word, const std::vector<const JetQueryRow*>& items, bool descending) {
        if (items.empty()) return;
        std::vector<std::string> parts;
        for (const auto* i : items) {
            std::string t = i->expression;
            if (descending && (i->name1 == "D" || i->name1 == "d")) t += " DESC";
            parts.push_back(t);
        }
        sql += std::string(kNewline) + word + " " + tolvaran::JoinList(parts, ", ");
    };
    auto conditionClause = [&](const char* word, const std::vector<const JetQueryRow*>& items) {
        if (items.empty()) return;
        std::vector<std::string> parts;
        parts.reserve(items.size());
        for (const auto* i : items) parts.push_back(i->expression);
        sql += std::string(kNewline) + word + " " + tolvaran::JoinList(parts, " AND ");
    };

    if (q.type == JetQueryType::Union) {
        std::string part1, part2;
        for (const auto* t : tables) {
            if (t->name2 == kUnionPart1)
                part1 = TrimRight(t->expression);
            else if (t->name2 == kUnionPart2)
                part2 = TrimRight(t->expression);
        }
        // The union removes duplicates unless written UNION ALL; the distinct bit says which.
        sql += part1 + kNewline + ((flags & kDistinct) ? "UNION" : "UNION ALL") + kNewline + part2;
        clause("ORDER BY", orderBy, true);
        q.sql = sql + ";";
        return q;
    }

    std::string selectHead = "SELECT ";
    if (flags & kDistinct) selectHead += "DISTINCT ";
    if (flags & kDistinctRow) selectHead += "DISTINCTROW ";
    if (flags & kTop) {
        selectHead += "TOP " + (flagRow ? flagRow->name1 : std::string()) + " ";
        if (flags & kPercent) selectHead += "PERCENT ";
    }
    std::vector<std::string> selectList;
    if (flags & kSelectStar) selectList.push_back("*");
    std::vector<const JetQueryRow*> groupByShown = groupBy;
    std::string transform, pivot;
    for (const auto* c : columns) {
        if (q.type == JetQueryType::Crosstab) {
            long f = c->flag.value_or(0);
            if (f == kCrosstabPivot)
                pivot = c->expression;
            else if (f == kCrosstabRowHeading)
                selectList.push_back(ColumnText(*c));
            else
                transform = ColumnText(*c);
        } else if (q.type != JetQueryType::Update) {
            selectList.push_back(ColumnText(*c));
        }
    }
    if (q.type == JetQueryType::Crosstab) {
        groupByShown.erase(
            std::remove_if(groupByShown.begin(), groupByShown.end(),
                           [](const JetQueryRow* g) { return g->flag.value_or(0) == kCrosstabPivot; }),
            groupByShown.end());
    }
    std::string from = FromClause(tables, joins, remote);
    std::string target = typeRow ? JetQuoteName(typeRow->name1) : std::string();

    switch (q.type) {
        case JetQueryType::Update: {
            std::vector<std::string> sets;
            sets.reserve(columns.size());
            for (const auto* c : columns) sets.push_back(c->name2 + " = " + c->expression);
            sql += "UPDATE " + from + " SET " + tolvaran::JoinList(sets, ", ");
            conditionClause("WHERE", where);
            break;
        }
        case JetQueryType::Delete: {
            sql += "DELETE " + (selectList.empty() ? std::string("*") : tolvaran::JoinList(selectList, ", "));
            if (!from.empty()) sql += std::string(kNewline) + "FROM " + from;
            conditionClause("WHERE", where);
            break;
        }
        default: {
            if (q.type == JetQueryType::Append) {
                std::vector<std::string> targets;
                for (const auto* c : columns)
                    if (!c->name2.empty()) targets.push_back(c->name2);
                sql += "INSERT INTO " + target;
                if (!targets.empty()) sql += " ( " + tolvaran::JoinList(targets, ", ") + " )";
                sql += kNewline;
            }
            if (q.type == JetQueryType::Crosstab) sql += "TRANSFORM " + transform + kNewline;
            sql += selectHead + tolvaran::JoinList(selectList, ", ");
            if (q.type == JetQueryType::MakeTable) sql += " INTO " + target;
            if (!from.empty()) sql += std::string(kNewline) + "FROM " + from;
            conditionClause("WHERE", where);
            clause("GROUP BY", groupByShown, false);
            conditionClause("HAVING", having);
            clause("ORDER BY", orderBy, true);
            if (q.type == JetQueryType::Crosstab && !pivot.empty())
                sql += std::string(kNewline) + "PIVOT " + pivot;
            break;
        }
    }
    if (flags & kOwnerAccess) sql += std::string(kNewline) + "WITH OWNERACCESS OPTION";
    q.sql = sql + ";";
    return q;
}

}  // namespace ado
