// ConvertFormula and its textual rules, each applied to the tokens of the text.
#include "convert/formula/formula_translator.h"

#include <algorithm>
#include <array>
#include <exception>
#include <limits>
#include <vector>

#include "convert/formula/bracket_pairs.h"
#include "convert/formula/is_null.h"
#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"

namespace tolvaran {
namespace {

const char* const kConvertFormula = "ConvertFormula";

bool IsIdentifier(const TokenList& t, std::size_t i, std::string_view word) {
    return i < t.size() && t[i].kind == TokenKind::Identifier && t.Text(i) == word;
}

bool HasIIfCall(const TokenList& t) {
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].kind == TokenKind::Identifier && EqualsNoCase(t.Text(i), "IIf") && t.IsCall(i)) return true;
    return false;
}

bool HasName(const TokenList& t) {
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].kind == TokenKind::Name) return true;
    return false;
}

// The text with the first "()" (an empty argument list) removed.
std::string RemoveFirstEmptyCall(const TokenList& t) {
    for (std::size_t i = 0; i + 1 < t.size(); ++i)
        if (t[i].kind == TokenKind::LParen && t[i + 1].kind == TokenKind::RParen)
            return t.Join(0, i) + t.Join(i + 2, t.size());
    return t.Source();
}

// Objects of Access that are not tables: a qualified name starting with one of them has no
// Crystal counterpart and keeps its Access form.
bool IsAccessObject(std::string_view name) {
    static constexpr std::array<std::string_view, 6> kObjects = {"Forms",    "Reports", "Report",
                                                                 "TempVars", "Parent",  "Me"};
    for (auto o : kObjects)
        if (EqualsNoCase(name, o)) return true;
    return false;
}

// Access's Boolean constants (Yes, On and True; No, Off and False, in any case) as the
// designer writes them; empty for any other word.
std::string_view BooleanConstant(std::string_view word) {
    for (std::string_view yes : {"Yes", "On", "True"})
        if (EqualsNoCase(word, yes)) return "True";
    for (std::string_view no : {"No", "Off", "False"})
        if (EqualsNoCase(word, no)) return "False";
    return {};
}

std::string_view NamePart(const TokenList& t, std::size_t i) {
    return t[i].kind == TokenKind::Name ? BracketContent(t.Text(i)) : t.Text(i);
}

// Replaces every zero-argument call of `function` (the bare word, or the word with "()") by
// `replacement`; a call with arguments and a qualified word are left alone.
std::string ReplaceZeroArgumentCall(const std::string& f, std::string_view function,
                                    const std::string& replacement) {
    if (f.find(function) == std::string::npos) return f;
    TokenList t(f);
    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        if (IsIdentifier(t, i, function) && !t.IsQualified(i)) {
            std::size_t next = t.NextSolid(i);
            if (next == TokenList::npos || t[next].kind != TokenKind::LParen) {
                out += replacement;
                ++i;
                continue;
            }
            std::size_t close = t.NextSolid(next);
            if (close != TokenList::npos && t[close].kind == TokenKind::RParen) {
                out += replacement;
                i = close + 1;
                continue;
            }
        }
        out += t.Text(i);
        ++i;
    }
    return out;
}

// Every "Is Null" rewritten, as FixIsNull rewrites them one after another.
std::string FixEveryIsNull(const std::string& f) {
    try {
        return RewriteIsNull(f, std::numeric_limits<std::size_t>::max());
    } catch (const ExpressionError&) {
        return f;
    }
}

}  // namespace

std::vector<std::size_t> FormulaTranslator::ArgumentCommas(const TokenList& t, std::size_t open,
                                                           std::size_t close) {
    std::vector<std::size_t> commas;
    int depth = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (t[i].kind == TokenKind::LParen) ++depth;
        if (t[i].kind == TokenKind::RParen) --depth;
        if (t[i].kind == TokenKind::Comma && depth == 0) commas.push_back(i);
    }
    return commas;
}

bool FormulaTranslator::IsFormulaField(const std::string& name) {
    try {
        for (const std::string& field : ctx_.FormulaFieldNames())
            if (field == name) return true;
    } catch (const std::exception&) {
    }
    return false;
}

