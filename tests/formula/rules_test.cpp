// The translator's members one by one.
#include <gtest/gtest.h>

#include "convert/formula/cls_string.h"
#include "convert/formula/formula_translator.h"
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
