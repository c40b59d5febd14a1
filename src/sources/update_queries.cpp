#include "sources/update_queries.h"

#include "platform/common/text.h"

namespace tolvaran {

namespace {

bool kindWithCatalog(short kind) {
    return kind >= 0 && kind <= 4;
}

}  // namespace

const std::shared_ptr<adox::Catalog>& clsUpdateQueries::oCat() {
    if (!catalog_) catalog_ = std::make_shared<adox::Catalog>();
    return catalog_;
}

bool clsUpdateQueries::IsStoredProcedure(const std::string& name) {
    try {
        if (BackEndDatabaseType != 2 && BackEndDatabaseType != 4) return false;
        for (const adox::Procedure& p : oCat()->Procedures()) {
            if (FindNoCase(p.Name, name) != std::string::npos) {
                procedure_ = p;
                return true;
            }
        }
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "clsUpdateQueries.IsStoredProcedure");
    }
    return false;
}

bool clsUpdateQueries::IsQuery(const std::string& name, bool) {
    try {
        if (!kindWithCatalog(BackEndDatabaseType)) return false;
        for (adox::Table& t : oCat()->Tables())
            if (t.Type == "VIEW" && EqualsNoCase(t.Name, name)) return true;
        for (const adox::Procedure& p : oCat()->Procedures())
            if (EqualsNoCase(p.Name, name)) return true;
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "clsUpdateQueries.IsQuery");
    }
    return false;
}

bool clsUpdateQueries::CanUseCurrentProject(access::Application& app) {
    try {
        (void)app.CurrentData().AllTables().Count();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsUpdateQueries::CanUseCurrentdb(access::Application& app) {
    try {
        (void)app.CurrentDb().TableDefs().Count();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool clsUpdateQueries::IsTable(const std::string& name) {
    try {
        if (kindWithCatalog(BackEndDatabaseType)) {
            for (adox::Table& t : oCat()->Tables())
                if (EqualsNoCase(t.Name, name)) return true;
            return false;
        }
        access::Application* const* held = std::get_if<access::Application*>(&ToDb);
        access::Application* app = held ? *held : nullptr;
        access::NamedList list;
        if (app && CanUseCurrentProject(*app)) {
            list = app->CurrentData().AllTables();
        } else if (app && CanUseCurrentdb(*app)) {
            list = app->CurrentDb().TableDefs();
        } else {
            prompt_.MsgBox("Neither CurrentData.AllTables nor CurrentDb.TableDefs could be read.",
                           ui::vbOKOnly, "IsTable");
            return false;
        }
        for (long i = 0; i < list.Count(); ++i)
            if (list.Item(i).Name == name) return true;
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "IsTable");
    }
    return false;
}

bool clsUpdateQueries::UpdateBackEndQueries(const std::string& source, const std::string& target,
                                            short kind) {
    try {
        if (kind != 1 || IsQuery(target)) return true;
        auto database = [](const DataObject& o) -> std::optional<access::Database> {
            if (auto d = std::get_if<access::Database>(&o)) return *d;
            if (auto a = std::get_if<access::Application*>(&o); a && *a) return (*a)->CurrentDb();
            return std::nullopt;
        };
        std::optional<access::Database> to = database(ToDb);
        std::optional<access::Database> from = database(FromDb);
        if (!to || !from) return true;
        access::QueryDef created = to->CreateQueryDef(target);
        access::QueryDef original = from->QueryDefs(source);
        created.setSQL(original.SQL());
        created.Close();
        original.Close();
    } catch (const std::exception&) {
        // A back end that refuses the copy stays as it was.
    }
    return true;
}

}  // namespace tolvaran
