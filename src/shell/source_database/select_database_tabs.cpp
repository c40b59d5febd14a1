// The source-database dialog's back-end tabs: showing and hiding them, the pickers, the
// values taken from links, the boxes that write the data-project link, the connection test,
// the SQL Server pickers and the tree of views.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/ado/ado.h"
#include "platform/adox/adox.h"
#include "platform/common/com_error.h"
#include "platform/sqldmo/sqldmo.h"
#include "platform/ui/common_dialog.h"
#include "platform/ui/launcher.h"
#include "shell/qt/qt_common_dialog.h"
#include "shell/qt/qt_form.h"
#include "shell/qt/qt_text.h"
#include "shell/source_database/select_database.h"
#include "sources/connect_text.h"
#include "sources/connection_settings.h"
#include "sources/links_manager.h"
#include "sources/query_scanner.h"
#include "store/context.h"

namespace tolvaran {
namespace {

// The user's ODBC data-source file: ODBCINI, else ~/.odbc.ini.
std::string UserOdbcIni() {
    if (const char* ini = std::getenv("ODBCINI"); ini && *ini) return ini;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.odbc.ini";
}

void SetCaptionColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

// --- Tabs ---------------------------------------------------------------------------------

void SelectDatabase::HideAllTabs() {
    ActiveTabs_->setTabVisible(0, true);
    ActiveTabs_->setCurrentIndex(0);
    for (int i = 1; i < ActiveTabs_->count(); ++i) ActiveTabs_->setTabVisible(i, false);
}

void SelectDatabase::ShowTab(int n) {
    ActiveTabs_->setTabVisible(n - 1, true);
    ActiveTabs_->setCurrentIndex(n - 1);
    currentTab_ = n;
}

void SelectDatabase::HideTab(int n) {
    if (ActiveTabs_->currentIndex() != n - 1 && ActiveTabs_->isTabVisible(n - 1))
        ActiveTabs_->setTabVisible(n - 1, false);
}

void SelectDatabase::ActivateTab(int n) {
    ActiveTabs_->setCurrentIndex(n - 1);
}

// --- Pickers and commands -----------------------------------------------------------------

void SelectDatabase::cmdGetTablesDB_Click() {
    const std::string path = getFile("Select an Access Database");
    if (path.empty()) return;
    SetText(SourceTablesDatabase_, path);
    TrafficLight(0, 2);
}

void SelectDatabase::cmdGetSecurityFile_Click() {
    const std::string path = getFile("Select an Access Security file ( *.mdw )");
    if (!path.empty()) SetText(SecurityFile_, path);
}

void SelectDatabase::cmdExportPath_Click() {
    try {
        const auto folder = services_.folderBrowser->BrowseForFolder(
            QtCommonDialog::HandleOf(*this),
            "Select a path for your converted reports to go to, Please choose a folder and click OK", 1);
        if (folder) SetText(ConvertedReportsPath_, *folder);
    } catch (const std::exception&) {
        // A browser that fails leaves the path as it was.
    }
    TrafficLight(0, Text(ConvertedReportsPath_).empty() ? 2 : 1);
}

void SelectDatabase::cmdODBCSources_Click() {
    const std::string ini = UserOdbcIni();
    std::error_code ec;
    if (!std::filesystem::exists(ini, ec)) std::ofstream(ini, std::ios::app).close();
    services_.launcher->Open(ini);
}

// --- Values from links --------------------------------------------------------------------

LinkPtr SelectDatabase::AccessLinkOf(const std::string& entry) const {
    for (const LinkPtr& link : services_.links->Items())
        if ((link->LinkType == kLinkInternal || link->LinkType == kLinkAccess) && link->LinkDatabase == entry)
            return link;
    return services_.links->Item(entry);
}

void SelectDatabase::LoadODBCValuesFromLink() {
    LinkPtr link = services_.links->GetFirstODBCLink();
    SetText(DSN_, link->DSN);
    SetText(ODBCLogin_, link->UserId);
    SetText(ODBCPassword_, link->Password);
    ODBCUseNTAuth_->setChecked(link->UseNTAuth);
}

void SelectDatabase::LoadDataProjectValuesFromLink() {
    LinkPtr link = services_.links->GetDataProjectLink();
    // Read before the boxes change: each box writes back into the same link.
    const clsLink values = *link;
    SetText(Server_, values.Server);
    SetText(SQLDatabaseName_, values.SQLDatabase);
    sqlUseNTAuth_->setChecked(values.UseNTAuth);
    SetText(SQLLogin_, values.UserId);
    SetText(SQLPassword_, values.Password);
    Server_->show();
    SQLDatabaseName_->show();
    cboDatabases_->hide();
    cboServer_->hide();
}

void SelectDatabase::LoadAccessValuesFromLink() {
    LinkPtr access = services_.links->GetFirstAccessLink();
    SetText(AccessLogin_, access->UserId);
    SetText(AccessPassword_, access->Password);
    SetText(SecurityFile_, services_.links->GetFirstInternalLink()->SecurityFile);
}

void SelectDatabase::lstAccess_Click() {
    QListWidgetItem* item = lstAccess_->currentItem();
    if (!item) return;
    const std::string text = S(item->text());
    LinkPtr link = AccessLinkOf(text);
    SetText(AccessLogin_, link->UserId);
    SetText(AccessPassword_, link->Password);
    SetText(SourceTablesDatabase_, text);
}

void SelectDatabase::lstODBC_Click() {
    QListWidgetItem* item = lstODBC_->currentItem();
    if (!item) return;
    LinkPtr link = services_.links->Item(S(item->text()));
    SetText(DSN_, link->DSN);
    ODBCUseNTAuth_->setChecked(link->UseNTAuth);
    SetText(ODBCLogin_, link->UserId);
    SetText(ODBCPassword_, link->Password);
    SetText(DSN_, link->DSN);
    SetText(ODBCConnectionString_, link->ConnectionString());
}

// --- Boxes that write the data-project link -----------------------------------------------

void SelectDatabase::Server_Change() {
    services_.links->GetDataProjectLink()->Server = Text(Server_);
}

void SelectDatabase::SQLDatabaseName_Change() {
    services_.links->GetDataProjectLink()->SQLDatabase = Text(SQLDatabaseName_);
}

void SelectDatabase::SQLLogin_Change() {
    services_.links->GetDataProjectLink()->UserId = Text(SQLLogin_);
}

void SelectDatabase::SQLPassword_Change() {
    services_.links->GetDataProjectLink()->Password = Text(SQLPassword_);
}

void SelectDatabase::sqlUseNTAuth_Click() {
    const bool nt = sqlUseNTAuth_->isChecked();
    frmSQLLogin_->setEnabled(!nt);
    SetCaptionColour(lblLogin_[0], nt ? Qt::white : Qt::black);
    SetCaptionColour(lblPassword_[0], nt ? Qt::white : Qt::black);
    lblLogin_[0]->setEnabled(!nt);
    lblPassword_[0]->setEnabled(!nt);
    services_.links->GetDataProjectLink()->UseNTAuth = nt;
}

void SelectDatabase::ODBCUseNTAuth_Click() {
    const bool nt = ODBCUseNTAuth_->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblLogin_[1], lblPassword_[1], ODBCLogin_, ODBCPassword_})
        w->setEnabled(!nt);
}

