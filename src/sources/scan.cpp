// The source-database scan of clsManageLinks: a Jet file's tables by type, an Access data
// project's connection, and the connect-string readers they use.
#include "platform/ado/connection_text.h"
#include "sources/connect_text.h"
#include "sources/links_manager.h"

namespace tolvaran {

namespace {

std::string errorText(const std::exception& e) {
    return e.what();
}

}  // namespace

void clsManageLinks::yield() {
    if (window_) window_->DoEvents();
}

std::string clsManageLinks::Parse(const std::string& text, const std::string& key) {
    return ConnectValue(text, key);
}

bool clsManageLinks::ParseLinks(ui::ProgressWindow& window, const std::string& path, const std::string& user,
                                const std::string& password) {
    window_ = &window;
    bool result = false;
    auto connection = std::make_shared<ado::Connection>();
    connection->setOptions(connectionOptions_);
    try {
        yield();
        window.AddResult("Opening Database:" + path);
        connection->Open(AccessConnectionText(path, user, password));
        yield();
        catalog_ = std::make_shared<adox::Catalog>();
        catalog_->setActiveConnection(connection);
        yield();
        window.AddResult("Examining Tables...");
        yield();
        adox::Tables& tables = catalog_->Tables();
        if (tables.Count() > 0) window.AddResult("There are " + std::to_string(tables.Count()) + " tables");
        yield();
        window.AddResult("Processing Tables");
        yield();
        for (adox::Table& table : tables) {
            auto link = std::make_shared<clsLink>();
            if (table.Type == "LINK") {
                std::string file = table.Properties().Item(6).Value.ToString();
                if (NotAdded(file)) {
                    link->Link = table.Properties().Item(4).Value.ToString();
                    link->LinkDatabase = file;
                    link->LinkType = kLinkAccess;
                    ++AccessLinksCount_;
                    link->Name = table.Name;
                    link->Provider = "Microsoft.Jet.OLEDB.4.0";
                    links_.Add(link, table.Name);
                }
            } else if (table.Type == "PASS-THROUGH") {
                std::string connect = table.Properties().Item(5).Value.ToString();
                if (NotAdded(connect)) {
                    ++ODBCLinksCount_;
                    link->Link = connect;
                    link->LinkDatabase = connect;
                    link->LinkType = kLinkOdbc;
                    link->Name = table.Name;
                    ParseODBCLink(*link);
                    links_.Add(link, table.Name);
                }
            } else if (table.Type == "TABLE") {
                std::string self = Parse(connection->ConnectionString(), "DATA SOURCE=");
                if (NotAdded(self)) {
                    link->Link = table.Properties().Item(4).Value.ToString();
                    link->LinkDatabase = self;
                    link->LinkType = kLinkInternal;
                    ++InternalTablesCount_;
                    link->Name = "INTERNAL";
                    link->Provider = "Microsoft.Jet.OLEDB.4.0";
                    links_.Add(link, table.Name);
                }
            }
            yield();
        }
        result = true;
    } catch (const std::exception& e) {
        ErrorLogWriter write = appendErrorLog_ ? appendErrorLog_ : ListsFileErrorLog(db_);
        write(errorText(e), "ParseLinks", "1", "1", "");
    }
    try {
        connection->Close();
    } catch (const std::exception&) {
        // The scan's connection is dropped either way.
    }
    window_ = nullptr;
    return result;
}

bool clsManageLinks::ParseODBCLink(clsLink& link) {
    yield();
    const std::string& t = link.Link;
    link.DSN = Parse(t, "DSN");
    link.Database = Parse(t, "DATABASE=");
    link.Server = Parse(t, "SERVER=");
    link.UserId = Parse(t, "USERID=");
    if (link.UserId.empty()) link.UserId = Parse(t, "UID=");
    link.Password = Parse(t, "PASSWORD=");
    if (link.Password.empty()) link.Password = Parse(t, "PWD=");
    link.Provider = Parse(t, "DRIVER=");
    if (link.Provider.empty()) link.Provider = Parse(t, "PROVIDER=");
    TestConnection(link);
    return true;
}

bool clsManageLinks::ParseLink(clsLink& link) {
    const std::string& t = link.Link;
    link.DSN = Parse(t, "DSN");
    link.SQLDatabase = Parse(t, "DATABASE=");
    if (link.SQLDatabase.empty()) link.SQLDatabase = Parse(t, "INITIAL CATALOG=");
    link.Server = Parse(t, "SERVER=");
    if (link.Server.empty()) link.Server = Parse(t, "DATA SOURCE=");
    link.UserId = Parse(t, "USERID=");
    link.Provider = Parse(t, "DATA PROVIDER=");
    if (link.UserId.empty()) link.UserId = Parse(t, "UID=");
    link.Password = Parse(t, "PASSWORD=");
    if (link.Password.empty()) link.Password = Parse(t, "PWD=");
    link.UseNTAuth = !Parse(t, "INTEGRATED SECURITY=").empty();
    return true;
}

bool clsManageLinks::TestConnection(clsLink& link) {
    try {
        if (!link.DSN.empty()) {
            ado::Connection test;
            test.setOptions(connectionOptions_);
            test.Open(ado::ConnectionText(ado::QuoteStyle::Odbc).Add("DSN", link.DSN).Text());
        }
        return true;
    } catch (const std::exception& e) {
        prompt_.MsgBox(errorText(e), ui::vbOKOnly);
        return false;
    }
}

bool clsManageLinks::ParseDataProject(ui::ProgressWindow& window, const std::string& path) {
    window_ = &window;
    std::unique_ptr<access::Application> app;
    try {
        yield();
        window.AddResult("Opening database..");
        yield();
        app = accessFactory_();
        app->setConnectionOptions(connectionOptions_);
    } catch (const std::exception& e) {
        prompt_.MsgBox(errorText(e), ui::vbOKOnly);
        window_ = nullptr;
        return false;
    }
    // From here on a failing step is passed over, as the scan has always done; only a project
    // that never opens changes the outcome (no link, result false).
    bool opened = false;
    for (;;) {
        try {
            app->OpenCurrentDatabase(path, false);
            opened = true;
        } catch (const std::exception&) {
            opened = false;
        }
        if (opened || !selectServer_ || !selectServer_()) break;
    }
    bool result = false;
    if (opened) {
        yield();
        auto link = std::make_shared<clsLink>();
        try {
            link->Link = app->CurrentProject().AccessConnection();
        } catch (const std::exception&) {
            // An unreadable connection leaves an empty link text.
        }
        link->LinkType = kLinkDataProject;
        ParseLink(*link);
        window.AddResult("Database opened successfully.");
        link->Name = link->SQLDatabase;
        try {
            links_.Add(link, link->Name);
        } catch (const std::exception&) {
            // A link of that name is already there; the scan goes on.
        }
        result = true;
    }
    yield();
    try {
        app->Quit(2);
    } catch (const std::exception&) {
        // Quitting an instance that is already gone changes nothing.
    }
    app.reset();
    yield();
    window_ = nullptr;
    return result;
}

}  // namespace tolvaran
