// The formula checker: a recursive-descent parser over the tokens of formula_lexer, typing
// every expression it reads. Levels, lowest first: assignment, Imp, Eqv, Xor, Or, And, Not,
// comparisons (= <> < > <= >= In Like StartsWith), ranges (To ...), &, + -, Mod, \, * / %,
// unary - + $, ^, subscripts, primaries. If, Select, For, While, Do, Exit and Redim begin an
// expression of their own and are not operands of operators.
#include "platform/designer/formula_check.h"

#include <cstdlib>
#include <map>

#include "platform/common/text.h"
#include "platform/designer/formula_ast.h"
#include "platform/designer/formula_functions.h"
#include "platform/designer/formula_lexer.h"
#include "platform/designer/types.h"

namespace designer {

namespace msg {

std::string Missing(std::string_view token) {
    bool word =
        !token.empty() && ((token[0] >= 'A' && token[0] <= 'Z') || (token[0] >= 'a' && token[0] <= 'z'));
    if (word) return "The keyword '" + tolvaran::LowerCase(token) + "' is missing.";
    return "The " + std::string(token) + " is missing.";
}

std::string MissingQuote(char quote) {
    return std::string("The matching ") + quote + " for this string is missing.";
}

std::string Required(int valueType) {
    switch (valueType) {
        case crCurrencyField:
            return "A currency amount is required here.";
        case crBooleanField:
            return kBooleanRequired;
        case crDateField:
            return kDateRequired;
        case crTimeField:
            return "A time is required here.";
        case crStringField:
        case crTransientMemoField:
        case crPersistentMemoField:
            return kStringRequired;
        case crDateTimeField:
            return "A date-time is required here.";
        default:
            return kNumberRequired;
    }
}

}  // namespace msg

namespace formula {
namespace {

struct Ty {
    Base base = Base::Unknown;
    bool array = false;
    bool range = false;
    bool known() const { return base != Base::Unknown; }
    bool scalar() const { return !array && !range; }
};

using NodePtr = std::unique_ptr<FormulaNode>;

struct Val {
    Val() = default;
    Val(Ty t, size_t p, bool var = false) : ty(t), pos(p), isVar(var) {}
    Val(Ty t, size_t p, NodePtr n, bool var = false) : ty(t), pos(p), isVar(var), node(std::move(n)) {}
    Ty ty;
    size_t pos = 0;
    bool isVar = false;
    bool isRef = false;  // a database field reference
    std::string ref;     // its body ("Table.Field")
    NodePtr node;        // the tree of the expression, when the parser builds one
};

struct Failure {
    std::string message;
    size_t pos;
};

Base BaseOf(int valueType) {
    switch (valueType) {
        case crInt8sField:
        case crInt8uField:
        case crInt16sField:
        case crInt16uField:
        case crInt32sField:
        case crInt32uField:
        case crNumberField:
            return Base::Number;
        case crCurrencyField:
            return Base::Currency;
        case crBooleanField:
            return Base::Boolean;
        case crDateField:
            return Base::Date;
        case crTimeField:
            return Base::Time;
        case crStringField:
        case crTransientMemoField:
        case crPersistentMemoField:
            return Base::String;
        case crDateTimeField:
            return Base::DateTime;
        default:
            return Base::Unknown;
    }
}

int ValueTypeOf(Base b) {
    switch (b) {
        case Base::Number:
            return crNumberField;
        case Base::Currency:
            return crCurrencyField;
        case Base::String:
            return crStringField;
        case Base::Boolean:
            return crBooleanField;
        case Base::Date:
            return crDateField;
        case Base::Time:
            return crTimeField;
        case Base::DateTime:
            return crDateTimeField;
        default:
            return crUnknownField;
    }
}

bool Numeric(Base b) {
    return b == Base::Number || b == Base::Currency;
}
bool Dateish(Base b) {
    return b == Base::Date || b == Base::DateTime;
}

// Same family: Number with Currency, Date with DateTime, otherwise the same type.
bool Compatible(const Ty& a, const Ty& b) {
    if (!a.known() || !b.known()) return true;
    if (Numeric(a.base) && Numeric(b.base)) return true;
    if (Dateish(a.base) && Dateish(b.base)) return true;
    return a.base == b.base;
}

struct VarType {
    const char* keyword;
    Base base;
};
constexpr VarType kVarTypes[] = {
    {"NumberVar", Base::Number},     {"CurrencyVar", Base::Currency}, {"StringVar", Base::String},
    {"BooleanVar", Base::Boolean},   {"DateVar", Base::Date},         {"TimeVar", Base::Time},
    {"DateTimeVar", Base::DateTime},
};

constexpr int kMaxDepth = 200;  // nesting deeper than this is refused, not recursed into

class Parser {
  public:
    // With build, every expression read gets its tree (Val::node); without, only types.
    Parser(const std::vector<Token>& tokens, const FormulaSymbols& symbols, bool build = false)
        : t_(tokens), sym_(symbols), build_(build) {}

