// Raw-SQL record sources: an SQL statement used as a report's record source is saved in the
// source database as a named query (or, on an ODBC or SQL Server back end, a view), and the
// report is bound to that name.
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "sources/update_queries.h"

namespace tolvaran {

namespace {

constexpr const char* kCrLf = "\r\n";

using ado::IsSymbol;
using ado::IsWord;
using ado::SqlToken;

// Tracks the parenthesis depth over the tokens of a statement; a keyword counts only at
// depth 0, outside a sub-query.
struct Depth {
    int level = 0;
    void See(const SqlToken& t) {
        if (IsSymbol(t, "(")) ++level;
        if (IsSymbol(t, ")")) --level;
    }
};

// The select list of a statement: the trimmed text before its FROM, trimmed, without line
// breaks. Only the keyword FROM ends the list: not a FROM inside a name ("DateFrom",
// "[Date From]"), a literal or a sub-query. A statement without FROM raises "Invalid
// procedure call or argument".
std::string SelectList(const std::string& sql) {
    const std::string trimmed = vb::Trim(sql);
    const auto t = ado::TokenizeJetSql(trimmed, ado::SqlErrors::Tolerate);
    Depth depth;
    size_t i = 0;
    for (; t[i].kind != SqlToken::End; ++i) {
        depth.See(t[i]);
        if (depth.level == 0 && IsWord(t[i], "FROM")) break;
    }
    if (t[i].kind == SqlToken::End) throw vb::ComError(vb::kErrGeneric, "Invalid procedure call or argument");
    std::string part = vb::Trim(trimmed.substr(0, t[i].pos));
    part = vb::Replace(part, "\r", "");
    return vb::Replace(part, "\n", "");
}

// The statement a SQL Server view is made of: up to its first ";" and its ORDER BY (a view
// keeps no order), with the bare words True and False written 1 and 0. Literals and names
// ("[IsTrue]", 'True Blue') are kept as they are.
std::string ViewStatement(const std::string& sql) {
    const std::string body = vb::Trim(sql);
    const auto t = ado::TokenizeJetSql(body, ado::SqlErrors::Tolerate);
    std::string out;
    size_t copied = 0;
    Depth depth;
    size_t i = 0;
    for (; t[i].kind != SqlToken::End; ++i) {
        depth.See(t[i]);
        if (IsSymbol(t[i], ";")) break;
        if (depth.level == 0 && IsWord(t[i], "ORDER") && IsWord(t[i + 1], "BY")) break;
        const bool isTrue = IsWord(t[i], "True");
        if (isTrue || IsWord(t[i], "False")) {
            out += body.substr(copied, t[i].pos - copied);
            out += isTrue ? "1" : "0";
            copied = t[i].pos + t[i].len;
        }
    }
    return out + body.substr(copied, t[i].pos - copied);
}

// A view name as it goes into a statement: each dot-separated part that is not a plain name
// (letters, digits, "_") is bracketed, "]" doubled, so a name holding quotes or blanks stays
// one name.
std::string ViewNameInSql(const std::string& name) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        const std::string part =
            name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        bool plain = !part.empty();
        for (char c : part)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
                plain = false;
        out += plain ? part : "[" + vb::Replace(part, "]", "]]") + "]";
        if (dot == std::string::npos) break;
        out += '.';
        start = dot + 1;
    }
    return out;
}

}  // namespace

std::string clsConvert::DealWithRAWSQL(clsUpdateQueries& classifier, const std::string& sql,
                                       const std::string& defaultName) {
    std::string name;
    bool overwrite = false;
    try {
        if (MultipleReportsSelected) {
            name = defaultName;
            const std::string line = "Multiple Reports: defaulting to save/overwrite RAW SQL as " + name;
            if (window()) window()->AddResult(line);
            WriteErrorLog(line, "Add Query/View to Database", LogLevel::Error, "1");
            overwrite = classifier.IsQuery(name);
        } else if (classifier.IsQuery(defaultName)) {
            return defaultName;
        } else {
            msgBox("This report has RAW SQL for a record source.  You must save this as a query",
                   ui::vbExclamation + ui::vbOKOnly, "Add Database Connection");
            name = inputBox("New Query Name:", "", defaultName);
            while (classifier.IsQuery(name)) {
                if (msgBox("This query already exists.  Overwrite?", ui::vbQuestion + ui::vbYesNo,
                           "Overwrite Query") == ui::vbYes) {
                    overwrite = true;
                    break;
                }
                name = inputBox("New Query Name:", "", "qry" + ReportName + "_New");
            }
        }
        if (!AddView(name, sql, overwrite)) return "";
        return name;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DealWithRAWSQL", LogLevel::Error);
        return name;
    }
}

bool clsConvert::AddView(const std::string& name, const std::string& sql, bool overwrite) {
    try {
        if (!catalog_) ThrowNotSet();
        ado::Command command;
        command.CommandText = sql;
        if (backEndType_ == 3 || backEndType_ == 4)
            return CreateSQLView(catalog_->ActiveConnection(), sql, name, overwrite);
        if (overwrite) {
            adox::View& view = catalog_->Views().Item(name);
            view.Command.CommandText = sql;
            const ado::ConnectionPtr& connection = catalog_->ActiveConnection();
            if (!connection) ThrowNotSet();
            connection->driver().saveQuery(view.Name, sql, true);
            catalog_->setActiveConnection(connection);
            return true;
        }
        command.ActiveConnection = catalog_->ActiveConnection();
        catalog_->Procedures().Append(name, command);
        catalog_->Procedures().Refresh();
        return true;
    } catch (...) {
        const TrappedError e = CurrentError();
        WriteErrorLog(
            "Could not add view '" + name +
                "' to database.  This will have to be added manually in order to convert this report." +
                kCrLf + kCrLf + std::to_string(e.number) + " " + e.description,
            "Add Query/View to Database", LogLevel::Error, "1");
        return false;
    }
}

bool clsConvert::CompareSQL(const std::string& name, const std::string& sql) {
    try {
        if (!catalog_) ThrowNotSet();
        const std::string saved = catalog_->Views().Item(name).Command.CommandText;
        return SelectList(saved) == SelectList(sql);
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CompareSQL", LogLevel::Error, "1");
        return false;
    }
}

bool clsConvert::CreateSQLView(const ado::ConnectionPtr& connection, const std::string& sql,
                               const std::string& name, bool overwrite) {
    try {
        if (!connection) ThrowNotSet();
        if (overwrite) DropView(connection, name);
        // The rewrites touch the statement only: the view keeps the name the binding uses.
        connection->Execute("Create View dbo." + ViewNameInSql(name) + " as " + ViewStatement(sql));
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CreateSQLView", LogLevel::Error, "1");
        return false;
    }
}

bool clsConvert::DropView(const ado::ConnectionPtr& connection, const std::string& name) {
    try {
        if (!connection) ThrowNotSet();
        connection->Execute("Drop View " + ViewNameInSql(name));
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DropView", LogLevel::Error, "1");
        return false;
    }
}

}  // namespace tolvaran
