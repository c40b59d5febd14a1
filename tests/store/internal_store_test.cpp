#include <fstream>

#include "platform/ado/ado.h"
#include "store/text_log.h"
#include "store_fixture.h"

using tolvaran::CheckAndTransferData;
using tolvaran::openConnection;

namespace {

std::string Slurp(const std::string& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void SetOption(const std::string& file, bool value) {
    auto c = tolvaran::SetConn(file, tolvaran::kStorePassword);
    c->Execute(
        "UPDATE Options SET SuppressSectionsWithNoControls = ?, LoadReportsOnOpen = ? WHERE SystemConfigId = "
        "1",
        {value, value});
}

bool ReadOption(const std::string& file) {
    auto c = tolvaran::SetConn(file, tolvaran::kStorePassword);
    ado::Recordset rs;
    rs.Open("SELECT * FROM Options WHERE SystemConfigId = 1", c);
    return rs["SuppressSectionsWithNoControls"].ToBool();
}

}  // namespace

TEST_F(ProgramFolder, FirstStartCreatesBothFilesFromTheTemplates) {
    CopyTemplates();
    CheckAndTransferData(ctx);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(fs::exists(file("TOLVARAN.DAT")));
    EXPECT_TRUE(fs::exists(file("TOLVARAN.ADL")));
    ASSERT_TRUE(openConnection(ctx));
    EXPECT_EQ(ctx.gInternalDb->State(), ado::adStateOpen);
    EXPECT_EQ(ctx.gDb->State(), ado::adStateOpen);
    EXPECT_NE(ctx.gDb->ConnectionString().find("TOLVARAN.ADL"), std::string::npos);

    // A second call opens nothing again.
    auto settings = ctx.gInternalDb;
    EXPECT_TRUE(openConnection(ctx));
    EXPECT_EQ(ctx.gInternalDb, settings);
}

// A folder name may hold what ends or quotes a part of a connection text.
TEST_F(ProgramFolder, AFolderWhosePathHoldsASemicolonOrQuotesStartsUp) {
    for (const char* name : {"tools; Mode=Read", "O'Neil \"x\"; y"}) {
        const fs::path folder = dir / name;
        fs::create_directories(folder);
        for (const char* t : {tolvaran::kSettingsTemplate, tolvaran::kListsTemplate})
            fs::copy_file(fs::path(TOLVARAN_BIN_DIR) / t, folder / t);
        tolvaran::AppContext run;
        run.programFolder = folder.string();
        run.prompt = &prompt;
        CheckAndTransferData(run);
        const bool opened = openConnection(run);
        ASSERT_TRUE(prompt.messages.empty()) << name << ": " << prompt.messages[0].prompt;
        ASSERT_TRUE(opened) << name;
        // The text the store reports opens the same file again (the report windows do so).
        auto again = ado::OpenConnection(run.gDb->ConnectionString());
        ado::Recordset rs;
        rs.Open("SELECT COUNT(*) AS n FROM DatabaseList", again);
        EXPECT_EQ(rs["n"].ToLong(), 0) << name;
    }
}

TEST_F(ProgramFolder, ExistingListsFileStaysAndUserOptionsSurviveTheRefresh) {
    OpenStore();
    ctx.gDb->Execute("INSERT INTO DatabaseList (ReportDatabase) VALUES (?)", {std::string("/data/a.mdb")});
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    SetOption(file("TOLVARAN.DAT"), false);
    const std::string listsBefore = Slurp(file("TOLVARAN.ADL"));

    CheckAndTransferData(ctx);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(Slurp(file("TOLVARAN.ADL")), listsBefore);
    EXPECT_FALSE(ReadOption(file("TOLVARAN.DAT")));  // the user's choice, not the template's True
    // Shipped tables are refreshed from the template all the same.
    auto c = tolvaran::SetConn(file("TOLVARAN.DAT"), tolvaran::kStorePassword);
    c->Execute("DELETE FROM ToolBars");
    c.reset();
    CheckAndTransferData(ctx);
    c = tolvaran::SetConn(file("TOLVARAN.DAT"), tolvaran::kStorePassword);
    ado::Recordset rs;
    rs.Open("SELECT count(*) AS n FROM ToolBars", c);
    EXPECT_GT(rs["n"].ToLong(), 0);
}

TEST_F(ProgramFolder, DamagedSettingsFileIsReplacedByTheTemplate) {
    CopyTemplates();
    std::ofstream(file("TOLVARAN.DAT")) << "garbage";
    CheckAndTransferData(ctx);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(ReadOption(file("TOLVARAN.DAT")));
}

TEST_F(ProgramFolder, OldSingleFileIsTheTemplateOfMissingFilesOnly) {
    CopyTemplates();
    fs::copy_file(file("tolvaran.f2"), file("Tolvaran.TVN"));
    std::ofstream(file("TOLVARAN.DAT")) << "kept as it is";
    fs::remove(file("tolvaran.f1"));
    CheckAndTransferData(ctx);
    EXPECT_EQ(Slurp(file("TOLVARAN.DAT")), "kept as it is");
    EXPECT_EQ(Slurp(file("TOLVARAN.ADL")), Slurp(file("Tolvaran.TVN")));
    // The test-open of the damaged settings file is reported.
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "CheckAndTransferData");

