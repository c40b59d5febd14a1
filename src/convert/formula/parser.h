#pragma once
// Splits the nested calls of an expression into items: each call, innermost first, becomes one
// item in which every call it holds is replaced by the placeholder "%n%" (n = the 1-based
// number of that call's item); the last item is the whole text. A bracket with no name before
// it (a grouping bracket) is an item too, with an empty name.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

class Parser {
  public:
    // Items in the order they end. Never throws for readable text; raises ExpressionError for an
    // unclosed "[", string, date literal or "{", a stray "]", a placeholder ("%n%" outside a
    // literal: it could not be told from the parser's own), or nesting deeper than 1000
    // brackets.
    std::vector<std::string> Parse(const std::string& text);

    // Rebuilds the full text of a parse result: each placeholder of an item becomes the
    // (already rebuilt) text of the item it names; returns the last item rebuilt.
    static std::string PutTogether(const std::vector<std::string>& items);
};

// The number n of a placeholder token "%n%"; 0 when it is out of reach.
std::size_t PlaceholderNumber(std::string_view token);

// Items whose placeholders name items added before them, put back together on demand: in time
// in proportion to the text made, however deep the items nest.
class ItemTexts {
  public:
    // Adds the next item; placeholder n in it names the n-th item added before it, and one
    // that names none stays as it is. Raises ExpressionError for a text with a "%" that cannot
    // be read.
    void Add(const std::string& item);

    std::size_t size() const { return items_.size(); }

    // Item i (from 0) with its placeholders put back.
    std::string Item(std::size_t i) const;

    // A text whose placeholders name the items added so far, put back; nullopt when that would
    // be longer than `limit`.
    std::optional<std::string> Expand(const std::string& text, std::size_t limit) const;

  private:
    struct Placeholder {
        std::size_t pos, len, item;
    };
    struct Entry {
        std::string text;
        std::vector<Placeholder> placeholders;
        std::size_t size;  // length put back together (saturating)
    };
    Entry Read(const std::string& text) const;
    std::string PutBack(const Entry& entry) const;

    std::vector<Entry> items_;
};

}  // namespace tolvaran