std::string FormulaTranslator::TranslateReferences(const std::string& f) {
    TokenList t(f);
    const std::string table = ctx_.CurrentTableName();
    auto isPart = [&](std::size_t i) {
        return i < t.size() && (t[i].kind == TokenKind::Name || t[i].kind == TokenKind::Identifier);
    };
    auto isJoiner = [&](std::size_t i) {
        return i < t.size() && (t[i].kind == TokenKind::Dot || t[i].kind == TokenKind::Bang);
    };

    std::string out;
    out.reserve(f.size() + 16);
    std::size_t i = 0;
    while (i < t.size()) {
        bool chainStart = isPart(i) && isJoiner(i + 1) && isPart(i + 2) && !(i > 0 && isJoiner(i - 1));
        if (chainStart) {
            std::size_t end = i + 1;
            while (isJoiner(end) && isPart(end + 1)) end += 2;
            bool tableField = end == i + 3 && t.Text(i + 1) == "." && !IsAccessObject(NamePart(t, i)) &&
                              !t.IsCall(i + 2) &&
                              (t[i].kind == TokenKind::Name || t[i + 2].kind == TokenKind::Name);
            if (tableField) {
                out += '{';
                out += NamePart(t, i);
                out += '.';
                out += NamePart(t, i + 2);
                out += '}';
            } else {
                out += t.Join(i, end);
            }
            i = end;
            continue;
        }
        if (t[i].kind == TokenKind::Name && !t.IsQualified(i)) {
            std::string name(BracketContent(t.Text(i)));
            // Page and Pages are the report's page number and page count wherever they stand.
            if (name == "Page") {
                out += "PageNumber";
            } else if (name == "Pages") {
                out += "TotalPageCount";
            } else if (IsFormulaField(name)) {
                out += "{@" + name + "}";
            } else {
                out += "{" + table + "." + name + "}";
            }
        } else if (t[i].kind == TokenKind::Identifier && !t.IsQualified(i) && !t.IsCall(i) &&
                   !BooleanConstant(t.Text(i)).empty()) {
            out += BooleanConstant(t.Text(i));
        } else {
            out += t.Text(i);
        }
        ++i;
    }
    return out;
}

std::string FormulaTranslator::TranslateCountAll(const std::string& f) {
    TokenList t(f);
    std::string field;
    for (std::size_t i = 0; i < t.size() && field.empty(); ++i)
        if (t[i].kind == TokenKind::Reference && t.Text(i).substr(0, 2) != "{@") field = t.Text(i);
    if (field.empty()) {
        std::string name = ctx_.RowCountFieldName();
        if (!name.empty()) field = "{" + ctx_.CurrentTableName() + "." + name + "}";
    }
    if (field.empty()) return f;

    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        if (IsIdentifier(t, i, "Count") && t.IsCall(i)) {
            std::size_t open = t.NextSolid(i);
            std::size_t star = t.NextSolid(open);
            std::size_t close = star == TokenList::npos ? star : t.NextSolid(star);
            if (star != TokenList::npos && t.Text(star) == "*" && close != TokenList::npos &&
                t[close].kind == TokenKind::RParen) {
                out += "Count(" + field + ")";
                i = close + 1;
                continue;
            }
        }
        out += t.Text(i);
        ++i;
    }
    return out;
}

std::string FormulaTranslator::CheckForFunction(const std::string& f, const std::string& function) {
    try {
        std::string name = function;
        if (!name.empty() && name.back() == '(') name.pop_back();
        TokenList t(f);
        std::size_t k = 0;
        while (k < t.size() && !(IsIdentifier(t, k, name) && t.IsCall(k) && !t.IsQualified(k))) ++k;
        if (k == t.size()) return f;
        std::size_t open = t.NextSolid(k);
        std::size_t close = t.MatchingParen(open);
        if (close == TokenList::npos) {
            ctx_.ShowMessage("A formula has mismatched brackets!");
            return {};
        }
        const std::vector<std::size_t> commas = ArgumentCommas(t, open, close);
        const std::size_t argEnd = commas.empty() ? close : commas[0];
        return t.Join(0, k) + t.Join(open + 1, argEnd) + t.Join(close + 1, t.size());
    } catch (const std::exception& e) {
        ctx_.WriteErrorLog(e.what(), "CheckForFunction", LogLevel::Error, f);
        return {};
    }
}

std::string FormulaTranslator::FixIsNull(const std::string& f) {
    try {
        return RewriteIsNull(f, 1);
    } catch (const std::exception&) {
        return f;
    }
}

std::string FormulaTranslator::ReplaceDateFunction(const std::string& f, const std::string& replacement) {
    return ReplaceZeroArgumentCall(f, "Date", replacement);
}

std::string FormulaTranslator::FixMediumDate(const std::string& f) {
    try {
        if (f.find("Date") == std::string::npos) return {};
        return ReplaceDateFunction(f, "CurrentDate");
    } catch (const std::exception&) {
        return {};
    }
}

std::string FormulaTranslator::FixLongDate(const std::string& f) {
    try {
        if (f.find("Date") == std::string::npos) return {};
        return ReplaceDateFunction(f, "{CurrentDate}");
    } catch (const std::exception&) {
        return {};
    }
}

