#pragma once
// The folder the file picker last took a file from, kept in the settings file (Options row 1,
// column LastFolder) so that the picker of the next run starts there. The settings file is
// refreshed from its template at every start keeping that row, so the folder outlives a run.
#include <string>

#include "platform/ado/ado.h"

namespace tolvaran {

// The folder kept; empty when none is, or when the settings file has no such column (a file
// made before the column existed). Throws vb::ComError when the file cannot be read.
std::string LastFolder(const ado::ConnectionPtr& settings);

// Keeps the folder; nothing when the settings file has no such column. Throws vb::ComError
// when the file cannot be written.
void SetLastFolder(const ado::ConnectionPtr& settings, const std::string& folder);

}  // namespace tolvaran
