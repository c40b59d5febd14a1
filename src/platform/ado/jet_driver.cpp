#include "platform/ado/jet_driver.h"

#include <filesystem>
#include <map>

#include "platform/ado/jet_catalog.h"
#include "platform/ado/jet_engine.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/ado/jet_sql.h"
#include "platform/ado/jet_values.h"
#include "platform/ado/sqlite_driver.h"
#include "platform/common/com_error.h"

namespace ado {

namespace {

class JetDriverImpl : public JetDriver {
  public:
    JetDriverImpl(const std::string& file, const ConnectionOptions& options)
        : file_(file),
          limits_(options.queryLimits),
          reader_(file, options.jetReaderLimits, options.jetReader) {
        version_ = reader_.jetVersion();
        catalog_ = ReadJetCatalog(reader_, true);
    }

    EngineKind kind() const override { return EngineKind::Jet; }
    std::string connectionString() const override {
        ConnectionText text;
        text.Add("Provider", "Microsoft.Jet.OLEDB.4.0").Add("User ID", "Admin").Add("Data Source", file_);
        return text.Add("Mode", "Read").Text();
    }
    bool readOnly() const override { return true; }
    std::string engineVersion() const override { return version_ == 0 ? "3.51" : "4.0"; }
    int jetVersion() const override { return version_; }

    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) override {
        try {
            return engine().query(sql, params);
        } catch (const vb::ComError& e) {
            if (e.Number() == kErrJetWrite) readOnlyError(sql);
            throw;
        }
    }

    // A row-returning statement runs to its end (its rows are not kept); anything else writes.
    long long execute(const std::string& sql, const std::vector<vb::Variant>& params) override {
        const jetsql::Statement st = jetsql::ParseJetSql(sql);
        if (st.kind == jetsql::Statement::Write) readOnlyError(sql);
        auto cursor = query(sql, params);
        std::vector<vb::Variant> row;
        while (cursor->next(row)) {
        }
        return -1;
    }
    vb::Variant lastInsertKey() override { return vb::Variant::null(); }
    std::string quoteName(const std::string& name) const override { return "[" + name + "]"; }

    std::vector<TableInfo> tables() override { return catalog_.tables(); }

    std::vector<ColumnInfo> columns(const std::string& table) override {
        const JetObject* o = catalog_.find(table, {kJetLocalTable, kJetOdbcLink, kJetAccessLink, kJetQuery});
        if (!o) {
            throw vb::ComError(vb::kErrItemNotFound,
                               "Item not found in this collection: no table " + table + " in " + file_,
                               "Jet");
        }
        if (o->type == kJetOdbcLink) return {};  // its columns are in its ODBC data source
        if (o->type == kJetLocalTable) return localColumns(*o);
        if (o->type == kJetQuery && !returnsRows(*o)) return {};
        return JetColumnInfos(fields(o->name));
    }

    std::vector<JetField> fields(const std::string& source) override {
        if (const JetObject* o = catalog_.find(source, {kJetLocalTable, kJetAccessLink}))
            return engine().tableFields(o->name);
        try {
            return engine().describe(source).columns;
        } catch (const vb::ComError& e) {
            if (e.Number() == kErrJetWrite) readOnlyError(source);
            throw;
        }
    }

    std::vector<JetParameter> parameters(const std::string& source) override {
        try {
            return engine().describe(source).parameters;
        } catch (const vb::ComError& e) {
            if (e.Number() == kErrJetWrite) readOnlyError(source);
            throw;
        }
    }

    std::vector<QueryInfo> views() override { return catalog_.views(); }
    std::vector<QueryInfo> procedures() override { return catalog_.procedures(); }

    void saveQuery(const std::string& name, const std::string&, bool) override {
        readOnlyError("saving the query " + name);
    }

  private:
    [[noreturn]] void readOnlyError(const std::string& what) const {
        throw vb::ComError(kErrJetReadOnly,
                           "Cannot update. The Access file " + file_ +
                               " is opened read-only here; nothing can be written to it (" + what + ").",
                           "Jet");
    }

    JetEngine& engine() {
        if (!engine_) engine_ = std::make_unique<JetEngine>(file_, reader_, catalog_, limits_);
        return *engine_;
    }

    bool returnsRows(const JetObject& o) const {
        auto it = catalog_.queries.find(o.id);
        if (it == catalog_.queries.end()) return false;
        const JetQueryType t = it->second.type;
        return t == JetQueryType::Select || t == JetQueryType::Union || t == JetQueryType::Crosstab;
    }

    std::vector<ColumnInfo> localColumns(const JetObject& o) {
        auto cached = columnCache_.find(o.name);
        if (cached != columnCache_.end()) return cached->second;
        const JetTableData data = reader_.readTable(o.name, 0);
        std::vector<ColumnInfo> out;
        for (const auto& c : data.columns) {
            ColumnInfo info;
            info.name = c.name;
            info.type = JetAdoType(c.mdbType);
            info.autoIncrement = c.autoNumber;
            info.primaryKey = c.primaryKey;
            info.size = JetDefinedSize(c.mdbType, c.sizeBytes, version_);
            out.push_back(std::move(info));
        }
        columnCache_[o.name] = out;
        return out;
    }

    std::string file_;
    QueryLimits limits_;
    JetReaderProcess reader_;
    int version_ = 0;
    JetCatalog catalog_;
    std::unique_ptr<JetEngine> engine_;  // made on the first statement
    std::map<std::string, std::vector<ColumnInfo>> columnCache_;
};

}  // namespace

std::unique_ptr<JetDriver> OpenJetFile(const std::string& file, const ConnectionOptions& options) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw vb::ComError(vb::kErrGeneric, NotADatabaseFileText(file), "Jet");
    return std::make_unique<JetDriverImpl>(file, options);
}

std::unique_ptr<Driver> OpenJetDriver(const std::string& file, const ConnectionOptions& options) {
    return OpenJetFile(file, options);
}

}  // namespace ado
