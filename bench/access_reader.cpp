// Reads report exports and prints, per file, the numbers of sections, controls (at any
// depth) and group levels, the record-source kind (none, name, SQL) and the read time; then
// the totals. Arguments: folders (every .bas, .txt and .report file in them) or files.
//   bench_access_reader [--sidecars <folder>] [--expect <reports.tsv>] <folder-or-file>...
// --expect compares the counts with the sections, controls and group_levels columns of a
// corpus listing and exits with 1 when any differs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/access/export_reader.h"

namespace fs = std::filesystem;
using tolvaran::access::ReadOptions;
using tolvaran::access::ReadReportFile;

namespace {

bool IsExport(const fs::path& p) {
    std::string ext = p.extension().string();
    return ext == ".bas" || ext == ".txt" || ext == ".report";
}

std::string RecordSourceKind(const std::string& rs) {
    size_t i = rs.find_first_not_of(" \t\r\n(");
    if (i == std::string::npos) return "none";
    std::string word;
    for (; i < rs.size() && std::isalpha(static_cast<unsigned char>(rs[i])); ++i)
        word.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(rs[i]))));
    bool sql = (word == "SELECT" || word == "PARAMETERS" || word == "TRANSFORM") && i < rs.size() &&
               (rs[i] == ' ' || rs[i] == '\r' || rs[i] == '\n' || rs[i] == '\t');
    return sql ? "SQL" : "name";
}

struct Counts {
    long sections = 0, controls = 0, levels = 0;
};

// file name -> counts, from a tab-separated listing with a header row naming its columns.
std::map<std::string, Counts> ReadExpected(const std::string& tsv) {
    std::map<std::string, Counts> out;
    std::ifstream in(tsv);
    std::string line;
    auto split = [](const std::string& l) {
        std::vector<std::string> cols;
        std::stringstream ss(l);
        std::string c;
        while (std::getline(ss, c, '\t')) cols.push_back(c);
        return cols;
    };
    if (!std::getline(in, line)) return out;
    std::vector<std::string> header = split(line);
    auto col = [&](const char* name) {
        auto it = std::find(header.begin(), header.end(), name);
        return it == header.end() ? size_t(-1) : static_cast<size_t>(it - header.begin());
    };
    size_t f = col("file"), s = col("sections"), c = col("controls"), g = col("group_levels");
    if (f == size_t(-1) || s == size_t(-1) || c == size_t(-1) || g == size_t(-1)) return out;
    while (std::getline(in, line)) {
        std::vector<std::string> cols = split(line);
        if (cols.size() <= std::max({f, s, c, g})) continue;
        out[cols[f]] = {std::stol(cols[s]), std::stol(cols[c]), std::stol(cols[g])};
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    std::string sidecars;
    std::map<std::string, Counts> expected;
    bool checking = false;
    long mismatches = 0;
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        if (arg == "--sidecars" && a + 1 < argc) {
            sidecars = argv[++a];
            continue;
        }
        if (arg == "--expect" && a + 1 < argc) {
            expected = ReadExpected(argv[++a]);
            checking = true;
            continue;
        }
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            for (const auto& e : fs::directory_iterator(arg))
                if (e.is_regular_file() && IsExport(e.path())) files.push_back(e.path());
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: bench_access_reader [--sidecars <folder>] <folder-or-file>...\n");
        return 2;
    }
    std::sort(files.begin(), files.end());

    long totalSections = 0, totalControls = 0, totalLevels = 0, failures = 0;
    double totalMs = 0;
    std::uintmax_t totalBytes = 0;
    std::printf("file\tsections\tcontrols\tgroup_levels\trecord_source\tms\n");
    for (const fs::path& f : files) {
        ReadOptions options;
        if (!sidecars.empty()) {
            fs::path json = fs::path(sidecars) / f.filename();
            json.replace_extension(".json");
            fs::path pv = fs::path(json).replace_extension(".pv");
            if (fs::exists(json))
                options.sidecar = json.string();
            else if (fs::exists(pv))
                options.sidecar = pv.string();
        }
        auto start = std::chrono::steady_clock::now();
        try {
            auto report = ReadReportFile(f.string(), options);
            double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            totalMs += ms;
            totalBytes += fs::file_size(f);
            int sections = report->SectionCount();
            long controls = report->Controls().Count();
            int levels = report->GroupLevelCount();
            totalSections += sections;
            totalControls += controls;
            totalLevels += levels;
            std::printf("%s\t%d\t%ld\t%d\t%s\t%.3f\n", f.filename().string().c_str(), sections, controls,
                        levels, RecordSourceKind(report->RecordSource()).c_str(), ms);
            if (checking) {
                auto it = expected.find(f.filename().string());
                if (it == expected.end()) {
                    ++mismatches;
                    std::printf("  not in the listing\n");
                } else if (it->second.sections != sections || it->second.controls != controls ||
                           it->second.levels != levels) {
                    ++mismatches;
                    std::printf("  MISMATCH: listed %ld\t%ld\t%ld\n", it->second.sections,
                                it->second.controls, it->second.levels);
                }
            }
        } catch (const std::exception& e) {
            ++failures;
            std::printf("%s\tERROR\t%s\n", f.filename().string().c_str(), e.what());
        }
    }
    std::printf("TOTAL\t%ld\t%ld\t%ld\t%zu files, %ld failed, %.1f MB\t%.3f\n", totalSections, totalControls,
                totalLevels, files.size(), failures, static_cast<double>(totalBytes) / 1e6, totalMs);
    if (checking) std::printf("%ld of %zu files differ from the listing\n", mismatches, files.size());
    return failures == 0 && mismatches == 0 ? 0 : 1;
}
