#pragma once
// The system information window: installed Access (Office), Crystal Reports, data-access
// components and .NET Framework versions on one page; toolbar "GenericCancel", id 261 closes.
#include <QDialog>

class QLineEdit;
class QListWidget;

namespace tolvaran {

class Environment;
class QtToolBar;
class clsToolBar;

class SystemInformation : public QDialog {
    Q_OBJECT
  public:
    // env and toolbars must outlive the window.
    SystemInformation(Environment& env, clsToolBar& toolbars, QWidget* parent = nullptr);

    void showAccessInstalls();
    void ShowCrystalInstalls();
    std::string ShowMDACVersion();
    void EToolBar_ItemClick(int index);
    QtToolBar* EToolBar() const { return toolbar_; }

  private:
    Environment& env_;
    QtToolBar* toolbar_;
    QListWidget* lstAccessVersions_;
    QListWidget* lstCrystalVersions_;
    QLineEdit* MDACVersion_;
    QListWidget* lstDotNet_;
};

}  // namespace tolvaran
