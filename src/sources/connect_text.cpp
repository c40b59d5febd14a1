#include "sources/connect_text.h"

#include "platform/ado/connection_text.h"

namespace tolvaran {

namespace {

std::string WithLogin(ado::ConnectionText& text, const std::string& user, const std::string& password,
                      bool ntAuth) {
    if (ntAuth)
        text.Add("Integrated Security", "SSPI");
    else
        text.Add("User ID", user).Add("Password", password);
    return text.Text();
}

}  // namespace

std::string ConnectValue(const std::string& text, const std::string& key) {
    std::string k = key;
    if (!k.empty() && k.back() == '=') k.pop_back();
    if (k.empty()) return {};
    return ado::ConnectionText::Read(text).Get({k});
}

std::string AccessConnectionText(const std::string& file, const std::string& user,
                                 const std::string& password) {
    ado::ConnectionText text = ado::JetFileText(file);
    return WithLogin(text, user, password, false);
}

std::string OdbcConnectionText(const std::string& dsn, const std::string& user, const std::string& password,
                               bool ntAuth) {
    ado::ConnectionText text(ado::QuoteStyle::Odbc);
    if (dsn.empty())
        text.AddBare({});
    else
        text.Add("DSN", dsn);
    return WithLogin(text, user, password, ntAuth);
}

std::string SqlServerConnectionText(const std::string& server, const std::string& database,
                                    const std::string& user, const std::string& password, bool ntAuth) {
    ado::ConnectionText text;
    text.Add("Provider", "SQLOLEDB.1").Add("Data Source", server).Add("Database", database);
    return WithLogin(text, user, password, ntAuth);
}

}  // namespace tolvaran
