#pragma once
// The Access application object ("Access.Application") as the system drives it. Here it
// opens an Access file (or a SQLite stand-in) through the ADO layer for tables and saved
// queries, and reads report designs from the report exports in "<file>.src/reports/"
// ("<ReportName>.bas", ".txt" or ".report"). A data project (.adp, .ade) keeps its
// connection text in "<file>.src/connection.txt".
//
// The helper objects (Database, CurrentProject, ...) are handles that share the
// application's state: they stay valid after the calls that made them, and see the file that
// is open when they are used. Failures throw vb::ComError with Access's numbers (errors.h).
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/access/errors.h"
#include "platform/access/export_reader.h"
#include "platform/access/report.h"
#include "platform/access/report_cache.h"
#include "platform/ado/ado.h"

namespace tolvaran::access {

struct ApplicationState;
using StatePtr = std::shared_ptr<ApplicationState>;

// One entry of a name-only collection (Documents, AllTables, AllReports, TableDefs).
struct NamedItem {
    std::string Name;
};

// A collection indexed from 0 and by name (case-insensitive); a missing item throws 3265
// ("Item not found in this collection.").
class NamedList {
  public:
    NamedList() = default;
    explicit NamedList(std::vector<NamedItem> items) : items_(std::move(items)) {}
    long Count() const { return static_cast<long>(items_.size()); }
    const NamedItem& Item(long index) const;
    const NamedItem& Item(std::string_view name) const;
    const NamedItem& operator()(long index) const { return Item(index); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<NamedItem> items_;
};

// A container of CurrentDb ("Databases", "Tables", "Relationships", "Forms", "Reports",
// "Scripts", "Modules"); only "Reports" and "Tables" list documents here.
struct Container {
    std::string Name;
    NamedList Documents;
};

class ContainerList {
  public:
    long Count() const { return static_cast<long>(items_.size()); }
    const Container& Item(long index) const;  // from 0; 3265 when out of range
    const Container& Item(std::string_view name) const;
    const Container& operator()(long index) const { return Item(index); }

  private:
    friend class Database;
    std::vector<Container> items_;
};

// A saved query. Assigning SQL to a query made by CreateQueryDef saves it into the file
// (a view in a SQLite stand-in); a read-only Access file throws 3027.
class QueryDef {
  public:
    const std::string& Name() const { return name_; }
    const std::string& SQL() const { return sql_; }
    void setSQL(const std::string& sql);
    void Close() {}

  private:
    friend class Database;
    StatePtr state_;
    std::string name_;
    std::string sql_;
};

// CurrentDb.
class Database {
  public:
    // Full path of the open file.
    std::string Name() const;
    ContainerList Containers() const;
    // Tables of the file (local, linked and system tables; not queries).
    NamedList TableDefs() const;
    // The saved query of that name; 3265 when there is none.
    QueryDef QueryDefs(const std::string& name) const;
    // A new saved query; saved at once when sql is given, else when SQL is assigned.
    QueryDef CreateQueryDef(const std::string& name, const std::string& sql = {}) const;
    // The connection the database side reads through.
    ado::ConnectionPtr Connection() const;

  private:
    friend class Application;
    StatePtr state_;
};

// CurrentData.
class CurrentDataObject {
  public:
    NamedList AllTables() const;

  private:
    friend class Application;
    StatePtr state_;
};

// CurrentProject.
class CurrentProjectObject {
  public:
    // The data project's connection text ("<file>.src/connection.txt", trimmed); "" for an
    // .mdb file or when the file is missing.
    std::string AccessConnection() const;
    std::string Path() const;      // folder of the open file, without a final separator
    std::string Name() const;      // file name of the open file
    std::string FullName() const;  // full path of the open file
    NamedList AllReports() const;  // the reports found in the export folder, by name

  private:
    friend class Application;
    StatePtr state_;
};

class DBEngineObject {
  public:
    // "3.51" for a Jet 3 file or a SQLite stand-in whose PRAGMA user_version is 3, else
    // "4.0"; "4.0" with no file open.
    std::string Version() const;

  private:
    friend class Application;
    StatePtr state_;
};

// View argument of DoCmd.OpenReport.
enum AcView { acViewNormal = 0, acViewDesign = 1, acViewPreview = 2 };

class DoCmdObject {
  public:
    // Opens the report (reads its export); it is then reachable through Reports(name).
    // 2103 when the open file has no report of that name; ExportError (2128) when its
    // export cannot be read. Opening an open report again keeps the one already open.
    void OpenReport(const std::string& name, int view = acViewNormal) const;
    // Closes an open report; nothing happens when it is not open.
    void CloseReport(const std::string& name) const;

  private:
    friend class Application;
    StatePtr state_;
};

class Application {
  public:
    explicit Application(ReadOptions options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Opens the file (exclusive is accepted and not enforced). 7866 when the file does not
    // exist or cannot be opened; 7867 when a file is already open.
    void OpenCurrentDatabase(const std::string& path, bool exclusive = false);
    // Closes the file and every open report; nothing happens when none is open.
    void CloseCurrentDatabase();
    // Closes the file; the instance is gone afterwards (any further call throws 462).
    // option 2 (quit without saving) is the only behaviour: nothing is ever saved.
    void Quit(int option = 2);

    bool Visible = false;

    DBEngineObject DBEngine() const;
    DoCmdObject DoCmd() const;
    // The open report of that name; 2451 when it is not open.
    ReportPtr Reports(const std::string& name) const;
    long ReportsCount() const;
    // 91 when no file is open.
    Database CurrentDb() const;
    CurrentDataObject CurrentData() const;
    CurrentProjectObject CurrentProject() const;

    // The export file of a report of the open file, "" when there is none.
    std::string ReportExportPath(const std::string& reportName) const;

    // Reports are read through this cache when one is given (shared with other instances);
    // without one every OpenReport reads the export.
    void setReportCache(ReportCachePtr cache);
    // The options of the run the files and data projects are opened in (the SQL Server
    // template, the Access file reader); the defaults until set.
    void setConnectionOptions(const ado::ConnectionOptions& options);

  private:
    StatePtr state_;
};

// The folder the report exports of an Access file are read from: "<file>.src/reports".
std::string ReportExportFolder(const std::string& file);

}  // namespace tolvaran::access
