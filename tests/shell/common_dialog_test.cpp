// The common-dialog wrapper's contract (flags, filter text, outputs on a choice and on
// cancel, hook notifications, custom colours) through the fake, and the same contract through
// the Qt dialogs, driven offscreen from the event loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "shell/qt/qt_common_dialog.h"
#include "shell_test_support.h"
#include "store/context.h"
#include "store/internal_store.h"
#include "support/fake_common_dialog.h"
#include "support/lock_probe.h"
#include "support/recording.h"

using namespace tolvaran;

namespace {

struct Outputs {
    std::string file = "start.mdb", title, filter;
    long index = 2, flags = 0;
    bool readOnly = false;
    bool result = false;
};

Outputs Open(ui::CommonDialog& cdlg, const std::string& filter, long owner = -1, long flags = 0,
             bool readOnly = false) {
    Outputs o;
    o.filter = filter;
    o.flags = flags;
    o.readOnly = readOnly;
    o.result = cdlg.VBGetOpenFileName(o.file, o.title, true, false, o.readOnly, false, o.filter, o.index,
                                      "/tmp", "Pick", "mdb", owner, o.flags);
    return o;
}

struct Owner : ui::CommonDialogOwner {
    std::vector<std::string> seen;
    bool refuse = false;
    void InitDialog(long hDlg) override { seen.push_back("init " + std::to_string(hDlg)); }
    void DialogClose() override { seen.push_back("close"); }
    void TypeChange(long i) override { seen.push_back("type " + std::to_string(i)); }
    bool ConfirmOK(const std::string& path) override {
        seen.push_back("ok " + path);
        return !refuse;
    }
    void FolderChange(const std::string& f) override { seen.push_back("folder " + f); }
    void FileChange(const std::string& f) override { seen.push_back("file " + f); }
};

TEST(CommonDialogContract, FiltersWithBarsOrColonsAndTheChosenPair) {
    for (const std::string filter : {"Access|*.mdb;*.adp|All|*.*", "Access:*.mdb;*.adp:All:*.*"}) {
        SCOPED_TRACE(filter);
        ui::FakeCommonDialog cdlg;
        cdlg.Choose("/data/Sales.mdb", 2);
        const Outputs o = Open(cdlg, filter, 77, ui::OFN_ENABLEHOOK | ui::OFN_ENABLETEMPLATE | 0x80000, true);
        ASSERT_TRUE(o.result);
        const auto& r = cdlg.fileRequests.at(0);
        ASSERT_EQ(r.filters.size(), 2u);
        EXPECT_EQ(r.filters[0], (std::pair<std::string, std::string>{"Access", "*.mdb;*.adp"}));
        EXPECT_EQ(r.filterIndex, 2);
        EXPECT_EQ(r.fileName, "start.mdb");
        EXPECT_EQ(r.owner, 77);
        // Must exist, read-only asked for, the extra flag kept; hook and template cleared.
        EXPECT_EQ(r.flags, ui::OFN_FILEMUSTEXIST | ui::OFN_READONLY | 0x80000);
        EXPECT_EQ(o.file, "/data/Sales.mdb");
        EXPECT_EQ(o.title, "Sales.mdb");
        EXPECT_EQ(o.filter, std::string("All\0*.*", 7));
        EXPECT_EQ(o.index, 2);
        EXPECT_FALSE(o.readOnly);  // the dialog returned flags without it
        EXPECT_EQ(cdlg.APIReturn(), 1);
    }
}

TEST(CommonDialogContract, CancelAndFailureClearTheOutputs) {
    ui::FakeCommonDialog cdlg;
    cdlg.Cancel();
    cdlg.Cancel(3, 0x3002);
    for (long expected : {0L, 3L}) {
        const Outputs o = Open(cdlg, "All|*.*");
        EXPECT_FALSE(o.result);
        EXPECT_EQ(o.file, "");
        EXPECT_EQ(o.title, "");
        EXPECT_EQ(o.filter, "");
        EXPECT_EQ(o.index, -1);
        EXPECT_EQ(cdlg.APIReturn(), expected);
    }
    EXPECT_EQ(cdlg.ExtendedError(), 0x3002);
}

TEST(CommonDialogContract, LongPathsSeveralFilesAndTheSaveDialog) {
    ui::FakeCommonDialog cdlg;
    const std::string deep = "/data/" + std::string(300, 'x') + "/report.mdb";
    cdlg.Choose(deep);
    cdlg.ChooseFiles({"/data/a.mdb", "/data/b.mdb"});
    Outputs one = Open(cdlg, "All|*.*");
    EXPECT_EQ(one.file, deep);  // whole, past 260 characters
    EXPECT_EQ(one.title, "report.mdb");
    Outputs two = Open(cdlg, "All|*.*");
    EXPECT_EQ(two.file, "/data");  // several files: their folder
    EXPECT_EQ(ui::CommonDialog::VBGetFileTitle("C:\\data\\x.rpt"), "x.rpt");

    std::string file, title, filter = "Reports|*.rpt";
    long index = 1, flags = ui::OFN_ENABLEHOOK;
    cdlg.Choose("/out/a.rpt");
    EXPECT_TRUE(cdlg.VBGetSaveFileName(file, title, true, filter, index, "", "Save", "rpt", -1, flags));
    EXPECT_EQ(cdlg.fileRequests.back().flags, ui::OFN_OVERWRITEPROMPT | ui::OFN_HIDEREADONLY);
    EXPECT_TRUE(cdlg.fileRequests.back().save);
    EXPECT_EQ(file, "/out/a.rpt");
}

TEST(CommonDialogContract, TheHookRelaysToTheOwnerAndARefusedOkCancels) {
    ui::FakeCommonDialog cdlg;
    Owner owner;
    cdlg.setOwner(&owner);
    using M = ui::HookMessage;
    cdlg.ChooseFiles({"/d/a.mdb"}, 1, 0,
                     {{M::FolderChange, "/d"},
                      {M::SelChange, "/d/a.mdb"},
                      {M::TypeChange, "", 2},
                      {M::FileOK, "/d/a.mdb"}});
    EXPECT_TRUE(Open(cdlg, "A|*.a|B|*.b").result);
    EXPECT_EQ(owner.seen, (std::vector<std::string>{"init 4242", "folder /d", "file /d/a.mdb", "type 2",
                                                    "ok /d/a.mdb", "close"}));
    owner.refuse = true;
    cdlg.ChooseFiles({"/d/a.mdb"}, 1, 0, {{M::FileOK, "/d/a.mdb"}});
    EXPECT_FALSE(Open(cdlg, "A|*.a").result);
}

TEST(CommonDialogContract, ColoursStartAsTheSystemColours) {
    ui::FakeCommonDialog cdlg;
    EXPECT_EQ(cdlg.CustomColor(5), 5 * 0x010101);
    EXPECT_EQ(cdlg.CustomColor(16), -1);
    EXPECT_EQ(cdlg.CustomColor(-1), -1);
    cdlg.setCustomColor(5, 0xFF);
    cdlg.setCustomColor(16, 0xFF);
    EXPECT_EQ(cdlg.CustomColor(5), 0xFF);
    long colour = 0x123456;
    cdlg.colorScript.push_back({1, 0x00FF00});
    EXPECT_TRUE(
        cdlg.VBChooseColor(colour, false, true, false, -1, ui::CC_ENABLEHOOK | ui::CC_ENABLETEMPLATE));
    EXPECT_EQ(colour, 0x00FF00);
    EXPECT_EQ(cdlg.colorRequests[0].flags, ui::CC_RGBINIT | ui::CC_FULLOPEN | ui::CC_SOLIDCOLOR);
    EXPECT_FALSE(cdlg.VBChooseColor(colour));  // cancelled: the colour stays
    EXPECT_EQ(colour, 0x00FF00);
}

// Acts on the next modal dialog of type D once the event loop shows it.
template <class D>
void OnNextDialog(std::function<void(D*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d) return;
        timer->stop();
        timer->deleteLater();
        act(d);
    });
    timer->start();
}

