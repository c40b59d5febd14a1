#include "sources/links_manager.h"

#include "platform/common/text.h"

namespace tolvaran {

namespace {

std::string text(const vb::Variant& v, const char* whenNull = "") {
    return vb::NZ(v, whenNull).ToString();
}

}  // namespace

const LinkPtr& LinkCollection::Item(long position) const {
    if (position < 1 || position > Count()) throw vb::ComError(9, "Subscript out of range");
    return items_[static_cast<size_t>(position - 1)].link;
}

bool LinkCollection::HasKey(const std::string& key) const {
    for (const Entry& e : items_)
        if (!e.key.empty() && EqualsNoCase(e.key, key)) return true;
    return false;
}

void LinkCollection::Add(LinkPtr link, const std::string& key) {
    if (!key.empty() && HasKey(key))
        throw vb::ComError(457, "This key is already associated with an element of this collection");
    links_.push_back(link);
    items_.push_back(Entry{key, std::move(link)});
}

void LinkCollection::Remove(long position) {
    if (position < 1 || position > Count()) throw vb::ComError(9, "Subscript out of range");
    items_.erase(items_.begin() + (position - 1));
    links_.erase(links_.begin() + (position - 1));
}

clsManageLinks::clsManageLinks(ui::Prompt& prompt)
    : prompt_(prompt), accessFactory_([] { return std::make_unique<access::Application>(); }) {}

LinkPtr clsManageLinks::GetFirstLink(long kind) const {
    for (const LinkPtr& l : links_)
        if (l->LinkType == kind) return l;
    return std::make_shared<clsLink>();
}

LinkPtr clsManageLinks::Item(const std::string& name) const {
    for (const LinkPtr& l : links_)
        if (l->Name == name) return l;
    return std::make_shared<clsLink>();
}

void clsManageLinks::LoadODBCList(ListControl& list) const {
    list.Clear();
    if (ODBCLinksCount_ <= 0) return;
    for (const LinkPtr& l : links_)
        if (l->LinkType == kLinkOdbc) list.AddItem(l->Name);
}

void clsManageLinks::LoadAccessList(ListControl& list) const {
    for (const LinkPtr& l : links_)
        if (l->LinkType == kLinkInternal || l->LinkType == kLinkAccess) list.AddItem(l->LinkDatabase);
}

bool clsManageLinks::NotAdded(const std::string& linkDatabase) const {
    for (const LinkPtr& l : links_)
        if (l->LinkDatabase == linkDatabase) return false;
    return true;
}

void clsManageLinks::ClearAllLinks() {
    while (links_.Count() > 0) links_.Remove(1);
    InternalTablesCount_ = 0;
    AccessLinksCount_ = 0;
    ODBCLinksCount_ = 0;
}

void clsManageLinks::count(long kind) {
    if (kind == kLinkInternal) ++InternalTablesCount_;
    if (kind == kLinkAccess) ++AccessLinksCount_;
    if (kind == kLinkOdbc) ++ODBCLinksCount_;
}

void clsManageLinks::LoadAll(long entryId) {
    ClearAllLinks();
    ado::Recordset rs;
    rs.Open("SELECT * FROM DatabaseConnections WHERE DatabaseListId = ?", db_, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {entryId});
    if (rs.Eof()) {
        prompt_.MsgBox("There are no database connections referenced!", ui::vbCritical);
    } else {
        for (; !rs.Eof(); rs.MoveNext()) {
            auto link = std::make_shared<clsLink>();
            link->LinkDatabase = text(rs["LinkDatabase"]);
            link->Server = text(rs["Server"]);
            link->SQLDatabase = text(rs["SQLDatabaseName"]);
            link->DSN = text(rs["DSN"]);
            link->UseNTAuth = rs["UseNTAuth"].ToBool();
            link->SecurityFile = text(rs["SecurityFile"]);
            link->UserId = text(rs["LoginId"], "Admin");
            link->Password = text(rs["Password"]);
            link->LinkType = static_cast<long>(vb::NZ(rs["BackEndType"], 0).ToLong());
            link->setConnectionString(text(rs["ConnectionString"]));
            link->Name = text(rs["LinkName"]);
            link->SecurityFile = text(rs["SecurityFile"]);
            count(link->LinkType);
            links_.Add(link, link->Name);
        }
    }
    rs.Close();
}

bool clsManageLinks::SaveAll(long entryId) {
    try {
        for (const LinkPtr& link : links_) {
            ado::Recordset rs;
            rs.Open("SELECT * FROM DatabaseConnections WHERE DatabaseListId = ? AND LinkName = ?", db_,
                    ado::adOpenDynamic, ado::adLockOptimistic, {entryId, link->Name});
            if (rs.Eof()) rs.AddNew();
            rs.set("DatabaseListId", entryId);
            rs.set("LinkDatabase", link->LinkDatabase);
            rs.set("Server", link->Server);
            rs.set("SQLDatabaseName", link->SQLDatabase);
            rs.set("DSN", link->DSN);
            rs.set("UseNTAuth", link->UseNTAuth);
            rs.set("SecurityFile", link->SecurityFile);
            rs.set("LoginId", link->UserId);
            rs.set("Password", link->Password);
            rs.set("BackEndType", link->LinkType);
            rs.set("ConnectionString", link->ConnectionString());
            rs.set("LinkName", link->Name);
            rs.Update();
            rs.Close();
        }
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "Save Database Connections");
    }
    return false;
}

}  // namespace tolvaran
