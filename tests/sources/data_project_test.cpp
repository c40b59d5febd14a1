#include <gtest/gtest.h>

#include <fstream>

#include "fixtures.h"
#include "sources/links_manager.h"
#include "store/context.h"
#include "support/recording.h"

namespace {

using tolvaran::clsManageLinks;

class DataProjectScan : public ::testing::Test {
  protected:
    // A data project file with its connection text beside it.
    std::string project(const std::string& name, const std::string& connection) {
        std::string file = folder.file(name);
        std::ofstream(file) << "adp";
        std::filesystem::create_directories(file + ".src");
        std::ofstream(file + ".src/connection.txt") << connection << "\r\n";
        return file;
    }
    testsrc::TempFolder folder;
    ui::RecordingPrompt prompt;
    ui::RecordingWindow window;
    clsManageLinks links{prompt};
};

TEST_F(DataProjectScan, TheProjectsConnectionBecomesOneUncountedLink) {
    testodbc::UsePrivateIni();
    testodbc::MakeSqlite(testodbc::StockDb(),
                         "CREATE TABLE Items (Id INTEGER); INSERT INTO Items VALUES (4);");
    std::string file = project("sales.adp",
                               "Provider=Microsoft.Access.OLEDB.10.0;Persist Security Info=False;"
                               "Data Source=srv;Integrated Security=SSPI;Initial Catalog=" +
                                   testodbc::StockDb() + ";Data Provider=SQLOLEDB.1");
    ASSERT_TRUE(links.ParseDataProject(window, file));
    EXPECT_EQ(window.results,
              (std::vector<std::string>{"Opening database..", "Database opened successfully."}));
    ASSERT_EQ(links.Items().Count(), 1);
    auto link = links.GetDataProjectLink();
    EXPECT_EQ(link->Name, testodbc::StockDb());
    EXPECT_EQ(link->Server, "srv");
    EXPECT_TRUE(link->UseNTAuth);
    EXPECT_EQ(link->Provider, "SQLOLEDB.1");
    EXPECT_EQ(links.InternalTablesCount() + links.AccessLinksCount() + links.ODBCLinksCount(), 0);
    EXPECT_EQ(link->ConnectionString(), "Provider=SQLOLEDB.1;Data Source=srv;Database=" +
                                            testodbc::StockDb() + ";Integrated Security=SSPI");

    // The SQL Server link opens through the ODBC template.
    ado::ConnectionOptions options;
    options.sqlServerOdbcTemplate = "Driver=SQLite3;Database={database}";
    bool opened = link->openConnection(prompt, options);
    ASSERT_TRUE(opened) << prompt.messages.back().prompt;
    ado::Recordset rs;
    rs.Open("SELECT Id FROM Items", link->db());
    EXPECT_EQ(rs["Id"].ToLong(), 4);
}

// Two runs in one process, each with the options of its own context: one link opens through
// each run's SQL Server template in turn, neither run disturbing the other.
TEST_F(DataProjectScan, TwoRunsOpenALinkThroughTheirOwnTemplates) {
    testodbc::UsePrivateIni();
    testodbc::MakeSqlite(testodbc::StockDb(), "CREATE TABLE Items (Id INTEGER);");
    tolvaran::AppContext sqliteRun, otherRun;
    sqliteRun.connections.sqlServerOdbcTemplate = "Driver=SQLite3;Database={database}";
    otherRun.connections.sqlServerOdbcTemplate = "Driver=NoSuchDriver;Server={server}";
    tolvaran::clsLink link;
    link.LinkType = tolvaran::kLinkDataProject;
    link.Server = "srv";
    link.SQLDatabase = testodbc::StockDb();
    link.UseNTAuth = true;
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(link.openConnection(prompt, sqliteRun.connections)) << round;
        EXPECT_FALSE(link.openConnection(prompt, otherRun.connections)) << round;
    }
    // The link tells its failure once.
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "clsLink.OpenConnection");
}

TEST_F(DataProjectScan, AProjectThatDoesNotOpenAsksForAServerUntilCancelled) {
    std::string file = folder.file("missing.adp");
    int asked = 0;
    links.setServerSelector([&] { return ++asked < 3; });
    EXPECT_FALSE(links.ParseDataProject(window, file));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(links.Items().Count(), 0);
    EXPECT_EQ(window.results, (std::vector<std::string>{"Opening database.."}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DataProjectScan, ARetryAfterTheServerChoiceCanSucceed) {
    std::string file = folder.file("late.adp");
    links.setServerSelector([&] {
        project("late.adp", "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=Late;UID=sa;Password=pw");
        return true;
    });
    EXPECT_TRUE(links.ParseDataProject(window, file));
    EXPECT_EQ(links.Item("Late")->UserId, "sa");
    EXPECT_EQ(links.Item("Late")->Password, "pw");
    EXPECT_FALSE(links.Item("Late")->UseNTAuth);
}

TEST_F(DataProjectScan, NoAccessShowsTheErrorAndReturnsFalse) {
    links.setAccessFactory([]() -> std::unique_ptr<tolvaran::access::Application> {
        throw vb::ComError(429, "ActiveX component can't create object");
    });
    EXPECT_FALSE(links.ParseDataProject(window, project("x.adp", "Data Source=srv")));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].prompt, "ActiveX component can't create object");
    EXPECT_EQ(prompt.messages[0].title, "");
}

TEST_F(DataProjectScan, ASecondScanOfTheSameProjectKeepsOneLink) {
    std::string file = project("same.adp", "Data Source=srv;Initial Catalog=Same");
    EXPECT_TRUE(links.ParseDataProject(window, file));
    EXPECT_TRUE(links.ParseDataProject(window, file));
    EXPECT_EQ(links.Items().Count(), 1);
}

}  // namespace
