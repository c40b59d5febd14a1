#include "shell/main_window/startup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "convert/convert.h"
#include "shell/main_window/instance_lock.h"
#include "shell/main_window/registry_keys.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/qt/results_list.h"
#include "shell/qt/screen_fit.h"
#include "shell/toolbar/qt_toolbar.h"
#include "sources/links_manager.h"

namespace tolvaran {
namespace {

// The entry grid's dataset as the entry record appends through it: the new row becomes the
// grid's current row.
class EntryGridDataset : public GridDataset {
  public:
    // appending is true while the new row becomes current.
    EntryGridDataset(DataGrid& grid, bool& appending) : grid_(grid), appending_(appending) {}
    void BeginUpdate() override {}
    void Append() override { grid_.Dataset().AddNew(); }
    void SetField(const std::string& name, const vb::Variant& value) override {
        grid_.Dataset().SetField(name, value);
    }
    void Post() override {
        appending_ = true;
        const auto done = qScopeGuard([this] { appending_ = false; });
        grid_.SetCurrentRow(grid_.Dataset().Post());
    }
    void EndUpdate() override {}
    vb::Variant Field(const std::string& name) const override { return grid_.CurrentValue(name); }

  private:
    DataGrid& grid_;
    bool& appending_;
};

QGroupBox* Frame(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QGroupBox(QLatin1String(caption), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QLatin1String(caption), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* Hyperlink(const char* name, const char* caption, QWidget* parent) {
    auto* link = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(QLatin1String(caption)), parent);
    link->setObjectName(QLatin1String(name));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    return link;
}

}  // namespace

Startup::Startup(StartupServices services, QWidget* parent)
    : QMainWindow(parent),
      services_(std::move(services)),
      startupLog_(services_.ctx->prompt),
      // No message box of its own: a text log that cannot be made is said in the report's rows
      // by its conversion, and the request tells the user once.
      errorLogWriter_(nullptr),
      toolbarBuilder_(*services_.ctx->prompt),
      links_(std::make_unique<clsManageLinks>(*services_.ctx->prompt)),
      keys_(std::make_unique<RegistryKeys>(services_.ctx->registry)),
      env_(*keys_, *services_.launcher, *services_.ctx->prompt, services_.ctx->programFolder) {
    setObjectName(QStringLiteral("Startup"));
    setWindowTitle(QString::fromLatin1(ui::kProgramTitle));
    databaseList_.prompt = services_.ctx->prompt;
    options_.prompt = services_.ctx->prompt;
    report_.prompt = services_.ctx->prompt;
    BuildLayout();
    BuildMenus();
    WireEvents();
    WireCommands();
    links_->setAccessFactory(services_.accessFactory);
    links_->setConnectionOptions(services_.ctx->connections);
    links_->setErrorLogWriter([ctx = services_.ctx](const std::string& desc, const std::string& formula,
                                                    const std::string& access, const std::string& crystal,
                                                    const std::string& report) {
        return AppendErrorLog(*ctx, desc, formula, access, crystal, report);
    });
    entryDataset_ = std::make_unique<EntryGridDataset>(*dxDatabases_, appendingEntry_);
    databaseList_.EntryGrid = entryDataset_.get();
    FitToScreen(*this, {1180, 720});
}

Startup::~Startup() = default;

QFileDialog& Startup::ctFile1() {
    if (!ctFile1_) {
        ctFile1_ = new QFileDialog(this);
        ctFile1_->setObjectName(QStringLiteral("ctFile1"));
    }
    return *ctFile1_;
}

void Startup::BuildLayout() {
    toolbar_ = new QtToolBar(this);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("StartupClient"));
    auto* columns = new QHBoxLayout(central);

    // Left: the entries and their reports.
    auto* left = new QVBoxLayout;
    frmDatabaseList_ = Frame("frmDatabaseList", " Databases ", central);
    dxDatabases_ = new DataGrid(QStringLiteral("dxDatabases"), false, frmDatabaseList_);
    Label2_ = Label("Label2", "Use Right-Click to Edit/Add", frmDatabaseList_);
    auto* dbLayout = new QVBoxLayout(frmDatabaseList_);
    dbLayout->addWidget(dxDatabases_);
    dbLayout->addWidget(Label2_);
    frmReports_ = Frame("frmReports", "Reports to Convert ", central);
    dxReports_ = new DataGrid(QStringLiteral("dxReports"), true, frmReports_);
    lblReports_ = Label("lblReports", kNoReportCaption, frmReports_);
    auto* repLayout = new QVBoxLayout(frmReports_);
    repLayout->addWidget(dxReports_);
    repLayout->addWidget(lblReports_);
    left->addWidget(frmDatabaseList_, 2);
    left->addWidget(frmReports_, 3);

