// The conversion log: every step and problem as an ErrorLog row on the lists file and as
// lines of the report's text error log.
//
// Rows are written with bound INSERTs. While Convert runs they are gathered in one transaction
// that is committed at every step line of lasting work (LogStep), with every problem row,
// before the user is asked anything and at the end (see convert.h); until the commit nobody
// else sees them, so on a SQLite lists file the job holds them and writes them at the commit,
// several to a statement (a statement costs the engine more than the row it adds). On a
// SQLite lists file the job switches the connection to synchronous=NORMAL in WAL mode (see
// EnsureFastCommits): a commit then appends to the write-ahead log without a disk flush, and
// a crash of the program loses no committed row.
#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "store/text_log.h"

namespace tolvaran {

namespace {

const std::string kRule(79, '-');

const clsConvert::RowShape kLogRow{
    "INSERT INTO ErrorLog (ReportName, SubReportOf, ErrorSeverityLevel, ReportId, DatabaseListId, "
    "ErrorOccuredInFunction, ErrorDesc, ErrorOn) VALUES ",
    8};

const clsConvert::RowShape kFormulaRow{
    "INSERT INTO ErrorLog (ReportId, DatabaseListId, ReportName, SubReportOf, FormulaName, AccessFormula, "
    "CrystalFormula, ErrorDesc, ErrorOn, ErrorOccuredInFunction) VALUES ",
    10};

// Rows one statement adds at most: a few statements cover any number of rows.
constexpr size_t kRowsPerStatement[] = {16, 8, 4, 2, 1};

bool FastCommits(const ado::ConnectionPtr& c) {
    try {
        return c && c->State() == ado::adStateOpen && c->driver().fastCommits();
    } catch (...) {
        // Without them rows are still saved, at the cost of a flush each.
        return false;
    }
}

}  // namespace

void PrepareConversions(const AppContext& ctx) {
    if (!FastCommits(ctx.gDb)) return;
    // The first commit into a new write-ahead log flushes its header (and the folder that
    // holds it): one that changes nothing (the version number written back) takes that here.
    try {
        ctx.gDb->Execute("PRAGMA user_version = " + std::to_string(ctx.gDb->driver().userVersion()));
    } catch (...) {
        // The first conversion then starts the log itself.
    }
}

const std::string& clsConvert::InsertText(const RowShape& shape, size_t rows) {
    for (const InsertTextEntry& e : insertTexts_)
        if (e.shape == &shape && e.rows == rows) return e.sql;
    std::string group = "(?";
    for (size_t c = 1; c < shape.columns; ++c) group += ", ?";
    group += ')';
    std::string sql = shape.insertHead;
    for (size_t r = 0; r < rows; ++r) (sql += r ? ", " : "") += group;
    insertTexts_.push_back({&shape, rows, std::move(sql)});
    return insertTexts_.back().sql;
}

void clsConvert::StoreInsertRows(const RowShape& shape, std::span<vb::Variant> values) {
    const size_t rows = values.size() / shape.columns;
    size_t done = 0;
    std::vector<vb::Variant> params;
    for (size_t chunk : kRowsPerStatement) {
        if (rows - done < chunk) continue;
        const std::string& sql = InsertText(shape, chunk);
        while (rows - done >= chunk) {
            const auto first = values.begin() + static_cast<std::ptrdiff_t>(done * shape.columns);
            params.assign(
                std::make_move_iterator(first),
                std::make_move_iterator(first + static_cast<std::ptrdiff_t>(chunk * shape.columns)));
            StoreExecute(sql, params);
            done += chunk;
        }
    }
}

bool clsConvert::HoldsRows() {
    if (!batching_ || storeFailed_) return false;
    const ado::ConnectionPtr& c = db();
    return c->State() == ado::adStateOpen && c->driver().kind() == ado::EngineKind::SQLite;
}

void clsConvert::AddRow(const RowShape& shape, std::span<vb::Variant> values) {
    if (HoldsRows()) {
        if (heldRuns_.empty() || heldRuns_.back().shape != &shape) heldRuns_.push_back({&shape, 0});
        ++heldRuns_.back().rows;
        for (vb::Variant& v : values) heldValues_.push_back(std::move(v));
        return;
    }
    BeginLogBatch();
    StoreInsertRows(shape, values);
}

void clsConvert::WriteHeldRows() {
    std::vector<HeldRun> runs;
    std::vector<vb::Variant> values;
    runs.swap(heldRuns_);
    values.swap(heldValues_);
    try {
        // Rows of one shape one after another go in together, in the order they came.
        size_t at = 0;
        for (const HeldRun& run : runs) {
            const size_t count = run.rows * run.shape->columns;
            StoreInsertRows(*run.shape, std::span<vb::Variant>(values).subspan(at, count));
            at += count;
        }
    } catch (...) {
        // StoreExecute noted the failure; the rows are in the text log.
    }
    // The buffer is kept for the next rows.
    values.clear();
    if (heldValues_.empty()) heldValues_.swap(values);
}

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
    (void)FastCommits(db());
}

