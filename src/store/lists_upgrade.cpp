// Bringing a lists file made by an earlier template up to the shipped template (tolvaran.f2):
// what the template defines and the file lacks or defines otherwise is taken from the
// template itself, so the template stays the one place the lists file's schema is written.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "store/internal_store.h"
#include "store/store_lock.h"

namespace tolvaran {

namespace {

struct SchemaObject {
    std::string type, name, table, sql;
};

// The first column of every row sql gives.
std::vector<vb::Variant> Values(const ado::ConnectionPtr& db, const std::string& sql,
                                const std::vector<vb::Variant>& params = {}) {
    std::vector<vb::Variant> values;
    ado::Recordset rs;
    rs.Open(sql, db, ado::adOpenForwardOnly, ado::adLockReadOnly, params);
    for (; !rs.Eof(); rs.MoveNext()) values.push_back(rs.Fields(0).Value());
    rs.Close();
    return values;
}

// The named objects of one schema ("main" or the attached template), tables first.
std::vector<SchemaObject> SchemaOf(const ado::ConnectionPtr& db, const std::string& schema) {
    std::vector<SchemaObject> objects;
    ado::Recordset rs;
    rs.Open("SELECT type, name, tbl_name, sql FROM " + schema +
                ".sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite%' "
                "ORDER BY CASE type WHEN 'table' THEN 0 ELSE 1 END",
            db);
    for (; !rs.Eof(); rs.MoveNext())
        objects.push_back(
            {rs["type"].ToString(), rs["name"].ToString(), rs["tbl_name"].ToString(), rs["sql"].ToString()});
    rs.Close();
    return objects;
}

const SchemaObject* Find(const std::vector<SchemaObject>& objects, const std::string& type,
                         const std::string& name) {
    for (const SchemaObject& o : objects)
        if (o.type == type && EqualsNoCase(o.name, name)) return &o;
    return nullptr;
}

std::vector<std::string> ColumnsOf(const ado::ConnectionPtr& db, const std::string& table) {
    std::vector<std::string> names;
    for (const vb::Variant& v : Values(db, "SELECT name FROM pragma_table_info(?, 'main')", {table}))
        names.push_back(v.ToString());
    return names;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool NeverReusesKeys(const std::string& createSql) {
    return FindNoCase(createSql, "AUTOINCREMENT") != std::string::npos;
}

// Rebuilds a table by the template's definition, keeping every row and its key. The
// template's table gives no key twice; the rebuilt one goes on after the highest key it holds
// or any other table still refers to (rows a removed entry left behind), so none of those is
// given again. The file's own indexes of the table are made again.
void Rebuild(const ado::ConnectionPtr& db, const SchemaObject& shipped,
             const std::vector<SchemaObject>& current) {
    const std::string& name = shipped.name;
    const std::string earlier = name + "__earlier";
    const std::vector<vb::Variant> key =
        Values(db, "SELECT name FROM pragma_table_info(?, 'main') WHERE pk = 1", {name});
    db->Execute("ALTER TABLE main." + name + " RENAME TO " + earlier);
    db->Execute(shipped.sql);
    // Every column of the file is kept with its values, also one the template lacks (added
    // after the template's own, with its declared type and default).
    std::string kept;
    const std::vector<std::string> columns = ColumnsOf(db, name);
    ado::Recordset rs;
    rs.Open("SELECT name, type, dflt_value FROM pragma_table_info(?, 'main') ORDER BY cid", db,
            ado::adOpenStatic, ado::adLockReadOnly, {earlier});
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string column = db->driver().quoteName(rs["name"].ToString());
        if (!Holds(columns, rs["name"].ToString())) {
            const std::string added =
                "ALTER TABLE main." + name + " ADD COLUMN " + column + " " + rs["type"].ToString();
            try {
                db->Execute(rs["dflt_value"].IsNull() ? added
                                                      : added + " DEFAULT " + rs["dflt_value"].ToString());
            } catch (const vb::ComError&) {
                db->Execute(added);  // a default an added column cannot have (not a constant)
            }
        }
        kept += (kept.empty() ? "" : ", ") + column;
    }
    rs.Close();
    db->Execute("INSERT INTO main." + name + " (" + kept + ") SELECT " + kept + " FROM main." + earlier);
    db->Execute("DROP TABLE main." + earlier);
    for (const SchemaObject& o : current)
        if (o.type == "index" && EqualsNoCase(o.table, name)) db->Execute(o.sql);
    if (key.size() != 1) return;
    const std::string keyColumn = key[0].ToString();
    long long highest = 0;
    for (const vb::Variant& table : Values(db, "SELECT name FROM main.sqlite_master WHERE type = 'table'")) {
        if (!Holds(ColumnsOf(db, table.ToString()), keyColumn)) continue;
        for (const vb::Variant& max :
             Values(db, "SELECT MAX(" + keyColumn + ") FROM main." + table.ToString()))
            if (!max.IsNull()) highest = std::max<long long>(highest, max.ToLong());
    }
    db->Execute("DELETE FROM main.sqlite_sequence WHERE name = ?", {name});
    db->Execute("INSERT INTO main.sqlite_sequence (name, seq) VALUES (?, ?)", {name, vb::Variant(highest)});
}

// What the file lacks or defines otherwise than its template.
struct Differences {
    std::vector<const SchemaObject*> tables, views, indexes;  // of the template
    bool None() const { return tables.empty() && views.empty() && indexes.empty(); }
};

Differences Compare(const std::vector<SchemaObject>& shipped, const std::vector<SchemaObject>& current) {
    Differences d;
    for (const SchemaObject& o : shipped) {
        const SchemaObject* mine = Find(current, o.type, o.name);
        if (o.type == "table" && mine && NeverReusesKeys(o.sql) && !NeverReusesKeys(mine->sql))
            d.tables.push_back(&o);
        else if (o.type == "view" && (!mine || mine->sql != o.sql))
            d.views.push_back(&o);
        else if (o.type == "index" && !mine)
            d.indexes.push_back(&o);
    }
    return d;
}

void Apply(const ado::ConnectionPtr& db, const Differences& d, const std::vector<SchemaObject>& current) {
    for (const SchemaObject* t : d.tables) Rebuild(db, *t, current);
    for (const SchemaObject* v : d.views) {
        db->Execute("DROP VIEW IF EXISTS main." + v->name);
        db->Execute(v->sql);
    }
    for (const SchemaObject* i : d.indexes) db->Execute(i->sql);
}

// The template attached to the lists file as "shipped" for the scope, and table renames that
// leave the views reading a table by its name alone.
class ShippedTemplate {
  public:
    ShippedTemplate(const ado::ConnectionPtr& db, const std::string& file) : db_(db) {
        db_->Execute("ATTACH DATABASE ? AS shipped", {file});
        db_->Execute("PRAGMA legacy_alter_table = ON");
    }
    ~ShippedTemplate() {
        try {
            db_->Execute("PRAGMA legacy_alter_table = OFF");
            db_->Execute("DETACH DATABASE shipped");
        } catch (const vb::ComError&) {
            // The connection is closed with it at the end of the run.
        }
    }
    ShippedTemplate(const ShippedTemplate&) = delete;
    ShippedTemplate& operator=(const ShippedTemplate&) = delete;

