#include "platform/access/application.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "platform/access/export_reader.h"
#include "platform/access/properties.h"
#include "platform/ado/connection_text.h"
#include "platform/ado/sqlite_driver.h"
#include "platform/common/com_error.h"
#include "platform/common/regular_file.h"
#include "platform/common/text.h"

namespace fs = std::filesystem;

namespace tolvaran::access {

inline constexpr long kErrServerGone = 462;  // the instance has quit

struct ApplicationState {
    ReadOptions options;
    ado::ConnectionOptions connections;
    ReportCachePtr cache;  // may be null
    bool quit = false;
    std::string path;  // the open file, "" when none
    bool dataProject = false;
    ado::ConnectionPtr connection;         // the file's own tables and queries (.mdb, stand-in)
    ado::ConnectionPtr projectConnection;  // a data project's server, opened on first use
    std::string version = "4.0";
    std::vector<std::pair<std::string, ReportPtr>> openReports;

    void RequireAlive() const {
        if (quit)
            throw vb::ComError(kErrServerGone, "The remote server machine does not exist or is unavailable");
    }

    void RequireOpen() const {
        RequireAlive();
        if (path.empty())
            throw vb::ComError(kErrNoCurrentDatabase, "Object variable or With block variable not set");
    }

    ado::Driver& Jet() const {
        RequireOpen();
        if (!connection)
            throw vb::ComError(kErrNoCurrentDatabase, "Object variable or With block variable not set");
        return connection->driver();
    }

    fs::path SourceFolder() const { return fs::path(path + ".src"); }

    // Report name and export file of every report export of the open file, sorted by name.
    // Of two exports of one report, ".bas" comes before ".txt" before ".report".
    std::shared_ptr<const ReportCache::Listing> ReportFiles() const {
        std::error_code ec;
        const fs::path folder = ReportExportFolder(path);
        if (path.empty() || !fs::is_directory(folder, ec))
            return std::make_shared<const ReportCache::Listing>();
        return ReportCache::Exports(folder, [&] { return ListExports(folder); });
    }

    // The export of one report: the file named exactly after it when there is one (no folder
    // listing needed), else the listing's entry of that name without regard to case. A name
    // that could leave the folder matches only through the listing (where it cannot).
    std::pair<std::string, std::string> ExportOf(const std::string& reportName) const {
        if (!path.empty() && !reportName.empty() && reportName != "." && reportName != ".." &&
            reportName.find_first_of("/\\") == std::string::npos) {
            std::error_code ec;
            const fs::path folder = ReportExportFolder(path);
            for (const char* ext : {".bas", ".txt", ".report"}) {
                fs::path file = folder / (reportName + ext);
                // A file name the report's name would be decoded from ("%2F" for "/") is not it.
                if (fs::is_regular_file(file, ec) && ReportNameOfFile(file.string()) == reportName)
                    return {reportName, file.string()};
            }
        }
        const auto listing = ReportFiles();
        for (auto& entry : *listing)
            if (EqualsNoCase(entry.first, reportName)) return entry;
        return {};
    }

    static std::vector<std::pair<std::string, std::string>> ListExports(const fs::path& folder) {
        std::vector<std::pair<std::string, std::string>> out;
        std::error_code ec;
        static constexpr const char* kExts[] = {".bas", ".txt", ".report"};
        struct Found {
            int rank;
            std::string name;
            std::string file;
        };
        std::vector<Found> found;
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            const std::string ext = e.path().extension().string();
            int rank = -1;
            for (int i = 0; i < 3; ++i)
                if (ext == kExts[i]) rank = i;
            if (rank < 0 || !e.is_regular_file(ec)) continue;
            found.push_back({rank, ReportNameOfFile(e.path().string()), e.path().string()});
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const Found& a, const Found& b) { return a.rank < b.rank; });
        for (Found& f : found) {
            bool seen = std::any_of(out.begin(), out.end(),
                                    [&](const auto& p) { return EqualsNoCase(p.first, f.name); });
            if (!seen) out.emplace_back(std::move(f.name), std::move(f.file));
        }
        std::sort(out.begin(), out.end(),
                  [](const auto& a, const auto& b) { return LowerCase(a.first) < LowerCase(b.first); });
        return out;
    }

    std::string ProjectConnectionText() const {
        // A connection text of a few hundred bytes; a FIFO or folder of that name is no such text.
        constexpr std::uint64_t kMaxConnectionTextBytes = 64 * 1024;
        std::string text;
        if (!ReadRegularFile((SourceFolder() / "connection.txt").string(), text, kMaxConnectionTextBytes)
                 .empty())
            return {};
        if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        return std::string(TrimBlanks(text, " \t\r\n"));
    }

    std::vector<NamedItem> TableNames() {
        std::vector<NamedItem> out;
        ado::Driver* driver = nullptr;
        if (dataProject) {
            RequireOpen();
            if (!projectConnection)
                projectConnection = ado::OpenConnection(ProjectConnectionText(), connections);
            driver = &projectConnection->driver();
        } else {
            driver = &Jet();
        }
        for (const ado::TableInfo& t : driver->tables())
            if (t.type != "VIEW") out.push_back({t.name});
        return out;
    }
};

