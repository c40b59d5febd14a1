// The formula checker: a recursive-descent parser over the tokens of formula_lexer, typing
// every expression it reads. Levels, lowest first: assignment, Imp, Eqv, Xor, Or, And, Not,
// comparisons (= <> < > <= >= In Like StartsWith), ranges (To ...), &, + -, Mod, \, * / %,
// unary - + $, ^, subscripts, primaries. If, Select, For, While, Do, Exit and Redim begin an
// expression of their own and are not operands of operators.
#include "platform/designer/formula_check.h"

#include <map>

#include "platform/designer/formula_functions.h"
#include "platform/designer/formula_lexer.h"
#include "platform/designer/types.h"
#include "platform/designer/util.h"

namespace designer {

namespace msg {

std::string Missing(std::string_view token) {
    bool word = !token.empty() && ((token[0] >= 'A' && token[0] <= 'Z') || (token[0] >= 'a' && token[0] <= 'z'));
    if (word) return "The keyword '" + LowerAscii(token) + "' is missing.";
    return "The " + std::string(token) + " is missing.";
}

std::string MissingQuote(char quote) { return std::string("The matching ") + quote + " for this string is missing."; }

std::string Required(int valueType) {
    switch (valueType) {
        case crCurrencyField: return "A currency amount is required here.";
        case crBooleanField: return kBooleanRequired;
        case crDateField: return kDateRequired;
        case crTimeField: return "A time is required here.";
        case crStringField:
        case crTransientMemoField:
        case crPersistentMemoField: return kStringRequired;
        case crDateTimeField: return "A date-time is required here.";
        default: return kNumberRequired;
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

struct Val {
    Val() = default;
    Val(Ty t, size_t p, bool var = false) : ty(t), pos(p), isVar(var) {}
    Ty ty;
    size_t pos = 0;
    bool isVar = false;
    bool isRef = false;  // a database field reference
    std::string ref;     // its body ("Table.Field")
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
        case crNumberField: return Base::Number;
        case crCurrencyField: return Base::Currency;
        case crBooleanField: return Base::Boolean;
        case crDateField: return Base::Date;
        case crTimeField: return Base::Time;
        case crStringField:
        case crTransientMemoField:
        case crPersistentMemoField: return Base::String;
        case crDateTimeField: return Base::DateTime;
        default: return Base::Unknown;
    }
}

int ValueTypeOf(Base b) {
    switch (b) {
        case Base::Number: return crNumberField;
        case Base::Currency: return crCurrencyField;
        case Base::String: return crStringField;
        case Base::Boolean: return crBooleanField;
        case Base::Date: return crDateField;
        case Base::Time: return crTimeField;
        case Base::DateTime: return crDateTimeField;
        default: return crUnknownField;
    }
}

bool Numeric(Base b) { return b == Base::Number || b == Base::Currency; }
bool Dateish(Base b) { return b == Base::Date || b == Base::DateTime; }

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
    {"NumberVar", Base::Number}, {"CurrencyVar", Base::Currency}, {"StringVar", Base::String},
    {"BooleanVar", Base::Boolean}, {"DateVar", Base::Date},       {"TimeVar", Base::Time},
    {"DateTimeVar", Base::DateTime},
};

constexpr int kMaxDepth = 200;  // nesting deeper than this is refused, not recursed into

class Parser {
public:
    Parser(const std::vector<Token>& tokens, const FormulaSymbols& symbols) : t_(tokens), sym_(symbols) {}

    // Returns the formula's result type.
    Base Formula() {
        if (peek().kind == Tok::End) return Base::Unknown;  // an empty or comment-only formula is accepted
        Val v = StmtList(true);
        if (peek().kind != Tok::End) failAt(msg::kRemainingText);
        return v.ty.scalar() ? v.ty.base : Base::Unknown;
    }

private:
    const Token& peek() const { return t_[i_]; }
    void advance() {
        if (t_[i_].kind != Tok::End && t_[i_].kind != Tok::Error) ++i_;
    }
    bool isPunct(std::string_view p) const { return peek().kind == Tok::Punct && peek().text == p; }
    bool isWord(std::string_view w) const { return peek().kind == Tok::Word && EqualsNoCase(peek().text, w); }
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

