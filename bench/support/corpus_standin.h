#pragma once
// Corpus report exports converted without their databases: the exports of one repository (or
// of all, for a batch of one entry) share one SQLite Access stand-in, in which each report's
// record source is a table holding every field the report refers to (bound control sources,
// names in expressions, group levels, subreport link fields). The copied export names that table as its
// record source; subreports find their reports among the other exports of the same repository. Used by
// bench_convert_corpus, bench_convert_all and by the report-window scenes of bench_screens.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/context.h"
#include "store/record_classes.h"

namespace tolvaran {
class clsConvert;
}
namespace ui {
class Prompt;
}

namespace corpus_standin {

// One export, named "<owner>__<repo>__<ReportName>.<ext>".
struct Export {
    std::filesystem::path file;
    std::string group;  // "<owner>__<repo>"
    std::string name;   // the report name
    std::string extension;
    std::string table;  // its record-source table in the stand-in
    bool read = false;  // the export could be read
};

std::string ReadFile(const std::filesystem::path& file);
// Runs sql (several statements) in one transaction of the SQLite file, creating it; false
// (after a line on stderr) when it fails.
bool RunSql(const std::string& file, const std::string& sql);

// The exports (.bas, .txt, .report) of a folder, ordered by file name; group: only those of
// that repository when not empty.
std::vector<Export> ListExports(const std::filesystem::path& folder, const std::string& group = {});

// Reads the exports, builds one stand-in per repository under work ("<group>/front.mdb" with
// its ".src/reports/" copies) and returns the stand-in of each repository. fillerRows rows of
// made-up values go into each record-source table, so that a viewer has records to show.
std::map<std::string, std::string> BuildFrontEnds(std::vector<Export>& exports,
                                                  const std::filesystem::path& work, int fillerRows = 0);

// One stand-in file front (its folder made) for every export of exports, whatever its
// repository: the tables of all repositories, and each export copies times over beside it
// ("<ReportName>", then "<ReportName> 2", ...; a name met twice gets its repository in
// brackets). Returns the copies as exports named by their report names there (empty when the
// file cannot be made).
std::vector<Export> BuildSharedFrontEnd(std::vector<Export>& exports, const std::string& front, int copies);

// The folder of the running program.
std::string ProgramFolder();

// The two store files made in work from source's resources/store/*.sql, and ctx on them with
// programFolder and prompt; false (after a line on stderr) when they cannot be made.
bool PrepareStore(const std::filesystem::path& work, const std::filesystem::path& source,
                  const std::string& programFolder, ui::Prompt& prompt, tolvaran::AppContext& ctx);

// Converts one export through the whole converter job into out, as a report of entry 1, with
// a text log beside it; inspect sees the job afterwards. True when the job completed.
bool ConvertExport(tolvaran::AppContext& ctx, ui::Prompt& prompt, const Export& e,
                   const std::string& frontEnd, const std::filesystem::path& out,
                   std::shared_ptr<tolvaran::clsReport> report,
                   const std::function<void(tolvaran::clsConvert&)>& inspect = {});

}  // namespace corpus_standin
