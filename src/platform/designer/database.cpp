#include "platform/designer/database.h"

#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"

namespace designer {

namespace {

[[noreturn]] void BadIndex(const char* what, int index) {
    throw vb::ComError(kErrInvalidIndex, "Invalid index " + std::to_string(index) + " for " + what + ".");
}

std::string JetString(const std::string& file) {
    return ado::JetFileText(file).Text();
}

std::string SqlServerString(const std::string& server, const std::string& database, const std::string& user,
                            const std::string& password) {
    ado::ConnectionText cs;
    cs.Add("Provider", "SQLOLEDB").Add("Data Source", server);
    if (!database.empty()) cs.Add("Initial Catalog", database);
    if (user.empty())
        cs.Add("Integrated Security", "SSPI");
    else
        cs.Add("User ID", user).Add("Password", password);
    return cs.Text();
}

TableSource SourceOf(const std::string& location, const std::string& subLocation,
                     const std::string& connectionInfo, int type, const std::string& dllName,
                     const std::string& serverName, const std::string& serverType,
                     const std::string& databaseName, const std::string& userId,
                     const std::string& password) {
    TableSource s;
    s.Location = location;
    s.SubLocation = subLocation;
    s.ConnectionInfo = connectionInfo;
    s.Type = type;
    s.DllName = dllName;
    s.ServerName = serverName;
    s.ServerType = serverType;
    s.DatabaseName = databaseName;
    s.UserId = userId;
    s.Password = password;
    return s;
}

}  // namespace

std::string DatabaseFieldDefinition::FormulaName() const {
    return "{" + table_->Name() + "." + name_ + "}";
}

const DatabaseFieldDefinition& DatabaseFieldDefinitions::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("fields", index);
    return *fields_[index - 1];
}

const DatabaseFieldDefinition* DatabaseFieldDefinitions::Find(const std::string& name) const {
    for (auto& f : fields_)
        if (tolvaran::EqualsNoCase(f->Name(), name)) return f.get();
    return nullptr;
}

const StoredProcParam& StoredProcParams::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("stored procedure parameters", index);
    return items_[index - 1];
}

void DatabaseTable::addField(const std::string& name, int valueType, bool wholeNumber) {
    fields_.fields_.push_back(std::make_unique<DatabaseFieldDefinition>(*this, name, valueType, wholeNumber));
}

bool DatabaseTable::TestConnectivity() const {
    if (!reader_ || connectionString_.empty()) return false;
    try {
        reader_(connectionString_, source_, name_);
        return true;
    } catch (const FieldsNotListed&) {
        return true;
    } catch (...) {
        return false;
    }
}

DatabaseTable& DatabaseTables::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("tables", index);
    return *tables_[index - 1];
}

DatabaseTable* DatabaseTables::Find(const std::string& name) const {
    for (auto& t : tables_)
        if (tolvaran::EqualsNoCase(t->Name(), name)) return t.get();
    return nullptr;
}

// The connection string that reaches a table's data: its own connection, the logon kept for
// its server, a SQL Server named by its arguments, or the Access file it lies in.
std::string DatabaseTables::resolve(const TableSource& s) const {
    if (!s.ConnectionInfo.empty()) {
        if (s.ConnectionInfo.find('=') == std::string::npos) return JetString(s.ConnectionInfo);
        ado::ConnectionText cs = ado::ConnectionText::Read(s.ConnectionInfo);
        if (s.UserId.empty() || cs.Has("User ID") || cs.Has("UID") || cs.Has("Integrated Security"))
            return s.ConnectionInfo;
        return cs.Add("User ID", s.UserId).Add("Password", s.Password).Text();
    }
    if (logons_) {
        for (auto it = logons_->rbegin(); it != logons_->rend(); ++it)
            if (!it->ConnectionString.empty() &&
                (tolvaran::EqualsNoCase(it->ServerName, s.Location) ||
                 (!s.ServerName.empty() && tolvaran::EqualsNoCase(it->ServerName, s.ServerName))))
                return it->ConnectionString;
    }
    if (!s.ServerName.empty()) return SqlServerString(s.ServerName, s.DatabaseName, s.UserId, s.Password);
    if (!s.SubLocation.empty()) return JetString(s.Location);
    if (logons_ && !logons_->empty()) {
        const LogOnInfo& l = logons_->back();
        if (!l.ConnectionString.empty()) return l.ConnectionString;
        if (!l.ServerName.empty()) return SqlServerString(l.ServerName, l.DatabaseName, l.UserId, l.Password);
    }
    return {};
}