namespace {

bool IsDataProjectFile(const std::string& path) {
    const std::string ext = fs::path(path).extension().string();
    return EqualsNoCase(ext, ".adp") || EqualsNoCase(ext, ".ade");
}

[[noreturn]] void ItemNotFound() {
    throw vb::ComError(kErrItemNotFound, "Item not found in this collection.");
}

}  // namespace

// ---- collections ----

const NamedItem& NamedList::Item(long index) const {
    if (index < 0 || index >= Count()) ItemNotFound();
    return items_[static_cast<size_t>(index)];
}

const NamedItem& NamedList::Item(std::string_view name) const {
    for (const NamedItem& i : items_)
        if (EqualsNoCase(i.Name, name)) return i;
    ItemNotFound();
}

const Container& ContainerList::Item(long index) const {
    if (index < 0 || index >= Count()) ItemNotFound();
    return items_[static_cast<size_t>(index)];
}

const Container& ContainerList::Item(std::string_view name) const {
    for (const Container& c : items_)
        if (EqualsNoCase(c.Name, name)) return c;
    ItemNotFound();
}

// ---- QueryDef, Database ----

void QueryDef::setSQL(const std::string& sql) {
    ado::Driver& driver = state_->Jet();
    if (driver.readOnly())
        throw vb::ComError(kErrReadOnly, "Cannot update. Database or object is read-only.");
    driver.saveQuery(name_, sql, true);
    sql_ = sql;
}

std::string Database::Name() const {
    state_->Jet();
    return state_->path;
}

ContainerList Database::Containers() const {
    state_->Jet();
    ContainerList list;
    for (const char* name :
         {"Databases", "Tables", "Relationships", "Forms", "Reports", "Scripts", "Modules"})
        list.items_.push_back({name, {}});
    list.items_[1].Documents = TableDefs();
    std::vector<NamedItem> reports;
    const auto listing = state_->ReportFiles();
    for (auto& [name, file] : *listing) reports.push_back({name});
    list.items_[4].Documents = NamedList(std::move(reports));
    return list;
}

NamedList Database::TableDefs() const {
    state_->Jet();
    return NamedList(state_->TableNames());
}

QueryDef Database::QueryDefs(const std::string& name) const {
    // Every saved query: plain SELECTs are the catalog's views; parameter, union, crosstab and
    // action queries are its procedures.
    ado::Driver& driver = state_->Jet();
    for (const auto& list : {driver.views(), driver.procedures()}) {
        for (const ado::QueryInfo& q : list) {
            if (EqualsNoCase(q.name, name)) {
                QueryDef def;
                def.state_ = state_;
                def.name_ = q.name;
                def.sql_ = q.commandText;
                return def;
            }
        }
    }
    ItemNotFound();
}

QueryDef Database::CreateQueryDef(const std::string& name, const std::string& sql) const {
    ado::Driver& driver = state_->Jet();
    if (driver.readOnly())
        throw vb::ComError(kErrReadOnly, "Cannot update. Database or object is read-only.");
    for (const auto& list : {driver.views(), driver.procedures()})
        for (const ado::QueryInfo& q : list)
            if (EqualsNoCase(q.name, name)) throw vb::ComError(3012, "Object '" + name + "' already exists.");
    QueryDef def;
    def.state_ = state_;
    def.name_ = name;
    if (!sql.empty()) def.setSQL(sql);
    return def;
}

ado::ConnectionPtr Database::Connection() const {
    state_->Jet();
    return state_->connection;
}

// ---- CurrentData, CurrentProject, DBEngine, DoCmd ----

NamedList CurrentDataObject::AllTables() const {
    return NamedList(state_->TableNames());
}

std::string CurrentProjectObject::AccessConnection() const {
    state_->RequireOpen();
    return state_->dataProject ? state_->ProjectConnectionText() : std::string();
}

std::string CurrentProjectObject::Path() const {
    state_->RequireOpen();
    return fs::path(state_->path).parent_path().string();
}

std::string CurrentProjectObject::Name() const {
    state_->RequireOpen();
    return fs::path(state_->path).filename().string();
}

std::string CurrentProjectObject::FullName() const {
    state_->RequireOpen();
    return state_->path;
}

NamedList CurrentProjectObject::AllReports() const {
    state_->RequireOpen();
    std::vector<NamedItem> items;
    const auto listing = state_->ReportFiles();
    for (auto& [name, file] : *listing) items.push_back({name});
    return NamedList(std::move(items));
}

std::string DBEngineObject::Version() const {
    state_->RequireAlive();
    return state_->path.empty() ? std::string("4.0") : state_->version;
}

