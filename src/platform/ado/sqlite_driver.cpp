#include "platform/ado/sqlite_driver.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/ado/read_statement.h"
#include "platform/ado/sqlite_statements.h"
#include "platform/common/com_error.h"
#include "platform/common/regular_file.h"
#include "platform/common/text.h"

namespace ado {
namespace {

constexpr long kErrProvider = static_cast<long>(0x80004005);  // the provider's general failure
constexpr long kErrSyntax = static_cast<long>(0x80040E14);    // a statement the engine refuses
constexpr long kErrNoTransaction = 3251;                      // the operation is not allowed now
// The error number of an engine result code: the file's refusals (read-only, locked by
// another connection) have numbers of their own; any other failure gives otherwise.
long ErrorNumber(int code, long otherwise) {
    switch (code & 0xFF) {
        case SQLITE_READONLY:
            return kErrReadOnlyFile;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return kErrFileLocked;
        default:
            return otherwise;
    }
}

// Statements kept prepared per connection: the store's working set is a few dozen texts.
constexpr size_t kKeptStatements = 96;
// Log pages (4 KiB each) after which a commit folds the write-ahead log back into the file.
constexpr int kPagesBeforeCheckpoint = 4000;

// "YYYY-MM-DD HH:MM:SS" (ToParts gives years 100 to 9999). Every row of the conversion log
// carries one: formatted by hand, without printf, into out.
void DateToText(vb::Date d, char (&out)[19]) {
    int y, m, day, h, mi, s;
    d.ToParts(y, m, day, h, mi, s);
    auto two = [&](int at, int v) {
        out[at] = static_cast<char>('0' + v / 10 % 10);
        out[at + 1] = static_cast<char>('0' + v % 10);
    };
    two(0, y / 100);
    two(2, y % 100);
    out[4] = '-';
    two(5, m);
    out[7] = '-';
    two(8, day);
    out[10] = ' ';
    two(11, h);
    out[13] = ':';
    two(14, mi);
    out[16] = ':';
    two(17, s);
}

// copy: SQLite keeps its own copy of a text or blob; without it the value must outlive every
// step of the statement.
void Bind(sqlite3_stmt* st, int index, const vb::Variant& v, bool copy = true) {
    const auto keep = copy ? SQLITE_TRANSIENT : SQLITE_STATIC;
    switch (v.Type()) {
        case vb::VarType::Empty:
        case vb::VarType::Null:
            sqlite3_bind_null(st, index);
            break;
        case vb::VarType::Boolean:
            sqlite3_bind_int(st, index, v.ToBool() ? 1 : 0);
            break;
        case vb::VarType::Long:
            sqlite3_bind_int64(st, index, v.ToLong());
            break;
        case vb::VarType::Double:
            sqlite3_bind_double(st, index, v.ToDouble());
            break;
        case vb::VarType::String: {
            const std::string& s = *v.AsString();
            sqlite3_bind_text(st, index, s.data(), static_cast<int>(s.size()), keep);
            break;
        }
        case vb::VarType::Date: {
            char text[19];
            DateToText(v.ToDate(), text);
            sqlite3_bind_text(st, index, text, sizeof text, SQLITE_TRANSIENT);
            break;
        }
        case vb::VarType::Bytes: {
            const auto& b = v.ToBytes();
            sqlite3_bind_blob(st, index, b.data(), static_cast<int>(b.size()), keep);
            break;
        }
    }
}

// A whole number at p (blanks before it skipped, a sign allowed), as scanf's %d reads it;
// false when there is none. Every date column of every row passes here.
bool ReadNumber(const char*& p, const char* end, int& out) {
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9') return false;
    long long v = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) v = std::min(v * 10 + (*p - '0'), 1LL << 40);
    out = static_cast<int>(
        std::clamp(negative ? -v : v, static_cast<long long>(INT32_MIN), static_cast<long long>(INT32_MAX)));
    return true;
}

// Reads "YYYY-MM-DD[ HH:MM[:SS]]" as written by DateToText (or by hand in fixtures): the fields
// scanf's "%d-%d-%d%*[ T]%d:%d:%d" would read, those missing after the date being 0.
bool ParseIsoDate(const char* s, size_t length, vb::Date& out) {
    const char* p = s;
    const char* end = s + length;
    int parts[6] = {0, 0, 0, 0, 0, 0};
    int n = 0;
    auto literal = [&](char c) {
        if (p == end || *p != c) return false;
        ++p;
        return true;
    };
    if (ReadNumber(p, end, parts[0]) && ++n && literal('-') && ReadNumber(p, end, parts[1]) && ++n &&
        literal('-') && ReadNumber(p, end, parts[2]) && ++n) {
        const char* before = p;
        while (p < end && (*p == ' ' || *p == 'T')) ++p;
        if (p != before && ReadNumber(p, end, parts[3]) && ++n && literal(':') &&
            ReadNumber(p, end, parts[4]) && ++n && literal(':') && ReadNumber(p, end, parts[5]))
            ++n;
    }
    const int mo = parts[1], d = parts[2];
    if (n < 3 || mo < 1 || mo > 12 || d < 1 || d > 31) return false;
    out = vb::Date::FromParts(parts[0], mo, d, parts[3], parts[4], parts[5]);
    return true;
}

vb::Variant ReadValue(sqlite3_stmt* st, int i, DataTypeEnum type) {
    const int storage = sqlite3_column_type(st, i);
    switch (storage) {
        case SQLITE_NULL:
            return vb::Variant::null();
        case SQLITE_INTEGER: {
            const long long n = sqlite3_column_int64(st, i);
            if (type == adBoolean) return vb::Variant(n != 0);
            if (type == adDate) return vb::Variant(vb::Date{static_cast<double>(n)});
            if (type == adDouble || type == adSingle || type == adCurrency || type == adDecimal ||
                type == adNumeric)
                return vb::Variant(static_cast<double>(n));
            return vb::Variant(n);
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(st, i);
            if (type == adDate) return vb::Variant(vb::Date{d});
            if (type == adBoolean) return vb::Variant(d != 0);
            return vb::Variant(d);
        }
        case SQLITE_TEXT: {
            const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            const auto n = static_cast<size_t>(sqlite3_column_bytes(st, i));
            if (type == adDate) {
                vb::Date d;
                if (ParseIsoDate(t, n, d)) return vb::Variant(d);
            }
            return vb::Variant(std::string(t, n));
        }
        default: {
            const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(st, i));
            const int n = sqlite3_column_bytes(st, i);
            return vb::Variant(vb::Bytes(p, p + n));
        }
    }
}

