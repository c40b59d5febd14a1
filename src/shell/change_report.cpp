#include "shell/change_report.h"

#include <QVBoxLayout>

#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "shell/cls_toolbar.h"
#include "shell/qt_text.h"
#include "shell/qt_toolbar.h"
#include "store/context.h"

namespace tolvaran {
namespace {

constexpr const char* kTitle = "Change Report";

}  // namespace

ChangeReport::ChangeReport(const ReportWindowServices& services, QWidget* parent)
    : QDialog(parent),
      services_(services),
      toolbar_(new QtToolBar(this)),
      grid_(new DataGrid(QStringLiteral("dxGrid"), false, this)) {
    setObjectName(QStringLiteral("ChangeReport"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(grid_);
    grid_->setSortable(true);
    grid_->setEditable(true);
    resize(1180, 480);
    connect(toolbar_, &QtToolBar::ItemClick, this, &ChangeReport::EToolBar_ItemClick);
    connect(&grid_->Dataset(), &DatasetModel::EditRefused, this, [this](const QString& message) {
        if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(S(message), ui::vbExclamation, kTitle);
    });
}

void ChangeReport::Form_Load() {
    setWindowTitle(QLatin1String(kTitle));
    try {
        if (!db_ || db_->State() != ado::adStateOpen) db_ = OpenListsConnection(*services_.ctx);
    } catch (const std::exception& e) {
        if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, kTitle);
    }
    report_.prompt = services_.ctx->prompt;
    report_.setDb(db_);
    reportId_ = static_cast<long>(vb::Variant(vb::Val(OpenArgs)).ToLong());
    reportLoaded_ = reportId_ > 0 && report_.LoadRecord(reportId_);
    if (services_.toolbars) services_.toolbars->Load(*toolbar_, "GenericSaveCancel");
    toolbar_->Render();
    try {
        setgrid();
    } catch (const std::exception& e) {
        if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, kTitle);
    }
}

void ChangeReport::AddColumn(const std::string& caption, const std::string& field, int width) {
    columns_.push_back({caption, field, width});
}

void ChangeReport::setgrid() {
    DatasetModel& ds = grid_->Dataset();
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
    grid_->FitColumns();
}

void ChangeReport::Save() {
    grid_->CommitEdit();
    grid_->Dataset().AcceptEdits();
    // A window opened on no report has no record to save: saving key 0 would add an empty
    // Report row.
    if (reportLoaded_) report_.SaveRecord(reportId_);
    accept();
}

void ChangeReport::reject() {
    grid_->DiscardEdit();
    try {
        grid_->Dataset().RevertEdits();
    } catch (const std::exception& e) {
        if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, kTitle);
    }
    QDialog::reject();
}

void ChangeReport::EToolBar_ItemClick(int index) {
    switch (toolbar_->ItemCtrlID(index)) {
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
