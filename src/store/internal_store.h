#pragma once
// The program's two store files in the program folder, prepared from the shipped templates
// and opened once per run: the settings file (gInternalDb) and the lists file (gDb).
#include <string>

#include "platform/ado/ado.h"

namespace ui {
class Prompt;
}

namespace tolvaran {

struct AppContext;

inline constexpr const char* kStorePassword = "*&!tmz%$#";
inline constexpr const char* kSettingsFile = "TOLVARAN.DAT";
inline constexpr const char* kListsFile = "TOLVARAN.ADL";
inline constexpr const char* kOldSingleFile = "Tolvaran.TVN";
inline constexpr const char* kSettingsTemplate = "tolvaran.f1";
inline constexpr const char* kListsTemplate = "tolvaran.f2";

// Prepares both files from their templates:
//  - with Tolvaran.TVN present, each missing file is copied from it;
//  - otherwise the settings file is refreshed from tolvaran.f1 at every start, carrying the
//    user's Options row across from the file it replaces, and a missing lists file is copied
//    from tolvaran.f2 (an existing one is never touched);
//  - then the settings file is test-opened.
// Any error ends the routine with a message box titled "CheckAndTransferData".
void CheckAndTransferData(AppContext& ctx);

// A new open connection to the store file at path ("Data Source=<path>[;Jet OLEDB:Database
// Password=<password>]", row-level locking). Errors go to the caller.
ado::ConnectionPtr SetConn(const std::string& path, const std::string& password);

// Brings an open lists file up to its template (templateFile, tolvaran.f2): indexes and views
// the template has and the file lacks or defines otherwise are taken from it, and a table
// whose template gives no key twice is rebuilt so (keeping every row and key; a key that any
// row still refers to is never given again). In one transaction; a failure, or a file that
// cannot be changed, leaves the file working as before (lists_upgrade.cpp).
void UpgradeListsFile(const ado::ConnectionPtr& lists, const std::string& templateFile);

// Opens ctx.gInternalDb, then ctx.gDb, each only when it is not open; a lists file made by an
// earlier template is upgraded (UpgradeListsFile). Statements wait up to 60 s for a lock
// another process holds. False after a failure:
// a message box titled "OpenConnection" and the line "OpenConnection:<error>" in the start-up
// log; a connection opened before the failure stays open.
bool openConnection(AppContext& ctx);

// Copies every remaining row of source into target by field name. An error shows its text in
// a message box (when prompt is given) and ends the copy.
void CopyRecords(ado::Recordset& source, ado::Recordset& target, ui::Prompt* prompt = nullptr);

}  // namespace tolvaran
