// The main window's start-up: the load handler's steps, log, messages and failure paths.
#include "shell/main_window/startup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "platform/common/vbstring.h"
#include "platform/registry/registry_file.h"
#include "shell/main_window/instance_lock.h"
#include "shell/qt/data_grid.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "store/support.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
        start = end + 1;
    }
    return out;
}

// One program run in a temporary program folder.
class StartupRun {
  public:
    explicit StartupRun(fs::path folder, bool accessInstalled = true)
        : folder_(std::move(folder)), registry_((folder_ / "registry.reg").string()) {
        ctx_.programFolder = folder_.string();
        ctx_.prompt = &prompt_;
        ctx_.registry = &registry_;
        StartupServices s;
        s.ctx = &ctx_;
        s.launcher = &launcher_;
        if (accessInstalled)
            s.accessFactory = [] { return std::make_unique<access::Application>(); };
        else
            s.accessFactory = []() -> std::unique_ptr<access::Application> {
                throw vb::ComError(429, "no Access");
            };
        s.endProgram = [this] { ++ended; };
        window = std::make_unique<Startup>(std::move(s));
    }
    ~StartupRun() {
        window.reset();
        ctx_.gDb.reset();
        ctx_.gInternalDb.reset();
    }
    std::vector<std::string> Log() const { return Lines(test::ReadFile(folder_ / "Startup.log")); }
    std::vector<std::string> Titles() const {
        std::vector<std::string> out;
        for (const auto& m : prompt_.messages) out.push_back(m.title);
        return out;
    }

    fs::path folder_;
    ui::RecordingPrompt prompt_;
    ui::RecordingLauncher launcher_;
    registry::RegistryFile registry_;
    AppContext ctx_;
    std::unique_ptr<Startup> window;
    int ended = 0;
};

const std::vector<std::string> kNormalLog = {"GetCurrentCrystalInstalls",
                                             "GetSystemDirectories",
                                             "CheckAndTransferData",
                                             "OpenConnection",
                                             "GetCurrentAccessVersion",
                                             "LoadImages",
                                             "SetDatabaseList",
                                             "LoadPreferences",
                                             "LoadReports",
                                             "AssignCaptions"};

TEST(Startup, NormalStartLogsEveryStepInOrderAndShowsNothing) {
    StartupRun run(test::ProgramFolder("normal"));
    run.window->Form_Load();
    EXPECT_TRUE(run.prompt_.messages.empty()) << run.prompt_.messages[0].prompt;
    EXPECT_EQ(run.ended, 0);
    run.window->Form_Terminate();
    EXPECT_EQ(run.Log(), kNormalLog);
    EXPECT_EQ(run.window->gCrystalVersion, "10.0");
    EXPECT_EQ(run.window->gCurrentAccessVersion, "4.0");
    EXPECT_EQ(run.window->StatusPanel(3), "4.0");
    EXPECT_EQ(run.window->windowTitle().toStdString(), GetVersionCaption("Crystal Reports 10.0"));
    EXPECT_TRUE(fs::exists(run.folder_ / "TOLVARAN.DAT"));
    EXPECT_TRUE(fs::exists(run.folder_ / "TOLVARAN.ADL"));
    EXPECT_EQ(run.window->ImageList().ImageListCount(), 30);
    // The main toolbar: the shipped MainMenu rows with their ids and the thirty images.
    QtToolBar* bar = run.window->EToolBar();
    ASSERT_GT(bar->ItemCount(), 0);
    std::vector<long> ids;
    for (int i = 1; i <= bar->ItemCount(); ++i) ids.push_back(bar->ItemCtrlID(i));
    for (long id : {63L, 70L, 81L, 84L, 151L, 233L, 239L, 240L, 254L, 260L, 263L})
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
    EXPECT_EQ(bar->Images().size(), 30u);
    EXPECT_EQ(run.window->frmReports()->title().toStdString(), "Access Reports (0)");
}

