#pragma once
// One section of a report. Section numbers: 0 detail, 1 report header, 2 report footer,
// 3 page header, 4 page footer, 5 + 2j and 6 + 2j the header and footer of group level j.
// Sections are owned by their Report.
#include <string>
#include <string_view>
#include <vector>

#include "platform/access/control_list.h"
#include "platform/access/properties.h"
#include "platform/common/variant.h"

namespace tolvaran::access {

class Section {
  public:
    int Number() const { return number_; }
    // The export keyword: "Section", "FormHeader", "FormFooter", "PageHeader", "PageFooter",
    // "BreakHeader" or "BreakFooter".
    const std::string& Kind() const { return kind_; }
    // The section's own (localised) name.
    std::string Name() const;
    bool Visible() const;
    long Height() const;  // twips
    bool CanGrow() const;
    bool CanShrink() const;
    int ForceNewPage() const;  // 0 none, 1 before, 2 after, 3 both
    int KeepTogether() const;
    // The group level a group section belongs to (BreakLevel, 0 when absent); -1 for other
    // sections.
    int BreakLevel() const;

    // The section's controls at any depth (attached labels included), in export order.
    const ControlList& Controls() const { return controls_; }

    // Any property by name; 2455 when the section has no such property.
    vb::Variant Property(std::string_view name) const;
    const PropertyBag& Explicit() const { return own_; }
    int SourceLine() const { return line_; }

  private:
    friend class ReportBuilder;
    Section() = default;

    int number_ = 0;
    int line_ = 0;
    std::string kind_;
    PropertyBag own_;
    ControlList controls_;
};

}  // namespace tolvaran::access