// --- Connection test ----------------------------------------------------------------------

std::string SelectDatabase::ConnectionStringForTab(int tab) {
    // The texts a link of the tab's kind opens, so that a test tries what a conversion will.
    switch (tab) {
        case kGeneralTab:
        case kSqlServerTab:
            return SqlServerConnectionText(Text(Server_), Text(SQLDatabaseName_), Text(SQLLogin_),
                                           Text(SQLPassword_), sqlUseNTAuth_->isChecked());
        case kAccessTab: {
            if (Text(AccessLogin_).empty()) SetText(AccessLogin_, "Admin");
            // The tables file the tab shows (an Access list entry clicked puts it there), else
            // the list's selected entry.
            std::string file = Text(SourceTablesDatabase_);
            QListWidgetItem* item = lstAccess_->currentItem();
            if (file.empty() && item && item->isSelected()) file = S(item->text());
            return AccessConnectionText(file, Text(AccessLogin_), Text(AccessPassword_));
        }
        case kOdbcTab:
            return OdbcConnectionText(Text(DSN_), Text(ODBCLogin_), Text(ODBCPassword_),
                                      ODBCUseNTAuth_->isChecked());
        default:
            return {};
    }
}

bool SelectDatabase::ConnectIt() {
    connectError_.clear();
    try {
        const int tab = ActiveTabs_->currentIndex() + 1;
        if (tab < kGeneralTab || tab > kOdbcTab) return false;
        auto connection = ado::OpenConnection(ConnectionStringForTab(tab), services_.ctx->connections);
        return connection->State() == ado::adStateOpen;
    } catch (const std::exception& e) {
        connectError_ = e.what();
        return false;
    }
}

void SelectDatabase::cmdTestConnect_Click() {
    // The light of the tab whose connection was tried shows how it went; the General tab,
    // which tries the SQL Server settings, has none.
    const int tested = ActiveTabs_->currentIndex() + 1;
    const bool ok = ConnectIt();
    if (ok)
        prompt().MsgBox("Connection successfull", ui::vbInformation, "Test Connection");
    else
        prompt().MsgBox("Connnection was un-successfull\r\n" + connectError_, ui::vbExclamation,
                        "Connection Test");
    if (tested >= kAccessTab && tested <= kOdbcTab) TrafficLight(tested, ok ? 1 : 3);
}

