// Built-in functions of the formula language: control, conversion, strings, math, print state
// and summaries (dates are in date_functions.cpp). Arguments are the call node's kids.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <unordered_map>

#include "platform/common/vbstring.h"
#include "platform/designer/types.h"
#include "platform/viewer/evaluator_internal.h"

namespace viewer::detail {

using designer::FormulaNode;
using designer::FormulaNodeKind;

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw FormulaError(message);
}

using Args = std::vector<std::unique_ptr<FormulaNode>>;
using Fn = std::function<Value(Evaluator&, const FormulaNode&)>;

const FormulaNode& Arg(const FormulaNode& call, size_t i) {
    return *call.kids[i];
}
bool Has(const FormulaNode& call, size_t i) {
    return call.kids.size() > i && call.kids[i];
}

std::string Utf8(unsigned long cp) {
    std::string out;
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string> Characters(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

unsigned long CodePoint(const std::string& ch) {
    unsigned char c = static_cast<unsigned char>(ch[0]);
    if (c < 0x80 || ch.size() == 1) return c;
    unsigned long cp = ch.size() == 2 ? (c & 0x1F) : ch.size() == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t i = 1; i < ch.size(); ++i) cp = (cp << 6) | (static_cast<unsigned char>(ch[i]) & 0x3F);
    return cp;
}

double RoundTo(double x, double places, int mode) {  // mode 0 round half away, 1 up, 2 truncate
    double f = std::pow(10.0, places);
    double y = x * f;
    if (mode == 0)
        y = std::round(y);
    else if (mode == 1)
        y = y < 0 ? std::floor(y) : std::ceil(y);
    else
        y = std::trunc(y);
    return y / f;
}

Value NumberArg(Evaluator& ev, const FormulaNode& call, size_t i) {
    Value v = ev.Need(Arg(call, i));
    if (!v.IsNumeric()) throw FormulaError("A number is required here.");
    return v;
}

// Keeps the kind (Currency stays Currency) of a numeric result.
Value SameKind(const Value& like, double r) {
    return like.kind == ValueKind::Currency ? Value::Currency(r) : Value::Number(r);
}

bool ReadsAsNumber(const std::string& s, double& out) {
    std::string t = vb::Trim(s);
    std::string cleaned;
    for (char c : t)
        if (c != ',') cleaned += c;
    if (cleaned.empty()) return false;
    char* end = nullptr;
    out = std::strtod(cleaned.c_str(), &end);
    return end && *end == '\0';
}

std::string ProperCase(const std::string& s) {
    std::string out;
    bool start = true;
    for (const std::string& ch : Characters(s)) {
        std::string c = start ? vb::UCase(ch) : vb::LCase(ch);
        out += c;
        unsigned char b = static_cast<unsigned char>(ch[0]);
        start = !(std::isalnum(b) || b >= 0x80 || b == '\'');
    }
    return out;
}

Value ToTextCall(Evaluator& ev, const FormulaNode& call) {
    Value v = ev.Need(Arg(call, 0));
    if (v.IsNumeric()) {
        size_t next = 1;
        std::string pattern;
        if (Has(call, 1)) {
            Value second = ev.Need(Arg(call, 1));
            if (second.kind == ValueKind::String) {
                pattern = second.text;
                next = 2;
            }
        }
        int decimals = 2;
        std::string thousands = ",", point = ".";
        if (Has(call, next)) decimals = static_cast<int>(ev.NeedNumber(Arg(call, next)));
        if (Has(call, next + 1)) thousands = ev.NeedString(Arg(call, next + 1));
        if (Has(call, next + 2)) point = ev.NeedString(Arg(call, next + 2));
        if (!pattern.empty()) return Value::String(FormatNumberPattern(v.number, pattern));
        std::string t = FormatNumber(v.number, decimals, thousands, point);
        if (v.kind == ValueKind::Currency) t = v.number < 0 ? "-$" + t.substr(1) : "$" + t;
        return Value::String(t);
    }
    if ((v.IsDateLike() || v.kind == ValueKind::Time) && Has(call, 1))
        return Value::String(FormatDatePattern(v.number, ev.NeedString(Arg(call, 1))));
    return Value::String(ToText(v));
}

Value ToNumberCall(Evaluator& ev, const FormulaNode& call, bool lenient) {
    Value v = ev.Need(Arg(call, 0));
    if (v.IsNumeric() || v.kind == ValueKind::Boolean) return Value::Number(v.number);
    if (v.kind == ValueKind::String) {
        if (lenient) return Value::Number(vb::Val(v.text));
        double d = 0;
        if (ReadsAsNumber(v.text, d)) return Value::Number(d);
        Fail("The string is non-numeric.");
    }
    if (v.IsDateLike() || v.kind == ValueKind::Time) return Value::Number(v.number);
    Fail("A number is required here.");
}

Value Aggregate(const std::string& function, std::vector<Value> values);

// Summary functions: over an array or range value, else through the scope.
Value SummaryCall(Evaluator& ev, const FormulaNode& call) {
    const FormulaNode& expr = Arg(call, 0);
    if (expr.isArray || expr.kind == FormulaNodeKind::Array) {
        Value a = ev.Need(expr);
        if (a.kind != ValueKind::Array) Fail("An array is required here.");
        return Aggregate(call.text, *a.items);
    }
    if (expr.isRange || expr.kind == FormulaNodeKind::Range) {
        Value r = ev.Need(expr);
        return Aggregate(call.text, *r.items);
    }
    const FormulaNode* group = Has(call, 1) ? &Arg(call, 1) : nullptr;
    std::string condition = Has(call, 2) ? ev.NeedString(Arg(call, 2)) : std::string();
    return ev.Scope().Summary(call.text, expr, group, condition);
}

// N-th largest, smallest, most frequent: (N, field [, group]).
Value NthCall(Evaluator& ev, const FormulaNode& call) {
    double n = ev.NeedNumber(Arg(call, 0));
    const FormulaNode* group = Has(call, 2) ? &Arg(call, 2) : nullptr;
    std::string condition = Has(call, 3) ? ev.NeedString(Arg(call, 3)) : std::string();
    Value all = ev.Scope().Summary("Values", Arg(call, 1), group, condition);
    if (all.kind != ValueKind::Array) return Value::Null();
    std::vector<Value> v = *all.items;
    if (call.text == "NthMostFrequent") {
        std::vector<std::pair<long, Value>> counts;
        std::sort(v.begin(), v.end(), [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        for (size_t i = 0; i < v.size();) {
            size_t j = i;
            while (j < v.size() && Equal(v[i], v[j])) ++j;
            counts.push_back({static_cast<long>(j - i), v[i]});
            i = j;
        }
        std::stable_sort(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.first > b.first; });
        if (n < 1 || n > static_cast<double>(counts.size())) return Value::Null();
        return counts[static_cast<size_t>(n) - 1].second;
    }
    std::sort(v.begin(), v.end(), [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
    v.erase(std::unique(v.begin(), v.end(), [](const Value& a, const Value& b) { return Equal(a, b); }),
            v.end());
    if (n < 1 || n > static_cast<double>(v.size())) return Value::Null();
    size_t k = static_cast<size_t>(n) - 1;
    return call.text == "NthLargest" ? v[v.size() - 1 - k] : v[k];
}

const std::unordered_map<std::string, Fn>& Functions() {
    static const std::unordered_map<std::string, Fn> table = [] {
        std::unordered_map<std::string, Fn> t;
        // ---- control and conversion ----------------------------------------------------
        t["IIF"] = [](Evaluator& ev, const FormulaNode& c) {
            bool cond = ev.NeedBool(Arg(c, 0));
            Value a = ev.Eval(Arg(c, 1)), b = ev.Eval(Arg(c, 2));  // both parts are evaluated
            return cond ? a : b;
        };
        t["Switch"] = [](Evaluator& ev, const FormulaNode& c) {
            for (size_t i = 0; i + 1 < c.kids.size(); i += 2)
                if (ev.NeedBool(Arg(c, i))) return ev.Eval(Arg(c, i + 1));
            return DefaultOf(c.valueType);
        };
        t["Choose"] = [](Evaluator& ev, const FormulaNode& c) {
            double i = ev.NeedNumber(Arg(c, 0));
            if (i < 1 || i >= static_cast<double>(c.kids.size())) return DefaultOf(c.valueType);
            return ev.Eval(Arg(c, static_cast<size_t>(i)));
        };
        t["ToText"] = ToTextCall;
        t["CStr"] = ToTextCall;
        t["ToNumber"] = [](Evaluator& ev, const FormulaNode& c) { return ToNumberCall(ev, c, false); };
        t["CDbl"] = t["ToNumber"];
        t["Val"] = [](Evaluator& ev, const FormulaNode& c) { return ToNumberCall(ev, c, true); };
        t["CCur"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::Currency(ToNumberCall(ev, c, false).number);
        };
        t["CBool"] = [](Evaluator& ev, const FormulaNode& c) {
            Value v = ev.Need(Arg(c, 0));
            if (v.kind == ValueKind::String) return Value::Boolean(vb::UCase(vb::Trim(v.text)) == "TRUE");
            return Value::Boolean(v.number != 0);
        };
        t["IsNumeric"] = [](Evaluator& ev, const FormulaNode& c) {
            double d = 0;
            return Value::Boolean(ReadsAsNumber(ev.NeedString(Arg(c, 0)), d));
        };
        t["NumericText"] = t["IsNumeric"];
        t["MakeArray"] = [](Evaluator& ev, const FormulaNode& c) {
            std::vector<Value> items;
            for (const auto& k : c.kids) items.push_back(ev.Need(*k));
            return Value::Array(std::move(items));
        };
        t["UBound"] = [](Evaluator& ev, const FormulaNode& c) {
            Value a = ev.Need(Arg(c, 0));
            if (a.kind != ValueKind::Array) Fail("An array is required here.");
            return Value::Number(static_cast<double>(a.items->size()));
        };
        t["HasValue"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::Boolean(!ev.Eval(Arg(c, 0)).IsNull());
        };
        // ---- strings -------------------------------------------------------------------
        t["Length"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::Number(static_cast<double>(vb::Len(ev.NeedString(Arg(c, 0)))));
        };
        t["Len"] = t["Length"];
        t["Left"] = [](Evaluator& ev, const FormulaNode& c) {
            double n = ev.NeedNumber(Arg(c, 1));
            if (n < 0) Fail("A number greater than or equal to 0 is required here.");
            return Value::String(vb::Left(ev.NeedString(Arg(c, 0)), static_cast<long>(n)));
        };
        t["Right"] = [](Evaluator& ev, const FormulaNode& c) {
            double n = ev.NeedNumber(Arg(c, 1));
            if (n < 0) Fail("A number greater than or equal to 0 is required here.");
            return Value::String(vb::Right(ev.NeedString(Arg(c, 0)), static_cast<long>(n)));
        };
        t["Mid"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0));
            double start = ev.NeedNumber(Arg(c, 1));
            double len = Has(c, 2) ? ev.NeedNumber(Arg(c, 2)) : -1;
            if (start < 1) Fail("Start position is less than 1 or not an integer.");
            if (Has(c, 2) && len < 0) len = 0;
            return Value::String(vb::Mid(s, static_cast<long>(start), static_cast<long>(len)));
        };
        t["InStr"] = [](Evaluator& ev, const FormulaNode& c) {
            size_t i = 0;
            long start = 1;
            if (c.kids.size() >= 3 && Arg(c, 0).valueType != designer::crStringField) {
                Value first = ev.Need(Arg(c, 0));
                if (first.IsNumeric()) {
                    start = static_cast<long>(first.number);
                    i = 1;
                }
            }
            std::string s = ev.NeedString(Arg(c, i)), find = ev.NeedString(Arg(c, i + 1));
            bool text = Has(c, i + 2) && ev.NeedNumber(Arg(c, i + 2)) != 0;
            if (start < 1) start = 1;
            if (start > vb::Len(s) + 1) return Value::Number(0);
            return Value::Number(static_cast<double>(
                vb::InStr(start, s, find, text ? vb::vbTextCompare : vb::vbBinaryCompare)));
        };
        t["InStrRev"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0)), find = ev.NeedString(Arg(c, 1));
            long start = Has(c, 2) ? static_cast<long>(ev.NeedNumber(Arg(c, 2))) : -1;
            bool text = Has(c, 3) && ev.NeedNumber(Arg(c, 3)) != 0;
            return Value::Number(static_cast<double>(
                vb::InStrRev(s, find, start, text ? vb::vbTextCompare : vb::vbBinaryCompare)));
        };
        t["Trim"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(vb::Trim(ev.NeedString(Arg(c, 0))));
        };
        t["TrimLeft"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(vb::LTrim(ev.NeedString(Arg(c, 0))));
        };
        t["LTrim"] = t["TrimLeft"];
        t["TrimRight"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(vb::RTrim(ev.NeedString(Arg(c, 0))));
        };
        t["RTrim"] = t["TrimRight"];
        t["UpperCase"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(vb::UCase(ev.NeedString(Arg(c, 0))));
        };
        t["UCase"] = t["UpperCase"];
        t["LowerCase"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(vb::LCase(ev.NeedString(Arg(c, 0))));
        };
        t["LCase"] = t["LowerCase"];
        t["ProperCase"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::String(ProperCase(ev.NeedString(Arg(c, 0))));
        };
        t["Replace"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0)), find = ev.NeedString(Arg(c, 1)),
                        with = ev.NeedString(Arg(c, 2));
            long start = Has(c, 3) ? static_cast<long>(ev.NeedNumber(Arg(c, 3))) : 1;
            long count = Has(c, 4) ? static_cast<long>(ev.NeedNumber(Arg(c, 4))) : -1;
            bool text = Has(c, 5) && ev.NeedNumber(Arg(c, 5)) != 0;
            if (start < 1) Fail("Start position is less than 1 or not an integer.");
            if (find.empty()) return Value::String(s);
            return Value::String(
                vb::Replace(s, find, with, start, count, text ? vb::vbTextCompare : vb::vbBinaryCompare));
        };
        t["ReplicateString"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0));
            double n = ev.NeedNumber(Arg(c, 1));
            if (n < 0 || n * static_cast<double>(s.size()) > 65534)
                Fail("A string can be at most 65534 characters long.");
            std::string out;
            for (long i = 0; i < static_cast<long>(n); ++i) out += s;
            return Value::String(out);
        };
        t["Space"] = [](Evaluator& ev, const FormulaNode& c) {
            double n = ev.NeedNumber(Arg(c, 0));
            if (n < 0 || n > 65534) Fail("A string can be at most 65534 characters long.");
            return Value::String(std::string(static_cast<size_t>(n), ' '));
        };
        t["StrReverse"] = [](Evaluator& ev, const FormulaNode& c) {
            auto chars = Characters(ev.NeedString(Arg(c, 0)));
            std::string out;
            for (auto it = chars.rbegin(); it != chars.rend(); ++it) out += *it;
            return Value::String(out);
        };
        t["Chr"] = [](Evaluator& ev, const FormulaNode& c) {
            double n = ev.NeedNumber(Arg(c, 0));
            if (n < 0 || n > 0x10FFFF) Fail("A number between 0 and 65535 is required here.");
            return Value::String(Utf8(static_cast<unsigned long>(n)));
        };
        t["ChrW"] = t["Chr"];
        t["Asc"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0));
            if (s.empty()) Fail("A string with at least one character is required here.");
            return Value::Number(static_cast<double>(CodePoint(Characters(s)[0])));
        };
        t["AscW"] = t["Asc"];
        t["StrCmp"] = [](Evaluator& ev, const FormulaNode& c) {
            bool text = Has(c, 2) && ev.NeedNumber(Arg(c, 2)) != 0;
            return Value::Number(vb::StrComp(ev.NeedString(Arg(c, 0)), ev.NeedString(Arg(c, 1)),
                                             text ? vb::vbTextCompare : vb::vbBinaryCompare));
        };
        t["Split"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0));
            std::string d = Has(c, 1) ? ev.NeedString(Arg(c, 1)) : " ";
            std::vector<Value> parts;
            if (d.empty())
                parts.push_back(Value::String(s));
            else {
                size_t start = 0, at;
                while ((at = s.find(d, start)) != std::string::npos && parts.size() < 999) {
                    parts.push_back(Value::String(s.substr(start, at - start)));
                    start = at + d.size();
                }
                parts.push_back(Value::String(s.substr(start)));
            }
            return Value::Array(std::move(parts));
        };
        t["Join"] = [](Evaluator& ev, const FormulaNode& c) {
            Value a = ev.Need(Arg(c, 0));
            std::string d = Has(c, 1) ? ev.NeedString(Arg(c, 1)) : " ";
            if (a.kind != ValueKind::Array) Fail("An array is required here.");
            std::string out;
            for (size_t i = 0; i < a.items->size(); ++i) out += (i ? d : "") + ToText((*a.items)[i]);
            return Value::String(out);
        };
        t["Picture"] = [](Evaluator& ev, const FormulaNode& c) {
            auto chars = Characters(ev.NeedString(Arg(c, 0)));
            std::string pattern = ev.NeedString(Arg(c, 1)), out;
            size_t k = 0;
            for (char p : pattern) {
                if (p == 'x' || p == 'X') {
                    if (k < chars.size()) out += chars[k++];
                } else {
                    out += p;
                }
            }
            while (k < chars.size()) out += chars[k++];
            return Value::String(out);
        };
        t["ExtractString"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string s = ev.NeedString(Arg(c, 0)), a = ev.NeedString(Arg(c, 1)),
                        b = ev.NeedString(Arg(c, 2));
            size_t from = s.find(a);
            if (from == std::string::npos) return Value::String("");
            from += a.size();
            size_t to = s.find(b, from);
            if (to == std::string::npos) return Value::String("");
            return Value::String(s.substr(from, to - from));
        };
        // ---- math ----------------------------------------------------------------------
        t["Abs"] = [](Evaluator& ev, const FormulaNode& c) {
            Value v = NumberArg(ev, c, 0);
            return SameKind(v, std::fabs(v.number));
        };
        auto rounding = [](int mode) {
            return [mode](Evaluator& ev, const FormulaNode& c) {
                Value v = NumberArg(ev, c, 0);
                double places = Has(c, 1) ? ev.NeedNumber(Arg(c, 1)) : 0;
                return SameKind(v, RoundTo(v.number, places, mode));
            };
        };
        t["Round"] = rounding(0);
        t["RoundUp"] = rounding(1);
        t["Truncate"] = rounding(2);
        t["Fix"] = rounding(2);
        t["Int"] = [](Evaluator& ev, const FormulaNode& c) {
            Value v = NumberArg(ev, c, 0);
            return SameKind(v, std::floor(v.number));
        };
        t["Remainder"] = [](Evaluator& ev, const FormulaNode& c) {
            double b = ev.NeedNumber(Arg(c, 1));
            if (b == 0) Fail("Division by zero.");
            return Value::Number(std::fmod(ev.NeedNumber(Arg(c, 0)), b));
        };
        auto math = [](double (*f)(double), bool positive) {
            return [f, positive](Evaluator& ev, const FormulaNode& c) {
                double x = ev.NeedNumber(Arg(c, 0));
                if (positive && x < 0) Fail("A positive number is required here.");
                return Value::Number(f(x));
            };
        };
        t["Sqr"] = math(std::sqrt, true);
        t["Exp"] = math(std::exp, false);
        t["Log"] = [](Evaluator& ev, const FormulaNode& c) {
            double x = ev.NeedNumber(Arg(c, 0));
            if (x <= 0) Fail("A positive number is required here.");
            return Value::Number(std::log(x));
        };
        t["Sin"] = math(std::sin, false);
        t["Cos"] = math(std::cos, false);
        t["Tan"] = math(std::tan, false);
        t["Atn"] = math(std::atan, false);
        t["Sgn"] = [](Evaluator& ev, const FormulaNode& c) {
            double x = ev.NeedNumber(Arg(c, 0));
            return Value::Number(x < 0 ? -1 : x > 0 ? 1 : 0);
        };
        t["Pi"] = [](Evaluator&, const FormulaNode&) { return Value::Number(3.14159265358979323846); };
        t["Rnd"] = [](Evaluator&, const FormulaNode&) {
            static std::mt19937 gen(12345);  // a fixed seed: a report lays out the same twice
            return Value::Number(std::uniform_real_distribution<double>(0, 1)(gen));
        };
        // ---- print state ---------------------------------------------------------------
        t["PageNumber"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Number(ev.Scope().PageNumber());
        };
        t["TotalPageCount"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Number(ev.Scope().TotalPageCount());
        };
        t["PageNofM"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::String("Page " + std::to_string(ev.Scope().PageNumber()) + " of " +
                                 std::to_string(ev.Scope().TotalPageCount()));
        };
        t["RecordNumber"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Number(ev.Scope().RecordNumber());
        };
        t["GroupNumber"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Number(ev.Scope().GroupNumber());
        };
        t["OnFirstRecord"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Boolean(ev.Scope().OnFirstRecord());
        };
        t["OnLastRecord"] = [](Evaluator& ev, const FormulaNode&) {
            return Value::Boolean(ev.Scope().OnLastRecord());
        };
        t["InRepeatedGroupHeader"] = [](Evaluator&, const FormulaNode&) { return Value::Boolean(false); };
        t["IsNull"] = [](Evaluator& ev, const FormulaNode& c) {
            return Value::Boolean(ev.Eval(Arg(c, 0)).IsNull());
        };
        auto neighbour = [](int offset, bool nullTest) {
            return [offset, nullTest](Evaluator& ev, const FormulaNode& c) {
                Value v = ev.Scope().Neighbour(Arg(c, 0), offset);
                if (nullTest) return Value::Boolean(v.IsNull());
                if (v.IsNull()) throw NullStop{};
                return v;
            };
        };
        t["Previous"] = neighbour(-1, false);
        t["PreviousValue"] = neighbour(-1, false);
        t["Next"] = neighbour(1, false);
        t["NextValue"] = neighbour(1, false);
        t["PreviousIsNull"] = neighbour(-1, true);
        t["NextIsNull"] = neighbour(1, true);
        t["GroupName"] = [](Evaluator& ev, const FormulaNode& c) {
            std::string condition = Has(c, 1) ? ev.NeedString(Arg(c, 1)) : std::string();
            return Value::String(ev.Scope().GroupName(Arg(c, 0), condition));
        };
        for (const char* name : {"BeforeReadingRecords", "WhileReadingRecords", "WhilePrintingRecords"})
            t[name] = [](Evaluator&, const FormulaNode&) { return Value::Boolean(true); };
        t["EvaluateAfter"] = [](Evaluator&, const FormulaNode&) { return Value::Boolean(true); };
        // ---- summaries -----------------------------------------------------------------
        for (const char* name : {"Sum", "Average", "Maximum", "Minimum", "Count", "DistinctCount", "StdDev",
                                 "PopulationStdDev", "Variance", "PopulationVariance", "Median", "Mode"})
            t[name] = SummaryCall;
        for (const char* name : {"NthLargest", "NthSmallest", "NthMostFrequent"}) t[name] = NthCall;
        return t;
    }();
    return table;
}

