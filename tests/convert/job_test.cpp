// The converter job end to end on front ends built here: steps, meter, captions, log rows,
// the saved file, and the failure paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "convert/job_support.h"

namespace convert_test {
namespace {

namespace fs = std::filesystem;
using tolvaran::clsConvert;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Position of line in lines, or -1.
long IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i] == line) return static_cast<long>(i);
    return -1;
}

TEST(ConvertJob, OwnTablesReportIsBuiltSavedAndLogged) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Orders List", "Orders");
    clsConvert& job = run.NewJob("Orders List");

    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(job.success());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(fs::exists(fs::path(run.Output()) / "Orders List.rpt"));
    EXPECT_EQ(job.ReportSource, "Orders");
    EXPECT_EQ(job.ReportsDatabaseVersion, "4.0");

    // Bound to the own table, fields read from the file.
    ASSERT_NE(job.crReport(), nullptr);
    ASSERT_EQ(job.crReport()->Database().Tables().Count(), 1);
    const auto& table = job.crReport()->Database().Tables().Item(1);
    EXPECT_EQ(table.Name(), "Orders");
    EXPECT_NE(table.Fields().Find("Customer"), nullptr);
    EXPECT_EQ(job.crReport()->Database().LogOns().at(0).DllName, "p2soledb.dll");

    // Meter 1, 2, 3, 4, 5, 10 and the captions in order.
    EXPECT_EQ(run.window.progressMin, 1);
    EXPECT_EQ(run.window.progressMax, 10);
    EXPECT_EQ(run.window.progressHistory, (std::vector<long>{1, 2, 3, 4, 5, 10}));
    EXPECT_EQ(run.window.lblProgressHistory,
              (std::vector<std::string>{"Opening Report Orders List", "Add Database Reference(s)",
                                        "Review Grouping Levels", "Add Sections", "Saving Report...",
                                        "Complete."}));
    EXPECT_EQ(run.window.lblField, "");
    EXPECT_GE(run.window.doEvents, 1);

    // Step lines of Convert, in order, each a level-5 row with the job's ids.
    const auto rows = run.Rows();
    for (const LogRow& r : rows) {
        EXPECT_EQ(r.ReportName, "Orders List");
        EXPECT_EQ(r.ReportId, 7);
        EXPECT_EQ(r.DatabaseListId, 3);
        EXPECT_TRUE(r.SubReportOf.IsNull());
        EXPECT_FALSE(r.ErrorOn.IsNull());
    }
    const auto convertSteps = Descriptions(rows, "Convert");
    const std::vector<std::string> expected = {"------------------------",
                                               "1. Start Conversion process",
                                               "------------------------",
                                               "Create CRAXDRT",
                                               "Open Error Log",
                                               "Scripting.FileSystemObject",
                                               "crApplication.NewReport",
                                               "Open Access",
                                               "Add Database Reference(s)",
                                               "AddGroupLevel",
                                               "SetPaperOrientation",
                                               "Add Sections",
                                               "Complete Process!",
                                               "Saving Report...:" + run.Output() + "/Orders List.rpt"};
    EXPECT_EQ(convertSteps, expected);
    EXPECT_EQ(Descriptions(rows, "Convert Report"), std::vector<std::string>{"Conversion Complete"});
    EXPECT_EQ(Descriptions(rows, "OpenReport"),
              (std::vector<std::string>{
                  "try to open Report:Orders List", "opened report successfully:Orders List",
                  "try to open Report:Orders List", "opened report successfully:Orders List"}));
    const auto binding = Descriptions(rows, "AddDatabase");
    EXPECT_EQ(binding.front(), "Start");
    EXPECT_TRUE(Contains(binding, "Does this report have RAW SQL?No"));
    EXPECT_TRUE(Contains(Descriptions(rows, "AddDatabase_AccessInternalTables"),
                         "Add reference:" + run.front.Path() + "--> Orders"));
    EXPECT_TRUE(Contains(Descriptions(rows, "CheckReportSource"), "Current Access Version:4.0"));

    // The text log holds the same step lines, one line each.
    const auto lines = run.TextLog();
    ASSERT_GE(lines.size(), rows.size());
    EXPECT_EQ(lines[0], "------------------------");
    EXPECT_EQ(lines[1], "1. Start Conversion process");
    EXPECT_NE(IndexOf(lines, "Conversion Complete"), -1);
    EXPECT_EQ(lines.size(), rows.size());
}

