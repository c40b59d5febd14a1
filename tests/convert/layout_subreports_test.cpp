// Subreports: child jobs, the files beside the parent's, embedding, borders and links, two
// levels deep.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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
    EXPECT_EQ(notes->Height, 200);  // the control's height, though less than the designer's own

    // Child rows carry their parent's name and the ids of the report that holds them all.
    const auto rows = run.Rows();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const LogRow& r) {
        return r.ReportName == "rptNotes" && !r.SubReportOf.IsNull() &&
               r.SubReportOf.ToString() == "rptLines" && r.ReportId == 7 && r.DatabaseListId == 3;
    }));
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const LogRow& r) { return r.ReportId != 7; }));
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

// The section is split at the subreport controls: what is above them prints before them,
// subreports side by side (and what stands beside them) share one section, what is below
// follows in a section of its own, its tops taken from the subreports' bottom.
TEST(LayoutSubreports, PlacedWhereTheControlsAre) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("rptChild", "Orders", Section("Section", "Detail", {Field("t", "Amount")}));
    run.front.AddReport("rptOther", "Orders", Section("Section", "Detail", {Field("t", "Customer")}));
    // The converted file of another report, named like a subreport control below.
    const fs::path other = fs::path(run.Output()) / "rptSummary.rpt";
    {
        std::ofstream out(other);
        out << "another report";
    }
    run.front.AddReport(
        "Main", "Orders",
        Section(
            "Section", "Detail",
            {Label("above", "above", 100, 0),
             Control("Subform", "rptSummary", 100, 500, 4500, 60, {Text("SourceObject", "Report.rptChild")}),
             Control("Subform", "subHidden", 5000, 500, 4000, 60,
                     {Text("SourceObject", "Report.rptOther"), Text("LinkMasterFields", "ID"),
                      Text("LinkChildFields", "ID"), On("Visible")}),
             Label("beside", "beside", 9500, 520), Label("below", "below", 100, 800),
             Field("tBelow", "Customer", 100, 1000)}));
    clsConvert& job = run.NewJob("Main");
    ASSERT_TRUE(run.Convert());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());

    const designer::Area& area = job.crReport()->Areas().Item("D");
    ASSERT_EQ(area.Sections().Count(), 3);
    auto objects = [&](int n) {
        std::vector<std::string> out;
        for (const auto& o : area.Sections().Item(n).ReportObjects())
            out.push_back(Describe(*o) + "@" + std::to_string(o->Left) + "," + std::to_string(o->Top));
        return out;
    };
    EXPECT_EQ(objects(1), std::vector<std::string>{"T:above@100,0"});
    EXPECT_EQ(objects(2),
              (std::vector<std::string>{"S:rptChild@100,0", "S:rptOther@5000,0", "T:beside@9500,20"}));
    EXPECT_EQ(objects(3), (std::vector<std::string>{"T:below@100,240", "F:{Orders.Customer}@100,440"}));

    const designer::SubreportObject* shown = Subreport(*job.crReport(), "rptChild");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->Width, 4500);
    EXPECT_TRUE(shown->CanGrow);
    EXPECT_FALSE(shown->Suppress);
    const designer::SubreportObject* hidden = Subreport(*job.crReport(), "rptOther");
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->Width, 4000);
    EXPECT_TRUE(hidden->Suppress);
    EXPECT_EQ(Links(*hidden), std::vector<std::string>{"{Orders.ID}={Orders.ID}"});
    // No file is written under a control's name: the other report's file is untouched.
    std::ifstream in(other);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              "another report");
    EXPECT_FALSE(fs::exists(fs::path(run.Output()) / "subHidden.rpt"));
}

// A report that shows itself, two reports that show each other, and a form shown in a report:
// nothing to convert, one conversion problem each, and the report completes.
TEST(LayoutSubreports, ReportsAlreadyAboveAndFormsAreNotConverted) {
    struct Case {
        const char* what;
        std::string report;
        std::vector<std::string> problems;
        std::vector<std::string> objects;
    };
    const Case cases[] = {
        {"a report showing itself",
         "Self",
         {"ImportSubReport: The subreport control subSelf shows the report Self, which is already being "
          "converted "
          "as its parent; it is not converted again"},
         {"T:self"}},
        {"two reports showing each other",
         "rptA",
         {"ImportSubReport: The subreport control subA shows the report rptA, which is already being "
          "converted as "
          "its parent; it is not converted again"},
         {"T:a", "S:rptB"}},
        {"a form shown in a report",
         "WithForm",
         {"ImportSubReport: The subreport control subForm shows the form frmCustomers, which a report file "
          "cannot "
          "show; nothing was placed"},
         {"T:form"}},
    };
    for (const Case& c : cases)
        [&] {
            JobRun run;
            run.AddInternalLink();
            auto shows = [](const std::string& control, const std::string& source) {
                return Control("Subform", control, 100, 400, 3000, 500, {Text("SourceObject", source)});
            };
            run.front.AddReport(
                "Self", "Orders",
                Section("Section", "Detail", {Label("l", "self", 100, 0), shows("subSelf", "Report.Self")}));
            run.front.AddReport(
                "rptA", "Orders",
                Section("Section", "Detail", {Label("l", "a", 100, 0), shows("subB", "Report.rptB")}));
            run.front.AddReport(
                "rptB", "Orders",
                Section("Section", "Detail", {Label("l", "b", 100, 0), shows("subA", "Report.rptA")}));
            run.front.AddReport("WithForm", "Orders",
                                Section("Section", "Detail",
                                        {Label("l", "form", 100, 0), shows("subForm", "Form.frmCustomers")}));
            clsConvert& job = run.NewJob(c.report);
            ASSERT_TRUE(run.Convert()) << c.what;
            EXPECT_EQ(run.Problems(), c.problems) << c.what;
            EXPECT_EQ(AreaObjects(*job.crReport(), "D"), c.objects) << c.what;
        }();
}

}  // namespace
}  // namespace convert_test
