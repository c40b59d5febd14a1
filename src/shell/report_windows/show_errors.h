#pragma once
// The error-log viewer (ShowErrors, caption "Show Report Errors"): the error-log rows of one
// converted report, through the saved query ShowReportErrors of the lists file, ordered by
// severity, in a read-only grid; toolbar "ErrorLog": 248 close, 251 clear the report's rows,
// 252 copy the rows, 253 save them as a CSV file.
#include "shell/report_windows/grid_window.h"

namespace tolvaran {

class ShowErrors : public GridWindow {
    Q_OBJECT
  public:
    explicit ShowErrors(const ReportWindowServices& services, QWidget* parent = nullptr);

    // The report whose rows are shown and cleared.
    long ReportId = 0;

    // Caption, grid, toolbar. A grid that cannot be filled shows its error in a message box
    // titled "Show Report Errors" and stays empty.
    void Form_Load();
    void setgrid();
    // Deletes every ErrorLog row of the report and reloads the grid. A failure is appended to
    // the error log under "ClearErrorLog" and leaves the window as it was; false then.
    bool ClearErrorLog();
    // Asks for a file and saves the grid to it as CSV; a cancelled dialog saves nothing.
    void SaveGridAs();
    // Puts the grid's rows on the clipboard as tab-separated text with a caption line.
    void CopyGrid();
    void EToolBar_ItemClick(int index) override;
};

}  // namespace tolvaran
