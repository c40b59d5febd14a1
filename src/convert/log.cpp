// The conversion log: every step and problem as an ErrorLog row on the lists file and as
// lines of the report's text error log.
//
// Rows are written with one bound INSERT each, committed at once, so a row is in the file
// before the next step runs. On a SQLite lists file the job switches the connection to
// synchronous=NORMAL in WAL mode (see EnsureFastCommits): a commit then appends to the
// write-ahead log without a disk flush, and a crash of the program loses no committed row.
#include "convert/convert.h"
#include "convert/trap.h"
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

long clsConvert::reportId() { return oReport()->ReportId; }
long clsConvert::databaseListId() { return oReport()->DatabaseListId; }

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
        c->Execute("PRAGMA journal_mode=WAL");
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

bool clsConvert::WriteErrorLog(const std::string& description, const std::string& function,
                               const std::string& /*tag*/, int level) {
    try {
        EnsureFastCommits();
        db()->Execute(kInsertRow, {vb::Variant(ReportName),
                                   IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(),
                                   vb::Variant(static_cast<long>(level)), vb::Variant(reportId()),
                                   vb::Variant(databaseListId()), vb::Variant(function), vb::Variant(description),
                                   vb::Variant(vb::Date::Now())});
        if (level == 5) {
            if (oText) oText->PutToFile(description);
        } else {
            writeTextBlock(description, function, std::to_string(level));
        }
        return true;
    } catch (...) {
        return false;
    }
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
    try {
        writeTextBlock(description, function, "2");
        EnsureFastCommits();
        db()->Execute(kInsertFormulaRow,
                      {vb::Variant(reportId()), vb::Variant(databaseListId()), vb::Variant(ReportName),
                       IsSubReport ? vb::Variant(ParentReport) : vb::Variant::null(), vb::Variant(formulaName),
                       vb::Variant(accessFormula), vb::Variant(crystalFormula), vb::Variant(description),
                       vb::Variant(vb::Date::Now()), vb::Variant(function)});
        return true;
    } catch (...) {
        return false;
    }
}

void clsConvert::ShowErrorLog() {
    try {
        if (ErrorViewer) ErrorViewer->ShowModal(reportId());
    } catch (...) {
    }
}

}  // namespace tolvaran
