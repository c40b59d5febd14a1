// Data-source binding through each link kind, end to end on front ends built here.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/layout_support.h"
#include "platform/ado/driver.h"

namespace convert_test {
namespace {

using tolvaran::clsConvert;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<long>(std::count(lines.begin(), lines.end(), line));
}

// The ODBC database behind the DSN, with an Orders table.
void MakeOdbcOrders() {
    UsePrivateOdbc();
    RunSql(OdbcDb(),
           "DROP TABLE IF EXISTS Orders;"
           "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer TEXT, Amount REAL);"
           "INSERT INTO Orders (Customer, Amount) VALUES ('Alfreds', 3.5);");
}

// Points the run's SQL Server provider at the SQLite ODBC driver.
void UseSqliteForSqlServer(JobRun& run) {
    run.store.ctx.connections.sqlServerOdbcTemplate = "Driver={SQLite3};Database={database}";
}

TEST(Binding, AccessLinkedTableOpensAccessFirstAndLeavesTheReportOpen) {
    JobRun run;
    const std::string back = run.dir.File("Back.mdb");
    RunSql(back, "CREATE TABLE Customers (CustomerID INTEGER PRIMARY KEY, Name TEXT);");
    run.front.LinkAccessTable("Customers", back, "Customers");
    run.AddLink(tolvaran::kLinkAccess, back, "Back");
    run.front.AddReport("Customer List", "Customers", DetailWithField("CustomerID"));
    clsConvert& job = run.NewJob("Customer List");

    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    const auto rows = run.Rows();
    // The project's name was read from an open Access instance.
    EXPECT_TRUE(Contains(Descriptions(rows, "AddDatabase"), "Add reference:Orders.mdb--> Customers"));
    // The report was opened again for the binding and the steps after it.
    EXPECT_EQ(Count(Descriptions(rows, "OpenReport"), "opened report successfully:Customer List"), 2);
    ASSERT_EQ(job.crReport()->Database().Tables().Count(), 1);
    const auto& source = job.crReport()->Database().Tables().Item(1).Source();
    EXPECT_EQ(source.Location, run.front.Path());
    EXPECT_EQ(source.SubLocation, "Customers");
    EXPECT_EQ(job.ReportSource, "Customers");
}

TEST(Binding, OdbcLinkedTableThroughADsn) {
    MakeOdbcOrders();
    JobRun run;
    run.front.LinkOdbcTable("dbo_Orders", "ODBC;DSN=TolvaranConvert", "Orders");
    auto link = run.AddLink(tolvaran::kLinkOdbc, "", "TolvaranConvert");
    link->DSN = "TolvaranConvert";
    run.front.AddReport("Orders By Customer", "dbo_Orders");
    clsConvert& job = run.NewJob("Orders By Customer");

    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.ReportSource, "Orders");
    EXPECT_EQ(link->QuerySource, "Orders");
    ASSERT_EQ(job.crReport()->Database().Tables().Count(), 1);
    const auto& table = job.crReport()->Database().Tables().Item(1);
    EXPECT_EQ(table.Name(), "Orders");
    EXPECT_NE(table.Fields().Find("Customer"), nullptr);
    EXPECT_EQ(table.ConnectionString().rfind("DSN=TolvaranConvert;User ID=", 0), 0u)
        << table.ConnectionString();
    EXPECT_TRUE(table.TestConnectivity());
}

// After an ODBC binding the report is reopened even when Access did not open: the failure to
// open the report is logged too.
TEST(Binding, OdbcBindingReopensTheReportWhateverAccessGave) {
    JobRun run;
    auto link = run.AddLink(tolvaran::kLinkOdbc, "", "TolvaranConvert");
    clsConvert& job = run.NewJob("R");
    job.Database = run.dir.File("gone.mdb");
    EXPECT_FALSE(job.AddDatabaseReference(*link));
    const auto rows = run.Rows();
    EXPECT_EQ(Descriptions(rows, "OpenReport").front(), "try to open Report:R");
    EXPECT_EQ(run.Problems().size(), 1u) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(run.Problems()[0].rfind("OpenReport: ", 0), 0u);
}

