#pragma once
// What formula translation needs from the conversion job that owns it. The converter
// (clsConvert) implements this interface; the tests, the benchmark and the fuzz target use
// RecordingFormulaContext (tests/support).
#include <string>
#include <vector>

#include "platform/designer/types.h"
#include "store/log_level.h"

namespace tolvaran {

// Whether a value type (FieldValueType) is text.
inline bool IsTextValueType(int type) {
    return type == designer::crStringField || type == designer::crTransientMemoField ||
           type == designer::crPersistentMemoField;
}

class FormulaContext {
  public:
    virtual ~FormulaContext() = default;

    // The job's current table name: the table part of every field reference ("{T.F}").
    virtual std::string CurrentTableName() const = 0;

    // Bare names (without "{@" and "}") of the formula fields the report under construction
    // holds so far, in the order they were added.
    virtual std::vector<std::string> FormulaFieldNames() const = 0;

    // A field of the current table that every row fills (its key, or its first field), used to
    // count rows for "Count(*)" when the expression itself names no field. Empty when unknown.
    virtual std::string RowCountFieldName() const = 0;

    // The reference of the group field ("{T.F}") when the expression stands in the header or
    // footer of a group: totals there are the group's. Empty elsewhere.
    virtual std::string GroupFieldReference() const { return {}; }

    // The result type (the designer's FieldValueType) of a formula text checked against the
    // report under construction; crUnknownField when the text does not check or its type is
    // not known.
    virtual int ValueTypeOf(const std::string& /*formula*/) const { return designer::crUnknownField; }

    // True when the text is one reference to a database field ("{T.F}") that its source stores
    // as whole numbers.
    virtual bool IsWholeNumberField(const std::string& /*text*/) const { return false; }

    // A step line (LogLevel::Step), as the job's LogStepError writes it; False when the row
    // was not stored.
    virtual bool LogStepError(const std::string& message, const std::string& function) = 0;

    // An error row and text-log block, as the job's WriteErrorLog writes it; False when the row
    // was not stored. `tag` is a text callers pass along (here the formula text built so far);
    // it is not stored.
    virtual bool WriteErrorLog(const std::string& description, const std::string& function, LogLevel level,
                               const std::string& tag = {}) = 0;

    // A message box with an OK button only, titled with the program's title.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace tolvaran
