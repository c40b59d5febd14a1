#pragma once
// A prompt for when no user is there to answer (a conversion run without a window): every
// message box is answered with its default button and every input box with its default
// text, and nothing is shown.
#include <string>

#include "platform/ui/prompt.h"

namespace ui {

class DefaultPrompt : public Prompt {
  public:
    int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {}) override;
    std::string InputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {}) override;
};

}  // namespace ui
