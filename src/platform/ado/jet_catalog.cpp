#include "platform/ado/jet_catalog.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ado/jet_reader_process.h"
#include "platform/common/text.h"

namespace ado {

namespace {

// MSysObjects "Flags": system objects of the engine and objects hidden by Access.
constexpr std::uint32_t kSystemObject = 0x80000000u;
constexpr std::uint32_t kHiddenObject = 0x00000002u;

std::string Text(const JetRawRow& row, const char* column) {
    auto it = row.find(column);
    return it != row.end() && it->second ? *it->second : std::string();
}

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

std::optional<long> Number(const JetRawRow& row, const char* column) {
    auto it = row.find(column);
    if (it == row.end() || !it->second || it->second->empty()) return std::nullopt;
    return std::strtol(it->second->c_str(), nullptr, 10);
}

}  // namespace

const JetObject* JetCatalog::find(const std::string& name, std::initializer_list<int> types) const {
    for (const auto& o : objects) {
        if (std::find(types.begin(), types.end(), o.type) != types.end() &&
            tolvaran::EqualsNoCase(o.name, name))
            return &o;
    }
    return nullptr;
}

bool JetCatalog::isView(const JetObject& o) const {
    if (o.type != kJetQuery) return false;
    auto it = queries.find(o.id);
    return it != queries.end() && it->second.type == JetQueryType::Select && !it->second.hasParameters;
}

std::string JetCatalog::tableType(const JetObject& o) const {
    switch (o.type) {
        case kJetLocalTable:
            if (o.flags & kSystemObject) return "SYSTEM TABLE";
            if (o.flags & kHiddenObject) return "ACCESS TABLE";
            return "TABLE";
        case kJetOdbcLink:
            return "PASS-THROUGH";
        case kJetAccessLink:
            return "LINK";
        case kJetQuery:
            return isView(o) ? "VIEW" : "";
        default:
            return "";
    }
}

std::vector<TableInfo> JetCatalog::tables() const {
    std::vector<TableInfo> out;
    for (const auto& o : objects) {
        std::string type = tableType(o);
        if (type.empty()) continue;
        TableInfo t;
        t.name = o.name;
        t.type = type;
        if (o.type == kJetOdbcLink || o.type == kJetAccessLink) {
            t.remoteTableName = o.foreignName;
            t.linkProviderString = o.connect;
            t.linkDatasource = o.database;
        }
        out.push_back(std::move(t));
    }
    std::stable_sort(out.begin(), out.end(), [](const TableInfo& a, const TableInfo& b) {
        return tolvaran::CompareNoCase(a.name, b.name) < 0;
    });
    return out;
}

std::vector<QueryInfo> JetCatalog::views() const {
    std::vector<QueryInfo> out;
    for (const auto& o : objects) {
        if (isView(o)) out.push_back(QueryInfo{o.name, queries.at(o.id).sql});
    }
    std::stable_sort(out.begin(), out.end(), [](const QueryInfo& a, const QueryInfo& b) {
        return tolvaran::CompareNoCase(a.name, b.name) < 0;
    });
    return out;
}

std::vector<QueryInfo> JetCatalog::procedures() const {
    std::vector<QueryInfo> out;
    for (const auto& o : objects) {
        if (o.type != kJetQuery || isView(o)) continue;
        auto it = queries.find(o.id);
        out.push_back(QueryInfo{o.name, it != queries.end() ? it->second.sql : std::string()});
    }
    std::stable_sort(out.begin(), out.end(), [](const QueryInfo& a, const QueryInfo& b) {
        return tolvaran::CompareNoCase(a.name, b.name) < 0;
    });
    return out;
}

JetCatalog BuildJetCatalog(const std::vector<JetRawRow>& objects, const std::vector<JetRawRow>& queryRows) {
    JetCatalog cat;
    for (const auto& row : objects) {
        JetObject o;
        o.id = Number(row, "Id").value_or(0);
        o.name = Text(row, "Name");
        o.type = static_cast<int>(Number(row, "Type").value_or(0));
        o.flags = static_cast<std::uint32_t>(Number(row, "Flags").value_or(0));
        o.database = Text(row, "Database");
        o.connect = Text(row, "Connect");
        o.foreignName = Text(row, "ForeignName");
        if (!o.name.empty()) cat.objects.push_back(std::move(o));
    }
    std::map<long, std::vector<JetQueryRow>> byQuery;
    for (const auto& row : queryRows) {
        auto id = Number(row, "ObjectId");
        if (!id) continue;
        JetQueryRow q;
        q.attribute = static_cast<int>(Number(row, "Attribute").value_or(0));
        q.name1 = Text(row, "Name1");
        q.name2 = Text(row, "Name2");
        q.expression = Text(row, "Expression");
        q.flag = Number(row, "Flag");
        byQuery[*id].push_back(std::move(q));
    }
    for (const auto& o : cat.objects) {
        if (o.type != kJetQuery) continue;
        auto it = byQuery.find(o.id);
        cat.queries[o.id] = RebuildJetQuery(it != byQuery.end() ? it->second : std::vector<JetQueryRow>{});
    }
    return cat;
}

JetCatalog ReadJetCatalog(JetReaderProcess& reader, bool queries) {
    const JetTableData objects = reader.readTable("MSysObjects");
    if (!queries) return BuildJetCatalog(RawRows(objects), {});
    return BuildJetCatalog(RawRows(objects), RawRows(reader.readTable("MSysQueries")));
}

}  // namespace ado
