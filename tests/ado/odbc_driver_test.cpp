#include "platform/ado/odbc_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ado/odbc_env.h"
#include "platform/ado/ado.h"

namespace {

struct StringCase {
    const char* in;
    const char* out;
};

TEST(OdbcConnectionString, AdoStyleStringsBecomeDriverManagerStrings) {
    const StringCase cases[] = {
        {"ODBC;DSN=Sales;UID=sa;PWD=;APP=Report", "DSN=Sales;UID=sa;PWD=;APP=Report"},
        {"DSN=Sales;User ID=sa;Password=x", "DSN=Sales;UID=sa;PWD=x"},
        {"DSN=Sales;Integrated Security=SSPI", "DSN=Sales"},
        {";User ID=sa;Password=", "UID=sa;PWD="},
        {"Provider=MSDASQL.1;Driver={SQLite3};Database=/tmp/a.db", "Driver={SQLite3};Database=/tmp/a.db"},
        {"Driver={SQL Server};Server=x;PWD={a;b}}c}", "Driver={SQL Server};Server=x;PWD={a;b}}c}"},
        {"DSN=x;PWD=\"a;b\"", "DSN=x;PWD={a;b}"},
        {"DSN=x;User ID='O''Neil';Password=\"a;b=c\"", "DSN=x;UID=O'Neil;PWD={a;b=c}"},
    };
    for (const auto& c : cases) EXPECT_EQ(ado::OdbcDriverConnectionString(c.in), c.out) << c.in;
}

TEST(OdbcConnectionString, BracedValuesStayWhole) {
    const ado::ConnectionText text =
        ado::ConnectionText::Read("Driver={My; Driver};Server = srv ;;PWD={x}}y}");
    ASSERT_EQ(text.Parts().size(), 4u);
    EXPECT_EQ(text.Get({"Driver"}), "My; Driver");
    EXPECT_EQ(text.Parts()[1].key, "Server ");
    EXPECT_EQ(text.Get({"server"}), "srv");
    EXPECT_FALSE(text.Parts()[2].hasValue);
    EXPECT_EQ(text.Get({"PWD"}), "x}y");
    EXPECT_EQ(ado::OdbcDriverConnectionString(text.Text()), "Driver={My; Driver};Server=srv;PWD={x}}y}");
}

class OdbcRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        testodbc::UsePrivateIni();
        testodbc::MakeSqlite(testodbc::SalesDb(),
                             "CREATE TABLE Orders (OrderId INTEGER PRIMARY KEY, Customer VARCHAR(50), "
                             "Amount DOUBLE, Shipped TIMESTAMP, Paid BIT);"
                             "INSERT INTO Orders VALUES (1, 'Ann', 12.5, '2004-03-01 10:20:30', 1);"
                             "CREATE TABLE Customers (Name VARCHAR(50));"
                             "CREATE VIEW qryBig AS SELECT * FROM Orders WHERE Amount > 10;");
    }
    ado::ConnectionPtr open(const std::string& text) {
        auto c = std::make_shared<ado::Connection>();
        c->Open(text);
        return c;
    }
};

TEST_F(OdbcRoundTrip, BoundValuesSurviveQuotesAndNull) {
    auto conn = open("DSN=TolvaranSales;User ID=;Password=");
    EXPECT_EQ(conn->State(), ado::adStateOpen);
    conn->Execute(
        "INSERT INTO Orders (OrderId, Customer, Amount, Shipped, Paid) VALUES (?, ?, ?, ?, ?)",
        {2, "O'Brien \"Jr\"; DROP", vb::Variant::null(), vb::Date::FromParts(2005, 1, 2, 3, 4, 5), false});
    ado::Recordset rs;
    rs.Open("SELECT OrderId, Customer, Amount, Shipped, Paid FROM Orders WHERE Customer = ?", conn,
            ado::adOpenStatic, ado::adLockReadOnly, {"O'Brien \"Jr\"; DROP"});
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs["OrderId"].ToLong(), 2);
    EXPECT_TRUE(rs["Amount"].IsNull());
    int y, mo, d, h, mi, s;
    rs["Shipped"].ToDate().ToParts(y, mo, d, h, mi, s);
    EXPECT_EQ(y * 10000 + mo * 100 + d, 20050102);
    EXPECT_EQ(h * 10000 + mi * 100 + s, 30405);
    EXPECT_FALSE(rs["Paid"].ToBool());
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
}

TEST_F(OdbcRoundTrip, CatalogListsTablesViewsAndColumns) {
    auto conn = open("DSN=TolvaranSales");
    auto& drv = conn->driver();
    EXPECT_EQ(drv.kind(), ado::EngineKind::Odbc);
    auto tables = drv.tables();
    auto find = [&](const std::string& n) {
        return std::find_if(tables.begin(), tables.end(),
                            [&](const ado::TableInfo& t) { return t.name == n; });
    };
    ASSERT_NE(find("Orders"), tables.end());
    EXPECT_EQ(find("Orders")->type, "TABLE");
    ASSERT_NE(find("qryBig"), tables.end());
    EXPECT_EQ(find("qryBig")->type, "VIEW");

    auto views = drv.views();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].name, "qryBig");
    EXPECT_EQ(views[0].commandText, "SELECT * FROM Orders WHERE Amount > 10");

    auto cols = drv.columns("Orders");
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_EQ(cols[1].name, "Customer");
    EXPECT_EQ(cols[2].type, ado::adDouble);

    EXPECT_NO_THROW(drv.procedures());
}

