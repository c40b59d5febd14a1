// Conversion requests of the main window: one report, the selected reports or every report
// of the current entry, each converted by a new converter that writes its progress into this
// window; the source files are opened once per request. A request runs inside the event
// handler that started it; while it runs, its commands and the hyperlinks are disabled and a
// second request is ignored, so the converter in hand is never replaced under a running
// conversion. What the request's work has to say reaches the user once per fault
// (RequestPrompt); closing the window stops a batch after the report in hand.

#include <QScopeGuard>
#include <QTimer>

#include "convert/convert.h"
#include "platform/ado/connection_pool.h"
#include "shell/main_window/request_prompt.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/wait_cursor.h"
#include "shell/report_windows/report_windows.h"
#include "sources/links_manager.h"
#include "store/internal_store.h"
#include "store/log_level.h"
#include "store/report_files.h"
#include "store/store_lock.h"
#include "store/support.h"

namespace tolvaran {
namespace {

constexpr const char* kReportHadErrors =
    "There were one or more errors converting this report!  Check the report conversion log for details ( "
    "Right-Click <report> )";

std::string BatchCaption(int position, int count, const std::string& name) {
    return "Report " + std::to_string(position) + " of " + std::to_string(count) + ": " + name;
}

// The failed reports a summary names; the others are counted.
constexpr size_t kSummaryNames = 10;

}  // namespace

std::string Startup::BatchSummary(const BatchTally& tally) {
    const int total = tally.converted + tally.withProblems + tally.failed;
    std::string text = std::to_string(total) + (total == 1 ? " report" : " reports") + " processed.\r\n" +
                       "Converted: " + std::to_string(tally.converted) + "\r\n" +
                       "Converted with problems: " + std::to_string(tally.withProblems) + "\r\n" +
                       "Failed: " + std::to_string(tally.failed);
    const std::vector<std::string>& names = tally.failedReports;
    for (size_t i = 0; i < names.size() && i < kSummaryNames; ++i) text += (i == 0 ? " (" : ", ") + names[i];
    if (names.size() > kSummaryNames)
        text += " and " + std::to_string(names.size() - kSummaryNames) + " more";
    if (!names.empty()) text += ")";
    if (tally.left > 0) text += "\r\nLeft unconverted: " + std::to_string(tally.left);
    if (tally.kept > 0)
        text += "\r\nMessages not shown: " + std::to_string(tally.kept) +
                " (each is in the conversion log of its report)";
    if (tally.withProblems + tally.failed > 0)
        text += "\r\nEach report's conversion log says what went wrong.";
    return text;
}

void Startup::ShowBatchSummary(BatchTally& tally) {
    tally.kept = requestPrompt_ ? requestPrompt_->Kept() : 0;
    // A batch in which every report converted cleanly ends quietly.
    if (tally.withProblems + tally.failed + tally.left + tally.kept == 0) return;
    prompt().MsgBox(BatchSummary(tally), ui::vbExclamation, "Tolvaran");
}

void Startup::KeepMessage(const std::string& text, const std::string& title) {
    const std::string function = title.empty() ? "Convert Reports" : title;
    if (reportInHand_)
        reportInHand_->WriteErrorLog(text, function, LogLevel::Error);
    else if (errorLogWriter_.IsOpen())
        errorLogWriter_.PutToFile(function + ": " + text);
}

void Startup::InitiateReportConversion(bool convertAll) {
    if (converting_) return;
    converting_ = true;
    stopRequested_ = false;
    closeWhenDone_ = false;
    listsFileRefused_ = false;
    SetRequestCommandsEnabled(false);
    {
        // What the request's work says goes through the request's prompt; the window's own
        // messages go to the user's (prompt()).
        ui::Prompt* user = services_.ctx->prompt;
        RequestPrompt told(
            *user, [this](const std::string& text, const std::string& title) { KeepMessage(text, title); });
        userPrompt_ = user;
        requestPrompt_ = &told;
        services_.ctx->prompt = &told;
        const auto restore = qScopeGuard([this, user] {
            services_.ctx->prompt = user;
            requestPrompt_ = nullptr;
            userPrompt_ = nullptr;
        });
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
            try {
                requestFiles_ = ReportFilesOfEntry(services_.ctx->gDb, id);
                requestFilesEntry_ = id;
            } catch (const std::exception&) {
                // Each job reads them itself and says what failed.
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
    }
    requestFilesEntry_ = 0;
    requestFiles_.clear();
    converting_ = false;
    ShowProgressValue();
    // The batch's "Report n of m" has ended: the label names the report in hand again, the
    // one Convert would convert.
    ShowCurrentReportName();
    if (convertedPending_) RefreshConvertedReports();
    SetRequestCommandsEnabled(true);
    // The user closed the window meanwhile and chose to stop.
    if (closeWhenDone_) close();
}

void Startup::RefreshConvertedReports() {
    if (!converting_) {
        convertedPending_ = false;
        LoadConvertedReports(CurrentDatabaseListId(0));
        return;
    }
    // The folder is listed when the message loop next runs, once for all the reports converted
    // until then: a batch does not list it again after every report.
    if (convertedPending_) return;
    convertedPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (!convertedPending_) return;
        convertedPending_ = false;
        LoadConvertedReports(CurrentDatabaseListId(0));
    });
}

