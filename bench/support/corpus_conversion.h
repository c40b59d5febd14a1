#pragma once
// The corpus exports converted through the whole converter job, as bench_convert_corpus and
// bench_render_corpus run them.
//
// Exports are named "<owner>__<repo>__<ReportName>.<ext>". Their databases are not at hand:
// the exports of one repository share one SQLite Access stand-in ("front.mdb"), in which each
// report's record source is a table holding every field the report refers to (bound control
// sources, names in expressions, group levels, subreport link fields). The copied export names
// that table as its record source; subreports find their reports among the other exports of
// the same repository.
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace designer {
class Report;
}

namespace bench {

struct ConvertedReport {
    std::string group;                // "<owner>__<repo>"
    std::string name;                 // the Access report's name
    std::string label;                // group/name
    std::filesystem::path outFolder;  // where its .rpt and text log were written
    bool completed = false;
    short sections = 0;
    std::map<std::string, long> objects;      // by kind, subreports' objects included
    long formulasPass = 0, formulasFail = 0;  // a failing formula is commented out
    std::map<std::string, long> severities;   // error-log rows by severity ("none" without one)
    double ms = 0;
};

struct CorpusConversion {
    std::filesystem::path work;                  // the work folder (front ends, store files, out/)
    std::map<std::string, std::string> frontOf;  // group -> its front end
    std::map<std::string, std::map<std::string, std::set<std::string>>> tables;  // group -> table -> fields
    std::vector<ConvertedReport> reports;
};

// Converts every export of the folder in a new work folder under the temporary folder.
// source holds resources/store/*.sql; programFolder the placeholder pictures. each is called
// after every report. False (with a message on stderr) when the work folder cannot be made.
bool ConvertCorpus(const std::filesystem::path& exports, const std::filesystem::path& source,
                   const std::string& programFolder, CorpusConversion& out,
                   const std::function<void(const ConvertedReport&)>& each = {});

// Counts a report's objects by kind and its formulas, its subreports included.
void CountReport(const designer::Report& r, std::map<std::string, long>& objects, long& pass, long& fail);

// A SQLite name between double quotes.
std::string QuoteIdent(const std::string& name);

// The folder of the running program.
std::string ProgramFolder();

}  // namespace bench
