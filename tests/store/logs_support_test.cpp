#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <set>

#include "platform/ado/ado.h"
#include "platform/ui/launcher.h"
#include "store/report_files.h"
#include "store/support.h"
#include "store/text_log.h"
#include "store_fixture.h"

using namespace tolvaran;

namespace {

void WriteText(const fs::path& f, const std::string& text) {
    std::ofstream(f, std::ios::binary | std::ios::trunc) << text;
}

std::string Slurp(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RecordingHelp : public ui::HelpService {
  public:
    std::vector<std::pair<std::string, long>> shown;
    void ShowTopic(const std::string& file, long id) override { shown.emplace_back(file, id); }
};

}  // namespace

TEST_F(ProgramFolder, TextLogJoinsFolderAndSafeName) {
    for (const std::string& folder : {dir.string(), dir.string() + "/"}) {
        clsWriteToText log(&prompt);
        log.FilePath = folder;
        log.Filename = "Sales/2004#Q1";
        log.Extension = ".txt";
        log.Create_File();
        log.PutToFile("one");
        log.PutToFile("two");
        log.close_file();
        EXPECT_EQ(Slurp(dir / "Sales_2004_Q1.txt"), "one\ntwo\n") << folder;
    }
    // Creating it again empties it.
    clsWriteToText log(&prompt);
    log.FilePath = dir.string();
    log.Filename = "Sales/2004#Q1";
    log.Extension = ".txt";
    log.Create_File();
    log.close_file();
    EXPECT_EQ(Slurp(dir / "Sales_2004_Q1.txt"), "");
    EXPECT_TRUE(prompt.messages.empty());
}

// Whatever stands under a text log's name is replaced by the new log, never written through:
// a symbolic or hard link to a file (the lists file, say) leaves that file as it was, and a
// link to nowhere makes nothing where it points.
TEST_F(ProgramFolder, TextLogReplacesALinkInItsPlace) {
    const fs::path elsewhere = dir / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path kept = elsewhere / "TOLVARAN.ADL";
    const fs::path log = dir / "Sales_ErrorLog.txt";
    const std::vector<std::pair<std::string, std::function<void()>>> links = {
        {"symbolic", [&] { fs::create_symlink(kept, log); }},
        {"hard", [&] { fs::create_hard_link(kept, log); }},
        {"dangling", [&] { fs::create_symlink(elsewhere / "nowhere.txt", log); }},
    };
    for (const auto& [kind, link] : links) {
        SCOPED_TRACE(kind);
        WriteText(kept, "every entry");
        fs::remove(log);
        link();
        clsWriteToText text(&prompt);
        text.FilePath = dir.string();
        text.Filename = "Sales_ErrorLog";
        text.Extension = ".txt";
        text.Create_File();
        text.PutToFile("Conversion Started");
        text.close_file();
        EXPECT_FALSE(fs::is_symlink(log));
        EXPECT_EQ(Slurp(log), "Conversion Started\n");
        EXPECT_EQ(Slurp(kept), "every entry");
        EXPECT_EQ(fs::hard_link_count(kept), 1u);
        EXPECT_FALSE(fs::exists(elsewhere / "nowhere.txt"));
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProgramFolder, TextLogCreatesOneMissingFolderLevelOnly) {
    clsWriteToText one(&prompt);
    one.FilePath = (dir / "logs").string();
    one.Filename = "a";
    one.Extension = ".log";
    one.Create_File();
    EXPECT_TRUE(one.IsOpen());
    EXPECT_TRUE(fs::exists(dir / "logs" / "a.log"));

    clsWriteToText two(&prompt);
    two.FilePath = (dir / "x" / "y").string();
    two.Filename = "a";
    two.Extension = ".log";
    two.Create_File();
    EXPECT_FALSE(two.IsOpen());
    ASSERT_EQ(prompt.messages.size(), 1u);
    two.PutToFile("dropped");  // no stream: nothing happens, nothing is shown
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(two.close_file());
}

// A line the disk does not take (the file size limit stands in for a full disk) is noted
// with its reason, whether it was written at once or held; a name holding a NUL would open
// another file and is refused.
TEST_F(ProgramFolder, TextLogSaysWhenItCouldNotBeWritten) {
    for (const bool autoFlush : {true, false}) {
        clsWriteToText full(&prompt);
        full.FilePath = dir.string();
        full.Filename = "full";
        full.Create_File();
        ASSERT_TRUE(full.IsOpen());
        EXPECT_FALSE(full.WriteFailed());
        full.AutoFlush = autoFlush;
        {
            rlimit before{};
            getrlimit(RLIMIT_FSIZE, &before);
            rlimit small = before;
            small.rlim_cur = 16;
            const auto signal = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &small);
            full.PutToFile("a line longer than the disk takes");
            full.close_file();
            setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, signal);
        }
        EXPECT_TRUE(full.WriteFailed()) << autoFlush;
        EXPECT_EQ(full.WriteError(), "File too large");
    }
    clsWriteToText nul(&prompt);
    nul.FilePath = dir.string();
    nul.Filename = "log";
    nul.Extension = std::string(".txt\0x", 6);
    nul.Create_File();
    EXPECT_FALSE(nul.IsOpen());
    EXPECT_TRUE(nul.WriteFailed());
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(fs::exists(dir / "log.txt"));
}

