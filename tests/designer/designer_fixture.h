#pragma once
// Shared pieces of the designer tests: a field reader over fixed tables and a temp folder.
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/common/com_error.h"
#include "platform/designer/designer.h"

namespace designer::testing {

// Reads from a fixed map; records every connection string it was asked for.
struct FakeSource {
    std::map<std::string, std::vector<SourceField>> tables;
    std::vector<std::string> asked;

    FieldReader reader() {
        return [this](const std::string& cs, const TableSource&, const std::string& table) {
            asked.push_back(cs);
            auto it = tables.find(table);
            if (it == tables.end()) throw vb::ComError(kErrFieldNotKnown, "no table " + table);
            return it->second;
        };
    }
};

inline FakeSource Orders() {
    FakeSource s;
    s.tables["Orders"] = {{"OrderID", crNumberField},
                          {"CustomerID", crStringField},
                          {"ID", crNumberField},
                          {"OrderDate", crDateTimeField},
                          {"Amount", crCurrencyField}};
    s.tables["Details"] = {{"OrderID", crNumberField}, {"Qty", crNumberField}};
    return s;
}

class TempDir {
  public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("tolvaran_designer_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

}  // namespace designer::testing
