#include "shell/source_database/odbc_info.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/ui/prompt.h"
#include "shell/qt/guarded.h"
#include "shell/qt/named_widget.h"
#include "shell/qt/qt_form.h"
#include "shell/qt/qt_text.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "sources/connection_settings.h"

namespace tolvaran {

frmODBCInfo::frmODBCInfo(clsDatabase& odb, clsToolBar& toolbars, ui::Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      odb_(odb),
      toolbars_(toolbars),
      prompt_(prompt),
      toolbar_(new QtToolBar(this)),
      DSN_(Named<QLineEdit>("DSN", this)),
      Database_(Named<QLineEdit>("Database", this)),
      Server_(Named<QLineEdit>("Server", this)),
      UserId_(Named<QLineEdit>("UserId", this)),
      Password_(Named<QLineEdit>("Password", this)),
      UseDsn_(Named<QCheckBox>("UseDsn", QStringLiteral("Use DSN"), this)),
      UseNt_(Named<QCheckBox>("UseNt", QStringLiteral("Use NT"), this)),
      cboServer_(Named<QComboBox>("cboServer", this)),
      cboDatabases_(Named<QComboBox>("cboDatabases", this)) {
    setObjectName(QStringLiteral("frmODBCInfo"));
    setWindowTitle(QStringLiteral("ODBC Info"));
    setModal(true);
    Password_->setEchoMode(QLineEdit::Password);
    cboServer_->setPlaceholderText(QStringLiteral("<none>"));
    cboDatabases_->setPlaceholderText(QStringLiteral("<none>"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(toolbar_);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(8, 4, 8, 0);
    grid->addWidget(UseDsn_, 0, 0);
    grid->addWidget(DSN_, 0, 1);
    grid->addWidget(Named<QLabel>("lblServer", QStringLiteral("Server"), this), 1, 0);
    grid->addWidget(Server_, 1, 1);
    grid->addWidget(cboServer_, 1, 1);
    grid->addWidget(Named<QLabel>("lblDatabase", QStringLiteral("Database"), this), 2, 0);
    grid->addWidget(Database_, 2, 1);
    grid->addWidget(cboDatabases_, 2, 1);
    grid->addWidget(Named<QLabel>("lblUserId", QStringLiteral("User Id"), this), 3, 0);
    grid->addWidget(UserId_, 3, 1);
    grid->addWidget(Named<QLabel>("lblPassword", QStringLiteral("Password"), this), 4, 0);
    grid->addWidget(Password_, 4, 1);
    grid->addWidget(UseNt_, 5, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    resize(420, 260);

    connect(toolbar_, &QtToolBar::ItemClick, this,
            Guard(&prompt_, "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
    connect(cboServer_, &QComboBox::activated, this,
            Guard(&prompt_, "cboServer_Click", [this] { cboServer_Click(); }));
    connect(cboDatabases_, &QComboBox::activated, this,
            Guard(&prompt_, "cboDatabases_Click", [this] { cboDatabases_Click(); }));
}

void frmODBCInfo::Form_Load() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        toolbars_.Load(*toolbar_, "GenericSaveCancel");
        toolbar_->Render();
        DSN_->setText(Q(odb_.DSN));
        Database_->setText(Q(odb_.Database));
        Server_->setText(Q(odb_.Server));
        Password_->setText(Q(odb_.Password));
        UserId_->setText(Q(odb_.UserId));
        UseDsn_->setChecked(odb_.UseDsn);
        UseNt_->setChecked(odb_.UseNTLogin);
        QtComboControl servers(*cboServer_);
        const bool listed = odb_.PopulateServerDropDown(servers);
        cboServer_->setVisible(listed);
        cboDatabases_->setVisible(listed);
        Server_->setVisible(!listed);
        Database_->setVisible(!listed);
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what());
    }
    QApplication::restoreOverrideCursor();
}

void frmODBCInfo::Save() {
    odb_.DSN = S(DSN_->text());
    odb_.Database = S(Database_->text());
    odb_.Server = S(Server_->text());
    odb_.Password = S(Password_->text());
    odb_.UserId = S(UserId_->text());
    odb_.UseDsn = UseDsn_->isChecked();
    odb_.UseNTLogin = UseNt_->isChecked();
}

void frmODBCInfo::cboServer_Click() {
    if (cboServer_->currentIndex() < 0) return;
    Server_->setText(cboServer_->currentText());
    // The settings object lists the databases of its own server: the picked one is lent to it
    // for the listing only, so that nothing but Save changes it.
    struct Lent {
        std::string& server;
        std::string kept;
        ~Lent() { server = kept; }
    } lent{odb_.Server, odb_.Server};
    odb_.Server = S(cboServer_->currentText());
    // The list shows the databases of the server picked last only.
    cboDatabases_->clear();
    QtComboControl databases(*cboDatabases_);
    odb_.LoadSQLServerDatabases(databases);
}

void frmODBCInfo::cboDatabases_Click() {
    if (cboDatabases_->currentIndex() >= 0) Database_->setText(cboDatabases_->currentText());
}

void frmODBCInfo::EToolBar_ItemClick(int index) {
    switch (toolbar_->ItemCtrlID(index)) {
        case 236:
            Save();
            close();
            break;
        case 237:
            close();
            break;
        default:
            break;
    }
}

}  // namespace tolvaran
