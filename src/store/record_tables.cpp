// The column tables of the record classes, in property order: the order a save (and the entry
// grid's append) writes them in.
#include "store/record_classes.h"

namespace tolvaran {

namespace {

using Column = RecordClass::Column;

const Column kOptionsColumns[] = {
    {"LoadReportsOnOpen", &clsOptions::LoadReportsOnOpen},
    {"SuppressSectionsWithNoControls", &clsOptions::SuppressSectionsWithNoControls},
    {"SystemConfigId", &clsOptions::SystemConfigId, Column::Key},
};

const Column kReportColumns[] = {
    {"DatabaseListId", &clsReport::DatabaseListId},
    {"HasSubReports", &clsReport::HasSubReports},
    {"LinkedToReportId", &clsReport::LinkedToReportId},
    {"ReportId", &clsReport::ReportId, Column::Key},
    {"ReportName", &clsReport::ReportName},
    {"ReportPath", &clsReport::Reportpath},
    {"ReportQueryType", &clsReport::ReportQueryType},
    {"ReportSQL", &clsReport::ReportSQL},
    {"ReportType", &clsReport::ReportType},
    {"Selected", &clsReport::Selected},
    {"SuppressSectionsWithNoControls", &clsReport::SuppressSectionsWithNoControls},
    {"UpdatedOn", &clsReport::UpdatedOn},
};

const Column kDatabaseListColumns[] = {
    {"ConvertedReportsPath", &clsDatabaseList::ConvertedReportsPath},
    {"DatabaseListId", &clsDatabaseList::DatabaseListId, Column::Key},
    {"IsDataProject", &clsDatabaseList::IsDataProject},
    {"IsSQL", &clsDatabaseList::IsSQL},
    {"ReportDatabase", &clsDatabaseList::ReportDatabase},
    {"SourceTablesDatabase", &clsDatabaseList::SourceTablesDatabase},
    {"UpdatedOn", &clsDatabaseList::UpdatedOn},
    {"CaptureErrorLevel", &clsDatabaseList::CaptureErrorLevel, Column::OwnFormMoves},
};

}  // namespace

clsOptions::clsOptions()
    : RecordClass("clsOptions", "Options", kOptionsColumns, KeyNumbering::NextAfterHighest) {}

clsReport::clsReport() : RecordClass("clsReport", "Report", kReportColumns) {}

clsDatabaseList::clsDatabaseList() : RecordClass("clsDatabaseList", "DatabaseList", kDatabaseListColumns) {}

}  // namespace tolvaran
