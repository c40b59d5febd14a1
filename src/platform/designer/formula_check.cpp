#include "platform/designer/formula_check.h"
namespace designer {
FormulaCheckResult CheckFormula(std::string_view, const FormulaSymbols&) { return {}; }
}
