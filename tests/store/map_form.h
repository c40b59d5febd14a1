#pragma once
// A form over a map of controls, names compared without regard to case.
#include <map>
#include <string>

#include "platform/common/com_error.h"
#include "platform/common/vbstring.h"
#include "store/form.h"

class MapForm : public tolvaran::Form {
  public:
    struct Control {
        tolvaran::ControlKind kind = tolvaran::ControlKind::TextBox;
        vb::Variant value;
        vb::Variant itemData = vb::Variant::null();
    };
    std::map<std::string, Control> controls;  // by upper-cased name

    void Add(const std::string& name, tolvaran::ControlKind kind, vb::Variant value = vb::Variant(""),
             vb::Variant itemData = vb::Variant::null()) {
        controls[vb::UCase(name)] = {kind, value, itemData};
    }
    Control& at(const std::string& name) {
        auto it = controls.find(vb::UCase(name));
        if (it == controls.end()) throw vb::ComError(730, "Control '" + name + "' not found");
        return it->second;
    }
    tolvaran::ControlKind Kind(const std::string& name) const override {
        auto it = controls.find(vb::UCase(name));
        return it == controls.end() ? tolvaran::ControlKind::None : it->second.kind;
    }
    vb::Variant Value(const std::string& name) const override {
        return const_cast<MapForm*>(this)->at(name).value;
    }
    void SetValue(const std::string& name, const vb::Variant& v) override {
        auto& c = at(name);
        // A text box shows text, as the toolkit's text boxes do; Null shows as empty.
        if (c.kind == tolvaran::ControlKind::TextBox)
            c.value = v.IsNull() ? vb::Variant("") : vb::Variant(v.ToString());
        else if (c.kind == tolvaran::ControlKind::CheckBox)
            c.value = vb::Variant(v.ToBool() ? 1 : 0);
        else
            c.value = v;
    }
    vb::Variant ItemData(const std::string& name) const override {
        return const_cast<MapForm*>(this)->at(name).itemData;
    }
};
