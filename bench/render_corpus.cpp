// Converts the corpus exports as bench_convert_corpus does (support/corpus_standin.h), with rows
// in each record-source table, then opens every converted .rpt in the report viewer control as
// the viewer window does:
// per report the pages, the milliseconds to open the file, until the control shows page 1
// (what the user sees; the rest is laid out after it), until every page is laid out, the
// microseconds a page in all, the notes the engine made and the most memory the process held
// while the report was shown (its pages, its tables, and what the reports before it left
// behind); then totals, the cost of a page in reports with subreports and in the others, and
// peak memory, also before the first report was opened (the made-up tables and the
// conversions). The first page of each report is saved as a PNG picture (drawn from the same
// page primitives the viewer shows).
//
//   bench_render_corpus [--rows N] [--rounds R] <exports-folder> <source-dir> <png-folder>
// N made-up rows (default 40) go into every record-source table; their values repeat, so
// groups gather several records and subreport links find matching ones. Compare --rows 400
// with --rows 4000 and --rows 40000 to see how the cost of a page grows with the tables; page 1
// of every report should show within 50 ms at 4,000 rows and within 100 ms at 40,000. R rounds
// (default 1) open every report R times, one report after the other in each round, and give
// each report's median: on a shared machine take 3 or 5. Exits 1 when a report could not be
// rendered.
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

// Page 1 goals: at most kGoalRowsAt rows a table, and beyond.
constexpr double kFirstPageGoalMs = 50, kFirstPageGoalLargeMs = 100;
constexpr int kGoalRowsAt = 4000;

