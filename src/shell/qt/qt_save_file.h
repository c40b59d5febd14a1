#pragma once
// The save-file dialog of the run: a Qt file dialog that asks before replacing a file.
#include <QPointer>
#include <QWidget>

#include "platform/ui/save_file.h"

namespace tolvaran {

class QtSaveFileDialog : public ui::SaveFileDialog {
  public:
    // owner: the window the dialog is modal to (may be null or go away).
    void setOwner(QWidget* owner) { owner_ = owner; }
    std::string AskSaveFileName(const std::string& title, const std::string& initialName,
                                const std::string& filter, const std::string& defaultExtension) override;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace tolvaran
