#include "shell/report_windows/grid_window.h"

#include <QVBoxLayout>

#include "platform/ui/prompt.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/guarded.h"
#include "shell/qt/screen_fit.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/context.h"

namespace tolvaran {

GridWindow::GridWindow(const ReportWindowServices& services, const QString& name, QSize size, QWidget* parent)
    : QDialog(parent),
      services_(services),
      toolbar_(new QtToolBar(this)),
      grid_(new DataGrid(QStringLiteral("dxGrid"), false, this)) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(grid_);
    grid_->setSortable(true);
    FitToScreen(*this, size);
    connect(
        toolbar_, &QtToolBar::ItemClick, this,
        Guard(services_.ctx->prompt, "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
}

void GridWindow::OpenConnection() {
    if (!db_ || db_->State() != ado::adStateOpen) db_ = OpenListsConnection(*services_.ctx);
}

void GridWindow::LoadToolBar(const std::string& key) {
    if (services_.toolbars) services_.toolbars->Load(*toolbar_, key);
    toolbar_->Render();
}

void GridWindow::Warn(const std::string& text, const std::string& title) const {
    if (services_.ctx->prompt) services_.ctx->prompt->MsgBox(text, ui::vbExclamation, title);
}

}  // namespace tolvaran