// The process's resident memory now and at its highest since the last ResetPeakKiB, in KiB.
long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
    return 0;
}
long PeakKiB() {
    return StatusKiB("VmHWM:");
}
// Starts the highest mark again from what the process holds now (Linux: clear_refs 5).
void ResetPeakKiB() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// One report shown once.
struct Shown {
    size_t pages = 0, notes = 0;
    double openMs = 0, firstMs = 0, allMs = 0;
    long peakKiB = 0;
    bool subreports = false;
};

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);  // the viewer control, and fonts for the pictures
    int rows = 40, rounds = 1;
    while (argc > 2 && (std::string(argv[1]) == "--rows" || std::string(argv[1]) == "--rounds")) {
        (std::string(argv[1]) == "--rows" ? rows : rounds) = std::max(0, std::atoi(argv[2]));
        argv += 2;
        argc -= 2;
    }
    rounds = std::max(1, rounds);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s [--rows N] [--rounds R] <exports-folder> <source-dir> <png-folder>\n",
                     argv[0]);
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

    const long beforeViewerKiB = PeakKiB();
    tolvaran::PagePainter painter;
    designer::Application designerApp;
    std::vector<std::vector<Shown>> shown(files.size());
    std::vector<std::string> failures(files.size());
    // One control for every report, as a viewer window has it before it is given a report.
    tolvaran::ReportViewerControl viewer;
    long peakKiB = beforeViewerKiB;
    for (int round = 0; round < rounds; ++round) {
        for (size_t f = 0; f < files.size(); ++f) {
            const fs::path& file = files[f];
            if (!failures[f].empty()) continue;
            const std::string label = fs::relative(file, work / "out").string();
            ResetPeakKiB();
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
                Shown s;
                s.pages = doc.pages.size();
                s.notes = doc.notes.size();
                s.openMs = Ms(start, opened);
                s.firstMs = Ms(start, firstPage);
                s.allMs = Ms(start, done);
                s.peakKiB = PeakKiB();
                s.subreports = HasSubreports(*report);
                peakKiB = std::max(peakKiB, s.peakKiB);
                shown[f].push_back(s);
                if (round == 0 && !doc.pages.empty()) {
                    std::string name = label;
                    std::replace(name.begin(), name.end(), '/', '_');
                    QImage image = painter.Image(doc.pages.front(), 96);
                    fs::path png = pngs / (fs::path(name).replace_extension(".png"));
                    if (!image.save(QString::fromStdString(png.string())))
                        std::fprintf(stderr, "cannot save %s\n", png.c_str());
                }
            } catch (const std::exception& e) {
                failures[f] = e.what();
            }
        }
    }

    std::printf("%-72s %6s %8s %10s %9s %8s %6s %8s\n", "report", "pages", "open ms", "1st page", "all ms",
                "us/page", "notes", "peak MiB");
    const double goalMs = rows > kGoalRowsAt ? kFirstPageGoalLargeMs : kFirstPageGoalMs;
    long rendered = 0, failed = 0, pages = 0, withinGoal = 0;
    double allMs = 0, firstMs = 0, slowestFirst = 0;
    std::string slowestFirstLabel;
    Cost withSubreports, plain;
    std::vector<std::pair<double, std::string>> slowest;
    for (size_t f = 0; f < files.size(); ++f) {
        const std::string label = fs::relative(files[f], work / "out").string();
        if (!failures[f].empty()) {
            ++failed;
            std::printf("%-72.72s FAILED: %s\n", label.c_str(), failures[f].c_str());
            continue;
        }
        std::vector<double> open, first, all, peak;
        for (const Shown& s : shown[f]) {
            open.push_back(s.openMs);
            first.push_back(s.firstMs);
            all.push_back(s.allMs);
            peak.push_back(static_cast<double>(s.peakKiB));
        }
        const Shown& s = shown[f].front();
        const double total = Median(all), page1 = Median(first);
        ++rendered;
        pages += static_cast<long>(s.pages);
        allMs += total;
        firstMs += page1;
        if (page1 <= goalMs) ++withinGoal;
        if (page1 > slowestFirst) {
            slowestFirst = page1;
            slowestFirstLabel = label;
        }
        (s.subreports ? withSubreports : plain).Add(static_cast<long>(s.pages), total);
        slowest.push_back({total, label});
        std::printf("%-72.72s %6zu %8.1f %10.1f %9.1f %8.0f %6zu %8.0f\n", label.c_str(), s.pages,
                    Median(open), page1, total,
                    s.pages == 0 ? 0.0 : total * 1000.0 / static_cast<double>(s.pages), s.notes,
                    Median(peak) / 1024.0);
    }

    std::printf("\nReports rendered: %ld of %zu (%ld failed), %ld pages, %d round%s (medians)\n", rendered,
                files.size(), failed, pages, rounds, rounds == 1 ? "" : "s");
    std::printf("Time: %.1f ms in all, %.1f ms per report\n", allMs, rendered ? allMs / rendered : 0.0);
    std::printf(
        "Page 1 shown by the viewer: %.1f ms per report on average, slowest %.1f ms (%s); %ld of %ld "
        "reports within %.0f ms\n",
        rendered ? firstMs / rendered : 0.0, slowestFirst, slowestFirstLabel.c_str(), withinGoal, rendered,
        goalMs);
    std::printf(
        "A page in all: %.0f us in the %ld reports with subreports (%ld pages), %.0f us in the %ld "
        "others (%ld pages)\n",
        withSubreports.UsPerPage(), withSubreports.reports, withSubreports.pages, plain.UsPerPage(),
        plain.reports, plain.pages);
    std::sort(slowest.rbegin(), slowest.rend());
    std::printf("Slowest:\n");
    for (size_t i = 0; i < slowest.size() && i < 5; ++i)
        std::printf("  %8.1f ms  %s\n", slowest[i].first, slowest[i].second.c_str());
    std::printf(
        "Peak memory: %.1f MiB; %.1f MiB before the first report was opened (the made-up tables and "
        "the conversions)\n",
        static_cast<double>(peakKiB) / 1024.0, static_cast<double>(beforeViewerKiB) / 1024.0);
    std::printf("First pages: %s\n", pngs.c_str());
    std::error_code ec;
    fs::remove_all(work, ec);
    return failed == 0 ? 0 : 1;
}
