#include "platform/access/properties.h"

namespace tolvaran::access {

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

const vb::Variant* PropertyBag::Find(std::string_view name) const {
    for (const auto& [key, value] : items_)
        if (SameName(key, name)) return &value;
    return nullptr;
}

void PropertyBag::Set(std::string_view name, vb::Variant value) {
    for (auto& [key, old] : items_) {
        if (SameName(key, name)) {
            old = std::move(value);
            return;
        }
    }
    items_.emplace_back(std::string(name), std::move(value));
}

}  // namespace tolvaran::access
