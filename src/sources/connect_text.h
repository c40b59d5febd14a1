#pragma once
// The connection texts of the link kinds, built in one place for the links, the scan, the
// conversion's data binding and the source-database dialog's connection test, and the one
// reader of their attributes (ado::ConnectionText underneath).
#include <string>

namespace tolvaran {

// The value of the attribute named key ("KEY" or "KEY="), the key compared without regard to
// case and counted only where an attribute's name stands (never inside another attribute's
// name or value: "SERVER" in "DRIVER={SQL Server}"). The value is trimmed and stands without
// the quotes or braces it was written in; "" when no attribute has that name.
std::string ConnectValue(const std::string& text, const std::string& key);

// An Access file (own tables, a linked file): "Provider=Microsoft.Jet.OLEDB.4.0;Data
// Source=<file>;User ID=<user>;Password=<password>", values in the OLE DB grammar.
std::string AccessConnectionText(const std::string& file, const std::string& user,
                                 const std::string& password);

// An ODBC data source: "DSN=<dsn>" (an empty part when dsn is empty, so the text starts with
// ';'), then ";User ID=<user>;Password=<password>", or ";Integrated Security=SSPI" with
// Windows authentication; values in the ODBC grammar.
std::string OdbcConnectionText(const std::string& dsn, const std::string& user, const std::string& password,
                               bool ntAuth);

// A SQL Server database: "Provider=SQLOLEDB.1;Data Source=<server>;Database=<database>",
// then the login as for ODBC; values in the OLE DB grammar.
std::string SqlServerConnectionText(const std::string& server, const std::string& database,
                                    const std::string& user, const std::string& password, bool ntAuth);

}  // namespace tolvaran
