#pragma once
// Shared test fixtures of the source-database model: temporary folders, SQLite stand-ins for
// Access files, recording list and combo boxes, an error-log recorder.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ado/odbc_env.h"
#include "sources/error_log_writer.h"
#include "sources/list_control.h"

namespace testsrc {

// A fresh folder per call, removed by the destructor.
class TempFolder {
  public:
    TempFolder() {
        static int n = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tolvaran-sources-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline constexpr const char* kMSysObjects =
    "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName TEXT, "
    "Connect TEXT);";

inline std::string LinkRow(const std::string& name, const std::string& file, const std::string& foreign) {
    return "INSERT INTO MSysObjects VALUES ('" + name + "', 6, 0, '" + file + "', '" + foreign + "', NULL);";
}
inline std::string OdbcRow(const std::string& name, const std::string& connect, const std::string& foreign) {
    return "INSERT INTO MSysObjects VALUES ('" + name + "', 4, 0, NULL, '" + foreign + "', '" + connect +
           "');";
}

struct RecordingList : tolvaran::ComboControl {
    std::vector<std::string> items;
    std::vector<long> itemData;
    int clears = 0;
    bool visible = false;
    bool enabled = false;
    void Clear() override {
        ++clears;
        items.clear();
        itemData.clear();
    }
    void AddItem(const std::string& t) override {
        items.push_back(t);
        itemData.push_back(0);
    }
    void SetNewItemData(long d) override { itemData.back() = d; }
    void SetVisible(bool v) override { visible = v; }
    void SetEnabled(bool e) override { enabled = e; }
};

struct ErrorLogRecorder {
    struct Row {
        std::string desc, formula, access, crystal, report;
    };
    std::vector<Row> rows;
    tolvaran::ErrorLogWriter writer() {
        return [this](const std::string& d, const std::string& f, const std::string& a, const std::string& c,
                      const std::string& r) {
            rows.push_back({d, f, a, c, r});
            return true;
        };
    }
};

}  // namespace testsrc
