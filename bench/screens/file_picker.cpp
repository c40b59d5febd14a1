// The source-database dialog's file picker as the main window's Add opens it in a program that
// kept the folder a file was last chosen from: the picker starts in that folder and lists its
// Access files, the .accdb among them.
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "screens/screens.h"
#include "shell/main_window/app_run.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/last_folder.h"

namespace fs = std::filesystem;

TOLVARAN_SCREEN("file_picker", [](screens::Session& s) {
    const fs::path program = s.FreshProgramFolder("file_picker");
    const fs::path folder = program / "Access files";
    fs::create_directories(folder);
    for (const char* name : {"Invoices 2003.mdb", "Orders.accdb", "Stock.adp", "Archive.ade", "notes.txt"})
        std::ofstream(folder / name) << "x";
    tolvaran::AppRun run(program.string());
    if (!run.Start()) throw std::runtime_error("the program did not start");
    tolvaran::SetLastFolder(run.Context().gInternalDb, folder.string() + "/");

    // The picture once the picker lists the folder's Access files; then it is cancelled.
    QTimer shoot;
    QObject::connect(&shoot, &QTimer::timeout, [&] {
        auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* files = picker ? picker->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
        if (!files || files->model()->rowCount(files->rootIndex()) < 4) return;
        shoot.stop();
        s.Save(*picker, "file_picker");
        picker->reject();
    });
    shoot.start(50);
    tolvaran::QtToolBar& bar = *run.Window().EToolBar();
    for (int i = 1; i <= bar.ItemCount(); ++i)
        if (bar.ItemCtrlID(i) == 239) run.Window().EToolBar_ItemClick(i);  // Add
    run.Window().Form_Terminate();
});