bool Startup::AskToStop() {
    if (!stopRequested_ &&
        prompt().MsgBox(kStopQuestion, ui::vbYesNo | ui::vbQuestion, "Tolvaran") == ui::vbYes) {
        stopRequested_ = true;
        closeWhenDone_ = true;
    }
    return stopRequested_;
}

void Startup::ConvertAllReports(long) {
    clsReport lookup;
    lookup.setDb(services_.ctx->gDb);
    lookup.prompt = services_.ctx->prompt;
    // The grid keeps its rows and current row for the run; it takes no clicks meanwhile.
    dxReports_->setEnabled(false);
    severalReports_ = true;
    bool answered = false;
    BatchTally tally;
    try {
        const long entry = CurrentDatabaseListId(0);
        DatasetModel& rows = dxReports_->Dataset();
        const int count = rows.RowCount();
        for (int row = 0; row < count; ++row) {
            if (stopRequested_) {
                tally.left = count - row;
                break;
            }
            const std::string name = rows.Value(row, "ReportName").ToString();
            SetLblReports(BatchCaption(row + 1, count, name));
            if (!lookup.FindBy(name, "ReportName", "DatabaseListId = ?", {vb::Variant(entry)})) continue;
            const bool ok = ConvertReports(lookup.DatabaseListId, lookup.ReportId, true, &tally);
            if (listsFileRefused_) break;
            if (!ok && !answered && !stopRequested_) {
                if (prompt().MsgBox("The previous report had errors, continue processing anyway?",
                                    ui::vbYesNo | ui::vbQuestion, "Report Error") != ui::vbYes) {
                    tally.left = count - row - 1;
                    break;
                }
                answered = true;
            }
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    dxReports_->setEnabled(true);
    ShowBatchSummary(tally);
}

void Startup::ConvertSelectedReports(long) {
    clsReport lookup;
    lookup.setDb(services_.ctx->gDb);
    lookup.prompt = services_.ctx->prompt;
    severalReports_ = true;
    BatchTally tally;
    try {
        const long entry = CurrentDatabaseListId(0);
        DatasetModel& rows = dxReports_->Dataset();
        const int count = static_cast<int>(dxReports_->SelectedRows().size());
        int position = 0;
        for (int row = 0; row < rows.RowCount(); ++row) {
            if (!dxReports_->IsRowSelected(row)) continue;
            if (stopRequested_) {
                tally.left = count - position;
                break;
            }
            const std::string name = rows.Value(row, "ReportName").ToString();
            SetLblReports(BatchCaption(++position, count, name));
            if (!lookup.FindBy(name, "ReportName", "DatabaseListId = ?", {vb::Variant(entry)})) continue;
            ConvertReports(lookup.DatabaseListId, lookup.ReportId, true, &tally);
            if (listsFileRefused_) break;
            dxReports_->SetRowSelected(row, false);
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    ShowBatchSummary(tally);
}

bool Startup::ConvertReports(long databaseListId, long reportId, bool batch, BatchTally* tally) {
    bool result = false;
    bool failed = true;  // until the report is built and saved
    std::string name;
    std::unique_ptr<WaitCursor> wait;
    try {
        if (!severalReports_) ClearResults();
        auto record = std::make_shared<clsReport>();
        record->setDb(services_.ctx->gDb);
        record->prompt = services_.ctx->prompt;
        if (record->LoadRecord(reportId)) {
            name = record->ReportName;
            if (requestPrompt_) requestPrompt_->SetReportInHand(name);
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
            job.setDb(services_.ctx->gDb);

            SetProgressVisible(true);

            // The report's earlier rows go first, and only then its text log: when the lists
            // file cannot take the removal (read-only, locked by another program) both stay
            // and nothing is converted. Another program's lock is waited for, saying so.
            try {
                WithLockWait(
                    services_.ctx->gDb, "lists file", services_.ctx->InFolder(kListsFile),
                    [this](const std::string& what) {
                        AddResult(what);
                        SetLblProgress(what);
                        DoEvents();
                        return true;
                    },
                    [&] {
                        services_.ctx->gDb->Execute("DELETE FROM ErrorLog WHERE ReportId = ?",
                                                    {vb::Variant(record->ReportId)});
                    });
            } catch (const std::exception& e) {
                const std::string why = StoreFileError("lists file", services_.ctx->InFolder(kListsFile), e);
                listsFileRefused_ = true;
                AddResult("Not converted: " + name + ": " + why);
                SetLblProgress("There were errors.");
                if (!batch) SetProgressVisible(false);
                prompt().MsgBox("The conversion of " + name + " cannot be recorded. " + why + ".\r\n" +
                                    "Nothing of its earlier results was removed.",
                                ui::vbCritical, "Convert Reports");
                if (!severalReports_) ClearResults();
                return false;
            }

            // The text log goes into the converted-reports folder itself, beside the .rpt
            // files, whether or not the folder text ends with a separator.
            errorLogWriter_.FilePath = databaseList_.ConvertedReportsPath;
            // The report's file stem among the entry's reports: two reports whose safe names
            // are equal never share a log or a report file.
            if (requestFilesEntry_ != 0 && requestFilesEntry_ == databaseListId)
                job.EntryReportFiles = &requestFiles_;
            const std::string stem = job.ReportFileStemOf(record->ReportName);
            errorLogWriter_.Filename = TextLogStem(stem);
            errorLogWriter_.Extension = ".txt";
            errorLogWriter_.Create_File();

            job.oText = &errorLogWriter_;
            job.ProgressMeter = this;
            job.Internaldb = services_.ctx->gInternalDb;

            AddResult("Conversion Started for " + record->ReportName);

            // The converter saves the report file: it is written once.
            reportInHand_ = &job;
            const auto done = qScopeGuard([this] { reportInHand_ = nullptr; });
            const bool ok = job.Convert(*this, false);
            reportInHand_ = nullptr;
            failed = !ok;
            errorLogWriter_.close_file();
            if (ok) RefreshConvertedReports();
            const bool hadErrors = ReportHadErrors(record->ReportId);
            if (!ok)
                AddResult("Failed: " + name + ": " +
                          (job.SaveFailure().empty() ? "the conversion did not complete; its log says why."
                                                     : job.SaveFailure()));
            if (!job.SaveFailure().empty()) {
                if (!batch)
                    prompt().MsgBox(
                        "The report " + name + " failed: it was built but not saved.\r\n" + job.SaveFailure(),
                        ui::vbCritical, "Tolvaran");
            } else if (!batch && hadErrors) {
                prompt().MsgBox(kReportHadErrors, ui::vbExclamation, "Tolvaran");
            }
            const std::string file = stem + ".rpt";
            if (!batch && ok && services_.reportWindows && !stopRequested_) {
                services_.reportWindows->ViewReport(reportId, file, job.Reportpath);
                LoadConvertedReports(CurrentDatabaseListId(0));
            }
            if (!batch) SetProgressVisible(false);
            result = ok && !hadErrors;
        }
    } catch (const std::exception& e) {
        // Through the request's prompt: a fault met by every report is told once.
        services_.ctx->prompt->MsgBox(e.what(), ui::vbOKOnly, "Convert Reports");
        result = false;
    }
    if (tally) {
        if (failed) {
            ++tally->failed;
            tally->failedReports.push_back(name.empty() ? "#" + std::to_string(reportId) : name);
        } else {
            ++(result ? tally->converted : tally->withProblems);
        }
    }
    if (requestPrompt_) requestPrompt_->SetReportInHand({});
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
        // A row without a level (a formula that could not be converted or checked, a problem
        // written with its formula texts) shows in the problem log as a problem: it counts.
        rs.Open(
            "SELECT ErrorLogId FROM ErrorLog WHERE ReportId = ? AND (ErrorSeverityLevel IS NULL OR "
            "ErrorSeverityLevel <> ?) LIMIT 1",
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
