#include "shell/report_windows/report_viewer_control.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cassert>
#include <cmath>

#include "platform/designer/report.h"
#include "platform/viewer/engine.h"
#include "shell/qt/elided_label.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {

namespace {

constexpr int kPaperMargin = 16;  // pixels of grey around the page
constexpr double kScreenDpi = 96.0;
constexpr int kPageRole = Qt::UserRole;
constexpr int kTopRole = Qt::UserRole + 1;
// A slice of layout between the window's events, in milliseconds: short enough that the
// window answers at once, long enough that the layout is not slowed by the events between.
constexpr int kSliceMs = 15;
// While the records are read the window's events run this often, so that it can be closed.
constexpr int kReadEventsMs = 50;

struct ZoomChoice {
    const char* text;
    ReportViewerControl::ZoomMode mode;
    int percent;
};
constexpr ZoomChoice kZooms[] = {
    {"Whole Page", ReportViewerControl::ZoomMode::WholePage, 0},
    {"Page Width", ReportViewerControl::ZoomMode::PageWidth, 0},
    {"25%", ReportViewerControl::ZoomMode::Percent, 25},
    {"50%", ReportViewerControl::ZoomMode::Percent, 50},
    {"75%", ReportViewerControl::ZoomMode::Percent, 75},
    {"100%", ReportViewerControl::ZoomMode::Percent, 100},
    {"150%", ReportViewerControl::ZoomMode::Percent, 150},
    {"200%", ReportViewerControl::ZoomMode::Percent, 200},
    {"400%", ReportViewerControl::ZoomMode::Percent, 400},
};

QToolButton* NavButton(QWidget* parent, const char* name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

// Marks a slice of layout as running for its scope.
class SliceScope {
  public:
    explicit SliceScope(bool& inSlice) : inSlice_(inSlice) { inSlice_ = true; }
    ~SliceScope() { inSlice_ = false; }
    SliceScope(const SliceScope&) = delete;
    SliceScope& operator=(const SliceScope&) = delete;

  private:
    bool& inSlice_;
};

}  // namespace

// The current page on its paper, at the control's scale.
class ReportViewerControl::PageView : public QWidget {
  public:
    explicit PageView(ReportViewerControl& owner) : QWidget(nullptr), owner_(owner) {
        setObjectName(QStringLiteral("PageView"));
    }

    void Resize() {
        const viewer::Page* page = Current();
        if (!page) {
            resize(1, 1);
            return;
        }
        double s = owner_.Scale();
        resize(static_cast<int>(std::lround(page->width * s)) + 2 * kPaperMargin,
               static_cast<int>(std::lround(page->height * s)) + 2 * kPaperMargin);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const viewer::Page* page = Current();
        if (!page) return;
        double s = owner_.Scale();
        QRect paper(kPaperMargin, kPaperMargin, static_cast<int>(std::lround(page->width * s)),
                    static_cast<int>(std::lround(page->height * s)));
        p.fillRect(paper.translated(3, 3), QColor(0x40, 0x40, 0x40));
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        p.setClipRect(QRect(QPoint(0, 0), paper.size()));
        owner_.painter_.Paint(p, *page, s);
    }

  private:
    const viewer::Page* Current() const { return owner_.PageAt(owner_.page_); }

