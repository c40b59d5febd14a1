#include "platform/access/application.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "export_fixtures.h"
#include "support/corpus.h"

using namespace tolvaran::access;
namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = corpus::Dir();

long ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const vb::ComError& e) {
        return e.Number();
    }
    return 0;
}

// A SQLite stand-in for an Access file: one table, one saved query (a view), the MSysObjects
// table, and report exports in "<file>.src/reports/".
class StandIn : public ::testing::Test {
  protected:
    std::string MakeDatabase(const std::string& name, int userVersion) {
        std::string path = (folder_.path() / name).string();
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        std::string sql =
            "CREATE TABLE Customers (CustomerID INTEGER PRIMARY KEY, [Company Name] TEXT);"
            "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, [Database] TEXT, "
            "ForeignName TEXT, Connect TEXT);"
            "CREATE VIEW [Customers O'Neil] AS SELECT * FROM Customers WHERE [Company Name] LIKE 'O''%';"
            "PRAGMA user_version = " +
            std::to_string(userVersion) + ";";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
        return path;
    }

    void AddExport(const std::string& database, const std::string& corpusFile, const std::string& asName) {
        fs::path dest = fs::path(database + ".src") / "reports" / asName;
        fs::create_directories(dest.parent_path());
        fs::copy_file(kCorpus / "reports" / corpusFile, dest, fs::copy_options::overwrite_existing);
    }

    access_test::TempFolder folder_;
};

}  // namespace

TEST_F(StandIn, EngineVersionFollowsTheFile) {
    SKIP_WITHOUT_CORPUS();
    Application app;
    EXPECT_EQ(app.DBEngine().Version(), "4.0");  // nothing open
    std::string jet3 = MakeDatabase("old.mdb", 3);
    std::string jet4 = MakeDatabase("new.mdb", 0);
    app.OpenCurrentDatabase(jet3, false);
    EXPECT_EQ(app.DBEngine().Version(), "3.51");
    app.CloseCurrentDatabase();
    EXPECT_EQ(app.DBEngine().Version(), "4.0");
    app.OpenCurrentDatabase(jet4);
    EXPECT_EQ(app.DBEngine().Version(), "4.0");
}

TEST_F(StandIn, AFileWhosePathHoldsASemicolonOpens) {
    Application app;
    app.OpenCurrentDatabase(MakeDatabase("Sales; Mode=Read.mdb", 3));
    EXPECT_EQ(app.DBEngine().Version(), "3.51");
}

TEST_F(StandIn, OpeningFailuresUseAccessNumbers) {
    Application app;
    EXPECT_EQ(ErrorNumber([&] { app.OpenCurrentDatabase((folder_.path() / "missing.mdb").string()); }),
              kErrCannotOpenDatabase);
    std::string junk = folder_.Write("junk.mdb", "this is not a database");
    EXPECT_EQ(ErrorNumber([&] { app.OpenCurrentDatabase(junk); }), kErrCannotOpenDatabase);
    // A folder or a FIFO under the name is said for what it is.
    std::filesystem::create_directory(folder_.path() / "folder.mdb");
    ASSERT_EQ(mkfifo((folder_.path() / "pipe.mdb").c_str(), 0600), 0);
    for (const auto& [name, kind] : {std::pair<std::string, std::string>{"folder.mdb", "a directory"},
                                     {"pipe.mdb", "a FIFO (named pipe)"}}) {
        const std::string path = (folder_.path() / name).string();
        try {
            app.OpenCurrentDatabase(path);
            FAIL() << path;
        } catch (const vb::ComError& e) {
            EXPECT_EQ(e.Number(), kErrCannotOpenDatabase);
            EXPECT_EQ(e.Description(), "Microsoft Access can't open the database '" + path + "': it is " +
                                           kind + ", not a database file.");
        }
    }
    EXPECT_EQ(ErrorNumber([&] { app.CurrentDb(); }), kErrNoCurrentDatabase);
    std::string db = MakeDatabase("a.mdb", 0);
    app.OpenCurrentDatabase(db);
    EXPECT_EQ(ErrorNumber([&] { app.OpenCurrentDatabase(db); }), kErrDatabaseAlreadyOpen);
    app.Quit(2);
    EXPECT_EQ(ErrorNumber([&] { app.OpenCurrentDatabase(db); }), 462);
    EXPECT_EQ(ErrorNumber([&] { app.DBEngine().Version(); }), 462);
}