TEST(ConvertJob, MissingAccessFileStopsBeforeBinding) {
    JobRun run;
    run.AddInternalLink();
    clsConvert& job = run.NewJob("Orders List");
    job.Database = run.dir.File("gone.mdb");

    EXPECT_FALSE(run.Convert());
    EXPECT_FALSE(job.success());
    ASSERT_EQ(run.store.prompt.messages.size(), 1u);
    EXPECT_EQ(run.store.prompt.messages[0].prompt,
              "The Access database <" + job.Database +
                  "> does not exist. Please edit your database reference and try again.");
    const auto steps = Descriptions(run.Rows(), "Convert");
    EXPECT_TRUE(Contains(steps, "Open Access"));
    EXPECT_TRUE(Contains(steps, "Did not complete"));
    EXPECT_FALSE(Contains(steps, "Add Database Reference(s)"));
    EXPECT_EQ(run.window.lblProgress, "There were errors.");
    EXPECT_EQ(run.window.progressHistory, std::vector<long>{1});
    EXPECT_TRUE(fs::is_empty(run.Output()));
}

TEST(ConvertJob, MissingReportExportIsAnOpenReportError) {
    JobRun run;
    run.AddInternalLink();
    clsConvert& job = run.NewJob("Not There");
    EXPECT_FALSE(run.Convert());
    EXPECT_FALSE(job.success());
    const auto problems = run.Problems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("OpenReport: ", 0), 0u) << problems[0];
}

// A report that cannot be saved fails the job under the saving step, naming the file and the
// reason: no "Conversion Complete", and the caption does not say complete.
TEST(ConvertJob, SaveErrorFailsTheJobUnderTheSavingStep) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Orders List", "Orders");
    clsConvert& job = run.NewJob("Orders List");
    job.Reportpath = run.dir.File("no/such/folder");
    const std::string file = job.Reportpath + "/Orders List.rpt";

    EXPECT_FALSE(run.Convert());
    EXPECT_TRUE(job.success());
    EXPECT_EQ(job.SaveFailure(), "Cannot write the report file \"" + file + "\": No such file or directory.");
    EXPECT_EQ(run.window.lblProgress, "The report could not be saved.");
    const auto rows = run.Rows();
    EXPECT_TRUE(Descriptions(rows, "Convert Report").empty());
    EXPECT_EQ(Descriptions(rows, "Convert").back(), "Did not complete");
    std::vector<const LogRow*> errors;
    for (const LogRow& r : rows)
        if (!r.ErrorSeverityLevel.IsNull() && r.ErrorSeverityLevel.ToLong() == 1) errors.push_back(&r);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->ErrorOccuredInFunction, "Convert");
    // The step reached last, CR LF, the error text, CR LF.
    EXPECT_EQ(errors[0]->ErrorDesc, "Saving Report...:" + file + "\r\n" + job.SaveFailure() + "\r\n");

    // The text log holds the seven-line block for it.
    const auto lines = run.TextLog();
    const long start = IndexOf(lines, std::string(79, '-'));
    ASSERT_NE(start, -1);
    EXPECT_EQ(lines[start + 1], "    ReportName:Orders List");
    EXPECT_EQ(lines[start + 2], "   SubReportOf:");
    EXPECT_EQ(lines[start + 3], "Error Severity:1");
    EXPECT_EQ(lines[start + 4], "         Error:Saving Report...:" + file);
}

