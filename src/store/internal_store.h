#pragma once
// The program's two store files in the program folder, prepared from the shipped templates
// and opened once per run: the settings file (gInternalDb) and the lists file (gDb).
#include <string>

#include "platform/ado/ado.h"
#include "store/store_lock.h"

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
// whose template gives no key twice is rebuilt so, keeping every row, key and column (a key
// that any row still refers to is never given again). In one transaction. Another program's
// lock on the file is waited for as waiting agrees (see WithLockWait). Throws vb::ComError
// naming the file (listsFile) and the cause when the upgrade was needed and could not be
// done: the file is then as it was, and must not be used, for its keys could be given again.
// A read-only file is left as it is: nothing is added to it.
void UpgradeListsFile(const ado::ConnectionPtr& lists, const std::string& templateFile,
                      const std::string& listsFile, const LockWait& waiting = {});

// Opens ctx.gInternalDb, then ctx.gDb, each only when it is not open; a lists file made by an
// earlier template is upgraded (UpgradeListsFile). Statements wait up to 60 s for a lock
// another process holds; the upgrade first asks (Retry or Cancel) whether to wait for it.
// False after a failure: a message box titled "OpenConnection" naming the file and the cause
// and the line "OpenConnection:<error>" in the start-up log; a connection opened before the
// failure stays open, but a lists file that needed an upgrade and did not get it is closed.
// refused (when given) tells whether the failure was the lists file's refusal (locked by
// another program, read-only) rather than a missing or damaged file.
bool openConnection(AppContext& ctx, bool* refused = nullptr);

// Copies every remaining row of source into target by field name. An error shows its text in
// a message box (when prompt is given) and ends the copy.
void CopyRecords(ado::Recordset& source, ado::Recordset& target, ui::Prompt* prompt = nullptr);

}  // namespace tolvaran
