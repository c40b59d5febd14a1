#pragma once
// A program folder in a temporary directory holding copies of the built templates, and a
// context with a recording prompt over it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "store/context.h"
#include "store/internal_store.h"
#include "support/recording.h"

namespace fs = std::filesystem;

class ProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("tolvaran_store_" + std::to_string(::getpid()) + "_" +
                                           info->test_suite_name() + "_" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ctx.programFolder = dir.string();
        ctx.prompt = &prompt;
    }
    void TearDown() override {
        ctx.gDb.reset();
        ctx.gInternalDb.reset();
        fs::remove_all(dir);
    }
    void CopyTemplates() {
        for (const char* t : {tolvaran::kSettingsTemplate, tolvaran::kListsTemplate})
            fs::copy_file(fs::path(TOLVARAN_BIN_DIR) / t, dir / t, fs::copy_options::overwrite_existing);
    }
    // Templates in place, both files prepared and open.
    void OpenStore() {
        CopyTemplates();
        tolvaran::CheckAndTransferData(ctx);
        ASSERT_TRUE(tolvaran::openConnection(ctx))
            << (prompt.messages.empty() ? "" : prompt.messages[0].prompt);
    }
    std::string file(const char* name) const { return (dir / name).string(); }

    fs::path dir;
    ui::RecordingPrompt prompt;
    tolvaran::AppContext ctx;
};
