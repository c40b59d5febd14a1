#include "shell_test_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace test {

fs::path TempFolder(const std::string& tag) {
    static std::atomic<int> counter{0};
    const auto dir = fs::temp_directory_path() / ("tolvaran-shell-" + tag + "-" + std::to_string(::getpid()) +
                                                  "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

fs::path ProgramFolder(const std::string& tag, bool withCrystal10) {
    const fs::path dir = TempFolder(tag);
    const fs::path bin = TOLVARAN_BIN_DIR;
    fs::copy_file(bin / "tolvaran.f1", dir / "tolvaran.f1");
    fs::copy_file(bin / "tolvaran.f2", dir / "tolvaran.f2");
    fs::copy(fs::path(TOLVARAN_SOURCE_DIR) / "resources/ship/icons", dir / "icons",
             fs::copy_options::recursive);
    std::string reg = "REGEDIT4\n\n";
    if (withCrystal10)
        reg += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Crystal Decisions\\10.0\\Crystal Reports]\n\"Path\"=\"" +
               dir.string() + "\"\n\n";
    WriteFile(dir / "registry.reg", reg);
    return dir;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

}  // namespace test
