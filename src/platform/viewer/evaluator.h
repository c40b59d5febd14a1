#pragma once
// The formula evaluator: runs the tree the formula checker's parser builds (ParseFormula) for
// one record of a report. What a formula reads from the report being laid out (database
// fields, other formulas, parameters, page and record state, summaries) comes through an
// EvalScope; the layout implements it, tests put small fakes behind it.
//
// Null: a formula that meets a Null database field outside IsNull (and the other functions
// made to look at Nulls) stops and yields Null, which a field object shows as nothing.
#include <map>
#include <stdexcept>
#include <string>

#include "platform/common/text.h"
#include "platform/designer/formula_ast.h"
#include "platform/designer/formula_check.h"
#include "platform/viewer/value.h"

namespace viewer {

// A formula that fails while it runs ("Division by zero."); it shows nothing and the failure
// is noted.
class FormulaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Variables that outlive one evaluation: Global ones (one set per report run) and Shared ones
// (one set for the main report and its subreports). Names compare without regard to case.
using Variables = std::map<std::string, Value, tolvaran::NoCaseLess>;

class EvalScope {
  public:
    virtual ~EvalScope() = default;
    // A database field at the current record ("Table.Field" as written in the braces).
    virtual Value Field(const std::string& body) = 0;
    // Another formula field's value at the current record.
    virtual Value Formula(const std::string& name) = 0;
    virtual Value Parameter(const std::string& name) = 0;

    // The date and time of the run (CurrentDate, CurrentDateTime, PrintDate, ...).
    virtual double Now() = 0;
    virtual long PageNumber() = 0;
    // The pages of the whole report; the layout knows it on its second pass.
    virtual long TotalPageCount() = 0;
    virtual long RecordNumber() = 0;  // 1-based
    virtual long GroupNumber() = 0;   // 1-based number of the current innermost group
    virtual bool OnFirstRecord() = 0;
    virtual bool OnLastRecord() = 0;

    // A summary function (its name as the function table spells it: "Sum", "Count", ...) of the
    // expression over all records, or with group over the records of the current group on that
    // field; condition is the third argument of date and Boolean groups (empty when none).
    // Null values of the expression are left out. Two more: "Values", the array of the values
    // that are not Null, and "Rows", the array of every record's value, Null included.
    virtual Value Summary(const std::string& function, const designer::FormulaNode& expression,
                          const designer::FormulaNode* group, const std::string& condition) = 0;
    // The expression at the record offset records away from the current one (-1 previous,
    // +1 next); Null before the first and after the last record.
    virtual Value Neighbour(const designer::FormulaNode& expression, int offset) = 0;
    // The name of the current group on the field: its value as text (dates by the group's
    // condition).
    virtual std::string GroupName(const designer::FormulaNode& field, const std::string& condition) = 0;

    virtual Variables& Globals() = 0;
    virtual Variables& Shared() = 0;
};

// Runs a formula's tree for the scope's current record. A Null database field that reaches an
// operator or function gives Null; a run-time failure throws FormulaError.
Value Evaluate(const designer::FormulaNode& root, EvalScope& scope);

// The value a variable or an If without Else takes when nothing gave it one, by value type
// (designer::FieldValueType): 0, $0, "", False, or Null for dates and times.
Value DefaultOf(int valueType);

// Reads the text of a #...# literal or of a string given to CDate/CDateTime/CTime: "Jan 5,
// 1999", "1/31/1996", "1999/1/5", "2024-03-01 10:20", "10:20 am", "9 Aug 2009 1:30:15 pm".
// False when it is not a date, a time or both.
bool ParseDateTimeText(const std::string& text, double& serial, bool& hasDate, bool& hasTime);

}  // namespace viewer
