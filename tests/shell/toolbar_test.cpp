// The toolbar builder on the item-list control and on the Qt toolbar.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <optional>

#include "platform/ado/ado.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

struct Row {
    int order;
    std::optional<int> level;
    std::optional<std::string> caption;
    int type = 0;
    long id = 0;
    int image = 1;
    std::string tip = {};
    std::string key = {};
    bool check = false;
};

class FixedImages : public ImageListControl {
  public:
    int ImageListCount() const override { return 30; }
    Picture ListImageRef(int i) const override { return {"image" + std::to_string(i)}; }
};

class ToolBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::TempFolder("toolbar");
        const std::string file = (dir_ / "settings.db").string();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        sqlite3_exec(
            db,
            "CREATE TABLE ToolBars (ToolBarId INTEGER, FormName TEXT, ButtonOrder INTEGER, Level INTEGER,"
            " ButtonNAME TEXT, ButtonType INTEGER, ImageNo INTEGER, ToolTip TEXT, QuickKey TEXT,"
            " IsCheckBox BOOLEAN, IsDropMenu BOOLEAN, BackColor INTEGER, ForeColor INTEGER, Enabled BOOLEAN)",
            nullptr, nullptr, nullptr);
        sqlite3_close(db);
        conn_ = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
        builder_.setConn(conn_);
        builder_.setImageList(&images_);
    }
    void TearDown() override {
        conn_.reset();
        fs::remove_all(dir_);
    }
    void Add(const std::string& form, const Row& r) {
        conn_->Execute(
            "INSERT INTO ToolBars (ToolBarId, FormName, ButtonOrder, Level, ButtonNAME, ButtonType, ImageNo,"
            " ToolTip, QuickKey, IsCheckBox, IsDropMenu, BackColor, ForeColor, Enabled)"
            " VALUES (?,?,?,?,?,?,?,?,?,?,0,0,0,1)",
            {r.id, form, r.order, r.level ? vb::Variant(*r.level) : vb::Variant::null(),
             r.caption ? vb::Variant(*r.caption) : vb::Variant::null(), r.type, r.image, r.tip, r.key,
             r.check});
    }
    std::vector<std::string> Layout(const ToolBarModel& bar) {
        std::vector<std::string> out;
        for (const auto& item : bar.Items())
            out.push_back(std::to_string(item.level) + ":" +
                          (item.type == kItemSeparator ? "-" : item.caption) + ":" +
                          std::to_string(item.ctrlId));
        return out;
    }

    fs::path dir_;
    ado::ConnectionPtr conn_;
    ui::RecordingPrompt prompt_;
    FixedImages images_;
    clsToolBar builder_{prompt_};
};

TEST_F(ToolBarTest, KeyWithoutRowsGivesEmptyBarAndStillLoadsImages) {
    ToolBarModel bar;
    EXPECT_TRUE(builder_.Load(bar, "Nothing"));
    EXPECT_EQ(bar.ItemCount(), 0);
    ASSERT_EQ(bar.Images().size(), 30u);
    EXPECT_EQ(bar.Images()[29].file, "image30");
    EXPECT_EQ(bar.BackColorTo(), 16102554);
    EXPECT_EQ(bar.SelectForeColor(), 8596748);
    EXPECT_EQ(bar.MenuMarginColor(), 43212);
    EXPECT_TRUE(bar.TipsDisplay());
}

TEST_F(ToolBarTest, RowsWithoutCaptionOrWithOtherLevelsAddNothingAndDoNotCount) {
    Add("F", {1, 1, "File", 0, 10});
    Add("F", {2, 1, std::nullopt, 0, 11});  // missing caption
    Add("F", {3, 1, "", 0, 12});            // empty caption
    Add("F", {4, 0, "Level0", 0, 13});
    Add("F", {5, 4, "Level4", 0, 14});
    Add("F", {6, std::nullopt, "NoLevel", 0, 15});
    Add("F", {7, 2, "Open", 0, 16});  // child of "File": the skipped rows did not count
    ToolBarModel bar;
    ASSERT_TRUE(builder_.Load(bar, "F"));
    EXPECT_EQ(Layout(bar), (std::vector<std::string>{"1:File:10", "2:Open:16"}));
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(ToolBarTest, ChildBeforeAnyTopLevelItemIsRefusedWithMessage) {
    Add("F", {1, 2, "Orphan", 0, 20});
    Add("F", {2, 1, "Top", 0, 21});
    ToolBarModel bar;
    EXPECT_TRUE(builder_.Load(bar, "F"));
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].prompt, "Button Orphan not added");
    EXPECT_EQ(prompt_.messages[0].buttons, ui::vbOKOnly);
    EXPECT_EQ(prompt_.messages[0].title, "");
    EXPECT_EQ(Layout(bar), (std::vector<std::string>{"1:Top:21"}));
}

TEST_F(ToolBarTest, ChildrenFollowTheirParentInButtonOrder) {
    Add("F", {1, 1, "A", 0, 1});
    Add("F", {2, 2, "A1", 0, 2});
    Add("F", {3, 1, "B", 0, 3});
    Add("F", {4, 2, "B1", 0, 4});
    Add("F", {5, 2, "", 2, 0});  // a child separator has an empty caption: skipped
    Add("F", {6, 3, "B2", 0, 5});
    Add("F", {7, 1, "sep", 2, 0});
    Add("F", {8, 1, "C", 0, 6, 3, "Tip C", "Ctrl+K", true});
    ToolBarModel bar;
    ASSERT_TRUE(builder_.Load(bar, "F"));
    EXPECT_EQ(Layout(bar),
              (std::vector<std::string>{"1:A:1", "2:A1:2", "1:B:3", "2:B1:4", "3:B2:5", "1:-:0", "1:C:6"}));
    const ToolBarItem& c = bar.Item(7);
    EXPECT_EQ(c.tip, "Tip C");
    EXPECT_EQ(c.shortcut, "Ctrl+K");
    EXPECT_TRUE(c.toggle);
    EXPECT_EQ(c.imageNo, 3);
    EXPECT_EQ(c.textPosition, 4);
}

