#pragma once
// What the report viewer, the error-log viewer and the layout editor are given: the run
// context, the toolbar builder, the designer launch, the save-file dialog, and how a window is
// shown modally. The pointed-to objects must outlive the windows.
#include <QDialog>
#include <functional>
#include <string>

#include "platform/ado/ado.h"
#include "platform/ui/save_file.h"

namespace tolvaran {

struct AppContext;
class Environment;
class clsToolBar;

struct ReportWindowServices {
    // programFolder, gDb (the lists file), prompt and help.
    AppContext* ctx = nullptr;
    // gToolBar: fills each window's EToolBar.
    clsToolBar* toolbars = nullptr;
    // Starts the designer program on a report file; none: the command does nothing.
    const Environment* env = nullptr;
    // gCrystalVersion at the moment the designer is started.
    std::function<std::string()> crystalVersion;
    // Asks where the error-log viewer saves its grid; none: "Save As" saves nothing.
    ui::SaveFileDialog* saveFile = nullptr;
    // The window the report windows are modal to.
    QWidget* owner = nullptr;
    // Shows a window modally and returns when it is closed; empty: the window's own exec().
    // Tests look at the window here instead of blocking.
    std::function<void(QDialog&)> runModal;
};

inline void RunModal(const ReportWindowServices& services, QDialog& window) {
    if (services.runModal)
        services.runModal(window);
    else
        window.exec();
}

// A new connection to the lists file, for a window that was given none: on the connection
// string of gDb when that is open, else on the lists file of the program folder. Throws
// vb::ComError when it cannot be opened.
ado::ConnectionPtr OpenListsConnection(const AppContext& ctx);

}  // namespace tolvaran