Value Aggregate(const std::string& function, std::vector<Value> values) {
    std::vector<Value> present;
    for (Value& v : values)
        if (!v.IsNull()) present.push_back(std::move(v));
    if (function == "Count") return Value::Number(static_cast<double>(present.size()));
    if (function == "DistinctCount") {
        std::sort(present.begin(), present.end(),
                  [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        size_t n = 0;
        for (size_t i = 0; i < present.size(); ++i)
            if (i == 0 || !Equal(present[i], present[i - 1])) ++n;
        return Value::Number(static_cast<double>(n));
    }
    if (function == "Maximum" || function == "Minimum") {
        if (present.empty()) return Value::Null();
        Value best = present[0];
        for (const Value& v : present) {
            int c = Compare(v, best);
            if ((function == "Maximum" && c > 0) || (function == "Minimum" && c < 0)) best = v;
        }
        return best;
    }
    if (function == "Mode") {
        if (present.empty()) return Value::Null();
        std::sort(present.begin(), present.end(),
                  [](const Value& a, const Value& b) { return Compare(a, b) < 0; });
        Value best = present[0];
        size_t bestCount = 0;
        for (size_t i = 0; i < present.size();) {
            size_t j = i;
            while (j < present.size() && Equal(present[i], present[j])) ++j;
            if (j - i > bestCount) {
                bestCount = j - i;
                best = present[i];
            }
            i = j;
        }
        return best;
    }
    bool currency = false;
    std::vector<double> nums;
    for (const Value& v : present) {
        if (!v.IsNumeric()) Fail("A number or currency amount is required here.");
        currency = currency || v.kind == ValueKind::Currency;
        nums.push_back(v.number);
    }
    auto result = [&](double d) { return currency ? Value::Currency(d) : Value::Number(d); };
    double sum = 0;
    for (double d : nums) sum += d;
    if (function == "Sum") return result(sum);
    if (nums.empty()) return Value::Null();
    double n = static_cast<double>(nums.size());
    double mean = sum / n;
    if (function == "Average") return result(mean);
    if (function == "Median") {
        std::sort(nums.begin(), nums.end());
        size_t k = nums.size() / 2;
        return result(nums.size() % 2 ? nums[k] : (nums[k - 1] + nums[k]) / 2);
    }
    double squares = 0;
    for (double d : nums) squares += (d - mean) * (d - mean);
    bool population = function.rfind("Population", 0) == 0;
    if (!population && nums.size() < 2) return Value::Null();
    double variance = squares / (population ? n : n - 1);
    if (function == "Variance" || function == "PopulationVariance") return Value::Number(variance);
    return Value::Number(std::sqrt(variance));
}

}  // namespace

Value AggregateValues(const std::string& function, std::vector<Value> values) {
    return Aggregate(function, std::move(values));
}

bool Contains(const Value& container, const Value& item) {
    if (container.kind == ValueKind::Array) {
        for (const Value& v : *container.items) {
            if (v.kind == ValueKind::Range ? Contains(v, item) : Equal(v, item)) return true;
        }
        return false;
    }
    if (container.kind == ValueKind::Range) {
        const Value& lo = (*container.items)[0];
        const Value& hi = (*container.items)[1];
        if (!lo.IsNull()) {
            int c = Compare(item, lo);
            if (c < 0 || (c == 0 && container.lowExcluded)) return false;
        }
        if (!hi.IsNull()) {
            int c = Compare(item, hi);
            if (c > 0 || (c == 0 && container.highExcluded)) return false;
        }
        return true;
    }
    if (container.kind == ValueKind::String) return container.text.find(ToText(item)) != std::string::npos;
    return Equal(container, item);
}

bool LikeMatch(const std::string& text, const std::string& pattern) {
    // "?" one character, "*" any run; letters compared without case.
    std::vector<std::string> t = Characters(vb::UCase(text)), p = Characters(vb::UCase(pattern));
    size_t ti = 0, pi = 0, star = std::string::npos, mark = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == "?" || p[pi] == t[ti])) {
            ++ti;
            ++pi;
        } else if (pi < p.size() && p[pi] == "*") {
            star = pi++;
            mark = ti;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*") ++pi;
    return pi == p.size();
}

