// Text, label and field objects: an Access label becomes a text object, a text box a text
// object (empty source), a formula field and its field object (expression, formulas.cpp), a
// parameter field and its field object (form reference) or a database field object (bound
// field). The Access formatting is copied onto each new object. Positions and sizes are twips.
#include <string>
#include <vector>

#include "convert/convert.h"
#include "convert/formula/form_references.h"
#include "convert/trap.h"
#include "platform/access/colors.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"

namespace tolvaran {

namespace {

// A label's caption as Access draws it: "&&" is one "&"; a single "&" marks the next character
// as the access key (underlined in Access) and is not drawn, nor is one at the end.
std::string ShownCaption(const std::string& caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            shown += '&';
            ++i;
        }
    }
    return shown;
}

}  // namespace

bool clsConvert::AddLabelObject(designer::Section& section, access::Control& control, long top) {
    try {
        designer::TextObject& object =
            section.AddTextObject(ShownCaption(control.Caption()), control.Left(), top);
        const std::string name = object.Name;
        UpdateFieldObjectProperties(object, control, name);
        UpdateControl(&object, control, 0);
        return true;
    } catch (...) {
        RecordError("AddLabelObject:" + CurrentError().description, ReportName, "", "", "n/a");
        return false;
    }
}

bool clsConvert::AddTextObject(designer::Section& section, access::Control& control,
                               designer::FormulaFieldDefinitions& formulas, ui::ProgressWindow& window,
                               long top) {
    // The continuing trap: each step is logged on failure and the next one runs.
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) RecordError("AddTextObject:" + e->description, ReportName, "", "", "n/a");
    };
    bool result = false;
    std::string sectionName;
    std::string source;
    trap([&] { sectionName = section.Name(); });
    trap([&] { source = control.ControlSource(); });

    // 1. References to forms (any case, bracketed or not) become parameter fields. A source
    // that is one reference places that parameter's field; an expression holding references
    // becomes a formula in which each stands as its parameter's reference.
    std::vector<FormReference> references;
    trap([&] { references = FindFormReferences(source); });
    if (!references.empty()) {
        if (!crReport_) {
            trap([] { ThrowNotSet(); });
            return result;
        }
        for (const FormReference& reference : references) AddFormParameter(reference.parameter, sectionName);
        if (IsOnlyFormReference(source)) {
            trap([&] {
                result = PlaceFieldObject(section, control, "{?" + references.front().parameter + "}",
                                          control.Left(), top);
            });
        } else {
            trap([&] { AddFormulaObject(section, control, formulas, window, top); });
        }
        return result;
    }

    // 2. An empty source: an empty text object; its row keeps empty designer columns.
    if (source.empty()) {
        designer::TextObject* object = nullptr;
        trap([&] { object = &section.AddTextObject("", control.Left(), top); });
        if (!object) return result;
        trap([&] { UpdateFieldObjectProperties(*object, control, object->Name); });
        trap([&] {
            const long back = access::ShownColor(control.BackColor());
            if (back == designer::kWhite)
                object->BackStyle = 0;  // white: no fill
            else
                object->BackColor = back;
        });
        return result;
    }

    // 3. An expression: a formula field.
    if (vb::InStr(source, "=") > 0) {
        trap([&] { AddFormulaObject(section, control, formulas, window, top); });
        return result;
    }

    // 4. A bound field.
    trap([&] { window.SetLblField(sectionName + ": " + control.Name()); });
    trap([&] { result = AddFieldObject(section, control, control.Left(), top); });
    return result;
}

void clsConvert::AddFormParameter(const std::string& name, const std::string& sectionName) {
    if (ExistsParameter(name)) return;
    bool added = false;
    std::string lastError;
    for (int type : {designer::crStringField, designer::crDateField, designer::crNumberField}) {
        try {
            crReport_->ParameterFields().Add(name, type);
            added = true;
            // Text until a formula shows what it is.
            if (type == designer::crStringField) untypedParameters_.push_back(name);
            break;
        } catch (...) {
            lastError = CurrentError().description;
        }
    }
    if (!added) WriteErrorLog(lastError, sectionName, LogLevel::Problem, "Add Parameter:");
    if (auto e = Try([&] { crReport_->EnableParameterPrompting = true; }))
        RecordError("AddTextObject:" + e->description, ReportName, "", "", "n/a");
}