TEST_F(StandIn, DatabaseSideTablesAndSavedQueries) {
    std::string db = MakeDatabase("Orders.mdb", 0);
    Application app;
    app.OpenCurrentDatabase(db);
    Database cdb = app.CurrentDb();
    EXPECT_EQ(cdb.Name(), db);
    NamedList tables = cdb.TableDefs();
    ASSERT_EQ(tables.Count(), 2);
    EXPECT_EQ(tables.Item("customers").Name, "Customers");
    EXPECT_EQ(app.CurrentData().AllTables().Count(), 2);

    QueryDef q = cdb.QueryDefs("Customers O'Neil");  // a name with a quote in it
    EXPECT_NE(q.SQL().find("SELECT"), std::string::npos);
    EXPECT_EQ(ErrorNumber([&] { cdb.QueryDefs("nothing"); }), kErrItemNotFound);

    QueryDef made = cdb.CreateQueryDef("qry Ada's");
    made.setSQL("SELECT CustomerID FROM Customers");
    made.Close();
    EXPECT_EQ(app.CurrentDb().QueryDefs("qry Ada's").Name(), "qry Ada's");
    EXPECT_EQ(ErrorNumber([&] { cdb.CreateQueryDef("qry Ada's", "SELECT 1"); }), 3012);

    EXPECT_EQ(app.CurrentProject().Name(), "Orders.mdb");
    EXPECT_EQ(app.CurrentProject().Path(), folder_.path().string());
    EXPECT_EQ(app.CurrentProject().AccessConnection(), "");
}

TEST_F(StandIn, ReportSideFindsExportsAndOpensThem) {
    SKIP_WITHOUT_CORPUS();
    std::string db = MakeDatabase("Nwind.mdb", 0);
    AddExport(db, "Jlr97470__Nwind2k.mdb__Ventes annuelles.report", "Ventes annuelles.report");
    AddExport(db, "Jlr97470__Nwind2k.mdb__Sous-état ventes annuelles.report",
              "Sous-état ventes annuelles.report");
    AddExport(db, "kallal__Control__rptEmployeeID_WithPin.bas", "rptEmployeeID_WithPin.bas");
    folder_.Write("Nwind.mdb.src/reports/Broken.txt", "Version =20\nBegin Report\n");
    folder_.Write("Nwind.mdb.src/reports/notes.md", "not an export");

    Application app;
    app.OpenCurrentDatabase(db, false);
    app.Visible = false;

    ContainerList containers = app.CurrentDb().Containers();
    long reportsAt = -1;
    for (long i = 0; i < containers.Count(); ++i)
        if (containers.Item(i).Name == "Reports") reportsAt = i;
    ASSERT_GE(reportsAt, 0);
    const NamedList& docs = containers.Item(reportsAt).Documents;
    ASSERT_EQ(docs.Count(), 4);
    EXPECT_EQ(docs.Item(0L).Name, "Broken");
    EXPECT_EQ(docs.Item(1L).Name, "rptEmployeeID_WithPin");
    EXPECT_EQ(docs.Item(2L).Name, "Sous-état ventes annuelles");
    EXPECT_EQ(docs.Item(3L).Name, "Ventes annuelles");
    EXPECT_EQ(app.CurrentProject().AllReports().Count(), 4);

    EXPECT_EQ(ErrorNumber([&] { app.Reports("Ventes annuelles"); }), kErrReportNotOpen);
    app.DoCmd().OpenReport("Ventes annuelles", acViewDesign);
    ReportPtr r = app.Reports("VENTES ANNUELLES");
    EXPECT_EQ(r->Name(), "Ventes annuelles");
    EXPECT_EQ(r->Controls("SousÉtatVentesAnnuelles").SourceObject(), "Report.Sous-état ventes annuelles");
    EXPECT_EQ(r->Section(0).Name(), "Détail");

    // The landscape report's orientation comes from its PrtDevMode block.
    app.DoCmd().OpenReport("rptEmployeeID_WithPin", acViewDesign);
    EXPECT_EQ(app.Reports("rptEmployeeID_WithPin")->Orientation(), 2);

    EXPECT_EQ(ErrorNumber([&] { app.DoCmd().OpenReport("No such report", 1); }), kErrReportNotFound);
    try {
        app.DoCmd().OpenReport("Broken", 1);
        ADD_FAILURE() << "a damaged export opened";
    } catch (const ExportError& e) {
        EXPECT_EQ(e.Number(), kErrBadExport);
        EXPECT_NE(std::string(e.what()).find("Broken.txt"), std::string::npos);
    }

    // Closing the database closes its reports; a handle the caller kept stays readable.
    app.CloseCurrentDatabase();
    EXPECT_EQ(ErrorNumber([&] { app.Reports("Ventes annuelles"); }), kErrReportNotOpen);
    EXPECT_EQ(r->GroupLevelCount(), 3);
}