    ReportViewerControl& owner_;
};

ReportViewerControl::ReportViewerControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CRViewer"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* bar = new QHBoxLayout();
    bar->setContentsMargins(4, 2, 4, 2);
    first_ = NavButton(this, "cmdFirstPage", QStringLiteral("|<"), QStringLiteral("First Page"));
    previous_ = NavButton(this, "cmdPreviousPage", QStringLiteral("<"), QStringLiteral("Previous Page"));
    next_ = NavButton(this, "cmdNextPage", QStringLiteral(">"), QStringLiteral("Next Page"));
    last_ = NavButton(this, "cmdLastPage", QStringLiteral(">|"), QStringLiteral("Last Page"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    pageLabel_->setMinimumWidth(110);
    pageLabel_->setAlignment(Qt::AlignCenter);
    zoom_ = new QComboBox(this);
    zoom_->setObjectName(QStringLiteral("cboZoom"));
    zoom_->setToolTip(QStringLiteral("Zoom"));
    for (const ZoomChoice& z : kZooms) zoom_->addItem(QString::fromLatin1(z.text));
    zoom_->setCurrentIndex(1);
    // What kept the report from its data: one line cut to the room the bar has, every note in
    // full on hover.
    notes_ = new ElidedLabel(this);
    notes_->setObjectName(QStringLiteral("lblNotes"));
    notes_->setStyleSheet(QStringLiteral("color: #a00000"));
    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("lblLayout"));
    progress_->hide();
    bar->addWidget(first_);
    bar->addWidget(previous_);
    bar->addWidget(pageLabel_);
    bar->addWidget(next_);
    bar->addWidget(last_);
    bar->addSpacing(12);
    bar->addWidget(zoom_);
    bar->addSpacing(12);
    bar->addWidget(progress_);
    bar->addWidget(notes_, 1);
    layout->addLayout(bar);

    stack_ = new QStackedWidget(this);
    message_ = new QLabel(stack_);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    // A long file name wraps or is cut, never widening the window.
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    splitter_ = new QSplitter(Qt::Horizontal, stack_);
    tree_ = new QTreeWidget(splitter_);
    tree_->setObjectName(QStringLiteral("GroupTree"));
    tree_->setHeaderLabel(QStringLiteral("Groups"));
    tree_->setMinimumWidth(120);
    scroll_ = new QScrollArea(splitter_);
    scroll_->setObjectName(QStringLiteral("PageArea"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(*this);
    scroll_->setWidget(view_);
    scroll_->viewport()->installEventFilter(this);
    splitter_->addWidget(tree_);
    splitter_->addWidget(scroll_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({180, 600});
    stack_->addWidget(message_);
    stack_->addWidget(splitter_);
    layout->addWidget(stack_, 1);

    slices_ = new QTimer(this);
    slices_->setSingleShot(true);
    slices_->setInterval(0);
    connect(slices_, &QTimer::timeout, this,
            [this] { Guarded(prompt_, "LayoutSlice", [this] { LayoutSlice(); }); });

    // The prompt is given after the control is made, so each handler reads it when it runs.
    connect(first_, &QToolButton::clicked, this,
            [this] { Guarded(prompt_, "FirstPage", [this] { FirstPage(); }); });
    connect(previous_, &QToolButton::clicked, this,
            [this] { Guarded(prompt_, "PreviousPage", [this] { PreviousPage(); }); });
    connect(next_, &QToolButton::clicked, this,
            [this] { Guarded(prompt_, "NextPage", [this] { NextPage(); }); });
    connect(last_, &QToolButton::clicked, this,
            [this] { Guarded(prompt_, "LastPage", [this] { LastPage(); }); });
    connect(zoom_, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { Guarded(prompt_, "ZoomChosen", [this, index] { ZoomChosen(index); }); });
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        Guarded(prompt_, "GroupTree_Click", [this, item] {
            ShowPage(item->data(0, kPageRole).toInt());
            double y = item->data(0, kTopRole).toDouble() * Scale() + kPaperMargin;
            scroll_->verticalScrollBar()->setValue(static_cast<int>(y) - 8);
        });
    });
    ShowEmpty("No report.");
}

ReportViewerControl::~ReportViewerControl() = default;

void ReportViewerControl::setReportSource(std::shared_ptr<designer::Report> report) {
    // The layout in progress reads the report it was given: it goes with it.
    DropLayout(true);
    report_ = std::move(report);
}

void ReportViewerControl::ViewReport() {
    DropLayout(false);
    if (!report_) {
        ShowEmpty("No report.");
        return;
    }
    viewer::RenderOptions options;
    options.prompt = prompt_;
    options.connections = connections_;
    // The viewer shows a report's data and changes none of it, whatever its file says.
    options.connections.readOnly = true;
    // A long read of the records lets the window answer (its events run as the read starts and
    // every kReadEventsMs after), and StopLayout (the window closing) ends the read. The
    // layout, and with it every copy of this hook, lives no longer than the control.
    options.connections.queryLimits.cancelled = [this, clock = QElapsedTimer()]() mutable {
        if (!clock.isValid() || clock.elapsed() >= kReadEventsMs) {
            clock.start();
            QCoreApplication::processEvents();
        }
        return stopped_;
    };
    options.measure = &measure_;
    // The pages shown before (a long report holds a great many) are let go once this report's
    // first page is on show, in the next slice or event.
    retired_ = std::move(doc_);
    doc_ = viewer::Document{};
    reason_.clear();
    page_ = 0;
    tree_->clear();
    tree_->setVisible(false);
    notes_->clear();
    notes_->setToolTip(QString());
    stack_->setCurrentWidget(splitter_);
    layout_ = std::make_unique<viewer::ReportLayout>(*report_, options);
    stopped_ = false;
    bool more = true;
    {
        const SliceScope slice(inSlice_);
        while (layout_->ReadyPages() == 0 && (more = layout_->Step())) {
        }
    }
    if (!more) {
        LayoutDone();
        QTimer::singleShot(0, this, [this] { retired_ = viewer::Document{}; });
        return;
    }
    if (!stopped_) slices_->start();
    Refresh();
}

bool ReportViewerControl::LayingOut() const {
    return layout_ && !stopped_;
}

void ReportViewerControl::LayoutSlice() {
    retired_ = viewer::Document{};
    if (!layout_ || stopped_) return;
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    {
        const SliceScope slice(inSlice_);
        while (!stopped_ && (more = layout_->Step()) && clock.elapsed() < kSliceMs) {
        }
    }
    if (!more) {
        LayoutDone();
        return;
    }
    if (!stopped_) slices_->start();
    // The page in view is drawn again when the second pass (the page count) has replaced it.
    if (layout_->ReadyPass(page_) != shownPass_)
        Refresh();
    else
        UpdateControls();
}

void ReportViewerControl::FinishLayout() {
    retired_ = viewer::Document{};
    if (!layout_ || inSlice_) return;
    slices_->stop();
    {
        const SliceScope slice(inSlice_);
        while (layout_->Step()) {
        }
    }
    LayoutDone();
}

void ReportViewerControl::StopLayout() {
    stopped_ = true;
    slices_->stop();
    UpdateControls();
}

void ReportViewerControl::LayoutDone() {
    slices_->stop();
    doc_ = layout_->Take();
    layout_.reset();
    page_ = std::clamp(page_, 0, std::max(0, PageCount() - 1));
    FillTree();
    QStringList notes;
    for (const std::string& n : doc_.notes) notes << Q(n);
    notes_->setText(notes.isEmpty() ? QString() : notes.front());
    notes_->setToolTip(notes.isEmpty() ? QString() : WrappingToolTip(notes));
    Refresh();
}

void ReportViewerControl::DropLayout(bool keep) {
    // Never from inside the layout's own slice: nothing the window does during a slice (a
    // question asked in it is modal) leads here.
    assert(!inSlice_);
    if (!layout_) return;
    slices_->stop();
    if (keep) {
        doc_ = viewer::Document{};
        for (int p = 0; p < layout_->ReadyPages(); ++p) doc_.pages.push_back(layout_->ReadyPage(p));
    }
    layout_.reset();
}

void ReportViewerControl::ShowEmpty(const std::string& reason) {
    DropLayout(false);
    report_.reset();
    doc_ = viewer::Document{};
    page_ = 0;
    reason_ = reason;
    message_->setText(Q(reason));
    notes_->clear();
    tree_->clear();
    stack_->setCurrentWidget(message_);
    Refresh();
}

int ReportViewerControl::PageCount() const {
    return layout_ ? layout_->ReadyPages() : static_cast<int>(doc_.pages.size());
}

const viewer::Page* ReportViewerControl::PageAt(int page) const {
    if (page < 0 || page >= PageCount()) return nullptr;
    return layout_ ? &layout_->ReadyPage(page) : &doc_.pages[static_cast<size_t>(page)];
}

QString ReportViewerControl::PageText() const {
    if (PageCount() == 0) return QString();
    if (layout_) return QStringLiteral("Page %1 of ?").arg(page_ + 1);
    return QStringLiteral("Page %1 of %2").arg(page_ + 1).arg(PageCount());
}

double ReportViewerControl::Scale() const {
    const double base = kScreenDpi / 1440.0;
    const viewer::Page* shown = PageAt(std::clamp(page_, 0, PageCount() - 1));
    if (zoomMode_ == ZoomMode::Percent || !shown) return base * percent_ / 100.0;
    const viewer::Page& page = *shown;
    QSize room = scroll_->viewport()->size() - QSize(2 * kPaperMargin, 2 * kPaperMargin);
    double byWidth = std::max(1, room.width()) / static_cast<double>(std::max(1L, page.width));
    if (zoomMode_ == ZoomMode::PageWidth) return byWidth;
    double byHeight = std::max(1, room.height()) / static_cast<double>(std::max(1L, page.height));
    return std::min(byWidth, byHeight);
}

void ReportViewerControl::setZoom(ZoomMode mode, int percent) {
    zoomMode_ = mode;
    percent_ = std::clamp(percent, 10, 800);
    for (int i = 0; i < static_cast<int>(std::size(kZooms)); ++i)
        if (kZooms[i].mode == mode && (mode != ZoomMode::Percent || kZooms[i].percent == percent_))
            zoom_->setCurrentIndex(i);
    Refresh();
}

void ReportViewerControl::ZoomChosen(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kZooms))) return;
    setZoom(kZooms[index].mode, kZooms[index].percent == 0 ? percent_ : kZooms[index].percent);
}

