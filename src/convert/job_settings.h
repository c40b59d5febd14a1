#pragma once
// ConvertSettings: what the caller gives a conversion job and what every job of one run shares.
// A subreport's job starts as a copy of its parent's settings (one assignment); only the job's
// own identity (the report it converts, whether it is a subreport and of which report) differs
// between parent and child, and that lives in clsConvert.
#include <string>
#include <utility>
#include <vector>

#include "platform/ado/ado.h"

namespace tolvaran {

class clsManageLinks;
class clsWriteToText;
class ErrorLogViewer;
struct ReportFile;

struct ConvertSettings {
    // Several reports are converted in one run: nothing is asked that has a default answer.
    bool MultipleReportsSelected = false;
    // Whether to ask if a subreport shows its page header and footer, and the answer given.
    bool AskShowPageHeaderFooterForSubReportsQuestion = false;
    bool ShowPageHeaderFooterForSubReports = false;
    bool SuppressSectionsWithNoControls = true;
    bool IsDataProject = false;
    clsManageLinks* oLinks = nullptr;  // not owned
    clsWriteToText* oText = nullptr;   // the report's text error log; not owned
    // The error-log viewer ShowErrorLog opens; not owned; may be null (nothing is shown).
    ErrorLogViewer* ErrorViewer = nullptr;
    ado::ConnectionPtr Internaldb;  // settings-file connection (gInternalDb)
    // The file names of the entry's reports, read once for a request that converts several
    // (report_files.h); not owned; null: the job reads them from the lists file.
    const std::vector<ReportFile>* EntryReportFiles = nullptr;
    std::string Database;  // the Access file holding the report
    std::string SourceTablesDB;
    std::string Reportpath;  // the output folder
    // The version of the engine that opened the Access file.
    std::string ReportsDatabaseVersion;
    // The Access engine version found at start-up (gCurrentAccessVersion): "3.51", "4.0" or
    // "ERROR"; the record-source checks compare it with "3.6".
    std::string CurrentAccessVersion = "4.0";

    ConvertSettings& Settings() { return *this; }
    const ConvertSettings& Settings() const { return *this; }

    // The lists-file connection (gDb); shared.
    void setDb(ado::ConnectionPtr connection) { db_ = std::move(connection); }

  protected:
    // Null until set or until the job first needs it (clsConvert::db creates an unopened one).
    ado::ConnectionPtr db_;
};

}  // namespace tolvaran
