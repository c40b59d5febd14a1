// The text is a linked list of its tokens and of the pieces the rewrites put in, walked once
// from the left. Each bracket level open at the walk's position knows where an operand would
// start (after its last comma, comparison or keyword, or after its "("), so finding an
// operand takes no walk back over the text, and a rewrite is a few links changed.
#include "convert/formula/is_null.h"

#include <string_view>
#include <vector>

#include "platform/common/expression_tokens.h"

namespace tolvaran {
namespace {

bool IsWord(const TokenList& t, std::size_t i, std::string_view word) {
    return i < t.size() && t[i].kind == TokenKind::Identifier && t.Text(i) == word;
}

// A comma, a comparison or a keyword: an operand of "Is" starts after the nearest one.
bool EndsOperand(const TokenList& t, std::size_t i) {
    switch (t[i].kind) {
        case TokenKind::Comma:
            return true;
        case TokenKind::Operator: {
            const std::string_view op = t.Text(i);
            return op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=";
        }
        case TokenKind::Identifier:
            return IsKeyword(t.Text(i));
        default:
            return false;
    }
}

class IsNullRewriter {
  public:
    explicit IsNullRewriter(const TokenList& t) : t_(t) {
        nodes_.reserve(t.size() + 1);
        nodes_.push_back({{}, false, kNone, t.empty() ? kNone : 1});  // the head: before the first token
        for (std::size_t i = 0; i < t.size(); ++i)
            nodes_.push_back({t.Text(i), t[i].kind == TokenKind::Space, i, i + 2});
        nodes_.back().next = kNone;
    }

    std::string Run(std::size_t limit) {
        std::vector<std::size_t> levels = {kHead};  // per open bracket: the node an operand follows
        bool baseBroken = false;                    // a ")" that closes nothing since the base level's anchor
        std::size_t done = 0;
        for (std::size_t i = 0; i < t_.size(); ++i) {
            if (done < limit && Rewrite(i, levels.back(), levels.size() == 1 && baseBroken)) {
                ++done;
                continue;
            }
            switch (t_[i].kind) {
                case TokenKind::LParen:
                    levels.push_back(NodeOf(i));
                    break;
                case TokenKind::RParen:
                    if (levels.size() > 1) {
                        levels.pop_back();
                    } else {
                        // Everything before an unmatched ")" is inside it for an operand after it.
                        levels.back() = kHead;
                        baseBroken = true;
                    }
                    break;
                default:
                    if (EndsOperand(t_, i)) {
                        levels.back() = NodeOf(i);
                        if (levels.size() == 1) baseBroken = false;
                    }
            }
        }
        std::string out;
        out.reserve(t_.Source().size() + 16 * done);
        for (std::size_t n = nodes_[kHead].next; n != kNone; n = nodes_[n].next) out += nodes_[n].text;
        return out;
    }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    static constexpr std::size_t kHead = 0;

    struct Node {
        std::string_view text;
        bool blank;
        std::size_t prev, next;
    };

    static std::size_t NodeOf(std::size_t token) { return token + 1; }

    // Rewrites the "Is" at token i when it is one to rewrite; `anchor` is the node its operand
    // follows. When `broken`, the operand holds a ")" that closes nothing: the rewrite's "("
    // closes there, its ")" closes nothing, and the level's operands start at the text's start
    // again. Advances i to the "Null".
    bool Rewrite(std::size_t& i, std::size_t& anchor, bool broken) {
        if (i == 0 || !IsWord(t_, i, "Is") || t_[i - 1].kind != TokenKind::Space) return false;
        const std::size_t next = t_.NextSolid(i);
        const bool negated = IsWord(t_, next, "Not");
        const std::size_t null = negated ? t_.NextSolid(next) : next;
        if (!IsWord(t_, null, "Null")) return false;
        std::size_t start = nodes_[anchor].next;
        while (nodes_[start].blank) start = nodes_[start].next;
        if (start == NodeOf(i)) return false;  // no operand
        std::size_t end = nodes_[NodeOf(i)].prev;
        while (nodes_[end].blank) end = nodes_[end].prev;

        if (nodes_[start].prev == anchor && anchor != kHead && anchor <= t_.size() &&
            t_[anchor - 1].kind == TokenKind::Identifier)
            InsertBefore(start, " ", true);
        std::size_t notNode = kNone;
        if (negated) {
            notNode = InsertBefore(start, "Not", false);
            InsertBefore(start, " ", true);
        }
        InsertBefore(start, "IsNull(", false);
        const std::size_t close = InsertBefore(nodes_[end].next, ")", false);
        // The blanks, "Is", "Not" and "Null" after the operand go.
        nodes_[close].next = NodeOf(null) + 1 <= t_.size() ? NodeOf(null + 1) : kNone;
        if (nodes_[close].next != kNone) nodes_[nodes_[close].next].prev = close;

        if (broken)
            anchor = kHead;
        else if (negated)
            anchor = notNode;
        i = null;
        return true;
    }

    std::size_t InsertBefore(std::size_t at, std::string_view text, bool blank) {
        const std::size_t prev = nodes_[at].prev;
        nodes_.push_back({text, blank, prev, at});
        const std::size_t n = nodes_.size() - 1;
        nodes_[prev].next = n;
        nodes_[at].prev = n;
        return n;
    }

    const TokenList& t_;
    std::vector<Node> nodes_;
};

}  // namespace

std::string RewriteIsNull(const std::string& f, std::size_t limit) {
    if (limit == 0 || f.find("Is") == std::string::npos) return f;
    const TokenList t(f);
    return IsNullRewriter(t).Run(limit);
}

}  // namespace tolvaran