    // Right: the three steps, the converted reports, the messages and the progress.
    auto* right = new QVBoxLayout;
    Label1_ = Label("Label1", "Select a Report to Convert", central);
    QFont heading = Label1_->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    Label1_->setFont(heading);
    dxlnkSelectDatabase_ = Hyperlink("dxlnkSelectDatabase", "1. Select a Database", central);
    dxlnkSelectReport_ = Hyperlink("dxlnkSelectReport", "2. Select an Access Report", central);
    dxlnkPreview_ = Hyperlink("dxlnkPreview", "3. Preview Crystal Report", central);
    right->addWidget(Label1_);
    right->addWidget(dxlnkSelectDatabase_);
    right->addWidget(dxlnkSelectReport_);
    right->addWidget(dxlnkPreview_);

    Frame2_ = Frame("Frame2", "Converted Reports ", central);
    dxConvertedReports_ = new QListWidget(Frame2_);
    dxConvertedReports_->setObjectName(QStringLiteral("dxConvertedReports"));
    dxConvertedReports_->setContextMenuPolicy(Qt::CustomContextMenu);
    Label7_ = Label("Label7", "Double-click to preview a converted report.", Frame2_);
    auto* convLayout = new QVBoxLayout(Frame2_);
    convLayout->addWidget(dxConvertedReports_);
    convLayout->addWidget(Label7_);

    frmShowResults_ = Frame("frmShowResults", "Report Results", central);
    reportResults_ = new ResultsList(frmShowResults_);
    reportResults_->setObjectName(QStringLiteral("ReportResults"));
    auto* resLayout = new QVBoxLayout(frmShowResults_);
    resLayout->addWidget(reportResults_);

    Frame3_ = Frame("Frame3", "Progress", central);
    ctProgress_ = new QProgressBar(Frame3_);
    ctProgress_->setObjectName(QStringLiteral("ctProgress"));
    ctProgress_->setRange(0, 100);
    ctProgress_->setValue(0);
    lblField_ = Label("lblField", "Field:", Frame3_);
    lblProgress_ = Label("lblProgress", "Status:", Frame3_);
    auto* progLayout = new QVBoxLayout(Frame3_);
    progLayout->addWidget(ctProgress_);
    progLayout->addWidget(lblField_);
    progLayout->addWidget(lblProgress_);

    right->addWidget(Frame2_, 3);
    right->addWidget(frmShowResults_, 3);
    right->addWidget(Frame3_);

    columns->addLayout(left, 5);
    columns->addLayout(right, 4);
    setCentralWidget(central);

    DatabaseDropMenu_ = new QMenu(this);
    DatabaseDropMenu_->setObjectName(QStringLiteral("DatabaseDropMenu"));

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(status);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panels_[i]->setMinimumWidth(i == 1 ? 140 : 90);
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        status->addPermanentWidget(panels_[i], i == 1 ? 1 : 0);
    }
    setStatusBar(status);
}

void Startup::BuildMenus() {
    auto* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnu_File"));
    file->menuAction()->setObjectName(QStringLiteral("mnu_File"));
    auto* exit = file->addAction(QStringLiteral("&Exit"));
    exit->setObjectName(QStringLiteral("mnu_Exit"));
    connect(exit, &QAction::triggered, this, Guard(&prompt(), "mnu_Exit_Click", [this] { EndProgram(); }));
}

