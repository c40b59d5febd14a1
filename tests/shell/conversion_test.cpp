// Conversion requests and the main window's commands, offscreen, over entries whose rows are
// written straight into the lists file.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <filesystem>

#include "conversion_support.h"
#include "convert/convert.h"
#include "shell/qt/data_grid.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "sources/links_manager.h"
#include "store/report_files.h"
#include "store/support.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

const std::string kClean = test::OrdersReport({"Customer", "Amount"});
// An unclosed bracket: the translator logs it at level 1 and the report still converts.
const std::string kBroken = test::OrdersReport({"Customer", "=[Amount"});
constexpr const char* kContinue = "The previous report had errors, continue processing anyway?";

class Conversion : public ::testing::Test {
  protected:
    Conversion() : run("convert") {}

    // An entry of the given reports (name -> export) converting into <program folder>/out.
    long Entry(const std::map<std::string, std::string>& reports, const std::string& out = "out") {
        fs::create_directories(run.folder / out);
        std::vector<std::string> names;
        for (const auto& [name, text] : reports) names.push_back(name);
        return run.StoreEntry(run.FrontEnd("front.mdb", reports), (run.folder / out).string(), names);
    }
    bool Converted(const std::string& name) const {
        return fs::exists(run.folder / "out" / (MakeSafeName(name) + ".rpt"));
    }
    int Started(const std::string& name) const {
        const auto results = run.Results();
        return static_cast<int>(std::count(results.begin(), results.end(), "Conversion Started for " + name));
    }
    // Double-clicks the converted list's item of this file: the report the viewer was opened
    // for, with the file it was given; {0, ""} when the item or the view is missing.
    std::pair<long, std::string> ViewFromConvertedList(const std::string& file) {
        QListWidget* list = run.window->dxConvertedReports();
        const auto items = list->findItems(QString::fromStdString(file), Qt::MatchExactly);
        if (items.size() != 1) return {0, ""};
        list->setCurrentItem(items[0]);
        run.windows.viewed.clear();
        emit list->itemDoubleClicked(items[0]);
        if (run.windows.viewed.size() != 1) return {0, ""};
        return {run.windows.viewed[0].reportId, run.windows.viewed[0].reportName};
    }
    long ToolbarIndex(long id) const {
        QtToolBar* bar = run.window->EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == id) return i;
        return 0;
    }

    test::MainWindowRun run;
};

TEST_F(Conversion, NoSelectedReportReloadsLinksAndConvertsNothing) {
    Entry({{"Alpha", kClean}, {"Beta", kClean}});
    run.SelectReports({});
    ASSERT_EQ(run.window->gLinks().Items().Count(), 0);
    run.window->EToolBar_ItemClick(static_cast<int>(ToolbarIndex(151)));
    EXPECT_EQ(run.Messages(), std::vector<std::string>{"Please select a report first!"});
    EXPECT_EQ(run.prompt.messages[0].buttons, ui::vbExclamation);
    EXPECT_EQ(run.prompt.messages[0].title, "");
    EXPECT_EQ(run.window->gLinks().Items().Count(), 1);
    EXPECT_EQ(run.window->CurrentConverter(), nullptr);
    EXPECT_TRUE(run.ConvertedList().empty());
}

