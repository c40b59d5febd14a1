// Saves a picture of every window state, so anyone can look at the windows again.
//
//   bench_screens <folder> [scene-name-part ...]
// Writes <folder>/<scene>.png for every registered scene (bench/screens/*.cpp), or only for the
// scenes whose names contain one of the given parts. The platform is "offscreen" with a
// laptop's screen (1366 x 768) unless QT_QPA_PLATFORM says otherwise (run under xvfb-run for
// the desktop's fonts and style).
#include "screens/screens.h"

#include <unistd.h>

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "support/laptop_screen.h"

namespace fs = std::filesystem;

namespace screens {

std::vector<SceneEntry>& Scenes() {
    static std::vector<SceneEntry> scenes;
    return scenes;
}

bool Register(const std::string& name, Scene scene) {
    Scenes().push_back({name, std::move(scene)});
    return true;
}

Session::Session(fs::path out, fs::path bin) : out_(std::move(out)), bin_(std::move(bin)) {}

Session::~Session() {
    std::error_code ec;
    for (const auto& f : folders_) fs::remove_all(f, ec);
}

fs::path Session::FreshProgramFolder(const std::string& tag) {
    const fs::path folder = fs::temp_directory_path() / ("tolvaran-screens-" + std::to_string(::getpid()) +
                                                         "-" + tag + "-" + std::to_string(folders_.size()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Everything that ships beside the program, without the programs themselves.
    for (const auto& entry : fs::directory_iterator(bin_)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("bench_", 0) == 0 || name.rfind("fuzz_", 0) == 0 || name.rfind("tests_", 0) == 0)
            continue;
        if (entry.is_directory())
            fs::copy(entry.path(), folder / name, fs::copy_options::recursive);
        else if (name.find('.') != std::string::npos)  // data files; the programs have no extension
            fs::copy_file(entry.path(), folder / name);
    }
    folders_.push_back(folder);
    return folder;
}

void Session::Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void Session::Save(QWidget& widget, const std::string& name) {
    if (!widget.isVisible()) widget.show();
    Settle();
    SavePicture(widget.grab(), name);
}

void Session::SaveWithPopup(QWidget& window, QWidget& popup, const std::string& name) {
    if (!window.isVisible()) window.show();
    Settle();
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(window.mapFromGlobal(popup.mapToGlobal(QPoint(0, 0))), popup.grab());
    painter.end();
    SavePicture(picture, name);
}

void Session::SavePicture(const QPixmap& picture, const std::string& name) {
    const fs::path file = out_ / (name + ".png");
    if (!picture.save(QString::fromStdString(file.string())))
        std::fprintf(stderr, "could not save %s\n", file.c_str());
    else
        saved_.push_back(file.string());
}

fs::path Session::Corpus() {
    if (const char* env = std::getenv("TOLVARAN_CORPUS"); env != nullptr && *env != '\0') return env;
    return fs::path(TOLVARAN_SOURCE_DIR) / ".." / "shared" / "corpus";
}

}  // namespace screens

int main(int argc, char** argv) {
    const test::LaptopScreen screen;
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_screens <folder> [scene-name-part ...]\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    std::vector<std::string> wanted(argv + 2, argv + argc);
    screens::Session session(out, QCoreApplication::applicationDirPath().toStdString());
    int failed = 0;
    for (const auto& scene : screens::Scenes()) {
        bool take = wanted.empty();
        for (const auto& w : wanted) take = take || scene.name.find(w) != std::string::npos;
        if (!take) continue;
        try {
            scene.run(session);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", scene.name.c_str(), e.what());
            ++failed;
        }
    }
    for (const auto& file : session.Saved()) std::printf("%s\n", file.c_str());
    std::printf("%zu pictures in %s\n", session.Saved().size(), out.c_str());
    return failed == 0 ? 0 : 1;
}
