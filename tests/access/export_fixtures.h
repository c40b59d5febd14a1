#pragma once
// Small hand-written report exports for the reader tests, and a temporary folder helper.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace access_test {

// A folder under the system temporary folder, removed with its contents at destruction.
class TempFolder {
  public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("tolvaran_access_" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string Write(const std::string& relative, const std::string& bytes) const {
        auto p = path_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

  private:
    std::filesystem::path path_;
};

// "Version =20" header, "Begin Report", the given report-level lines, then a container with
// the given body (defaults blocks, levels, sections), both ends closed.
inline std::string Export(const std::string& reportProps, const std::string& body,
                          const std::string& tail = "") {
    return "Version =20\nVersionRequired =20\nBegin Report\n" + reportProps + "    Begin\n" + body +
           "    End\nEnd\n" + tail;
}

}  // namespace access_test