// Once the window has painted, the lists file takes a conversion's commits without the flushes
// of switching its mode: the first conversion of the run does not pay for them.
TEST(Startup, AfterTheFirstPaintTheListsFileIsReadyForConversions) {
    StartupRun run(test::ProgramFolder("prepared"));
    run.window->Form_Load();
    auto mode = [&] {
        ado::Recordset rs;
        rs.Open("PRAGMA journal_mode", run.ctx_.gDb);
        return vb::LCase(rs.Fields(0).Value().ToString());
    };
    EXPECT_EQ(mode(), "delete");
    run.window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return mode() == "wal"; })) << mode();
    run.window->Form_Terminate();
}

TEST(Startup, EveryControlOfTheWindowIsThereUnderItsName) {
    StartupRun run(test::ProgramFolder("controls"));
    const std::pair<const char*, const char*> controls[] = {
        {"EToolBar", ""},
        {"frmDatabaseList", " Databases "},
        {"dxDatabases", ""},
        {"Label2", "Use Right-Click to Edit/Add"},
        {"frmReports", "Reports to Convert "},
        {"dxReports", ""},
        {"lblReports", "Select a Report to Convert"},
        {"Frame2", "Converted Reports "},
        {"dxConvertedReports", ""},
        {"Label7", "Double-click to preview a converted report."},
        {"frmShowResults", "Report Results"},
        {"ReportResults", ""},
        {"Frame3", "Progress"},
        {"ctProgress", ""},
        {"lblField", "Field:"},
        {"lblProgress", "Status:"},
        {"dxlnkSelectDatabase", "1. Select a Database"},
        {"dxlnkSelectReport", "2. Select an Access Report"},
        {"dxlnkPreview", "3. Preview Crystal Report"},
        {"Label1", "Select a Report to Convert"},
        {"DatabaseDropMenu", ""},
        {"StatusBar", ""},
        {"mnu_File", ""},
        {"mnu_Exit", ""},
    };
    for (const auto& [name, text] : controls) {
        QObject* o = run.window->findChild<QObject*>(QString::fromLatin1(name));
        ASSERT_NE(o, nullptr) << name;
        if (!*text) continue;
        QString shown;
        if (auto* box = qobject_cast<QGroupBox*>(o)) shown = box->title();
        if (auto* label = qobject_cast<QLabel*>(o)) shown = label->text();
        EXPECT_TRUE(shown.contains(QString::fromLatin1(text))) << name << ": " << shown.toStdString();
    }
    // The file dialog is made when first used, not at start-up.
    EXPECT_TRUE(run.window->findChildren<QFileDialog*>().isEmpty());
    EXPECT_EQ(run.window->ctFile1().objectName().toStdString(), "ctFile1");
    EXPECT_EQ(run.window->ctFile1().parent(), run.window.get());
}

TEST(Startup, WithoutCrystal10BothVersionMessagesThenStartGoesOn) {
    StartupRun run(test::ProgramFolder("nocrystal", false));
    run.window->Form_Load();
    run.window->Form_Terminate();
    ASSERT_EQ(run.prompt_.messages.size(), 2u);
    const auto& first = run.prompt_.messages[0];
    EXPECT_EQ(first.title, "CORRECT VERSION MISSING");
    EXPECT_EQ(first.buttons, ui::vbCritical);
    EXPECT_EQ(
        first.prompt,
        "Versions of Crystal currently installed\r\nUn-able to determine what versions of Crystal Reports "
        "are "
        "installed on this machine.----------------------------\r\n\r\n\r\nRequired Version: Crystal 10 "
        "Advanced Developer is not installed");
    const auto& second = run.prompt_.messages[1];
    EXPECT_EQ(second.title, "Install Issue");
    EXPECT_EQ(second.buttons, ui::vbCritical);
    EXPECT_EQ(second.prompt,
              "This version of Tolvaran is designed for a different version of Crystal Reports than you have "
              "installed.  You will not be able to convert reports with this tool until you install Crystal "
              "Reports "
              "10.0");
    EXPECT_EQ(run.window->gCrystalVersion, "0.00");
    EXPECT_EQ(run.Log(), kNormalLog);
    EXPECT_EQ(run.window->windowTitle().toStdString(), GetVersionCaption("<unknown>"));
}

