#include "sources/update_queries.h"

#include <gtest/gtest.h>

#include "fake_driver.h"
#include "support/recording.h"

namespace {

using tolvaran::clsUpdateQueries;

class Classifier : public ::testing::Test {
  protected:
    void SetUp() override {
        conn = testsrc::FakeConnection(driver);
        driver->tableList = {{"Orders", "TABLE", "", "", ""},
                             {"qryOrders", "VIEW", "", "", ""},
                             {"tblLinked", "LINK", "Orders", "", "/b.mdb"},
                             {"dbo_Sales", "PASS-THROUGH", "dbo.Sales", "ODBC;DSN=x", ""},
                             {"Catégories", "TABLE", "", "", ""},
                             {"Ventes Été", "VIEW", "", "", ""}};
        driver->procedureList = {{"dbo.OrderTotals;1", ""}, {"qryParam", ""}};
        catalog = std::make_shared<adox::Catalog>();
        catalog->setActiveConnection(conn);
        uq.setOCat(catalog);
    }
    testsrc::FakeCatalogDriver* driver = nullptr;
    ado::ConnectionPtr conn;
    std::shared_ptr<adox::Catalog> catalog;
    ui::RecordingPrompt prompt;
    clsUpdateQueries uq{prompt};
};

TEST_F(Classifier, AnswersForEachLinkKind) {
    struct Case {
        short kind;
        const char* name;
        bool table, query, procedure;
    } cases[] = {
        {0, "orders", true, false, false},
        {0, "QRYORDERS", true, true, false},
        {0, "TBLLINKED", true, false, false},
        {3, "dbo_sales", true, false, false},
        {3, "Order", false, false, false},
        {2, "Order", false, false, true},
        {4, "ordertotals", false, false, true},
        {4, "qryParam", false, true, true},
        {4, "Nothing", false, false, false},
        // Accented letters fold as Jet folds them; accents still count.
        {0, "CATÉGORIES", true, false, false},
        {0, "ventes été", true, true, false},
        {0, "Categories", false, false, false},
    };
    for (const auto& c : cases) {
        uq.BackEndDatabaseType = c.kind;
        EXPECT_EQ(uq.IsTable(c.name), c.table) << c.kind << " " << c.name;
        EXPECT_EQ(uq.IsQuery(c.name), c.query) << c.kind << " " << c.name;
        EXPECT_EQ(uq.IsStoredProcedure(c.name), c.procedure) << c.kind << " " << c.name;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Classifier, StoredProcedureKeepsTheMatchAndOtherKindsDoNotLook) {
    uq.BackEndDatabaseType = 4;
    EXPECT_FALSE(uq.GetProcedure().has_value());
    ASSERT_TRUE(uq.IsStoredProcedure("Order"));
    EXPECT_EQ(uq.GetProcedure()->Name, "dbo.OrderTotals;1");

    clsUpdateQueries blind(prompt);  // no catalog: any look would fail with a message
    for (short kind : {0, 1, 3, 5}) {
        blind.BackEndDatabaseType = kind;
        EXPECT_FALSE(blind.IsStoredProcedure("Order"));
    }
    EXPECT_TRUE(prompt.messages.empty());
    blind.BackEndDatabaseType = 2;
    EXPECT_FALSE(blind.IsStoredProcedure("Order"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "clsUpdateQueries.IsStoredProcedure");
    EXPECT_FALSE(blind.IsQuery("x"));
    EXPECT_EQ(prompt.messages.back().title, "clsUpdateQueries.IsQuery");
    EXPECT_FALSE(blind.IsTable("x"));
    EXPECT_EQ(prompt.messages.back().title, "IsTable");
}

TEST_F(Classifier, KindsOutsideTheCatalogAskTheAccessApplication) {
    uq.BackEndDatabaseType = 9;
    EXPECT_FALSE(uq.IsQuery("qryOrders"));
    EXPECT_FALSE(uq.IsTable("Orders"));  // ToDb holds no Access application
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "IsTable");
}

TEST_F(Classifier, UpdateBackEndQueriesAnswersTrueAndLeavesNonAccessTargetsAlone) {
    uq.BackEndDatabaseType = 0;
    uq.ToDb = conn;
    uq.FromDb = conn;
    EXPECT_TRUE(uq.UpdateBackEndQueries("qryNew", "qryNew", 2));
    EXPECT_TRUE(uq.UpdateBackEndQueries("qryNew", "qryNew", 1));
    EXPECT_TRUE(uq.UpdateBackEndQueries("qryOrders", "qryOrders", 1));
    EXPECT_EQ(driver->viewList.size(), 0u);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ClassifierCatalog, ReadingOCatMakesAnEmptyCatalog) {
    ui::RecordingPrompt prompt;
    clsUpdateQueries uq(prompt);
    ASSERT_TRUE(uq.oCat());
    EXPECT_FALSE(uq.oCat()->ActiveConnection());
}

}  // namespace
