#pragma once
// The control-layout editor (ChangeReport, caption "Change Report"): the Controls rows of one
// converted report (section, name, Access position and size, caption, and the position,
// height and name of the object made from the control, twips as stored) in an editable grid.
// Each edit is written to its row at once; toolbar "GenericSaveCancel": 236 keeps the edits,
// saves the report record and closes; 237 (like Esc and the window's close button) writes
// back what the edited fields held when the window opened and closes.
#include <QDialog>
#include <string>

#include "platform/ado/ado.h"
#include "shell/data_grid.h"
#include "shell/report_window_services.h"
#include "store/record_classes.h"

namespace tolvaran {

class QtToolBar;

class ChangeReport : public QDialog {
    Q_OBJECT
  public:
    explicit ChangeReport(const ReportWindowServices& services, QWidget* parent = nullptr);

    // The connection to the lists file; when none was assigned, or it is not open, Form_Load
    // opens the window's own.
    void setDb(ado::ConnectionPtr db) { db_ = std::move(db); }
    const ado::ConnectionPtr& db() const { return db_; }
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
    void EToolBar_ItemClick(int index);

    long ReportId() const { return reportId_; }
    clsReport& Report() { return report_; }
    DataGrid* dxGrid() const { return grid_; }
    QtToolBar* EToolBar() const { return toolbar_; }

  public slots:
    // Cancel: the edits are taken back before the window closes.
    void reject() override;

  private:
    ReportWindowServices services_;
    ado::ConnectionPtr db_;
    clsReport report_;
    long reportId_ = 0;
    bool reportLoaded_ = false;
    std::vector<GridColumn> columns_;
    QtToolBar* toolbar_;
    DataGrid* grid_;
};

}  // namespace tolvaran
