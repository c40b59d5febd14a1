#pragma once
// Toolbar pictures of the program folder, decoded once per run: the image list and every
// toolbar that shows a picture share the decoded icon instead of reading the file again.
#include <QIcon>
#include <string>

namespace tolvaran {

// The icon of a picture file; a null icon when the file cannot be read as a picture. The
// file's extension names the decoder tried first. Window thread only.
QIcon FileIcon(const std::string& file);

}  // namespace tolvaran
