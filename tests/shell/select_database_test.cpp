// The source-database dialog's flow: adding each kind of source database through the
// scripted file picker, saving with its placeholders and link rows, cancelling, editing.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "select_database_fixture.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/qt_form.h"

using namespace tolvaran;

namespace {

class SelectDatabaseFlow : public test::SelectDatabaseFixture {
  protected:
    bool Checked(QWidget& dialog, const char* option) {
        return Find<QRadioButton>(dialog, option)->isChecked();
    }
    std::string Box(QWidget& dialog, const char* name) {
        return Find<QLineEdit>(dialog, name)->text().toStdString();
    }
    void SetBox(QWidget& dialog, const char* name, const std::string& text) {
        Find<QLineEdit>(dialog, name)->setText(QString::fromStdString(text));
    }
    // The shown picture of light element i: "green", "yellow", "red" or "".
    std::string Light(QWidget& dialog, int i) {
        for (const char* colour : {"Green", "Yellow", "Red"}) {
            const QString name = QStringLiteral("im%1TrafficLight(%2)").arg(QLatin1String(colour)).arg(i);
            if (!dialog.findChild<QLabel*>(name)->isHidden())
                return QString::fromLatin1(colour).toLower().toStdString();
        }
        return "";
    }
    // An entry of file added and saved, then opened for edit; key gets its DatabaseListId.
    std::unique_ptr<SelectDatabase> SavedThenEdited(const std::string& file, long& key) {
        files_.Choose(file);
        auto saved = Open("", true);
        key = saved->EntryKey();
        Click(*saved, 236);
        return Open(std::to_string(key), false);
    }
    std::vector<std::string> Summary(QWidget& dialog) {
        std::vector<std::string> lines;
        for (int i = 0; i < 3; ++i)
            lines.push_back(dialog.findChild<QLineEdit*>(QStringLiteral("txtConnectionTypes(%1)").arg(i))
                                ->text()
                                .toStdString());
        return lines;
    }
};

TEST_F(SelectDatabaseFlow, AFrontEndWithOwnAndLinkedTablesIsStoredAtOnceWithTheAccessKind) {
    const std::string front = LinkedFrontEnd();
    files_.Choose(front);
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());

    ASSERT_EQ(files_.fileRequests.size(), 1u);
    const auto& picker = files_.fileRequests[0];
    EXPECT_EQ(picker.title, "Select a Microsoft Access Database or Data Project (.MDB/.ADP)");
    ASSERT_EQ(picker.filters.size(), 4u);
    EXPECT_EQ(picker.filters[0].first, "Microsoft Access Databases/Data Projects");
    EXPECT_EQ(picker.filters[0].second, "*.adp;*.ade;*.mdb;*.accdb");
    EXPECT_EQ(picker.filters[3].second, "*.*");
    EXPECT_EQ(picker.filterIndex, 1);
    EXPECT_NE(picker.owner, -1);

    // The scan wrote its lines into the main window and stored the entry and three links.
    const auto results = Items(window_->ReportResults());
    EXPECT_NE(std::find(results.begin(), results.end(), "Opening Database:" + front), results.end());
    const long key = dialog->EntryKey();
    ASSERT_GT(key, 0);
    EXPECT_EQ(EntryValue(key, "ReportDatabase").ToString(), front);
    EXPECT_EQ(LinkRows(key), 3);
    EXPECT_EQ(LinkValue(key, "INTERNAL", "BackEndType").ToLong(), 0);
    EXPECT_EQ(LinkValue(key, "tblOrders", "BackEndType").ToLong(), 2);

