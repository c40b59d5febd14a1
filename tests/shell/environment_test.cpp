// Environment detection over a registry held in a map, and the launches it makes.
#include "shell/main_window/environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "shell_test_support.h"
#include "support/recording.h"

using namespace tolvaran;

namespace {

class MapKeys : public SoftwareKeys {
  public:
    std::map<std::pair<std::string, std::string>, vb::Variant> values;
    void Set(const std::string& key, const std::string& name, vb::Variant v) {
        values[{"SOFTWARE\\" + key, name}] = std::move(v);
    }
    vb::Variant Query(const std::string& key, const std::string& name) override {
        auto it = values.find({key, name});
        return it == values.end() ? vb::Variant() : it->second;
    }
};

struct EnvFixture {
    MapKeys keys;
    ui::RecordingLauncher launcher;
    ui::RecordingPrompt prompt;
    Environment env{keys, launcher, prompt, "/opt/tolvaran"};
};

TEST(Environment, CrystalVersionTenDecidesTheCheck) {
    EnvFixture f;
    EXPECT_FALSE(f.env.IsCrystal10Installed());
    EXPECT_EQ(f.env.GetCurrentCrystalInstalls(),
              "Un-able to determine what versions of Crystal Reports are installed on this machine.");
    f.keys.Set("Crystal Decisions\\10.0\\Crystal Reports", "Path", "");  // present but empty
    EXPECT_TRUE(f.env.IsCrystal10Installed());
    EXPECT_EQ(f.env.GetCurrentCrystalInstalls(), "Crystal Reports 10.0\r\n");
    // An empty path counts as installed, but cannot start the designer.
    f.env.OpenReportInCrystal("/r/a.rpt", "10.0");
    ASSERT_EQ(f.prompt.messages.size(), 1u);
    EXPECT_EQ(f.prompt.messages[0].prompt, "Cannot find Crystal Reports ");
    EXPECT_EQ(f.prompt.messages[0].buttons, ui::vbExclamation);
    EXPECT_TRUE(f.launcher.calls.empty());
}

TEST(Environment, InstalledListInItsOrderWithFallbackKeys) {
    EnvFixture f;
    f.keys.Set("Crystal Decisions\\Crystal Reports\\VS7NET", "Path", "c:\\vs");
    f.keys.Set("Crystal Decisions\\11.5\\Crystal Reports", "Path", "c:\\cr115");
    f.keys.Set("Seagate Software\\Crystal Reports", "Path", "c:\\cr85");
    f.keys.Set("Crystal Decisions\\9.0\\Crystal Reports", "Path", "c:\\cr9");
    EXPECT_EQ(
        f.env.GetCurrentCrystalInstalls(),
        "Crystal Reports 8.5\r\nCrystal Reports 9.0\r\nCrystal Reports 11.5\r\nCrystal Reports .NET\r\n");
    // 11.0 and 11.5 share one key for the path, but are listed by two separate keys.
    EXPECT_EQ(f.env.GetCrystalPath("11.5"), "Error 448");
    f.keys.Set("Business Objects\\Suite 11.0\\Crystal Reports", "Path", "c:\\bo");
    EXPECT_EQ(f.env.GetCrystalPath("11.0"), "c:\\bo");
    EXPECT_EQ(f.env.GetCrystalPath("11.5"), "c:\\bo");
    EXPECT_EQ(f.env.GetCrystalPath("8.0"), "c:\\cr85");
    EXPECT_EQ(f.env.GetCrystalPath("7.0"), "");
}

TEST(Environment, OpenReportInCrystalStartsTheDesignerOfTheVersionInUse) {
    struct Case {
        std::string version;
        std::string expectFile;  // empty: the message instead
    };
    const Case cases[] = {
        {"10.0", "/cr10/crw32.exe"}, {"0.00", ""}, {"8.5", "/cr80/crw32.exe"}, {"11.0", ""}};
    for (const Case& c : cases) {
        EnvFixture f;
        f.keys.Set("Crystal Decisions\\10.0\\Crystal Reports", "Path", "/cr10");
        f.keys.Set("Seagate Software\\8.0\\Crystal Reports", "Path", "/cr80");
        // A name with blanks and double quotes is one argument, as it stands.
        f.env.OpenReportInCrystal("/out/My \"Best\" Report.rpt", c.version);
        if (c.expectFile.empty()) {
            EXPECT_TRUE(f.launcher.calls.empty()) << c.version;
            ASSERT_EQ(f.prompt.messages.size(), 1u) << c.version;
        } else {
            ASSERT_EQ(f.launcher.calls.size(), 1u) << c.version;
            EXPECT_EQ(f.launcher.calls[0].file, c.expectFile);
            EXPECT_EQ(f.launcher.calls[0].arguments, std::vector<std::string>{"/out/My \"Best\" Report.rpt"});
        }
    }
}

TEST(Environment, UpdaterTriesTheSecondFormOnlyWhenTheFileIsMissing) {
    EnvFixture f;
    f.launcher.result = false;
    f.env.RunUpdater();
    ASSERT_EQ(f.launcher.calls.size(), 2u);
    EXPECT_EQ(f.launcher.calls[0].file, "/opt/tolvaran/TVN_UPDATE.EXE");
    EXPECT_EQ(f.launcher.calls[0].parameters, " /TEST=2");
    EXPECT_EQ(f.launcher.calls[1].file, "/opt/tolvaran/TVN_UPDATE.EXE /TEST=2");
    EXPECT_EQ(f.launcher.calls[1].parameters, "");

    EnvFixture g;
    g.env.RunUpdater();
    EXPECT_EQ(g.launcher.calls.size(), 1u);
    EXPECT_TRUE(g.prompt.messages.empty());
}

TEST(Environment, DotNetLines) {
    struct Case {
        std::map<std::pair<std::string, std::string>, vb::Variant> values;
        std::string text;
    };
    const std::string k10 = "Microsoft\\.NETFramework\\Policy\\v1.0";
    const std::string k10b = "Microsoft\\.NETFramework\\Policy\\Standards\\v1.0.0";
    const std::string sp10 =
        "Microsoft\\Active Setup\\Installed Components\\{78705f0d-e8db-4b2d-8193-982bdda15ecd}";
    const std::string k11 = "Microsoft\\NET Framework Setup\\NDP\\v1.1.4322";
    const Case cases[] = {
        {{}, ".NET Framework 1.0 is not installed.\r\n.NET Framework 1.1 is not installed.\r\n"},
        {{{{k10, "3705"}, "3321-3705"}, {{sp10, "Version"}, "1,0,3705,2"}, {{k11, "Install"}, 1L}},
         ".NET Framework 1.0 SP2 is installed.\r\n.NET Framework 1.1 is installed with no service "
         "packs.\r\n"},
        {{{{k10b, "3705"}, "x"}, {{sp10, "Version"}, "1,0,3705"}, {{k11, "Install"}, 1L}, {{k11, "SP"}, 1L}},
         ".NET Framework 1.0 is installed with no service packs.\r\n.NET Framework 1.1 SP1 is "
         "installed.\r\n"},
    };
    for (const Case& c : cases) {
        EnvFixture f;
        for (const auto& [k, v] : c.values) f.keys.Set(k.first, k.second, v);
        EXPECT_EQ(f.env.GetDotNetVersionsText(), c.text);
    }
}

TEST(Environment, SystemInformationLines) {
    EnvFixture f;
    f.keys.Set("Microsoft\\Office\\9.0\\Common\\InstallRoot", "Path", "c:\\o9");
    f.keys.Set("Microsoft\\Office\\11.0\\Common\\InstallRoot", "Path", "c:\\o11");
    f.keys.Set("Crystal Decisions\\10.0\\Crystal Reports", "Path", "/cr10");
    f.keys.Set("Crystal Decisions\\Crystal Reports\\VSNET", "VS7NET", "yes");
    EXPECT_EQ(f.env.AccessInstalls(),
              (std::vector<std::string>{"Microsoft Office 2000", "Microsoft Office 2003"}));
    EXPECT_EQ(f.env.CrystalInstalls(),
              (std::vector<std::string>{"Crystal Reports 10.0", "Visual Studio Crystal Reports.NET"}));
    EXPECT_EQ(f.env.MDACVersion(), "Error 448");
    f.keys.Set("Microsoft\\DataAccess", "FullInstallVer", "2.81.1117.0");
    EXPECT_EQ(f.env.MDACVersion(), "2.81.1117.0");
}

TEST(Environment, CrystalVersionNames) {
    const std::pair<const char*, const char*> cases[] = {{"8.0", "Crystal Reports 8.5"},
                                                         {"8.5", "Crystal Reports 8.5"},
                                                         {"9.0", "Crystal Reports 9.0"},
                                                         {"10.0", "Crystal Reports 10.0"},
                                                         {"11.0", "Crystal Reports 11.0"},
                                                         {"11.5", "Crystal Reports 11.5"},
                                                         {"0.00", "<unknown>"}};
    for (const auto& [v, name] : cases) EXPECT_EQ(Environment::CrystalVersionName(v), name) << v;
}

TEST(Environment, KeyValueReadsTextAndNumbers) {
    MapKeys keys;
    keys.values[{"SOFTWARE\\A", "S"}] = std::string("c:\\x\0", 5);
    keys.values[{"SOFTWARE\\A", "D"}] = 255L;
    std::string v = "old";
    EXPECT_TRUE(GetKeyValue(keys, "SOFTWARE\\A", "S", v));
    EXPECT_EQ(v, "c:\\x");
    EXPECT_TRUE(GetKeyValue(keys, "SOFTWARE\\A", "D", v));
    EXPECT_EQ(v, "255");
    EXPECT_FALSE(GetKeyValue(keys, "SOFTWARE\\A", "missing", v));
    EXPECT_EQ(v, "");
}

}  // namespace
