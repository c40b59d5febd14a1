#pragma once
// clsLink: one place where a source database's report data lives (own tables, a linked
// Access file, an ODBC data source, a data project's SQL Server database), its connection
// settings, the connection string of its kind and the one ADO connection it opens.
#include <memory>
#include <string>

#include "platform/ado/ado.h"
#include "platform/ui/prompt.h"

namespace tolvaran {

// Link kinds (column BackEndType); 1 is never produced.
enum LinkKind : long {
    kLinkInternal = 0,
    kLinkAccess = 2,
    kLinkOdbc = 3,
    kLinkDataProject = 4,
};

class clsLink {
  public:
    std::string UserId;
    std::string Password;
    std::string Server;
    std::string Database;  // ODBC "DATABASE="; never in a connection string
    std::string Driver;    // stored only
    std::string DSN;
    std::string SQLDatabase;
    std::string Provider;
    std::string Name;
    std::string Link;
    long LinkType = kLinkInternal;
    std::string LinkDatabase;
    bool UseNTAuth = false;
    std::string QuerySource;   // set and read by the converter
    std::string SecurityFile;  // stored only

    // The string of the link's kind (0, 2: Jet; 3: ODBC; 4: SQL Server), stored in the
    // assigned string and returned; any other kind gives "" and changes nothing.
    std::string ConnectionString();
    void setConnectionString(const std::string& s) { connectionString_ = s; }
    // The string last built or assigned.
    const std::string& StoredConnectionString() const { return connectionString_; }

    // Builders: each stores its result. The ODBC builder fills an empty Provider with
    // "{SQL Server}"; the Jet builders fill an empty UserId with "Admin".
    std::string ODBCConnectionString();
    std::string SQLConnectionString();
    std::string AccessConnectionString();
    std::string InternalConnectionString();

    // The connection opened by openConnection; null before the first call.
    const ado::ConnectionPtr& db() const { return db_; }

    // Replaces db by a new connection and opens it with the string of the link's kind and the
    // options of the run (the defaults when none are given). A failure returns false (db then
    // holds the new, unopened connection) and shows the error text under
    // "clsLink.OpenConnection", the first time only: a link object tells its failure once.
    // The links manager makes new link objects for each conversion request (LoadAll), so a
    // request tells the user once per link that cannot be opened however many reports try
    // it; its converters log every failure. For an Access file (own tables, linked file) the
    // message names the file and where to set it.
    bool openConnection(ui::Prompt& prompt, const ado::ConnectionOptions& options = {});

  private:
    std::string connectionString_;
    ado::ConnectionPtr db_;
    bool failureTold_ = false;  // openConnection has shown a failure of this link
};
using LinkPtr = std::shared_ptr<clsLink>;

}  // namespace tolvaran
