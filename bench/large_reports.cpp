// Reports far larger than real ones, to show that time grows with their size and not with its
// square. Two lines, each measured at a tenth of the size and at the full size:
//   converting a generated export whose detail section holds N controls (text boxes bound to
//   ten fields, and labels, ten to a row) through the whole converter job, as
//   bench_convert_corpus converts (a SQLite stand-in, a text log, the lists file);
//   opening a generated report file of M objects (text, field, line and box objects in sections
//   of 200) in tolvaran-designer's window: the file read, the structure tree filled and the
//   pages laid out.
// Each line prints both times (the fastest of --rounds runs, default 3) and their ratio, which
// stays within 12 when the growth is linear (10 for a straight line, the rest for caches, the
// log factor of the lists file's indexes and the machine's other work). Memory freed by one run
// is kept for the next (see main). Exits 1 when a ratio is above 12 or a conversion does not
// complete.
//
//   bench_large_reports [--rounds R] [--controls N] [--objects M] [--per-section K] <source-dir>
//                       [program-folder]
// N defaults to 100000, M to 200000; K, the objects of one section of the report file, to M
// (one section holds them all, as a converted export of N controls has them). source-dir holds
// resources/store/*.sql; program-folder (default: the folder of this program) holds the
// placeholder pictures.
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "convert/convert.h"
#include "platform/designer/report.h"
#include "shell/report_windows/designer_window.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;

