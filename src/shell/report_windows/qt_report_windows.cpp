#include "shell/report_windows/qt_report_windows.h"

#include "shell/report_windows/change_report.h"
#include "shell/report_windows/show_errors.h"
#include "shell/report_windows/view_report.h"
#include "store/context.h"

namespace tolvaran {

void QtReportWindows::Bind(clsToolBar& toolbars, const Environment& env,
                           std::function<std::string()> crystalVersion, QWidget* owner) {
    services_.toolbars = &toolbars;
    services_.env = &env;
    services_.crystalVersion = std::move(crystalVersion);
    services_.owner = owner;
}

void QtReportWindows::ViewReport(long reportId, const std::string& reportName,
                                 const std::string& reportPath) {
    tolvaran::ViewReport window(services_, services_.owner);
    window.ReportId = reportId;
    window.ReportName = reportName;
    window.Reportpath = reportPath;
    window.Form_Load();
    window.ShowReport();
    RunModal(services_, window);
}

void QtReportWindows::ChangeReport(const std::string& openArgs) {
    tolvaran::ChangeReport window(services_, services_.owner);
    window.setDb(services_.ctx->gDb);
    window.OpenArgs = openArgs;
    window.Form_Load();
    RunModal(services_, window);
}

void QtReportWindows::ShowModal(long reportId) {
    ShowErrors window(services_, services_.owner);
    window.setDb(services_.ctx->gDb);
    window.ReportId = reportId;
    window.Form_Load();
    RunModal(services_, window);
}

}  // namespace tolvaran
