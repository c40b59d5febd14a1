#pragma once
// Where the source-database dialog's file picker starts and what it lists: the folder a file
// was last chosen from (kept in the settings file across runs) while that folder exists, else
// the current folder; Access files of every kind first, .accdb included.
#include <string>

namespace tolvaran {

struct AppContext;

// The picker's filter text: description and pattern pairs separated by "|".
extern const char* const kAccessFilesFilter;

// The folder the picker starts in.
std::string PickerStartFolder(AppContext& ctx);

// Keeps the folder of a chosen file for the next picker. A failure to keep it goes to the
// error log (the choice itself stands).
void RememberPickerFolder(AppContext& ctx, const std::string& chosenFile);

}  // namespace tolvaran