void DoCmdObject::OpenReport(const std::string& name, int /*view: every view opens the design*/) const {
    state_->RequireAlive();
    for (const auto& [open, report] : state_->openReports)
        if (EqualsNoCase(open, name)) return;
    if (const auto [reportName, file] = state_->ExportOf(name); !file.empty()) {
        ReportPtr report = state_->cache ? state_->cache->Read(file, state_->options)
                                         : ReadReportFile(file, state_->options);
        state_->openReports.emplace_back(reportName, std::move(report));
        return;
    }
    throw vb::ComError(kErrReportNotFound, "The report name '" + name +
                                               "' you entered in either the property sheet or macro is "
                                               "misspelled or refers to a report that doesn't exist.");
}

void DoCmdObject::CloseReport(const std::string& name) const {
    auto& open = state_->openReports;
    open.erase(
        std::remove_if(open.begin(), open.end(), [&](const auto& p) { return EqualsNoCase(p.first, name); }),
        open.end());
}

// ---- Application ----

Application::Application(ReadOptions options) : state_(std::make_shared<ApplicationState>()) {
    state_->options = std::move(options);
}

Application::~Application() {
    // Closing releases the reader; a failure to do so cannot be reported from here.
    try {
        if (!state_->quit) CloseCurrentDatabase();
    } catch (...) {
    }
}

void Application::OpenCurrentDatabase(const std::string& path, bool /*exclusive*/) {
    state_->RequireAlive();
    if (!state_->path.empty())
        throw vb::ComError(kErrDatabaseAlreadyOpen, "You already have the database open.");
    const std::string cannotOpen = "Microsoft Access can't open the database '" + path +
                                   "' because it is missing, or opened exclusively by another user";
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) {
        // Something other than a file under the name is said for what it is.
        const std::string kind = path.empty() ? std::string() : NotAFileKind(path);
        throw vb::ComError(kErrCannotOpenDatabase, kind.empty()
                                                       ? cannotOpen + "."
                                                       : "Microsoft Access can't open the database '" + path +
                                                             "': it is " + kind + ", not a database file.");
    }

    if (IsDataProjectFile(path)) {
        state_->dataProject = true;
        state_->version = "4.0";
        state_->path = path;
        return;
    }
    auto connection = std::make_shared<ado::Connection>();
    connection->setOptions(state_->connections);
    try {
        connection->Open(ado::JetFileText(path).Text());
    } catch (const vb::ComError& e) {
        throw vb::ComError(kErrCannotOpenDatabase, cannotOpen + ": " + e.Description());
    }
    // The session knows what it opened: a SQLite stand-in marks Jet 3 in its user_version, an
    // Access file in its header.
    auto findVersion = [&]() -> std::string {
        ado::Driver& driver = connection->driver();
        const bool jet3 = driver.kind() == ado::EngineKind::SQLite ? driver.userVersion() == 3
                                                                   : ado::AccessFileVersion(path) == 3;
        return jet3 ? "3.51" : "4.0";
    };
    // A job opens its file again and again: the version is read from it once.
    const std::string version =
        state_->cache ? state_->cache->DatabaseVersion(path, findVersion) : findVersion();
    state_->connection = std::move(connection);
    state_->dataProject = false;
    state_->version = version;
    state_->path = path;
}

void Application::setReportCache(ReportCachePtr cache) {
    state_->cache = std::move(cache);
}

void Application::setConnectionOptions(const ado::ConnectionOptions& options) {
    state_->connections = options;
}

void Application::CloseCurrentDatabase() {
    state_->RequireAlive();
    state_->openReports.clear();
    state_->connection.reset();
    state_->projectConnection.reset();
    state_->dataProject = false;
    state_->version = "4.0";
    state_->path.clear();
}

void Application::Quit(int /*option: nothing is ever saved*/) {
    if (state_->quit) return;
    CloseCurrentDatabase();
    state_->quit = true;
}

DBEngineObject Application::DBEngine() const {
    DBEngineObject o;
    o.state_ = state_;
    return o;
}

DoCmdObject Application::DoCmd() const {
    state_->RequireAlive();
    DoCmdObject o;
    o.state_ = state_;
    return o;
}

ReportPtr Application::Reports(const std::string& name) const {
    state_->RequireAlive();
    for (const auto& [open, report] : state_->openReports)
        if (EqualsNoCase(open, name)) return report;
    throw vb::ComError(kErrReportNotOpen, "The report name '" + name +
                                              "' you entered is misspelled or refers to a report that isn't "
                                              "open or doesn't exist.");
}

long Application::ReportsCount() const {
    return static_cast<long>(state_->openReports.size());
}

Database Application::CurrentDb() const {
    state_->Jet();
    Database d;
    d.state_ = state_;
    return d;
}

CurrentDataObject Application::CurrentData() const {
    state_->RequireOpen();
    CurrentDataObject o;
    o.state_ = state_;
    return o;
}

CurrentProjectObject Application::CurrentProject() const {
    state_->RequireOpen();
    CurrentProjectObject o;
    o.state_ = state_;
    return o;
}

std::string Application::ReportExportPath(const std::string& reportName) const {
    return state_->ExportOf(reportName).second;
}

std::string ReportExportFolder(const std::string& file) {
    return (fs::path(file + ".src") / "reports").string();
}

}  // namespace tolvaran::access
