#include "support/recording.h"

namespace ui {

int RecordingPrompt::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    messages.push_back({prompt, buttons, title});
    if (answers.empty()) return DefaultPrompt::MsgBox(prompt, buttons, title);
    const int a = answers.front();
    answers.pop_front();
    return a;
}

std::string RecordingPrompt::InputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    inputs.push_back({prompt, 0, title});
    if (inputAnswers.empty()) return DefaultPrompt::InputBox(prompt, title, defaultText);
    std::string a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

}  // namespace ui
