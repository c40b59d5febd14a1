#include "platform/access/properties.h"

#include "platform/common/text.h"

namespace tolvaran::access {

const vb::Variant* PropertyBag::Find(std::string_view name) const {
    for (const auto& [key, value] : items_)
        if (EqualsNoCase(key, name)) return &value;
    return nullptr;
}

void PropertyBag::Set(std::string_view name, vb::Variant value) {
    for (auto& [key, old] : items_) {
        if (EqualsNoCase(key, name)) {
            old = std::move(value);
            return;
        }
    }
    items_.emplace_back(std::string(name), std::move(value));
}

}  // namespace tolvaran::access
