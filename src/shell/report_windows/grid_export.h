#pragma once
// The rows of a data grid as delimited text, for the error-log viewer's "Save As" (CSV) and
// its copy command (tab-separated text for pasting into a spreadsheet).
#include <string>

namespace tolvaran {

class DatasetModel;

// A line of the shown columns' captions, then one line per row in the grid's order, each line
// ended by CR LF. A field holding the separator, a double quote, CR or LF goes between double
// quotes with its quotes doubled, as RFC 4180 has it; the text stays UTF-8. Separator ','
// gives CSV.
std::string DelimitedText(const DatasetModel& model, char separator);

// Writes text to file as it stands, replacing the file; throws vb::ComError naming the file
// when it cannot be written.
void WriteTextFile(const std::string& file, const std::string& text);

}  // namespace tolvaran
