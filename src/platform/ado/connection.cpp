#include <cctype>
#include <filesystem>

#include "platform/ado/ado.h"
#include "platform/ado/sqlite_driver.h"

namespace ado {
namespace {

constexpr long kErrProvider = static_cast<long>(0x80004005);
constexpr long kErrObjectOpen = 3705;    // "Operation is not allowed when the object is open."
constexpr long kErrObjectClosed = 3709;  // the connection is closed or invalid

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string& Template() {
    static std::string t = "Driver={FreeTDS};Server={server};Database={database};UID={user};PWD={password}";
    return t;
}

void ReplaceAll(std::string& s, const std::string& what, const std::string& with) {
    for (size_t p = 0; (p = s.find(what, p)) != std::string::npos; p += with.size())
        s.replace(p, what.size(), with);
}

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
        std::string key = Upper(Trim(text.substr(i, eq - i)));
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
            value = Trim(text.substr(j, k - j));
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
        const std::string u = Upper(k);
        for (const auto& [key, value] : items_)
            if (key == u) return value;
    }
    return {};
}

bool ConnectionSpec::has(const char* key) const {
    const std::string u = Upper(key);
    for (const auto& item : items_)
        if (item.first == u) return true;
    return false;
}

void SetSqlServerOdbcTemplate(const std::string& tmpl) {
    Template() = tmpl;
}
std::string SqlServerOdbcTemplate() {
    return Template();
}

std::unique_ptr<Driver> OpenDriver(const std::string& connectionString, const std::string& user,
                                   const std::string& password) {
    const ConnectionSpec spec(connectionString);
    const std::string provider = Upper(spec.get({"Provider"}));
    if (provider.rfind("SQLOLEDB", 0) == 0) {
        std::string odbc = SqlServerOdbcTemplate();
        std::string uid = spec.get({"User ID", "UID"});
        std::string pwd = spec.get({"Password", "PWD"});
        if (uid.empty()) uid = user;
        if (pwd.empty()) pwd = password;
        ReplaceAll(odbc, "{server}", QuoteOdbcValue(spec.get({"Data Source", "Server"})));
        ReplaceAll(odbc, "{database}", QuoteOdbcValue(spec.get({"Initial Catalog", "Database"})));
        ReplaceAll(odbc, "{user}", QuoteOdbcValue(uid));
        ReplaceAll(odbc, "{password}", QuoteOdbcValue(pwd));
        return OpenOdbcDriver(odbc, spec);
    }
    if (spec.has("DSN") || spec.has("Driver")) {
        // "Provider=MSDASQL" (or none) in front of an ODBC string: the driver manager gets
        // the string without the provider.
        std::string odbc = connectionString;
        if (spec.has("Provider")) {
            odbc.clear();
            size_t i = 0;
            while (i < connectionString.size()) {
                size_t e = connectionString.find(';', i);
                if (e == std::string::npos) e = connectionString.size();
                const std::string part = connectionString.substr(i, e - i);
                if (Upper(Trim(part)).rfind("PROVIDER", 0) != 0 && !Trim(part).empty())
                    odbc += (odbc.empty() ? "" : ";") + part;
                i = e + 1;
            }
        }
        return OpenOdbcDriver(odbc, spec);
    }
    const std::string file = spec.get({"Data Source", "DBQ"});
    if (file.empty())
        throw vb::ComError(kErrProvider, "The connection string names no data source: " + connectionString);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw vb::ComError(kErrProvider, "Could not find file '" + file + "'.");
    if (IsSqliteFile(file)) return OpenSqliteDriver(file, spec);
    if (AccessFileVersion(file) != 0) return OpenJetDriver(file, spec);
    throw vb::ComError(kErrProvider, "Unrecognized database format '" + file + "'.");
}

Connection::~Connection() = default;

void Connection::Open(const std::string& connectionString, const std::string& user,
                      const std::string& password) {
    if (driver_) throw vb::ComError(kErrObjectOpen, "Operation is not allowed when the object is open.");
    if (!connectionString.empty()) connectionString_ = connectionString;
    driver_ = OpenDriver(connectionString_, user, password);
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

ConnectionPtr OpenConnection(const std::string& connectionString) {
    auto c = std::make_shared<Connection>();
    c->Open(connectionString);
    return c;
}

long long Command::Execute() {
    if (!ActiveConnection) throw vb::ComError(vb::kErrActiveConnection, "Active Connection is nothing.");
    return ActiveConnection->Execute(CommandText, Parameters);
}

}  // namespace ado