TEST_F(Conversion, OneSelectedReportIsConvertedAndShown) {
    Entry({{"Alpha", kClean}, {"Beta", kClean}});
    run.SelectReports({"Beta"});
    run.window->InitiateReportConversion(false);
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    EXPECT_TRUE(Converted("Beta"));
    EXPECT_FALSE(Converted("Alpha"));
    ASSERT_EQ(run.windows.viewed.size(), 1u);
    EXPECT_EQ(run.windows.viewed[0].reportId, run.ReportId("Beta"));
    EXPECT_EQ(run.windows.viewed[0].reportName, "Beta.rpt");
    EXPECT_EQ(run.windows.viewed[0].reportPath, (run.folder / "out").string());
    EXPECT_EQ(run.ConvertedList(), std::vector<std::string>{"Beta.rpt"});
    // A single conversion leaves no lines behind and hides the meter.
    EXPECT_TRUE(run.Results().empty());
    EXPECT_TRUE(run.window->findChild<QProgressBar*>("ctProgress")->isHidden());
    EXPECT_FALSE(run.window->SeveralReports());
    // The converter stays until the next conversion; it was handed the run's engine version
    // and the error-log viewer.
    ASSERT_NE(run.window->CurrentConverter(), nullptr);
    EXPECT_EQ(run.window->CurrentConverter()->CurrentAccessVersion, run.window->gCurrentAccessVersion);
    EXPECT_EQ(run.window->CurrentConverter()->ErrorViewer, &run.windows);
    EXPECT_TRUE(fs::exists(run.folder / "out" / "Beta_ErrorLog.txt"));
}

TEST_F(Conversion, AllReportsAskOnceAfterTheFirstFailure) {
    struct Case {
        int answer;
        std::vector<bool> converted;  // Alpha, Beta, Gamma
        std::string summary;
    };
    const std::string problems = "\r\nEach report's conversion log says what went wrong.";
    for (const Case& c :
         {Case{ui::vbYes,
               {true, true, true},
               "3 reports processed.\r\nConverted: 1\r\nConverted with problems: 2\r\nFailed: 0" + problems},
          Case{ui::vbNo,
               {true, false, false},
               "1 report processed.\r\nConverted: 0\r\nConverted with problems: 1\r\nFailed: 0\r\nLeft "
               "unconverted: 2" +
                   problems}}) {
        SCOPED_TRACE(c.answer);
        test::MainWindowRun fresh("convert-all");
        fs::create_directories(fresh.folder / "out");
        const std::map<std::string, std::string> reports = {
            {"Alpha", kBroken}, {"Beta", kBroken}, {"Gamma", kClean}};
        fresh.StoreEntry(fresh.FrontEnd("front.mdb", reports), (fresh.folder / "out").string(),
                         {"Alpha", "Beta", "Gamma"});
        fresh.prompt.answers = {c.answer};
        fresh.window->InitiateReportConversion(true);
        // The batch ends with its summary, also when it was stopped.
        EXPECT_EQ(fresh.Messages(), (std::vector<std::string>{kContinue, c.summary}));
        EXPECT_EQ(fresh.prompt.messages[0].buttons, ui::vbYesNo | ui::vbQuestion);
        EXPECT_EQ(fresh.prompt.messages[0].title, "Report Error");
        EXPECT_EQ(fresh.Problems(fresh.ReportId("Alpha")).front(),
                  "ConvertFormula: The name that starts at position 1 is not closed");
        const char* names[] = {"Alpha", "Beta", "Gamma"};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(fs::exists(fresh.folder / "out" / (std::string(names[i]) + ".rpt")), c.converted[i])
                << names[i];
        // A batch shows no viewer and keeps its lines.
        EXPECT_TRUE(fresh.windows.viewed.empty());
        EXPECT_EQ(fresh.Results().front(), "Conversion Started for Alpha");
        EXPECT_TRUE(fresh.window->SeveralReports());
    }
}

TEST_F(Conversion, AllCleanReportsConvertWithoutAQuestion) {
    Entry({{"Alpha", kClean}, {"Beta", kClean}, {"Gamma", kClean}});
    run.window->InitiateReportConversion(true);
    // A clean batch ends quietly.
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    EXPECT_EQ(run.ConvertedList(), (std::vector<std::string>{"Alpha.rpt", "Beta.rpt", "Gamma.rpt"}));
    // Once the batch has ended the label names the report in hand again; the meter stays shown
    // at its end.
    EXPECT_EQ(run.window->findChild<QLabel*>("lblReports")->text().toStdString(), "Alpha");
    EXPECT_FALSE(run.window->findChild<QProgressBar*>("ctProgress")->isHidden());
    EXPECT_EQ(run.window->findChild<QProgressBar*>("ctProgress")->value(), 10);
    EXPECT_EQ(run.window->findChild<QLabel*>("lblProgress")->text().toStdString(), "Complete.");
}

