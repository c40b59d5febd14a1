#pragma once
// How the main window opens the source-database dialog: to add an entry (openArgs "",
// newReference true) or to edit one (openArgs the entry's key as text). The dialog is shown
// modally over the main window and Show returns when it is closed. SelectDatabaseDialogs
// builds the real dialog; tests of the main window's commands may put a recorder behind the
// interface.
#include <functional>
#include <memory>
#include <string>

namespace sqldmo {
class Factory;
}
namespace ui {
class CommonDialog;
class FolderBrowser;
class Launcher;
}  // namespace ui

namespace tolvaran {

class SelectDatabase;
class Startup;
class clsODBCCollection;

class SelectDatabaseOpener {
  public:
    virtual ~SelectDatabaseOpener() = default;
    virtual void Show(Startup& owner, const std::string& openArgs, bool newReference) = 0;
};

class SelectDatabaseDialogs : public SelectDatabaseOpener {
  public:
    // The services must outlive the object.
    SelectDatabaseDialogs(ui::CommonDialog& commonDialog, ui::FolderBrowser& folderBrowser,
                          ui::Launcher& launcher, sqldmo::Factory& sqldmo);
    ~SelectDatabaseDialogs() override;

    // Loads the dialog on the main window's shared objects and, unless the load unloaded it,
    // runs it.
    void Show(Startup& owner, const std::string& openArgs, bool newReference) override;

    // How a loaded dialog runs: exec() by default; tests act on it and return.
    void setRunner(std::function<void(SelectDatabase&)> run) { run_ = std::move(run); }
    // The server-selection window; by default SelectServer over the main window.
    void setServerSelector(std::function<bool(const std::string&)> select) {
        selectServer_ = std::move(select);
    }

  private:
    ui::CommonDialog& commonDialog_;
    ui::FolderBrowser& folderBrowser_;
    ui::Launcher& launcher_;
    sqldmo::Factory& sqldmo_;
    std::unique_ptr<clsODBCCollection> odbcCache_;  // gODBCCollection, for the run
    std::function<void(SelectDatabase&)> run_;
    std::function<bool(const std::string&)> selectServer_;
};

}  // namespace tolvaran
