// The main window's load handler, its steps, and shutdown.
#include <QApplication>
#include <QDir>

#include "convert/convert.h"
#include "platform/common/com_error.h"
#include "shell/main_window/instance_lock.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/qt_text.h"
#include "shell/toolbar/qt_toolbar.h"
#include "sources/links_manager.h"
#include "store/internal_store.h"
#include "store/support.h"

namespace tolvaran {
namespace {

constexpr const char* kCrLf = "\r\n";

// The thirty toolbar images in slot order; the stored toolbar rows refer to them by slot.
constexpr const char* kImageFiles[30] = {"arrowleft2.ico",
                                         "icon_edit.ico",
                                         "excel.ico",
                                         "greencheckmark.ico",
                                         "networkdrive.ico",
                                         "refresh.ico",
                                         "SearchWizard.ico",
                                         "icon_view.ico",
                                         "redcircleminus.ico",
                                         "database.ico",
                                         "greentrafficlight.ico",
                                         "yellowtrafficlight.ico",
                                         "blankpage.ico",
                                         "webpages.ico",
                                         "undo.ico",
                                         "redpencil.ico",
                                         "PRINTER.ico",
                                         "BLUEBERRY.ico",
                                         "brenmoor32-2.ico",
                                         "mgmtconsole.ico",
                                         "mainmenu.ico",
                                         "services.ico",
                                         "sorter.ico",
                                         "tool.ico",
                                         "YELLOWQUESTION.ico",
                                         "redtrafficlight.ico",
                                         "database.gif",
                                         "DatabaseAdd.gif",
                                         "DatabaseWarning.gif",
                                         "Databasecheck.gif"};

}  // namespace

void Startup::Form_Load() {
    loading_ = true;
    std::string step;
    try {
        gCrystalVersion = "0.00";
        // A second instance is refused before it opens the start-up log, which would empty the
        // running instance's log, and before step 4, which replaces the settings file.
        instanceLock_ = std::make_unique<InstanceLock>(services_.ctx->programFolder);
        if (!instanceLock_->TryLock()) {
            prompt().MsgBox("You can only run one instance of Tolvaran at a time", ui::vbOKOnly, "Tolvaran");
            loading_ = false;
            EndProgram();
            return;
        }
        OpenStartUpLog();
        services_.ctx->startupLog = &startupLog_;

        step = "1";
        WriteToStartupLog("GetCurrentCrystalInstalls");
        const std::string crystalList = std::string("Versions of Crystal currently installed") + kCrLf +
                                        env_.GetCurrentCrystalInstalls() + std::string(28, '-') + kCrLf;

        step = "2";
        if (env_.IsCrystal10Installed()) {
            gCrystalVersion = "10.0";
        } else {
            prompt().MsgBox(crystalList + kCrLf + kCrLf +
                                "Required Version: Crystal 10 Advanced Developer is not installed",
                            ui::vbCritical | ui::vbOKOnly, "CORRECT VERSION MISSING");
            prompt().MsgBox(
                std::string("This version of Tolvaran is designed for a different version of Crystal "
                            "Reports than you have installed.  You will not be able to convert reports "
                            "with this tool until you install Crystal Reports ") +
                    "10.0",
                ui::vbCritical | ui::vbOKOnly, "Install Issue");
        }

        step = "3";
        WriteToStartupLog("GetSystemDirectories");
        GetSystemDirectories();

        step = "4";
        WriteToStartupLog("CheckAndTransferData");
        CheckAndTransferData(*services_.ctx);

        step = "5";
        WriteToStartupLog("OpenConnection");
        bool refused = false;
        if (!openConnection(*services_.ctx, &refused)) {
            // A lists file that is there but locked or read-only was named with its cause.
            if (!refused)
                prompt().MsgBox("One or more application files are missing or corrupted. Please re-install.",
                                ui::vbCritical | ui::vbOKOnly, "Tolvaran");
            loading_ = false;
            return;
        }

        step = "53";
        WriteToStartupLog("GetCurrentAccessVersion");
        GetCurrentAccessVersion();

        step = "6";
        WriteToStartupLog("LoadImages");
        LoadImages();
        toolbarBuilder_.setConn(services_.ctx->gInternalDb);
        toolbarBuilder_.setImageList(&images_);
        toolbarBuilder_.Load(*toolbar_, "MainMenu");
        toolbar_->Render();

        step = "7";
        WriteToStartupLog("SetDatabaseList");
        databaseList_.setDb(services_.ctx->gDb);
        SetDatabaseList();

        step = "8";
        links_->setDb(services_.ctx->gDb);

        step = "9";
        report_.setDb(services_.ctx->gDb);

        step = "10";
        WriteToStartupLog("LoadPreferences");
        LoadPreferences();

        step = "11";
        WriteToStartupLog("LoadReports");
        const long id = CurrentDatabaseListId(0);
        LoadReports(id);
        LoadConvertedReports(id);
        SetStatusPanel(3, gCurrentAccessVersion);

        step = "12";
        WriteCaptions();
    } catch (const std::exception& e) {
        prompt().MsgBox(step + ":" + e.what(), ui::vbOKOnly, "Tolvaran");
    }
    loading_ = false;
}

void Startup::Form_Terminate() {
    try {
        CloseStartupLog();
    } catch (const std::exception&) {
    }
    try {
        if (converter_) converter_->CloseAccess();
    } catch (const std::exception&) {
    }
    converter_.reset();
    services_.ctx->startupLog = nullptr;
}

void Startup::OpenStartUpLog() {
    startupLog_.FilePath = services_.ctx->programFolder;
    startupLog_.Filename = "Startup";
    startupLog_.Extension = ".log";
    startupLog_.Create_File();
}

void Startup::WriteToStartupLog(const std::string& text) {
    startupLog_.PutToFile(text);
}

void Startup::CloseStartupLog() {
    startupLog_.close_file();
}

void Startup::GetSystemDirectories() {
    try {
        windowsDir_ = GetWindowsDir();
        systemDir_ = GetSystemDir();
    } catch (const std::exception& e) {
        ShowError(e, "GetSystemDirectories");
    }
}

void Startup::GetCurrentAccessVersion() {
    try {
        if (!services_.accessFactory) throw vb::ComError(429, "ActiveX component can't create object");
        std::unique_ptr<access::Application> app = services_.accessFactory();
        gCurrentAccessVersion = app->DBEngine().Version();
    } catch (const std::exception&) {
        gCurrentAccessVersion = "ERROR";
    }
}

bool Startup::LoadImages() {
    int progress = 0;
    try {
        progress = 1;
        ado::Recordset rs;
        rs.Open("SELECT * FROM ImageList WHERE \"Index\" > 0 ORDER BY \"Index\"", services_.ctx->gInternalDb,
                ado::adOpenStatic, ado::adLockPessimistic);
        progress = 2;
        images_.Clear();
        LoadImagePaths();
        rs.Close();
        return true;
    } catch (const std::exception& e) {
        const std::string text = "(" + std::to_string(progress) + "): " + e.what();
        prompt().MsgBox(text, ui::vbOKOnly, "LoadImages");
        WriteToStartupLog(text);
        return false;
    }
}

void Startup::LoadImagePaths() {
    for (const char* name : kImageFiles) AddOneImage(services_.ctx->InFolder(std::string("icons/") + name));
}

int Startup::AddOneImage(const std::string& pictureFile) {
    try {
        const int index = images_.Add(pictureFile);
        if (index == 0) throw vb::ComError(481, "Invalid picture: " + pictureFile);
        return index;
    } catch (const std::exception& e) {
        WriteToStartupLog(std::string("AddOneImage:") + e.what());
        return 0;
    }
}

bool Startup::LoadPreferences() {
    try {
        options_.setDb(services_.ctx->gInternalDb);
        options_.LoadRecord(1);  // shows and keeps its own errors
        return true;
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
        AppendErrorLog(*services_.ctx, e.what(), "n/a", "n/a", "n/a", "LoadPreferences");
        return false;
    }
}

bool Startup::SavePreferences() {
    try {
        options_.SaveRecord(1);  // shows and keeps its own errors
        return true;
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
        AppendErrorLog(*services_.ctx, e.what(), "n/a", "n/a", "n/a", "SavePreferences");
        return false;
    }
}

void Startup::WriteCaptions() {
    WriteToStartupLog("AssignCaptions");
    setWindowTitle(Q(GetVersionCaption(Environment::CrystalVersionName(gCrystalVersion))));
}

}  // namespace tolvaran