std::string FormulaTranslator::FixNow(const std::string& f) {
    return ReplaceZeroArgumentCall(f, "Now", "CurrentDateTime");
}

std::string FormulaTranslator::FixTime(const std::string& f) {
    return ReplaceZeroArgumentCall(f, "Time", "CurrentTime");
}

std::string FormulaTranslator::AddGroupCondition(const std::string& f, const std::string& groupField) {
    static constexpr std::array<std::string_view, 8> kTotals = {"Sum",     "Count", "Average", "Minimum",
                                                                "Maximum", "Avg",   "Min",     "Max"};
    TokenList t(f);
    const BracketPairs brackets(t);
    std::vector<bool> closesTotal(t.size(), false);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != TokenKind::Identifier || !t.IsCall(i) || t.IsQualified(i)) continue;
        bool total = false;
        for (auto name : kTotals)
            if (EqualsNoCase(t.Text(i), name)) total = true;
        if (!total) continue;
        const std::size_t open = t.NextSolid(i);
        const std::size_t close = brackets.close[open];
        if (close == TokenList::npos || t.NextSolid(open) == close) continue;
        if (brackets.commas[open] == 0) closesTotal[close] = true;
    }
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (closesTotal[i]) out += ", " + groupField;
        out += t.Text(i);
    }
    return out;
}

std::string FormulaTranslator::FixFunction(const std::string& f, const std::string& fn) {
    struct Rename {
        std::string_view from, to;
    };
    static constexpr std::array<Rename, 3> kRenames = {Rename{"Avg(", "Average("}, Rename{"Min(", "Minimum("},
                                                       Rename{"Max(", "Maximum("}};
    std::string_view to;
    for (const auto& r : kRenames)
        if (r.from == fn) to = r.to;

    std::string name = fn;
    if (!name.empty() && name.back() == '(') name.pop_back();
    std::string out;
    bool found = false;
    if (to.empty() || f.find(name) == std::string::npos) {
        out = f;
    } else {
        TokenList t(f);
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (IsIdentifier(t, i, name) && t.IsCall(i) && !t.IsQualified(i)) {
                out += to.substr(0, to.size() - 1);
                found = true;
            } else {
                out += t.Text(i);
            }
        }
    }
    ctx_.LogStepError("Convert '" + fn + " to " + (found ? std::string(to) : std::string()) + "'",
                      kConvertFormula);
    return out;
}

std::string FormulaTranslator::ConvertFormula(const std::string& f) {
    std::string built = f;
    try {
        TokenList tokens(f);
        if (!HasName(tokens)) built = RemoveFirstEmptyCall(tokens);
        built = TranslateReferences(built);
        built = TranslateCountAll(built);

        for (int i = 0; i < 2; ++i) {
            const std::string checked = CheckForFunction(built, "Format(");
            if (checked.empty()) return {};
            if (checked == built) break;  // no Format call: a second look finds none either
            built = checked;
        }

        built = FixEveryIsNull(built);

        if (built.find("Short Date") != std::string::npos) {
            ctx_.LogStepError("Fix Short Date", kConvertFormula);
            built = FixMediumDate(built);
        }
        if (built.find("Medium Date") != std::string::npos) {
            ctx_.LogStepError("Fix Medium Date", kConvertFormula);
            built = FixMediumDate(built);
        }
        if (built.find("Long Date") != std::string::npos) {
            ctx_.LogStepError("Fix Long Date", kConvertFormula);
            built = FixLongDate(built);
        }
        if (ReplaceDateFunction(built, "CurrentDate") != built) {
            ctx_.LogStepError("Fix Medium Date", kConvertFormula);
            built = FixMediumDate(built);
        }
        built = FixNow(built);
        built = FixTime(built);

        std::string trimmed = vb::Trim(built);
        if (!trimmed.empty() && trimmed.back() == '&') built = trimmed.substr(0, trimmed.size() - 1);

        built = FixFunction(built, "Avg(");
        built = FixFunction(built, "Min(");
        built = FixFunction(built, "Max(");
        const std::string groupField = ctx_.GroupFieldReference();
        if (!groupField.empty()) built = AddGroupCondition(built, groupField);

        // IIf calls come last, when their parts are designer text whose types can be known.
        built = TranslateNz(built);
        if (HasIIfCall(TokenList(built))) built = ConvertIIF(built);
        return built;
    } catch (const std::exception& e) {
        ctx_.WriteErrorLog(e.what(), kConvertFormula, LogLevel::Error, built);
        return {};
    }
}

}  // namespace tolvaran
