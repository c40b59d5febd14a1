#include "platform/ado/sqlite_driver.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ado/ado.h"
#include "platform/ado/connection_pool.h"

namespace fs = std::filesystem;
using vb::Variant;

namespace {

class SqliteFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tolvaran_sqlite_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        file_ = (dir_ / "db.mdb").string();
        sqlite3* db = nullptr;
        sqlite3_open(file_.c_str(), &db);
        const char* schema =
            "CREATE TABLE Report (ReportId INTEGER PRIMARY KEY, ReportName TEXT(255), Selected BOOLEAN "
            "DEFAULT 0,"
            " UpdatedOn DATETIME, Amount DOUBLE);"
            "CREATE TABLE Customers (Id INTEGER, Name TEXT);"
            "CREATE VIEW qryNames AS SELECT ReportName FROM Report;"
            "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName "
            "TEXT,"
            " Connect TEXT);"
            "INSERT INTO MSysObjects VALUES ('Orders', 6, 0, 'C:\\data\\back.mdb', 'tblOrders', '');"
            "INSERT INTO MSysObjects VALUES ('dbo_Sales', 4, 0, NULL, 'dbo.Sales', 'ODBC;DSN=Sales;');"
            "INSERT INTO MSysObjects VALUES ('Local', 1, 0, NULL, NULL, NULL);";
        ASSERT_EQ(sqlite3_exec(db, schema, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        conn_ = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file_ +
                                    ";Jet OLEDB:Database Password=*&!tmz%$#");
    }
    void TearDown() override {
        conn_.reset();
        fs::remove_all(dir_);
    }
    // Whether the session's table list names the table.
    bool HasTable(const std::string& name) {
        for (const auto& t : conn_->driver().tables())
            if (t.name == name) return true;
        return false;
    }
    fs::path dir_;
    std::string file_;
    ado::ConnectionPtr conn_;
};

}  // namespace

