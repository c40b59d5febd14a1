#include "shell/report_windows/change_report.h"

#include <cmath>

#include "platform/common/vbstring.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/context.h"

namespace tolvaran {
namespace {

constexpr const char* kTitle = "Change Report";

}  // namespace

ChangeReport::ChangeReport(const ReportWindowServices& services, QWidget* parent)
    : GridWindow(services, QStringLiteral("ChangeReport"), QSize(1180, 480), parent) {
    dxGrid()->setEditable(true);
    connect(
        &dxGrid()->Dataset(), &DatasetModel::EditRefused, this,
        Guard(services_.ctx->prompt, kTitle, [this](const QString& message) { Warn(S(message), kTitle); }));
}

void ChangeReport::Form_Load() {
    setWindowTitle(QLatin1String(kTitle));
    try {
        OpenConnection();
    } catch (const std::exception& e) {
        Warn(e.what(), kTitle);
    }
    report_.prompt = services_.ctx->prompt;
    report_.setDb(db_);
    // A number beyond the range of a report id (a 32-bit Long) names no report.
    const double number = vb::Val(OpenArgs);
    reportId_ = std::fabs(number) < 2147483647.5 ? static_cast<long>(vb::Variant(number).ToLong()) : 0;
    reportLoaded_ = reportId_ > 0 && report_.LoadRecord(reportId_);
    LoadToolBar("GenericSaveCancel");
    try {
        setgrid();
    } catch (const std::exception& e) {
        Warn(e.what(), kTitle);
    }
}

void ChangeReport::AddColumn(const std::string& caption, const std::string& field, int width) {
    columns_.push_back({caption, field, width});
}

void ChangeReport::setgrid() {
    DatasetModel& ds = dxGrid()->Dataset();
    if (ds.IsOpen()) ds.Close();
    columns_.clear();
    // The section column shows the section number the converter records.
    AddColumn("Section", "SectionNo", 80);
    AddColumn("Control Name", "ControlName", 200);
    AddColumn("Top Pos", "TopPos", 100);
    AddColumn("Left Pos", "LeftPos", 100);
    AddColumn("Height", "Height", 100);
    AddColumn("Width", "Width", 100);
    AddColumn("Caption", "Caption", 100);
    AddColumn("Crystal Top", "CrystalTopPos", 100);
    AddColumn("Crystal Left", "CrystalLeftPos", 100);
    AddColumn("Crystal Height", "CrystalHeight", 100);
    AddColumn("Crystal Name", "CrystalControlName", 200);
    ds.setColumns(columns_);
    ds.setKeyField("ControlId");
    ds.setConnection(db_);
    ds.setSource("Controls", "ReportId = ?", {vb::Variant(reportId_)}, "ControlId");
    ds.Open();
    dxGrid()->FitColumns();
}

void ChangeReport::Save() {
    dxGrid()->CommitEdit();
    dxGrid()->Dataset().AcceptEdits();
    // A window opened on no report has no record to save: saving key 0 would add an empty
    // Report row.
    if (reportLoaded_) report_.SaveRecord(reportId_);
    accept();
}

void ChangeReport::reject() {
    dxGrid()->DiscardEdit();
    try {
        dxGrid()->Dataset().RevertEdits();
    } catch (const std::exception& e) {
        Warn(e.what(), kTitle);
    }
    QDialog::reject();
}

void ChangeReport::EToolBar_ItemClick(int index) {
    switch (EToolBar()->ItemCtrlID(index)) {
        case 236:
            Save();
            break;
        case 237:
            reject();
            break;
        default:
            break;
    }
}

}  // namespace tolvaran