    // Own tables are set last: the own-tables kind is on, the Access tab shown.
    EXPECT_TRUE(Checked(*dialog, "OptInternal"));
    EXPECT_FALSE(Checked(*dialog, "OptLinked"));
    EXPECT_FALSE(Checked(*dialog, "OptODBC"));
    EXPECT_EQ(dialog->ActiveTabs()->currentIndex(), 1);
    EXPECT_EQ(dialog->CurrentTab(), 2);
    EXPECT_EQ(Box(*dialog, "ConvertedReportsPath"), folder_.string() + "/");
    EXPECT_EQ(Box(*dialog, "SourceTablesDatabase"), front);
    auto listed = Items(Find<QListWidget>(*dialog, "lstAccess"));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{front, (folder_ / "orders.mdb").string(),
                                                (folder_ / "stock.mdb").string()}));
    const auto summary = Summary(*dialog);
    EXPECT_NE(std::find(summary.begin(), summary.end(), "Has tables internal to this database."),
              summary.end());
    EXPECT_NE(std::find(summary.begin(), summary.end(), "Has links to one or more external Access tables."),
              summary.end());
    EXPECT_EQ(Light(*dialog, 0), "yellow");
    EXPECT_EQ(Light(*dialog, 1), "green");

    Click(*dialog, 236);
    EXPECT_TRUE(dialog->Unloaded());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(EntryRows(), 1);
    EXPECT_EQ(EntryValue(key, "SourceTablesDatabase").ToString(), front);
    EXPECT_EQ(LinkRows(key), 3);
    EXPECT_EQ(LinkValue(key, "INTERNAL", "LoginId").ToString(), "Admin");
    EXPECT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;
}

TEST_F(SelectDatabaseFlow, AFrontEndWithOdbcLinksOnlyGetsTheOdbcKindAndTab) {
    testodbc::MakeSqlite(testodbc::SalesDb(), "CREATE TABLE Orders (Id INTEGER);");
    const std::string front = StandIn(
        "odbc.mdb", std::string(testsrc::kMSysObjects) +
                        testsrc::OdbcRow("dbo_Orders", "ODBC;DSN=TolvaranSales;UID=sa;PWD=pw", "dbo.Orders"));
    files_.Choose(front);
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());
    EXPECT_TRUE(Checked(*dialog, "OptODBC"));
    EXPECT_FALSE(Checked(*dialog, "OptInternal"));
    EXPECT_EQ(dialog->ActiveTabs()->currentIndex(), 3);
    EXPECT_EQ(Items(Find<QListWidget>(*dialog, "lstODBC")), (std::vector<std::string>{"dbo_Orders"}));
    EXPECT_EQ(Light(*dialog, 4), "yellow");

    // The list's entry brings its link's settings into the boxes.
    auto* list = Find<QListWidget>(*dialog, "lstODBC");
    list->setCurrentRow(0);
    dialog->lstODBC_Click();
    EXPECT_EQ(Box(*dialog, "DSN"), "TolvaranSales");
    EXPECT_EQ(Box(*dialog, "ODBCLogin"), "sa");
    EXPECT_EQ(Box(*dialog, "ODBCConnectionString"), "DSN=TolvaranSales;User ID=sa;Password=pw");

    Click(*dialog, 236);
    ASSERT_TRUE(dialog->Unloaded());
    const long key = dialog->EntryKey();
    EXPECT_EQ(LinkValue(key, "dbo_Orders", "DSN").ToString(), "TolvaranSales");
    EXPECT_EQ(LinkValue(key, "dbo_Orders", "ConnectionString").ToString(),
              "DSN=TolvaranSales;User ID=sa;Password=pw");
    EXPECT_EQ(LinkValue(key, "dbo_Orders", "BackEndType").ToLong(), 3);
    // No tables database: with the ODBC kind the placeholder is "1".
    EXPECT_EQ(EntryValue(key, "SourceTablesDatabase").ToString(), "1");

    // Edited again, the entry comes back with its kind, tab and settings.
    auto edit = Open(std::to_string(key), false);
    EXPECT_TRUE(Checked(*edit, "OptODBC"));
    EXPECT_EQ(edit->ActiveTabs()->currentIndex(), 3);
    EXPECT_FALSE(edit->ActiveTabs()->isTabVisible(1));
    EXPECT_EQ(Box(*edit, "DSN"), "TolvaranSales");
    EXPECT_EQ(Box(*edit, "ReportDatabase"), front);
    EXPECT_EQ(Box(*edit, "DatabaseListId"), std::to_string(key));
}