    // ---- type checks -------------------------------------------------------------------
    void requireBool(const Val& v) const {
        if (v.ty.known() && (v.ty.base != Base::Boolean || !v.ty.scalar())) fail(msg::kBooleanRequired, v.pos);
    }
    void requireNumeric(const Val& v) const {
        if (v.ty.known() && (!Numeric(v.ty.base) || !v.ty.scalar())) fail(msg::kNumberOrCurrencyRequired, v.pos);
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
        while (isPunct(";")) {
            advance();
            if (!CanStartStmt()) break;  // a final ";" is optional
            last = Stmt(top);
        }
        return last;
    }

    bool CanStartStmt() const {
        switch (peek().kind) {
            case Tok::End:
            case Tok::Unknown: return false;
            case Tok::Punct: return isPunct("(") || isPunct("[") || isPunct("-") || isPunct("+") || isPunct("$");
            case Tok::Word:
                return !IsKeyword(peek().text) || IsVarTypeWord() ||
                       isWordIn({"If", "Select", "For", "While", "Do", "Exit", "Redim", "Not", "True", "False",
                                 "Local", "Global", "Shared", "UpTo", "UpTo_", "UpFrom", "UpFrom_"});
            default: return true;
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
        vars_[peek().text] = ty;
        advance();
        if (isPunct(":=")) {
            advance();
            Val v = Expr();
            requireCompatible(ty, v);
        }
        return Val{ty, pos};
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
            return Val{left.ty, left.pos};
        }
        return left;
    }

    Val If() {
        size_t pos = peek().pos;
        advance();
        Val cond = Expr();
        requireBool(cond);
        expectWord("Then");
        Val a = Stmt(false);
        if (isWord("Else")) {
            advance();
            Val b = Stmt(false);
            requireCompatible(a.ty, b);
            return Val{a.ty.known() ? a.ty : b.ty, pos};
        }
        return Val{a.ty, pos};
    }

    Val Select() {
        size_t pos = peek().pos;
        advance();
        Val sel = Expr();
        Ty result;
        auto branch = [&] {
            Val r = Stmt(false);
            requireCompatible(result, r);
            if (!result.known()) result = r.ty;
        };
        while (isWord("Case")) {
            advance();
            for (;;) {
                Val label;
                if (isWord("Is")) {
                    advance();
                    if (!(isPunct("=") || isPunct("<>") || isPunct("<") || isPunct(">") || isPunct("<=") ||
                          isPunct(">=")))
                        failAt(msg::kOperandExpected);
                    advance();
                    label = Concat();
                } else {
                    label = Range();
                }
                Ty scalar = label.ty;
                scalar.range = false;
                Ty selScalar = sel.ty;
                selScalar.range = false;
                if (!Compatible(selScalar, scalar)) fail(msg::Required(ValueTypeOf(sel.ty.base)), label.pos);
                if (!isPunct(",")) break;
                advance();
            }
            expectPunct(":");
            branch();
        }
        if (isWord("Default")) {
            advance();
            expectPunct(":");
            branch();
        }
        return Val{result, pos};
    }

    Val LoopVariable() {
        if (peek().kind != Tok::Word || !vars_.count(peek().text)) failAt(msg::kVariableNameExpected);
        Val v{vars_[peek().text], peek().pos, true};
        advance();
        return v;
    }

    Val For() {
        size_t pos = peek().pos;
        advance();
        Val var = LoopVariable();
        if (var.ty.known() && var.ty.base != Base::Number) fail(msg::kNumberRequired, var.pos);
        expectPunct(":=");
        requireNumeric(Concat());
        expectWord("To");
        requireNumeric(Concat());
        if (isWord("Step")) {
            advance();
            requireNumeric(Concat());
        }
        expectWord("Do");
        Stmt(false);
        return Val{{Base::Boolean}, pos};
    }

    Val While() {
        size_t pos = peek().pos;
        advance();
        requireBool(Expr());
        expectWord("Do");
        Stmt(false);
        return Val{{Base::Boolean}, pos};
    }

    Val Do() {
        size_t pos = peek().pos;
        advance();
        Stmt(false);
        expectWord("While");
        requireBool(Expr());
        return Val{{Base::Boolean}, pos};
    }

    Val Exit() {
        size_t pos = peek().pos;
        advance();
        if (!isWordIn({"For", "While"})) failAt(msg::Missing("For"));
        advance();
        return Val{{Base::Boolean}, pos};
    }

    Val Redim() {
        size_t pos = peek().pos;
        advance();
        if (isWord("Preserve")) advance();
        Val var = LoopVariable();
        if (var.ty.known() && !var.ty.array) fail(msg::kArrayOrStringRequired, var.pos);
        expectPunct("[");
        requireNumeric(Expr());
        expectPunct("]");
        return Val{var.ty, pos};
    }

