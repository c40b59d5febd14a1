// The lists of the main window: the report scan of an entry's Access file, the converted
// reports, and the reports grid.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <filesystem>

#include "platform/registry/registry_file.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell_test_support.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

class ListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::ProgramFolder("lists");
        registry_ = std::make_unique<registry::RegistryFile>((folder_ / "registry.reg").string());
        ctx_.programFolder = folder_.string();
        ctx_.prompt = &prompt_;
        ctx_.registry = registry_.get();
        StartupServices s;
        s.ctx = &ctx_;
        s.launcher = &launcher_;
        s.accessFactory = [] { return std::make_unique<access::Application>(); };
        s.endProgram = [] {};
        window_ = std::make_unique<Startup>(std::move(s));
        window_->Form_Load();
        ASSERT_TRUE(prompt_.messages.empty());
    }
    void TearDown() override {
        window_.reset();
        ctx_.gDb.reset();
        ctx_.gInternalDb.reset();
        fs::remove_all(folder_);
    }

    // A front end standing in for an Access file: a SQLite file with report exports beside
    // it. jetVersion3 marks an Access 97 file.
    fs::path FrontEnd(const std::string& name, const std::vector<std::string>& reports, bool jetVersion3) {
        const fs::path file = folder_ / name;
        sqlite3* db = nullptr;
        sqlite3_open(file.string().c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE Customers (Id INTEGER PRIMARY KEY, Name TEXT)", nullptr, nullptr,
                     nullptr);
        if (jetVersion3) sqlite3_exec(db, "PRAGMA user_version = 3", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        const fs::path exports = folder_ / (name + ".src") / "reports";
        fs::create_directories(exports);
        for (const std::string& r : reports)
            test::WriteFile(exports / (r + ".bas"),
                            "Version =20\r\nVersionRequired =20\r\nBegin Report\r\n"
                            "    Width =9000\r\n    Begin\r\n    End\r\nEnd\r\n");
        return file;
    }

    long AddEntry(const fs::path& frontEnd, const std::string& convertedFolder) {
        ctx_.gDb->Execute(
            "INSERT INTO DatabaseList (ReportDatabase, SourceTablesDatabase, ConvertedReportsPath) "
            "VALUES (?, ?, ?)",
            {frontEnd.string(), frontEnd.string(), convertedFolder});
        window_->RefreshDatabaseList();
        DataGrid* grid = window_->dxDatabases();
        for (int row = 0; row < grid->Dataset().RowCount(); ++row) {
            if (grid->Dataset().Value(row, "ReportDatabase").ToString() == frontEnd.string()) {
                grid->SetCurrentRow(row);
                return static_cast<long>(grid->CurrentValue("DatabaseListId").ToLong());
            }
        }
        return -1;
    }

    std::vector<std::string> StoredReports(long id) {
        ado::Recordset rs;
        rs.Open("SELECT ReportName FROM Report WHERE DatabaseListId = ? ORDER BY ReportId", ctx_.gDb,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(id)});
        std::vector<std::string> names;
        for (; !rs.Eof(); rs.MoveNext()) names.push_back(rs["ReportName"].ToString());
        return names;
    }

    fs::path folder_;
    ui::RecordingPrompt prompt_;
    ui::RecordingLauncher launcher_;
    std::unique_ptr<registry::RegistryFile> registry_;
    AppContext ctx_;
    std::unique_ptr<Startup> window_;
};

