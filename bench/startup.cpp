// Start-up of the main window: from creating the run to the window shown with its lists,
// measured over several starts in a fresh program folder (copied from the folder of this
// program: the store templates, icons and registry). Prints the times in milliseconds.
//
//   bench_startup [runs] [--screenshot <file.png>] [--folder <program folder>]
// --folder starts in a prepared program folder instead of a fresh copy. The platform is "offscreen" unless
// QT_QPA_PLATFORM says otherwise; with --screenshot the window of the last run is saved as a picture.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/main_window/app_run.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int runs = 10;
    std::string screenshot, given;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--screenshot" && i + 1 < argc)
            screenshot = argv[++i];
        else if (a == "--folder" && i + 1 < argc)
            given = argv[++i];
        else
            runs = std::max(1, std::atoi(argv[i]));
    }

    const fs::path bin = QCoreApplication::applicationDirPath().toStdString();
    const fs::path folder =
        given.empty() ? fs::temp_directory_path() / ("tolvaran-bench-startup-" + std::to_string(::getpid()))
                      : fs::path(given);
    if (given.empty()) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const char* f : {"tolvaran.f1", "tolvaran.f2", "registry.reg"}) {
            if (!fs::exists(bin / f)) {
                std::fprintf(stderr, "missing %s beside the program (build the store templates first)\n", f);
                return 1;
            }
            fs::copy_file(bin / f, folder / f);
        }
        fs::copy(bin / "icons", folder / "icons", fs::copy_options::recursive);
    }

    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        auto run = std::make_unique<tolvaran::AppRun>(folder.string());
        if (!run->Start()) {
            std::fprintf(stderr, "start-up was refused\n");
            return 1;
        }
        run->Window().show();
        QApplication::processEvents();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (r == runs - 1 && !screenshot.empty()) {
            run->Window().grab().save(QString::fromStdString(screenshot));
            std::printf("screenshot: %s\n", screenshot.c_str());
        }
        run->Window().Form_Terminate();
    }
    if (given.empty()) fs::remove_all(folder);

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf(
        "start-up to window shown, %d runs: first %.1f ms, median %.1f ms, min %.1f ms, max %.1f ms\n", runs,
        ms.front(), sorted[sorted.size() / 2], sorted.front(), sorted.back());
    return 0;
}
