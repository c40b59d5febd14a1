#include "support/recording_formula_context.h"

namespace tolvaran {

void RecordingFormulaContext::LogStepError(const std::string& message, const std::string& function) {
    if (!recordSteps) return;
    stepLines.push_back(message);
    stepFunctions.push_back(function);
}

void RecordingFormulaContext::WriteErrorLog(const std::string& description, const std::string& function,
                                            int level, const std::string& tag) {
    errors.push_back({description, function, level, tag});
}

}  // namespace tolvaran
