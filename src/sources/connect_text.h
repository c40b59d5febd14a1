#pragma once
// The one reader of the attributes of a connection string or an ODBC connect string, for the
// links manager's scan and the connection-settings object alike.
#include <string>

namespace tolvaran {

// The value of the attribute named key ("KEY" or "KEY="), the key compared without regard to
// case and counted only where an attribute's name stands (never inside another attribute's
// name or value: "SERVER" in "DRIVER={SQL Server}"). The value is trimmed, unquoted, and an
// ODBC braced value stands without its braces (a doubled "}" for one); "" when no attribute
// has that name.
std::string ConnectValue(const std::string& text, const std::string& key);

}  // namespace tolvaran