    prompt.messages.clear();
    fs::remove(file("TOLVARAN.ADL"));
    fs::copy_file(file("tolvaran.f2"), file("TOLVARAN.DAT"), fs::copy_options::overwrite_existing);
    const std::string settings = Slurp(file("TOLVARAN.DAT"));
    CheckAndTransferData(ctx);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(Slurp(file("TOLVARAN.DAT")), settings);
    EXPECT_TRUE(fs::exists(file("TOLVARAN.ADL")));
}

TEST_F(ProgramFolder, MissingTemplateIsReportedAndOpeningFailsWithALogLine) {
    CheckAndTransferData(ctx);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "CheckAndTransferData");
    EXPECT_FALSE(fs::exists(file("TOLVARAN.ADL")));  // the rest of the routine is skipped

    tolvaran::clsWriteToText log(&prompt);
    log.FilePath = dir.string();
    log.Filename = "Startup";
    log.Extension = ".log";
    log.Create_File();
    ctx.startupLog = &log;
    prompt.messages.clear();
    EXPECT_FALSE(openConnection(ctx));
    log.close_file();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].title, "OpenConnection");
    EXPECT_EQ(Slurp(file("Startup.log")).rfind("OpenConnection:", 0), 0u);
}

TEST_F(ProgramFolder, MissingListsFileLeavesTheSettingsConnectionOpen) {
    OpenStore();
    ctx.gDb->Close();
    ctx.gInternalDb->Close();
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    fs::remove(file("TOLVARAN.ADL"));
    EXPECT_FALSE(openConnection(ctx));
    EXPECT_EQ(ctx.gInternalDb->State(), ado::adStateOpen);
    EXPECT_EQ(ctx.gDb->State(), ado::adStateClosed);
}

TEST_F(ProgramFolder, CopyRecordsCopiesTheRemainingRowsByName) {
    OpenStore();
    ctx.gDb->Execute("INSERT INTO Report (ReportName, DatabaseListId) VALUES ('a', 1), ('b', 1), ('c', 2)");
    ado::Recordset source, target;
    source.Open("SELECT ReportName, DatabaseListId FROM Report ORDER BY ReportName", ctx.gDb,
                ado::adOpenStatic);
    source.MoveNext();
    target.Open("SELECT * FROM Report WHERE 1 = 0", ctx.gDb, ado::adOpenDynamic, ado::adLockOptimistic);
    tolvaran::CopyRecords(source, target, &prompt);
    EXPECT_TRUE(prompt.messages.empty());
    ado::Recordset rs;
    rs.Open("SELECT count(*) AS n FROM Report", ctx.gDb);
    EXPECT_EQ(rs["n"].ToLong(), 5);
}