    // Returns the formula's result: its type, and its tree when building.
    Val Formula() {
        if (peek().kind == Tok::End) return Val{};  // an empty or comment-only formula is accepted
        Val v = StmtList(true);
        if (peek().kind != Tok::End) failAt(msg::kRemainingText);
        if (!v.ty.scalar()) v.ty = Ty{};
        return v;
    }

  private:
    const Token& peek() const { return t_[i_]; }
    void advance() {
        if (t_[i_].kind != Tok::End && t_[i_].kind != Tok::Error) ++i_;
    }
    bool isPunct(std::string_view p) const { return peek().kind == Tok::Punct && peek().text == p; }
    bool isWord(std::string_view w) const {
        return peek().kind == Tok::Word && tolvaran::EqualsNoCase(peek().text, w);
    }
    bool isWordIn(std::initializer_list<const char*> ws) const {
        for (const char* w : ws)
            if (isWord(w)) return true;
        return false;
    }

    [[noreturn]] void fail(const std::string& message, size_t pos) const { throw Failure{message, pos}; }
    // Fails at the current token; a token the lexer could not finish gives its own message.
    [[noreturn]] void failAt(const std::string& message) const {
        if (peek().kind == Tok::Error) fail(peek().text, peek().pos);
        fail(message, peek().pos);
    }
    void expectPunct(std::string_view p) {
        if (!isPunct(p)) failAt(msg::Missing(p));
        advance();
    }
    void expectWord(std::string_view w) {
        if (!isWord(w)) failAt(msg::Missing(w));
        advance();
    }

    struct Depth {
        Parser& p;
        explicit Depth(Parser& parser) : p(parser) {
            if (++p.depth_ > kMaxDepth) p.failAt(msg::kTooComplex);
        }
        ~Depth() { --p.depth_; }
    };

    // ---- tree building (nothing is made unless build_) ---------------------------------
    NodePtr make(FormulaNodeKind kind, size_t pos, std::string text = {}) const {
        if (!build_) return nullptr;
        auto n = std::make_unique<FormulaNode>();
        n->kind = kind;
        n->pos = pos;
        n->text = std::move(text);
        return n;
    }
    static void add(const NodePtr& parent, NodePtr kid) {
        if (parent) parent->kids.push_back(std::move(kid));
    }
    // A value of type t whose tree is n (the type is written into the node).
    static Val typed(Ty t, size_t pos, NodePtr n, bool var = false) {
        if (n) {
            n->valueType = ValueTypeOf(t.base);
            n->isArray = t.array;
            n->isRange = t.range;
        }
        return Val{t, pos, std::move(n), var};
    }
    // Appends "op r" to the chain that starts with l (the chain is made at the first operator).
    void extend(NodePtr& chain, Val& l, FormulaOperator op, Val& r) const {
        if (!build_) return;
        if (!chain) {
            chain = make(FormulaNodeKind::Chain, l.pos);
            chain->kids.push_back(std::move(l.node));
        }
        chain->ops.push_back(op);
        chain->kids.push_back(std::move(r.node));
    }
    // l, typed as the whole chain when one was made.
    static Val finish(NodePtr chain, Val l) {
        if (!chain) return l;
        return typed(l.ty, l.pos, std::move(chain));
    }

    // ---- type checks -------------------------------------------------------------------
    void requireBool(const Val& v) const {
        if (v.ty.known() && (v.ty.base != Base::Boolean || !v.ty.scalar()))
            fail(msg::kBooleanRequired, v.pos);
    }
    void requireNumeric(const Val& v) const {
        if (v.ty.known() && (!Numeric(v.ty.base) || !v.ty.scalar()))
            fail(msg::kNumberOrCurrencyRequired, v.pos);
    }
    void requireString(const Val& v) const {
        if (v.ty.known() && (v.ty.base != Base::String || !v.ty.scalar())) fail(msg::kStringRequired, v.pos);
    }
    void requireCompatible(const Ty& expected, const Val& v) const {
        if (!Compatible(expected, v.ty)) fail(msg::Required(ValueTypeOf(expected.base)), v.pos);
    }

