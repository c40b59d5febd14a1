#pragma once
// Shared helpers of the shell tests: temporary folders and a program folder prepared like
// an installed one (templates, registry, icons copied from the build's program folder).
#include <filesystem>
#include <string>

namespace test {

// A new empty folder under the temporary folder, unique per call and per process.
std::filesystem::path TempFolder(const std::string& tag);

}  // namespace test
