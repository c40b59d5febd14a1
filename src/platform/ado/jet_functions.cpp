#include "platform/ado/jet_functions.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/unicode.h"
#include "platform/common/vbconvert.h"
#include "platform/common/vbdate.h"
#include "platform/common/vbformat.h"
#include "platform/common/vbinfo.h"
#include "platform/common/vblike.h"
#include "platform/common/vbrandom.h"
#include "platform/common/vbstring.h"

namespace ado {

namespace {

using Args = std::vector<vb::Variant>;
using Types = std::vector<JetType>;

// ---- result types ----

template <JetType T>
JetType Fixed(const Types&) {
    return T;
}

JetType NumberOf(JetType t) {
    if (t == JetType::Boolean) return JetType::Integer;
    if (IsJetNumeric(t) || t == JetType::Null || t == JetType::Value) return t;
    return JetType::Double;
}
JetType FirstNumber(const Types& a) {
    return a.empty() ? JetType::Value : NumberOf(a[0]);
}
JetType FirstArg(const Types& a) {
    return a.empty() ? JetType::Value : a[0];
}
JetType IIfType(const Types& a) {
    return a.size() < 3 ? JetType::Value : JetUnifyTypes(a[1], a[2]);
}
JetType NzType(const Types& a) {
    if (a.size() >= 2) return JetUnifyTypes(a[0], a[1]);
    // Without a default a query gives the empty text for Null.
    return a.empty() || IsJetText(a[0]) ? JetType::Text : JetType::Value;
}
JetType SwitchType(const Types& a) {
    JetType t = JetType::Null;
    for (size_t i = 1; i < a.size(); i += 2) t = JetUnifyTypes(t, a[i]);
    return t;
}
JetType ChooseType(const Types& a) {
    JetType t = JetType::Null;
    for (size_t i = 1; i < a.size(); ++i) t = JetUnifyTypes(t, a[i]);
    return t;
}
JetType SumType(const Types& a) {
    const JetType t = FirstArg(a);
    if (t == JetType::Currency || t == JetType::Value || t == JetType::Decimal) return t;
    return JetType::Double;
}

// ---- scalar functions through the VB routines ----

long N(const vb::Variant& v) {
    return static_cast<long>(v.ToLong());
}
std::string S(const vb::Variant& v) {
    return v.ToString();
}
vb::Date D(const vb::Variant& v) {
    return v.ToDate();
}
int Opt(const Args& a, size_t i, int def) {
    return a.size() > i && !a[i].IsNull() ? static_cast<int>(N(a[i])) : def;
}

vb::Variant DateOf(vb::Date d) {
    return vb::Variant(d);
}

// In a query InStr compares as the database sorts: without regard to case.
vb::Variant InStrOf(const Args& a) {
    if (a.size() >= 3) {
        const auto cmp =
            a.size() >= 4 ? static_cast<vb::CompareMethod>(N(a[3]) == 0 ? 0 : 1) : vb::vbTextCompare;
        return vb::Variant(vb::InStr(N(a[0]), S(a[1]), S(a[2]), cmp));
    }
    return vb::Variant(vb::InStr(1, S(a[0]), S(a[1]), vb::vbTextCompare));
}

// InStrRev(s, find [, start [, compare]]) and StrComp(a, b [, compare]) compare as the
// database sorts unless told otherwise, as InStr does.
vb::CompareMethod CompareOf(const Args& a, size_t i) {
    return a.size() > i && N(a[i]) == 0 ? vb::vbBinaryCompare : vb::vbTextCompare;
}

// FormatNumber, FormatCurrency and FormatPercent with their optional arguments.
template <std::string (*F)(const vb::Variant&, int, int, int, int)>
vb::Variant FormatAmountOf(const Args& a) {
    return vb::Variant(F(a[0], Opt(a, 1, -1), Opt(a, 2, -2), Opt(a, 3, -2), Opt(a, 4, -2)));
}

// A text of that many bytes is to be made: it must fit in the statement's room.
void Need(JetTextRoom& texts, double bytes) {
    if (bytes > static_cast<double>(texts.room())) texts.refuse();
}

vb::Variant ReplaceOf(const Args& a, JetTextRoom& texts) {
    const long start = a.size() > 3 ? N(a[3]) : 1;
    const long count = a.size() > 4 ? N(a[4]) : -1;
    const auto cmp =
        a.size() > 5 ? static_cast<vb::CompareMethod>(N(a[5]) == 0 ? 0 : 1) : vb::vbBinaryCompare;
    try {
        return vb::Variant(vb::Replace(S(a[0]), S(a[1]), S(a[2]), start, count, cmp, texts.room()));
    } catch (const vb::ComError& e) {
        if (e.Number() == vb::kErrOutOfStringSpace) texts.refuse();
        throw;
    }
}

// String(n, character): the first character of a text, or the character of a code (modulo 256).
vb::Variant StringOf(const Args& a, JetTextRoom& texts) {
    const std::string c = a[1].IsText() ? S(a[1]) : vb::Chr(((N(a[1]) % 256) + 256) % 256);
    const long n = N(a[0]);
    size_t one = 0;
    if (!c.empty()) tolvaran::NextCodePoint(c, one);
    Need(texts, static_cast<double>(n) * static_cast<double>(one));
    return vb::Variant(vb::String(n, c));
}

vb::Variant SpaceOf(const Args& a, JetTextRoom& texts) {
    const long n = N(a[0]);
    Need(texts, static_cast<double>(n));
    return vb::Variant(vb::Space(n));
}

vb::Variant ChooseOf(const Args& a) {
    if (a[0].IsNull()) return vb::Variant::null();
    const long i = N(a[0]);
    if (i < 1 || i >= static_cast<long>(a.size())) return vb::Variant::null();
    return a[static_cast<size_t>(i)];
}

vb::Variant RoundOf(const Args& a) {
    const int places = a.size() > 1 ? static_cast<int>(N(a[1])) : 0;
    const double r = vb::Round(a[0].ToDouble(), places);
    if (a[0].Type() == vb::VarType::Long) return vb::Variant(static_cast<long long>(r));
    return vb::Variant(r);
}

#define SCALAR_READING(NAME, MIN, MAX, RESULT, BODY, NULLS, TEXTS)                                       \
    {                                                                                                    \
        NAME, JetFunction::Scalar, MIN, MAX, RESULT,                                                     \
            [](const Args& a, [[maybe_unused]] JetTextRoom& texts) -> vb::Variant { BODY }, NULLS, TEXTS \
    }
// A function of numbers, dates or values; one that reads its arguments as texts.
#define SCALAR(NAME, MIN, MAX, RESULT, BODY, NULLS) SCALAR_READING(NAME, MIN, MAX, RESULT, BODY, NULLS, false)
#define TEXTUAL(NAME, MIN, MAX, RESULT, BODY, NULLS) SCALAR_READING(NAME, MIN, MAX, RESULT, BODY, NULLS, true)
#define SPECIAL(NAME, KIND, MIN, MAX, RESULT) \
    { NAME, JetFunction::KIND, MIN, MAX, RESULT, nullptr, false, false }

const JetFunction kFunctions[] = {
    SPECIAL("IIf", Special, 3, 3, IIfType),
    SPECIAL("Nz", Special, 1, 2, NzType),
    SPECIAL("Switch", Special, 2, 64, SwitchType),
    SPECIAL("IsNull", Special, 1, 1, Fixed<JetType::Boolean>),
    SCALAR("Choose", 2, 64, ChooseType, return ChooseOf(a);, false),
    // Conversions: Null is an error, as the VB routines say.
    SCALAR("CCur", 1, 1, Fixed<JetType::Currency>, return vb::CCur(a[0]);, false),
    SCALAR("CDbl", 1, 1, Fixed<JetType::Double>, return vb::CDbl(a[0]);, false),
    SCALAR("CInt", 1, 1, Fixed<JetType::Integer>, return vb::CInt(a[0]);, false),
    SCALAR("CLng", 1, 1, Fixed<JetType::Long>, return vb::CLng(a[0]);, false),
    TEXTUAL("CStr", 1, 1, Fixed<JetType::Text>, return vb::CStr(a[0]);, false),
    SCALAR("CDate", 1, 1, Fixed<JetType::Date>, return vb::CDate(a[0]);, false),
    SCALAR("CBool", 1, 1, Fixed<JetType::Boolean>, return vb::CBool(a[0]);, false),
    TEXTUAL("Val", 1, 1, Fixed<JetType::Double>, return vb::Variant(vb::Val(S(a[0])));, false),
    SCALAR("CSng", 1, 1, Fixed<JetType::Single>, return vb::CSng(a[0]);, false),
    SCALAR("CByte", 1, 1, Fixed<JetType::Byte>, return vb::CByte(a[0]);, false),
    SCALAR("CDec", 1, 1, Fixed<JetType::Decimal>, return vb::CDec(a[0]);, false),
    SCALAR("CVar", 1, 1, FirstArg, return vb::CVar(a[0]);, false),
    TEXTUAL("Str", 1, 1, Fixed<JetType::Text>, return vb::Str(a[0]);, true),
    SCALAR("Hex", 1, 1, Fixed<JetType::Text>, return vb::Hex(a[0]);, true),
    SCALAR("Oct", 1, 1, Fixed<JetType::Text>, return vb::Oct(a[0]);, true),
    // What a value is: Null is an answer, not an error.
    SCALAR("IsNumeric", 1, 1, Fixed<JetType::Boolean>, return vb::Variant(vb::IsNumeric(a[0]));, false),
    SCALAR("IsDate", 1, 1, Fixed<JetType::Boolean>, return vb::Variant(vb::IsDate(a[0]));, false),
    SCALAR("IsEmpty", 1, 1, Fixed<JetType::Boolean>, return vb::Variant(vb::IsEmpty(a[0]));, false),
    SCALAR("IsError", 1, 1, Fixed<JetType::Boolean>, return vb::Variant(vb::IsError(a[0]));, false),
    SCALAR("VarType", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::VarTypeOf(a[0]));, false),
    SCALAR("TypeName", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::TypeName(a[0]));, false),
    // Dates.
    SCALAR("Date", 0, 0, Fixed<JetType::Date>, (void)a; return DateOf(vb::Today());, false),
    SCALAR("Now", 0, 0, Fixed<JetType::Date>, (void)a; return DateOf(vb::Date::Now());, false),
    SCALAR("Year", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Year(D(a[0])));, true),
    SCALAR("Month", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Month(D(a[0])));, true),
    SCALAR("Day", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Day(D(a[0])));, true),
    SCALAR("Hour", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Hour(D(a[0])));, true),
    SCALAR("Minute", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Minute(D(a[0])));, true),
    SCALAR("Second", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Second(D(a[0])));, true),
    SCALAR("Weekday", 1, 2, Fixed<JetType::Integer>, return vb::Variant(vb::Weekday(D(a[0]), Opt(a, 1, 1)));
           , true),
    SCALAR("DatePart", 2, 4, Fixed<JetType::Integer>,
           return vb::Variant(vb::DatePart(S(a[0]), D(a[1]), Opt(a, 2, 1), Opt(a, 3, 1)));
           , true),
    SCALAR("DateAdd", 3, 3, Fixed<JetType::Date>,
           return DateOf(vb::DateAdd(S(a[0]), a[1].ToDouble(), D(a[2])));
           , true),
    SCALAR("DateDiff", 3, 5, Fixed<JetType::Long>,
           return vb::Variant(vb::DateDiff(S(a[0]), D(a[1]), D(a[2]), Opt(a, 3, 1), Opt(a, 4, 1)));
           , true),
    SCALAR("DateSerial", 3, 3, Fixed<JetType::Date>, return DateOf(vb::DateSerial(N(a[0]), N(a[1]), N(a[2])));
           , true),
    SCALAR("DateValue", 1, 1, Fixed<JetType::Date>, return DateOf(vb::DateValue(a[0]));, true),
    SCALAR("TimeSerial", 3, 3, Fixed<JetType::Date>, return DateOf(vb::TimeSerial(N(a[0]), N(a[1]), N(a[2])));
           , true),
    SCALAR("TimeValue", 1, 1, Fixed<JetType::Date>, return DateOf(vb::TimeValue(a[0]));, true),
    SCALAR("Time", 0, 0, Fixed<JetType::Date>, (void)a; return DateOf(vb::Time());, false),
    SCALAR("Timer", 0, 0, Fixed<JetType::Single>, (void)a; return vb::Variant(vb::Timer());, false),
    SCALAR("MonthName", 1, 2, Fixed<JetType::Text>,
           return vb::Variant(vb::MonthName(N(a[0]), a.size() > 1 && a[1].ToBool()));
           , true),
    TEXTUAL("Format", 1, 4, Fixed<JetType::Text>,
            return vb::Format(a[0], a.size() > 1 && !a[1].IsNull() ? S(a[1]) : "");
            , false),
    TEXTUAL("FormatNumber", 1, 5, Fixed<JetType::Text>, return FormatAmountOf<vb::FormatNumber>(a);, false),
    TEXTUAL("FormatCurrency", 1, 5, Fixed<JetType::Text>, return FormatAmountOf<vb::FormatCurrency>(a);
            , false),
    TEXTUAL("FormatPercent", 1, 5, Fixed<JetType::Text>, return FormatAmountOf<vb::FormatPercent>(a);, false),
    SCALAR("FormatDateTime", 1, 2, Fixed<JetType::Text>,
           return vb::Variant(vb::FormatDateTime(a[0], Opt(a, 1, 0)));
           , false),
    // Texts.
    TEXTUAL("Left", 2, 2, Fixed<JetType::Text>, return vb::Variant(vb::Left(S(a[0]), N(a[1])));, true),
    TEXTUAL("Right", 2, 2, Fixed<JetType::Text>, return vb::Variant(vb::Right(S(a[0]), N(a[1])));, true),
    TEXTUAL("Mid", 2, 3, Fixed<JetType::Text>,
            return vb::Variant(vb::Mid(S(a[0]), N(a[1]), a.size() > 2 ? N(a[2]) : -1));
            , true),
    TEXTUAL("Len", 1, 1, Fixed<JetType::Long>, return vb::Variant(vb::Len(S(a[0])));, true),
    TEXTUAL("InStr", 2, 4, Fixed<JetType::Long>, return InStrOf(a);, true),
    TEXTUAL("InStrRev", 2, 4, Fixed<JetType::Long>,
            return vb::Variant(vb::InStrRev(S(a[0]), S(a[1]), a.size() > 2 ? N(a[2]) : -1, CompareOf(a, 3)));
            , true),
    TEXTUAL("StrComp", 2, 3, Fixed<JetType::Integer>,
            return vb::Variant(vb::StrComp(S(a[0]), S(a[1]), CompareOf(a, 2)));
            , true),
    TEXTUAL("StrReverse", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::StrReverse(S(a[0])));, false),
    SCALAR("Chr", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::Chr(N(a[0])));, false),
    SCALAR("ChrW", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::ChrW(N(a[0])));, false),
    TEXTUAL("Asc", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::Asc(S(a[0])));, false),
    TEXTUAL("AscW", 1, 1, Fixed<JetType::Integer>, return vb::Variant(vb::AscW(S(a[0])));, false),
    TEXTUAL("Trim", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::Trim(S(a[0])));, true),
    TEXTUAL("LTrim", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::LTrim(S(a[0])));, true),
    TEXTUAL("RTrim", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::RTrim(S(a[0])));, true),
    TEXTUAL("UCase", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::UCase(S(a[0])));, true),
    TEXTUAL("LCase", 1, 1, Fixed<JetType::Text>, return vb::Variant(vb::LCase(S(a[0])));, true),
    TEXTUAL("Replace", 3, 6, Fixed<JetType::Text>, return ReplaceOf(a, texts);, true),
    SCALAR("Space", 1, 1, Fixed<JetType::Text>, return SpaceOf(a, texts);, true),
    SCALAR("String", 2, 2, Fixed<JetType::Text>, return StringOf(a, texts);, true),
    TEXTUAL("StrConv", 2, 3, Fixed<JetType::Text>, return vb::Variant(vb::StrConv(S(a[0]), N(a[1])));, true),
    // Numbers.
    SCALAR("Abs", 1, 1, FirstNumber, return vb::Abs(a[0]);, true),
    SCALAR("Int", 1, 1, FirstNumber, return vb::Int(a[0]);, true),
    SCALAR("Fix", 1, 1, FirstNumber, return vb::Fix(a[0]);, true),
    SCALAR("Round", 1, 2, FirstNumber, return RoundOf(a);, true),
    SCALAR("Sgn", 1, 1, Fixed<JetType::Integer>, return vb::Sgn(a[0]);, true),
    SCALAR("Sqr", 1, 1, Fixed<JetType::Double>, return vb::Sqr(a[0]);, true),
    SCALAR("Exp", 1, 1, Fixed<JetType::Double>, return vb::Exp(a[0]);, true),
    SCALAR("Log", 1, 1, Fixed<JetType::Double>, return vb::Log(a[0]);, true),
    SCALAR("Sin", 1, 1, Fixed<JetType::Double>, return vb::Sin(a[0]);, true),
    SCALAR("Cos", 1, 1, Fixed<JetType::Double>, return vb::Cos(a[0]);, true),
    SCALAR("Tan", 1, 1, Fixed<JetType::Double>, return vb::Tan(a[0]);, true),
    SCALAR("Atn", 1, 1, Fixed<JetType::Double>, return vb::Atn(a[0]);, true),
    SCALAR("Rnd", 0, 1, Fixed<JetType::Single>,
           return vb::Variant(vb::ProgramRandom().Rnd(a.empty() ? vb::Variant() : a[0]));
           , false),
    SCALAR("Partition", 4, 4, Fixed<JetType::Text>, return vb::Partition(a[0], a[1], a[2], a[3]);, true),
    // Aggregates.
    SPECIAL("Sum", Aggregate, 1, 1, SumType),
    SPECIAL("Avg", Aggregate, 1, 1, SumType),
    SPECIAL("Count", Aggregate, 1, 1, Fixed<JetType::Long>),
    SPECIAL("Min", Aggregate, 1, 1, FirstArg),
    SPECIAL("Max", Aggregate, 1, 1, FirstArg),
    SPECIAL("First", Aggregate, 1, 1, FirstArg),
    SPECIAL("Last", Aggregate, 1, 1, FirstArg),
    SPECIAL("StDev", Aggregate, 1, 1, Fixed<JetType::Double>),
    SPECIAL("StDevP", Aggregate, 1, 1, Fixed<JetType::Double>),
    SPECIAL("Var", Aggregate, 1, 1, Fixed<JetType::Double>),
    SPECIAL("VarP", Aggregate, 1, 1, Fixed<JetType::Double>),
    // Domain functions over the same file.
    SPECIAL("DLookup", Domain, 2, 3, Fixed<JetType::Value>),
    SPECIAL("DCount", Domain, 2, 3, Fixed<JetType::Long>),
    SPECIAL("DSum", Domain, 2, 3, Fixed<JetType::Double>),
    SPECIAL("DAvg", Domain, 2, 3, Fixed<JetType::Double>),
    SPECIAL("DMin", Domain, 2, 3, Fixed<JetType::Value>),
    SPECIAL("DMax", Domain, 2, 3, Fixed<JetType::Value>),
    SPECIAL("DFirst", Domain, 2, 3, Fixed<JetType::Value>),
    SPECIAL("DLast", Domain, 2, 3, Fixed<JetType::Value>),
    SPECIAL("DStDev", Domain, 2, 3, Fixed<JetType::Double>),
    SPECIAL("DStDevP", Domain, 2, 3, Fixed<JetType::Double>),
    SPECIAL("DVar", Domain, 2, 3, Fixed<JetType::Double>),
    SPECIAL("DVarP", Domain, 2, 3, Fixed<JetType::Double>),
};

