// Start-up to the first paint: the program's main window beside a minimal Qt window (empty, of
// the same size), each in a fresh process of its own, timed from starting the process until
// the window's first paint (the process loading, Qt starting, and for the main window its load
// handler with the store files copied and opened and the lists filled). A third window, the
// minimal one with one label, shows what drawing any text costs first (Qt reads the fonts). A
// warm-up round of each comes first (the system's file cache, the program folder's lists file
// made once) and is shown apart; then [runs] rounds, the windows taking turns at going first.
// Prints the milliseconds and, on lines of their own, the ratios of the medians.
//
//   bench_startup [runs] [--screenshot <file.png>] [--folder <program folder>]
// The main window starts in a fresh program folder copied from the folder of this program (the
// store templates, icons and registry), or in the prepared folder --folder names. The windows
// go to the display as the program's do: QT_QPA_PLATFORM when it is set, else the display
// DISPLAY or WAYLAND_DISPLAY names (under X: xvfb-run -a bench_startup), else "offscreen" when
// there is none. The platform each measured process ran on is printed with the times.
// With --screenshot the main window of the last round is saved as a picture.
// (The program runs itself with --child main|minimal for each measured process.)
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "shell/main_window/app_run.h"

namespace fs = std::filesystem;

namespace {

// Nanoseconds on the clock every process of the machine shares.
long long MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Notes the first paint of a window or of anything inside it.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QWidget& window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    bool painted = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == &window_ || window_.isAncestorOf(widget)) painted = true;
        }
        return false;
    }

  private:
    QWidget& window_;
};

// Shows the window, runs events until it has painted and prints when and on which platform
// ("painted <ns> <platform>").
int ShowUntilPainted(QWidget& window) {
    PaintWatch watch(window);
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (!watch.painted && timer.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!watch.painted) return 1;
    std::printf("painted %lld %s\n", MonotonicNs(), qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    return 0;
}

// One measured process: the main window as the program starts it, or a minimal window (with
// one label: "label").
int Child(int argc, char** argv, const std::string& kind, const std::string& folder,
          const std::string& screenshot) {
    QApplication app(argc, argv);
    if (kind == "minimal" || kind == "label") {
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Tolvaran"));
        window.resize(1180, 720);  // the main window's size
        if (kind == "label") window.setCentralWidget(new QLabel(QStringLiteral("Tolvaran")));
        return ShowUntilPainted(window);
    }
    QApplication::setApplicationName(QStringLiteral("Tolvaran"));
    tolvaran::AppRun run(folder);
    if (!run.Start()) return 2;
    const int rc = ShowUntilPainted(run.Window());
    if (!screenshot.empty()) run.Window().grab().save(QString::fromStdString(screenshot));
    run.Window().Form_Terminate();
    return rc;
}

struct Times {
    double warmUp = 0;
    std::vector<double> ms;
    double Median() const {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    void Print(const char* what) const {
        const auto [min, max] = std::minmax_element(ms.begin(), ms.end());
        std::printf("%-30s median %6.1f ms, min %6.1f, max %6.1f; warm-up round %6.1f ms\n", what, Median(),
                    *min, *max, warmUp);
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Without a display the windows are drawn offscreen; with one Qt picks its platform as it
    // does for the program.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int runs = 10;
    std::string screenshot, given, child;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--screenshot" && i + 1 < argc)
            screenshot = argv[++i];
        else if (a == "--folder" && i + 1 < argc)
            given = argv[++i];
        else if (a == "--child" && i + 1 < argc)
            child = argv[++i];
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    if (!child.empty()) return Child(argc, argv, child, given, screenshot);

    QCoreApplication app(argc, argv);
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

    bool failed = false;
    std::set<std::string> platforms;  // the platforms the measured processes ran on
    // Milliseconds from starting the process until it painted its window.
    auto measure = [&](const char* kind, const std::string& picture = {}) {
        QStringList args = {QStringLiteral("--child"), QString::fromLatin1(kind), QStringLiteral("--folder"),
                            QString::fromStdString(folder.string())};
        if (!picture.empty()) args << QStringLiteral("--screenshot") << QString::fromStdString(picture);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const long long start = MonotonicNs();
        process.start(QCoreApplication::applicationFilePath(), args);
        const bool finished = process.waitForFinished(60000);
        const std::string out = process.readAllStandardOutput().toStdString();
        long long painted = 0;
        char platform[64] = "";
        if (!finished || process.exitCode() != 0 ||
            std::sscanf(out.c_str(), "painted %lld %63s", &painted, platform) != 2) {
            std::fprintf(stderr, "the %s window did not paint (exit code %d)\n", kind, process.exitCode());
            failed = true;
            return 0.0;
        }
        platforms.insert(platform);
        return static_cast<double>(painted - start) / 1e6;
    };

    Times main, minimal, label;
    minimal.warmUp = measure("minimal");
    label.warmUp = measure("label");
    main.warmUp = measure("main");
    for (int r = 0; r < runs && !failed; ++r) {
        const std::string picture = r == runs - 1 ? screenshot : std::string();
        for (int turn = 0; turn < 3; ++turn) {
            switch ((r + turn) % 3) {
                case 0:
                    main.ms.push_back(measure("main", picture));
                    break;
                case 1:
                    minimal.ms.push_back(measure("minimal"));
                    break;
                default:
                    label.ms.push_back(measure("label"));
                    break;
            }
        }
    }
    if (given.empty()) fs::remove_all(folder);
    if (failed) return 1;
    if (!screenshot.empty()) std::printf("screenshot: %s\n", screenshot.c_str());
    std::string measuredOn;
    for (const std::string& p : platforms) measuredOn += (measuredOn.empty() ? "" : ", ") + p;
    std::printf(
        "from starting the process to the first paint, %d rounds after a warm-up round (platform %s):\n",
        runs, measuredOn.c_str());
    main.Print("main window:");
    minimal.Print("minimal Qt window:");
    label.Print("minimal window with a label:");
    std::printf("ratio main window / minimal window: %.2f (medians)\n", main.Median() / minimal.Median());
    std::printf("ratio main window / minimal window with a label: %.2f (medians)\n",
                main.Median() / label.Median());
    return 0;
}
