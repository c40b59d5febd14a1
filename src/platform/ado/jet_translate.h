#pragma once
// Access SQL translated into the SQLite SQL of the in-memory engine (jet_engine.h), on the
// statement's tree (jet_sql.h), never on its text.
//
// What a statement becomes:
//  - tables are read under their own names (the host loads them); saved queries used as tables
//    become WITH clauses, translated the same way, each once, in the order they depend on each
//    other (a query that draws on itself is an error naming the chain);
//  - names resolve as Jet resolves them: a column of a source in the FROM list (ambiguous: an
//    error), an alias of the select list, a column of an enclosing query; an aliased table
//    answers only to its alias, and a name no source of a subquery answers to is looked up in
//    the query around it; a name that is none of these is a parameter (T.C finds table T under
//    an alias when nothing answers to T, as the program's own statements write it);
//  - a number compared with a text converts as against a column: a text written in the
//    statement is read as a number (one that is none is "Data type mismatch in criteria
//    expression"), a computed text where it reads as one; x op ALL|ANY|SOME (subquery) compares
//    x with each of the subquery's rows;
//  - every column of the result has a name (Access's: the alias, the column's name, "T.C" when
//    two sources give the same name, "SumOfX" for Sum(X), "Expr1000"...) and a type;
//  - text comparisons use the collation JETTEXT; functions run as jet_<Name> (jet_functions.h);
//  - DISTINCTROW keeps one row per row of the tables the select list draws on; TOP n keeps the
//    rows that tie with the n-th; a query with GROUP BY and no ORDER BY comes out in the order
//    of its groups, as Jet returns it; a WHERE condition that holds an aggregate is applied to
//    the groups;
//  - TRANSFORM ... PIVOT becomes one column per value of the IN list, or per distinct value of
//    the pivot expression (found by running a query; Null's column is "<>"), each cell Null when
//    no row falls in it.
//
// Parameters: the caller's values are taken in this order: the "?" placeholders of the
// statement as they stand, the PARAMETERS declarations, then every other parameter (a name that
// is no column, including those of the saved queries the statement draws on, with their
// declarations) in the order the translation meets it. A parameter without a declared type
// takes the type of what it is compared with, else that of the value given for it.
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/jet_values.h"
#include "platform/common/variant.h"

namespace ado {

// What the translator needs from the file.
class JetSqlHost {
  public:
    virtual ~JetSqlHost() = default;

    struct Table {
        std::string sqlName;  // the name of the loaded table in the engine
        std::vector<JetField> fields;
    };
    // A table of the file (its own or linked; with database, a table of that file). nullopt
    // when there is none of that name; throws vb::ComError when there is one that cannot be
    // read. Every table returned is loaded before the statement runs.
    virtual std::optional<Table> table(const std::string& name, const std::string& database) = 0;
    // The SQL of a saved query of that name (found without regard to case): the name as the
    // file spells it and the text; nullopt when there is none. Throws for a saved query that
    // does not return rows (an action query, data definition, pass-through).
    struct Saved {
        std::string name;
        std::string sql;
    };
    virtual std::optional<Saved> savedQuery(const std::string& name) = 0;
    // Runs a translated statement with its parameter values (index 0 binds ?1) and returns the
    // values of its first column, read as type.
    virtual std::vector<vb::Variant> columnValues(const std::string& sql,
                                                  const std::vector<vb::Variant>& binds, JetType type) = 0;
};

struct JetTranslation {
    std::string sql;  // one SQLite statement; parameter i is bound as ?(i + 1)
    std::vector<JetField> columns;
    std::vector<JetParameter> parameters;
};

// Translates one Access statement (a SELECT, UNION or crosstab, or the name of a table or saved
// query). values: the caller's values in parameter order, needed only where the translation
// runs a query itself (a crosstab's column headings); nullptr when only the shape is wanted.
// Throws vb::ComError: 3027-style refusals are the host's; a statement that writes gives
// kErrJetWrite; a form that cannot run here 0x80040E14 naming it.
JetTranslation TranslateJetSql(const std::string& sql, JetSqlHost& host,
                               const std::vector<vb::Variant>* values);

// Thrown (as vb::ComError with this number) for a statement that writes: INSERT, UPDATE,
// DELETE, SELECT ... INTO, data definition. The driver turns it into its read-only refusal.
inline constexpr long kErrJetWrite = 3027;

// The value given for a parameter, converted to its declared type; throws naming the parameter
// when there is none or it does not convert.
vb::Variant JetParameterValue(const JetParameter& p, const std::vector<vb::Variant>& values, size_t index);

}  // namespace ado
