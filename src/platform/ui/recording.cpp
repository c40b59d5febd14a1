#include "platform/ui/recording.h"

namespace ui {

int RecordingPrompt::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    messages.push_back({prompt, buttons, title});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    // No script: the default button of the button set.
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

std::string RecordingPrompt::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    inputs.push_back({prompt, 0, title});
    if (!inputAnswers.empty()) {
        std::string a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    return defaultText;
}

}  // namespace ui