TEST_F(SelectDatabaseFlow, ADataProjectThatOpensIsStoredAsItsSqlServerLink) {
    const std::string project =
        Project("sales.adp",
                "Provider=Microsoft.Access.OLEDB.10.0;Data Source=srv;Initial Catalog=Sales;"
                "UID=sa;Password=pw;Data Provider=SQLOLEDB.1");
    files_.Choose(project);
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());
    EXPECT_TRUE(serverAsked_.empty());
    EXPECT_TRUE(Checked(*dialog, "OptDataProject"));
    EXPECT_EQ(dialog->ActiveTabs()->currentIndex(), 2);
    EXPECT_EQ(Box(*dialog, "Server"), "srv");
    EXPECT_EQ(Box(*dialog, "SQLDatabaseName"), "Sales");
    EXPECT_EQ(Box(*dialog, "SQLLogin"), "sa");
    EXPECT_EQ(Box(*dialog, "IsDataProject"), "True");
    EXPECT_TRUE(Find<QComboBox>(*dialog, "cboServer")->isHidden());
    EXPECT_EQ(Summary(*dialog)[0], "Microsoft Access Data Project.");
    const long key = dialog->EntryKey();
    ASSERT_GT(key, 0);

    SetBox(*dialog, "SQLPassword", "");
    Click(*dialog, 236);
    ASSERT_TRUE(dialog->Unloaded());
    EXPECT_EQ(LinkRows(key), 1);
    EXPECT_EQ(LinkValue(key, "Sales", "Server").ToString(), "srv");
    EXPECT_EQ(LinkValue(key, "Sales", "Provider").ToString(), "SQLOLEDB");
    EXPECT_EQ(LinkValue(key, "Sales", "BackEndType").ToLong(), 4);
    // An empty password of a data project is stored as "1".
    EXPECT_EQ(LinkValue(key, "Sales", "Password").ToString(), "1");
    EXPECT_TRUE(EntryValue(key, "IsDataProject").ToBool());
}

TEST_F(SelectDatabaseFlow, ADataProjectThatDoesNotOpenOffersThePickersAndStoresTheChoice) {
    dmo_.servers = {"alpha", "beta"};
    dmo_.AddDatabase("beta", "master");
    dmo_.AddDatabase("beta", "Stock");
    dmo_.AddDatabase("beta", "Sales");
    dmo_.AddDatabase("alpha", "Other");
    const std::string project = (folder_ / "gone.adp").string();
    files_.Choose(project);
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());
    EXPECT_EQ(serverAsked_, (std::vector<std::string>{project}));
    EXPECT_EQ(dialog->EntryKey(), 0);  // nothing stored yet
    EXPECT_EQ(EntryRows(), 0);

    auto* servers = Find<QComboBox>(*dialog, "cboServer");
    auto* databases = Find<QComboBox>(*dialog, "cboDatabases");
    EXPECT_FALSE(servers->isHidden());
    EXPECT_FALSE(databases->isHidden());
    EXPECT_FALSE(databases->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(*dialog, "Server")->isHidden());
    ASSERT_EQ(servers->count(), 2);
    EXPECT_TRUE(Checked(*dialog, "OptDataProject"));

    // The user picks a server, then a database; a second server's list replaces the first.
    SetBox(*dialog, "SQLLogin", "report");
    servers->setCurrentIndex(0);
    dialog->cboServer_Click();
    servers->setCurrentIndex(1);
    dialog->cboServer_Click();
    EXPECT_EQ(dmo_.login, "report");
    ASSERT_EQ(databases->count(), 2);  // master is not listed
    EXPECT_EQ(databases->itemText(1).toStdString(), "Sales");
    EXPECT_EQ(databases->itemData(1).toLongLong(), 3);  // its place among all three
    databases->setCurrentIndex(1);
    EXPECT_EQ(Box(*dialog, "SQLDatabaseName"), "Sales");
    EXPECT_EQ(Box(*dialog, "Server"), "beta");

    Click(*dialog, 236);
    ASSERT_TRUE(dialog->Unloaded());
    const long key = dialog->EntryKey();
    ASSERT_GT(key, 0);
    EXPECT_EQ(Box(*dialog, "DatabaseListId"), std::to_string(key));
    // The row written with key 0 moved to the new entry.
    EXPECT_EQ(LinkRows(0), 0);
    EXPECT_EQ(LinkRows(key), 1);
    EXPECT_EQ(LinkValue(key, "Sales", "Server").ToString(), "beta");
    EXPECT_EQ(LinkValue(key, "Sales", "SQLDatabaseName").ToString(), "Sales");
    EXPECT_EQ(LinkValue(key, "Sales", "BackEndType").ToLong(), 4);
    EXPECT_EQ(EntryValue(key, "ReportDatabase").ToString(), project);
    EXPECT_TRUE(EntryValue(key, "IsDataProject").ToBool());
}

