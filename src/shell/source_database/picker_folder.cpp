#include "shell/source_database/picker_folder.h"

#include <filesystem>

#include "store/context.h"
#include "store/last_folder.h"
#include "store/support.h"
#include "store/text_log.h"

namespace tolvaran {

const char* const kAccessFilesFilter =
    "Microsoft Access Databases/Data Projects|*.adp;*.ade;*.mdb;*.accdb|Program Files|*.exe|Image "
    "Files|*.jpg;*.bmp|All Files|*.*";

std::string PickerStartFolder(AppContext& ctx) {
    std::error_code ec;
    try {
        const std::string kept = ctx.gInternalDb ? LastFolder(ctx.gInternalDb) : std::string();
        if (!kept.empty() && std::filesystem::is_directory(kept, ec)) return kept;
    } catch (const std::exception& e) {
        AppendErrorLog(ctx, e.what(), "n/a", "n/a", "n/a", "PickerStartFolder");
    }
    return std::filesystem::current_path(ec).string();
}

void RememberPickerFolder(AppContext& ctx, const std::string& chosenFile) {
    if (chosenFile.empty() || !ctx.gInternalDb) return;
    try {
        SetLastFolder(ctx.gInternalDb, GetFilePath(chosenFile));
    } catch (const std::exception& e) {
        AppendErrorLog(ctx, e.what(), "n/a", "n/a", "n/a", "RememberPickerFolder");
    }
}

}  // namespace tolvaran
