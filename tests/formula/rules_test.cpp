// The translator's members one by one.
#include <gtest/gtest.h>

#include "convert/formula/cls_string.h"
#include "convert/formula/formula_translator.h"
#include "convert/formula/parser.h"
#include "platform/common/expression_tokens.h"
#include "support/recording_formula_context.h"

namespace tolvaran {
namespace {

class Rules : public ::testing::Test {
  protected:
    Rules() : tr(ctx) {
        ctx.tableName = "Orders";
        ctx.formulaFields = {"Subtotal", "Tax"};
    }
    RecordingFormulaContext ctx;
    FormulaTranslator tr;
};

TEST_F(Rules, ConvertIIFKeepsReferencesInAccessForm) {
    EXPECT_EQ(tr.ConvertIIF("IIf([Qty]>10,1,0)"), "IF [Qty]>10 Then 1 else 0");
    EXPECT_EQ(tr.ConvertIIF("  iif(a,b,c)  "), "IF a Then b else c");
    EXPECT_EQ(tr.ConvertIIF("x"), "") << "one item: nothing to rewrite";
    EXPECT_EQ(tr.ConvertIIF("Nz(IIf(a,b,c),0) & IIf(d,e,f)"),
              "Nz(IF a Then b else c,0) & (IF d Then e else f)");
    EXPECT_EQ(tr.ConvertIIF("-IIf(a,b,c)"), "-(IF a Then b else c)");
    EXPECT_EQ(tr.ConvertIIF("(IIf(a,b,c))"), "(IF a Then b else c)");
}

TEST_F(Rules, ConvertOneIIF) {
    EXPECT_EQ(tr.ConvertOneIIF("IIf(%1%>1,b,c)"), "IF %1%>1 Then b else c");
    EXPECT_EQ(tr.ConvertOneIIF("IIf (a, \"b,c\", d)"), "IF a Then  \"b,c\" else  d");
    EXPECT_EQ(tr.ConvertOneIIF("Sum(%1%)"), "Sum(%1%)");
    EXPECT_EQ(tr.ConvertOneIIF("IIf(a,b)"), "IF a Then b");
    EXPECT_EQ(tr.ConvertOneIIF("IIf(a)"), "");
    EXPECT_EQ(tr.ConvertOneIIF("IIf(a,b,c,d)"), "");
    EXPECT_EQ(tr.ConvertOneIIF("IIf(a,b,c"), "");
    EXPECT_EQ(tr.ConvertOneIIF("[IIf(a,b,c)]"), "[IIf(a,b,c)]");
}

TEST_F(Rules, CheckForFunction) {
    EXPECT_EQ(tr.CheckForFunction("Format([x],\"0.00\") & \"m\"", "Format("), "[x] & \"m\"");
    EXPECT_EQ(tr.CheckForFunction("Format(Sum([x]),2)", "Format("), "Sum([x])");
    EXPECT_EQ(tr.CheckForFunction("Format(Left([x],2),\"@\")", "Format("), "Left([x],2)");
    EXPECT_EQ(tr.CheckForFunction("MyFormat([x],2)", "Format("), "MyFormat([x],2)");
    EXPECT_EQ(tr.CheckForFunction("[x]", "Format("), "[x]");
    EXPECT_TRUE(ctx.messages.empty());
    EXPECT_EQ(tr.CheckForFunction("Format(Sum([x],2)", "Format("), "");
    EXPECT_EQ(ctx.messages, std::vector<std::string>{"A formula has mismatched brackets!"});
}

TEST_F(Rules, FixIsNullRewritesOneAtATime) {
    EXPECT_EQ(tr.FixIsNull("IF [a] Is Null Then 0 else [a]"), "IF IsNull([a]) Then 0 else [a]");
    EXPECT_EQ(tr.FixIsNull("[a] Is Null Or [b] Is Null"), "IsNull([a]) Or [b] Is Null");
    EXPECT_EQ(tr.FixIsNull("Nz([a], [b] + 1 Is Not Null)"), "Nz([a], Not IsNull([b] + 1))");
    EXPECT_EQ(tr.FixIsNull("([a]) Is Null"), "IsNull(([a]))");
    EXPECT_EQ(tr.FixIsNull("[x] Is Nullish"), "[x] Is Nullish");
    EXPECT_EQ(tr.FixIsNull("Is Null"), "Is Null");
    EXPECT_EQ(tr.FixIsNull("(Is Null) Or [a] Is Null"), "(Is Null) Or IsNull([a])");
}

TEST_F(Rules, DateFixesTouchOnlyTheDateFunction) {
    EXPECT_EQ(tr.FixMediumDate("Date()"), "CurrentDate");
    EXPECT_EQ(tr.FixMediumDate("Year(Date) & Date ( )"), "Year(CurrentDate) & CurrentDate");
    EXPECT_EQ(tr.FixLongDate("Date()"), "{CurrentDate}");
    EXPECT_EQ(tr.FixMediumDate("{Orders.OrderDate} & \"Date\""), "{Orders.OrderDate} & \"Date\"");
    EXPECT_EQ(tr.FixMediumDate("Date(2024,1,2)"), "Date(2024,1,2)");
    EXPECT_EQ(tr.FixMediumDate("[T].Date"), "[T].Date");
    EXPECT_EQ(tr.FixMediumDate("1+2"), "") << "only called on a text holding Date";
    EXPECT_EQ(tr.FixLongDate("1+2"), "");
}

TEST_F(Rules, FixFunctionRenamesEveryCallAndLogs) {
    EXPECT_EQ(tr.FixFunction("Max([a])+Max ([b])+[Max]+Maxi([c])", "Max("),
              "Maximum([a])+Maximum ([b])+[Max]+Maxi([c])");
    EXPECT_EQ(tr.FixFunction("[a]", "Avg("), "[a]");
    std::vector<std::string> expected = {"Convert 'Max( to Maximum('", "Convert 'Avg( to '"};
    EXPECT_EQ(ctx.stepLines, expected);
}

TEST_F(Rules, IsFormulaFieldIsExactAndCaseSensitive) {
    EXPECT_TRUE(tr.IsFormulaField("Tax"));
    EXPECT_FALSE(tr.IsFormulaField("tax"));
    EXPECT_FALSE(tr.IsFormulaField("Ta"));
    EXPECT_EQ(tr.ConvertFormula("[Tax]+[tax]"), "{@Tax}+{Orders.tax}");
}

// Every condition of a long chain is rewritten, in one pass over the chain (each rewrite
// used to go over the whole text again: 10,000 conditions took half a minute).
TEST_F(Rules, LongChainsOfIsNullAreRewrittenWhole) {
    std::string access, crystal;
    for (int i = 0; i < 20000; ++i) {
        access += i % 2 ? "[a] Is Null Or " : "([b] + 1) Is Not Null And ";
        crystal += i % 2 ? "IsNull({Orders.a}) Or " : "Not IsNull(({Orders.b} + 1)) And ";
    }
    EXPECT_EQ(tr.ConvertFormula(access + "[c] = 1"), crystal + "{Orders.c} = 1");
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Long texts of every shape are translated as the rules say, in time in proportion to their
// length (each of these took seconds or more while a rewrite went over the whole text again).
TEST_F(Rules, LongTextsOfEveryShape) {
    struct Row {
        std::string access, crystal, group = {};
    };
    const int n = 4000;
    const std::string a = "IsNull({Orders.a})";
    const std::vector<Row> rows = {
        // A bare Is, a name with a byte above ASCII, a bracket that closes nothing.
        {Repeat("[a] Is Null Or ", n) +
             "[a] Is Null Is [a] Is Null Or [\x9a"
             "a] Is Null Or [a] Or [a])Is Null Or " +
             Repeat("[a] Is Null Or ", n) + "[b] Is Not Null",
         Repeat(a + " Or ", n) + a + " Is " + a +
             " Or IsNull({Orders.\x9a"
             "a}) Or {Orders.a} Or {Orders.a})Is Null Or " +
             Repeat(a + " Or ", n) + "Not IsNull({Orders.b})"},
        // Nothing between the conditions ends an operand: each takes in the ones before it.
        {Repeat("[a] Is Null + ", n) + "[c]",
         Repeat("IsNull(", n) + "{Orders.a})" + Repeat(" + {Orders.a})", n - 1) + " + {Orders.c}"},
        {"[a]" + Repeat(" Is Null", n), Repeat("IsNull(", n) + "{Orders.a}" + std::string(n, ')')},
        {"(" + Repeat("[a] Is Not Null Or ", n) + "[c])",
         "(" + Repeat("Not IsNull({Orders.a}) Or ", n) + "{Orders.c})"},
        // A keyword right before the operand stays a word of its own.
        {"[x] Or[a] Is Null", "{Orders.x} Or IsNull({Orders.a})"},
        {Repeat("Nz([a], 0) + ", 1600) + "0",
         Repeat("(IF IsNull({Orders.a}) Then 0 else {Orders.a}) + ", 1600) + "0"},
        {Repeat("IIf([a],1,", 999) + "0" + std::string(999, ')'),
         Repeat("IF {Orders.a} Then 1 else ", 999) + "0"},
        {Repeat("Sum(", 16000) + "[a]" + std::string(16000, ')'),
         Repeat("Sum(", 16000) + "{Orders.a}" + Repeat(", {Orders.G})", 16000), "{Orders.G}"},
    };
    for (const Row& row : rows) {
        ctx.groupField = row.group;
        EXPECT_EQ(tr.ConvertFormula(row.access), row.crystal) << row.access.substr(0, 60);
    }
}

// A number condition is written twice (Not IsNull(c) And c <> 0), so conditions nested in
// conditions doubled the text at each level (30 levels took minutes and gigabytes): past what
// the checks of one expression may read, the outer conditions are left as they are.
TEST_F(Rules, ConditionsInConditionsStayBounded) {
    const std::string out = tr.ConvertFormula(Repeat("IIf(", 30) + "[a]" + Repeat(",1,2)", 30));
    EXPECT_EQ(out.substr(0, 40), Repeat("IF (", 10));
    EXPECT_NE(
        out.find("IF Not IsNull((IF {Orders.a} Then 1 else 2)) And (IF {Orders.a} Then 1 else 2) <> 0 Then"),
        std::string::npos);
    EXPECT_LT(out.size(), 100000u);
}

// A placeholder written in the expression could not be told from the parser's own (and put
// back, could double the text at each item).
TEST_F(Rules, PlaceholderInTheExpressionIsRefused) {
    EXPECT_THROW(Parser().Parse("Sum(%1%)"), ExpressionError);
    EXPECT_EQ(tr.ConvertFormula("IIf([a],1,2) & f(%1%%1%) & g(%2%%2%)"), "");
    EXPECT_EQ(ctx.messages, std::vector<std::string>{"The %1% at position 25 is not part of an expression"});
}

TEST_F(Rules, DeeplyNestedIIfIsNotConvertedAndSaysWhy) {
    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += "IIf([a],1,";
    deep += "0" + std::string(2000, ')');
    EXPECT_EQ(tr.ConvertFormula(deep), "");
    EXPECT_EQ(ctx.messages.size(), 1u);
}

TEST(ClsString, PartsAreIndexedFromOne) {
    clsString s;
    s.setPart(3, "c");
    s.setPart(1, "a");
    EXPECT_EQ(s.Part(1), "a");
    EXPECT_EQ(s.Part(2), "");
    EXPECT_EQ(s.Part(3), "c");
    EXPECT_EQ(s.Part(4), "");
    EXPECT_EQ(s.Part(0), "");
}

}  // namespace
}  // namespace tolvaran
