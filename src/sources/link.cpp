#include "sources/link.h"

#include "sources/connect_text.h"

namespace tolvaran {

std::string clsLink::ODBCConnectionString() {
    if (Provider.empty()) Provider = "{SQL Server}";
    connectionString_ = OdbcConnectionText(DSN, UserId, Password, UseNTAuth);
    return connectionString_;
}

std::string clsLink::SQLConnectionString() {
    connectionString_ = SqlServerConnectionText(Server, SQLDatabase, UserId, Password, UseNTAuth);
    return connectionString_;
}

std::string clsLink::AccessConnectionString() {
    if (UserId.empty()) UserId = "Admin";
    connectionString_ = AccessConnectionText(LinkDatabase, UserId, Password);
    return connectionString_;
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
