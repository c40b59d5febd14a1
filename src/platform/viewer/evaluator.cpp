// The evaluator's core: literals, references, operators, If, Select, loops and variables.
#include "platform/viewer/evaluator.h"

#include <cmath>

#include "platform/common/com_error.h"
#include "platform/common/vbstring.h"
#include "platform/designer/types.h"
#include "platform/viewer/evaluator_internal.h"

namespace viewer {

using designer::FormulaNode;
using designer::FormulaNodeKind;
using designer::FormulaOperator;

using detail::Fail;

namespace {

constexpr long kMaxLoopSteps = 100000;  // loop-condition evaluations per formula evaluation
constexpr size_t kMaxString = 65534;    // characters of a string value, in bytes of UTF-8 here
// Nodes evaluated one inside another on this thread, formulas evaluated inside formulas and
// summaries included: far more than any tree the checker passes (it refuses deeper nesting),
// few enough for the stack.
constexpr int kMaxNesting = 1000;
thread_local int tNesting = 0;

class Nesting {
  public:
    Nesting() {
        if (++tNesting > kMaxNesting) {
            --tNesting;
            Fail(designer::msg::kTooComplex);
        }
    }
    ~Nesting() { --tNesting; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
};

// a & b, or a + b of two strings, appended to a in place: a chain of them takes time in
// proportion to its length.
void Append(Value& a, const std::string& b) {
    if (a.text.size() + b.size() > kMaxString) Fail("A string can be at most 65534 characters long.");
    a.text += b;
}

struct ExitLoop {
    bool isFor;
};

double Divide(double a, double b) {
    if (b == 0) Fail("Division by zero.");
    return a / b;
}

}  // namespace

Value DefaultOf(int valueType) {
    using namespace designer;
    switch (valueType) {
        case crCurrencyField:
            return Value::Currency(0);
        case crBooleanField:
            return Value::Boolean(false);
        case crStringField:
        case crTransientMemoField:
        case crPersistentMemoField:
            return Value::String("");
        case crDateField:
        case crTimeField:
        case crDateTimeField:
        case crUnknownField:
            return Value::Null();
        default:
            return Value::Number(0);
    }
}

namespace detail {

void Fail(const std::string& message) {
    throw FormulaError(message);
}

const FormulaNode& Arg(const FormulaNode& call, size_t i) {
    return *call.kids[i];
}

bool Has(const FormulaNode& call, size_t i) {
    return call.kids.size() > i && call.kids[i];
}

Value Evaluator::Need(const FormulaNode& n) {
    Value v = Eval(n);
    if (v.IsNull()) throw NullStop{};
    return v;
}

double Evaluator::NeedNumber(const FormulaNode& n) {
    Value v = Need(n);
    if (v.IsNumeric() || v.kind == ValueKind::Boolean) return v.number;
    Fail("A number is required here.");
}

std::string Evaluator::NeedString(const FormulaNode& n) {
    Value v = Need(n);
    if (v.kind == ValueKind::String) return v.text;
    return ToText(v);
}

double Evaluator::NeedDate(const FormulaNode& n) {
    Value v = Need(n);
    if (v.IsDateLike() || v.kind == ValueKind::Time) return v.number;
    if (v.kind == ValueKind::String) {
        double serial = 0;
        bool d = false, t = false;
        if (ParseDateTimeText(v.text, serial, d, t)) return serial;
    }
    Fail("A date is required here.");
}

bool Evaluator::NeedBool(const FormulaNode& n) {
    Value v = Need(n);
    if (v.kind != ValueKind::Boolean) Fail("A boolean is required here.");
    return v.number != 0;
}

void Evaluator::CountLoop() {
    if (++loopSteps_ > kMaxLoopSteps)
        Fail("A loop was evaluated more than the maximum number of times allowed.");
}

Value Evaluator::Eval(const FormulaNode& n) {
    const Nesting nesting;
    switch (n.kind) {
        case FormulaNodeKind::Number:
            return Value::Number(n.number);
        case FormulaNodeKind::String:
            return Value::String(n.text);
        case FormulaNodeKind::Boolean:
            return Value::Boolean(n.number != 0);
        case FormulaNodeKind::DateTime: {
            double serial = 0;
            bool hasDate = false, hasTime = false;
            if (!ParseDateTimeText(n.text, serial, hasDate, hasTime))
                Fail("A date-time literal is not valid here.");
            if (n.valueType == designer::crTimeField) return Value::Time(serial);
            if (n.valueType == designer::crDateField) return Value::Date(serial);
            return Value::DateTime(serial);
        }
        case FormulaNodeKind::Reference: {
            const std::string& body = n.text;
            if (!body.empty() && body[0] == '@') return scope_.Formula(body.substr(1));
            if (!body.empty() && body[0] == '?') return scope_.Parameter(body.substr(1));
            return scope_.Field(body);
        }
        case FormulaNodeKind::Variable:
            return VariableSlot(n.text);
        case FormulaNodeKind::Constant:
            return ConstantValue(n.text);
        case FormulaNodeKind::Call:
            return CallFunction(*this, n);
        case FormulaNodeKind::Chain:
            return Chain(n);
        case FormulaNodeKind::Unary:
            return Unary(n);
        case FormulaNodeKind::Range:
            return RangeOf(n);
        case FormulaNodeKind::Assign:
            return Assign(n);
        case FormulaNodeKind::Declare:
            return Declare(n);
        case FormulaNodeKind::If:
            return If(n);
        case FormulaNodeKind::Select:
            return Select(n);
        case FormulaNodeKind::For:
        case FormulaNodeKind::While:
        case FormulaNodeKind::DoWhile:
            return Loop(n);
        case FormulaNodeKind::Exit:
            throw ExitLoop{n.text == "For"};
        case FormulaNodeKind::Redim:
            return Redim(n);
        case FormulaNodeKind::Sequence: {
            Value last;
            for (const auto& k : n.kids)
                if (k) last = Eval(*k);
            return last;
        }
        case FormulaNodeKind::Array: {
            std::vector<Value> items;
            items.reserve(n.kids.size());
            for (const auto& k : n.kids) items.push_back(Need(*k));
            return Value::Array(std::move(items));
        }
        case FormulaNodeKind::Subscript:
            return Subscript(n);
        case FormulaNodeKind::CaseList:
            break;
    }
    Fail("This part of the formula cannot be evaluated.");
}

Value Evaluator::Chain(const FormulaNode& n) {
    Value acc = Need(*n.kids[0]);
    for (size_t i = 0; i < n.ops.size(); ++i) {
        FormulaOperator op = n.ops[i];
        const FormulaNode& right = *n.kids[i + 1];
        // And and Or stop once the result is known.
        if (op == FormulaOperator::And || op == FormulaOperator::Or) {
            if (acc.kind != ValueKind::Boolean) Fail("A boolean is required here.");
            bool a = acc.number != 0;
            if (op == FormulaOperator::And && !a) continue;
            if (op == FormulaOperator::Or && a) continue;
            acc = Value::Boolean(NeedBool(right));
            continue;
        }
        if (op == FormulaOperator::Concat) {
            if (acc.kind != ValueKind::String) acc = Value::String(ConcatText(acc));
            Append(acc, ConcatText(Need(right)));
            continue;
        }
        Value b = Need(right);
        if (op == FormulaOperator::Add && acc.kind == ValueKind::String && b.kind == ValueKind::String) {
            Append(acc, b.text);
            continue;
        }
        acc = Binary(op, acc, b);
    }
    return acc;
}

Value Evaluator::Binary(FormulaOperator op, const Value& a, const Value& b) {
    auto numeric = [&](double r) {
        bool currency = a.kind == ValueKind::Currency || b.kind == ValueKind::Currency;
        return currency ? Value::Currency(r) : Value::Number(r);
    };
    auto needNumbers = [&] {
        if (!(a.IsNumeric() || a.kind == ValueKind::Boolean) ||
            !(b.IsNumeric() || b.kind == ValueKind::Boolean))
            Fail("A number or currency amount is required here.");
    };
    switch (op) {
        case FormulaOperator::Power:
            needNumbers();
            return Value::Number(std::pow(a.number, b.number));
        case FormulaOperator::Multiply:
            needNumbers();
            return numeric(a.number * b.number);
        case FormulaOperator::Divide:
            needNumbers();
            if (a.kind == ValueKind::Currency && b.kind != ValueKind::Currency)
                return Value::Currency(Divide(a.number, b.number));
            return Value::Number(Divide(a.number, b.number));
        case FormulaOperator::Percent:
            needNumbers();
            return Value::Number(Divide(a.number, b.number) * 100);
        case FormulaOperator::IntDivide:
            needNumbers();
            return Value::Number(std::trunc(Divide(a.number, b.number)));
        case FormulaOperator::Mod:
            needNumbers();
            if (b.number == 0) Fail("Division by zero.");
            return Value::Number(std::fmod(a.number, b.number));
        case FormulaOperator::Add:
            if (a.kind == ValueKind::String && b.kind == ValueKind::String)
                return Value::String(a.text + b.text);
            if (a.IsDateLike() && b.IsNumeric()) {
                Value r = a;
                r.number += a.kind == ValueKind::Date ? std::trunc(b.number) : b.number;
                return r;
            }
            if (b.IsDateLike() && a.IsNumeric()) return Binary(op, b, a);
            if (a.kind == ValueKind::Time && b.IsNumeric()) return Value::Time(a.number + b.number / 86400.0);
            if (b.kind == ValueKind::Time && a.IsNumeric()) return Value::Time(b.number + a.number / 86400.0);
            needNumbers();
            return numeric(a.number + b.number);
        case FormulaOperator::Subtract:
            if (a.IsDateLike() && b.IsDateLike()) return Value::Number(a.number - b.number);
            if (a.kind == ValueKind::Time && b.kind == ValueKind::Time)
                return Value::Number(std::round((a.number - b.number) * 86400.0));
            if (a.IsDateLike() && b.IsNumeric()) {
                Value r = a;
                r.number -= a.kind == ValueKind::Date ? std::trunc(b.number) : b.number;
                return r;
            }
            if (a.kind == ValueKind::Time && b.IsNumeric()) return Value::Time(a.number - b.number / 86400.0);
            needNumbers();
            return numeric(a.number - b.number);
        case FormulaOperator::Concat:
            return Value::String(ConcatText(a) + ConcatText(b));
        case FormulaOperator::Equal:
            return Value::Boolean(Compare(a, b) == 0);
        case FormulaOperator::NotEqual:
            return Value::Boolean(Compare(a, b) != 0);
        case FormulaOperator::Less:
            return Value::Boolean(Compare(a, b) < 0);
        case FormulaOperator::Greater:
            return Value::Boolean(Compare(a, b) > 0);
        case FormulaOperator::LessEqual:
            return Value::Boolean(Compare(a, b) <= 0);
        case FormulaOperator::GreaterEqual:
            return Value::Boolean(Compare(a, b) >= 0);
        case FormulaOperator::In:
            return Value::Boolean(Contains(b, a));
        case FormulaOperator::Like:
            return Value::Boolean(LikeMatch(ToText(a), ToText(b)));
        case FormulaOperator::StartsWith: {
            std::string s = ToText(a), p = ToText(b);
            return Value::Boolean(s.compare(0, p.size(), p) == 0);
        }
        case FormulaOperator::Xor:
        case FormulaOperator::Eqv:
        case FormulaOperator::Imp: {
            if (a.kind != ValueKind::Boolean || b.kind != ValueKind::Boolean)
                Fail("A boolean is required here.");
            bool x = a.number != 0, y = b.number != 0;
            if (op == FormulaOperator::Xor) return Value::Boolean(x != y);
            if (op == FormulaOperator::Eqv) return Value::Boolean(x == y);
            return Value::Boolean(!x || y);
        }
        default:
            break;
    }
    Fail("This operator cannot be evaluated here.");
}

Value Evaluator::Unary(const FormulaNode& n) {
    switch (n.ops[0]) {
        case FormulaOperator::Not:
            return Value::Boolean(!NeedBool(*n.kids[0]));
        case FormulaOperator::Negate: {
            Value v = Need(*n.kids[0]);
            if (!v.IsNumeric()) Fail("A number or currency amount is required here.");
            v.number = -v.number;
            return v;
        }
        case FormulaOperator::Plus:
            return Need(*n.kids[0]);
        case FormulaOperator::ToCurrency:
            return Value::Currency(NeedNumber(*n.kids[0]));
        default:
            break;  // Is <comparison> of a Case label, evaluated by CaseMatches
    }
    Fail("This operator cannot be evaluated here.");
}

Value Evaluator::RangeOf(const FormulaNode& n) {
    switch (n.ops[0]) {
        case FormulaOperator::UpTo:
            return Value::Range(Value::Null(), Need(*n.kids[0]));
        case FormulaOperator::UpToOpen:
            return Value::Range(Value::Null(), Need(*n.kids[0]), false, true);
        case FormulaOperator::UpFrom:
            return Value::Range(Need(*n.kids[0]), Value::Null());
        case FormulaOperator::UpFromOpen:
            return Value::Range(Need(*n.kids[0]), Value::Null(), true, false);
        default:
            break;
    }
    Value low = Need(*n.kids[0]), high = Need(*n.kids[1]);
    bool lowOpen = n.ops[0] == FormulaOperator::ToOpenLow || n.ops[0] == FormulaOperator::ToOpen;
    bool highOpen = n.ops[0] == FormulaOperator::ToOpenHigh || n.ops[0] == FormulaOperator::ToOpen;
    return Value::Range(std::move(low), std::move(high), lowOpen, highOpen);
}

Value Evaluator::If(const FormulaNode& n) {
    if (NeedBool(*n.kids[0])) return n.kids[1] ? Eval(*n.kids[1]) : DefaultOf(n.valueType);
    if (n.kids.size() > 2 && n.kids[2]) return Eval(*n.kids[2]);
    return DefaultOf(n.valueType);
}

bool Evaluator::CaseMatches(const FormulaNode& label, const Value& selector) {
    if (label.kind == FormulaNodeKind::Unary && !label.ops.empty()) {
        switch (label.ops[0]) {
            case FormulaOperator::Equal:
            case FormulaOperator::NotEqual:
            case FormulaOperator::Less:
            case FormulaOperator::Greater:
            case FormulaOperator::LessEqual:
            case FormulaOperator::GreaterEqual:
                return Binary(label.ops[0], selector, Need(*label.kids[0])).IsTrue();
            default:
                break;
        }
    }
    Value v = Need(label);
    if (v.kind == ValueKind::Range) return Contains(v, selector);
    return Compare(selector, v) == 0;
}

Value Evaluator::Select(const FormulaNode& n) {
    Value selector = Need(*n.kids[0]);
    size_t cases = (n.kids.size() - 1 - (n.hasDefault ? 1 : 0)) / 2;
    for (size_t c = 0; c < cases; ++c) {
        const FormulaNode& labels = *n.kids[1 + 2 * c];
        for (const auto& label : labels.kids)
            if (label && CaseMatches(*label, selector)) return Eval(*n.kids[2 + 2 * c]);
    }
    if (n.hasDefault) return Eval(*n.kids.back());
    return DefaultOf(n.valueType);
}

Value Evaluator::Loop(const FormulaNode& n) {
    try {
        if (n.kind == FormulaNodeKind::While) {
            for (;;) {
                CountLoop();
                if (!NeedBool(*n.kids[0])) break;
                Eval(*n.kids[1]);
            }
        } else if (n.kind == FormulaNodeKind::DoWhile) {
            do {
                Eval(*n.kids[0]);
                CountLoop();
            } while (NeedBool(*n.kids[1]));
        } else {
            Value& counter = VariableSlot(n.kids[0]->text);
            double from = NeedNumber(*n.kids[1]), to = NeedNumber(*n.kids[2]);
            double step = n.kids[3] ? NeedNumber(*n.kids[3]) : 1;
            if (step == 0) Fail("The step of a For loop cannot be zero.");
            counter = Value::Number(from);
            for (;;) {
                CountLoop();
                Value& c = VariableSlot(n.kids[0]->text);
                if (c.kind != ValueKind::Number) Fail("A number is required here.");
                if ((step > 0 && c.number > to) || (step < 0 && c.number < to)) break;
                Eval(*n.kids[4]);
                Value& after = VariableSlot(n.kids[0]->text);
                after = Value::Number(after.number + step);
            }
        }
    } catch (const ExitLoop& e) {
        bool forLoop = n.kind == FormulaNodeKind::For;
        if (e.isFor != forLoop) throw;
    }
    return Value::Boolean(true);
}

Value& Evaluator::VariableSlot(const std::string& name) {
    auto d = declared_.find(name);
    if (d != declared_.end()) {
        switch (d->second) {
            case designer::VariableScope::Local:
                return locals_[name];
            case designer::VariableScope::Global:
                return scope_.Globals()[name];
            case designer::VariableScope::Shared:
                return scope_.Shared()[name];
        }
    }
    if (auto it = locals_.find(name); it != locals_.end()) return it->second;
    if (auto it = scope_.Globals().find(name); it != scope_.Globals().end()) return it->second;
    if (auto it = scope_.Shared().find(name); it != scope_.Shared().end()) return it->second;
    return locals_[name];
}

Value Evaluator::Declare(const FormulaNode& n) {
    declared_[n.text] = n.scope;
    Variables* vars = &locals_;
    if (n.scope == designer::VariableScope::Global) vars = &scope_.Globals();
    if (n.scope == designer::VariableScope::Shared) vars = &scope_.Shared();
    auto it = vars->find(n.text);
    bool fresh = it == vars->end();
    if (fresh) {
        Value init = n.isArray ? Value::Array({}) : DefaultOf(n.valueType);
        it = vars->emplace(n.text, std::move(init)).first;
    }
    if (!n.kids.empty() && n.kids[0]) it->second = Need(*n.kids[0]);
    return it->second;
}

Value Evaluator::Assign(const FormulaNode& n) {
    const FormulaNode& target = *n.kids[0];
    Value v = Need(*n.kids[1]);
    if (target.kind == FormulaNodeKind::Variable) {
        Value& slot = VariableSlot(target.text);
        if (slot.kind == ValueKind::Currency && v.kind == ValueKind::Number) v = Value::Currency(v.number);
        slot = v;
        return v;
    }
    // An element of an array variable: a[i] := v.
    if (target.kind == FormulaNodeKind::Subscript && target.kids[0] &&
        target.kids[0]->kind == FormulaNodeKind::Variable && target.kids.size() == 2) {
        Value& slot = VariableSlot(target.kids[0]->text);
        if (slot.kind != ValueKind::Array) Fail("An array is required here.");
        double index = NeedNumber(*target.kids[1]);
        if (index < 1 || index > static_cast<double>(slot.items->size()))
            Fail("A subscript must be between 1 and the size of the array.");
        auto items = *slot.items;
        items[static_cast<size_t>(index) - 1] = v;
        slot = Value::Array(std::move(items));
        return v;
    }
    Fail("A variable name is expected here.");
}

Value Evaluator::Redim(const FormulaNode& n) {
    Value& slot = VariableSlot(n.kids[0]->text);
    double size = NeedNumber(*n.kids[1]);
    if (size < 1 || size > 1000) Fail("An array can have from 1 to 1000 elements.");
    std::vector<Value> items;
    if (n.number != 0 && slot.kind == ValueKind::Array) items = *slot.items;
    items.resize(static_cast<size_t>(size), DefaultOf(n.kids[0]->valueType));
    slot = Value::Array(std::move(items));
    return slot;
}

Value Evaluator::Subscript(const FormulaNode& n) {
    Value v = Need(*n.kids[0]);
    for (size_t i = 1; i < n.kids.size(); ++i) {
        Value index = Need(*n.kids[i]);
        if (v.kind == ValueKind::Array) {
            if (!index.IsNumeric()) Fail("A number is required here.");
            double k = std::trunc(index.number);
            if (k < 1 || k > static_cast<double>(v.items->size()))
                Fail("A subscript must be between 1 and the size of the array.");
            v = (*v.items)[static_cast<size_t>(k) - 1];
            continue;
        }
        std::string s = v.kind == ValueKind::String ? v.text : ToText(v);
        long length = vb::Len(s);
        long from, to;
        if (index.kind == ValueKind::Range) {
            from = static_cast<long>((*index.items)[0].number);
            to = static_cast<long>((*index.items)[1].number);
        } else {
            from = to = static_cast<long>(index.number);
        }
        if (from < 1 || to > length || from > to + 1)
            Fail("A subscript must be between 1 and the size of the array.");
        v = Value::String(vb::Mid(s, from, to - from + 1));
    }
    return v;
}

}  // namespace detail

Value Evaluate(const designer::FormulaNode& root, EvalScope& scope) {
    detail::Evaluator ev(scope);
    try {
        return ev.Eval(root);
    } catch (const detail::NullStop&) {
        return Value::Null();
    } catch (const ExitLoop&) {
        return Value::Boolean(true);
    } catch (const vb::ComError& e) {
        throw FormulaError(e.what());
    }
}

}  // namespace viewer