TEST_F(ListsTest, ScanAddsEachReportOnceForBothEngineVersions) {
    struct Case {
        bool jet3;
        std::string panel1;
    };
    const std::vector<std::string> reports = {"Invoice", "Sales 2004-Q1 @ HQ #1", "O'Brien \"Best\"",
                                              "Catalogue"};
    for (const Case& c : {Case{true, "3.51"}, Case{false, "10.0"}}) {
        SCOPED_TRACE(c.panel1);
        const fs::path front = FrontEnd(c.jet3 ? "old.mdb" : "new.mdb", reports, c.jet3);
        const long id = AddEntry(front, folder_.string());
        ASSERT_GT(id, 0);
        for (int pass = 0; pass < 2; ++pass) {
            window_->RefreshCurrentDatabase();
            EXPECT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;
            auto stored = StoredReports(id);
            std::sort(stored.begin(), stored.end());
            auto expected = reports;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(stored, expected) << "pass " << pass;
            EXPECT_EQ(window_->StatusPanel(1), c.panel1);
            EXPECT_EQ(window_->StatusPanel(2), "4 reports");
            EXPECT_EQ(window_->dxReports()->Dataset().RowCount(), 4);
            EXPECT_EQ(window_->frmReports()->title().toStdString(), "Access Reports (4)");
        }
        // The grid lists the reports by name.
        EXPECT_EQ(window_->dxReports()->Dataset().Value(0, "ReportName").ToString(), "Catalogue");
        if (c.jet3) {
            EXPECT_NE(window_->findChild<QLabel*>("lblProgress")->text().toStdString().find("has 4 reports"),
                      std::string::npos);
        }
    }
}

TEST_F(ListsTest, ScanOfFileWithoutReportsSaysSo) {
    const fs::path front = FrontEnd("empty.mdb", {}, false);
    const long id = AddEntry(front, folder_.string());
    window_->RefreshCurrentDatabase();
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].prompt,
              "There are no reports for this database (looked in " + front.string() + ".src/reports)");
    EXPECT_EQ(prompt_.messages[0].buttons, ui::vbExclamation);
    EXPECT_EQ(window_->StatusPanel(1), "10.0");
    EXPECT_EQ(window_->StatusPanel(2), "0 reports");
    EXPECT_TRUE(StoredReports(id).empty());
}

TEST_F(ListsTest, ScanOfMissingFileEndsQuietly) {
    const long id = AddEntry(folder_ / "missing.mdb", folder_.string());
    EXPECT_FALSE(window_->LoadTables(id));
    EXPECT_TRUE(prompt_.messages.empty());
    // The progress line says why instead of staying at "Opening Database".
    const std::string progress = window_->findChild<QLabel*>("lblReports")->text().toStdString();
    EXPECT_NE(progress.find("missing.mdb"), std::string::npos) << progress;
}

TEST_F(ListsTest, ConvertedReportsListsNamesHoldingRptInAnyCase) {
    const fs::path out = folder_ / "out";
    fs::create_directories(out);
    for (const char* name : {"_old.rpt", "a.rpt", "B.RPT", "c.Rpt.bak", "notes.txt", "report"})
        test::WriteFile(out / name, "x");
    AddEntry(folder_ / "x.mdb", out.string());
    std::vector<std::string> listed;
    for (int i = 0; i < window_->dxConvertedReports()->count(); ++i)
        listed.push_back(window_->dxConvertedReports()->item(i)->text().toStdString());
    EXPECT_EQ(listed, (std::vector<std::string>{"a.rpt", "B.RPT", "c.Rpt.bak", "_old.rpt"}));
}

// An entry whose converted-reports folder is missing lists nothing (never the program
// folder's reports); a refresh of the entry makes the folder and says where.
TEST_F(ListsTest, MissingConvertedFolderIsMadeNeverReplaced) {
    test::WriteFile(folder_ / "here.rpt", "x");
    const fs::path nowhere = folder_ / "nowhere";
    AddEntry(folder_ / "x.mdb", nowhere.string());
    EXPECT_EQ(window_->dxConvertedReports()->count(), 0);
    EXPECT_TRUE(prompt_.messages.empty());
    window_->SetExportedReportsPath();
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_NE(prompt_.messages[0].prompt.find(nowhere.string()), std::string::npos);
    EXPECT_TRUE(fs::is_directory(nowhere));
    EXPECT_EQ(window_->gDatabaseList().ConvertedReportsPath, nowhere.string());
    EXPECT_EQ(window_->dxConvertedReports()->count(), 0);
}