#undef SCALAR_READING
#undef SCALAR
#undef TEXTUAL
#undef SPECIAL

// ---- values in SQLite ----

// A stored value as a Variant; a Single as its own value, or as Access shows it when shown.
vb::Variant ReadValue(sqlite3_value* v, char tag, bool shown) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return vb::Variant::null();
        case SQLITE_INTEGER: {
            const sqlite3_int64 n = sqlite3_value_int64(v);
            if (tag == 'B') return vb::Variant(n != 0);
            if (tag == 'D') return vb::Variant(vb::Date{static_cast<double>(n)});
            return vb::Variant(static_cast<long long>(n));
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_value_double(v);
            if (tag == 'B') return vb::Variant(d != 0);
            if (tag == 'D') return vb::Variant(vb::Date{d});
            if (tag == 'S' && shown) return vb::Variant(JetSingleValue(d));
            return vb::Variant(d);
        }
        case SQLITE_TEXT:
            return vb::Variant(std::string(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                           static_cast<size_t>(sqlite3_value_bytes(v))));
        default: {
            const auto* p = static_cast<const std::uint8_t*>(sqlite3_value_blob(v));
            return vb::Variant(vb::Bytes(p, p + sqlite3_value_bytes(v)));
        }
    }
}

}  // namespace

void ResultJetValue(sqlite3_context* ctx, const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Empty:
        case vb::VarType::Null:
            sqlite3_result_null(ctx);
            break;
        case vb::VarType::Boolean:
            sqlite3_result_int(ctx, v.ToBool() ? -1 : 0);
            break;
        case vb::VarType::Long:
            sqlite3_result_int64(ctx, v.ToLong());
            break;
        case vb::VarType::Double:
            sqlite3_result_double(ctx, v.ToDouble());
            break;
        case vb::VarType::Date:
            sqlite3_result_double(ctx, v.ToDate().serial);
            break;
        case vb::VarType::String: {
            const std::string& s = *v.AsString();
            sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
        case vb::VarType::Bytes: {
            const auto& b = v.ToBytes();
            sqlite3_result_blob(ctx, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

namespace {

// Arguments after the tag text; Singles as Access shows them when shown.
Args ReadArgs(int argc, sqlite3_value** argv, bool shown) {
    const char* tags = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const size_t ntags = tags ? std::strlen(tags) : 0;
    Args args;
    args.reserve(static_cast<size_t>(argc - 1));
    for (int i = 1; i < argc; ++i)
        args.push_back(ReadValue(argv[i], static_cast<size_t>(i - 1) < ntags ? tags[i - 1] : '-', shown));
    return args;
}

template <typename F>
void Guarded(sqlite3_context* ctx, const char* name, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        const std::string msg = std::string(name) + ": " + e.what();
        sqlite3_result_error(ctx, msg.c_str(), -1);
    }
}

// Texts bounded only by the VB routines, where the connection gives no room.
class Unbounded final : public JetTextRoom {
  public:
    size_t room() override { return static_cast<size_t>(-1); }
    [[noreturn]] void refuse() override {
        throw vb::ComError(vb::kErrOutOfStringSpace, "Out of string space");
    }
};

JetTextRoom& Room(JetTextRoom* texts) {
    static Unbounded unbounded;
    return texts ? *texts : unbounded;
}

// The room of an operator registered with the connection's room as its data.
JetTextRoom& TextsOf(sqlite3_context* ctx) {
    return Room(static_cast<JetTextRoom*>(sqlite3_user_data(ctx)));
}

// What a scalar function is registered with.
struct Registered {
    const JetFunction* fn;
    JetTextRoom* texts;
};

constexpr long kErrDivisionByZero = 11;

[[noreturn]] void DivisionByZero() {
    throw vb::ComError(kErrDivisionByZero, "Division by zero");
}

void CallScalar(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* reg = static_cast<const Registered*>(sqlite3_user_data(ctx));
    const JetFunction* fn = reg->fn;
    Guarded(ctx, fn->name, [&] {
        const Args args = ReadArgs(argc, argv, fn->readsText);
        if (fn->nullGivesNull) {
            for (const auto& a : args) {
                if (a.IsNull()) {
                    sqlite3_result_null(ctx);
                    return;
                }
            }
        }
        ResultJetValue(ctx, fn->call(args, Room(reg->texts)));
    });
}

// a & b: Null only when both are Null; otherwise the texts of both, Null as "".
void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "&", [&] {
        const Args a = ReadArgs(argc, argv, true);
        if (a[0].IsNull() && a[1].IsNull()) return sqlite3_result_null(ctx);
        const std::string x = a[0].IsNull() ? "" : S(a[0]), y = a[1].IsNull() ? "" : S(a[1]);
        Need(TextsOf(ctx), static_cast<double>(x.size() + y.size()));
        ResultJetValue(ctx, vb::Variant(x + y));
    });
}

// a + b where the translator could not tell the types: two texts join, else numbers add.
void Plus(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "+", [&] {
        const Args a = ReadArgs(argc, argv, false);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        if (a[0].IsText() && a[1].IsText()) {
            Need(TextsOf(ctx), static_cast<double>(a[0].AsString()->size() + a[1].AsString()->size()));
            return ResultJetValue(ctx, vb::Variant(S(a[0]) + S(a[1])));
        }
        if (a[0].Type() == vb::VarType::Date || a[1].Type() == vb::VarType::Date)
            return ResultJetValue(ctx, vb::Variant(vb::Date{a[0].ToDouble() + a[1].ToDouble()}));
        if (a[0].Type() == vb::VarType::Long && a[1].Type() == vb::VarType::Long)
            return ResultJetValue(ctx, vb::Variant(a[0].ToLong() + a[1].ToLong()));
        ResultJetValue(ctx, vb::Variant(a[0].ToDouble() + a[1].ToDouble()));
    });
}

// a / b, in floating point: Null when either is Null; a zero divisor is Access's error.
void Divide(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "/", [&] {
        const Args a = ReadArgs(argc, argv, false);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        const double x = a[0].ToDouble(), y = a[1].ToDouble();
        if (y == 0) DivisionByZero();
        sqlite3_result_double(ctx, x / y);
    });
}

