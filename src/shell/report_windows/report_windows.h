#pragma once
// The windows the main window opens over one report, each shown modally and returning when it
// is closed: the report viewer (ViewReport), the error-log viewer (ShowErrors, through
// ErrorLogViewer, which the converter also calls) and the control-layout editor (ChangeReport).
// The shell's implementation builds the real windows; tests put recorders behind it.
#include <string>

#include "convert/convert.h"

namespace tolvaran {

class ReportWindows : public ErrorLogViewer {
  public:
    // ViewReport with ReportId, ReportName (the .rpt file name with its extension) and
    // Reportpath (its folder, with or without a trailing separator), then ShowReport.
    virtual void ViewReport(long reportId, const std::string& reportName, const std::string& reportPath) = 0;
    // ChangeReport with OpenArgs (the report id as text, as the window receives it).
    virtual void ChangeReport(const std::string& openArgs) = 0;
};

}  // namespace tolvaran
