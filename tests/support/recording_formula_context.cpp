#include "support/recording_formula_context.h"

namespace tolvaran {

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
