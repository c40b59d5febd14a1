#pragma once
// Tables linked into an Access file (or its SQLite stand-in) live in another file or ODBC
// source; the file's MSysObjects row says where.
#include <string>

#include "platform/ado/ado.h"

namespace designer {

struct LinkedTable {
    std::string connectionString;  // where the linked table's rows are
    std::string table;             // its name there
};

// The target of a linked table: true with where it lives when the connection's MSysObjects
// holds a link row for the name (type 6, a table of another Access file; type 4, an ODBC
// table), false otherwise (also when the connection has no MSysObjects). Never throws.
bool FindLinkedTable(const ado::ConnectionPtr& connection, const std::string& table, LinkedTable& out);

}  // namespace designer
