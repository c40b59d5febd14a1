#pragma once
// The statements the read-only Jet driver runs itself, since libmdb has no query engine that
// takes bound parameters: a bare table name, or
//   SELECT [DISTINCT] [TOP n] * | column [AS alias], ... FROM table
//     [WHERE condition AND condition ...] [ORDER BY column [ASC|DESC], ...] [;]
// where a condition is "column op value", "column IS [NOT] NULL" or a constant comparison
// such as 1=0; op is one of = <> < > <= >=; value is ?, a number, a quoted text, True or False.
// Names may be bracketed, double-quoted or back-quoted, and qualified by the table's name.
// Anything else is refused with a clear error.
#include <string>
#include <vector>

#include "platform/common/variant.h"

namespace ado {

struct JetCondition {
    enum Op { Eq, Ne, Lt, Gt, Le, Ge, IsNull, IsNotNull, Constant };
    std::string column;
    Op op = Eq;
    vb::Variant value;     // the literal or the bound parameter
    bool constant = true;  // for Op::Constant: whether the comparison holds
};

struct JetOrder {
    std::string column;
    bool descending = false;
};

struct JetSelect {
    std::string table;
    bool allColumns = true;
    std::vector<std::pair<std::string, std::string>> columns;  // column, name in the result
    bool distinct = false;
    long top = -1;
    std::vector<JetCondition> where;
    std::vector<JetOrder> orderBy;
};

// Throws vb::ComError naming the statement when it is outside the forms above or when the
// parameters do not match its placeholders.
JetSelect ParseJetSelect(const std::string& sql, const std::vector<vb::Variant>& params);

// Comparison as Jet orders values: Null first, numbers and dates by value, texts without
// regard to case. Negative, zero or positive.
int JetCompare(const vb::Variant& a, const vb::Variant& b);

// Whether a row value satisfies a condition.
bool JetMatches(const JetCondition& c, const vb::Variant& value);

}  // namespace ado