// \ and Mod round both operands to whole numbers first; a zero divisor is an error, as for /.
void IntDiv(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "\\", [&] {
        const Args a = ReadArgs(argc, argv, false);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        const long long x = a[0].ToLong(), y = a[1].ToLong();
        if (y == 0) DivisionByZero();
        sqlite3_result_int64(ctx, x / y);
    });
}

void Mod(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "Mod", [&] {
        const Args a = ReadArgs(argc, argv, false);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        const long long x = a[0].ToLong(), y = a[1].ToLong();
        if (y == 0) DivisionByZero();
        sqlite3_result_int64(ctx, x % y);
    });
}

void Pow(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "^", [&] {
        const Args a = ReadArgs(argc, argv, false);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        sqlite3_result_double(ctx, std::pow(a[0].ToDouble(), a[1].ToDouble()));
    });
}

// value Like pattern, without regard to case as Jet compares; Null when either is Null.
void LikeOp(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    Guarded(ctx, "Like", [&] {
        const Args a = ReadArgs(argc, argv, true);
        if (a[0].IsNull() || a[1].IsNull()) return sqlite3_result_null(ctx);
        sqlite3_result_int(ctx, vb::Like(S(a[0]), S(a[1]), vb::vbTextCompare) ? 1 : 0);
    });
}

