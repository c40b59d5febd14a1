#pragma once
// The seam between the ADO-like layer and a concrete database engine. One Driver object is
// one open connection to one database. Drivers: SQLite (the internal store and the SQLite
// stand-ins for Access files), Access files read through mdbtools (read-only), ODBC.
//
// Every value reaches the engine as a bound parameter ('?' placeholders in the SQL text);
// no driver pastes values into SQL.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/connection_text.h"
#include "platform/common/variant.h"

namespace ado {

// Value types of fields as ADO numbers them (DataTypeEnum, the subset in use).
enum DataTypeEnum {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adBigInt = 20,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

struct ColumnInfo {
    std::string name;
    DataTypeEnum type = adVarWChar;
    bool autoIncrement = false;  // an autonumber key
    bool primaryKey = false;
    bool nullable = true;
    long size = 0;  // defined size in characters or bytes, 0 when unknown
};

// One row at a time of a query's result.
class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    // Fills row with the next row's values (one per column, Null kept apart from "");
    // false at the end.
    virtual bool next(std::vector<vb::Variant>& row) = 0;
};

// A table as the ADOX catalog reports it.
struct TableInfo {
    std::string name;
    // "TABLE", "VIEW", "SYSTEM TABLE", "ACCESS TABLE", "LINK" (linked from another Access
    // file) or "PASS-THROUGH" (ODBC-linked), as Jet reports them.
    std::string type;
    std::string remoteTableName;     // "Jet OLEDB:Remote Table Name" (property 4)
    std::string linkProviderString;  // "Jet OLEDB:Link Provider String" (property 5)
    std::string linkDatasource;      // "Jet OLEDB:Link Datasource" (property 6)
};

// A saved query (Jet), view (SQL) or stored procedure, with its SQL text.
struct QueryInfo {
    std::string name;
    std::string commandText;
};

// What kind of engine a driver talks to; callers choose SQL forms and messages by it.
enum class EngineKind { SQLite, Jet, Odbc };

class Driver {
  public:
    virtual ~Driver() = default;

    virtual EngineKind kind() const = 0;
    // The connection string as the provider reports it after opening.
    virtual std::string connectionString() const = 0;
    virtual bool readOnly() const { return false; }

    // Runs a row-returning statement.
    virtual std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) = 0;
    // Runs a statement; returns the number of rows it changed (-1 when unknown).
    virtual long long execute(const std::string& sql, const std::vector<vb::Variant>& params) = 0;
    // The autonumber key of the row inserted last on this connection (Null when none).
    virtual vb::Variant lastInsertKey() = 0;
    // Quotes a table or column name for this engine's SQL.
    virtual std::string quoteName(const std::string& name) const = 0;

    // Catalog.
    virtual std::vector<TableInfo> tables() = 0;
    virtual std::vector<ColumnInfo> columns(const std::string& table) = 0;
    virtual std::vector<QueryInfo> views() = 0;
    virtual std::vector<QueryInfo> procedures() = 0;
    // Stores a saved query (Jet: Procedures.Append / CreateQueryDef; SQLite stand-in: a view).
    // replace: an existing one of that name gets the new text. Read-only engines throw.
    virtual void saveQuery(const std::string& name, const std::string& sql, bool replace) = 0;

    // Transactions (Connection::BeginTrans and its siblings). A nested begin opens a level
    // inside the one open; commit and rollback end the innermost level. Engines without
    // transactions throw 3251.
    virtual void beginTransaction();
    virtual void commitTransaction();
    virtual void rollbackTransaction();
    // Levels open; 0 when every statement commits on its own.
    virtual int transactionLevel() const { return 0; }
    // How long a statement waits for a lock another process holds before it fails.
    virtual void setLockTimeout(long /*milliseconds*/) {}
    // Commits that append to a write-ahead log without waiting for the disk (a kill loses
    // nothing committed; a power cut may lose the last commits, never the file), switched on
    // once per session outside any transaction. False where the engine or the file has none.
    virtual bool fastCommits() { return false; }
    // PRAGMA user_version of a SQLite file (3 marks a Jet 3 stand-in); 0 for other engines.
    virtual int userVersion() { return 0; }
};