Value CallFunction(Evaluator& ev, const FormulaNode& call) {
    bool handled = false;
    Value v = DateFunction(ev, call, handled);
    if (handled) return v;
    const auto& table = Functions();
    auto it = table.find(call.text);
    if (it == table.end()) Fail("The function " + call.text + " cannot be evaluated by this viewer.");
    return it->second(ev, call);
}

Value ConstantValue(const std::string& name) {
    static const std::unordered_map<std::string, double> constants = {
        {"CRBLACK", 0},         {"CRMAROON", 0x000080},
        {"CRGREEN", 0x008000},  {"CROLIVE", 0x008080},
        {"CRNAVY", 0x800000},   {"CRPURPLE", 0x800080},
        {"CRTEAL", 0x808000},   {"CRGRAY", 0x808080},
        {"CRSILVER", 0xC0C0C0}, {"CRRED", 0x0000FF},
        {"CRLIME", 0x00FF00},   {"CRYELLOW", 0x00FFFF},
        {"CRBLUE", 0xFF0000},   {"CRFUCHSIA", 0xFF00FF},
        {"CRAQUA", 0xFFFF00},   {"CRWHITE", 0xFFFFFF},
        {"CRNOCOLOR", -1},      {"CRUSESYSTEM", 0},
        {"CRSUNDAY", 1},        {"CRMONDAY", 2},
        {"CRTUESDAY", 3},       {"CRWEDNESDAY", 4},
        {"CRTHURSDAY", 5},      {"CRFRIDAY", 6},
        {"CRSATURDAY", 7},      {"CRDEFAULTHORALIGNED", 0},
        {"CRLEFTALIGN", 1},     {"CRCENTEREDHORIZONTALLY", 2},
        {"CRRIGHTALIGN", 3},    {"CRJUSTIFIED", 4},
        {"CRNOLINE", 0},        {"CRSINGLELINE", 1},
        {"CRDOUBLELINE", 2},    {"CRDASHEDLINE", 3},
        {"CRDOTTEDLINE", 4},
    };
    auto it = constants.find(vb::UCase(name));
    if (it == constants.end())
        return Value::Null();  // DefaultAttribute, CurrentFieldValue: no formatting here
    return Value::Number(it->second);
}

}  // namespace viewer::detail
