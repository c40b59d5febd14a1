// The main window as it starts in a fresh program folder.
#include "screens/screens.h"
#include "shell/main_window/app_run.h"

TOLVARAN_SCREEN("main_window_fresh", [](screens::Session& s) {
    tolvaran::AppRun run(s.FreshProgramFolder("main").string());
    if (!run.Start()) return;
    run.Window().resize(1180, 720);
    s.Save(run.Window(), "main_window_fresh");
    run.Window().Form_Terminate();
});
