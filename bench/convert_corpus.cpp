// Converts every report export of a folder through the whole converter job and prints, per
// report, whether it completed, its sections, objects by kind, formulas passing and failing
// the designer's check, error-log rows by severity, the milliseconds of reading its export
// (as bench_access_reader reads it: ReadReportFile on the corpus file) and of converting it
// (the job with its text log, as a conversion request makes it), and their ratio; then
// totals, the slowest reports and memory.
//
// Each report is read and converted --rounds times (default 3) and the fastest of each is
// counted, so that other work on the machine does not decide the figures; processor time is
// shown beside elapsed time. --copies K converts the whole folder K times over (a batch of
// K x reports conversions into one lists file) and prints the memory after each pass. The
// source files are opened once for the run, as a request converting every report of an
// entry opens them. At the end the store connections are closed, which folds the lists
// file's write-ahead log back into it; the program says whether -wal or -shm files remain.
//
// Exports are converted over SQLite Access stand-ins (support/corpus_standin.h). Objects and
// formulas are counted in the report and its embedded subreports.
//
// Last, each report is converted in a fresh process of its own (the program runs itself with
// --first), once as the first conversion of that process and once more, as a single conversion
// from the window makes them (its own request, its source file opened anew), after the store
// is opened and made ready as the main window does at start-up (PrepareConversions, after its
// first paint): the first conversion's milliseconds beside the warm one's, and the time the
// start-up preparation took.
//   bench_convert_corpus [--keep] [--rounds N] [--copies K] <exports-folder> <source-dir> [program-folder]
// source-dir holds resources/store/*.sql; program-folder (default: the folder of this
// program) holds the placeholder pictures. --keep leaves the work folder (front ends, store
// files, converted reports and text logs) in place and prints its path.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "platform/access/export_reader.h"
#include "platform/ado/connection_pool.h"
#include "platform/designer/report.h"
#include "store/context.h"
#include "store/log_level.h"
#include "store/record_classes.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using corpus_standin::Export;

