#include "sources/link.h"

#include <gtest/gtest.h>

#include "support/recording.h"

namespace {

using tolvaran::clsLink;

struct StringCase {
    const char* what;
    long kind;
    const char* dsn;
    bool nt;
    const char* user;
    const char* expected;
};

TEST(Link, ConnectionStringOfEachKind) {
    const StringCase cases[] = {
        {"access, empty user", 2, "", false, "",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Data\\Orders.mdb;User ID=Admin;Password="},
        {"own tables ignore NT", 0, "", true, "bob",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Data\\Orders.mdb;User ID=bob;Password=pw"},
        {"odbc with NT", 3, "Sales", true, "", "DSN=Sales;Integrated Security=SSPI"},
        {"odbc without DSN", 3, "", false, "sa", ";User ID=sa;Password=pw"},
        {"sql server", 4, "", false, "sa",
         "Provider=SQLOLEDB.1;Data Source=srv;Database=Northwind;User ID=sa;Password=pw"},
        {"kind 1", 1, "", false, "", ""},
        {"kind 7", 7, "", false, "", ""},
    };
    for (const auto& c : cases) {
        clsLink l;
        l.LinkType = c.kind;
        l.LinkDatabase = "C:\\Data\\Orders.mdb";
        l.DSN = c.dsn;
        l.UseNTAuth = c.nt;
        l.UserId = c.user;
        l.Password = c.kind == 2 ? "" : "pw";
        l.Server = "srv";
        l.SQLDatabase = "Northwind";
        l.SecurityFile = "C:\\system.mdw";
        l.Database = "NeverUsed";
        l.Driver = "NeverUsed";
        EXPECT_EQ(l.ConnectionString(), c.expected) << c.what;
    }
}

TEST(Link, BuildersFillTheirDefaultsAndStoreTheResult) {
    clsLink l;
    l.LinkType = 2;
    l.setConnectionString("before");
    EXPECT_EQ(l.AccessConnectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=;User ID=Admin;Password=");
    EXPECT_EQ(l.UserId, "Admin");
    EXPECT_EQ(l.StoredConnectionString(), l.AccessConnectionString());
    EXPECT_EQ(l.Provider, "");
    l.ODBCConnectionString();
    EXPECT_EQ(l.Provider, "{SQL Server}");
    EXPECT_EQ(l.LinkType, 2);

    clsLink other;
    other.LinkType = 1;
    other.setConnectionString("kept");
    EXPECT_EQ(other.ConnectionString(), "");
    EXPECT_EQ(other.StoredConnectionString(), "kept");
}

TEST(Link, OpenConnectionFailureShowsTheProvidersError) {
    ui::RecordingPrompt prompt;
    clsLink l;
    l.LinkType = 1;
    EXPECT_FALSE(l.openConnection(prompt));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "clsLink.OpenConnection");
    EXPECT_FALSE(prompt.messages[0].prompt.empty());
    ASSERT_TRUE(l.db());
    EXPECT_EQ(l.db()->State(), ado::adStateClosed);

    // An Access file a link reads that is not there: the user is told once which file and
    // where to set it; the link's later failures only return false.
    prompt.messages.clear();
    clsLink missing;
    missing.LinkType = 2;
    missing.Name = "tblOrders";
    missing.LinkDatabase = "/nonexistent/Orders.mdb";
    EXPECT_FALSE(missing.openConnection(prompt));
    EXPECT_FALSE(missing.openConnection(prompt));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].prompt.find("/nonexistent/Orders.mdb"), std::string::npos);
    EXPECT_NE(prompt.messages[0].prompt.find("Edit, on the Access tab"), std::string::npos);
}

}  // namespace
