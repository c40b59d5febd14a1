// Data-source binding: for each link of the source database, what the report's record source
// is on that link, whether it can be scanned there, and the table or stored procedure the new
// report reads, with the logon its link kind needs.
#include <optional>
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/ado/connection_text.h"
#include "platform/ado/read_statement.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "sources/connect_text.h"
#include "sources/link.h"
#include "sources/links_manager.h"
#include "sources/query_scanner.h"
#include "sources/update_queries.h"
#include "store/context.h"

namespace tolvaran {

namespace {

std::string StepLine(int step, const std::string& text) {
    return "Step (" + std::to_string(step) + ")" + text;
}

// Whether a record source is an SQL statement rather than a name: it holds SELECT followed by
// a blank, in any case.
bool IsSelectStatement(const std::string& recordSource) {
    return vb::InStr(vb::UCase(recordSource), "SELECT ") > 0;
}

// The SQL Server type names a parameter name may carry, in the order they are removed.
constexpr const char* kSqlTypeNames[] = {
    " binary",    " bigint",        " bit",       " char",       " datetime",        " decimal",  " float",
    " image",     " int",           " money",     " nchar",      " ntext",           " nvarchar", " numeric",
    " real",      " smalldatetime", " smallint",  " smallmoney", " sql_variant",     " sysname",  " text",
    " timestamp", " tinyint",       " varbinary", " varchar",    "uniqueidentifier",
};

}  // namespace

bool clsConvert::AddDatabases() {
    bool result = false;
    std::string querySource;
    std::string boundThrough;  // the link the record source was bound through
    recordSourceLookedUp_ = recordSourceFound_ = false;
    try {
        LogStepError("Start", "AddDatabase");
        if (!oLinks) ThrowNotSet();
        // A statement is saved in the back end as a query or view, or kept in the report as a
        // command that the viewer runs: only one that only reads is either. Saving a view of
        // "SELECT ...; DELETE ..." would run the DELETE on the source.
        if (IsSelectStatement(recordSource_)) {
            if (const std::string why = ado::WhyNotOneReadStatement(recordSource_); !why.empty()) {
                WriteErrorLog("The record source of the report " + ReportName +
                                  " is not one SELECT statement: it " + why +
                                  ". It is neither saved as a query nor kept in the report, and the "
                                  "report is bound to no data: " +
                                  recordSource_,
                              "AddDatabase", LogLevel::Problem);
                return false;
            }
        }
        for (const LinkPtr& item : oLinks->Items()) {
            clsLink& link = *item;
            querySource = link.QuerySource;
            if (!link.openConnection(prompt(), ctx_.connections)) {
                // Kept in the report's log as a step line: a back end that is not there shows
                // there, yet counts as no error of the report, which may not draw on it.
                const bool file = link.LinkType == kLinkInternal || link.LinkType == kLinkAccess;
                LogStepError("Link " + link.Name + (file ? " (" + link.LinkDatabase + ")" : std::string()) +
                                 " could not be opened; passed over",
                             "AddDatabase");
                continue;
            }
            if (!SetCatalog(catalog_, link)) continue;
            const std::string name = CheckReportSource(link);
            link.QuerySource = name;
            querySource = name;
            if (name.empty()) {
                WriteErrorLog(StepLine(1, "olink querysource is blank"), "AddDatabase", LogLevel::Error,
                              link.QuerySource);
            } else if (!ConnectionIsUsedInReport(link)) {
                WriteErrorLog(StepLine(1, "ConnectionIsUsedInReport returns false"), "AddDatabase",
                              LogLevel::Error, link.QuerySource);
            } else if (result) {
                // The record source is bound once: a second table of it would multiply the rows.
                LogStepError("The record source " + name + " is bound through the link " + boundThrough +
                                 "; it is not bound again through the link " + link.Name,
                             "AddDatabase");
            } else if (AddDatabaseReference(link)) {
                ReportSource = link.QuerySource;
                boundThrough = link.Name;
                result = true;
            } else {
                WriteErrorLog(StepLine(1, "AddDatabaseReference=false"), "AddDatabase", LogLevel::Error,
                              link.QuerySource);
            }
        }
    } catch (...) {
        WriteErrorLog(StepLine(1, CurrentError().description), "AddDatabase", LogLevel::Error, querySource);
    }
    // A name that no link knows (an export made beside another version of the file): the
    // report has no data, which one problem says, whatever was bound in its place.
    if (recordSourceLookedUp_ && !recordSourceFound_)
        WriteErrorLog(
            "The record source " + recordSource_ + " is neither a table nor a query of the source database",
            "AddDatabase", LogLevel::Problem);
    // Fields and formulas name the table as it was bound, from the first section on.
    try {
        if (result && crReport_ && crReport_->Database().Tables().Count() > 0)
            currentTableName_ = crReport_->Database().Tables().Item(1).Name();
    } catch (...) {
        WriteErrorLog(StepLine(1, CurrentError().description), "AddDatabase", LogLevel::Error, querySource);
    }
    return result;
}

bool clsConvert::SetCatalog(std::shared_ptr<adox::Catalog>& catalog, clsLink& link) {
    try {
        catalog = std::make_shared<adox::Catalog>();
        catalog->setActiveConnection(link.db());
        return true;
    } catch (...) {
        WriteErrorLog(StepLine(1, CurrentError().description), "SetCatalog", LogLevel::Error);
        return false;
    }
}

std::string clsConvert::CheckReportSource(clsLink& link) {
    int step = 3;
    std::string name;
    try {
        LogStepError("Current Access Version:" + CurrentAccessVersion, "CheckReportSource");
        // A statement saved as a query on this link goes the way of this link's kind.
        backEndType_ = static_cast<short>(link.LinkType);
        clsUpdateQueries classifier(prompt());
        classifier.ToDb = link.db();
        classifier.BackEndDatabaseType = static_cast<short>(link.LinkType);
        classifier.setOCat(catalog_);
        if (CurrentAccessVersion < "3.6") {
            // Convert closed Access before the binding; the old engine's checks need its
            // CurrentDb, so the file and report are opened again here.
            if (!access_ && OpenAccess()) OpenAccessReport();
            if (!access_) ThrowNotSet();
            classifier.FromDb = access_->CurrentDb();
            classifier.IsJet36 = false;
        } else {
            classifier.FromDb = link.db();
            classifier.IsJet36 = true;
        }
        classifier.setOCat(catalog_);

        step = 4;
        bool raw = true;
        const std::string sql = recordSource_;
        keptStatement_.clear();
        if (!IsSelectStatement(recordSource_)) {
            raw = false;
            name = recordSource_;
            currentTableName_ = recordSource_;
        } else {
            step = 5;
            const std::string defaultName = "qry" + vb::Replace(ReportName, " ", "_");
            const ado::ConnectionPtr& connection = link.db();
            if (connection && connection->driver().readOnly()) {
                // Nothing is saved in a source that cannot be written (the user's Access file):
                // the report keeps the statement and reads its rows under the default name.
                keptStatement_ = recordSource_;
                name = defaultName;
                currentTableName_ = defaultName;
                LogStepError("The source is read-only: the RAW SQL is kept in the report as the command " +
                                 defaultName,
                             "AddDatabase");
            } else if (classifier.IsQuery(defaultName) && CompareSQL(defaultName, recordSource_)) {
                raw = false;
                name = defaultName;
                currentTableName_ = defaultName;
            } else {
                name = DealWithRAWSQL(classifier, sql, defaultName);
            }
        }
        step = 61;
        LogStepError(std::string("Does this report have RAW SQL?") + (raw ? "Yes" : "No"), "AddDatabase");

        step = 62;
        // A kept statement names no object of the back end.
        if (!name.empty() && keptStatement_.empty()) {
            switch (link.LinkType) {
                case 0:
                case 1:
                case 2:
                case 3:
                    if (classifier.IsTable(name)) {
                        classifier.UpdateBackEndQueries(name, name, 2);
                        recordSourceFound_ = true;
                    } else if (classifier.IsQuery(name)) {
                        classifier.UpdateBackEndQueries(name, name, 1);
                        recordSourceFound_ = true;
                    }
                    // The file's own catalog holds its tables, the tables it links and its
                    // queries: a name it does not hold is missing.
                    if (link.LinkType == kLinkInternal && !raw) recordSourceLookedUp_ = true;
                    break;
                case 4:
                    if (classifier.IsStoredProcedure(name)) storedProcedure_ = true;
                    break;
                default: {
                    const std::string message =
                        "Please Edit Database Reference properties and select the back-end data source "
                        "for this application";
                    msgBox(message, ui::vbCritical + ui::vbOKOnly);
                    WriteErrorLog(StepLine(5, message), "AddDatabase", LogLevel::Error);
                    name.clear();
                    break;
                }
            }
        }
        return name;
    } catch (...) {
        WriteErrorLog(StepLine(step, CurrentError().description), "AddDatabase", LogLevel::Error);
        return name;
    }
}

bool clsConvert::ConnectionIsUsedInReport(clsLink& link) {
    int step = 1;
    try {
        clsInterface scanner(prompt());
        // A view that draws on itself is followed once; each stop is a conversion problem.
        scanner.setCycleReporter([this](const std::string& line) {
            WriteErrorLog(line, "ConnectionIsUsedInReport", LogLevel::Problem);
        });
        scanner.setActiveConnection(link.db());
        step = 2;
        scanner.Execute(recordSource_);
        step = 4;
        return true;
    } catch (...) {
        WriteErrorLog(StepLine(step, CurrentError().description), "AddDatabase", LogLevel::Error,
                      link.QuerySource);
        return false;
    }
}

bool clsConvert::AddDatabaseReference(clsLink& link) {
    bool result = false;
    try {
        switch (link.LinkType) {
            case 0:
                CloseAccess();
                LogStepError("ADR: before AddDatabase_AccessInternalTables(poLink)", "AddDatabaseReference");
                result = AddDatabase_AccessInternalTables(link);
                if (result) {
                    result = OpenAccess();
                    if (result) result = OpenAccessReport();
                }
                break;
            case 2:
                // The binding reads the project's path and name from Access, and the groups and
                // sections after it read the report: open both first and leave them open.
                if (!accessOpen_ || !accessReport_) {
                    if (OpenAccess()) OpenAccessReport();
                }
                result = AddDatabase_AccessLinkedTables(link);
                break;
            case 3:
                result = AddDatabase_ODBCLinkedTables(link);
                OpenAccess();
                OpenAccessReport();
                break;
            case 4:
                if (OpenAccess()) OpenAccessReport();
                result = AddDatabase_DataProject(link);
                break;
            default:
                result = false;
                break;
        }
    } catch (...) {
        WriteErrorLog(StepLine(1, CurrentError().description), "AddDatabaseReference", LogLevel::Error);
    }
    return result;
}

bool clsConvert::AddDatabase_ODBCLinkedTables(clsLink& link) {
    try {
        if (!crReport_) ThrowNotSet();
        const std::string conn = OdbcConnectionText(link.DSN, link.UserId, link.Password, link.UseNTAuth);
        const std::string table = ParseControlRecordSource(link.QuerySource);
        crReport_->Database().AddOLEDBSource(conn, table);
        link.QuerySource = table;
        return true;
    } catch (...) {
        return false;
    }
}

bool clsConvert::AddDatabase_AccessInternalTables(clsLink& link) {
    int step = 1;
    try {
        if (!crReport_) ThrowNotSet();
        designer::Database& database = crReport_->Database();
        database.LogOnServerEx("p2soledb.dll", link.LinkDatabase, "", link.UserId, link.Password, "OLE DB",
                               link.AccessConnectionString());
        // Errors of the two adds are ignored.
        std::optional<TrappedError> ignored;
        step = 2;
        if (database.Tables().Count() == 0) {
            ignored =
                Try([&] { AddRecordSourceTable(database.Tables(), link.LinkDatabase, link.QuerySource); });
        }
        step = 3;
        if (database.Tables().Count() == 0) {
            if (auto e = Try([&] { database.AddOLEDBSource(link.LinkDatabase, link.QuerySource); }))
                ignored = e;
        }
        if (!ignored)
            LogStepError("Add reference:" + link.LinkDatabase + "--> " + link.QuerySource,
                         "AddDatabase_AccessInternalTables");
        return true;
    } catch (...) {
        const TrappedError e = CurrentError();
        WriteErrorLog(StepLine(step, e.description), "AddDatabase_AccessInternalTables", LogLevel::Error);
        return e.number == vb::kErrDesigner;
    }
}

bool clsConvert::AddDatabase_AccessLinkedTables(clsLink& link) {
    int step = 90;
    try {
        if (!access_ || !crReport_) ThrowNotSet();
        const access::CurrentProjectObject project = access_->CurrentProject();
        const std::string projectName = project.Name();
        const std::string projectPath = project.Path();
        LogStepError("Add reference:" + projectName + "--> " + link.QuerySource, "AddDatabase");

        designer::DatabaseTables& tables = crReport_->Database().Tables();
        bool present = false;
        for (const auto& t : tables)
            if (t->Name() == link.QuerySource) present = true;
        if (!present) {
            const std::string file = JoinPath(projectPath, projectName);
            if (SourceTablesDB.empty()) {
                step = 91;
                AddRecordSourceTable(tables, file, link.QuerySource);
            } else {
                step = 92;
                if (Try([&] { AddRecordSourceTable(tables, file, link.QuerySource); })) {
                    step = 93;
                    if (Try([&] { AddRecordSourceTable(tables, projectName, link.QuerySource); })) {
                        WriteErrorLog("Can't add table reference for '" + projectName + "' AND Table/View '" +
                                          link.QuerySource + "'",
                                      "AddDatabase_AccessLinkedTables", LogLevel::Error, "?");
                    }
                }
            }
        }
        return true;
    } catch (...) {
        WriteErrorLog(StepLine(step, CurrentError().description), "AddDatabase_AccessLinkedTables",
                      LogLevel::Error);
        return false;
    }
}

designer::DatabaseTable& clsConvert::AddRecordSourceTable(designer::DatabaseTables& tables,
                                                          const std::string& location,
                                                          const std::string& name) {
    if (!keptStatement_.empty()) return tables.AddCommand(location, name, keptStatement_);
    return tables.Add(location, name, "", designer::crTableTypeTable);
}

bool clsConvert::AddDatabase_DataProject(clsLink& link) {
    int step = 1;
    try {
        if (!crReport_) ThrowNotSet();
        designer::Database& database = crReport_->Database();
        ado::ConnectionText text;
        text.Add("Provider", "SQLOLEDB")
            .Add("Data Source", link.Server)
            .Add("Initial Catalog", link.SQLDatabase);
        if (link.UseNTAuth) text.Add("Integrated Security", "SSPI");
        const std::string conn = text.Text();
        LogStepError("Attempt Crystal connection to:" + link.SQLDatabase, "AddDatabase");

        step = 2;
        if (link.UseNTAuth) {
            if (IsDataProject)
                database.LogOnServerEx("pdssql.dll", link.Server, link.SQLDatabase);
            else
                database.LogOnServerEx("p2soledb.dll", link.Server, link.SQLDatabase, "", "", "OLE DB", conn);
        } else {
            if (IsDataProject)
                database.LogOnServerEx("pdssql.dll", link.Server, link.SQLDatabase, link.UserId,
                                       link.Password);
            else
                database.LogOnServerEx("p2soledb.dll", link.Server, link.SQLDatabase, link.UserId,
                                       link.Password, "OLE DB");
        }

        step = 3;
        const designer::StoredProcParams params = GetStoredProcedureParameters();
        if (database.Tables().Count() > 0) return false;

        step = 4;
        LogStepError("Attempt to Add First Table to Crystal Report", "AddDatabase");
        const std::string user = link.UseNTAuth ? std::string() : link.UserId;
        const std::string password = link.UseNTAuth ? std::string() : link.Password;
        step = 5;
        if (storedProcedure_) {
            if (!link.UseNTAuth && params.Count() == 0 && IsDataProject) {
                if (Try([&] {
                        database.Tables().AddStoredProcedure(
                            link.QuerySource, "", conn, designer::crTableTypeStoredProcedure, "p2ssql.dll",
                            link.Server, "OLE DB", link.SQLDatabase, user, password);
                    })) {
                    database.Tables().Add(link.QuerySource, "", conn, designer::crTableTypeTable,
                                          "p2soledb.dll", link.Server, "OLE DB", link.SQLDatabase, user,
                                          password);
                }
            } else {
                database.Tables().AddStoredProcedure(link.QuerySource, "", conn,
                                                     designer::crTableTypeStoredProcedure, "p2ssql.dll",
                                                     link.Server, "OLE DB", link.SQLDatabase, user, password,
                                                     params.Count() > 0 ? &params : nullptr);
            }
        } else {
            database.Tables().Add(link.QuerySource, "", conn, designer::crTableTypeTable, "p2ssql.dll",
                                  link.Server, "OLE DB", link.SQLDatabase, user, password);
        }
        step = 6;
        return database.Tables().Item(1).TestConnectivity();
    } catch (...) {
        WriteErrorLog(StepLine(step, CurrentError().description), "AddDatabase_DataProject", LogLevel::Error,
                      link.QuerySource);
        return false;
    }
}

designer::StoredProcParams clsConvert::GetStoredProcedureParameters() {
    designer::StoredProcParams params;
    if (!accessReport_) ThrowNotSet();
    const std::string text = accessReport_->InputParameters();
    if (text.empty()) return params;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string pair =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const long eq = vb::InStr(pair, "=");
        std::string name = vb::Trim(eq > 0 ? vb::Left(pair, eq - 1) : pair);
        const std::string value = eq > 0 ? vb::Trim(vb::Mid(pair, eq + 1)) : std::string();
        designer::StoredProcParam entry;
        entry.Name = StripOutdataTypes(name);
        entry.Values.push_back({value, 0});
        params.Add(std::move(entry));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return params;
}

std::string clsConvert::StripOutdataTypes(std::string& text) {
    text = vb::LCase(text);
    for (const char* type : kSqlTypeNames) text = vb::Replace(text, type, "");
    return text;
}

designer::StoredProcParams clsConvert::GetParametersFromStoredProcedure(clsLink& link) {
    designer::StoredProcParams params;
    try {
        clsUpdateQueries classifier(prompt());
        classifier.BackEndDatabaseType = static_cast<short>(link.LinkType);
        classifier.setOCat(catalog_);
        if (!classifier.IsStoredProcedure(link.QuerySource) || !classifier.GetProcedure()) return params;
        // The ADO layer keeps a command's parameter values without names: one entry per value,
        // named by its position.
        long n = 0;
        for (const vb::Variant& v : classifier.GetProcedure()->Command.Parameters) {
            designer::StoredProcParam entry;
            entry.Name = "@" + std::to_string(++n);
            entry.Values.push_back({v.IsNull() ? std::string() : v.ToString(), 0});
            params.Add(std::move(entry));
        }
    } catch (...) {
        WriteErrorLog(CurrentError().description, "GetParametersFromStoredProcedure", LogLevel::Error);
    }
    return params;
}

}  // namespace tolvaran