TEST(Startup, DamagedListsFileShowsCorruptionMessageOnceAndOverwritesNothing) {
    const fs::path folder = test::ProgramFolder("damaged");
    const std::string garbage = "this is not a database file, it is damaged\n";
    test::WriteFile(folder / "TOLVARAN.ADL", garbage);
    StartupRun run(folder);
    run.window->Form_Load();
    std::vector<std::string> corruption;
    for (const auto& m : run.prompt_.messages) {
        if (m.prompt == "One or more application files are missing or corrupted. Please re-install.") {
            EXPECT_EQ(m.title, "Tolvaran");
            EXPECT_EQ(m.buttons, ui::vbCritical);
            corruption.push_back(m.prompt);
        }
    }
    EXPECT_EQ(corruption.size(), 1u);
    EXPECT_EQ(run.Titles().front(), "OpenConnection");
    EXPECT_EQ(test::ReadFile(folder / "TOLVARAN.ADL"), garbage);
    EXPECT_EQ(run.window->StatusPanel(1), "");
    EXPECT_EQ(run.window->StatusPanel(3), "");
    EXPECT_EQ(run.window->EToolBar()->ItemCount(), 0);
    EXPECT_EQ(run.window->dxDatabases()->Dataset().RowCount(), 0);
    // Closing the window still closes the start-up log, which ends at the failed step.
    run.window->close();
    const auto log = run.Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(log[3], "OpenConnection");
    EXPECT_EQ(log[4].rfind("OpenConnection:", 0), 0u);
    EXPECT_EQ(log.size(), 5u);
}

TEST(Startup, SecondInstanceIsRefusedBeforeTheSettingsFileIsTouched) {
    const fs::path folder = test::ProgramFolder("second");
    InstanceLock first(folder.string());
    ASSERT_TRUE(first.TryLock());
    test::WriteFile(folder / "TOLVARAN.DAT", "settings of the running instance");
    test::WriteFile(folder / "Startup.log", "log of the running instance\n");
    StartupRun run(folder);
    run.window->Form_Load();
    ASSERT_EQ(run.prompt_.messages.size(), 1u);
    EXPECT_EQ(run.prompt_.messages[0].prompt, "You can only run one instance of Tolvaran at a time");
    EXPECT_EQ(run.prompt_.messages[0].title, "Tolvaran");
    EXPECT_EQ(run.prompt_.messages[0].buttons, ui::vbOKOnly);
    EXPECT_EQ(run.ended, 1);
    EXPECT_TRUE(run.window->Ended());
    EXPECT_EQ(test::ReadFile(folder / "TOLVARAN.DAT"), "settings of the running instance");
    EXPECT_FALSE(fs::exists(folder / "TOLVARAN.ADL"));
    // The running instance's start-up log is left as it was.
    EXPECT_EQ(test::ReadFile(folder / "Startup.log"), "log of the running instance\n");
}

