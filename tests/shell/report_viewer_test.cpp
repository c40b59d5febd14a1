// The report viewer control and the designer program's window, offscreen, on report files made
// by the tests over SQLite tables.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "platform/designer/designer.h"
#include "shell/qt/qt_launcher.h"
#include "shell/report_windows/designer_window.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell_test_support.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

void Exec(const std::string& file, const std::string& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &h), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(h, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(h);
}

// 40 sales in four regions, grouped by region, one group to a page.
std::shared_ptr<designer::Report> SalesReport(const fs::path& folder) {
    const std::string db = (folder / "sales.db").string();
    std::string sql = "CREATE TABLE Sales (Region TEXT, Amount DOUBLE);";
    for (int i = 0; i < 40; ++i)
        sql += "INSERT INTO Sales VALUES ('Region " + std::to_string(1 + i % 4) + "', " + std::to_string(i) +
               ");";
    Exec(db, sql);
    std::shared_ptr<designer::Report> r = designer::Application().NewReport();
    r->Database().Tables().Add(db, "Sales");
    r->AddGroup(0, "{Sales.Region}", designer::crGCAnyValue, designer::crAscendingOrder);
    designer::Section& header = r->Areas().Item("GH1").Sections().Item(1);
    header.AddFieldObject("{Sales.Region}", 0, 0);
    header.NewPageBefore = true;
    r->Areas().Item("D").Sections().Item(1).AddFieldObject("{Sales.Amount}", 0, 0);
    r->FormulaFields().Add("Total", "Sum({Sales.Amount}, {Sales.Region})");
    r->Areas().Item("GF1").Sections().Item(1).AddFieldObject("{@Total}", 0, 0);
    r->ParameterFields().Add("Since", designer::crDateField).Prompt = "First day";
    return r;
}

TEST(ReportViewerControl, MovesBetweenPagesAndSaysWhichPageItShows) {
    const fs::path folder = test::TempFolder("viewer");
    ReportViewerControl viewer;
    viewer.resize(900, 700);
    viewer.setReportSource(SalesReport(folder));
    viewer.ViewReport();
    viewer.FinishLayout();
    ASSERT_EQ(viewer.PageCount(), 4);
    auto* label = viewer.findChild<QLabel*>("lblPage");
    auto* next = viewer.findChild<QToolButton*>("cmdNextPage");
    auto* previous = viewer.findChild<QToolButton*>("cmdPreviousPage");
    auto* last = viewer.findChild<QToolButton*>("cmdLastPage");
    auto* first = viewer.findChild<QToolButton*>("cmdFirstPage");
    ASSERT_TRUE(label && next && previous && last && first);
    EXPECT_EQ(label->text().toStdString(), "Page 1 of 4");
    EXPECT_FALSE(previous->isEnabled());
    next->click();
    EXPECT_EQ(label->text().toStdString(), "Page 2 of 4");
    last->click();
    EXPECT_EQ(label->text().toStdString(), "Page 4 of 4");
    EXPECT_FALSE(next->isEnabled());
    previous->click();
    first->click();
    EXPECT_EQ(viewer.CurrentPage(), 0);
    EXPECT_TRUE(viewer.EmptyReason().empty());
}

// The first page shows before the rest is laid out; the rest follows between the window's events.
TEST(ReportViewerControl, ShowsTheFirstPageAtOnceAndTheRestBetweenEvents) {
    const fs::path folder = test::TempFolder("viewer_first");
    ReportViewerControl viewer;
    viewer.setReportSource(SalesReport(folder));
    viewer.ViewReport();
    auto* label = viewer.findChild<QLabel*>("lblPage");
    auto* progress = viewer.findChild<QLabel*>("lblLayout");
    auto* tree = viewer.findChild<QTreeWidget*>("GroupTree");
    ASSERT_TRUE(label && progress && tree);
    EXPECT_EQ(viewer.PageCount(), 1);
    EXPECT_EQ(label->text().toStdString(), "Page 1 of ?");
    EXPECT_FALSE(progress->isHidden());
    EXPECT_FALSE(viewer.findChild<QToolButton*>("cmdNextPage")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.LayingOut(); }));
    EXPECT_EQ(label->text().toStdString(), "Page 1 of 4");
    EXPECT_TRUE(progress->isHidden());
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_TRUE(viewer.findChild<QToolButton*>("cmdNextPage")->isEnabled());
}

