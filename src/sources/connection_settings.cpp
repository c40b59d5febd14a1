#include "sources/connection_settings.h"

#include "platform/ado/connection_text.h"
#include "platform/common/text.h"
#include "sources/connect_text.h"

namespace tolvaran {

std::shared_ptr<OdbcSettings> clsODBCCollection::Item(long position) const {
    if (position < 1 || position > Count()) return nullptr;
    return items_[static_cast<size_t>(position - 1)].second;
}

std::shared_ptr<OdbcSettings> clsODBCCollection::Item(const std::string& key) const {
    for (const auto& [k, v] : items_)
        if (EqualsNoCase(k, key)) return v;
    return nullptr;
}

void clsODBCCollection::Add(std::shared_ptr<OdbcSettings> item, const std::string& key) {
    if (Item(key))
        throw vb::ComError(457, "This key is already associated with an element of this collection");
    items_.emplace_back(key, std::move(item));
}

void clsODBCCollection::Remove(const std::string& key) {
    for (auto it = items_.begin(); it != items_.end(); ++it)
        if (EqualsNoCase(it->first, key)) {
            items_.erase(it);
            return;
        }
    throw vb::ComError(5, "Invalid procedure call or argument");
}

clsDatabase::clsDatabase(ui::Prompt& prompt, sqldmo::Factory& sqldmo, clsODBCCollection& cache)
    : prompt_(prompt), sqldmo_(sqldmo), cache_(cache) {}

bool clsDatabase::IsDataProject(const std::string& path) {
    return FindNoCase(path, ".ADP") != std::string::npos || FindNoCase(path, ".ADE") != std::string::npos;
}

bool clsDatabase::PopulateServerDropDown(ComboControl& combo) {
    try {
        dmoApplication_ = sqldmo_.CreateApplication();
        std::vector<std::string> servers = dmoApplication_->ListAvailableSQLServers();
        combo.Clear();
        for (const std::string& s : servers) combo.AddItem(s);
        combo.SetVisible(true);
        return !servers.empty();
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "PopulateServerDropDown");
        return false;
    }
}

bool clsDatabase::LoadSQLServerDatabases(ComboControl& combo, const std::string&) {
    try {
        std::unique_ptr<sqldmo::SQLServer> server = sqldmo_.CreateSQLServer();
        if (UseNTLogin) {
            server->LoginSecure = true;
        } else {
            server->Login = UserId;
            server->Password = Password;
        }
        server->Connect(Server);
        std::vector<sqldmo::DatabasePtr> databases = server->Databases();
        for (size_t i = 0; i < databases.size(); ++i) {
            const std::string name = databases[i]->Name();
            if (std::string(" master model msdb tempdb ").find(" " + name + " ") != std::string::npos)
                continue;
            combo.AddItem(name);
            combo.SetNewItemData(static_cast<long>(i + 1));
        }
        combo.SetEnabled(true);
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "LoadSQLServerDatabases");
    }
    return false;
}

void clsDatabase::logError(const std::exception& e, const char* operation, const char* crystalFormula) {
    if (appendErrorLog_) appendErrorLog_(e.what(), operation, "1", crystalFormula, "");
}

std::shared_ptr<adox::Catalog> clsDatabase::openJetCatalog(const std::string& path, const std::string& user,
                                                           const std::string& password,
                                                           ado::ConnectionPtr& connection) {
    connection = std::make_shared<ado::Connection>();
    connection->setOptions(connectionOptions_);
    connection->Open(AccessConnectionText(path, user, password));
    catalog_ = std::make_shared<adox::Catalog>();
    catalog_->setActiveConnection(connection);
    return catalog_;
}

bool clsDatabase::HasODBC(const std::string& path, const std::string& user, const std::string& password) {
    try {
        ado::ConnectionPtr connection;
        bool result = false;
        for (adox::Table& t : openJetCatalog(path, user, password, connection)->Tables()) {
            if (t.Type != "PASS-THROUGH") continue;
            result = true;
            ParseODBCLink(t.Properties().Item(5).Value.ToString());
        }
        connection->Close();
        return result;
    } catch (const std::exception& e) {
        logError(e, "HasODBC", "1");
        return false;
    }
}

bool clsDatabase::HasLinks(const std::string& path, const std::string& user, const std::string& password) {
    try {
        ado::ConnectionPtr connection;
        bool result = false;
        for (adox::Table& t : openJetCatalog(path, user, password, connection)->Tables())
            if (t.Type == "LINK") result = true;
        connection->Close();
        return result;
    } catch (const std::exception& e) {
        logError(e, "HasLinks", "1");
        return false;
    }
}

std::string clsDatabase::Parse(const std::string& connect, const std::string& key) {
    return ConnectValue(connect, key);
}

std::string clsDatabase::ParseDatabase(const std::string& connect) {
    return Parse(connect, "DATABASE");
}
std::string clsDatabase::ParseServer(const std::string& connect) {
    return Parse(connect, "SERVER");
}
std::string clsDatabase::ParseDSN(const std::string& connect) {
    return Parse(connect, "DSN");
}
std::string clsDatabase::ParseUserId(const std::string& connect) {
    std::string v = Parse(connect, "USERID");
    return v.empty() ? Parse(connect, "UID") : v;
}
std::string clsDatabase::ParsePassword(const std::string& connect) {
    std::string v = Parse(connect, "PASSWORD");
    return v.empty() ? Parse(connect, "PWD") : v;
}

bool clsDatabase::ParseODBCLink(const std::string& connect) {
    DSN = ParseDSN(connect);
    Database = ParseDatabase(connect);
    Server = ParseServer(connect);
    UserId = ParseUserId(connect);
    Password = ParsePassword(connect);
    if (!ConfirmODBCSettings() && odbcDialog_) odbcDialog_(*this);
    return true;
}

bool clsDatabase::ConfirmODBCSettings() {
    try {
        const std::string key = DSN.empty() ? Server + Database : DSN;
        if (cache_.Item(key)) return true;
        if (Server.empty() || Database.empty() || Password.empty() || UserId.empty()) return true;
        while (!CheckConn()) {
            // Without the dialog nothing can change the settings, so asking again would never end.
            if (!odbcDialog_) return true;
            odbcDialog_(*this);
        }
        cache_.Add(std::make_shared<OdbcSettings>(
                       OdbcSettings{DSN, Server, Database, UserId, Password, UseDsn, UseNTLogin}),
                   key);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsDatabase::CheckODBCCol(const std::string& dsn) {
    try {
        return cache_.Item(dsn) != nullptr;
    } catch (const std::exception& e) {
        logError(e, "CheckODBCCol", "2");
        return false;
    }
}

bool clsDatabase::CheckConn() {
    try {
        ado::ConnectionText text;
        text.Add("Provider", "SQLOLEDB.1");
        if (UseDsn)
            text.Add(" DSN", DSN).Add(" Database ", Database);
        else
            text.Add(" Data Source", Server).Add(" Initial Catalog", Database);
        if (UseNTLogin)
            text.Add("Integrated Security", "SSPI");
        else
            text.Add("UID", UserId).Add("pwd", Password);
        connection_ = std::make_shared<ado::Connection>();
        connection_->setOptions(connectionOptions_);
        connection_->Open(text.Text());
        return true;
    } catch (const std::exception& e) {
        logError(e, "CheckConn", "2");
        return false;
    }
}

}  // namespace tolvaran
