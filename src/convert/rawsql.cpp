// Raw-SQL record sources: an SQL statement used as a report's record source is saved in the
// source database as a named query (or, on an ODBC or SQL Server back end, a view), and the
// report is bound to that name.
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "sources/update_queries.h"

namespace tolvaran {

namespace {

constexpr const char* kCrLf = "\r\n";

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Offset of the keyword FROM (any case, a whole word, outside bracketed names and quoted
// literals) in text; npos when there is none.
std::size_t FindFromKeyword(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '[' || c == '"' || c == '\'' || c == '`') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = text.find(close, i + 1);
            if (end == std::string::npos) return std::string::npos;
            i = end;
            continue;
        }
        if (i + 4 > text.size() || vb::UCase(text.substr(i, 4)) != "FROM") continue;
        if (i > 0 && IsWordChar(text[i - 1])) continue;
        if (i + 4 < text.size() && IsWordChar(text[i + 4])) continue;
        return i;
    }
    return std::string::npos;
}

// The select list of a statement: the trimmed text before its FROM, trimmed, without line
// breaks. A FROM inside a name ("DateFrom", "[Date From]") does not end the list. A statement
// without FROM raises "Invalid procedure call or argument".
std::string SelectList(const std::string& sql) {
    const std::string trimmed = vb::Trim(sql);
    const std::size_t p = FindFromKeyword(trimmed);
    if (p == std::string::npos) throw vb::ComError(vb::kErrGeneric, "Invalid procedure call or argument");
    std::string part = vb::Trim(trimmed.substr(0, p));
    part = vb::Replace(part, "\r", "");
    return vb::Replace(part, "\n", "");
}

// A view name as it goes into a statement: each dot-separated part that is not a plain name
// (letters, digits, "_") is bracketed, "]" doubled, so a name holding quotes or blanks stays
// one name.
std::string ViewNameInSql(const std::string& name) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        const std::string part = name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
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
            WriteErrorLog(line, "Add Query/View to Database", "1", 1);
            overwrite = classifier.IsQuery(name);
        } else if (classifier.IsQuery(defaultName)) {
            return defaultName;
        } else {
            msgBox("This report has RAW SQL for a record source.  You must save this as a query",
                   ui::vbExclamation + ui::vbOKOnly, "Add Database Connection");
            name = inputBox("New Query Name:", "", defaultName);
            while (classifier.IsQuery(name)) {
                if (msgBox("This query already exists.  Overwrite?", ui::vbQuestion + ui::vbYesNo, "Overwrite Query") ==
                    ui::vbYes) {
                    overwrite = true;
                    break;
                }
                name = inputBox("New Query Name:", "", "qry" + ReportName + "_New");
            }
        }
        if (!AddView(name, sql, overwrite)) return "";
        return name;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DealWithRAWSQL", "", 1);
        return name;
    }
}

bool clsConvert::AddView(const std::string& name, const std::string& sql, bool overwrite) {
    try {
        if (!catalog_) ThrowNotSet();
        ado::Command command;
        command.CommandText = sql;
        if (backEndType_ == 3 || backEndType_ == 4) return CreateSQLView(catalog_->ActiveConnection(), sql, name, overwrite);
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
        WriteErrorLog("Could not add view '" + name +
                          "' to database.  This will have to be added manually in order to convert this report." +
                          kCrLf + kCrLf + std::to_string(e.number) + " " + e.description,
                      "Add Query/View to Database", "1", 1);
        return false;
    }
}

bool clsConvert::CompareSQL(const std::string& name, const std::string& sql) {
    try {
        if (!catalog_) ThrowNotSet();
        const std::string saved = catalog_->Views().Item(name).Command.CommandText;
        return SelectList(saved) == SelectList(sql);
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CompareSQL", "1", 1);
        return false;
    }
}

bool clsConvert::CreateSQLView(const ado::ConnectionPtr& connection, const std::string& sql, const std::string& name,
                               bool overwrite) {
    try {
        if (!connection) ThrowNotSet();
        if (overwrite) DropView(connection, name);
        std::string body = vb::Trim(sql);
        const long semicolon = vb::InStr(body, ";");
        if (semicolon > 0) body = vb::Left(body, semicolon - 1);
        // The rewrites touch the statement only: the view keeps the name the binding uses.
        body = vb::Replace(body, "True", "1");
        body = vb::Replace(body, "False", "0");
        const long orderBy = vb::InStr(body, "ORDER BY");
        if (orderBy > 0) body = vb::Left(body, orderBy - 1);
        connection->Execute("Create View dbo." + ViewNameInSql(name) + " as " + body);
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CreateSQLView", "1", 1);
        return false;
    }
}

bool clsConvert::DropView(const ado::ConnectionPtr& connection, const std::string& name) {
    try {
        if (!connection) ThrowNotSet();
        connection->Execute("Drop View " + ViewNameInSql(name));
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "DropView", "1", 1);
        return false;
    }
}

}  // namespace tolvaran