TEST_F(ProgramFolder, AppendErrorLogWritesThroughTheListsFile) {
    OpenStore();
    EXPECT_TRUE(AppendErrorLog(ctx, "disk full", "n/a", "n/a", "n/a", "O'Brien's \"Best\""));
    ado::Recordset rs;
    rs.Open("SELECT * FROM ErrorLog", ctx.gDb, ado::adOpenStatic);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs["ReportName"], vb::Variant("O'Brien's \"Best\""));
    EXPECT_EQ(rs["ErrorDesc"], vb::Variant("disk full"));
    EXPECT_EQ(rs["ErrorOn"].Type(), vb::VarType::Date);
    EXPECT_TRUE(rs["ErrorSeverityLevel"].IsNull());
    rs.Close();
    // The saved query keeps rows without an entry or a level.
    ctx.gDb->Execute("INSERT INTO DatabaseList (DatabaseListId, ReportDatabase) VALUES (4, '/n.mdb')");
    ctx.gDb->Execute(
        "INSERT INTO ErrorLog (ReportId, DatabaseListId, ErrorSeverityLevel, ErrorDesc) "
        "VALUES (9, 4, 2, 'area missing')");
    rs.Open("SELECT * FROM ShowReportErrors ORDER BY ErrorLogId", ctx.gDb, ado::adOpenStatic);
    ASSERT_EQ(rs.RecordCount(), 2);
    rs.MoveLast();
    EXPECT_EQ(rs["ReportDatabase"], vb::Variant("/n.mdb"));
    EXPECT_EQ(rs["ErrorSeverityDesc"], vb::Variant("Conversion problem"));
    rs.Close();

    auto closed = std::make_shared<ado::Connection>();
    EXPECT_FALSE(AppendErrorLog(closed, "x", "", "", "", ""));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(Support, PathAndNameRoutines) {
    struct {
        const char* path;
        const char* folder;
        const char* name;
    } paths[] = {
        {"C:\\a\\b.mdb", "C:\\a\\", "b.mdb"},
        {"/data/north/b.mdb", "/data/north/", "b.mdb"},
        {"report.mdb", "", "report.mdb"},
        {"", "", ""},
        {"/data/", "/data/", ""},
    };
    for (const auto& p : paths) {
        EXPECT_EQ(GetFilePath(p.path), p.folder) << p.path;
        EXPECT_EQ(GetFileName(p.path), p.name) << p.path;
    }
    // One separator of this machine between folder and name, however the folder was written.
    const std::pair<const char*, const char*> joins[] = {
        {"/data/out", "/data/out/x.rpt"},
        {"/data/out/", "/data/out/x.rpt"},
        {"/data/out\\", "/data/out/x.rpt"},
        {"/data//out//", "/data/out/x.rpt"},
        {"C:\\Reports\\", "C:/Reports/x.rpt"},
        {"/", "/x.rpt"},
        {"", "x.rpt"},
    };
    for (const auto& [folder, joined] : joins) EXPECT_EQ(JoinPath(folder, "x.rpt"), joined) << folder;
    EXPECT_EQ(StripExtension("report.old.rpt"), "report");
    EXPECT_EQ(StripExtension("report"), "report");
    EXPECT_EQ(MakeSafeName("Sales/2004-Q1 @ HQ"), "Sales_2004_Q1 _at_ HQ");
    EXPECT_EQ(MakeSafeName("a\\b%c*d#e@@"), "a_b_c_d_e_at__at_");
    EXPECT_EQ(MakeSafeName(std::string("Front.mdb\0x\t\n\x7f", 14)), "Front.mdb_x___");
    EXPECT_EQ(QuoteString("Orders"), "\"Orders\"");
    EXPECT_EQ(QuoteString("say \"hi\""), "'say \"hi\"'");
    EXPECT_EQ(QuoteString("Orders", true), "'Orders'");
    EXPECT_EQ(GetWindowsDir(), "/etc");
    EXPECT_EQ(GetSystemDir(), "/usr/bin");
    EXPECT_EQ(GetVersionCaption("Crystal Reports 10.0"), "Tolvaran 1.0.0 for Crystal Reports 10.0");
    EXPECT_EQ(NZ(vb::Variant::null()), vb::Variant(0));
    EXPECT_EQ(NZ(vb::Variant(""), 5), vb::Variant(""));
}