TEST_F(Conversion, SelectedReportsAreEachConvertedOnceAndUnselected) {
    Entry({{"Alpha", kBroken}, {"Beta", kClean}, {"Gamma", kClean}, {"Delta", kClean}});
    run.SelectReports({"Alpha", "Gamma", "Delta"});
    run.window->InitiateReportConversion(false);
    // No question between the reports of a selection, even after one with errors; the summary
    // at the end.
    EXPECT_EQ(run.Messages(),
              std::vector<std::string>{"3 reports processed.\r\nConverted: 2\r\nConverted with "
                                       "problems: 1\r\nFailed: 0\r\nEach report's conversion "
                                       "log says what went wrong."});
    for (const char* name : {"Alpha", "Gamma", "Delta"}) EXPECT_EQ(Started(name), 1) << name;
    EXPECT_EQ(Started("Beta"), 0);
    EXPECT_FALSE(Converted("Beta"));
    EXPECT_TRUE(run.window->dxReports()->SelectedRows().empty());
    // Grid order (by name): Alpha, Delta, Gamma.
    const auto results = run.Results();
    const auto at = [&](const std::string& n) {
        return std::find(results.begin(), results.end(), "Conversion Started for " + n) - results.begin();
    };
    EXPECT_LT(at("Alpha"), at("Delta"));
    EXPECT_LT(at("Delta"), at("Gamma"));
}

TEST_F(Conversion, OnlyRowsOtherThanLevelFiveCountAsErrors) {
    Entry({{"Alpha", kClean}, {"Beta", kBroken}});
    run.SelectReports({"Alpha"});
    run.window->InitiateReportConversion(false);
    const long alpha = run.ReportId("Alpha");
    EXPECT_GT(run.Rows("ErrorLog", alpha), 0);
    EXPECT_FALSE(run.window->ReportHadErrors(alpha));
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    // A formula row without a level shows as a problem in the log, and counts as one.
    run.ctx.gDb->Execute("INSERT INTO ErrorLog (ReportId, FormulaName) VALUES (?, 'f')",
                         {vb::Variant(alpha)});
    EXPECT_TRUE(run.window->ReportHadErrors(alpha));

    // A single report with errors: the message, then the viewer.
    run.SelectReports({"Beta"});
    run.window->InitiateReportConversion(false);
    EXPECT_EQ(run.Messages(),
              std::vector<std::string>{"There were one or more errors converting this report!  Check "
                                       "the report conversion log for details ( Right-Click <report> )"});
    EXPECT_EQ(run.prompt.messages[0].title, "Tolvaran");
    EXPECT_EQ(run.windows.viewed.size(), 2u);
}

// A report whose one problem is a formula that could not be translated, or a problem of its
// subreport: the message after a single conversion; the subreport's rows are the report's, and
// its next conversion replaces them.
TEST_F(Conversion, UnconvertedFormulasAndSubreportProblemsCountForTheReport) {
    std::string withSubreport = test::OrdersReport({"Customer"});
    withSubreport.insert(withSubreport.rfind("            End\r\n        End\r\n    End"),
                         "                Begin Subform\r\n                    Name =\"subLines\"\r\n"
                         "                    SourceObject =\"Report.Lines\"\r\n"
                         "                    Left =2000\r\n                    Top =50\r\n"
                         "                    Width =3000\r\n                    Height =300\r\n"
                         "                End\r\n");
    const std::string kErrors =
        "There were one or more errors converting this report!  Check the report "
        "conversion log for details ( Right-Click <report> )";
    for (const std::string& main : {test::OrdersReport({"Customer", "=IIf([Amount])"}), withSubreport}) {
        test::MainWindowRun fresh("counted");
        fs::create_directories(fresh.folder / "out");
        const std::map<std::string, std::string> reports = {{"Main", main}, {"Lines", kBroken}};
        fresh.StoreEntry(fresh.FrontEnd("front.mdb", reports), (fresh.folder / "out").string(),
                         {"Main", "Lines"});
        const long id = fresh.ReportId("Main");
        long rows = 0;
        for (int round = 0; round < 2; ++round) {
            fresh.prompt.messages.clear();
            fresh.SelectReports({"Main"});
            fresh.window->InitiateReportConversion(false);
            EXPECT_EQ(fresh.Messages(), std::vector<std::string>{kErrors});
            if (round == 0) rows = fresh.Rows("ErrorLog", id);
        }
        EXPECT_EQ(fresh.Rows("ErrorLog", id), rows);
        EXPECT_EQ(fresh.Rows("ErrorLog", 0), 0);
    }
}