TEST(OpenDriver, RefusesMissingAndForeignFilesNamingThem) {
    const auto dir = fs::temp_directory_path() / ("tolvaran_open_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string text = (dir / "notes.mdb").string();
    std::ofstream(text) << "this is not a database at all, just some words";
    fs::create_directory(dir / "folder.mdb");
    ASSERT_EQ(mkfifo((dir / "pipe.mdb").c_str(), 0600), 0);
    // What stands under the name is said: a folder or a FIFO is there, yet no file.
    const std::pair<std::string, std::string> cases[] = {
        {"notes.mdb", "Unrecognized database format"},
        {"missing.mdb", "Could not find file"},
        {"folder.mdb", "is a directory, not a database file"},
        {"pipe.mdb", "is a FIFO (named pipe), not a database file"}};
    for (const auto& [name, reason] : cases) {
        const std::string f = (dir / name).string();
        try {
            ado::Connection c;
            c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + f);
            FAIL() << "opened " << f;
        } catch (const vb::ComError& e) {
            EXPECT_NE(std::string(e.what()).find(f), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
    fs::remove_all(dir);
}

TEST(OpenDriver, RecognisesAccessHeaders) {
    const auto dir = fs::temp_directory_path() / ("tolvaran_hdr_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const struct {
        const char* magic;
        unsigned char version;
        int expected;
    } cases[] = {{"Standard Jet DB", 0, 3}, {"Standard Jet DB", 1, 4}, {"Standard ACE DB", 2, 5}};
    for (const auto& c : cases) {
        std::string head(64, '\0');
        head.replace(4, 15, c.magic);
        head[0x14] = static_cast<char>(c.version);
        const auto f = (dir / "x.mdb").string();
        std::ofstream(f, std::ios::binary) << head;
        EXPECT_EQ(ado::AccessFileVersion(f), c.expected) << c.magic;
    }
    fs::remove_all(dir);
}

TEST_F(SqliteFile, ConnectionStringKeepsProviderAndDataSource) {
    EXPECT_EQ(conn_->State(), ado::adStateOpen);
    const std::string cs = conn_->ConnectionString();
    EXPECT_NE(cs.find("Data Source=" + file_), std::string::npos);
    EXPECT_NE(cs.find("Microsoft.Jet.OLEDB.4.0"), std::string::npos);
    EXPECT_THROW(conn_->Open(), vb::ComError);  // already open
}

TEST_F(SqliteFile, AddNewReadsAutonumberAndDefaultsBack) {
    ado::Recordset rs;
    rs.Open("SELECT * FROM Report", conn_, ado::adOpenDynamic, ado::adLockOptimistic);
    EXPECT_TRUE(rs.Eof());
    EXPECT_TRUE(rs.Bof());
    for (const char* name : {"First", "O'Brien's \"Best\""}) {
        rs.AddNew();
        rs.set("ReportName", name);
        rs.set("UpdatedOn", vb::Date::FromParts(2026, 12, 7, 15, 4, 5));
        rs.Update();
    }
    EXPECT_EQ(rs["ReportId"], Variant(2LL));
    EXPECT_EQ(rs["Selected"], Variant(false));  // the column default, read back
    rs.Close();

    rs.Open("SELECT * FROM Report WHERE ReportName = ?", conn_, ado::adOpenStatic, ado::adLockReadOnly,
            {std::string("O'Brien's \"Best\"")});
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["ReportId"].ToLong(), 2);
    EXPECT_EQ(rs["UpdatedOn"], Variant(vb::Date::FromParts(2026, 12, 7, 15, 4, 5)));
    EXPECT_EQ(rs.Fields("UpdatedOn").Type(), ado::adDate);
    EXPECT_EQ(rs.Fields("Selected").Type(), ado::adBoolean);
    EXPECT_TRUE(rs["Amount"].IsNull());
    EXPECT_THROW(rs.set("ReportName", "x"), vb::ComError);  // read-only recordset
    EXPECT_THROW(rs.Fields("Nope"), vb::ComError);
}

TEST_F(SqliteFile, UpdateAndDeleteLocateTheRowByKey) {
    conn_->Execute("INSERT INTO Report (ReportName, Selected) VALUES (?, ?), (?, ?)",
                   {std::string("A"), true, std::string("B"), false});
    {
        ado::Recordset rs;
        rs.Open("SELECT * FROM Report where ReportId=2", conn_, ado::adOpenDynamic, ado::adLockOptimistic);
        rs.set("ReportName", "B2");
        rs.set("Selected", "True");  // coerced to the column's Boolean
        rs.Update();
    }
    {
        ado::Recordset rs;
        rs.Open("Report", conn_, ado::adOpenKeyset, ado::adLockOptimistic);
        ASSERT_EQ(rs.RecordCount(), 2);
        EXPECT_EQ(rs["Selected"], Variant(true));
        rs.Delete();
        rs.MoveNext();
        EXPECT_EQ(rs["ReportName"], Variant("B2"));
        EXPECT_EQ(rs["Selected"], Variant(true));
        rs.MoveNext();
        EXPECT_TRUE(rs.Eof());
        EXPECT_EQ(rs.RecordCount(), 1);
    }
    ado::Recordset rs;
    rs.Open("SELECT count(*) AS n FROM Report", conn_);
    EXPECT_EQ(rs["n"].ToLong(), 1);
    rs.Close();
    conn_->Execute("CREATE TABLE [Order Details] (Id INTEGER PRIMARY KEY)");
    for (const char* source : {"Order Details", "[Order Details]"}) {
        rs.Open(source, conn_, ado::adOpenStatic, ado::adLockOptimistic);
        EXPECT_EQ(rs.RecordCount(), 0) << source;
        rs.Close();
    }
}

TEST_F(SqliteFile, EditPendingWhenMovingIsWritten) {
    conn_->Execute("INSERT INTO Customers VALUES (1, 'a'), (2, NULL)");
    {
        ado::Recordset rs;
        rs.Open("SELECT * FROM Customers ORDER BY Id", conn_, ado::adOpenStatic, ado::adLockPessimistic);
        rs.MoveNext();
        rs.set("Name", "b");  // no key: the row is found by all its old values, Null included
        rs.MoveFirst();
    }
    ado::Recordset rs;
    rs.Open("SELECT Name FROM Customers WHERE Id = 2", conn_);
    EXPECT_EQ(rs["Name"], Variant("b"));
}

TEST_F(SqliteFile, JoinsAndMissingConnectionsAreRefused) {
    ado::Recordset rs;
    rs.Open("SELECT * FROM Report, Customers", conn_, ado::adOpenDynamic, ado::adLockOptimistic);
    EXPECT_THROW(rs.AddNew(), vb::ComError);
    ado::Recordset closed;
    EXPECT_THROW(closed.Open("Report", nullptr), vb::ComError);
    ado::Command cmd;
    cmd.CommandText = "DELETE FROM Report";
    try {
        cmd.Execute();
        FAIL();
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), vb::kErrActiveConnection);
    }
}

