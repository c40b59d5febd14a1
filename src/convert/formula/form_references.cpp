#include "convert/formula/form_references.h"

#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"

namespace tolvaran {
namespace {

bool IsPart(const TokenList& t, std::size_t i) {
    return i < t.size() && (t[i].kind == TokenKind::Name || t[i].kind == TokenKind::Identifier);
}

bool IsJoiner(const TokenList& t, std::size_t i) {
    return i < t.size() && (t[i].kind == TokenKind::Bang || t[i].kind == TokenKind::Dot);
}

std::string PartName(const TokenList& t, std::size_t i) {
    return std::string(t[i].kind == TokenKind::Name ? BracketContent(t.Text(i)) : t.Text(i));
}

}  // namespace

std::vector<FormReference> FindFormReferences(const std::string& text) {
    std::vector<FormReference> out;
    try {
        const TokenList t(text);
        std::size_t i = 0;
        while (i < t.size()) {
            const bool start =
                IsPart(t, i) && EqualsNoCase(PartName(t, i), "Forms") && !(i > 0 && IsJoiner(t, i - 1));
            if (!start) {
                ++i;
                continue;
            }
            // Forms ! form ! control, possibly through a subform (! sub . Form ! control).
            std::size_t last = i;
            std::size_t parts = 1;
            while (IsJoiner(t, last + 1) && IsPart(t, last + 2)) {
                last += 2;
                ++parts;
            }
            if (parts < 3) {
                i = last + 1;
                continue;
            }
            // "!ctl.Value" names the control's value: the control is the parameter.
            std::size_t named = last;
            if (parts > 3 && EqualsNoCase(PartName(t, last), "Value")) named = last - 2;
            FormReference ref;
            ref.begin = t[i].pos;
            ref.end = t[last].pos + t[last].len;
            ref.parameter = PartName(t, named);
            out.push_back(std::move(ref));
            i = last + 1;
        }
    } catch (const ExpressionError&) {
        return {};
    }
    return out;
}

std::string ReplaceFormReferences(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    for (const FormReference& ref : FindFormReferences(text)) {
        out += text.substr(at, ref.begin - at);
        out += "{?" + ref.parameter + "}";
        at = ref.end;
    }
    return out + text.substr(at);
}

bool IsOnlyFormReference(const std::string& text) {
    const std::vector<FormReference> refs = FindFormReferences(text);
    if (refs.size() != 1) return false;
    bool equals = false;
    for (std::size_t i = 0; i < refs[0].begin; ++i) {
        const char c = text[i];
        if (c == '=' && !equals) {
            equals = true;
            continue;
        }
        if (c != ' ' && c != '\t') return false;
    }
    for (std::size_t i = refs[0].end; i < text.size(); ++i)
        if (text[i] != ' ' && text[i] != '\t') return false;
    return true;
}

}  // namespace tolvaran
