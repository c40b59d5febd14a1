#pragma once
// Shared helpers of the shell tests: temporary folders, and a program folder prepared like an
// installed one (the store templates and icons copied from the build's program folder, and a
// registry file of the test's choosing).
#include <filesystem>
#include <string>

namespace test {

// A new empty folder under the temporary folder, unique per call and per process.
std::filesystem::path TempFolder(const std::string& tag);

// A program folder with tolvaran.f1, tolvaran.f2 and icons/ from the build; registry.reg
// registers Crystal Reports 10 when withCrystal10.
std::filesystem::path ProgramFolder(const std::string& tag, bool withCrystal10 = true);

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& text);

}  // namespace test
