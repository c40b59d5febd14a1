#include "support/recording_formula_context.h"

#include "platform/designer/formula_check.h"

namespace tolvaran {

int RecordingFormulaContext::ValueTypeOf(const std::string& formula) const {
    designer::FormulaSymbols symbols;
    if (fieldTypes.empty()) symbols.openTables.insert(tableName);
    for (const auto& [name, type] : fieldTypes) symbols.fields[tableName + "." + name] = type;
    for (const std::string& name : formulaFields) symbols.formulas[name] = designer::crUnknownField;
    const designer::FormulaCheckResult result = designer::CheckFormula(formula, symbols);
    return result.ok ? result.valueType : designer::crUnknownField;
}

bool RecordingFormulaContext::LogStepError(const std::string& message, const std::string& function) {
    if (!recordSteps) return true;
    stepLines.push_back(message);
    stepFunctions.push_back(function);
    return true;
}

bool RecordingFormulaContext::WriteErrorLog(const std::string& description, const std::string& function,
                                            LogLevel level, const std::string& tag) {
    errors.push_back({description, function, level, tag});
    return true;
}

}  // namespace tolvaran
