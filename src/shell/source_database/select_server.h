#pragma once
// The server-selection window the data-project scan shows while a project does not open: it
// names the project and offers to try it again (Retry) or to go on without it (Cancel), after
// which the server and database are picked on the source-database dialog's SQL Server tab.
#include <QDialog>
#include <string>

namespace tolvaran {

class SelectServer : public QDialog {
    Q_OBJECT
  public:
    explicit SelectServer(const std::string& path, QWidget* parent = nullptr);

    // Shows the window modally; true when the user asks for another try.
    static bool Ask(const std::string& path, QWidget* parent);
};

}  // namespace tolvaran
