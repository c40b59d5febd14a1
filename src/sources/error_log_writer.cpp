#include "sources/error_log_writer.h"

#include "store/text_log.h"

namespace tolvaran {

ErrorLogWriter ListsFileErrorLog(const ado::ConnectionPtr& listsDb) {
    return [listsDb](const std::string& desc, const std::string& formula, const std::string& access,
                     const std::string& crystal, const std::string& report) {
        return AppendErrorLog(listsDb, desc, formula, access, crystal, report);
    };
}

}  // namespace tolvaran
