#pragma once
// The main window Startup: the program's start-up object. Its load handler (Form_Load) runs
// the numbered start-up steps; the window then holds the lists of source database entries,
// their reports and the converted reports, the message list and progress controls that scans
// and conversions write (as a ui::ProgressWindow), the toolbar, menus and status bar.
//
// The window owns the run's shared objects: the toolbar builder (gToolBar), the current entry
// (gDatabaseList), the links manager (gLinks), the options (gOptions), its own report record,
// the start-up log and the environment detection. The connections live in the AppContext.
#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/access/application.h"
#include "platform/ui/launcher.h"
#include "platform/ui/progress_window.h"
#include "shell/main_window/environment.h"
#include "shell/qt/results_list.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_image_list.h"
#include "store/context.h"
#include "store/grid_dataset.h"
#include "store/record_classes.h"
#include "store/report_files.h"
#include "store/text_log.h"

class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;

namespace tolvaran {

class DataGrid;
class InstanceLock;
class RequestPrompt;
class QtToolBar;
class ReportWindows;
class SelectDatabaseOpener;
class clsManageLinks;
class clsConvert;

// What the main window is given by whoever creates it (the program's main, a test, the
// start-up benchmark). The pointed-to objects must outlive the window.
struct StartupServices {
    // programFolder, prompt (required), help and registry; openConnection sets the
    // connections.
    AppContext* ctx = nullptr;
    ui::Launcher* launcher = nullptr;
    // Starts an Access automation instance; throws vb::ComError when Access cannot start.
    std::function<std::unique_ptr<access::Application>()> accessFactory;
    // Ends the program at once: no further step and no shutdown step (exit commands and the
    // second-instance refusal).
    std::function<void()> endProgram;
    // The report viewer, error-log viewer and layout editor the commands open; not owned.
    ReportWindows* reportWindows = nullptr;
    // Opens the source-database dialog (Add, Edit, "1. Select a Database"); not owned. Without
    // one those commands do nothing.
    SelectDatabaseOpener* selectDatabase = nullptr;
};

class Startup : public QMainWindow, public ui::ProgressWindow {
    Q_OBJECT
  public:
    static constexpr long kHelpContextId = 1;

    explicit Startup(StartupServices services, QWidget* parent = nullptr);
    ~Startup() override;

    // Start-up and shutdown.
    void Form_Load();
    void Form_Terminate();
    void OpenStartUpLog();
    void WriteToStartupLog(const std::string& text);
    void CloseStartupLog();
    void GetSystemDirectories();
    void GetCurrentAccessVersion();
    bool LoadImages();
    void LoadImagePaths();
    int AddOneImage(const std::string& pictureFile);
    void SetMainMenuToolBar() {}
    bool LoadPreferences();
    bool SavePreferences();
    void WriteCaptions();
    // True once the program was ended (a second instance refused, an exit command).
    bool Ended() const { return ended_; }

    // The lists.
    void SetDatabaseList();
    void RefreshDatabaseList();
    void LoadDatabaseList();
    void LoadReports(long databaseListId);
    void RefreshReports(long databaseListId) { LoadReports(databaseListId); }
    std::string GetAccessReportsCaption(long databaseListId);
    void LoadConvertedReports(long databaseListId);
    bool SetExportedReportsPath();
    // True when the current entry's converted-reports folder exists or could be made (the
    // user is told where); else the user is told which folder is missing.
    bool EnsureConvertedReportsFolder();
    void RefreshCurrentDatabase();
    bool LoadTables(long databaseListId);
    void CheckReport(const std::string& reportName, long databaseListId);
    bool HasSelectedDatabase();
    bool HasSelectedReport();
    void ExamineDB() {}

    // Commands.
    void EToolBar_ItemClick(int index);
    void ShowAbout();
    void ShowSystemInformation();
    // The context menus: 1 databases, 2 reports, 3 converted reports. setDropMenu fills
    // DatabaseDropMenu for the source and pops it up; FillDropMenu only fills it.
    void setDropMenu(int source);
    void FillDropMenu(int source);
    void DeleteRetiredMenuActions();
    // The clicked item's position from 1 (separators count).
    void DatabaseDropMenu_ItemClick(int position);
    // The source-database dialog for a new entry, then the entry list and the reports of the
    // current entry are refreshed.
    void AddDatabase();
    // The source-database dialog for the current entry, then the entry list is refreshed.
    void EditDatabase();
    QMenu* DatabaseDropMenu() const { return DatabaseDropMenu_; }
    void RemoveDatabaseFromList(long databaseListId);
    void ViewCurrentlySelectedReport();

