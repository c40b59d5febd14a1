// Converts every report export of a folder through the whole converter job and prints, per
// report, whether it completed, its sections, objects by kind, formulas passing and failing
// the designer's check, error-log rows by severity, the milliseconds of reading its export
// (as bench_access_reader reads it: ReadReportFile on the corpus file) and of converting it,
// and their ratio; then totals, the slowest reports and memory.
//
// Each report is read and converted --rounds times (default 3) and the fastest of each is
// counted, so that other work on the machine does not decide the figures. --copies K converts
// the whole folder K times over (a batch of K x reports conversions into one lists file) and
// prints the memory after each pass. At the end the store connections are closed, which folds
// the lists file's write-ahead log back into it; the program says whether -wal or -shm files
// remain.
//
// Exports are named "<owner>__<repo>__<ReportName>.<ext>". Their databases are not at hand:
// the exports of one repository share one SQLite Access stand-in, in which each report's
// record source is a table holding every field the report refers to (bound control sources,
// names in expressions, group levels, subreport link fields). The copied export names that
// table as its record source; subreports find their reports among the other exports of the
// same repository. Objects and formulas are counted in the report and its embedded
// subreports.
//   bench_convert_corpus [--keep] [--rounds N] [--copies K] <exports-folder> <source-dir> [program-folder]
// source-dir holds resources/store/*.sql; program-folder (default: the folder of this
// program) holds the placeholder pictures. --keep leaves the work folder (front ends, store
// files, converted reports and text logs) in place and prints its path.
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>
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
#include "platform/ado/connection_pool.h"
#include "platform/access/encoding.h"
#include "platform/access/export_reader.h"
#include "platform/designer/report.h"
#include "platform/ui/recording.h"
#include "sources/link.h"
#include "sources/links_manager.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "store/support.h"
#include "store/text_log.h"

namespace fs = std::filesystem;
namespace tacc = tolvaran::access;

