#include "shell_test_support.h"

#include <unistd.h>

#include <atomic>

namespace test {

std::filesystem::path TempFolder(const std::string& tag) {
    static std::atomic<int> counter{0};
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tolvaran-shell-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace test
