// The ODBC settings dialog over a connection-settings object, and the server-selection window
// of a data project that does not open.
#include "shell/source_database/odbc_info.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "shell/source_database/select_server.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "sources/connection_settings.h"
#include "store/context.h"
#include "store/internal_store.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

using namespace tolvaran;

namespace {

class OdbcInfo : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = test::ProgramFolder("odbcinfo");
        ctx_.programFolder = folder_.string();
        ctx_.prompt = &prompt_;
        CheckAndTransferData(ctx_);
        ASSERT_TRUE(openConnection(ctx_));
        toolbars_.setConn(ctx_.gInternalDb);
        odb_.DSN = "Sales";
        odb_.Database = "Orders";
        odb_.Server = "srv";
        odb_.UserId = "sa";
        odb_.Password = "pw";
        odb_.UseNTLogin = true;
    }
    void TearDown() override {
        ctx_.gDb.reset();
        ctx_.gInternalDb.reset();
        std::filesystem::remove_all(folder_);
    }
    static void Click(frmODBCInfo& dialog, long id) {
        QtToolBar* bar = dialog.EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == id) return dialog.EToolBar_ItemClick(i);
        ADD_FAILURE() << "no toolbar item " << id;
    }
    template <class W>
    static W* Find(QWidget& w, const char* name) {
        return w.findChild<W*>(QString::fromLatin1(name));
    }

    std::filesystem::path folder_;
    ui::RecordingPrompt prompt_;
    AppContext ctx_;
    clsToolBar toolbars_{prompt_};
    sqldmo::FakeFactory dmo_;
    clsODBCCollection cache_;
    clsDatabase odb_{prompt_, dmo_, cache_};
};

TEST_F(OdbcInfo, WithoutServersTheSettingsAreTypedAndSavedOnlyBySave) {
    frmODBCInfo dialog(odb_, toolbars_, prompt_);
    dialog.Form_Load();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "ODBC Info");
    EXPECT_EQ(Find<QLineEdit>(dialog, "Database")->text().toStdString(), "Orders");
    EXPECT_TRUE(Find<QCheckBox>(dialog, "UseNt")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(dialog, "UseDsn")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(dialog, "Server")->isHidden());
    EXPECT_TRUE(Find<QComboBox>(dialog, "cboServer")->isHidden());
    EXPECT_TRUE(Find<QComboBox>(dialog, "cboDatabases")->isHidden());

    Find<QLineEdit>(dialog, "UserId")->setText("report");
    Click(dialog, 237);
    EXPECT_EQ(odb_.UserId, "sa");
    Find<QCheckBox>(dialog, "UseDsn")->setChecked(true);
    Click(dialog, 236);
    EXPECT_EQ(odb_.UserId, "report");
    EXPECT_TRUE(odb_.UseDsn);
    EXPECT_EQ(odb_.Password, "pw");
    EXPECT_TRUE(prompt_.messages.empty());
}

// A server and database picked from the lists are stored by Save; Cancel leaves the settings
// object as it was.
TEST_F(OdbcInfo, TheServerAndDatabasePickedAreStoredOnlyBySave) {
    dmo_.servers = {"alpha", "beta"};
    dmo_.AddDatabase("beta", "tempdb");
    dmo_.AddDatabase("beta", "Stock");
    for (long button : {237L, 236L}) {
        frmODBCInfo dialog(odb_, toolbars_, prompt_);
        dialog.Form_Load();
        auto* servers = Find<QComboBox>(dialog, "cboServer");
        auto* databases = Find<QComboBox>(dialog, "cboDatabases");
        EXPECT_FALSE(servers->isHidden());
        EXPECT_TRUE(Find<QLineEdit>(dialog, "Server")->isHidden());
        servers->setCurrentIndex(1);
        dialog.cboServer_Click();
        EXPECT_EQ(odb_.Server, "srv");
        ASSERT_EQ(databases->count(), 1);
        databases->setCurrentIndex(0);
        dialog.cboDatabases_Click();
        Click(dialog, button);
        const bool saved = button == 236;
        EXPECT_EQ(odb_.Database, saved ? "Stock" : "Orders");
        EXPECT_EQ(odb_.Server, saved ? "beta" : "srv");
    }
}

TEST(SelectServerWindow, RetryAsksForAnotherTryAndCancelGivesUp) {
    for (const char* button : {"cmdRetry", "cmdCancel"}) {
        QTimer::singleShot(0, [button] {
            auto* window = qobject_cast<SelectServer*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle().toStdString(), "Select Server");
            window->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        EXPECT_EQ(SelectServer::Ask("/data/sales.adp", nullptr), std::string(button) == "cmdRetry");
    }
}

}  // namespace