TEST_F(SelectDatabaseFlow, CancelledPickersAndCancelStoreNothing) {
    // The first picker cancelled: the dialog unloads itself before it shows.
    files_.Cancel();
    auto none = Open("", true);
    EXPECT_TRUE(none->Unloaded());
    EXPECT_EQ(EntryRows(), 0);

    // Cancel after a successful scan removes the entry and all its link rows.
    files_.Choose(LinkedFrontEnd());
    auto added = Open("", true);
    const long key = added->EntryKey();
    ASSERT_EQ(LinkRows(key), 3);
    Click(*added, 237);
    EXPECT_TRUE(added->Unloaded());
    EXPECT_EQ(EntryRows(), 0);
    EXPECT_EQ(LinkRows(key), 0);

    // Cancel while editing removes nothing.
    files_.Choose(LinkedFrontEnd());
    auto saved = Open("", true);
    const long kept = saved->EntryKey();
    Click(*saved, 236);
    auto edit = Open(std::to_string(kept), false);
    EXPECT_FALSE(edit->NewReference());
    EXPECT_EQ(Items(Find<QListWidget>(*edit, "lstAccess")).size(), 3u);
    Click(*edit, 237);
    EXPECT_EQ(EntryRows(), 1);
    EXPECT_EQ(LinkRows(kept), 3);
}

// Closing the dialog by its title bar or Esc is Cancel: a new entry is not kept half-stored;
// an entry being edited stays as it was, even after another front end was chosen.
TEST_F(SelectDatabaseFlow, ClosingTheDialogCancelsAndAnEditIsUndoneWhole) {
    for (bool escape : {false, true}) {
        files_.Choose(LinkedFrontEnd());
        auto added = Open("", true);
        const long key = added->EntryKey();
        ASSERT_EQ(LinkRows(key), 3);
        added->show();
        if (escape)
            added->reject();
        else
            added->close();
        EXPECT_TRUE(added->Unloaded());
        EXPECT_EQ(EntryRows(), 0) << escape;
        EXPECT_EQ(LinkRows(key), 0) << escape;
    }

    const std::string first = StandIn("first.mdb", "CREATE TABLE Orders (Id INTEGER);");
    long key = 0;
    auto edit = SavedThenEdited(first, key);
    files_.Choose(LinkedFrontEnd());
    edit->cmdGetReportDB_Click();
    EXPECT_EQ(Items(Find<QListWidget>(*edit, "lstAccess")).size(), 3u);
    Click(*edit, 237);
    EXPECT_EQ(EntryValue(key, "ReportDatabase").ToString(), first);
    EXPECT_EQ(LinkRows(key), 1);
    EXPECT_EQ(LinkValue(key, "INTERNAL", "LinkDatabase").ToString(), first);
    EXPECT_EQ(window_->gDatabaseList().ReportDatabase, first);
}

TEST_F(SelectDatabaseFlow, ANewEntryWhoseScanFailedGetsItsRowsAndPlaceholdersOnSave) {
    const std::string project = (folder_ / "unreachable.adp").string();
    // A row left with key 0 by an earlier save that did not finish.
    ctx_.gDb->Execute("INSERT INTO DatabaseConnections (DatabaseListId, LinkName) VALUES (0, 'stray')");
    files_.Choose(project);
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());
    EXPECT_EQ(EntryRows(), 0);
    SetBox(*dialog, "Server", "");
    SetBox(*dialog, "SQLDatabaseName", "");
    Click(*dialog, 236);
    ASSERT_TRUE(dialog->Unloaded());
    const long key = dialog->EntryKey();
    ASSERT_GT(key, 0);
    EXPECT_EQ(LinkRows(0), 0);
    EXPECT_EQ(LinkRows(key), 2);  // the data-project row and the stray one
    EXPECT_EQ(Box(*dialog, "Server"), "1");
    EXPECT_EQ(Box(*dialog, "SQLDatabaseName"), "1");
    EXPECT_EQ(EntryValue(key, "SourceTablesDatabase").ToString(), "<Select>");
    EXPECT_EQ(EntryValue(key, "ReportDatabase").ToString(), project);
}

