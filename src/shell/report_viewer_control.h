#pragma once
// The report viewer control (CRViewer): shows a report of the designer model as pages filled
// with its data. The viewer window assigns the report source and calls ViewReport; the control
// shares the report, so it keeps showing it after the caller has let its own reference go.
#include <QWidget>
#include <memory>
#include <string>

class QLabel;

namespace designer {
class Report;
}

namespace tolvaran {

class ReportViewerControl : public QWidget {
    Q_OBJECT
  public:
    explicit ReportViewerControl(QWidget* parent = nullptr);
    ~ReportViewerControl() override;

    // The report-source property.
    void setReportSource(std::shared_ptr<designer::Report> report);
    std::shared_ptr<designer::Report> ReportSource() const { return report_; }
    // The view command: reads the report's records, lays out its pages and shows the first.
    void ViewReport();
    // Shows no report, only why there is nothing to show (a file that could not be opened).
    void ShowEmpty(const std::string& reason);
    // What the control says instead of pages; empty while it shows a report.
    std::string EmptyReason() const { return reason_; }

  private:
    std::shared_ptr<designer::Report> report_;
    std::string reason_;
    QLabel* message_ = nullptr;
};

}  // namespace tolvaran
