// The IIf rewrite: IIf(c, a, b) becomes "IF c Then a else b", one parser item at a time.
#include <algorithm>
#include <exception>
#include <limits>

#include "convert/formula/cls_string.h"
#include "convert/formula/formula_translator.h"
#include "convert/formula/parser.h"
#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"

namespace tolvaran {
namespace {

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
        std::size_t n = 0;
        std::string_view digits = text.substr(1, text.size() - 2);
        for (char c : digits) n = digits.size() > 9 ? 0 : n * 10 + static_cast<std::size_t>(c - '0');
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

std::string FormulaTranslator::ConvertIIF(const std::string& f) {
    try {
        std::vector<std::string> items = Parser().Parse(vb::Trim(f));
        if (items.size() <= 1) return {};
        std::vector<bool> isIIf;
        isIIf.reserve(items.size());
        for (const auto& item : items) isIIf.push_back(IsIIfItem(item));
        std::vector<std::string> converted;
        converted.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            std::string one = ConvertOneIIF(BracketNestedIIf(items[i], isIIf, isIIf[i]));
            if (one.empty() && isIIf[i]) return {};
            converted.push_back(std::move(one));
        }
        return Parser::PutTogether(converted);
    } catch (const std::exception& e) {
        ctx_.ShowMessage(e.what());
        return {};
    }
}

std::string FormulaTranslator::ConvertOneIIF(const std::string& t) {
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
    std::vector<std::size_t> commas;
    int depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (tokens[i].kind == TokenKind::LParen) ++depth;
        if (tokens[i].kind == TokenKind::RParen) --depth;
        if (tokens[i].kind == TokenKind::Comma && depth == 0) commas.push_back(i);
    }
    if (commas.size() == 1)
        return tokens.Join(0, k) + "IF " + tokens.Join(open + 1, commas[0]) + " Then " +
               tokens.Join(commas[0] + 1, close) + tokens.Join(close + 1, tokens.size());
    if (commas.size() != 2) return {};
    return tokens.Join(0, k) + "IF " + tokens.Join(open + 1, commas[0]) + " Then " +
           tokens.Join(commas[0] + 1, commas[1]) + " else " + tokens.Join(commas[1] + 1, close) +
           tokens.Join(close + 1, tokens.size());
}

}  // namespace tolvaran
