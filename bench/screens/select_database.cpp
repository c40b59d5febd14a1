// The source-database dialog on each of its four tabs, as it stands after a corpus Access file
// was picked and scanned from the main window's Add (the picker answered by script), with the
// General tab's tree of views filled; and the ODBC tab of a corpus front end with ODBC links.
#include "shell/source_database/select_database.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <fstream>

#include "screens/screens.h"
#include "shell/main_window/app_run.h"
#include "shell/source_database/select_database_opener.h"
#include "shell/toolbar/qt_toolbar.h"
#include "support/fake_common_dialog.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

namespace {

// Adds the corpus file through the main window's toolbar; shoot(dialog) takes the pictures,
// then the dialog is cancelled, so the program folder keeps no entry.
void AddCorpusFile(screens::Session& s, const std::string& file, const std::string& tag,
                   const std::function<void(tolvaran::SelectDatabase&)>& shoot) {
    const auto path = std::filesystem::weakly_canonical(screens::Session::Corpus() / "db" / file);
    if (!std::filesystem::exists(path)) throw std::runtime_error("corpus file missing: " + path.string());
    // Message boxes the scan shows (a data source this machine lacks) are answered at once.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", box->text().toStdString().c_str());
            box->accept();
        }
    });
    answer.start(20);
    tolvaran::AppRun run(s.FreshProgramFolder(tag).string());
    if (!run.Start()) return;
    run.Window().resize(1180, 720);
    ui::FakeCommonDialog files;
    files.Choose(path.string());
    ui::RecordingLauncher launcher;
    sqldmo::FakeFactory dmo;
    tolvaran::SelectDatabaseDialogs dialogs(files, files, launcher, dmo);
    dialogs.setRunner([&](tolvaran::SelectDatabase& dialog) {
        shoot(dialog);
        tolvaran::QtToolBar* bar = dialog.EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == 237) dialog.EToolBar_ItemClick(i);
    });
    dialogs.Show(run.Window(), "", true);
    run.Window().Form_Terminate();
}

}  // namespace

TOLVARAN_SCREEN("select_database_tabs", [](screens::Session& s) {
    AddCorpusFile(s, "mdbtools__mdbtestdata__nwind.mdb", "selectdb", [&](tolvaran::SelectDatabase& dialog) {
        dialog.LoadTablesTreeView();
        if (auto* tree = dialog.findChild<QTreeWidget*>("dxTreeList1")) tree->expandAll();
        const char* names[4] = {"select_database_1_general", "select_database_2_access",
                                "select_database_3_sql_server", "select_database_4_odbc"};
        for (int tab = 1; tab <= 4; ++tab) {
            dialog.ActivateTab(tab);
            s.Save(dialog, names[tab - 1]);
        }
    });
});

TOLVARAN_SCREEN("select_database_odbc_links", [](screens::Session& s) {
    AddCorpusFile(s, "jahlborn__jackcess__odbcLinkerTestV2007.accdb", "selectdb-odbc",
                  [&](tolvaran::SelectDatabase& dialog) {
                      // The user chooses the ODBC kind and the front end's ODBC link.
                      dialog.findChild<QRadioButton*>("OptODBC")->click();
                      auto* list = dialog.findChild<QListWidget*>("lstODBC");
                      list->setCurrentRow(0);
                      dialog.lstODBC_Click();
                      s.Save(dialog, "select_database_odbc_links");
                  });
});

// Add refuses a file that is not an Access database: the main window with the message that
// names the file and why.
TOLVARAN_SCREEN("select_database_refused", [](screens::Session& s) {
    const auto folder = s.FreshProgramFolder("refused");
    const auto fake = folder / "fake.mdb";
    std::ofstream(fake) << "A text file that only has the name of an Access database.\n";
    tolvaran::AppRun run(folder.string());
    if (!run.Start()) return;
    run.Window().resize(1180, 720);
    run.Window().show();
    QTimer shoot;
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            s.SaveWithPopup(run.Window(), *box, "select_database_refused");
            box->accept();
        }
    });
    shoot.start(20);
    ui::FakeCommonDialog files;
    files.Choose(fake.string());
    ui::RecordingLauncher launcher;
    sqldmo::FakeFactory dmo;
    tolvaran::SelectDatabaseDialogs dialogs(files, files, launcher, dmo);
    dialogs.Show(run.Window(), "", true);
    run.Window().Form_Terminate();
});