TEST_F(ListsTest, NewEntryIsAppendedThroughTheEntryGridAndBecomesCurrent) {
    const fs::path out = folder_ / "converted";
    fs::create_directories(out);
    clsDatabaseList& entry = window_->gDatabaseList();
    entry.ReportDatabase = (folder_ / "O'Neil \"new\".mdb").string();
    entry.SourceTablesDatabase = entry.ReportDatabase;
    entry.ConvertedReportsPath = out.string();
    entry.CaptureErrorLevel = 2;
    entry.UpdatedOn = vb::Date::FromParts(2026, 12, 7);
    long id = 0;
    ASSERT_TRUE(entry.SaveRecord(0, &id));
    EXPECT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;
    EXPECT_GT(id, 0);
    EXPECT_EQ(entry.DatabaseListId, id);
    DataGrid* grid = window_->dxDatabases();
    ASSERT_EQ(grid->Dataset().RowCount(), 1);
    EXPECT_EQ(grid->CurrentValue("DatabaseListId").ToLong(), id);
    EXPECT_EQ(grid->CurrentValue("ReportDatabase").ToString(), entry.ReportDatabase);
    // The stored row is the one the grid shows.
    ado::Recordset rs;
    rs.Open("SELECT * FROM DatabaseList WHERE DatabaseListId = ?", ctx_.gDb, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {vb::Variant(id)});
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs["ConvertedReportsPath"].ToString(), out.string());
    EXPECT_EQ(rs["CaptureErrorLevel"].ToLong(), 2);
}

TEST_F(ListsTest, ChangingEntryReloadsReportsGrid) {
    const long a = AddEntry(FrontEnd("a.mdb", {"One", "Two"}, false), folder_.string());
    window_->RefreshCurrentDatabase();
    const long b = AddEntry(FrontEnd("b.mdb", {"Three"}, false), folder_.string());
    window_->RefreshCurrentDatabase();
    ASSERT_NE(a, b);
    DataGrid* grid = window_->dxDatabases();
    grid->SetCurrentRow(0);
    EXPECT_EQ(window_->gDatabaseList().DatabaseListId, a);
    EXPECT_EQ(window_->dxReports()->Dataset().RowCount(), 2);
    EXPECT_EQ(window_->frmReports()->title().toStdString(), "Access Reports (2)");
    EXPECT_TRUE(window_->HasSelectedReport());
    grid->SetCurrentRow(1);
    EXPECT_EQ(window_->dxReports()->Dataset().RowCount(), 1);
}

TEST_F(ListsTest, ContextMenusEnableByCurrentRowAndRefreshScans) {
    auto enabled = [&](int source) {
        window_->FillDropMenu(source);
        std::vector<std::string> out;
        for (QAction* a : window_->DatabaseDropMenu()->actions())
            if (!a->isSeparator() && a->isEnabled()) out.push_back(a->text().toStdString());
        return out;
    };
    // No entry and no report: only the items that need neither.
    EXPECT_EQ(enabled(1), (std::vector<std::string>{"&Add Database Reference", "&Refresh Database List"}));
    EXPECT_EQ(enabled(2), (std::vector<std::string>{"&Convert All Reports"}));
    EXPECT_EQ(enabled(3).size(), 3u);

    const long id = AddEntry(FrontEnd("menu.mdb", {"Alpha", "Beta"}, false), folder_.string());
    window_->FillDropMenu(1);
    window_->DatabaseDropMenu()->actions()[4]->trigger();  // "&Refresh Database Reports"
    EXPECT_EQ(StoredReports(id).size(), 2u);
    EXPECT_EQ(enabled(1).size(), 5u);
    EXPECT_EQ(enabled(2).size(), 4u);
}

}  // namespace
