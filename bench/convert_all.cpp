// Convert All as the user waits for it: one source database entry holding every report export
// of a folder, converted through the main window (shown on the offscreen platform, its prompts
// answered without a user: the continue question with Yes), beside the same conversion jobs
// run alone (each job with its text log, as a request makes it, without the window); then an
// entry holding the exports four times over, converted in the same window after the first, to
// show how the window's time grows with the batch. Prints
//   Convert All of N reports: T ms; the same conversion jobs alone: J ms; ratio window/jobs: R
//   Convert All of 4N reports: T4 ms; the same conversion jobs alone: J4 ms
//   growth for 4x the reports: G (of the jobs alone: J4/J)
// R stays near 1 when the window adds little to each conversion; G stays near 4 when the
// window's cost per report does not grow with the reports before it. Each batch is run three
// times over (the window's requests one after another, as a user repeats Convert All) and the
// fastest run counts.
//
//   bench_convert_all <exports-folder> <source-dir> [program-folder]
// source-dir holds resources/store/*.sql (the jobs' store); program-folder (default: the folder
// of this program) holds what ships beside the program (store seeds, icons, placeholder
// pictures). Exports are converted over one SQLite Access stand-in per entry
// (support/corpus_standin.h). The platform is "offscreen" unless QT_QPA_PLATFORM says
// otherwise.
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ado/connection_pool.h"
#include "platform/registry/registry_file.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "store/record_classes.h"
#include "support/corpus_standin.h"
#include "support/laptop_screen.h"
#include "support/recording.h"
#include "support/window_entry.h"

namespace fs = std::filesystem;
using corpus_standin::Export;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A program folder made from what ships beside the program.
bool CopyProgramFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::create_directories(to, ec);
    for (const char* name : {"tolvaran.f1", "tolvaran.f2", "brenmoor.bmp", "registry.reg"})
        if (fs::exists(from / name)) fs::copy_file(from / name, to / name, ec);
    if (fs::is_directory(from / "icons"))
        fs::copy(from / "icons", to / "icons", fs::copy_options::recursive, ec);
    if (!fs::exists(to / "tolvaran.f1")) {
        std::fprintf(stderr, "%s holds no tolvaran.f1: give the program folder (build/bin)\n", from.c_str());
        return false;
    }
    return true;
}

// Each batch runs this many times over; the fastest run counts, so that other work on the
// machine does not decide the figures.
constexpr int kRounds = 3;

// The conversion jobs of the exports alone, into out, over a store of their own: ms.
// completed counts the jobs that completed in the first round.
double JobsAlone(const std::vector<Export>& exports, const std::string& front, const fs::path& work,
                 const fs::path& source, const std::string& programFolder, long& completed) {
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (!corpus_standin::PrepareStore(work, source, programFolder, prompt, ctx)) return -1;
    double fastest = 0;
    for (int round = 0; round < kRounds; ++round) {
        long reportId = 0;
        const auto start = std::chrono::steady_clock::now();
        {
            // A request opens the source files once for all its reports.
            ado::ConnectionPool requestFiles;
            ado::ConnectionPool::Use pooled(requestFiles);
            for (const Export& e : exports) {
                auto report = std::make_shared<tolvaran::clsReport>();
                report->ReportId = ++reportId;
                report->DatabaseListId = 1;
                report->ReportName = e.name;
                if (corpus_standin::ConvertExport(ctx, prompt, e, front, work / "out", report) && round == 0)
                    ++completed;
            }
        }
        const double ms = Since(start);
        if (round == 0 || ms < fastest) fastest = ms;
    }
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    return fastest;
}

// Convert All of the current entry, the fastest of kRounds requests: ms.
double ConvertAll(tolvaran::Startup& window) {
    double fastest = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        window.InitiateReportConversion(true);
        const double ms = Since(start);
        if (round == 0 || ms < fastest) fastest = ms;
    }
    return fastest;
}

}  // namespace

