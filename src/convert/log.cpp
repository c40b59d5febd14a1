// The conversion log: every step and problem as an ErrorLog row on the lists file and as
// lines of the report's text error log.
//
// Rows are written with one bound INSERT each. While Convert runs they are gathered in one
// transaction that is committed at every step line (LogStep), with every problem row, before
// the user is asked anything and at the end (see convert.h). On a SQLite lists file the job
// switches the connection to synchronous=NORMAL in WAL mode (see EnsureFastCommits): a commit
// then appends to the write-ahead log without a disk flush, and a crash of the program loses
// no committed row.
#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "store/record_classes.h"
#include "store/text_log.h"

namespace tolvaran {

namespace {

const std::string kRule(79, '-');

constexpr const char* kInsertRow =
    "INSERT INTO ErrorLog (ReportName, SubReportOf, ErrorSeverityLevel, ReportId, DatabaseListId, "
    "ErrorOccuredInFunction, ErrorDesc, ErrorOn) VALUES (?, ?, ?, ?, ?, ?, ?, ?)";

constexpr const char* kInsertFormulaRow =
    "INSERT INTO ErrorLog (ReportId, DatabaseListId, ReportName, SubReportOf, FormulaName, AccessFormula, "
    "CrystalFormula, ErrorDesc, ErrorOn, ErrorOccuredInFunction) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

}  // namespace

long clsConvert::reportId() {
    return oReport()->ReportId;
}
long clsConvert::databaseListId() {
    return oReport()->DatabaseListId;
}

const std::shared_ptr<clsReport>& clsConvert::oReport() {
    if (!oReport_) oReport_ = std::make_shared<clsReport>();
    return oReport_;
}

void clsConvert::EnsureFastCommits() {
    if (fastCommitsTried_) return;
    fastCommitsTried_ = true;
    try {
        const ado::ConnectionPtr& c = db();
        if (c->State() != ado::adStateOpen || c->driver().kind() != ado::EngineKind::SQLite) return;
        // Asking is cheaper than setting: most jobs find the mode the one before them set.
        auto mode = c->driver().query("PRAGMA journal_mode", {});
        std::vector<vb::Variant> row;
        const bool wal = mode->next(row) && !row.empty() && vb::UCase(vb::NZ(row[0], "").ToString()) == "WAL";
        mode.reset();
        if (!wal) c->Execute("PRAGMA journal_mode=WAL");
        c->Execute("PRAGMA synchronous=NORMAL");
    } catch (...) {
        // A file that refuses WAL (read-only, network folder) keeps its own mode: rows are
        // still saved one by one, at the cost of a flush each.
    }
}

void clsConvert::writeTextBlock(const std::string& description, const std::string& function,
                                const std::string& level) {
    if (!oText) return;
    oText->PutToFile(kRule);
    oText->PutToFile("    ReportName:" + ReportName);
    oText->PutToFile("   SubReportOf:" + ParentReport);
    oText->PutToFile("Error Severity:" + level);
    oText->PutToFile("         Error:" + description);
    oText->PutToFile("function call:" + function);
    oText->PutToFile(kRule);
}

void clsConvert::BeginLogBatch() {
    if (!batching_ || storeFailed_) return;
    const ado::ConnectionPtr& c = db();
    if (c->State() != ado::adStateOpen || c->driver().kind() != ado::EngineKind::SQLite) return;
    if (c->TransactionLevel() == 0) c->BeginTrans();
}

void clsConvert::CommitLog() {
    if (!batching_) return;
    if (clusterDepth_ > 0) {
        commitDue_ = true;
        return;
    }
    if (!storeFailed_) {
        try {
            const ado::ConnectionPtr& c = db();
            if (c->State() == ado::adStateOpen && c->TransactionLevel() > 0) c->CommitTrans();
        } catch (...) {
            NoteStoreFailure(CurrentError().description);
        }
    }
    // The text log follows the lists file: what it shows on disk was committed before.
    if (oText) oText->Flush();
}

void clsConvert::NoteStoreFailure(const std::string& error) {
    if (storeFailed_) return;
    storeFailed_ = true;
    storeError_ = error;
    try {
        const ado::ConnectionPtr& c = db();
        if (c->State() == ado::adStateOpen) {
            // What the open transaction gathered is lost with it; the text log has it.
            if (batching_ && c->TransactionLevel() > 0) c->RollbackTrans();
            // Later writes of this job would each wait for the same lock again.
            if (storeTimeout_ < 0) storeTimeout_ = c->CommandTimeout();
            c->setCommandTimeout(0);
        }
    } catch (...) {
    }
    writeTextBlock("The lists file could not be written: " + error +
                       ". From here on the rows of this conversion are in this text log only.",
                   "WriteErrorLog", "1");
}

long long clsConvert::StoreExecute(const std::string& sql, const std::vector<vb::Variant>& params) {
    try {
        BeginLogBatch();
        return db()->Execute(sql, params);
    } catch (...) {
        NoteStoreFailure(CurrentError().description);
        throw;
    }
}

bool clsConvert::writeLogRow(const std::string& description, const std::string& function, int level,
                             bool commit) {
    bool stored = false;
    if (!storeFailed_) {
        try {
            EnsureFastCommits();
            BeginLogBatch();
            db()->Execute(kInsertRow, {vb::Variant(ReportName),
                                       IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(),
                                       vb::Variant(static_cast<long>(level)), vb::Variant(reportId()),
                                       vb::Variant(databaseListId()), vb::Variant(function),
                                       vb::Variant(description), vb::Variant(vb::Date::Now())});
            if (commit) CommitLog();
            stored = !storeFailed_;
        } catch (...) {
            NoteStoreFailure(CurrentError().description);
        }
    }
    // The text log gets the row also when the lists file did not.
    if (level == 5) {
        if (oText) oText->PutToFile(description);
    } else {
        writeTextBlock(description, function, std::to_string(level));
    }
    return stored;
}

bool clsConvert::WriteErrorLog(const std::string& description, const std::string& function,
                               const std::string& /*tag*/, int level) {
    return writeLogRow(description, function, level, level != 5);
}

bool clsConvert::LogStep(const std::string& message, const std::string& function) {
    return writeLogRow(message, function, 5, true);
}

void clsConvert::WriteErrorLog(const std::string& description, const std::string& function, int level,
                               const std::string& tag) {
    WriteErrorLog(description, function, tag, level);
}

bool clsConvert::LogStepError(const std::string& message, const std::string& function, int /*level*/) {
    return WriteErrorLog(message, function, "", 5);
}

void clsConvert::LogStepError(const std::string& message, const std::string& function) {
    LogStepError(message, function, 5);
}

bool clsConvert::RecordError(const std::string& description, const std::string& formulaName,
                             const std::string& accessFormula, const std::string& crystalFormula,
                             const std::string& function) {
    bool stored = false;
    if (!storeFailed_) {
        try {
            EnsureFastCommits();
            BeginLogBatch();
            db()->Execute(kInsertFormulaRow,
                          {vb::Variant(reportId()), vb::Variant(databaseListId()), vb::Variant(ReportName),
                           IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(),
                           vb::Variant(formulaName), vb::Variant(accessFormula), vb::Variant(crystalFormula),
                           vb::Variant(description), vb::Variant(vb::Date::Now()), vb::Variant(function)});
            CommitLog();
            stored = !storeFailed_;
        } catch (...) {
            NoteStoreFailure(CurrentError().description);
        }
    }
    writeTextBlock(description, function, "2");
    return stored;
}

void clsConvert::ShowErrorLog() {
    try {
        if (ErrorViewer) ErrorViewer->ShowModal(reportId());
    } catch (...) {
    }
}

}  // namespace tolvaran
