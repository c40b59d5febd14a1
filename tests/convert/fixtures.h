#pragma once
// Test front ends for the converter: a SQLite stand-in for an Access file (its tables, its
// saved queries as views, its linked tables as MSysObjects rows) with report exports in its
// "<file>.src/reports/" folder; the two store files built from the shipped SQL; a context
// with a recording prompt; readers of the ErrorLog rows and of text files.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/ado.h"
#include "platform/common/variant.h"
#include "store/context.h"
#include "support/recording.h"

namespace convert_test {

// A folder under the system temporary folder, removed with its contents at destruction.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Creates the SQLite file when missing and runs sql (several statements) in it.
void RunSql(const std::string& file, const std::string& sql);

// A SQLite file standing in for an Access file, with its export folder.
class FrontEnd {
  public:
    // Creates an empty database file at path (an .mdb name, or .adp for a data project whose
    // file only marks the project); a real Access file already at path is kept as it is.
    explicit FrontEnd(std::string path);

    const std::string& Path() const { return path_; }
    void Sql(const std::string& sql) const { RunSql(path_, sql); }
    // A table linked from another Access file (MSysObjects type 6).
    void LinkAccessTable(const std::string& name, const std::string& database,
                         const std::string& foreignName) const;
    // An ODBC-linked table (MSysObjects type 4); connect like "ODBC;DSN=x".
    void LinkOdbcTable(const std::string& name, const std::string& connect,
                       const std::string& foreignName) const;
    // Writes "<file>.src/reports/<name>.bas": a report with the given record source, extra
    // report-level property lines, and sections (by default a detail section with one text box
    // bound to field).
    void AddReport(const std::string& name, const std::string& recordSource, const std::string& sections = {},
                   const std::string& reportProps = {}) const;
    // The data project's connection text ("<file>.src/connection.txt").
    void SetConnection(const std::string& text) const;

  private:
    std::string path_;
};

// A report-level text box section list: one detail section holding one bound text box.
std::string DetailWithField(const std::string& field);

// The store files and a run context over them.
class Store {
  public:
    explicit Store(const TempFolder& folder);
    tolvaran::AppContext ctx;
    ui::RecordingPrompt prompt;
    ado::ConnectionPtr gDb() const { return ctx.gDb; }
    std::string listsFile;
    std::string settingsFile;
};

struct LogRow {
    std::string ReportName;
    vb::Variant SubReportOf;
    vb::Variant ErrorSeverityLevel;
    long ReportId = 0;
    long DatabaseListId = 0;
    std::string ErrorOccuredInFunction;
    std::string ErrorDesc;
    std::string FormulaName, AccessFormula, CrystalFormula;
    vb::Variant ErrorOn;
};
// Every ErrorLog row in key order.
std::vector<LogRow> ReadErrorLog(const ado::ConnectionPtr& db);
// The descriptions of the rows written under a function, in order.
std::vector<std::string> Descriptions(const std::vector<LogRow>& rows, const std::string& function);
// Lines of a text file (without line ends).
std::vector<std::string> ReadLines(const std::string& file);

// An SQLite ODBC configuration of the test process (private ini files; no system file is
// touched): the DSN "TolvaranConvert" on OdbcDb(). Call before the first ODBC use.
void UsePrivateOdbc();
std::string OdbcDb();

}  // namespace convert_test
