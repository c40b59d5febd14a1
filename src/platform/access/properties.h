#pragma once
// An ordered list of named values as a report export writes them: names compared without
// regard to ASCII case, a repeated name replacing the earlier value (last one wins) while
// keeping its first position.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/common/variant.h"

namespace tolvaran::access {

class PropertyBag {
  public:
    // The value, or nullptr when the name is not there.
    const vb::Variant* Find(std::string_view name) const;
    bool Has(std::string_view name) const { return Find(name) != nullptr; }
    void Set(std::string_view name, vb::Variant value);
    size_t Count() const { return items_.size(); }
    const std::vector<std::pair<std::string, vb::Variant>>& Items() const { return items_; }

  private:
    std::vector<std::pair<std::string, vb::Variant>> items_;
};

}  // namespace tolvaran::access
