#pragma once
// SQL-DMO as the system calls it: the list of SQL Servers ("SQLDMO.Application"
// ListAvailableSQLServers), a server connection with its databases ("SQLDMO.SQLServer2"), and
// the views of a database with their text. Here the server list comes from the registry
// file and databases and views come through the SQL Server ODBC path (OdbcFactory); tests
// use FakeFactory (tests/support/fake_sqldmo.h). Failures throw vb::ComError.
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/driver.h"

namespace registry {
class RegistryFile;
}

namespace sqldmo {

struct View {
    std::string Name;
    std::string Text;  // the view's definition as the server keeps it
};

class Database {
  public:
    virtual ~Database() = default;
    virtual std::string Name() const = 0;
    virtual std::vector<View> Views() = 0;
};
using DatabasePtr = std::shared_ptr<Database>;

class SQLServer {
  public:
    virtual ~SQLServer() = default;
    bool LoginSecure = false;  // Windows authentication
    std::string Login;
    std::string Password;
    virtual void Connect(const std::string& server) = 0;
    // The server's databases in the server's order (position 1 is the first).
    virtual std::vector<DatabasePtr> Databases() = 0;
};

class Application {
  public:
    virtual ~Application() = default;
    virtual std::vector<std::string> ListAvailableSQLServers() = 0;
};

// Creates the two automation objects; creation fails (throws) where SQL-DMO is missing.
class Factory {
  public:
    virtual ~Factory() = default;
    virtual std::unique_ptr<Application> CreateApplication() = 0;
    virtual std::unique_ptr<SQLServer> CreateSQLServer() = 0;
};

// The registry key and value that list the servers (REG_MULTI_SZ).
inline constexpr const char* kServersKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\SQLServer";
inline constexpr const char* kServersValue = "Servers";

// The server names of that value, in order; none when it is missing. A REG_SZ value is read
// as one list separated by ';'.
std::vector<std::string> ServersFromRegistry(const registry::RegistryFile& registry);

// Servers from the given list (the registry's Servers value, read by the caller); databases
// through "Provider=SQLOLEDB" connections opened with the run's options (their SQL Server
// template): sys.databases on master, INFORMATION_SCHEMA.VIEWS on each database.
class OdbcFactory : public Factory {
  public:
    explicit OdbcFactory(std::vector<std::string> servers, ado::ConnectionOptions options = {})
        : servers_(std::move(servers)), options_(std::move(options)) {}
    std::unique_ptr<Application> CreateApplication() override;
    std::unique_ptr<SQLServer> CreateSQLServer() override;

  private:
    std::vector<std::string> servers_;
    ado::ConnectionOptions options_;
};

}  // namespace sqldmo
