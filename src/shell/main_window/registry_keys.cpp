#include "shell/main_window/registry_keys.h"

namespace tolvaran {

vb::Variant RegistryKeys::Query(const std::string& keyPath, const std::string& valueName) {
    if (!registry_) return {};
    const auto value = registry_->Get("HKEY_LOCAL_MACHINE\\" + keyPath, valueName);
    if (!value) return {};
    switch (value->type) {
        case registry::REG_SZ:
            return vb::Variant(value->text);
        case registry::REG_DWORD:
            return vb::Variant(static_cast<long long>(value->dword));
        case registry::REG_BINARY:
            return vb::Variant(vb::Bytes(value->bytes));
        default:
            return {};  // expanded and multi-string values read as missing
    }
}

}  // namespace tolvaran