// ---- aggregates ----

struct Held {
    sqlite3_value* value = nullptr;
    bool seen = false;
};

void FirstStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* h = static_cast<Held*>(sqlite3_aggregate_context(ctx, sizeof(Held)));
    if (!h || h->seen) return;
    h->value = sqlite3_value_dup(argv[0]);
    h->seen = true;
}

void LastStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* h = static_cast<Held*>(sqlite3_aggregate_context(ctx, sizeof(Held)));
    if (!h) return;
    sqlite3_value_free(h->value);
    h->value = sqlite3_value_dup(argv[0]);
    h->seen = true;
}

void HeldFinal(sqlite3_context* ctx) {
    auto* h = static_cast<Held*>(sqlite3_aggregate_context(ctx, 0));
    if (!h || !h->value) return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, h->value);
    sqlite3_value_free(h->value);
    h->value = nullptr;
}

// Running mean and sum of squares (Welford), over the values that are not Null.
struct Spread {
    long long n = 0;
    double mean = 0, m2 = 0;
};

void SpreadStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, sizeof(Spread)));
    if (!s) return;
    const double x = sqlite3_value_double(argv[0]);
    ++s->n;
    const double d = x - s->mean;
    s->mean += d / static_cast<double>(s->n);
    s->m2 += d * (x - s->mean);
}