TEST_F(Conversion, UnsafeNamesAreSavedLoggedAndViewedUnderTheirSafeNames) {
    const std::string slash = "Sales/Region #2", dotted = "Q1.Sales";
    Entry({{slash, kClean}, {dotted, kClean}});
    for (const std::string& name : {slash, dotted}) {
        SCOPED_TRACE(name);
        run.SelectReports({name});
        run.window->InitiateReportConversion(false);
        EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
        const std::string file = MakeSafeName(name) + ".rpt";
        EXPECT_TRUE(fs::exists(run.folder / "out" / file));
        EXPECT_TRUE(fs::exists(run.folder / "out" / (MakeSafeName(name) + "_ErrorLog.txt")));
        ASSERT_FALSE(run.windows.viewed.empty());
        EXPECT_EQ(run.windows.viewed.back().reportName, file);
        // The log rows carry the report's own name.
        ado::Recordset rs;
        rs.Open("SELECT DISTINCT ReportName FROM ErrorLog WHERE ReportId = ?", run.ctx.gDb,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(run.ReportId(name))});
        EXPECT_EQ(rs["ReportName"].ToString(), name);
        rs.Close();

        // Viewed again from the converted list, the file leads back to its report.
        EXPECT_EQ(ViewFromConvertedList(file), std::make_pair(run.ReportId(name), file));
    }
}

TEST_F(Conversion, ReportsSharingASafeNameNeverReplaceEachOthersFiles) {
    // All three are "A_B" made safe: the one named so keeps the name.
    const std::pair<std::string, std::string> reports[] = {
        {"A-B", "A_B_3"}, {"A_B", "A_B"}, {"A#B", "A_B_2"}};
    Entry({{"A-B", kClean}, {"A_B", kClean}, {"A#B", kClean}});
    for (const auto& [name, stem] : reports) {
        run.SelectReports({name});
        run.window->InitiateReportConversion(false);
        ASSERT_FALSE(run.windows.viewed.empty());
        EXPECT_EQ(run.windows.viewed.back().reportName, stem + ".rpt");
    }
    for (const auto& [name, stem] : reports) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::exists(run.folder / "out" / (stem + ".rpt")));
        EXPECT_TRUE(fs::exists(run.folder / "out" / (stem + "_ErrorLog.txt")));
        EXPECT_EQ(ViewFromConvertedList(stem + ".rpt").first, run.ReportId(name));
    }
}

TEST_F(Conversion, AReportNameTooLongForItsTextLogsNameStillGetsItsTextLog) {
    const std::string name(250, 'L');  // "<name>.rpt" fits, "<name>_ErrorLog.txt" would not
    Entry({{name, kClean}});
    run.SelectReports({name});
    run.window->InitiateReportConversion(false);
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    EXPECT_TRUE(fs::exists(run.folder / "out" / (name + ".rpt")));
    const fs::path log = run.folder / "out" / (TextLogStem(name) + ".txt");
    ASSERT_TRUE(fs::exists(log));
    EXPECT_GT(fs::file_size(log), 0u);
}