namespace {

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool RunSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return false;
    char* err = nullptr;
    const std::string all = "BEGIN;\n" + sql + "\nCOMMIT;";
    const int rc = sqlite3_exec(db, all.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) std::fprintf(stderr, "SQL failed on %s: %s\n", file.c_str(), err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

std::string QuoteIdent(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string QuoteExport(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool IsSql(const std::string& source) {
    std::string word;
    for (char c : Trim(source)) {
        if (!std::isalpha(static_cast<unsigned char>(c))) break;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return word == "SELECT" || word == "PARAMETERS" || word == "TRANSFORM";
}

// Names between brackets in an expression; the last part of a qualified name.
void BracketNames(const std::string& text, std::set<std::string>& out) {
    size_t i = 0;
    while ((i = text.find('[', i)) != std::string::npos) {
        const size_t j = text.find(']', i + 1);
        if (j == std::string::npos) break;
        const std::string name = text.substr(i + 1, j - i - 1);
        const bool qualified = j + 1 < text.size() && (text[j + 1] == '!' || text[j + 1] == '.');
        if (!qualified && !name.empty() && name != "Page" && name != "Pages") out.insert(name);
        i = j + 1;
    }
}

// A field name written in a control source or group level.
void SourceFields(const std::string& source, std::set<std::string>& out) {
    const std::string s = Trim(source);
    if (s.empty() || s.find("[Forms]") != std::string::npos) return;
    if (s[0] == '=') {
        BracketNames(s, out);
        return;
    }
    std::string name = s;
    if (name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    const size_t dot = name.find_last_of("!.");
    if (dot != std::string::npos) name = name.substr(dot + 1);
    if (!name.empty() && name.find('[') == std::string::npos) out.insert(name);
}

std::vector<std::string> SplitFields(const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string f = Trim(list.substr(start, end - start));
        if (!f.empty()) out.push_back(f);
        start = end + 1;
    }
    return out;
}

std::string SafeIdent(const std::string& s) {
    std::string out;
    for (unsigned char c : s) out += std::isalnum(c) ? static_cast<char>(c) : '_';
    return out;
}

struct Export {
    fs::path file;
    std::string group;
    std::string name;
    std::string extension;
    std::string table;
    bool read = false;
};

// The export with its record source replaced by the given table name, as UTF-8 with a BOM.
std::string WithRecordSource(const std::string& bytes, const std::string& table) {
    const std::string text = tacc::detail::DecodeExportText(bytes, tacc::detail::AnsiCodePage::Windows1252);
    std::string out = "\xEF\xBB\xBF";
    size_t pos = 0;
    bool skipping = false;
    bool inserted = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (skipping) {
            const std::string t = Trim(line);
            if (!t.empty() && t[0] == '"' && line.rfind("        ", 0) == 0) continue;
            skipping = false;
        }
        if (line.rfind("    RecordSource =", 0) == 0) {
            skipping = true;
            continue;
        }
        out += line + "\r\n";
        if (!inserted && Trim(line) == "Begin Report") {
            out += "    RecordSource =" + QuoteExport(table) + "\r\n";
            inserted = true;
        }
    }
    return out;
}

struct Totals {
    long reports = 0, completed = 0, sections = 0, formulasPass = 0, formulasFail = 0;
    std::map<std::string, long> objects;
    std::map<std::string, long> severities;
    double ms = 0;
    double readMs = 0;
    double cpuMs = 0;
    double readCpuMs = 0;
};

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

// The fastest reading of the export, as bench_access_reader reads it: elapsed and processor
// milliseconds.
std::pair<double, double> ReadMs(const fs::path& file, int rounds) {
    double best = 0, bestCpu = 0;
    for (int r = 0; r < rounds; ++r) {
        const double cpu = CpuMs();
        const auto start = std::chrono::steady_clock::now();
        try {
            (void)tacc::ReadReportFile(file.string());
        } catch (const std::exception&) {
        }
        const double ms = Since(start);
        const double cpuUsed = CpuMs() - cpu;
        if (r == 0 || ms < best) best = ms;
        if (r == 0 || cpuUsed < bestCpu) bestCpu = cpuUsed;
    }
    return {best, bestCpu};
}

struct Outcome {
    bool completed = false;
    short sections = 0;
    std::map<std::string, long> objects;
    long pass = 0, fail = 0;
    double ms = 0;
    double cpuMs = 0;
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

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path().string() : exe.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
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
        std::fprintf(stderr,
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
    const std::string programFolder = argc > 3 ? argv[3] : ProgramFolder();
    const fs::path work = fs::temp_directory_path() / ("tolvaran_corpus_" + std::to_string(::getpid()));
    fs::create_directories(work);
    // Exports by repository.
    std::vector<Export> exports;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".bas" && ext != ".txt" && ext != ".report") continue;
        const std::string stem = entry.path().stem().string();
        const size_t a = stem.find("__");
        const size_t b = a == std::string::npos ? std::string::npos : stem.find("__", a + 2);
        Export e;
        e.file = entry.path();
        e.extension = ext;
        e.group = b == std::string::npos ? "corpus" : stem.substr(0, b);
        e.name = b == std::string::npos ? stem : stem.substr(b + 2);
        exports.push_back(e);
    }
    std::sort(exports.begin(), exports.end(),
              [](const Export& x, const Export& y) { return x.file < y.file; });

    // The record-source tables of each repository and the fields they need.
    std::map<std::string, std::map<std::string, std::set<std::string>>> tables;  // group -> table -> fields
    std::map<std::string, std::string> tableOfReport;                            // group/name -> table
    std::vector<std::pair<std::string, std::pair<std::string, std::vector<std::string>>>> childLinks;
    for (Export& e : exports) {
        try {
            tacc::ReportPtr r = tacc::ReadReportFile(e.file.string());
            const std::string rs = Trim(r->RecordSource());
            std::string name = rs;
            if (!name.empty() && name.front() == '[' && name.back() == ']')
                name = name.substr(1, name.size() - 2);
            e.table = rs.empty() || IsSql(rs) || name.find_first_of("[];\r\n") != std::string::npos
                          ? "src_" + SafeIdent(e.name)
                          : name;
            tableOfReport[e.group + "/" + e.name] = e.table;
            std::set<std::string>& fields = tables[e.group][e.table];
            for (const tacc::Control* c : r->Controls()) {
                if (c->HasProperty("ControlSource")) SourceFields(c->ControlSource(), fields);
                if (c->ControlType() == tacc::acSubform) {
                    for (const std::string& f : SplitFields(c->LinkMasterFields())) fields.insert(f);
                    std::string child = c->SourceObject();
                    if (child.rfind("Report.", 0) == 0) child = child.substr(7);
                    childLinks.push_back(
                        {e.group + "/" + child, {e.group, SplitFields(c->LinkChildFields())}});
                }
            }
            for (int i = 0; i < r->GroupLevelCount(); ++i)
                SourceFields(r->GroupLevel(i).ControlSource(), fields);
            e.read = true;
        } catch (const std::exception& ex) {
            std::fprintf(stderr, "%s: not readable: %s\n", e.file.filename().c_str(), ex.what());
        }
    }
    for (const auto& [child, link] : childLinks) {
        auto it = tableOfReport.find(child);
        if (it == tableOfReport.end()) continue;
        for (const std::string& f : link.second) tables[link.first][it->second].insert(f);
    }

    // One front end per repository.
    std::map<std::string, std::string> frontOf;
    for (const auto& [group, groupTables] : tables) {
        const fs::path dir = work / SafeIdent(group);
        fs::create_directories(dir);
        const std::string front = (dir / "front.mdb").string();
        std::string sql =
            "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName "
            "TEXT, "
            "Connect TEXT);";
        for (const auto& [table, fields] : groupTables) {
            std::string cols;
            std::set<std::string> seen;  // SQLite column names ignore case
            for (const std::string& f : fields) {
                std::string lower;
                for (unsigned char ch : f) lower += static_cast<char>(std::tolower(ch));
                if (!seen.insert(lower).second) continue;
                cols += (cols.empty() ? "" : ", ") + QuoteIdent(f) +
                        (f.find("Date") != std::string::npos ? " DATETIME" : " TEXT");
            }
            if (cols.empty()) cols = "ID INTEGER";
            sql += "CREATE TABLE " + QuoteIdent(table) + " (" + cols + ");";
        }
        if (!RunSql(front, sql)) return 1;
        frontOf[group] = front;
    }
    for (const Export& e : exports) {
        if (!e.read) continue;
        const fs::path target = fs::path(frontOf[e.group] + ".src") / "reports" / (e.name + e.extension);
        fs::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << WithRecordSource(ReadFile(e.file), e.table);
    }

    // The store files and the run context.
    const std::string lists = (work / "TOLVARAN.ADL").string();
    const std::string settings = (work / "TOLVARAN.DAT").string();
    if (!RunSql(lists, ReadFile(source / "resources/store/lists.sql")) ||
        !RunSql(settings, ReadFile(source / "resources/store/settings.sql")))
        return 1;
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
    ctx.programFolder = programFolder;
    ctx.gDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + lists);
    ctx.gInternalDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + settings);
    ctx.prompt = &prompt;
    // As a request to convert all reports of an entry would: the source files are opened once
    // for the run, not once per report.
    ado::ConnectionPool sourceFiles;
    ado::ConnectionPool::Use pooled(sourceFiles);

    std::printf("%-60s %-4s %4s %-28s %9s %-16s %8s %8s %6s\n", "report", "done", "sect", "objects t/f/l/b/p/s",
                "formulas", "rows 1/2/5/none", "read ms", "conv ms", "ratio");
    Totals totals;
    std::vector<std::pair<double, std::string>> times;
    long reportId = 0;
    const double startMiB = ResidentMiB();
    for (int copy = 1; copy <= copies; ++copy) {
        Totals pass;
        for (const Export& e : exports) {
            if (!e.read) continue;
            ++pass.reports;
            const fs::path out = work / "out" / SafeIdent(e.group);
            fs::create_directories(out);
            const auto [readMs, readCpuMs] = ReadMs(e.file, rounds);

            auto lastRow = [&] {
                ado::Recordset rs;
                rs.Open("SELECT MAX(ErrorLogId) AS m FROM ErrorLog", ctx.gDb);
                return vb::NZ(rs["m"], 0).ToLong();
            };
            const long firstRow = lastRow();
            long firstRoundEnd = firstRow;
            Outcome best;
            for (int r = 0; r < rounds; ++r) {
                tolvaran::clsManageLinks links(prompt);
                auto link = std::make_shared<tolvaran::clsLink>();
                link->LinkType = tolvaran::kLinkInternal;
                link->LinkDatabase = frontOf[e.group];
                link->Name = "Internal";
                links.Add(link);
                auto report = std::make_shared<tolvaran::clsReport>();
                report->ReportId = ++reportId;
                report->DatabaseListId = 1;
                report->ReportName = e.name;
                tolvaran::clsWriteToText text(&prompt);
                text.FilePath = out.string();
                text.Filename = tolvaran::MakeSafeName(e.name) + "_ErrorLog";
                text.Extension = ".txt";
                text.Create_File();
                ui::RecordingWindow window;
                Outcome o;
                const double cpu = CpuMs();
                const auto start = std::chrono::steady_clock::now();
                try {
                    tolvaran::clsConvert job(ctx);
                    job.MultipleReportsSelected = true;  // no question is put to anyone
                    job.setOReport(report);
                    job.SuppressSectionsWithNoControls = true;
                    job.oLinks = &links;
                    job.Database = frontOf[e.group];
                    job.ReportName = e.name;
                    job.Reportpath = out.string();
                    job.AskShowPageHeaderFooterForSubReportsQuestion = true;
                    job.Form = &window;
                    job.oText = &text;
                    job.ProgressMeter = &window;
                    job.setDb(ctx.gDb);
                    job.Internaldb = ctx.gInternalDb;
                    o.completed = job.Convert(window, false);
                    o.sections = job.CountOfAccessSections;
                    if (job.crReport()) CountReport(*job.crReport(), o.objects, o.pass, o.fail);
                } catch (const std::exception& ex) {
                    std::fprintf(stderr, "%s: %s\n", e.name.c_str(), ex.what());
                }
                o.ms = Since(start);
                o.cpuMs = CpuMs() - cpu;
                text.close_file();
                if (r == 0) firstRoundEnd = lastRow();
                const double bestCpu = r == 0 ? o.cpuMs : std::min(best.cpuMs, o.cpuMs);
                if (r == 0 || o.ms < best.ms) best = o;
                best.cpuMs = bestCpu;
            }

            // Rows of the first round only: every round writes the same.
            std::map<std::string, long> severities;
            {
                ado::Recordset rs;
                rs.Open(
                    "SELECT ErrorSeverityLevel AS s, COUNT(*) AS n FROM ErrorLog WHERE ErrorLogId > ? AND ErrorLogId <= ? "
                    "GROUP BY ErrorSeverityLevel",
                    ctx.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly,
                    {vb::Variant(firstRow), vb::Variant(firstRoundEnd)});
                for (; !rs.Eof(); rs.MoveNext())
                    severities[rs["s"].IsNull() ? "none" : rs["s"].ToString()] = rs["n"].ToLong();
            }
            auto obj = [&](const char* k) { return best.objects.count(k) ? best.objects[k] : 0L; };
            auto sev = [&](const char* k) { return severities.count(k) ? severities[k] : 0L; };
            const std::string label = e.group + "/" + e.name;
            if (copy == 1) {
                char objText[64], sevText[64], formulaText[32];
                std::snprintf(objText, sizeof objText, "%ld/%ld/%ld/%ld/%ld/%ld", obj("text"), obj("field"),
                              obj("line"), obj("box"), obj("picture"), obj("subreport"));
                std::snprintf(sevText, sizeof sevText, "%ld/%ld/%ld/%ld", sev("1"), sev("2"), sev("5"), sev("none"));
                std::snprintf(formulaText, sizeof formulaText, "%ld/%ld", best.pass, best.fail);
                std::printf("%-60.60s %-4s %4d %-28s %9s %-16s %8.3f %8.3f %6.1f\n", label.c_str(),
                            best.completed ? "yes" : "NO", best.sections, objText, formulaText, sevText, readMs,
                            best.ms, readMs > 0 ? best.ms / readMs : 0.0);
                std::fflush(stdout);
            }
            if (best.completed) ++pass.completed;
            pass.sections += best.sections;
            pass.formulasPass += best.pass;
            pass.formulasFail += best.fail;
            for (const auto& [k, n] : best.objects) pass.objects[k] += n;
            for (const auto& [k, n] : severities) pass.severities[k] += n;
            pass.ms += best.ms;
            pass.readMs += readMs;
            pass.cpuMs += best.cpuMs;
            pass.readCpuMs += readCpuMs;
            if (copy == 1) times.push_back({best.ms, label});
        }
        if (copy == 1) totals = pass;
        if (copies > 1)
            std::printf("pass %3d: %ld conversions, %ld completed, %.1f ms; resident %.1f MiB, peak %.1f MiB\n", copy,
                        pass.reports * rounds, pass.completed, pass.ms, ResidentMiB(), PeakMiB());
        if (pass.completed != pass.reports) totals.completed = -1;
    }

    std::printf("\nTotals: %ld reports, %ld completed, %ld sections\n", totals.reports, totals.completed,
                totals.sections);
    std::printf("Objects:");
    for (const auto& [k, n] : totals.objects) std::printf(" %s %ld", k.c_str(), n);
    std::printf("\nFormulas: %ld pass the check, %ld fail (commented out)\n", totals.formulasPass,
                totals.formulasFail);
    std::printf("Error-log rows by severity:");
    for (const auto& [k, n] : totals.severities) std::printf(" %s: %ld", k.c_str(), n);
    std::printf("\nReading the exports (as bench_access_reader): %.1f ms, %.3f ms per report\n", totals.readMs,
                totals.reports ? totals.readMs / totals.reports : 0.0);
    std::printf("Converting them: %.1f ms, %.3f ms per report (fastest of %d rounds each)\n", totals.ms,
                totals.reports ? totals.ms / totals.reports : 0.0, rounds);
    const double ratio = totals.readMs > 0 ? totals.ms / totals.readMs : 0.0;
    std::printf("Ratio conversion/reading: %.2f (%s 3)\n", ratio, ratio <= 3.0 ? "at most" : "ABOVE");
    std::printf("Processor time: reading %.1f ms, converting %.1f ms, ratio %.2f\n", totals.readCpuMs, totals.cpuMs,
                totals.readCpuMs > 0 ? totals.cpuMs / totals.readCpuMs : 0.0);
    std::sort(times.rbegin(), times.rend());
    std::printf("Slowest:\n");
    for (size_t i = 0; i < times.size() && i < 5; ++i)
        std::printf("  %8.1f ms  %s\n", times[i].first, times[i].second.c_str());
    std::printf("Memory: resident %.1f MiB before the conversions, %.1f MiB after; peak %.1f MiB\n", startMiB,
                ResidentMiB(), PeakMiB());
    std::printf("Conversions run: %ld\n", reportId);

    // Closing the last connection folds the write-ahead log back into the lists file.
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::vector<std::string> leftOver;
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        if (fs::exists(lists + suffix)) leftOver.push_back(lists + suffix);
    if (leftOver.empty()) {
        std::printf("Lists file after the batch: one file, no -wal or -shm beside it\n");
    } else {
        for (const std::string& f : leftOver) std::printf("Lists file after the batch: %s REMAINS\n", f.c_str());
    }

    std::error_code ec;
    if (keep)
        std::printf("Work folder: %s\n", work.c_str());
    else
        fs::remove_all(work, ec);
    return totals.completed == totals.reports && leftOver.empty() ? 0 : 1;
}