// The lock belongs to the program folder, not to the temporary folder of the instance: one
// started with another TMPDIR (per-user temporary folders) is refused all the same.
TEST(Startup, InstanceLockIsPerProgramFolder) {
    const fs::path a = test::TempFolder("locka"), b = test::TempFolder("lockb");
    const fs::path tmpA = test::TempFolder("tmpa"), tmpB = test::TempFolder("tmpb");
    const char* const earlier = std::getenv("TMPDIR");
    const std::string kept = earlier ? earlier : "";
    setenv("TMPDIR", tmpA.c_str(), 1);
    InstanceLock la(a.string()), lb(b.string());
    EXPECT_TRUE(la.TryLock());
    EXPECT_TRUE(lb.TryLock());
    setenv("TMPDIR", tmpB.c_str(), 1);
    InstanceLock la2(a.string());
    EXPECT_FALSE(la2.TryLock());
    if (earlier)
        setenv("TMPDIR", kept.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_NE(InstanceLock::LockPath(a.string()), InstanceLock::LockPath(b.string()));
}

TEST(Startup, AccessNotInstalledShowsErrorInPanelThree) {
    StartupRun run(test::ProgramFolder("noaccess"), false);
    run.window->Form_Load();
    EXPECT_TRUE(run.prompt_.messages.empty());
    EXPECT_EQ(run.window->gCurrentAccessVersion, "ERROR");
    EXPECT_EQ(run.window->StatusPanel(3), "ERROR");
    run.window->Form_Terminate();
    EXPECT_EQ(run.Log(), kNormalLog);
}

TEST(Startup, UnreadableImageIsLoggedAndStartGoesOn) {
    const fs::path folder = test::ProgramFolder("images");
    fs::remove(folder / "icons" / "tool.ico");
    StartupRun run(folder);
    run.window->Form_Load();
    run.window->Form_Terminate();
    EXPECT_TRUE(run.prompt_.messages.empty());
    EXPECT_EQ(run.window->ImageList().ImageListCount(), 29);
    const auto log = run.Log();
    ASSERT_EQ(log.size(), kNormalLog.size() + 1);
    EXPECT_EQ(log[6].rfind("AddOneImage:", 0), 0u) << log[6];
    EXPECT_EQ(log.back(), "AssignCaptions");
}

TEST(Startup, ImageListQueryFailureIsShownLoggedAndStartGoesOn) {
    StartupRun run(test::ProgramFolder("imagelist"));
    // The settings file is made from tolvaran.f1 at start-up: take the table out of the template.
    run.ctx_.gInternalDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                               (run.folder_ / "tolvaran.f1").string());
    run.ctx_.gInternalDb->Execute("DROP TABLE ImageList");
    run.ctx_.gInternalDb.reset();
    run.window->Form_Load();
    run.window->Form_Terminate();
    ASSERT_EQ(run.prompt_.messages.size(), 1u);
    EXPECT_EQ(run.prompt_.messages[0].title, "LoadImages");
    EXPECT_EQ(run.prompt_.messages[0].prompt.rfind("(1): ", 0), 0u) << run.prompt_.messages[0].prompt;
    const auto log = run.Log();
    EXPECT_EQ(log[6], run.prompt_.messages[0].prompt);
    EXPECT_EQ(log.back(), "AssignCaptions");
    EXPECT_GT(run.window->EToolBar()->ItemCount(), 0);
}

TEST(Startup, ExitCommandsEndTheProgramWithoutShutdownSteps) {
    StartupRun run(test::ProgramFolder("exit"));
    run.window->Form_Load();
    QtToolBar* bar = run.window->EToolBar();
    for (int i = 1; i <= bar->ItemCount(); ++i)
        if (bar->ItemCtrlID(i) == 81) run.window->EToolBar_ItemClick(i);
    EXPECT_EQ(run.ended, 1);
    run.window->findChild<QAction*>("mnu_Exit")->trigger();
    EXPECT_EQ(run.ended, 2);
    // A toolbar id without an action does nothing.
    bar->setItemCtrlID(1, 9999);
    run.window->EToolBar_ItemClick(1);
    EXPECT_EQ(run.ended, 2);
    EXPECT_TRUE(run.prompt_.messages.empty());
}

TEST(Startup, SettingsFileIsRefreshedButListsFileKept) {
    const fs::path folder = test::ProgramFolder("restart");
    {
        StartupRun run(folder);
        run.window->Form_Load();
        run.window->Form_Terminate();
        run.ctx_.gDb->Execute("INSERT INTO DatabaseList (ReportDatabase, ConvertedReportsPath) VALUES (?, ?)",
                              {std::string("/data/kept.mdb"), folder.string()});
    }
    StartupRun again(folder);
    again.window->Form_Load();
    ASSERT_EQ(again.window->dxDatabases()->Dataset().RowCount(), 1);
    EXPECT_EQ(again.window->dxDatabases()->CurrentValue("ReportDatabase").ToString(), "/data/kept.mdb");
    EXPECT_TRUE(again.window->HasSelectedDatabase());
    EXPECT_FALSE(again.window->HasSelectedReport());
}

}  // namespace
