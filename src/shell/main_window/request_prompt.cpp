#include "shell/main_window/request_prompt.h"

#include <cctype>

namespace tolvaran {
namespace {

bool IsWordByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

}  // namespace

std::string RequestPrompt::Key(const std::string& prompt, const std::string& title) const {
    std::string key = title + '\n';
    size_t from = 0;
    while (!report_.empty()) {
        const size_t at = prompt.find(report_, from);
        if (at == std::string::npos) break;
        const size_t end = at + report_.size();
        const bool whole =
            (at == 0 || !IsWordByte(prompt[at - 1])) && (end == prompt.size() || !IsWordByte(prompt[end]));
        key.append(prompt, from, at - from);
        key += whole ? std::string("\x01") : report_;
        from = end;
    }
    key.append(prompt, from, std::string::npos);
    return key;
}

int RequestPrompt::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    constexpr int kButtonSet = 0x0F;  // the low bits of the style: which buttons
    if ((buttons & kButtonSet) != ui::vbOKOnly || shown_.insert(Key(prompt, title)).second)
        return user_.MsgBox(prompt, buttons, title);
    ++kept_;
    if (keeper_) keeper_(prompt, title);
    return ui::vbOK;
}

}  // namespace tolvaran
