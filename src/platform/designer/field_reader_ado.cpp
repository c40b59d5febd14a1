// Reads a table's fields through platform/ado.
#include "platform/ado/ado.h"
#include "platform/ado/connection_text.h"
#include "platform/ado/read_statement.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/designer/database.h"
#include "platform/designer/linked_tables.h"

namespace designer {

namespace {

int ValueTypeOf(ado::DataTypeEnum t) {
    switch (t) {
        case ado::adSmallInt:
        case ado::adInteger:
        case ado::adSingle:
        case ado::adDouble:
        case ado::adDecimal:
        case ado::adNumeric:
        case ado::adTinyInt:
        case ado::adUnsignedTinyInt:
        case ado::adBigInt:
            return crNumberField;
        case ado::adCurrency:
            return crCurrencyField;
        case ado::adBoolean:
            return crBooleanField;
        case ado::adDBDate:
            return crDateField;
        case ado::adDBTime:
            return crTimeField;
        case ado::adDate:
        case ado::adDBTimeStamp:
            return crDateTimeField;
        case ado::adChar:
        case ado::adWChar:
        case ado::adVarChar:
        case ado::adVarWChar:
        case ado::adGUID:
            return crStringField;
        case ado::adLongVarChar:
        case ado::adLongVarWChar:
            return crPersistentMemoField;
        case ado::adBinary:
        case ado::adVarBinary:
        case ado::adLongVarBinary:
            return crBlobField;
        default:
            return crUnknownField;
    }
}

bool IsWholeNumber(ado::DataTypeEnum t) {
    switch (t) {
        case ado::adSmallInt:
        case ado::adInteger:
        case ado::adTinyInt:
        case ado::adUnsignedTinyInt:
        case ado::adBigInt:
            return true;
        default:
            return false;
    }
}

std::vector<SourceField> Convert(const std::vector<ado::ColumnInfo>& cols) {
    std::vector<SourceField> out;
    out.reserve(cols.size());
    for (auto& c : cols) out.push_back({c.name, ValueTypeOf(c.type), IsWholeNumber(c.type)});
    return out;
}

std::vector<ado::ColumnInfo> ColumnsOf(ado::Connection& conn, const std::string& table) {
    try {
        return conn.driver().columns(table);
    } catch (const vb::ComError&) {
        return {};
    }
}

// A table linked into an Access file (or its SQLite stand-in): the columns where it lives,
// read through a connection with the options of the one the link was found on.
std::vector<ado::ColumnInfo> LinkedColumns(const ado::ConnectionPtr& conn, const std::string& table) {
    LinkedTable link;
    if (!FindLinkedTable(conn, table, link)) return {};
    auto linked = ado::OpenConnection(link.connectionString, conn->Options());
    return ColumnsOf(*linked, link.table);
}

// Stored procedures are listed as "name" or "name;1".
bool HasProcedure(ado::Connection& conn, const std::string& name) {
    try {
        for (const ado::QueryInfo& p : conn.driver().procedures()) {
            std::string n = p.name.substr(0, p.name.find(';'));
            if (tolvaran::EqualsNoCase(n, name) || tolvaran::EqualsNoCase(p.name, name)) return true;
        }
    } catch (const vb::ComError&) {
    }
    return false;
}

}  // namespace

bool FindLinkedTable(const ado::ConnectionPtr& connection, const std::string& table, LinkedTable& out) {
    try {
        ado::Recordset rs;
        rs.Open("SELECT Type, Database, ForeignName, Connect FROM MSysObjects WHERE Name = ?", connection,
                ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(table)});
        if (rs.Eof()) return false;
        long type = vb::NZ(rs["Type"]).ToLong();
        std::string foreign = vb::NZ(rs["ForeignName"], "").ToString();
        std::string target;
        if (type == 6) {
            target = ado::JetFileText(vb::NZ(rs["Database"], "").ToString()).Text();
        } else if (type == 4) {
            target = vb::NZ(rs["Connect"], "").ToString();
            if (tolvaran::StartsWithNoCase(target, "ODBC;")) target = target.substr(5);
        }
        if (target.empty()) return false;
        out.connectionString = target;
        out.table = foreign.empty() ? table : foreign;
        return true;
    } catch (const vb::ComError&) {
        return false;
    }
}

void CheckCommand(const std::string& table, const TableSource& source) {
    if (source.Type != crTableTypeCommand) return;
    if (const std::string why = ado::WhyNotOneReadStatement(source.CommandText); !why.empty())
        throw vb::ComError(kErrFieldNotKnown, "The command of the table \"" + table +
                                                  "\" is not run: its statement " + why + ".");
}

FieldReader AdoFieldReader(const ado::ConnectionOptions& options) {
    return
        [options](const std::string& connectionString, const TableSource& source, const std::string& table) {
            CheckCommand(table, source);
            auto conn = ado::OpenConnection(connectionString, options);
            // A command's fields are its statement's columns; a statement that does not run
            // there throws, as a table that is not there does.
            if (source.Type == crTableTypeCommand)
                return Convert(conn->driver().query(source.CommandText, {})->columns());
            auto cols = ColumnsOf(*conn, table);
            if (cols.empty()) cols = LinkedColumns(conn, table);
            if (cols.empty() && HasProcedure(*conn, table))
                throw FieldsNotListed("The result fields of \"" + table + "\" cannot be listed.");
            if (cols.empty())
                throw vb::ComError(kErrFieldNotKnown, "The table \"" + table + "\" could not be read.");
            return Convert(cols);
        };
}

}  // namespace designer