// With the old engine the record-source checks use Access's CurrentDb, which Convert has
// closed by then: it is opened again and the report binds.
TEST(Binding, OldEngineChecksRunOnAnOpenAccess) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Orders List", "Orders");
    clsConvert& job = run.NewJob("Orders List");
    job.CurrentAccessVersion = "3.51";
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.ReportSource, "Orders");
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "CheckReportSource"), "Current Access Version:3.51"));
}

TEST(Binding, AViewDrawingOnItselfIsLoggedAndTheReportStillConverts) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql("CREATE VIEW va AS SELECT * FROM vb; CREATE VIEW vb AS SELECT ID FROM va;");
    run.front.AddReport("Loop", "SELECT Orders.ID FROM Orders INNER JOIN va ON Orders.ID = va.ID");
    run.NewJob("Loop");
    run.Convert();
    const auto rows = run.Rows();
    const auto cycles = Descriptions(rows, "ConnectionIsUsedInReport");
    ASSERT_FALSE(cycles.empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_NE(cycles.front().find("draws on itself"), std::string::npos) << cycles.front();
}

TEST(Binding, DataProjectThroughTheSqlServerTemplate) {
    MakeOdbcOrders();
    JobRun run;
    UseSqliteForSqlServer(run);
    tolvaran::LinkPtr link;
    FrontEnd project(run.dir.File("Sales.adp"));
    project.SetConnection("Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=" + OdbcDb());
    project.AddReport("Sales", "Orders");
    link = run.AddLink(tolvaran::kLinkDataProject, "", "Sales");
    link->Server = "srv";
    link->SQLDatabase = OdbcDb();
    link->UseNTAuth = true;
    clsConvert& job = run.NewJob("Sales");
    job.IsDataProject = true;
    job.Database = project.Path();

    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    const auto steps = Descriptions(run.Rows(), "AddDatabase");
    EXPECT_TRUE(Contains(steps, "Attempt Crystal connection to:" + OdbcDb()));
    EXPECT_TRUE(Contains(steps, "Attempt to Add First Table to Crystal Report"));
    const auto& database = job.crReport()->Database();
    ASSERT_EQ(database.LogOns().size(), 1u);
    EXPECT_EQ(database.LogOns()[0].DllName, "pdssql.dll");
    EXPECT_EQ(database.LogOns()[0].ServerName, "srv");
    ASSERT_EQ(database.Tables().Count(), 1);
    const auto& table = database.Tables().Item(1);
    EXPECT_EQ(table.Source().DllName, "p2ssql.dll");
    EXPECT_EQ(table.Source().Type, designer::crTableTypeTable);
    EXPECT_EQ(table.Source().ConnectionInfo,
              "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=" + OdbcDb() + ";Integrated Security=SSPI");
    EXPECT_NE(table.Fields().Find("Amount"), nullptr);
    EXPECT_EQ(job.ReportSource, "Orders");
}

// The record source is bound once, through the first link that holds it.
TEST(Binding, SecondDataProjectLinkIsNotBoundAgain) {
    MakeOdbcOrders();
    JobRun run;
    UseSqliteForSqlServer(run);
    FrontEnd project(run.dir.File("Sales.adp"));
    project.AddReport("Sales", "Orders");
    for (const char* name : {"First", "Second"}) {
        auto link = run.AddLink(tolvaran::kLinkDataProject, "", name);
        link->Server = "srv";
        link->SQLDatabase = OdbcDb();
        link->UseNTAuth = true;
    }
    clsConvert& job = run.NewJob("Sales");
    job.IsDataProject = true;
    job.Database = project.Path();

    EXPECT_TRUE(run.Convert());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"),
                         "The record source Orders is bound through the link First; it is not bound again "
                         "through the link Second"));
    EXPECT_EQ(job.crReport()->Database().Tables().Count(), 1);
}

