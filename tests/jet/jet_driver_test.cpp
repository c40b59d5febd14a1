// The Jet driver over the sample databases: catalog, columns, rows, the statements it runs
// itself, and refusals of everything that writes.
#include "platform/ado/jet_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jet_support.h"
#include "platform/ado/ado.h"
#include "platform/ado/jet_functions.h"
#include "platform/ado/jet_sql.h"
#include "platform/common/com_error.h"

namespace {

class NwindTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!corpus::Present()) return;
        driver_ = ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb")).release();
    }
    static void TearDownTestSuite() {
        delete driver_;
        driver_ = nullptr;
    }
    static std::vector<std::vector<vb::Variant>> All(const std::string& sql,
                                                     const std::vector<vb::Variant>& params = {}) {
        auto cursor = driver_->query(sql, params);
        std::vector<std::vector<vb::Variant>> rows;
        std::vector<vb::Variant> row;
        while (cursor->next(row)) rows.push_back(row);
        return rows;
    }
    void SetUp() override { SKIP_WITHOUT_CORPUS(); }
    static ado::JetDriver* driver_;
};
ado::JetDriver* NwindTest::driver_ = nullptr;

TEST_F(NwindTest, Jet3FileReportsEngine351) {
    EXPECT_EQ(driver_->engineVersion(), "3.51");
    EXPECT_EQ(driver_->jetVersion(), 0);
    EXPECT_TRUE(driver_->readOnly());
    EXPECT_EQ(driver_->kind(), ado::EngineKind::Jet);
}

TEST_F(NwindTest, CatalogTypesFromMSysObjects) {
    std::map<std::string, std::string> types;
    for (const auto& t : driver_->tables()) types[t.name] = t.type;
    EXPECT_EQ(types["Customers"], "TABLE");  // a form of the same name is not listed
    EXPECT_EQ(types["MSysObjects"], "SYSTEM TABLE");
    EXPECT_EQ(types["MSysModules"], "ACCESS TABLE");
    EXPECT_EQ(types["Invoices"], "VIEW");
    EXPECT_EQ(types.count("Employee Sales by Country"), 0u);  // has parameters: a procedure
    EXPECT_EQ(types.count("Sales by Year Dialog"), 0u);       // a form only
}

TEST_F(NwindTest, ColumnsWithTypesAndKeys) {
    auto cols = driver_->columns("orders");  // names are found without regard to case
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols[0].name, "OrderID");
    EXPECT_EQ(cols[0].type, ado::adInteger);
    EXPECT_TRUE(cols[0].autoIncrement);
    EXPECT_TRUE(cols[0].primaryKey);
    auto customers = driver_->columns("Customers");
    EXPECT_EQ(customers[0].type, ado::adVarWChar);
    EXPECT_EQ(customers[0].size, 5);
    // A saved query's columns come from its translation, with their types.
    auto invoice = driver_->columns("Invoices");
    ASSERT_EQ(invoice.size(), 26u);
    EXPECT_EQ(invoice[7].name, "Customers.CompanyName");
    EXPECT_EQ(invoice[13].name, "Salesperson");
    EXPECT_EQ(invoice[13].type, ado::adVarWChar);
    EXPECT_EQ(invoice[15].type, ado::adDate);
    EXPECT_EQ(invoice[18].name, "Shippers.CompanyName");
    EXPECT_EQ(invoice[24].name, "ExtendedPrice");
    EXPECT_EQ(invoice[24].type, ado::adCurrency);
    EXPECT_THROW(driver_->columns("No Such Table"), vb::ComError);
}

TEST_F(NwindTest, RowsKeepNullApartAndConvertTypes) {
    auto rows =
        All("SELECT CustomerID, Region, City FROM Customers WHERE CustomerID = ?", {vb::Variant("ALFKI")});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], vb::Variant("ALFKI"));
    EXPECT_TRUE(rows[0][1].IsNull());
    EXPECT_EQ(rows[0][2], vb::Variant("Berlin"));
    auto orders = All("SELECT TOP 1 OrderID, OrderDate, Freight FROM Orders ORDER BY OrderID");
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0][0].Type(), vb::VarType::Long);
    EXPECT_EQ(orders[0][1].Type(), vb::VarType::Date);
    EXPECT_EQ(orders[0][2].Type(), vb::VarType::Double);
}