    // ---- operators ---------------------------------------------------------------------
    template <class Next>
    Val BoolChain(const char* op, Next next) {
        Val l = (this->*next)();
        while (isWord(op)) {
            requireBool(l);
            advance();
            Val r = (this->*next)();
            requireBool(r);
            l = Val{{Base::Boolean}, l.pos};
        }
        return l;
    }
    Val Imp() { return BoolChain("Imp", &Parser::Eqv); }
    Val Eqv() { return BoolChain("Eqv", &Parser::Xor); }
    Val Xor() { return BoolChain("Xor", &Parser::Or); }
    Val Or() { return BoolChain("Or", &Parser::And); }
    Val And() { return BoolChain("And", &Parser::Not); }

    Val Not() {
        if (isWord("Not")) {
            Depth guard(*this);
            size_t pos = peek().pos;
            advance();
            requireBool(Not());
            return Val{{Base::Boolean}, pos};
        }
        return Compare();
    }

    Val Compare() {
        Val l = Range();
        for (;;) {
            if (isPunct("=") || isPunct("<>") || isPunct("<") || isPunct(">") || isPunct("<=") || isPunct(">=")) {
                advance();
                Val r = Range();
                if (l.ty.scalar() && r.ty.scalar()) requireCompatible(l.ty, r);
            } else if (isWord("In")) {
                advance();
                Val r = Range();
                if (r.ty.known() && r.ty.scalar() && r.ty.base != Base::String)
                    fail(msg::kStringOrArrayOrRangeRequired, r.pos);
            } else if (isWord("Like") || isWord("StartsWith")) {
                requireString(l);
                advance();
                requireString(Range());
            } else {
                return l;
            }
            l = Val{{Base::Boolean}, l.pos};
        }
    }

    Val Range() {
        if (isWordIn({"UpTo", "UpTo_", "UpFrom", "UpFrom_"})) {
            size_t pos = peek().pos;
            advance();
            Val v = Concat();
            return Val{{v.ty.base, false, true}, pos};
        }
        Val l = Concat();
        if (isWordIn({"To", "_To", "To_", "_To_"})) {
            advance();
            Val r = Concat();
            requireCompatible(l.ty, r);
            return Val{{l.ty.base, false, true}, l.pos};
        }
        return l;
    }

    Val Concat() {
        Val l = Add();
        while (isPunct("&")) {
            advance();
            Add();
            l = Val{{Base::String}, l.pos};
        }
        return l;
    }

    Val Add() {
        Val l = Mod();
        while (isPunct("+") || isPunct("-")) {
            bool plus = isPunct("+");
            advance();
            Val r = Mod();
            l = Val{plus ? PlusType(l, r) : MinusType(l, r), l.pos};
        }
        return l;
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
        if (Numeric(a) && Numeric(b)) return {a == Base::Currency || b == Base::Currency ? Base::Currency : Base::Number};
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
        if (Numeric(a) && Numeric(b)) return {a == Base::Currency || b == Base::Currency ? Base::Currency : Base::Number};
        if (Dateish(a) && Dateish(b)) return {Base::Number};
        if (a == Base::Time && b == Base::Time) return {Base::Number};
        if ((Dateish(a) || a == Base::Time) && b == Base::Number) return {a};
        if (Numeric(a) || Dateish(a) || a == Base::Time) fail(msg::kNumberRequired, r.pos);
        fail(msg::kNumberOrCurrencyRequired, l.pos);
    }

    Val Mod() {
        Val l = IntDiv();
        while (isWord("Mod")) {
            requireNumeric(l);
            advance();
            requireNumeric(IntDiv());
            l = Val{{Base::Number}, l.pos};
        }
        return l;
    }

    Val IntDiv() {
        Val l = Mul();
        while (isPunct("\\")) {
            requireNumeric(l);
            advance();
            requireNumeric(Mul());
            l = Val{{Base::Number}, l.pos};
        }
        return l;
    }

    Val Mul() {
        Val l = Unary();
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
            l = Val{t, l.pos};
        }
        return l;
    }

    Val Unary() {
        if (isPunct("-") || isPunct("+") || isPunct("$")) {
            Depth guard(*this);
            bool currency = isPunct("$");
            size_t pos = peek().pos;
            advance();
            Val v = Unary();
            requireNumeric(v);
            if (currency) return Val{{Base::Currency}, pos};
            return Val{v.ty, pos};
        }
        return Pow();
    }

