#pragma once
// Saved queries of an Access file: the rows of the system table MSysQueries that belong to
// one query, turned back into the SQL text that Access shows for it.
#include <optional>
#include <string>
#include <vector>

namespace ado {

// One row of MSysQueries, in the order of the table.
struct JetQueryRow {
    int attribute = 0;  // what the row describes (see jet_queries.cpp)
    std::string name1;
    std::string name2;
    std::string expression;
    std::optional<long> flag;
};

// The kind of a saved query, as the type row of MSysQueries numbers it.
enum class JetQueryType {
    Unknown = 0,
    Select = 1,
    MakeTable = 2,
    Append = 3,
    Update = 4,
    Delete = 5,
    Crosstab = 6,
    DataDefinition = 7,
    PassThrough = 8,
    Union = 9,
};

struct JetQuery {
    JetQueryType type = JetQueryType::Unknown;
    bool hasParameters = false;
    std::string sql;  // clauses separated by CR LF, ending in ";" as Access writes it
};

// Rebuilds one query from its rows (all of one ObjectId, in table order).
JetQuery RebuildJetQuery(const std::vector<JetQueryRow>& rows);

// A name as Access writes it in SQL: bracketed unless it is a plain word.
std::string JetQuoteName(const std::string& name);

}  // namespace ado