class SqliteCursor : public Cursor {
  public:
    SqliteCursor(sqlite3* db, SqliteStatementCache::Lease lease, bool firstStep)
        : db_(db), lease_(std::move(lease)), columns_(lease_.columns()), pending_(firstStep) {
        if (!pending_) lease_.release();
    }

    const std::vector<ColumnInfo>& columns() const override { return columns_; }

    bool next(std::vector<vb::Variant>& row) override {
        if (!lease_) return false;
        sqlite3_stmt* st = lease_.get();
        int rc;
        if (pending_) {
            rc = SQLITE_ROW;
            pending_ = false;
        } else {
            rc = sqlite3_step(st);
        }
        if (rc == SQLITE_DONE) {
            lease_.release();  // ends the read at once
            return false;
        }
        if (rc != SQLITE_ROW) {
            const std::string msg = sqlite3_errmsg(db_);
            const long number = ErrorNumber(sqlite3_errcode(db_), kErrProvider);
            lease_.release();
            throw vb::ComError(number, msg);
        }
        row.clear();
        row.reserve(columns_.size());
        for (size_t i = 0; i < columns_.size(); ++i)
            row.push_back(ReadValue(st, static_cast<int>(i), columns_[i].type));
        return true;
    }

  private:
    sqlite3* db_;
    SqliteStatementCache::Lease lease_;
    std::vector<ColumnInfo> columns_;
    bool pending_;  // the first step was taken to surface errors at open
};