namespace {

bool NamesParameter(const std::string& formula, const std::string& name) {
    return FindNoCase(formula, "{?" + name + "}") != std::string::npos;
}

}  // namespace

bool clsConvert::TypeFormParameters(designer::FormulaFieldDefinition& definition) {
    std::vector<designer::ParameterFieldDefinition*> untyped;
    for (const std::string& name : untypedParameters_)
        if (NamesParameter(definition.Text(), name))
            if (designer::ParameterFieldDefinition* p = crReport_->ParameterFields().Find(name))
                untyped.push_back(p);
    if (untyped.empty()) return false;
    // A number where it is compared or computed with a number, a date where with a date.
    for (int type : {designer::crNumberField, designer::crDateField, designer::crDateTimeField}) {
        for (designer::ParameterFieldDefinition* p : untyped) p->setValueType(type);
        bool ok = false;
        std::string message;
        definition.Check(ok, message);
        if (ok) return true;
    }
    for (designer::ParameterFieldDefinition* p : untyped) p->setValueType(designer::crStringField);
    return false;
}

void clsConvert::KeepParameterTypes(const std::string& formula) {
    std::erase_if(untypedParameters_, [&](const std::string& name) { return NamesParameter(formula, name); });
}

bool clsConvert::AddFieldObject(designer::Section& section, access::Control& control, long left, long top) {
    std::string fieldText;
    try {
        if (!crReport_) ThrowNotSet();
        // The table the binding attached: field references name it as it is bound
        // ("dbo_Orders" through the front end, "Orders" through ODBC).
        if (currentTableName_.empty()) currentTableName_ = crReport_->Database().Tables().Item(1).Name();
        std::string table = currentTableName_;
        if (vb::InStr(table, " ") > 0) table = "[" + table + "]";
        const std::string source = control.ControlSource();
        const std::string text = CheckForParameter(source);
        const std::string bracketed = BracketedName(source);
        if (text == source)
            fieldText = "{" + table + "." + source + "}";
        else if (!text.empty())
            fieldText = text;
        else if (!bracketed.empty())
            fieldText = "{" + table + "." + bracketed + "}";  // a field of the record source
        if (fieldText.empty()) {
            RecordError("AddFieldObject:No parameter field matches the control source " + source +
                            "; nothing was placed for " + control.Name(),
                        ReportName, "", "", "n/a");
            return false;
        }
    } catch (...) {
        RecordError("AddFieldObject:" + CurrentError().description + ":" + fieldText, ReportName, "", "",
                    "n/a");
        return false;
    }
    return PlaceFieldObject(section, control, fieldText, left, top);
}

bool clsConvert::PlaceFieldObject(designer::Section& section, access::Control& control,
                                  const std::string& fieldText, long left, long top) {
    auto record = [&](const std::string& description) {
        RecordError("AddFieldObject:" + description + ":" + fieldText, ReportName, "", "", "n/a");
    };
    designer::FieldObject* object = nullptr;
    try {
        object = &section.AddFieldObject(fieldText, left, top);
    } catch (...) {
        record(CurrentError().description);
        return false;
    }
    // The later steps each go on after a failure.
    if (auto e = Try([&] {
            if (object->Height < control.Height()) object->Height = control.Height();
        }))
        record(e->description);
    if (auto e = Try([&] { UpdateFieldObjectProperties(*object, control, fieldText); }))
        record(e->description);
    if (auto e = Try([&] { UpdateControl(object, control, 0); })) record(e->description);
    return true;
}

