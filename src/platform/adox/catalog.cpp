#include <cctype>

#include "platform/adox/adox.h"

namespace adox {

namespace {

// Jet's table properties in their order; the link properties are at 4, 5 and 6.
const char* const kJetTableProperties[] = {
    "Temporary Table",
    "Jet OLEDB:Table Validation Text",
    "Jet OLEDB:Table Validation Rule",
    "Jet OLEDB:Cache Link Name/Password",
    "Jet OLEDB:Remote Table Name",
    "Jet OLEDB:Link Provider String",
    "Jet OLEDB:Link Datasource",
    "Jet OLEDB:Exclusive Link",
    "Jet OLEDB:Create Link",
    "Jet OLEDB:Table Hidden In Access",
};

}  // namespace

Columns& Table::Columns() {
    if (!columns_) {
        auto connection = connection_.lock();
        if (!connection || connection->State() != ado::adStateOpen)
            throw vb::ComError(kErrNoConnection,
                               "The connection cannot be used to perform this operation. It is "
                               "either closed or invalid in this context.");
        std::vector<Column> cols;
        for (const ado::ColumnInfo& c : connection->driver().columns(Name))
            cols.push_back(Column{c.name, c.type, c.size});
        columns_ = std::make_unique<adox::Columns>(std::move(cols));
    }
    return *columns_;
}

void Procedures::Append(const std::string& name, const ado::Command& command) {
    if (!connection_ || connection_->State() != ado::adStateOpen)
        throw vb::ComError(kErrNoConnection,
                           "The connection cannot be used to perform this operation. It is "
                           "either closed or invalid in this context.");
    connection_->driver().saveQuery(name, command.CommandText, false);
    if (changed_) changed_();
    Refresh();
}

void Procedures::Refresh() {
    items_.clear();
    if (!connection_) return;
    for (const ado::QueryInfo& q : connection_->driver().procedures()) {
        Procedure p;
        p.Name = q.name;
        p.Command.CommandText = q.commandText;
        p.Command.ActiveConnection = connection_;
        items_.push_back(std::move(p));
    }
}

void Catalog::setActiveConnection(const ado::ConnectionPtr& connection) {
    connection_ = connection;
    tables_.reset();
    views_.reset();
    procedures_.reset();
}

ado::Driver& Catalog::driver() const {
    if (!connection_ || connection_->State() != ado::adStateOpen)
        throw vb::ComError(kErrNoConnection,
                           "The connection cannot be used to perform this operation. It is "
                           "either closed or invalid in this context.");
    return connection_->driver();
}

Tables& Catalog::Tables() {
    if (!tables_) {
        std::vector<Table> list;
        for (const ado::TableInfo& t : driver().tables()) {
            Table table;
            table.Name = t.name;
            table.Type = t.type;
            table.connection_ = connection_;
            std::vector<Property> props;
            for (size_t i = 0; i < std::size(kJetTableProperties); ++i) {
                vb::Variant value = false;
                if (i == 4) value = t.remoteTableName;
                if (i == 5) value = t.linkProviderString;
                if (i == 6) value = t.linkDatasource;
                if (i == 3 || i == 1 || i == 2) value = std::string();
                props.push_back(Property{kJetTableProperties[i], value});
            }
            table.properties_ = adox::Properties(std::move(props));
            list.push_back(std::move(table));
        }
        tables_ = std::make_unique<adox::Tables>(std::move(list));
    }
    return *tables_;
}

Views& Catalog::Views() {
    if (!views_) {
        std::vector<View> list;
        for (const ado::QueryInfo& q : driver().views()) {
            View v;
            v.Name = q.name;
            v.Command.CommandText = q.commandText;
            v.Command.ActiveConnection = connection_;
            list.push_back(std::move(v));
        }
        views_ = std::make_unique<adox::Views>(std::move(list));
    }
    return *views_;
}

Procedures& Catalog::Procedures() {
    if (!procedures_) {
        driver();
        procedures_ = std::make_unique<adox::Procedures>();
        procedures_->connection_ = connection_;
        procedures_->changed_ = [this] {
            tables_.reset();
            views_.reset();
        };
        procedures_->Refresh();
    }
    return *procedures_;
}

}  // namespace adox