// Jet accepts "DELETE * FROM t"; SQLite wants "DELETE FROM t".
// The text without the "*", or "" when the statement needs no change.
std::string SqliteForm(const std::string& sql) {
    // Every statement passes here: only a DELETE with a "*" in it is read further.
    if (sql.find('*') == std::string::npos ||
        !tolvaran::StartsWithNoCase(tolvaran::TrimBlanks(sql), "DELETE"))
        return {};
    const auto t = TokenizeJetSql(sql, SqlErrors::Tolerate);
    if (!IsWord(t[0], "DELETE") || !IsSymbol(t[1], "*")) return {};
    return sql.substr(0, t[0].pos + t[0].len) + sql.substr(t[1].pos + 1);
}

}  // namespace

DataTypeEnum SqliteDeclaredType(const std::string& declared, long* size) {
    const std::string t = tolvaran::UpperCase(declared);
    if (size) {
        *size = 0;
        const auto p = t.find('(');
        if (p != std::string::npos) *size = std::atol(t.c_str() + p + 1);
    }
    auto has = [&](const char* k) { return t.find(k) != std::string::npos; };
    if (t.empty()) return adVariant;
    if (has("BOOL") || has("YESNO") || has("BIT")) return adBoolean;
    if (has("DATE") || has("TIME")) return adDate;
    if (has("BIGINT")) return adBigInt;
    if (has("SMALLINT")) return adSmallInt;
    if (has("TINYINT") || has("BYTE")) return adUnsignedTinyInt;
    if (has("INT") || has("COUNTER") || (has("LONG") && !has("LONGTEXT") && !has("LONGVAR")))
        return adInteger;
    if (has("CURRENCY") || has("MONEY")) return adCurrency;
    if (has("DECIMAL") || has("NUMERIC")) return adNumeric;
    if (has("REAL") || has("DOUBLE") || has("FLOAT")) return adDouble;
    if (has("SINGLE")) return adSingle;
    if (has("MEMO") || has("LONGTEXT") || has("CLOB")) return adLongVarWChar;
    if (has("CHAR") || has("TEXT") || has("STRING")) return adVarWChar;
    if (has("BLOB") || has("BINARY") || has("OLE")) return adLongVarBinary;
    if (has("GUID")) return adGUID;
    return adVariant;
}

namespace {

// The first bytes of a file (fewer when it is shorter); the count read, -1 when it cannot be
// opened. Read through SQLite's own file layer: closing a descriptor of a file drops every
// POSIX lock this process holds on it, and a file this process has open as a database (the
// lists file, a source database) must keep its locks, or another process takes itself for the
// last user and removes the write-ahead log under it. SQLite's layer keeps such a descriptor
// open until the locks are released.
long ReadHead(const std::string& file, unsigned char* head, size_t size) {
    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs) return -1;
    std::vector<char> fullName(static_cast<size_t>(vfs->mxPathname) + 1, '\0');
    if (vfs->xFullPathname(vfs, file.c_str(), vfs->mxPathname, fullName.data()) != SQLITE_OK) return -1;
    // The name as the file layer expects it from sqlite3_open: it stays valid until closed.
    const sqlite3_filename name = sqlite3_create_filename(fullName.data(), "", "", 0, nullptr);
    if (!name) return -1;
    std::vector<std::max_align_t> space((static_cast<size_t>(vfs->szOsFile) + sizeof(std::max_align_t) - 1) /
                                        sizeof(std::max_align_t));
    auto* f = reinterpret_cast<sqlite3_file*>(space.data());
    f->pMethods = nullptr;
    int flags = 0;
    long got = -1;
    if (vfs->xOpen(vfs, name, f, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) == SQLITE_OK) {
        sqlite3_int64 length = 0;
        if (f->pMethods->xFileSize(f, &length) == SQLITE_OK) {
            const auto wanted =
                static_cast<int>(std::min<sqlite3_int64>(length, static_cast<sqlite3_int64>(size)));
            if (wanted == 0 || f->pMethods->xRead(f, head, wanted, 0) == SQLITE_OK) got = wanted;
        }
    }
    if (f->pMethods) f->pMethods->xClose(f);
    sqlite3_free_filename(name);
    return got;
}

}  // namespace

