#pragma once
// The file name each report of an entry is saved under in the entry's converted-reports
// folder. MakeSafeName alone can give two reports one name ("A-B" and "A_B" are both "A_B"),
// and the second conversion would replace the first report's file: the reports of one entry
// whose safe names are equal get names of their own.
#include <string>
#include <vector>

#include "platform/ado/ado.h"

namespace tolvaran {

// The file stem (no extension) of each name, in the order given. A name whose safe name no
// other name shares gets its safe name. Of names sharing one safe name, the one equal to it
// keeps it, then the others in the order of their bytes; the second gets "<safe>_2", the third
// "<safe>_3", skipping every stem another name already has. Names given twice count once.
std::vector<std::string> ReportFileStems(const std::vector<std::string>& names);

struct ReportFile {
    long reportId = 0;
    std::string reportName;
    std::string stem;  // the .rpt file is stem + ".rpt", the text log TextLogStem(stem) + ".txt"
};

// What the text log of the report with this file stem is named, without its extension ".txt":
// stem + "_ErrorLog", or, where that would not fit in a file name of 255 bytes, the stem cut
// at a character boundary and marked with a digest of the whole stem ("~" and 8 hex digits),
// so that two long names sharing their beginning still get logs of their own.
std::string TextLogStem(const std::string& stem);

// The reports of the entry (Report rows of the lists file), in the order of their keys, with
// their file stems. Throws vb::ComError when the lists file cannot be read.
std::vector<ReportFile> ReportFilesOfEntry(const ado::ConnectionPtr& db, long databaseListId);

// The file stem of one report among the entry's report files (as ReportFilesOfEntry gives
// them): its own when listed, else the one it would get if it were.
std::string ReportFileStemIn(const std::vector<ReportFile>& files, const std::string& reportName);

// The file stem of one report of the entry, the entry's other reports taken into account; the
// safe name alone when no entry is given (0). Reads the entry's reports: work that converts
// several reports of one entry reads them once and uses ReportFileStemIn. Throws
// vb::ComError when the lists file cannot be read.
std::string ReportFileStem(const ado::ConnectionPtr& db, long databaseListId, const std::string& reportName);

}  // namespace tolvaran
