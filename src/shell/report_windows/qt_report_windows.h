#pragma once
// The report windows of the run: each command builds the window, loads it and shows it
// modally (ViewReport, ShowErrors, ChangeReport), returning when it is closed.
#include "shell/report_windows/report_window_services.h"
#include "shell/report_windows/report_windows.h"

namespace tolvaran {

class QtReportWindows : public ReportWindows {
  public:
    explicit QtReportWindows(ReportWindowServices services) : services_(std::move(services)) {}

    // The main window's shared objects, known once it exists.
    void Bind(clsToolBar& toolbars, const Environment& env, std::function<std::string()> crystalVersion,
              QWidget* owner);
    ReportWindowServices& Services() { return services_; }

    void ViewReport(long reportId, const std::string& reportName, const std::string& reportPath) override;
    void ChangeReport(const std::string& openArgs) override;
    // The error-log viewer on the lists-file connection of the run.
    void ShowModal(long reportId) override;

  private:
    ReportWindowServices services_;
};

}  // namespace tolvaran
