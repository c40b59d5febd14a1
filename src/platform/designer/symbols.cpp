// What formulas and field objects may refer to, built from a report.
#include "platform/common/com_error.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/references.h"
#include "platform/designer/report.h"
#include "platform/designer/util.h"

namespace designer {

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

namespace {

std::string StripBrackets(std::string_view s) {
    std::string t = Trim(s);
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

FormulaSymbols SymbolsOf(const Report& report, const std::string& excludeFormula) {
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
    // One level of typing: each formula checked with the others untyped, so references
    // between formulas (cycles included) never recurse.
    const FormulaSymbols untyped = s;
    for (auto& f : report.FormulaFields())
        if (f->Name() != excludeFormula) {
            FormulaCheckResult r = CheckFormula(f->Text(), untyped);
            if (r.ok) s.formulas[f->Name()] = r.valueType;
        }
    for (auto& p : report.ParameterFields()) s.parameters[p->Name()] = p->ValueType();
    for (auto& g : report.Groups()) {
        std::string ref = g.ConditionField;
        if (ref.size() >= 2 && ref.front() == '{' && ref.back() == '}') ref = ref.substr(1, ref.size() - 2);
        s.groupFields.insert(ref);
    }
    return s;
}

void ResolveFieldReference(const Report& report, const std::string& text) {
    std::string t = Trim(text);
    if (t.size() < 3 || t.front() != '{' || t.back() != '}' || t.find('}') != t.size() - 1)
        throw vb::ComError(kErrFieldNotKnown, "Invalid field reference \"" + text + "\".");
    int type = 0;
    if (!LookupReference(SymbolsOf(report), std::string_view(t).substr(1, t.size() - 2), type))
        throw vb::ComError(kErrFieldNotKnown, "This field name is not known: " + text);
}

}  // namespace designer