TEST_F(NwindTest, StatementForms) {
    EXPECT_EQ(All("Order Details").size(), 2155u);
    EXPECT_EQ(All("[Order Details]").size(), 2155u);
    EXPECT_EQ(All("SELECT * FROM [Order Details] WHERE 1=0").size(), 0u);
    auto cursor = driver_->query("SELECT * FROM Shippers WHERE 1=0", {});
    EXPECT_EQ(cursor->columns().size(), 3u);
    auto top = All("SELECT TOP 3 * FROM Products ORDER BY UnitPrice DESC");
    ASSERT_EQ(top.size(), 3u);
    EXPECT_GE(top[0][5].ToDouble(), top[1][5].ToDouble());
    auto named =
        All("SELECT [Order Details].Quantity AS q FROM [Order Details] AS od WHERE Quantity >= ? AND "
            "Discount > 0",
            {vb::Variant(100)});
    for (const auto& r : named) EXPECT_GE(r[0].ToLong(), 100);
    EXPECT_FALSE(named.empty());
}

TEST_F(NwindTest, RefusesWhatItCannotRunNamingIt) {
    struct Case {
        const char* sql;
        const char* named;  // what the message must name
    } cases[] = {
        {"SELECT a FROM t1 INNER JOIN t2 ON t1.x = t2.x", "'t1'"},
        {"SELECT * FROM Customers WHERE Country = ?", "? number 1"},
        {"SELECT Nope FROM Customers", "[Nope]"},
        {"SELECT MyVbaFunction(CustomerID) FROM Customers", "MyVbaFunction"},
        {"SELECT * FROM Customers WHERE City = 'Berlin", "not closed"},
        {"SELECT CustomerID FROM Customers, Orders", "CustomerID"},
    };
    for (const auto& c : cases) {
        try {
            All(c.sql);
            ADD_FAILURE() << "no error: " << c.sql;
        } catch (const vb::ComError& e) {
            EXPECT_NE(e.Description().find(c.named), std::string::npos) << e.Description();
            EXPECT_EQ(e.Description().find("read-only"), std::string::npos) << e.Description();
        }
    }
}

TEST_F(NwindTest, WritingFailsSayingReadOnly) {
    EXPECT_EQ(driver_->execute("SELECT * FROM Shippers", {}), -1);  // a SELECT runs; it writes nothing
    for (auto attempt : std::vector<std::function<void()>>{
             [] { driver_->execute("DELETE FROM Customers", {}); },
             [] { driver_->query("SELECT * INTO Copy FROM Customers", {}); },
             [] { driver_->query("UPDATE Customers SET City = 'x'", {}); },
             [] { driver_->execute("CREATE TABLE T (a TEXT)", {}); },
             [] { driver_->saveQuery("qryNew", "SELECT * FROM Customers", false); }}) {
        try {
            attempt();
            ADD_FAILURE() << "no error";
        } catch (const vb::ComError& e) {
            EXPECT_EQ(e.Number(), ado::kErrJetReadOnly);
            EXPECT_NE(e.Description().find("read-only"), std::string::npos);
        }
    }
}

TEST(JetDriver, LinkedTablesCarryTheirSource) {
    SKIP_WITHOUT_CORPUS();
    auto linker = ado::OpenJetFile(jettest::Corpus("jahlborn__jackcess__linkerTestV2007.accdb"));
    EXPECT_EQ(linker->engineVersion(), "4.0");
    bool found = false;
    for (const auto& t : linker->tables()) {
        if (t.name != "Table2") continue;
        found = true;
        EXPECT_EQ(t.type, "LINK");
        EXPECT_EQ(t.remoteTableName, "Table1");
        EXPECT_EQ(t.linkDatasource, "Z:\\jackcess_test\\linkeeTest.accdb");
    }
    EXPECT_TRUE(found);
    // The linked file is not where the link says, nor beside the linking file.
    try {
        linker->query("SELECT * FROM Table2", {});
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("Z:\\jackcess_test\\linkeeTest.accdb"), std::string::npos)
            << e.Description();
    }

    auto odbc = ado::OpenJetFile(jettest::Corpus("jahlborn__jackcess__odbcLinkerTestV2007.accdb"));
    for (const auto& t : odbc->tables()) {
        if (t.name != "Ordrar") continue;
        EXPECT_EQ(t.type, "PASS-THROUGH");
        EXPECT_EQ(t.remoteTableName, "dbo.Ordrar");
        EXPECT_EQ(t.linkProviderString.rfind("DSN=Magnapinna;", 0), 0u);
    }
}

