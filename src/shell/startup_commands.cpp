// The main window's toolbar and context-menu commands. Conversion requests, removing an entry
// and the report windows (toolbar 151, 254; most menu items) belong to windows that are not
// part of this build yet: their items exist and do nothing. Add and Edit: startup_database_commands.cpp.
#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <filesystem>
#include <vector>

#include "shell/about_box.h"
#include "shell/qt_text.h"
#include "shell/qt_toolbar.h"
#include "shell/startup.h"
#include "shell/system_information.h"
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
        case 233:
            ShowAbout();
            break;
        case 239:
            AddDatabase();
            break;
        case 240:
            EditDatabase();
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
        QStringLiteral("QMenu { background-color: rgb(255, 255, 255); } QMenu::item:selected { "
                       "background-color: rgb(12, 45, 131); "
                       "color: white; }"));
    DatabaseDropMenu_->clear();
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
        action->setEnabled(item.enabling == 0 || (item.enabling == 1 && entry) ||
                           (item.enabling == 2 && report));
        connect(action, &QAction::triggered, this,
                [this, position] { DatabaseDropMenu_ItemClick(position); });
    }
}

void Startup::setDropMenu(int source) {
    FillDropMenu(source);
    DatabaseDropMenu_->popup(QCursor::pos());
}

void Startup::DatabaseDropMenu_ItemClick(int position) {
    if (menuSource_ == 1 && position == 1) AddDatabase();
    if (menuSource_ == 1 && position == 2) EditDatabase();
    if (menuSource_ == 1 && position == 5) RefreshCurrentDatabase();
    if (menuSource_ == 1 && position == 7) RefreshDatabaseList();
}

}  // namespace tolvaran