TEST(Support, ReportsSharingASafeNameGetFilesOfTheirOwn) {
    using Stems = std::vector<std::string>;
    const std::pair<Stems, Stems> cases[] = {
        {{"Sales", "Q1.Sales"}, {"Sales", "Q1.Sales"}},
        // The name that is its own safe name keeps it; the others follow in byte order.
        {{"A-B", "A_B", "A#B"}, {"A_B_3", "A_B", "A_B_2"}},
        {{"A-B", "A#B"}, {"A_B_2", "A_B"}},
        // A stem another report already has is skipped.
        {{"A-B", "A_B", "A_B_2"}, {"A_B_3", "A_B", "A_B_2"}},
        // A name given twice is one report.
        {{"A-B", "A_B", "A-B"}, {"A_B_2", "A_B", "A_B_2"}},
    };
    for (const auto& [names, stems] : cases) EXPECT_EQ(ReportFileStems(names), stems) << names[0];

    // Text logs of long names fit in a file name, stay apart, and end on a whole character.
    EXPECT_EQ(TextLogStem("Sales"), "Sales_ErrorLog");
    std::string accents(230, 'a');
    for (int i = 0; i < 10; ++i) accents += "\xc3\xa9";
    const std::string longNames[] = {std::string(242, 'x'), std::string(251, 'x'),
                                     std::string(251, 'x') + "y", accents, std::string(1, 'a') + accents};
    std::set<std::string> logs;
    for (const std::string& stem : longNames) {
        const std::string log = TextLogStem(stem) + ".txt";
        EXPECT_LE(log.size(), 255u) << stem.size();
        EXPECT_TRUE(logs.insert(log).second) << stem.size();
        if (const size_t mark = log.find('~'); mark != std::string::npos) {
            EXPECT_NE(static_cast<unsigned char>(log[mark - 1]) & 0xC0, 0xC0) << stem.size();
        }
    }
}

TEST(Support, ShowHelpChoosesTheContext) {
    ui::RecordingPrompt prompt;
    RecordingHelp help;
    AppContext ctx;
    ctx.programFolder = "/opt/tolvaran";
    ctx.prompt = &prompt;
    ctx.help = &help;
    const struct {
        long id, control, form, shown;
    } cases[] = {{7, 0, 0, 7}, {0, 0, 12, 12},     {0, 5, 12, 5},
                 {0, 0, 0, 1}, {0x20000, 0, 0, 1}, {0x1FFFF, 0, 0, 0x1FFFF}};
    for (const auto& c : cases) {
        help.shown.clear();
        EXPECT_TRUE(ShowHelp(ctx, c.id, c.control, c.form));
        ASSERT_EQ(help.shown.size(), 1u);
        EXPECT_EQ(help.shown[0].first, "/opt/tolvaran/TOLVARAN.HLP");
        EXPECT_EQ(help.shown[0].second, c.shown) << c.id;
    }
    ctx.help = nullptr;
    EXPECT_FALSE(ShowHelp(ctx, 3));
    EXPECT_EQ(prompt.messages.size(), 1u);
}
