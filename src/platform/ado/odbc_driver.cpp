#include "platform/ado/odbc_driver.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/ado/read_statement.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace ado {

namespace {

// The number ADO gives provider failures (E_FAIL-like "Unspecified error" family).
constexpr long kErrOdbc = 0x80004005;

bool ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string text;
    for (SQLSMALLINT rec = 1;; ++rec) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR msg[1024] = {};
        SQLSMALLINT len = 0;
        if (!ok(SQLGetDiagRec(type, handle, rec, state, &native, msg, sizeof msg, &len))) break;
        if (!text.empty()) text += "\r\n";
        text += reinterpret_cast<char*>(msg);
    }
    return text.empty() ? "ODBC call failed" : text;
}

[[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE handle, const std::string& context = {}) {
    std::string text = diagnostics(type, handle);
    if (!context.empty()) text += " (" + context + ")";
    throw vb::ComError(kErrOdbc, text, "Microsoft OLE DB Provider for ODBC Drivers");
}

// One environment for the process, made at the first ODBC call so that ODBCSYSINI/ODBCINI
// chosen before it take effect.
SQLHENV environment() {
    static SQLHENV env = SQL_NULL_HENV;
    static std::once_flag once;
    std::call_once(once, [] {
        if (!ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
            env = SQL_NULL_HENV;
            return;
        }
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    });
    if (env == SQL_NULL_HENV) throw vb::ComError(kErrOdbc, "The ODBC driver manager could not be started.");
    return env;
}

DataTypeEnum adoType(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_BIT:
            return adBoolean;
        case SQL_TINYINT:
            return adUnsignedTinyInt;
        case SQL_SMALLINT:
            return adSmallInt;
        case SQL_INTEGER:
            return adInteger;
        case SQL_BIGINT:
            return adBigInt;
        case SQL_REAL:
            return adSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return adDouble;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return adNumeric;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return adDBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return adDBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return adDBTimeStamp;
        case SQL_BINARY:
            return adBinary;
        case SQL_VARBINARY:
            return adVarBinary;
        case SQL_LONGVARBINARY:
            return adLongVarBinary;
        case SQL_GUID:
            return adGUID;
        case SQL_CHAR:
            return adChar;
        case SQL_WCHAR:
            return adWChar;
        case SQL_LONGVARCHAR:
            return adLongVarChar;
        case SQL_WLONGVARCHAR:
            return adLongVarWChar;
        case SQL_WVARCHAR:
            return adVarWChar;
        default:
            return adVarChar;
    }
}

class Statement {
  public:
    explicit Statement(SQLHDBC dbc) {
        if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h_))) fail(SQL_HANDLE_DBC, dbc);
    }
    ~Statement() {
        if (h_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT get() const { return h_; }
    SQLHSTMT release() {
        SQLHSTMT h = h_;
        h_ = SQL_NULL_HSTMT;
        return h;
    }
    void check(SQLRETURN rc, const std::string& context = {}) const {
        if (!ok(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, h_, context);
    }

  private:
    SQLHSTMT h_ = SQL_NULL_HSTMT;
};

// Storage for bound parameter values; must outlive SQLExecute.
struct ParamBuffer {
    SQLLEN indicator = 0;
    std::int64_t integer = 0;
    double number = 0;
    SQL_TIMESTAMP_STRUCT stamp{};
    std::string text;
    vb::Bytes bytes;
};

void bindParameters(const Statement& st, const std::vector<vb::Variant>& params,
                    std::vector<ParamBuffer>& bufs) {
    bufs.assign(params.size(), ParamBuffer{});
    for (size_t i = 0; i < params.size(); ++i) {
        const vb::Variant& v = params[i];
        ParamBuffer& b = bufs[i];
        SQLUSMALLINT n = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN rc = SQL_SUCCESS;
        switch (v.Type()) {
            case vb::VarType::Empty:
            case vb::VarType::Null:
                b.indicator = SQL_NULL_DATA;
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                                      &b.indicator);
                break;
            case vb::VarType::Boolean:
                b.integer = v.ToBool() ? 1 : 0;
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_INTEGER, 0, 0,
                                      &b.integer, 0, nullptr);
                break;
            case vb::VarType::Long:
                b.integer = v.ToLong();
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                      &b.integer, 0, nullptr);
                break;
            case vb::VarType::Double:
                b.number = v.ToDouble();
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.number,
                                      0, nullptr);
                break;
            case vb::VarType::Date: {
                int y, mo, d, h, mi, s;
                v.ToDate().ToParts(y, mo, d, h, mi, s);
                b.stamp = SQL_TIMESTAMP_STRUCT{static_cast<SQLSMALLINT>(y),
                                               static_cast<SQLUSMALLINT>(mo),
                                               static_cast<SQLUSMALLINT>(d),
                                               static_cast<SQLUSMALLINT>(h),
                                               static_cast<SQLUSMALLINT>(mi),
                                               static_cast<SQLUSMALLINT>(s),
                                               0};
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                                      19, 0, &b.stamp, 0, nullptr);
                break;
            }
            case vb::VarType::Bytes:
                b.bytes = v.ToBytes();
                b.indicator = static_cast<SQLLEN>(b.bytes.size());
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_BINARY,
                                      b.bytes.size() > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY,
                                      std::max<SQLULEN>(b.bytes.size(), 1), 0, b.bytes.data(), b.indicator,
                                      &b.indicator);
                break;
            case vb::VarType::String:
                b.text = v.ToString();
                b.indicator = static_cast<SQLLEN>(b.text.size());
                rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_CHAR,
                                      b.text.size() > 4000 ? SQL_LONGVARCHAR : SQL_VARCHAR,
                                      std::max<SQLULEN>(b.text.size(), 1), 0, b.text.data(), b.indicator,
                                      &b.indicator);
                break;
        }
        st.check(rc, "binding parameter " + std::to_string(n));
    }
}

