#include <gtest/gtest.h>

#include "ado/odbc_env.h"
#include "platform/ado/ado.h"
#include "platform/adox/adox.h"

namespace {

class OdbcCatalog : public ::testing::Test {
  protected:
    void SetUp() override {
        testodbc::UsePrivateIni();
        testodbc::MakeSqlite(testodbc::StockDb(),
                             "CREATE TABLE Items (ItemId INTEGER PRIMARY KEY, Title VARCHAR(40));"
                             "CREATE VIEW qryItems AS SELECT Title FROM Items;");
        conn = std::make_shared<ado::Connection>();
        conn->Open("DSN=TolvaranStock");
        cat.setActiveConnection(conn);
    }
    ado::ConnectionPtr conn;
    adox::Catalog cat;
};

TEST_F(OdbcCatalog, TablesViewsAndColumnsByNameAndPosition) {
    auto& t = cat.Tables().Item("ITEMS");
    EXPECT_EQ(t.Type, "TABLE");
    EXPECT_EQ(t.Properties().Item(4).Name, "Jet OLEDB:Remote Table Name");
    EXPECT_EQ(t.Properties().Item("Jet OLEDB:Link Datasource").Value.ToString(), "");
    ASSERT_EQ(t.Columns().Count(), 2);
    EXPECT_EQ(t.Columns().Item(1L).Name, "Title");
    EXPECT_EQ(cat.Tables().Item("qryItems").Type, "VIEW");
    EXPECT_EQ(cat.Views().Item("qryitems").Command.CommandText, "SELECT Title FROM Items");
    EXPECT_THROW(cat.Tables().Item("Nope"), vb::ComError);
}

TEST_F(OdbcCatalog, AppendedProcedureIsSavedAndTheCatalogRereads) {
    ado::Command cmd;
    cmd.CommandText = "SELECT ItemId FROM Items";
    EXPECT_NO_THROW(cat.Procedures().Refresh());
    cat.Procedures().Append("qryIds", cmd);
    EXPECT_EQ(cat.Views().Item("qryIds").Command.CommandText, "SELECT ItemId FROM Items");
}

TEST(OdbcCatalogUnbound, ACatalogWithoutConnectionRefuses) {
    adox::Catalog cat;
    try {
        cat.Tables();
        FAIL();
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), adox::kErrNoConnection);
    }
}

}  // namespace
