#pragma once
// The database side of a report: the tables (or stored procedures, or OLE DB sources) it
// reads, their fields with value types, and the logon kept with the report.
//
// Adding a table reads its fields from the source through a FieldReader (the default one
// goes through platform/ado). A source that cannot be read still adds the table, with no
// fields; its connectivity test then answers False.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/common/com_error.h"
#include "platform/designer/types.h"

namespace designer {

class Report;
class DatabaseTable;

class DatabaseFieldDefinition {
  public:
    DatabaseFieldDefinition(const DatabaseTable& table, std::string name, int valueType,
                            bool wholeNumber = false)
        : table_(&table), name_(std::move(name)), valueType_(valueType), wholeNumber_(wholeNumber) {}
    const std::string& Name() const { return name_; }
    int ValueType() const { return valueType_; }  // FieldValueType
    // The source stores the field as whole numbers (an integer column), as its reader said;
    // not kept in the report file.
    bool WholeNumber() const { return wholeNumber_; }
    const DatabaseTable& Table() const { return *table_; }
    // The reference text a formula or field object uses: "{Table.Field}".
    std::string FormulaName() const;

  private:
    const DatabaseTable* table_;
    std::string name_;
    int valueType_;
    bool wholeNumber_;
};

class DatabaseFieldDefinitions {
  public:
    int Count() const { return static_cast<int>(fields_.size()); }
    const DatabaseFieldDefinition& Item(int index) const;  // 1-based
    // By name, compared without regard to case; nullptr when there is none.
    const DatabaseFieldDefinition* Find(const std::string& name) const;
    auto begin() const { return fields_.begin(); }
    auto end() const { return fields_.end(); }

  private:
    friend class DatabaseTable;
    friend class DatabaseTables;
    std::vector<std::unique_ptr<DatabaseFieldDefinition>> fields_;
};

// One value of a stored-procedure parameter.
struct ParameterValue {
    std::string Value;  // as text
    int Kind = 0;       // 0: a discrete value
    bool operator==(const ParameterValue&) const = default;
};

// One stored-procedure parameter: its name and its values.
struct StoredProcParam {
    std::string Name;
    std::vector<ParameterValue> Values;
    bool operator==(const StoredProcParam&) const = default;
};

class StoredProcParams {
  public:
    void Add(StoredProcParam p) { items_.push_back(std::move(p)); }
    int Count() const { return static_cast<int>(items_.size()); }
    const StoredProcParam& Item(int index) const;  // 1-based
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    bool operator==(const StoredProcParams&) const = default;

  private:
    std::vector<StoredProcParam> items_;
};

// Where a table's data lives, as the report keeps it.
struct TableSource {
    std::string Location;        // file path, server table, or stored-procedure name
    std::string SubLocation;     // the table inside Location (Access files)
    std::string ConnectionInfo;  // connection string when one was given
    int Type = crTableTypeTable;
    std::string DllName;  // "p2soledb.dll", "p2ssql.dll", "pdssql.dll"
    std::string ServerName;
    std::string ServerType;  // "OLE DB"
    std::string DatabaseName;
    std::string UserId;
    std::string Password;  // kept in memory, never written to the report file
    // A command's statement, in the SQL of the source it runs on; empty for other kinds.
    std::string CommandText;
    bool operator==(const TableSource&) const = default;
};

// A field as a source reports it.
struct SourceField {
    std::string name;
    int valueType = crStringField;
    bool wholeNumber = false;  // an integer column
};

// Thrown by a FieldReader when the source opens and holds the table or procedure but cannot
// list its fields (a stored procedure's result columns): the table is added with unknown
// fields and its connectivity test answers True.
class FieldsNotListed : public vb::ComError {
  public:
    explicit FieldsNotListed(const std::string& what) : vb::ComError(kErrFieldNotKnown, what) {}
};

// Reads the fields of a table from its source. connectionString is the one resolved for the
// table (see Database); throws vb::ComError when the source cannot be opened or has no such
// table.
using FieldReader = std::function<std::vector<SourceField>(
    const std::string& connectionString, const TableSource& source, const std::string& table)>;
// Reads through platform/ado, opening connections with the options of the run (the SQL Server
// template, the Access file reader). A command's statement runs only when CheckCommand passes.
FieldReader AdoFieldReader(const ado::ConnectionOptions& options = {});

// A command table (crTableTypeCommand) runs its statement only when that is one statement
// that only reads (ado::WhyNotOneReadStatement); otherwise throws vb::ComError naming the table
// and why. Other tables pass.
void CheckCommand(const std::string& table, const TableSource& source);

class DatabaseTable {
  public:
    DatabaseTable(std::string name, TableSource source)
        : name_(std::move(name)), source_(std::move(source)) {}
    DatabaseTable(const DatabaseTable&) = delete;
    DatabaseTable& operator=(const DatabaseTable&) = delete;