TEST(QtCommonDialog, OpenDialogReturnsTheChosenFileAndFilterPair) {
    const auto dir = test::TempFolder("cdlg");
    test::WriteFile(dir / "b.mdb", "x");
    QWidget ownerWindow;
    ownerWindow.show();
    QtCommonDialog cdlg;
    Owner owner;
    cdlg.setOwner(&owner);
    QWidget* parentSeen = &ownerWindow;
    bool readOnlyBox = false;
    OnNextDialog<QFileDialog>([&](QFileDialog* d) {
        parentSeen = d->parentWidget();
        EXPECT_EQ(d->windowTitle().toStdString(), "Pick");
        EXPECT_EQ(d->nameFilters().size(), 2);
        EXPECT_EQ(d->selectedNameFilter().toStdString(), "Access (*.mdb *.adp)");
        readOnlyBox = d->findChild<QCheckBox*>("chkReadOnly") != nullptr;
        d->selectNameFilter(d->nameFilters().at(1));
        d->setDirectory(QString::fromStdString(dir.string()));
        d->selectFile(QString::fromStdString((dir / "b.mdb").string()));
        static_cast<QDialog*>(d)->accept();
    });
    Outputs o;
    o.index = 1;
    o.filter = "Access|*.mdb;*.adp|All|*.*";
    o.result = cdlg.VBGetOpenFileName(o.file, o.title, true, false, o.readOnly, false, o.filter, o.index,
                                      dir.string(), "Pick", "", -1, o.flags);
    ASSERT_TRUE(o.result);
    EXPECT_EQ(parentSeen, nullptr);  // owner -1: no owner window
    EXPECT_TRUE(readOnlyBox);
    EXPECT_EQ(o.file, (dir / "b.mdb").string());
    EXPECT_EQ(o.title, "b.mdb");
    EXPECT_EQ(o.index, 2);
    EXPECT_EQ(o.filter, std::string("All\0*.*", 7));
    EXPECT_EQ(owner.seen.front().rfind("init ", 0), 0u);
    EXPECT_NE(std::find(owner.seen.begin(), owner.seen.end(), "ok " + (dir / "b.mdb").string()),
              owner.seen.end());
    EXPECT_EQ(owner.seen.back(), "close");

    // Owned by a window; a refused OK keeps the dialog open until it is cancelled.
    owner.refuse = true;
    OnNextDialog<QFileDialog>([&](QFileDialog* d) {
        parentSeen = d->parentWidget();
        d->selectFile(QString::fromStdString((dir / "b.mdb").string()));
        static_cast<QDialog*>(d)->accept();
        EXPECT_TRUE(d->isVisible());
        static_cast<QDialog*>(d)->reject();
    });
    o = Outputs{};
    o.filter = "All|*.*";
    o.result =
        cdlg.VBGetOpenFileName(o.file, o.title, true, false, o.readOnly, true, o.filter, o.index,
                               dir.string(), "Pick", "", QtCommonDialog::HandleOf(ownerWindow), o.flags);
    EXPECT_EQ(parentSeen, &ownerWindow);
    EXPECT_FALSE(o.result);
    EXPECT_EQ(o.file, "");
    EXPECT_EQ(o.filter, "");
    EXPECT_EQ(o.index, -1);
    std::filesystem::remove_all(dir);
}

