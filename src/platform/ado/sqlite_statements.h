#pragma once
// Prepared statements of one SQLite connection, kept by their SQL text and used again: the
// store runs the same few statements thousands of times in a conversion, and preparing one
// costs more than running it. A statement in use is leased; a second use of the same text
// while the first lease is out gets a statement of its own, which is not kept.
//
// Ownership: the driver and every lease share the cache. When the driver closes, idle
// statements are finalized at once and leased ones when their lease ends (the connection is
// closed with sqlite3_close_v2, so it waits for them).
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ado/driver.h"

namespace ado {

class SqliteStatementCache : public std::enable_shared_from_this<SqliteStatementCache> {
  public:
    // capacity: statements kept; the one used least recently goes first.
    SqliteStatementCache(sqlite3* db, size_t capacity);
    ~SqliteStatementCache();
    SqliteStatementCache(const SqliteStatementCache&) = delete;
    SqliteStatementCache& operator=(const SqliteStatementCache&) = delete;

    struct Entry;

    // One statement, reset and with its parameters cleared when the lease ends.
    class Lease {
      public:
        Lease() = default;
        Lease(Lease&& other) noexcept { *this = std::move(other); }
        Lease& operator=(Lease&& other) noexcept;
        ~Lease() { release(); }
        sqlite3_stmt* get() const { return st_; }
        explicit operator bool() const { return st_ != nullptr; }
        // The result columns as ADO types; worked out once per kept statement.
        const std::vector<ColumnInfo>& columns();
        // Resets the statement and gives it back; the lease is empty afterwards.
        void release();

      private:
        friend class SqliteStatementCache;
        std::shared_ptr<SqliteStatementCache> cache_;
        sqlite3_stmt* st_ = nullptr;
        Entry* entry_ = nullptr;  // null: a statement of its own, finalized at release
        std::vector<ColumnInfo> ownColumns_;
        bool ownColumnsRead_ = false;
    };

    // Prepares the first statement of sql, or takes the kept one. tail receives the offset
    // of the text after that statement; a text holding several statements is not kept.
    // Returns an empty lease for a text with no statement; throws nothing (the caller reads
    // the connection's error after a failed prepare: prepared is then false).
    Lease acquire(const std::string& sql, size_t& tail, bool& prepared);

    // Finalizes every idle statement; leased ones are finalized when they come back.
    void close();

    struct Entry {
        sqlite3_stmt* st = nullptr;
        bool busy = false;
        std::uint64_t lastUse = 0;
        int reprepares = -1;  // SQLITE_STMTSTATUS_REPREPARE when columns were worked out
        std::vector<ColumnInfo> columns;
    };

  private:
    void giveBack(Entry* entry, sqlite3_stmt* st);
    void evictOne();

    sqlite3* db_;
    size_t capacity_;
    bool closed_ = false;
    std::uint64_t clock_ = 0;
    std::unordered_map<std::string, Entry> entries_;
};

// The ADO value types of a statement's result columns.
std::vector<ColumnInfo> SqliteResultColumns(sqlite3_stmt* st);

}  // namespace ado