    // Conversion requests (startup_conversion.cpp). convertAll: every report of the current
    // entry, else the selected reports or the current one.
    void InitiateReportConversion(bool convertAll);
    void ConvertAllReports(long databaseListId);
    void ConvertSelectedReports(long databaseListId);
    // How the reports of a batch ended: converted cleanly, converted with error rows, or not
    // converted (the report was not built or not saved), with the failed reports' names.
    struct BatchTally {
        int converted = 0;
        int withProblems = 0;
        int failed = 0;
        std::vector<std::string> failedReports;
        int left = 0;  // reports not reached: the batch was stopped
        int kept = 0;  // messages of the request kept in the reports' logs rather than shown
    };
    // One report; batch: one of several in a request (no error message, no viewer, the meter
    // stays). True when it was converted without error rows. tally, when given, counts how
    // it ended.
    bool ConvertReports(long databaseListId, long reportId, bool batch, BatchTally* tally = nullptr);
    // The message that ends a batch: how many reports converted, with problems, failed, were
    // left unconverted, and how many messages were not shown.
    static std::string BatchSummary(const BatchTally& tally);
    // Shown when something failed, had problems or was left, or a message was not shown; a
    // batch in which every report converted cleanly ends quietly.
    void ShowBatchSummary(BatchTally& tally);
    // Closing the window while a request runs asks this; Yes stops a batch after the report
    // in hand, and the window closes when the request has ended.
    static constexpr const char* kStopQuestion =
        "Reports are being converted. Stop after the current report and close Tolvaran?";
    // Whether the error log holds a row of the report whose severity is not 5 (a row without
    // one included).
    bool ReportHadErrors(long reportId);
    // The several-reports flag: True from a request for several reports until the next
    // single-report request.
    bool SeveralReports() const { return severalReports_; }
    // True while a request runs; its commands and the hyperlinks are disabled meanwhile.
    bool Converting() const { return converting_; }
    // The converter of the latest conversion (null before one).
    clsConvert* CurrentConverter() const { return converter_.get(); }

    // ui::ProgressWindow: ReportResults, ctProgress, the labels, the status panels.
    void AddResult(const std::string& line) override;
    void ClearResults() override;
    void SetProgressMin(long v) override;
    void SetProgressMax(long v) override;
    void SetProgressValue(long v) override;
    long ProgressValue() const override;
    long ProgressMax() const override;
    void SetProgressVisible(bool visible) override;
    void SetLblProgress(const std::string& caption) override;
    void SetLblField(const std::string& caption) override;
    void SetLblReports(const std::string& caption) override;
    void SetStatusPanel(int panel, const std::string& text) override;
    std::string StatusPanel(int panel) const;
    // Lets the message loop run once; while a request runs, at most once per interval (see
    // YieldAtIntervals).
    void DoEvents() override;

    // Shared values of the run.
    std::string gCrystalVersion = "0.00";
    std::string gCurrentAccessVersion;
    std::string gReportsDatabaseVersion;
    const std::string& WindowsDir() const { return windowsDir_; }
    const std::string& SystemDir() const { return systemDir_; }

    // Shared objects owned by the window.
    clsToolBar& gToolBar() { return toolbarBuilder_; }
    clsDatabaseList& gDatabaseList() { return databaseList_; }
    clsManageLinks& gLinks() { return *links_; }
    clsOptions& gOptions() { return options_; }
    clsReport& ReportRecord() { return report_; }
    Environment& Env() { return env_; }
    QtImageList& ImageList() { return images_; }
    AppContext& Context() { return *services_.ctx; }

