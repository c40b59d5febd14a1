// The formula checker on valid and invalid formulas, with the designer's messages.
#include "platform/designer/formula_check.h"

#include <gtest/gtest.h>

#include "platform/designer/types.h"

namespace designer {
namespace {

FormulaSymbols Symbols() {
    FormulaSymbols s;
    s.fields["Orders.OrderID"] = crNumberField;
    s.fields["Orders.OrderDate"] = crDateTimeField;
    s.fields["Orders.Amount"] = crCurrencyField;
    s.fields["Orders.Customer"] = crStringField;
    s.fields["Orders.Shipped"] = crBooleanField;
    s.fields["Orders.Qty"] = crNumberField;
    s.fields["Order Details.Unit Price"] = crCurrencyField;
    s.openTables.insert("Linked");
    s.formulas["Subtotal"] = crUnknownField;
    s.parameters["StartDate"] = crDateField;
    s.parameters["Region"] = crStringField;
    s.groupFields.insert("Orders.Customer");
    return s;
}

struct Valid {
    const char* formula;
};

class ValidFormula : public ::testing::TestWithParam<Valid> {};

TEST_P(ValidFormula, Passes) {
    FormulaCheckResult r = CheckFormula(GetParam().formula, Symbols());
    EXPECT_TRUE(r.ok) << GetParam().formula << " -> " << r.message << " at " << r.position;
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, ValidFormula,
    ::testing::Values(
        Valid{""}, Valid{"// only a comment"}, Valid{"1 + 2 * 3"}, Valid{"{Orders.Qty}*{Orders.Amount}"},
        Valid{"{orders.qty} * 1.1"}, Valid{"{@Subtotal}*1.1"}, Valid{"{?Region} & \"x\""},
        Valid{"PageNumber & \" of \" & TotalPageCount"}, Valid{"Sum({Orders.Qty}) "},
        Valid{"Average({Orders.Qty})"}, Valid{"Sum({Orders.Qty}, {Orders.Customer})"}, Valid{"CurrentDate"},
        Valid{"CurrentDate()"}, Valid{"If {Orders.Qty} > 10 Then 1 Else 0"},
        Valid{"IF {Orders.Qty}>10 Then 2 else IF {Orders.Qty}>5 Then 1 else 0"},
        Valid{"If IsNull({Orders.Customer}) Then \"\" Else {Orders.Customer}"},
        Valid{"If Not {Orders.Shipped} And {Orders.Qty} = 0 Then \"none\""},
        Valid{"Local NumberVar x := 5; x := x + 1; x * 2"},
        Valid{"WhilePrintingRecords;\r\nShared CurrencyVar total;\r\ntotal := total + {Orders.Amount};"},
        Valid{
            "Select {Orders.Qty} Case 1: \"one\" Case 2, 3: \"few\" Case 4 To 6: \"some\" Default: \"many\""},
        Valid{"Select {Orders.Customer}[1 To 3] Case \"ABC\": 1 Default: 0"},
        Valid{"{Orders.Customer} In [\"CA\", \"HI\"]"}, Valid{"5 In 2 To 10"}, Valid{"\"c\" in \"pcc\""},
        Valid{"Local NumberVar i; Local NumberVar s; For i := 1 To 10 Step 2 Do (s := s + i); s"},
        Valid{"Local NumberVar i; While i < 5 Do i := i + 1; i"}, Valid{"\"say \"\"hi\"\"\" & 'it''s'"},
        Valid{"$10000 + $1.23 * 2"}, Valid{"$({Orders.Qty} * 3)"}, Valid{".5 + 2^-1"}, Valid{"-2^2"},
        Valid{"10 Mod 3 + 7 \\ 2 + 100 % 500"}, Valid{"#Jan 5, 1999#"}, Valid{"#10:20 am#"},
        Valid{"#1/31/1996# + 1"}, Valid{"{Orders.OrderDate} - {Orders.OrderDate}"},
        Valid{"DateAdd(\"d\", 1, {Orders.OrderDate})"}, Valid{"ToText({Orders.Amount}, 2) + \" $\""},
        Valid{"Round({Orders.Amount}, 2) * 2"}, Valid{"Left({Orders.Customer}, 2) StartsWith \"A\""},
        Valid{"{Orders.Customer} Like \"A*\""}, Valid{"{Order Details.Unit Price} * 2"},
        Valid{"{Linked.Anything} & \"\""}, Valid{"IIF({Orders.Qty} > 1, \"many\", \"one\")"},
        Valid{"(1; 2; 3)"}, Valid{"If {Orders.Qty} > 1 Then (\"a\"; \"b\") Else (\"c\")"},
        Valid{"Local StringVar Array a := [\"x\", \"y\"]; a[2]"}, Valid{"{?StartDate} <= CurrentDate"},
        Valid{"crRed"}, Valid{"UpperCase({Orders.Customer})"}, Valid{"1;"},
        Valid{"Local NumberVar Array a; Redim Preserve a[10]; UBound(a)"}, Valid{"True Xor False Eqv True"}));

struct Invalid {
    const char* formula;
    const char* message;
    size_t position;
};

class InvalidFormula : public ::testing::TestWithParam<Invalid> {};

TEST_P(InvalidFormula, FailsWithMessage) {
    const Invalid& c = GetParam();
    FormulaCheckResult r = CheckFormula(c.formula, Symbols());
    EXPECT_FALSE(r.ok) << c.formula;
    EXPECT_EQ(r.message, c.message) << c.formula;
    EXPECT_EQ(r.position, c.position) << c.formula;
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, InvalidFormula,
    ::testing::Values(
        Invalid{"(1 + 2", "The ) is missing.", 6}, Invalid{"Round(1, 2", "The ) is missing.", 10},
        Invalid{"{Orders.Nope} + 1", "This field name is not known.", 0},
        Invalid{"1 + {Nope.Qty}", "This field name is not known.", 4},
        Invalid{"{@Missing}", "This field name is not known.", 0},
        Invalid{"{?Missing}", "This field name is not known.", 0},
        Invalid{"1 2", "The remaining text does not appear to be part of the formula.", 2},
        Invalid{"Now", "The remaining text does not appear to be part of the formula.", 0},
        Invalid{"Nz({Orders.Qty}, 0)", "The remaining text does not appear to be part of the formula.", 0},
        Invalid{"1 + Now",
                "A number, currency amount, boolean, date, time, date-time, or string is expected here.", 4},
        Invalid{"IF [Qty]>10 Then 1 else 0",
                "A number, currency amount, boolean, date, time, date-time, or string is expected here.", 4},
        Invalid{"1 +",
                "A number, currency amount, boolean, date, time, date-time, or string is expected here.", 3},
        Invalid{"* 2",
                "A number, currency amount, boolean, date, time, date-time, or string is expected here.", 0},
        Invalid{"Count(*)",
                "A number, currency amount, boolean, date, time, date-time, or string is expected here.", 6},
        Invalid{"If 1 Then 2 Else 3", "A boolean is required here.", 3},
        Invalid{"If {Orders.Qty} > 1 2", "The keyword 'then' is missing.", 20},
        Invalid{"If {Orders.Shipped} Then 1 Else \"x\"", "A number is required here.", 32},
        Invalid{"\"a\" + 1", "A string is required here.", 6},
        Invalid{"{Orders.Customer} - 1", "A number or currency amount is required here.", 0},
        Invalid{"Not 5", "A boolean is required here.", 4},
        Invalid{"{Orders.Qty} And True", "A boolean is required here.", 0},
        Invalid{"$5 * $2", "A number is required here.", 5},
        Invalid{"\"abc", "The matching \" for this string is missing.", 0},
        Invalid{"1 + 'abc", "The matching ' for this string is missing.", 4},
        Invalid{"{Orders.Qty", "The } is missing.", 0},
        Invalid{"Left(\"abc\")", "Not enough arguments have been given to this function.", 10},
        Invalid{"Left(\"abc\", 1, 2)", "Too many arguments have been given to this function.", 15},
        Invalid{"Left", "The ( is missing.", 4}, Invalid{"[1, 2", "The ] is missing.", 5},
        Invalid{"Sum({Orders.Qty}, {Orders.OrderID})", "There must be a group that matches this field.", 18},
        Invalid{"Local NumberVar x := \"a\"", "A number is required here.", 21},
        Invalid{"Local NumberVar Left", "A variable name is expected here.", 16},
        Invalid{"1 := 2", "A variable name is expected here.", 0},
        Invalid{"1; Else", "The remaining text does not appear to be part of the formula.", 3},
        Invalid{"{Orders.Qty} = \"a\"", "A number is required here.", 15},
        Invalid{"#hello#", "A date-time literal is not valid here.", 0},
        Invalid{"1 + 1E3", "The remaining text does not appear to be part of the formula.", 5},
        Invalid{"Select 1 Case \"a\": 1", "A number is required here.", 14}));

TEST(FormulaCheck, DeepNestingFailsWithoutCrashing) {
    std::string deep(5000, '(');
    deep += "1";
    deep += std::string(5000, ')');
    FormulaCheckResult r = CheckFormula(deep, Symbols());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, msg::kTooComplex);
}

TEST(FormulaCheck, GivesTheResultType) {
    EXPECT_EQ(CheckFormula("{Orders.Amount} * 2", Symbols()).valueType, crCurrencyField);
    EXPECT_EQ(CheckFormula("If {Orders.Shipped} Then 'a' Else 'b'", Symbols()).valueType, crStringField);
    EXPECT_EQ(CheckFormula("WhilePrintingRecords; {Orders.OrderDate} - 1", Symbols()).valueType,
              crDateTimeField);
    EXPECT_EQ(CheckFormula("{@Subtotal}", Symbols()).valueType, crUnknownField);
    EXPECT_EQ(CheckFormula("(", Symbols()).valueType, crUnknownField);
}

TEST(FormulaCheck, KeywordsAndFunctionsIgnoreCase) {
    EXPECT_TRUE(CheckFormula("if {ORDERS.QTY} > 1 then uppercase('a') else LOWERCASE('B')", Symbols()).ok);
}

}  // namespace
}  // namespace designer