template <bool Sample, bool Root>
void SpreadFinal(sqlite3_context* ctx) {
    auto* s = static_cast<Spread*>(sqlite3_aggregate_context(ctx, 0));
    const long long need = Sample ? 2 : 1;
    if (!s || s->n < need) return sqlite3_result_null(ctx);
    const double var = s->m2 / static_cast<double>(Sample ? s->n - 1 : s->n);
    sqlite3_result_double(ctx, Root ? std::sqrt(var) : var);
}

int Collate(void*, int an, const void* a, int bn, const void* b) {
    return JetTextCompare(std::string_view(static_cast<const char*>(a), static_cast<size_t>(an)),
                          std::string_view(static_cast<const char*>(b), static_cast<size_t>(bn)));
}

// One character of a text at i (UTF-8), folded for the first comparison: letters upper case,
// the accented Latin-1 letters as their base letter. Advances i.
char32_t Folded(std::string_view s, size_t& i, bool accents) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c >= 'a' && c <= 'z' ? c - 32 : c;
    }
    size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    if (i + len > s.size()) len = 1;
    char32_t cp = len == 1 ? c : (len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07);
    for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) cp -= 0x20;  // Latin-1 lower to upper
    if (!accents) return cp;
    static const char kBase[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTS";  // U+00C0 .. U+00DF
    if (cp >= 0xC0 && cp <= 0xDF && cp != 0xD7) return static_cast<char32_t>(kBase[cp - 0xC0]);
    return cp;
}