    Val Pow() {
        Val l = Postfix();
        while (isPunct("^")) {
            requireNumeric(l);
            advance();
            requireNumeric(PowOperand());
            l = Val{{Base::Number}, l.pos};
        }
        return l;
    }

    Val PowOperand() {
        if (isPunct("-") || isPunct("+") || isPunct("$")) {
            Depth guard(*this);
            bool currency = isPunct("$");
            size_t pos = peek().pos;
            advance();
            Val v = PowOperand();
            requireNumeric(v);
            return Val{currency ? Ty{Base::Currency} : v.ty, pos};
        }
        return Postfix();
    }

    Val Postfix() {
        Val v = Primary();
        while (isPunct("[")) {
            advance();
            Val index = Expr();
            if (index.ty.known() && !Numeric(index.ty.base)) fail(msg::kNumberRequired, index.pos);
            expectPunct("]");
            if (v.ty.known()) {
                if (v.ty.array) v.ty.array = false;
                else if (v.ty.base != Base::String || !v.ty.scalar()) fail(msg::kArrayOrStringRequired, v.pos);
            }
            v.isRef = false;
        }
        return v;
    }

    Val Primary() {
        const Token& tok = peek();
        size_t pos = tok.pos;
        switch (tok.kind) {
            case Tok::Number: advance(); return Val{{Base::Number}, pos};
            case Tok::String: advance(); return Val{{Base::String}, pos};
            case Tok::DateTime: {
                Base b = DateLiteral(tok.text);
                if (b == Base::Unknown) fail(msg::kBadDateTime, pos);
                advance();
                return Val{{b}, pos};
            }
            case Tok::Brace: {
                int type = crUnknownField;
                if (!LookupReference(sym_, tok.text, type)) fail(msg::kFieldNotKnown, pos);
                Val v{{BaseOf(type)}, pos};
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
            case Tok::Word: return Word();
            case Tok::Error: fail(tok.text, pos);
            default: failAt(msg::kOperandExpected);
        }
    }

    Val ArrayLiteral() {
        Depth guard(*this);
        size_t pos = peek().pos;
        advance();
        Ty element;
        if (!isPunct("]")) {
            for (;;) {
                Val e = Expr();
                if (!element.known()) element = e.ty;
                else requireCompatible(element, e);
                if (!isPunct(",")) break;
                advance();
            }
        }
        expectPunct("]");
        element.array = true;
        return Val{element, pos};
    }

    static Base DateLiteral(const std::string& text) {
        std::string t = Trim(text);
        bool digit = false, colon = false, datePart = false;
        for (char c : t) {
            if (c >= '0' && c <= '9') digit = true;
            else if (c == ':') colon = true;
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
        if (EqualsNoCase(tok.text, "True") || EqualsNoCase(tok.text, "False")) {
            advance();
            return Val{{Base::Boolean}, pos};
        }
        if (IsKeyword(tok.text)) failAt(msg::kOperandExpected);
        if (auto it = vars_.find(tok.text); it != vars_.end()) {
            advance();
            return Val{it->second, pos, true};
        }
        if (const FunctionInfo* f = FindFunction(tok.text)) return Call(*f);
        Base b;
        if (FindConstant(tok.text, b)) {
            advance();
            return Val{{b}, pos};
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
        if (EqualsNoCase(f.name, "IIF")) requireBool(args[0]);
        if (f.groupArg > 0 && static_cast<int>(args.size()) >= f.groupArg) {
            const Val& g = args[f.groupArg - 1];
            if (g.isRef && !sym_.groupFields.count(g.ref)) fail(msg::kGroupRequired, g.pos);
        }
        Ty t;
        switch (f.ret) {
            case Ret::Fixed: t = Ty{f.type, false, f.range}; break;
            case Ret::Arg1: t = Ty{args.empty() ? Base::Unknown : args[0].ty.base}; break;
            case Ret::Arg2: t = Ty{args.size() < 2 ? Base::Unknown : args[1].ty.base}; break;
        }
        return Val{t, pos};
    }

    const std::vector<Token>& t_;
    const FormulaSymbols& sym_;
    size_t i_ = 0;
    int depth_ = 0;
    std::map<std::string, Ty, NoCaseLess> vars_;
};

}  // namespace
}  // namespace formula

FormulaCheckResult CheckFormula(std::string_view text, const FormulaSymbols& symbols) {
    FormulaCheckResult result;
    try {
        std::vector<formula::Token> tokens = formula::Tokenize(text);
        result.valueType = formula::ValueTypeOf(formula::Parser(tokens, symbols).Formula());
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
    return result;
}

}  // namespace designer