// No exception leaves an event handler: a lists file that refuses to move the new entry's link
// rows to its key shows the error titled with the routine, and the dialog stays open.
TEST_F(SelectDatabaseFlow, AFailingSaveIsShownUnderItsRoutineAndTheDialogStays) {
    files_.Choose((folder_ / "unreachable.adp").string());
    auto dialog = Open("", true);
    ASSERT_FALSE(dialog->Unloaded());
    ctx_.gDb->Execute(
        "CREATE TRIGGER refuse BEFORE UPDATE ON DatabaseConnections "
        "BEGIN SELECT RAISE(ABORT, 'the lists file refuses'); END");
    QtToolBar* bar = dialog->EToolBar();
    for (int i = 1; i <= bar->ItemCount(); ++i)
        if (bar->ItemCtrlID(i) == 236) emit bar->ItemClick(i);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].title, "Save");
    EXPECT_NE(prompt_.messages[0].prompt.find("the lists file refuses"), std::string::npos);
    EXPECT_FALSE(dialog->Unloaded());
}

// A file that is not an Access database is refused with a message naming it and why; nothing
// is stored, and an entry being edited keeps its front end.
TEST_F(SelectDatabaseFlow, AFileThatIsNotAnAccessDatabaseIsRefusedSayingWhy) {
    const std::string fake = (folder_ / "fake.mdb").string();
    test::WriteFile(fake, "just some text");
    files_.Choose(fake);
    auto refused = Open("", true);
    EXPECT_TRUE(refused->Unloaded());
    EXPECT_EQ(EntryRows(), 0);
    EXPECT_EQ(CountRows("SELECT COUNT(*) FROM DatabaseConnections"), 0);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_NE(prompt_.messages[0].prompt.find("The file " + fake + " was not added"), std::string::npos);
    EXPECT_NE(prompt_.messages[0].prompt.find("Unrecognized database format"), std::string::npos);

    const std::string first = StandIn("first.mdb", "CREATE TABLE Orders (Id INTEGER);");
    long key = 0;
    auto edit = SavedThenEdited(first, key);
    files_.Choose(fake);
    edit->cmdGetReportDB_Click();
    EXPECT_EQ(Box(*edit, "ReportDatabase"), first);
    EXPECT_EQ(Items(Find<QListWidget>(*edit, "lstAccess")), (std::vector<std::string>{first}));
    Click(*edit, 236);
    EXPECT_EQ(EntryValue(key, "ReportDatabase").ToString(), first);
    EXPECT_EQ(LinkValue(key, "INTERNAL", "LinkDatabase").ToString(), first);
}