TEST_F(SqliteFile, JetDeleteFormAndParametersInExecute) {
    conn_->Execute("INSERT INTO Customers VALUES (?, ?)", {1, std::string("x'); DROP TABLE Report; --")});
    ado::Command cmd;
    cmd.ActiveConnection = conn_;
    cmd.CommandText = "DELETE * FROM Customers WHERE Name = ?";
    cmd.Parameters = {std::string("x'); DROP TABLE Report; --")};
    EXPECT_EQ(cmd.Execute(), 1);
    EXPECT_NO_THROW(conn_->Execute("SELECT * FROM Report"));
}

TEST_F(SqliteFile, CatalogReportsTablesViewsAndLinks) {
    auto& d = conn_->driver();
    std::map<std::string, ado::TableInfo> byName;
    for (auto& t : d.tables()) byName[t.name] = t;
    EXPECT_EQ(byName["Report"].type, "TABLE");
    EXPECT_EQ(byName["MSysObjects"].type, "SYSTEM TABLE");
    EXPECT_EQ(byName["qryNames"].type, "VIEW");
    EXPECT_EQ(byName["Orders"].type, "LINK");
    EXPECT_EQ(byName["Orders"].linkDatasource, "C:\\data\\back.mdb");
    EXPECT_EQ(byName["Orders"].remoteTableName, "tblOrders");
    EXPECT_EQ(byName["dbo_Sales"].type, "PASS-THROUGH");
    EXPECT_EQ(byName["dbo_Sales"].linkProviderString, "ODBC;DSN=Sales;");
    EXPECT_EQ(byName["dbo_Sales"].remoteTableName, "dbo.Sales");
    EXPECT_EQ(byName.count("Local"), 0u);

    const auto cols = d.columns("Report");
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_TRUE(cols[0].primaryKey);
    EXPECT_TRUE(cols[0].autoIncrement);
    EXPECT_EQ(cols[1].size, 255);

    EXPECT_TRUE(d.procedures().empty());
    auto views = d.views();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].commandText, "SELECT ReportName FROM Report");

    d.saveQuery("qryNames", "SELECT ReportId FROM Report", true);
    EXPECT_EQ(d.views()[0].commandText, "SELECT ReportId FROM Report");
    EXPECT_THROW(d.saveQuery("qryNames", "SELECT 1", false), vb::ComError);
    EXPECT_THROW(d.saveQuery("qryBad", "SELEC nonsense", true), vb::ComError);
    EXPECT_EQ(d.views().size(), 1u);
}