void ReportViewerControl::ShowPage(int page) {
    if (PageCount() == 0) return;
    page_ = std::clamp(page, 0, PageCount() - 1);
    Refresh();
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportViewerControl::FirstPage() {
    ShowPage(0);
}
void ReportViewerControl::PreviousPage() {
    ShowPage(page_ - 1);
}
void ReportViewerControl::NextPage() {
    ShowPage(page_ + 1);
}
void ReportViewerControl::LastPage() {
    ShowPage(PageCount() - 1);
}

bool ReportViewerControl::eventFilter(QObject* watched, QEvent* event) {
    // Whole page and page width follow the room the page has.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize && zoomMode_ != ZoomMode::Percent)
        Guarded(prompt_, "Resize", [this] { view_->Resize(); });
    return QWidget::eventFilter(watched, event);
}

void ReportViewerControl::UpdateControls() {
    const int count = PageCount();
    const bool any = count > 0;
    first_->setEnabled(any && page_ > 0);
    previous_->setEnabled(any && page_ > 0);
    next_->setEnabled(any && page_ + 1 < count);
    last_->setEnabled(any && page_ + 1 < count);
    zoom_->setEnabled(any);
    pageLabel_->setText(PageText());
    if (LayingOut()) {
        const viewer::ReportLayout::Progress status = layout_->Status();
        progress_->setText(
            status.pass >= 2
                ? QStringLiteral("Laying out page %1 of %2...").arg(status.pages + 1).arg(status.of)
                : QStringLiteral("Laying out page %1...").arg(status.pages + 1));
    }
    progress_->setVisible(LayingOut());
}

void ReportViewerControl::Refresh() {
    UpdateControls();
    shownPass_ = layout_ && PageAt(page_) ? layout_->ReadyPass(page_) : 0;
    view_->Resize();
}

void ReportViewerControl::FillTree() {
    tree_->clear();
    AddGroups(nullptr, doc_.groups);
    tree_->setVisible(!doc_.groups.empty());
}

void ReportViewerControl::AddGroups(QTreeWidgetItem* parent, const std::vector<viewer::GroupNode>& groups) {
    for (const viewer::GroupNode& g : groups) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
        item->setText(0, g.name.empty() ? QStringLiteral("(blank)") : Q(g.name));
        item->setData(0, kPageRole, g.page);
        item->setData(0, kTopRole, static_cast<double>(g.top));
        AddGroups(item, g.children);
    }
}

}  // namespace tolvaran
