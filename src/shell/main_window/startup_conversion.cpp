// Conversion requests of the main window: one report, the selected reports or every report
// of the current entry, each converted by a new converter that writes its progress into this
// window; the source files are opened once per request. A request runs inside the event
// handler that started it; while it runs, its commands and the hyperlinks are disabled and a
// second request is ignored, so the converter in hand is never replaced under a running
// conversion.
#include <QApplication>
#include <QCursor>

#include "convert/convert.h"
#include "platform/ado/connection_pool.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell/report_windows/report_windows.h"
#include "sources/links_manager.h"
#include "store/log_level.h"
#include "store/support.h"

namespace tolvaran {
namespace {

constexpr const char* kReportHadErrors =
    "There were one or more errors converting this report!  Check the report conversion log for details ( "
    "Right-Click <report> )";

// The hourglass while one report converts; the default pointer again however the
// conversion ends.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string BatchCaption(int position, int count, const std::string& name) {
    return "Report " + std::to_string(position) + " of " + std::to_string(count) + ": " + name;
}

}  // namespace

void Startup::InitiateReportConversion(bool convertAll) {
    if (converting_) return;
    converting_ = true;
    SetRequestCommandsEnabled(false);
    try {
        // The jobs of one request share their source files: each Access file (with its reader
        // process and catalog) is opened by the first report that needs it and closed when
        // the request ends, not once per report.
        ado::ConnectionPool requestFiles;
        ado::ConnectionPool::Use pooled(requestFiles);
        const long id = CurrentDatabaseListId(0);
        try {
            links_->LoadAll(id);
        } catch (const std::exception&) {
            // The links read before the failure stay; the conversion logs what cannot bind.
        }
        // The reports and their logs go to the entry's own folder or nowhere.
        if (databaseList_.DatabaseListId != id) databaseList_.LoadRecord(id);
        if (!EnsureConvertedReportsFolder()) {
            // Told which folder; nothing is converted.
        } else if (convertAll) {
            ConvertAllReports(id);
        } else {
            const size_t selected = dxReports_->SelectedRows().size();
            if (selected >= 2) {
                ConvertSelectedReports(id);
            } else if (selected == 1) {
                severalReports_ = false;
                ConvertReports(id, CurrentReportId(), false);
            } else {
                prompt().MsgBox("Please select a report first!", ui::vbExclamation);
            }
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what(), ui::vbOKOnly, "Convert Reports");
    }
    converting_ = false;
    SetRequestCommandsEnabled(true);
}

