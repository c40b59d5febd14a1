#pragma once
// Access's own defaults: what a property reads when neither the object's block nor the
// report's defaults block sets it, which objects have which property, and what
// "Prop = NotDefault" means. Internal to platform/access.
#include <optional>
#include <string_view>

#include "platform/common/variant.h"

namespace tolvaran::access::detail {

// The name under which the export writes a property ("BorderStyle" is written
// "OldBorderStyle"); the name itself for every other property.
std::string_view ExportName(std::string_view name);

// The value "Name = NotDefault" stands for: the opposite of the Boolean's default. For a
// control (controlType >= 0) its own default decides where the table has one (a subreport
// control's CanGrow defaults to True); otherwise Visible, TabStop, Enabled, ... default to
// True and every other flag to False.
vb::Variant NotDefaultValue(std::string_view name, int controlType = -1);

// Built-in defaults; std::nullopt when the object does not have the property.
std::optional<vb::Variant> ControlDefault(int controlType, std::string_view name);
std::optional<vb::Variant> SectionDefault(std::string_view name);
std::optional<vb::Variant> GroupLevelDefault(std::string_view name);
std::optional<vb::Variant> ReportDefault(std::string_view name);

}  // namespace tolvaran::access::detail
