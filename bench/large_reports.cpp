// Reports far larger than real ones, to show that time grows with their size and not with its
// square. Three lines, each measured at a tenth of the size and at the full size:
//   converting a generated export whose detail section holds N controls (text boxes bound to
//   ten fields, and labels, ten to a row) through the whole converter job, as
//   bench_convert_corpus converts (a SQLite stand-in, a text log, the lists file);
//   the same with C controls of which a third are calculated ("=[F3] & "-13"", each a formula
//   field of its own), a third bound and a third labels;
//   opening a generated report file of M objects (text, field, line and box objects in sections
//   of K) in tolvaran-designer's window: the file read, the structure tree filled and the pages
//   laid out. The window reads files up to the size the registry value
//   Tolvaran\Reports\MaxFileMB allows (64 MB when not set); the file of 200,000 objects holds
//   about 90 MB, so the window is given the file's size as that limit, as a user who opens such a
//   report sets it.
// Each measured run is a fresh process of its own, as the programs run: its memory comes from
// the system as theirs does (no allocator setting the programs lack), and no run finds pages
// another run left. Before it measures, the process converts (or opens) a report of ten
// controls (objects), so that what every run pays once (loading fonts, first statements) is
// not counted for either size. The export, its stand-in and the report file are made
// beforehand by the benchmark itself, outside the measured process.
// Each line prints both times (the fastest of --rounds runs of each size, default 3, the sizes
// taking turns) and their ratio of processor time, which stays within 12 when the growth is
// linear (10 for a straight line, the rest for the memory system (caches, and pages fresh from
// the system, which a larger run touches more of per object), the log factor of the lists
// file's and the formulas' indexes and the machine's other work). Exits 1 when a ratio is above 12 or a run
// fails.
//
//   bench_large_reports [--rounds R] [--controls N] [--calculated C] [--objects M]
//                       [--per-section K] <source-dir> [program-folder]
// N and C default to 100000, M to 200000; K, the objects of one section of the report file, to
// M (one section holds them all, as a converted export of N controls has them). source-dir
// holds resources/store/*.sql; program-folder (default: the folder of this program) holds the
// placeholder pictures.
// (The program runs itself with --child <kind> <count> <work-folder> <source-dir>
// <program-folder> for each measured run.)
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QProcess>
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
constexpr long kWarmUpSize = 10;

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
// count controls, ten to a row 300 twips apart: text boxes bound to a field and labels by
// turns, or, when calculated, by thirds: a calculated text box ("=[F3] & "-13"", each text of
// its own), a bound text box and a label.
std::string LargeExport(long count, bool calculated) {
    std::string text =
        "Version =20\r\nVersionRequired =20\r\nBegin Report\r\n    RecordSource =\"Large\"\r\n"
        "    Width =11000\r\n    Begin\r\n        Begin Section\r\n            Name =\"Detail\"\r\n"
        "            Height =" +
        std::to_string(300 * (count / 10 + 1)) + "\r\n            Begin\r\n";
    for (long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i), f = "F" + std::to_string(i % 10);
        const long kind = calculated ? i % 3 : 1 + i % 2;  // 0 calculated, 1 bound, 2 label
        text += kind < 2 ? "                Begin TextBox\r\n" : "                Begin Label\r\n";
        text += "                    Name =\"C" + n + "\"\r\n";
        if (kind == 0)
            text += "                    ControlSource =\"=[" + f + "] & \\\"-" + n + "\\\"\"\r\n";
        else if (kind == 1)
            text += "                    ControlSource =\"" + f + "\"\r\n";
        else
            text += "                    Caption =\"Label " + n + "\"\r\n";
        text += "                    Left =" + std::to_string(100 + 1000 * (i % 10)) +
                "\r\n                    Top =" + std::to_string(300 * (i / 10)) +
                "\r\n                    Width =900\r\n                    Height =250\r\n"
                "                End\r\n";
    }
    return text + "            End\r\n        End\r\n    End\r\nEnd\r\n";
}

int kRounds = 3;

// The folder of the export of count controls (calculated: a third of them) and its stand-in.
fs::path ExportFolder(const fs::path& work, const std::string& kind, long count) {
    return work / (kind + "_" + std::to_string(count));
}

// Writes the export of count controls and builds its stand-in; the stand-in's path is kept
// in the folder's "front" file for the measured process. False when it cannot be built.
bool PrepareExport(const fs::path& work, const std::string& kind, long count) {
    const fs::path dir = ExportFolder(work, kind, count);
    fs::create_directories(dir / "exports");
    std::ofstream(dir / "exports" / ("large__gen__Large" + std::to_string(count) + ".bas"), std::ios::binary)
        << LargeExport(count, kind == "calculated");
    std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(dir / "exports");
    const auto frontOf = corpus_standin::BuildFrontEnds(exports, dir);
    if (frontOf.empty()) return false;
    std::ofstream(dir / "front") << frontOf.begin()->second;
    return true;
}