TEST_F(StandIn, DataProjectReadsItsConnectionText) {
    SKIP_WITHOUT_CORPUS();
    std::string adp = folder_.Write("Project.adp", "binary project");
    folder_.Write(
        "Project.adp.src/connection.txt",
        "\xEF\xBB\xBFProvider=SQLOLEDB.1;Data Source=srv;Initial Catalog=Sales;Integrated Security=SSPI\r\n");
    AddExport(adp, "NCRN__Birds__rpt_Event_Report.bas", "rpt_Event_Report.bas");
    Application app;
    app.OpenCurrentDatabase(adp);
    EXPECT_EQ(app.CurrentProject().AccessConnection(),
              "Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=Sales;Integrated Security=SSPI");
    EXPECT_EQ(app.CurrentProject().AllReports().Count(), 1);
    EXPECT_EQ(ErrorNumber([&] { app.CurrentDb(); }), kErrNoCurrentDatabase);
    app.DoCmd().OpenReport("rpt_Event_Report", acViewDesign);
    EXPECT_EQ(app.Reports("rpt_Event_Report")->Controls("srpt_Details").LinkMasterFields(), "Event_ID");
}

TEST(AccessFiles, RealJetFilesThroughTheAccessDriver) {
    SKIP_WITHOUT_CORPUS();
    // Needs the Access-file driver; a file it cannot read fails with 7866.
    Application app;
    const std::string nwind = (kCorpus / "db" / "mdbtools__mdbtestdata__nwind.mdb").string();
    try {
        app.OpenCurrentDatabase(nwind);
    } catch (const vb::ComError& e) {
        ASSERT_EQ(e.Number(), kErrCannotOpenDatabase);
        GTEST_SKIP() << "Access-file driver not available: " << e.what();
    }
    EXPECT_EQ(app.DBEngine().Version(), "3.51");
    EXPECT_GT(app.CurrentDb().TableDefs().Count(), 0);
    EXPECT_EQ(ErrorNumber([&] { app.CurrentDb().CreateQueryDef("q", "SELECT 1"); }), kErrReadOnly);
    app.CloseCurrentDatabase();
    // Saved queries that are not plain SELECTs are found by name as well.
    app.OpenCurrentDatabase((kCorpus / "db" / "jahlborn__jackcess__queryTestV2003.mdb").string());
    EXPECT_NE(app.CurrentDb().QueryDefs("UnionQuery").SQL().find("UNION ALL"), std::string::npos);
    EXPECT_EQ(app.CurrentDb().QueryDefs("SelectQuery").SQL().rfind("SELECT DISTINCT", 0), 0u);
    app.CloseCurrentDatabase();
    app.OpenCurrentDatabase((kCorpus / "db" / "mdbtools__mdbtestdata__DateTestDatabase.mdb").string());
    EXPECT_EQ(app.DBEngine().Version(), "4.0");
}

TEST_F(StandIn, ExportFileNamesDecodeTheEscapesOfUnsafeCharacters) {
    const std::string db = MakeDatabase("Sales.mdb", 0);
    const std::string text = "Version =20\nBegin Report\n    Begin\n    End\nEnd\n";
    // No escape stands for a control character: "%00" and "%0A" are text of the name.
    for (const char* file : {"Sales%2FRegion #2.bas", "100%.bas", "Growth %zz.bas", "a%5cb%25c.bas",
                             "Sales.mdb%00.bas", "Two%0Alines%7F.bas"})
        folder_.Write(std::string("Sales.mdb.src/reports/") + file, text);
    Application app;
    app.OpenCurrentDatabase(db, false);
    const NamedList& all = app.CurrentProject().AllReports();
    std::vector<std::string> names;
    for (long i = 0; i < all.Count(); ++i) names.push_back(all.Item(i).Name);
    EXPECT_EQ(names, (std::vector<std::string>{"100%", "a\\b%c", "Growth %zz", "Sales.mdb%00",
                                               "Sales/Region #2", "Two%0Alines%7F"}));
    app.DoCmd().OpenReport("Sales/Region #2", acViewDesign);
    EXPECT_EQ(app.Reports("Sales/Region #2")->Name(), "Sales/Region #2");
}
