#pragma once
// The report viewer control (CRViewer): shows a report of the designer model as pages filled
// with its data. The viewer window assigns the report source and calls ViewReport; the control
// shares the report, so it keeps showing it after the caller has let its own reference go.
//
// The pages come from the report engine (platform/viewer) and are drawn by the page painter
// (render/); the control moves between pages (first, previous, next, last), shows "Page n of
// m", zooms (whole page, page width, percentages) and, when the report has groups, shows a
// tree of them that leads to the page where each begins.
#include <QWidget>
#include <memory>
#include <string>

#include "platform/ado/driver.h"
#include "platform/viewer/page.h"
#include "render/page_painter.h"
#include "render/text_measure.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace designer {
class Report;
}
namespace ui {
class Prompt;
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

    // Where a report that prompts for parameter values asks for them (not owned; without one
    // parameters take their default values).
    void setPrompt(ui::Prompt* prompt) { prompt_ = prompt; }
    // What the records are read with (the run's SQL Server template and Access file reader);
    // the defaults until set.
    void setConnectionOptions(const ado::ConnectionOptions& options) { connections_ = options; }

    // The pages laid out by the last ViewReport.
    const viewer::Document& Document() const { return doc_; }
    int PageCount() const { return static_cast<int>(doc_.pages.size()); }
    int CurrentPage() const { return page_; }  // 0-based
    // "Page n of m" as the control shows it.
    QString PageText() const;

    enum class ZoomMode { WholePage, PageWidth, Percent };
    void setZoom(ZoomMode mode, int percent = 100);
    ZoomMode Zoom() const { return zoomMode_; }
    // Device pixels per twip at the present zoom.
    double Scale() const;

  public slots:
    void ShowPage(int page);
    void FirstPage();
    void PreviousPage();
    void NextPage();
    void LastPage();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class PageView;
    void Refresh();
    void FillTree();
    void AddGroups(QTreeWidgetItem* parent, const std::vector<viewer::GroupNode>& groups);
    void ZoomChosen(int index);

    std::shared_ptr<designer::Report> report_;
    std::string reason_;
    ui::Prompt* prompt_ = nullptr;
    ado::ConnectionOptions connections_;
    viewer::Document doc_;
    int page_ = 0;
    ZoomMode zoomMode_ = ZoomMode::PageWidth;
    int percent_ = 100;
    PagePainter painter_;
    PageTextMeasure measure_;  // the engine measures text with the painter's fonts

    QToolButton* first_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* last_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QLabel* notes_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* message_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
};

}  // namespace tolvaran
