#pragma once
// Scenes of bench_screens: each scene builds one window in some state and saves a picture of
// it. A scene lives in a file of its own under bench/screens/ and registers itself with
// TOLVARAN_SCREEN, so windows added later bring their scenes without touching the driver.
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QPixmap;
class QWidget;

namespace screens {

class Session {
  public:
    Session(std::filesystem::path out, std::filesystem::path bin);

    // A new program folder holding what ships beside the program (store templates, icons,
    // help, registry, placeholder pictures), copied from the build's bin folder. Removed when
    // the session ends.
    std::filesystem::path FreshProgramFolder(const std::string& tag);
    // Saves a picture of widget (shown and laid out first) as <out>/<name>.png.
    void Save(QWidget& widget, const std::string& name);
    // Saves a picture of window with popup (a menu open over it, a window of its own) drawn
    // where it stands on the screen.
    void SaveWithPopup(QWidget& window, QWidget& popup, const std::string& name);
    // Lets queued events, layouts and paints run.
    static void Settle();

    const std::filesystem::path& Out() const { return out_; }
    const std::filesystem::path& Bin() const { return bin_; }
    // The shared corpus (TOLVARAN_CORPUS, else ../shared/corpus beside the sources).
    static std::filesystem::path Corpus();
    const std::vector<std::string>& Saved() const { return saved_; }

    ~Session();

  private:
    void SavePicture(const QPixmap& picture, const std::string& name);

    std::filesystem::path out_, bin_;
    std::vector<std::filesystem::path> folders_;
    std::vector<std::string> saved_;
};

using Scene = std::function<void(Session&)>;

struct SceneEntry {
    std::string name;
    Scene run;
};
std::vector<SceneEntry>& Scenes();
bool Register(const std::string& name, Scene scene);

}  // namespace screens

#define TOLVARAN_SCREEN_CAT2(a, b) a##b
#define TOLVARAN_SCREEN_CAT(a, b) TOLVARAN_SCREEN_CAT2(a, b)
// TOLVARAN_SCREEN("main_window", [](screens::Session& s) { ... });
#define TOLVARAN_SCREEN(name, ...) \
    static const bool TOLVARAN_SCREEN_CAT(screenRegistered_, __LINE__) = screens::Register(name, __VA_ARGS__)
