#pragma once
// The source-database dialog over a real main window in a temporary program folder: the
// dialog gets the window's entry record, links manager, toolbar builder and message list, a
// scripted file picker and folder browser, a fake SQL-DMO and a recording launcher.
#include <gtest/gtest.h>

#include <QListWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ado/odbc_env.h"
#include "platform/registry/registry_file.h"
#include "shell/main_window/startup.h"
#include "shell/source_database/select_database.h"
#include "shell/source_database/select_database_opener.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "sources/connection_settings.h"
#include "sources/fixtures.h"
#include "sources/links_manager.h"
#include "support/fake_common_dialog.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

namespace test {

class SelectDatabaseFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        testodbc::UsePrivateIni();
        folder_ = ProgramFolder("selectdb");
        registry_ = std::make_unique<registry::RegistryFile>((folder_ / "registry.reg").string());
        ctx_.programFolder = folder_.string();
        ctx_.prompt = &prompt_;
        ctx_.registry = registry_.get();
        StartWindow();
    }
    // The main window on the program folder, loaded as at a start of the program.
    void StartWindow() {
        tolvaran::StartupServices s;
        s.ctx = &ctx_;
        s.launcher = &launcher_;
        s.accessFactory = [] { return std::make_unique<tolvaran::access::Application>(); };
        s.endProgram = [] {};
        s.selectDatabase = opener_;
        window_ = std::make_unique<tolvaran::Startup>(std::move(s));
        window_->Form_Load();
        ASSERT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;
    }
    // The program ends (the window and the store connections go).
    void EndWindow() {
        window_.reset();
        ctx_.gDb.reset();
        ctx_.gInternalDb.reset();
    }
    void TearDown() override {
        EndWindow();
        std::filesystem::remove_all(folder_);
    }

    tolvaran::SelectDatabaseServices Services() {
        tolvaran::SelectDatabaseServices s;
        s.ctx = &ctx_;
        s.databaseList = &window_->gDatabaseList();
        s.links = &window_->gLinks();
        s.toolBar = &window_->gToolBar();
        s.mainWindow = window_.get();
        s.commonDialog = &files_;
        s.folderBrowser = &files_;
        s.launcher = &launcher_;
        s.sqldmo = &dmo_;
        s.odbcCache = &odbcCache_;
        s.selectServer = [this](const std::string& path) {
            serverAsked_.push_back(path);
            return false;
        };
        return s;
    }

    // A dialog loaded as the main window loads it: "" and true add, a key as text edits.
    std::unique_ptr<tolvaran::SelectDatabase> Open(const std::string& openArgs, bool newReference) {
        auto dialog = std::make_unique<tolvaran::SelectDatabase>(Services(), window_.get());
        dialog->setOpenArgs(openArgs);
        dialog->setNewReference(newReference);
        dialog->Form_Load();
        return dialog;
    }

    // Clicks the toolbar item with that id (236 Save, 237 Cancel).
    static void Click(tolvaran::SelectDatabase& dialog, long id) {
        tolvaran::QtToolBar* bar = dialog.EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i) {
            if (bar->ItemCtrlID(i) == id) {
                dialog.EToolBar_ItemClick(i);
                return;
            }
        }
        ADD_FAILURE() << "no toolbar item " << id;
    }

    template <class W>
    W* Find(QWidget& dialog, const char* name) {
        W* w = dialog.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // A SQLite file standing in for an Access file.
    std::string StandIn(const std::string& name, const std::string& sql) {
        const std::string file = (folder_ / name).string();
        testodbc::MakeSqlite(file, sql);
        return file;
    }
    // A front end with an own table and tables linked from two other files.
    std::string LinkedFrontEnd() {
        const std::string orders = StandIn("orders.mdb", "CREATE TABLE Orders (Id INTEGER);");
        const std::string stock = StandIn("stock.mdb", "CREATE TABLE Items (Id INTEGER);");
        return StandIn("front.mdb", std::string("CREATE TABLE Local (Id INTEGER);") + testsrc::kMSysObjects +
                                        testsrc::LinkRow("tblOrders", orders, "Orders") +
                                        testsrc::LinkRow("tblItems", stock, "Items"));
    }
    // A data project with its connection text beside it.
    std::string Project(const std::string& name, const std::string& connection) {
        const std::string file = (folder_ / name).string();
        WriteFile(file, "adp");
        std::filesystem::create_directories(file + ".src");
        WriteFile(file + ".src/connection.txt", connection + "\r\n");
        return file;
    }

    long CountRows(const std::string& sql, const std::vector<vb::Variant>& params = {}) {
        ado::Recordset rs;
        rs.Open(sql, ctx_.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly, params);
        const long n = static_cast<long>(rs.Fields(0).Value().ToLong());
        rs.Close();
        return n;
    }
    long LinkRows(long key) {
        return CountRows("SELECT COUNT(*) FROM DatabaseConnections WHERE DatabaseListId = ?", {key});
    }
    long EntryRows() { return CountRows("SELECT COUNT(*) FROM DatabaseList"); }
    // A column of the entry's link row of that name.
    vb::Variant LinkValue(long key, const std::string& linkName, const std::string& column) {
        ado::Recordset rs;
        rs.Open("SELECT * FROM DatabaseConnections WHERE DatabaseListId = ? AND LinkName = ?", ctx_.gDb,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {key, linkName});
        vb::Variant v = rs.Eof() ? vb::Variant::null() : rs[column];
        rs.Close();
        return v;
    }
    vb::Variant EntryValue(long key, const std::string& column) {
        ado::Recordset rs;
        rs.Open("SELECT * FROM DatabaseList WHERE DatabaseListId = ?", ctx_.gDb, ado::adOpenForwardOnly,
                ado::adLockReadOnly, {key});
        vb::Variant v = rs.Eof() ? vb::Variant::null() : rs[column];
        rs.Close();
        return v;
    }

    static std::vector<std::string> Items(QListWidget* list) {
        std::vector<std::string> out;
        for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
        return out;
    }

    std::filesystem::path folder_;
    ui::RecordingPrompt prompt_;
    ui::RecordingLauncher launcher_;
    ui::FakeCommonDialog files_;
    sqldmo::FakeFactory dmo_;
    tolvaran::clsODBCCollection odbcCache_;
    std::vector<std::string> serverAsked_;
    tolvaran::SelectDatabaseOpener* opener_ = nullptr;  // the main window's, when a test gives one
    std::unique_ptr<registry::RegistryFile> registry_;
    tolvaran::AppContext ctx_;
    std::unique_ptr<tolvaran::Startup> window_;
};

}  // namespace test