// Converts the prepared export of count controls with store files of its own; the time of
// the conversion, failed when the job did not complete.
Timing ConvertPrepared(const fs::path& work, const std::string& kind, long count, const fs::path& source,
                       const std::string& programFolder) {
    const fs::path dir = ExportFolder(work, kind, count);
    std::string front;
    std::getline(std::ifstream(dir / "front"), front);
    const std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(dir / "exports");
    const fs::path run = dir / ("run_" + std::to_string(::getpid()));
    fs::create_directories(run);
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (exports.empty() || front.empty() ||
        !corpus_standin::PrepareStore(run, source, programFolder, prompt, ctx))
        return {};
    auto report = std::make_shared<tolvaran::clsReport>();
    report->ReportId = 1;
    report->DatabaseListId = 1;
    report->ReportName = exports.front().name;
    return Time([&] {
        return corpus_standin::ConvertExport(ctx, prompt, exports.front(), front, run / "out", report);
    });
}

fs::path ReportFile(const fs::path& work, long count) {
    return work / ("Large" + std::to_string(count) + ".rpt");
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
    const std::string file = ReportFile(work, count).string();
    report->SaveAs(file, designer::crReportFormat2048);
    return file;
}

// The time of opening the report file of count objects in the designer's window; failed when
// it does not open.
Timing OpenPrepared(const fs::path& work, long count) {
    const std::string file = ReportFile(work, count).string();
    ui::RecordingPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    window.MaxFileMb = std::max(window.MaxFileMb, static_cast<long>(fs::file_size(file) >> 20) + 1);
    const Timing t = Time([&] { return window.Open(file); });
    if (t.ms < 0) std::fprintf(stderr, "%s: %s\n", file.c_str(), prompt.messages.at(0).prompt.c_str());
    return t;
}

// One measured process: the warm-up run, then the measured one; prints "<ms> <processor ms>".
int Child(const std::string& kind, long count, const fs::path& work, const fs::path& source,
          const std::string& programFolder) {
    auto run = [&](long n) {
        return kind == "open" ? OpenPrepared(work, n) : ConvertPrepared(work, kind, n, source, programFolder);
    };
    if (run(kWarmUpSize).ms < 0) return 1;
    const Timing t = run(count);
    if (t.ms < 0) return 1;
    std::printf("%.3f %.3f\n", t.ms, t.cpuMs);
    return 0;
}

// Runs one measured process; failed when it fails.
Timing Measure(const std::string& kind, long count, const fs::path& work, const fs::path& source,
               const std::string& programFolder) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--child"), QString::fromStdString(kind), QString::number(count),
                   QString::fromStdString(work.string()), QString::fromStdString(source.string()),
                   QString::fromStdString(programFolder)});
    Timing t;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0 ||
        std::sscanf(process.readAllStandardOutput().constData(), "%lf %lf", &t.ms, &t.cpuMs) != 2)
        return {};
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
    if (argc == 7 && std::string(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return Child(argv[2], std::atol(argv[3]), argv[4], argv[5], argv[6]);
    }
    QCoreApplication app(argc, argv);
    long controls = 100000, calculated = 100000, objects = 200000;
    while (argc > 2 && std::string(argv[1]).rfind("--", 0) == 0) {
        const std::string option = argv[1];
        if (option == "--per-section")
            kPerSection = std::max(10L, std::atol(argv[2]));
        else if (option == "--rounds")
            kRounds = std::max(1, std::atoi(argv[2]));
        else if (option == "--controls")
            controls = std::max(100L, std::atol(argv[2]));
        else if (option == "--calculated")
            calculated = std::max(100L, std::atol(argv[2]));
        else if (option == "--objects")
            objects = std::max(100L, std::atol(argv[2]));
        else
            break;
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s [--rounds R] [--controls N] [--calculated C] [--objects M] [--per-section K] "
                     "<source-dir> [program-folder]\n",
                     argv[0]);
        return 2;
    }
    const fs::path source = fs::absolute(argv[1]);
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    const std::string programFolder =
        argc > 2 ? fs::absolute(argv[2]).string() : corpus_standin::ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_large_" + std::to_string(::getpid()));
    fs::create_directories(work);

    struct Kind {
        const char* kind;
        const char* what;
        long full;
    };
    const Kind kinds[] = {
        {"convert", "Converting an export of n controls", controls},
        {"calculated", "Converting an export of n controls, a third of them calculated", calculated},
        {"open", "Opening a report of n objects in the designer", objects}};
    bool ok = true;
    for (const Kind& k : kinds) {
        const long sizes[] = {kWarmUpSize, k.full / 10, k.full};
        bool prepared = true;
        for (long n : sizes) {
            if (std::string(k.kind) == "open")
                LargeReportFile(work, n);
            else
                prepared = PrepareExport(work, k.kind, n) && prepared;
        }
        Timing tenth, full;
        for (int r = 0; r < kRounds && prepared; ++r) {
            // The sizes take turns at going first.
            for (int turn = 0; turn < 2; ++turn) {
                const bool large = (r + turn) % 2 == 1;
                const Timing t = Measure(k.kind, large ? k.full : k.full / 10, work, source, programFolder);
                Timing& best = large ? full : tenth;
                if (t.ms < 0) {
                    prepared = false;
                    break;
                }
                if (best.ms < 0 || t.ms < best.ms) best.ms = t.ms;
                if (best.cpuMs < 0 || t.cpuMs < best.cpuMs) best.cpuMs = t.cpuMs;
            }
        }
        if (!prepared) tenth = full = Timing{};
        ok = Line(k.what, k.full / 10, tenth, k.full, full) && ok;
    }

    std::error_code ec;
    fs::remove_all(work, ec);
    return ok ? 0 : 1;
}