namespace {

constexpr double kLinearRatio = 12.0;

// Elapsed and processor milliseconds of one run; negative when it failed.
struct Timing {
    double ms = -1;
    double cpuMs = -1;
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Times body (which returns false when it failed).
template <class Body>
Timing Time(Body&& body) {
    const double cpu = CpuMs();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = body();
    Timing t{std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
             CpuMs() - cpu};
    return ok ? t : Timing{};
}

// An export of one report on the table Large (fields F0 .. F9) whose detail section holds
// count controls, ten to a row 300 twips apart: text boxes and labels by turns.
std::string LargeExport(long count) {
    std::string text =
        "Version =20\r\nVersionRequired =20\r\nBegin Report\r\n    RecordSource =\"Large\"\r\n"
        "    Width =11000\r\n    Begin\r\n        Begin Section\r\n            Name =\"Detail\"\r\n"
        "            Height =" +
        std::to_string(300 * (count / 10 + 1)) + "\r\n            Begin\r\n";
    for (long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        const bool field = i % 2 == 0;
        text += field ? "                Begin TextBox\r\n" : "                Begin Label\r\n";
        text += "                    Name =\"C" + n + "\"\r\n";
        text += field ? "                    ControlSource =\"F" + std::to_string(i % 10) + "\"\r\n"
                      : "                    Caption =\"Label " + n + "\"\r\n";
        text += "                    Left =" + std::to_string(100 + 1000 * (i % 10)) +
                "\r\n                    Top =" + std::to_string(300 * (i / 10)) +
                "\r\n                    Width =900\r\n                    Height =250\r\n"
                "                End\r\n";
    }
    return text + "            End\r\n        End\r\n    End\r\nEnd\r\n";
}

int kRounds = 3;

// The fastest of kRounds runs of measure, elapsed and processor time each.
template <class Measure>
Timing Fastest(Measure&& measure) {
    Timing best;
    for (int r = 0; r < kRounds; ++r) {
        const Timing t = measure();
        if (t.ms < 0) return {};
        if (best.ms < 0 || t.ms < best.ms) best.ms = t.ms;
        if (best.cpuMs < 0 || t.cpuMs < best.cpuMs) best.cpuMs = t.cpuMs;
    }
    return best;
}

// The time of converting an export of count controls; failed when the job did not complete.
Timing ConvertLarge(const fs::path& work, const fs::path& source, const std::string& programFolder,
                    long count) {
    // Each run has store files and a stand-in of its own.
    const fs::path dir = work / ("convert_" + std::to_string(count));
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir / "exports");
    std::ofstream(dir / "exports" / ("large__gen__Large" + std::to_string(count) + ".bas"), std::ios::binary)
        << LargeExport(count);
    std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(dir / "exports");
    const auto frontOf = corpus_standin::BuildFrontEnds(exports, dir);
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (frontOf.empty() || !corpus_standin::PrepareStore(dir, source, programFolder, prompt, ctx)) return {};
    auto report = std::make_shared<tolvaran::clsReport>();
    report->ReportId = 1;
    report->DatabaseListId = 1;
    report->ReportName = exports.front().name;
    return Time([&] {
        return corpus_standin::ConvertExport(ctx, prompt, exports.front(), frontOf.begin()->second,
                                             dir / "out", report);
    });
}

long kPerSection = 0;  // 0: one section

// A report file of count objects in detail sections of kPerSection (ten to a row), no tables.
std::string LargeReportFile(const fs::path& work, long count) {
    designer::Application app;
    auto report = app.NewReport();
    report->FormulaFields().Add("Sum", "1 + 1");
    designer::Area& detail = report->Areas().Item("D");
    designer::Section* section = &detail.Sections().Item(1);
    for (long i = 0; i < count; ++i) {
        const long inSection = kPerSection > 0 ? i % kPerSection : i;
        if (i > 0 && inSection == 0) section = &detail.Sections().Add();
        const long left = 100 + 1000 * (i % 10), top = 300 * (inSection / 10);
        switch (i % 4) {
            case 0:
                section->AddTextObject("Text " + std::to_string(i), left, top);
                break;
            case 1:
                section->AddFieldObject("{@Sum}", left, top);
                break;
            case 2:
                section->AddLineObject(left, top + 250, left + 900, top + 250);
                break;
            default:
                section->AddBoxObject(left, top, left + 900, top + 250);
                break;
        }
    }
    const std::string file = (work / ("Large" + std::to_string(count) + ".rpt")).string();
    report->SaveAs(file, designer::crReportFormat2048);
    return file;
}

// The time of opening a report file of count objects in the designer's window; failed when
// it does not open.
Timing OpenLarge(const fs::path& work, long count) {
    const std::string file = LargeReportFile(work, count);
    ui::RecordingPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    const Timing t = Time([&] { return window.Open(file); });
    if (t.ms < 0) std::fprintf(stderr, "%s: %s\n", file.c_str(), prompt.messages.at(0).prompt.c_str());
    return t;
}

// Prints the two measures and their ratios; false when one failed or the growth of processor
// time is not linear (elapsed time also counts what other programs took meanwhile).
bool Line(const char* what, long tenth, const Timing& a, long full, const Timing& b) {
    if (a.ms < 0 || b.ms < 0) {
        std::printf("%s: FAILED\n", what);
        return false;
    }
    const double ratio = a.cpuMs > 0 ? b.cpuMs / a.cpuMs : 0;
    const bool linear = ratio <= kLinearRatio;
    std::printf(
        "%s\n  %7ld: %9.1f ms (processor %9.1f ms)\n  %7ld: %9.1f ms (processor %9.1f ms)\n"
        "  ratio %.1f elapsed, %.1f processor (%s %.0f)\n",
        what, tenth, a.ms, a.cpuMs, full, b.ms, b.cpuMs, a.ms > 0 ? b.ms / a.ms : 0, ratio,
        linear ? "linear: at most" : "ABOVE", kLinearRatio);
    return linear;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Memory a run frees stays with the program for the next run, whatever its size: the
    // system's price of mapping fresh pages again (which a small run's rounds avoid and a large
    // run's pay each time) does not count as growth of the program's own work.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    long controls = 100000, objects = 200000;
    while (argc > 2 && std::string(argv[1]).rfind("--", 0) == 0) {
        const std::string option = argv[1];
        if (option == "--per-section")
            kPerSection = std::max(10L, std::atol(argv[2]));
        else if (option == "--rounds")
            kRounds = std::max(1, std::atoi(argv[2]));
        else if (option == "--controls")
            controls = std::max(10L, std::atol(argv[2]));
        else if (option == "--objects")
            objects = std::max(10L, std::atol(argv[2]));
        else
            break;
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [--controls N] [--objects M] <source-dir> [program-folder]\n",
                     argv[0]);
        return 2;
    }
    const fs::path source = argv[1];
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    const std::string programFolder = argc > 2 ? argv[2] : corpus_standin::ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_large_" + std::to_string(::getpid()));
    fs::create_directories(work);

    bool ok = true;
    // The full size first: the smaller runs then find the memory the larger one left.
    const Timing convertFull = Fastest([&] { return ConvertLarge(work, source, programFolder, controls); });
    const Timing convertTenth =
        Fastest([&] { return ConvertLarge(work, source, programFolder, controls / 10); });
    ok = Line("Converting an export of n controls", controls / 10, convertTenth, controls, convertFull) && ok;
    const Timing openFull = Fastest([&] { return OpenLarge(work, objects); });
    const Timing openTenth = Fastest([&] { return OpenLarge(work, objects / 10); });
    ok = Line("Opening a report of n objects in the designer", objects / 10, openTenth, objects, openFull) &&
         ok;

    std::error_code ec;
    fs::remove_all(work, ec);
    return ok ? 0 : 1;
}
