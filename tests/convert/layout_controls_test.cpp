// Control discovery and bookkeeping: order of conversion, the Controls rows and what the
// object builders record in them.
#include <gtest/gtest.h>

#include "convert/layout_support.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

const ControlRow* Row(const std::vector<ControlRow>& rows, const std::string& name) {
    for (const ControlRow& r : rows)
        if (r.ControlName == name) return &r;
    return nullptr;
}

std::string Sections() {
    return Section(
        "Section", "Detail",
        {Field("Late", "Amount", 2000, 100), Field("Early", "Customer", 500, 100),
         Label("O'Brien label", "Owner's name", 100, 600), Control("Line", "Line5", 100, 1000, 3000, 0),
         Control("Subform", "sub1", 100, 1200, 3000, 500, {Text("SourceObject", "Report.NoSuchReport")}),
         Control("Rectangle", "Box1", 50, 1800, 2000, 400, {Num("BackColor", 16777215)})});
}

TEST(LayoutControls, RowsOrderCaptionsAndRecordedObjects) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders", Sections());
    clsConvert& job = run.NewJob("R", 42);
    ASSERT_TRUE(run.Convert());

    // Same top: left 500 before 2000.
    const designer::Report& r = *job.crReport();
    const auto detail = AreaObjects(r, "D");
    ASSERT_GE(detail.size(), 4u);
    EXPECT_EQ(detail[0], "F:{Orders.Customer}");
    EXPECT_EQ(detail[1], "F:{Orders.Amount}");
    EXPECT_EQ(detail[2], "T:Owner's name");

    const auto rows = ControlRows(run.store.gDb(), 42);
    ASSERT_EQ(rows.size(), 6u);
    for (const ControlRow& row : rows) {
        EXPECT_EQ(row.SectionNo, 0);
        EXPECT_EQ(row.ControlOrder, -1);
    }
    // A name with an apostrophe is recorded like any other.
    const ControlRow* label = Row(rows, "O'Brien label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption, "Owner's name");
    EXPECT_EQ(label->ControlType, 100);
    EXPECT_FALSE(label->CrystalControlName.empty());
    EXPECT_EQ(label->CrystalLeftPos, 100);
    EXPECT_EQ(label->CrystalTopPos, 600);
    EXPECT_EQ(label->CrystalHeight, 300);
    EXPECT_EQ(Row(rows, "sub1")->Caption, "<subform:sub1>");
    EXPECT_EQ(Row(rows, "Line5")->Caption, "<Line5>");
    EXPECT_EQ(Row(rows, "Early")->Caption, "<Early>");

    // A line records name and position, never its height.
    const ControlRow* line = Row(rows, "Line5");
    EXPECT_FALSE(line->CrystalControlName.empty());
    EXPECT_EQ(line->CrystalLeftPos, 100);
    EXPECT_EQ(line->CrystalTopPos, 1000);
    EXPECT_EQ(line->CrystalHeight, 0);
    // A box records name, top, left and height.
    const ControlRow* box = Row(rows, "Box1");
    EXPECT_FALSE(box->CrystalControlName.empty());
    EXPECT_EQ(box->CrystalTopPos, 1800);
    EXPECT_EQ(box->CrystalHeight, 400);
    // The subreport control's report does not exist: nothing placed, nothing recorded.
    EXPECT_TRUE(Row(rows, "sub1")->CrystalControlName.empty());

    // A second conversion replaces the rows.
    clsConvert& again = run.NewJob("R", 42);
    ASSERT_TRUE(run.Convert());
    (void)again;
    EXPECT_EQ(ControlRows(run.store.gDb(), 42).size(), 6u);
}

TEST(LayoutControls, UpdateControlMovesObjectsRightToTheAccessLeft) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders", Section("Section", "Detail", {Label("lbl", "x", 300, 50)}));
    clsConvert& job = run.NewJob("R", 9);
    ASSERT_TRUE(run.Convert());
    // Move the object left of the Access position and record it again.
    designer::ReportObject* object = FindObject(*job.crReport(), "T:x");
    ASSERT_NE(object, nullptr);
    object->Left = 100;
    ASSERT_TRUE(job.OpenAccess());
    ASSERT_TRUE(job.OpenAccessReport());
    job.UpdateControl(object, job.AccessReport()->Controls("lbl"), 0);
    EXPECT_EQ(object->Left, 300);
    EXPECT_EQ(ControlRows(run.store.gDb(), 9).at(0).CrystalLeftPos, 300);

    // AlignCrystalControls moves objects whose recorded left is short of the Access left.
    run.store.gDb()->Execute("UPDATE Controls SET CrystalLeftPos = 10 WHERE ReportId = 9");
    object->Left = 10;
    job.AlignCrystalControls("");
    EXPECT_EQ(object->Left, 10);
    job.AlignCrystalControls("D");
    EXPECT_EQ(object->Left, 300);
    job.CloseAccess();
}

// A step of UpdateControl that fails is logged and the steps after it still run: with a lists
// file whose Controls table has no CrystalTopPos, the left and height are still recorded.
TEST(LayoutControls, UpdateControlGoesOnAfterAFailedStep) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders", Section("Section", "Detail", {Label("lbl", "x", 300, 50)}));
    run.store.gDb()->Execute("ALTER TABLE Controls DROP COLUMN CrystalTopPos");
    clsConvert& job = run.NewJob("R", 9);
    ASSERT_TRUE(run.Convert());
    designer::ReportObject* object = FindObject(*job.crReport(), "T:x");
    ASSERT_NE(object, nullptr);
    ado::Recordset rs;
    rs.Open("SELECT CrystalControlName, CrystalLeftPos, CrystalHeight FROM Controls WHERE ReportId = 9",
            run.store.gDb(), ado::adOpenForwardOnly, ado::adLockReadOnly);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(vb::NZ(rs["CrystalControlName"], "").ToString(), object->Name);
    EXPECT_EQ(vb::NZ(rs["CrystalLeftPos"], 0).ToLong(), 300);
    EXPECT_EQ(vb::NZ(rs["CrystalHeight"], 0).ToLong(), 300);
    rs.Close();
    const auto failures = Descriptions(run.Rows(), "DiscoverControls");
    EXPECT_EQ(failures.size(), 1u) << ::testing::PrintToString(failures);
}

}  // namespace
}  // namespace convert_test
