#pragma once
// The namespace is tolvaran::access because a namespace named access cannot stand at global
// scope beside POSIX access() from <unistd.h>, which the standard headers pull in. Code in
// namespace tolvaran writes access::Application; other code writes tolvaran::access::.
// Error numbers the Access automation stand-in throws (as vb::ComError), chosen to match the
// numbers Access itself raises so that callers' traps behave the same.
namespace tolvaran::access {

inline constexpr long kErrReportNotFound = 2103;       // OpenReport: no report of that name
inline constexpr long kErrReportNotOpen = 2451;        // Reports(name): report is not open
inline constexpr long kErrNoSuchProperty = 2455;       // the object does not have that property
inline constexpr long kErrBadSectionNumber = 2462;     // Section(i) that does not exist
inline constexpr long kErrBadGroupLevel = 2464;        // GroupLevel(i) that does not exist
inline constexpr long kErrControlNotFound = 2465;      // Controls(name or index) not found
inline constexpr long kErrBadExport = 2128;            // a report export that cannot be read
inline constexpr long kErrCannotOpenDatabase = 7866;   // OpenCurrentDatabase: missing or unreadable file
inline constexpr long kErrDatabaseAlreadyOpen = 7867;  // OpenCurrentDatabase while one is open
inline constexpr long kErrNoCurrentDatabase = 91;      // CurrentDb with no database open
inline constexpr long kErrItemNotFound = 3265;         // QueryDefs(name), Containers(name), ...
inline constexpr long kErrReadOnly = 3027;             // CreateQueryDef on a read-only file

}  // namespace tolvaran::access