bool IsSqliteFile(const std::string& file) {
    unsigned char head[16] = {0};
    return ReadHead(file, head, sizeof head) == 16 && std::memcmp(head, "SQLite format 3\0", 16) == 0;
}

int AccessFileVersion(const std::string& file) {
    unsigned char head[32] = {0};
    if (ReadHead(file, head, sizeof head) < 21) return 0;
    const bool jet = std::memcmp(head + 4, "Standard Jet DB", 15) == 0;
    const bool ace = std::memcmp(head + 4, "Standard ACE DB", 15) == 0;
    if (!jet && !ace) return 0;
    // Byte 0x14: 0 Jet 3, 1 Jet 4, 2 and above ACE.
    const unsigned char v = head[0x14];
    if (ace || v >= 2) return 5;
    return v == 0 ? 3 : 4;
}

std::string NotADatabaseFileText(const std::string& file) {
    const std::string kind = tolvaran::NotAFileKind(file);
    if (kind.empty()) return "Could not find file '" + file + "'.";
    return "'" + file + "' is " + kind + ", not a database file.";
}

std::string SqliteDriver::ReportedConnectionString(const ConnectionText& text) {
    // The provider reports its own name in front of the string it was given.
    if (text.Has("Provider")) return text.Text();
    ConnectionText reported;
    reported.Add("Provider", "Microsoft.Jet.OLEDB.4.0");
    for (const ConnectionText::Part& part : text.Parts()) reported.Add(part);
    return reported.Text();
}

SqliteDriver::SqliteDriver(const std::string& file, const ConnectionText& text, bool onlyReads)
    : file_(file), connectionString_(ReportedConnectionString(text)), onlyReads_(onlyReads) {
    int rc = SQLITE_READONLY;  // a connection that only reads opens the file read-only at once
    if (!onlyReads)
        rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_READONLY || rc == SQLITE_CANTOPEN) {
        sqlite3_close(db_);
        db_ = nullptr;
        rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        readOnly_ = true;
    }
    if (rc != SQLITE_OK) {
        const std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw vb::ComError(kErrProvider, "Could not open the database file '" + file + "': " + msg);
    }
    // ATTACH counts as a read, yet it can make a file (or read any other): none on a
    // connection that only reads.
    if (onlyReads_) sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 0);
    statements_ = std::make_shared<SqliteStatementCache>(db_, kKeptStatements);
    // A damaged file opens without complaint; reading its schema finds the damage now. A file
    // another program holds locked is not waited for here: the first statement waits for it
    // as long as its connection waits, so that whoever waits can say so.
    char* err = nullptr;
    const int read = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &err);
    sqlite3_busy_timeout(db_, lockTimeout_);
    if (read != SQLITE_OK && ErrorNumber(read, kErrProvider) == kErrFileLocked) {
        sqlite3_free(err);
    } else if (read != SQLITE_OK) {
        const std::string msg = err ? err : "unknown error";
        const long number = ErrorNumber(read, kErrProvider);
        sqlite3_free(err);
        statements_->close();
        statements_.reset();
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw vb::ComError(number, "The database file '" + file + "' cannot be read: " + msg);
    }
}

