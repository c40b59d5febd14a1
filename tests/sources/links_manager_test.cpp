#include "sources/links_manager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixtures.h"
#include "support/recording.h"

namespace {

using tolvaran::clsLink;
using tolvaran::clsManageLinks;
using tolvaran::LinkPtr;

// The lists file's schema as the shipped template builds it.
std::string ListsSchema() {
    std::ifstream in(TOLVARAN_SOURCE_DIR "/resources/store/lists.sql");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

LinkPtr MakeLink(const std::string& name, long kind, const std::string& database) {
    auto l = std::make_shared<clsLink>();
    l->Name = name;
    l->LinkType = kind;
    l->LinkDatabase = database;
    return l;
}

class LinksStore : public ::testing::Test {
  protected:
    void SetUp() override {
        testodbc::MakeSqlite(folder.file("lists.db"), ListsSchema());
        db = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.file("lists.db"));
        links.setDb(db);
    }
    long rows(const std::string& where = "1=1") {
        ado::Recordset rs;
        rs.Open("SELECT COUNT(*) AS n FROM DatabaseConnections WHERE " + where, db);
        return static_cast<long>(rs["n"].ToLong());
    }
    testsrc::TempFolder folder;
    ado::ConnectionPtr db;
    ui::RecordingPrompt prompt;
    clsManageLinks links{prompt};
};

TEST_F(LinksStore, SaveAllUpsertsByNameAndNamesWithQuotesWork) {
    links.Add(MakeLink("INTERNAL", 0, "/data/front.mdb"));
    links.Add(MakeLink("O'Brien's \"Orders\"", 2, "/data/back.mdb"));
    links.Add(MakeLink("Sales", 3, "ODBC;DSN=Sales"));
    EXPECT_FALSE(links.SaveAll(7));
    EXPECT_FALSE(links.SaveAll(7));
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages[0].prompt;
    EXPECT_EQ(rows(), 3);

    links.LoadAll(7);
    EXPECT_EQ(links.Items().Count(), 3);
    LinkPtr quoted = links.Item("O'Brien's \"Orders\"");
    EXPECT_EQ(quoted->LinkDatabase, "/data/back.mdb");
    EXPECT_EQ(quoted->UserId, "Admin");  // the saved string filled it
    EXPECT_EQ(quoted->StoredConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/back.mdb;User ID=Admin;Password=");
    EXPECT_EQ(links.InternalTablesCount(), 1);
    EXPECT_EQ(links.AccessLinksCount(), 1);
    EXPECT_EQ(links.ODBCLinksCount(), 1);
    EXPECT_FALSE(links.InternalTablesOnly());
}

TEST_F(LinksStore, LoadAllReadsNullsAndDoesNotCountDataProjects) {
    db->Execute(
        "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, LinkDatabase, BackEndType, UseNTAuth) "
        "VALUES (3, 'INTERNAL', '/x.mdb', 0, 0)");
    db->Execute(
        "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, BackEndType, UseNTAuth, Server, "
        "SQLDatabaseName) VALUES (3, 'Northwind', 4, 1, 'srv', 'Northwind')");
    links.LoadAll(3);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(links.InternalTablesCount(), 1);
    EXPECT_TRUE(links.HasInternalLinks());
    EXPECT_TRUE(links.InternalTablesOnly());
    LinkPtr dp = links.GetDataProjectLink();
    EXPECT_EQ(dp->Name, "Northwind");
    EXPECT_TRUE(dp->UseNTAuth);
    EXPECT_EQ(dp->UserId, "Admin");
    EXPECT_EQ(dp->DSN, "");
    EXPECT_EQ(links.Item("internal")->Name, "");
    EXPECT_EQ(links.Item("INTERNAL")->LinkDatabase, "/x.mdb");
}

TEST_F(LinksStore, LoadAllOfAnEntryWithoutRowsSaysSoOnce) {
    links.Add(MakeLink("Old", 2, "/old.mdb"));
    links.LoadAll(99);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].prompt, "There are no database connections referenced!");
    EXPECT_EQ(prompt.messages[0].buttons, ui::vbCritical);
    EXPECT_EQ(links.Items().Count(), 0);
    EXPECT_EQ(links.AccessLinksCount(), 0);
}

TEST_F(LinksStore, LoadAllStopsAtANullUseNTAuthKeepingEarlierLinks) {
    db->Execute(
        "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, BackEndType, UseNTAuth) VALUES "
        "(4, 'A', 2, 0), (4, 'B', 2, NULL)");
    EXPECT_THROW(links.LoadAll(4), vb::ComError);
    EXPECT_EQ(links.Items().Count(), 1);
}

TEST_F(LinksStore, SaveAllFailureShowsItsTitleAndKeepsEarlierRows) {
    links.Add(MakeLink("First", 2, "/a.mdb"));
    db->Execute("DROP TABLE DatabaseConnections");
    links.SaveAll(1);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "Save Database Connections");
}

TEST_F(LinksStore, AFailedScanWritesItsErrorLogRowToTheListsFile) {
    ui::RecordingWindow window;
    EXPECT_FALSE(links.ParseLinks(window, folder.file("missing.mdb"), "Admin", ""));
    ado::Recordset rs;
    rs.Open("SELECT * FROM ErrorLog", db);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs["FormulaName"].ToString(), "ParseLinks");
    EXPECT_EQ(rs["AccessFormula"].ToString(), "1");
    EXPECT_NE(rs["ErrorDesc"].ToString().find("missing.mdb"), std::string::npos);
}

TEST(LinksFinders, FindersListsAndCounters) {
    ui::RecordingPrompt prompt;
    clsManageLinks links(prompt);
    links.Add(MakeLink("INTERNAL", 0, "/front.mdb"));
    links.Add(MakeLink("Orders", 2, "/back.mdb"));
    links.Add(MakeLink("Sales", 3, "ODBC;DSN=Sales"));
    links.Add(MakeLink("Stock", 3, "ODBC;DSN=Stock"));

    EXPECT_EQ(links.GetFirstLink(1)->Name, "");
    EXPECT_EQ(links.GetFirstODBCLink()->Name, "Sales");
    EXPECT_EQ(links.GetFirstAccessLink()->Name, "Orders");
    EXPECT_EQ(links.GetDataProjectLink()->LinkType, 0);
    EXPECT_FALSE(links.NotAdded("/back.mdb"));
    EXPECT_TRUE(links.NotAdded("/BACK.mdb"));
    EXPECT_EQ(links.LinkCount(), 0);

    testsrc::RecordingList list;
    links.LoadAccessList(list);
    links.LoadAccessList(list);
    EXPECT_EQ(list.items, (std::vector<std::string>{"/front.mdb", "/back.mdb", "/front.mdb", "/back.mdb"}));
    links.LoadODBCList(list);  // Add does not count: the ODBC count is 0
    EXPECT_TRUE(list.items.empty());

    links.ClearAllLinks();
    EXPECT_EQ(links.Items().Count(), 0);
}

TEST(LinkCollection, KeysIgnoreCaseAndRefuseDuplicates) {
    tolvaran::LinkCollection c;
    c.Add(MakeLink("a", 0, ""), "Orders");
    c.Add(MakeLink("b", 0, ""));
    c.Add(MakeLink("c", 0, ""));
    try {
        c.Add(MakeLink("d", 0, ""), "ORDERS");
        FAIL();
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), 457);
    }
    EXPECT_EQ(c.Count(), 3);
    c.Remove(1);
    EXPECT_EQ(c.Item(1)->Name, "b");
    EXPECT_THROW(c.Item(3), vb::ComError);
}

}  // namespace
