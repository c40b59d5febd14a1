// The shell tests run with one QApplication, offscreen unless QT_QPA_PLATFORM names another
// platform. The offscreen screen is a laptop's, 1366 x 768: the windows must open within it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::filesystem::path screens;
    if (platform.isEmpty() || platform == "offscreen") {
        screens = std::filesystem::temp_directory_path() /
                  ("tolvaran-shell-screens-" + std::to_string(::getpid()) + ".json");
        std::ofstream(screens) << R"({"screens": [{"name": "Laptop", "x": 0, "y": 0, "width": 1366, )"
                               << R"("height": 768, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screens.string().c_str());
    }
    QApplication app(argc, argv);
    if (!screens.empty()) std::filesystem::remove(screens);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