TEST_F(Conversion, FolderWithAndWithoutFinalSeparatorGivesOneReportPath) {
    for (const std::string tail : {"", "/", "//", "\\"}) {
        SCOPED_TRACE(tail);
        test::MainWindowRun fresh("convert-folder");
        fs::create_directories(fresh.folder / "out");
        const std::string folder = (fresh.folder / "out").string() + tail;
        fresh.StoreEntry(fresh.FrontEnd("front.mdb", {{"Alpha", kClean}}), folder, {"Alpha"});
        // A folder text with "\" names no folder here; the entry keeps it as written.
        fresh.window->gDatabaseList().ConvertedReportsPath = folder;
        fresh.SelectReports({"Alpha"});
        fresh.window->InitiateReportConversion(false);
        EXPECT_TRUE(fs::exists(fresh.folder / "out" / "Alpha.rpt"));
        EXPECT_TRUE(fs::exists(fresh.folder / "out" / "Alpha_ErrorLog.txt"));
        ado::Recordset rs;
        rs.Open("SELECT ErrorDesc FROM ErrorLog WHERE ErrorDesc LIKE 'Saving Report...:%'", fresh.ctx.gDb);
        ASSERT_FALSE(rs.Eof());
        EXPECT_EQ(rs["ErrorDesc"].ToString(),
                  "Saving Report...:" + (fresh.folder / "out" / "Alpha.rpt").string());
        rs.Close();
        // Nothing was written beside the folder.
        for (const auto& e : fs::directory_iterator(fresh.folder))
            EXPECT_EQ(e.path().filename().string().find("Alpha"), std::string::npos) << e.path();
    }
}

// A converted-reports folder that is missing is made when it can be, the user told where;
// else the user is told which folder is missing and nothing is written anywhere else.
TEST_F(Conversion, AMissingConvertedFolderIsMadeOrNamedAndNothingIsWrittenElsewhere) {
    const fs::path made = run.folder / "made" / "here";
    run.StoreEntry(run.FrontEnd("front.mdb", {{"Alpha", kClean}}), made.string(), {"Alpha"});
    run.SelectReports({"Alpha"});
    run.window->InitiateReportConversion(false);
    ASSERT_EQ(run.Messages().size(), 1u);
    EXPECT_NE(run.Messages()[0].find(made.string()), std::string::npos) << run.Messages()[0];
    EXPECT_TRUE(fs::exists(made / "Alpha.rpt"));

    test::WriteFile(run.folder / "blocker", "a file where a folder would go");
    const fs::path blocked = run.folder / "blocker" / "out";
    run.StoreEntry(run.FrontEnd("other.mdb", {{"Beta", kClean}}), blocked.string(), {"Beta"});
    run.prompt.messages.clear();
    run.SelectReports({"Beta"});
    run.window->InitiateReportConversion(false);
    ASSERT_EQ(run.Messages().size(), 1u);
    EXPECT_NE(run.Messages()[0].find(blocked.string()), std::string::npos) << run.Messages()[0];
    EXPECT_EQ(Started("Beta"), 0);
    for (const fs::path& f :
         {run.folder / "Beta.rpt", run.folder / "Beta_ErrorLog.txt", run.folder / "Reports"})
        EXPECT_FALSE(fs::exists(f)) << f;
    EXPECT_EQ(run.window->gDatabaseList().ConvertedReportsPath, blocked.string());
}