SqliteDriver::~SqliteDriver() {
    if (!db_) return;
    if (statements_) statements_->close();
    if (level_ > 0 && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    foldBack();
    statements_.reset();
    // Statements still held by open cursors are finalized when those cursors end.
    sqlite3_close_v2(db_);
}

void SqliteDriver::foldBack() {
    if (readOnly_) return;
    // Closing never waits for another program's lock: a file it holds is left as it is.
    sqlite3_busy_timeout(db_, 0);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &st, nullptr) != SQLITE_OK) return;
    bool wal = false;
    if (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* mode = sqlite3_column_text(st, 0);
        wal = mode && std::string(reinterpret_cast<const char*>(mode)) == "wal";
    }
    sqlite3_finalize(st);
    if (!wal) return;
    // Refused while another connection has the file open; the last one to close then folds
    // the log back itself and removes the -wal and -shm files.
    sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
}

bool SqliteDriver::checkpoint() {
    int logFrames = 0, copied = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
    return rc == SQLITE_OK;
}

void SqliteDriver::setLockTimeout(long milliseconds) {
    lockTimeout_ = static_cast<int>(std::max(0L, std::min(milliseconds, 24L * 3600 * 1000)));
    sqlite3_busy_timeout(db_, lockTimeout_);
}

bool SqliteDriver::fastCommits() {
    // The level of safety cannot change inside a transaction; a file that refuses WAL
    // (read-only, a network folder) keeps its own mode.
    if (fastCommits_ || readOnly_ || !sqlite3_get_autocommit(db_)) return fastCommits_;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode=WAL", -1, &st, nullptr) != SQLITE_OK) return false;
    // Never waited for: while another program holds the file, the next call tries again.
    sqlite3_busy_timeout(db_, 0);
    bool wal = false;
    if (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* mode = sqlite3_column_text(st, 0);
        wal = mode && tolvaran::EqualsNoCase(reinterpret_cast<const char*>(mode), "wal");
    }
    sqlite3_finalize(st);
    sqlite3_busy_timeout(db_, lockTimeout_);
    fastCommits_ =
        wal && sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) == SQLITE_OK;
    // A checkpoint copies every page the log holds and flushes the file twice; with a longer
    // log a page that many commits rewrote (the tables' last leaves and their indexes) is
    // copied once for them all, and a conversion meets one every few hundred commits. The log
    // reaches about 16 MB at most; closing the last connection still folds it back.
    if (fastCommits_) sqlite3_wal_autocheckpoint(db_, kPagesBeforeCheckpoint);
    return fastCommits_;
}

int SqliteDriver::transactionLevel() const {
    return sqlite3_get_autocommit(db_) ? 0 : std::max(level_, 1);
}

void SqliteDriver::beginTransaction() {
    if (sqlite3_get_autocommit(db_)) level_ = 0;                  // the engine ended the last one
    if (level_ == 0 && !sqlite3_get_autocommit(db_)) level_ = 1;  // begun by a SQL text
    if (level_ == 0) {
        execute("BEGIN IMMEDIATE", {});
        level_ = 1;
        return;
    }
    execute("SAVEPOINT ado_level_" + std::to_string(level_ + 1), {});
    ++level_;
}

void SqliteDriver::commitTransaction() {
    if (level_ == 0) throw vb::ComError(kErrNoTransaction, "No transaction is active.");
    if (sqlite3_get_autocommit(db_)) {
        level_ = 0;
        throw vb::ComError(kErrProvider, "The transaction on '" + file_ +
                                             "' was rolled back by the engine; its changes are lost.");
    }
    if (level_ == 1) {
        execute("COMMIT", {});  // on failure the transaction stays open and can be tried again
        level_ = 0;
        return;
    }
    execute("RELEASE ado_level_" + std::to_string(level_), {});
    --level_;
}

void SqliteDriver::rollbackTransaction() {
    if (level_ == 0) throw vb::ComError(kErrNoTransaction, "No transaction is active.");
    if (sqlite3_get_autocommit(db_)) {
        level_ = 0;
        return;
    }
    if (level_ == 1) {
        level_ = 0;
        execute("ROLLBACK", {});
        return;
    }
    const std::string name = "ado_level_" + std::to_string(level_);
    --level_;
    execute("ROLLBACK TO " + name + "; RELEASE " + name, {});
}

