// Nz calls as IIf calls. The calls are rewritten from the last to the first, each in the text
// the ones after it have made: a rewritten call is kept as its parts (the ranges of the source
// its arguments take, with the calls rewritten inside them), so no rewrite copies or reads
// again the text around it, and the text is put together once at the end.
#include <string_view>
#include <vector>

#include "convert/formula/bracket_pairs.h"
#include "convert/formula/formula_translator.h"
#include "platform/common/expression_tokens.h"
#include "platform/common/text.h"
#include "platform/designer/types.h"

namespace tolvaran {
namespace {

// Each rewrite doubles its first argument: nested calls stop at this size, the rest left as
// they are (the designer's check then refuses them).
constexpr std::size_t kMaxText = 65534;

// A byte range of the source, blanks trimmed off its ends, with the rewritten calls inside it.
struct Range {
    std::size_t from = 0, to = 0;
    std::vector<std::size_t> calls;  // rewritten calls in it, in order (indexes of NzRewriter::done_)
    std::size_t size = 0;            // length of its text, those calls rewritten
};

// One rewritten call: "IIf(IsNull(" x ")," y "," x ")".
struct Call {
    std::size_t from = 0, to = 0;  // the bytes of "Nz(...)" in the source
    Range x, y;
    std::string yText;  // y when the call has no second argument
    std::size_t size = 0;
};

class NzRewriter {
  public:
    explicit NzRewriter(const std::string& source) : s_(source) {}

    // The range [from, to) of the source, its rewritten calls the open ones that start before
    // `to`, after the `taken` that an earlier range of the same call holds; trimmed as vb::Trim
    // trims. The calls stay open until Add.
    Range Take(std::size_t from, std::size_t to, std::size_t& taken) const {
        Range r{from, to, {}, to - from};
        while (taken < open_.size() && done_[open_[open_.size() - 1 - taken]].from < to) {
            const std::size_t k = open_[open_.size() - 1 - taken++];
            r.calls.push_back(k);
            r.size = r.size - (done_[k].to - done_[k].from) + done_[k].size;
        }
        const std::size_t leadEnd = r.calls.empty() ? to : done_[r.calls.front()].from;
        while (r.from < leadEnd && s_[r.from] == ' ') ++r.from;
        const std::size_t trailStart = r.calls.empty() ? r.from : done_[r.calls.back()].to;
        while (r.to > trailStart && s_[r.to - 1] == ' ') --r.to;
        r.size -= (r.from - from) + (to - r.to);
        return r;
    }

    // The length of the call's text before its rewrite: the source's, with the `taken` open
    // calls inside it rewritten.
    std::size_t CurrentSize(const Call& call, std::size_t taken) const {
        std::size_t size = call.to - call.from;
        for (std::size_t i = 0; i < taken; ++i) {
            const Call& inner = done_[open_[open_.size() - 1 - i]];
            size = size - (inner.to - inner.from) + inner.size;
        }
        return size;
    }

    // Keeps a rewritten call in place of the `taken` open calls it holds.
    void Add(Call call, std::size_t taken) {
        open_.resize(open_.size() - taken);
        done_.push_back(std::move(call));
        open_.push_back(done_.size() - 1);
    }

    std::string Text(const Range& range) const {
        std::string out;
        out.reserve(range.size);
        // A stack of what is still to write, the next on top: source bytes, a range or a call.
        struct Item {
            std::string_view text;
            const Range* range = nullptr;
            const Call* call = nullptr;
        };
        std::vector<Item> todo = {{{}, &range, nullptr}};
        while (!todo.empty()) {
            const Item item = todo.back();
            todo.pop_back();
            if (item.range) {
                std::size_t at = item.range->to;
                for (auto c = item.range->calls.rbegin(); c != item.range->calls.rend(); ++c) {
                    todo.push_back({Source(done_[*c].to, at)});
                    todo.push_back({{}, nullptr, &done_[*c]});
                    at = done_[*c].from;
                }
                todo.push_back({Source(item.range->from, at)});
            } else if (item.call) {
                const Call& c = *item.call;
                todo.push_back({")"});
                todo.push_back({{}, &c.x});
                todo.push_back({","});
                todo.push_back(c.yText.empty() ? Item{{}, &c.y} : Item{c.yText});
                todo.push_back({"),"});
                todo.push_back({{}, &c.x});
                todo.push_back({"IIf(IsNull("});
            } else {
                out += item.text;
            }
        }
        return out;
    }

    // The whole text: the source with the calls no other holds rewritten.
    std::string Whole() const {
        Range all{0, s_.size(), {open_.rbegin(), open_.rend()}, 0};
        return Text(all);
    }

  private:
    std::string_view Source(std::size_t from, std::size_t to) const {
        return std::string_view(s_).substr(from, to - from);
    }

    const std::string& s_;
    std::vector<Call> done_;
    std::vector<std::size_t> open_;  // rewritten calls no other holds yet, the leftmost last
};

}  // namespace

std::string FormulaTranslator::TranslateNz(const std::string& f) {
    if (FindNoCase(f, "Nz") == std::string::npos) return f;
    const TokenList t(f);
    std::vector<std::size_t> calls;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].kind == TokenKind::Identifier && EqualsNoCase(t.Text(i), "Nz") && t.IsCall(i) &&
            !t.IsQualified(i))
            calls.push_back(i);
    if (calls.empty()) return f;
    const BracketPairs brackets(t);
    NzRewriter rewriter(f);
    std::size_t total = f.size();  // length of the text the rewrites so far have made
    // The last call is the innermost: its arguments hold no other.
    for (auto k = calls.rbegin(); k != calls.rend(); ++k) {
        const std::size_t open = t.NextSolid(*k);
        const std::size_t close = brackets.close[open];
        if (close == TokenList::npos || brackets.commas[open] > 1) break;
        const std::size_t comma = brackets.firstComma[open];
        Call call;
        call.from = t[*k].pos;
        call.to = t[close].pos + 1;
        std::size_t taken = 0;
        call.x =
            rewriter.Take(t[open].pos + 1, comma != TokenList::npos ? t[comma].pos : t[close].pos, taken);
        if (comma != TokenList::npos) call.y = rewriter.Take(t[comma].pos + 1, t[close].pos, taken);
        if (call.x.size == 0) break;
        if (comma == TokenList::npos) {
            const int type = ctx_.ValueTypeOf(rewriter.Text(call.x));
            if (IsTextValueType(type) || type == designer::crDateField || type == designer::crDateTimeField ||
                type == designer::crTimeField)
                call.yText = "\"\"";  // a date too shows as an empty box
            else if (type == designer::crBooleanField)
                call.yText = "False";
            else
                call.yText = "0";
        }
        call.size = 2 * call.x.size + (call.yText.empty() ? call.y.size : call.yText.size()) + 15;
        if (total + call.size > kMaxText) break;
        total = total + call.size - rewriter.CurrentSize(call, taken);
        rewriter.Add(std::move(call), taken);
    }
    return rewriter.Whole();
}

}  // namespace tolvaran
