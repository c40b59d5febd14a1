#pragma once
// An Access report as the automation object model shows it, read from a report export
// (the text Access writes with SaveAsText). A Report owns its sections, group levels and
// controls; references handed out live as long as the Report.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/access/control.h"
#include "platform/access/control_list.h"
#include "platform/access/group_level.h"
#include "platform/access/properties.h"
#include "platform/access/section.h"
#include "platform/common/variant.h"

namespace tolvaran::access {

inline constexpr int kMaxSectionNumber = 25;
// The group levels whose sections get numbers (5 + 2j and 6 + 2j, those up to kMaxSectionNumber).
inline constexpr int kMaxGroupLevel = 10;

class Report {
  public:
    // The report's name (the export file's name without its extension).
    const std::string& Name() const { return name_; }
    // A table or query name, SQL, or "" when the export has none.
    std::string RecordSource() const;
    // Paper orientation: 1 portrait, 2 landscape. From the PrtDevMode(W) block when present,
    // else from the export tool's sidecar, else 1.
    int Orientation() const { return orientation_; }
    long Width() const;  // twips
    std::string InputParameters() const;
    std::string Caption() const;

    // Section i (0..25); vb::ComError 2462 when the report has no such section.
    access::Section& Section(int i) const;
    bool HasSection(int i) const;
    // The numbers of the sections present, ascending.
    std::vector<int> SectionNumbers() const;
    // The names (the block's keyword when it has none) of the section blocks that have no
    // section number, in export order: a second section of a number already taken, or a
    // group section of a level past 10. Their controls are in Controls(), in no section.
    const std::vector<std::string>& LeftOutSections() const { return leftOut_; }
    int SectionCount() const;

    // Group level i (from 0); vb::ComError 2464 when there is no such level.
    access::GroupLevel& GroupLevel(int i) const;
    int GroupLevelCount() const { return static_cast<int>(levels_.size()); }

    // Every control of every section at any depth, in export order.
    const ControlList& Controls() const { return controls_; }
    // A control by name; vb::ComError 2465 when there is none.
    Control& Controls(std::string_view name) const { return controls_.Item(name); }

    // Any report property by name; 2455 when the report has no such property.
    vb::Variant Property(std::string_view name) const;
    const PropertyBag& Explicit() const { return own_; }
    // The per-kind defaults block ("TextBox", "Label", ...); nullptr when the export has none.
    const PropertyBag* DefaultsFor(std::string_view kind) const;

    // The "Version =" line of the export (17..21 seen), 0 when absent.
    int ExportVersion() const { return version_; }
    // The VBA text after "CodeBehindForm", "" when none.
    const std::string& CodeBehindForm() const { return code_; }
    // The file the report was read from.
    const std::string& SourceFile() const { return file_; }

  private:
    friend class ReportBuilder;
    Report() = default;

    std::string name_;
    std::string file_;
    std::string code_;
    int version_ = 0;
    int orientation_ = 1;
    PropertyBag own_;
    std::vector<std::pair<std::string, PropertyBag>> defaults_;
    std::array<std::unique_ptr<access::Section>, kMaxSectionNumber + 1> sections_{};
    std::vector<std::unique_ptr<access::GroupLevel>> levels_;
    std::vector<std::string> leftOut_;
    std::vector<std::unique_ptr<Control>> owned_;
    ControlList controls_;
};

using ReportPtr = std::shared_ptr<Report>;

}  // namespace tolvaran::access
