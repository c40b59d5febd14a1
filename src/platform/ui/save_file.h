#pragma once
// The save-file common dialog: asks where a file is to be saved. The shell implements it with
// a Qt file dialog; tests answer from a script, never blocking.
#include <string>

namespace ui {

class SaveFileDialog {
  public:
    virtual ~SaveFileDialog() = default;
    // title: the dialog's caption; initialName: the name offered; filter: pairs of
    // description and pattern separated by "|" ("CSV files|*.csv|All files|*");
    // defaultExtension (without its dot) is added to a chosen name that has none. Returns the
    // chosen path, or the empty text when the user cancelled.
    virtual std::string AskSaveFileName(const std::string& title, const std::string& initialName,
                                        const std::string& filter, const std::string& defaultExtension) = 0;
};

}  // namespace ui
