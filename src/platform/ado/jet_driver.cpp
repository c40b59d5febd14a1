#include "platform/ado/jet_driver.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/ado/jet_catalog.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/ado/jet_select.h"
#include "platform/ado/jet_values.h"
#include "platform/common/com_error.h"

namespace ado {

namespace {

class RowsCursor : public Cursor {
public:
    RowsCursor(std::vector<ColumnInfo> columns, std::vector<std::vector<vb::Variant>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next(std::vector<vb::Variant>& row) override {
        if (pos_ >= rows_.size()) return false;
        row = std::move(rows_[pos_++]);
        return true;
    }

private:
    std::vector<ColumnInfo> columns_;
    std::vector<std::vector<vb::Variant>> rows_;
    size_t pos_ = 0;
};

std::vector<JetRawRow> RawRows(const JetTableData& data) {
    std::vector<JetRawRow> out;
    out.reserve(data.rows.size());
    for (const auto& r : data.rows) {
        JetRawRow row;
        for (size_t i = 0; i < data.columns.size() && i < r.size(); ++i) row[data.columns[i].name] = r[i];
        out.push_back(std::move(row));
    }
    return out;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

class JetDriverImpl : public JetDriver {
public:
    explicit JetDriverImpl(const std::string& file) : file_(file), reader_(file) {
        version_ = reader_.jetVersion();
        JetTableData objects = reader_.readTable("MSysObjects");
        JetTableData queries = reader_.readTable("MSysQueries");
        catalog_ = BuildJetCatalog(RawRows(objects), RawRows(queries));
    }

    EngineKind kind() const override { return EngineKind::Jet; }
    std::string connectionString() const override {
        return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + file_ + ";Mode=Read";
    }
    bool readOnly() const override { return true; }
    std::string engineVersion() const override { return version_ == 0 ? "3.51" : "4.0"; }
    int jetVersion() const override { return version_; }

    std::unique_ptr<Cursor> query(const std::string& sql, const std::vector<vb::Variant>& params) override {
        JetSelect s = ParseJetSelect(sql, params);
        const JetObject& table = localTable(s.table);
        // Rows are read up to TOP only when nothing else decides which rows come first.
        bool falseWhere = std::any_of(s.where.begin(), s.where.end(), [](const JetCondition& c) {
            return c.op == JetCondition::Constant && !c.constant;
        });
        long limit = -1;
        if (falseWhere) limit = 0;
        else if (s.top >= 0 && s.where.empty() && s.orderBy.empty() && !s.distinct) limit = s.top;
        JetTableData data = reader_.readTable(table.name, limit);
        std::vector<ColumnInfo> all = columnInfos(data);

        auto indexOf = [&](const std::string& name) -> size_t {
            for (size_t i = 0; i < all.size(); ++i)
                if (SameName(all[i].name, name)) return i;
            throw vb::ComError(vb::kErrGeneric, "No column " + name + " in table " + table.name + ": " + sql, "Jet");
        };
        std::vector<std::pair<size_t, const JetCondition*>> conditions;
        for (const auto& c : s.where) conditions.emplace_back(c.op == JetCondition::Constant ? 0 : indexOf(c.column), &c);
        std::vector<std::pair<size_t, bool>> order;
        for (const auto& o : s.orderBy) order.emplace_back(indexOf(o.column), o.descending);
        std::vector<size_t> pick;
        std::vector<ColumnInfo> shown;
        if (s.allColumns) {
            for (size_t i = 0; i < all.size(); ++i) pick.push_back(i);
            shown = all;
        } else {
            for (const auto& [col, as] : s.columns) {
                size_t i = indexOf(col);
                pick.push_back(i);
                ColumnInfo c = all[i];
                c.name = as;
                shown.push_back(c);
            }
        }

        std::vector<std::vector<vb::Variant>> rows;
        for (const auto& raw : data.rows) {
            std::vector<vb::Variant> row;
            row.reserve(raw.size());
            for (size_t i = 0; i < raw.size(); ++i) row.push_back(JetValue(data.columns[i].mdbType, raw[i]));
            bool keep = std::all_of(conditions.begin(), conditions.end(),
                                    [&](const auto& c) { return JetMatches(*c.second, row[c.first]); });
            if (keep) rows.push_back(std::move(row));
        }
        if (!order.empty()) {
            std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
                for (const auto& [i, desc] : order) {
                    int r = JetCompare(a[i], b[i]);
                    if (r != 0) return desc ? r > 0 : r < 0;
                }
                return false;
            });
        }
        std::vector<std::vector<vb::Variant>> out;
        for (auto& row : rows) {
            std::vector<vb::Variant> projected;
            projected.reserve(pick.size());
            for (size_t i : pick) projected.push_back(row[i]);
            if (s.distinct && std::find(out.begin(), out.end(), projected) != out.end()) continue;
            if (s.top >= 0 && static_cast<long>(out.size()) >= s.top) break;
            out.push_back(std::move(projected));
        }
        return std::make_unique<RowsCursor>(std::move(shown), std::move(out));
    }