namespace {

struct Totals {
    long reports = 0, completed = 0, sections = 0, formulasPass = 0, formulasFail = 0;
    std::map<std::string, long> objects;
    std::map<std::string, long> severities;
    double ms = 0, readMs = 0;
    double cpuMs = 0, readCpuMs = 0;
};

const char* KindName(designer::ObjectKind k) {
    switch (k) {
        case designer::ObjectKind::Text:
            return "text";
        case designer::ObjectKind::Field:
            return "field";
        case designer::ObjectKind::Line:
            return "line";
        case designer::ObjectKind::Box:
            return "box";
        case designer::ObjectKind::Picture:
            return "picture";
        case designer::ObjectKind::Subreport:
            return "subreport";
    }
    return "?";
}

void CountReport(const designer::Report& r, std::map<std::string, long>& objects, long& pass, long& fail) {
    for (const auto& f : r.FormulaFields()) {
        if (f->Text().rfind("// ", 0) == 0)
            ++fail;
        else
            ++pass;
    }
    for (designer::Section* s : r.Sections().List())
        for (const auto& o : s->ReportObjects()) {
            ++objects[KindName(o->Kind())];
            if (auto* sub = dynamic_cast<const designer::SubreportObject*>(o.get()))
                CountReport(sub->OpenSubreport(), objects, pass, fail);
        }
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread, ms: what a run costs without the time other programs took.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Resident memory now, MiB.
double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The fastest of rounds timings of body: elapsed and processor milliseconds.
template <class F>
std::pair<double, double> Fastest(int rounds, F&& body) {
    double best = 0, bestCpu = 0;
    for (int r = 0; r < rounds; ++r) {
        const double cpu = CpuMs();
        const auto start = std::chrono::steady_clock::now();
        body(r);
        const double ms = Since(start);
        const double cpuUsed = CpuMs() - cpu;
        if (r == 0 || ms < best) best = ms;
        if (r == 0 || cpuUsed < bestCpu) bestCpu = cpuUsed;
    }
    return {best, bestCpu};
}

// The first conversion of a fresh process, then a second one of the same report: each as a
// single conversion request from the window makes it, after the start-up preparation. Prints
// "first <ms> warm <ms> prepared <ms>".
int FirstConversion(const std::string& frontEnd, const std::string& name, const fs::path& source,
                    const std::string& programFolder) {
    const fs::path work = fs::temp_directory_path() / ("tolvaran_first_" + std::to_string(::getpid()));
    fs::create_directories(work);
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (!corpus_standin::PrepareStore(work, source, programFolder, prompt, ctx)) return 1;
    Export e;
    e.name = name;
    const auto preparing = std::chrono::steady_clock::now();
    tolvaran::PrepareConversions(ctx);
    const double prepared = Since(preparing);
    double ms[2] = {0, 0};
    for (int round = 0; round < 2; ++round) {
        auto report = std::make_shared<tolvaran::clsReport>();
        report->ReportId = round + 1;
        report->DatabaseListId = 1;
        report->ReportName = name;
        const auto start = std::chrono::steady_clock::now();
        ado::ConnectionPool requestFiles;
        ado::ConnectionPool::Use pooled(requestFiles);
        corpus_standin::ConvertExport(ctx, prompt, e, frontEnd, work / "out", report);
        ms[round] = Since(start);
    }
    std::printf("first %.3f warm %.3f prepared %.3f\n", ms[0], ms[1], prepared);
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}

// Runs this program with args and returns what it printed.
std::string RunSelf(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        std::string self = fs::read_symlink("/proc/self/exe").string();
        argv.push_back(self.data());
        std::vector<std::string> copies = args;
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(self.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return text;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long LastRow(const ado::ConnectionPtr& db) {
    ado::Recordset rs;
    rs.Open("SELECT MAX(ErrorLogId) AS m FROM ErrorLog", db);
    return vb::NZ(rs["m"], 0).ToLong();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--first")
        return FirstConversion(argv[2], argv[3], argv[4], argv[5]);
    bool keep = false;
    int rounds = 3;
    int copies = 1;
    while (argc > 1 && std::string(argv[1]).rfind("--", 0) == 0) {
        const std::string option = argv[1];
        if (option == "--keep") {
            keep = true;
        } else if ((option == "--rounds" || option == "--copies") && argc > 2) {
            (option == "--rounds" ? rounds : copies) = std::max(1, std::atoi(argv[2]));
            ++argv;
            --argc;
        } else {
            break;
        }
        ++argv;
        --argc;
    }
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: %s [--keep] [--rounds N] [--copies K] <exports-folder> <source-dir> [program-folder]\n",
            argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path source = argv[2];
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    const std::string programFolder = argc > 3 ? argv[3] : corpus_standin::ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_corpus_" + std::to_string(::getpid()));
    fs::create_directories(work);

    std::vector<Export> exports = corpus_standin::ListExports(folder);
    const std::map<std::string, std::string> frontOf = corpus_standin::BuildFrontEnds(exports, work);
    // No stand-in although an export was read: it could not be made (said on stderr).
    if (frontOf.empty() &&
        std::any_of(exports.begin(), exports.end(), [](const Export& e) { return e.read; }))
        return 1;

    // The store files and the run context.
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (!corpus_standin::PrepareStore(work, source, programFolder, prompt, ctx)) return 1;
    const std::string lists = (work / "TOLVARAN.ADL").string();
    ado::ConnectionPool sourceFiles;
    ado::ConnectionPool::Use pooled(sourceFiles);

    std::printf("%-60s %-4s %4s %-28s %9s %-16s %8s %8s %6s\n", "report", "done", "sect",
                "objects t/f/l/b/p/s", "formulas", "rows 1/2/5/none", "read ms", "conv ms", "ratio");
    Totals totals;
    bool allCompleted = true;  // in every pass
    std::vector<std::pair<double, std::string>> times;
    long reportId = 0;
    const double startMiB = ResidentMiB();
    for (int copy = 1; copy <= copies; ++copy) {
        Totals pass;
        for (const Export& e : exports) {
            ++pass.reports;
            if (!e.read) {
                // The reader refused the export (the reason is on stderr): not completed.
                if (copy == 1)
                    std::printf("%-60.60s %-4s (the export was refused)\n", (e.group + "/" + e.name).c_str(),
                                "NO");
                continue;
            }
            // The converted reports of a repository go beside the names of its stand-in folder.
            const fs::path out = work / "out" / fs::path(frontOf.at(e.group)).parent_path().filename();
            const auto [readMs, readCpuMs] = Fastest(rounds, [&](int) {
                try {
                    (void)tolvaran::access::ReadReportFile(e.file.string());
                } catch (const std::exception&) {
                }
            });

            const long firstRow = LastRow(ctx.gDb);
            long firstRoundEnd = firstRow;
            bool completed = false;
            short sections = 0;
            std::map<std::string, long> objects;
            long formulasPass = 0, formulasFail = 0;
            const auto [ms, cpuMs] = Fastest(rounds, [&](int r) {
                auto report = std::make_shared<tolvaran::clsReport>();
                report->ReportId = ++reportId;
                report->DatabaseListId = 1;
                report->ReportName = e.name;
                completed = corpus_standin::ConvertExport(
                    ctx, prompt, e, frontOf.at(e.group), out, report, [&](tolvaran::clsConvert& job) {
                        if (r != 0) return;
                        sections = job.CountOfAccessSections;
                        if (job.crReport()) CountReport(*job.crReport(), objects, formulasPass, formulasFail);
                    });
                if (r == 0) firstRoundEnd = LastRow(ctx.gDb);
            });

            // Rows of the first round only: every round writes the same.
            std::map<std::string, long> severities;
            {
                ado::Recordset rs;
                rs.Open(
                    "SELECT ErrorSeverityLevel AS s, COUNT(*) AS n FROM ErrorLog WHERE ErrorLogId > ? AND "
                    "ErrorLogId <= ? GROUP BY ErrorSeverityLevel",
                    ctx.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly,
                    {vb::Variant(firstRow), vb::Variant(firstRoundEnd)});
                for (; !rs.Eof(); rs.MoveNext())
                    severities[rs["s"].IsNull() ? "none" : rs["s"].ToString()] = rs["n"].ToLong();
            }
            auto obj = [&](const char* k) { return objects.count(k) ? objects[k] : 0L; };
            auto sev = [&](const std::string& k) { return severities.count(k) ? severities[k] : 0L; };
            const std::string label = e.group + "/" + e.name;
            if (copy == 1) {
                char objText[64], sevText[64], formulaText[32];
                std::snprintf(objText, sizeof objText, "%ld/%ld/%ld/%ld/%ld/%ld", obj("text"), obj("field"),
                              obj("line"), obj("box"), obj("picture"), obj("subreport"));
                std::snprintf(sevText, sizeof sevText, "%ld/%ld/%ld/%ld",
                              sev(LevelText(tolvaran::LogLevel::Error)),
                              sev(LevelText(tolvaran::LogLevel::Problem)),
                              sev(LevelText(tolvaran::LogLevel::Step)), sev("none"));
                std::snprintf(formulaText, sizeof formulaText, "%ld/%ld", formulasPass, formulasFail);
                std::printf("%-60.60s %-4s %4d %-28s %9s %-16s %8.3f %8.3f %6.1f\n", label.c_str(),
                            completed ? "yes" : "NO", sections, objText, formulaText, sevText, readMs, ms,
                            readMs > 0 ? ms / readMs : 0.0);
                std::fflush(stdout);
                times.push_back({ms, label});
            }
            if (completed) ++pass.completed;
            pass.sections += sections;
            pass.formulasPass += formulasPass;
            pass.formulasFail += formulasFail;
            for (const auto& [k, n] : objects) pass.objects[k] += n;
            for (const auto& [k, n] : severities) pass.severities[k] += n;
            pass.ms += ms;
            pass.readMs += readMs;
            pass.cpuMs += cpuMs;
            pass.readCpuMs += readCpuMs;
        }
        if (copy == 1) totals = pass;
        if (pass.completed != pass.reports) allCompleted = false;
        if (copies > 1)
            std::printf(
                "pass %3d: %ld conversions, %ld completed, %.1f ms; resident %.1f MiB, peak %.1f MiB\n", copy,
                pass.reports * rounds, pass.completed, pass.ms, ResidentMiB(), PeakMiB());
    }

    std::printf("\nTotals: %ld reports, %ld completed, %ld sections\n", totals.reports, totals.completed,
                totals.sections);
    std::printf("Objects:");
    for (const auto& [k, n] : totals.objects) std::printf(" %s %ld", k.c_str(), n);
    std::printf("\nFormulas: %ld pass the check, %ld fail (commented out)\n", totals.formulasPass,
                totals.formulasFail);
    std::printf("Error-log rows by severity:");
    for (const auto& [k, n] : totals.severities) std::printf(" %s: %ld", k.c_str(), n);
    std::printf("\nReading the exports (as bench_access_reader): %.1f ms, %.3f ms per report\n",
                totals.readMs, totals.reports ? totals.readMs / totals.reports : 0.0);
    std::printf("Converting them: %.1f ms, %.3f ms per report (fastest of %d rounds each)\n", totals.ms,
                totals.reports ? totals.ms / totals.reports : 0.0, rounds);
    const double ratio = totals.readMs > 0 ? totals.ms / totals.readMs : 0.0;
    std::printf("Ratio conversion/reading: %.2f (%s 5)\n", ratio, ratio <= 5.0 ? "at most" : "ABOVE");
    std::printf("Processor time: reading %.1f ms, converting %.1f ms, ratio %.2f\n", totals.readCpuMs,
                totals.cpuMs, totals.readCpuMs > 0 ? totals.cpuMs / totals.readCpuMs : 0.0);
    std::sort(times.rbegin(), times.rend());
    std::printf("Slowest:\n");
    for (size_t i = 0; i < times.size() && i < 5; ++i)
        std::printf("  %8.1f ms  %s\n", times[i].first, times[i].second.c_str());
    std::printf("Memory: resident %.1f MiB before the conversions, %.1f MiB after; peak %.1f MiB\n", startMiB,
                ResidentMiB(), PeakMiB());
    std::printf("Conversions run: %ld\n", reportId);

    // Each report as the first conversion of a fresh process, beside a second one there.
    std::vector<double> first, warm, prepared;
    for (const Export& e : exports) {
        if (!e.read) continue;
        std::istringstream line(
            RunSelf({"--first", frontOf.at(e.group), e.name, source.string(), programFolder}));
        std::string a, b, c;
        double f = 0, w = 0, p = 0;
        if (line >> a >> f >> b >> w >> c >> p && a == "first" && b == "warm" && c == "prepared") {
            first.push_back(f);
            warm.push_back(w);
            prepared.push_back(p);
        }
    }
    if (!first.empty())
        std::printf(
            "First conversion in a fresh process (%zu reports, each in its own): median %.1f ms, %.1f-%.1f "
            "ms; "
            "the next one there: median %.1f ms, %.1f-%.1f ms; made ready at start-up beforehand in "
            "%.1f-%.1f ms\n",
            first.size(), Median(first), *std::min_element(first.begin(), first.end()),
            *std::max_element(first.begin(), first.end()), Median(warm),
            *std::min_element(warm.begin(), warm.end()), *std::max_element(warm.begin(), warm.end()),
            *std::min_element(prepared.begin(), prepared.end()),
            *std::max_element(prepared.begin(), prepared.end()));

    // Closing the last connection folds the write-ahead log back into the lists file.
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::vector<std::string> leftOver;
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        if (fs::exists(lists + suffix)) leftOver.push_back(lists + suffix);
    if (leftOver.empty()) std::printf("Lists file after the batch: one file, no -wal or -shm beside it\n");
    for (const std::string& f : leftOver) std::printf("Lists file after the batch: %s REMAINS\n", f.c_str());

    std::error_code ec;
    if (keep)
        std::printf("Work folder: %s\n", work.c_str());
    else
        fs::remove_all(work, ec);
    return allCompleted && leftOver.empty() ? 0 : 1;
}
