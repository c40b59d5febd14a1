// The formula evaluator on its own: formulas parsed by the checker's parser, run against a
// scope of fixed field values and print state.
#include "platform/viewer/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "platform/designer/formula_ast.h"
#include "platform/designer/formula_functions.h"
#include "platform/viewer/evaluator_internal.h"

namespace viewer {
namespace {

using designer::crDateField;
using designer::crNumberField;
using designer::crStringField;

// Fields T.N = 12, T.S = "Smith", T.D = 2024-03-01, T.X = Null (a number); page 3 of 7.
// Summaries run over four records: T.N 1, 2, 3, Null and T.W 2, 4, Null, 8 (any other
// expression Null); a group holds the first two.
class FixedScope : public EvalScope {
  public:
    Value Field(const std::string& body) override {
        if (body == "T.N") return Value::Number(12);
        if (body == "T.S") return Value::String("Smith");
        if (body == "T.D") return Value::Date(vb::Date::FromParts(2024, 3, 1).serial);
        return Value::Null();
    }
    Value Formula(const std::string& name) override {
        return name == "Twice" ? Value::Number(24) : Value::Null();
    }
    Value Parameter(const std::string& name) override {
        return name == "Region" ? Value::String("East") : Value::Null();
    }
    double Now() override { return vb::Date::FromParts(2025, 6, 15, 9, 30, 0).serial; }
    long PageNumber() override { return 3; }
    long TotalPageCount() override { return 7; }
    long RecordNumber() override { return 4; }
    long GroupNumber() override { return 2; }
    bool OnFirstRecord() override { return false; }
    bool OnLastRecord() override { return true; }
    Value Summary(const std::string& function, const designer::FormulaNode& expression,
                  const designer::FormulaNode* group, const std::string&) override {
        auto n = [](double d) { return Value::Number(d); };
        std::vector<Value> rows(4);
        if (expression.text == "T.N") rows = {n(1), n(2), n(3), Value::Null()};
        if (expression.text == "T.W") rows = {n(2), n(4), Value::Null(), n(8)};
        if (group) rows.resize(2);
        if (function == "Rows") return Value::Array(rows);
        if (function == "Values") {
            std::erase_if(rows, [](const Value& v) { return v.IsNull(); });
            return Value::Array(rows);
        }
        return detail::AggregateValues(function, rows);
    }
    Value Neighbour(const designer::FormulaNode&, int) override { return Value::Null(); }
    std::string GroupName(const designer::FormulaNode&, const std::string&) override { return {}; }
    Variables& Globals() override { return globals; }
    Variables& Shared() override { return shared; }
    Variables globals, shared;
};

designer::FormulaSymbols Symbols() {
    designer::FormulaSymbols s;
    s.fields["T.N"] = crNumberField;
    s.fields["T.S"] = crStringField;
    s.fields["T.D"] = crDateField;
    s.fields["T.X"] = crNumberField;
    s.fields["T.W"] = crNumberField;
    s.formulas["Twice"] = crNumberField;
    s.parameters["Region"] = crStringField;
    return s;
}

// A value as "kind:text", so one table holds every kind of result.
std::string Describe(const Value& v) {
    switch (v.kind) {
        case ValueKind::Null:
            return "null";
        case ValueKind::Number: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.10g", v.number);
            return std::string("n:") + buf;
        }
        case ValueKind::Currency:
            return "c:" + ToText(v);
        case ValueKind::Boolean:
            return v.number != 0 ? "b:True" : "b:False";
        case ValueKind::String:
            return "s:" + v.text;
        case ValueKind::Date:
            return "d:" + FormatDatePattern(v.number, "yyyy-MM-dd");
        case ValueKind::DateTime:
            return "dt:" + FormatDatePattern(v.number, "yyyy-MM-dd HH:mm:ss");
        case ValueKind::Time:
            return "t:" + FormatDatePattern(v.number, "HH:mm:ss");
        case ValueKind::Array:
            return "array:" + ToText(v);
        case ValueKind::Range:
            return "range:" + ToText(v);
    }
    return "?";
}

std::string Eval(const std::string& formula, Variables* globals = nullptr) {
    designer::FormulaSymbols symbols = Symbols();
    designer::ParsedFormula parsed = designer::ParseFormula(formula, symbols);
    if (!parsed.check.ok) return "check: " + parsed.check.message;
    if (!parsed.root) return "empty";
    FixedScope scope;
    if (globals) scope.globals = *globals;
    try {
        std::string out = Describe(Evaluate(*parsed.root, scope));
        if (globals) *globals = scope.globals;
        return out;
    } catch (const FormulaError& e) {
        return std::string("error: ") + e.what();
    }
}

struct Case {
    const char* formula;
    const char* expected;
};

class Evaluates : public ::testing::TestWithParam<Case> {};

TEST_P(Evaluates, ToTheExpectedValue) {
    EXPECT_EQ(Eval(GetParam().formula), GetParam().expected) << GetParam().formula;
}

const Case kArithmetic[] = {
    {"1 + 2 * 3", "n:7"},
    {"(1 + 2) * 3", "n:9"},
    {"2 ^ 3 ^ 2", "n:64"},  // left to right
    {"-2 ^ 2", "n:-4"},     // ^ binds tighter than unary minus
    {"7 \\ 2", "n:3"},
    {"7 Mod 3", "n:1"},
    {"100 % 500", "n:20"},
    {"10 / 4", "n:2.5"},
    {"1 / 0", "error: Division by zero."},
    {"{T.N} * 2 - 4", "n:20"},
    {"$10 * 2", "c:$20.00"},
    {"Round(2.345, 2)", "n:2.35"},
    {"Truncate(-2.7)", "n:-2"},
    {"Abs(-3) + Sgn(-9)", "n:2"},
    {"Remainder(7, 3)", "n:1"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, Evaluates, ::testing::ValuesIn(kArithmetic));

const Case kStrings[] = {
    {"\"ab\" + \"cd\"", "s:abcd"},
    {"\"Page \" & 3", "s:Page 3"},
    {"\"x\" & 2.5", "s:x2.50"},
    {"{T.S} & \", \" & {?Region}", "s:Smith, East"},
    {"ToText(1234.5)", "s:1,234.50"},
    {"ToText(1234.5, 0)", "s:1,235"},
    {"CStr(7, 1)", "s:7.0"},
    {"ToText(1234.5, \"#,##0.000\")", "s:1,234.500"},
    {"ToText(True)", "s:True"},
    {"Length(\"h\xC3\xA9llo\")", "n:5"},
    {"UpperCase({T.S})", "s:SMITH"},
    {"Mid(\"abcdef\", 2, 3)", "s:bcd"},
    {"Left({T.S}, 2) & Right({T.S}, 2)", "s:Smth"},
    {"InStr(\"abcabc\", \"c\")", "n:3"},
    {"Trim(\"  x  \")", "s:x"},
    {"ProperCase(\"hello wORLD\")", "s:Hello World"},
    {"Replace(\"a-b-c\", \"-\", \"+\")", "s:a+b+c"},
    {"ReplicateString(\"ab\", 3)", "s:ababab"},
    {"\"abc\" < \"abd\"", "b:True"},
    {"\"Smith\" Like \"S*h\"", "b:True"},
    {"{T.S} StartsWith \"Sm\"", "b:True"},
    {"\"c\" in \"pcc\"", "b:True"},
    {"{T.S}[2 To 3]", "s:mi"},
    {"ToNumber(\"12.5\") + 1", "n:13.5"},
    {"ToNumber(\"abc\")", "error: The string is non-numeric."},
    {"Chr(128) & Asc(\"\xE2\x82\xAC\") & StrReverse(\"ab\")",
     "s:\xE2\x82\xAC"
     "128ba"},
};
INSTANTIATE_TEST_SUITE_P(Strings, Evaluates, ::testing::ValuesIn(kStrings));

const Case kDates[] = {
    {"Year(#2024-03-01#) * 100 + Month({T.D})", "n:202403"},
    {"{T.D} + 1", "d:2024-03-02"},
    {"#Jan 5, 1999# ", "d:1999-01-05"},
    {"DateAdd(\"m\", 1, #2024-01-31#)", "dt:2024-02-29 00:00:00"},
    {"DateDiff(\"d\", #2024-01-01#, {T.D})", "n:60"},
    {"DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#)", "n:1"},
    {"DayOfWeek({T.D})", "n:6"},  // a Friday, Sunday being 1
    {"MonthName(Month({T.D}))", "s:March"},
    {"ToText({T.D}, \"dd/MM/yyyy\")", "s:01/03/2024"},
    {"ToText({T.D}, \"dddd d MMMM yy\")", "s:Friday 1 March 24"},
    {"CurrentDate", "d:2025-06-15"},
    {"CurrentDateTime", "dt:2025-06-15 09:30:00"},
    {"Date(2024, 2, 30)", "error: Bad date format string."},
    {"DateSerial(2024, 14, 1)", "d:2025-02-01"},
    {"#2024-01-01# < #2024-02-01#", "b:True"},
    {"Time(13, 5, 0)", "t:13:05:00"},
    {"#10:20 pm#", "t:22:20:00"},
    // As the host language's routines count: hour boundaries crossed, ISO weeks, rolling times.
    {"DateDiff(\"h\", #2024-01-01 10:59#, #2024-01-01 11:00#)", "n:1"},
    {"DatePart(\"ww\", #1999-01-01#, crMonday, 2)", "n:53"},
    {"TimeSerial(25, -1, 0)", "t:00:59:00"},
};
INSTANTIATE_TEST_SUITE_P(Dates, Evaluates, ::testing::ValuesIn(kDates));

const Case kNullsAndControl[] = {
    {"IsNull({T.X})", "b:True"},
    {"IsNull({T.N})", "b:False"},
    {"{T.X} + 1", "null"},  // a Null field stops the formula
    {"\"a\" & {T.X}", "null"},
    {"If IsNull({T.X}) Then 0 Else {T.X}", "n:0"},
    {"IsNull({T.X}) Or {T.X} > 3", "b:True"},  // Or stops once it is True
    {"If {T.N} > 10 Then \"big\" Else \"small\"", "s:big"},
    {"If 1 > 2 Then 5", "n:0"},  // no Else: the type's default
    {"If 1 > 2 Then \"x\" Else If 2 > 1 Then \"y\" Else \"z\"", "s:y"},
    {"IIF({T.N} = 12, \"twelve\", \"other\")", "s:twelve"},
    {"Select 5 Case 1 To 3: \"low\" Case 4, 5: \"mid\" Default: \"high\"", "s:mid"},
    {"Select 9 Case Is < 5: \"low\" Default: \"high\"", "s:high"},
    {"NumberVar x := 0; Local NumberVar i; For i := 1 To 4 Do x := x + i; x", "n:10"},
    {"Local NumberVar i := 0; While i < 5 Do i := i + 2; i", "n:6"},
    {"Local NumberVar i := 0; While True Do i := i + 1",
     "error: A loop was evaluated more than the maximum number of times allowed."},
    {"Local NumberVar Array a := [1, 2, 3]; a[2] := 20; a[1] + a[2] + a[3]", "n:24"},
    {"3 In [1, 2, 3]", "b:True"},
    {"5 In 2 To 10", "b:True"},
    {"10 In 2 To_ 10", "b:False"},
    {"Sum([1, 2, 3.5])", "n:6.5"},
    {"Maximum([4, 9, 2])", "n:9"},
    {"{@Twice} / 2", "n:12"},
    {"WhilePrintingRecords; {T.N}", "n:12"},
    {"PercentOfSum({T.N}, {T.S})", "n:50"},
    {"PercentOfCount({T.W}, {T.S})", "n:66.66666667"},
    {"Correlation({T.N}, {T.W})", "n:1"},
    {"Covariance({T.N}, {T.W})", "n:0.5"},
    {"WeightedAverage({T.N}, {T.W})", "n:1.666666667"},
    {"PthPercentile(25, {T.N})", "n:1.5"},
    {"PthPercentile(50, {T.N}, {T.S})", "n:1.5"},
    {"ToWords(123.45)", "s:one hundred twenty-three and 45 / 100"},
    {"ToWords(-10530, 0)", "s:minus ten thousand five hundred thirty"},
    {"ToWords(2000001.5, 1)", "s:two million one and 5 / 10"},
    {"ToWords(7)", "s:seven and xx / 100"},
    {"Roman(1994)", "s:MCMXCIV"},
    {"Roman(499, 1) & \" \" & Roman(499, 4)", "s:LDVLIV ID"},
    {"Join(Filter([\"apple\", \"Banana\", \"cherry\"], \"an\"), \",\")", "s:Banana"},
    {"Join(Filter([\"apple\", \"Banana\"], \"A\", False, 1), \",\")", "s:"},
};
INSTANTIATE_TEST_SUITE_P(NullsAndControl, Evaluates, ::testing::ValuesIn(kNullsAndControl));

const Case kPrintState[] = {
    {"PageNumber", "n:3"},
    {"\"Page \" & PageNumber & \" of \" & TotalPageCount", "s:Page 3 of 7"},
    {"PageNofM", "s:Page 3 of 7"},
    {"RecordNumber + GroupNumber", "n:6"},
    {"OnLastRecord And Not OnFirstRecord", "b:True"},
};
INSTANTIATE_TEST_SUITE_P(PrintState, Evaluates, ::testing::ValuesIn(kPrintState));

// The checker and the viewer read one table of functions: each one the checker accepts runs,
// with its fewest and its most arguments, to a value or a run-time error of its own.
TEST(Evaluator, EvaluatesEveryFunctionTheCheckerAccepts) {
    for (const auto& f : designer::formula::AllFunctions()) {
        for (int count : {f.minArgs, std::min(f.maxArgs, 6)}) {
            designer::FormulaNode call;
            call.kind = designer::FormulaNodeKind::Call;
            call.text = f.name;
            for (int i = 0; i < count; ++i) {
                auto arg = std::make_unique<designer::FormulaNode>();
                arg->number = 1;
                arg->valueType = crNumberField;
                call.kids.push_back(std::move(arg));
            }
            FixedScope scope;
            try {
                Evaluate(call, scope);
            } catch (const FormulaError& e) {
                EXPECT_EQ(std::string(e.what()).find("cannot be evaluated"), std::string::npos)
                    << f.name << " with " << count << " arguments";
            }
        }
    }
}

// Long chains of operators run flat, and a text stops at the language's limit however it is
// built (a million-term "&" chain took over a minute when each step copied the text so far).
TEST(Evaluator, LongChainsRunFlatAndTextsStayWithinTheLimit) {
    auto chain = [](const std::string& first, const std::string& next, int terms) {
        std::string f = first;
        for (int i = 1; i < terms; ++i) f += next;
        return f;
    };
    EXPECT_EQ(Eval(chain("1", " + 1", 10000)), "n:10000");
    EXPECT_EQ(Eval(chain("{T.N}", " - 1 * 2", 10000)), "n:-19986");
    EXPECT_EQ(Eval(chain("True", " And {T.N} = 12", 10000)), "b:True");
    EXPECT_EQ(Eval(chain("\"ab\"", " & \"cd\"", 32767)), "s:" + chain("ab", "cd", 32767));
    EXPECT_EQ(Eval(chain("\"ab\"", " & \"cd\"", 200000)),
              "error: A string can be at most 65534 characters long.");
    EXPECT_EQ(Eval(chain("{T.S}", " + \"x\"", 70000)),
              "error: A string can be at most 65534 characters long.");
}

// A formula that names another, which names another, ... stops at a bounded depth with the
// checker's message instead of running out of stack.
TEST(Evaluator, FormulasInsideFormulasStopAtABoundedDepth) {
    class Chained : public FixedScope {
      public:
        explicit Chained(const designer::FormulaNode& tree) : tree_(tree) {}
        Value Formula(const std::string&) override {
            if (++level_ > 100000) return Value::Number(0);
            return Evaluate(tree_, *this);
        }

      private:
        const designer::FormulaNode& tree_;
        int level_ = 0;
    };
    designer::FormulaSymbols symbols = Symbols();
    symbols.formulas["Next"] = crNumberField;
    const designer::ParsedFormula parsed = designer::ParseFormula("{@Next} + 1", symbols);
    ASSERT_TRUE(parsed.root);
    Chained scope(*parsed.root);
    try {
        Evaluate(*parsed.root, scope);
        ADD_FAILURE() << "no error";
    } catch (const FormulaError& e) {
        EXPECT_EQ(std::string(e.what()), designer::msg::kTooComplex);
    }
    EXPECT_EQ(Eval("1 + 1"), "n:2");  // the count starts again
}

TEST(Evaluator, GlobalVariablesKeepTheirValueFromOneEvaluationToTheNext) {
    Variables globals;
    const char* running = "WhilePrintingRecords; NumberVar total := total + {T.N}; total";
    EXPECT_EQ(Eval(running, &globals), "n:12");
    EXPECT_EQ(Eval(running, &globals), "n:24");
    EXPECT_EQ(Eval("Local NumberVar total := 1; total", &globals), "n:1");  // a local of the same name
}

TEST(Evaluator, CommentedOutAndEmptyFormulasHaveNoTree) {
    EXPECT_EQ(Eval("// Sum({T.N})"), "empty");
    EXPECT_EQ(Eval(""), "empty");
    EXPECT_EQ(Eval("{T.Missing} + 1"), "check: This field name is not known.");
}

}  // namespace
}  // namespace viewer
