#pragma once
// The about box frmAbout: the product title with the version caption, and a designed toolbar
// whose item 2 closes the box and item 4 ends the program.
#include <QDialog>
#include <functional>

class QLabel;

namespace tolvaran {

class Environment;
class QtToolBar;

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    static constexpr long kHelpContextId = 19;

    // env must outlive the box; endProgram ends the run at once (no shutdown steps).
    frmAbout(Environment& env, const std::string& versionCaption, std::function<void()> endProgram,
             QWidget* parent = nullptr);

    bool CalledFromWithin = false;  // stored; not read by the box
    void EToolBar_ItemClick(int index);
    // Starts the system information tool named in the registry, or tells the user it is not
    // there.
    void StartSysInfo();
    QtToolBar* EToolBar() const { return toolbar_; }
    QString TitleText() const;

  private:
    Environment& env_;
    std::function<void()> endProgram_;
    QtToolBar* toolbar_;
    QLabel* title_;
};

}  // namespace tolvaran