    long long execute(const std::string& sql, const std::vector<vb::Variant>&) override { readOnlyError(sql); }
    vb::Variant lastInsertKey() override { return vb::Variant::null(); }
    std::string quoteName(const std::string& name) const override { return "[" + name + "]"; }

    std::vector<TableInfo> tables() override { return catalog_.tables(); }

    std::vector<ColumnInfo> columns(const std::string& table) override {
        const JetObject* o = catalog_.find(table, {kJetLocalTable, kJetOdbcLink, kJetAccessLink, kJetQuery});
        if (!o) {
            throw vb::ComError(vb::kErrItemNotFound, "Item not found in this collection: no table " + table + " in " + file_,
                               "Jet");
        }
        // Linked tables keep their columns in their own source, and a saved query's columns
        // exist only when the engine runs it: neither is read from this file.
        if (o->type != kJetLocalTable) return {};
        auto cached = columnCache_.find(o->name);
        if (cached != columnCache_.end()) return cached->second;
        JetTableData data = reader_.readTable(o->name, 0);
        std::vector<ColumnInfo> cols = columnInfos(data);
        columnCache_[o->name] = cols;
        return cols;
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

    const JetObject& localTable(const std::string& name) const {
        if (const JetObject* o = catalog_.find(name, {kJetLocalTable})) return *o;
        if (const JetObject* o = catalog_.find(name, {kJetOdbcLink, kJetAccessLink})) {
            throw vb::ComError(vb::kErrGeneric,
                               "The table " + o->name + " is linked from " +
                                   (o->type == kJetAccessLink ? o->database : o->connect) +
                                   "; its rows are read through that source, not through " + file_ + ".",
                               "Jet");
        }
        if (catalog_.find(name, {kJetQuery})) {
            throw vb::ComError(vb::kErrGeneric,
                               "The saved query " + name + " cannot be run on an Access file opened read-only here.",
                               "Jet");
        }
        throw vb::ComError(vb::kErrGeneric,
                           "The Microsoft Jet database engine cannot find the input table or query '" + name + "'.",
                           "Jet");
    }

    std::vector<ColumnInfo> columnInfos(const JetTableData& data) const {
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
        return out;
    }

    std::string file_;
    JetReaderProcess reader_;
    int version_ = 0;
    JetCatalog catalog_;
    std::map<std::string, std::vector<ColumnInfo>> columnCache_;
};

}  // namespace

std::unique_ptr<JetDriver> OpenJetFile(const std::string& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
        throw vb::ComError(vb::kErrGeneric, "Could not find file '" + file + "'.", "Jet");
    return std::make_unique<JetDriverImpl>(file);
}

std::unique_ptr<Driver> OpenJetDriver(const std::string& file, const ConnectionSpec&) { return OpenJetFile(file); }

}  // namespace ado
