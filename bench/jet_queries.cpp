// Runs every saved query of every Access file in the corpus through the Jet driver and prints
// its rows and milliseconds (the first query that reads a table also loads it), then times the
// first saved query of nwind.mdb against mdb-export of the same tables, the two taking turns in
// each round:
//   whole, as the user waits for it: from opening the file (the reader process started, the
//   catalog read) until the query's last row is read; mdb-export is timed alike, from
//   starting its process until it has written every row;
//   the query alone, as before: the file opened and its catalog read before the clock starts,
//   the clock stopped when the query has given its cursor (its tables loaded, the first row
//   ready), and again on the same connection with the tables already loaded.
//   bench_jet_queries [folder]   (default: the corpus db folder beside the source tree)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/ado/jet_driver.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/ado/jet_sql.h"
#include "platform/common/com_error.h"

namespace fs = std::filesystem;

namespace {

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string ShellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Values for a query's parameters: dates in 1995, numbers, texts.
std::vector<vb::Variant> Values(ado::JetDriver& driver, const std::string& query) {
    std::vector<vb::Variant> values;
    for (const auto& p : driver.parameters(query)) {
        if (p.type == ado::JetType::Date)
            values.emplace_back(vb::Date::FromParts(1995, values.empty() ? 1 : 12, 31));
        else if (ado::IsJetNumeric(p.type))
            values.emplace_back(10248);
        else
            values.emplace_back("foo");
    }
    return values;
}

// The tables a statement reads, following the saved queries it draws on.
void Tables(const ado::jetsql::Source& s, ado::JetDriver& driver, std::set<std::string>& out);
void Tables(const std::string& sql, ado::JetDriver& driver, std::set<std::string>& out) {
    const auto st = ado::jetsql::ParseJetSql(sql);
    if (!st.query) return;
    for (const auto& part : st.query->parts)
        for (const auto& s : part->from) Tables(*s, driver, out);
}
void Tables(const ado::jetsql::Source& s, ado::JetDriver& driver, std::set<std::string>& out) {
    if (s.kind == ado::jetsql::Source::Join) {
        Tables(*s.left, driver, out);
        Tables(*s.right, driver, out);
        return;
    }
    if (s.kind != ado::jetsql::Source::Table) return;
    for (const auto& list : {driver.views(), driver.procedures()}) {
        for (const auto& q : list) {
            if (q.name == s.name) return Tables(q.commandText, driver, out);
        }
    }
    out.insert(s.name);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder =
        argc > 1 ? fs::path(argv[1])
                 : fs::path(__FILE__).parent_path().parent_path().parent_path() / "shared" / "corpus" / "db";

    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".mdb" || ext == ".accdb") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::printf("%-42s %-36s %8s %10s\n", "file", "saved query", "rows", "ms");
    for (const auto& file : files) {
        std::unique_ptr<ado::JetDriver> driver;
        try {
            driver = ado::OpenJetFile(file.string());
        } catch (const vb::ComError& e) {
            std::printf("%-42s cannot open: %s\n", file.filename().c_str(), e.Description().c_str());
            continue;
        }
        std::vector<std::string> names;
        for (const auto& q : driver->views()) names.push_back(q.name);
        for (const auto& q : driver->procedures()) names.push_back(q.name);
        std::sort(names.begin(), names.end());
        for (const auto& name : names) {
            try {
                const auto values = Values(*driver, name);
                const auto t0 = std::chrono::steady_clock::now();
                auto cursor = driver->query(name, values);
                std::vector<vb::Variant> row;
                long rows = 0;
                while (cursor->next(row)) ++rows;
                std::printf("%-42.42s %-36.36s %8ld %10.2f\n", file.filename().c_str(), name.c_str(), rows,
                            Ms(std::chrono::steady_clock::now() - t0));
            } catch (const vb::ComError& e) {
                std::string why = e.Description();
                if (why.size() > 70) why = why.substr(0, 70) + "...";
                std::printf("%-42.42s %-36.36s  error: %s\n", file.filename().c_str(), name.c_str(),
                            why.c_str());
            }
        }
    }

    const fs::path nwind = folder / "mdbtools__mdbtestdata__nwind.mdb";
    if (!fs::exists(nwind)) return 0;
    auto probe = ado::OpenJetFile(nwind.string());
    auto views = probe->views();
    if (views.empty()) return 0;
    const std::string first = views.front().name;
    std::set<std::string> tables;
    Tables(views.front().commandText, *probe, tables);
    const int rounds = 5;
    double whole = 0, ours = 0, again = 0, tool = 0;
    long rows = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = std::chrono::steady_clock::now();
        {
            auto driver = ado::OpenJetFile(nwind.string());
            auto c = driver->query(first, {});
            std::vector<vb::Variant> row;
            for (rows = 0; c->next(row);) ++rows;
            whole += Ms(std::chrono::steady_clock::now() - t0);  // the connection's closing not counted
        }

        auto driver = ado::OpenJetFile(nwind.string());
        driver->tables();
        t0 = std::chrono::steady_clock::now();
        auto c = driver->query(first, {});
        ours += Ms(std::chrono::steady_clock::now() - t0);
        t0 = std::chrono::steady_clock::now();
        c = driver->query(first, {});
        again += Ms(std::chrono::steady_clock::now() - t0);

        t0 = std::chrono::steady_clock::now();
        for (const auto& t : tables) {
            const std::string cmd =
                "mdb-export " + ShellQuote(nwind.string()) + " " + ShellQuote(t) + " >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0) break;
        }
        tool += Ms(std::chrono::steady_clock::now() - t0);
    }
    std::string list;
    for (const auto& t : tables) list += (list.empty() ? "" : ", ") + t;
    std::printf("\nnwind.mdb first saved query \"%s\" (tables %s, %ld rows), mean of %d:\n", first.c_str(),
                list.c_str(), rows, rounds);
    std::printf("  driver, file opened to last row read:     %8.2f ms\n", whole / rounds);
    std::printf("  mdb-export of the same tables, processes: %8.2f ms\n", tool / rounds);
    std::printf("  ratio as the user waits (driver / mdb-export): %.2f\n", whole / tool);
    std::printf("  driver, query to its cursor, file already open (tables loaded by the query): %8.2f ms\n",
                ours / rounds);
    std::printf("  driver, query to its cursor, tables already loaded:                         %8.2f ms\n",
                again / rounds);
    std::printf("  ratio of the query alone (loaded by the query / mdb-export): %.2f\n", ours / tool);
    return 0;
}