    // ---- statements --------------------------------------------------------------------
    Val StmtList(bool top) {
        Val last = Stmt(top);
        NodePtr seq;
        while (isPunct(";")) {
            advance();
            if (!CanStartStmt()) break;  // a final ";" is optional
            if (build_ && !seq) {
                seq = make(FormulaNodeKind::Sequence, last.pos);
                seq->kids.push_back(std::move(last.node));
            }
            last = Stmt(top);
            if (seq) seq->kids.push_back(std::move(last.node));
        }
        if (!seq) return last;
        Val v = typed(last.ty, last.pos, std::move(seq));
        return v;
    }

    bool CanStartStmt() const {
        switch (peek().kind) {
            case Tok::End:
            case Tok::Unknown:
                return false;
            case Tok::Punct:
                return isPunct("(") || isPunct("[") || isPunct("-") || isPunct("+") || isPunct("$");
            case Tok::Word:
                return !IsKeyword(peek().text) || IsVarTypeWord() ||
                       isWordIn({"If", "Select", "For", "While", "Do", "Exit", "Redim", "Not", "True",
                                 "False", "Local", "Global", "Shared", "UpTo", "UpTo_", "UpFrom", "UpFrom_"});
            default:
                return true;
        }
    }

    bool IsVarTypeWord() const {
        for (auto& v : kVarTypes)
            if (isWord(v.keyword)) return true;
        return false;
    }

    Val Stmt(bool top) {
        if (isWordIn({"Local", "Global", "Shared"}) || IsVarTypeWord()) return Declaration();
        if (top && peek().kind == Tok::Word && !IsKnownWord(peek().text)) failAt(msg::kRemainingText);
        return Expr();
    }

    bool IsKnownWord(const std::string& w) const {
        Base b;
        return IsKeyword(w) || vars_.count(w) || FindFunction(w) || FindConstant(w, b);
    }

    Val Declaration() {
        size_t pos = peek().pos;
        VariableScope scope = VariableScope::Global;
        if (isWord("Local")) scope = VariableScope::Local;
        if (isWord("Shared")) scope = VariableScope::Shared;
        if (isWordIn({"Local", "Global", "Shared"})) advance();
        Ty ty;
        bool found = false;
        for (auto& v : kVarTypes)
            if (isWord(v.keyword)) {
                ty.base = v.base;
                found = true;
            }
        if (!found) failAt(msg::kVariableTypeExpected);
        advance();
        if (isWord("Range")) {
            ty.range = true;
            advance();
        }
        if (isWord("Array")) {
            ty.array = true;
            advance();
        }
        if (peek().kind != Tok::Word || IsKeyword(peek().text) || FindFunction(peek().text))
            failAt(msg::kVariableNameExpected);
        NodePtr node = make(FormulaNodeKind::Declare, pos, peek().text);
        if (node) node->scope = scope;
        vars_[peek().text] = ty;
        advance();
        if (isPunct(":=")) {
            advance();
            Val v = Expr();
            requireCompatible(ty, v);
            add(node, std::move(v.node));
        }
        return typed(ty, pos, std::move(node));
    }

    Val Expr() {
        Depth guard(*this);
        if (isWord("If")) return If();
        if (isWord("Select")) return Select();
        if (isWord("For")) return For();
        if (isWord("While")) return While();
        if (isWord("Do")) return Do();
        if (isWord("Exit")) return Exit();
        if (isWord("Redim")) return Redim();
        Val left = Imp();
        if (isPunct(":=")) {
            if (!left.isVar) fail(msg::kVariableNameExpected, left.pos);
            advance();
            Val right = Expr();
            requireCompatible(left.ty, right);
            NodePtr node = make(FormulaNodeKind::Assign, left.pos);
            add(node, std::move(left.node));
            add(node, std::move(right.node));
            return typed(left.ty, left.pos, std::move(node));
        }
        return left;
    }

    Val If() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::If, pos);
        Val cond = Expr();
        requireBool(cond);
        add(node, std::move(cond.node));
        expectWord("Then");
        Val a = Stmt(false);
        Ty aTy = a.ty;
        add(node, std::move(a.node));
        if (isWord("Else")) {
            advance();
            Val b = Stmt(false);
            requireCompatible(aTy, b);
            Ty t = aTy.known() ? aTy : b.ty;
            add(node, std::move(b.node));
            return typed(t, pos, std::move(node));
        }
        return typed(aTy, pos, std::move(node));
    }

    static FormulaOperator ComparisonOperator(const std::string& p) {
        if (p == "=") return FormulaOperator::Equal;
        if (p == "<>") return FormulaOperator::NotEqual;
        if (p == "<") return FormulaOperator::Less;
        if (p == ">") return FormulaOperator::Greater;
        if (p == "<=") return FormulaOperator::LessEqual;
        return FormulaOperator::GreaterEqual;
    }

