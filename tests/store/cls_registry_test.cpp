#include "store/cls_registry.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/ado/driver.h"
#include "store/context.h"

namespace fs = std::filesystem;
using tolvaran::clsRegistry;

class RegistryWrapper : public ::testing::Test {
  protected:
    void SetUp() override {
        path = fs::temp_directory_path() / ("tolvaran_reg_" + std::to_string(::getpid()) + ".reg");
        std::ofstream(path) << "REGEDIT4\n\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Crystal Decisions\\10.0\\Crystal Reports]\n"
                               "\"Path\"=\"C:\\\\Program Files\\\\Crystal\"\n"
                               "\"Empty\"=\"\"\n"
                               "\"Count\"=dword:0000000a\n"
                               "\"Blob\"=hex:01,02\n"
                               "\"Expand\"=hex(2):25,00\n"
                               "\"Multi\"=hex(7):61,00,00\n";
        file = std::make_unique<registry::RegistryFile>(path.string());
    }
    void TearDown() override { fs::remove(path); }
    fs::path path;
    std::unique_ptr<registry::RegistryFile> file;
};

TEST_F(RegistryWrapper, GetSettingReadsTypesAndFallsBack) {
    clsRegistry reg(*file);
    const std::string key = "Crystal Decisions\\10.0\\Crystal Reports";
    EXPECT_EQ(reg.GetSetting("SOFTWARE", key, "Path"), vb::Variant("C:\\Program Files\\Crystal"));
    EXPECT_EQ(reg.GetSetting("SOFTWARE", key, "Count"), vb::Variant(10LL));
    EXPECT_EQ(reg.GetSetting("SOFTWARE", key, "Blob").Type(), vb::VarType::Bytes);
    const struct { const char* name; } missing[] = {{"Empty"}, {"Expand"}, {"Multi"}, {"Nope"}};
    for (const auto& m : missing) {
        EXPECT_EQ(reg.GetSetting("SOFTWARE", key, m.name), vb::Variant("Error 448")) << m.name;
        EXPECT_EQ(reg.GetSetting("SOFTWARE", key, m.name, vb::Variant("x")), vb::Variant("x")) << m.name;
    }
    EXPECT_EQ(reg.GetSetting("SOFTWARE", "Seagate Software\\Crystal Reports", "Path"),
              vb::Variant("Error 448"));
    vb::Variant untouched("keep");
    EXPECT_EQ(reg.QueryValueEx(clsRegistry::HKEY_LOCAL_MACHINE, "nothing", untouched), 0);
    EXPECT_EQ(untouched, vb::Variant("keep"));
}

TEST_F(RegistryWrapper, SaveSettingChoosesTypeAndPersists) {
    {
        clsRegistry reg(*file);
        reg.SaveSetting("SOFTWARE", "Tolvaran\\Test", "Number", vb::Variant(42));
        reg.SaveSetting("SOFTWARE", "Tolvaran\\Test", "Text", vb::Variant("a \"quoted\" \\ path"));
        reg.CreateKey("SOFTWARE\\Tolvaran\\Test\\Child");
    }
    registry::RegistryFile again(path.string());
    EXPECT_EQ(again.lineErrors(), 0);
    clsRegistry reg(again);
    EXPECT_EQ(reg.GetSetting("SOFTWARE", "Tolvaran\\Test", "Number"), vb::Variant(42LL));
    EXPECT_EQ(reg.GetSetting("SOFTWARE", "Tolvaran\\Test", "text"), vb::Variant("a \"quoted\" \\ path"));
    EXPECT_EQ(reg.GetAllKeys("SOFTWARE", "Tolvaran\\Test"), std::vector<std::string>{"Child"});
    EXPECT_EQ(reg.GetAllSettings("SOFTWARE", "Tolvaran\\Test").size(), 2u);
    reg.DeleteSetting("SOFTWARE", "Tolvaran\\Test", "Number");
    EXPECT_EQ(reg.GetSetting("SOFTWARE", "Tolvaran\\Test", "Number"), vb::Variant("Error 448"));
    reg.DeleteSetting("SOFTWARE\\Tolvaran", "Test", "");
    EXPECT_FALSE(again.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\Test\\Child"));
    EXPECT_EQ(reg.SetValueEx(12345, "x", 1, vb::Variant("y")), clsRegistry::ERROR_INVALID_HANDLE);
}

TEST_F(RegistryWrapper, KeyPrefixGoesBeforeTheApplicationName) {
    clsRegistry reg(*file);
    reg.KeyPrefix = "SOFTWARE\\";
    EXPECT_EQ(reg.GetSetting("Crystal Decisions", "10.0\\Crystal Reports", "Count"), vb::Variant(10LL));
}

TEST_F(RegistryWrapper, SqlServerTemplateComesFromTheRegistryOfTheRun) {
    tolvaran::AppContext run;
    tolvaran::ApplySqlServerOdbcTemplate(*file, run.connections);
    EXPECT_EQ(run.connections.sqlServerOdbcTemplate, ado::kDefaultSqlServerOdbcTemplate);  // no value
    file->Set("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\SQLServer", "OdbcTemplate",
              registry::Value::Text("Driver={X};Server={server}"));
    tolvaran::ApplySqlServerOdbcTemplate(*file, run.connections);
    EXPECT_EQ(run.connections.sqlServerOdbcTemplate, "Driver={X};Server={server}");
    EXPECT_EQ(tolvaran::AppContext().connections.sqlServerOdbcTemplate, ado::kDefaultSqlServerOdbcTemplate);
}
