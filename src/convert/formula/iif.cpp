// The IIf rewrite: IIf(c, a, b) becomes "IF c Then a else b", one parser item at a time.
#include <algorithm>
#include <exception>
#include <limits>
#include <optional>

#include "convert/formula/cls_string.h"
#include "convert/formula/formula_translator.h"
#include "convert/formula/parser.h"
#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "platform/designer/types.h"

namespace tolvaran {
namespace {

bool IsNumberType(int type) {
    return type >= designer::crInt8sField && type <= designer::crCurrencyField;
}

// An argument split into its blanks and what stands between them.
struct Padded {
    std::string lead, core, trail;
};
Padded Split(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {s, {}, {}};
    const std::size_t last = s.find_last_not_of(" \t\r\n");
    return {s.substr(0, first), s.substr(first, last - first + 1), s.substr(last + 1)};
}

// A branch as text: a number literal as the text Access shows for it, a field stored as whole
// numbers without decimals or thousands separators (as Access shows it), anything else through
// ToText.
std::string AsText(const std::string& branch, const FormulaContext& ctx) {
    const Padded p = Split(branch);
    const TokenList t(p.core);
    if (t.size() == 1 && t[0].kind == TokenKind::Number) return p.lead + "\"" + p.core + "\"" + p.trail;
    if (ctx.IsWholeNumberField(p.core)) return p.lead + "ToText(" + p.core + ", 0, \"\")" + p.trail;
    return p.lead + "ToText(" + p.core + ")" + p.trail;
}

// A condition of a number or date type as Access reads it: true when not Null and not zero
// (a date's zero is 30 December 1899, midnight). Other conditions are left as they are.
std::string AsCondition(const std::string& condition, int type) {
    const char* zero = nullptr;
    if (IsNumberType(type))
        zero = "0";
    else if (type == designer::crDateField)
        zero = "Date(1899, 12, 30)";
    else if (type == designer::crDateTimeField)
        zero = "DateTime(1899, 12, 30, 0, 0, 0)";
    else if (type == designer::crTimeField)
        zero = "Time(0, 0, 0)";
    if (!zero) return condition;
    const Padded p = Split(condition);
    return p.lead + "Not IsNull(" + p.core + ") And " + p.core + " <> " + zero + p.trail;
}

bool IsIIfCall(const TokenList& t, std::size_t i) {
    return EqualsNoCase(t.Text(i), "IIf") && t.IsCall(i);
}

// True when the parser item is an IIf call ("IIf(...)", its own call text first).
bool IsIIfItem(const std::string& item) {
    TokenList t(item);
    std::size_t first = t.empty() ? TokenList::npos : (t[0].kind == TokenKind::Space ? t.NextSolid(0) : 0);
    return first != TokenList::npos && IsIIfCall(t, first);
}

// Puts brackets around the placeholder of a converted IIf wherever "IF ... else ..." would
// otherwise run into the text around it: everywhere except as a whole argument of a call, as
// the whole else-part of an IIf, or as the whole text.
std::string BracketNestedIIf(const std::string& item, const std::vector<bool>& isIIf, bool itemIsIIf) {
    TokenList t(item);
    // The call this item is: its "(" and matching ")"; none for the item of the whole text.
    std::size_t open = TokenList::npos, close = TokenList::npos;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind == TokenKind::LParen) {
            open = i;
            close = t.MatchingParen(i);
            break;
        }
        if (t[i].kind == TokenKind::Placeholder) break;
    }
    std::string out;
    int argIndex = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        std::string_view text = t.Text(i);
        if (t[i].kind == TokenKind::Comma && open != TokenList::npos && i > open && i < close) ++argIndex;
        if (t[i].kind != TokenKind::Placeholder) {
            out += text;
            continue;
        }
        const std::size_t n = PlaceholderNumber(text);
        if (n < 1 || n > isIIf.size() || !isIIf[n - 1]) {
            out += text;
            continue;
        }
        std::size_t prev = t.PrevSolid(i), next = t.NextSolid(i);
        bool wholeArgument;
        if (open == TokenList::npos) {
            wholeArgument = prev == TokenList::npos && next == TokenList::npos;
        } else {
            bool startsArg = prev == open || (prev != TokenList::npos && t[prev].kind == TokenKind::Comma);
            bool endsArg = next == close || (next != TokenList::npos && t[next].kind == TokenKind::Comma);
            wholeArgument = startsArg && endsArg && close != TokenList::npos;
        }
        bool bracket = !wholeArgument || (itemIsIIf && argIndex < 2);
        if (bracket) {
            out += '(';
            out += text;
            out += ')';
        } else {
            out += text;
        }
    }
    return out;
}

}  // namespace

