// What formulas and field objects may refer to, built from a report.
#include <algorithm>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/references.h"
#include "platform/designer/report.h"

namespace designer {

namespace {

std::string StripBrackets(std::string_view s) {
    std::string t(tolvaran::TrimBlanks(s));
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') t = t.substr(1, t.size() - 2);
    return t;
}

}  // namespace

bool LookupReference(const FormulaSymbols& symbols, std::string_view body, int& valueType) {
    valueType = crUnknownField;
    if (body.empty()) return false;
    std::string rest(body.substr(1));
    switch (body[0]) {
        case '@': {
            auto it = symbols.formulas.find(rest);
            if (it == symbols.formulas.end()) return false;
            valueType = it->second;
            return true;
        }
        case '?': {
            auto it = symbols.parameters.find(rest);
            if (it == symbols.parameters.end()) return false;
            valueType = it->second;
            return true;
        }
        case '%':
        case '#':
            return false;  // SQL-expression and running-total fields: none are made
        default:
            break;
    }
    std::string table, field;
    if (!SplitFieldReference(symbols, body, table, field)) return false;
    if (auto it = symbols.fields.find(table + "." + field); it != symbols.fields.end())
        valueType = it->second;
    return true;
}

bool SplitFieldReference(const FormulaSymbols& symbols, std::string_view body, std::string& table,
                         std::string& field) {
    if (body.empty() || body[0] == '@' || body[0] == '?' || body[0] == '%' || body[0] == '#') return false;
    std::string whole(body);
    // Table names may hold dots and be written in brackets: try every split.
    for (size_t dot = whole.find('.'); dot != std::string::npos; dot = whole.find('.', dot + 1)) {
        std::string t = StripBrackets(std::string_view(whole).substr(0, dot));
        std::string f = StripBrackets(std::string_view(whole).substr(dot + 1));
        if (t.empty() || f.empty()) continue;
        if (auto it = symbols.fields.find(t + "." + f); it != symbols.fields.end()) {
            table = it->first.substr(0, t.size());
            field = it->first.substr(t.size() + 1);
            return true;
        }
        if (auto it = symbols.openTables.find(t); it != symbols.openTables.end()) {
            table = *it;
            field = f;
            return true;
        }
    }
    return false;
}

namespace {

// Every name of the report; formulas untyped.
FormulaSymbols NamesOf(const Report& report, const std::string& excludeFormula) {
    FormulaSymbols s;
    for (auto& t : report.Database().Tables()) {
        if (!t->FieldsKnown()) {
            s.openTables.insert(t->Name());
            continue;
        }
        for (auto& f : t->Fields()) s.fields[t->Name() + "." + f->Name()] = f->ValueType();
    }
    for (auto& f : report.FormulaFields())
        if (f->Name() != excludeFormula) s.formulas[f->Name()] = crUnknownField;
    for (auto& p : report.ParameterFields()) s.parameters[p->Name()] = p->ValueType();
    for (auto& g : report.Groups()) {
        std::string ref = g.ConditionField;
        if (ref.size() >= 2 && ref.front() == '{' && ref.back() == '}') ref = ref.substr(1, ref.size() - 2);
        s.groupFields.insert(ref);
    }
    return s;
}

}  // namespace

FormulaSymbols SymbolsOf(const Report& report, const std::string& excludeFormula) {
    FormulaSymbols s = NamesOf(report, excludeFormula);
    // One level of typing: each formula checked with the others untyped, so references
    // between formulas (cycles included) never recurse.
    const FormulaSymbols untyped = s;
    for (auto& f : report.FormulaFields())
        if (f->Name() != excludeFormula) {
            FormulaCheckResult r = CheckFormula(f->Text(), untyped);
            if (r.ok) s.formulas[f->Name()] = r.valueType;
        }
    return s;
}

namespace {

// What LookupReference answers for the report's names, found in the report itself rather
// than in symbol maps built for the purpose: a field object's reference is resolved for
// every object placed, and building the maps each time cost more than placing the object.
bool ReferenceKnown(const Report& report, std::string_view body) {
    if (body.empty()) return false;
    const std::string_view rest = body.substr(1);
    switch (body[0]) {
        case '@':
            for (auto& f : report.FormulaFields())
                if (tolvaran::EqualsNoCase(f->Name(), rest)) return true;
            return false;
        case '?':
            for (auto& p : report.ParameterFields())
                if (tolvaran::EqualsNoCase(p->Name(), rest)) return true;
            return false;
        case '%':
        case '#':
            return false;
        default:
            break;
    }
    // 1: table and field known; 2: the table is known and its fields are not.
    auto known = [&](std::string_view table, std::string_view field) {
        int found = 0;
        for (auto& t : report.Database().Tables()) {
            if (!tolvaran::EqualsNoCase(t->Name(), table)) continue;
            if (!t->FieldsKnown()) {
                found = std::max(found, 2);
                continue;
            }
            for (auto& f : t->Fields())
                if (tolvaran::EqualsNoCase(f->Name(), field)) return 1;
        }
        return found;
    };
    for (size_t dot = body.find('.'); dot != std::string_view::npos; dot = body.find('.', dot + 1))
        if (known(body.substr(0, dot), body.substr(dot + 1)) == 1) return true;
    for (size_t dot = body.find('.'); dot != std::string_view::npos; dot = body.find('.', dot + 1)) {
        const std::string table = StripBrackets(body.substr(0, dot));
        const std::string field = StripBrackets(body.substr(dot + 1));
        if (table.empty() || field.empty()) continue;
        if (known(table, field) != 0) return true;
    }
    return false;
}

}  // namespace

void ResolveFieldReference(const Report& report, const std::string& text) {
    std::string t(tolvaran::TrimBlanks(text));
    if (t.size() < 3 || t.front() != '{' || t.back() != '}' || t.find('}') != t.size() - 1)
        throw vb::ComError(kErrFieldNotKnown, "Invalid field reference \"" + text + "\".");
    if (!ReferenceKnown(report, std::string_view(t).substr(1, t.size() - 2)))
        throw vb::ComError(kErrFieldNotKnown, "This field name is not known: " + text);
}

}  // namespace designer
