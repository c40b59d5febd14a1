// The main window's commands that open the source-database dialog: Add (toolbar 239, the
// databases menu's first item, the "1. Select a Database" link) and Edit (toolbar 240, the
// menu's second item).
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell/source_database/select_database_opener.h"

namespace tolvaran {

void Startup::AddDatabase() {
    try {
        if (!services_.selectDatabase) return;
        services_.selectDatabase->Show(*this, "", true);
        // The list is read again so that it shows the new entry as stored and drops one that
        // Cancel removed; the entry it then holds current is scanned for its reports.
        RefreshDatabaseList();
        RefreshCurrentDatabase();
    } catch (const std::exception&) {
        // Any error ends the command silently.
    }
}

void Startup::EditDatabase() {
    const long id = CurrentDatabaseListId(0);
    if (id <= 0 || !services_.selectDatabase) return;
    services_.selectDatabase->Show(*this, std::to_string(id), false);
    RefreshDatabaseList();
}

}  // namespace tolvaran