TEST_F(SelectDatabaseFlow, ALinkNamedWithQuotesSavesResavesAndCancelsAsOneRow) {
    const std::string other = StandIn("O'Brien's \"Sales\".mdb", "CREATE TABLE Sales (Id INTEGER);");
    const std::string name = "O'Brien's \"Sales\"";
    std::string quoted = other, table = name;
    for (std::string* s : {&quoted, &table})
        for (size_t p = 0; (p = s->find('\'', p)) != std::string::npos; p += 2) s->insert(p, 1, '\'');
    const std::string front =
        StandIn("quotes.mdb", std::string(testsrc::kMSysObjects) + "INSERT INTO MSysObjects VALUES ('" +
                                  table + "', 6, 0, '" + quoted + "', 'Sales', NULL);");
    files_.Choose(front);
    auto dialog = Open("", true);
    const long key = dialog->EntryKey();
    ASSERT_EQ(LinkRows(key), 1);
    EXPECT_TRUE(Checked(*dialog, "OptLinked"));
    auto* list = Find<QListWidget>(*dialog, "lstAccess");
    ASSERT_EQ(Items(list), (std::vector<std::string>{other}));
    list->setCurrentRow(0);
    dialog->lstAccess_Click();
    EXPECT_EQ(Box(*dialog, "SourceTablesDatabase"), other);
    SetBox(*dialog, "AccessPassword", "secret");
    Click(*dialog, 236);
    ASSERT_TRUE(prompt_.messages.empty()) << prompt_.messages[0].prompt;
    EXPECT_EQ(LinkRows(key), 1);
    EXPECT_EQ(LinkValue(key, name, "Password").ToString(), "secret");
    EXPECT_EQ(LinkValue(key, name, "LinkDatabase").ToString(), other);

    // Saved again from the edit dialog, it is still one row, with the stored password kept.
    auto edit = Open(std::to_string(key), false);
    EXPECT_EQ(Box(*edit, "AccessPassword"), "secret");
    SetOptionButton(*Find<QRadioButton>(*edit, "OptLinked"), true);
    Find<QListWidget>(*edit, "lstAccess")->setCurrentRow(0);
    Click(*edit, 236);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(LinkRows(key), 1);
    EXPECT_EQ(LinkValue(key, name, "Password").ToString(), "secret");

    // A new entry of the same file cancelled removes its own row only.
    files_.Choose(front);
    auto again = Open("", true);
    ASSERT_EQ(LinkRows(again->EntryKey()), 1);
    Click(*again, 237);
    EXPECT_EQ(LinkRows(again->EntryKey()), 0);
    EXPECT_EQ(LinkRows(key), 1);
}

// Edit brings an entry back with the kind it was saved with, and Test Connect tries the
// tables file the Access tab shows, with one message.
TEST_F(SelectDatabaseFlow, EditComesBackWithTheStoredKindAndTestsThePathItShows) {
    files_.Choose(LinkedFrontEnd());
    auto added = Open("", true);
    const long key = added->EntryKey();
    const std::string orders = (folder_ / "orders.mdb").string();
    SetOptionButton(*Find<QRadioButton>(*added, "OptLinked"), true);
    auto* list = Find<QListWidget>(*added, "lstAccess");
    list->setCurrentItem(list->findItems(QString::fromStdString(orders), Qt::MatchExactly).front());
    added->lstAccess_Click();
    Click(*added, 236);
    ASSERT_TRUE(added->Unloaded());

    files_.Choose(StandIn("own.mdb", "CREATE TABLE Own (Id INTEGER);"));
    auto own = Open("", true);
    Click(*own, 236);
    ASSERT_TRUE(own->Unloaded());

    const struct {
        long key;
        const char* kind;
        std::string tables;
    } cases[] = {{key, "OptLinked", orders},
                 {own->EntryKey(), "OptInternal", (folder_ / "own.mdb").string()}};
    for (const auto& c : cases) {
        auto edit = Open(std::to_string(c.key), false);
        for (const char* option : {"OptInternal", "OptLinked", "OptODBC", "OptDataProject"})
            EXPECT_EQ(Checked(*edit, option), std::string(option) == c.kind) << c.kind << " " << option;
        EXPECT_EQ(edit->CurrentTab(), 2) << c.kind;
        EXPECT_EQ(Box(*edit, "SourceTablesDatabase"), c.tables);
        prompt_.messages.clear();
        edit->cmdTestConnect_Click();
        ASSERT_EQ(prompt_.messages.size(), 1u) << c.kind;
        EXPECT_EQ(prompt_.messages[0].prompt, "Connection successfull") << c.kind;
        Click(*edit, 236);
        EXPECT_EQ(EntryValue(c.key, "SourceTablesDatabase").ToString(), c.tables);
    }
}

