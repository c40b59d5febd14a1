#pragma once
// The offscreen platform with a laptop's screen, 1366 x 768, for the programs that show
// windows without a display (the shell tests, bench_screens), so that windows are laid out
// and pictured as on that screen. Unless QT_QPA_PLATFORM names another platform, the
// constructor writes the screen's description to a file of this process and sets
// QT_QPA_PLATFORM to the offscreen platform with it; make the object before the QApplication.
// The file goes with the object (the platform reads it once, when the application is made).
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace test {

class LaptopScreen {
  public:
    LaptopScreen() {
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        if (platform && *platform && std::string(platform) != "offscreen") return;
        file_ = std::filesystem::temp_directory_path() /
                ("tolvaran-screens-" + std::to_string(::getpid()) + ".json");
        std::ofstream(file_) << R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1366, )"
                             << R"("height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file_.string()).c_str(), 1);
    }
    ~LaptopScreen() {
        std::error_code ec;
        if (!file_.empty()) std::filesystem::remove(file_, ec);
    }
    LaptopScreen(const LaptopScreen&) = delete;
    LaptopScreen& operator=(const LaptopScreen&) = delete;

  private:
    std::filesystem::path file_;
};

}  // namespace test
