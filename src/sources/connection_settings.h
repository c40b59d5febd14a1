#pragma once
// clsDatabase: the connection settings the source-database dialog works with (data project
// or not, SQL Server server and database, the SQL Server drop-downs filled through SQL-DMO),
// and the older ODBC check chain with its cache clsODBCCollection. clsODBCItem is a plain
// record of an ODBC driver.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/ado.h"
#include "platform/adox/adox.h"
#include "platform/sqldmo/sqldmo.h"
#include "platform/ui/prompt.h"
#include "sources/error_log_writer.h"
#include "sources/list_control.h"

namespace tolvaran {

class clsODBCItem {
  public:
    std::string DriverName;
    std::string DriverFile;
    std::string FileVersion;
    std::string Installed;
    // Kept as its text form ("True" or "False") and read back by converting that text.
    bool IsSQLServer() const { return isSqlServer_ == "True"; }
    void setIsSQLServer(bool value) { isSqlServer_ = value ? "True" : "False"; }

  private:
    std::string isSqlServer_;
};

// ODBC settings confirmed by the ODBC chain.
struct OdbcSettings {
    std::string DSN, Server, Database, UserId, Password;
    bool UseDsn = false;
    bool UseNTLogin = false;
};

// A collection of settings keyed by text (keys compared without regard to case).
class clsODBCCollection {
  public:
    long Count() const { return static_cast<long>(items_.size()); }
    // By position (1 to Count) or key; null when absent.
    std::shared_ptr<OdbcSettings> Item(long position) const;
    std::shared_ptr<OdbcSettings> Item(const std::string& key) const;
    void RemoveAll() { items_.clear(); }
    // Reserved to the program: a key already present is refused with error 457.
    void Add(std::shared_ptr<OdbcSettings> item, const std::string& key);
    void Remove(const std::string& key);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<std::pair<std::string, std::shared_ptr<OdbcSettings>>> items_;
};

class clsDatabase {
  public:
    // Shows the ODBC settings dialog (frmODBCInfo) modally on the object.
    using OdbcDialog = std::function<void(clsDatabase&)>;

    // prompt, sqldmo and cache (the shared gODBCCollection) must outlive the object.
    clsDatabase(ui::Prompt& prompt, sqldmo::Factory& sqldmo, clsODBCCollection& cache);

    bool UseDAO = false;
    bool UseDsn = false;
    bool JetVersion = false;
    std::string OLEDBversion;
    bool UseNTLogin = false;
    std::string Server;
    std::string Driver;
    std::string DSN;
    std::string Database;
    std::string Password;
    std::string UserId;
    long UserDatabaseType = 0;
    long DatabaseType = 0;

    bool IsSQL() const { return DatabaseType == 2; }
    // The connection string of the object's inner connection (the last test connection).
    std::string ConnectionString() const { return connection_->ConnectionString(); }

    void setErrorLogWriter(ErrorLogWriter writer) { appendErrorLog_ = std::move(writer); }
    void setOdbcDialog(OdbcDialog dialog) { odbcDialog_ = std::move(dialog); }
    // The options of the run the test connections are opened with.
    void setConnectionOptions(const ado::ConnectionOptions& options) { connectionOptions_ = options; }

    // True when the upper-cased path holds ".ADP" or ".ADE" anywhere.
    static bool IsDataProject(const std::string& path);
    // Fills combo with the SQL Servers SQL-DMO lists and shows it; true when there is one.
    bool PopulateServerDropDown(ComboControl& combo);
    // Adds the databases of Server (but master, model, msdb, tempdb) to combo, each with its
    // 1-based position in the server's list as item data, and enables combo.
    bool LoadSQLServerDatabases(ComboControl& combo, const std::string& unused = {});

    // The ODBC chain (no operation of the system starts it).
    bool HasODBC(const std::string& path, const std::string& user, const std::string& password);
    bool HasLinks(const std::string& path, const std::string& user, const std::string& password);
    bool ParseODBCLink(const std::string& connect);
    static std::string ParseDatabase(const std::string& connect);
    static std::string ParseServer(const std::string& connect);
    static std::string ParseUserId(const std::string& connect);
    static std::string ParsePassword(const std::string& connect);
    static std::string ParseDSN(const std::string& connect);
    // ConnectValue (sources/connect_text.h).
    static std::string Parse(const std::string& connect, const std::string& key);
    // Confirms complete, uncached settings by CheckConn, showing the ODBC settings dialog
    // after each failure until the connection opens, then caches them.
    bool ConfirmODBCSettings();
    bool CheckODBCCol(const std::string& dsn);
    bool CheckConn();

  private:
    std::shared_ptr<adox::Catalog> openJetCatalog(const std::string& path, const std::string& user,
                                                  const std::string& password,
                                                  ado::ConnectionPtr& connection);
    void logError(const std::exception& e, const char* operation, const char* crystalFormula);

    ui::Prompt& prompt_;
    sqldmo::Factory& sqldmo_;
    clsODBCCollection& cache_;
    ado::ConnectionOptions connectionOptions_;
    std::shared_ptr<adox::Catalog> catalog_ = std::make_shared<adox::Catalog>();
    ado::ConnectionPtr connection_ = std::make_shared<ado::Connection>();
    std::unique_ptr<sqldmo::Application> dmoApplication_;
    ErrorLogWriter appendErrorLog_;
    OdbcDialog odbcDialog_;
};

}  // namespace tolvaran
