// The about box, the system information window and the Qt message box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <map>

#include "shell/main_window/about_box.h"
#include "shell/main_window/environment.h"
#include "shell/main_window/system_information.h"
#include "shell/qt/qt_launcher.h"
#include "shell/qt/qt_prompt.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

class MapKeys : public SoftwareKeys {
  public:
    std::map<std::pair<std::string, std::string>, vb::Variant> values;
    vb::Variant Query(const std::string& key, const std::string& name) override {
        auto it = values.find({key, name});
        return it == values.end() ? vb::Variant() : it->second;
    }
};

struct Fixture {
    MapKeys keys;
    ui::RecordingLauncher launcher;
    ui::RecordingPrompt prompt;
    Environment env{keys, launcher, prompt, "/opt/tolvaran"};
    int ended = 0;
};

TEST(AboutBox, ShowsVersionCaptionAndDispatchesItsTwoItems) {
    Fixture f;
    frmAbout about(f.env, "Tolvaran 1.0.0 for Crystal Reports 10.0", [&] { ++f.ended; });
    EXPECT_EQ(about.windowTitle().toStdString(), "About Tolvaran");
    EXPECT_EQ(about.TitleText().toStdString(), "Tolvaran 1.0.0 for Crystal Reports 10.0");
    EXPECT_EQ(about.findChild<QLabel*>("TVNTitle")->text(), about.TitleText());
    QtToolBar* bar = about.EToolBar();
    int exitIndex = 0;
    for (int i = 1; i <= bar->ItemCount(); ++i)
        if (bar->ItemCtrlID(i) == 4) exitIndex = i;
    ASSERT_GT(exitIndex, 0);
    about.EToolBar_ItemClick(exitIndex);
    EXPECT_EQ(f.ended, 1);
}

TEST(AboutBox, SystemInformationToolFromTheRegistryOrAMessage) {
    const fs::path tools = test::TempFolder("msinfo");
    struct Case {
        std::map<std::pair<std::string, std::string>, vb::Variant> values;
        bool createTool;
        std::string launched;  // empty: the message
    };
    const std::string msinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::string location = "SOFTWARE\\Microsoft\\Shared Tools Location";
    const Case cases[] = {
        {{}, false, ""},
        {{{{location, "MSINFO"}, tools.string()}}, false, ""},
        {{{{location, "MSINFO"}, tools.string()}}, true, (tools / "MSINFO32.EXE").string()},
        {{{{msinfo, "PATH"}, "/usr/bin/msinfo"}}, false, "/usr/bin/msinfo"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.keys.values = c.values;
        fs::remove(tools / "MSINFO32.EXE");
        if (c.createTool) test::WriteFile(tools / "MSINFO32.EXE", "");
        frmAbout about(f.env, "caption", [] {});
        about.StartSysInfo();
        if (c.launched.empty()) {
            EXPECT_TRUE(f.launcher.calls.empty());
            ASSERT_EQ(f.prompt.messages.size(), 1u);
            EXPECT_EQ(f.prompt.messages[0].prompt, "System Information Is Unavailable At This Time");
        } else {
            ASSERT_EQ(f.launcher.calls.size(), 1u);
            EXPECT_EQ(f.launcher.calls[0].file, c.launched);
            EXPECT_TRUE(f.prompt.messages.empty());
        }
    }
    fs::remove_all(tools);
}

TEST(SystemInformationWindow, FillsItsFourFieldsAndClosesOnItsToolbarId) {
    Fixture f;
    f.keys.values[{"SOFTWARE\\Microsoft\\Office\\11.0\\Common\\InstallRoot", "Path"}] = "c:\\office";
    f.keys.values[{"SOFTWARE\\Crystal Decisions\\10.0\\Crystal Reports", "Path"}] = "/opt/cr";
    f.keys.values[{"SOFTWARE\\Microsoft\\DataAccess", "FullInstallVer"}] = "2.8";
    const fs::path dir = test::TempFolder("sysinfo");
    fs::copy_file(fs::path(TOLVARAN_BIN_DIR) / "tolvaran.f1", dir / "settings.db");
    clsToolBar builder(f.prompt);
    builder.setConn(ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                        (dir / "settings.db").string()));
    {
        SystemInformation info(f.env, builder);
        EXPECT_EQ(info.windowTitle().toStdString(), "System Information");
        auto items = [&](const char* name) {
            std::vector<std::string> out;
            auto* list = info.findChild<QListWidget*>(name);
            for (int i = 0; list && i < list->count(); ++i)
                out.push_back(list->item(i)->text().toStdString());
            return out;
        };
        EXPECT_EQ(items("lstAccessVersions"), (std::vector<std::string>{"Microsoft Office 2003"}));
        EXPECT_EQ(items("lstCrystalVersions"), (std::vector<std::string>{"Crystal Reports 10.0"}));
        EXPECT_EQ(info.findChild<QLineEdit*>("MDACVersion")->text().toStdString(), "2.8");
        EXPECT_EQ(items("lstDotNet"), (std::vector<std::string>{".NET Framework 1.0 is not installed.\n"
                                                                ".NET Framework 1.1 is not installed."}));
        QtToolBar* bar = info.EToolBar();
        int closeIndex = 0;
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == 261) closeIndex = i;
        ASSERT_GT(closeIndex, 0) << builder.ErrorMessage;
        info.show();
        info.EToolBar_ItemClick(closeIndex);
        EXPECT_FALSE(info.isVisible());
    }
    fs::remove_all(dir);
}