void SqliteDriver::fail(const std::string& context) const {
    const int code = sqlite3_errcode(db_);
    const long number = ErrorNumber(code, code == SQLITE_ERROR ? kErrSyntax : kErrProvider);
    std::string msg = sqlite3_errmsg(db_);
    if (!context.empty()) msg += " (" + context + ")";
    throw vb::ComError(number, msg);
}

void SqliteDriver::requireRead(sqlite3_stmt* statement, const std::string& sql) const {
    // VACUUM INTO writes a new file even from a read-only connection; the engine knows every
    // statement that writes anywhere.
    if (onlyReads_ && !sqlite3_stmt_readonly(statement))
        throw vb::ComError(kErrProvider,
                           "The connection to '" + file_ + "' only reads; the statement would write: " + sql);
}

std::unique_ptr<Cursor> SqliteDriver::query(const std::string& sql, const std::vector<vb::Variant>& params) {
    size_t tail = 0;
    bool prepared = true;
    SqliteStatementCache::Lease lease = statements_->acquire(sql, tail, prepared);
    if (!prepared) fail(sql);
    if (!lease) throw vb::ComError(kErrSyntax, "Empty statement");
    sqlite3_stmt* st = lease.get();
    requireRead(st, sql);
    const int n = sqlite3_bind_parameter_count(st);
    for (int i = 0; i < n && i < static_cast<int>(params.size()); ++i)
        Bind(st, i + 1, params[static_cast<size_t>(i)]);
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw vb::ComError(ErrorNumber(rc, kErrProvider), sqlite3_errmsg(db_));
    return std::make_unique<SqliteCursor>(db_, std::move(lease), rc == SQLITE_ROW);
}

long long SqliteDriver::execute(const std::string& sqlIn, const std::vector<vb::Variant>& params) {
    const std::string rewritten = SqliteForm(sqlIn);
    const std::string& sql = rewritten.empty() ? sqlIn : rewritten;
    size_t used = 0;
    // The values outlive every step here: bound without a copy.
    auto bindNext = [&](sqlite3_stmt* st) {
        const int n = sqlite3_bind_parameter_count(st);
        for (int i = 0; i < n; ++i, ++used)
            if (used < params.size()) Bind(st, i + 1, params[used], false);
    };
    // The first statement comes from the kept ones; a text of several statements (rare: schema
    // scripts) prepares the others each time.
    size_t tail = 0;
    bool prepared = true;
    long long changed = 0;
    {
        SqliteStatementCache::Lease lease = statements_->acquire(sql, tail, prepared);
        if (!prepared) fail(sql);
        if (!lease) return 0;  // blanks or comments only
        requireRead(lease.get(), sql);
        bindNext(lease.get());
        int rc;
        while ((rc = sqlite3_step(lease.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) fail(sql);
        changed = sqlite3_changes64(db_);
    }
    const char* rest = sql.c_str() + tail;
    const char* end = sql.c_str() + sql.size();
    while (rest < end) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, rest, static_cast<int>(end - rest), &st, &rest) != SQLITE_OK) fail(sql);
        if (!st) break;
        try {
            requireRead(st, sql);
        } catch (...) {
            sqlite3_finalize(st);
            throw;
        }
        bindNext(st);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            const int code = sqlite3_errcode(db_);
            const std::string msg = sqlite3_errmsg(db_);
            sqlite3_finalize(st);
            throw vb::ComError(ErrorNumber(code, code == SQLITE_ERROR ? kErrSyntax : kErrProvider),
                               msg + " (" + sql + ")");
        }
        sqlite3_finalize(st);
        changed = sqlite3_changes64(db_);
    }
    return changed;
}

