#include <gtest/gtest.h>

#include <fstream>

#include "fixtures.h"
#include "sources/links_manager.h"
#include "support/recording.h"

namespace {

using tolvaran::clsLink;
using tolvaran::clsManageLinks;
using tolvaran::LinkPtr;

class JetScan : public ::testing::Test {
  protected:
    void SetUp() override {
        testodbc::UsePrivateIni();
        links.setErrorLogWriter(log.writer());
    }
    std::string standIn(const std::string& name, const std::string& sql) {
        std::string file = folder.file(name);
        testodbc::MakeSqlite(file, sql);
        return file;
    }
    bool scan(const std::string& file) { return links.ParseLinks(window, file, "Admin", ""); }

    testsrc::TempFolder folder;
    ui::RecordingPrompt prompt;
    ui::RecordingWindow window;
    testsrc::ErrorLogRecorder log;
    clsManageLinks links{prompt};
};

TEST_F(JetScan, OwnTablesOnlyGiveOneInternalLink) {
    std::string file = standIn("front.mdb",
                               "CREATE TABLE Orders (Id INTEGER); CREATE TABLE Customers (Id INTEGER);"
                               "CREATE VIEW qryOrders AS SELECT * FROM Orders;");
    ASSERT_TRUE(scan(file));
    EXPECT_EQ(window.results, (std::vector<std::string>{"Opening Database:" + file, "Examining Tables...",
                                                        "There are 3 tables", "Processing Tables"}));
    ASSERT_EQ(links.Items().Count(), 1);
    const auto& link = links.Items().Item(1);
    EXPECT_EQ(link->Name, "INTERNAL");
    EXPECT_EQ(link->LinkType, 0);
    EXPECT_EQ(link->LinkDatabase, file);
    EXPECT_EQ(link->Provider, "Microsoft.Jet.OLEDB.4.0");
    EXPECT_TRUE(links.Items().HasKey("Customers"));  // the first table met names the key
    EXPECT_TRUE(links.InternalTablesOnly());
    EXPECT_GT(window.doEvents, 5);
    EXPECT_TRUE(log.rows.empty());
}

TEST_F(JetScan, AFileWithoutTablesMakesNoLinkAndNoCountLine) {
    std::string file = standIn("empty.mdb", "PRAGMA user_version = 0;");
    ASSERT_TRUE(scan(file));
    EXPECT_EQ(window.results, (std::vector<std::string>{"Opening Database:" + file, "Examining Tables...",
                                                        "Processing Tables"}));
    EXPECT_EQ(links.Items().Count(), 0);
}

TEST_F(JetScan, TablesLinkedFromTwoAccessFiles) {
    std::string orders =
        standIn("orders.mdb", "CREATE TABLE Orders (Id INTEGER); CREATE TABLE Lines (Id INTEGER);");
    std::string stock = standIn("stock.mdb", "CREATE TABLE Items (Id INTEGER);");
    std::string file =
        standIn("front.mdb", std::string("CREATE TABLE Local (Id INTEGER);") + testsrc::kMSysObjects +
                                 testsrc::LinkRow("tblLines", orders, "Lines") +
                                 testsrc::LinkRow("tblOrders", orders, "Orders") +
                                 testsrc::LinkRow("tblItems", stock, "Items"));
    ASSERT_TRUE(scan(file));
    EXPECT_EQ(links.Items().Count(), 3);
    EXPECT_EQ(links.InternalTablesCount(), 1);
    EXPECT_EQ(links.AccessLinksCount(), 2);
    auto first = links.Item("tblItems");
    EXPECT_EQ(first->LinkType, 2);
    EXPECT_EQ(first->LinkDatabase, stock);
    EXPECT_EQ(first->Link, "Items");
    auto second = links.GetFirstLink(2);
    EXPECT_EQ(second->Name, "tblItems");
    EXPECT_EQ(links.Item("tblLines")->LinkDatabase, orders);  // the first met of orders.mdb
    EXPECT_EQ(links.Item("tblOrders")->Name, "");

    // The Access link opens the linked file.
    ASSERT_TRUE(links.Item("tblLines")->openConnection(prompt));
    EXPECT_EQ(links.Item("tblLines")->db()->State(), ado::adStateOpen);
}

TEST_F(JetScan, PathsHoldingASemicolonAreScannedAndTheirLinksOpen) {
    std::string orders = standIn("orders; Mode=Read.mdb", "CREATE TABLE Orders (Id INTEGER);");
    std::string file =
        standIn("front;x=1.mdb", std::string("CREATE TABLE Local (Id INTEGER);") + testsrc::kMSysObjects +
                                     testsrc::LinkRow("tblOrders", orders, "Orders"));
    ASSERT_TRUE(scan(file)) << (log.rows.empty() ? "" : log.rows[0].desc);
    ASSERT_EQ(links.Items().Count(), 2);
    for (const LinkPtr& link : {links.GetFirstInternalLink(), links.GetFirstAccessLink()}) {
        EXPECT_EQ(link->LinkDatabase, link->LinkType == 0 ? file : orders);
        EXPECT_TRUE(link->openConnection(prompt)) << link->Name << ": " << prompt.messages[0].prompt;
    }
}

TEST_F(JetScan, OdbcLinksOnePerConnectStringAndTheirDsnIsTested) {
    testodbc::MakeSqlite(testodbc::SalesDb(), "CREATE TABLE Orders (Id INTEGER);");
    const std::string sales = "ODBC;DSN=TolvaranSales;DATABASE=Sales;UID=sa;PWD=;APP=Report";
    const std::string salesUpper = "ODBC;DSN=TolvaranSales;DATABASE=SALES;UID=sa;PWD=;APP=Report";
    std::string file = standIn("front.mdb", std::string(testsrc::kMSysObjects) +
                                                testsrc::OdbcRow("dbo_Orders", sales, "dbo.Orders") +
                                                testsrc::OdbcRow("dbo_Lines", sales, "dbo.Lines") +
                                                testsrc::OdbcRow("dbo_Stock", salesUpper, "dbo.Stock"));
    ASSERT_TRUE(scan(file));
    EXPECT_EQ(links.ODBCLinksCount(), 2);
    EXPECT_EQ(links.InternalTablesCount(), 0);  // MSysObjects is a system table
    auto link = links.Item("dbo_Lines");
    EXPECT_EQ(link->LinkType, 3);
    EXPECT_EQ(link->DSN, "TolvaranSales");
    EXPECT_EQ(link->Database, "Sales");
    EXPECT_EQ(link->UserId, "sa");
    EXPECT_EQ(link->Password, "");
    EXPECT_EQ(link->Provider, "");
    EXPECT_EQ(link->LinkDatabase, sales);
    EXPECT_EQ(links.Item("dbo_Stock")->Database, "SALES");
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages[0].prompt;

    // The ODBC link opens its DSN through unixODBC.
    link->UserId.clear();
    ASSERT_TRUE(link->openConnection(prompt));
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) AS n FROM Orders", link->db());
    EXPECT_EQ(rs["n"].ToLong(), 0);
}

