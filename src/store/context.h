#pragma once
// The shared objects of one run, owned by the main window and handed by reference to whatever
// needs them; tests build their own. Nothing in the system reaches for a global.
#include <string>

#include "platform/ado/ado.h"
#include "platform/common/text.h"
#include "platform/designer/report_file.h"

namespace registry {
class RegistryFile;
}
namespace ui {
class Prompt;
class HelpService;
}  // namespace ui

namespace tolvaran {

class clsWriteToText;

struct AppContext {
    // Folder of the running program, without a trailing separator; the store files, the
    // help file and the shipped pictures live there.
    std::string programFolder;

    // The two run-long store connections, created by openConnection and never replaced:
    // gInternalDb to the settings file, gDb to the lists file.
    ado::ConnectionPtr gInternalDb;
    ado::ConnectionPtr gDb;

    // What every connection of the run is opened with: the SQL Server ODBC template (from the
    // run's registry, ApplySqlServerOdbcTemplate) and the Access file reader with its limits
    // (the one beside the program by default). Held here, not process-wide, so two runs in
    // one process keep theirs.
    ado::ConnectionOptions connections;

    // The largest report file the viewer window opens, in megabytes (MaxReportFileMb).
    long maxReportFileMb = designer::kDefaultMaxReportFileMb;

    // Services; not owned, may be null in tests (then nothing is shown).
    ui::Prompt* prompt = nullptr;
    ui::HelpService* help = nullptr;
    registry::RegistryFile* registry = nullptr;
    // The start-up log while the main window's load handler runs; not owned.
    clsWriteToText* startupLog = nullptr;

    // programFolder joined with a file name (JoinPath).
    std::string InFolder(const std::string& name) const { return JoinPath(programFolder, name); }
};

}  // namespace tolvaran