TEST(JetDriver, ThroughAdoConnection) {
    SKIP_WITHOUT_CORPUS();
    auto conn = std::make_shared<ado::Connection>();
    const std::string file = jettest::Corpus("mdbtools__mdbtestdata__DateTestDatabase.mdb");
    conn->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
    EXPECT_NE(conn->ConnectionString().find("Data Source=" + file + ";"), std::string::npos);
    ado::Recordset rs;
    rs.Open("SELECT * FROM DateTest ORDER BY IDCol", conn, ado::adOpenStatic, ado::adLockReadOnly);
    EXPECT_GE(rs.RecordCount(), 4);
    EXPECT_EQ(rs["ShortTextCol"], vb::Variant("Hello"));
    EXPECT_EQ(rs["DateTimeCol"].Type(), vb::VarType::Date);
}

TEST(JetDriver, OpenFailuresNameTheFile) {
    auto dir = std::filesystem::temp_directory_path() / ("jet_open_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string text = (dir / "notes.mdb").string();
    std::ofstream(text) << "not a database at all, just some text that is long enough";
    for (const std::string& file : {text, (dir / "missing.mdb").string()}) {
        try {
            ado::OpenJetFile(file);
            ADD_FAILURE() << file;
        } catch (const vb::ComError& e) {
            EXPECT_NE(e.Description().find(file), std::string::npos) << e.Description();
        }
    }
    std::filesystem::remove_all(dir);
}

TEST(JetSql, ReadsAccessStatements) {
    using ado::jetsql::Expr;
    auto s = ado::jetsql::ParseJetSql(
        "PARAMETERS [Forms]![F]![Start] DateTime, Who Text ( 255 );\r\n"
        "select distinctrow top 5 percent t.a as x, [b c], Left$([d],2) from [My Table] t "
        "inner join (U left join V on U.k = V.k) on t.k = U.k where a = ? and [b c] is not null and x not "
        "like 'a*' "
        "order by a desc;");
    ASSERT_EQ(s.parameters.size(), 2u);
    EXPECT_EQ(s.parameters[0].name, "Forms!F!Start");
    EXPECT_EQ(s.parameters[1].type, "Text");
    EXPECT_EQ(s.placeholders, 1);
    const auto& core = *s.query->parts[0];
    EXPECT_TRUE(core.distinctRow);
    EXPECT_EQ(core.top, 5);
    EXPECT_TRUE(core.percent);
    ASSERT_EQ(core.items.size(), 3u);
    EXPECT_EQ(core.items[0].alias, "x");
    EXPECT_EQ(core.items[2].expr->kind, Expr::Call);  // Left( is a call, not a join
    ASSERT_EQ(core.from.size(), 1u);
    EXPECT_EQ(core.from[0]->join, "INNER");
    EXPECT_EQ(core.from[0]->right->join, "LEFT");
    EXPECT_TRUE(s.query->orderBy[0].descending);
    EXPECT_EQ(ado::jetsql::ParseJetSql("  Order Details ; ").query->parts[0]->from[0]->name, "Order Details");
    // Access precedence: Not binds looser than comparisons, And looser than Not.
    auto w = ado::jetsql::ParseJetSql("SELECT * FROM T WHERE NOT a = 1 AND b = 'O''Brien'");
    const Expr& where = *w.query->parts[0]->where;
    EXPECT_EQ(where.op, "AND");
    EXPECT_EQ(where.args[0]->op, "NOT");
    EXPECT_EQ(where.args[1]->args[1]->value, vb::Variant("O'Brien"));
    auto x = ado::jetsql::ParseJetSql("TRANSFORM Sum(v) SELECT r FROM T GROUP BY r PIVOT c In ('a','b')");
    EXPECT_EQ(x.kind, ado::jetsql::Statement::Crosstab);
    EXPECT_EQ(x.pivotIn.size(), 2u);
    EXPECT_EQ(ado::jetsql::ParseJetSql("INSERT INTO T VALUES (1)").kind, ado::jetsql::Statement::Write);
}

TEST(JetSql, ComparesTextAsJetSorts) {
    EXPECT_EQ(ado::JetTextCompare("abc", "ABC"), 0);
    EXPECT_LT(ado::JetTextCompare("côte", "cpte"), 0);  // ô sorts with o, before p
    EXPECT_NE(ado::JetTextCompare("cote", "côte"), 0);  // but is not o
    EXPECT_EQ(ado::JetTextCompare("CÔTE", "côte"), 0);
    EXPECT_LT(ado::JetTextCompare("ab", "abc"), 0);
}

}  // namespace