// The table list is kept between calls: a table or link added by this session or by another
// connection to the file shows in the next list, and one taken away leaves it.
TEST_F(SqliteFile, TableListFollowsChangesOfThisSessionAndOfOtherWriters) {
    auto has = [&](const std::string& name) { return HasTable(name); };
    ASSERT_FALSE(has("Extra"));
    conn_->Execute("CREATE TABLE Extra (Id INTEGER)");
    EXPECT_TRUE(has("Extra"));
    conn_->Execute("INSERT INTO MSysObjects VALUES ('Invoices', 6, 0, 'back.mdb', 'tblInvoices', '')");
    EXPECT_TRUE(has("Invoices"));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file_.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "INSERT INTO MSysObjects VALUES ('Payments', 6, 0, 'back.mdb', 'tblPay', '')",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    EXPECT_TRUE(has("Payments"));
    ASSERT_EQ(sqlite3_exec(other, "DROP TABLE Extra", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_FALSE(has("Extra"));
}

// The session knows an unchanged file by its header where the header tells (rollback
// journal, no transaction of its own open), and asks the engine where it does not (its own
// transaction, a write-ahead log): what it or another connection changes is seen at the next
// question.
TEST_F(SqliteFile, CatalogColumnsAndUserVersionFollowAnotherWriterInEitherJournalMode) {
    auto& d = conn_->driver();
    auto hasTable = [&](const std::string& name) { return HasTable(name); };
    auto hasColumn = [&](const std::string& name) {
        for (const auto& c : d.columns("Customers"))
            if (c.name == name) return true;
        return false;
    };
    // This session's own transaction is not in the file yet.
    conn_->BeginTrans();
    conn_->Execute("CREATE TABLE Pending (Id INTEGER)");
    conn_->Execute("PRAGMA user_version = 2");
    EXPECT_TRUE(hasTable("Pending"));
    EXPECT_EQ(d.userVersion(), 2);
    conn_->RollbackTrans();
    EXPECT_FALSE(hasTable("Pending"));
    for (const std::string mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        const std::string suffix = mode == "WAL" ? "W" : "D";
        ASSERT_FALSE(hasTable("Extra" + suffix));
        ASSERT_FALSE(hasColumn("City" + suffix));
        ASSERT_EQ(d.userVersion(), 0);
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(file_.c_str(), &other), SQLITE_OK);
        const std::string change = "PRAGMA journal_mode=" + mode +
                                   "; PRAGMA user_version = 3; CREATE TABLE Extra" + suffix +
                                   " (Id INTEGER); ALTER TABLE Customers ADD COLUMN City" + suffix + " TEXT;";
        ASSERT_EQ(sqlite3_exec(other, change.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_TRUE(hasTable("Extra" + suffix));
        EXPECT_TRUE(hasColumn("City" + suffix));
        EXPECT_EQ(d.userVersion(), 3);
        ASSERT_EQ(sqlite3_exec(other, "PRAGMA user_version = 0", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(d.userVersion(), 0);
        sqlite3_close(other);
    }
}

TEST_F(SqliteFile, UserVersionMarksJet3StandIns) {
    auto* d = dynamic_cast<ado::SqliteDriver*>(&conn_->driver());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->userVersion(), 0);
    conn_->Execute("PRAGMA user_version = 3");
    EXPECT_EQ(d->userVersion(), 3);
}

TEST_F(SqliteFile, ForwardOnlyCountsAsUnknown) {
    conn_->Execute("INSERT INTO Customers VALUES (1, 'a'), (2, 'b')");
    ado::Recordset rs;
    rs.Open("SELECT * FROM Customers ORDER BY Id", conn_);
    EXPECT_EQ(rs.RecordCount(), -1);
    EXPECT_THROW(rs.MovePrevious(), vb::ComError);
    rs.MoveLast();
    EXPECT_EQ(rs["Id"].ToLong(), 2);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.MoveNext(), vb::ComError);
    EXPECT_THROW(rs["Id"], vb::ComError);
}

// Statements are kept prepared by their text: the same text read twice at once gets two
// statements, and a kept one follows a change of the table it reads.
TEST_F(SqliteFile, KeptStatementsServeReadsAtOnceAndFollowSchemaChanges) {
    for (const char* name : {"a", "b", "c"})
        conn_->Execute("INSERT INTO Report (ReportName) VALUES (?)", {name});
    const std::string sql = "SELECT ReportName FROM Report ORDER BY ReportId";
    auto first = conn_->driver().query(sql, {});
    auto second = conn_->driver().query(sql, {});
    std::vector<Variant> a, b;
    std::string seen;
    while (first->next(a) && second->next(b)) seen += a[0].ToString() + b[0].ToString();
    EXPECT_EQ(seen, "aabbcc");

    ado::Recordset rs;
    rs.Open("SELECT * FROM Report", conn_, ado::adOpenDynamic, ado::adLockOptimistic);
    rs.Close();
    conn_->Execute("ALTER TABLE Report ADD COLUMN Extra TEXT DEFAULT 'x'");
    rs.Open("SELECT * FROM Report", conn_, ado::adOpenDynamic, ado::adLockOptimistic);
    ASSERT_TRUE(rs.HasField("EXTRA"));
    rs.set("Extra", Variant("y"));
    rs.Update();
    rs.Close();
    rs.Open("SELECT Extra FROM Report ORDER BY ReportId", conn_);
    EXPECT_EQ(rs["Extra"].ToString(), "y");
}

TEST_F(SqliteFile, TransactionsNestAndRollBackTheirLevel) {
    EXPECT_EQ(conn_->BeginTrans(), 1);
    conn_->Execute("INSERT INTO Customers (Id, Name) VALUES (1, 'kept')");
    EXPECT_EQ(conn_->BeginTrans(), 2);
    conn_->Execute("INSERT INTO Customers (Id, Name) VALUES (2, 'dropped')");
    conn_->RollbackTrans();
    EXPECT_EQ(conn_->TransactionLevel(), 1);
    conn_->CommitTrans();
    EXPECT_EQ(conn_->TransactionLevel(), 0);
    ado::Recordset rs;
    rs.Open("SELECT Name FROM Customers", conn_);
    EXPECT_EQ(rs["Name"].ToString(), "kept");
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    try {
        conn_->CommitTrans();
        FAIL() << "committed without a transaction";
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), 3251);
    }
}

// Within a pool, connections to one file share its session (a row not yet committed through
// one is seen through the other) and each keeps its own connection string.
TEST_F(SqliteFile, ConnectionsOfOnePoolShareTheFilesSession) {
    ado::ConnectionPool pool;
    ado::ConnectionPool::Use use(pool);
    auto one = ado::OpenConnection("Data Source=" + file_);
    auto two =
        ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file_ + ";User ID=Admin");
    EXPECT_EQ(pool.Size(), 1u);
    EXPECT_EQ(one->ConnectionString(), "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file_);
    EXPECT_NE(two->ConnectionString().find("User ID=Admin"), std::string::npos);
    one->BeginTrans();
    one->Execute("INSERT INTO Customers (Id, Name) VALUES (5, 'pending')");
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) AS n FROM Customers", two);
    EXPECT_EQ(rs["n"].ToLong(), 1);
    rs.Close();
    one->RollbackTrans();
}

