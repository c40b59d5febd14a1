#include <utility>

#include "platform/ado/ado.h"
#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/text.h"

namespace ado {
namespace {

constexpr long kErrNoCurrentRow = 3021;
constexpr long kErrNotUpdatable = 3251;
constexpr long kErrObjectClosed = 3704;
constexpr long kErrConnectionClosed = 3709;
constexpr long kErrRowNotFound = static_cast<long>(0x80040E38);

using Tokens = std::vector<SqlToken>;

// A table name as a record source may give it ("[Order Details]", `x`, "x"), with its tokens:
// without its quotes when one quoted name is the whole text, else as it stands.
std::string Unquote(const std::string& name, const Tokens& t) {
    const bool quoted = t[0].kind == SqlToken::Name || (t[0].kind == SqlToken::Text && t[0].quote == '"');
    if (quoted && t.size() == 2 && t[0].pos == 0 && t[0].len == name.size()) return t[0].text;
    return name;
}

// The one table a "SELECT ... FROM <table> [WHERE ...] [ORDER BY ...]" reads; "" otherwise.
std::string BaseTable(const Tokens& t) {
    if (!IsWord(t[0], "SELECT")) return {};
    int depth = 0;
    size_t i = 1;
    for (; t[i].kind != SqlToken::End; ++i) {
        if (IsSymbol(t[i], "(")) ++depth;
        if (IsSymbol(t[i], ")")) --depth;
        if (depth == 0 && IsWord(t[i], "FROM")) break;
    }
    if (t[i].kind == SqlToken::End) return {};
    size_t k = i + 1;
    if (t[k].kind != SqlToken::End && IsSymbol(t[k + 1], ".")) k += 2;  // owner.table
    const SqlToken& table = t[k];
    const bool name = table.kind == SqlToken::Word || table.kind == SqlToken::Name ||
                      (table.kind == SqlToken::Text && table.quote == '"');
    if (!name) return {};
    const SqlToken& next = t[k + 1];
    if (next.kind != SqlToken::End && !IsWord(next, "WHERE") && !IsWord(next, "ORDER") &&
        !IsSymbol(next, ";"))
        return {};
    return table.text;
}

// Whether a record source, given by its tokens, is a statement; only the first token decides.
bool LooksLikeSql(const Tokens& t) {
    const SqlToken& first = t[0];
    if (first.kind == SqlToken::Symbol && (first.text == "(" || first.text[0] == '{')) return true;
    // A statement starts with one of these; anything else is a table name ("Order Details",
    // "Selections").
    static const char* const kStarts[] = {"SELECT", "WITH",   "PRAGMA", "VALUES", "TRANSFORM", "PARAMETERS",
                                          "INSERT", "UPDATE", "DELETE", "EXEC",   "EXECUTE",   "CALL"};
    for (const char* k : kStarts)
        if (IsWord(first, k)) return true;
    return false;
}

vb::Variant Coerce(const vb::Variant& v, DataTypeEnum type) {
    if (v.IsNull() || v.IsEmpty()) return vb::Variant::null();
    switch (type) {
        case adBoolean:
            return vb::Variant(v.ToBool());
        case adSmallInt:
        case adInteger:
        case adTinyInt:
        case adUnsignedTinyInt:
        case adBigInt:
            return vb::Variant(static_cast<long long>(v.ToLong()));
        case adSingle:
        case adDouble:
        case adCurrency:
        case adDecimal:
        case adNumeric:
            return vb::Variant(v.ToDouble());
        case adDate:
        case adDBDate:
        case adDBTime:
        case adDBTimeStamp:
            return vb::Variant(v.ToDate());
        case adChar:
        case adWChar:
        case adVarChar:
        case adLongVarChar:
        case adVarWChar:
        case adLongVarWChar:
            return v.Type() == vb::VarType::Bytes ? v : vb::Variant(v.ToString());
        default:
            return v;
    }
}

}  // namespace

const std::string& Field::Name() const {
    return rs_->columns_[static_cast<size_t>(index_)].name;
}
DataTypeEnum Field::Type() const {
    return rs_->columns_[static_cast<size_t>(index_)].type;
}
long Field::DefinedSize() const {
    return rs_->columns_[static_cast<size_t>(index_)].size;
}

const vb::Variant& Field::Value() const {
    rs_->requireRow();
    return rs_->rows_[static_cast<size_t>(rs_->pos_)][static_cast<size_t>(index_)];
}

void Field::setValue(const vb::Variant& v) {
    rs_->requireUpdatable();
    rs_->requireRow();
    const size_t i = static_cast<size_t>(index_);
    rs_->rows_[static_cast<size_t>(rs_->pos_)][i] = Coerce(v, rs_->columns_[i].type);
    if (rs_->adding_) rs_->assigned_[i] = true;
    rs_->dirty_ = true;
}

Recordset::~Recordset() = default;

void Recordset::Open(const std::string& source, const ConnectionPtr& connection, CursorTypeEnum cursor,
                     LockTypeEnum lock, const std::vector<vb::Variant>& params) {
    if (open_) throw vb::ComError(3705, "Operation is not allowed when the object is open.");
    if (!connection || connection->State() != adStateOpen)
        throw vb::ComError(kErrConnectionClosed,
                           "The connection cannot be used to perform this operation. It is either closed or "
                           "invalid in this context.");
    Driver& d = connection->driver();
    std::string sql = source;
    const bool updatable = lock != adLockReadOnly && lock != adLockUnspecified && !d.readOnly();
    // The source is read once: whether it is a statement, and the table it reads. A read-only
    // "SELECT " needs no more than its first word (the store opens thousands of them).
    const std::string_view head = tolvaran::TrimBlanks(source);
    const bool plainSelect = !updatable && head.size() > 7 && tolvaran::StartsWithNoCase(head, "SELECT") &&
                             (head[6] == ' ' || head[6] == '\t' || head[6] == '\r' || head[6] == '\n');
    const Tokens tokens = plainSelect ? Tokens{} : TokenizeJetSql(source, SqlErrors::Tolerate);
    const bool statement = plainSelect || LooksLikeSql(tokens);
    if (!statement) sql = "SELECT * FROM " + d.quoteName(Unquote(source, tokens));
    auto c = d.query(sql, params);
    columns_ = c->columns();
    upperNames_.clear();
    upperNames_.reserve(columns_.size());
    for (const auto& col : columns_) upperNames_.push_back(tolvaran::UpperCase(col.name));
    rows_ = ReadAllRows(*c, connection->Options().queryLimits, sql);
    original_.clear();
    deleted_.assign(rows_.size(), false);
    connection_ = connection;
    cursor_ = cursor;
    lock_ = lock;
    table_.clear();
    if (updatable) {
        table_ = statement ? BaseTable(tokens) : Unquote(source, tokens);
        if (!table_.empty()) {
            const auto tableColumns = d.columns(table_);
            if (tableColumns.empty()) table_.clear();
            for (size_t i = 0; i < columns_.size(); ++i) {
                auto& col = columns_[i];
                for (const auto& tc : tableColumns) {
                    if (!tolvaran::EqualsNoCase(tc.name, upperNames_[i])) continue;
                    col.primaryKey = tc.primaryKey;
                    col.autoIncrement = tc.autoIncrement;
                    col.nullable = tc.nullable;
                    if (col.type == adVariant) col.type = tc.type;
                    if (col.size == 0) col.size = tc.size;
                }
            }
        }
    }
    // The values as read locate a row for its update or delete: kept only when it can have one.
    if (!table_.empty()) original_ = rows_;
    adding_ = false;
    dirty_ = false;
    open_ = true;
    pos_ = step(-1, +1);
}

void Recordset::Close() {
    if (!open_) throw vb::ComError(kErrObjectClosed, "Operation is not allowed when the object is closed.");
    open_ = false;
    rows_.clear();
    original_.clear();
    deleted_.clear();
    columns_.clear();
    upperNames_.clear();
    connection_.reset();
    adding_ = dirty_ = false;
    pos_ = 0;
}

long Recordset::step(long from, int dir) const {
    const long n = static_cast<long>(rows_.size());
    for (long i = from + dir; i >= 0 && i < n; i += dir)
        if (!deleted_[static_cast<size_t>(i)]) return i;
    return dir > 0 ? n : -1;
}

bool Recordset::Eof() const {
    return !open_ || pos_ >= static_cast<long>(rows_.size()) ||
           step(-1, 1) == static_cast<long>(rows_.size());
}
bool Recordset::Bof() const {
    return !open_ || pos_ < 0 || step(-1, 1) == static_cast<long>(rows_.size());
}

void Recordset::settle() {
    if (dirty_) Update();
}

void Recordset::MoveFirst() {
    settle();
    pos_ = step(-1, +1);
}

void Recordset::MoveNext() {
    if (pos_ >= static_cast<long>(rows_.size()))
        throw vb::ComError(kErrNoCurrentRow,
                           "Either BOF or EOF is True, or the current record has been deleted. "
                           "Requested operation requires a current record.");
    settle();
    pos_ = step(pos_, +1);
}

void Recordset::MovePrevious() {
    if (cursor_ == adOpenForwardOnly)
        throw vb::ComError(kErrNotUpdatable, "Current Recordset does not support fetching backward.");
    if (pos_ < 0)
        throw vb::ComError(kErrNoCurrentRow,
                           "Either BOF or EOF is True, or the current record has been deleted. "
                           "Requested operation requires a current record.");
    settle();
    pos_ = step(pos_, -1);
}

void Recordset::MoveLast() {
    settle();
    const long last = step(static_cast<long>(rows_.size()), -1);
    pos_ = last < 0 ? static_cast<long>(rows_.size()) : last;
}

long Recordset::RecordCount() const {
    if (cursor_ == adOpenForwardOnly) return -1;
    long n = 0;
    for (bool d : deleted_) n += d ? 0 : 1;
    return n;
}

int Recordset::indexOf(const std::string& name) const {
    for (size_t i = 0; i < upperNames_.size(); ++i)
        if (tolvaran::EqualsNoCase(name, upperNames_[i])) return static_cast<int>(i);
    return -1;
}

bool Recordset::HasField(const std::string& name) const {
    return indexOf(name) >= 0;
}

Field Recordset::Fields(const std::string& name) {
    const int i = indexOf(name);
    if (i < 0)
        throw vb::ComError(
            vb::kErrItemNotFound,
            "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return Field(this, i);
}

Field Recordset::Fields(int index) {
    if (index < 0 || index >= FieldCount())
        throw vb::ComError(
            vb::kErrItemNotFound,
            "Item cannot be found in the collection corresponding to the requested name or ordinal.");
    return Field(this, index);
}

void Recordset::requireRow() const {
    if (!open_) throw vb::ComError(kErrObjectClosed, "Operation is not allowed when the object is closed.");
    if (pos_ < 0 || pos_ >= static_cast<long>(rows_.size()) || deleted_[static_cast<size_t>(pos_)])
        throw vb::ComError(kErrNoCurrentRow,
                           "Either BOF or EOF is True, or the current record has been deleted. "
                           "Requested operation requires a current record.");
}

void Recordset::requireUpdatable() const {
    if (!open_) throw vb::ComError(kErrObjectClosed, "Operation is not allowed when the object is closed.");
    if (table_.empty())
        throw vb::ComError(kErrNotUpdatable,
                           "Current Recordset does not support updating. This may be a "
                           "limitation of the provider, or of the selected locktype.");
}

// The WHERE text that finds a row as it was read: by the table's key, or by every value when
// the table has none. Values are appended to params.
std::string Recordset::rowLocator(const std::vector<vb::Variant>& before,
                                  std::vector<vb::Variant>& params) const {
    const Driver& d = connection_->driver();
    auto keys = keyColumns();
    if (keys.empty())
        for (size_t i = 0; i < columns_.size(); ++i) keys.push_back(static_cast<int>(i));
    std::string where;
    for (int k : keys) {
        const auto& v = before[static_cast<size_t>(k)];
        const std::string name = d.quoteName(columns_[static_cast<size_t>(k)].name);
        where += where.empty() ? "" : " AND ";
        if (v.IsNull()) {
            where += name + " IS NULL";
        } else {
            where += name + " = ?";
            params.push_back(v);
        }
    }
    return where;
}

std::vector<int> Recordset::keyColumns() const {
    std::vector<int> keys;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].primaryKey) keys.push_back(static_cast<int>(i));
    return keys;
}