// Apostrophes and hyphens weigh nothing beside the other characters: they decide only between
// texts that are otherwise equal, and there a mark sorts after every other character.
bool IsMark(char32_t c) {
    return c == '\'' || c == '-';
}

// The weight of the next character of s from i that counts (marks only when marks); 0 at the
// end, so a text sorts before the longer texts it begins.
char32_t NextWeight(std::string_view s, size_t& i, bool accents, bool marks) {
    while (i < s.size()) {
        const char32_t c = Folded(s, i, accents);
        if (!IsMark(c)) return c + 1;
        if (marks) return 0x110001;
    }
    return 0;
}

int CompareFolded(std::string_view a, std::string_view b, bool accents, bool marks) {
    size_t i = 0, j = 0;
    for (;;) {
        const char32_t x = NextWeight(a, i, accents, marks), y = NextWeight(b, j, accents, marks);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

}  // namespace

const JetFunction* FindJetFunction(std::string_view name) {
    if (!name.empty() && name.back() == '$') name.remove_suffix(1);
    for (const auto& f : kFunctions)
        if (tolvaran::EqualsNoCase(f.name, name)) return &f;
    return nullptr;
}

JetType JetUnifyTypes(JetType a, JetType b) {
    if (a == b) return a;
    if (a == JetType::Null) return b;
    if (b == JetType::Null) return a;
    if (a == JetType::Value || b == JetType::Value) return JetType::Value;
    if (IsJetText(a) && IsJetText(b))
        return a == JetType::Memo || b == JetType::Memo ? JetType::Memo : JetType::Text;
    if (IsJetNumeric(a) && IsJetNumeric(b)) {
        auto rank = [](JetType t) {
            switch (t) {
                case JetType::Boolean:
                    return 0;
                case JetType::Byte:
                    return 1;
                case JetType::Integer:
                    return 2;
                case JetType::Long:
                    return 3;
                case JetType::Currency:
                    return 4;
                case JetType::Single:
                    return 5;
                case JetType::Double:
                    return 6;
                default:
                    return 7;
            }
        };
        const bool currency = a == JetType::Currency || b == JetType::Currency;
        const JetType wide = rank(a) > rank(b) ? a : b;
        if (currency && (wide == JetType::Single || wide == JetType::Double)) return JetType::Double;
        return wide;
    }
    return JetType::Value;
}

int JetTextCompare(std::string_view a, std::string_view b) {
    if (a == b) return 0;  // the common case of grouping and joining, at once
    if (int c = CompareFolded(a, b, true, false)) return c;
    if (int c = CompareFolded(a, b, false, false)) return c;
    return CompareFolded(a, b, false, true);
}

void RegisterJetFunctions(sqlite3* db, JetTextRoom* texts) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, Collate);
    for (const auto& f : kFunctions) {
        if (f.kind != JetFunction::Scalar) continue;
        // The clock and the random sequence give another value at each call.
        bool clock = false;
        for (const char* changing : {"Date", "Now", "Time", "Timer", "Rnd"})
            clock = clock || tolvaran::EqualsNoCase(f.name, changing);
        const std::string name = std::string("jet_") + f.name;
        sqlite3_create_function_v2(db, name.c_str(), -1, clock ? SQLITE_UTF8 : flags,
                                   new Registered{&f, texts}, CallScalar, nullptr, nullptr,
                                   [](void* p) { delete static_cast<Registered*>(p); });
    }
    sqlite3_create_function_v2(db, "jet_like", 3, flags, nullptr, LikeOp, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_concat", 3, flags, texts, Concat, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_plus", 3, flags, texts, Plus, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_div", 3, flags, nullptr, Divide, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_intdiv", 3, flags, nullptr, IntDiv, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_mod", 3, flags, nullptr, Mod, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_pow", 3, flags, nullptr, Pow, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, FirstStep, HeldFinal,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, LastStep, HeldFinal,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_stdev", 1, flags, nullptr, nullptr, SpreadStep,
                               SpreadFinal<true, true>, nullptr);
    sqlite3_create_function_v2(db, "jet_stdevp", 1, flags, nullptr, nullptr, SpreadStep,
                               SpreadFinal<false, true>, nullptr);
    sqlite3_create_function_v2(db, "jet_var", 1, flags, nullptr, nullptr, SpreadStep,
                               SpreadFinal<true, false>, nullptr);
    sqlite3_create_function_v2(db, "jet_varp", 1, flags, nullptr, nullptr, SpreadStep,
                               SpreadFinal<false, false>, nullptr);
}

