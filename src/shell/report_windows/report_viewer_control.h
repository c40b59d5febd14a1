#pragma once
// The report viewer control (CRViewer): shows a report of the designer model as pages filled
// with its data. The viewer window assigns the report source and calls ViewReport; the control
// shares the report, so it keeps showing it after the caller has let its own reference go.
//
// The pages come from the report engine (platform/viewer) and are drawn by the page painter
// (render/); the control moves between pages (first, previous, next, last), shows "Page n of
// m", zooms (whole page, page width, percentages) and, when the report has groups, shows a
// tree of them that leads to the page where each begins.
//
// The first page shows as soon as it is laid out; the rest is laid out in slices of a few
// milliseconds between the window's events, so the window answers meanwhile: the pages laid
// out so far can be paged through ("Page n of ?" until the count is known), a label tells
// how far the layout is, and the group tree and notes follow when it is complete.
#include <QWidget>
#include <memory>
#include <string>

#include "platform/ado/driver.h"
#include "platform/viewer/page.h"
#include "render/page_painter.h"
#include "render/text_measure.h"

class QComboBox;
class QTimer;
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
namespace viewer {
class ReportLayout;
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
    // The view command: reads the report's records, lays out its first page and shows it; the
    // rest is laid out between the window's events.
    void ViewReport();
    // Whether pages are still being laid out.
    bool LayingOut() const;
    // Lays out what is left at once (for a caller that needs every page).
    void FinishLayout();
    // Lays out no more (the window that shows the control is closing); the pages laid out so
    // far stay.
    void StopLayout();
    // Shows no report, only why there is nothing to show (a file that could not be opened).
    void ShowEmpty(const std::string& reason);
    // What the control says instead of pages; empty while it shows a report.
    std::string EmptyReason() const { return reason_; }

    // Where a report that prompts for parameter values asks for them (not owned; without one
    // parameters take their default values).
    void setPrompt(ui::Prompt* prompt) { prompt_ = prompt; }
    // What the records are read with (the run's SQL Server template and Access file reader);
    // the defaults until set. The connections only read, whatever the options say.
    void setConnectionOptions(const ado::ConnectionOptions& options) { connections_ = options; }

    // The report laid out by the last ViewReport, once its layout is complete.
    const viewer::Document& Document() const { return doc_; }
    // The pages that can be shown: all of them once the layout is complete.
    int PageCount() const;
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
    const viewer::Page* PageAt(int page) const;
    void LayoutSlice();
    void LayoutDone();
    // Lets the layout in progress go; keep: its pages laid out so far stay on show.
    void DropLayout(bool keep);
    void UpdateControls();
    void Refresh();
    void FillTree();
    void AddGroups(QTreeWidgetItem* parent, const std::vector<viewer::GroupNode>& groups);
    void ZoomChosen(int index);

    std::shared_ptr<designer::Report> report_;
    std::string reason_;
    ui::Prompt* prompt_ = nullptr;
    ado::ConnectionOptions connections_;
    viewer::Document doc_;
    viewer::Document retired_;  // the pages shown before ViewReport, until its first slice
    int page_ = 0;
    ZoomMode zoomMode_ = ZoomMode::PageWidth;
    int percent_ = 100;
    PagePainter painter_;
    PageTextMeasure measure_;  // the engine measures text with the painter's fonts
    // The layout in progress (it reads report_ and measure_, declared before it); null once it
    // is complete and its document is in doc_.
    std::unique_ptr<viewer::ReportLayout> layout_;
    bool stopped_ = false;  // no more slices for layout_
    bool inSlice_ = false;  // a slice is on the stack (a question asked in it runs events)
    int shownPass_ = 0;     // the layout pass whose page the view shows

    QToolButton* first_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* last_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QComboBox* zoom_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* progress_ = nullptr;
    QTimer* slices_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* message_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
};

}  // namespace tolvaran