// Fields and formulas name the table as it was bound, from the first section on, and a record
// source reachable through two links is bound once.
TEST(Binding, FieldsAndFormulasNameTheBoundTable) {
    using namespace layout;
    struct Case {
        const char* what;
        std::string recordSource;
        bool ownLink;   // the front end's own tables (with its ODBC-linked dbo_Orders)
        bool odbcLink;  // the ODBC back end
        std::string table;
    };
    const Case cases[] = {
        {"raw SQL saved as a query", "SELECT Customer, Amount FROM Orders", true, false, "qryR"},
        {"ODBC back end", "dbo_Orders", false, true, "Orders"},
        {"front end first, then the back end", "dbo_Orders", true, true, "dbo_Orders"},
    };
    MakeOdbcOrders();
    for (const Case& c : cases)
        [&] {
            JobRun run;
            run.front.LinkOdbcTable("dbo_Orders", "ODBC;DSN=TolvaranConvert", "Orders");
            if (c.ownLink) run.AddInternalLink();
            if (c.odbcLink) run.AddLink(tolvaran::kLinkOdbc, "", "TolvaranConvert")->DSN = "TolvaranConvert";
            // The page header, with its formula, is converted before the detail's bound field.
            run.front.AddReport(
                "R", c.recordSource,
                Section("PageHeader", "PageHeaderSection", {Field("Head", "=[Customer] & \"!\"")}) +
                    Section("Section", "Detail", {Field("tCustomer", "Customer")}));
            run.store.prompt.inputAnswers.push_back("qryR");
            clsConvert& job = run.NewJob("R");
            ASSERT_TRUE(run.Convert()) << c.what << ::testing::PrintToString(run.Problems());
            EXPECT_TRUE(run.Problems().empty()) << c.what << ::testing::PrintToString(run.Problems());
            const designer::Report& r = *job.crReport();
            ASSERT_EQ(r.Database().Tables().Count(), 1) << c.what;
            EXPECT_EQ(r.Database().Tables().Item(1).Name(), c.table) << c.what;
            ASSERT_NE(r.FormulaFields().Find("Head"), nullptr) << c.what;
            EXPECT_EQ(r.FormulaFields().Find("Head")->Text(), "{" + c.table + ".Customer} & \"!\"") << c.what;
            EXPECT_EQ(AreaObjects(r, "D"), std::vector<std::string>{"F:{" + c.table + ".Customer}"})
                << c.what;
            if (c.ownLink && c.odbcLink) {
                EXPECT_TRUE(
                    Contains(Descriptions(run.Rows(), "AddDatabase"),
                             "The record source dbo_Orders is bound through the link Internal; it is not "
                             "bound again through the link TolvaranConvert"));
            }
        }();
}

TEST(Binding, LinksOfOtherKindsAreNeverBound) {
    for (long kind : {1L, 7L}) {
        JobRun run;
        auto link = run.AddLink(kind, run.front.Path(), "Odd");
        run.front.AddReport("R", "Orders");
        clsConvert& job = run.NewJob("R");
        // Such a link has no connection string: it does not open and is passed over.
        EXPECT_FALSE(run.Convert()) << kind;
        EXPECT_FALSE(job.success()) << kind;
        EXPECT_TRUE(run.Problems().empty()) << kind << ::testing::PrintToString(run.Problems());
        ASSERT_EQ(run.store.prompt.messages.size(), 1u) << kind;
        EXPECT_EQ(run.store.prompt.messages[0].title, "clsLink.OpenConnection");
        EXPECT_TRUE(Contains(Descriptions(run.Rows(), "Convert"), "Did not complete")) << kind;
        // Nor does the dispatcher bind one.
        EXPECT_FALSE(job.AddDatabaseReference(*link)) << kind;
    }
}

TEST(Binding, ALinkWhoseBackEndIsMissingIsLoggedAndPassedOver) {
    JobRun run;
    const std::string back = run.dir.File("Gone.mdb");
    run.AddLink(tolvaran::kLinkAccess, back, "Gone");
    run.AddInternalLink();
    run.front.AddReport("R", "Orders");
    run.NewJob("R");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    ASSERT_EQ(run.store.prompt.messages.size(), 1u);
    EXPECT_EQ(run.store.prompt.messages[0].title, "clsLink.OpenConnection");
    const std::string line = "Link Gone (" + back + ") could not be opened; passed over";
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"), line));
    EXPECT_TRUE(Contains(run.TextLog(), line));
}

