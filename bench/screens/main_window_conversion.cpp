// The main window converting the five French Northwind reports of the corpus (a SQLite
// stand-in front end): during the batch, after it, with each of its three context menus open
// over the list it belongs to, and the summary that ends a batch in which one report could not
// be saved.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "screens/screens.h"
#include "shell/main_window/app_run.h"
#include "shell/qt/data_grid.h"
#include "support/main_road.h"
#include "support/window_entry.h"

namespace fs = std::filesystem;

namespace {

// Opens the context menu of source over the current row of view and saves the picture.
void MenuOver(screens::Session& s, tolvaran::Startup& window, int source, QAbstractItemView& view,
              const std::string& name) {
    const QPoint at = view.viewport()->mapToGlobal(view.visualRect(view.currentIndex()).center());
    window.FillDropMenu(source);
    QMenu* menu = window.DatabaseDropMenu();
    menu->popup(at);
    screens::Session::Settle();
    s.SaveWithPopup(window, *menu, name);
    menu->hide();
}

}  // namespace

TOLVARAN_SCREEN("main_window_conversion", [](screens::Session& s) {
    if (!fs::is_directory(screens::Session::Corpus() / "reports")) {
        std::fprintf(stderr, "main_window_conversion: no corpus at %s\n", screens::Session::Corpus().c_str());
        return;
    }
    tolvaran::AppRun run(s.FreshProgramFolder("conversion").string());
    if (!run.Start()) return;
    tolvaran::Startup& window = run.Window();
    window.resize(1180, 720);
    window.show();
    const fs::path folder = run.Context().programFolder;
    const fs::path out = folder / "Rapports";
    fs::create_directories(out);
    bench_support::RegisterEntry(window, main_road::NwindFrontEnd(folder, screens::Session::Corpus()),
                                 out.string());

    // The picture of the running batch is taken while the third report adds its sections: when
    // a section's line reaches the message list (the window repaints only at intervals, too
    // seldom to be caught from the event loop).
    bool taken = false;
    QObject::connect(window.ReportResults()->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (taken) return;
        const QString reports = window.findChild<QLabel*>("lblReports")->text();
        const QString status = window.findChild<QLabel*>("lblProgress")->text();
        if (reports.startsWith(QStringLiteral("Report 3 of 5")) && status == QStringLiteral("Add Sections")) {
            taken = true;
            s.Save(window, "main_window_conversion_running");
        }
    });
    // The boxes a batch shows are answered: the question to go on with Yes, the summary with
    // OK, its picture taken first when one is wanted.
    std::string summaryPicture;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (!summaryPicture.empty() && box->text().contains(QStringLiteral("processed"))) {
            s.SaveWithPopup(window, *box, summaryPicture);
            summaryPicture.clear();
        }
        if (QAbstractButton* yes = box->button(QMessageBox::Yes))
            yes->click();
        else
            box->accept();
    });
    answer.start();
    window.InitiateReportConversion(true);
    s.Save(window, "main_window_conversion_done");

    window.dxConvertedReports()->setCurrentRow(2);
    window.dxReports()->SetCurrentRow(4);
    MenuOver(s, window, 1, *window.dxDatabases(), "main_window_menu_databases");
    MenuOver(s, window, 2, *window.dxReports(), "main_window_menu_reports");
    MenuOver(s, window, 3, *window.dxConvertedReports(), "main_window_menu_converted");

    // Again, with a folder where one report's file goes: that report fails, and the batch says
    // so in its summary.
    const fs::path blocked = out / "Totaux des ventes par montant.rpt";
    fs::remove(blocked);
    fs::create_directory(blocked);
    summaryPicture = "main_window_conversion_summary";
    window.InitiateReportConversion(true);
    answer.stop();
    window.Form_Terminate();
});
