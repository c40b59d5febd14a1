#pragma once
// clsUpdateQueries: the record-source classifier. Tells whether a name is a table, a saved
// query or view, or a stored procedure in a link's back end (through the ADOX catalog of the
// link's connection), and copies a saved Access query into a back-end database.
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "platform/access/application.h"
#include "platform/ado/ado.h"
#include "platform/adox/adox.h"
#include "platform/ui/prompt.h"

namespace tolvaran {

// What FromDb and ToDb may hold: nothing, an ADO connection, Access's CurrentDb, or an
// Access application (not owned; it must outlive its use here). Only the Access objects
// offer the data-access members (CreateQueryDef, QueryDefs, AllTables, TableDefs); with any
// other value those steps silently do nothing.
using DataObject = std::variant<std::monostate, ado::ConnectionPtr, access::Database, access::Application*>;

class clsUpdateQueries {
  public:
    // prompt shows the checks' errors; it must outlive the classifier.
    explicit clsUpdateQueries(ui::Prompt& prompt) : prompt_(prompt) {}

    // The procedure found by the last successful IsStoredProcedure.
    const std::optional<adox::Procedure>& GetProcedure() const { return procedure_; }
    bool IsJet36 = false;           // stored only
    short BackEndDatabaseType = 0;  // the link kind
    DataObject FromDb;
    DataObject ToDb;

    // The catalog of the link's connection; an empty one is made when none was assigned.
    const std::shared_ptr<adox::Catalog>& oCat();
    void setOCat(const std::shared_ptr<adox::Catalog>& catalog) { catalog_ = catalog; }

    // Kinds 2 and 4 only: a procedure whose name contains name (any case).
    bool IsStoredProcedure(const std::string& name);
    // Kinds 0 to 4: a table of type "VIEW", or a procedure, of that name (any case).
    bool IsQuery(const std::string& name, bool unused = false);
    // Kinds 0 to 4: a table of any type of that name (any case); other kinds look in the
    // Access application held by ToDb (AllTables, else TableDefs; exact names).
    bool IsTable(const std::string& name);
    static bool CanUseCurrentProject(access::Application& app);
    static bool CanUseCurrentdb(access::Application& app);
    // kind 1 (query): when the target is no query of the back end yet, copies the SQL of the
    // source query of FromDb into a new query of ToDb. Ignores every error; always true.
    bool UpdateBackEndQueries(const std::string& source, const std::string& target, short kind);

  private:
    ui::Prompt& prompt_;
    std::shared_ptr<adox::Catalog> catalog_;
    std::optional<adox::Procedure> procedure_;
};

}  // namespace tolvaran