// A linked Access file that is missing is told once per request, not once per report; the
// reports that do not read it convert, and each report's log has the passed-over link.
TEST_F(Conversion, AMissingLinkedFileIsToldOncePerRequest) {
    const long id = Entry({{"Alpha", kClean}, {"Beta", kClean}, {"Gamma", kClean}});
    const std::string gone = (run.folder / "gone.mdb").string();
    run.ctx.gDb->Execute(
        "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, LinkDatabase, BackEndType) "
        "VALUES (?, 'tblGone', ?, 2)",
        {vb::Variant(id), gone});
    for (int request = 0; request < 2; ++request) {
        run.prompt.messages.clear();
        run.window->InitiateReportConversion(true);
        std::vector<std::string> told;
        for (const auto& m : run.prompt.messages)
            if (m.title == "clsLink.OpenConnection") told.push_back(m.prompt);
        ASSERT_EQ(told.size(), 1u) << "request " << request;
        EXPECT_NE(told[0].find(gone), std::string::npos) << told[0];
        EXPECT_NE(told[0].find("Edit, on the Access tab"), std::string::npos) << told[0];
    }
    for (const char* name : {"Alpha", "Beta", "Gamma"}) {
        EXPECT_TRUE(Converted(name)) << name;
        const std::string log = test::ReadFile(run.folder / "out" / (std::string(name) + "_ErrorLog.txt"));
        EXPECT_NE(log.find("tblGone"), std::string::npos) << name;
    }
}

TEST_F(Conversion, ARunningRequestHoldsItsCommandsAndIgnoresASecondOne) {
    Entry({{"Alpha", kClean}, {"Beta", kClean}});
    run.SelectReports({"Alpha"});
    const QLabel* link = run.window->findChild<QLabel*>("dxlnkSelectReport");
    const int convert = static_cast<int>(ToolbarIndex(151));
    clsConvert* during = nullptr;
    run.windows.whileOpen = [&] {
        during = run.window->CurrentConverter();
        EXPECT_TRUE(run.window->Converting());
        EXPECT_FALSE(link->isEnabled());
        EXPECT_FALSE(run.window->EToolBar()->Item(convert).enabled);
        run.window->FillDropMenu(2);
        EXPECT_FALSE(run.window->DatabaseDropMenu()->actions()[1]->isEnabled());  // "&Convert All Reports"
        run.SelectReports({"Beta"});
        run.window->InitiateReportConversion(false);
    };
    run.window->InitiateReportConversion(false);
    EXPECT_EQ(run.windows.viewed.size(), 1u);
    EXPECT_EQ(run.window->CurrentConverter(), during);
    EXPECT_FALSE(Converted("Beta"));
    EXPECT_TRUE(link->isEnabled());
    EXPECT_TRUE(run.window->EToolBar()->Item(convert).enabled);
    EXPECT_FALSE(run.window->Converting());
}

TEST_F(Conversion, ReportMenuOpensTheLogAndTheLayoutEditorForTheCurrentReport) {
    Entry({{"Alpha", kClean}});
    const long alpha = run.ReportId("Alpha");
    run.window->FillDropMenu(2);
    run.window->DatabaseDropMenu()->actions()[2]->trigger();  // "&View Log"
    run.window->DatabaseDropMenu()->actions()[3]->trigger();  // "&Change Report Settings"
    EXPECT_EQ(run.windows.logs, std::vector<long>{alpha});
    EXPECT_EQ(run.windows.changed, std::vector<std::string>{std::to_string(alpha)});
}

TEST_F(Conversion, RemoveAsksAndDeletesOnlyTheEntryRow) {
    const long first = Entry({{"Alpha", kClean}});
    // Nothing current: only the hint.
    run.window->dxDatabases()->SetCurrentRow(-1);
    run.window->EToolBar_ItemClick(static_cast<int>(ToolbarIndex(254)));
    EXPECT_EQ(run.Messages(), std::vector<std::string>{"Please select a database from the list first"});
    EXPECT_EQ(run.prompt.messages[0].title, "Tolvaran");

    for (int answer : {ui::vbNo, ui::vbCancel, ui::vbYes}) {
        run.prompt.messages.clear();
        run.prompt.answers = {answer};
        run.window->dxDatabases()->SetCurrentRow(0);
        run.window->EToolBar_ItemClick(static_cast<int>(ToolbarIndex(254)));
        ASSERT_EQ(run.Messages(), std::vector<std::string>{"Are you sure?"});
        EXPECT_EQ(run.prompt.messages[0].buttons, ui::vbYesNoCancel | ui::vbQuestion);
        EXPECT_EQ(run.prompt.messages[0].title, "Remove Database from List");
        EXPECT_EQ(run.window->dxDatabases()->Dataset().RowCount(), answer == ui::vbYes ? 0 : 1) << answer;
    }
    // The entry's links and reports stay in the lists file; the grids show nothing.
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) AS n FROM Report WHERE DatabaseListId = ?", run.ctx.gDb, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {vb::Variant(first)});
    EXPECT_EQ(rs["n"].ToLong(), 1);
    rs.Close();
    EXPECT_EQ(run.window->dxReports()->Dataset().RowCount(), 0);
}

