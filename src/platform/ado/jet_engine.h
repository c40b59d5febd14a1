#pragma once
// The query engine of an Access file: the tables a statement draws on are read once (through
// the file's reader process, or the reader of the Access file a table is linked from) into an
// in-memory SQLite database with their column types, and each statement runs there as the
// translator (jet_translate.h) writes it. One engine per open connection; not thread-safe.
//
// Tables linked from another Access file are read from that file: its path as stored, then
// with "\" read as "/", then relative to the linking file's folder, then the file of that name
// in the linking file's folder. A missing file, an ODBC-linked table and a link to a table the
// other file does not hold are errors naming them.
//
// Statements run under the connection's QueryLimits: their rows stream to the caller, their
// work is counted in steps of SQLite's virtual machine, their memory (sorts, temporary tables
// and indexes, kept in memory) as the growth of SQLite's heap while they run, a text that their
// functions or operators make (Replace, String, Space, &, +) against what is left of it, and
// `cancelled` is asked as they run. No one value the engine makes may pass the memory limit.
#include <sqlite3.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/ado/jet_catalog.h"
#include "platform/ado/jet_functions.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/ado/jet_translate.h"

namespace ado {

class JetEngine : public JetSqlHost {
  public:
    // reader and catalog belong to the driver and outlive the engine.
    JetEngine(std::string file, JetReaderProcess& reader, const JetCatalog& catalog, QueryLimits limits = {});
    ~JetEngine() override;
    JetEngine(const JetEngine&) = delete;
    JetEngine& operator=(const JetEngine&) = delete;

    // Runs a row-returning statement (or a table or saved query's name) with the caller's
    // parameter values in the order jet_translate.h gives. The rows stream: the cursor runs
    // the statement as they are asked for (the first is read here, so that a statement that
    // fails at once fails here). A cursor read after its engine has gone fails.
    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& values);
    // The columns and parameters of a statement or saved query without running it (a crosstab
    // without an IN list runs a query for its column headings).
    JetTranslation describe(const std::string& sql);
    // The columns of a table of the file, its own or linked.
    std::vector<JetField> tableFields(const std::string& name);

    // JetSqlHost.
    std::optional<Table> table(const std::string& name, const std::string& database) override;
    std::optional<Saved> savedQuery(const std::string& name) override;
    std::vector<vb::Variant> columnValues(const std::string& sql, const std::vector<vb::Variant>& binds,
                                          JetType type) override;

    // A domain function whose criteria are computed row by row (see jet_domain in the .cpp).
    vb::Variant domainValue(const std::string& function, const std::string& select,
                            const vb::Variant& criteria);

  private:
    class RowCursor;
    // The room of the texts the functions make, in the statement being stepped.
    class Texts : public JetTextRoom {
      public:
        explicit Texts(JetEngine& engine) : engine_(engine) {}
        std::size_t room() override;
        [[noreturn]] void refuse() override;

      private:
        JetEngine& engine_;
    };
    // The work and memory of one statement as it runs, with what stopped it.
    struct Budget {
        enum Stop { None, Work, Memory, Cancelled };
        long long steps = 0;  // of SQLite's virtual machine, and kStepsPerValue per value read
        long long maxSteps = 0;
        long long memoryAtStart = 0;  // SQLite's heap in bytes when the statement began
        long long maxMemory = 0;      // bytes it may grow by
        Stop stop = None;
    };
    class Running;
    struct OtherFile;
    struct Entry {
        std::string sqlName;
        JetReaderProcess* reader = nullptr;
        std::string remoteName;  // the table's name in the file its reader reads
        std::vector<JetColumn> columns;
        std::vector<JetField> fields;
        bool loaded = false;
    };
    // Where a table's rows are: a reader and the table's name in that reader's file.
    struct Origin {
        JetReaderProcess* reader = nullptr;
        std::string remoteName;
    };
    Entry& entry(const std::string& key, const std::string& sqlName, const Origin& origin);
    Origin linkedOrigin(const JetObject& link, const std::string& fromFile, int depth);
    OtherFile& otherFile(const std::string& stored, const std::string& fromFile, const std::string& what);
    void load(Entry& e);
    void loadPending();
    sqlite3_stmt* prepare(const std::string& sql, const std::string& shown);
    [[noreturn]] void fail(const std::string& shown);
    // Fails for a statement that did not end with SQLITE_DONE: the limit or cancel that
    // stopped it, else SQLite's message.
    [[noreturn]] void failStep(const Budget& budget, const std::string& why, const std::string& shown);
    Budget budget() const;
    int progress();

    std::string file_;
    JetReaderProcess& reader_;
    const JetCatalog& catalog_;
    QueryLimits limits_;
    sqlite3* db_ = nullptr;
    Budget* running_ = nullptr;  // the statement being stepped; lookups inside it count in it
    Texts texts_{*this};
    std::set<RowCursor*> cursors_;         // open cursors, let go of when the engine goes
    std::map<std::string, Entry> tables_;  // by file and table name, upper-cased
    std::vector<Entry*> pending_;          // returned to the translator, not yet loaded
    std::map<std::string, std::unique_ptr<OtherFile>> files_;
    int nextExternal_ = 0;
    struct Lookup {
        sqlite3_stmt* statement = nullptr;
        JetType type = JetType::Value;
        bool running = false;  // being stepped: a criteria text that leads back to it never ends
    };
    std::map<std::string, Lookup> lookups_;  // domain functions by their statement
    // Domain functions being worked out inside one another: criteria computed from the file's
    // values can hold further domain functions, each a native stack frame chain deeper.
    int domainDepth_ = 0;
};

}  // namespace ado
