#pragma once
// The formula checker: a tokenizer and parser of Crystal-syntax formulas that resolves
// field, formula and parameter references and function names, and checks argument counts
// and operand types. It stops at the first error and reports it in the designer's wording
// with the byte offset where it was found.
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/common/text.h"

namespace designer {

class Report;
class FormulaFieldDefinition;

// What a formula may refer to. Names are compared without regard to case.
struct FormulaSymbols {
    // Database fields: "Table.Field" -> value type (FieldValueType).
    std::map<std::string, int, tolvaran::NoCaseLess> fields;
    // Tables whose fields are not known: every "{Table.anything}" of them resolves.
    std::set<std::string, tolvaran::NoCaseLess> openTables;
    // Formula fields: name -> value type of its result (crUnknownField when not worked out).
    std::map<std::string, int, tolvaran::NoCaseLess> formulas;
    // Parameter fields: name -> value type.
    std::map<std::string, int, tolvaran::NoCaseLess> parameters;
    // Group condition fields ("Table.Field"), for summaries per group.
    std::set<std::string, tolvaran::NoCaseLess> groupFields;
};

// The result types of formula texts checked against a report's untyped names (SymbolsOf),
// with the names they were checked against. A text's result depends on the report's
// fields, tables, parameters and groups and, of its formulas, only on those it refers to
// ("{@Name}"): a change of the first drops every result, a formula added or removed only
// the results of the texts that name it. Kept up to date by what changed since the last
// TypedSymbols (formulas added, texts edited, another formula left out), so that a report
// growing one formula at a time, each checked as it comes, is not typed again as a whole.
struct FormulaTypeMemo {
    struct Name {
        char kind;  // 't' table, 'o' table whose fields are not known, 'f' field, 'p' parameter, 'g' group
        std::string name, field;
        int type;
    };
    bool built = false;
    std::vector<Name> source;  // what symbols was built from, in the report's order
    FormulaSymbols symbols;    // the names; formulas typed, all but the one excluded last
    std::map<std::string, int, tolvaran::NoCaseLess> formulaNames;  // every formula, untyped
    size_t formulasNoted = 0;  // the report's first formulas, whose names formulaNames holds
    std::string excluded;      // the formula the last TypedSymbols left out ("" none)
    // The formulas whose text names a formula ("{@name}", case aside), by that name. An entry
    // may be out of date (the text edited since): it is read against the text.
    std::multimap<std::string, const FormulaFieldDefinition*, tolvaran::NoCaseLess> referrers;
    std::vector<const FormulaFieldDefinition*> edited;  // texts changed since the last TypedSymbols
    // text -> (checks, value type); a text naming a formula is kept only while a formula holds it.
    std::unordered_map<std::string, std::pair<bool, int>> resultOfText;
};

// Notes that definition's text was changed from oldText (FormulaFieldDefinition::setText).
void NoteFormulaEdited(FormulaTypeMemo& memo, const FormulaFieldDefinition& definition,
                       const std::string& oldText);

// Resolves the text between the braces of a reference ("Orders.Qty", "@Total", "?Start").
// True when it is known; valueType then holds its type (crUnknownField when not known).
bool LookupReference(const FormulaSymbols& symbols, std::string_view body, int& valueType);

// The table and field a database field reference names ("Orders.Qty", "[Order Details].Qty"),
// spelt as the report spells them: the first split at a dot that names a known field, or a
// field of a table whose fields are not known (brackets around either part removed). False
// for formula and parameter references and for fields the symbols do not know.
bool SplitFieldReference(const FormulaSymbols& symbols, std::string_view body, std::string& table,
                         std::string& field);

// Builds the symbols of a report: its tables' fields, formula fields (other than exclude,
// each typed by its own text where that text checks), parameter fields and groups.
FormulaSymbols SymbolsOf(const Report& report, const std::string& excludeFormula = {});
// The same, held by the report: valid until the report changes or the next call.
const FormulaSymbols& TypedSymbols(const Report& report, const std::string& excludeFormula = {});

struct FormulaCheckResult {
    bool ok = true;
    std::string message;  // empty when ok
    size_t position = 0;  // byte offset of the offending token (text length at the end)
    int valueType = 255;  // the formula's result type (FieldValueType) when ok and known
};

// Checks one formula. Never throws.
FormulaCheckResult CheckFormula(std::string_view text, const FormulaSymbols& symbols);
// Checks the text of the report's formula named name against TypedSymbols(report, name).
FormulaCheckResult CheckFormulaField(const Report& report, const std::string& name, const std::string& text);

// The designer's messages (one table, so wording can be corrected in one place).
namespace msg {
inline constexpr const char* kOperandExpected =
    "A number, currency amount, boolean, date, time, date-time, or string is expected here.";
inline constexpr const char* kRemainingText = "The remaining text does not appear to be part of the formula.";
inline constexpr const char* kFieldNotKnown = "This field name is not known.";
inline constexpr const char* kBooleanRequired = "A boolean is required here.";
inline constexpr const char* kStringRequired = "A string is required here.";
inline constexpr const char* kNumberRequired = "A number is required here.";
inline constexpr const char* kNumberOrCurrencyRequired = "A number or currency amount is required here.";
inline constexpr const char* kDateRequired = "A date is required here.";
inline constexpr const char* kTooManyArguments = "Too many arguments have been given to this function.";
inline constexpr const char* kNotEnoughArguments = "Not enough arguments have been given to this function.";
inline constexpr const char* kGroupRequired = "There must be a group that matches this field.";
inline constexpr const char* kVariableNameExpected = "A variable name is expected here.";
inline constexpr const char* kArrayOrStringRequired = "An array or a string is required here.";
inline constexpr const char* kStringOrArrayOrRangeRequired =
    "A string, an array or a range is required here.";
inline constexpr const char* kStringTooLong = "A string can be at most 65534 characters long.";
inline constexpr const char* kBadDateTime = "A date-time literal is not valid here.";
inline constexpr const char* kVariableTypeExpected =
    "A variable type (such as 'NumberVar') is expected here.";
inline constexpr const char* kTooComplex = "The formula is too complex.";
// "The X is missing." and "The matching X for this string is missing." are built around
// the token.
std::string Missing(std::string_view token);
std::string MissingQuote(char quote);
std::string Required(int valueType);  // "A <type> is required here."
}  // namespace msg

}  // namespace designer
