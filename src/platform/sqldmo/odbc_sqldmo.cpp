#include <optional>

#include "platform/ado/ado.h"
#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/registry/registry_file.h"
#include "platform/sqldmo/sqldmo.h"

namespace sqldmo {

namespace {

struct Credentials {
    std::string server;
    bool secure = false;
    std::string user;
    std::string password;
    ado::ConnectionOptions options;  // of the run the server was connected in
};

// The SQL Server provider string for one database.
std::string DatabaseText(const Credentials& login, const std::string& database) {
    ado::ConnectionText text;
    text.Add("Provider", "SQLOLEDB.1").Add("Data Source", login.server).Add("Initial Catalog", database);
    if (login.secure)
        text.Add("Integrated Security", "SSPI");
    else
        text.Add("User ID", login.user).Add("Password", login.password);
    return text.Text();
}

ado::ConnectionPtr Open(const Credentials& login, const std::string& database) {
    return ado::OpenConnection(DatabaseText(login, database), login.options);
}

class OdbcDatabase : public Database {
  public:
    OdbcDatabase(Credentials login, std::string name) : login_(std::move(login)), name_(std::move(name)) {}
    std::string Name() const override { return name_; }
    std::vector<View> Views() override {
        std::vector<View> out;
        ado::Recordset rs;
        rs.Open("SELECT TABLE_NAME, VIEW_DEFINITION FROM INFORMATION_SCHEMA.VIEWS", Open(login_, name_));
        for (; !rs.Eof(); rs.MoveNext())
            out.push_back(View{rs.Fields(0).Value().ToString(), vb::NZ(rs.Fields(1).Value(), "").ToString()});
        return out;
    }

  private:
    Credentials login_;
    std::string name_;
};

class OdbcServer : public SQLServer {
  public:
    explicit OdbcServer(ado::ConnectionOptions options) : options_(std::move(options)) {}
    void Connect(const std::string& server) override {
        login_ = Credentials{server, LoginSecure, Login, Password, options_};
        master_ = Open(login_, "master");
    }
    std::vector<DatabasePtr> Databases() override {
        if (!master_) throw vb::ComError(vb::kErrActiveConnection, "The server is not connected.");
        std::vector<DatabasePtr> out;
        ado::Recordset rs;
        rs.Open("SELECT name FROM sys.databases ORDER BY database_id", master_);
        for (; !rs.Eof(); rs.MoveNext())
            out.push_back(std::make_shared<OdbcDatabase>(login_, rs.Fields(0).Value().ToString()));
        return out;
    }

  private:
    ado::ConnectionOptions options_;
    Credentials login_;
    ado::ConnectionPtr master_;
};

class ListApplication : public Application {
  public:
    explicit ListApplication(std::vector<std::string> servers) : servers_(std::move(servers)) {}
    std::vector<std::string> ListAvailableSQLServers() override { return servers_; }

  private:
    std::vector<std::string> servers_;
};

}  // namespace

std::vector<std::string> ServersFromRegistry(const registry::RegistryFile& registry) {
    std::vector<std::string> out;
    std::optional<registry::Value> v = registry.Get(kServersKey, kServersValue);
    if (!v) return out;
    auto split = [&](const std::string& text, char separator) {
        for (std::string& item : tolvaran::SplitList(text, separator))
            if (!item.empty()) out.push_back(std::move(item));
    };
    if (v->type == registry::REG_SZ) split(v->text, ';');
    if (v->type == registry::REG_MULTI_SZ) {
        // REGEDIT4 writes one byte per character; a list written as UTF-16 has a zero in every
        // odd byte and is narrowed first (server names are ASCII).
        const auto& b = v->bytes;
        bool wide = b.size() >= 2 && b.size() % 2 == 0;
        for (size_t i = 1; wide && i < b.size(); i += 2) wide = b[i] == 0;
        std::string text;
        for (size_t i = 0; i < b.size(); i += wide ? 2 : 1) text += static_cast<char>(b[i]);
        split(text, '\0');
    }
    return out;
}

std::unique_ptr<Application> OdbcFactory::CreateApplication() {
    return std::make_unique<ListApplication>(servers_);
}
std::unique_ptr<SQLServer> OdbcFactory::CreateSQLServer() {
    return std::make_unique<OdbcServer>(options_);
}

}  // namespace sqldmo