TEST_F(ToolBarTest, LoadTwiceRebuildsItemsAndHandsImagesAgain) {
    Add("F", {1, 1, "A", 0, 1});
    ToolBarModel bar;
    ASSERT_TRUE(builder_.Load(bar, "F"));
    ASSERT_TRUE(builder_.Load(bar, "F"));
    EXPECT_EQ(bar.ItemCount(), 1);
    EXPECT_EQ(bar.ClearCount(), 2);
    EXPECT_EQ(bar.Images().size(), 60u);
}

TEST_F(ToolBarTest, FormKeyHoldingQuotesIsBoundNotPasted) {
    Add("O\"Brien's", {1, 1, "Quoted", 0, 7});
    ToolBarModel bar;
    ASSERT_TRUE(builder_.Load(bar, "O\"Brien's"));
    EXPECT_EQ(Layout(bar), (std::vector<std::string>{"1:Quoted:7"}));
}

TEST_F(ToolBarTest, QueryFailureReportsConnectionStateAndLoadsNoImages) {
    clsToolBar unopened(prompt_);
    unopened.setImageList(&images_);
    ToolBarModel bar;
    EXPECT_FALSE(unopened.Load(bar, "MainMenu"));
    EXPECT_EQ(unopened.ErrorMessage.rfind("State = 0\r\nConnection=", 0), 0u) << unopened.ErrorMessage;
    EXPECT_NE(unopened.ErrorMessage.find("\r\nError="), std::string::npos);
    EXPECT_TRUE(bar.Images().empty());

    conn_->Execute("DROP TABLE ToolBars");
    EXPECT_FALSE(builder_.Load(bar, "MainMenu"));
    EXPECT_EQ(builder_.ErrorMessage.rfind("State = 1\r\nConnection=", 0), 0u) << builder_.ErrorMessage;
}

TEST_F(ToolBarTest, QtToolBarDrawsButtonsMenusAndReportsClickedItem) {
    Add("F", {1, 1, "Convert", 0, 151, 11, "Convert the selected reports"});
    Add("F", {2, 1, "Help", 0, 70, 25});
    Add("F", {3, 2, "About", 0, 233, 19});
    Add("F", {4, 2, "Updates", 0, 263, 6});
    QtToolBar bar;
    ASSERT_TRUE(builder_.Load(bar, "F"));
    bar.Render();
    ASSERT_NE(bar.ActionOf(1), nullptr);
    EXPECT_EQ(bar.ActionOf(1)->text(), "Convert");
    EXPECT_EQ(bar.ActionOf(1)->toolTip(), "Convert the selected reports");
    ASSERT_NE(bar.ActionOf(2)->menu(), nullptr);
    EXPECT_EQ(bar.ActionOf(2)->menu()->actions().size(), 2);
    EXPECT_EQ(bar.ActionOf(2)->menu()->actions()[1]->text(), "Updates");

    QSignalSpy spy(&bar, &QtToolBar::ItemClick);
    bar.ActionOf(4)->trigger();
    ASSERT_EQ(spy.count(), 1);
    const int index = spy.at(0).at(0).toInt();
    EXPECT_EQ(bar.ItemCtrlID(index), 263);
}

TEST_F(ToolBarTest, QtToolBarRebuiltKeepsOnlyTheCurrentDrawing) {
    Add("F", {1, 1, "Convert", 0, 151, 11});
    Add("F", {2, 2, "About", 0, 233, 19});
    Add("F", {3, 1, "Sep", 2, 0, 0});
    Add("F", {4, 1, "Help", 0, 70, 25});
    QtToolBar bar;
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_TRUE(builder_.Load(bar, "F"));
        bar.Render();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_EQ(bar.findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(bar.findChildren<QAction*>(Qt::FindDirectChildrenOnly).size(), bar.actions().size() + 1);
}

// A click whose work holds other items and rebuilds the toolbar while it lets the message
// loop run (as a conversion does) keeps its action and button until the click is over.
TEST_F(ToolBarTest, QtToolBarKeepsTheClickedButtonWhileItsWorkChangesTheBar) {
    Add("F", {1, 1, "Convert", 0, 151, 11});
    Add("F", {2, 1, "Help", 0, 70, 25});
    QtToolBar bar;
    ASSERT_TRUE(builder_.Load(bar, "F"));
    bar.Render();
    bar.show();
    const QPointer<QAction> clicked = bar.ActionOf(1);
    const QPointer<QWidget> button = bar.widgetForAction(clicked);
    ASSERT_NE(button, nullptr);
    bool kept = true, heldShown = false;
    QObject::connect(&bar, &QtToolBar::ItemClick, [&] {
        bar.setItemEnabled(2, false);
        heldShown = !bar.ActionOf(2)->isEnabled();
        builder_.Load(bar, "F");
        for (int step = 0; step < 3; ++step) {
            QCoreApplication::processEvents();
            kept = kept && clicked && button;
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(heldShown);
    // Once the click is over, the rebuilt items are drawn and the old drawing goes.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clicked.isNull());
    ASSERT_NE(bar.ActionOf(2), nullptr);
    EXPECT_EQ(bar.ActionOf(2)->text(), "Help");
}

}  // namespace