  private:
    ado::ConnectionPtr db_;
};

}  // namespace

void UpgradeListsFile(const ado::ConnectionPtr& lists, const std::string& templateFile,
                      const std::string& listsFile, const LockWait& waiting) {
    std::error_code ec;
    if (!lists || lists->State() != ado::adStateOpen || lists->driver().kind() != ado::EngineKind::SQLite ||
        lists->driver().readOnly() || !std::filesystem::is_regular_file(templateFile, ec))
        return;
    try {
        // The first read of the file: another program's lock is met here or at the transaction.
        std::vector<SchemaObject> current;
        WithLockWait(lists, "lists file", listsFile, waiting, [&] { current = SchemaOf(lists, "main"); });
        ShippedTemplate shipped(lists, templateFile);
        const std::vector<SchemaObject> objects = SchemaOf(lists, "shipped");
        const Differences differences = Compare(objects, current);
        if (differences.None()) return;
        WithLockWait(lists, "lists file", listsFile, waiting, [&] { lists->BeginTrans(); });
        try {
            Apply(lists, differences, current);
            lists->CommitTrans();
        } catch (...) {
            lists->RollbackTrans();
            throw;
        }
    } catch (const std::exception& e) {
        const auto* com = dynamic_cast<const vb::ComError*>(&e);
        throw vb::ComError(com ? com->Number() : vb::kErrGeneric,
                           StoreFileError("lists file", listsFile, e) +
                               ". It must be brought up to date before it is used, and was not.");
    }
}

}  // namespace tolvaran
