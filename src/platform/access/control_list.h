#pragma once
// A Controls collection: items by position (from 0, as Access counts) and by name
// (case-insensitive). A missing item throws vb::ComError 2465. Holds non-owning pointers;
// the Report owns the controls.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/access/control.h"

namespace tolvaran::access {

class ControlList {
  public:
    long Count() const { return static_cast<long>(items_.size()); }
    Control& Item(long index) const;
    Control& Item(std::string_view name) const;
    Control& operator()(long index) const { return Item(index); }
    Control& operator()(std::string_view name) const { return Item(name); }
    // nullptr when there is no control of that name.
    Control* Find(std::string_view name) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    friend class ReportBuilder;
    std::vector<Control*> items_;
    // The first control of each name (upper-cased as names compare), for the items indexed so
    // far: a lookup by name costs the same in a collection of any size. Controls keep their
    // names once read.
    mutable std::unordered_map<std::string, Control*> byName_;
    mutable size_t indexed_ = 0;
};

}  // namespace tolvaran::access
