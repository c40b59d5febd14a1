#include "shell/show_errors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QVBoxLayout>

#include "platform/ui/prompt.h"
#include "shell/cls_toolbar.h"
#include "shell/data_grid.h"
#include "shell/grid_export.h"
#include "shell/qt_text.h"
#include "shell/qt_toolbar.h"
#include "store/context.h"
#include "store/support.h"
#include "store/text_log.h"

namespace tolvaran {

ShowErrors::ShowErrors(const ReportWindowServices& services, QWidget* parent)
    : QDialog(parent),
      services_(services),
      toolbar_(new QtToolBar(this)),
      grid_(new DataGrid(QStringLiteral("dxGrid"), false, this)) {
    setObjectName(QStringLiteral("ShowErrors"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(grid_);
    grid_->setSortable(true);
    resize(1180, 460);
    connect(toolbar_, &QtToolBar::ItemClick, this, &ShowErrors::EToolBar_ItemClick);
}

void ShowErrors::Form_Load() {
    setWindowTitle(QStringLiteral("Show Report Errors"));
    try {
        setgrid();
    } catch (const std::exception& e) {
        if (services_.ctx->prompt)
            services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, "Show Report Errors");
    }
    if (services_.toolbars) services_.toolbars->Load(*toolbar_, "ErrorLog");
    toolbar_->Render();
}

void ShowErrors::setgrid() {
    DatasetModel& ds = grid_->Dataset();
    if (ds.IsOpen()) ds.Close();
    ds.setColumns({{"Database", "ReportDatabase", 250},
                   {"Severity", "ErrorSeverityDesc", 100},
                   {"Report", "ReportName", 150},
                   {"Occured in Function", "ErrorOccuredInFunction", 100},
                   {"Error Description", "ErrorDesc", 400},
                   {"Sub Report Of", "SubReportOf", 100}});
    ds.setKeyField("ErrorLogId");
    if (!db_ || db_->State() != ado::adStateOpen) db_ = OpenListsConnection(*services_.ctx);
    ds.setConnection(db_);
    // Rows of one severity keep the order they were logged in.
    ds.setSource("ShowReportErrors", "ReportId = ?", {vb::Variant(ReportId)},
                 "ErrorSeverityLevel, ErrorLogId");
    ds.Open();
    grid_->FitColumns();
}

bool ShowErrors::ClearErrorLog() {
    try {
        if (!db_) throw vb::ComError(3704, "Operation is not allowed when the object is closed.");
        db_->Execute("DELETE FROM ErrorLog WHERE ReportId = ?", {vb::Variant(ReportId)});
        DatasetModel& ds = grid_->Dataset();
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
    const DatasetModel& ds = grid_->Dataset();
    const std::string reportName = NZ(ds.Value(0, "ReportName"), "").ToString();
    const std::string offered =
        reportName.empty() ? "ErrorLog.csv" : MakeSafeName(reportName) + "_ErrorLog.csv";
    const std::string file =
        services_.saveFile->AskSaveFileName("Save As", offered, "CSV files|*.csv|All files|*", "csv");
    if (file.empty()) return;
    try {
        WriteTextFile(file, DelimitedText(ds, ','));
    } catch (const std::exception& e) {
        if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, "Save As");
    }
}

void ShowErrors::CopyGrid() {
    QGuiApplication::clipboard()->setText(Q(DelimitedText(grid_->Dataset(), '\t')));
}

void ShowErrors::EToolBar_ItemClick(int index) {
    switch (toolbar_->ItemCtrlID(index)) {
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
