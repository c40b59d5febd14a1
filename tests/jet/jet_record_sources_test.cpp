// A saved query as a report's record source: ADOX, the record-source classifier and the
// designer's field reader see its fields with their types; tables linked from another Access
// file read their rows from that file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "jet_support.h"
#include "platform/ado/ado.h"
#include "platform/ado/jet_driver.h"
#include "platform/adox/adox.h"
#include "platform/designer/database.h"
#include "sources/update_queries.h"
#include "support/recording.h"

namespace {

namespace fs = std::filesystem;

std::string Nwind() {
    return jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb");
}
std::string JetString(const std::string& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file;
}

TEST(JetRecordSource, CatalogAndClassifierSeeTheSavedQuery) {
    SKIP_WITHOUT_CORPUS();
    auto conn = ado::OpenConnection(JetString(Nwind()));
    auto catalog = std::make_shared<adox::Catalog>();
    catalog->setActiveConnection(conn);
    adox::Table& invoices = catalog->Tables().Item("Invoices");
    EXPECT_EQ(invoices.Type, "VIEW");
    adox::Columns& columns = invoices.Columns();
    ASSERT_EQ(columns.Count(), 26);
    EXPECT_EQ(columns.Item("OrderDate").Type, ado::adDate);
    EXPECT_EQ(columns.Item("ExtendedPrice").Type, ado::adCurrency);
    EXPECT_EQ(columns.Item("Quantity").Type, ado::adSmallInt);
    EXPECT_EQ(columns.Item("ShipName").DefinedSize, 40);

    ui::RecordingPrompt prompt;
    tolvaran::clsUpdateQueries classifier(prompt);
    classifier.BackEndDatabaseType = 0;
    classifier.setOCat(catalog);
    EXPECT_TRUE(classifier.IsQuery("INVOICES"));
    EXPECT_TRUE(classifier.IsQuery("Employee Sales by Country"));  // a procedure: it has parameters
    EXPECT_TRUE(classifier.IsTable("Invoices"));
    EXPECT_FALSE(classifier.IsQuery("Customers"));
    EXPECT_TRUE(prompt.messages.empty());

    // A parameter query's text opens as a statement, not as a table name.
    ado::Recordset rs;
    rs.Open("PARAMETERS [Which] Long; SELECT CompanyName FROM Shippers WHERE ShipperID = [Which]", conn,
            ado::adOpenStatic, ado::adLockReadOnly, {vb::Variant(2)});
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["CompanyName"], vb::Variant("United Package"));
}

TEST(JetRecordSource, FieldReaderGivesTheDesignerTypes) {
    SKIP_WITHOUT_CORPUS();
    auto reader = designer::AdoFieldReader();
    auto fields = reader(JetString(Nwind()), designer::TableSource{}, "Invoices");
    std::map<std::string, int> types;
    for (const auto& f : fields) types[f.name] = f.valueType;
    EXPECT_EQ(types.at("OrderDate"), designer::crDateTimeField);
    EXPECT_EQ(types.at("ExtendedPrice"), designer::crCurrencyField);
    EXPECT_EQ(types.at("Salesperson"), designer::crStringField);
    EXPECT_EQ(types.at("Quantity"), designer::crNumberField);
    // A parameter query lists its fields without values for its parameters.
    auto sales = reader(JetString(Nwind()), designer::TableSource{}, "Employee Sales by Country");
    ASSERT_EQ(sales.size(), 6u);
    EXPECT_EQ(sales[5].name, "SaleAmount");
    EXPECT_EQ(sales[5].valueType, designer::crCurrencyField);
    // The Jet type words of a statement's columns.
    auto driver = ado::OpenJetFile(Nwind());
    auto jet =
        driver->fields("SELECT OrderDate, Freight, ShipVia > 1 AS Far, ShipName & '' AS Name FROM Orders");
    ASSERT_EQ(jet.size(), 4u);
    EXPECT_STREQ(ado::JetTypeText(jet[0].type), "DateTime");
    EXPECT_STREQ(ado::JetTypeText(jet[1].type), "Currency");
    EXPECT_STREQ(ado::JetTypeText(jet[2].type), "Bit");
    EXPECT_STREQ(ado::JetTypeText(jet[3].type), "Text");
}

// The linking file and the linked file side by side, the linked one under the name its link
// uses (the link itself names a Windows drive).
class LinkedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_CORPUS();
        dir_ = fs::temp_directory_path() / ("jet_links_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fs::copy_file(jettest::Corpus("jahlborn__jackcess__linkerTestV2007.accdb"), dir_ / "linker.accdb");
        fs::copy_file(jettest::Corpus("jahlborn__jackcess__linkeeTest.accdb"), dir_ / "linkeeTest.accdb");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST_F(LinkedFiles, RowsComeFromTheLinkedFile) {
    auto conn = ado::OpenConnection(JetString((dir_ / "linker.accdb").string()));
    ado::Recordset rs;
    rs.Open("Table2", conn, ado::adOpenStatic, ado::adLockReadOnly);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["Field1"], vb::Variant("bar"));  // the linking file's own Table1 holds "foo"
    rs.Close();
    // Joined with a table of the linking file, under the link's name.
    rs.Open(
        "SELECT Table1.Field1 AS Here, Table2.Field1 AS There FROM Table1 INNER JOIN Table2 ON Table1.ID = "
        "Table2.ID",
        conn, ado::adOpenStatic, ado::adLockReadOnly);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["Here"], vb::Variant("foo"));
    EXPECT_EQ(rs["There"], vb::Variant("bar"));
    rs.Close();
    // A table of another file named in the statement, relative to the linking file.
    rs.Open("SELECT * FROM Table1 IN 'linkeeTest.accdb'", conn, ado::adOpenStatic, ado::adLockReadOnly);
    EXPECT_EQ(rs["Field1"], vb::Variant("bar"));
    // Its columns for the designer.
    auto fields = designer::AdoFieldReader()(JetString((dir_ / "linker.accdb").string()),
                                             designer::TableSource{}, "Table2");
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[1].name, "Field1");
}

TEST_F(LinkedFiles, MissingLinkedFileIsNamed) {
    fs::remove(dir_ / "linkeeTest.accdb");
    auto driver = ado::OpenJetFile((dir_ / "linker.accdb").string());
    try {
        driver->query("SELECT * FROM Table2", {});
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("Z:\\jackcess_test\\linkeeTest.accdb"), std::string::npos)
            << e.Description();
        EXPECT_NE(e.Description().find("Table2"), std::string::npos) << e.Description();
    }
}

}  // namespace
