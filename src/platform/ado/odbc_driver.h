#pragma once
// The ODBC driver (unixODBC). Opens "DSN=..." and "Driver=..." strings; OpenDriver maps the
// SQL Server provider's strings ("Provider=SQLOLEDB...") through the connection options' SQL
// Server template before they reach it. Values are bound as parameters; the catalog comes from SQLTables,
// SQLProcedures and SQLColumns.
//
// unixODBC reads ODBCSYSINI and ODBCINI when the first environment handle is made, so a
// program (or test) that chooses its own ini files sets them before the first ODBC call.
#include <string>

#include "platform/ado/driver.h"

namespace ado {

// The text the driver manager receives for an ADO-style ODBC text, written in the ODBC
// grammar (a value read in quotes goes in braces where it needs them): parts without a value
// (a leading "ODBC;", empty parts) are dropped, "User ID"/"UserID" become UID, "Password"
// becomes PWD, and the OLE DB-only keys ("Provider", "Integrated Security", "Persist Security
// Info", "Data Provider") are left out.
std::string OdbcDriverConnectionString(const std::string& adoText);

}  // namespace ado
