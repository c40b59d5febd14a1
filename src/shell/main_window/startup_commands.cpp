// The main window's commands: the toolbar, the three context menus, the hyperlinks, the double
// click on a converted report, removing an entry, and viewing, editing and deleting converted
// reports. The report windows open through ReportWindows; conversions are in
// startup_conversion.cpp, adding and editing an entry in startup_database_commands.cpp.
#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScopeGuard>
#include <QTextDocumentFragment>
#include <filesystem>
#include <vector>

#include "shell/main_window/about_box.h"
#include "shell/main_window/startup.h"
#include "shell/main_window/system_information.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/report_windows/report_windows.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/report_files.h"
#include "store/support.h"

namespace tolvaran {

void Startup::EToolBar_ItemClick(int index) {
    switch (toolbar_->ItemCtrlID(index)) {
        case 63: {
            // The product's page, shipped beside the program.
            const std::string page = services_.ctx->InFolder("tolvaran.htm");
            if (std::filesystem::exists(page)) services_.launcher->Open(page);
            break;
        }
        case 70:
            ShowHelp(*services_.ctx, kHelpContextId);
            break;
        case 81:
            EndProgram();
            break;
        case 84:
            SavePreferences();
            break;
        case 151:
            InitiateReportConversion(false);
            break;
        case 233:
            ShowAbout();
            break;
        case 239:
            AddDatabase();
            break;
        case 240:
            EditDatabase();
            break;
        case 254:
            RemoveDatabaseFromList(CurrentDatabaseListId(0));
            break;
        case 260:
            ShowSystemInformation();
            break;
        case 263:
            env_.RunUpdater();
            break;
        default:
            break;
    }
}

void Startup::ShowAbout() {
    frmAbout about(
        env_, GetVersionCaption(Environment::CrystalVersionName(gCrystalVersion)), [this] { EndProgram(); },
        this);
    about.exec();
}

void Startup::ShowSystemInformation() {
    SystemInformation info(env_, toolbarBuilder_, this);
    info.exec();
}

namespace {

struct MenuItem {
    const char* text;   // nullptr: a separator
    const char* image;  // picture file in icons/, nullptr for none
    int enabling;       // 0 always, 1 a current entry, 2 a current report
};

const std::vector<MenuItem>& ItemsOf(int source) {
    static const std::vector<MenuItem> databases = {
        {"&Add Database Reference", "blankpage.ico", 0},        {"&Edit Reference", "icon_edit.ico", 1},
        {"&Remove from List", "redcircleminus.ico", 1},         {nullptr, nullptr, 0},
        {"&Refresh Database Reports", "greencheckmark.ico", 1}, {nullptr, nullptr, 0},
        {"&Refresh Database List", "database.ico", 0}};
    static const std::vector<MenuItem> reports = {{"&Convert Access Report", "greentrafficlight.ico", 2},
                                                  {"&Convert All Reports", "greentrafficlight.ico", 0},
                                                  {"&View Log", "icon_view.ico", 2},
                                                  {"&Change Report Settings", nullptr, 2}};
    static const std::vector<MenuItem> converted = {{"&View Report", "icon_view.ico", 0},
                                                    {"&Edit Report", "icon_edit.ico", 0},
                                                    {"&Delete Report", "redcircleminus.ico", 0}};
    static const std::vector<MenuItem> none;
    switch (source) {
        case 1:
            return databases;
        case 2:
            return reports;
        case 3:
            return converted;
        default:
            return none;
    }
}

}  // namespace

void Startup::FillDropMenu(int source) {
    // White items, dark blue for the item under the pointer.
    DatabaseDropMenu_->setStyleSheet(
        QStringLiteral("QMenu { background-color: rgb(255, 255, 255); border: 1px solid rgb(12, 45, 131); } "
                       "QMenu::item:selected { "
                       "background-color: rgb(12, 45, 131); "
                       "color: white; }"));
    for (QAction* old : DatabaseDropMenu_->actions()) {
        DatabaseDropMenu_->removeAction(old);
        retiredMenuActions_.push_back(old);
    }
    DeleteRetiredMenuActions();
    menuSource_ = source;
    const bool entry = HasSelectedDatabase();
    const bool report = source == 2 && HasSelectedReport();
    int position = 0;
    for (const MenuItem& item : ItemsOf(source)) {
        ++position;
        if (!item.text) {
            DatabaseDropMenu_->addSeparator();
            continue;
        }
        QAction* action = DatabaseDropMenu_->addAction(Q(item.text));
        if (item.image)
            action->setIcon(QIcon(Q(services_.ctx->InFolder(std::string("icons/") + item.image))));
        // While a request runs, its commands and those that change the entry are held.
        const bool held = converting_ && ((source == 1 && position <= 3) || (source == 2 && position <= 2));
        action->setEnabled(
            !held && (item.enabling == 0 || (item.enabling == 1 && entry) || (item.enabling == 2 && report)));
        connect(action, &QAction::triggered, this,
                Guard(&prompt(), "DatabaseDropMenu_ItemClick", [this, position] {
                    ++menuClicking_;
                    const auto done = qScopeGuard([this] {
                        --menuClicking_;
                        DeleteRetiredMenuActions();
                    });
                    DatabaseDropMenu_ItemClick(position);
                }));
    }
}

void Startup::DeleteRetiredMenuActions() {
    if (menuClicking_ > 0) return;
    // Later, not now: the last command's own action may be among them, still inside its click.
    for (QAction* old : retiredMenuActions_) old->deleteLater();
    retiredMenuActions_.clear();
}

void Startup::setDropMenu(int source) {
    FillDropMenu(source);
    DatabaseDropMenu_->popup(QCursor::pos());
}

void Startup::DatabaseDropMenu_ItemClick(int position) {
    switch (menuSource_ * 10 + position) {
        case 11:
            AddDatabase();
            break;
        case 12:
            EditDatabase();
            break;
        case 13:
            RemoveDatabaseFromList(CurrentDatabaseListId(0));
            break;
        case 15:
            RefreshCurrentDatabase();
            break;
        case 17:
            RefreshDatabaseList();
            break;
        case 21:
            InitiateReportConversion(false);
            break;
        case 22:
            InitiateReportConversion(true);
            break;
        case 23:
            if (CurrentDatabaseListId(0) > 0 && services_.reportWindows)
                services_.reportWindows->ShowModal(CurrentReportId());
            break;
        case 24:
            if (CurrentReportId() > 0 && services_.reportWindows)
                services_.reportWindows->ChangeReport(std::to_string(CurrentReportId()));
            break;
        case 31:
            ViewCurrentlySelectedReport();
            break;
        case 32:
            EditConvertedReport();
            break;
        case 33:
            DeleteConvertedReport();
            break;
        default:
            break;
    }
}

void Startup::WireCommands() {
    ui::Prompt* p = &prompt();
    connect(dxlnkSelectReport_, &QLabel::linkActivated, this,
            Guard(p, "InitiateReportConversion", [this] { InitiateReportConversion(false); }));
    connect(dxlnkPreview_, &QLabel::linkActivated, this,
            Guard(p, "ViewCurrentlySelectedReport", [this] { ViewCurrentlySelectedReport(); }));
    connect(dxConvertedReports_, &QListWidget::itemDoubleClicked, this,
            Guard(p, "ViewCurrentlySelectedReport", [this] { ViewCurrentlySelectedReport(); }));
}

void Startup::SetRequestCommandsEnabled(bool enabled) {
    if (!enabled) {
        heldToolbarItems_.clear();
        for (int i = 1; i <= toolbar_->ItemCount(); ++i) {
            const long id = toolbar_->ItemCtrlID(i);
            if (id != 151 && id != 239 && id != 240 && id != 254) continue;
            heldToolbarItems_.emplace_back(i, toolbar_->Item(i).enabled);
            toolbar_->setItemEnabled(i, false);
        }
    } else {
        for (const auto& [index, was] : heldToolbarItems_) toolbar_->setItemEnabled(index, was);
        heldToolbarItems_.clear();
    }
    // A held hyperlink shows its caption as plain text, which a disabled label draws grey (a
    // link keeps its link colour); its link comes back with it.
    for (QLabel* link : {dxlnkSelectDatabase_, dxlnkSelectReport_, dxlnkPreview_}) {
        if (!enabled && link->isEnabled()) {
            link->setProperty("heldLink", link->text());
            link->setText(QTextDocumentFragment::fromHtml(link->text()).toPlainText());
        } else if (enabled && !link->isEnabled()) {
            link->setText(link->property("heldLink").toString());
        }
        link->setEnabled(enabled);
    }
}

void Startup::RemoveDatabaseFromList(long databaseListId) {
    try {
        if (databaseListId == 0) {
            prompt().MsgBox("Please select a database from the list first", ui::vbOKOnly, "Tolvaran");
            return;
        }
        if (prompt().MsgBox("Are you sure?", ui::vbYesNoCancel | ui::vbQuestion,
                            "Remove Database from List") != ui::vbYes)
            return;
        DatasetModel& entries = dxDatabases_->Dataset();
        for (int row = 0; row < entries.RowCount(); ++row) {
            if (entries.Value(row, "DatabaseListId") == vb::Variant(databaseListId)) {
                entries.Delete(row);
                break;
            }
        }
        RefreshDatabaseList();
        // With no entry left the lists show nothing rather than the removed entry's reports.
        if (CurrentDatabaseListId(-1) == -1) {
            LoadReports(0);
            dxConvertedReports_->clear();
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
}

namespace {

// The report of the entry whose file a converted report was saved under: the one whose file
// stem with ".rpt" is the file name (compared exactly, then without regard to case); 0 when
// none is.
long ReportOfFile(const ado::ConnectionPtr& db, long databaseListId, const std::string& file) {
    long folded = 0;
    for (const ReportFile& report : ReportFilesOfEntry(db, databaseListId)) {
        const std::string saved = report.stem + ".rpt";
        if (saved == file) return report.reportId;
        if (folded == 0 && Q(saved).compare(Q(file), Qt::CaseInsensitive) == 0) folded = report.reportId;
    }
    return folded;
}

}  // namespace

bool Startup::SelectedConvertedReport(std::string& folder, std::string& file) {
    const QList<QListWidgetItem*> selected = dxConvertedReports_->selectedItems();
    if (selected.isEmpty()) return false;
    const QVariant onDisk = selected.front()->data(kFileNameRole);
    const std::string line =
        onDisk.isValid() ? onDisk.toByteArray().toStdString() : S(selected.front()->text());
    folder = GetFilePath(line);
    if (folder.empty()) folder = databaseList_.ConvertedReportsPath;
    file = GetFileName(line);
    return true;
}

void Startup::ViewCurrentlySelectedReport() {
    try {
        std::string folder, file;
        if (!SelectedConvertedReport(folder, file)) {
            prompt().MsgBox("Please Select a report!", ui::vbExclamation, "Tolvaran");
            return;
        }
        const long entry = CurrentDatabaseListId(0);
        const long reportId = ReportOfFile(services_.ctx->gDb, entry, file);
        report_.DatabaseListId = entry;
        if (reportId != 0) report_.LoadRecord(reportId);
        if (services_.reportWindows) services_.reportWindows->ViewReport(reportId, file, folder);
    } catch (const std::exception& e) {
        ShowError(e, "View Selected Report");
    }
}

void Startup::EditConvertedReport() {
    std::string folder, file;
    if (SelectedConvertedReport(folder, file) && !file.empty())
        env_.OpenReportInCrystal(JoinPath(folder, file), gCrystalVersion);
}

void Startup::DeleteConvertedReport() {
    std::string folder, file;
    if (!SelectedConvertedReport(folder, file) || file.empty()) return;
    if (prompt().MsgBox("Are you sure you want to physically delete this report?",
                        ui::vbYesNoCancel | ui::vbQuestion, "Delete Crystal Report") != ui::vbYes)
        return;
    const std::filesystem::path path = JoinPath(folder, file);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
    if (ec) prompt().MsgBox(ec.message(), ui::vbOKOnly, "Delete Crystal Report");
    LoadConvertedReports(CurrentDatabaseListId(0));
}

}  // namespace tolvaran