TEST_F(JetScan, AnUnknownDsnShowsTheErrorAndTheScanGoesOn) {
    std::string file = standIn("front.mdb", std::string(testsrc::kMSysObjects) +
                                                testsrc::OdbcRow("t1", "ODBC;DSN=NoSuchDsn", "t1") +
                                                testsrc::OdbcRow("t2", "ODBC;DSN=NoSuchDsn;X=1", "t2"));
    EXPECT_TRUE(scan(file));
    EXPECT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].title, "");
    EXPECT_EQ(links.ODBCLinksCount(), 2);
}

TEST_F(JetScan, AKeyMetInAnEarlierScanStopsTheScan) {
    std::string a = standIn("a.mdb", "CREATE TABLE Orders (Id INTEGER);");
    std::string b = standIn("b.mdb", "CREATE TABLE Orders (Id INTEGER);");
    ASSERT_TRUE(scan(a));
    EXPECT_FALSE(scan(b));
    ASSERT_EQ(log.rows.size(), 1u);
    EXPECT_EQ(log.rows[0].formula, "ParseLinks");
    EXPECT_EQ(log.rows[0].access, "1");
    EXPECT_EQ(log.rows[0].crystal, "1");
    EXPECT_EQ(log.rows[0].report, "");
    EXPECT_EQ(links.InternalTablesCount(), 2);
}

