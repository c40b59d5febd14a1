// What formulas and field objects may refer to, built from a report.
#include <algorithm>
#include <set>

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

// The names of a report that are not formulas, in the report's order, as SymbolsOf reads
// them: its tables (each with its fields or marked open), parameters and group fields.
template <class Visit>
void VisitNames(const Report& report, Visit&& visit) {
    static const std::string kNone;
    for (auto& t : report.Database().Tables()) {
        if (!t->FieldsKnown()) {
            visit('o', t->Name(), kNone, 0);
            continue;
        }
        visit('t', t->Name(), kNone, 0);
        for (auto& f : t->Fields()) visit('f', t->Name(), f->Name(), f->ValueType());
    }
    for (auto& p : report.ParameterFields()) visit('p', p->Name(), kNone, p->ValueType());
    for (auto& g : report.Groups()) visit('g', g.ConditionField, kNone, 0);
}

// True when the memo's names were built from what the report holds now.
bool NamesCurrent(const FormulaTypeMemo& memo, const Report& report) {
    if (!memo.built) return false;
    size_t i = 0;
    bool same = true;
    VisitNames(report, [&](char kind, const std::string& name, const std::string& field, int type) {
        if (!same) return;
        same = i < memo.source.size() && memo.source[i].kind == kind && memo.source[i].name == name &&
               memo.source[i].field == field && memo.source[i].type == type;
        ++i;
    });
    return same && i == memo.source.size();
}

// Builds the memo's names other than formulas; every result is dropped.
void BuildNames(FormulaTypeMemo& memo, const Report& report) {
    memo.source.clear();
    FormulaSymbols& s = memo.symbols;
    s = FormulaSymbols{};
    VisitNames(report, [&](char kind, const std::string& name, const std::string& field, int type) {
        memo.source.push_back({kind, name, field, type});
        switch (kind) {
            case 'o':
                s.openTables.insert(name);
                break;
            case 'f':
                s.fields[name + "." + field] = type;
                break;
            case 'p':
                s.parameters[name] = type;
                break;
            case 'g': {
                std::string ref = name;
                if (ref.size() >= 2 && ref.front() == '{' && ref.back() == '}')
                    ref = ref.substr(1, ref.size() - 2);
                s.groupFields.insert(ref);
                break;
            }
            default:
                break;
        }
    });
    memo.formulaNames.clear();
    memo.formulasNoted = 0;
    memo.excluded.clear();
    memo.referrers.clear();
    memo.edited.clear();
    memo.resultOfText.clear();
    memo.built = true;
}

// True when text may refer to the formula named name: it holds "{@name}", ASCII case aside,
// as the checker reads a reference (the text between a brace and the next).
bool MayReferTo(std::string_view text, std::string_view name) {
    const size_t n = name.size() + 3;
    for (size_t i = text.find("{@"); i != std::string_view::npos && i + n <= text.size();
         i = text.find("{@", i + 1))
        if (text[i + n - 1] == '}' && tolvaran::EqualsNoCase(text.substr(i + 2, name.size()), name))
            return true;
    return false;
}

// Calls visit with each name text may refer to: the text after each "{@" up to the next "}"
// (a name holds no "}", so these are the names MayReferTo finds). In time with the text.
template <class Visit>
void VisitFormulaReferences(std::string_view text, Visit&& visit) {
    size_t close = 0;
    for (size_t i = text.find("{@"); i != std::string_view::npos; i = text.find("{@", i + 1)) {
        if (close != std::string_view::npos && close < i + 2) close = text.find('}', i + 2);
        if (close == std::string_view::npos) return;
        visit(text.substr(i + 2, close - i - 2));
    }
}

// Notes each name f's text refers to once, however often the text names it.
void IndexReferences(FormulaTypeMemo& memo, const FormulaFieldDefinition& f) {
    std::set<std::string_view, tolvaran::NoCaseLess> names;
    VisitFormulaReferences(f.Text(), [&](std::string_view name) {
        if (names.insert(name).second) memo.referrers.emplace(name, &f);
    });
}

// Calls visit with each formula whose text may refer to name now.
template <class Visit>
void VisitReferrers(const FormulaTypeMemo& memo, std::string_view name, Visit&& visit) {
    const auto [from, to] = memo.referrers.equal_range(name);
    for (auto it = from; it != to; ++it)
        if (MayReferTo(it->second->Text(), name)) visit(*it->second);
}

// Notes the formulas added since the memo last looked, for typing; the texts that may refer
// to one are typed again, their results dropped. The memo then holds the names of every
// formula of the report. Formulas are only ever added to a report and never renamed, so the
// ones not yet noted are the last.
void NoteNewFormulas(FormulaTypeMemo& memo, const Report& report,
                     std::vector<const FormulaFieldDefinition*>& toType) {
    const FormulaFieldDefinitions& formulas = report.FormulaFields();
    const size_t count = static_cast<size_t>(formulas.Count());
    if (count < memo.formulasNoted) {
        memo.formulaNames.clear();
        memo.referrers.clear();
        memo.edited.clear();
        memo.resultOfText.clear();
        memo.symbols.formulas.clear();
        memo.excluded.clear();
        memo.formulasNoted = 0;
    }
    for (auto it = formulas.begin() + static_cast<std::ptrdiff_t>(memo.formulasNoted); it != formulas.end();
         ++it) {
        const FormulaFieldDefinition& f = **it;
        IndexReferences(memo, f);
        toType.push_back(&f);
    }
    for (auto it = formulas.begin() + static_cast<std::ptrdiff_t>(memo.formulasNoted); it != formulas.end();
         ++it) {
        const std::string& name = (*it)->Name();
        if (!memo.formulaNames.emplace(name, crUnknownField).second) continue;
        VisitReferrers(memo, name, [&](const FormulaFieldDefinition& referrer) {
            memo.resultOfText.erase(referrer.Text());
            toType.push_back(&referrer);
        });
    }
    memo.formulasNoted = count;
}

