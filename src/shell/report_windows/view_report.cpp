#include "shell/report_windows/view_report.h"

#include <QKeySequence>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/designer/report.h"
#include "platform/ui/prompt.h"
#include "shell/main_window/environment.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/qt/screen_fit.h"
#include "shell/qt/wait_cursor.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell/report_windows/show_errors.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/context.h"
#include "store/support.h"

namespace tolvaran {

ViewReport::ViewReport(const ReportWindowServices& services, QWidget* parent)
    : QDialog(parent),
      services_(services),
      toolbar_(new QtToolBar(this)),
      viewer_(new ReportViewerControl(this)),
      status_(new QStatusBar(this)) {
    setObjectName(QStringLiteral("ViewReport"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar_);
    layout->addWidget(viewer_, 1);
    layout->addWidget(status_);
    FitToScreen(*this, {1000, 760});
    ui::Prompt* p = services_.ctx->prompt;
    connect(toolbar_, &QtToolBar::ItemClick, this,
            Guard(p, "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, Guard(p, "ShowHelp", [this] { ShowHelp(); }));
}

void ViewReport::Form_Load() {
    const WaitCursor wait;
    setWindowTitle(QStringLiteral("View Report"));
    try {
        if (services_.toolbars && !services_.toolbars->Load(*toolbar_, "ViewReport") && services_.ctx->prompt)
            services_.ctx->prompt->MsgBox(services_.toolbars->ErrorMessage);
        toolbar_->Render();
    } catch (const std::exception& e) {
        if (services_.ctx->prompt)
            services_.ctx->prompt->MsgBox(e.what(), ui::vbExclamation, "View Crystal Report");
    }
}

std::string ViewReport::ReportFile() const {
    return JoinPath(Reportpath, ReportName);
}

void ViewReport::ShowReport() {
    const std::string file = ReportFile();
    try {
        ado::ConnectionOptions options =
            services_.ctx ? services_.ctx->connections : ado::ConnectionOptions();
        options.readOnly = true;  // the window shows the report's data and changes none of it
        designer::Application application(designer::AdoFieldReader(options));
        if (services_.ctx) application.MaxFileMb = services_.ctx->maxReportFileMb;
        std::shared_ptr<designer::Report> report = application.OpenReport(file);
        report->DiscardSavedData();
        // A report that prompts for parameter values asks through the run's prompt; its
        // records are read with the run's connection options.
        if (services_.ctx) viewer_->setPrompt(services_.ctx->prompt);
        viewer_->setConnectionOptions(options);
        viewer_->setReportSource(std::move(report));
        viewer_->ViewReport();
    } catch (const vb::ComError& e) {
        // The file's own errors name the file and what is wrong with it.
        viewer_->ShowEmpty(e.Number() == designer::kErrReportFile
                               ? e.what()
                               : "The report file \"" + file + "\" could not be shown: " + e.what());
    } catch (const std::exception& e) {
        viewer_->ShowEmpty("The report file \"" + file + "\" could not be shown: " + e.what());
    }
}

void ViewReport::EToolBar_ItemClick(int index) {
    switch (index) {
        case 1:
            close();
            break;
        case 2:
            if (services_.env)
                services_.env->OpenReportInCrystal(
                    ReportFile(), services_.crystalVersion ? services_.crystalVersion() : "0.00");
            break;
        case 3: {
            // Given no connection, the error-log viewer opens its own on the lists file.
            tolvaran::ShowErrors errors(services_, this);
            errors.ReportId = ReportId;
            errors.Form_Load();
            RunModal(services_, errors);
            break;
        }
        default:
            break;
    }
}

void ViewReport::done(int result) {
    Guarded(services_.ctx ? services_.ctx->prompt : nullptr, "Form_Unload",
            [this] { viewer_->StopLayout(); });
    QDialog::done(result);
}

void ViewReport::ShowHelp() {
    tolvaran::ShowHelp(*services_.ctx, kHelpContextId);
}

}  // namespace tolvaran