void clsConvert::writeTextBlock(const std::string& description, const std::string& function, LogLevel level) {
    if (!oText) return;
    oText->PutToFile(kRule);
    oText->PutToFile("    ReportName:" + ReportName);
    oText->PutToFile("   SubReportOf:" + ParentReport);
    oText->PutToFile("Error Severity:" + LevelText(level));
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
        WriteHeldRows();
        try {
            const ado::ConnectionPtr& c = db();
            if (!storeFailed_ && c->State() == ado::adStateOpen && c->TransactionLevel() > 0)
                c->CommitTrans();
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
    heldRuns_.clear();
    heldValues_.clear();
    storedControls_.clear();  // the rows may leave with the transaction
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
                   "WriteErrorLog", LogLevel::Error);
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

bool clsConvert::writeLogRow(const std::string& description, const std::string& function, LogLevel level,
                             bool commit) {
    bool stored = false;
    if (!storeFailed_) {
        try {
            EnsureFastCommits();
            vb::Variant row[] = {vb::Variant(ReportName),
                                 IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(),
                                 vb::Variant(LevelNumber(level)),
                                 vb::Variant(logReportId()),
                                 vb::Variant(logDatabaseListId()),
                                 vb::Variant(function),
                                 vb::Variant(description),
                                 vb::Variant(vb::Date::Now())};
            AddRow(kLogRow, row);
            if (commit) CommitLog();
            stored = !storeFailed_;
        } catch (...) {
            NoteStoreFailure(CurrentError().description);
        }
    }
    // The text log gets the row also when the lists file did not.
    if (level == LogLevel::Step) {
        if (oText) oText->PutToFile(description);
    } else {
        writeTextBlock(description, function, level);
    }
    return stored;
}

bool clsConvert::WriteErrorLog(const std::string& description, const std::string& function, LogLevel level,
                               const std::string& /*tag*/) {
    return writeLogRow(description, function, level, level != LogLevel::Step);
}

bool clsConvert::LogStep(const std::string& message, const std::string& function) {
    return writeLogRow(message, function, LogLevel::Step, true);
}

bool clsConvert::LogStepError(const std::string& message, const std::string& function) {
    return WriteErrorLog(message, function, LogLevel::Step);
}

bool clsConvert::RecordError(const std::string& description, const std::string& formulaName,
                             const std::string& accessFormula, const std::string& crystalFormula,
                             const std::string& function) {
    bool stored = false;
    if (!storeFailed_) {
        try {
            EnsureFastCommits();
            vb::Variant row[] = {
                vb::Variant(logReportId()),   vb::Variant(logDatabaseListId()),
                vb::Variant(ReportName),      IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(),
                vb::Variant(formulaName),     vb::Variant(accessFormula),
                vb::Variant(crystalFormula),  vb::Variant(description),
                vb::Variant(vb::Date::Now()), vb::Variant(function)};
            AddRow(kFormulaRow, row);
            CommitLog();
            stored = !storeFailed_;
        } catch (...) {
            NoteStoreFailure(CurrentError().description);
        }
    }
    writeTextBlock(description, function, LogLevel::Problem);
    return stored;
}

void clsConvert::ShowErrorLog() {
    try {
        if (ErrorViewer) ErrorViewer->ShowModal(logReportId());
    } catch (...) {
    }
}

}  // namespace tolvaran
