#pragma once
// Access (Jet) SQL statements read into a tree: SELECT with its clauses, UNION [ALL],
// TRANSFORM ... PIVOT crosstabs, PARAMETERS declarations, subqueries, and the expression
// language of Access (operators by their Access precedence, Like, Between, In, Is Null,
// #date# literals, function calls). Statements that write (INSERT, UPDATE, DELETE,
// SELECT ... INTO) and data definition are recognised as such and not read further.
//
// Grammar read (keywords in any case; names bare, bracketed or back-quoted):
//   statement  := [PARAMETERS decl {, decl} ;] (query | crosstab)
//   crosstab   := TRANSFORM expr select-core [ORDER BY ...] PIVOT expr [IN (expr {, expr})]
//   query      := part {UNION [ALL] part} [ORDER BY item {, item}]
//   part       := select-core | ( query ) | TABLE name
//   comparison := expr (= | <> | < | > | <= | >=) (ALL | ANY | SOME) ( query ), among the others
//   select-core:= SELECT [ALL|DISTINCT|DISTINCTROW] [TOP n [PERCENT]] item {, item}
//                 [FROM source {, source}] [WHERE expr] [GROUP BY expr {, expr}] [HAVING expr]
//   source     := operand {(INNER | LEFT [OUTER] | RIGHT [OUTER]) JOIN operand ON expr}
//   operand    := name [IN 'file'] [[AS] alias] | ( source ) | ( query ) [AS] alias
// and a trailing WITH OWNERACCESS OPTION. A bare name (a table or saved query) stands for
// SELECT * FROM name.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/common/variant.h"

namespace ado::jetsql {

struct Query;
using QueryPtr = std::unique_ptr<Query>;

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum Kind {
        Literal,     // value: a number, text, date, Boolean or Null
        Name,        // parts: [table.]column, or Forms!F!Control (bang = written with "!")
        Param,       // "?": value holds its number, 0 for the first in the statement
        Star,        // "*" (Count(*)), or parts[0] = the table of "table.*"
        Unary,       // op "-", "+" or "NOT"; args[0]
        Binary,      // op: + - * / \ ^ MOD & = <> < > <= >= AND OR XOR EQV IMP LIKE; args[0], args[1]
        Between,     // args: value, low, high; negated for NOT BETWEEN
        InList,      // args[0] IN (args[1...]); negated for NOT IN
        InQuery,     // args[0] IN (query); negated for NOT IN
        IsNull,      // args[0] IS [NOT] NULL (negated for NOT)
        Call,        // name(args)
        Exists,      // EXISTS (query)
        Subquery,    // (query) as a value
        Quantified,  // args[0] op ALL (query), or ANY (SOME): name "ALL" or "ANY"
    };
    Kind kind = Literal;
    std::string op;                  // Unary, Binary and Quantified, in capitals
    std::string name;                // Call: the function; Name: the parts joined as written
                                     // ("Orders.OrderID", "Forms!Dialog!Start"); Quantified
    std::vector<std::string> parts;  // Name, Star
    bool bang = false;               // Name written with "!"
    bool negated = false;
    vb::Variant value;  // Literal
    std::vector<ExprPtr> args;
    QueryPtr query;       // InQuery, Exists, Subquery, Quantified
    std::size_t pos = 0;  // byte offset in the statement
    std::string text;     // the expression as written (for names of columns and messages)
    int height = 1;       // levels at and below this node (see kMaxJetSqlHeight)
};

struct SelectItem {
    ExprPtr expr;       // Star for "*" and "table.*"
    std::string alias;  // "" when none was written
};

struct Source {
    enum Kind { Table, Subquery, Join };
    Kind kind = Table;
    std::string name;      // Table
    std::string database;  // Table: the file of IN 'file', "" for this file
    std::string alias;     // Table, Subquery
    QueryPtr query;        // Subquery
    std::string join;      // Join: "INNER", "LEFT" or "RIGHT"
    std::unique_ptr<Source> left, right;
    ExprPtr on;
    int height = 1;  // levels at and below this source (see kMaxJetSqlHeight)
};
using SourcePtr = std::unique_ptr<Source>;

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct SelectCore {
    bool distinct = false;
    bool distinctRow = false;
    long top = -1;  // -1: no TOP
    bool percent = false;
    std::vector<SelectItem> items;
    std::vector<SourcePtr> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
};

// A query expression: one SELECT, or SELECTs joined by UNION, with the ORDER BY of the whole.
struct Query {
    std::vector<std::unique_ptr<SelectCore>> parts;
    std::vector<bool> unionAll;  // between part i and part i + 1
    std::vector<OrderItem> orderBy;
    int height = 1;  // one more than the highest expression or source it holds
};

struct ParameterDecl {
    std::string name;  // as references write it, without brackets: "Forms!Dialog!Start"
    std::string type;  // the type word as written ("DateTime", "Text"), "" when none
};

struct Statement {
    enum Kind { Select, Crosstab, Write };
    Kind kind = Select;
    std::vector<ParameterDecl> parameters;
    int placeholders = 0;  // "?" in the statement
    QueryPtr query;        // Select; Crosstab: one part, its ORDER BY
    // Crosstab.
    ExprPtr transform;
    ExprPtr pivot;
    std::vector<ExprPtr> pivotIn;  // empty: the columns are the pivot's distinct values
    std::string writeVerb;         // Write: "INSERT", "UPDATE", "DELETE", "SELECT INTO", "CREATE", ...
};

// The most levels a statement's tree may have: a node stands one level above its highest
// child, a subquery one above the highest expression or source it holds, so each operator of
// a chain (1 + 1 + 1 ...) and each join of a FROM list is a level. Whatever walks the tree
// recursively (the translator, the tree's destruction) stays within this many levels.
inline constexpr int kMaxJetSqlHeight = 200;

// Reads a statement. Throws vb::ComError (0x80040E14) naming what was expected and where;
// a form this reader does not know is named in the message; a statement nested or chained
// past kMaxJetSqlHeight is refused as "Query is too complex"; a number past a Double's range
// and a NUL character anywhere in the statement are refused saying so.
Statement ParseJetSql(const std::string& sql);

// The start of a statement for a message: the first 200 bytes (whole characters), "..." when
// there is more.
std::string Excerpt(const std::string& sql);

}  // namespace ado::jetsql