// The window closes as the records are being read (its events run during the read): the read
// stops and the report says why.
TEST(ReportViewerControl, StoppingWhileTheRecordsAreReadEndsTheRead) {
    const fs::path folder = test::TempFolder("viewer_stop");
    ReportViewerControl viewer;
    viewer.setReportSource(SalesReport(folder));
    QTimer::singleShot(0, &viewer, [&viewer] { viewer.StopLayout(); });
    viewer.ViewReport();
    viewer.FinishLayout();
    ASSERT_FALSE(viewer.Document().notes.empty());
    EXPECT_NE(viewer.Document().notes[0].find("Operation has been cancelled by the user"), std::string::npos)
        << viewer.Document().notes[0];
}

TEST(ReportViewerControl, GroupTreeLeadsToTheGroupsPage) {
    const fs::path folder = test::TempFolder("viewer_tree");
    ReportViewerControl viewer;
    viewer.setReportSource(SalesReport(folder));
    viewer.ViewReport();
    viewer.FinishLayout();
    auto* tree = viewer.findChild<QTreeWidget*>("GroupTree");
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->topLevelItemCount(), 4);
    EXPECT_EQ(tree->topLevelItem(2)->text(0).toStdString(), "Region 3");
    emit tree->itemClicked(tree->topLevelItem(2), 0);
    EXPECT_EQ(viewer.CurrentPage(), 2);
}

TEST(ReportViewerControl, ZoomsByPercentPageWidthAndWholePage) {
    const fs::path folder = test::TempFolder("viewer_zoom");
    ReportViewerControl viewer;
    viewer.resize(900, 700);
    viewer.show();
    viewer.setReportSource(SalesReport(folder));
    viewer.ViewReport();
    auto* zoom = viewer.findChild<QComboBox*>("cboZoom");
    ASSERT_TRUE(zoom);
    EXPECT_EQ(zoom->itemText(0).toStdString(), "Whole Page");
    EXPECT_EQ(zoom->itemText(1).toStdString(), "Page Width");
    viewer.setZoom(ReportViewerControl::ZoomMode::Percent, 100);
    const double full = viewer.Scale();
    EXPECT_NEAR(full, 96.0 / 1440.0, 1e-9);
    viewer.setZoom(ReportViewerControl::ZoomMode::Percent, 200);
    EXPECT_NEAR(viewer.Scale(), 2 * full, 1e-9);
    EXPECT_EQ(zoom->currentText().toStdString(), "200%");
    viewer.setZoom(ReportViewerControl::ZoomMode::PageWidth);
    const double width = viewer.Scale();
    viewer.setZoom(ReportViewerControl::ZoomMode::WholePage);
    EXPECT_LE(viewer.Scale(), width);  // the whole page never takes more room than its width
    EXPECT_GT(viewer.Scale(), 0);
}

TEST(ReportViewerControl, EmptyViewerSaysWhy) {
    ReportViewerControl viewer;
    viewer.ViewReport();
    EXPECT_EQ(viewer.EmptyReason(), "No report.");
    viewer.setReportSource(designer::Application().NewReport());
    viewer.ShowEmpty("The report file \"x.rpt\" cannot be opened: missing");
    EXPECT_EQ(viewer.ReportSource(), nullptr);
    EXPECT_EQ(viewer.PageCount(), 0);
    EXPECT_EQ(viewer.findChild<QLabel*>("lblMessage")->text().toStdString(),
              "The report file \"x.rpt\" cannot be opened: missing");
}

TEST(DesignerWindow, ShowsTheReportBesideATreeOfItsStructure) {
    const fs::path folder = test::TempFolder("designer");
    auto report = SalesReport(folder);
    const std::string file = (folder / "sales.rpt").string();
    report->SaveAs(file);
    ui::RecordingPrompt prompt;
    DesignerWindow window(prompt);
    ASSERT_TRUE(window.Open(file));
    EXPECT_TRUE(prompt.messages.empty());
    window.Viewer().FinishLayout();
    EXPECT_EQ(window.Viewer().PageCount(), 4);
    // Every node's name and details, one line each.
    std::vector<std::string> lines;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        lines.push_back(item->text(0).toStdString() + " | " + item->text(1).toStdString());
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    walk(window.Structure().topLevelItem(0));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("GroupHeaderArea1 | GH1"));
    EXPECT_TRUE(has("Field1 | field {Sales.Region} at 0, 0; 1440 x 221 twips"));
    EXPECT_TRUE(has("{@Total} | Sum({Sales.Amount}, {Sales.Region})"));
    EXPECT_TRUE(has("{?Since} | date, prompt \"First day\""));
    EXPECT_TRUE(has("Group 1 | {Sales.Region}, each value, ascending"));
    EXPECT_TRUE(has("Amount | number"));
}

