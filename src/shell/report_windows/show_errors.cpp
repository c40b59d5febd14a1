#include "shell/report_windows/show_errors.h"

#include <QClipboard>
#include <QGuiApplication>

#include "shell/qt/data_grid.h"
#include "shell/qt/qt_text.h"
#include "shell/report_windows/grid_export.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/context.h"
#include "store/support.h"
#include "store/text_log.h"

namespace tolvaran {

ShowErrors::ShowErrors(const ReportWindowServices& services, QWidget* parent)
    : GridWindow(services, QStringLiteral("ShowErrors"), QSize(1180, 460), parent) {}

void ShowErrors::Form_Load() {
    setWindowTitle(QStringLiteral("Show Report Errors"));
    try {
        setgrid();
    } catch (const std::exception& e) {
        Warn(e.what(), "Show Report Errors");
    }
    LoadToolBar("ErrorLog");
}

void ShowErrors::setgrid() {
    DatasetModel& ds = dxGrid()->Dataset();
    if (ds.IsOpen()) ds.Close();
    ds.setColumns({{"Database", "ReportDatabase", 250},
                   {"Severity", "ErrorSeverityDesc", 100},
                   {"Report", "ReportName", 150},
                   {"Occured in Function", "ErrorOccuredInFunction", 100},
                   {"Error Description", "ErrorDesc", 400},
                   {"Sub Report Of", "SubReportOf", 100}});
    ds.setKeyField("ErrorLogId");
    OpenConnection();
    ds.setConnection(db_);
    // Rows of one severity keep the order they were logged in.
    ds.setSource("ShowReportErrors", "ReportId = ?", {vb::Variant(ReportId)},
                 "ErrorSeverityLevel, ErrorLogId");
    ds.Open();
    dxGrid()->FitColumns();
}

bool ShowErrors::ClearErrorLog() {
    try {
        if (!db_) throw vb::ComError(3704, "Operation is not allowed when the object is closed.");
        db_->Execute("DELETE FROM ErrorLog WHERE ReportId = ?", {vb::Variant(ReportId)});
        DatasetModel& ds = dxGrid()->Dataset();
        ds.Close();
        WaitSeconds(2);
        ds.Open();
        return true;
    } catch (const std::exception& e) {
        AppendErrorLog(db_, e.what(), "n/a", "n/a", "n/a", "ClearErrorLog");
        return false;
    }
}

void ShowErrors::SaveGridAs() {
    if (!services_.saveFile) return;
    const DatasetModel& ds = dxGrid()->Dataset();
    const std::string reportName = NZ(ds.Value(0, "ReportName"), "").ToString();
    const std::string offered =
        reportName.empty() ? "ErrorLog.csv" : MakeSafeName(reportName) + "_ErrorLog.csv";
    const std::string file =
        services_.saveFile->AskSaveFileName("Save As", offered, "CSV files|*.csv|All files|*", "csv");
    if (file.empty()) return;
    try {
        WriteTextFile(file, DelimitedText(ds, ','));
    } catch (const std::exception& e) {
        Warn(e.what(), "Save As");
    }
}

void ShowErrors::CopyGrid() {
    QGuiApplication::clipboard()->setText(Q(DelimitedText(dxGrid()->Dataset(), '\t')));
}

void ShowErrors::EToolBar_ItemClick(int index) {
    switch (EToolBar()->ItemCtrlID(index)) {
        case 248:
            close();
            break;
        case 251:
            ClearErrorLog();
            break;
        case 252:
            CopyGrid();
            break;
        case 253:
            SaveGridAs();
            break;
        default:
            break;
    }
}

}  // namespace tolvaran
