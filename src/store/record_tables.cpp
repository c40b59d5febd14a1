// The column mappings of clsOptions and clsReport (clsDatabaseList: database_list.cpp).
#include "store/record_classes.h"

namespace tolvaran {

void clsOptions::readRow(ado::Recordset& rs) {
    LoadReportsOnOpen = BoolOf(rs["LoadReportsOnOpen"]);
    SuppressSectionsWithNoControls = BoolOf(rs["SuppressSectionsWithNoControls"]);
    SystemConfigId = LongOf(rs["SystemConfigId"]);
}

void clsOptions::writeRow(ado::Recordset& rs) {
    rs.set("LoadReportsOnOpen", LoadReportsOnOpen);
    rs.set("SuppressSectionsWithNoControls", SuppressSectionsWithNoControls);
}

void clsOptions::readForm(Form& form) {
    LoadReportsOnOpen = BoolOf(form.Value("LoadReportsOnOpen"));
    SuppressSectionsWithNoControls = BoolOf(form.Value("SuppressSectionsWithNoControls"));
    SystemConfigId = FormLong(form, "SystemConfigId");
}

void clsOptions::writeForm(Form& form) {
    form.SetValue("LoadReportsOnOpen", LoadReportsOnOpen);
    form.SetValue("SuppressSectionsWithNoControls", SuppressSectionsWithNoControls);
    form.SetValue("SystemConfigId", SystemConfigId);
}

void clsReport::readRow(ado::Recordset& rs) {
    DatabaseListId = LongOf(rs["DatabaseListId"]);
    HasSubReports = BoolOf(rs["HasSubReports"]);
    LinkedToReportId = LongOf(rs["LinkedToReportId"]);
    ReportId = LongOf(rs["ReportId"]);
    ReportName = TextOf(rs["ReportName"]);
    Reportpath = TextOf(rs["ReportPath"]);
    ReportQueryType = TextOf(rs["ReportQueryType"]);
    ReportSQL = TextOf(rs["ReportSQL"]);
    ReportType = TextOf(rs["ReportType"]);
    Selected = BoolOf(rs["Selected"]);
    SuppressSectionsWithNoControls = BoolOf(rs["SuppressSectionsWithNoControls"]);
    UpdatedOn = DateOf(rs["UpdatedOn"]);
}

void clsReport::writeRow(ado::Recordset& rs) {
    rs.set("DatabaseListId", DatabaseListId);
    rs.set("HasSubReports", HasSubReports);
    rs.set("LinkedToReportId", LinkedToReportId);
    rs.set("ReportName", ReportName);
    rs.set("ReportPath", Reportpath);
    rs.set("ReportQueryType", ReportQueryType);
    rs.set("ReportSQL", ReportSQL);
    rs.set("ReportType", ReportType);
    rs.set("Selected", Selected);
    rs.set("SuppressSectionsWithNoControls", SuppressSectionsWithNoControls);
    rs.set("UpdatedOn", DateValue(UpdatedOn));
}

void clsReport::readForm(Form& form) {
    DatabaseListId = FormLong(form, "DatabaseListId");
    HasSubReports = BoolOf(form.Value("HasSubReports"));
    LinkedToReportId = FormLong(form, "LinkedToReportId");
    ReportId = FormLong(form, "ReportId");
    ReportName = TextOf(form.Value("ReportName"));
    Reportpath = TextOf(form.Value("ReportPath"));
    ReportQueryType = TextOf(form.Value("ReportQueryType"));
    ReportSQL = TextOf(form.Value("ReportSQL"));
    ReportType = TextOf(form.Value("ReportType"));
    Selected = BoolOf(form.Value("Selected"));
    SuppressSectionsWithNoControls = BoolOf(form.Value("SuppressSectionsWithNoControls"));
    UpdatedOn = DateOf(form.Value("UpdatedOn"));
}

void clsReport::writeForm(Form& form) {
    form.SetValue("DatabaseListId", DatabaseListId);
    form.SetValue("HasSubReports", HasSubReports);
    form.SetValue("LinkedToReportId", LinkedToReportId);
    form.SetValue("ReportId", ReportId);
    form.SetValue("ReportName", ReportName);
    form.SetValue("ReportPath", Reportpath);
    form.SetValue("ReportQueryType", ReportQueryType);
    form.SetValue("ReportSQL", ReportSQL);
    form.SetValue("ReportType", ReportType);
    form.SetValue("Selected", Selected);
    form.SetValue("SuppressSectionsWithNoControls", SuppressSectionsWithNoControls);
    form.SetValue("UpdatedOn", DateValue(UpdatedOn));
}

}  // namespace tolvaran