// Puts the memo's untyped formula names into its symbols for as long as it lives (without
// the formula named exclude when one is given), and the typed ones back after: swapped and
// moved, never copied.
class UntypedFormulas {
  public:
    UntypedFormulas(FormulaTypeMemo& memo, const std::string* exclude) : memo_(memo) {
        memo_.symbols.formulas.swap(memo_.formulaNames);
        if (!exclude) return;
        auto& names = memo_.symbols.formulas;
        if (auto it = names.find(*exclude); it != names.end() && it->first == *exclude)
            excluded_ = names.extract(it);
    }
    ~UntypedFormulas() {
        if (excluded_) memo_.symbols.formulas.insert(std::move(excluded_));
        memo_.symbols.formulas.swap(memo_.formulaNames);
    }
    UntypedFormulas(const UntypedFormulas&) = delete;
    UntypedFormulas& operator=(const UntypedFormulas&) = delete;

  private:
    FormulaTypeMemo& memo_;
    std::map<std::string, int, tolvaran::NoCaseLess>::node_type excluded_;
};

}  // namespace

void NoteFormulaEdited(FormulaTypeMemo& memo, const FormulaFieldDefinition& definition,
                       const std::string& oldText) {
    if (!memo.built) return;  // the memo is built afresh before its next use
    memo.edited.push_back(&definition);
    // Only a formula's text may keep a result that names a formula: once no formula holds it,
    // a formula added later could not drop it.
    if (oldText.find("{@") != std::string::npos) memo.resultOfText.erase(oldText);
}

const FormulaSymbols& TypedSymbols(const Report& report, const std::string& excludeFormula) {
    // One level of typing: each formula checked with the others untyped, so references
    // between formulas (cycles included) never recurse. A text is checked once against the
    // untyped names of every formula and its result kept. Only what changed is typed again:
    // the formulas added, the texts edited, the texts that name a formula added, and, when
    // another formula is left out, the one left out before, the one left out now and the
    // texts that name either. Those names differ from the ones without the excluded formula
    // only by that formula: a text that may refer to it is checked without it, as it always
    // was.
    FormulaTypeMemo& memo = report.TypeMemo();
    const size_t formulaCount = static_cast<size_t>(report.FormulaFields().Count());
    // Texts of formulas edited or removed are not looked for: the memo starts again when it
    // holds many more texts than the report has formulas.
    if (!NamesCurrent(memo, report) || memo.resultOfText.size() > 4 * formulaCount + 64)
        BuildNames(memo, report);
    std::vector<const FormulaFieldDefinition*> toType;
    NoteNewFormulas(memo, report, toType);
    for (const FormulaFieldDefinition* f : memo.edited) {
        IndexReferences(memo, *f);
        toType.push_back(f);
    }
    memo.edited.clear();
    if (excludeFormula != memo.excluded) {
        for (const std::string* name : {static_cast<const std::string*>(&memo.excluded), &excludeFormula}) {
            if (name->empty()) continue;
            if (const FormulaFieldDefinition* f = report.FormulaFields().Find(*name)) toType.push_back(f);
            VisitReferrers(memo, *name,
                           [&](const FormulaFieldDefinition& referrer) { toType.push_back(&referrer); });
        }
        memo.excluded = excludeFormula;
    }
    // A formula met more than once (added and naming one added, say) is typed once.
    std::sort(toType.begin(), toType.end());
    toType.erase(std::unique(toType.begin(), toType.end()), toType.end());
    FormulaSymbols& s = memo.symbols;
    // s.formulas holds every formula but the excluded one, typed: each is set again in place,
    // so that a check builds no map.
    auto check = [&](const std::string& text, const std::string* exclude) {
        const UntypedFormulas untyped(memo, exclude);
        const FormulaCheckResult r = CheckFormula(text, s);
        return std::make_pair(r.ok, r.valueType);
    };
    for (const FormulaFieldDefinition* f : toType) {
        const std::string& name = f->Name();
        if (name == excludeFormula) {
            s.formulas.erase(name);
            continue;
        }
        std::pair<bool, int> result;
        if (!excludeFormula.empty() && MayReferTo(f->Text(), excludeFormula)) {
            result = check(f->Text(), &excludeFormula);
        } else {
            auto it = memo.resultOfText.find(f->Text());
            if (it == memo.resultOfText.end())
                it = memo.resultOfText.emplace(f->Text(), check(f->Text(), nullptr)).first;
            result = it->second;
        }
        s.formulas.insert_or_assign(name, result.first ? result.second : crUnknownField);
    }
    return s;
}

FormulaCheckResult CheckFormulaField(const Report& report, const std::string& name, const std::string& text) {
    FormulaCheckResult r = CheckFormula(text, TypedSymbols(report, name));
    // A text naming no formula checks alike however the formulas are typed: its result is the
    // one the next TypedSymbols would work out for it again.
    if (text.find("{@") == std::string::npos)
        report.TypeMemo().resultOfText.emplace(text, std::make_pair(r.ok, r.valueType));
    return r;
}

FormulaSymbols SymbolsOf(const Report& report, const std::string& excludeFormula) {
    return TypedSymbols(report, excludeFormula);
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
            return report.FormulaFields().NameUsed(rest);
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