void Recordset::AddNew() {
    requireUpdatable();
    settle();
    rows_.emplace_back(columns_.size(), vb::Variant::null());
    original_.emplace_back(columns_.size(), vb::Variant::null());
    deleted_.push_back(false);
    assigned_.assign(columns_.size(), false);
    pos_ = static_cast<long>(rows_.size()) - 1;
    adding_ = true;
    dirty_ = true;
}

void Recordset::writeNewRow() {
    Driver& d = connection_->driver();
    auto& row = rows_[static_cast<size_t>(pos_)];
    std::string names, marks;
    std::vector<vb::Variant> params;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!assigned_[i]) continue;
        names += (names.empty() ? "" : ", ") + d.quoteName(columns_[i].name);
        marks += marks.empty() ? "?" : ", ?";
        params.push_back(row[i]);
    }
    const std::string table = d.quoteName(table_);
    if (params.empty())
        d.execute("INSERT INTO " + table + " DEFAULT VALUES", {});
    else
        d.execute("INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")", params);
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].autoIncrement && !assigned_[i]) row[i] = d.lastInsertKey();
    // Read the row back so that column defaults show as the engine stored them.
    const auto keys = keyColumns();
    if (keys.empty()) return;
    std::string where;
    std::vector<vb::Variant> keyValues;
    for (int k : keys) {
        if (row[static_cast<size_t>(k)].IsNull()) return;
        where += (where.empty() ? "" : " AND ") + d.quoteName(columns_[static_cast<size_t>(k)].name) + " = ?";
        keyValues.push_back(row[static_cast<size_t>(k)]);
    }
    auto c = d.query("SELECT * FROM " + table + " WHERE " + where, keyValues);
    std::vector<vb::Variant> fresh;
    if (!c->next(fresh)) return;
    const auto& freshColumns = c->columns();
    for (size_t i = 0; i < columns_.size(); ++i) {
        // Usually the same columns in the same order.
        if (i < freshColumns.size() && tolvaran::EqualsNoCase(freshColumns[i].name, upperNames_[i])) {
            row[i] = Coerce(fresh[i], columns_[i].type);
            continue;
        }
        for (size_t j = 0; j < freshColumns.size(); ++j)
            if (tolvaran::EqualsNoCase(freshColumns[j].name, upperNames_[i]))
                row[i] = Coerce(fresh[j], columns_[i].type);
    }
}

