#pragma once
// A form as the record classes see it: controls found by name (without regard to case), each
// of one kind. The shell implements it over Qt widgets found by objectName; tests over a map.
#include <string>

#include "platform/common/variant.h"

namespace tolvaran {

enum class ControlKind { None, TextBox, CheckBox, ComboBox, OptionButton, Label, Other };

class Form {
  public:
    virtual ~Form() = default;
    // ControlKind::None when the form has no control of that name.
    virtual ControlKind Kind(const std::string& name) const = 0;
    // The control's default value: a text box's text, a check box's 0 or 1, a combo box's
    // text, an option button's Boolean. Throws vb::ComError 730 when there is no such control.
    virtual vb::Variant Value(const std::string& name) const = 0;
    // Assigns the default value (a text box shows the value's text, a check box is checked
    // for a true or non-zero value, an option button is set on for True). Throws 730 when
    // there is no such control.
    virtual void SetValue(const std::string& name, const vb::Variant& value) = 0;
    // The item data of a combo box's selected item (Null when none is selected).
    virtual vb::Variant ItemData(const std::string& name) const = 0;
};

}  // namespace tolvaran
