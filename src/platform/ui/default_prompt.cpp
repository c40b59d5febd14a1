#include "platform/ui/default_prompt.h"

namespace ui {

// The button of the set that vbDefaultButton1 .. 3 names.
int DefaultPrompt::MsgBox(const std::string&, int buttons, const std::string&) {
    const int set = buttons & 7;
    const int def = (buttons & 0x300) >> 8;  // 0, 1 or 2
    switch (set) {
        case vbOKCancel:
            return def == 1 ? vbCancel : vbOK;
        case vbAbortRetryIgnore:
            return def == 0 ? vbAbort : def == 1 ? vbRetry : vbIgnore;
        case vbYesNoCancel:
            return def == 0 ? vbYes : def == 1 ? vbNo : vbCancel;
        case vbYesNo:
            return def == 1 ? vbNo : vbYes;
        case vbRetryCancel:
            return def == 1 ? vbCancel : vbRetry;
        default:
            return vbOK;
    }
}

std::string DefaultPrompt::InputBox(const std::string&, const std::string&, const std::string& defaultText) {
    return defaultText;
}

}  // namespace ui
