#pragma once
// The ODBC driver (unixODBC). Opens "DSN=..." and "Driver=..." strings; OpenDriver maps the
// SQL Server provider's strings ("Provider=SQLOLEDB...") through the connection options' SQL
// Server template before they reach it. Values are bound as parameters; the catalog comes from SQLTables,
// SQLProcedures and SQLColumns.
//
// unixODBC reads ODBCSYSINI and ODBCINI when the first environment handle is made, so a
// program (or test) that chooses its own ini files sets them before the first ODBC call.
#include <string>
#include <utility>
#include <vector>

#include "platform/ado/driver.h"

namespace ado {

// Splits an ODBC-style connection string into key/value pairs, keeping braced values
// ("{a;b}") whole and dropping empty items. Keys and values are trimmed; keys keep their case.
std::vector<std::pair<std::string, std::string>> SplitOdbcConnectionString(const std::string& text);

// The string the driver manager receives for an ADO-style ODBC string: a leading "ODBC;" is
// dropped, "User ID"/"UserID" become UID, "Password" becomes PWD, and the OLE DB-only keys
// ("Provider" naming MSDASQL, "Integrated Security", "Persist Security Info",
// "Data Provider") are left out.
std::string OdbcDriverConnectionString(const std::string& adoText);

}  // namespace ado