void Recordset::writeChangedRow() {
    Driver& d = connection_->driver();
    const auto& row = rows_[static_cast<size_t>(pos_)];
    const auto& before = original_[static_cast<size_t>(pos_)];
    std::string sets;
    std::vector<vb::Variant> params;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (row[i] == before[i]) continue;
        sets += (sets.empty() ? "" : ", ") + d.quoteName(columns_[i].name) + " = ?";
        params.push_back(row[i]);
    }
    if (sets.empty()) return;
    const std::string where = rowLocator(before, params);
    const long long n =
        d.execute("UPDATE " + d.quoteName(table_) + " SET " + sets + " WHERE " + where, params);
    if (n == 0)
        throw vb::ComError(kErrRowNotFound,
                           "Row cannot be located for updating. Some values may have been "
                           "changed since it was last read.");
}

void Recordset::Update() {
    requireUpdatable();
    requireRow();
    if (!dirty_) return;
    if (adding_)
        writeNewRow();
    else
        writeChangedRow();
    original_[static_cast<size_t>(pos_)] = rows_[static_cast<size_t>(pos_)];
    adding_ = false;
    dirty_ = false;
}

void Recordset::CancelUpdate() {
    if (!open_) return;
    if (adding_) {
        rows_.pop_back();
        original_.pop_back();
        deleted_.pop_back();
        adding_ = false;
        dirty_ = false;
        const long last = step(static_cast<long>(rows_.size()), -1);
        pos_ = last < 0 ? static_cast<long>(rows_.size()) : last;
        return;
    }
    if (pos_ >= 0 && pos_ < static_cast<long>(original_.size()))
        rows_[static_cast<size_t>(pos_)] = original_[static_cast<size_t>(pos_)];
    dirty_ = false;
}

void Recordset::Delete() {
    requireUpdatable();
    requireRow();
    if (adding_) {
        CancelUpdate();
        return;
    }
    Driver& d = connection_->driver();
    const auto& before = original_[static_cast<size_t>(pos_)];
    std::vector<vb::Variant> params;
    const std::string where = rowLocator(before, params);
    d.execute("DELETE FROM " + d.quoteName(table_) + " WHERE " + where, params);
    deleted_[static_cast<size_t>(pos_)] = true;
    dirty_ = false;
}

}  // namespace ado
