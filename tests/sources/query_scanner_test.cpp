#include "sources/query_scanner.h"

#include <gtest/gtest.h>

#include "fake_driver.h"
#include "fixtures.h"
#include "platform/common/vbstring.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

namespace {

using tolvaran::clsInterface;
using tolvaran::TableViewCollection;

std::vector<std::string> Names(const TableViewCollection& c) {
    std::vector<std::string> out;
    for (const auto& t : c) out.push_back(t->Name);
    return out;
}

class Scanner : public ::testing::Test {
  protected:
    void SetUp() override {
        conn = testsrc::FakeConnection(driver);
        scanner.setActiveConnection(conn);
    }
    testsrc::FakeCatalogDriver* driver = nullptr;
    ado::ConnectionPtr conn;
    ui::RecordingPrompt prompt;
    clsInterface scanner{prompt};
};

TEST_F(Scanner, TextsWithoutSelectAddNothing) {
    for (const char* text : {"", "   ", "update t set a = 1", "frobnicate from t"}) {
        scanner.Execute(text);
        EXPECT_EQ(scanner.SQLTables.Count(), 0) << text;
        EXPECT_EQ(scanner.FieldCount, 0) << text;
    }
}

TEST_F(Scanner, ThePartsOwnExample) {
    scanner.Execute("select a, b from t1 inner join t2 on t1.x = t2.x where t1.y = 1 order by a");
    EXPECT_EQ(scanner.FieldCount, 2);
    EXPECT_EQ(scanner.SQLFields(1), "a");
    EXPECT_EQ(scanner.SQLFields(2), "b");
    EXPECT_EQ(scanner.SQLFields(0), "");
    EXPECT_EQ(scanner.SQLFields(3), "");
    EXPECT_EQ(Names(scanner.SQLTables), (std::vector<std::string>{"t1", "t2"}));
    EXPECT_EQ(scanner.SQLWhere, " t1.y = 1");
    EXPECT_EQ(scanner.SQLOrderBy, " a");
    EXPECT_EQ(scanner.SQLGroupBy, "");
    EXPECT_EQ(scanner.TableCount, 0);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Scanner, ClausesKeywordsAliasesAndSeparators) {
    scanner.Execute(
        "SELECT DISTINCT TOP 5 Name, Sum(Amount) FROM [Order Details] AS d, \"Big Table\" "
        "WHERE (d.x = 1) GROUP BY Name ORDER BY Name DESC");
    EXPECT_EQ(scanner.FieldCount, 4);  // 5, name, sum, amount
    EXPECT_EQ(scanner.SQLFields(3), "sum");
    // A bracketed or quoted name is one table even with blanks in it, named without its quotes;
    // an alias is no table.
    EXPECT_EQ(Names(scanner.SQLTables), (std::vector<std::string>{"order details", "big table"}));
    EXPECT_EQ(scanner.SQLWhere, " (d.x = 1)");
    EXPECT_EQ(scanner.SQLGroupBy, " name");
    EXPECT_EQ(scanner.SQLOrderBy, " name desc");

    // A second scan adds to what the first found; fields start again.
    scanner.Execute("select z from t9");
    EXPECT_EQ(scanner.SQLTables.Count(), 3);
    EXPECT_EQ(scanner.FieldCount, 1);
    EXPECT_EQ(scanner.SQLTables.Item(2L)->Name, "big table");
    EXPECT_EQ(scanner.SQLTables.Item(" T9 ")->Name, "t9");
    EXPECT_EQ(scanner.SQLTables.Item("nothing"), nullptr);
    EXPECT_EQ(scanner.SQLTables.Item(4L), nullptr);
    EXPECT_EQ(scanner.SQLTables.Item(0L), nullptr);
}

TEST_F(Scanner, AliasesAreNoTables) {
    const struct {
        const char* sql;
        std::vector<std::string> tables;
    } cases[] = {
        {"SELECT [Product List].ProductID FROM Products AS [Product List] WHERE "
         "((([Product List].Discontinued)=No)) ORDER BY [Product List].ProductName;",
         {"products"}},
        {"select * from orders o, customers c where o.id = c.id", {"orders", "customers"}},
        {"SELECT * FROM (Orders AS O INNER JOIN [Order Details] AS D ON O.Id = D.Id) LEFT JOIN Products P "
         "ON D.P = P.Id",
         {"orders", "order details", "products"}},
    };
    for (const auto& c : cases) {
        clsInterface one(prompt);
        one.Execute(c.sql);
        EXPECT_EQ(Names(one.SQLTables), c.tables) << c.sql;
    }
}

TEST_F(Scanner, ViewsAreFollowedAtAnyDepth) {
    driver->viewList = {
        {"qryTop", "SELECT * FROM qryMiddle INNER JOIN Regions ON qryMiddle.r = Regions.r"},
        {"QRYMIDDLE", "SELECT o.* FROM qryBottom o"},
        {"qryBottom", "SELECT * FROM Orders WHERE Amount > 0"},
    };
    scanner.Execute("select * from qrytop where x = 1");
    ASSERT_EQ(scanner.SQLTables.Count(), 1);
    auto top = scanner.SQLTables.Item(1L);
    EXPECT_EQ(top->SQLSource, driver->viewList[0].commandText);
    EXPECT_EQ(Names(top->Children), (std::vector<std::string>{"qrymiddle", "regions"}));
    auto middle = top->Children.Item(1L);
    EXPECT_EQ(Names(middle->Children), (std::vector<std::string>{"qrybottom"}));
    auto bottom = middle->Children.Item(1L);
    EXPECT_EQ(Names(bottom->Children), (std::vector<std::string>{"orders"}));
    EXPECT_EQ(bottom->Children.Item(1L)->SQLSource, "");
    EXPECT_EQ(scanner.SQLWhere, " x = 1");  // clause words come from the outer text only
    EXPECT_TRUE(scanner.Cycles().empty());
}

TEST_F(Scanner, ViewsThatDrawOnThemselvesStopAndAreLogged) {
    driver->viewList = {
        {"vSelf", "SELECT * FROM vSelf"},
        {"vA", "SELECT * FROM vB"},
        {"vB", "SELECT * FROM Orders, vA"},
    };
    std::vector<std::string> reported;
    scanner.setCycleReporter([&](const std::string& line) { reported.push_back(line); });
    scanner.Execute("select * from vself, va");
    ASSERT_EQ(scanner.SQLTables.Count(), 2);
    auto self = scanner.SQLTables.Item(1L);
    ASSERT_EQ(self->Children.Count(), 1);
    EXPECT_EQ(self->Children.Item(1L)->SQLSource, "SELECT * FROM vSelf");
    EXPECT_EQ(self->Children.Item(1L)->Children.Count(), 0);
    auto b = scanner.SQLTables.Item(2L)->Children.Item(1L);
    EXPECT_EQ(Names(b->Children), (std::vector<std::string>{"orders", "va"}));
    EXPECT_EQ(b->Children.Item(2L)->Children.Count(), 0);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1], "View va draws on itself (va -> vb -> va); not followed again.");
    EXPECT_EQ(scanner.Cycles(), reported);

    // The same view twice side by side is no cycle.
    clsInterface again(prompt);
    again.setActiveConnection(conn);
    again.Execute("select * from vb, vb");
    EXPECT_EQ(again.SQLTables.Count(), 2);
    EXPECT_EQ(again.Cycles().size(), 2u);  // each vb -> va -> vb
}

