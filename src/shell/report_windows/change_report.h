#pragma once
// The control-layout editor (ChangeReport, caption "Change Report"): the Controls rows of one
// converted report (section, name, Access position and size, caption, and the position,
// height and name of the object made from the control, twips as stored) in an editable grid.
// Each edit is written to its row at once; toolbar "GenericSaveCancel": 236 keeps the edits,
// saves the report record and closes; 237 (like Esc and the window's close button) writes
// back what the edited fields held when the window opened and closes.
#include <string>
#include <vector>

#include "shell/qt/data_grid.h"
#include "shell/report_windows/grid_window.h"
#include "store/record_classes.h"

namespace tolvaran {

class ChangeReport : public GridWindow {
    Q_OBJECT
  public:
    explicit ChangeReport(const ReportWindowServices& services, QWidget* parent = nullptr);

    // The report id as text; empty or not a number gives report id 0.
    std::string OpenArgs;

    // Loads the report record (report id above 0), the toolbar and the grid. A grid that
    // cannot be filled shows its error in a message box titled "Change Report".
    void Form_Load();
    void setgrid();
    void AddColumn(const std::string& caption, const std::string& field, int width);
    // Keeps the edits, saves the report record under its id (only when one was loaded) and
    // closes the window.
    void Save();
    void EToolBar_ItemClick(int index) override;

    long ReportId() const { return reportId_; }
    clsReport& Report() { return report_; }

  public slots:
    // Cancel: the edits are taken back before the window closes.
    void reject() override;

  private:
    clsReport report_;
    long reportId_ = 0;
    bool reportLoaded_ = false;
    std::vector<GridColumn> columns_;
};

}  // namespace tolvaran