// --- SQL Server pickers -------------------------------------------------------------------

void SelectDatabase::cboServer_Click() {
    if (cboServer_->currentIndex() < 0) return;
    cboDatabases_->show();
    clsDatabase& settings = database();
    settings.Server = S(cboServer_->currentText());
    SetText(Server_, settings.Server);
    // The SQL Server tab's login lists the server's databases; the list shows that server's
    // databases only.
    settings.UseNTLogin = sqlUseNTAuth_->isChecked();
    settings.UserId = Text(SQLLogin_);
    settings.Password = Text(SQLPassword_);
    cboDatabases_->clear();
    QtComboControl databases(*cboDatabases_);
    settings.LoadSQLServerDatabases(databases, S(lblDatabases_->text()));
    services_.links->GetDataProjectLink()->Server = Text(Server_);
}

void SelectDatabase::cboDatabases_Change() {
    const int i = cboDatabases_->currentIndex();
    if (i < 0) return;
    const std::string name = S(cboDatabases_->itemText(i));
    database().Database = name;
    SetText(SQLDatabaseName_, name);
    services_.links->GetDataProjectLink()->SQLDatabase = Text(SQLDatabaseName_);
}

void SelectDatabase::cboDatabases_Click() {
    if (cboDatabases_->currentIndex() >= 0) SetText(SQLDatabaseName_, S(cboDatabases_->currentText()));
}

// --- View tree ----------------------------------------------------------------------------

void SelectDatabase::AddViewNode(clsInterface& scanner, QTreeWidgetItem* parent, const std::string& name,
                                 const std::string& text) {
    // The scanner adds to what it found before; this view's tables are the entries its own
    // text added.
    const long before = scanner.SQLTables.Count();
    scanner.Execute(text);
    auto* node = new QTreeWidgetItem(parent, {Q(name)});
    for (long i = before + 1; i <= scanner.SQLTables.Count(); ++i)
        new QTreeWidgetItem(node, {Q(scanner.SQLTables.Item(i)->Name)});
}

bool SelectDatabase::LoadTablesTreeView() {
    try {
        dxTreeList1_->setHeaderLabels({QStringLiteral("Table/View")});
        dxTreeList1_->setColumnWidth(0, 600);  // 9000 twips
        // A refill replaces what an earlier one showed.
        dxTreeList1_->clear();
        std::unique_ptr<clsInterface> scanner;
        for (const LinkPtr& link : services_.links->Items()) {
            switch (link->LinkType) {
                case kLinkInternal:
                case kLinkAccess: {
                    if (!link->openConnection(prompt(), services_.ctx->connections)) break;
                    auto* top = new QTreeWidgetItem(dxTreeList1_, {Q(link->LinkDatabase)});
                    if (!scanner) scanner = std::make_unique<clsInterface>(prompt());
                    scanner->DBType = 0;  // view texts from this link's catalog
                    scanner->setActiveConnection(link->db());
                    adox::Catalog catalog;
                    catalog.setActiveConnection(link->db());
                    for (const adox::View& view : catalog.Views())
                        AddViewNode(*scanner, top, view.Name, view.Command.CommandText);
                    break;
                }
                case kLinkDataProject: {
                    if (!link->openConnection(prompt(), services_.ctx->connections)) break;
                    auto* top =
                        new QTreeWidgetItem(dxTreeList1_, {Q(link->Server + "." + link->SQLDatabase)});
                    top->setExpanded(true);
                    if (!scanner) scanner = std::make_unique<clsInterface>(prompt());
                    testsqldmo(*scanner, top);
                    break;
                }
                default:
                    break;
            }
        }
        return true;
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
        return false;
    }
}

void SelectDatabase::testsqldmo(clsInterface& scanner, QTreeWidgetItem* node) {
    try {
        std::unique_ptr<sqldmo::SQLServer> server = services_.sqldmo->CreateSQLServer();
        if (sqlUseNTAuth_->isChecked()) {
            server->LoginSecure = true;
        } else {
            server->Login = Text(SQLLogin_);
            server->Password = Text(SQLPassword_);
        }
        server->Connect(Text(Server_));
        sqldmo::DatabasePtr database;
        for (const sqldmo::DatabasePtr& d : server->Databases()) {
            if (d->Name() == Text(SQLDatabaseName_)) {
                database = d;
                break;
            }
        }
        if (!database)
            throw vb::ComError(vb::kErrItemNotFound, "Database '" + Text(SQLDatabaseName_) +
                                                         "' does not exist on server " + Text(Server_) + ".");
        scanner.setActiveDMODatabase(database);
        scanner.DBType = 1;
        for (const sqldmo::View& view : database->Views()) AddViewNode(scanner, node, view.Name, view.Text);
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
}

}  // namespace tolvaran
