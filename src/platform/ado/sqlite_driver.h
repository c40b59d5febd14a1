#pragma once
// The SQLite driver: the internal store files and the SQLite stand-ins for Access files.
//
// Storage conventions (the store templates and every writer follow them):
//  - Booleans are integers 0 (False) and 1 (True); any non-zero integer in a column declared
//    BOOLEAN/YESNO/BIT reads back as True.
//  - Dates are text "YYYY-MM-DD HH:MM:SS" in columns declared DATE, DATETIME or TIME; a
//    number stored there is read as a date serial.
//  - A stand-in for an Access file keeps its links in a table MSysObjects (Name, Type, Flags,
//    Database, ForeignName, Connect) and its saved queries as views; PRAGMA user_version 3
//    marks a Jet 3 file.
#include <sqlite3.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ado/driver.h"

namespace ado {

class SqliteStatementCache;

class SqliteDriver : public Driver {
  public:
    // Opens an existing file read-write (read-only when the file cannot be written), or, with
    // onlyReads, read-only with every statement that would write refused (ConnectionOptions::
    // readOnly). Throws ComError naming the file when it cannot be opened as a SQLite database.
    SqliteDriver(const std::string& file, const ConnectionText& text, bool onlyReads = false);
    ~SqliteDriver() override;
    SqliteDriver(const SqliteDriver&) = delete;
    SqliteDriver& operator=(const SqliteDriver&) = delete;

    // The connection string the provider reports for one opened with text.
    static std::string ReportedConnectionString(const ConnectionText& text);

    EngineKind kind() const override { return EngineKind::SQLite; }
    std::string connectionString() const override { return connectionString_; }
    bool readOnly() const override { return readOnly_; }

    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) override;
    long long execute(const std::string& sql, const std::vector<vb::Variant>& params) override;
    vb::Variant lastInsertKey() override;
    std::string quoteName(const std::string& name) const override;

    std::vector<TableInfo> tables() override;
    std::vector<ColumnInfo> columns(const std::string& table) override;
    std::vector<QueryInfo> views() override;
    std::vector<QueryInfo> procedures() override { return {}; }
    void saveQuery(const std::string& name, const std::string& sql, bool replace) override;

    // The outermost level is BEGIN IMMEDIATE: it waits for another process's write lock
    // once, at the start, rather than failing later in the middle of the transaction.
    // Inner levels are savepoints.
    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    int transactionLevel() const override;
    void setLockTimeout(long milliseconds) override;
    bool fastCommits() override;

    // Copies the write-ahead log (WAL mode) into the file itself and empties it; returns
    // false when another connection keeps part of it in use.
    bool checkpoint();

    int userVersion() override;
    const std::string& file() const { return file_; }
    sqlite3* handle() const { return db_; }

  private:
    [[noreturn]] void fail(const std::string& context) const;
    // On a connection that only reads: refuses a prepared statement that would write.
    void requireRead(sqlite3_stmt* statement, const std::string& sql) const;
    long long schemaVersion();
    // What the catalog read from the file depends on. Read by a query: the schema version, the
    // commits of other connections (data version) and this session's own changes (they count
    // in the total changes, committed or not). Read from the file's header (fromHeader): its
    // change counter, which every commit raises in rollback-journal mode, the schema cookie and
    // user_version. Equal stamps: the table list read before still holds.
    struct CatalogStamp {
        bool fromHeader = false;
        long long schema = -1, data = -1, changes = -1, user = -1;
        bool operator==(const CatalogStamp&) const = default;
    };
    CatalogStamp catalogStamp();
    // The stamp from the file's first 100 bytes, read without the lock, the journal and log
    // checks and the unlock a query's read costs. Only where the header is the whole truth: a
    // rollback-journal file (not a write-ahead log, whose commits leave the header as it was)
    // and no transaction of this session open (its changes would not be in the file yet).
    // False otherwise, and when the header cannot be read.
    bool headerStamp(CatalogStamp& stamp) const;
    std::vector<TableInfo> readTables();
    // Leaves WAL mode when this is the file's last connection, so that the file alone holds
    // everything once it is closed.
    void foldBack();

    sqlite3* db_ = nullptr;
    std::string file_;
    std::string connectionString_;
    bool readOnly_ = false;
    bool onlyReads_ = false;    // opened for a caller that only reads: no statement may write
    int level_ = 0;             // transaction levels opened through beginTransaction
    bool fastCommits_ = false;  // WAL with synchronous=NORMAL set on this session
    std::shared_ptr<SqliteStatementCache> statements_;
    // Columns by upper-cased table name, valid while the schema version stays the same.
    std::unordered_map<std::string, std::vector<ColumnInfo>> columnCache_;
    long long columnCacheVersion_ = -1;
    // The table list (with the links of MSysObjects), valid while the stamp stays the same: a
    // pooled session serves every job of a run, and each job asks for it.
    std::vector<TableInfo> tableCache_;
    CatalogStamp tableCacheStamp_;
    bool tableCacheValid_ = false;
};

// Maps a declared SQLite column type to the ADO value type ("" gives adVariant).
DataTypeEnum SqliteDeclaredType(const std::string& declared, long* size = nullptr);

// True when the file starts with the SQLite header.
bool IsSqliteFile(const std::string& file);
// 3 for a Jet 3 file, 4 for Jet 4, 5 for ACE (accdb), 0 when not an Access file.
int AccessFileVersion(const std::string& file);
// Why a database file named in a connection string cannot be opened when it is not a regular
// file: "Could not find file '<file>'." when nothing is there, else what is there instead
// ("'<file>' is a directory, not a database file.").
std::string NotADatabaseFileText(const std::string& file);

}  // namespace ado
