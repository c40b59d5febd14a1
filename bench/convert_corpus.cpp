// Converts every report export of a folder through the whole converter job and prints, per
// report, whether it completed, its sections, objects by kind, formulas passing and failing
// the designer's check, error-log rows by severity and the milliseconds; then totals, the
// slowest reports and peak memory.
//
// How the exports meet their data: support/corpus_conversion.h. Objects and formulas are
// counted in the report and its embedded subreports.
//   bench_convert_corpus [--keep] <exports-folder> <source-dir> [program-folder]
// source-dir holds resources/store/*.sql; program-folder (default: the folder of this
// program) holds the placeholder pictures. --keep leaves the work folder (front ends, store
// files, converted reports and text logs) in place and prints its path.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/corpus_conversion.h"

namespace fs = std::filesystem;

namespace {

struct Totals {
    long reports = 0, completed = 0, sections = 0, formulasPass = 0, formulasFail = 0;
    std::map<std::string, long> objects;
    std::map<std::string, long> severities;
    double ms = 0;
};

}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    if (argc > 1 && std::string(argv[1]) == "--keep") {
        keep = true;
        ++argv;
        --argc;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <exports-folder> <source-dir> [program-folder]\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const fs::path source = argv[2];
    if (!fs::exists(source / "resources" / "store" / "lists.sql")) {
        std::fprintf(stderr, "%s holds no resources/store/lists.sql: give the source folder of the project\n",
                     source.c_str());
        return 2;
    }
    const std::string programFolder = argc > 3 ? argv[3] : bench::ProgramFolder();

    std::printf("%-70s %-4s %4s %-44s %9s %-16s %8s\n", "report", "done", "sect", "objects t/f/l/b/p/s",
                "formulas", "rows 1/2/5/none", "ms");
    Totals totals;
    std::vector<std::pair<double, std::string>> times;
    bench::CorpusConversion run;
    bool made =
        bench::ConvertCorpus(folder, source, programFolder, run, [&](const bench::ConvertedReport& r) {
            auto obj = [&](const char* k) { return r.objects.count(k) ? r.objects.at(k) : 0L; };
            auto sev = [&](const char* k) { return r.severities.count(k) ? r.severities.at(k) : 0L; };
            char objText[64], sevText[64], formulaText[32];
            std::snprintf(objText, sizeof objText, "%ld/%ld/%ld/%ld/%ld/%ld", obj("text"), obj("field"),
                          obj("line"), obj("box"), obj("picture"), obj("subreport"));
            std::snprintf(sevText, sizeof sevText, "%ld/%ld/%ld/%ld", sev("1"), sev("2"), sev("5"),
                          sev("none"));
            std::snprintf(formulaText, sizeof formulaText, "%ld/%ld", r.formulasPass, r.formulasFail);
            std::printf("%-70.70s %-4s %4d %-44s %9s %-16s %8.1f\n", r.label.c_str(),
                        r.completed ? "yes" : "NO", r.sections, objText, formulaText, sevText, r.ms);
            std::fflush(stdout);

            ++totals.reports;
            if (r.completed) ++totals.completed;
            totals.sections += r.sections;
            totals.formulasPass += r.formulasPass;
            totals.formulasFail += r.formulasFail;
            for (const auto& [k, n] : r.objects) totals.objects[k] += n;
            for (const auto& [k, n] : r.severities) totals.severities[k] += n;
            totals.ms += r.ms;
            times.push_back({r.ms, r.label});
        });
    if (!made) return 1;
    std::printf("\nTotals: %ld reports, %ld completed, %ld sections\n", totals.reports, totals.completed,
                totals.sections);
    std::printf("Objects:");
    for (const auto& [k, n] : totals.objects) std::printf(" %s %ld", k.c_str(), n);
    std::printf("\nFormulas: %ld pass the check, %ld fail (commented out)\n", totals.formulasPass,
                totals.formulasFail);
    std::printf("Error-log rows by severity:");
    for (const auto& [k, n] : totals.severities) std::printf(" %s: %ld", k.c_str(), n);
    std::printf("\nTime: %.1f ms in all, %.1f ms per report\n", totals.ms,
                totals.reports ? totals.ms / totals.reports : 0.0);
    std::sort(times.rbegin(), times.rend());
    std::printf("Slowest:\n");
    for (size_t i = 0; i < times.size() && i < 5; ++i)
        std::printf("  %8.1f ms  %s\n", times[i].first, times[i].second.c_str());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("Peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);

    std::error_code ec;
    if (keep)
        std::printf("Work folder: %s\n", run.work.c_str());
    else
        fs::remove_all(run.work, ec);
    return totals.completed == totals.reports ? 0 : 1;
}