TEST_F(Conversion, DeletingAConvertedReportNeedsYes) {
    Entry({{"Alpha", kClean}});
    run.SelectReports({"Alpha"});
    run.window->InitiateReportConversion(false);
    const fs::path file = run.folder / "out" / "Alpha.rpt";
    ASSERT_TRUE(fs::exists(file));
    QListWidget* list = run.window->dxConvertedReports();
    for (int answer : {ui::vbNo, ui::vbCancel, ui::vbYes}) {
        run.prompt.messages.clear();
        run.prompt.answers = {answer};
        if (list->count() > 0) list->setCurrentRow(0);
        run.window->FillDropMenu(3);
        run.window->DatabaseDropMenu()->actions()[2]->trigger();  // "&Delete Report"
        EXPECT_EQ(run.Messages(),
                  std::vector<std::string>{"Are you sure you want to physically delete this report?"});
        EXPECT_EQ(run.prompt.messages[0].title, "Delete Crystal Report");
        EXPECT_EQ(fs::exists(file), answer != ui::vbYes) << answer;
        EXPECT_EQ(list->count(), answer == ui::vbYes ? 0 : 1) << answer;
    }
    // Edit opens the designer on the file; with nothing selected, Delete asks nothing and
    // leaves the folder, and View says so.
    run.SelectReports({"Alpha"});
    run.window->InitiateReportConversion(false);
    run.prompt.messages.clear();
    list->setCurrentRow(0);
    run.window->FillDropMenu(3);
    run.window->DatabaseDropMenu()->actions()[1]->trigger();  // "&Edit Report"
    ASSERT_EQ(run.launcher.calls.size(), 1u);
    EXPECT_EQ(run.launcher.calls[0].arguments, std::vector<std::string>{file.string()});
    list->clearSelection();
    run.window->FillDropMenu(3);
    run.window->DatabaseDropMenu()->actions()[2]->trigger();  // "&Delete Report"
    EXPECT_TRUE(run.Messages().empty());
    EXPECT_TRUE(fs::exists(file));
    emit run.window->findChild<QLabel*>("dxlnkPreview")->linkActivated("#");
    EXPECT_EQ(run.Messages(), std::vector<std::string>{"Please Select a report!"});
}

TEST_F(Conversion, UnknownToolbarIdDoesNothing) {
    Entry({{"Alpha", kClean}});
    run.ctx.gInternalDb->Execute(
        "INSERT INTO ToolBars (ToolBarId, FormName, ButtonOrder, Level, ButtonNAME, ButtonType, ImageNo, "
        "ToolTip, "
        "Enabled) VALUES (999, 'MainMenu', 99, 1, 'Mystery', 0, 1, 'Mystery', 1)");
    run.window->gToolBar().Load(*run.window->EToolBar(), "MainMenu");
    const long index = ToolbarIndex(999);
    ASSERT_GT(index, 0);
    run.window->EToolBar_ItemClick(static_cast<int>(index));
    EXPECT_TRUE(run.Messages().empty());
    EXPECT_EQ(run.window->CurrentConverter(), nullptr);
    EXPECT_TRUE(run.windows.viewed.empty());
    EXPECT_TRUE(run.launcher.calls.empty());
}

}  // namespace
