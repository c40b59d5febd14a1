#include "platform/ado/driver.h"
#include "platform/common/com_error.h"

namespace ado {

std::unique_ptr<Driver> OpenJetDriver(const std::string& file, const ConnectionSpec&) {
    throw vb::ComError(vb::kErrGeneric, "Access files cannot be opened in this build: " + file);
}

}  // namespace ado