TEST(Binding, RecordSourceMissingOnTheLinkIsNotBound) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "SELECT Nothing FROM NoSuchTable");
    run.store.prompt.inputAnswers.push_back("qryR");
    clsConvert& job = run.NewJob("R");
    EXPECT_FALSE(run.Convert());
    EXPECT_FALSE(job.success());
    // The view cannot be made over a missing table: the name is blank.
    const auto problems = run.Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0].rfind("Add Query/View to Database: Could not add view 'qryR' to database.", 0), 0u);
    EXPECT_EQ(problems[1], "AddDatabase: Step (1)olink querysource is blank");
}

// A record source that names no table or query of the source database (an export made beside
// another version of the file) is one problem that names it, whatever binds or fails after it.
TEST(Binding, ARecordSourceThatIsNoTableOrQueryIsOneProblemNamingIt) {
    for (const char* source : {"Commandes", "Requ\xC3\xAAte Factures"}) {
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("R", source,
                            layout::Level("Customer", true, false) +
                                layout::GroupHeader(0, "GroupHeader0", {layout::Field("tC", "Customer")}) +
                                DetailWithField("Amount"));
        run.NewJob("R");
        run.Convert();
        const std::string said = std::string("The record source ") + source +
                                 " is neither a table nor a query of the source database";
        std::vector<LogRow> saying;
        for (const LogRow& row : run.Rows())
            if (row.ErrorDesc == said) saying.push_back(row);
        ASSERT_EQ(saying.size(), 1u) << source << ::testing::PrintToString(run.Problems());
        EXPECT_EQ(saying[0].ErrorOccuredInFunction, "AddDatabase");
        EXPECT_EQ(saying[0].ErrorSeverityLevel.ToLong(), 2);
    }
}

TEST(Binding, StripOutdataTypes) {
    const std::pair<std::string, std::string> cases[] = {
        {"@StartDate datetime", "@startdate"}, {"@Name nvarchar(50)", "@name(50)"}, {"@Id bigint", "@id"},
        {"@Small smalldatetime", "@small"},    {"@Key uniqueidentifier", "@key "},  {"@Plain", "@plain"},
    };
    JobRun run;
    clsConvert& job = run.NewJob("R");
    for (const auto& [in, out] : cases) {
        std::string text = in;
        EXPECT_EQ(job.StripOutdataTypes(text), out) << in;
        EXPECT_EQ(text, out) << "the caller's text changes too: " << in;
    }
}

TEST(Binding, StoredProcedureParametersFromInputParameters) {
    JobRun run;
    run.front.AddReport(
        "R", "Orders", {},
        "    InputParameters =\"@StartDate datetime = 1/1/2004, @Region nvarchar(20) = West \"\n");
    run.front.AddReport("Plain", "Orders");
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(job.OpenAccess());
    ASSERT_TRUE(job.OpenAccessReport());
    const designer::StoredProcParams params = job.GetStoredProcedureParameters();
    ASSERT_EQ(params.Count(), 2);
    EXPECT_EQ(params.Item(1).Name, "@startdate");
    ASSERT_EQ(params.Item(1).Values.size(), 1u);
    EXPECT_EQ(params.Item(1).Values[0].Value, "1/1/2004");
    EXPECT_EQ(params.Item(1).Values[0].Kind, 0);
    EXPECT_EQ(params.Item(2).Name, "@region(20)");
    EXPECT_EQ(params.Item(2).Values[0].Value, "West");
    job.CloseAccess();

    job.ReportName = "Plain";
    ASSERT_TRUE(job.OpenAccess());
    ASSERT_TRUE(job.OpenAccessReport());
    EXPECT_EQ(job.GetStoredProcedureParameters().Count(), 0);
}

}  // namespace
}  // namespace convert_test