DatabaseTable& DatabaseTables::add(TableSource source, const StoredProcParams* params) {
    if (source.Location.empty() && source.SubLocation.empty())
        throw vb::ComError(kErrInvalidArgument, "A table needs a location or a name.");
    std::string name = source.SubLocation.empty() ? source.Location : source.SubLocation;
    auto t = std::make_unique<DatabaseTable>(name, std::move(source));
    t->reader_ = reader_;
    if (params) t->params_ = *params;
    t->connectionString_ = resolve(t->source_);
    if (reader_ && !t->connectionString_.empty()) {
        try {
            for (const SourceField& f : reader_(t->connectionString_, t->source_, t->name_))
                t->addField(f.name, f.valueType, f.wholeNumber);
            t->fieldsKnown_ = true;
        } catch (...) {
            t->fields_.fields_.clear();  // the source could not be read: fields stay unknown
        }
    }
    tables_.push_back(std::move(t));
    return *tables_.back();
}

DatabaseTable& DatabaseTables::Add(const std::string& location, const std::string& subLocation,
                                   const std::string& connectionInfo, int tableType,
                                   const std::string& dllName, const std::string& serverName,
                                   const std::string& serverType, const std::string& databaseName,
                                   const std::string& userId, const std::string& password) {
    if (tableType != crTableTypeTable && tableType != crTableTypeStoredProcedure)
        throw vb::ComError(kErrInvalidArgument, "Invalid table type " + std::to_string(tableType) + ".");
    return add(SourceOf(location, subLocation, connectionInfo, tableType, dllName, serverName, serverType,
                        databaseName, userId, password),
               nullptr);
}

DatabaseTable& DatabaseTables::AddStoredProcedure(const std::string& location, const std::string& subLocation,
                                                  const std::string& connectionInfo, int tableType,
                                                  const std::string& dllName, const std::string& serverName,
                                                  const std::string& serverType,
                                                  const std::string& databaseName, const std::string& userId,
                                                  const std::string& password,
                                                  const StoredProcParams* params) {
    (void)tableType;  // a stored procedure whatever the kind argument says
    return add(SourceOf(location, subLocation, connectionInfo, crTableTypeStoredProcedure, dllName,
                        serverName, serverType, databaseName, userId, password),
               params);
}

DatabaseTable& DatabaseTables::AddCommand(const std::string& location, const std::string& name,
                                          const std::string& commandText) {
    if (name.empty() || commandText.empty())
        throw vb::ComError(kErrInvalidArgument, "A command needs a name and a statement.");
    TableSource s;
    s.Location = location;
    s.SubLocation = name;
    s.Type = crTableTypeCommand;
    s.CommandText = commandText;
    return add(std::move(s), nullptr);
}

Database::Database(FieldReader reader) : tables_(std::move(reader)) {
    tables_.logons_ = &logons_;
}

void Database::LogOnServerEx(const std::string& dllName, const std::string& serverName,
                             const std::string& databaseName, const std::string& userId,
                             const std::string& password, const std::string& serverType,
                             const std::string& connectionString) {
    logons_.push_back({dllName, serverName, databaseName, userId, password, serverType, connectionString});
}

DatabaseTable& Database::AddOLEDBSource(const std::string& connection, const std::string& table) {
    if (table.empty()) throw vb::ComError(kErrInvalidArgument, "AddOLEDBSource needs a table name.");
    TableSource s;
    s.Location = table;
    s.ConnectionInfo = connection;
    s.ServerType = "OLE DB";
    return tables_.add(std::move(s), nullptr);
}

}  // namespace designer
