#include "platform/viewer/data.h"

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/designer/database.h"
#include "platform/designer/linked_tables.h"

namespace viewer {

namespace {

TableRows ReadQuery(ado::Driver& driver, const std::string& sql, const std::vector<vb::Variant>& params,
                    const ado::QueryLimits& limits) {
    TableRows out;
    auto cursor = driver.query(sql, params);
    for (const ado::ColumnInfo& c : cursor->columns()) out.columns.push_back(c.name);
    out.rows = ado::ReadAllRows(*cursor, limits, sql);
    return out;
}

}  // namespace

int TableRows::ColumnIndex(const std::string& name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (tolvaran::EqualsNoCase(columns[i], name)) return static_cast<int>(i);
    return -1;
}

ado::ConnectionPtr AdoRecordSource::connect(const std::string& connectionString) {
    auto it = connections_.find(connectionString);
    if (it != connections_.end()) return it->second;
    auto conn = ado::OpenConnection(connectionString, options_);
    connections_[connectionString] = conn;
    return conn;
}

TableRows AdoRecordSource::Read(const designer::DatabaseTable& table) {
    const designer::TableSource& source = table.Source();
    if (table.ConnectionString().empty())
        throw vb::ComError(designer::kErrFieldNotKnown,
                           "The report keeps no connection for the table \"" + table.Name() + "\".");
    designer::CheckCommand(table.Name(), source);
    std::string name = source.SubLocation.empty() ? source.Location : source.SubLocation;
    auto conn = connect(table.ConnectionString());
    ado::Driver& driver = conn->driver();
    if (source.Type == designer::crTableTypeStoredProcedure && driver.kind() == ado::EngineKind::Odbc) {
        std::string proc = name.substr(0, name.find(';'));
        std::vector<vb::Variant> params;
        std::string marks;
        for (const designer::StoredProcParam& p : table.Parameters()) {
            params.push_back(p.Values.empty() ? vb::Variant::null() : vb::Variant(p.Values[0].Value));
            marks += marks.empty() ? "?" : ", ?";
        }
        return ReadQuery(driver, "{CALL " + proc + (marks.empty() ? "" : "(" + marks + ")") + "}", params,
                         options_.queryLimits);
    }
    if (source.Type == designer::crTableTypeCommand)
        return ReadQuery(driver, source.CommandText, {}, options_.queryLimits);
    try {
        return ReadQuery(driver, "SELECT * FROM " + driver.quoteName(name), {}, options_.queryLimits);
    } catch (const vb::ComError& e) {
        // A read stopped short is no sign of a table that lives elsewhere.
        if (e.Number() == ado::kErrCancelled || e.Number() == ado::kErrQueryLimit) throw;
        designer::LinkedTable link;
        if (!designer::FindLinkedTable(conn, name, link)) throw;
        auto linked = connect(link.connectionString);
        return ReadQuery(linked->driver(), "SELECT * FROM " + linked->driver().quoteName(link.table), {},
                         options_.queryLimits);
    }
}

}  // namespace viewer