TEST_F(JetScan, AFileThatIsNotADatabaseIsLogged) {
    std::string file = folder.file("notes.mdb");
    std::ofstream(file) << "not a database";
    EXPECT_FALSE(scan(file));
    ASSERT_EQ(log.rows.size(), 1u);
    EXPECT_NE(log.rows[0].desc.find(file), std::string::npos);
    EXPECT_EQ(window.results, (std::vector<std::string>{"Opening Database:" + file}));
}

struct ParseCase {
    const char* text;
    const char* key;
    const char* value;
};

TEST(ConnectParse, ValuesByKey) {
    const ParseCase cases[] = {
        {"ODBC;DSN=Sales;UID=sa;PWD=;APP=Report", "PWD=", ""},
        {"ODBC;DSN=Sales;UID=sa;PWD=;APP=Report", "UID=", "sa"},
        {"ODBC;DSN=Sales;UID=sa;PWD=;APP=Report", "DSN", "Sales"},
        {"ODBC;DSN=Sales;UID=sa", "uid=", "sa"},
        {"ODBC;DSN=Sales;User ID=bob", "USERID=", ""},
        {"ODBC;DSN=Sales;User ID=bob", "UID=", ""},
        {"ODBC;dsn=Mixed Case ;x=1", "DSN", "Mixed Case"},
        // A key counts only as an attribute's name: the same reader as the settings object's.
        {"ODBC;FILEDSN=a.dsn;DSN=real", "DSN", "real"},
        {"ODBC;DSN=x;GUID=abc", "UID=", ""},
        {"Jet OLEDB:Database Password=pw;Data Source=f.mdb", "PASSWORD=", ""},
        {"ODBC;DSN", "DSN", ""},
        {"SERVER=srv", "SERVER=", "srv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clsManageLinks::Parse(c.text, c.key), c.value) << c.text << " " << c.key;
}

TEST(ConnectParse, DataProjectLinkFields) {
    ui::RecordingPrompt prompt;
    clsManageLinks links(prompt);
    struct Case {
        const char* text;
        bool nt;
    } cases[] = {
        {"Provider=Microsoft.Access.OLEDB.10.0;Data Source=srv;Integrated Security=SSPI;Initial "
         "Catalog=Northwind;Data Provider=SQLOLEDB.1",
         true},
        {"PROVIDER=SQLOLEDB;DATA SOURCE=srv;INITIAL CATALOG=Northwind;INTEGRATED SECURITY=False", true},
        {"Provider=SQLOLEDB;Data Source=srv;Initial Catalog=Northwind;User ID=sa;Password=pw", false},
        {"Provider=SQLOLEDB;Data Source=srv;Initial Catalog=Northwind;Integrated Security=;UID=sa", false},
    };
    for (const auto& c : cases) {
        clsLink l;
        l.Link = c.text;
        EXPECT_TRUE(links.ParseLink(l));
        EXPECT_EQ(l.SQLDatabase, "Northwind") << c.text;
        EXPECT_EQ(l.Server, "srv") << c.text;
        EXPECT_EQ(l.UseNTAuth, c.nt) << c.text;
    }
    clsLink l;
    l.Link = "Data Provider=SQLOLEDB.1;DATABASE=db;SERVER=s;UID=u;PWD=p";
    links.ParseLink(l);
    EXPECT_EQ(l.Provider, "SQLOLEDB.1");
    EXPECT_EQ(l.UserId, "u");
    EXPECT_EQ(l.Password, "p");
    EXPECT_EQ(l.SQLDatabase, "db");
}

}  // namespace
