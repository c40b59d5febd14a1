#pragma once
// The shared corpus of real Access report exports and Access files. It lives beside the
// repository (../shared/corpus) or wherever TOLVARAN_CORPUS points; a clone without it still
// passes its tests, those that need the corpus being skipped with the folder they looked for.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace corpus {

inline std::filesystem::path Dir() {
    if (const char* env = std::getenv("TOLVARAN_CORPUS"); env != nullptr && *env != '\0') return env;
    return std::filesystem::path(TOLVARAN_SHARED_DIR) / "corpus";
}

// A file or folder of the corpus, e.g. Path("db/nwind.mdb").
inline std::filesystem::path Path(const std::string& relative) {
    return Dir() / relative;
}

inline bool Present() {
    return std::filesystem::is_directory(Dir() / "reports");
}

inline std::string MissingMessage() {
    return "corpus folder " + Dir().string() + " is absent (set TOLVARAN_CORPUS to its path)";
}

}  // namespace corpus

// Skips the current test (in a test body or a fixture's SetUp) when the corpus is absent.
#define SKIP_WITHOUT_CORPUS()                                             \
    do {                                                                  \
        if (!corpus::Present()) GTEST_SKIP() << corpus::MissingMessage(); \
    } while (0)
