// Subreports: child jobs, the files beside the parent's, embedding, borders and links, two
// levels deep.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/layout_support.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;
namespace fs = std::filesystem;

const designer::SubreportObject* Subreport(const designer::Report& r, const std::string& name) {
    return dynamic_cast<const designer::SubreportObject*>(FindObject(r, "S:" + name));
}

std::vector<std::string> Links(const designer::SubreportObject& s) {
    std::vector<std::string> out;
    for (const designer::SubreportLink& l : s.Links)
        out.push_back(l.MainReportField + "=" + l.SubreportField);
    return out;
}

TEST(LayoutSubreports, TwoLevelsDeepWithLinks) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql(
        "CREATE TABLE Lines (OrderID INTEGER, Customer TEXT, LineNo INTEGER, Qty REAL);"
        "CREATE TABLE Notes (LineNo INTEGER, Remark TEXT);");
    run.front.AddReport("rptNotes", "Notes", Section("Section", "Detail", {Field("tRemark", "Remark")}));
    // The control bears the name of the report it shows.
    run.front.AddReport(
        "rptLines", "Lines",
        Section("Section", "Detail",
                {Field("tQty", "Qty"),
                 Control("Subform", "rptNotes", 2000, 0, 3000, 200,
                         {Text("SourceObject", "rptNotes"), Text("LinkMasterFields", "LineNo"),
                          Text("LinkChildFields", "LineNo"), Num("BorderStyle", 0)})}));
    run.front.AddReport(
        "Order Sheet", "Orders",
        Section("Section", "Detail",
                {Field("tCustomer", "Customer"),
                 Control("Subform", "sub/Lines", 300, 400, 6000, 1500,
                         {Text("SourceObject", "Report.rptLines"), Text("LinkMasterFields", "ID;Customer"),
                          Text("LinkChildFields", "OrderID; Customer"), Num("BorderStyle", 1)})}));
    clsConvert& job = run.NewJob("Order Sheet");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());

    // Each child saves itself under its report's name, and that file is the one embedded.
    for (const char* file : {"Order Sheet.rpt", "rptLines.rpt", "rptNotes.rpt"})
        EXPECT_TRUE(fs::exists(fs::path(run.Output()) / file)) << file;
    EXPECT_FALSE(fs::exists(fs::path(run.Output()) / "sub_Lines.rpt"));

    const designer::Report& main = *job.crReport();
    const designer::SubreportObject* lines = Subreport(main, "rptLines");
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->Left, 300);
    EXPECT_EQ(lines->Top, 0);
    EXPECT_EQ(lines->Height, 1500);
    // The control's width, and growth unless its export says otherwise.
    EXPECT_EQ(lines->Width, 6000);
    EXPECT_TRUE(lines->CanGrow);
    EXPECT_EQ(lines->TopLineStyle, designer::crLSSingleLine);
    EXPECT_EQ(lines->RightLineStyle, designer::crLSSingleLine);
    // One link per pair of fields.
    EXPECT_EQ(Links(*lines), (std::vector<std::string>{"{Orders.ID}={Lines.OrderID}",
                                                       "{Orders.Customer}={Lines.Customer}"}));
    // The subreport sits in a section of its own added to the area.
    EXPECT_EQ(main.Areas().Item("D").Sections().Count(), 2);

    const designer::SubreportObject* notes = Subreport(lines->OpenSubreport(), "rptNotes");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(Links(*notes), std::vector<std::string>{"{Lines.LineNo}={Notes.LineNo}"});
    EXPECT_EQ(AreaObjects(notes->OpenSubreport(), "D"), std::vector<std::string>{"F:{Notes.Remark}"});
    EXPECT_EQ(notes->TopLineStyle, designer::crLSNoLine);

    // Child rows carry their parent's name and no report id.
    const auto rows = run.Rows();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const LogRow& r) {
        return r.ReportName == "rptNotes" && !r.SubReportOf.IsNull() &&
               r.SubReportOf.ToString() == "rptLines" && r.ReportId == 0;
    }));
    const auto steps = Descriptions(rows, "setsublinks");
    EXPECT_TRUE(std::find(steps.begin(), steps.end(), "Added subreport link:ID to OrderID") != steps.end());
    // The subreport control's row records the embedded object.
    bool recorded = false;
    for (const ControlRow& row : ControlRows(run.store.gDb(), 7))
        if (row.ControlName == "sub/Lines")
            recorded = !row.CrystalControlName.empty() && row.CrystalLeftPos == 300;
    EXPECT_TRUE(recorded);
}

TEST(LayoutSubreports, UnlinkedAndFailedSubreports) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("rptChild", "Orders", Section("Section", "Detail", {Field("t", "Amount")}));
    run.front.AddReport("Main", "Orders",
                        Section("Section", "Detail",
                                {Control("Subform", "subNoLinks", 100, 0, 3000, 500,
                                         {Text("SourceObject", "Report.rptChild")}),
                                 Control("Subform", "subMissing", 100, 600, 3000, 500,
                                         {Text("SourceObject", "Report.rptGone")})}));
    clsConvert& job = run.NewJob("Main");
    ASSERT_TRUE(run.Convert());
    // Without link fields the subreport is placed unlinked, as Access shows it: all its rows,
    // and nothing to report.
    const designer::SubreportObject* placed = Subreport(*job.crReport(), "rptChild");
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->Links.Count(), 0);
    for (const LogRow& r : run.Rows()) EXPECT_NE(r.FormulaName, "SetNewLinks");
    EXPECT_TRUE(Descriptions(run.Rows(), "setsublinks").empty());
    // A subreport whose report is missing is not placed; the parent goes on.
    EXPECT_EQ(Subreport(*job.crReport(), "subMissing"), nullptr);
    const auto lines = Descriptions(run.Rows(), "ImportSubReport");
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "ERROR(S) IN subReport:subMissing") != lines.end());
    EXPECT_TRUE(job.success());
}

}  // namespace
}  // namespace convert_test
