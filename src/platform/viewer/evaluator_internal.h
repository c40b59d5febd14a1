#pragma once
// The evaluator's machinery shared by its source files (internal to platform/viewer).
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/common/text.h"
#include "platform/viewer/evaluator.h"

namespace viewer::detail {

// Thrown inside an evaluation when a Null reaches an operator or a function; the formula
// yields Null.
struct NullStop {};

class Evaluator {
  public:
    explicit Evaluator(EvalScope& scope) : scope_(scope) {}

    // The value of a node; may be Null.
    Value Eval(const designer::FormulaNode& n);
    // The value of a node; a Null stops the formula.
    Value Need(const designer::FormulaNode& n);
    double NeedNumber(const designer::FormulaNode& n);
    std::string NeedString(const designer::FormulaNode& n);
    double NeedDate(const designer::FormulaNode& n);  // serial of a Date, DateTime or Time
    bool NeedBool(const designer::FormulaNode& n);

    EvalScope& Scope() { return scope_; }

  private:
    Value Chain(const designer::FormulaNode& n);
    Value Binary(designer::FormulaOperator op, const Value& a, const Value& b);
    Value Unary(const designer::FormulaNode& n);
    Value RangeOf(const designer::FormulaNode& n);
    Value If(const designer::FormulaNode& n);
    Value Select(const designer::FormulaNode& n);
    bool CaseMatches(const designer::FormulaNode& label, const Value& selector);
    Value Loop(const designer::FormulaNode& n);
    Value Declare(const designer::FormulaNode& n);
    Value Assign(const designer::FormulaNode& n);
    Value Subscript(const designer::FormulaNode& n);
    Value Redim(const designer::FormulaNode& n);
    Value& VariableSlot(const std::string& name);
    void CountLoop();

    EvalScope& scope_;
    Variables locals_;
    std::map<std::string, designer::VariableScope, tolvaran::NoCaseLess> declared_;
    long loopSteps_ = 0;
};

// A built-in function: its arguments are the call node's kids, evaluated as it needs them.
// Every function of the checker's table (designer::formula::AllFunctions) is one of them.
Value CallFunction(Evaluator& ev, const designer::FormulaNode& call);

// The implementations of the built-in functions, by their name as the checker's table spells
// it; each source file of functions adds its own.
using Implementation = std::function<Value(Evaluator&, const designer::FormulaNode&)>;
using Implementations = std::unordered_map<std::string, Implementation>;
void AddFunctions(Implementations& table);         // control, conversion, strings, math, print state
void AddDateFunctions(Implementations& table);     // dates, times and date ranges
void AddSummaryFunctions(Implementations& table);  // summaries, percentages, statistics
// A named constant (crRed, crSunday, ...).
Value ConstantValue(const std::string& name);

// A summary function ("Sum", "Count", ...) of values; Nulls are left out.
Value AggregateValues(const std::string& function, std::vector<Value> values);

// Helpers shared by the function files.
bool Contains(const Value& container, const Value& item);
bool LikeMatch(const std::string& text, const std::string& pattern);
[[noreturn]] void Fail(const std::string& message);  // throws FormulaError
const designer::FormulaNode& Arg(const designer::FormulaNode& call, size_t i);
bool Has(const designer::FormulaNode& call, size_t i);  // the call has an i-th argument

}  // namespace viewer::detail
