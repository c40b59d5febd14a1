// ConvertFormula end to end: the worked examples (rows marked "mended" differ from the old
// textual rewriter on purpose) and the faults it had.
#include <gtest/gtest.h>

#include "convert/formula/formula_translator.h"
#include "support/recording_formula_context.h"

namespace tolvaran {
namespace {

struct Row {
    const char* input;
    const char* expected;
};

class Translation : public ::testing::TestWithParam<Row> {};

RecordingFormulaContext OrdersContext() {
    RecordingFormulaContext ctx;
    ctx.tableName = "Orders";
    ctx.formulaFields = {"Subtotal"};
    return ctx;
}

TEST_P(Translation, GivesTheFormula) {
    RecordingFormulaContext ctx = OrdersContext();
    FormulaTranslator tr(ctx);
    EXPECT_EQ(tr.ConvertFormula(GetParam().input), GetParam().expected) << GetParam().input;
    EXPECT_TRUE(ctx.errors.empty());
}

// Current table Orders; Subtotal is a formula field made earlier.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Translation,
    ::testing::Values(
        Row{"[Page] & [Pages]", "PageNumber & TotalPageCount"},
        Row{"[Qty]*[Price]", "{Orders.Qty}*{Orders.Price}"}, Row{"[Subtotal]*1.1", "{@Subtotal}*1.1"},
        Row{"Avg([Qty])", "Average({Orders.Qty})"},
        Row{"Max([Qty])+Max([Price])", "Maximum({Orders.Qty})+Maximum({Orders.Price})"},  // mended
        Row{"Sum([Qty]) &", "Sum({Orders.Qty}) "},
        Row{"IIf([Qty]>10,1,0)", "IF {Orders.Qty}>10 Then 1 else 0"},  // mended
        Row{"IIf([Qty]>10,2,IIf([Qty]>5,1,0))",
            "IF {Orders.Qty}>10 Then 2 else IF {Orders.Qty}>5 Then 1 else 0"},                      // mended
        Row{"IIf([Disc] Is Null,0,[Disc])", "IF IsNull({Orders.Disc}) Then 0 else {Orders.Disc}"},  // mended
        Row{"Format([Amount],2)", "{Orders.Amount}"}, Row{"Date()", "CurrentDate"},
        Row{"Now()", "CurrentDateTime"},   // mended
        Row{"[Pages]", "TotalPageCount"},  // mended
        Row{"1+2", "1+2"}));               // mended

INSTANTIATE_TEST_SUITE_P(
    MendedFaults, Translation,
    ::testing::Values(
        // References inside an IIf are translated, with the formula-field check.
        Row{"IIf([Subtotal]>[Qty],\"a\",[Price])",
            "IF {@Subtotal}>{Orders.Qty} Then \"a\" else {Orders.Price}"},
        // Only the Date function becomes CurrentDate.
        Row{"[OrderDate]+1", "{Orders.OrderDate}+1"},
        Row{"DateAdd(\"d\",1,[ShipDate])", "DateAdd(\"d\",1,{Orders.ShipDate})"},
        Row{"\"Date: \" & Date()", "\"Date: \" & CurrentDate"},
        Row{"[OrderDate]-Date()", "{Orders.OrderDate}-CurrentDate"},
        Row{"Date()-Date()", "CurrentDate-CurrentDate"},
        // Every Avg, Min and Max call is renamed; names holding those words are not.
        Row{"Avg([a])+Avg([b])", "Average({Orders.a})+Average({Orders.b})"},
        Row{"Min([a])-Min([b])+[MinQty]", "Minimum({Orders.a})-Minimum({Orders.b})+{Orders.MinQty}"},
        // Two IIf calls side by side, text before a lone IIf, commas inside literals.
        Row{"IIf([a],1,2) & IIf([b],3,4)", "(IF {Orders.a} Then 1 else 2) & (IF {Orders.b} Then 3 else 4)"},
        Row{"[Name] & IIf([a]=1,\"x\",\"y\")", "{Orders.Name} & (IF {Orders.a}=1 Then \"x\" else \"y\")"},
        Row{"IIf([a]=\"1,2\",\"x, y\",'z,')", "IF {Orders.a}=\"1,2\" Then \"x, y\" else 'z,'"},
        Row{"Sum(IIf([a]>0,[a],0))+1", "Sum(IF {Orders.a}>0 Then {Orders.a} else 0)+1"},
        Row{"IIf(IIf([a],1,0)=1,IIf([b],2,3),4)",
            "IF (IF {Orders.a} Then 1 else 0)=1 Then (IF {Orders.b} Then 2 else 3) else 4"},
        // Format's bracket pairs by nesting, however many brackets there are.
        Row{"Format(Sum([x]),2)", "Sum({Orders.x})"},
        Row{"Format([a],\"0\") & Format([b],\"0.00\")", "{Orders.a} & {Orders.b}"},
        Row{"Format([a])", "{Orders.a}"},
        // [Page] and [Pages] are the page number and count wherever they stand.
        Row{"[Page] & [Unit] & [Pages]", "PageNumber & {Orders.Unit} & TotalPageCount"},
        Row{"\"Total \" & [Pages] & \", page \" & [Page]",
            "\"Total \" & TotalPageCount & \", page \" & PageNumber"},
        Row{"[Unit] & [Page]", "{Orders.Unit} & PageNumber"},
        // Time is the current time; IIf with two arguments has no else part.
        Row{"Time()", "CurrentTime"}, Row{"\"At \" & Time", "\"At \" & CurrentTime"},
        Row{"IIf([a]>1,\"many\")", "IF {Orders.a}>1 Then \"many\""},
        Row{"[x] & IIf([a],1)", "{Orders.x} & (IF {Orders.a} Then 1)"},
        Row{"IIf([Page]>1,[Plot_ID],\"\")", "IF PageNumber>1 Then {Orders.Plot_ID} else \"\""},
        Row{"\"Page \" & [Page] & \" of \" & [Pages]", "\"Page \" & PageNumber & \" of \" & TotalPageCount"},
        // Expressions without references.
        Row{"\"Total: \"", "\"Total: \""}, Row{"2*(3+4)", "2*(3+4)"},
        // Is Null and Is Not Null around the whole operand.
        Row{"[a] Is Null", "IsNull({Orders.a})"},
        Row{"[a] & [b] Is Not Null", "Not IsNull({Orders.a} & {Orders.b})"},
        Row{"IIf([a]=1 Or [b] Is Null,1,0)", "IF {Orders.a}=1 Or IsNull({Orders.b}) Then 1 else 0"},
        Row{"IIf([a] Is Null And [b] Is Not Null,1,0)",
            "IF IsNull({Orders.a}) And Not IsNull({Orders.b}) Then 1 else 0"},
        Row{"Is Null", "Is Null"}, Row{"\"x Is Null\"", "\"x Is Null\""},
        // Access's Boolean constants in any case; a name in brackets or a text stays a field or a text.
        Row{"IIf([Paid]=Yes,\"paid\",\"due\")", "IF {Orders.Paid}=True Then \"paid\" else \"due\""},
        Row{"[a]=no Or [b]=OFF Or [c]=On Or [d]=true Or [e]=FALSE Or [Yes]=\"No\"",
            "{Orders.a}=False Or {Orders.b}=False Or {Orders.c}=True Or {Orders.d}=True Or {Orders.e}=False "
            "Or "
            "{Orders.Yes}=\"No\""}));

INSTANTIATE_TEST_SUITE_P(Tokens, Translation,
                         ::testing::Values(Row{"[Unit Price]*[Qty]", "{Orders.Unit Price}*{Orders.Qty}"},
                                           Row{"[N° commande] & \" [x] \"",
                                               "{Orders.N° commande} & \" [x] \""},
                                           Row{"\"say \"\"[hi]\"\"\"", "\"say \"\"[hi]\"\"\""},
                                           Row{"[Orders Detail].[Unit Price]", "{Orders Detail.Unit Price}"},
                                           Row{"[TempVars]![Park] & [a]", "[TempVars]![Park] & {Orders.a}"},
                                           Row{"Format(\"Format(\",[x])", "\"Format(\""},
                                           Row{"#1/31/2024# + [Days]", "#1/31/2024# + {Orders.Days}"},
                                           Row{"Len ([x])", "Len ({Orders.x})"}));

// With the fields' types known, IIf and Nz give formulas the designer's check takes: one type
// for both branches, and a number or a date as a condition read as Access reads it.
TEST(TranslationTypes, IIfAndNzGiveFormulasThatCheck) {
    RecordingFormulaContext ctx = OrdersContext();
    ctx.fieldTypes = {{"Name", designer::crStringField},         {"Note", designer::crPersistentMemoField},
                      {"Qty", designer::crNumberField},          {"Flag", designer::crBooleanField},
                      {"ApprovedOn", designer::crDateTimeField}, {"SentOn", designer::crDateTimeField},
                      {"ShipDate", designer::crDateField}};
    FormulaTranslator tr(ctx);
    const Row rows[] = {
        {"IIf([Flag],\"\",Abs([Qty]))", "IF {Orders.Flag} Then \"\" else ToText(Abs({Orders.Qty}))"},
        {"IIf([Flag],0,MonthName([Qty]))", "IF {Orders.Flag} Then \"0\" else MonthName({Orders.Qty})"},
        {"IIf([Flag],\"x\",IIf([Qty]>1,1,2))",
         "IF {Orders.Flag} Then \"x\" else ToText(IF {Orders.Qty}>1 Then 1 else 2)"},
        {"IIf([ApprovedOn],[ApprovedOn],[SentOn])",
         "IF Not IsNull({Orders.ApprovedOn}) And {Orders.ApprovedOn} <> DateTime(1899, 12, 30, 0, 0, 0) Then "
         "{Orders.ApprovedOn} else {Orders.SentOn}"},
        {"IIf([ShipDate],1,0)",
         "IF Not IsNull({Orders.ShipDate}) And {Orders.ShipDate} <> Date(1899, 12, 30) Then 1 else 0"},
        {"IIf([Qty]-1,\"some\")", "IF Not IsNull({Orders.Qty}-1) And {Orders.Qty}-1 <> 0 Then \"some\""},
        {"Nz([Qty])", "IF IsNull({Orders.Qty}) Then 0 else {Orders.Qty}"},
        {"Nz([Qty],\"-\")", "IF IsNull({Orders.Qty}) Then \"-\" else ToText({Orders.Qty})"},
        {"UCase(Left(Nz([Name]),1))", "UCase(Left(IF IsNull({Orders.Name}) Then \"\" else {Orders.Name},1))"},
        {"[Name] & nz([Note])", "{Orders.Name} & (IF IsNull({Orders.Note}) Then \"\" else {Orders.Note})"},
        {"Nz(Nz([Flag]),True)",
         "IF IsNull(IF IsNull({Orders.Flag}) Then False else {Orders.Flag}) Then True else IF "
         "IsNull({Orders.Flag}) Then False else {Orders.Flag}"},
    };
    for (const Row& r : rows) {
        const std::string formula = tr.ConvertFormula(r.input);
        EXPECT_EQ(formula, r.expected) << r.input;
        EXPECT_NE(ctx.ValueTypeOf(formula), designer::crUnknownField) << formula;
    }
}

TEST(TranslationFormat, AnyNumberOfBracketsPairs) {
    RecordingFormulaContext ctx = OrdersContext();
    FormulaTranslator tr(ctx);
    const std::string open(12, '('), close(12, ')');
    EXPECT_EQ(tr.ConvertFormula("Format(" + open + "[x]" + close + ",\"0\") & \"m\""),
              open + "{Orders.x}" + close + " & \"m\"");
    EXPECT_TRUE(ctx.messages.empty());
}

TEST(TranslationCount, CountOfAllRowsUsesAFieldTheDesignerKnows) {
    RecordingFormulaContext ctx = OrdersContext();
    ctx.rowCountField = "OrderID";
    FormulaTranslator tr(ctx);
    EXPECT_EQ(tr.ConvertFormula("Count(*)"), "Count({Orders.OrderID})");
    EXPECT_EQ(tr.ConvertFormula("CDbl(Count(*))"), "CDbl(Count({Orders.OrderID}))");
    // A field named in the expression is counted, as before an IIf.
    EXPECT_EQ(tr.ConvertFormula("Count(*) & [x] & IIf([y],1,2)"),
              "Count({Orders.x}) & {Orders.x} & (IF {Orders.y} Then 1 else 2)");
    ctx.rowCountField.clear();
    EXPECT_EQ(tr.ConvertFormula("Count(*)"), "Count(*)");
}

TEST(TranslationGroups, TotalsInAGroupSectionAreTheGroups) {
    RecordingFormulaContext ctx = OrdersContext();
    ctx.groupField = "{Orders.Customer}";
    ctx.rowCountField = "ID";
    FormulaTranslator tr(ctx);
    const Row rows[] = {
        {"Sum([Amount])", "Sum({Orders.Amount}, {Orders.Customer})"},
        {"Avg([a])+Max([b])-Min([c])",
         "Average({Orders.a}, {Orders.Customer})+Maximum({Orders.b}, "
         "{Orders.Customer})-Minimum({Orders.c}, {Orders.Customer})"},
        {"Count(*)", "Count({Orders.ID}, {Orders.Customer})"},
        {"Sum(IIf([a]>0,[a],0))", "Sum(IF {Orders.a}>0 Then {Orders.a} else 0, {Orders.Customer})"},
        {"Sum([a])/Sum([b])*100",
         "Sum({Orders.a}, {Orders.Customer})/Sum({Orders.b}, {Orders.Customer})*100"},
        // Totals that already name their group, and other functions, are left alone.
        {"Sum([a],[b])", "Sum({Orders.a},{Orders.b})"},
        {"Abs([a])", "Abs({Orders.a})"},
    };
    for (const Row& r : rows) EXPECT_EQ(tr.ConvertFormula(r.input), r.expected) << r.input;
    ctx.groupField.clear();
    EXPECT_EQ(tr.ConvertFormula("Sum([Amount])"), "Sum({Orders.Amount})");
}

TEST(TranslationSteps, WritesTheStepLinesInOrder) {
    RecordingFormulaContext ctx = OrdersContext();
    FormulaTranslator tr(ctx);
    EXPECT_EQ(tr.ConvertFormula("Format(Date(),\"Medium Date\") & Avg([x])"),
              "CurrentDate & Average({Orders.x})");
    std::vector<std::string> expected = {"Fix Medium Date", "Convert 'Avg( to Average('",
                                         "Convert 'Min( to '", "Convert 'Max( to '"};
    EXPECT_EQ(ctx.stepLines, expected);
    for (const auto& fn : ctx.stepFunctions) EXPECT_EQ(fn, "ConvertFormula");

    ctx.stepLines.clear();
    EXPECT_EQ(tr.ConvertFormula("[OrderDate]"), "{Orders.OrderDate}");
    EXPECT_EQ(ctx.stepLines.size(), 3u) << "no date step for a name holding Date";
}

TEST(TranslationFailures, UnclosedTextIsLoggedAndNotConverted) {
    for (const char* bad : {"[Qty", "Qty]+[x]", "\"abc & [x]", "IIf([a],1,2"}) {
        RecordingFormulaContext ctx = OrdersContext();
        FormulaTranslator tr(ctx);
        EXPECT_EQ(tr.ConvertFormula(bad), "") << bad;
    }
    RecordingFormulaContext ctx = OrdersContext();
    FormulaTranslator tr(ctx);
    tr.ConvertFormula("[Qty");
    ASSERT_EQ(ctx.errors.size(), 1u);
    EXPECT_EQ(ctx.errors[0].function, "ConvertFormula");
    EXPECT_EQ(ctx.errors[0].level, LogLevel::Error);
}

TEST(TranslationFailures, MalformedIIfIsNotConverted) {
    RecordingFormulaContext ctx = OrdersContext();
    FormulaTranslator tr(ctx);
    EXPECT_EQ(tr.ConvertFormula("IIf([a])"), "");
    EXPECT_EQ(tr.ConvertFormula("[x] & IIf([a],1,2,3)"), "");
}

}  // namespace
}  // namespace tolvaran
