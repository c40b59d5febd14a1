// Converts the corpus exports as bench_convert_corpus does (support/corpus_standin.h), with rows
// in each record-source table, then opens every converted .rpt and lays out all its pages
// through the report engine:
// per report the pages, the milliseconds to open the file, to the first page and in all, and
// the notes the engine made; then totals and peak memory. The first page of each report is
// saved as a PNG picture (Qt Gui draws it from the same page primitives the viewer shows).
//
//   bench_render_corpus [--rows N] <exports-folder> <source-dir> <png-folder>
// N made-up rows (default 40) go into every record-source table; their values repeat, so
// groups gather several records and subreport links find matching ones. Exits 1 when a report
// could not be rendered.
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/designer/report.h"
#include "platform/viewer/engine.h"
#include "render/page_painter.h"
#include "render/text_measure.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the pictures
    int rows = 40;
    if (argc > 2 && std::string(argv[1]) == "--rows") {
        rows = std::max(0, std::atoi(argv[2]));
        argv += 2;
        argc -= 2;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s [--rows N] <exports-folder> <source-dir> <png-folder>\n", argv[0]);
        return 2;
    }
    const fs::path exportsFolder = argv[1], source = argv[2], pngs = argv[3];
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    fs::create_directories(pngs);

    const fs::path work = fs::temp_directory_path() / ("tolvaran_render_" + std::to_string(::getpid()));
    fs::create_directories(work);
    std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(exportsFolder);
    const std::map<std::string, std::string> frontOf = corpus_standin::BuildFrontEnds(exports, work, rows);
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (frontOf.empty() ||
        !corpus_standin::PrepareStore(work, source, corpus_standin::ProgramFolder(), prompt, ctx))
        return 1;
    long converted = 0, reportId = 0;
    for (const corpus_standin::Export& e : exports) {
        if (!e.read) continue;
        auto record = std::make_shared<tolvaran::clsReport>();
        record->ReportId = ++reportId;
        record->DatabaseListId = 1;
        record->ReportName = e.name;
        const fs::path out = work / "out" / fs::path(frontOf.at(e.group)).parent_path().filename();
        if (corpus_standin::ConvertExport(ctx, prompt, e, frontOf.at(e.group), out, record)) ++converted;
    }
    std::printf("Converted %ld of %ld exports in %s\n", converted, reportId, work.c_str());

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(work / "out"))
        if (entry.path().extension() == ".rpt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::printf("%-72s %6s %8s %10s %9s %6s\n", "report", "pages", "open ms", "1st page", "all ms", "notes");
    tolvaran::PagePainter painter;
    tolvaran::PageTextMeasure measure;  // the layout measures text as the painter draws it
    designer::Application designerApp;
    long rendered = 0, failed = 0, pages = 0;
    double allMs = 0, firstMs = 0;
    std::vector<std::pair<double, std::string>> slowest;
    for (const fs::path& file : files) {
        const std::string label = fs::relative(file, work / "out").string();
        const auto start = Clock::now();
        try {
            std::unique_ptr<designer::Report> report = designerApp.OpenReport(file.string());
            const auto opened = Clock::now();
            Clock::time_point firstPage{};
            int lastPass = 0;
            viewer::RenderOptions options;
            options.measure = &measure;
            options.pageFinished = [&](int pass, int page) {
                if (page == 0 && pass > lastPass) {
                    lastPass = pass;
                    firstPage = Clock::now();
                }
            };
            viewer::Document doc = viewer::RenderReport(*report, options);
            const auto done = Clock::now();
            ++rendered;
            pages += static_cast<long>(doc.pages.size());
            double total = Ms(start, done), first = Ms(start, lastPass ? firstPage : done);
            allMs += total;
            firstMs += first;
            slowest.push_back({total, label});
            std::printf("%-72.72s %6zu %8.1f %10.1f %9.1f %6zu\n", label.c_str(), doc.pages.size(),
                        Ms(start, opened), first, total, doc.notes.size());
            if (!doc.pages.empty()) {
                std::string name = label;
                std::replace(name.begin(), name.end(), '/', '_');
                QImage image = painter.Image(doc.pages.front(), 96);
                fs::path png = pngs / (fs::path(name).replace_extension(".png"));
                if (!image.save(QString::fromStdString(png.string())))
                    std::fprintf(stderr, "cannot save %s\n", png.c_str());
            }
        } catch (const std::exception& e) {
            ++failed;
            std::printf("%-72.72s FAILED: %s\n", label.c_str(), e.what());
        }
        std::fflush(stdout);
    }

    std::printf("\nReports rendered: %ld of %zu (%ld failed), %ld pages\n", rendered, files.size(), failed,
                pages);
    std::printf("Time: %.1f ms in all, %.1f ms per report; first page %.1f ms per report on average\n", allMs,
                rendered ? allMs / rendered : 0.0, rendered ? firstMs / rendered : 0.0);
    std::sort(slowest.rbegin(), slowest.rend());
    std::printf("Slowest:\n");
    for (size_t i = 0; i < slowest.size() && i < 5; ++i)
        std::printf("  %8.1f ms  %s\n", slowest[i].first, slowest[i].second.c_str());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    std::printf("First pages: %s\n", pngs.c_str());
    std::error_code ec;
    fs::remove_all(work, ec);
    return failed == 0 ? 0 : 1;
}