// A file dialog listing the program folder while the store is open (its lists file in WAL
// mode, whose readers keep a lock for as long as they are open) leaves the store's lock held,
// as another process sees it: the dialog tells file types without opening the files.
TEST(QtCommonDialog, ListingTheProgramFolderKeepsTheStoresLocks) {
    const auto folder = test::ProgramFolder("cdlg-store");
    ui::RecordingPrompt prompt;
    AppContext ctx;
    ctx.programFolder = folder.string();
    ctx.prompt = &prompt;
    CheckAndTransferData(ctx);
    ASSERT_TRUE(openConnection(ctx));
    ctx.gDb->Execute("PRAGMA journal_mode=WAL");
    ctx.gDb->Execute("INSERT INTO ErrorLog (ReportId, ErrorDesc) VALUES (1, 'held')");
    const std::string lists = ctx.InFolder(kListsFile);
    ASSERT_TRUE(test::ReaderLockSeenFromOutside(lists));

    QString typeShown;
    bool lockHeld = false;
    OnNextDialog<QFileDialog>([&](QFileDialog* d) {
        auto* model = d->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QString file = QString::fromStdString(lists);
        const bool listed =
            QTest::qWaitFor([&] { return !model->index(file, 2).data().toString().isEmpty(); }, 5000);
        EXPECT_TRUE(listed);
        typeShown = model->index(file, 2).data().toString();
        lockHeld = test::ReaderLockSeenFromOutside(lists);
        static_cast<QDialog*>(d)->reject();
    });
    QtCommonDialog cdlg;
    Outputs o;
    o.filter = "All|*.*";
    cdlg.VBGetOpenFileName(o.file, o.title, true, false, o.readOnly, true, o.filter, o.index, folder.string(),
                           "Pick", "", -1, o.flags);
    EXPECT_FALSE(typeShown.isEmpty());
    EXPECT_TRUE(lockHeld);
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::filesystem::remove_all(folder);
}

