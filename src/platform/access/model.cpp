// Property resolution of the report model: own block, then the report's defaults block for
// the control's kind, then Access's built-in default.
#include <string>

#include "platform/access/builtin_defaults.h"
#include "platform/access/errors.h"
#include "platform/access/report.h"
#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/vbconvert.h"

namespace tolvaran::access {

namespace {

// A property as the language's CLng reads it: Overflow (6) beyond 32 bits, never a wrapped
// number.
long Whole(const vb::Variant& v) {
    return static_cast<long>(vb::CLng(v).ToLong());
}

// The same for the properties the model gives as int (within 32 bits, so nothing is lost).
int WholeInt(const vb::Variant& v) {
    return static_cast<int>(Whole(v));
}

[[noreturn]] void NoSuchProperty(std::string_view name) {
    throw vb::ComError(
        kErrNoSuchProperty,
        "You entered an expression that has an invalid reference to the property " + std::string(name) + ".");
}

const vb::Variant* FindOwn(const PropertyBag& bag, std::string_view name) {
    std::string_view exported = detail::ExportName(name);
    if (const vb::Variant* v = bag.Find(exported)) return v;
    return exported == name ? nullptr : bag.Find(name);
}

struct KindEntry {
    const char* kind;
    int type;
};
constexpr KindEntry kKinds[] = {
    {"Label", acLabel},
    {"Rectangle", acRectangle},
    {"Line", acLine},
    {"Image", acImage},
    {"CommandButton", acCommandButton},
    {"OptionButton", acOptionButton},
    {"CheckBox", acCheckBox},
    {"OptionGroup", acOptionGroup},
    {"BoundObjectFrame", acBoundObjectFrame},
    {"TextBox", acTextBox},
    {"ListBox", acListBox},
    {"ComboBox", acComboBox},
    {"Subform", acSubform},
    {"UnboundObjectFrame", acObjectFrame},
    {"ObjectFrame", acObjectFrame},
    {"Chart", acObjectFrame},
    {"PageBreak", acPageBreak},
    {"CustomControl", acCustomControl},
    {"ToggleButton", acToggleButton},
    {"Tab", acTabCtl},
    {"Page", acPage},
    {"Attachment", acAttachment},
    {"EmptyCell", acEmptyCell},
    {"WebBrowser", acWebBrowser},
    {"NavigationControl", acNavigationControl},
    {"NavigationButton", acNavigationButton},
    {"ModernChart", acChart},
    {"Edge", acEdge},
};

}  // namespace

int ControlTypeOfKind(std::string_view kind) {
    for (const KindEntry& e : kKinds)
        if (EqualsNoCase(e.kind, kind)) return e.type;
    return 0;
}

// ---- Control ----

vb::Variant Control::Property(std::string_view name) const {
    if (EqualsNoCase(name, "ControlType")) return controlType_;
    if (EqualsNoCase(name, "Section")) return section_;
    if (const vb::Variant* v = FindOwn(own_, name)) return *v;
    if (defaults_ != nullptr && !EqualsNoCase(name, "Name"))
        if (const vb::Variant* v = FindOwn(*defaults_, name)) return *v;
    if (auto v = detail::ControlDefault(controlType_, name)) return *v;
    NoSuchProperty(name);
}

bool Control::HasProperty(std::string_view name) const {
    if (EqualsNoCase(name, "ControlType") || EqualsNoCase(name, "Section")) return true;
    if (FindOwn(own_, name) != nullptr) return true;
    if (defaults_ != nullptr && FindOwn(*defaults_, name) != nullptr) return true;
    return detail::ControlDefault(controlType_, name).has_value();
}

void Control::setProperty(std::string_view name, vb::Variant value) {
    if (!HasProperty(name) || EqualsNoCase(name, "ControlType") || EqualsNoCase(name, "Section"))
        NoSuchProperty(name);
    own_.Set(detail::ExportName(name), std::move(value));
}

std::string Control::Name() const {
    return Property("Name").ToString();
}

bool Control::NamedAs(std::string_view name) const {
    // The name is nearly always a text of the control's own block: compared in place.
    if (const vb::Variant* v = FindOwn(own_, "Name"))
        if (const std::string* text = v->AsString()) return EqualsNoCase(*text, name);
    return EqualsNoCase(Name(), name);
}
long Control::Left() const {
    return Whole(Property("Left"));
}
long Control::Top() const {
    return Whole(Property("Top"));
}
long Control::Width() const {
    return Whole(Property("Width"));
}
long Control::Height() const {
    return Whole(Property("Height"));
}
std::string Control::Caption() const {
    return Property("Caption").ToString();
}
std::string Control::ControlSource() const {
    return Property("ControlSource").ToString();
}
std::string Control::Format() const {
    return Property("Format").ToString();
}
long Control::BackColor() const {
    return Whole(Property("BackColor"));
}
int Control::BackStyle() const {
    return WholeInt(Property("BackStyle"));
}
long Control::ForeColor() const {
    return Whole(Property("ForeColor"));
}
std::string Control::FontName() const {
    return Property("FontName").ToString();
}
int Control::FontWeight() const {
    return WholeInt(Property("FontWeight"));
}
bool Control::FontUnderline() const {
    return Property("FontUnderline").ToBool();
}
bool Control::FontItalic() const {
    return Property("FontItalic").ToBool();
}
int Control::FontSize() const {
    return WholeInt(Property("FontSize"));
}
bool Control::Visible() const {
    return Property("Visible").ToBool();
}
int Control::BorderStyle() const {
    return WholeInt(Property("BorderStyle"));
}
int Control::TextAlign() const {
    return WholeInt(Property("TextAlign"));
}
bool Control::CanGrow() const {
    return Property("CanGrow").ToBool();
}
bool Control::CanShrink() const {
    return Property("CanShrink").ToBool();
}
std::string Control::SourceObject() const {
    return Property("SourceObject").ToString();
}
std::string Control::LinkMasterFields() const {
    return Property("LinkMasterFields").ToString();
}
std::string Control::LinkChildFields() const {
    return Property("LinkChildFields").ToString();
}
int Control::PictureType() const {
    return WholeInt(Property("PictureType"));
}
std::string Control::Picture() const {
    return Property("Picture").ToString();
}
std::string Control::Filename() const {
    return Property("Filename").ToString();
}
std::string Control::Object() const {
    return Property("Object").ToString();
}
std::string Control::Class() const {
    return Property("Class").ToString();
}
bool Control::LineSlant() const {
    return Property("LineSlant").ToBool();
}
void Control::setFilename(const std::string& value) {
    setProperty("Filename", value);
}
void Control::setObject(const std::string& value) {
    setProperty("Object", value);
}

// ---- ControlList ----

Control& ControlList::Item(long index) const {
    if (index < 0 || index >= Count())
        throw vb::ComError(kErrControlNotFound,
                           "There is no control number " + std::to_string(index) + " in this collection.");
    return *items_[static_cast<size_t>(index)];
}

Control* ControlList::Find(std::string_view name) const {
    for (Control* c : items_)
        if (c->NamedAs(name)) return c;
    return nullptr;
}

Control& ControlList::Item(std::string_view name) const {
    if (Control* c = Find(name)) return *c;
    throw vb::ComError(kErrControlNotFound, "Microsoft Access can't find the field '" + std::string(name) +
                                                "' referred to in your expression.");
}

// ---- Section ----

vb::Variant Section::Property(std::string_view name) const {
    if (const vb::Variant* v = own_.Find(name)) return *v;
    if (auto v = detail::SectionDefault(name)) return *v;
    NoSuchProperty(name);
}

std::string Section::Name() const {
    return Property("Name").ToString();
}
bool Section::Visible() const {
    return Property("Visible").ToBool();
}
long Section::Height() const {
    return Whole(Property("Height"));
}
bool Section::CanGrow() const {
    return Property("CanGrow").ToBool();
}
bool Section::CanShrink() const {
    return Property("CanShrink").ToBool();
}
int Section::ForceNewPage() const {
    return WholeInt(Property("ForceNewPage"));
}
int Section::KeepTogether() const {
    return Property("KeepTogether").ToBool() ? 1 : 0;
}
int Section::BreakLevel() const {
    if (kind_ != "BreakHeader" && kind_ != "BreakFooter") return -1;
    return WholeInt(Property("BreakLevel"));
}

// ---- GroupLevel ----

vb::Variant GroupLevel::Property(std::string_view name) const {
    if (const vb::Variant* v = own_.Find(name)) return *v;
    if (auto v = detail::GroupLevelDefault(name)) return *v;
    NoSuchProperty(name);
}

bool GroupLevel::GroupHeader() const {
    return Property("GroupHeader").ToBool();
}
bool GroupLevel::GroupFooter() const {
    return Property("GroupFooter").ToBool();
}
std::string GroupLevel::ControlSource() const {
    return Property("ControlSource").ToString();
}
bool GroupLevel::SortOrder() const {
    return Property("SortOrder").ToBool();
}
int GroupLevel::GroupOn() const {
    return WholeInt(Property("GroupOn"));
}
long GroupLevel::GroupInterval() const {
    return Whole(Property("GroupInterval"));
}
int GroupLevel::KeepTogether() const {
    // "KeepTogether = NotDefault" reads as True; as a level setting that is 1 (whole group).
    vb::Variant v = Property("KeepTogether");
    if (v.Type() == vb::VarType::Boolean) return v.ToBool() ? 1 : 0;
    return WholeInt(v);
}

// ---- Report ----

vb::Variant Report::Property(std::string_view name) const {
    if (EqualsNoCase(name, "Name")) return name_;
    if (EqualsNoCase(name, "Orientation")) return orientation_;
    if (const vb::Variant* v = own_.Find(name)) return *v;
    if (auto v = detail::ReportDefault(name)) return *v;
    NoSuchProperty(name);
}

std::string Report::RecordSource() const {
    return Property("RecordSource").ToString();
}
long Report::Width() const {
    return Whole(Property("Width"));
}
std::string Report::InputParameters() const {
    return Property("InputParameters").ToString();
}
std::string Report::Caption() const {
    return Property("Caption").ToString();
}

access::Section& Report::Section(int i) const {
    if (!HasSection(i))
        throw vb::ComError(kErrBadSectionNumber,
                           "The section number you entered is invalid: " + std::to_string(i) + ".");
    return *sections_[static_cast<size_t>(i)];
}

bool Report::HasSection(int i) const {
    return i >= 0 && i <= kMaxSectionNumber && sections_[static_cast<size_t>(i)] != nullptr;
}

std::vector<int> Report::SectionNumbers() const {
    std::vector<int> out;
    for (int i = 0; i <= kMaxSectionNumber; ++i)
        if (HasSection(i)) out.push_back(i);
    return out;
}

int Report::SectionCount() const {
    return static_cast<int>(SectionNumbers().size());
}

access::GroupLevel& Report::GroupLevel(int i) const {
    if (i < 0 || i >= GroupLevelCount())
        throw vb::ComError(kErrBadGroupLevel,
                           "There is no group level " + std::to_string(i) + " in this report.");
    return *levels_[static_cast<size_t>(i)];
}

const PropertyBag* Report::DefaultsFor(std::string_view kind) const {
    for (const auto& [k, bag] : defaults_)
        if (EqualsNoCase(k, kind)) return &bag;
    return nullptr;
}

}  // namespace tolvaran::access
