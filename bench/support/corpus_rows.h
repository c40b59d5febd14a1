#pragma once
// Rows for the corpus front ends, whose record-source tables the conversion makes empty.
#include <string>
#include <vector>

namespace bench {

// Writes rows into each of the tables of a SQLite front end: text columns hold "<column> <k>"
// with k running through 1..4 (so groups and subreport links find matching values), INTEGER
// columns count from 1, DATETIME columns run on from 2024-01-01. False when a row could not be
// written.
bool FillTables(const std::string& file, const std::vector<std::string>& tables, int rows);

}  // namespace bench
