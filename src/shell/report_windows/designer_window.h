#pragma once
// The designer program's window (tolvaran-designer): a report file shown in the report viewer
// control beside a tree of its structure: areas, sections and their objects with position and
// size, formula fields with their text, parameter fields, groups, record sort fields, the
// database tables with their fields, and subreports with their links.
#include <QMainWindow>
#include <memory>
#include <string>

#include "platform/designer/report_file.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace designer {
class Report;
}
namespace ui {
class Prompt;
}

namespace tolvaran {

class ReportViewerControl;

class DesignerWindow : public QMainWindow {
    Q_OBJECT
  public:
    // prompt: where messages and parameter questions go (not owned).
    explicit DesignerWindow(ui::Prompt& prompt, QWidget* parent = nullptr);
    ~DesignerWindow() override;

    // Opens the report file, fills the tree and lays the pages out. A file that is not a report
    // file (or is larger than MaxFileMb) gives a message naming the file and the reason, and
    // false. The report's data is read through connections that only read.
    bool Open(const std::string& file);

    // The largest report file Open reads, in megabytes (the program takes it from the registry,
    // MaxReportFileMb).
    long MaxFileMb = designer::kDefaultMaxReportFileMb;

    QTreeWidget& Structure() const { return *tree_; }
    ReportViewerControl& Viewer() const { return *viewer_; }

  private:
    void AddReport(QTreeWidgetItem* parent, const designer::Report& report);

    ui::Prompt& prompt_;
    QTreeWidget* tree_ = nullptr;
    ReportViewerControl* viewer_ = nullptr;
    std::shared_ptr<designer::Report> report_;
};

// The caption of the structure tree's value types ("number", "date-time", ...).
std::string ValueTypeName(int valueType);

}  // namespace tolvaran
