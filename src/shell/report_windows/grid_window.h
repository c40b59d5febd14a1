#pragma once
// A window of a toolbar over one data grid of the lists file: the base of the error-log
// viewer and the control-layout editor. It holds the windows' services, the connection the
// grid reads through, the toolbar EToolBar (its clicks go to EToolBar_ItemClick) and the grid
// dxGrid, whose columns can be sorted.
#include <QDialog>
#include <string>

#include "platform/ado/ado.h"
#include "shell/report_windows/report_window_services.h"

namespace tolvaran {

class DataGrid;
class QtToolBar;

class GridWindow : public QDialog {
    Q_OBJECT
  public:
    // The connection to the lists file; when none was assigned, or it is not open, loading
    // the window opens the window's own.
    void setDb(ado::ConnectionPtr db) { db_ = std::move(db); }
    const ado::ConnectionPtr& db() const { return db_; }

    virtual void EToolBar_ItemClick(int index) = 0;

    DataGrid* dxGrid() const { return grid_; }
    QtToolBar* EToolBar() const { return toolbar_; }

  protected:
    GridWindow(const ReportWindowServices& services, const QString& name, QSize size, QWidget* parent);

    // db when it is open, else a new connection to the lists file; throws when none opens.
    void OpenConnection();
    // Fills the toolbar from the ToolBars rows of key.
    void LoadToolBar(const std::string& key);
    // A message box with the exclamation icon (nothing when the run shows none).
    void Warn(const std::string& text, const std::string& title) const;

    ReportWindowServices services_;
    ado::ConnectionPtr db_;

  private:
    QtToolBar* toolbar_;
    DataGrid* grid_;
};

}  // namespace tolvaran
