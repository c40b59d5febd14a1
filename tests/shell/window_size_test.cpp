// Windows on a small screen (the offscreen platform's, 800 x 600): none opens wider or taller
// than its screen, and the note the viewer writes about a report whose data cannot be read
// neither widens the viewer nor squeezes the designer's structure tree.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QScreen>
#include <QTreeWidget>

#include "platform/designer/designer.h"
#include "select_database_fixture.h"
#include "shell/qt/elided_label.h"
#include "shell/report_windows/change_report.h"
#include "shell/report_windows/designer_window.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell/report_windows/show_errors.h"
#include "shell/report_windows/view_report.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

class WindowSizes : public test::SelectDatabaseFixture {
  protected:
    // A report file on a table of a database that is gone, in a folder with a long name, so
    // the note saying why there is no data is long.
    fs::path UnreadableReport() {
        const fs::path folder = folder_ / "sales figures of the northern region, first and second quarter";
        fs::create_directories(folder);
        const std::string db = StandIn("sales.db", "CREATE TABLE Sales (Region TEXT, Amount DOUBLE);");
        const fs::path moved = folder / "sales.db";
        fs::rename(db, moved);
        auto report = designer::Application().NewReport();
        report->Database().Tables().Add(moved.string(), "Sales");
        report->Areas().Item("D").Sections().Item(1).AddFieldObject("{Sales.Amount}", 0, 0);
        const fs::path file = folder / "sales.rpt";
        report->SaveAs(file.string());
        fs::remove(moved);
        return file;
    }

    ReportWindowServices WindowServices() {
        ReportWindowServices s;
        s.ctx = &ctx_;
        return s;
    }

    static void Show(QWidget& window) {
        window.show();
        QCoreApplication::processEvents();
    }
};

TEST_F(WindowSizes, NoWindowOpensLargerThanItsScreen) {
    const fs::path report = UnreadableReport();
    ViewReport viewer(WindowServices(), window_.get());
    viewer.Reportpath = report.parent_path().string();
    viewer.ReportName = report.filename().string();
    viewer.ShowReport();
    DesignerWindow designer(prompt_);
    ASSERT_TRUE(designer.Open(report.string()));
    SelectDatabase source(Services(), window_.get());
    ShowErrors errors(WindowServices(), window_.get());
    ChangeReport layout(WindowServices(), window_.get());

    const std::pair<const char*, QWidget*> windows[] = {
        {"main window", window_.get()}, {"source database", &source}, {"viewer", &viewer},
        {"designer", &designer},        {"error log", &errors},       {"layout editor", &layout}};
    for (const auto& [name, window] : windows) {
        SCOPED_TRACE(name);
        Show(*window);
        const QRect room = window->screen()->availableGeometry();
        EXPECT_LE(window->frameGeometry().width(), room.width());
        EXPECT_LE(window->frameGeometry().height(), room.height());
        window->hide();
    }
}

TEST_F(WindowSizes, TheNoteOfUnreadableDataIsCutToTheRoomAndWholeOnHover) {
    const fs::path report = UnreadableReport();
    DesignerWindow designer(prompt_);
    ASSERT_TRUE(designer.Open(report.string()));
    Show(designer);
    auto* note = designer.Viewer().findChild<ElidedLabel*>("lblNotes");
    ASSERT_NE(note, nullptr);
    ASSERT_NE(note->text().indexOf(QString::fromStdString(report.parent_path().string())), -1)
        << note->text().toStdString();
    EXPECT_TRUE(note->ShownText().endsWith(QChar(0x2026))) << note->ShownText().toStdString();
    EXPECT_NE(note->toolTip().indexOf(note->text().toHtmlEscaped()), -1);
    // The structure keeps its share of the window.
    EXPECT_GE(designer.Structure().width(), designer.width() / 4);
}

}  // namespace
