// Built-in functions of the formula language: control, conversion, strings, math and print
// state (dates are in date_functions.cpp, summaries in summary_functions.cpp), and the call of
// any of them. Arguments are the call node's kids. Where the function is the host language's
// own, the vb:: routine computes it.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>

#include "platform/common/unicode.h"
#include "platform/common/vbconvert.h"
#include "platform/common/vbrandom.h"
#include "platform/common/vbstring.h"
#include "platform/designer/formula_functions.h"
#include "platform/designer/types.h"
#include "platform/viewer/evaluator_internal.h"

namespace viewer::detail {

using designer::FormulaNode;
using designer::FormulaNodeKind;

namespace {

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
    for (const std::string& ch : tolvaran::Utf8Characters(s)) {
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

// A whole number below a thousand trillion in English words ("one hundred twenty-three").
std::string NumberWords(long long n) {
    static const char* const kOnes[] = {"zero",    "one",     "two",       "three",    "four",
                                        "five",    "six",     "seven",     "eight",    "nine",
                                        "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                        "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const kTens[] = {"",      "",      "twenty",  "thirty", "forty",
                                        "fifty", "sixty", "seventy", "eighty", "ninety"};
    static const std::pair<long long, const char*> kScales[] = {{1000000000000LL, "trillion"},
                                                                {1000000000LL, "billion"},
                                                                {1000000LL, "million"},
                                                                {1000LL, "thousand"}};
    auto below1000 = [&](long long x) {
        std::string out;
        if (x >= 100) {
            out = std::string(kOnes[x / 100]) + " hundred";
            x %= 100;
            if (x == 0) return out;
            out += ' ';
        }
        if (x < 20) return out + kOnes[x];
        out += kTens[x / 10];
        if (x % 10 != 0) out += std::string("-") + kOnes[x % 10];
        return out;
    };
    if (n == 0) return kOnes[0];
    std::string out;
    for (const auto& [scale, name] : kScales) {
        if (n < scale) continue;
        out += below1000(n / scale) + " " + name + (n % scale != 0 ? " " : "");
        n %= scale;
    }
    return n != 0 ? out + below1000(n) : out;
}

// ToWords(x [, decimals]): the whole part in words, then the decimals (2 when not given) as a
// fraction of a power of ten: "one hundred twenty-three and 45 / 100", "xx" for none.
Value ToWordsCall(Evaluator& ev, const FormulaNode& call) {
    const double x = ev.NeedNumber(Arg(call, 0));
    const double decimals = Has(call, 1) ? std::trunc(ev.NeedNumber(Arg(call, 1))) : 2;
    if (decimals < 0 || decimals > 9) Fail("A number between 0 and 9 is required here.");
    const double scale = std::pow(10.0, decimals);
    const double cents = std::round(std::fabs(x) * scale);
    if (!(cents / scale < 1e15)) Fail("A number in a smaller range is required here.");
    const auto whole = static_cast<long long>(std::floor(cents / scale));
    // Past about 15 digits in all the decimals are not exact: kept within their places.
    const auto part = std::clamp(static_cast<long long>(cents - static_cast<double>(whole) * scale), 0LL,
                                 static_cast<long long>(scale) - 1);
    std::string out = (x < 0 && cents != 0 ? "minus " : "") + NumberWords(whole);
    if (decimals > 0) {
        const std::string digits = std::to_string(part);
        out += " and " +
               (part == 0 ? std::string("xx")
                          : std::string(static_cast<size_t>(decimals) - digits.size(), '0') + digits) +
               " / " + std::to_string(static_cast<long long>(scale));
    }
    return Value::String(out);
}

// Roman numerals of 0 to 3999; form 0 is the classic one, forms 1 to 4 let a numeral stand
// before one up to that many places larger (499: CDXCIX, LDVLIV, XDIX, VDIV, ID).
std::string RomanText(int n, int form) {
    static const char kLetters[] = "MDCLXVI";
    static const int kValues[] = {1000, 500, 100, 50, 10, 5, 1};
    std::string out;
    for (int i = 0; i <= 6; i += 2) {  // M, C, X, I: one decimal digit each
        const int digit = n / kValues[i];
        if (digit % 5 == 4) {
            // 4 or 9 of this place: a smaller numeral before a larger one. The larger is the
            // five (4) or the next ten (9); the smaller moves right as far as form allows and
            // the value still holds.
            const int larger = digit == 4 ? i - 1 : i - 2;
            int smaller = i;
            for (int step = 0; step < form && smaller < 6 && kValues[larger] - kValues[smaller + 1] <= n;
                 ++step)
                ++smaller;
            out += kLetters[smaller];
            out += kLetters[larger];
            n -= kValues[larger] - kValues[smaller];
        } else {
            if (digit >= 5) out += kLetters[i - 1];
            out.append(static_cast<size_t>(digit % 5), kLetters[i]);
            n %= kValues[i];
        }
    }
    return out;
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

}  // namespace

void AddFunctions(Implementations& t) {
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
    t["ToWords"] = ToWordsCall;
    t["Roman"] = [](Evaluator& ev, const FormulaNode& c) {
        const double n = std::trunc(ev.NeedNumber(Arg(c, 0)));
        const double form = Has(c, 1) ? std::trunc(ev.NeedNumber(Arg(c, 1))) : 0;
        if (n < 0 || n > 3999) Fail("A number between 0 and 3999 is required here.");
        if (form < 0 || form > 4) Fail("A number between 0 and 4 is required here.");
        return Value::String(RomanText(static_cast<int>(n), static_cast<int>(form)));
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
        return Value::Number(
            static_cast<double>(vb::InStr(start, s, find, text ? vb::vbTextCompare : vb::vbBinaryCompare)));
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
        return Value::String(vb::Space(static_cast<long>(n)));
    };
    t["StrReverse"] = [](Evaluator& ev, const FormulaNode& c) {
        return Value::String(vb::StrReverse(ev.NeedString(Arg(c, 0))));
    };
    // Character codes count in Windows-1252 (Chr, Asc) or UTF-16 (ChrW, AscW).
    auto chr = [](double highest, std::string (*f)(long)) {
        return [highest, f](Evaluator& ev, const FormulaNode& c) {
            const double n = std::trunc(ev.NeedNumber(Arg(c, 0)));
            if (n < 0 || n > highest)
                Fail("A number between 0 and " + std::to_string(static_cast<long>(highest)) +
                     " is required here.");
            return Value::String(f(static_cast<long>(n)));
        };
    };
    t["Chr"] = chr(255, vb::Chr);
    t["ChrW"] = chr(65535, vb::ChrW);
    auto asc = [](int (*f)(const std::string&)) {
        return [f](Evaluator& ev, const FormulaNode& c) {
            const std::string s = ev.NeedString(Arg(c, 0));
            if (s.empty()) Fail("A string with at least one character is required here.");
            return Value::Number(f(s));
        };
    };
    t["Asc"] = asc(vb::Asc);
    t["AscW"] = asc(vb::AscW);
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
    // Filter(array, text [, include [, compare]]): the elements holding text (include True,
    // the default) or not holding it; compare 1 ignores case.
    t["Filter"] = [](Evaluator& ev, const FormulaNode& c) {
        const Value a = ev.Need(Arg(c, 0));
        if (a.kind != ValueKind::Array) Fail("An array is required here.");
        const std::string find = ev.NeedString(Arg(c, 1));
        const bool include = !Has(c, 2) || ev.NeedBool(Arg(c, 2));
        const auto compare =
            Has(c, 3) && ev.NeedNumber(Arg(c, 3)) != 0 ? vb::vbTextCompare : vb::vbBinaryCompare;
        std::vector<Value> kept;
        for (const Value& item : *a.items) {
            const std::string text = item.kind == ValueKind::String ? item.text : ToText(item);
            if ((vb::InStr(1, text, find, compare) > 0) == include) kept.push_back(item);
        }
        return Value::Array(std::move(kept));
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
        auto chars = tolvaran::Utf8Characters(ev.NeedString(Arg(c, 0)));
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
        std::string s = ev.NeedString(Arg(c, 0)), a = ev.NeedString(Arg(c, 1)), b = ev.NeedString(Arg(c, 2));
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
    // lowest: the smallest number allowed (Sqr takes zero, Log does not).
    auto math = [](vb::Variant (*f)(const vb::Variant&), double lowest, bool zero) {
        return [f, lowest, zero](Evaluator& ev, const FormulaNode& c) {
            const double x = ev.NeedNumber(Arg(c, 0));
            if (x < lowest || (x == lowest && !zero)) Fail("A positive number is required here.");
            return Value::Number(f(vb::Variant(x)).ToDouble());
        };
    };
    const double any = -HUGE_VAL;
    t["Sqr"] = math(vb::Sqr, 0, true);
    t["Exp"] = math(vb::Exp, any, true);
    t["Log"] = math(vb::Log, 0, false);
    t["Sin"] = math(vb::Sin, any, true);
    t["Cos"] = math(vb::Cos, any, true);
    t["Tan"] = math(vb::Tan, any, true);
    t["Atn"] = math(vb::Atn, any, true);
    t["Sgn"] = [](Evaluator& ev, const FormulaNode& c) {
        double x = ev.NeedNumber(Arg(c, 0));
        return Value::Number(x < 0 ? -1 : x > 0 ? 1 : 0);
    };
    t["Pi"] = [](Evaluator&, const FormulaNode&) { return Value::Number(3.14159265358979323846); };
    t["Rnd"] = [](Evaluator& ev, const FormulaNode& c) {
        // The engine's own sequence, apart from the one Access queries draw from.
        static vb::RandomSequence sequence;
        return Value::Number(sequence.Rnd(Has(c, 0) ? vb::Variant(ev.NeedNumber(Arg(c, 0))) : vb::Variant()));
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
    std::vector<std::string> t = tolvaran::Utf8Characters(vb::UCase(text)),
                             p = tolvaran::Utf8Characters(vb::UCase(pattern));
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
    // The checker's table names the functions; each has its implementation here.
    static const Implementations table = [] {
        Implementations all;
        AddFunctions(all);
        AddDateFunctions(all);
        AddSummaryFunctions(all);
        Implementations named;
        for (const auto& f : designer::formula::AllFunctions()) {
            auto it = all.find(f.name);
            if (it == all.end()) continue;
            named.emplace(f.name, std::move(it->second));
            all.erase(it);
        }
        assert(all.empty() && "an implementation of a function the checker does not know");
        return named;
    }();
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
