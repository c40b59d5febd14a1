#include "platform/designer/fields.h"

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/designer/database.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/report.h"

namespace designer {

namespace {

// Formula and parameter names may not hold the characters that delimit references.
void CheckName(const std::string& name, const char* what) {
    if (name.empty() || name.find_first_of("{}@?") != std::string::npos)
        throw vb::ComError(kErrInvalidArgument, std::string("Invalid ") + what + " name \"" + name + "\".");
}

[[noreturn]] void BadIndex(const char* what, int index) {
    throw vb::ComError(kErrInvalidIndex, "Invalid index " + std::to_string(index) + " for " + what + ".");
}

}  // namespace

void FormulaFieldDefinition::Check(bool& ok, std::string& message) const {
    try {
        FormulaCheckResult r = CheckFormulaField(*report_, name_, text_);
        ok = r.ok;
        message = r.message;
    } catch (const std::exception& e) {
        ok = false;
        message = e.what();
    }
}

FormulaFieldDefinition& FormulaFieldDefinitions::Add(const std::string& name, const std::string& text) {
    CheckName(name, "formula");
    for (auto& f : items_)  // references ignore case, so names must differ in more than case
        if (tolvaran::EqualsNoCase(f->Name(), name))
            throw vb::ComError(kErrDuplicateName, "The formula name \"" + name + "\" is already in use.");
    items_.push_back(std::make_unique<FormulaFieldDefinition>(*report_, name, text));
    return *items_.back();
}

FormulaFieldDefinition& FormulaFieldDefinitions::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("formula fields", index);
    return *items_[index - 1];
}

FormulaFieldDefinition* FormulaFieldDefinitions::Find(const std::string& name) const {
    for (auto& f : items_)
        if (f->Name() == name) return f.get();
    return nullptr;
}

namespace {

void CheckParameterType(int valueType) {
    switch (valueType) {
        case crNumberField:
        case crCurrencyField:
        case crBooleanField:
        case crDateField:
        case crTimeField:
        case crStringField:
        case crDateTimeField:
            return;
        default:
            throw vb::ComError(kErrInvalidArgument,
                               "Invalid parameter value type " + std::to_string(valueType) + ".");
    }
}

}  // namespace

void ParameterFieldDefinition::setValueType(int valueType) {
    CheckParameterType(valueType);
    valueType_ = valueType;
}

ParameterFieldDefinition& ParameterFieldDefinitions::Add(const std::string& name, int valueType) {
    CheckName(name, "parameter");
    CheckParameterType(valueType);
    for (auto& p : items_)
        if (tolvaran::EqualsNoCase(p->Name(), name))
            throw vb::ComError(kErrDuplicateName, "The parameter name \"" + name + "\" is already in use.");
    items_.push_back(std::make_unique<ParameterFieldDefinition>(name, valueType));
    return *items_.back();
}

ParameterFieldDefinition& ParameterFieldDefinitions::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("parameter fields", index);
    return *items_[index - 1];
}

ParameterFieldDefinition* ParameterFieldDefinitions::Find(const std::string& name) const {
    for (auto& p : items_)
        if (p->Name() == name) return p.get();
    return nullptr;
}

void RecordSortFields::Add(const DatabaseFieldDefinition& field, int direction) {
    Add(field.FormulaName(), direction);
}

void RecordSortFields::Add(const std::string& fieldReference, int direction) {
    if (direction != crAscendingOrder && direction != crDescendingOrder)
        throw vb::ComError(kErrInvalidArgument, "Invalid sort direction " + std::to_string(direction) + ".");
    if (fieldReference.size() < 3 || fieldReference.front() != '{' || fieldReference.back() != '}')
        throw vb::ComError(kErrFieldNotKnown, "Invalid field reference \"" + fieldReference + "\".");
    items_.push_back({fieldReference, direction});
}

const SortField& RecordSortFields::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("record sort fields", index);
    return items_[index - 1];
}

}  // namespace designer
