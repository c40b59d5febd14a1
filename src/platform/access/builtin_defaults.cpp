#include "platform/access/builtin_defaults.h"

#include <vector>

#include "platform/access/control.h"
#include "platform/access/properties.h"
#include "platform/common/text.h"

namespace tolvaran::access::detail {

namespace {

using Types = std::vector<int>;

struct Entry {
    const char* name;
    vb::Variant value;
    Types types;  // control types that have the property; empty: every control
};

// Controls that show text in a font.
#define FONT_TYPES \
    { acLabel, acCommandButton, acTextBox, acListBox, acComboBox, acToggleButton, acTabCtl }
#define DATA_TYPES                                                                                    \
    {                                                                                                 \
        acImage, acOptionButton, acCheckBox, acOptionGroup, acBoundObjectFrame, acTextBox, acListBox, \
            acComboBox, acToggleButton, acCustomControl, acAttachment, acChart                        \
    }
#define OLE_TYPES \
    { acBoundObjectFrame, acObjectFrame, acCustomControl }

const Entry kControlTable[] = {
    {"Name", "", {}},
    {"Left", 0, {}},
    {"Top", 0, {}},
    // The size a control of each kind is drawn at when neither its block nor the defaults block
    // gives one (exports leave it out then); twips.
    {"Width", 260, {acCheckBox, acOptionButton}},
    {"Width", 283, {acToggleButton}},
    {"Width", 0, {acPageBreak, acPage, acTabCtl, acEmptyCell}},
    {"Width", 1440, {}},
    {"Height", 0, {acLine, acPageBreak, acPage, acTabCtl, acEmptyCell}},
    {"Height", 240, {acLabel, acTextBox, acComboBox, acCheckBox, acOptionButton}},
    {"Height", 283, {acToggleButton}},
    {"Height", 360, {acCommandButton}},
    {"Height", 1440, {}},
    {"Visible", true, {}},
    {"Tag", "", {}},
    {"EventProcPrefix", "", {}},
    {"SpecialEffect", 0, {}},
    {"BorderWidth", 0, {}},
    {"BorderColor", 0, {}},
    {"BorderLineStyle", 0, {}},
    {"DisplayWhen", 0, {}},
    {"Caption", "", {acLabel, acCommandButton, acToggleButton, acPage}},
    {"ControlSource", "", DATA_TYPES},
    {"Format", "", {acTextBox, acComboBox}},
    {"DecimalPlaces", 255, {acTextBox, acComboBox}},
    {"InputMask", "", {acTextBox, acComboBox}},
    {"RunningSum", 0, {acTextBox}},
    {"HideDuplicates",
     false,
     {acTextBox, acComboBox, acListBox, acCheckBox, acOptionButton, acOptionGroup, acToggleButton}},
    {"BackColor",
     16777215,
     {acLabel, acRectangle, acImage, acCommandButton, acOptionGroup, acBoundObjectFrame, acTextBox, acListBox,
      acComboBox, acObjectFrame, acCustomControl, acToggleButton, acChart}},
    {"ForeColor", 0, FONT_TYPES},
    {"FontName", "Arial", FONT_TYPES},
    {"FontSize", 8, FONT_TYPES},
    {"FontWeight", 400, FONT_TYPES},
    {"FontItalic", false, FONT_TYPES},
    {"FontUnderline", false, FONT_TYPES},
    {"TextAlign", 0, {acLabel, acTextBox, acListBox, acComboBox}},
    {"Vertical", false, {acLabel, acTextBox}},
    {"CanGrow", false, {acBoundObjectFrame, acTextBox, acListBox}},
    // A subform/subreport control grows with what it shows: exports never write CanGrow for
    // one, even when it is a few twips tall.
    {"CanGrow", true, {acSubform}},
    {"CanShrink", false, {acBoundObjectFrame, acTextBox, acListBox, acSubform}},
    {"SourceObject", "", {acSubform, acObjectFrame, acChart}},
    {"LinkMasterFields", "", {acSubform, acObjectFrame, acChart}},
    {"LinkChildFields", "", {acSubform, acObjectFrame, acChart}},
    {"PictureType", 0, {acImage, acCommandButton, acToggleButton}},
    {"Picture", "", {acImage, acCommandButton, acToggleButton}},
    {"SizeMode", 0, {acImage, acBoundObjectFrame, acObjectFrame}},
    {"Object", "", OLE_TYPES},
    {"Class", "", OLE_TYPES},
    {"OLEClass", "", OLE_TYPES},
    {"LineSlant", false, {acLine}},
    {"TabStop", true, DATA_TYPES},
    {"Enabled", true, DATA_TYPES},
    {"Locked", false, DATA_TYPES},
};

#undef FONT_TYPES
#undef DATA_TYPES
#undef OLE_TYPES

const Entry kSectionTable[] = {
    {"Name", "", {}},
    {"Height", 0, {}},
    {"Visible", true, {}},
    {"CanGrow", false, {}},
    {"CanShrink", false, {}},
    {"ForceNewPage", 0, {}},
    {"NewRowOrCol", 0, {}},
    {"KeepTogether", false, {}},
    {"RepeatSection", false, {}},
    {"BackColor", 16777215, {}},
    {"SpecialEffect", 0, {}},
    {"DisplayWhen", 0, {}},
    {"Tag", "", {}},
    {"BreakLevel", 0, {}},
    {"AutoHeight", true, {}},
};

const Entry kGroupLevelTable[] = {
    {"ControlSource", "", {}}, {"GroupHeader", false, {}}, {"GroupFooter", false, {}},
    {"SortOrder", false, {}},  {"GroupOn", 0, {}},         {"GroupInterval", 1, {}},
    {"KeepTogether", 0, {}},
};

const Entry kReportTable[] = {
    {"Name", "", {}},
    {"RecordSource", "", {}},
    {"Caption", "", {}},
    {"Width", 0, {}},
    {"InputParameters", "", {}},
    {"Filter", "", {}},
    {"FilterOn", false, {}},
    {"OrderBy", "", {}},
    {"OrderByOn", false, {}},
    {"PageHeader", 0, {}},
    {"PageFooter", 0, {}},
    {"GrpKeepTogether", 0, {}},
    {"DateGrouping", 0, {}},
    {"LayoutForPrint", false, {}},
    {"Picture", "", {}},
    {"PictureType", 0, {}},
    {"HasModule", false, {}},
    {"Tag", "", {}},
    {"FitToPage", true, {}},
    {"GridX", 24, {}},
    {"GridY", 24, {}},
};

template <size_t N>
std::optional<vb::Variant> Lookup(const Entry (&table)[N], std::string_view name, int type) {
    // A property may have several rows, each for its own control types.
    for (const Entry& e : table) {
        if (!EqualsNoCase(e.name, name)) continue;
        if (e.types.empty()) return e.value;
        for (int t : e.types)
            if (t == type) return e.value;
    }
    return std::nullopt;
}

}  // namespace

std::string_view ExportName(std::string_view name) {
    if (EqualsNoCase(name, "BorderStyle")) return "OldBorderStyle";
    return name;
}

vb::Variant NotDefaultValue(std::string_view name, int controlType) {
    if (controlType >= 0) {
        if (auto d = ControlDefault(controlType, name); d && d->Type() == vb::VarType::Boolean)
            return !d->ToBool();
    }
    static constexpr const char* kTrueByDefault[] = {
        "Visible",
        "TabStop",
        "Enabled",
        "AddColon",
        "AutoLabel",
        "DividingLines",
        "AllowDesignChanges",
        "AllowAdditions",
        "AllowEdits",
        "AllowDeletions",
        "RecordSelectors",
        "NavigationButtons",
        "AllowFilters",
        "ControlBox",
        "CloseButton",
        "AllowAutoCorrect",
        "AutoHeight",
        "MinMaxButtons",
        "FitToPage",
        "AutoResize",
    };
    for (const char* n : kTrueByDefault)
        if (EqualsNoCase(n, name)) return false;
    return true;
}

std::optional<vb::Variant> ControlDefault(int type, std::string_view name) {
    // Border and back style differ by kind: labels and unbound frames are drawn without a
    // border, labels and option groups without a fill.
    if (EqualsNoCase(name, "BorderStyle") || EqualsNoCase(name, "OldBorderStyle")) {
        if (type == acPageBreak || type == acPage || type == acTabCtl) return std::nullopt;
        bool none = type == acLabel || type == acObjectFrame || type == acCustomControl || type == acChart;
        return vb::Variant(none ? 0 : 1);
    }
    if (EqualsNoCase(name, "BackStyle")) {
        if (type == acLine || type == acPageBreak || type == acSubform) return std::nullopt;
        bool transparent = type == acLabel || type == acOptionGroup;
        return vb::Variant(transparent ? 0 : 1);
    }
    if (type == acPageBreak) {
        // A page break has a place and a name only.
        for (const char* n : {"Name", "Left", "Top", "Width", "Height", "Visible", "Tag", "EventProcPrefix"})
            if (EqualsNoCase(n, name)) return Lookup(kControlTable, name, type);
        return std::nullopt;
    }
    return Lookup(kControlTable, name, type);
}

std::optional<vb::Variant> SectionDefault(std::string_view name) {
    return Lookup(kSectionTable, name, 0);
}
std::optional<vb::Variant> GroupLevelDefault(std::string_view name) {
    return Lookup(kGroupLevelTable, name, 0);
}
std::optional<vb::Variant> ReportDefault(std::string_view name) {
    return Lookup(kReportTable, name, 0);
}

}  // namespace tolvaran::access::detail