TEST(QtCommonDialog, FolderColourAndFontDialogs) {
    const auto dir = test::TempFolder("cdlg-folder");
    QtCommonDialog cdlg;
    OnNextDialog<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->fileMode(), QFileDialog::Directory);
        // Typed as a user would: selectFile leaves the name field alone while it has the focus,
        // which the dialog may or may not have been given yet.
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(dir.string()));
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_EQ(cdlg.BrowseForFolder(-1, "Choose", 1).value_or(""), dir.string());
    OnNextDialog<QFileDialog>([](QFileDialog* d) { static_cast<QDialog*>(d)->reject(); });
    EXPECT_FALSE(cdlg.BrowseForFolder(-1, "Choose", 1).has_value());

    long colour = 0x0000FF;  // red in the low byte
    OnNextDialog<QColorDialog>([](QColorDialog* d) {
        EXPECT_EQ(d->currentColor(), QColor(255, 0, 0));
        d->setCurrentColor(QColor(0, 0, 255));
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_TRUE(cdlg.VBChooseColor(colour));
    EXPECT_EQ(colour, 0xFF0000);

    // The font dialog keeps a family this machine has and the colour it was given.
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts installed";
    ui::FontSpec font;
    font.Name = QFontDatabase::families().value(0).toStdString();
    font.Size = 12;
    long fontColour = 7;
    OnNextDialog<QFontDialog>([&](QFontDialog* d) {
        EXPECT_EQ(d->currentFont().family().toStdString(), font.Name);
        static_cast<QDialog*>(d)->accept();
    });
    EXPECT_TRUE(cdlg.VBChooseFont(font, fontColour));
    EXPECT_EQ(font.Name, QFontDatabase::families().value(0).toStdString());
    EXPECT_GT(font.Size, 0);
    EXPECT_EQ(fontColour, 7);
    std::filesystem::remove_all(dir);
}

TEST(QtCommonDialog, PageSetupSetsThePrinterObject) {
    QtCommonDialog cdlg;
    ui::PrinterObject printer;
    printer.Orientation = 2;
    printer.PaperSize = 9;  // A4
    printer.Copies = 3;
    OnNextDialog<QDialog>([](QDialog* d) { d->accept(); });
    ASSERT_TRUE(cdlg.VBPageSetupDlg(printer));
    EXPECT_EQ(printer.Orientation, 2);
    EXPECT_EQ(printer.PaperSize, 9);
    EXPECT_EQ(printer.Copies, 3);
    OnNextDialog<QDialog>([](QDialog* d) { d->reject(); });
    printer.Orientation = 1;
    EXPECT_FALSE(cdlg.VBPageSetupDlg(printer));
    EXPECT_EQ(printer.Orientation, 1);
}

}  // namespace