// Views that draw on views deeper than the Access SQL engine's 200 levels, or that each read
// the next twice (a tree that doubles at every level), end the scan with an error saying so,
// without exhausting the stack or scanning without end.
TEST_F(Scanner, ViewChainsTooDeepOrTooWideEndTheScanWithAnError) {
    struct Case {
        int views;
        const char* from;    // what view i reads, {} standing for the next view's name
        const char* reason;  // "" when the scan completes
    } cases[] = {
        {15000, "{}",
         "Query is too complex: its views draw on views more than 200 deep (v0 -> ... -> v199 -> v200)."},
        {200, "{}", ""},
        {60, "{} a, {} b",
         "Query is too complex: with the views it draws on, it reads more than 100000 tables and views."},
    };
    for (const Case& c : cases) {
        driver->viewList.clear();
        for (int i = 0; i < c.views; ++i) {
            const std::string next = i + 1 < c.views ? "v" + std::to_string(i + 1) : "Orders";
            driver->viewList.push_back(
                {"v" + std::to_string(i), "SELECT * FROM " + vb::Replace(c.from, "{}", next)});
        }
        clsInterface s(prompt);
        s.setActiveConnection(conn);
        try {
            s.Execute("SELECT * FROM v0");
            EXPECT_STREQ(c.reason, "") << c.views;
            // 200 views deep, and the table under the last.
            auto entry = s.SQLTables.Item(1L);
            for (int depth = 1; depth < 200; ++depth) entry = entry->Children.Item(1L);
            EXPECT_EQ(entry->Name, "v199");
            EXPECT_EQ(Names(entry->Children), (std::vector<std::string>{"orders"}));
        } catch (const vb::ComError& e) {
            EXPECT_EQ(e.Description(), c.reason) << c.views;
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Scanner, ViewsOfASqliteStandIn) {
    testsrc::TempFolder folder;
    testodbc::MakeSqlite(folder.file("front.mdb"),
                         "CREATE TABLE Orders (Id INTEGER, CustomerId INTEGER);"
                         "CREATE TABLE Customers (Id INTEGER, Name TEXT);"
                         "CREATE VIEW qryCustomers AS SELECT Name, Id FROM Customers;"
                         "CREATE VIEW qryOrders AS SELECT * FROM Orders INNER JOIN qryCustomers ON "
                         "Orders.CustomerId = qryCustomers.Id;");
    clsInterface s(prompt);
    s.setActiveConnection(
        ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.file("front.mdb")));
    s.setSQLString("SELECT qryOrders.Name FROM qryOrders");
    ASSERT_EQ(s.SQLTables.Count(), 1);
    auto orders = s.SQLTables.Item(1L);
    EXPECT_EQ(Names(orders->Children), (std::vector<std::string>{"orders", "qrycustomers"}));
    EXPECT_EQ(Names(orders->Children.Item(2L)->Children), (std::vector<std::string>{"customers"}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Scanner, SqlDmoViewsWithTheOwnerRemoved) {
    sqldmo::FakeFactory dmo;
    dmo.AddDatabase("srv", "Sales", {{"vSales", "CREATE VIEW dbo.vSales AS SELECT * FROM dbo.Orders"}});
    auto server = dmo.CreateSQLServer();
    server->Connect("srv");
    scanner.DBType = 1;
    scanner.setActiveDMODatabase(server->Databases()[0]);
    scanner.Execute("SELECT * FROM dbo.vSales");
    auto v = scanner.SQLTables.Item(1L);
    EXPECT_EQ(v->SQLSource, "CREATE VIEW dbo.vSales AS SELECT * FROM dbo.Orders");
    EXPECT_EQ(Names(v->Children), (std::vector<std::string>{"dbo.orders"}));
}

TEST(ScannerFailures, MissingConnectionAndCatalogErrors) {
    ui::RecordingPrompt prompt;
    clsInterface s(prompt);
    try {
        s.setSQLString("select a from t");
        FAIL();
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), 1000);
        EXPECT_EQ(e.Description(), "Active Connection is nothing.");
    }
    // Execute without a catalog: each name is a table after a "GetViewSource" message.
    s.Execute("select a from t1, t2");
    EXPECT_EQ(s.SQLTables.Count(), 2);
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0].title, "GetViewSource");
}

TEST(ScannerTokens, GetNextTokenPositions) {
    std::string text = "select (a),b";
    long pos = 0;
    EXPECT_EQ(clsInterface::GetNextToken(text, pos, false), "select");
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(clsInterface::GetNextToken(text, pos, true), "(a)");
    EXPECT_EQ(pos, 12);
    EXPECT_EQ(clsInterface::GetNextToken(text, pos, false), "b");
    EXPECT_EQ(pos, 13);
    EXPECT_EQ(clsInterface::GetNextToken(text, pos, false), "");
}

}  // namespace
