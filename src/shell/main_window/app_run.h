#pragma once
// One run of the program: the Qt services, the registry file and the run context, and the
// main window built on them. The program's main and the start-up benchmark use it.
#include <memory>
#include <string>

#include "platform/registry/registry_file.h"
#include "platform/sqldmo/sqldmo.h"
#include "shell/main_window/startup.h"
#include "shell/qt/qt_common_dialog.h"
#include "shell/qt/qt_launcher.h"
#include "shell/qt/qt_prompt.h"
#include "shell/qt/qt_save_file.h"
#include "shell/report_windows/qt_report_windows.h"
#include "shell/source_database/select_database_opener.h"
#include "store/context.h"

namespace tolvaran {

class AppRun {
  public:
    // programFolder: the folder of the store files, icons, help file and registry.reg.
    explicit AppRun(std::string programFolder);
    ~AppRun();

    // Creates the main window and runs its load handler. False when the program was ended
    // during start-up (a second instance): the window is then not to be shown.
    bool Start();
    Startup& Window() { return *window_; }
    AppContext& Context() { return ctx_; }
    // The report viewer, error-log viewer and layout editor the main window opens.
    QtReportWindows& ReportWindowsOfRun() { return reportWindows_; }

  private:
    QtPrompt prompt_;
    QtHelpService help_;
    QtLauncher launcher_;
    QtSaveFileDialog saveFile_;
    QtCommonDialog commonDialog_;
    std::unique_ptr<registry::RegistryFile> registry_;
    std::unique_ptr<sqldmo::OdbcFactory> sqldmo_;
    std::unique_ptr<SelectDatabaseDialogs> selectDatabase_;
    AppContext ctx_;
    QtReportWindows reportWindows_;
    std::unique_ptr<Startup> window_;
};

}  // namespace tolvaran
