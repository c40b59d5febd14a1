#include "shell/source_database/select_database_opener.h"

#include "shell/main_window/startup.h"
#include "shell/source_database/select_database.h"
#include "shell/source_database/select_server.h"
#include "sources/connection_settings.h"

namespace tolvaran {

SelectDatabaseDialogs::SelectDatabaseDialogs(ui::CommonDialog& commonDialog, ui::FolderBrowser& folderBrowser,
                                             ui::Launcher& launcher, sqldmo::Factory& sqldmo)
    : commonDialog_(commonDialog),
      folderBrowser_(folderBrowser),
      launcher_(launcher),
      sqldmo_(sqldmo),
      odbcCache_(std::make_unique<clsODBCCollection>()) {}

SelectDatabaseDialogs::~SelectDatabaseDialogs() = default;

void SelectDatabaseDialogs::Show(Startup& owner, const std::string& openArgs, bool newReference) {
    SelectDatabaseServices services;
    services.ctx = &owner.Context();
    services.databaseList = &owner.gDatabaseList();
    services.links = &owner.gLinks();
    services.toolBar = &owner.gToolBar();
    services.mainWindow = &owner;
    services.commonDialog = &commonDialog_;
    services.folderBrowser = &folderBrowser_;
    services.launcher = &launcher_;
    services.sqldmo = &sqldmo_;
    services.odbcCache = odbcCache_.get();
    services.selectServer = selectServer_;
    if (!services.selectServer)
        services.selectServer = [&owner](const std::string& path) { return SelectServer::Ask(path, &owner); };
    SelectDatabase dialog(std::move(services), &owner);
    dialog.setOpenArgs(openArgs);
    dialog.setNewReference(newReference);
    dialog.Form_Load();
    if (dialog.Unloaded()) return;
    if (run_)
        run_(dialog);
    else
        dialog.exec();
}

}  // namespace tolvaran
