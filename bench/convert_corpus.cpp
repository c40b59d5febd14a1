// Converts every report export of a folder through the whole converter job and prints, per
// report, whether it completed, its sections, objects by kind, formulas passing and failing
// the designer's check, error-log rows by severity and the milliseconds; then totals, the
// slowest reports and peak memory.
//
// Exports are named "<owner>__<repo>__<ReportName>.<ext>". Their databases are not at hand:
// the exports of one repository share one SQLite Access stand-in, in which each report's
// record source is a table holding every field the report refers to (bound control sources,
// names in expressions, group levels, subreport link fields). The copied export names that
// table as its record source; subreports find their reports among the other exports of the
// same repository. Objects and formulas are counted in the report and its embedded
// subreports.
//   bench_convert_corpus [--keep] <exports-folder> <source-dir> [program-folder]
// source-dir holds resources/store/*.sql; program-folder (default: the folder of this
// program) holds the placeholder pictures. --keep leaves the work folder (front ends, store
// files, converted reports and text logs) in place and prints its path.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "platform/designer/report.h"
#include "platform/ui/recording.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "support/corpus_standin.h"

namespace fs = std::filesystem;
using corpus_standin::Export;

namespace {

struct Totals {
    long reports = 0, completed = 0, sections = 0, formulasPass = 0, formulasFail = 0;
    std::map<std::string, long> objects;
    std::map<std::string, long> severities;
    double ms = 0;
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
    const std::string programFolder = argc > 3 ? argv[3] : corpus_standin::ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_corpus_" + std::to_string(::getpid()));
    fs::create_directories(work);

    std::vector<Export> exports = corpus_standin::ListExports(folder);
    const std::map<std::string, std::string> frontOf = corpus_standin::BuildFrontEnds(exports, work);
    if (frontOf.empty()) return 1;

    // The store files and the run context.
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    if (!corpus_standin::PrepareStore(work, source, programFolder, prompt, ctx)) return 1;

    std::printf("%-70s %-4s %4s %-44s %9s %-16s %8s\n", "report", "done", "sect", "objects t/f/l/b/p/s",
                "formulas", "rows 1/2/5/none", "ms");
    Totals totals;
    std::vector<std::pair<double, std::string>> times;
    long reportId = 0;
    for (const Export& e : exports) {
        if (!e.read) continue;
        ++totals.reports;
        // The converted reports of a repository go beside the names of its stand-in folder.
        const fs::path out = work / "out" / fs::path(frontOf.at(e.group)).parent_path().filename();
        auto report = std::make_shared<tolvaran::clsReport>();
        report->ReportId = ++reportId;
        report->DatabaseListId = 1;
        report->ReportName = e.name;

        long lastRow = 0;
        {
            ado::Recordset rs;
            rs.Open("SELECT MAX(ErrorLogId) AS m FROM ErrorLog", ctx.gDb);
            lastRow = vb::NZ(rs["m"], 0).ToLong();
        }
        short sections = 0;
        std::map<std::string, long> objects;
        long pass = 0, fail = 0;
        const auto start = std::chrono::steady_clock::now();
        const bool completed = corpus_standin::ConvertExport(
            ctx, prompt, e, frontOf.at(e.group), out, report, [&](tolvaran::clsConvert& job) {
                sections = job.CountOfAccessSections;
                if (job.crReport()) CountReport(*job.crReport(), objects, pass, fail);
            });
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

        std::map<std::string, long> severities;
        {
            ado::Recordset rs;
            rs.Open(
                "SELECT ErrorSeverityLevel AS s, COUNT(*) AS n FROM ErrorLog WHERE ErrorLogId > ? "
                "GROUP BY ErrorSeverityLevel",
                ctx.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(lastRow)});
            for (; !rs.Eof(); rs.MoveNext())
                severities[rs["s"].IsNull() ? "none" : rs["s"].ToString()] = rs["n"].ToLong();
        }
        auto obj = [&](const char* k) { return objects.count(k) ? objects[k] : 0L; };
        auto sev = [&](const char* k) { return severities.count(k) ? severities[k] : 0L; };
        char objText[64], sevText[64], formulaText[32];
        std::snprintf(objText, sizeof objText, "%ld/%ld/%ld/%ld/%ld/%ld", obj("text"), obj("field"),
                      obj("line"), obj("box"), obj("picture"), obj("subreport"));
        std::snprintf(sevText, sizeof sevText, "%ld/%ld/%ld/%ld", sev("1"), sev("2"), sev("5"), sev("none"));
        std::snprintf(formulaText, sizeof formulaText, "%ld/%ld", pass, fail);
        const std::string label = e.group + "/" + e.name;
        std::printf("%-70.70s %-4s %4d %-44s %9s %-16s %8.1f\n", label.c_str(), completed ? "yes" : "NO",
                    sections, objText, formulaText, sevText, ms);
        std::fflush(stdout);

        if (completed) ++totals.completed;
        totals.sections += sections;
        totals.formulasPass += pass;
        totals.formulasFail += fail;
        for (const auto& [k, n] : objects) totals.objects[k] += n;
        for (const auto& [k, n] : severities) totals.severities[k] += n;
        totals.ms += ms;
        times.push_back({ms, label});
    }

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
        std::printf("Work folder: %s\n", work.c_str());
    else
        fs::remove_all(work, ec);
    return totals.completed == totals.reports ? 0 : 1;
}