vb::Variant SqliteDriver::lastInsertKey() {
    const long long id = sqlite3_last_insert_rowid(db_);
    return id == 0 ? vb::Variant::null() : vb::Variant(id);
}

std::string SqliteDriver::quoteName(const std::string& name) const {
    // Brackets always name a column or table; a double-quoted name that matches nothing would
    // be taken as a text literal by SQLite.
    if (name.find(']') == std::string::npos) return "[" + name + "]";
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool SqliteDriver::headerStamp(CatalogStamp& stamp) const {
    if (!sqlite3_get_autocommit(db_)) return false;
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return false;
    unsigned char head[100];
    if (file->pMethods->xRead(file, head, sizeof head, 0) != SQLITE_OK) return false;
    // Bytes 18 and 19 (write and read format): 1 for rollback-journal mode, 2 for WAL.
    if (std::memcmp(head, "SQLite format 3", 16) != 0 || head[18] != 1 || head[19] != 1) return false;
    auto word = [&](int at) {
        return static_cast<long long>(std::uint32_t{head[at]} << 24 | std::uint32_t{head[at + 1]} << 16 |
                                      std::uint32_t{head[at + 2]} << 8 | std::uint32_t{head[at + 3]});
    };
    stamp.fromHeader = true;
    stamp.data = word(24);
    stamp.schema = word(40);
    stamp.user = word(60);
    stamp.changes = sqlite3_total_changes64(db_);
    return true;
}

SqliteDriver::CatalogStamp SqliteDriver::catalogStamp() {
    CatalogStamp stamp;
    if (headerStamp(stamp)) return stamp;
    size_t tail = 0;
    bool prepared = true;
    SqliteStatementCache::Lease lease = statements_->acquire(
        "SELECT s.schema_version, d.data_version FROM pragma_schema_version AS s, pragma_data_version AS d",
        tail, prepared);
    if (!prepared || !lease) fail("schema and data version");
    const int rc = sqlite3_step(lease.get());
    if (rc != SQLITE_ROW) fail("schema and data version");
    stamp.schema = sqlite3_column_int64(lease.get(), 0);
    stamp.data = sqlite3_column_int64(lease.get(), 1);
    stamp.changes = sqlite3_total_changes64(db_);
    return stamp;
}

std::vector<TableInfo> SqliteDriver::tables() {
    const CatalogStamp stamp = catalogStamp();
    if (!tableCacheValid_ || !(stamp == tableCacheStamp_)) {
        tableCacheValid_ = false;
        tableCache_ = readTables();
        tableCacheStamp_ = stamp;
        tableCacheValid_ = true;
    }
    return tableCache_;
}

std::vector<TableInfo> SqliteDriver::readTables() {
    std::vector<TableInfo> out;
    auto c = query("SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') ORDER BY name", {});
    std::vector<vb::Variant> row;
    bool links = false;  // a table MSysObjects holds the links (the list read here tells)
    while (c->next(row)) {
        TableInfo t;
        t.name = row[0].ToString();
        if (row[1].ToString() == "view") {
            t.type = "VIEW";
        } else if (tolvaran::StartsWithNoCase(t.name, "SQLITE_") ||
                   tolvaran::StartsWithNoCase(t.name, "MSYS")) {
            t.type = "SYSTEM TABLE";
            links = links || tolvaran::EqualsNoCase(t.name, "MSysObjects");
        } else {
            t.type = "TABLE";
        }
        out.push_back(std::move(t));
    }
    if (links) {
        auto l = query(
            "SELECT Name, Type, Database, ForeignName, Connect FROM MSysObjects "
            "WHERE Type IN (4, 6) ORDER BY Name",
            {});
        while (l->next(row)) {
            TableInfo t;
            t.name = vb::NZ(row[0], "").ToString();
            const long type = static_cast<long>(vb::NZ(row[1]).ToLong());
            t.remoteTableName = vb::NZ(row[3], "").ToString();
            t.linkProviderString = vb::NZ(row[4], "").ToString();
            if (type == 6) {
                t.type = "LINK";
                t.linkDatasource = vb::NZ(row[2], "").ToString();
            } else {
                t.type = "PASS-THROUGH";
            }
            out.push_back(std::move(t));
        }
    }
    return out;
}

long long SqliteDriver::schemaVersion() {
    if (CatalogStamp stamp; headerStamp(stamp)) return stamp.schema;
    auto c = query("PRAGMA schema_version", {});
    std::vector<vb::Variant> row;
    return c->next(row) ? vb::NZ(row[0]).ToLong() : -1;
}

std::vector<ColumnInfo> SqliteDriver::columns(const std::string& table) {
    const long long version = schemaVersion();
    if (version != columnCacheVersion_) {
        columnCache_.clear();
        columnCacheVersion_ = version;
    }
    const std::string key = tolvaran::UpperCase(table);
    if (auto it = columnCache_.find(key); it != columnCache_.end()) return it->second;
    std::vector<ColumnInfo> out;
    auto c = query("SELECT name, type, \"notnull\", pk FROM pragma_table_info(?)", {table});
    std::vector<vb::Variant> row;
    int pkCount = 0;
    while (c->next(row)) {
        ColumnInfo col;
        col.name = row[0].ToString();
        const std::string decl = vb::NZ(row[1], "").ToString();
        col.type = SqliteDeclaredType(decl, &col.size);
        col.nullable = vb::NZ(row[2]).ToLong() == 0;
        col.primaryKey = vb::NZ(row[3]).ToLong() > 0;
        if (col.primaryKey) {
            ++pkCount;
            // INTEGER PRIMARY KEY is the rowid: the engine numbers new rows.
            col.autoIncrement = tolvaran::EqualsNoCase(decl, "INTEGER");
        }
        out.push_back(std::move(col));
    }
    if (pkCount > 1)
        for (auto& col : out) col.autoIncrement = false;
    columnCache_[key] = out;
    return out;
}

std::vector<QueryInfo> SqliteDriver::views() {
    std::vector<QueryInfo> out;
    auto c = query("SELECT name, sql FROM sqlite_master WHERE type = 'view' ORDER BY name", {});
    std::vector<vb::Variant> row;
    while (c->next(row)) out.push_back({row[0].ToString(), ViewSelectText(vb::NZ(row[1], "").ToString())});
    return out;
}

void SqliteDriver::saveQuery(const std::string& name, const std::string& sql, bool replace) {
    if (readOnly_) throw vb::ComError(kErrReadOnlyFile, "The database file '" + file_ + "' is read-only.");
    // "CREATE VIEW ... AS" followed by the text runs every statement the text holds.
    if (const std::string why = WhyNotOneReadStatement(sql); !why.empty())
        throw vb::ComError(kErrSyntax,
                           "The query " + name + " is not saved: its statement " + why + ": " + sql);
    execute("SAVEPOINT save_query", {});
    try {
        if (replace) execute("DROP VIEW IF EXISTS " + quoteName(name), {});
        execute("CREATE VIEW " + quoteName(name) + " AS " + sql, {});
        execute("RELEASE save_query", {});
    } catch (...) {
        execute("ROLLBACK TO save_query", {});
        execute("RELEASE save_query", {});
        throw;
    }
}

int SqliteDriver::userVersion() {
    if (CatalogStamp stamp; headerStamp(stamp)) return static_cast<int>(stamp.user);
    auto c = query("PRAGMA user_version", {});
    std::vector<vb::Variant> row;
    return c->next(row) ? static_cast<int>(vb::NZ(row[0]).ToLong()) : 0;
}

std::unique_ptr<Driver> OpenSqliteDriver(const std::string& file, const ConnectionText& text, bool readOnly) {
    return std::make_unique<SqliteDriver>(file, text, readOnly);
}

}  // namespace ado