std::string readText(SQLHSTMT h, SQLUSMALLINT col, bool& isNull, SQLSMALLINT cType) {
    std::string out;
    isNull = false;
    char buf[4096];
    for (;;) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(h, col, cType, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA) break;
        if (!ok(rc)) fail(SQL_HANDLE_STMT, h);
        if (ind == SQL_NULL_DATA) {
            isNull = true;
            return {};
        }
        size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
        size_t room = sizeof buf - terminator;
        size_t got =
            (ind == SQL_NO_TOTAL || static_cast<size_t>(ind) > room) ? room : static_cast<size_t>(ind);
        out.append(buf, got);
        if (rc == SQL_SUCCESS) break;
    }
    return out;
}

vb::Variant readValue(SQLHSTMT h, SQLUSMALLINT col, SQLSMALLINT sqlType) {
    SQLLEN ind = 0;
    switch (sqlType) {
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT: {
            SQLBIGINT v = 0;
            if (!ok(SQLGetData(h, col, SQL_C_SBIGINT, &v, 0, &ind))) fail(SQL_HANDLE_STMT, h);
            if (ind == SQL_NULL_DATA) return vb::Variant::null();
            if (sqlType == SQL_BIT) return vb::Variant(v != 0);
            return vb::Variant(static_cast<long long>(v));
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_DECIMAL:
        case SQL_NUMERIC: {
            double v = 0;
            if (!ok(SQLGetData(h, col, SQL_C_DOUBLE, &v, 0, &ind))) fail(SQL_HANDLE_STMT, h);
            if (ind == SQL_NULL_DATA) return vb::Variant::null();
            return vb::Variant(v);
        }
        case SQL_TYPE_TIME:
        case SQL_TIME: {
            SQL_TIME_STRUCT t{};
            if (!ok(SQLGetData(h, col, SQL_C_TYPE_TIME, &t, sizeof t, &ind))) fail(SQL_HANDLE_STMT, h);
            if (ind == SQL_NULL_DATA) return vb::Variant::null();
            return vb::Variant(vb::Date::FromParts(1899, 12, 30, t.hour, t.minute, t.second));
        }
        case SQL_TYPE_DATE:
        case SQL_DATE:
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP: {
            SQL_TIMESTAMP_STRUCT t{};
            if (!ok(SQLGetData(h, col, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &ind))) fail(SQL_HANDLE_STMT, h);
            if (ind == SQL_NULL_DATA) return vb::Variant::null();
            return vb::Variant(vb::Date::FromParts(t.year, t.month, t.day, t.hour, t.minute, t.second));
        }
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY: {
            bool isNull = false;
            std::string raw = readText(h, col, isNull, SQL_C_BINARY);
            if (isNull) return vb::Variant::null();
            return vb::Variant(vb::Bytes(raw.begin(), raw.end()));
        }
        default: {
            bool isNull = false;
            std::string text = readText(h, col, isNull, SQL_C_CHAR);
            if (isNull) return vb::Variant::null();
            return vb::Variant(std::move(text));
        }
    }
}

class OdbcCursor : public Cursor {
  public:
    explicit OdbcCursor(Statement& st) : h_(st.release()) {
        SQLSMALLINT n = 0;
        if (!ok(SQLNumResultCols(h_, &n))) fail(SQL_HANDLE_STMT, h_);
        for (SQLSMALLINT i = 1; i <= n; ++i) {
            SQLCHAR name[256] = {};
            SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            if (!ok(SQLDescribeCol(h_, static_cast<SQLUSMALLINT>(i), name, sizeof name, &nameLen, &type,
                                   &size, &digits, &nullable)))
                fail(SQL_HANDLE_STMT, h_);
            ColumnInfo c;
            c.name = reinterpret_cast<char*>(name);
            c.type = adoType(type);
            c.size = static_cast<long>(std::min<SQLULEN>(size, 0x7fffffff));
            c.nullable = nullable != SQL_NO_NULLS;
            columns_.push_back(c);
            sqlTypes_.push_back(type);
        }
    }
    ~OdbcCursor() override { SQLFreeHandle(SQL_HANDLE_STMT, h_); }
    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next(std::vector<vb::Variant>& row) override {
        if (columns_.empty() || done_) return false;
        SQLRETURN rc = SQLFetch(h_);
        if (rc == SQL_NO_DATA) {
            done_ = true;
            return false;
        }
        if (!ok(rc)) fail(SQL_HANDLE_STMT, h_);
        row.clear();
        for (size_t i = 0; i < columns_.size(); ++i)
            row.push_back(readValue(h_, static_cast<SQLUSMALLINT>(i + 1), sqlTypes_[i]));
        return true;
    }

  private:
    SQLHSTMT h_;
    std::vector<ColumnInfo> columns_;
    std::vector<SQLSMALLINT> sqlTypes_;
    bool done_ = false;
};

class OdbcDriver : public Driver {
  public:
    OdbcDriver(const std::string& connect, bool onlyReads) : onlyReads_(onlyReads) {
        SQLHENV env = environment();
        if (!ok(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc_))) fail(SQL_HANDLE_ENV, env);
        SQLCHAR out[2048] = {};
        SQLSMALLINT outLen = 0;
        std::string in = connect;
        SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
                                        static_cast<SQLSMALLINT>(in.size()), out, sizeof out, &outLen,
                                        SQL_DRIVER_NOPROMPT);
        if (!ok(rc)) {
            std::string text = diagnostics(SQL_HANDLE_DBC, dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
            dbc_ = SQL_NULL_HDBC;
            throw vb::ComError(kErrOdbc, text, "Microsoft OLE DB Provider for ODBC Drivers");
        }
        connected_ = reinterpret_cast<char*>(out);
        if (connected_.empty()) connected_ = connect;
        // A hint the driver may take: Execute is refused here whatever it does.
        if (onlyReads_)
            SQLSetConnectAttr(dbc_, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY),
                              0);
        SQLCHAR info[256] = {};
        SQLSMALLINT len = 0;
        if (ok(SQLGetInfo(dbc_, SQL_DBMS_NAME, info, sizeof info, &len)))
            dbms_ = tolvaran::UpperCase(reinterpret_cast<char*>(info));
        info[0] = 0;
        if (ok(SQLGetInfo(dbc_, SQL_IDENTIFIER_QUOTE_CHAR, info, sizeof info, &len)))
            quote_ = reinterpret_cast<char*>(info);
        if (quote_ == " ") quote_.clear();
    }
    ~OdbcDriver() override {
        if (dbc_ != SQL_NULL_HDBC) {
            SQLDisconnect(dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        }
    }

    EngineKind kind() const override { return EngineKind::Odbc; }
    std::string connectionString() const override { return connected_; }
    bool readOnly() const override { return onlyReads_; }

    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) override {
        Statement st(dbc_);
        run(st, sql, params);
        return std::make_unique<OdbcCursor>(st);
    }

    long long execute(const std::string& sql, const std::vector<vb::Variant>& params) override {
        if (onlyReads_)
            throw vb::ComError(kErrOdbc, "The connection only reads; the statement is not run: " + sql,
                               "Microsoft OLE DB Provider for ODBC Drivers");
        Statement st(dbc_);
        run(st, sql, params);
        SQLLEN count = -1;
        if (!ok(SQLRowCount(st.get(), &count))) count = -1;
        return count;
    }

    vb::Variant lastInsertKey() override {
        const char* sql =
            dbms_.find("SQLITE") != std::string::npos ? "SELECT last_insert_rowid()" : "SELECT @@IDENTITY";
        try {
            auto c = query(sql, {});
            std::vector<vb::Variant> row;
            if (c->next(row) && !row.empty()) return row[0];
        } catch (const vb::ComError&) {
        }
        return vb::Variant::null();
    }

    std::string quoteName(const std::string& name) const override {
        // A driver with no quote character of its own gets brackets; the closing quote is
        // doubled inside the name either way.
        const std::string open = quote_.empty() ? "[" : quote_;
        const std::string close = quote_.empty() ? "]" : quote_;
        std::string out = open;
        for (char c : name) {
            out += c;
            if (std::string(1, c) == close) out += c;
        }
        return out + close;
    }

    std::vector<TableInfo> tables() override {
        std::vector<TableInfo> out;
        Statement st(dbc_);
        st.check(SQLTables(st.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), "SQLTables");
        OdbcCursor c(st);
        std::vector<vb::Variant> row;
        while (c.next(row)) {
            TableInfo t;
            t.name = row.size() > 2 ? row[2].ToString() : std::string();
            t.type =
                row.size() > 3 ? tolvaran::UpperCase(vb::NZ(row[3], "").ToString()) : std::string("TABLE");
            out.push_back(t);
        }
        return out;
    }

    std::vector<ColumnInfo> columns(const std::string& table) override {
        std::vector<ColumnInfo> out;
        Statement st(dbc_);
        std::string name = table;
        st.check(SQLColumns(st.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()),
                            static_cast<SQLSMALLINT>(name.size()), nullptr, 0),
                 "SQLColumns");
        std::vector<std::string> typeNames;
        {
            OdbcCursor c(st);
            std::vector<vb::Variant> row;
            while (c.next(row)) {
                if (row.size() < 11) continue;
                ColumnInfo col;
                col.name = row[3].ToString();
                col.type = adoType(static_cast<SQLSMALLINT>(vb::NZ(row[4], 0).ToLong()));
                col.size = static_cast<long>(vb::NZ(row[6], 0).ToLong());
                col.nullable = vb::NZ(row[10], 1).ToLong() != SQL_NO_NULLS;
                typeNames.push_back(tolvaran::UpperCase(vb::NZ(row[5], "").ToString()));
                out.push_back(col);
            }
        }
        std::vector<std::string> keys = primaryKeys(table);
        for (size_t i = 0; i < out.size(); ++i) {
            for (const std::string& k : keys)
                if (tolvaran::EqualsNoCase(k, out[i].name)) out[i].primaryKey = true;
            // SQL Server names identity columns "int identity"; a SQLite INTEGER key is the rowid.
            const std::string& t = typeNames[i];
            out[i].autoIncrement = t.find("IDENTITY") != std::string::npos ||
                                   t.find("AUTOINCREMENT") != std::string::npos ||
                                   t.find("COUNTER") != std::string::npos ||
                                   (out[i].primaryKey && keys.size() == 1 && t == "INTEGER" &&
                                    dbms_.find("SQLITE") != std::string::npos);
        }
        return out;
    }

    std::vector<std::string> primaryKeys(const std::string& table) {
        std::vector<std::string> keys;
        try {
            Statement st(dbc_);
            std::string name = table;
            SQLRETURN rc =
                SQLPrimaryKeys(st.get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()),
                               static_cast<SQLSMALLINT>(name.size()));
            if (!ok(rc)) return keys;
            OdbcCursor c(st);
            std::vector<vb::Variant> row;
            while (c.next(row))
                if (row.size() > 3) keys.push_back(row[3].ToString());
        } catch (const vb::ComError&) {
            // A driver without key information: rows are then located by all their values.
        }
        return keys;
    }

    std::vector<QueryInfo> views() override {
        std::vector<QueryInfo> out;
        for (const TableInfo& t : tables())
            if (t.type == "VIEW") out.push_back({t.name, {}});
        if (out.empty()) return out;
        std::vector<std::pair<std::string, std::string>> texts = viewTexts();
        for (QueryInfo& q : out) {
            for (const auto& [name, text] : texts) {
                if (tolvaran::EqualsNoCase(name, q.name)) {
                    q.commandText = ViewSelectText(text);
                    break;
                }
            }
        }
        return out;
    }

    std::vector<QueryInfo> procedures() override {
        std::vector<QueryInfo> out;
        try {
            Statement st(dbc_);
            SQLRETURN rc = SQLProcedures(st.get(), nullptr, 0, nullptr, 0, nullptr, 0);
            if (!ok(rc)) return out;
            OdbcCursor c(st);
            std::vector<vb::Variant> row;
            while (c.next(row))
                if (row.size() > 2) out.push_back({row[2].ToString(), {}});
        } catch (const vb::ComError&) {
            // A driver without procedure support lists none.
        }
        return out;
    }

    void saveQuery(const std::string& name, const std::string& sql, bool replace) override {
        // "CREATE VIEW ... AS" followed by the text runs every statement the text holds.
        if (const std::string why = WhyNotOneReadStatement(sql); !why.empty())
            throw vb::ComError(kErrOdbc,
                               "The view " + name + " is not saved: its statement " + why + ": " + sql,
                               "Microsoft OLE DB Provider for ODBC Drivers");
        if (replace) {
            try {
                execute("DROP VIEW " + quoteName(name), {});
            } catch (const vb::ComError&) {
                // Nothing to replace.
            }
        }
        execute("CREATE VIEW " + quoteName(name) + " AS " + sql, {});
    }

  private:
    void run(Statement& st, const std::string& sql, const std::vector<vb::Variant>& params) {
        std::string text = sql;
        st.check(SQLPrepare(st.get(), reinterpret_cast<SQLCHAR*>(text.data()),
                            static_cast<SQLINTEGER>(text.size())));
        std::vector<ParamBuffer> bufs;
        bindParameters(st, params, bufs);
        st.check(SQLExecute(st.get()));
    }

    // Name and definition of every view the server describes, through the first catalog
    // source it offers.
    std::vector<std::pair<std::string, std::string>> viewTexts() {
        static const char* const sources[] = {
            "SELECT TABLE_NAME, VIEW_DEFINITION FROM INFORMATION_SCHEMA.VIEWS",
            "SELECT name, sql FROM sqlite_master WHERE type = 'view'",
        };
        std::vector<std::pair<std::string, std::string>> out;
        for (const char* sql : sources) {
            if (dbms_.find("SQLITE") != std::string::npos && std::strstr(sql, "INFORMATION_SCHEMA")) continue;
            try {
                auto c = query(sql, {});
                std::vector<vb::Variant> row;
                while (c->next(row))
                    if (row.size() >= 2) out.emplace_back(row[0].ToString(), vb::NZ(row[1], "").ToString());
                return out;
            } catch (const vb::ComError&) {
                out.clear();
            }
        }
        return out;
    }

    SQLHDBC dbc_ = SQL_NULL_HDBC;
    std::string connected_;
    std::string dbms_;
    std::string quote_ = "\"";
    bool onlyReads_ = false;  // opened for a caller that only reads: Execute refused
};

}  // namespace

std::string OdbcDriverConnectionString(const std::string& adoText) {
    const ConnectionText in = ConnectionText::Read(adoText);
    ConnectionText out(QuoteStyle::Odbc);
    for (ConnectionText::Part part : in.Parts()) {
        // Words without a value ("ODBC" in front of a connect string, empty parts) and the
        // OLE DB-only keys mean nothing to the driver manager.
        if (!part.hasValue) continue;
        part.key = std::string(tolvaran::TrimBlanks(part.key));
        const std::string k = tolvaran::UpperCase(part.key);
        if (k == "PROVIDER" || k == "INTEGRATED SECURITY" || k == "PERSIST SECURITY INFO" ||
            k == "DATA PROVIDER")
            continue;
        if (k == "USER ID" || k == "USERID") part.key = "UID";
        if (k == "PASSWORD") part.key = "PWD";
        out.Add(std::move(part));
    }
    return out.Text();
}

std::unique_ptr<Driver> OpenOdbcDriver(const std::string& text, bool readOnly) {
    return std::make_unique<OdbcDriver>(OdbcDriverConnectionString(text), readOnly);
}

}  // namespace ado
