// The main window's toolbar commands. Conversion requests and the source-database commands
// (151, 239, 240, 254) belong to windows that are not part of this build yet and do nothing.
#include <filesystem>

#include "shell/about_box.h"
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

}  // namespace tolvaran
