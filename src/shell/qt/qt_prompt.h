#pragma once
// Message boxes and input boxes with Qt dialogs, with the host language's buttons, icons,
// default button and answers.
#include <QPointer>
#include <QWidget>

#include "platform/ui/prompt.h"

namespace tolvaran {

class QtPrompt : public ui::Prompt {
  public:
    // owner: the window the boxes are modal to (may be null or go away).
    void setOwner(QWidget* owner) { owner_ = owner; }
    int MsgBox(const std::string& prompt, int buttons = ui::vbOKOnly, const std::string& title = {}) override;
    std::string InputBox(const std::string& prompt, const std::string& title = {},
                         const std::string& defaultText = {}) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace tolvaran
