#pragma once
// Free routines shared by every subsystem: context help, the system folders, path and
// file-name routines, quoting a text, the Null default, safe file names, the version caption.
// None keeps state. Paths use the platform separator "/"; "\" is accepted as a separator too,
// so paths written on Windows still split.
#include <string>

#include "platform/common/text.h"  // JoinPath, with the other shared text helpers
#include "platform/common/variant.h"

namespace tolvaran {

struct AppContext;

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;
inline constexpr const char* kHelpFileName = "TOLVARAN.HLP";

// Opens the help file at a context id. contextId 0 takes activeControlHelpId, then
// activeFormHelpId. Ids outside 1 .. 0x1FFFF open context 1. False (after a message box with
// the error) when the help cannot be shown.
bool ShowHelp(AppContext& ctx, long contextId, long activeControlHelpId = 0, long activeFormHelpId = 0);

std::string GetWindowsDir();  // "/etc"
std::string GetSystemDir();   // "/usr/bin"

// Returns at once: the pause the error-log viewer asks for after clearing serves no purpose.
void WaitSeconds(long seconds);

// "Tolvaran <major>.<minor>.<revision> for <crystalVersionName>".
std::string GetVersionCaption(const std::string& crystalVersionName);

// Text before the first "."; the whole text when there is none ("report.old.rpt" -> "report").
std::string StripExtension(const std::string& name);
// Text up to and including the last separator; "" for "" and for a bare name.
std::string GetFilePath(const std::string& path);
// Text after the last separator; the whole text without one; "" when it ends with one.
std::string GetFileName(const std::string& path);
// 'text' when text holds a double quote or forceSingle, else "text"; quotes inside are kept
// as they are. Only for texts shown or handed on as text, never for SQL values (bind those).
std::string QuoteString(const std::string& text, bool forceSingle = false);
// "/", "\", "-", "%", "*", "#" become "_"; then "@" becomes "_at_"; every control character
// (NUL, line breaks, DEL, ...) becomes "_".
std::string MakeSafeName(const std::string& text);

using vb::NZ;

}  // namespace tolvaran
