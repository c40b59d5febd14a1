#include "sources/connection_settings.h"

#include <gtest/gtest.h>

#include "fixtures.h"
#include "platform/registry/registry_file.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

namespace {

using tolvaran::clsDatabase;

class Settings : public ::testing::Test {
  protected:
    ui::RecordingPrompt prompt;
    sqldmo::FakeFactory dmo;
    tolvaran::clsODBCCollection cache;
    clsDatabase db{prompt, dmo, cache};
    testsrc::RecordingList combo;
};

TEST(SettingsPaths, IsDataProjectLooksAnywhereInThePath) {
    EXPECT_TRUE(clsDatabase::IsDataProject("C:\\x.ADP.bak\\a.mdb"));
    EXPECT_TRUE(clsDatabase::IsDataProject("/data/sales.adp"));
    EXPECT_TRUE(clsDatabase::IsDataProject("/data/sales.Ade"));
    EXPECT_FALSE(clsDatabase::IsDataProject("/data/sales.mdb"));
}

TEST_F(Settings, ServerListFillsTheComboAndShowsIt) {
    dmo.servers = {"alpha", "beta"};
    combo.AddItem("stale");
    EXPECT_TRUE(db.PopulateServerDropDown(combo));
    EXPECT_EQ(combo.items, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_TRUE(combo.visible);

    dmo.servers.clear();
    testsrc::RecordingList empty;
    EXPECT_FALSE(db.PopulateServerDropDown(empty));
    EXPECT_TRUE(empty.visible);

    dmo.missing = true;
    testsrc::RecordingList failed;
    EXPECT_FALSE(db.PopulateServerDropDown(failed));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "PopulateServerDropDown");
}

TEST_F(Settings, DatabasesSkipTheSystemOnesAndCarryTheirPosition) {
    for (const char* n : {"master", "Master", "model", "Sales", "msdb", "tempdb", "temp"})
        dmo.AddDatabase("srv", n);
    db.Server = "srv";
    combo.AddItem("kept");
    db.LoadSQLServerDatabases(combo);
    EXPECT_EQ(combo.items, (std::vector<std::string>{"kept", "Master", "Sales", "temp"}));
    EXPECT_EQ(combo.itemData, (std::vector<long>{0, 2, 4, 7}));
    EXPECT_TRUE(combo.enabled);
    EXPECT_EQ(dmo.login, "");
    EXPECT_FALSE(dmo.loginSecure);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Settings, OnlySystemDatabasesLeaveTheComboEmptyButEnabled) {
    for (const char* n : {"master", "model", "msdb", "tempdb"}) dmo.AddDatabase("srv", n);
    db.Server = "srv";
    db.UseNTLogin = true;
    db.LoadSQLServerDatabases(combo);
    EXPECT_TRUE(combo.items.empty());
    EXPECT_TRUE(combo.enabled);
    EXPECT_TRUE(dmo.loginSecure);
}

TEST_F(Settings, RefusedLoginShowsItsMessage) {
    dmo.refuseLogin = "Login failed for user 'sa'.";
    db.Server = "srv";
    db.UserId = "sa";
    db.Password = "pw";
    db.LoadSQLServerDatabases(combo);
    EXPECT_EQ(dmo.login, "sa");
    EXPECT_EQ(dmo.password, "pw");
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "LoadSQLServerDatabases");
    EXPECT_EQ(prompt.messages[0].prompt, "Login failed for user 'sa'.");
    EXPECT_FALSE(combo.enabled);
}

TEST(SettingsParse, ConnectStringExtractors) {
    const std::string c = "ODBC;DSN=Sales;Database=Orders;server=srv;UID=sa;PWD=secret;APP=Report";
    EXPECT_EQ(clsDatabase::ParseDSN(c), "Sales");
    EXPECT_EQ(clsDatabase::ParseDatabase(c), "Orders");
    EXPECT_EQ(clsDatabase::ParseServer(c), "srv");
    EXPECT_EQ(clsDatabase::ParseUserId(c), "sa");
    EXPECT_EQ(clsDatabase::ParsePassword(c), "secret");
    EXPECT_EQ(clsDatabase::Parse(c, "app="), "Report");
    EXPECT_EQ(clsDatabase::ParseUserId("DSN=x;UserId=bob;UID=sa"), "bob");
    EXPECT_EQ(clsDatabase::ParseServer("DSN=x"), "");
    // A key counts only as the name of an attribute, never inside a name or a braced value.
    const std::string driver = "DRIVER={SQL Server};DATABASE=Sales;SERVER=srv1";
    EXPECT_EQ(clsDatabase::ParseServer(driver), "srv1");
    EXPECT_EQ(clsDatabase::ParseDatabase(driver), "Sales");
    EXPECT_EQ(clsDatabase::Parse(driver, "driver"), "SQL Server");
    EXPECT_EQ(clsDatabase::ParseServer("DRIVER={SQL Server;SERVER=x};Server=real"), "real");
    EXPECT_EQ(clsDatabase::ParseDSN("ODBC;DATABASE=DSNless;SERVER=s"), "");
    EXPECT_EQ(clsDatabase::ParseDatabase("ODBC;MYDATABASE=a;database=b"), "b");
}