// A lists file made by an earlier template lacks the index on (ReportId, ControlName):
// opening it adds the index and changes no row. Closing the last connection leaves the file
// alone, without -wal or -shm files beside it, in its own journal mode.
TEST_F(ProgramFolder, AnEarlierListsFileIsUpgradedAndClosedSelfContained) {
    OpenStore();
    ctx.gDb->Execute("DROP INDEX ControlsReportName");
    ctx.gDb->Execute("INSERT INTO Controls (ReportId, ControlName, LeftPos) VALUES (7, 'O''Brien', 300)");
    ctx.gDb->Execute("INSERT INTO ErrorLog (ReportId, ErrorDesc) VALUES (7, 'kept')");
    ctx.gDb.reset();
    ctx.gInternalDb.reset();

    ASSERT_TRUE(openConnection(ctx));
    auto count = [&](const std::string& sql) {
        ado::Recordset rs;
        rs.Open(sql, ctx.gDb);
        return rs.Fields(0).Value().ToLong();
    };
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = 'ControlsReportName'"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Controls WHERE ControlName = 'O''Brien' AND LeftPos = 300"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ErrorLog WHERE ErrorDesc = 'kept'"), 1);

    ctx.gDb->Execute("PRAGMA journal_mode=WAL");
    ctx.gDb->Execute("INSERT INTO ErrorLog (ReportId, ErrorDesc) VALUES (8, 'in the log')");
    EXPECT_TRUE(fs::exists(file("TOLVARAN.ADL") + std::string("-wal")));
    ctx.gDb.reset();
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(fs::exists(file("TOLVARAN.ADL") + std::string(suffix))) << suffix;
    auto alone = tolvaran::SetConn(file("TOLVARAN.ADL"), tolvaran::kStorePassword);
    ado::Recordset rs;
    rs.Open("PRAGMA journal_mode", alone);
    EXPECT_EQ(rs.Fields(0).Value().ToString(), "delete");
    rs.Close();
    rs.Open("SELECT COUNT(*) FROM ErrorLog WHERE ErrorDesc = 'in the log'", alone);
    EXPECT_EQ(rs.Fields(0).Value().ToLong(), 1);
}

// The key of a removed entry is never given again: not in a new lists file, nor in one made by
// an earlier template (which numbered its entries after the highest one left), where a key
// that rows of a removed entry still carry counts as given. Existing entries keep their keys.
TEST_F(ProgramFolder, KeysOfRemovedEntriesAreNeverGivenAgain) {
    OpenStore();
    auto add = [&](const std::string& file) {
        ctx.gDb->Execute("INSERT INTO DatabaseList (ReportDatabase) VALUES (?)", {file});
        ado::Recordset rs;
        rs.Open("SELECT MAX(DatabaseListId) FROM DatabaseList", ctx.gDb);
        return rs.Fields(0).Value().ToLong();
    };
    const long long first = add("a.mdb");
    ctx.gDb->Execute("DELETE FROM DatabaseList WHERE DatabaseListId = ?", {vb::Variant(first)});
    EXPECT_GT(add("b.mdb"), first);

    // The earlier template's table: the same columns, keys numbered after the highest row.
    ctx.gDb->Execute("DELETE FROM DatabaseList");
    ado::Recordset rs;
    rs.Open("SELECT sql FROM sqlite_master WHERE name = 'DatabaseList'", ctx.gDb);
    std::string earlier = rs.Fields(0).Value().ToString();
    rs.Close();
    earlier.replace(earlier.find(" AUTOINCREMENT"), 14, "");
    ctx.gDb->Execute("DROP VIEW ShowReportErrors");
    ctx.gDb->Execute("CREATE VIEW ShowReportErrors AS SELECT ErrorOccuredInFunction FROM ErrorLog");
    ctx.gDb->Execute("DROP TABLE DatabaseList");
    ctx.gDb->Execute(earlier);
    ctx.gDb->Execute(
        "INSERT INTO DatabaseList (DatabaseListId, ReportDatabase) VALUES (1, 'one.mdb'), (2, 'two.mdb')");
    // Entry 3 was removed; its report and link rows stay behind.
    ctx.gDb->Execute("INSERT INTO Report (DatabaseListId, ReportName) VALUES (3, 'Left behind')");
    ctx.gDb->Execute("INSERT INTO DatabaseConnections (DatabaseListId, LinkName) VALUES (3, 'INTERNAL')");
    ctx.gDb.reset();
    ctx.gInternalDb.reset();

    ASSERT_TRUE(openConnection(ctx));
    EXPECT_EQ(add("three.mdb"), 4);
    ctx.gDb->Execute("DELETE FROM DatabaseList WHERE DatabaseListId = 4");
    EXPECT_EQ(add("four.mdb"), 5);
    rs.Open("SELECT ReportDatabase FROM DatabaseList WHERE DatabaseListId = 2", ctx.gDb);
    EXPECT_EQ(rs.Fields(0).Value().ToString(), "two.mdb");
    rs.Close();
    // The view is the template's: a formula problem's row names its formula.
    ctx.gDb->Execute("INSERT INTO ErrorLog (ReportId, FormulaName) VALUES (9, 'Total')");
    rs.Open("SELECT ErrorOccuredInFunction FROM ShowReportErrors WHERE ReportId = 9", ctx.gDb);
    EXPECT_EQ(rs.Fields(0).Value().ToString(), "Formula Total");
}