void BindJetValue(sqlite3_stmt* st, int index, const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Empty:
        case vb::VarType::Null:
            sqlite3_bind_null(st, index);
            break;
        case vb::VarType::Boolean:
            sqlite3_bind_int(st, index, v.ToBool() ? -1 : 0);
            break;
        case vb::VarType::Long:
            sqlite3_bind_int64(st, index, v.ToLong());
            break;
        case vb::VarType::Double:
            sqlite3_bind_double(st, index, v.ToDouble());
            break;
        case vb::VarType::Date:
            sqlite3_bind_double(st, index, v.ToDate().serial);
            break;
        case vb::VarType::String: {
            const std::string& s = *v.AsString();
            sqlite3_bind_text(st, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
        case vb::VarType::Bytes: {
            const auto& b = v.ToBytes();
            sqlite3_bind_blob(st, index, b.data(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

vb::Variant ReadJetColumn(sqlite3_stmt* st, int i, JetType type) {
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
            return vb::Variant::null();
        case SQLITE_INTEGER: {
            const sqlite3_int64 n = sqlite3_column_int64(st, i);
            switch (type) {
                case JetType::Boolean:
                    return vb::Variant(n != 0);
                case JetType::Date:
                    return vb::Variant(vb::Date{static_cast<double>(n)});
                case JetType::Currency:
                case JetType::Single:
                case JetType::Double:
                case JetType::Decimal:
                    return vb::Variant(static_cast<double>(n));
                default:
                    return vb::Variant(static_cast<long long>(n));
            }
        }
        case SQLITE_FLOAT: {
            const double d = sqlite3_column_double(st, i);
            switch (type) {
                case JetType::Boolean:
                    return vb::Variant(d != 0);
                case JetType::Date:
                    return vb::Variant(vb::Date{d});
                // A sum of amounts gathers binary fractions; Currency keeps four decimals.
                case JetType::Currency:
                    return vb::Variant(std::round(d * 10000.0) / 10000.0);
                case JetType::Single:
                    return vb::Variant(JetSingleValue(d));
                case JetType::Byte:
                case JetType::Integer:
                case JetType::Long:
                    if (d == std::trunc(d) && std::fabs(d) < 9e15)
                        return vb::Variant(static_cast<long long>(d));
                    return vb::Variant(d);
                default:
                    return vb::Variant(d);
            }
        }
        case SQLITE_TEXT:
            return vb::Variant(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                           static_cast<size_t>(sqlite3_column_bytes(st, i))));
        default: {
            const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(st, i));
            return vb::Variant(vb::Bytes(p, p + sqlite3_column_bytes(st, i)));
        }
    }
}

std::string JetSqlName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string JetSqlLiteral(const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::Empty:
        case vb::VarType::Null:
            return "NULL";
        case vb::VarType::Boolean:
            return v.ToBool() ? "-1" : "0";
        case vb::VarType::Long:
            return std::to_string(v.ToLong());
        case vb::VarType::Double:
        case vb::VarType::Date: {
            const double x = v.Type() == vb::VarType::Date ? v.ToDate().serial : v.ToDouble();
            if (std::isnan(x)) return "NULL";
            if (std::isinf(x)) return x > 0 ? "9e999" : "-9e999";  // SQLite reads these as infinities
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.17g", x);
            std::string s = buf;
            if (s.find_first_of(".eEn") == std::string::npos) s += ".0";  // stays a REAL
            return s;
        }
        case vb::VarType::String: {
            std::string out = "'";
            for (char c : *v.AsString()) {
                out += c;
                if (c == '\'') out += '\'';
            }
            return out + "'";
        }
        case vb::VarType::Bytes: {
            static const char* hex = "0123456789ABCDEF";
            std::string out = "X'";
            for (std::uint8_t b : v.ToBytes()) {
                out += hex[b >> 4];
                out += hex[b & 0xF];
            }
            return out + "'";
        }
    }
    return "NULL";
}

}  // namespace ado
