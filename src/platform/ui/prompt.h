#pragma once
// Message boxes and input boxes with the host language's meanings. The shell implements this
// with Qt dialogs; DefaultPrompt answers without a user; tests use RecordingPrompt, which
// never blocks.
#include <string>

namespace ui {

// Buttons, icons and default button, combined by adding them as the host language does.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7
};

// The title a message box shows when the caller gives none.
inline constexpr const char* kProgramTitle = "Tolvaran for Crystal Reports 10.0";

class Prompt {
  public:
    virtual ~Prompt() = default;
    // Shows prompt (CR LF breaks lines); an empty title shows kProgramTitle. Returns the
    // button pressed.
    virtual int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {}) = 0;
    // Asks for a text; Cancel gives the empty text.
    virtual std::string InputBox(const std::string& prompt, const std::string& title = {},
                                 const std::string& defaultText = {}) = 0;
};

}  // namespace ui
