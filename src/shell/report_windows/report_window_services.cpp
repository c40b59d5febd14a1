#include "shell/report_windows/report_window_services.h"

#include "store/context.h"
#include "store/internal_store.h"

namespace tolvaran {

ado::ConnectionPtr OpenListsConnection(const AppContext& ctx) {
    if (ctx.gDb && ctx.gDb->State() == ado::adStateOpen) {
        auto conn = std::make_shared<ado::Connection>();
        conn->Provider = "Microsoft.Jet.OLEDB.4.0";
        conn->Open(ctx.gDb->ConnectionString());
        return conn;
    }
    return SetConn(ctx.InFolder(kListsFile), kStorePassword);
}

}  // namespace tolvaran
