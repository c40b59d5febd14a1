#pragma once
// The tree the formula checker's parser builds for a formula that checks, so the report engine
// evaluates exactly the language the checker accepts. Each node keeps the type the checker
// gave it and its byte offset in the formula text.
//
// Chains of operators of one precedence level ("a + b - c", "x And y And z") are one node with
// the operands as children and one operator between each pair, so the depth of a tree grows
// with the nesting of brackets and keywords (which the parser limits), not with the length of
// a formula.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/designer/formula_check.h"
#include "platform/designer/types.h"

namespace designer {

enum class FormulaNodeKind {
    Number,     // number literal: number
    String,     // string literal: text (quotes undone)
    DateTime,   // #...# literal: text is what stands between the # signs
    Boolean,    // True / False: number 1 or 0
    Reference,  // {...}: text is the body ("Table.Field", "@Formula", "?Parameter")
    Variable,   // a declared variable: text is its name
    Constant,   // a named constant (crRed, crSunday, ...): text is its name
    Call,       // a function: text is its name as the function table spells it; kids are the arguments
    Chain,      // operators of one level: kids are the operands, ops the operators between them
    Unary,      // ops[0] applied to kids[0]: Negate, Plus, ToCurrency, Not
    Range,      // ops[0] is a range operator; kids: low and high (one kid for UpTo and UpFrom forms)
    Assign,     // kids: the variable (Variable or Subscript), the value
    Declare,    // text: the variable's name; kids: the initial value when given
    If,         // kids: condition, then-part, else-part when given
    Select,     // kids: selector, then per case a CaseList and its result; a default result last (hasDefault)
    CaseList,   // kids: labels, each a value, a Range, or a Unary with a comparison in ops[0] (Is < x)
    For,        // kids: variable, start, end, step (or nullptr), body
    While,      // kids: condition, body
    DoWhile,    // kids: body, condition
    Exit,       // text: "For" or "While"
    Redim,      // kids: variable, size; number 1 with Preserve
    Sequence,   // statements separated by ";": kids; the value is the last one's
    Array,      // [a, b, ...]: kids
    Subscript,  // kids: the value, then one index per [...] in order
};

enum class FormulaOperator : unsigned char {
    Power,
    Multiply,
    Divide,
    Percent,
    IntDivide,
    Mod,
    Add,
    Subtract,
    Concat,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    In,
    Like,
    StartsWith,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Negate,
    Plus,
    ToCurrency,
    Not,
    To,          // a To b
    ToOpenLow,   // a _To b: a excluded
    ToOpenHigh,  // a To_ b: b excluded
    ToOpen,      // a _To_ b: both excluded
    UpTo,        // UpTo b
    UpToOpen,    // UpTo_ b
    UpFrom,      // UpFrom a
    UpFromOpen,  // UpFrom_ a
};

// Scope of a declared variable.
enum class VariableScope { Local, Global, Shared };

struct FormulaNode {
    FormulaNodeKind kind = FormulaNodeKind::Number;
    std::string text;
    double number = 0;
    int valueType = crUnknownField;  // FieldValueType the checker worked out; crUnknownField when not known
    bool isArray = false;            // the value is an array (of valueType)
    bool isRange = false;            // the value is a range (of valueType)
    VariableScope scope = VariableScope::Global;  // Declare
    bool hasDefault = false;                      // Select
    size_t pos = 0;                               // byte offset in the formula text
    std::vector<FormulaOperator> ops;
    std::vector<std::unique_ptr<FormulaNode>> kids;  // owned; a missing optional part is nullptr
};

struct ParsedFormula {
    FormulaCheckResult check;           // as CheckFormula gives it
    std::unique_ptr<FormulaNode> root;  // set when check.ok and the formula is not empty
};

// Checks a formula as CheckFormula does and, when it checks, gives its tree. Never throws.
ParsedFormula ParseFormula(std::string_view text, const FormulaSymbols& symbols);

}  // namespace designer
