#pragma once
// A source database entry registered in the main window as the source-database dialog stores
// it (the dialog itself waits for a user): the entry appended through the entry grid, the
// file scanned for its links, which are saved, then its reports scanned. Used by the main
// window's scenes of bench_screens and by bench_convert_all.
#include <filesystem>
#include <string>

#include "shell/main_window/startup.h"
#include "sources/links_manager.h"

namespace bench_support {

// Returns the new entry's DatabaseListId (0 when it could not be saved); it is the current
// entry afterwards.
inline long RegisterEntry(tolvaran::Startup& window, const std::filesystem::path& frontEnd,
                          const std::string& convertedFolder) {
    tolvaran::clsDatabaseList& entry = window.gDatabaseList();
    entry.ReportDatabase = frontEnd.string();
    entry.SourceTablesDatabase = frontEnd.string();
    entry.ConvertedReportsPath = convertedFolder;
    entry.IsDataProject = false;
    entry.CaptureErrorLevel = 1;
    entry.UpdatedOn = vb::Date::Now();
    long id = 0;
    if (!entry.SaveRecord(0, &id)) return 0;
    tolvaran::clsManageLinks& links = window.gLinks();
    links.ClearAllLinks();
    links.ParseLinks(window, frontEnd.string(), "", "");
    links.SaveAll(id);
    window.RefreshCurrentDatabase();
    return id;
}

}  // namespace bench_support