    bool isComparison() const {
        return isPunct("=") || isPunct("<>") || isPunct("<") || isPunct(">") || isPunct("<=") ||
               isPunct(">=");
    }

    Val Select() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::Select, pos);
        Val sel = Expr();
        Ty selTy = sel.ty;
        add(node, std::move(sel.node));
        Ty result;
        auto branch = [&] {
            Val r = Stmt(false);
            requireCompatible(result, r);
            if (!result.known()) result = r.ty;
            add(node, std::move(r.node));
        };
        while (isWord("Case")) {
            NodePtr labels = make(FormulaNodeKind::CaseList, peek().pos);
            advance();
            for (;;) {
                Val label;
                if (isWord("Is")) {
                    size_t isPos = peek().pos;
                    advance();
                    if (!isComparison()) failAt(msg::kOperandExpected);
                    FormulaOperator op = ComparisonOperator(peek().text);
                    advance();
                    Val v = Concat();
                    NodePtr is = make(FormulaNodeKind::Unary, isPos);
                    if (is) is->ops.push_back(op);
                    Ty vt = v.ty;
                    add(is, std::move(v.node));
                    label = typed(vt, isPos, std::move(is));
                } else {
                    label = Range();
                }
                Ty scalar = label.ty;
                scalar.range = false;
                Ty selScalar = selTy;
                selScalar.range = false;
                if (!Compatible(selScalar, scalar)) fail(msg::Required(ValueTypeOf(selTy.base)), label.pos);
                add(labels, std::move(label.node));
                if (!isPunct(",")) break;
                advance();
            }
            expectPunct(":");
            add(node, std::move(labels));
            branch();
        }
        if (isWord("Default")) {
            advance();
            expectPunct(":");
            if (node) node->hasDefault = true;
            branch();
        }
        return typed(result, pos, std::move(node));
    }

    Val LoopVariable() {
        if (peek().kind != Tok::Word || !vars_.count(peek().text)) failAt(msg::kVariableNameExpected);
        Ty ty = vars_[peek().text];
        Val v = typed(ty, peek().pos, make(FormulaNodeKind::Variable, peek().pos, peek().text), true);
        advance();
        return v;
    }

    Val For() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::For, pos);
        Val var = LoopVariable();
        if (var.ty.known() && var.ty.base != Base::Number) fail(msg::kNumberRequired, var.pos);
        add(node, std::move(var.node));
        expectPunct(":=");
        Val from = Concat();
        requireNumeric(from);
        add(node, std::move(from.node));
        expectWord("To");
        Val to = Concat();
        requireNumeric(to);
        add(node, std::move(to.node));
        NodePtr step;
        if (isWord("Step")) {
            advance();
            Val s = Concat();
            requireNumeric(s);
            step = std::move(s.node);
        }
        add(node, std::move(step));
        expectWord("Do");
        add(node, Stmt(false).node);
        return typed({Base::Boolean}, pos, std::move(node));
    }

    Val While() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::While, pos);
        Val cond = Expr();
        requireBool(cond);
        add(node, std::move(cond.node));
        expectWord("Do");
        add(node, Stmt(false).node);
        return typed({Base::Boolean}, pos, std::move(node));
    }

    Val Do() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::DoWhile, pos);
        add(node, Stmt(false).node);
        expectWord("While");
        Val cond = Expr();
        requireBool(cond);
        add(node, std::move(cond.node));
        return typed({Base::Boolean}, pos, std::move(node));
    }

    Val Exit() {
        size_t pos = peek().pos;
        advance();
        if (!isWordIn({"For", "While"})) failAt(msg::Missing("For"));
        NodePtr node = make(FormulaNodeKind::Exit, pos, isWord("For") ? "For" : "While");
        advance();
        return typed({Base::Boolean}, pos, std::move(node));
    }

    Val Redim() {
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::Redim, pos);
        if (isWord("Preserve")) {
            if (node) node->number = 1;
            advance();
        }
        Val var = LoopVariable();
        if (var.ty.known() && !var.ty.array) fail(msg::kArrayOrStringRequired, var.pos);
        Ty ty = var.ty;
        add(node, std::move(var.node));
        expectPunct("[");
        Val size = Expr();
        requireNumeric(size);
        add(node, std::move(size.node));
        expectPunct("]");
        return typed(ty, pos, std::move(node));
    }

    // ---- operators ---------------------------------------------------------------------
    template <class Next>
    Val BoolChain(const char* op, FormulaOperator code, Next next) {
        Val l = (this->*next)();
        NodePtr chain;
        while (isWord(op)) {
            requireBool(l);
            advance();
            Val r = (this->*next)();
            requireBool(r);
            extend(chain, l, code, r);
            l = Val{{Base::Boolean}, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }
    Val Imp() { return BoolChain("Imp", FormulaOperator::Imp, &Parser::Eqv); }
    Val Eqv() { return BoolChain("Eqv", FormulaOperator::Eqv, &Parser::Xor); }
    Val Xor() { return BoolChain("Xor", FormulaOperator::Xor, &Parser::Or); }
    Val Or() { return BoolChain("Or", FormulaOperator::Or, &Parser::And); }
    Val And() { return BoolChain("And", FormulaOperator::And, &Parser::Not); }

    Val Not() {
        if (isWord("Not")) {
            Depth guard(*this);
            size_t pos = peek().pos;
            advance();
            Val v = Not();
            requireBool(v);
            NodePtr node = make(FormulaNodeKind::Unary, pos);
            if (node) node->ops.push_back(FormulaOperator::Not);
            add(node, std::move(v.node));
            return typed({Base::Boolean}, pos, std::move(node));
        }
        return Compare();
    }

    Val Compare() {
        Val l = Range();
        NodePtr chain;
        for (;;) {
            FormulaOperator op;
            if (isComparison()) {
                op = ComparisonOperator(peek().text);
                advance();
                Val r = Range();
                if (l.ty.scalar() && r.ty.scalar()) requireCompatible(l.ty, r);
                extend(chain, l, op, r);
            } else if (isWord("In")) {
                advance();
                Val r = Range();
                if (r.ty.known() && r.ty.scalar() && r.ty.base != Base::String)
                    fail(msg::kStringOrArrayOrRangeRequired, r.pos);
                extend(chain, l, FormulaOperator::In, r);
            } else if (isWord("Like") || isWord("StartsWith")) {
                op = isWord("Like") ? FormulaOperator::Like : FormulaOperator::StartsWith;
                requireString(l);
                advance();
                Val r = Range();
                requireString(r);
                extend(chain, l, op, r);
            } else {
                return finish(std::move(chain), std::move(l));
            }
            l = Val{{Base::Boolean}, l.pos};
        }
    }

    Val Range() {
        if (isWordIn({"UpTo", "UpTo_", "UpFrom", "UpFrom_"})) {
            size_t pos = peek().pos;
            FormulaOperator op = isWord("UpTo")     ? FormulaOperator::UpTo
                                 : isWord("UpTo_")  ? FormulaOperator::UpToOpen
                                 : isWord("UpFrom") ? FormulaOperator::UpFrom
                                                    : FormulaOperator::UpFromOpen;
            advance();
            Val v = Concat();
            NodePtr node = make(FormulaNodeKind::Range, pos);
            if (node) node->ops.push_back(op);
            Base b = v.ty.base;
            add(node, std::move(v.node));
            return typed({b, false, true}, pos, std::move(node));
        }
        Val l = Concat();
        if (isWordIn({"To", "_To", "To_", "_To_"})) {
            FormulaOperator op = isWord("To")    ? FormulaOperator::To
                                 : isWord("_To") ? FormulaOperator::ToOpenLow
                                 : isWord("To_") ? FormulaOperator::ToOpenHigh
                                                 : FormulaOperator::ToOpen;
            advance();
            Val r = Concat();
            requireCompatible(l.ty, r);
            NodePtr node = make(FormulaNodeKind::Range, l.pos);
            if (node) node->ops.push_back(op);
            Base b = l.ty.base;
            size_t pos = l.pos;
            add(node, std::move(l.node));
            add(node, std::move(r.node));
            return typed({b, false, true}, pos, std::move(node));
        }
        return l;
    }

    Val Concat() {
        Val l = Add();
        NodePtr chain;
        while (isPunct("&")) {
            advance();
            Val r = Add();
            extend(chain, l, FormulaOperator::Concat, r);
            l = Val{{Base::String}, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    Val Add() {
        Val l = Mod();
        NodePtr chain;
        while (isPunct("+") || isPunct("-")) {
            bool plus = isPunct("+");
            advance();
            Val r = Mod();
            Ty t = plus ? PlusType(l, r) : MinusType(l, r);
            extend(chain, l, plus ? FormulaOperator::Add : FormulaOperator::Subtract, r);
            l = Val{t, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    Ty PlusType(const Val& l, const Val& r) const {
        if (!l.ty.scalar()) fail(msg::kNumberOrCurrencyRequired, l.pos);
        if (!r.ty.scalar()) fail(msg::kNumberOrCurrencyRequired, r.pos);
        Base a = l.ty.base, b = r.ty.base;
        if (a == Base::Unknown || b == Base::Unknown) {
            if (a == Base::Boolean) fail(msg::kNumberOrCurrencyRequired, l.pos);
            if (b == Base::Boolean) fail(msg::kNumberOrCurrencyRequired, r.pos);
            return {};
        }
        if (Numeric(a) && Numeric(b))
            return {a == Base::Currency || b == Base::Currency ? Base::Currency : Base::Number};
        if (a == Base::String && b == Base::String) return {Base::String};
        if ((Dateish(a) || a == Base::Time) && b == Base::Number) return {a};
        if (a == Base::Number && (Dateish(b) || b == Base::Time)) return {b};
        if (a == Base::String) fail(msg::kStringRequired, r.pos);
        if (Numeric(a)) fail(msg::kNumberOrCurrencyRequired, r.pos);
        if (Dateish(a) || a == Base::Time) fail(msg::kNumberRequired, r.pos);
        fail(msg::kNumberOrCurrencyRequired, l.pos);
    }

    Ty MinusType(const Val& l, const Val& r) const {
        if (!l.ty.scalar()) fail(msg::kNumberOrCurrencyRequired, l.pos);
        if (!r.ty.scalar()) fail(msg::kNumberOrCurrencyRequired, r.pos);
        Base a = l.ty.base, b = r.ty.base;
        if (a == Base::Unknown || b == Base::Unknown) {
            if (a == Base::String || a == Base::Boolean) fail(msg::kNumberOrCurrencyRequired, l.pos);
            if (b == Base::String || b == Base::Boolean) fail(msg::kNumberOrCurrencyRequired, r.pos);
            return {};
        }
        if (Numeric(a) && Numeric(b))
            return {a == Base::Currency || b == Base::Currency ? Base::Currency : Base::Number};
        if (Dateish(a) && Dateish(b)) return {Base::Number};
        if (a == Base::Time && b == Base::Time) return {Base::Number};
        if ((Dateish(a) || a == Base::Time) && b == Base::Number) return {a};
        if (Numeric(a) || Dateish(a) || a == Base::Time) fail(msg::kNumberRequired, r.pos);
        fail(msg::kNumberOrCurrencyRequired, l.pos);
    }

    Val Mod() {
        Val l = IntDiv();
        NodePtr chain;
        while (isWord("Mod")) {
            requireNumeric(l);
            advance();
            Val r = IntDiv();
            requireNumeric(r);
            extend(chain, l, FormulaOperator::Mod, r);
            l = Val{{Base::Number}, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    Val IntDiv() {
        Val l = Mul();
        NodePtr chain;
        while (isPunct("\\")) {
            requireNumeric(l);
            advance();
            Val r = Mul();
            requireNumeric(r);
            extend(chain, l, FormulaOperator::IntDivide, r);
            l = Val{{Base::Number}, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    Val Mul() {
        Val l = Unary();
        NodePtr chain;
        while (isPunct("*") || isPunct("/") || isPunct("%")) {
            char op = peek().text[0];
            requireNumeric(l);
            advance();
            Val r = Unary();
            requireNumeric(r);
            Ty t{Base::Number};
            if (l.ty.known() && r.ty.known()) {
                bool lc = l.ty.base == Base::Currency, rc = r.ty.base == Base::Currency;
                if (op == '*' && lc && rc) fail(msg::kNumberRequired, r.pos);
                if ((op == '*' && (lc || rc)) || (op == '/' && lc && !rc)) t.base = Base::Currency;
            } else if (op != '%') {
                t = {};
            }
            extend(chain, l,
                   op == '*'   ? FormulaOperator::Multiply
                   : op == '/' ? FormulaOperator::Divide
                               : FormulaOperator::Percent,
                   r);
            l = Val{t, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    // A signed operand: "-", "+" or "$" before `operand` (itself, so signs repeat), else `next`.
    Val Signed(Val (Parser::*operand)(), Val (Parser::*next)()) {
        if (isPunct("-") || isPunct("+") || isPunct("$")) {
            Depth guard(*this);
            bool currency = isPunct("$");
            FormulaOperator op = currency       ? FormulaOperator::ToCurrency
                                 : isPunct("-") ? FormulaOperator::Negate
                                                : FormulaOperator::Plus;
            size_t pos = peek().pos;
            advance();
            Val v = (this->*operand)();
            requireNumeric(v);
            Ty t = currency ? Ty{Base::Currency} : v.ty;
            NodePtr node = make(FormulaNodeKind::Unary, pos);
            if (node) node->ops.push_back(op);
            add(node, std::move(v.node));
            return typed(t, pos, std::move(node));
        }
        return (this->*next)();
    }

    Val Unary() { return Signed(&Parser::Unary, &Parser::Pow); }

    Val Pow() {
        Val l = Postfix();
        NodePtr chain;
        while (isPunct("^")) {
            requireNumeric(l);
            advance();
            Val r = PowOperand();
            requireNumeric(r);
            extend(chain, l, FormulaOperator::Power, r);
            l = Val{{Base::Number}, l.pos};
        }
        return finish(std::move(chain), std::move(l));
    }

    // The right side of "^" takes its own signs but not another power.
    Val PowOperand() { return Signed(&Parser::PowOperand, &Parser::Postfix); }

    Val Postfix() {
        Val v = Primary();
        NodePtr sub;
        while (isPunct("[")) {
            advance();
            Val index = Expr();
            if (index.ty.known() && !Numeric(index.ty.base)) fail(msg::kNumberRequired, index.pos);
            expectPunct("]");
            if (v.ty.known()) {
                if (v.ty.array)
                    v.ty.array = false;
                else if (v.ty.base != Base::String || !v.ty.scalar())
                    fail(msg::kArrayOrStringRequired, v.pos);
            }
            if (build_) {
                if (!sub) {
                    sub = make(FormulaNodeKind::Subscript, v.pos);
                    sub->kids.push_back(std::move(v.node));
                }
                sub->kids.push_back(std::move(index.node));
            }
            v.isRef = false;
        }
        if (!sub) return v;
        // An element of a variable can be assigned to.
        bool var = v.isVar;
        return typed(v.ty, v.pos, std::move(sub), var);
    }

    Val Primary() {
        const Token& tok = peek();
        size_t pos = tok.pos;
        switch (tok.kind) {
            case Tok::Number: {
                NodePtr n = make(FormulaNodeKind::Number, pos);
                if (n) n->number = std::strtod(tok.text.c_str(), nullptr);
                advance();
                return typed({Base::Number}, pos, std::move(n));
            }
            case Tok::String: {
                NodePtr n = make(FormulaNodeKind::String, pos, tok.text);
                advance();
                return typed({Base::String}, pos, std::move(n));
            }
            case Tok::DateTime: {
                Base b = DateLiteral(tok.text);
                if (b == Base::Unknown) fail(msg::kBadDateTime, pos);
                NodePtr n = make(FormulaNodeKind::DateTime, pos, tok.text);
                advance();
                return typed({b}, pos, std::move(n));
            }
            case Tok::Brace: {
                int type = crUnknownField;
                if (!LookupReference(sym_, tok.text, type)) fail(msg::kFieldNotKnown, pos);
                Val v = typed({BaseOf(type)}, pos, make(FormulaNodeKind::Reference, pos, tok.text));
                if (!tok.text.empty() && tok.text[0] != '@' && tok.text[0] != '?') {
                    v.isRef = true;
                    v.ref = tok.text;
                }
                advance();
                return v;
            }
            case Tok::Punct:
                if (tok.text == "(") {
                    Depth guard(*this);
                    advance();
                    Val v = StmtList(false);
                    expectPunct(")");
                    v.pos = pos;
                    v.isVar = false;
                    v.isRef = false;
                    return v;
                }
                if (tok.text == "[") return ArrayLiteral();
                failAt(msg::kOperandExpected);
            case Tok::Word:
                return Word();
            case Tok::Error:
                fail(tok.text, pos);
            default:
                failAt(msg::kOperandExpected);
        }
    }

    Val ArrayLiteral() {
        Depth guard(*this);
        size_t pos = peek().pos;
        advance();
        NodePtr node = make(FormulaNodeKind::Array, pos);
        Ty element;
        if (!isPunct("]")) {
            for (;;) {
                Val e = Expr();
                if (!element.known())
                    element = e.ty;
                else
                    requireCompatible(element, e);
                add(node, std::move(e.node));
                if (!isPunct(",")) break;
                advance();
            }
        }
        expectPunct("]");
        element.array = true;
        return typed(element, pos, std::move(node));
    }

    static Base DateLiteral(const std::string& text) {
        std::string t(tolvaran::TrimBlanks(text));
        bool digit = false, colon = false, datePart = false;
        for (char c : t) {
            if (c >= '0' && c <= '9')
                digit = true;
            else if (c == ':')
                colon = true;
            else if (c == '/' || c == '-' || c == ',' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
                if (c != 'a' && c != 'm' && c != 'p' && c != 'A' && c != 'M' && c != 'P') datePart = true;
            } else if (c != ' ' && c != '.') {
                return Base::Unknown;
            }
        }
        if (!digit) return Base::Unknown;
        if (colon) return datePart ? Base::DateTime : Base::Time;
        return Base::Date;
    }

    Val Word() {
        const Token& tok = peek();
        size_t pos = tok.pos;
        if (tolvaran::EqualsNoCase(tok.text, "True") || tolvaran::EqualsNoCase(tok.text, "False")) {
            NodePtr n = make(FormulaNodeKind::Boolean, pos);
            if (n) n->number = tolvaran::EqualsNoCase(tok.text, "True") ? 1 : 0;
            advance();
            return typed({Base::Boolean}, pos, std::move(n));
        }
        if (IsKeyword(tok.text)) failAt(msg::kOperandExpected);
        if (auto it = vars_.find(tok.text); it != vars_.end()) {
            Val v = typed(it->second, pos, make(FormulaNodeKind::Variable, pos, tok.text), true);
            advance();
            return v;
        }
        if (const FunctionInfo* f = FindFunction(tok.text)) return Call(*f);
        Base b;
        if (FindConstant(tok.text, b)) {
            Val v = typed({b}, pos, make(FormulaNodeKind::Constant, pos, tok.text));
            advance();
            return v;
        }
        failAt(msg::kOperandExpected);
    }

    Val Call(const FunctionInfo& f) {
        Depth guard(*this);
        size_t pos = peek().pos;
        advance();
        std::vector<Val> args;
        if (isPunct("(")) {
            advance();
            if (!isPunct(")")) {
                for (;;) {
                    args.push_back(Expr());
                    if (!isPunct(",")) break;
                    advance();
                    if (static_cast<int>(args.size()) >= f.maxArgs) failAt(msg::kTooManyArguments);
                }
            }
            if (!isPunct(")")) failAt(msg::Missing(")"));
            if (static_cast<int>(args.size()) < f.minArgs) failAt(msg::kNotEnoughArguments);
            advance();
        } else if (f.minArgs > 0) {
            failAt(msg::Missing("("));
        }
        if (tolvaran::EqualsNoCase(f.name, "IIF")) requireBool(args[0]);
        if (f.groupArg > 0 && static_cast<int>(args.size()) >= f.groupArg) {
            const Val& g = args[f.groupArg - 1];
            if (g.isRef && !sym_.groupFields.count(g.ref)) fail(msg::kGroupRequired, g.pos);
        }
        Ty t;
        switch (f.ret) {
            case Ret::Fixed:
                t = Ty{f.type, false, f.range};
                break;
            case Ret::Arg1:
                t = Ty{args.empty() ? Base::Unknown : args[0].ty.base};
                break;
            case Ret::Arg2:
                t = Ty{args.size() < 2 ? Base::Unknown : args[1].ty.base};
                break;
        }
        NodePtr node = make(FormulaNodeKind::Call, pos, f.name);
        for (Val& a : args) add(node, std::move(a.node));
        return typed(t, pos, std::move(node));
    }

    const std::vector<Token>& t_;
    const FormulaSymbols& sym_;
    bool build_;
    size_t i_ = 0;
    int depth_ = 0;
    std::map<std::string, Ty, tolvaran::NoCaseLess> vars_;
};

}  // namespace
}  // namespace formula

namespace {

ParsedFormula Parse(std::string_view text, const FormulaSymbols& symbols, bool build) {
    ParsedFormula parsed;
    FormulaCheckResult& result = parsed.check;
    try {
        std::vector<formula::Token> tokens = formula::Tokenize(text);
        formula::Val v = formula::Parser(tokens, symbols, build).Formula();
        result.valueType = formula::ValueTypeOf(v.ty.base);
        parsed.root = std::move(v.node);
    } catch (const formula::Failure& f) {
        result.ok = false;
        result.message = f.message;
        result.position = f.pos;
    } catch (const std::exception& e) {
        result.ok = false;
        result.message = e.what();
    } catch (...) {
        result.ok = false;
        result.message = msg::kTooComplex;
    }
    if (!result.ok) parsed.root.reset();
    return parsed;
}

}  // namespace

FormulaCheckResult CheckFormula(std::string_view text, const FormulaSymbols& symbols) {
    return Parse(text, symbols, false).check;
}

ParsedFormula ParseFormula(std::string_view text, const FormulaSymbols& symbols) {
    return Parse(text, symbols, true);
}

}  // namespace designer
