// Converts the corpus exports as bench_convert_corpus does (support/corpus_standin.h), with rows
// in each record-source table, then opens every converted .rpt in the report viewer control as
// the viewer window does:
// per report the pages, the milliseconds to open the file, until the control shows page 1
// (what the user sees; the rest is laid out after it), until every page is laid out, the
// microseconds a page in all, and the notes the engine made; then totals, the cost of a page
// in reports with subreports and in the others, and peak memory. The first page of each
// report is saved as a PNG picture (drawn from the same page primitives the viewer shows).
//
//   bench_render_corpus [--rows N] <exports-folder> <source-dir> <png-folder>
// N made-up rows (default 40) go into every record-source table; their values repeat, so
// groups gather several records and subreport links find matching ones. Compare --rows 40
// with --rows 4000 to see how the cost of a page grows with the tables. Exits 1 when a report
// could not be rendered.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
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
#include "render/page_painter.h"
#include "shell/report_windows/report_viewer_control.h"
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

bool HasSubreports(const designer::Report& report) {
    for (designer::Section* s : report.Sections().List())
        for (const auto& o : s->ReportObjects())
            if (o->Kind() == designer::ObjectKind::Subreport) return true;
    return false;
}

// Pages and milliseconds of a set of reports.
struct Cost {
    long reports = 0, pages = 0;
    double ms = 0;
    void Add(long p, double m) {
        ++reports;
        pages += p;
        ms += m;
    }
    double UsPerPage() const { return pages > 0 ? ms * 1000.0 / static_cast<double>(pages) : 0.0; }
};

constexpr double kFirstPageGoalMs = 50;

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // the viewer control, and fonts for the pictures
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

    std::printf("%-72s %6s %8s %10s %9s %8s %6s\n", "report", "pages", "open ms", "1st page", "all ms",
                "us/page", "notes");
    tolvaran::PagePainter painter;
    designer::Application designerApp;
    long rendered = 0, failed = 0, pages = 0, withinGoal = 0;
    double allMs = 0, firstMs = 0, slowestFirst = 0;
    std::string slowestFirstLabel;
    Cost withSubreports, plain;
    std::vector<std::pair<double, std::string>> slowest;
    // One control for every report, as a viewer window has it before it is given a report.
    tolvaran::ReportViewerControl viewer;
    for (const fs::path& file : files) {
        const std::string label = fs::relative(file, work / "out").string();
        const auto start = Clock::now();
        try {
            std::shared_ptr<designer::Report> report = designerApp.OpenReport(file.string());
            const auto opened = Clock::now();
            viewer.setReportSource(report);
            viewer.ViewReport();  // returns with page 1 on show
            const auto firstPage = Clock::now();
            viewer.FinishLayout();
            const auto done = Clock::now();
            const viewer::Document& doc = viewer.Document();
            ++rendered;
            pages += static_cast<long>(doc.pages.size());
            const double total = Ms(start, done), first = Ms(start, firstPage);
            allMs += total;
            firstMs += first;
            if (first <= kFirstPageGoalMs) ++withinGoal;
            if (first > slowestFirst) {
                slowestFirst = first;
                slowestFirstLabel = label;
            }
            (HasSubreports(*report) ? withSubreports : plain).Add(static_cast<long>(doc.pages.size()), total);
            slowest.push_back({total, label});
            std::printf("%-72.72s %6zu %8.1f %10.1f %9.1f %8.0f %6zu\n", label.c_str(), doc.pages.size(),
                        Ms(start, opened), first, total,
                        doc.pages.empty() ? 0.0 : total * 1000.0 / static_cast<double>(doc.pages.size()),
                        doc.notes.size());
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
    std::printf("Time: %.1f ms in all, %.1f ms per report\n", allMs, rendered ? allMs / rendered : 0.0);
    std::printf(
        "Page 1 shown by the viewer: %.1f ms per report on average, slowest %.1f ms (%s); %ld of %ld "
        "reports within %.0f ms\n",
        rendered ? firstMs / rendered : 0.0, slowestFirst, slowestFirstLabel.c_str(), withinGoal, rendered,
        kFirstPageGoalMs);
    std::printf(
        "A page in all: %.0f us in the %ld reports with subreports (%ld pages), %.0f us in the %ld "
        "others (%ld pages)\n",
        withSubreports.UsPerPage(), withSubreports.reports, withSubreports.pages, plain.UsPerPage(),
        plain.reports, plain.pages);
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
