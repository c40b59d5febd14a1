// The database side: which source a table is read from, its fields, the connectivity test,
// and fields read from SQLite files through platform/ado.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "designer_fixture.h"

namespace designer {
namespace {

using testing::FakeSource;
using testing::TempDir;

struct DatabaseTest : ::testing::Test {
    FakeSource source = testing::Orders();
    Report report{source.reader()};
    Database& db = report.Database();
};

TEST_F(DatabaseTest, TablesAreReadFromTheSourceTheirArgumentsName) {
    const std::string jet = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
    struct Case {
        const char* what;
        std::function<void(Database&)> add;
        std::string expected;
    };
    const Case cases[] = {
        {"Access file and table", [](Database& d) { d.Tables().Add("/data/nwind.mdb", "Orders", "", 1); },
         jet + "/data/nwind.mdb"},
        {"logon kept for the file",
         [](Database& d) {
             d.LogOnServerEx("p2soledb.dll", "/data/nwind.mdb", "", "admin", "", "OLE DB", "CS-FROM-LOGON");
             d.Tables().Add("/data/nwind.mdb", "Orders");
         },
         "CS-FROM-LOGON"},
        {"server table with connection and login",
         [](Database& d) {
             d.Tables().Add("Orders", "", "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=sales", 1,
                            "p2ssql.dll", "srv", "OLE DB", "sales", "sa", "pw");
         },
         "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=sales;User ID=sa;Password=pw"},
        {"server table with Windows login",
         [](Database& d) {
             d.Tables().Add("Orders", "", "Provider=SQLOLEDB;Data Source=srv;Integrated Security=SSPI", 1,
                            "p2ssql.dll", "srv", "OLE DB", "sales");
         },
         "Provider=SQLOLEDB;Data Source=srv;Integrated Security=SSPI"},
        {"data-project logon without connection string",
         [](Database& d) {
             d.LogOnServerEx("pdssql.dll", "srv", "sales", "sa", "pw");
             d.Tables().Add("Orders");
         },
         "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=sales;User ID=sa;Password=pw"},
        {"ODBC source", [](Database& d) { d.AddOLEDBSource("DSN=Sales;User ID=u;Password=p", "Orders"); },
         "DSN=Sales;User ID=u;Password=p"},
        {"OLE DB source given a file", [](Database& d) { d.AddOLEDBSource("/data/nwind.mdb", "Orders"); },
         jet + "/data/nwind.mdb"},
    };
    for (const Case& c : cases) {
        FakeSource s = testing::Orders();
        Report r(s.reader());
        c.add(r.Database());
        ASSERT_EQ(r.Database().Tables().Count(), 1) << c.what;
        const DatabaseTable& t = r.Database().Tables().Item(1);
        EXPECT_EQ(t.Name(), "Orders") << c.what;
        EXPECT_EQ(t.ConnectionString(), c.expected) << c.what;
        ASSERT_EQ(s.asked.size(), 1u) << c.what;
        EXPECT_EQ(s.asked[0], c.expected) << c.what;
        EXPECT_TRUE(t.FieldsKnown()) << c.what;
        EXPECT_EQ(t.Fields().Count(), 5) << c.what;
    }
}

TEST_F(DatabaseTest, FieldsCarryNameAndValueType) {
    DatabaseTable& t = db.Tables().Add("/data/nwind.mdb", "Orders");
    EXPECT_EQ(t.Fields().Item(1).Name(), "OrderID");
    EXPECT_EQ(t.Fields().Item(4).ValueType(), crDateTimeField);
    EXPECT_EQ(t.Fields().Find("amount")->FormulaName(), "{Orders.Amount}");
    EXPECT_EQ(&t.Fields().Find("ID")->Table(), &t);
    EXPECT_EQ(db.Tables().Find("orders"), &t);
    EXPECT_TRUE(t.TestConnectivity());
    EXPECT_THROW(t.Fields().Item(6), vb::ComError);
    EXPECT_THROW(db.Tables().Add("/data/nwind.mdb", "Orders", "", 3), vb::ComError);
    EXPECT_THROW(db.AddOLEDBSource("DSN=x", ""), vb::ComError);
}

TEST_F(DatabaseTest, UnreadableSourceAddsTableWithUnknownFields) {
    DatabaseTable& t = db.Tables().Add("/data/nwind.mdb", "Missing");
    EXPECT_FALSE(t.FieldsKnown());
    EXPECT_EQ(t.Fields().Count(), 0);
    EXPECT_FALSE(t.TestConnectivity());
    Section& d = report.Areas().Item("D").Sections().Item(1);
    EXPECT_NO_THROW(d.AddFieldObject("{Missing.Anything}", 0, 0));
    bool ok;
    std::string message;
    report.FormulaFields().Add("F", "{Missing.Anything} & ''").Check(ok, message);
    EXPECT_TRUE(ok) << message;
}

TEST_F(DatabaseTest, StoredProcedureKeepsItsParameters) {
    source.tables["spSales"] = {{"Total", crCurrencyField}};
    StoredProcParams params;
    params.Add({"@start", {{"1/1/2004", 0}}});
    params.Add({"@region", {{"West", 0}}});
    DatabaseTable& t =
        db.Tables().AddStoredProcedure("spSales", "", "Provider=SQLOLEDB;Data Source=srv", 2, "p2ssql.dll",
                                       "srv", "OLE DB", "sales", "", "", &params);
    EXPECT_EQ(t.Source().Type, crTableTypeStoredProcedure);
    EXPECT_EQ(t.Parameters(), params);
    EXPECT_EQ(t.Parameters().Item(2).Name, "@region");
    EXPECT_EQ(t.Fields().Item(1).ValueType(), crCurrencyField);
}

TEST(DatabaseSource, ProcedureWithoutListedFieldsStillConnects) {
    FieldReader reader = [](const std::string&, const TableSource&,
                            const std::string& t) -> std::vector<SourceField> {
        throw FieldsNotListed("no result fields for " + t);
    };
    Report report(reader);
    DatabaseTable& t = report.Database().Tables().AddStoredProcedure("spSales", "", "DSN=Sales");
    EXPECT_FALSE(t.FieldsKnown());
    EXPECT_TRUE(t.TestConnectivity());
    EXPECT_NO_THROW(report.Areas().Item("D").Sections().Item(1).AddFieldObject("{spSales.Total}", 0, 0));
}

// ---- through platform/ado on SQLite files ---------------------------------------------

void Exec(const std::string& file, const char* sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &h), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(h, sql, nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(h);
}

TEST(AdoFields, AreReadFromSqliteFilesAndTheirLinks) {
    TempDir dir;
    const std::string back = dir.file("back.db"), front = dir.file("front.db");
    Exec(back,
         "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, Customer TEXT(50), OrderDate DATETIME, "
         "Amount CURRENCY, Shipped BIT, Notes MEMO, Ratio DOUBLE);");
    Exec(front, "CREATE TABLE Local (ID INTEGER, Name TEXT);");
    std::string links =
        "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, "
        "ForeignName TEXT, Connect TEXT); INSERT INTO MSysObjects VALUES ('LinkedOrders', 6, 0, '" +
        back + "', 'Orders', NULL);";
    Exec(front, links.c_str());

    Application app;  // the reader that goes through platform/ado
    auto report = app.NewReport();
    DatabaseTable& orders = report->Database().Tables().Add(back, "Orders");
    ASSERT_TRUE(orders.FieldsKnown());
    std::vector<std::pair<std::string, int>> got;
    for (auto& f : orders.Fields()) got.emplace_back(f->Name(), f->ValueType());
    EXPECT_EQ(got, (std::vector<std::pair<std::string, int>>{{"OrderID", crNumberField},
                                                             {"Customer", crStringField},
                                                             {"OrderDate", crDateTimeField},
                                                             {"Amount", crCurrencyField},
                                                             {"Shipped", crBooleanField},
                                                             {"Notes", crPersistentMemoField},
                                                             {"Ratio", crNumberField}}));
    EXPECT_TRUE(orders.TestConnectivity());

    DatabaseTable& linked = report->Database().Tables().Add(front, "LinkedOrders");
    ASSERT_TRUE(linked.FieldsKnown());
    EXPECT_EQ(linked.Fields().Count(), 7);
    EXPECT_EQ(linked.Fields().Item(3).Name(), "OrderDate");

    DatabaseTable& missing = report->Database().Tables().Add(front, "Nope");
    EXPECT_FALSE(missing.FieldsKnown());
    EXPECT_FALSE(missing.TestConnectivity());
    DatabaseTable& nofile = report->Database().Tables().Add(dir.file("none.db"), "Orders");
    EXPECT_FALSE(nofile.FieldsKnown());
    EXPECT_FALSE(nofile.TestConnectivity());

    // Formulas are typed by the fields read.
    bool ok;
    std::string message;
    report->FormulaFields()
        .Add("Late", "{Orders.OrderDate} < CurrentDateTime And Not {Orders.Shipped}")
        .Check(ok, message);
    EXPECT_TRUE(ok) << message;
    report->FormulaFields().Add("Bad", "{Orders.Customer} * 2").Check(ok, message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, msg::kNumberOrCurrencyRequired);
}

}  // namespace
}  // namespace designer
