#include "sources/link.h"

namespace tolvaran {

std::string clsLink::credentialsTail() {
    if (!UseNTAuth) return ";User ID=" + UserId + ";Password=" + Password;
    return ";Integrated Security=SSPI";
}

std::string clsLink::ODBCConnectionString() {
    std::string s = DSN.empty() ? std::string() : "DSN=" + DSN;
    if (Provider.empty()) Provider = "{SQL Server}";
    s += credentialsTail();
    connectionString_ = s;
    return s;
}

std::string clsLink::SQLConnectionString() {
    std::string s =
        "Provider=SQLOLEDB.1;Data Source=" + Server + ";Database=" + SQLDatabase + credentialsTail();
    connectionString_ = s;
    return s;
}

std::string clsLink::AccessConnectionString() {
    std::string s = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + LinkDatabase;
    if (UserId.empty()) UserId = "Admin";
    s += ";User ID=" + UserId + ";Password=" + Password;
    connectionString_ = s;
    return s;
}

std::string clsLink::InternalConnectionString() {
    return AccessConnectionString();
}

std::string clsLink::ConnectionString() {
    switch (LinkType) {
        case kLinkInternal:
            return InternalConnectionString();
        case kLinkAccess:
            return AccessConnectionString();
        case kLinkOdbc:
            return ODBCConnectionString();
        case kLinkDataProject:
            return SQLConnectionString();
        default:
            return {};
    }
}

bool clsLink::openConnection(ui::Prompt& prompt, const ado::ConnectionOptions& options) {
    db_ = std::make_shared<ado::Connection>();
    db_->setOptions(options);
    std::string failure;
    try {
        std::string text = ConnectionString();
        db_->setConnectionString(text);
        db_->Open();
        return true;
    } catch (const vb::ComError& e) {
        failure = e.Description();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (failureTold_) return false;
    failureTold_ = true;
    if (LinkType == kLinkInternal || LinkType == kLinkAccess)
        failure += "\r\nThe link " + Name + " reads the Access file " + LinkDatabase +
                   ". Set where it is with Edit, on the Access tab.";
    prompt.MsgBox(failure, ui::vbOKOnly, "clsLink.OpenConnection");
    return false;
}

}  // namespace tolvaran
