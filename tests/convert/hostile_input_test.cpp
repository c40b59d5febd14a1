// Exports a converter meets in the wild that once went wrong: positions no whole number
// holds, and calculated controls whose names a formula name cannot take.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/layout_support.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

bool HasRow(const std::vector<LogRow>& rows, const std::string& function, const std::string& text) {
    for (const LogRow& r : rows)
        if (r.ErrorOccuredInFunction == function && r.ErrorDesc.find(text) != std::string::npos) return true;
    return false;
}

// Left =6E66 or a whole number of twenty digits raises Overflow, which the converter traps
// and logs like any other property error, naming the property, the control and the value;
// text that is no number is a type mismatch. No position is stored wrapped or sign-flipped.
TEST(HostileInput, PositionsOutOfRangeAreLoggedAsOverflow) {
    JobRun run;
    run.AddInternalLink();
    const auto control = [](const std::string& name, const std::string& left) {
        return Ctl{"TextBox",
                   {Text("Name", name), Text("ControlSource", "Amount"), "Left =" + left, Num("Top", 50),
                    Num("Width", 1000), Num("Height", 300)}};
    };
    run.front.AddReport(
        "R", "Orders",
        Section("FormHeader", "ReportHeader", {control("Huge", "6E66")}) +
            Section("PageHeader", "PageHeaderSection", {control("Long", "99999999999999999999")}) +
            Section("Section", "Detail", {control("Word", "inf"), Field("Fine", "Customer")}));
    run.NewJob("R", 42);
    run.Convert();
    const auto rows = run.Rows();
    EXPECT_TRUE(HasRow(rows, "DiscoverControls", "Overflow")) << ::testing::PrintToString(run.Problems());
    std::vector<std::string> overflows;
    for (const LogRow& r : rows)
        if (r.ErrorDesc.rfind("Overflow", 0) == 0) {
            overflows.push_back(r.ErrorDesc);
            EXPECT_EQ(r.ErrorSeverityLevel, vb::Variant(1L));
        }
    EXPECT_EQ(overflows,
              (std::vector<std::string>{"Overflow: Left of the control Huge is out of range (6E66)",
                                        "Overflow: Left of the control Long is out of range "
                                        "(1E+20)"}));
    EXPECT_TRUE(HasRow(rows, "DiscoverControls", "Type mismatch"));
    for (const ControlRow& row : ControlRows(run.store.gDb(), 42)) {
        EXPECT_GE(row.LeftPos, 0) << row.ControlName;
        EXPECT_GE(row.CrystalLeftPos, 0) << row.ControlName;
    }
}

// "{", "}", "@" and "?" cannot stand in a formula name: the control's formula field gets a
// valid name of its own, unique without regard to case, is placed, and rows about it name
// the control.
TEST(HostileInput, CalculatedControlsWithBracesGetAValidUniqueFormulaName) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport(
        "R", "Orders",
        Section("Section", "Detail",
                {Field("Total{1}", "=[Amount]*2", 100, 50), Field("total_1_", "=[Amount]*3", 100, 500),
                 Field("Bad}", "=[Amount]+Nope(1)", 100, 900)}));
    clsConvert& job = run.NewJob("R", 42);
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    const designer::Report& r = *job.crReport();
    std::vector<std::string> names;
    for (const auto& f : r.FormulaFields()) names.push_back(f->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Total_1_", "total_1__2", "Bad_"}));
    const auto detail = AreaObjects(r, "D");
    EXPECT_EQ(detail, (std::vector<std::string>{"F:{@Total_1_}", "F:{@total_1__2}", "F:{@Bad_}"}));
    int aboutBad = 0;
    for (const LogRow& row : run.Rows()) {
        if (row.ErrorSeverityLevel.IsNull() || row.ErrorSeverityLevel.ToLong() == 5) continue;
        if (row.ErrorOccuredInFunction == "Bad_") {
            ++aboutBad;
            EXPECT_EQ(row.ErrorDesc.rfind("Bad} (formula field Bad_):", 0), 0u) << row.ErrorDesc;
        }
    }
    EXPECT_EQ(aboutBad, 1);  // its formula fails the check
    const auto steps = Descriptions(run.Rows(), "AddToDetails");
    EXPECT_NE(
        std::find(steps.begin(), steps.end(), "The formula field of control Total{1} is named Total_1_"),
        steps.end());
}

}  // namespace
}  // namespace convert_test
