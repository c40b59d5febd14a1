#pragma once
// Translation of Access expressions (a calculated control source without its "=") into
// Crystal-syntax formula text. An empty result means "could not be converted".
#include <cstddef>
#include <string>
#include <vector>

#include "convert/formula/formula_context.h"

namespace tolvaran {

class TokenList;
struct ConvertedItems;

class FormulaTranslator {
  public:
    // The context outlives the translator.
    explicit FormulaTranslator(FormulaContext& context) : ctx_(context) {}

    // The whole translation; empty when the expression cannot be converted. Never throws: a
    // failure is logged under "ConvertFormula" with level 1.
    std::string ConvertFormula(const std::string& f);

    // Rewrites every IIf call of f as "IF cond Then a else b". A rewritten IIf gets brackets
    // unless it is the whole text, a whole argument of another call, or the whole else-part of
    // an enclosing IIf. Empty when an IIf call is malformed; a failure (an expression that
    // cannot be read, nests too deeply or holds a placeholder "%n%" of its own) shows its
    // text. Parts nested so deeply that their checks would read much more than the
    // expression's length are of types not known.
    std::string ConvertIIF(const std::string& f);

    // Rewrites the first IIf call of one parser item; the item unchanged when it holds none;
    // empty when that call does not have two or three arguments and its ")". IIf(c, a) is
    // "IF c Then a" (Null when c is false, as in Access). A condition whose type is a number
    // or a date is read as Access reads it: true when not Null and not zero. When one branch
    // is text and the other is of another known type, the other becomes text. Types are the
    // context's; placeholder n of the item stands for converted item n (ConvertIIF's own).
    std::string ConvertOneIIF(const std::string& t, ConvertedItems* items = nullptr);

    // Replaces the first call of `function` ("Format(") by its first argument. Empty (after the
    // message "A formula has mismatched brackets!") when the call's bracket is not closed.
    std::string CheckForFunction(const std::string& f, const std::string& function);

    // Rewrites the first "x Is Null" as "IsNull(x)" and the first "x Is Not Null" as
    // "Not IsNull(x)", x being the whole operand; the text unchanged when there is none.
    std::string FixIsNull(const std::string& f);

    // The Date function ("Date" or "Date()") becomes "CurrentDate" / "{CurrentDate}". Empty for
    // a text without "Date"; unchanged when "Date" occurs only inside names or literals.
    std::string FixMediumDate(const std::string& f);
    std::string FixLongDate(const std::string& f);

    // Renames every call of fn ("Avg(", "Min(", "Max(") and writes the step line
    // "Convert '<fn> to <replacement>'".
    std::string FixFunction(const std::string& f, const std::string& fn);

    // True when the report already holds a formula field of exactly that name.
    bool IsFormulaField(const std::string& name);

  private:
    // The commas between the brackets of a call (open and close, token indexes) that part its
    // arguments: those outside any inner bracket.
    static std::vector<std::size_t> ArgumentCommas(const TokenList& t, std::size_t open, std::size_t close);
    std::string TranslateReferences(const std::string& f);
    std::string TranslateCountAll(const std::string& f);
    std::string FixNow(const std::string& f);
    std::string FixTime(const std::string& f);
    // Gives every one-argument total (Sum, Count, Average, Minimum, Maximum) the group field
    // as its second argument.
    std::string AddGroupCondition(const std::string& f, const std::string& groupField);
    std::string ReplaceDateFunction(const std::string& f, const std::string& replacement);
    // Every Nz(x, y) becomes IIf(IsNull(x), y, x); Nz(x) takes as y the empty text, False or
    // 0 by the type of x, as Access gives them.
    std::string TranslateNz(const std::string& f);
    // The context's type of an item's text, its placeholders put back from the items.
    int TypeOf(const std::string& text, ConvertedItems* items);

    FormulaContext& ctx_;
};

}  // namespace tolvaran
