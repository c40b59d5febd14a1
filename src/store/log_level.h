#pragma once
// How grave one row of the conversion log is. The number is what the ErrorLog table's
// ErrorSeverityLevel column and the "Error Severity:" line of a report's text log hold.
#include <string>

namespace tolvaran {

enum class LogLevel : int {
    Error = 1,    // the job failed at something it had to do
    Problem = 2,  // something of the report could not be converted as it stands
    Step = 5,     // a step of the job; not a problem
};

// The stored number.
constexpr long LevelNumber(LogLevel level) {
    return static_cast<long>(level);
}

// The number as the text log writes it ("2").
inline std::string LevelText(LogLevel level) {
    return std::to_string(LevelNumber(level));
}

}  // namespace tolvaran
