// The conversion log: ErrorLog rows and text-log lines of each writer.
#include <gtest/gtest.h>

#include "convert/job_support.h"
#include "platform/common/vbstring.h"

namespace convert_test {
namespace {

using tolvaran::clsConvert;
using tolvaran::LogLevel;

const std::string kRule(79, '-');

TEST(ConversionLog, StepLineIsOneLevel5RowAndOneTextLine) {
    JobRun run;
    clsConvert& job = run.NewJob("Orders List");
    EXPECT_TRUE(job.LogStepError("Count Sections", "CountSections"));
    run.text->close_file();
    const auto rows = run.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].ErrorDesc, "Count Sections");
    EXPECT_EQ(rows[0].ErrorOccuredInFunction, "CountSections");
    EXPECT_EQ(rows[0].ErrorSeverityLevel.ToLong(), 5);
    EXPECT_EQ(rows[0].ReportId, 7);
    EXPECT_EQ(rows[0].DatabaseListId, 3);
    EXPECT_TRUE(rows[0].FormulaName.empty());
    EXPECT_EQ(run.TextLog(), std::vector<std::string>{"Count Sections"});
}

TEST(ConversionLog, ProblemRowsWriteTheSevenLineBlock) {
    struct Case {
        LogLevel level;
        int stored;  // the number the row and the text log hold
        const char* tag;
    };
    for (const Case c : {Case{LogLevel::Error, 1, "1"}, Case{LogLevel::Problem, 2, "?"}}) {
        JobRun run;
        clsConvert& job = run.NewJob("Orders List");
        EXPECT_TRUE(job.WriteErrorLog("Cannot deal with BoundObjectFrame", "AddDetails", c.level, c.tag));
        run.text->close_file();
        const auto rows = run.Rows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].ErrorSeverityLevel.ToLong(), c.stored);
        EXPECT_EQ(rows[0].ErrorDesc, "Cannot deal with BoundObjectFrame");
        const std::vector<std::string> block = {kRule,
                                                "    ReportName:Orders List",
                                                "   SubReportOf:",
                                                "Error Severity:" + std::to_string(c.stored),
                                                "         Error:Cannot deal with BoundObjectFrame",
                                                "function call:AddDetails",
                                                kRule};
        EXPECT_EQ(run.TextLog(), block);
    }
}

TEST(ConversionLog, SubreportRowsCarryTheParentAndNoIds) {
    JobRun run;
    clsConvert& job = run.NewJob("Order Lines");
    job.setOReport(nullptr);
    job.IsSubReport = true;
    job.ParentReport = "Orders List";
    job.WriteErrorLog("Area not found", "AddToDetails", LogLevel::Problem);
    run.text->close_file();
    const auto rows = run.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].SubReportOf.ToString(), "Orders List");
    EXPECT_EQ(rows[0].ReportId, 0);
    EXPECT_EQ(rows[0].DatabaseListId, 0);
    EXPECT_EQ(run.TextLog().at(2), "   SubReportOf:Orders List");
}

TEST(ConversionLog, RecordErrorKeepsTheFormulaTextsAndNoLevel) {
    JobRun run;
    clsConvert& job = run.NewJob("Orders List");
    EXPECT_TRUE(job.RecordError("This field name is not known.", "txtTotal", "Sum([Amount])",
                                "Sum({Orders.Amount})", "AddTextObject"));
    run.text->close_file();
    const auto rows = run.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].ErrorSeverityLevel.IsNull());
    EXPECT_EQ(rows[0].FormulaName, "txtTotal");
    EXPECT_EQ(rows[0].AccessFormula, "Sum([Amount])");
    EXPECT_EQ(rows[0].CrystalFormula, "Sum({Orders.Amount})");
    EXPECT_EQ(rows[0].ErrorOccuredInFunction, "AddTextObject");
    EXPECT_EQ(rows[0].ReportId, 7);
    EXPECT_FALSE(rows[0].ErrorOn.IsNull());
    const auto lines = run.TextLog();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[3], "Error Severity:2");
    EXPECT_EQ(lines[5], "function call:AddTextObject");
}

TEST(ConversionLog, NamesWithQuotesAreStoredAsGiven) {
    JobRun run;
    clsConvert& job = run.NewJob("O'Brien's \"Orders\"");
    EXPECT_TRUE(job.WriteErrorLog("it's; DROP TABLE ErrorLog; --", "f'n", LogLevel::Error));
    const auto rows = run.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].ReportName, "O'Brien's \"Orders\"");
    EXPECT_EQ(rows[0].ErrorDesc, "it's; DROP TABLE ErrorLog; --");
    EXPECT_EQ(rows[0].ErrorOccuredInFunction, "f'n");
}

TEST(ConversionLog, RowsAreInTheFileBeforeTheNextStep) {
    // Each row is committed at once: another connection sees it while the job goes on, and
    // the lists file runs in write-ahead mode so that a commit needs no flush.
    JobRun run;
    clsConvert& job = run.NewJob("Orders List");
    auto other = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + run.store.listsFile);
    for (int i = 1; i <= 3; ++i) {
        job.LogStepError("step " + std::to_string(i), "Convert");
        EXPECT_EQ(ReadErrorLog(other).size(), static_cast<size_t>(i));
    }
    ado::Recordset rs;
    rs.Open("PRAGMA journal_mode", run.store.gDb());
    EXPECT_EQ(vb::LCase(rs.Fields(0).Value().ToString()), "wal");
}

// A row the lists file does not take is still in the text log, after one block that says
// the lists file could not be written.
TEST(ConversionLog, WritersWithoutAStoreConnectionKeepEveryRowInTheTextLog) {
    JobRun run;
    clsConvert& job = run.NewJob("Orders List");
    job.setDb(nullptr);  // an unopened connection is made on first use
    EXPECT_FALSE(job.WriteErrorLog("x", "f", LogLevel::Error));
    EXPECT_FALSE(job.LogStepError("step", "f"));
    EXPECT_FALSE(job.RecordError("y", "a", "b", "c", "f"));
    EXPECT_TRUE(job.StoreWriteFailed());
    run.text->close_file();
    const auto lines = run.TextLog();
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[4].rfind("         Error:The lists file could not be written: ", 0), 0u) << lines[4];
    EXPECT_EQ(lines[11], "         Error:x");
    EXPECT_EQ(lines[14], "step");
    EXPECT_EQ(lines[19], "         Error:y");
}

class FakeViewer : public tolvaran::ErrorLogViewer {
  public:
    std::vector<long> shown;
    void ShowModal(long reportId) override { shown.push_back(reportId); }
};

TEST(ConversionLog, ShowErrorLogHandsTheReportIdToTheViewer) {
    JobRun run;
    clsConvert& job = run.NewJob("Orders List", 42);
    FakeViewer viewer;
    job.ShowErrorLog();  // no viewer: nothing happens
    job.ErrorViewer = &viewer;
    job.ShowErrorLog();
    EXPECT_EQ(viewer.shown, std::vector<long>{42});
}

}  // namespace
}  // namespace convert_test