int main(int argc, char** argv) {
    const test::LaptopScreen screen;
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <exports-folder> <source-dir> [program-folder]\n", argv[0]);
        return 2;
    }
    const fs::path exportsFolder = argv[1];
    const fs::path source = argv[2];
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    const std::string shipped = argc > 3 ? argv[3] : corpus_standin::ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_convert_all_" + std::to_string(::getpid()));
    const fs::path program = work / "program";
    if (!CopyProgramFolder(shipped, program)) return 2;

    std::vector<Export> exports = corpus_standin::ListExports(exportsFolder);
    const std::string front1 = (work / "one" / "front.mdb").string();
    const std::string front4 = (work / "four" / "front.mdb").string();
    const std::vector<Export> once = corpus_standin::BuildSharedFrontEnd(exports, front1, 1);
    const std::vector<Export> fourTimes = corpus_standin::BuildSharedFrontEnd(exports, front4, 4);
    if (once.empty()) {
        std::fprintf(stderr, "no export of %s could be read\n", exportsFolder.c_str());
        return 1;
    }

    // The jobs alone first: the window's run then finds the system's file cache as they did.
    long jobsCompleted = 0, jobs4Completed = 0;
    fs::create_directories(work / "jobs");
    fs::create_directories(work / "jobs4");
    const double jobs = JobsAlone(once, front1, work / "jobs", source, shipped, jobsCompleted);
    const double jobs4 = JobsAlone(fourTimes, front4, work / "jobs4", source, shipped, jobs4Completed);
    if (jobs < 0 || jobs4 < 0) return 1;

    ui::RecordingPrompt prompt;  // answers every question with its default button
    ui::RecordingLauncher launcher;
    registry::RegistryFile registry((program / "registry.reg").string());
    tolvaran::AppContext ctx;
    ctx.programFolder = program.string();
    ctx.prompt = &prompt;
    ctx.registry = &registry;
    int status = 0;
    {
        tolvaran::StartupServices services;
        services.ctx = &ctx;
        services.launcher = &launcher;
        services.accessFactory = [options = ctx.connections] {
            auto access = std::make_unique<tolvaran::access::Application>();
            access->setConnectionOptions(options);
            return access;
        };
        services.endProgram = [] {};
        tolvaran::Startup window(std::move(services));
        window.Form_Load();
        window.resize(1180, 720);
        window.show();
        QApplication::processEvents();

        bench_support::RegisterEntry(window, front1, (work / "out1").string());
        const int listed1 = window.dxReports()->Dataset().RowCount();
        const double t1 = ConvertAll(window);
        const bool fourRegistered =
            bench_support::RegisterEntry(window, front4, (work / "out4").string()) > 0;
        const int listed4 = window.dxReports()->Dataset().RowCount();
        const double t4 = fourRegistered ? ConvertAll(window) : 0;
        window.Form_Terminate();

        std::printf("Platform: %s\n", QGuiApplication::platformName().toUtf8().constData());
        std::printf("Entry of %d reports (%ld of %zu jobs alone completed)\n", listed1, jobsCompleted,
                    once.size());
        std::printf(
            "Convert All of %d reports: %.0f ms; the same conversion jobs alone: %.0f ms; ratio "
            "window/jobs: %.2f\n",
            listed1, t1, jobs, jobs > 0 ? t1 / jobs : 0.0);
        std::printf("Convert All of %d reports: %.0f ms; the same conversion jobs alone: %.0f ms\n", listed4,
                    t4, jobs4);
        std::printf("growth for 4x the reports: %.2f (of the jobs alone: %.2f)\n", t1 > 0 ? t4 / t1 : 0.0,
                    jobs > 0 ? jobs4 / jobs : 0.0);
        if (listed1 != static_cast<int>(once.size()) || listed4 != static_cast<int>(fourTimes.size())) {
            std::fprintf(stderr, "the entries list %d and %d reports, not %zu and %zu\n", listed1, listed4,
                         once.size(), fourTimes.size());
            status = 1;
        }
    }
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::error_code ec;
    fs::remove_all(work, ec);
    return status;
}