    QtToolBar* EToolBar() const { return toolbar_; }
    DataGrid* dxDatabases() const { return dxDatabases_; }
    DataGrid* dxReports() const { return dxReports_; }
    QGroupBox* frmReports() const { return frmReports_; }
    // The file dialog control, made when it is first asked for (making it costs a good part of
    // the window's start-up).
    QFileDialog& ctFile1();
    QListWidget* dxConvertedReports() const { return dxConvertedReports_; }
    QListWidget* ReportResults() const { return reportResults_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // After the first paint, what conversions share is made ready (PrepareConversions), while
    // the user has not asked for anything yet.
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildLayout();
    void BuildMenus();
    void WireEvents();
    // The user's prompt: while a request runs, the run's prompt is the request's.
    ui::Prompt& prompt() const { return userPrompt_ ? *userPrompt_ : *services_.ctx->prompt; }
    // The converted-reports list read again: at once outside a request, else when the
    // message loop next runs (and at the request's end).
    void RefreshConvertedReports();
    // Asks whether to stop the running request (once); true when it is to stop.
    bool AskToStop();
    // A message of the request's work not shown: into the log of the report in hand (its rows
    // and its text log), else into the text log when one is open.
    void KeepMessage(const std::string& text, const std::string& title);
    void EndProgram();
    long CurrentDatabaseListId(long missing);
    void OnDatabaseRowChanged();
    // A change of the current entry: the message list, the progress captions and the status
    // panels stop showing the entry before (-1: none is current).
    void ShowEntry(long databaseListId);
    // lblReports names the report of the reports grid's current row, the one Convert converts.
    void ShowCurrentReportName();
    static constexpr const char* kNoReportCaption = "Select a Report to Convert";
    void ShowError(const std::exception& e, const std::string& title);
    // The ReportId of the reports grid's current row; 0 when there is none.
    long CurrentReportId();
    // A conversion writes the progress controls at every step and yields after each; the window
    // lets the message loop run (and repaints) at most once per interval, so that painting
    // costs the same however many steps a conversion has.
    void YieldAtIntervals();
    // Puts the value last written into the meter.
    void ShowProgressValue();
    static constexpr qint64 kYieldIntervalMs = 40;
    // Hyperlinks, the double click on a converted report (startup_commands.cpp).
    void WireCommands();
    // Enables or disables the conversion commands, the entry commands and the hyperlinks.
    void SetRequestCommandsEnabled(bool enabled);
    // The item data of a dxConvertedReports line that holds the file's name on disk (bytes).
    static constexpr int kFileNameRole = Qt::UserRole + 1;
    // The selected line of dxConvertedReports split into folder and file (false: none).
    bool SelectedConvertedReport(std::string& folder, std::string& file);
    void DeleteConvertedReport();
    void EditConvertedReport();

    StartupServices services_;
    bool ended_ = false;
    bool loading_ = false;
    bool conversionsPrepared_ = false;
    // The entry whose lists the window shows (0 before the first, -1 none); the entry grid is
    // being read again (its passing rows are not shown); a new entry is being appended.
    long shownEntry_ = 0;
    bool refreshingEntries_ = false;
    bool appendingEntry_ = false;
    // The engine version of each entry scanned in this run (status panel 1).
    std::map<long, std::string> scannedVersions_;
    int menuSource_ = 0;
    // Commands of DatabaseDropMenu being run, and the actions of earlier fillings kept until none
    // runs: a command may let the message loop run (a conversion does), and a right-click then
    // refills the menu; deleting the running command's action under it would crash.
    int menuClicking_ = 0;
    std::vector<QAction*> retiredMenuActions_;
    bool severalReports_ = false;
    bool converting_ = false;
    // Set by closing the window during a request: no further report is converted, and the
    // window closes once the request has ended.
    bool stopRequested_ = false;
    bool closeWhenDone_ = false;
    ui::Prompt* userPrompt_ = nullptr;        // during a request: the user's prompt
    RequestPrompt* requestPrompt_ = nullptr;  // during a request: the prompt its work uses
    clsConvert* reportInHand_ = nullptr;      // the converter of the conversion running now
    QElapsedTimer lastYield_;                 // since a request last yielded (invalid before)
    long progressValue_ = 0;                  // the meter's value as last written
    bool progressPending_ = false;            // the meter does not show it yet
    bool convertedPending_ = false;           // the converted-reports list is to be read again
    // The file names of the reports of the entry a request converts, read once at its start;
    // requestFilesEntry_ is that entry, 0 outside a request or when they could not be read.
    std::vector<ReportFile> requestFiles_;
    long requestFilesEntry_ = 0;
    // Toolbar items disabled for a running request, with whether each was enabled before.
    std::vector<std::pair<int, bool>> heldToolbarItems_;

    clsWriteToText startupLog_;
    clsWriteToText errorLogWriter_;  // the per-report error log of conversions
    std::unique_ptr<InstanceLock> instanceLock_;
    std::string windowsDir_, systemDir_;

    QtImageList images_;
    clsToolBar toolbarBuilder_;
    clsDatabaseList databaseList_;
    std::unique_ptr<clsManageLinks> links_;
    clsOptions options_;
    clsReport report_;
    std::unique_ptr<SoftwareKeys> keys_;
    Environment env_;
    std::unique_ptr<GridDataset> entryDataset_;
    // The converter of the latest conversion, kept until the next one or shutdown.
    std::unique_ptr<clsConvert> converter_;

    // Controls (named as objectName).
    QtToolBar* toolbar_ = nullptr;
    QGroupBox* frmDatabaseList_ = nullptr;
    DataGrid* dxDatabases_ = nullptr;
    QLabel* Label2_ = nullptr;
    QGroupBox* frmReports_ = nullptr;
    DataGrid* dxReports_ = nullptr;
    QLabel* lblReports_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QListWidget* dxConvertedReports_ = nullptr;
    QLabel* Label7_ = nullptr;
    QGroupBox* frmShowResults_ = nullptr;
    ResultsList* reportResults_ = nullptr;
    QGroupBox* Frame3_ = nullptr;
    QProgressBar* ctProgress_ = nullptr;
    QLabel* lblField_ = nullptr;
    QLabel* lblProgress_ = nullptr;
    QLabel* dxlnkSelectDatabase_ = nullptr;
    QLabel* dxlnkSelectReport_ = nullptr;
    QLabel* dxlnkPreview_ = nullptr;
    QLabel* Label1_ = nullptr;
    QMenu* DatabaseDropMenu_ = nullptr;
    QFileDialog* ctFile1_ = nullptr;
    QLabel* panels_[3] = {nullptr, nullptr, nullptr};
};

}  // namespace tolvaran
