// The source-database dialog's back-end tabs: the connection test on each tab against real
// sources with the lights it leaves, the connection strings with awkward values, the tree of
// views, the login captions, the folder browser and the ODBC data-source file.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>

#include "platform/ado/driver.h"
#include "platform/ado/odbc_driver.h"
#include "select_database_fixture.h"
#include "store/cls_registry.h"
#include "support/corpus.h"

using namespace tolvaran;

namespace {

class SelectDatabaseTabs : public test::SelectDatabaseFixture {
  protected:
    void SetBox(QWidget& dialog, const char* name, const std::string& text) {
        Find<QLineEdit>(dialog, name)->setText(QString::fromStdString(text));
    }
    std::string Box(QWidget& dialog, const char* name) {
        return Find<QLineEdit>(dialog, name)->text().toStdString();
    }
    // The shown lights of elements 2, 3 and 4 ("g", "y", "r" or "-" each).
    std::string TabLights(QWidget& dialog) {
        std::string out;
        for (int i = 2; i <= 4; ++i) {
            char c = '-';
            for (const char* colour : {"Green", "Yellow", "Red"}) {
                const QString name = QStringLiteral("im%1TrafficLight(%2)").arg(QLatin1String(colour)).arg(i);
                if (!dialog.findChild<QLabel*>(name)->isHidden())
                    c = static_cast<char>(std::tolower(colour[0]));
            }
            out += c;
        }
        return out;
    }
    // Runs the test button on tab n; the messages it showed.
    std::vector<ui::RecordingPrompt::Shown> Test(SelectDatabase& dialog, int tab) {
        dialog.ActiveTabs()->setCurrentIndex(tab - 1);
        prompt_.messages.clear();
        dialog.cmdTestConnect_Click();
        return prompt_.messages;
    }
    static bool Succeeded(const std::vector<ui::RecordingPrompt::Shown>& shown) {
        return shown.size() == 1 && shown[0].prompt == "Connection successfull" &&
               shown[0].title == "Test Connection" && shown[0].buttons == ui::vbInformation;
    }
    // One message: the failure and the provider's reason.
    static bool Failed(const std::vector<ui::RecordingPrompt::Shown>& shown) {
        const std::string head = "Connnection was un-successfull\r\n";
        return shown.size() == 1 && shown[0].title == "Connection Test" &&
               shown[0].buttons == ui::vbExclamation && shown[0].prompt.rfind(head, 0) == 0 &&
               shown[0].prompt.size() > head.size();
    }
    // An added front end (own tables only) with its file selected in the Access list.
    std::unique_ptr<SelectDatabase> AddedAccessFile(const std::string& file) {
        files_.Choose(file);
        auto dialog = Open("", true);
        auto* list = Find<QListWidget>(*dialog, "lstAccess");
        EXPECT_EQ(list->count(), 1);
        list->setCurrentRow(0);
        return dialog;
    }
};

TEST_F(SelectDatabaseTabs, AccessTabOnAStandInLightsItsOwnLightGreenThenRed) {
    const std::string file = StandIn("front.mdb", "CREATE TABLE Orders (Id INTEGER);");
    auto dialog = AddedAccessFile(file);
    SetBox(*dialog, "AccessLogin", "");
    const auto ok = Test(*dialog, 2);
    EXPECT_TRUE(Succeeded(ok)) << (ok.empty() ? "" : ok[0].prompt);
    EXPECT_EQ(Box(*dialog, "AccessLogin"), "Admin");
    EXPECT_EQ(TabLights(*dialog), "g--");

    std::filesystem::remove(file);
    EXPECT_TRUE(Failed(Test(*dialog, 2)));
    // The tested tab's light turns red, not the SQL Server one.
    EXPECT_EQ(TabLights(*dialog), "r--");
}

TEST_F(SelectDatabaseTabs, AccessTabOnACorpusAccessFile) {
    SKIP_WITHOUT_CORPUS();
    const std::string file = corpus::Path("db/mdbtools__mdbtestdata__nwind.mdb").string();
    auto dialog = AddedAccessFile(file);
    EXPECT_EQ(Find<QListWidget>(*dialog, "lstAccess")->item(0)->text().toStdString(), file);
    EXPECT_TRUE(Succeeded(Test(*dialog, 2)));
    EXPECT_EQ(TabLights(*dialog), "g--");
}

TEST_F(SelectDatabaseTabs, OdbcTabThroughADsnKeepsAPasswordHoldingSemicolonAndEquals) {
    testodbc::MakeSqlite(testodbc::SalesDb(), "CREATE TABLE Orders (Id INTEGER);");
    auto dialog = AddedAccessFile(StandIn("front.mdb", "CREATE TABLE Orders (Id INTEGER);"));
    SetBox(*dialog, "DSN", "TolvaranSales");
    SetBox(*dialog, "ODBCLogin", "report");
    // Pasted as it stands, this password would end at its ";" and add an attribute "q".
    const std::string password = "p;q=r";
    SetBox(*dialog, "ODBCPassword", password);
    const std::string text = dialog->ConnectionStringForTab(4);
    EXPECT_EQ(text, "DSN=TolvaranSales;User ID=report;Password={p;q=r}");
    EXPECT_EQ(ado::ConnectionText::Read(text).Get({"Password"}), password);
    EXPECT_FALSE(ado::ConnectionText::Read(text).Has("q"));
    const auto ok = Test(*dialog, 4);
    EXPECT_TRUE(Succeeded(ok)) << (ok.empty() ? "" : ok[0].prompt);
    EXPECT_EQ(TabLights(*dialog), "--g");

    SetBox(*dialog, "DSN", "NoSuchDsn");
    EXPECT_TRUE(Failed(Test(*dialog, 4)));
    EXPECT_EQ(TabLights(*dialog), "--r");

    // Without a DSN the string starts with the login; with NT authentication, without it.
    SetBox(*dialog, "DSN", "");
    EXPECT_EQ(dialog->ConnectionStringForTab(4), ";User ID=report;Password={p;q=r}");
    Find<QCheckBox>(*dialog, "ODBCUseNTAuth")->setChecked(true);
    EXPECT_EQ(dialog->ConnectionStringForTab(4), ";Integrated Security=SSPI");
    EXPECT_FALSE(Find<QLineEdit>(*dialog, "ODBCLogin")->isEnabled());
}

// What Test Connect tried is what a conversion's link opens: the driver gets the same text.
TEST_F(SelectDatabaseTabs, OdbcLinkReachesTheDriverAsTestConnectDoes) {
    testodbc::MakeSqlite(testodbc::SalesDb(), "CREATE TABLE Orders (Id INTEGER);");
    auto dialog = AddedAccessFile(StandIn("front.mdb", "CREATE TABLE Orders (Id INTEGER);"));
    clsLink link;
    link.LinkType = kLinkOdbc;
    link.DSN = "TolvaranSales";
    link.UserId = "report";
    link.Password = "a;b=c";
    SetBox(*dialog, "DSN", link.DSN);
    SetBox(*dialog, "ODBCLogin", link.UserId);
    SetBox(*dialog, "ODBCPassword", link.Password);
    const std::string text = dialog->ConnectionStringForTab(4);
    EXPECT_EQ(ado::OdbcDriverConnectionString(link.ConnectionString()),
              ado::OdbcDriverConnectionString(text));
    EXPECT_EQ(ado::OdbcDriverConnectionString(text), "DSN=TolvaranSales;UID=report;PWD={a;b=c}");
    // Both open, and the driver reports the same attributes for them.
    const auto tested = ado::OpenConnection(text, ctx_.connections);
    ASSERT_TRUE(link.openConnection(prompt_, ctx_.connections));
    EXPECT_EQ(link.db()->ConnectionString(), tested->ConnectionString());
}

TEST_F(SelectDatabaseTabs, SqlServerTabThroughTheRegistryTemplate) {
    test::WriteFile(folder_ / "registry.reg",
                    "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\SQLServer]\n"
                    "\"OdbcTemplate\"=\"Driver=SQLite3;Database={database}\"\n");
    registry::RegistryFile registry((folder_ / "registry.reg").string());
    ApplySqlServerOdbcTemplate(registry, ctx_.connections);
    testodbc::MakeSqlite(testodbc::StockDb(), "CREATE TABLE Items (Id INTEGER);");
    auto dialog = AddedAccessFile(StandIn("front.mdb", "CREATE TABLE Orders (Id INTEGER);"));
    SetBox(*dialog, "Server", "srv");
    SetBox(*dialog, "SQLDatabaseName", testodbc::StockDb());
    SetBox(*dialog, "SQLLogin", "sa");
    const std::string password = "x\";Initial Catalog=elsewhere";
    SetBox(*dialog, "SQLPassword", password);
    const auto spec = ado::ConnectionText::Read(dialog->ConnectionStringForTab(3));
    EXPECT_EQ(spec.Get({"Password"}), password);
    EXPECT_EQ(spec.Get({"Database"}), testodbc::StockDb());
    const auto ok = Test(*dialog, 3);
    EXPECT_TRUE(Succeeded(ok)) << (ok.empty() ? "" : ok[0].prompt);
    EXPECT_EQ(TabLights(*dialog), "-g-");

    // The General tab tries the same settings and lights nothing.
    EXPECT_TRUE(Succeeded(Test(*dialog, 1)));
    EXPECT_EQ(TabLights(*dialog), "-g-");

    SetBox(*dialog, "SQLDatabaseName", (folder_ / "missing" / "none.db").string());
    EXPECT_TRUE(Failed(Test(*dialog, 3)));
    EXPECT_EQ(TabLights(*dialog), "-r-");
    Find<QCheckBox>(*dialog, "sqlUseNTAuth")->setChecked(true);
    EXPECT_EQ(dialog->ConnectionStringForTab(3).find(";Integrated Security=SSPI") != std::string::npos, true);
}

TEST_F(SelectDatabaseTabs, NtAuthenticationGreysTheSqlLoginAndWritesTheProjectLink) {
    const std::string project =
        Project("p.adp", "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=Sales;UID=sa");
    files_.Choose(project);
    auto dialog = Open("", true);
    auto* nt = Find<QCheckBox>(*dialog, "sqlUseNTAuth");
    auto* login = Find<QLabel>(*dialog, "lblLogin(0)");
    nt->setChecked(true);
    EXPECT_FALSE(Find<QGroupBox>(*dialog, "frmSQLLogin")->isEnabled());
    EXPECT_FALSE(login->isEnabled());
    EXPECT_EQ(login->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_TRUE(window_->gLinks().GetDataProjectLink()->UseNTAuth);
    nt->setChecked(false);
    EXPECT_TRUE(Find<QGroupBox>(*dialog, "frmSQLLogin")->isEnabled());
    EXPECT_TRUE(login->isEnabled());
    EXPECT_EQ(login->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_FALSE(window_->gLinks().GetDataProjectLink()->UseNTAuth);
    // The boxes write the project's link as they change.
    SetBox(*dialog, "Server", "other");
    EXPECT_EQ(window_->gLinks().GetDataProjectLink()->Server, "other");
}

TEST_F(SelectDatabaseTabs, TheTreeShowsUnderEachViewTheTablesAndViewsItsTextDrawsOn) {
    const std::string other =
        StandIn("other.mdb", "CREATE TABLE Stock (Id INTEGER); CREATE VIEW vStock AS SELECT * FROM Stock;");
    const std::string front =
        StandIn("front.mdb",
                "CREATE TABLE Orders (Id INTEGER, CustomerId INTEGER); CREATE TABLE Customers (Id INTEGER);"
                "CREATE VIEW vOrders AS SELECT * FROM Orders;"
                "CREATE VIEW vJoined AS SELECT * FROM vOrders INNER JOIN Customers ON vOrders.CustomerId = "
                "Customers.Id;"
                "CREATE VIEW vNothing AS SELECT 1 AS One;"
                "CREATE TABLE \"Order Details\" (Id INTEGER);"
                "CREATE VIEW vDetails AS SELECT * FROM [Order Details];");
    testodbc::MakeSqlite(testodbc::StockDb(), "CREATE TABLE Items (Id INTEGER);");
    ctx_.connections.sqlServerOdbcTemplate = "Driver=SQLite3;Database={database}";
    dmo_.servers = {"srv"};
    dmo_.AddDatabase("srv", "master");
    dmo_.AddDatabase("srv", testodbc::StockDb(), {{"vItems", "select * from items"}});
    // An entry with one link of each kind.
    ctx_.gDb->Execute("INSERT INTO DatabaseList (ReportDatabase) VALUES (?)", {front});
    ado::Recordset rs;
    rs.Open("SELECT MAX(DatabaseListId) AS k FROM DatabaseList", ctx_.gDb);
    const long id = static_cast<long>(rs["k"].ToLong());
    rs.Close();
    const auto row = [&](const std::string& name, long kind, const std::string& file,
                         const std::string& server, const std::string& database) {
        ctx_.gDb->Execute(
            "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, BackEndType, LinkDatabase, Server, "
            "SQLDatabaseName) VALUES (?, ?, ?, ?, ?, ?)",
            {id, name, kind, file, server, database});
    };
    row("INTERNAL", 0, front, "", "");
    row("tblStock", 2, other, "", "");
    row("dbo_Sales", 3, "ODBC;DSN=TolvaranSales", "", "");
    row(testodbc::StockDb(), 4, "", "srv", testodbc::StockDb());
    auto dialog = Open(std::to_string(id), false);
    ASSERT_TRUE(dialog->LoadTablesTreeView()) << prompt_.messages.back().prompt;
    ASSERT_TRUE(dialog->LoadTablesTreeView());  // a second fill replaces the first
    EXPECT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;

    auto* tree = Find<QTreeWidget>(*dialog, "dxTreeList1");
    EXPECT_EQ(tree->headerItem()->text(0).toStdString(), "Table/View");
    // Each node as "view: table table ..." under its top node.
    std::vector<std::string> shown;
    for (int t = 0; t < tree->topLevelItemCount(); ++t) {
        QTreeWidgetItem* top = tree->topLevelItem(t);
        shown.push_back("[" + top->text(0).toStdString() + "]");
        for (int v = 0; v < top->childCount(); ++v) {
            std::string line = top->child(v)->text(0).toStdString() + ":";
            for (int g = 0; g < top->child(v)->childCount(); ++g)
                line += " " + top->child(v)->child(g)->text(0).toStdString();
            shown.push_back(line);
        }
    }
    std::vector<std::string> expected = {"[" + front + "]",
                                         "vJoined: vorders customers",
                                         "vNothing:",
                                         "vDetails: order details",  // one table, not "[order" and "details]"
                                         "vOrders: orders",
                                         "[" + other + "]",
                                         "vStock: stock",
                                         "[srv." + testodbc::StockDb() + "]",
                                         "vItems: items"};
    // The catalog lists views in its own order; compare each top node's block as a set.
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected);
}

TEST_F(SelectDatabaseTabs, PickersFolderBrowserAndTheOdbcDataSourceFile) {
    auto dialog = AddedAccessFile(StandIn("front.mdb", "CREATE TABLE Orders (Id INTEGER);"));
    files_.folderScript.push_back(std::string("/srv/reports"));
    dialog->cmdExportPath_Click();
    ASSERT_EQ(files_.folderRequests.size(), 1u);
    EXPECT_EQ(files_.folderRequests[0].prompt,
              "Select a path for your converted reports to go to, Please choose a folder and click OK");
    EXPECT_EQ(files_.folderRequests[0].options, 1);
    EXPECT_EQ(Box(*dialog, "ConvertedReportsPath"), "/srv/reports");
    dialog->cmdExportPath_Click();  // cancelled: the path stays
    EXPECT_EQ(Box(*dialog, "ConvertedReportsPath"), "/srv/reports");

    files_.Choose("/data/security.mdw");
    dialog->cmdGetSecurityFile_Click();
    EXPECT_EQ(files_.fileRequests.back().title, "Select an Access Security file ( *.mdw )");
    EXPECT_EQ(Box(*dialog, "SecurityFile"), "/data/security.mdw");
    files_.Cancel();
    dialog->cmdGetTablesDB_Click();
    EXPECT_EQ(files_.fileRequests.back().title, "Select an Access Database");

    // The ODBC administrator's counterpart: the user's data-source file, made when missing.
    const std::string saved = std::getenv("ODBCINI");
    const std::string ini = (folder_ / "user-odbc.ini").string();
    ::setenv("ODBCINI", ini.c_str(), 1);
    dialog->cmdODBCSources_Click();
    ::setenv("ODBCINI", saved.c_str(), 1);
    EXPECT_TRUE(std::filesystem::exists(ini));
    EXPECT_EQ(std::filesystem::file_size(ini), 0u);
    ASSERT_FALSE(launcher_.calls.empty());
    EXPECT_EQ(launcher_.calls.back().file, ini);
}

}  // namespace
