// The report windows opened one after another from the main window, as a user goes through
// them: the reports converted (by a click on the toolbar's Convert, then Convert All), a
// converted report viewed, zoomed and opened in the designer, a layout edit cancelled, the
// error log cleared, then a converted report opened by double click. Each window runs
// modally and is worked and closed from inside its own event loop. Run under AddressSanitizer
// and valgrind too (README: the windows under a memory checker).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "conversion_support.h"
#include "shell/qt/data_grid.h"
#include "shell/report_windows/change_report.h"
#include "shell/report_windows/designer_window.h"
#include "shell/report_windows/qt_report_windows.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell/report_windows/show_errors.h"
#include "shell/report_windows/view_report.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/support.h"

using namespace tolvaran;

namespace {

// Clicks the toolbar item with the id, by mouse on its button or through its action.
void ClickItem(QtToolBar& bar, long id, bool byMouse = false) {
    for (int i = 1; i <= bar.ItemCount(); ++i) {
        if (bar.ItemCtrlID(i) != id) continue;
        if (byMouse)
            QTest::mouseClick(bar.widgetForAction(bar.ActionOf(i)), Qt::LeftButton);
        else
            bar.ActionOf(i)->trigger();
    }
}

// Clicks the item of a main-window context menu, as the menu shows it.
void ClickMenu(Startup& window, int source, int position) {
    window.setDropMenu(source);
    auto* menu = window.findChild<QMenu*>("DatabaseDropMenu");
    menu->hide();
    int n = 0;
    for (QAction* action : menu->actions())
        if (++n == position) action->trigger();
}

void Zoom(ReportViewerControl& viewer, const QString& choice) {
    auto* zoom = viewer.findChild<QComboBox*>("cboZoom");
    const int index = zoom->findText(choice);
    zoom->setCurrentIndex(index);
    emit zoom->activated(index);
}

struct Seen {
    std::vector<std::string> windows;
    std::vector<int> pages;
    long logRowsLeft = -1;
};

TEST(WindowsSequence, ViewerDesignerLayoutEditAndErrorLogOneAfterAnother) {
    QtReportWindows windows{ReportWindowServices{}};
    test::MainWindowRun run("sequence", &windows);
    Startup& main = *run.window;
    main.show();
    windows.Services().ctx = &run.ctx;
    windows.Bind(
        main.gToolBar(), main.Env(), [&main] { return main.gCrystalVersion; }, &main);
    Seen seen;
    windows.Services().runModal = [&](QDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&] {
            seen.windows.push_back(dialog.objectName().toStdString());
            if (auto* viewer = qobject_cast<ViewReport*>(&dialog)) {
                ReportViewerControl& control = *viewer->CRViewer();
                seen.pages.push_back(control.PageCount());
                Zoom(control, QStringLiteral("400%"));
                control.LastPage();
                Zoom(control, QStringLiteral("Whole Page"));
                viewer->EToolBar()->ActionOf(2)->trigger();  // open in the designer
                viewer->EToolBar()->ActionOf(1)->trigger();  // close
            } else if (auto* layout = qobject_cast<ChangeReport*>(&dialog)) {
                DataGrid& grid = *layout->dxGrid();
                const QModelIndex cell = grid.model()->index(0, 2);
                grid.setCurrentIndex(cell);
                grid.edit(cell);
                if (auto* editor = grid.findChild<QLineEdit*>()) editor->setText(QStringLiteral("999"));
                ClickItem(*layout->EToolBar(), 237);  // cancel
            } else if (auto* log = qobject_cast<ShowErrors*>(&dialog)) {
                ClickItem(*log->EToolBar(), 251);  // clear the log
                ClickItem(*log->EToolBar(), 252);  // copy
                seen.logRowsLeft = log->dxGrid()->Dataset().RowCount();
                ClickItem(*log->EToolBar(), 248);  // close
            }
            if (dialog.isVisible()) dialog.reject();
        });
        dialog.exec();
    };

    const std::string report = test::OrdersReport({"Customer", "=[Amount]*2"});
    const auto front = run.FrontEnd("Orders.mdb", {{"Orders A", report}, {"Orders B", report}});
    const long entry = run.StoreEntry(front, run.folder.string(), {"Orders A", "Orders B"});
    ASSERT_GT(entry, 0);
    run.SelectReports({"Orders A", "Orders B"});
    ClickItem(*main.EToolBar(), 151, true);  // convert the selected, by mouse
    ClickMenu(main, 2, 2);                   // convert all
    ASSERT_EQ(run.ConvertedList(), (std::vector<std::string>{"Orders A.rpt", "Orders B.rpt"}));

    QListWidget& converted = *main.dxConvertedReports();
    converted.setCurrentRow(0);
    ClickMenu(main, 3, 1);  // view, zoom, open in the designer
    ASSERT_EQ(run.launcher.calls.size(), 1u);

    // The designer program's window, here in the same process, on the file it was given.
    ASSERT_EQ(run.launcher.calls[0].arguments.size(), 1u);
    const std::string file = run.launcher.calls[0].arguments[0];
    ui::RecordingPrompt designerPrompt;
    {
        DesignerWindow designer(designerPrompt);
        ASSERT_TRUE(designer.Open(file)) << file;
        designer.show();
        Zoom(designer.Viewer(), QStringLiteral("200%"));
        QCoreApplication::processEvents();
        designer.close();
    }

    run.SelectReports({"Orders A"});
    ClickMenu(main, 2, 4);  // layout editor, cancelled
    ClickMenu(main, 2, 3);  // error log, cleared
    EXPECT_EQ(seen.logRowsLeft, 0);
    EXPECT_EQ(run.Rows("ErrorLog", run.ReportId("Orders A")), 0);

    converted.setCurrentRow(1);
    emit converted.itemDoubleClicked(converted.item(1));
    QCoreApplication::processEvents();

    EXPECT_EQ(seen.windows,
              (std::vector<std::string>{"ViewReport", "ChangeReport", "ShowErrors", "ViewReport"}));
    EXPECT_EQ(seen.pages, (std::vector<int>{1, 1}));
    // The two batches converted cleanly: they ended quietly, and nothing else was said.
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
}

}  // namespace

// A right-click while a menu command runs (here: the viewer a single conversion opens) refills
// the menu; the running command's action lives on until its click is over.
TEST(WindowsSequence, AMenuRefilledWhileItsCommandRunsKeepsTheRunningItem) {
    QtReportWindows windows{ReportWindowServices{}};
    test::MainWindowRun run("refill", &windows);
    Startup& main = *run.window;
    windows.Services().ctx = &run.ctx;
    windows.Bind(
        main.gToolBar(), main.Env(), [&main] { return main.gCrystalVersion; }, &main);
    QPointer<QAction> running;
    bool aliveAfterRefill = false;
    windows.Services().runModal = [&](QDialog&) {
        main.setDropMenu(3);
        main.DatabaseDropMenu()->hide();
        aliveAfterRefill = !running.isNull();
    };
    const auto front = run.FrontEnd("Orders.mdb", {{"Orders A", test::OrdersReport({"Customer"})}});
    ASSERT_GT(run.StoreEntry(front, run.folder.string(), {"Orders A"}), 0);
    run.SelectReports({"Orders A"});
    main.setDropMenu(2);
    main.DatabaseDropMenu()->hide();
    running = main.DatabaseDropMenu()->actions().at(0);  // Convert Access Report
    running->trigger();
    EXPECT_TRUE(aliveAfterRefill);
}
