// The report viewer control and the designer program's window, offscreen, on report files made
// by the tests over SQLite tables.
#include <gtest/gtest.h>
#include <sqlite3.h>

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
    const std::string file = (folder / "notes.rpt").string();
    std::ofstream(file) << "just some notes";
    ui::RecordingPrompt prompt;
    DesignerWindow window(prompt);
    EXPECT_FALSE(window.Open(file));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].prompt.find(file), std::string::npos) << prompt.messages[0].prompt;
    EXPECT_EQ(prompt.messages[0].title, "Tolvaran Designer");
    EXPECT_FALSE(window.Viewer().EmptyReason().empty());
}

TEST(QtLauncher, TheDesignersWindowsProgramIsTheDesignerProgramInTheSameFolder) {
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/bin/crw32.exe"), "/opt/tolvaran/bin/tolvaran-designer");
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/bin/CRW32.EXE"), "/opt/tolvaran/bin/tolvaran-designer");
    EXPECT_EQ(QtLauncher::ProgramFor("/opt/tolvaran/TVN_UPDATE.EXE"), "/opt/tolvaran/TVN_UPDATE.EXE");
    // The build registers its own bin folder as the designer's, and puts the program there.
    EXPECT_TRUE(fs::exists(QtLauncher::ProgramFor(std::string(TOLVARAN_BIN_DIR) + "/crw32.exe")));
}

}  // namespace
