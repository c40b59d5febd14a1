#include "platform/ado/sqlite_statements.h"

#include <cctype>

#include "platform/ado/sqlite_driver.h"

namespace ado {

namespace {

bool OnlyBlanks(const char* p, const char* end) {
    for (; p < end; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p)) && *p != ';') return false;
    return true;
}

}  // namespace

std::vector<ColumnInfo> SqliteResultColumns(sqlite3_stmt* st) {
    std::vector<ColumnInfo> out;
    const int n = sqlite3_column_count(st);
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        ColumnInfo c;
        const char* name = sqlite3_column_name(st, i);
        c.name = name ? name : "";
        const char* decl = sqlite3_column_decltype(st, i);
        c.type = SqliteDeclaredType(decl ? decl : "", &c.size);
        out.push_back(std::move(c));
    }
    return out;
}

SqliteStatementCache::SqliteStatementCache(sqlite3* db, size_t capacity) : db_(db), capacity_(capacity) {}

SqliteStatementCache::~SqliteStatementCache() {
    close();
}

SqliteStatementCache::Lease& SqliteStatementCache::Lease::operator=(Lease&& other) noexcept {
    if (this != &other) {
        release();
        cache_ = std::move(other.cache_);
        st_ = other.st_;
        entry_ = other.entry_;
        ownColumns_ = std::move(other.ownColumns_);
        ownColumnsRead_ = other.ownColumnsRead_;
        other.st_ = nullptr;
        other.entry_ = nullptr;
        other.ownColumnsRead_ = false;
    }
    return *this;
}

const std::vector<ColumnInfo>& SqliteStatementCache::Lease::columns() {
    if (entry_) {
        // A kept statement is prepared again by the engine when the schema changes; its
        // columns may then differ.
        const int reprepares = sqlite3_stmt_status(st_, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (entry_->reprepares != reprepares) {
            entry_->columns = SqliteResultColumns(st_);
            entry_->reprepares = reprepares;
        }
        return entry_->columns;
    }
    if (!ownColumnsRead_) {
        ownColumns_ = st_ ? SqliteResultColumns(st_) : std::vector<ColumnInfo>{};
        ownColumnsRead_ = true;
    }
    return ownColumns_;
}

void SqliteStatementCache::Lease::release() {
    if (!st_) return;
    sqlite3_stmt* st = st_;
    st_ = nullptr;
    if (cache_) {
        cache_->giveBack(entry_, st);
    } else {
        sqlite3_finalize(st);
    }
    entry_ = nullptr;
    cache_.reset();
}

void SqliteStatementCache::giveBack(Entry* entry, sqlite3_stmt* st) {
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    if (!entry || closed_) {
        if (entry) entry->st = nullptr;
        sqlite3_finalize(st);
        return;
    }
    entry->busy = false;
}

SqliteStatementCache::Lease SqliteStatementCache::acquire(const std::string& sql, size_t& tail,
                                                          bool& prepared) {
    Lease lease;
    lease.cache_ = shared_from_this();
    prepared = true;
    if (!closed_) {
        auto it = entries_.find(sql);
        if (it != entries_.end() && !it->second.busy && it->second.st) {
            it->second.busy = true;
            it->second.lastUse = ++clock_;
            lease.st_ = it->second.st;
            lease.entry_ = &it->second;
            tail = sql.size();
            return lease;
        }
    }
    sqlite3_stmt* st = nullptr;
    const char* begin = sql.c_str();
    const char* rest = begin;
    if (sqlite3_prepare_v3(db_, begin, static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st, &rest) !=
        SQLITE_OK) {
        prepared = false;
        lease.cache_.reset();
        return lease;
    }
    tail = static_cast<size_t>(rest - begin);
    lease.st_ = st;
    if (!st) {
        lease.cache_.reset();
        return lease;
    }
    const bool single = OnlyBlanks(rest, begin + sql.size());
    if (closed_ || !single || entries_.count(sql)) return lease;  // used once, not kept
    if (entries_.size() >= capacity_) evictOne();
    if (entries_.size() >= capacity_) return lease;
    Entry& e = entries_[sql];
    e.st = st;
    e.busy = true;
    e.lastUse = ++clock_;
    lease.entry_ = &e;
    return lease;
}

void SqliteStatementCache::evictOne() {
    auto oldest = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (!it->second.busy && (oldest == entries_.end() || it->second.lastUse < oldest->second.lastUse))
            oldest = it;
    if (oldest == entries_.end()) return;
    sqlite3_finalize(oldest->second.st);
    entries_.erase(oldest);
}

void SqliteStatementCache::close() {
    if (closed_) return;
    closed_ = true;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!it->second.busy) {
            sqlite3_finalize(it->second.st);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace ado
