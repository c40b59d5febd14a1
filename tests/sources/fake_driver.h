#pragma once
// An in-memory driver with a catalog given by the test (tables, views, procedures), for the
// classifier's and scanner's cases that a SQLite file cannot hold (stored procedures).
#include <memory>

#include "platform/ado/ado.h"
#include "platform/common/com_error.h"

namespace testsrc {

class FakeCatalogDriver : public ado::Driver {
  public:
    std::vector<ado::TableInfo> tableList;
    std::vector<ado::QueryInfo> viewList;
    std::vector<ado::QueryInfo> procedureList;
    int catalogReads = 0;

    ado::EngineKind kind() const override { return ado::EngineKind::Odbc; }
    std::string connectionString() const override { return "DSN=Fake"; }
    std::unique_ptr<ado::Cursor> query(const std::string&, const std::vector<vb::Variant>&) override {
        throw vb::ComError(5, "no data in the fake");
    }
    long long execute(const std::string&, const std::vector<vb::Variant>&) override { return 0; }
    vb::Variant lastInsertKey() override { return vb::Variant::null(); }
    std::string quoteName(const std::string& n) const override { return "[" + n + "]"; }
    std::vector<ado::TableInfo> tables() override {
        ++catalogReads;
        return tableList;
    }
    std::vector<ado::ColumnInfo> columns(const std::string&) override { return {}; }
    std::vector<ado::QueryInfo> views() override {
        ++catalogReads;
        return viewList;
    }
    std::vector<ado::QueryInfo> procedures() override {
        ++catalogReads;
        return procedureList;
    }
    void saveQuery(const std::string& name, const std::string& sql, bool) override {
        viewList.push_back({name, sql});
        tableList.push_back({name, "VIEW", "", "", ""});
    }
};

// A connection on a new fake driver; driver points at it while the connection lives.
inline ado::ConnectionPtr FakeConnection(FakeCatalogDriver*& driver) {
    auto d = std::make_unique<FakeCatalogDriver>();
    driver = d.get();
    auto c = std::make_shared<ado::Connection>();
    c->OpenOn(std::move(d));
    return c;
}

}  // namespace testsrc
