#include "shell/report_viewer_control.h"

#include <QLabel>
#include <QVBoxLayout>

#include "platform/designer/report.h"
#include "shell/qt_text.h"

namespace tolvaran {

ReportViewerControl::ReportViewerControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CRViewer"));
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel(this);
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    layout->addWidget(message_);
}

ReportViewerControl::~ReportViewerControl() = default;

void ReportViewerControl::setReportSource(std::shared_ptr<designer::Report> report) { report_ = std::move(report); }

void ReportViewerControl::ViewReport() {
    reason_.clear();
    message_->setText(report_ ? QString() : QStringLiteral("No report."));
}

void ReportViewerControl::ShowEmpty(const std::string& reason) {
    report_.reset();
    reason_ = reason;
    message_->setText(Q(reason));
}

}  // namespace tolvaran
