// Text-box sources as real reports write them: form references, bracketed fields, calculated
// controls named before they are met, page counts, times, two-argument IIf and group totals.
// Every formula made must pass the designer's check.
#include <gtest/gtest.h>

#include <utility>

#include "convert/layout_support.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

struct SourceCase {
    const char* what;
    std::string body;  // group levels and sections of a report on Orders
    std::vector<std::pair<std::string, std::vector<std::string>>> areas;  // area code, its objects
    std::vector<std::pair<std::string, std::string>> formulas;            // formula field, its text
    std::vector<std::string> parameters;
};

TEST(LayoutSources, TextBoxSourcesOfRealReports) {
    const std::string detail = Section("Section", "Detail", {Field("tAmount", "Amount")});
    const SourceCase cases[] = {
        {"form references in any case, bracketed or not, alone or in an expression",
         Section(
             "Section", "Detail",
             {Field("fStart", "=[Forms]![frmDates]![StartDate]", 100, 0),
              Field("fEnd", "=forms!frmDates!EndDate", 100, 400),
              Field("fRange",
                    "=\"From \" & [Forms]![frmDates]![StartDate] & \" to \" & [FORMS]![frmDates]![EndDate]",
                    100, 800)}),
         {{"D", {"F:{?StartDate}", "F:{?EndDate}", "F:{@fRange}"}}},
         {{"fRange", "\"From \" & {?StartDate} & \" to \" & {?EndDate}"}},
         {"StartDate", "EndDate"}},
        {"a bracketed bound source is a field of the record source",
         Section("Section", "Detail", {Field("tCustomer", "[Customer]")}),
         {{"D", {"F:{Orders.Customer}"}}},
         {},
         {}},
        {"a calculated control named before it is met",
         Section("PageHeader", "PageHeaderSection", {Field("Doubled", "=[Subtotal]*2")}) +
             Section("Section", "Detail", {Field("Subtotal", "=[Amount]+1")}),
         {{"PH", {"F:{@Doubled}"}}, {"D", {"F:{@Subtotal}"}}},
         {{"Doubled", "{@Subtotal}*2"}, {"Subtotal", "{Orders.Amount}+1"}},
         {}},
        {"page count alone, the time, IIf without an else part",
         Section("PageHeader", "PageHeaderSection", {Field("Pages", "=[Pages]")}) +
             Section("Section", "Detail",
                     {Field("At", "=Time()", 100, 0), Field("Big", "=IIf([Amount]>10,\"big\")", 100, 400)}),
         {{"PH", {"F:{@Pages}"}}, {"D", {"F:{@At}", "F:{@Big}"}}},
         {{"Pages", "TotalPageCount"}, {"At", "CurrentTime"}, {"Big", "IF {Orders.Amount}>10 Then \"big\""}},
         {}},
        {"totals of a group footer are the group's, of the report footer the report's",
         Level("Customer", true, true) +
             GroupFooter(0, "GroupFooter0", {Field("GroupSum", "=Sum([Amount])")}) +
             GroupHeader(0, "GroupHeader0", {Field("GroupMax", "=Max([Amount])")}) + detail +
             Section("FormFooter", "ReportFooter", {Field("GrandSum", "=Sum([Amount])")}),
         {{"GF1", {"F:{@GroupSum}"}}, {"GH1", {"F:{@GroupMax}"}}, {"RF", {"F:{@GrandSum}"}}},
         {{"GroupSum", "Sum({Orders.Amount}, {Orders.Customer})"},
          {"GroupMax", "Maximum({Orders.Amount}, {Orders.Customer})"},
          {"GrandSum", "Sum({Orders.Amount})"}},
         {}},
    };
    // Each case in a function of its own: a failed assertion ends that case only.
    for (const SourceCase& c : cases)
        [&] {
            JobRun run;
            run.AddInternalLink();
            run.front.AddReport("R", "Orders", c.body);
            clsConvert& job = run.NewJob("R");
            ASSERT_TRUE(run.Convert()) << c.what;
            EXPECT_TRUE(run.Problems().empty()) << c.what << ::testing::PrintToString(run.Problems());
            const designer::Report& r = *job.crReport();
            for (const auto& [area, objects] : c.areas)
                EXPECT_EQ(AreaObjects(r, area), objects) << c.what << " " << area;
            EXPECT_EQ(r.FormulaFields().Count(), static_cast<int>(c.formulas.size())) << c.what;
            for (const auto& [name, text] : c.formulas) {
                designer::FormulaFieldDefinition* f = r.FormulaFields().Find(name);
                ASSERT_NE(f, nullptr) << c.what << " " << name;
                EXPECT_EQ(f->Text(), text) << c.what << " " << name;
                bool ok = false;
                std::string message;
                f->Check(ok, message);
                EXPECT_TRUE(ok) << c.what << " " << name << ": " << message;
            }
            std::vector<std::string> parameters;
            for (const auto& p : r.ParameterFields()) parameters.push_back(p->Name());
            EXPECT_EQ(parameters, c.parameters) << c.what;
            EXPECT_EQ(r.EnableParameterPrompting, !c.parameters.empty()) << c.what;
        }();
}

}  // namespace
}  // namespace convert_test