    // The name field references use: the table or procedure name.
    const std::string& Name() const { return name_; }
    void setName(const std::string& n) { name_ = n; }
    const TableSource& Source() const { return source_; }
    const std::string& ConnectionString() const { return connectionString_; }
    const DatabaseFieldDefinitions& Fields() const { return fields_; }
    // Whether the fields were read from the source when the table was added.
    bool FieldsKnown() const { return fieldsKnown_; }
    const StoredProcParams& Parameters() const { return params_; }
    // Opens the source again and answers whether the table can be read there.
    bool TestConnectivity() const;

  private:
    friend class DatabaseTables;
    friend class ReportFileReader;
    void addField(const std::string& name, int valueType, bool wholeNumber = false);

    std::string name_;
    TableSource source_;
    std::string connectionString_;
    DatabaseFieldDefinitions fields_;
    bool fieldsKnown_ = false;
    StoredProcParams params_;
    FieldReader reader_;
};

// What LogOnServerEx keeps with the report.
struct LogOnInfo {
    std::string DllName;
    std::string ServerName;
    std::string DatabaseName;
    std::string UserId;
    std::string Password;  // kept in memory, never written to the report file
    std::string ServerType;
    std::string ConnectionString;
    bool operator==(const LogOnInfo&) const = default;
};

class DatabaseTables {
  public:
    explicit DatabaseTables(FieldReader reader) : reader_(std::move(reader)) {}

    int Count() const { return static_cast<int>(tables_.size()); }
    DatabaseTable& Item(int index) const;  // 1-based
    // By name, compared without regard to case; nullptr when there is none.
    DatabaseTable* Find(const std::string& name) const;
    auto begin() const { return tables_.begin(); }
    auto end() const { return tables_.end(); }

    // Adds a table: location is an Access file with subLocation the table in it, or (with
    // subLocation empty) the table or view name on a server given by the other arguments.
    DatabaseTable& Add(const std::string& location, const std::string& subLocation = {},
                       const std::string& connectionInfo = {}, int tableType = crTableTypeTable,
                       const std::string& dllName = {}, const std::string& serverName = {},
                       const std::string& serverType = {}, const std::string& databaseName = {},
                       const std::string& userId = {}, const std::string& password = {});
    // Adds a stored procedure with its parameter values (params may be null).
    DatabaseTable& AddStoredProcedure(const std::string& location, const std::string& subLocation = {},
                                      const std::string& connectionInfo = {},
                                      int tableType = crTableTypeStoredProcedure,
                                      const std::string& dllName = {}, const std::string& serverName = {},
                                      const std::string& serverType = {},
                                      const std::string& databaseName = {}, const std::string& userId = {},
                                      const std::string& password = {},
                                      const StoredProcParams* params = nullptr);
    // Adds a command: a table named name whose rows are those of the statement, run on the
    // Access file location (reached as Add reaches a table of it); its fields are the
    // statement's columns.
    DatabaseTable& AddCommand(const std::string& location, const std::string& name,
                              const std::string& commandText);

  private:
    friend class Database;
    friend class ReportFileReader;
    DatabaseTable& add(TableSource source, const StoredProcParams* params);
    std::string resolve(const TableSource& s) const;

    FieldReader reader_;
    const std::vector<LogOnInfo>* logons_ = nullptr;  // the report's logons (owned by Database)
    std::vector<std::unique_ptr<DatabaseTable>> tables_;
};

class Database {
  public:
    explicit Database(FieldReader reader);
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    DatabaseTables& Tables() { return tables_; }
    const DatabaseTables& Tables() const { return tables_; }

    // Keeps the logon with the report; tables added later without a connection of their own
    // use its connection string when their location is its server. Never fails.
    void LogOnServerEx(const std::string& dllName, const std::string& serverName,
                       const std::string& databaseName = {}, const std::string& userId = {},
                       const std::string& password = {}, const std::string& serverType = {},
                       const std::string& connectionString = {});
    const std::vector<LogOnInfo>& LogOns() const { return logons_; }

    // Adds a table read through the given connection (an OLE DB or ODBC connection string,
    // or an Access file path).
    DatabaseTable& AddOLEDBSource(const std::string& connection, const std::string& table);

  private:
    friend class ReportFileReader;
    std::vector<LogOnInfo> logons_;
    DatabaseTables tables_;
};

}  // namespace designer
