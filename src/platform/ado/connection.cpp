#include <cctype>
#include <filesystem>

#include "platform/ado/ado.h"
#include "platform/ado/connection_pool.h"
#include "platform/ado/sqlite_driver.h"
#include "platform/common/text.h"

namespace ado {
namespace {

constexpr long kErrProvider = static_cast<long>(0x80004005);
constexpr long kErrObjectOpen = 3705;    // "Operation is not allowed when the object is open."
constexpr long kErrObjectClosed = 3709;  // the connection is closed or invalid
constexpr long kErrNotSupported = 3251;  // the provider cannot do what was asked

bool NeedsQuoting(const std::string& v, const char* specials) {
    return v.find_first_of(specials) != std::string::npos ||
           (!v.empty() && (std::isspace(static_cast<unsigned char>(v.front())) ||
                           std::isspace(static_cast<unsigned char>(v.back()))));
}

// v between open and close, a close inside it doubled.
std::string Enclosed(const std::string& v, char open, char close) {
    std::string out(1, open);
    for (char c : v) {
        out += c;
        if (c == close) out += close;
    }
    return out + close;
}

}  // namespace

ConnectionSpec::ConnectionSpec(const std::string& text) : text_(text) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        size_t eq = i;
        while (eq < n && text[eq] != '=' && text[eq] != ';') ++eq;
        std::string key = tolvaran::UpperCase(tolvaran::TrimBlanks(std::string_view(text).substr(i, eq - i)));
        if (eq >= n || text[eq] == ';') {
            i = eq + 1;
            continue;  // a bare word without a value
        }
        size_t j = eq + 1;
        while (j < n && (text[j] == ' ' || text[j] == '\t')) ++j;
        std::string value;
        if (j < n && (text[j] == '"' || text[j] == '\'')) {
            const char q = text[j++];
            while (j < n) {
                if (text[j] == q) {
                    if (j + 1 < n && text[j + 1] == q) {
                        value += q;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            while (j < n && text[j] != ';') ++j;
        } else if (j < n && text[j] == '{') {
            // ODBC braces: kept, as the ODBC driver manager reads them.
            size_t k = j + 1;
            while (k < n) {
                if (text[k] == '}') {
                    if (k + 1 < n && text[k + 1] == '}') {
                        k += 2;
                        continue;
                    }
                    break;
                }
                ++k;
            }
            value = text.substr(j, std::min(n, k + 1) - j);
            j = std::min(n, k + 1);
            while (j < n && text[j] != ';') ++j;
        } else {
            size_t k = j;
            while (k < n && text[k] != ';') ++k;
            value = tolvaran::TrimBlanks(std::string_view(text).substr(j, k - j));
            j = k;
        }
        if (!key.empty()) items_.emplace_back(key, value);
        i = j + 1;
    }
}

std::string QuoteConnectionValue(const std::string& v) {
    return NeedsQuoting(v, ";=\"'") ? Enclosed(v, '"', '"') : v;
}

std::string QuoteOdbcValue(const std::string& v) {
    return NeedsQuoting(v, ";={}") ? Enclosed(v, '{', '}') : v;
}

std::string ConnectionSpec::get(std::initializer_list<const char*> keys) const {
    for (const char* k : keys) {
        for (const auto& [key, value] : items_)
            if (tolvaran::EqualsNoCase(key, k)) return value;
    }
    return {};
}

bool ConnectionSpec::has(const char* key) const {
    for (const auto& item : items_)
        if (tolvaran::EqualsNoCase(item.first, key)) return true;
    return false;
}

std::unique_ptr<Driver> OpenDriver(const std::string& connectionString, const std::string& user,
                                   const std::string& password, const ConnectionOptions& options) {
    const ConnectionSpec spec(connectionString);
    const std::string provider = tolvaran::UpperCase(spec.get({"Provider"}));
    if (provider.rfind("SQLOLEDB", 0) == 0) {
        std::string odbc = options.sqlServerOdbcTemplate;
        std::string uid = spec.get({"User ID", "UID"});
        std::string pwd = spec.get({"Password", "PWD"});
        if (uid.empty()) uid = user;
        if (pwd.empty()) pwd = password;
        tolvaran::ReplaceAll(odbc, "{server}", QuoteOdbcValue(spec.get({"Data Source", "Server"})));
        tolvaran::ReplaceAll(odbc, "{database}", QuoteOdbcValue(spec.get({"Initial Catalog", "Database"})));
        tolvaran::ReplaceAll(odbc, "{user}", QuoteOdbcValue(uid));
        tolvaran::ReplaceAll(odbc, "{password}", QuoteOdbcValue(pwd));
        return OpenOdbcDriver(odbc, spec, options.readOnly);
    }
    if (spec.has("DSN") || spec.has("Driver")) {
        // "Provider=MSDASQL" (or none) in front of an ODBC string: the driver manager gets
        // the string without the provider.
        std::string odbc = connectionString;
        if (spec.has("Provider")) {
            odbc.clear();
            for (const std::string& part : tolvaran::SplitList(connectionString)) {
                const std::string_view item = tolvaran::TrimBlanks(part);
                if (!item.empty() && !tolvaran::StartsWithNoCase(item, "PROVIDER"))
                    odbc += (odbc.empty() ? "" : ";") + part;
            }
        }
        return OpenOdbcDriver(odbc, spec, options.readOnly);
    }
    const std::string file = spec.get({"Data Source", "DBQ"});
    if (file.empty())
        throw vb::ComError(kErrProvider, "The connection string names no data source: " + connectionString);
    ConnectionPool* pool = ConnectionPool::Current();
    if (pool) {
        std::shared_ptr<Driver> session = pool->Find(file);
        // A connection that only reads shares only a session that writes nothing whatever it
        // is given: an Access file's. A SQLite file it opens on its own, read-only.
        if (session && (!options.readOnly || session->kind() == EngineKind::Jet)) {
            std::string reported = session->kind() == EngineKind::SQLite
                                       ? SqliteDriver::ReportedConnectionString(spec)
                                       : session->connectionString();
            return ShareSession(std::move(session), std::move(reported));
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw vb::ComError(kErrProvider, NotADatabaseFileText(file));
    std::unique_ptr<Driver> driver;
    if (IsSqliteFile(file))
        driver = OpenSqliteDriver(file, spec, options.readOnly);
    else if (AccessFileVersion(file) != 0)
        driver = OpenJetDriver(file, spec, options);
    else
        throw vb::ComError(kErrProvider, "Unrecognized database format '" + file + "'.");
    if (!pool || (options.readOnly && driver->kind() != EngineKind::Jet)) return driver;
    std::string reported = driver->connectionString();
    std::shared_ptr<Driver> session(std::move(driver));
    pool->Add(file, session);
    return ShareSession(std::move(session), std::move(reported));
}

void Driver::beginTransaction() {
    throw vb::ComError(kErrNotSupported, "The provider does not support transactions.");
}
void Driver::commitTransaction() {
    throw vb::ComError(kErrNotSupported, "The provider does not support transactions.");
}
void Driver::rollbackTransaction() {
    throw vb::ComError(kErrNotSupported, "The provider does not support transactions.");
}

Connection::~Connection() = default;

void Connection::Open(const std::string& connectionString, const std::string& user,
                      const std::string& password) {
    if (driver_) throw vb::ComError(kErrObjectOpen, "Operation is not allowed when the object is open.");
    if (!connectionString.empty()) connectionString_ = connectionString;
    driver_ = OpenDriver(connectionString_, user, password, options_);
    driver_->setLockTimeout(commandTimeout_ * 1000);
}

void Connection::setCommandTimeout(long seconds) {
    commandTimeout_ = seconds < 0 ? 0 : seconds;
    if (driver_) driver_->setLockTimeout(commandTimeout_ * 1000);
}

long Connection::BeginTrans() {
    driver().beginTransaction();
    return driver_->transactionLevel();
}

void Connection::CommitTrans() {
    driver().commitTransaction();
}

void Connection::RollbackTrans() {
    driver().rollbackTransaction();
}

void Connection::Close() {
    driver_.reset();
}

std::string Connection::ConnectionString() const {
    return driver_ ? driver_->connectionString() : connectionString_;
}

long long Connection::Execute(const std::string& sql, const std::vector<vb::Variant>& params) {
    return driver().execute(sql, params);
}

Driver& Connection::driver() const {
    if (!driver_) throw vb::ComError(kErrObjectClosed, "Operation is not allowed when the object is closed.");
    return *driver_;
}

ConnectionPtr OpenConnection(const std::string& connectionString, const ConnectionOptions& options) {
    auto c = std::make_shared<Connection>();
    c->setOptions(options);
    c->Open(connectionString);
    return c;
}

long long Command::Execute() {
    if (!ActiveConnection) throw vb::ComError(vb::kErrActiveConnection, "Active Connection is nothing.");
    return ActiveConnection->Execute(CommandText, Parameters);
}

}  // namespace ado
