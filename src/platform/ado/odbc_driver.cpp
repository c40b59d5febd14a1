#include "platform/ado/driver.h"
#include "platform/common/com_error.h"

namespace ado {

std::unique_ptr<Driver> OpenOdbcDriver(const std::string& odbcConnectionString, const ConnectionSpec&) {
    throw vb::ComError(vb::kErrGeneric, "ODBC connections are not available in this build: " + odbcConnectionString);
}

}  // namespace ado
