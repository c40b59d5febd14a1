#pragma once
// The ODBC settings dialog frmODBCInfo ("ODBC Info"): edits the data source name, database,
// server, user, password and the two switches (through a DSN, Windows authentication) of one
// connection-settings object. Server and database are picked from drop-down lists when SQL
// Servers can be listed, else typed. Save (toolbar 236) writes the values back and closes;
// 237 closes without writing.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ui {
class Prompt;
}

namespace tolvaran {

class QtToolBar;
class clsDatabase;
class clsToolBar;

class frmODBCInfo : public QDialog {
    Q_OBJECT
  public:
    // odb, toolbars and prompt (the load's error messages) must outlive the dialog.
    frmODBCInfo(clsDatabase& odb, clsToolBar& toolbars, ui::Prompt& prompt, QWidget* parent = nullptr);

    clsDatabase& odb() { return odb_; }
    void Form_Load();
    void Save();
    // The picked server becomes the dialog's server, which Save stores, and its databases are
    // listed.
    void cboServer_Click();
    // The database picked in the list becomes the dialog's database, which Save stores.
    void cboDatabases_Click();
    void EToolBar_ItemClick(int index);
    QtToolBar* EToolBar() const { return toolbar_; }

  private:
    clsDatabase& odb_;
    clsToolBar& toolbars_;
    ui::Prompt& prompt_;
    QtToolBar* toolbar_;
    QLineEdit* DSN_;
    QLineEdit* Database_;
    QLineEdit* Server_;
    QLineEdit* UserId_;
    QLineEdit* Password_;
    QCheckBox* UseDsn_;
    QCheckBox* UseNt_;
    QComboBox* cboServer_;
    QComboBox* cboDatabases_;
};

}  // namespace tolvaran