void clsConvert::UpdateFieldObjectProperties(designer::ReportObject& object, access::Control& control,
                                             const std::string& /*name*/) {
    int step = 0;
    try {
        step = 1;
        object.Font.Name = control.FontName();
        step = 2;
        object.Font.Bold = control.FontWeight() > 400;
        step = 3;
        object.Font.Underline = control.FontUnderline();
        step = 4;
        object.Font.Italic = control.FontItalic();
        step = 5;
        object.Font.Size = control.FontSize();
        step = 6;
        object.Height = control.Height();
        step = 7;
        object.BackColor = access::ShownColor(control.BackColor());
        if (control.BackStyle() == 0) object.BackStyle = 0;  // transparent: no background
        step = 8;
        object.TextColor = access::ShownColor(control.ForeColor());
        step = 9;
        object.Width = control.Width();
        step = 10;
        object.Suppress = !control.Visible();
        step = 11;
        object.CanGrow = false;
        step = 12;
        if (control.BorderStyle() != 0) {
            object.BorderColor = 0;
            object.BottomLineStyle = designer::crLSSingleLine;
            object.TopLineStyle = designer::crLSSingleLine;
            object.LeftLineStyle = designer::crLSSingleLine;
            object.RightLineStyle = designer::crLSSingleLine;
        }
        step = 13;
        const int align = control.TextAlign();
        if (align >= 0 && align <= 4) object.HorAlignment = align;
        step = 14;
        // A label has no Format; a text object (empty text box) shows no dates.
        if (control.ControlType() != access::acLabel) {
            auto* field = dynamic_cast<designer::FieldObject*>(&object);
            if (field && vb::InStr(control.Format(), "Date") > 0)
                field->DateWindowsDefaultType = designer::crUseWindowsShortDate;
        }
    } catch (...) {
        WriteErrorLog(CurrentError().description, "UpdateFieldObjectProperties", LogLevel::Problem,
                      std::to_string(step));
    }
}

std::string clsConvert::StripAccessParameter(const std::string& controlSource) {
    try {
        const long bang = vb::InStrRev(controlSource, "!");
        if (bang == 0) return {};
        return vb::Replace(vb::Replace(vb::Mid(controlSource, bang + 1), "[", ""), "]", "");
    } catch (...) {
        WriteErrorLog(CurrentError().description, "StripAccessParameter", LogLevel::Error);
        return {};
    }
}

bool clsConvert::ExistsParameter(const std::string& name) {
    try {
        if (!crReport_) ThrowNotSet();
        for (const auto& p : crReport_->ParameterFields())
            if (p->Name() == name) return true;
        return false;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "ExistsParameter", LogLevel::Error);
        return false;
    }
}

std::string clsConvert::CheckForParameter(const std::string& controlSource) {
    try {
        const long open = vb::InStr(controlSource, "[");
        if (open == 0) return controlSource;
        const long close = vb::InStr(open + 1, controlSource, "]");
        const std::string inner = vb::Trim(close > 0 ? vb::Mid(controlSource, open + 1, close - open - 1)
                                                     : vb::Mid(controlSource, open + 1));
        if (!crReport_) ThrowNotSet();
        // The parameter of that name (as Access compares names); a parameter whose name merely
        // holds the text is another one.
        for (const auto& p : crReport_->ParameterFields())
            if (vb::StrComp(p->Name(), inner, vb::vbTextCompare) == 0) return p->ParameterFieldName();
        return {};
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CheckForParameter", LogLevel::Error);
        return {};
    }
}

std::string clsConvert::BracketedName(const std::string& source) {
    const std::string t = vb::Trim(source);
    if (t.size() < 3 || t.front() != '[' || t.back() != ']') return {};
    std::string inner = t.substr(1, t.size() - 2);
    if (inner.find_first_of("[]") != std::string::npos) return {};
    return inner;
}

std::string clsConvert::ParseControlRecordSource(const std::string& table) {
    try {
        const long p = vb::InStr(table, "dbo_");
        return p > 0 ? vb::Mid(table, p + 4) : table;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "ParseControlRecordSource", LogLevel::Error);
        return table;
    }
}

}  // namespace tolvaran
