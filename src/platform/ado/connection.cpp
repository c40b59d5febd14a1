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

}  // namespace

std::unique_ptr<Driver> OpenDriver(const std::string& connectionString, const std::string& user,
                                   const std::string& password, const ConnectionOptions& options) {
    const ConnectionText text = ConnectionText::Read(connectionString);
    const std::string provider = tolvaran::UpperCase(text.Get({"Provider"}));
    if (provider.rfind("SQLOLEDB", 0) == 0) {
        std::string odbc = options.sqlServerOdbcTemplate;
        std::string uid = text.Get({"User ID", "UID"});
        std::string pwd = text.Get({"Password", "PWD"});
        if (uid.empty()) uid = user;
        if (pwd.empty()) pwd = password;
        auto quoted = [](const std::string& v) { return ConnectionText::Quoted(v, QuoteStyle::Odbc); };
        tolvaran::ReplaceAll(odbc, "{server}", quoted(text.Get({"Data Source", "Server"})));
        tolvaran::ReplaceAll(odbc, "{database}", quoted(text.Get({"Initial Catalog", "Database"})));
        tolvaran::ReplaceAll(odbc, "{user}", quoted(uid));
        tolvaran::ReplaceAll(odbc, "{password}", quoted(pwd));
        return OpenOdbcDriver(odbc, options.readOnly);
    }
    if (text.Has("DSN") || text.Has("Driver")) return OpenOdbcDriver(connectionString, options.readOnly);
    const std::string file = text.Get({"Data Source", "DBQ"});
    if (file.empty())
        throw vb::ComError(kErrProvider, "The connection string names no data source: " + connectionString);
    ConnectionPool* pool = ConnectionPool::Current();
    if (pool) {
        std::shared_ptr<Driver> session = pool->Find(file);
        // A connection that only reads shares only a session that writes nothing whatever it
        // is given: an Access file's. A SQLite file it opens on its own, read-only.
        if (session && (!options.readOnly || session->kind() == EngineKind::Jet)) {
            std::string reported = session->kind() == EngineKind::SQLite
                                       ? SqliteDriver::ReportedConnectionString(text)
                                       : session->connectionString();
            return ShareSession(std::move(session), std::move(reported));
        }
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw vb::ComError(kErrProvider, NotADatabaseFileText(file));
    std::unique_ptr<Driver> driver;
    if (IsSqliteFile(file))
        driver = OpenSqliteDriver(file, text, options.readOnly);
    else if (AccessFileVersion(file) != 0)
        driver = OpenJetDriver(file, options);
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
