#pragma once
// The report viewer window (ViewReport, caption "View Report", help context 7): one converted
// report file in the viewer control CRViewer. Toolbar "ViewReport", dispatched on the clicked
// item's position: 1 close, 2 open the file in the designer program, 3 the report's error
// log (the error-log viewer on a connection of its own).
#include <QDialog>
#include <string>

#include "shell/report_windows/report_window_services.h"

class QStatusBar;

namespace tolvaran {

class QtToolBar;
class ReportViewerControl;

class ViewReport : public QDialog {
    Q_OBJECT
  public:
    static constexpr long kHelpContextId = 7;

    explicit ViewReport(const ReportWindowServices& services, QWidget* parent = nullptr);

    long ReportId = 0;       // handed to the error-log viewer
    std::string ReportName;  // the file name with its extension
    std::string Reportpath;  // its folder, with or without a trailing separator

    // Caption, help context and toolbar; a toolbar that cannot be built shows the builder's
    // message.
    void Form_Load();
    // Opens the file and hands it to the viewer. A file that cannot be opened or shown leaves
    // the viewer empty, saying why; no message box.
    void ShowReport();
    // Reportpath and ReportName joined.
    std::string ReportFile() const;
    void EToolBar_ItemClick(int index);
    // F1: the help topic of the window.
    void ShowHelp();

    ReportViewerControl* CRViewer() const { return viewer_; }

    // Closing the window stops the viewer's layout at once.
    void done(int result) override;
    QtToolBar* EToolBar() const { return toolbar_; }

  private:
    ReportWindowServices services_;
    QtToolBar* toolbar_;
    ReportViewerControl* viewer_;
    QStatusBar* status_;
};

}  // namespace tolvaran
