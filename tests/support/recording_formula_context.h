#pragma once
// A FormulaContext with fixed answers that records every log line and message; for tests,
// the benchmark and the fuzz targets.
#include <map>
#include <string>
#include <vector>

#include "convert/formula/formula_context.h"

namespace tolvaran {

class RecordingFormulaContext : public FormulaContext {
  public:
    struct ErrorRow {
        std::string description;
        std::string function;
        LogLevel level = LogLevel::Error;
        std::string tag;
    };

    std::string tableName;
    std::vector<std::string> formulaFields;
    std::string rowCountField;
    std::string groupField;
    // Value types of the current table's fields by name; with none, every field's type is
    // unknown.
    std::map<std::string, int> fieldTypes;

    std::vector<std::string> stepLines;  // messages of LogStepError, in order
    std::vector<std::string> stepFunctions;
    std::vector<ErrorRow> errors;
    std::vector<std::string> messages;
    bool recordSteps = true;  // the benchmark turns step recording off

    std::string CurrentTableName() const override { return tableName; }
    std::vector<std::string> FormulaFieldNames() const override { return formulaFields; }
    std::string RowCountFieldName() const override { return rowCountField; }
    std::string GroupFieldReference() const override { return groupField; }
    int ValueTypeOf(const std::string& formula) const override;
    bool LogStepError(const std::string& message, const std::string& function) override;
    bool WriteErrorLog(const std::string& description, const std::string& function, LogLevel level,
                       const std::string& tag = {}) override;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace tolvaran