TEST_F(Settings, OdbcChainCachesConfirmedSettingsAndLogsFailures) {
    testsrc::ErrorLogRecorder log;
    db.setErrorLogWriter(log.writer());
    int dialogs = 0;
    db.setOdbcDialog([&](clsDatabase& self) {
        ++dialogs;
        self.UseDsn = false;
    });
    // Incomplete settings are left as they are.
    EXPECT_TRUE(db.ParseODBCLink("ODBC;DSN=Sales;UID=sa"));
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(dialogs, 0);

    // Complete settings that do not connect: CheckConn logs, the dialog is shown until the
    // connection opens (here the dialog switches to a template the SQLite driver accepts).
    testodbc::UsePrivateIni();
    testodbc::MakeSqlite(testodbc::SalesDb(), "CREATE TABLE t (a INTEGER);");
    ado::ConnectionOptions options;
    options.sqlServerOdbcTemplate = "Driver=NoSuchDriver";
    db.setConnectionOptions(options);
    db.setOdbcDialog([&](clsDatabase& settings) {
        ++dialogs;
        options.sqlServerOdbcTemplate = "Driver=SQLite3;Database=" + testodbc::SalesDb();
        settings.setConnectionOptions(options);
    });
    db.ParseODBCLink("ODBC;SERVER=srv;DATABASE=Sales;UID=sa;PWD=pw");
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(log.rows.size(), 1u);
    EXPECT_EQ(log.rows[0].formula, "CheckConn");
    EXPECT_EQ(log.rows[0].crystal, "2");
    EXPECT_TRUE(db.CheckODBCCol("srvSales"));
    EXPECT_FALSE(db.CheckODBCCol("Sales"));
    EXPECT_EQ(cache.Item(1L)->Server, "srv");
}

TEST(SettingsItems, OdbcItemKeepsItsFlagAsText) {
    tolvaran::clsODBCItem item;
    EXPECT_FALSE(item.IsSQLServer());
    item.setIsSQLServer(true);
    EXPECT_TRUE(item.IsSQLServer());
    tolvaran::clsODBCCollection c;
    c.Add(std::make_shared<tolvaran::OdbcSettings>(), "Sales");
    EXPECT_THROW(c.Add(std::make_shared<tolvaran::OdbcSettings>(), "SALES"), vb::ComError);
    EXPECT_EQ(c.Item("nope"), nullptr);
    c.RemoveAll();
    EXPECT_EQ(c.Count(), 0);
}

TEST(SqlDmoRegistry, ServerListFromTheRegistryFile) {
    testsrc::TempFolder folder;
    registry::RegistryFile reg(folder.file("registry.reg"));
    EXPECT_TRUE(sqldmo::ServersFromRegistry(reg).empty());
    reg.Parse(
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\SQLServer]\n"
        "\"Servers\"=hex(7):61,6c,70,68,61,00,62,2d,32,00,00\n");
    EXPECT_EQ(sqldmo::ServersFromRegistry(reg), (std::vector<std::string>{"alpha", "b-2"}));
    sqldmo::OdbcFactory factory(sqldmo::ServersFromRegistry(reg));
    EXPECT_EQ(factory.CreateApplication()->ListAvailableSQLServers().size(), 2u);
}

TEST(SqlDmoOdbc, AnUnreachableServerFailsWithAnError) {
    ado::ConnectionOptions options;
    options.sqlServerOdbcTemplate = "Driver=NoSuchDriver;Server={server}";
    sqldmo::OdbcFactory factory({}, options);
    auto server = factory.CreateSQLServer();
    EXPECT_THROW(server->Connect("nowhere"), vb::ComError);
    EXPECT_THROW(server->Databases(), vb::ComError);
}

}  // namespace