// The items of one ConvertIIF call converted so far, and how much more of their text the checks
// that give the parts' types may read. A part holds the whole text of every call nested in it,
// so the checks of deeply nested calls would read that text again at each level: what they
// read of items put back into parts is held to kCheckedText and the length of the expression;
// a part past that is of a type not known, as a part the check does not know.
struct ConvertedItems {
    static constexpr std::size_t kCheckedText = 16384;
    ItemTexts texts;
    std::size_t checkBudget = 0;
};

std::string FormulaTranslator::ConvertIIF(const std::string& f) {
    try {
        std::vector<std::string> items = Parser().Parse(vb::Trim(f));
        if (items.size() <= 1) return {};
        std::vector<bool> isIIf;
        isIIf.reserve(items.size());
        for (const auto& item : items) isIIf.push_back(IsIIfItem(item));
        ConvertedItems converted;
        converted.checkBudget = ConvertedItems::kCheckedText + f.size();
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string one = ConvertOneIIF(BracketNestedIIf(items[i], isIIf, isIIf[i]), &converted);
            if (one.empty() && isIIf[i]) return {};
            converted.texts.Add(one);
        }
        return converted.texts.Item(items.size() - 1);
    } catch (const std::exception& e) {
        ctx_.ShowMessage(e.what());
        return {};
    }
}

int FormulaTranslator::TypeOf(const std::string& text, ConvertedItems* items) {
    if (!items) return ctx_.ValueTypeOf(text);
    // The text's own length is not counted: only what it holds of other items is read again.
    const std::optional<std::string> whole = items->texts.Expand(text, text.size() + items->checkBudget);
    if (!whole) return designer::crUnknownField;
    items->checkBudget -= whole->size() - std::min(whole->size(), text.size());
    return ctx_.ValueTypeOf(*whole);
}

std::string FormulaTranslator::ConvertOneIIF(const std::string& t, ConvertedItems* items) {
    TokenList tokens(t);
    std::size_t k = 0;
    while (k < tokens.size() && !(tokens[k].kind == TokenKind::Identifier && IsIIfCall(tokens, k))) ++k;
    if (k == tokens.size()) return t;

    clsString where;
    where.StartPos = static_cast<std::int16_t>(
        std::min<std::size_t>(tokens[k].pos + 1, std::numeric_limits<std::int16_t>::max()));

    std::size_t open = tokens.NextSolid(k);
    std::size_t close = tokens.MatchingParen(open);
    if (close == TokenList::npos) return {};
    const std::vector<std::size_t> commas = ArgumentCommas(tokens, open, close);
    if (commas.size() != 1 && commas.size() != 2) return {};
    const std::string condition = tokens.Join(open + 1, commas[0]);
    const std::string head =
        tokens.Join(0, k) + "IF " + AsCondition(condition, TypeOf(condition, items)) + " Then ";
    const std::string tail = tokens.Join(close + 1, tokens.size());
    if (commas.size() == 1) return head + tokens.Join(commas[0] + 1, close) + tail;
    std::string a = tokens.Join(commas[0] + 1, commas[1]);
    std::string b = tokens.Join(commas[1] + 1, close);
    // The designer's IF gives one type: text where one branch is text.
    const int typeA = TypeOf(a, items), typeB = TypeOf(b, items);
    if (IsTextValueType(typeA) && typeB != designer::crUnknownField && !IsTextValueType(typeB))
        b = AsText(b, ctx_);
    if (IsTextValueType(typeB) && typeA != designer::crUnknownField && !IsTextValueType(typeA))
        a = AsText(a, ctx_);
    return head + a + " else " + b + tail;
}

}  // namespace tolvaran