// Limits on the process that reads an Access file (jet_reader_process.h).
struct JetReaderLimits {
    long memoryMb = 1024;      // address-space limit of the reader
    long cpuSeconds = 120;     // CPU time of the reader for one request
    long requestSeconds = 30;  // wall-clock time for one answer (one table, the open)
};

// Limits on one statement, and the caller's way to stop it. A statement that passes a limit
// fails with kErrQueryLimit naming the limit; one that `cancelled` stops fails with
// kErrCancelled. The defaults run every saved query of the sample Access files.
struct QueryLimits {
    // Memory of one statement, in MB: its rows where they are kept whole (a recordset, the rows
    // of a report's table), and apart from them its sorts, temporary tables and the texts its
    // functions make in the query engine of an Access file (both at once stay under a gigabyte).
    long memoryMb = 512;
    // Work of one statement in the query engine of an Access file, in millions of steps of its
    // virtual machine, each value of a row read counting as 16 (a million steps take 5 to 15 ms
    // here).
    long workMillions = 5000;
    // Asked on the thread that runs the statement, every thousand steps of the query engine of
    // an Access file and at every row kept: true stops the statement. It must be cheap (a flag
    // read). Empty: never stopped.
    std::function<bool()> cancelled;
};
inline constexpr long kErrQueryLimit = 3035;  // "System resource exceeded."
inline constexpr long kErrCancelled = 3712;   // "Operation has been cancelled by the user."

// The rest of a cursor's rows, for a caller that keeps them all (a recordset, a report's
// table): the rows kept are counted against limits.memoryMb and each asks limits.cancelled.
// shown: the statement, for the errors.
std::vector<std::vector<vb::Variant>> ReadAllRows(Cursor& cursor, const QueryLimits& limits,
                                                  const std::string& shown);

inline constexpr const char* kDefaultSqlServerOdbcTemplate =
    "Driver={FreeTDS};Server={server};Database={database};UID={user};PWD={password}";

// What opening a connection takes from the run it belongs to. Every Connection carries its
// own copy (a run's AppContext holds the run's and hands it on), so two runs in one process
// each keep theirs: nothing here is process-wide.
struct ConnectionOptions {
    // SQL Server ("Provider=SQLOLEDB") connections go through ODBC with this template;
    // {server}, {database}, {user}, {password} are filled from the connection string. The
    // program takes it from the registry of the run (ApplySqlServerOdbcTemplate).
    std::string sqlServerOdbcTemplate = kDefaultSqlServerOdbcTemplate;
    JetReaderLimits jetReaderLimits;
    // Every statement of the connection runs under these (a report's record source copies them
    // into each connection it opens, so its `cancelled` stops the report's reads).
    QueryLimits queryLimits;
    // The Access file reader program; empty: the one FindJetReader finds beside the program.
    std::string jetReader;
    // Connections that only read (those that show a report's data): a SQLite file is opened
    // read-only and runs no statement that would write (nor attaches another file), an ODBC
    // connection is put in its read-only mode and refuses Execute, and no such connection
    // shares a pooled session that writes. Access files are read-only whatever this says.
    bool readOnly = false;
};

// Driver factories, one per engine (each in its own source file).
// Chooses the driver from the connection string (see Connection::Open) and opens it.
std::unique_ptr<Driver> OpenDriver(const std::string& connectionString, const std::string& user,
                                   const std::string& password, const ConnectionOptions& options);
std::unique_ptr<Driver> OpenSqliteDriver(const std::string& file, const ConnectionText& text,
                                         bool readOnly = false);
std::unique_ptr<Driver> OpenJetDriver(const std::string& file, const ConnectionOptions& options);
// text: a driver-manager text (ODBC grammar) or an ADO text naming DSN= or Driver=.
std::unique_ptr<Driver> OpenOdbcDriver(const std::string& text, bool readOnly = false);

}  // namespace ado
