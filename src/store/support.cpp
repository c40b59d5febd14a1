#include "store/support.h"

#include "platform/common/com_error.h"
#include "platform/ui/launcher.h"
#include "platform/ui/prompt.h"
#include "store/context.h"

namespace tolvaran {
namespace {

size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

}  // namespace

bool ShowHelp(AppContext& ctx, long contextId, long activeControlHelpId, long activeFormHelpId) {
    try {
        long id = contextId;
        if (id == 0) id = activeControlHelpId != 0 ? activeControlHelpId : activeFormHelpId;
        if (id < 1 || id >= 0x20000) id = 1;
        if (!ctx.help) throw vb::ComError(vb::kErrGeneric, "No help window is available.");
        ctx.help->ShowTopic(ctx.InFolder(kHelpFileName), id);
        return true;
    } catch (const std::exception& e) {
        if (ctx.prompt) ctx.prompt->MsgBox(e.what());
        return false;
    }
}

std::string GetWindowsDir() {
    return "/etc";
}
std::string GetSystemDir() {
    return "/usr/bin";
}

void WaitSeconds(long) {}

std::string GetVersionCaption(const std::string& crystalVersionName) {
    return "Tolvaran " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision) + " for " + crystalVersionName;
}

std::string StripExtension(const std::string& name) {
    return name.substr(0, name.find('.'));
}

std::string GetFilePath(const std::string& path) {
    const size_t p = LastSeparator(path);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string GetFileName(const std::string& path) {
    const size_t p = LastSeparator(path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string QuoteString(const std::string& text, bool forceSingle) {
    if (forceSingle || text.find('"') != std::string::npos) return "'" + text + "'";
    return "\"" + text + "\"";
}

std::string MakeSafeName(const std::string& text) {
    std::string s = text;
    for (const char* c : {"/", "\\", "-", "%", "*", "#"}) ReplaceAll(s, c, "_");
    ReplaceAll(s, "@", "_at_");
    // A control character ends a file name at a NUL, or makes one no listing shows as
    // written: the name would lead to another file.
    for (char& c : s)
        if (IsControlChar(c)) c = '_';
    return s;
}

}  // namespace tolvaran
