#pragma once
// The functions and operators of Access queries as the in-memory SQLite engine runs them, and
// how Jet values are stored there.
//
// Storage: Null is NULL; Booleans are -1 and 0 (any other number reads as True); whole numbers
// are INTEGER; Currency, Single, Double, Decimal and dates are REAL (a date as its serial,
// days since 1899-12-30); texts are TEXT; binaries are BLOB. SQLite does not keep which REAL
// is a date, so the translator, which knows every expression's type, passes it: each call of a
// registered function takes as first argument a text with one letter per argument, "D" for a
// date, "B" for a Boolean, "S" for a Single (stored as the float's own value, which the
// functions that compute or convert take; those that read their arguments as texts, and &,
// take it as Access shows it: JetSingleValue), "-" otherwise.
//
// Registered on a connection (RegisterJetFunctions): the collation JETTEXT (texts compared as
// Jet compares them: without regard to case, accented letters next to their base letter),
// "jet_<Name>" for every scalar function of the table below, the operators jet_like,
// jet_concat (&), jet_plus (+ on values of unknown type), jet_div (/), jet_intdiv (\),
// jet_mod (Mod), jet_pow (^), and the aggregates jet_first, jet_last, jet_stdev, jet_stdevp,
// jet_var, jet_varp. A function that fails (a conversion of Null, a bad argument, a division
// by zero) fails the statement with "<Name>: <the error's text>".
#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ado/jet_values.h"
#include "platform/common/variant.h"

namespace ado {

// The room the texts made by the functions of one connection have: the memory limit of the
// statement being run, less what the statement holds already. A text that would pass it stops
// the statement with the limit's error.
class JetTextRoom {
  public:
    virtual ~JetTextRoom() = default;
    // Bytes a text made now may take.
    virtual std::size_t room() = 0;
    // A text does not fit: marks the statement as stopped by its memory limit and throws the
    // limit's error.
    [[noreturn]] virtual void refuse() = 0;
};

struct JetFunction {
    enum Kind {
        Scalar,     // registered as jet_<name>, computed by the program's VB routines
        Special,    // written as SQL by the translator: IIf, Nz, Switch, IsNull
        Aggregate,  // Sum, Avg, Count, Min, Max, First, Last, StDev, StDevP, Var, VarP
        Domain,     // DLookup, DCount, DSum, DAvg, DMin, DMax, DFirst, DLast, DStDev(P), DVar(P)
    };
    const char* name;  // as Access spells it
    Kind kind;
    int minArgs;
    int maxArgs;
    // The result's type from the arguments' types.
    JetType (*result)(const std::vector<JetType>& args);
    // Scalar only: the value; a Null argument gives Null without a call when nullGivesNull. A
    // text it makes (String, Space, Replace) first asks texts for the room.
    vb::Variant (*call)(const std::vector<vb::Variant>& args, JetTextRoom& texts);
    bool nullGivesNull;
    // Scalar only: reads its arguments as texts (CStr, Format, Left, Len...), so a Single comes
    // to it as Access shows it; the others take the Single's own value.
    bool readsText;
};

// The function of that name (without regard to case; a trailing "$" as in Left$ is dropped);
// nullptr when Access queries have no such built-in function.
const JetFunction* FindJetFunction(std::string_view name);

// The type of a value of two others (IIf branches, union columns, operands of + - *).
JetType JetUnifyTypes(JetType a, JetType b);

// Texts compared as Jet compares them: negative, zero or positive.
int JetTextCompare(std::string_view a, std::string_view b);

// Registers the collation, the functions and the aggregates on a connection. texts: the room
// of the connection's texts, which outlives it; nullptr: texts bounded only by the VB routines.
void RegisterJetFunctions(sqlite3* db, JetTextRoom* texts = nullptr);

// Values in and out of SQLite in the storage above.
void BindJetValue(sqlite3_stmt* st, int index, const vb::Variant& v);
void ResultJetValue(sqlite3_context* ctx, const vb::Variant& v);
// A stored value as a Variant of the type the translator gave its expression.
vb::Variant ReadJetColumn(sqlite3_stmt* st, int i, JetType type);

// A SQL literal for a value (texts quoted, quotes doubled; dates as their serial).
std::string JetSqlLiteral(const vb::Variant& v);
// A name in double quotes, quotes doubled: always a name in the engine, whatever it holds.
std::string JetSqlName(const std::string& name);

}  // namespace ado
