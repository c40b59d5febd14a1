#pragma once
// The catalog of an Access file built from its system tables as read raw: MSysObjects for
// tables, links and saved queries, MSysQueries for the queries' SQL.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/ado/jet_queries.h"

namespace ado {

// MSysObjects "Type" values the catalog uses.
enum JetObjectType { kJetLocalTable = 1, kJetOdbcLink = 4, kJetQuery = 5, kJetAccessLink = 6 };

struct JetObject {
    long id = 0;
    std::string name;
    int type = 0;
    std::uint32_t flags = 0;
    std::string database;     // linked Access file (type 6)
    std::string connect;      // connect string (type 4; ";DATABASE=..." for type 6)
    std::string foreignName;  // name of the table in the linked source
};

struct JetCatalog {
    std::vector<JetObject> objects;
    std::map<long, JetQuery> queries;  // by the query's object id

    // The object of that name (compared without regard to case) among the given types.
    const JetObject* find(const std::string& name, std::initializer_list<int> types) const;
    // "TABLE", "SYSTEM TABLE", "ACCESS TABLE", "LINK", "PASS-THROUGH" or "VIEW" ("" for
    // objects that are not tables or views).
    std::string tableType(const JetObject& o) const;
    // Tables and views as ADOX lists them, ordered by name without regard to case.
    std::vector<TableInfo> tables() const;
    // Saved SELECT queries without parameters (ADOX Views) and the others (Procedures).
    std::vector<QueryInfo> views() const;
    std::vector<QueryInfo> procedures() const;

  private:
    bool isView(const JetObject& o) const;
};

// Columns as read from MSysObjects / MSysQueries, each row's values by column name; Null kept.
using JetRawRow = std::map<std::string, std::optional<std::string>>;

JetCatalog BuildJetCatalog(const std::vector<JetRawRow>& objects, const std::vector<JetRawRow>& queryRows);

class JetReaderProcess;
// Reads the system tables through a reader and builds the catalog; the saved queries' rows
// (MSysQueries) only when queries is set.
JetCatalog ReadJetCatalog(JetReaderProcess& reader, bool queries);

}  // namespace ado