void Startup::WireEvents() {
    ui::Prompt* p = &prompt();
    connect(toolbar_, &QtToolBar::ItemClick, this,
            Guard(p, "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
    connect(dxDatabases_, &DataGrid::CurrentRowChanged, this,
            Guard(p, "OnDatabaseRowChanged", [this] { OnDatabaseRowChanged(); }));
    connect(dxReports_, &DataGrid::LeftButtonPressed, this, Guard(p, "dxReports_MouseDown", [this] {
                const vb::Variant name = dxReports_->CurrentValue("ReportName");
                if (!name.IsNull()) SetLblReports(name.ToString());
            }));
    // Also when the list is read again or the keyboard moves the current row.
    connect(dxReports_, &DataGrid::CurrentRowChanged, this,
            Guard(p, "dxReports_RowChanged", [this] { ShowCurrentReportName(); }));
    connect(dxDatabases_, &DataGrid::RightButtonPressed, this,
            Guard(p, "setDropMenu", [this] { setDropMenu(1); }));
    connect(dxlnkSelectDatabase_, &QLabel::linkActivated, this,
            Guard(p, "AddDatabase", [this] { AddDatabase(); }));
    connect(dxReports_, &DataGrid::RightButtonPressed, this,
            Guard(p, "setDropMenu", [this] { setDropMenu(2); }));
    connect(dxConvertedReports_, &QWidget::customContextMenuRequested, this,
            Guard(p, "setDropMenu", [this] { setDropMenu(3); }));
    connect(dxConvertedReports_, &QListWidget::itemClicked, this,
            Guard(p, "dxConvertedReports_Click",
                  [this](QListWidgetItem* item) { dxConvertedReports_->setToolTip(item->text()); }));
}

void Startup::closeEvent(QCloseEvent* event) {
    // The window stays while a conversion runs (its converter is in use); the user chooses
    // whether it closes once the report in hand is done.
    if (converting_) {
        event->ignore();
        Guarded(&prompt(), "Form_QueryUnload", [this] { AskToStop(); });
        return;
    }
    Guarded(&prompt(), "Form_Terminate", [this] { Form_Terminate(); });
    QMainWindow::closeEvent(event);
}

void Startup::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (conversionsPrepared_ || loading_) return;
    conversionsPrepared_ = true;
    QTimer::singleShot(0, this, [this] {
        Guarded(&prompt(), "PrepareConversions", [this] { PrepareConversions(*services_.ctx); });
    });
}

void Startup::EndProgram() {
    ended_ = true;
    if (services_.endProgram) services_.endProgram();
}

void Startup::ShowError(const std::exception& e, const std::string& title) {
    prompt().MsgBox(e.what(), ui::vbOKOnly, title);
}

// --- ui::ProgressWindow -------------------------------------------------------------------

void Startup::AddResult(const std::string& line) {
    // Only what the list can show becomes a QString, whatever the length of the text: no
    // character takes more than four bytes, and a character cut in two is past what is shown.
    reportResults_->AddLine(Q(line.substr(0, 4 * ResultsList::kMaxChars)));
}

void Startup::ClearResults() {
    reportResults_->ClearLines();
}

void Startup::SetProgressMin(long v) {
    ctProgress_->setMinimum(static_cast<int>(v));
}

void Startup::SetProgressMax(long v) {
    ctProgress_->setMaximum(static_cast<int>(v));
}

void Startup::SetProgressValue(long v) {
    // The meter keeps its range: a value past the maximum widens it rather than being lost.
    if (v > ctProgress_->maximum()) ctProgress_->setMaximum(static_cast<int>(v));
    if (v < ctProgress_->minimum()) ctProgress_->setMinimum(static_cast<int>(v));
    progressValue_ = v;
    if (!converting_) {
        ShowProgressValue();
        return;
    }
    // The meter paints itself at once at each new value: while a request runs it takes the
    // value when the message loop next runs (a yield, a message box), once for all the values
    // written until then.
    if (!progressPending_) {
        progressPending_ = true;
        QTimer::singleShot(0, this, [this] {
            if (progressPending_) ShowProgressValue();
        });
    }
    YieldAtIntervals();
}

void Startup::ShowProgressValue() {
    progressPending_ = false;
    ctProgress_->setValue(static_cast<int>(progressValue_));
}

long Startup::ProgressValue() const {
    return progressValue_;
}

long Startup::ProgressMax() const {
    return ctProgress_->maximum();
}

void Startup::SetProgressVisible(bool visible) {
    // Hidden keeps its place in the layout, so the window does not jump while work runs.
    QSizePolicy policy = ctProgress_->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    ctProgress_->setSizePolicy(policy);
    ctProgress_->setVisible(visible);
}

void Startup::SetLblProgress(const std::string& caption) {
    lblProgress_->setText(Q(caption));
    if (converting_) YieldAtIntervals();
}

void Startup::SetLblField(const std::string& caption) {
    lblField_->setText(Q(caption));
    if (converting_) YieldAtIntervals();
}

void Startup::SetLblReports(const std::string& caption) {
    lblReports_->setText(Q(caption));
    if (converting_) YieldAtIntervals();
}

void Startup::SetStatusPanel(int panel, const std::string& text) {
    if (panel >= 1 && panel <= 3) panels_[panel - 1]->setText(Q(text));
}

std::string Startup::StatusPanel(int panel) const {
    if (panel < 1 || panel > 3) return {};
    return S(panels_[panel - 1]->text());
}

void Startup::DoEvents() {
    if (converting_) {
        YieldAtIntervals();
        return;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Startup::YieldAtIntervals() {
    if (lastYield_.isValid() && lastYield_.elapsed() < kYieldIntervalMs) return;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastYield_.start();
}

}  // namespace tolvaran