TEST(DesignerWindow, AFileThatIsNotAReportFileGivesAMessageNamingIt) {
    const fs::path folder = test::TempFolder("designer_bad");
    std::ofstream(folder / "notes.rpt") << "just some notes";
    // A folder, a FIFO (which would wait for a writer without end) and a file above the
    // program's limit are named and never read.
    fs::create_directory(folder / "folder.rpt");
    ASSERT_EQ(mkfifo((folder / "pipe.rpt").c_str(), 0600), 0);
    std::ofstream(folder / "large.rpt") << std::string(1024 * 1024 + 1, ' ');
    struct Case {
        std::string name, reasonPart;
    };
    for (const Case& c :
         {Case{"notes.rpt", "not an XML document"}, Case{"folder.rpt", "it is a directory, not a file"},
          Case{"pipe.rpt", "it is a FIFO (named pipe), not a file"},
          Case{"large.rpt", "it holds 2 MB, more than the 1 MB allowed"}}) {
        const std::string file = (folder / c.name).string();
        ui::RecordingPrompt prompt;
        DesignerWindow window(prompt);
        window.MaxFileMb = 1;
        EXPECT_FALSE(window.Open(file));
        ASSERT_EQ(prompt.messages.size(), 1u) << c.name;
        EXPECT_NE(prompt.messages[0].prompt.find(file), std::string::npos) << prompt.messages[0].prompt;
        EXPECT_NE(prompt.messages[0].prompt.find(c.reasonPart), std::string::npos)
            << prompt.messages[0].prompt;
        EXPECT_EQ(prompt.messages[0].title, "Tolvaran Designer");
        EXPECT_FALSE(window.Viewer().EmptyReason().empty());
    }
}

// A report file whose one table is a command on the SQLite file other. It is made with a
// reader that runs nothing, so that only showing it could run the command.
std::string CommandReport(const fs::path& folder, const std::string& other, const std::string& command) {
    designer::Application app([](const std::string&, const designer::TableSource&, const std::string&) {
        return std::vector<designer::SourceField>{{"ReportName", designer::crStringField}};
    });
    auto report = app.NewReport();
    report->Database().Tables().AddCommand(other, "qryCommand", command);
    report->Areas().Item("D").Sections().Item(1).AddFieldObject("{qryCommand.ReportName}", 0, 0);
    const std::string file = (folder / "command.rpt").string();
    report->SaveAs(file);
    return file;
}

long Rows(const std::string& file, const std::string& table) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(file.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, ("SELECT count(*) FROM " + table).c_str(), -1, &st, nullptr);
    const long n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}

// The viewer and the designer program only read: a report file's command that would write
// (into the file it names, or a new file anywhere) is not run, and the notes name its table.
TEST(ReportViewerControl, ACommandThatWritesIsNotRunByTheViewerNorTheDesigner) {
    const fs::path folder = test::TempFolder("viewer_command");
    const std::string other = (folder / "TOLVARAN.ADL").string();
    Exec(other, "CREATE TABLE Report (ReportName TEXT); INSERT INTO Report VALUES ('Orders'), ('Sales');");
    const fs::path copy = folder / "copy.db";
    for (const std::string& command :
         {std::string("DELETE FROM Report"), "VACUUM INTO '" + copy.string() + "'",
          std::string("SELECT ReportName FROM Report; DELETE FROM Report")}) {
        const std::string file = CommandReport(folder, other, command);
        for (const bool designerProgram : {false, true}) {
            ui::RecordingPrompt prompt;
            DesignerWindow window(prompt);
            ReportViewerControl control;
            ReportViewerControl* viewer = &control;
            if (designerProgram) {
                ASSERT_TRUE(window.Open(file));
                viewer = &window.Viewer();
            } else {
                control.setReportSource(designer::Application().OpenReport(file));
                control.ViewReport();
            }
            viewer->FinishLayout();
            EXPECT_EQ(Rows(other, "Report"), 2) << command;
            EXPECT_FALSE(fs::exists(copy)) << command;
            const std::vector<std::string>& notes = viewer->Document().notes;
            ASSERT_FALSE(notes.empty()) << command;
            EXPECT_NE(notes[0].find("The command of the table \"qryCommand\" is not run"), std::string::npos)
                << notes[0];
        }
    }
}

TEST(QtLauncher, TheDesignersWindowsProgramIsTheDesignerProgramInTheSameFolder) {
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/bin/crw32.exe"), "/opt/tolvaran/bin/tolvaran-designer");
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/bin/CRW32.EXE"), "/opt/tolvaran/bin/tolvaran-designer");
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/TVN_UPDATE.EXE"), "/opt/tolvaran/TVN_UPDATE.EXE");
    // The build registers its own bin folder as the designer's, and puts the program there.
    EXPECT_TRUE(fs::exists(QtLauncher::ProgramFor(std::string(TOLVARAN_BIN_DIR) + "/crw32.exe")));
}

}  // namespace