// Answers the next message box from the event loop: checks what it shows, then presses the
// button with the given text (or closes it with Escape when the text is empty).
void AnswerNextBox(QString press, std::function<void(QMessageBox*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, press, check] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        check(box);
        if (press.isEmpty()) {
            box->reject();
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove('&') == press) {
                b->click();
                return;
            }
        }
        box->reject();
    });
    timer->start();
}

TEST(QtPromptBox, ButtonsIconsDefaultsAndAnswersFollowTheHostLanguage) {
    QtPrompt prompt;
    AnswerNextBox("No", [](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle().toStdString(), "Remove Database from List");
        EXPECT_EQ(box->text().toStdString(), "Are you\nsure?");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->buttons().size(), 3);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->defaultButton()->text().remove('&').toStdString(), "No");
    });
    EXPECT_EQ(prompt.MsgBox("Are you\r\nsure?", ui::vbYesNoCancel | ui::vbQuestion | ui::vbDefaultButton2,
                            "Remove Database from List"),
              ui::vbNo);

    AnswerNextBox("", [](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle().toStdString(), ui::kProgramTitle);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
    });
    EXPECT_EQ(prompt.MsgBox("closed", ui::vbCritical), ui::vbOK);

    AnswerNextBox("", [](QMessageBox*) {});
    EXPECT_EQ(prompt.MsgBox("escape", ui::vbYesNoCancel), ui::vbCancel);
}

TEST(HelpTopics, TopicByContextIdWithTopicOneAsFallback) {
    const fs::path dir = test::TempFolder("help");
    test::WriteFile(dir / "TOLVARAN.HLP", "[1] Contents\nWelcome.\n[19] About\nThe about box.\n");
    EXPECT_EQ(HelpTopicText((dir / "TOLVARAN.HLP").string(), 19), "[19] About\nThe about box.");
    EXPECT_EQ(HelpTopicText((dir / "TOLVARAN.HLP").string(), 7), "[1] Contents\nWelcome.");
    EXPECT_EQ(HelpTopicText((dir / "missing.HLP").string(), 1), "");
    fs::remove_all(dir);
}

TEST(HelpTopics, ShippedHelpFileHasATopicForEveryWindowThatAsks) {
    const std::string shipped = std::string(TOLVARAN_BIN_DIR) + "/TOLVARAN.HLP";
    for (long id : {1L, 5L, 7L, 19L})
        EXPECT_EQ(HelpTopicText(shipped, id).rfind("[" + std::to_string(id) + "]", 0), 0u) << id;
}

}  // namespace
