#pragma once
// The ADO objects the system calls: Connection, Recordset, Field, Command. Connections are
// shared (std::shared_ptr): the run-long store connections, a link's connection, and every
// recordset, command and catalog that uses one hold a reference.
//
// Cursor and lock numbers are accepted as the system passes them. A recordset reads its rows
// into memory when it opens; an updatable one (lock type other than read-only) writes a
// changed or new row back to its table by the table's key when Update is called, and reads
// an autonumber key back into the row. Updatable sources are single-table SELECTs
// ("SELECT * FROM <table> [WHERE ...] [ORDER BY ...]").
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/common/com_error.h"
#include "platform/common/variant.h"

namespace ado {

enum CursorTypeEnum {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3
};
enum LockTypeEnum {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4
};
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };

class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens with the given string, or with the one assigned before when empty. The driver is
    // chosen from the string:
    //  - "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>" (or a bare "Data Source="):
    //    a SQLite file read-write, an Access file (Jet 3/4, ACE) read-only, else a ComError
    //    naming the file;
    //  - "DSN=..." or "Driver=...": ODBC;
    //  - "Provider=SQLOLEDB..." : ODBC through the options' SQL Server template.
    // The options in force are those set before (setOptions), the defaults otherwise.
    void Open(const std::string& connectionString = {}, const std::string& user = {},
              const std::string& password = {});
    void Close();
    int State() const { return driver_ ? adStateOpen : adStateClosed; }
    // Opens on a driver the caller made (in-memory drivers of tests).
    void OpenOn(std::unique_ptr<Driver> driver) { driver_ = std::move(driver); }

    std::string ConnectionString() const;
    void setConnectionString(const std::string& s) { connectionString_ = s; }
    // What the next Open takes from the run (SQL Server template, Access file reader).
    const ConnectionOptions& Options() const { return options_; }
    void setOptions(const ConnectionOptions& options) { options_ = options; }
    std::string Provider;         // stored; the string decides the driver
    std::string JetLockingMode;   // "Jet OLEDB:Database Locking Mode", stored only
    long ConnectionTimeout = 15;  // stored only
    // Seconds a statement waits for a lock another process holds on the file before it fails
    // (SQLite files); applies from the next statement on.
    long CommandTimeout() const { return commandTimeout_; }
    void setCommandTimeout(long seconds);

    // Runs a statement with bound parameters; returns the rows changed.
    long long Execute(const std::string& sql, const std::vector<vb::Variant>& params = {});

    // Transactions: BeginTrans returns the level it opened (1 for the outermost); CommitTrans
    // and RollbackTrans end the innermost level. Engines without transactions throw 3251.
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // Levels open; 0 when every statement commits on its own (also when closed).
    int TransactionLevel() const { return driver_ ? driver_->transactionLevel() : 0; }

    // The open driver; throws ComError when closed.
    Driver& driver() const;

  private:
    std::string connectionString_;
    ConnectionOptions options_;
    std::unique_ptr<Driver> driver_;
    long commandTimeout_ = 30;
};
using ConnectionPtr = std::shared_ptr<Connection>;

// Opens a new shared connection (a convenience for callers that hold one) with the options
// of a run, or the defaults.
ConnectionPtr OpenConnection(const std::string& connectionString, const ConnectionOptions& options = {});

class Recordset;

class Field {
  public:
    const std::string& Name() const;
    DataTypeEnum Type() const;
    long DefinedSize() const;
    const vb::Variant& Value() const;
    void setValue(const vb::Variant& v);  // only on an updatable recordset's current row

  private:
    friend class Recordset;
    Field(Recordset* rs, int index) : rs_(rs), index_(index) {}
    Recordset* rs_;
    int index_;
};

class Recordset {
  public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // source: a SQL text or a bare table name. params bind the '?' placeholders in order.
    void Open(const std::string& source, const ConnectionPtr& connection,
              CursorTypeEnum cursor = adOpenForwardOnly, LockTypeEnum lock = adLockReadOnly,
              const std::vector<vb::Variant>& params = {});
    void Close();
    int State() const { return open_ ? adStateOpen : adStateClosed; }

    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    long RecordCount() const;  // -1 for a forward-only cursor, as ADO answers
    long AbsolutePosition() const { return pos_ + 1; }

    int FieldCount() const { return static_cast<int>(columns_.size()); }
    Field Fields(const std::string& name);  // throws 3265 when there is no such field
    Field Fields(int index);                // 0-based
    bool HasField(const std::string& name) const;
    // Shorthands.
    const vb::Variant& operator[](const std::string& name) { return Fields(name).Value(); }
    void set(const std::string& name, const vb::Variant& v) { Fields(name).setValue(v); }

    void AddNew();
    void Update();  // writes the new or changed row; reads the autonumber key back
    void CancelUpdate();
    void Delete();  // deletes the current row from its table

    const ConnectionPtr& ActiveConnection() const { return connection_; }

  private:
    friend class Field;
    int indexOf(const std::string& name) const;
    void requireRow() const;
    void requireUpdatable() const;
    void settle();                        // writes a pending edit before the cursor moves, as ADO does
    long step(long from, int dir) const;  // next live row from `from` in direction dir
    std::vector<int> keyColumns() const;
    std::string rowLocator(const std::vector<vb::Variant>& before, std::vector<vb::Variant>& params) const;
    void writeNewRow();
    void writeChangedRow();

    ConnectionPtr connection_;
    bool open_ = false;
    CursorTypeEnum cursor_ = adOpenForwardOnly;
    LockTypeEnum lock_ = adLockReadOnly;
    std::string table_;  // base table of an updatable recordset
    std::vector<ColumnInfo> columns_;
    std::vector<std::string> upperNames_;  // column names upper-cased once, for lookups by name
    std::vector<std::vector<vb::Variant>> rows_;
    std::vector<std::vector<vb::Variant>> original_;  // values as read, for locating the row
    std::vector<bool> deleted_;                       // rows removed by Delete
    std::vector<bool> assigned_;                      // fields of the pending row given a value
    long pos_ = 0;                                    // -1 = before the first row (BOF)
    bool adding_ = false;
    bool dirty_ = false;
};

class Command {
  public:
    std::string CommandText;
    ConnectionPtr ActiveConnection;
    std::vector<vb::Variant> Parameters;
    long long Execute();
};

}  // namespace ado