void Startup::ConvertAllReports(long) {
    clsReport lookup;
    lookup.setDb(services_.ctx->gDb);
    lookup.prompt = services_.ctx->prompt;
    // The grid keeps its rows and current row for the run; it takes no clicks meanwhile.
    dxReports_->setEnabled(false);
    severalReports_ = true;
    bool answered = false;
    try {
        const long entry = CurrentDatabaseListId(0);
        DatasetModel& rows = dxReports_->Dataset();
        const int count = rows.RowCount();
        for (int row = 0; row < count; ++row) {
            const std::string name = rows.Value(row, "ReportName").ToString();
            SetLblReports(BatchCaption(row + 1, count, name));
            if (!lookup.FindBy(name, "ReportName", "DatabaseListId = ?", {vb::Variant(entry)})) continue;
            const bool ok = ConvertReports(lookup.DatabaseListId, lookup.ReportId, true);
            if (!ok && !answered) {
                if (prompt().MsgBox("The previous report had errors, continue processing anyway?",
                                    ui::vbYesNo | ui::vbQuestion, "Report Error") != ui::vbYes)
                    break;
                answered = true;
            }
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    dxReports_->setEnabled(true);
}

void Startup::ConvertSelectedReports(long) {
    clsReport lookup;
    lookup.setDb(services_.ctx->gDb);
    lookup.prompt = services_.ctx->prompt;
    severalReports_ = true;
    try {
        const long entry = CurrentDatabaseListId(0);
        DatasetModel& rows = dxReports_->Dataset();
        const int count = static_cast<int>(dxReports_->SelectedRows().size());
        int position = 0;
        for (int row = 0; row < rows.RowCount(); ++row) {
            if (!dxReports_->IsRowSelected(row)) continue;
            const std::string name = rows.Value(row, "ReportName").ToString();
            SetLblReports(BatchCaption(++position, count, name));
            if (!lookup.FindBy(name, "ReportName", "DatabaseListId = ?", {vb::Variant(entry)})) continue;
            ConvertReports(lookup.DatabaseListId, lookup.ReportId, true);
            dxReports_->SetRowSelected(row, false);
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
}

bool Startup::ConvertReports(long databaseListId, long reportId, bool batch) {
    bool result = false;
    std::unique_ptr<WaitCursor> wait;
    try {
        if (!severalReports_) ClearResults();
        auto record = std::make_shared<clsReport>();
        record->setDb(services_.ctx->gDb);
        record->prompt = services_.ctx->prompt;
        if (record->LoadRecord(reportId)) {
            wait = std::make_unique<WaitCursor>();
            SetLblProgress("Opening...");

            // The entry is read before any of its values is handed on.
            if (databaseList_.DatabaseListId != databaseListId) databaseList_.LoadRecord(databaseListId);
            converter_ = std::make_unique<clsConvert>(*services_.ctx);
            clsConvert& job = *converter_;
            job.MultipleReportsSelected = severalReports_;
            job.setOReport(record);
            job.SuppressSectionsWithNoControls = options_.SuppressSectionsWithNoControls;
            job.IsDataProject = databaseList_.IsDataProject;
            job.oLinks = links_.get();
            job.SourceTablesDB = databaseList_.SourceTablesDatabase;
            job.Database = databaseList_.ReportDatabase;
            job.ReportName = record->ReportName;
            job.Reportpath = databaseList_.ConvertedReportsPath;
            job.AskShowPageHeaderFooterForSubReportsQuestion = true;
            job.Form = this;
            job.CurrentAccessVersion = gCurrentAccessVersion;
            job.ErrorViewer = services_.reportWindows;

            SetProgressVisible(true);

            // The text log goes into the converted-reports folder itself, beside the .rpt
            // files, whether or not the folder text ends with a separator.
            errorLogWriter_.FilePath = databaseList_.ConvertedReportsPath;
            errorLogWriter_.Filename = MakeSafeName(record->ReportName) + "_ErrorLog";
            errorLogWriter_.Extension = ".txt";
            errorLogWriter_.Create_File();

            job.oText = &errorLogWriter_;
            job.ProgressMeter = this;
            job.setDb(services_.ctx->gDb);
            job.Internaldb = services_.ctx->gInternalDb;

            services_.ctx->gDb->Execute("DELETE FROM ErrorLog WHERE ReportId = ?",
                                        {vb::Variant(record->ReportId)});
            AddResult("Conversion Started for " + record->ReportName);

            const bool ok = job.Convert(*this, false);
            errorLogWriter_.close_file();
            if (ok) LoadConvertedReports(CurrentDatabaseListId(0));
            const bool hadErrors = ReportHadErrors(record->ReportId);
            if (!batch && hadErrors) prompt().MsgBox(kReportHadErrors, ui::vbExclamation, "Tolvaran");
            const std::string file = MakeSafeName(job.ReportName) + ".rpt";
            if (ok && job.crReport())
                job.crReport()->SaveAs(JoinPath(job.Reportpath, file), designer::crReportFormat2048);
            if (!batch && ok && services_.reportWindows) {
                services_.reportWindows->ViewReport(reportId, file, job.Reportpath);
                LoadConvertedReports(CurrentDatabaseListId(0));
            }
            if (!batch) SetProgressVisible(false);
            result = ok && !hadErrors;
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what(), ui::vbOKOnly, "Convert Reports");
        result = false;
    }
    if (!severalReports_) ClearResults();
    return result;
}

long Startup::CurrentReportId() {
    const vb::Variant v = dxReports_->CurrentValue("ReportId");
    return v.IsNull() || v.IsEmpty() ? 0 : static_cast<long>(v.ToLong());
}

bool Startup::ReportHadErrors(long reportId) {
    try {
        ado::Recordset rs;
        rs.Open("SELECT ErrorLogId FROM ErrorLog WHERE ReportId = ? AND ErrorSeverityLevel <> ? LIMIT 1",
                services_.ctx->gDb, ado::adOpenForwardOnly, ado::adLockReadOnly,
                {vb::Variant(reportId), vb::Variant(LevelNumber(LogLevel::Step))});
        const bool had = !rs.Eof();
        rs.Close();
        return had;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace tolvaran
