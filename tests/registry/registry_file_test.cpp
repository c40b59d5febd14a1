#include "platform/registry/registry_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace registry;

TEST(RegistryFile, ParsesEveryValueForm) {
    RegistryFile r("");
    r.Parse(
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n; a comment\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n"
        "@=\"default\"\r\n\"S\"=\"x \\\"y\\\" C:\\\\z\"\r\n\"D\"=dword:0000ffff\r\n"
        "\"B\"=hex:01,02,\\\r\n  03\r\n\"E\"=hex(2):41,00\r\n\"M\"=hex(7):41,00,00\r\n"
        "\"Bad\"=dword:xyz\r\nstray line\r\n");
    const std::string k = "hkey_local_machine\\software\\a";
    EXPECT_EQ(r.Get(k, "")->text, "default");
    EXPECT_EQ(r.Get(k, "s")->text, "x \"y\" C:\\z");
    EXPECT_EQ(r.Get(k, "D")->dword, 0xffffu);
    EXPECT_EQ(r.Get(k, "B")->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(r.Get(k, "E")->type, REG_EXPAND_SZ);
    EXPECT_EQ(r.Get(k, "M")->type, REG_MULTI_SZ);
    EXPECT_FALSE(r.Get(k, "Bad"));
    EXPECT_EQ(r.lineErrors(), 2);
    EXPECT_TRUE(r.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_EQ(r.SubKeys("HKEY_LOCAL_MACHINE\\SOFTWARE"), std::vector<std::string>{"A"});
}

TEST(RegistryFile, TextRoundTripsAndDeletionLines) {
    RegistryFile r("");
    r.Set("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Y", "T", Value::Text("a\\b\"c"));
    r.Set("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Y", "N", Value::Dword(10));
    r.Set("HKEY_LOCAL_MACHINE\\SOFTWARE\\X", "Bin", Value::Binary({0, 255}));
    RegistryFile back("");
    back.Parse(r.Text());
    EXPECT_EQ(back.Text(), r.Text());
    EXPECT_EQ(back.lineErrors(), 0);
    back.Parse("[-HKEY_LOCAL_MACHINE\\SOFTWARE\\X]\n");
    EXPECT_FALSE(back.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\Y"));
    EXPECT_TRUE(back.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE"));
}

TEST(RegistryFile, ShippedDefaultNamesTheDesignerAndTemplate) {
    RegistryFile r(std::string(TOLVARAN_BIN_DIR) + "/registry.reg");
    EXPECT_EQ(r.lineErrors(), 0);
    const auto path = r.Get("HKEY_LOCAL_MACHINE\\SOFTWARE\\Crystal Decisions\\10.0\\Crystal Reports", "Path");
    ASSERT_TRUE(path);
    EXPECT_EQ(path->text, TOLVARAN_BIN_DIR);
    const auto tmpl = r.Get("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvaran\\SQLServer", "OdbcTemplate");
    ASSERT_TRUE(tmpl);
    EXPECT_NE(tmpl->text.find("{server}"), std::string::npos);
}

TEST(RegistryFile, MissingFileIsEmptyAndSavingCreatesIt) {
    const auto p =
        std::filesystem::temp_directory_path() / ("tolvaran_reg_new_" + std::to_string(::getpid()) + ".reg");
    std::filesystem::remove(p);
    {
        RegistryFile r(p.string());
        EXPECT_FALSE(r.KeyExists("HKEY_LOCAL_MACHINE"));
        r.CreateKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\New");
    }
    RegistryFile again(p.string());
    EXPECT_TRUE(again.KeyExists("HKEY_LOCAL_MACHINE\\SOFTWARE\\New"));
    std::filesystem::remove(p);
}
