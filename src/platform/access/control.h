#pragma once
// One control of an Access report as the automation object model shows it. A value is, in
// order: the value written in the control's own block of the export, else the value of the
// report's defaults block for the control's kind, else Access's built-in default for that
// property. Reading a property the kind of control does not have throws vb::ComError 2455.
// Positions and sizes are twips. Controls are owned by their Report and live as long as it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/access/properties.h"
#include "platform/common/variant.h"

namespace tolvaran::access {

// ControlType values (acControlType).
enum ControlTypeEnum {
    acLabel = 100,
    acRectangle = 101,
    acLine = 102,
    acImage = 103,
    acCommandButton = 104,
    acOptionButton = 105,
    acCheckBox = 106,
    acOptionGroup = 107,
    acBoundObjectFrame = 108,
    acTextBox = 109,
    acListBox = 110,
    acComboBox = 111,
    acSubform = 112,
    acObjectFrame = 114,
    acPageBreak = 118,
    acCustomControl = 119,
    acToggleButton = 122,
    acTabCtl = 123,
    acPage = 124,
    acEmptyCell = 127,
    acWebBrowser = 128,
    acNavigationControl = 129,
    acNavigationButton = 130,
    acChart = 133,
    acEdge = 134,
    acAttachment = 126,
};

// The ControlType of an export keyword ("TextBox" -> 109); 0 for a keyword that is not a
// control kind. "UnboundObjectFrame" and the older "Chart" (a Microsoft Graph object frame)
// are 114, "ModernChart" is 133.
int ControlTypeOfKind(std::string_view kind);

class Control {
  public:
    // The export keyword of the control's kind ("TextBox", "Label", "Subform", ...).
    const std::string& Kind() const { return kind_; }
    int ControlType() const { return controlType_; }
    std::string Name() const;
    // Name() == name without regard to ASCII case, without copying the name.
    bool NamedAs(std::string_view name) const;
    // Number of the section the control lies in (0 detail, 1 report header, ...); -1 for a
    // control of a section the report could not number (a damaged or duplicate section).
    int Section() const { return section_; }
    // The control this one is attached to (a text box's label, an option group's member),
    // or nullptr for a control placed directly in its section.
    const Control* Parent() const { return parent_; }
    // Controls nested in this one, in export order.
    const std::vector<Control*>& Children() const { return children_; }
    // Line number of the control's Begin line in the export (1-based).
    int SourceLine() const { return line_; }

    // Geometry in twips, section coordinates (nested controls too).
    long Left() const;
    long Top() const;
    long Width() const;
    long Height() const;

    std::string Caption() const;
    std::string ControlSource() const;
    std::string Format() const;
    long BackColor() const;  // BGR long; negative values are system colours
    int BackStyle() const;   // 0 transparent (no fill), 1 filled with BackColor
    long ForeColor() const;
    std::string FontName() const;
    int FontWeight() const;  // 100..900, 400 normal, 700 bold
    bool FontUnderline() const;
    bool FontItalic() const;
    int FontSize() const;  // points
    bool Visible() const;
    int BorderStyle() const;  // 0 transparent, 1 solid, ...
    int TextAlign() const;    // 0 general, 1 left, 2 centre, 3 right, 4 distribute
    bool CanGrow() const;
    bool CanShrink() const;
    std::string SourceObject() const;      // "Report.x", "Form.x", or an OLE document path
    std::string LinkMasterFields() const;  // ';'-separated field names
    std::string LinkChildFields() const;
    int PictureType() const;  // 0 embedded, 1 linked, 2 shared
    std::string Picture() const;
    std::string Filename() const;  // custom controls that carry one only
    std::string Object() const;    // OLE frames and custom controls
    std::string Class() const;     // OLE frames and custom controls
    // The control's type number, the same value as ControlType.
    int Type() const { return controlType_; }
    bool LineSlant() const;

    void setFilename(const std::string& value);
    void setObject(const std::string& value);

    // Any property by name (case-insensitive), resolved as described above; 2455 when the
    // control does not have it. Binary properties read as vb::Bytes.
    vb::Variant Property(std::string_view name) const;
    bool HasProperty(std::string_view name) const;
    // Assigns a property the control has (2455 otherwise); it then reads as explicit.
    void setProperty(std::string_view name, vb::Variant value);

    // The properties written in the control's own block, in export order.
    const PropertyBag& Explicit() const { return own_; }

  private:
    friend class ReportBuilder;
    Control() = default;

    std::string kind_;
    int controlType_ = 0;
    int section_ = 0;
    int line_ = 0;
    const Control* parent_ = nullptr;
    std::vector<Control*> children_;
    PropertyBag own_;
    const PropertyBag* defaults_ = nullptr;  // the report's defaults block for kind_, or null
};

}  // namespace tolvaran::access