namespace {

// A connection that only reads runs no statement that writes, also not one that writes a new
// file or attaches one, and shares no pooled session that writes.
TEST_F(SqliteFile, AConnectionThatOnlyReadsRunsNothingThatWrites) {
    ado::ConnectionPool pool;
    ado::ConnectionPool::Use use(pool);
    auto writer = ado::OpenConnection("Data Source=" + file_);
    writer->Execute("INSERT INTO Customers (Id, Name) VALUES (1, 'kept')");
    ado::ConnectionOptions options;
    options.readOnly = true;
    auto reader = ado::OpenConnection("Data Source=" + file_, options);
    EXPECT_TRUE(reader->driver().readOnly());
    const std::string copy = (dir_ / "copy.db").string();
    for (const std::string& sql :
         {std::string("DELETE FROM Customers"), "VACUUM INTO '" + copy + "'",
          "ATTACH '" + (dir_ / "new.db").string() + "' AS other", std::string("PRAGMA user_version = 7"),
          std::string("DROP VIEW qryNames")}) {
        EXPECT_THROW(reader->Execute(sql), vb::ComError) << sql;
        EXPECT_THROW(reader->driver().query(sql, {}), vb::ComError) << sql;
    }
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(dir_ / "new.db"));
    ado::Recordset rs;
    rs.Open("SELECT Name FROM Customers", reader);
    EXPECT_EQ(rs["Name"].ToString(), "kept");
}

}  // namespace
