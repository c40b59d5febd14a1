#include "shell/qt/guarded.h"

#include "platform/ui/prompt.h"

namespace tolvaran {

void ShowTrapped(ui::Prompt* prompt, const char* routine, const char* text) noexcept {
    try {
        if (prompt) prompt->MsgBox(text, ui::vbOKOnly, routine);
    } catch (...) {
        // A message box that cannot be shown leaves the error unshown, not the handler.
    }
}

}  // namespace tolvaran
