#pragma once
// One sorting and grouping level of a report (a "Begin BreakLevel" block of the export).
// Levels are numbered from 0 in export order, sort-only levels included.
#include <string>
#include <string_view>

#include "platform/access/properties.h"
#include "platform/common/variant.h"

namespace tolvaran::access {

class GroupLevel {
  public:
    int Index() const { return index_; }
    bool GroupHeader() const;
    bool GroupFooter() const;
    // A field name or an expression ("=Left([Name],1)").
    std::string ControlSource() const;
    // True for descending.
    bool SortOrder() const;
    int GroupOn() const;  // 0 each value, 1 prefix, 2 year, 3 quarter, 4 month, ...
    long GroupInterval() const;
    int KeepTogether() const;  // 0 no, 1 whole group, 2 with first detail

    // Any property by name; 2455 when the level has no such property.
    vb::Variant Property(std::string_view name) const;
    const PropertyBag& Explicit() const { return own_; }
    int SourceLine() const { return line_; }

  private:
    friend class ReportBuilder;
    GroupLevel() = default;

    int index_ = 0;
    int line_ = 0;
    PropertyBag own_;
};

}  // namespace tolvaran::access
