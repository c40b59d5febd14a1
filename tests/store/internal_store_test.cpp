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