// A text log that cannot be written (here: one whose file cannot be made) is said in the
// lists file; when the lists file cannot be written either, the message says that the text
// log holds nothing of it.
TEST(ConvertJob, ATextLogThatCannotBeWrittenIsSaid) {
    for (const bool listsFull : {false, true}) {
        SCOPED_TRACE(listsFull);
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("Orders List", "Orders");
        run.NewJob("Orders List");
        run.text->FilePath = "/sys";
        run.text->Filename = "full";
        run.text->Extension = "";
        run.text->Create_File();
        ASSERT_EQ(run.store.prompt.messages.size(), 1u);  // the text log's own message
        if (listsFull)
            run.store.gDb()->Execute(
                "CREATE TRIGGER FullDisk BEFORE INSERT ON ErrorLog BEGIN SELECT RAISE(ABORT, 'database or "
                "disk is full'); END");
        run.Convert();
        const std::string why = "Path/File access error: /sys/full: Permission denied";
        if (!listsFull) {
            EXPECT_EQ(run.Problems(), std::vector<std::string>{
                                          "Convert: The text log /sys/full could not be written: " + why});
            EXPECT_EQ(run.store.prompt.messages.size(), 1u);
        } else {
            ASSERT_EQ(run.store.prompt.messages.size(), 2u);
            const std::string& message = run.store.prompt.messages[1].prompt;
            EXPECT_NE(message.find("database or disk is full"), std::string::npos) << message;
            EXPECT_NE(
                message.find("The report's text log /sys/full could not be written either: " + why + "."),
                std::string::npos)
                << message;
            EXPECT_EQ(message.find("Every step and problem is in the report's text log"), std::string::npos);
        }
    }
}

// The log names the file actually written, not one made of the unsafe name.
TEST(ConvertJob, UnsafeReportNameIsSavedUnderItsSafeNameAndLoggedSo) {
    JobRun run;
    run.AddInternalLink();
    const std::string name = "Sales-2004 #1%";
    run.front.AddReport(name, "Orders");
    run.NewJob(name);
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    const std::string written = run.Output() + "/Sales_2004 _1_.rpt";
    EXPECT_TRUE(fs::exists(written));
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "Convert"), "Saving Report...:" + written));
    EXPECT_TRUE(Contains(run.TextLog(), "Saving Report...:" + written));
}

TEST(ConvertJob, SubreportJobLogsUnderItsParentWithoutIds) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Order Lines", "Orders");
    clsConvert& child = run.NewJob("Order Lines");
    child.setOReport(nullptr);
    child.IsSubReport = true;
    child.ParentReport = "Orders List";
    ASSERT_TRUE(child.Convert(run.window, true));
    const auto rows = run.Rows();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1].ErrorDesc, "1. Start SUBREPORT process");
    for (const LogRow& r : rows) {
        EXPECT_EQ(r.SubReportOf.ToString(), "Orders List");
        EXPECT_EQ(r.ReportId, 0);
        EXPECT_EQ(r.DatabaseListId, 0);
    }
    EXPECT_TRUE(Contains(Descriptions(rows, "OpenReport"), "opened sub-report successfully:Order Lines"));
}

TEST(ConvertJob, PaperOrientationFollowsVersionOrientationAndWidth) {
    struct Case {
        const char* what;
        int userVersion;
        const char* props;
        int expected;
    };
    const Case cases[] = {
        {"narrow", 0, "    Width =9000\n", 1},
        {"wide", 0, "    Width =12000\n", 2},
        {"exactly 10000", 0, "    Width =10000\n", 1},
        {"Access 97 wide", 3, "    Width =12000\n", 1},
    };
    for (const Case& c : cases) {
        JobRun run;
        run.AddInternalLink();
        run.front.Sql("PRAGMA user_version = " + std::to_string(c.userVersion) + ";");
        run.front.AddReport("R", "Orders", {}, c.props);
        clsConvert& job = run.NewJob("R");
        run.Convert();
        ASSERT_NE(job.crReport(), nullptr) << c.what;
        EXPECT_EQ(job.crReport()->PaperOrientation, c.expected) << c.what;
    }
}

TEST(ConvertJob, AccessIsClosedAfterTheJobAndAfterCloseAccess) {
    JobRun run;
    run.front.AddReport("R", "Orders");
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(job.OpenAccess());
    ASSERT_TRUE(job.OpenAccessReport());
    EXPECT_TRUE(job.AccessIsOpen());
    EXPECT_EQ(job.AccessRecordSource(), "Orders");
    job.CloseAccess();
    EXPECT_FALSE(job.AccessIsOpen());
    EXPECT_EQ(job.AccessApplication(), nullptr);
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "CloseAccess"), "Garbage Collection.."));
}

}  // namespace
}  // namespace convert_test
