#pragma once
// Whether an SQL text is one statement that only reads: what a report may keep as a command,
// what the converter may save as a query or view, and what a connection that only reads runs.
// The text is read with the shared SQL tokens (jet_sql_tokens.h), comments as the engines read
// them, so a ";" or a keyword inside a literal, a bracketed or quoted name or a comment counts
// for nothing, while one anywhere else does: engines that run several statements of one text
// (SQLite, and SQL Server, which needs no ";" between them) are given no second one.
#include <string>

namespace ado {

// "" when sql is one SELECT (with UNION) or TRANSFORM statement, after a PARAMETERS
// declaration or not, ended by one ";" or not. Otherwise why it is not, in words that follow
// "the statement": "is empty", "holds more than one statement", "is not a SELECT statement but
// a DELETE statement", "writes (INTO)", "cannot be read (...)".
std::string WhyNotOneReadStatement(const std::string& sql);

}  // namespace ado