TEST_F(OdbcRoundTrip, SavedQueryBecomesAView) {
    auto conn = open("Driver=SQLite3;Database=" + testodbc::SalesDb());
    conn->driver().saveQuery("qry Ann's", "SELECT Customer FROM Orders", false);
    conn->driver().saveQuery("qry Ann's", "SELECT OrderId FROM Orders", true);
    auto views = conn->driver().views();
    auto it = std::find_if(views.begin(), views.end(), [](const auto& v) { return v.name == "qry Ann's"; });
    ASSERT_NE(it, views.end());
    EXPECT_EQ(it->commandText, "SELECT OrderId FROM Orders");
}

// A SQL Server string goes through the template of the options its connection was opened
// with: two runs' options side by side in one process do not disturb each other.
TEST_F(OdbcRoundTrip, SqlServerProviderGoesThroughTheTemplateOfItsOptions) {
    const std::string text =
        "Provider=SQLOLEDB.1;Data Source=srv;Database=" + testodbc::SalesDb() + ";User ID=sa;Password=";
    ado::ConnectionOptions sqlite, missing;
    sqlite.sqlServerOdbcTemplate = "Driver=SQLite3;Database={database};UID={user};PWD={password}";
    missing.sqlServerOdbcTemplate = "Driver=NoSuchDriver;Server={server}";
    auto first = ado::OpenConnection(text, sqlite);
    EXPECT_THROW(ado::OpenConnection(text, missing), vb::ComError);
    auto second = ado::OpenConnection(text, sqlite);
    for (const ado::ConnectionPtr& conn : {first, second}) {
        ado::Recordset rs;
        rs.Open("SELECT Customer FROM Orders WHERE OrderId = ?", conn, ado::adOpenStatic, ado::adLockReadOnly,
                {1});
        EXPECT_EQ(rs["Customer"].ToString(), "Ann");
    }
    EXPECT_EQ(ado::ConnectionOptions().sqlServerOdbcTemplate, ado::kDefaultSqlServerOdbcTemplate);
}

// A value in quotes (ADO) or braces reaches the driver as the value it stands for, on a
// driver's own string and through the SQL Server template alike.
TEST_F(OdbcRoundTrip, QuotedValuesReachTheDriverAsTheirValues) {
    ado::ConnectionOptions options;
    options.sqlServerOdbcTemplate = "Driver=SQLite3;Database={database};UID={user};PWD={password}";
    const std::string file = testodbc::SalesDb();
    const std::string texts[] = {
        "Driver=SQLite3;Database=\"" + file + "\"",
        "Provider=SQLOLEDB.1;Data Source=srv;Database=\"" + file + "\";User ID=sa",
        "Provider=SQLOLEDB.1;Data Source=srv;Database={" + file + "};User ID='sa'",
    };
    for (const std::string& text : texts) {
        try {
            ado::Recordset rs;
            rs.Open("SELECT Customer FROM Orders WHERE OrderId = 1", ado::OpenConnection(text, options));
            EXPECT_EQ(rs["Customer"].ToString(), "Ann") << text;
        } catch (const vb::ComError& e) {
            ADD_FAILURE() << text << ": " << e.Description();
        }
    }
}

TEST_F(OdbcRoundTrip, UnknownDsnFailsWithTheDriverManagersText) {
    ado::Connection c;
    try {
        c.Open("DSN=NoSuchDsn;UID=sa");
        FAIL() << "opened";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("Data source name not found"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(c.State(), ado::adStateClosed);
}

TEST_F(OdbcRoundTrip, BadStatementReportsTheDriversError) {
    auto conn = open("DSN=TolvaranSales");
    EXPECT_THROW(conn->Execute("SELECT * FROM NoSuchTable"), vb::ComError);
    EXPECT_EQ(conn->Execute("UPDATE Orders SET Amount = ? WHERE OrderId = ?", {20.0, 1}), 1);
}

}  // namespace

namespace {

TEST_F(OdbcRoundTrip, UpdatableRecordsetWritesBackByKeyAndReadsTheNewKey) {
    auto conn = open("DSN=TolvaranSales");
    auto cols = conn->driver().columns("Orders");
    ASSERT_FALSE(cols.empty());
    EXPECT_TRUE(cols[0].primaryKey);
    EXPECT_TRUE(cols[0].autoIncrement);
    {
        ado::Recordset rs;
        rs.Open("SELECT * FROM Orders", conn, ado::adOpenDynamic, ado::adLockOptimistic);
        rs.AddNew();
        rs.set("Customer", "Bo's");
        rs.Update();
        EXPECT_EQ(rs["OrderId"].ToLong(), 2);
        rs.MoveFirst();
        rs.set("Amount", 99.0);
        rs.Update();
    }
    ado::Recordset check;
    check.Open("SELECT Amount FROM Orders WHERE OrderId = ?", conn, ado::adOpenStatic, ado::adLockReadOnly,
               {1});
    EXPECT_EQ(check["Amount"].ToDouble(), 99.0);
}

}  // namespace
