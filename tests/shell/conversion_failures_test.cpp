// Conversions that meet hostile names or a report file that cannot be saved, through the main
// window: the files beside the output are left alone, failures are said, and a batch ends
// with its summary.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <filesystem>

#include "conversion_support.h"
#include "shell_test_support.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

const std::string kClean = test::OrdersReport({"Customer", "Amount"});
const std::string kBroken = test::OrdersReport({"Customer", "=[Amount"});

// A message box that notes, when shown, the inode of a file (0: none there).
class InodeAtMessage : public ui::RecordingPrompt {
  public:
    explicit InodeAtMessage(fs::path file) : file_(std::move(file)) {}
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
        struct stat st {};
        inodes.push_back(::stat(file_.c_str(), &st) == 0 ? st.st_ino : 0);
        return RecordingPrompt::MsgBox(prompt, buttons, title);
    }
    std::vector<ino_t> inodes;

  private:
    fs::path file_;
};

// Exports whose names decode to a NUL after the name of the source file and of the lists
// file, converted into the folder that holds both (the program folder, beside the Access
// file): each is saved under a name of its own, and neither file changes.
TEST(ConversionFailures, NulNamesNeverReachTheSourceFileOrTheListsFile) {
    test::MainWindowRun run("nul-names");
    const fs::path front = run.FrontEnd("Front.mdb", {{"Alpha", kClean}});
    for (const char* file : {"Front.mdb%00.bas", "TOLVARAN.ADL%00.bas"})
        test::WriteFile(run.folder / "Front.mdb.src" / "reports" / file, kClean);
    ASSERT_GT(run.RegisterEntry(front, run.folder.string()), 0);
    // A first conversion puts the lists file in its write-ahead mode, which changes its header;
    // from then on a conversion leaves the file itself as it is until the program ends.
    run.SelectReports({"Alpha"});
    run.window->InitiateReportConversion(false);
    const fs::path lists = run.folder / "TOLVARAN.ADL";
    const std::string frontBytes = test::ReadFile(front), listsBytes = test::ReadFile(lists);

    run.window->InitiateReportConversion(true);
    EXPECT_TRUE(test::ReadFile(front) == frontBytes) << fs::file_size(front) << " bytes";
    EXPECT_TRUE(test::ReadFile(lists) == listsBytes) << fs::file_size(lists) << " bytes";
    for (const char* name : {"Front.mdb_00", "TOLVARAN.ADL_00"}) {
        EXPECT_TRUE(fs::exists(run.folder / (std::string(name) + ".rpt"))) << name;
        const std::string log = test::ReadFile(run.folder / (std::string(name) + "_ErrorLog.txt"));
        EXPECT_NE(log.find("Conversion Complete"), std::string::npos) << name;
    }
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
}

// A report whose file cannot be saved (a folder holds its name) fails: alone, with a message
// naming the file and the reason; in a batch, counted as failed in the summary. The report
// file of a conversion is written once.
TEST(ConversionFailures, AReportThatCannotBeSavedFailsAloud) {
    test::MainWindowRun run("save-fails");
    const fs::path out = run.folder / "out";
    fs::create_directories(out / "Gamma.rpt");
    run.StoreEntry(run.FrontEnd("front.mdb", {{"Alpha", kClean}, {"Beta", kBroken}, {"Gamma", kClean}}),
                   out.string(), {"Alpha", "Beta", "Gamma"});
    const std::string cannot =
        "Cannot write the report file \"" + (out / "Gamma.rpt").string() + "\": Is a directory.";

    run.SelectReports({"Gamma"});
    run.window->InitiateReportConversion(false);
    ASSERT_EQ(run.Messages(),
              std::vector<std::string>{"The report Gamma failed: it was built but not saved.\r\n" + cannot});
    EXPECT_EQ(run.prompt.messages[0].buttons, ui::vbCritical);
    EXPECT_EQ(run.window->findChild<QLabel*>("lblProgress")->text().toStdString(),
              "The report could not be saved.");
    EXPECT_TRUE(run.windows.viewed.empty());

    run.prompt.messages.clear();
    run.prompt.answers = {ui::vbYes};
    run.window->InitiateReportConversion(true);
    EXPECT_EQ(run.Messages(),
              (std::vector<std::string>{"The previous report had errors, continue processing anyway?",
                                        "3 reports processed.\r\nConverted: 1\r\nConverted with problems: "
                                        "1\r\nFailed: 1 (Gamma)\r\nEach report's conversion log says what "
                                        "went wrong."}));
    EXPECT_EQ(run.prompt.messages[1].buttons, ui::vbExclamation);
    const auto results = run.Results();
    EXPECT_NE(std::find(results.begin(), results.end(), "Failed: Gamma: " + cannot), results.end());

    // Beta's single conversion shows its message after the converter saved the file and
    // before the viewer: the file shown then is the one the viewer gets.
    InodeAtMessage noting(out / "Beta.rpt");
    run.ctx.prompt = &noting;
    run.SelectReports({"Beta"});
    run.window->InitiateReportConversion(false);
    run.ctx.prompt = &run.prompt;
    ASSERT_EQ(noting.inodes.size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat((out / "Beta.rpt").c_str(), &st), 0);
    EXPECT_EQ(noting.inodes[0], st.st_ino);
}

// A converted report whose name on disk is not UTF-8 is viewed and deleted by that name.
TEST(ConversionFailures, ANameThatIsNotUtf8LeadsBackToItsFile) {
    test::MainWindowRun run("latin1-names");
    const fs::path out = run.folder / "out";
    fs::create_directories(out);
    run.StoreEntry(run.FrontEnd("front.mdb", {{"Alpha", kClean}}), out.string(), {"Alpha"});
    const std::string latin1 = "Caf\xE9.rpt";
    test::WriteFile(out / latin1, "not read");
    run.window->SetExportedReportsPath();
    QListWidget* list = run.window->dxConvertedReports();
    ASSERT_EQ(list->count(), 1);
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    ASSERT_EQ(run.windows.viewed.size(), 1u);
    EXPECT_EQ(run.windows.viewed[0].reportName, latin1);

    run.prompt.answers = {ui::vbYes};
    run.window->FillDropMenu(3);
    run.window->DatabaseDropMenu()->actions()[2]->trigger();  // "&Delete Report"
    EXPECT_FALSE(fs::exists(out / latin1));
    EXPECT_EQ(list->count(), 0);
}

}  // namespace