TEST_F(SelectDatabaseFlow, ChoosingAnotherFrontEndReplacesTheLinksOfTheFirst) {
    const std::string first = StandIn("first.mdb", "CREATE TABLE Orders (Id INTEGER);");
    const std::string second = LinkedFrontEnd();
    files_.Choose(first);
    auto dialog = Open("", true);
    const long key = dialog->EntryKey();
    ASSERT_EQ(LinkRows(key), 1);
    files_.Choose(second);
    dialog->cmdGetReportDB_Click();
    EXPECT_EQ(dialog->EntryKey(), key);
    EXPECT_EQ(Box(*dialog, "ReportDatabase"), second);
    EXPECT_EQ(Items(Find<QListWidget>(*dialog, "lstAccess")).size(), 3u);
    EXPECT_EQ(LinkRows(key), 3);
    EXPECT_EQ(LinkValue(key, "INTERNAL", "LinkDatabase").ToString(), second);
    EXPECT_EQ(EntryRows(), 1);
}

}  // namespace

namespace {

// The user's road from the main window: the toolbar's Add opens the dialog, which the runner
// saves or cancels the way a user would.
class MainWindowAddsEntries : public test::SelectDatabaseFixture {
  protected:
    void SetUp() override {
        dialogs_ = std::make_unique<SelectDatabaseDialogs>(files_, files_, launcher_, dmo_);
        dialogs_->setRunner([this](SelectDatabase& d) {
            ++shown_;
            if (inspect_) inspect_(d);
            Click(d, save_ ? 236 : 237);
        });
        opener_ = dialogs_.get();
        SelectDatabaseFixture::SetUp();
    }
    void ClickMain(long id) {
        QtToolBar* bar = window_->EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == id) return window_->EToolBar_ItemClick(i);
        ADD_FAILURE() << "no toolbar item " << id;
    }
    // A stand-in front end whose report exports lie beside it.
    std::string FrontEndWithReports(const std::vector<std::string>& reports) {
        const std::string file = StandIn("reports.mdb", "CREATE TABLE Customers (Id INTEGER PRIMARY KEY);");
        const auto exports = std::filesystem::path(file + ".src") / "reports";
        std::filesystem::create_directories(exports);
        for (const std::string& r : reports)
            test::WriteFile(
                exports / (r + ".bas"),
                "Version =20\r\nBegin Report\r\n    Width =9000\r\n    Begin\r\n    End\r\nEnd\r\n");
        return file;
    }

    std::unique_ptr<SelectDatabaseDialogs> dialogs_;
    std::function<void(SelectDatabase&)> inspect_;
    bool save_ = true;
    int shown_ = 0;
};

TEST_F(MainWindowAddsEntries, AddScansSavesAndListsTheNewEntryWithItsReports) {
    const std::string front = FrontEndWithReports({"Invoice", "Catalogue"});
    files_.Choose(front);
    ClickMain(239);
    ASSERT_EQ(shown_, 1);
    DataGrid* entries = window_->dxDatabases();
    ASSERT_EQ(entries->Dataset().RowCount(), 1);
    EXPECT_EQ(entries->CurrentValue("ReportDatabase").ToString(), front);
    DataGrid* reports = window_->dxReports();
    std::vector<std::string> names;
    for (int row = 0; row < reports->Dataset().RowCount(); ++row)
        names.push_back(reports->Dataset().Value(row, "ReportName").ToString());
    EXPECT_EQ(names, (std::vector<std::string>{"Catalogue", "Invoice"}));
    EXPECT_EQ(window_->frmReports()->title().toStdString(), "Access Reports (2)");

    // Edit opens the current entry; the "1. Select a Database" link adds another, which is
    // cancelled and leaves the list as it was.
    inspect_ = [&](SelectDatabase& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("ReportDatabase")->text().toStdString(), front);
    };
    save_ = false;
    ClickMain(240);
    EXPECT_EQ(shown_, 2);
    inspect_ = nullptr;
    files_.Choose(LinkedFrontEnd());
    emit window_->findChild<QLabel*>("dxlnkSelectDatabase")->linkActivated("#");
    EXPECT_EQ(shown_, 3);
    EXPECT_EQ(entries->Dataset().RowCount(), 1);
    EXPECT_EQ(EntryRows(), 1);
    EXPECT_EQ(entries->CurrentValue("ReportDatabase").ToString(), front);
}

}  // namespace
