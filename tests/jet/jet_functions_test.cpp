// The expression language of Access queries as the engine runs it: each function and
// operator against the value the program's own VB routine gives, with Null, empty text, dates
// and case. The statements draw on no table, so no Access file is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/ado/jet_engine.h"
#include "platform/common/com_error.h"
#include "platform/common/vbconvert.h"
#include "platform/common/vbdate.h"
#include "platform/common/vbformat.h"
#include "platform/common/vbinfo.h"
#include "platform/common/vblike.h"
#include "platform/common/vbrandom.h"
#include "platform/common/vbstring.h"

namespace {

using vb::Variant;

const Variant kNull = Variant::null();
const vb::Date kJune15 = vb::Date::FromParts(1995, 6, 15, 13, 45, 30);
const vb::Date kJan31 = vb::Date::FromParts(1995, 1, 31);

// An engine over no file: statements without a FROM clause.
class Expressions {
  public:
    Variant Eval(const std::string& expression, const std::vector<Variant>& values) {
        auto cursor = engine_.query("SELECT " + expression + " AS v", values);
        std::vector<Variant> row;
        if (!cursor->next(row)) throw std::runtime_error("no row");
        return row.at(0);
    }

  private:
    ado::JetReaderProcess reader_{"no-file.mdb"};
    ado::JetCatalog catalog_;
    ado::JetEngine engine_{"no-file.mdb", reader_, catalog_};
};

bool Same(const Variant& a, const Variant& b) {
    const bool an = a.IsNull(), bn = b.IsNull();
    if (an || bn) return an == bn;
    const auto numeric = [](const Variant& v) {
        return v.Type() == vb::VarType::Long || v.Type() == vb::VarType::Double;
    };
    if (numeric(a) && numeric(b)) return std::fabs(a.ToDouble() - b.ToDouble()) < 1e-9;
    return a == b;
}

std::string Shown(const Variant& v) {
    return v.IsNull() ? "Null" : v.ToString();
}

struct Case {
    const char* label;
    const char* expression;  // [p], [q], [r] are the values, in that order
    std::vector<Variant> values;
    std::function<Variant()> expected;  // through the VB routine
};

class FunctionTest : public ::testing::TestWithParam<Case> {
  protected:
    static Expressions& engine() {
        static Expressions e;
        return e;
    }
};

TEST_P(FunctionTest, GivesTheVbValue) {
    const Case& c = GetParam();
    const Variant got = engine().Eval(c.expression, c.values);
    const Variant want = c.expected();
    EXPECT_TRUE(Same(got, want)) << c.expression << ": got " << Shown(got) << ", want " << Shown(want);
}

Variant V(long long n) {
    return Variant(n);
}
Variant T(const char* s) {
    return Variant(s);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FunctionTest,
    ::testing::Values(
        Case{"LeftCountsCharacters",
             "Left([p], 3)",
             {T("Größe")},
             [] { return T(vb::Left("Größe", 3).c_str()); }},
        Case{"LeftOfNull", "Left([p], 3)", {kNull}, [] { return kNull; }},
        Case{"LeftOfEmpty", "Left([p], 3)", {T("")}, [] { return T(""); }},
        Case{"Right", "Right([p], 2)", {T("Größe")}, [] { return T(vb::Right("Größe", 2).c_str()); }},
        Case{"MidWithLength",
             "Mid([p], 2, 3)",
             {T("Detail")},
             [] { return T(vb::Mid("Detail", 2, 3).c_str()); }},
        Case{"MidToEnd", "Mid$([p], 4)", {T("Detail")}, [] { return T(vb::Mid("Detail", 4).c_str()); }},
        Case{"LenOfEmpty", "Len([p])", {T("")}, [] { return V(vb::Len("")); }},
        Case{"LenOfNull", "Len([p])", {kNull}, [] { return kNull; }},
        Case{"LenOfNumber", "Len([p])", {V(12345)}, [] { return V(vb::Len("12345")); }},
        Case{"InStrIgnoresCase",
             "InStr([p], 'B')",
             {T("abc")},
             [] { return V(vb::InStr(1, "abc", "B", vb::vbTextCompare)); }},
        Case{"InStrFromStart",
             "InStr(3, [p], 'a')",
             {T("banana")},
             [] { return V(vb::InStr(3, "banana", "a")); }},
        Case{"InStrBinary", "InStr(1, [p], 'B', 0)", {T("abc")}, [] { return V(vb::InStr(1, "abc", "B")); }},
        Case{"Trim", "Trim([p])", {T("  x y  ")}, [] { return T(vb::Trim("  x y  ").c_str()); }},
        Case{"LTrim", "LTrim([p])", {T("  x  ")}, [] { return T(vb::LTrim("  x  ").c_str()); }},
        Case{"RTrim", "RTrim([p])", {T("  x  ")}, [] { return T(vb::RTrim("  x  ").c_str()); }},
        Case{"UCaseAccents", "UCase([p])", {T("äbç")}, [] { return T(vb::UCase("äbç").c_str()); }},
        Case{"LCaseOfNull", "LCase([p])", {kNull}, [] { return kNull; }},
        Case{"Replace",
             "Replace([p], 'a', 'X')",
             {T("banana")},
             [] { return T(vb::Replace("banana", "a", "X").c_str()); }},
        Case{"Space", "Space([p])", {V(3)}, [] { return T(vb::Space(3).c_str()); }},
        Case{"String", "String(3, [p])", {T("*x")}, [] { return T(vb::String(3, "*").c_str()); }},
        Case{"StrConvProper",
             "StrConv([p], 3)",
             {T("hello wORLD")},
             [] { return T(vb::StrConv("hello wORLD", 3).c_str()); }},
        Case{"ConcatNullIsEmpty", "[p] & [q]", {kNull, T("x")}, [] { return T("x"); }},
        Case{"ConcatBothNull", "[p] & [q]", {kNull, kNull}, [] { return kNull; }},
        Case{"ConcatNumberAndDate",
             "[p] & ' ' & [q]",
             {V(3), Variant(kJan31)},
             [] { return T(("3 " + vb::DateText(kJan31)).c_str()); }},
        Case{"PlusJoinsTexts", "[p] + [q]", {T("a"), T("b")}, [] { return T("ab"); }},
        Case{"PlusWithNull", "[p] + [q]", {T("a"), kNull}, [] { return kNull; }},
        Case{"EqualsIgnoresCase", "[p] = 'ABC'", {T("abc")}, [] { return Variant(true); }},
        Case{"LikeWildcards",
             "[p] Like 'a?c#*'",
             {T("ABC1 rest")},
             [] { return Variant(vb::Like("ABC1 rest", "a?c#*", vb::vbTextCompare)); }},
        Case{"LikeSets",
             "[p] Like '[!x-z][a-c]'",
             {T("Ab")},
             [] { return Variant(vb::Like("Ab", "[!x-z][a-c]", vb::vbTextCompare)); }},
        Case{"LikeNull", "[p] Like 'a*'", {kNull}, [] { return kNull; }},
        Case{"InListIgnoresCase", "[p] In ('X', 'y')", {T("Y")}, [] { return Variant(true); }},
        Case{"BetweenTexts", "[p] Between 'b' And 'D'", {T("C")}, [] { return Variant(true); }},
        Case{"ChrJoinsLines",
             "[p] & Chr(13) & Chr$(10) & [q]",
             {T("Main St"), T("Springfield")},
             [] { return T(("Main St" + vb::Chr(13) + vb::Chr(10) + "Springfield").c_str()); }},
        Case{"ChrOfAWindowsCode", "Chr([p])", {V(128)}, [] { return T(vb::Chr(128).c_str()); }},
        Case{"ChrW", "ChrW([p])", {V(8364)}, [] { return T(vb::ChrW(8364).c_str()); }},
        Case{"Asc", "Asc([p])", {T("\xE2\x82\xAC")}, [] { return V(vb::Asc("\xE2\x82\xAC")); }},
        Case{"AscW", "AscW([p])", {T("\xE2\x82\xAC")}, [] { return V(vb::AscW("\xE2\x82\xAC")); }},
        Case{"StrPadsPositives", "Str([p])", {Variant(2.5)}, [] { return vb::Str(Variant(2.5)); }},
        Case{"StrOfNull", "Str$([p])", {kNull}, [] { return kNull; }},
        Case{"Hex", "Hex([p])", {V(-1)}, [] { return vb::Hex(Variant(-1)); }},
        Case{"Oct", "Oct([p])", {V(64)}, [] { return vb::Oct(Variant(64)); }},
        Case{"InStrRevIgnoresCase",
             "InStrRev([p], 'A')",
             {T("banana")},
             [] { return V(vb::InStrRev("banana", "A", -1, vb::vbTextCompare)); }},
        Case{"InStrRevBinaryFrom",
             "InStrRev([p], 'a', 5, 0)",
             {T("banana")},
             [] { return V(vb::InStrRev("banana", "a", 5)); }},
        Case{"StrCompIgnoresCase", "StrComp([p], 'ABC')", {T("abc")}, [] { return V(0); }},
        Case{"StrCompBinary",
             "StrComp([p], 'ABC', 0)",
             {T("abc")},
             [] { return V(vb::StrComp("abc", "ABC")); }},
        Case{"StrCompOfNull", "StrComp([p], 'a')", {kNull}, [] { return kNull; }},
        Case{
            "StrReverse", "StrReverse([p])", {T("Größe")}, [] { return T(vb::StrReverse("Größe").c_str()); }},
        Case{"StringOfACode",
             "String(2, [p])",
             {V(233)},
             [] { return T(vb::String(2, vb::Chr(233)).c_str()); }},
        Case{"StringOfAnAccent", "String(2, [p])", {T("é")}, [] { return T("éé"); }},
        Case{"IsNumeric", "IsNumeric([p])", {T("1.5")}, [] { return Variant(vb::IsNumeric(T("1.5"))); }},
        Case{"IsNumericOfNull", "IsNumeric([p])", {kNull}, [] { return Variant(false); }},
        Case{"IsDate", "IsDate([p])", {T("6/15/95")}, [] { return Variant(vb::IsDate(T("6/15/95"))); }},
        Case{"IsEmptyOfNull", "IsEmpty([p])", {kNull}, [] { return Variant(false); }},
        Case{"IsError", "IsError([p])", {V(1)}, [] { return Variant(false); }},
        Case{"VarTypeOfText", "VarType([p])", {T("x")}, [] { return V(vb::VarTypeOf(T("x"))); }},
        Case{"VarTypeOfNull", "VarType([p])", {kNull}, [] { return V(1); }},
        Case{"TypeNameOfDate",
             "TypeName(#1/2/95#)",
             {},
             [] { return T(vb::TypeName(Variant(vb::Date::FromParts(1995, 1, 2))).c_str()); }},
        Case{"IsNull", "IsNull([p])", {kNull}, [] { return Variant(true); }},
        Case{"IsNotNullOfEmpty", "[p] Is Not Null", {T("")}, [] { return Variant(true); }}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Dates, FunctionTest,
    ::testing::Values(
        Case{"Year", "Year([p])", {Variant(kJune15)}, [] { return V(vb::Year(kJune15)); }},
        Case{"YearOfNull", "Year([p])", {kNull}, [] { return kNull; }},
        Case{"Month", "Month([p])", {Variant(kJune15)}, [] { return V(vb::Month(kJune15)); }},
        Case{"Day", "Day([p])", {Variant(kJune15)}, [] { return V(vb::Day(kJune15)); }},
        Case{"Hour", "Hour([p])", {Variant(kJune15)}, [] { return V(vb::Hour(kJune15)); }},
        Case{"Minute", "Minute([p])", {Variant(kJune15)}, [] { return V(vb::Minute(kJune15)); }},
        Case{"Second", "Second([p])", {Variant(kJune15)}, [] { return V(vb::Second(kJune15)); }},
        Case{"YearOfDateText",
             "Year([p])",
             {T("6/15/95")},
             [] { return V(vb::Year(Variant("6/15/95").ToDate())); }},
        Case{"Weekday", "Weekday([p])", {Variant(kJune15)}, [] { return V(vb::Weekday(kJune15)); }},
        Case{"WeekdayFromMonday",
             "Weekday([p], 2)",
             {Variant(kJune15)},
             [] { return V(vb::Weekday(kJune15, 2)); }},
        Case{"Quarter",
             "DatePart('q', [p])",
             {Variant(kJune15)},
             [] { return V(vb::DatePart("q", kJune15)); }},
        Case{"IsoWeek",
             "DatePart('ww', [p], 2, 2)",
             {Variant(kJan31)},
             [] { return V(vb::DatePart("ww", kJan31, 2, 2)); }},
        Case{"AddMonthKeepsMonthEnd",
             "DateAdd('m', 1, [p])",
             {Variant(kJan31)},
             [] { return Variant(vb::DateAdd("m", 1, kJan31)); }},
        Case{"AddYearsBack",
             "DateAdd('yyyy', -2, [p])",
             {Variant(kJune15)},
             [] { return Variant(vb::DateAdd("yyyy", -2, kJune15)); }},
        Case{"AddHours",
             "DateAdd('h', 36, [p])",
             {Variant(kJune15)},
             [] { return Variant(vb::DateAdd("h", 36, kJune15)); }},
        Case{"DiffDays",
             "DateDiff('d', [p], #12/31/95#)",
             {Variant(kJune15)},
             [] { return V(vb::DateDiff("d", kJune15, vb::Date::FromParts(1995, 12, 31))); }},
        Case{"DiffMonths",
             "DateDiff('m', #1/31/1995#, [p])",
             {Variant(kJune15)},
             [] { return V(vb::DateDiff("m", kJan31, kJune15)); }},
        Case{"DateSerialRolls",
             "DateSerial(95, 14, 0)",
             {},
             [] { return Variant(vb::DateSerial(95, 14, 0)); }},
        Case{"DateValueDropsTime",
             "DateValue([p])",
             {T("6/15/1995 10:00")},
             [] { return Variant(vb::DateValue(Variant("6/15/1995 10:00"))); }},
        Case{"MonthName", "MonthName([p])", {V(2)}, [] { return T(vb::MonthName(2).c_str()); }},
        Case{"MonthNameShort", "MonthName(12, True)", {}, [] { return T(vb::MonthName(12, true).c_str()); }},
        Case{"DateLiteralTwoDigitYear",
             "#1/1/95#",
             {},
             [] { return Variant(vb::Date::FromParts(1995, 1, 1)); }},
        Case{"DatePlusDays",
             "[p] + 1",
             {Variant(kJan31)},
             [] { return Variant(vb::Date{kJan31.serial + 1}); }},
        Case{"DateBetween",
             "[p] Between #1/1/95# And #12/31/95#",
             {Variant(kJune15)},
             [] { return Variant(true); }},
        Case{"FormatCustomDate",
             "Format([p], 'yyyy-mm-dd hh:nn ampm')",
             {Variant(kJune15)},
             [] { return vb::Format(Variant(kJune15), "yyyy-mm-dd hh:nn ampm"); }},
        Case{"FormatLongDate",
             "Format([p], 'Long Date')",
             {Variant(kJune15)},
             [] { return vb::Format(Variant(kJune15), "Long Date"); }},
        Case{"TimeSerial",
             "TimeSerial([p], -15, 0)",
             {V(12)},
             [] { return Variant(vb::TimeSerial(12, -15, 0)); }},
        Case{"TimeValue",
             "TimeValue([p])",
             {T("6/15/1995 1:30 PM")},
             [] { return Variant(vb::TimeValue(T("6/15/1995 1:30 PM"))); }},
        Case{"TimeValueOfNull", "TimeValue([p])", {kNull}, [] { return kNull; }},
        Case{"TimeHasNoDate", "Time() < 1", {}, [] { return Variant(true); }},
        Case{"TimerCountsFromMidnight", "Timer() >= 0 And Timer() < 86400", {}, [] { return Variant(true); }},
        Case{"FormatDateTime",
             "FormatDateTime([p], 1)",
             {Variant(kJune15)},
             [] { return T(vb::FormatDateTime(Variant(kJune15), 1).c_str()); }},
        Case{"FormatQuarter",
             "Format([p], '\"Q\"q yy')",
             {Variant(kJune15)},
             [] { return vb::Format(Variant(kJune15), "\"Q\"q yy"); }}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Numbers, FunctionTest,
    ::testing::Values(
        Case{"CCurRoundsToFour", "CCur([p])", {Variant(1.23456)}, [] { return vb::CCur(Variant(1.23456)); }},
        Case{"CIntHalfToEven", "CInt([p])", {Variant(2.5)}, [] { return vb::CInt(Variant(2.5)); }},
        Case{"CLngOfText", "CLng([p])", {T("3.5")}, [] { return vb::CLng(Variant("3.5")); }},
        Case{"CDbl", "CDbl([p])", {T("1.5")}, [] { return vb::CDbl(Variant("1.5")); }},
        Case{"CStrOfDate", "CStr([p])", {Variant(kJan31)}, [] { return vb::CStr(Variant(kJan31)); }},
        Case{"CDate", "CDate([p])", {T("1/2/95")}, [] { return vb::CDate(Variant("1/2/95")); }},
        Case{"CBool", "CBool([p])", {V(0)}, [] { return vb::CBool(Variant(0)); }},
        Case{"Val", "Val([p])", {T(" 12 3abc")}, [] { return Variant(vb::Val(" 12 3abc")); }},
        Case{"ValOfEmpty", "Val([p])", {T("")}, [] { return Variant(vb::Val("")); }},
        Case{"Abs", "Abs([p])", {Variant(-2.5)}, [] { return vb::Abs(Variant(-2.5)); }},
        Case{"IntFloors", "Int([p])", {Variant(-2.5)}, [] { return vb::Int(Variant(-2.5)); }},
        Case{"FixTruncates", "Fix([p])", {Variant(-2.5)}, [] { return vb::Fix(Variant(-2.5)); }},
        Case{"RoundHalfToEven", "Round([p], 1)", {Variant(2.25)}, [] { return Variant(vb::Round(2.25, 1)); }},
        Case{"RoundOfNull", "Round([p])", {kNull}, [] { return kNull; }},
        Case{"Sgn", "Sgn([p])", {Variant(-0.1)}, [] { return vb::Sgn(Variant(-0.1)); }},
        Case{"Sqr", "Sqr([p])", {V(16)}, [] { return vb::Sqr(Variant(16)); }},
        // A Single column gives the value as it shows.
        Case{"CSng", "CSng([p])", {Variant(1.1)}, [] { return Variant(vb::SingleShown(1.1)); }},
        Case{"CByte", "CByte([p])", {T("7.5")}, [] { return vb::CByte(Variant("7.5")); }},
        Case{"CDec", "CDec([p])", {T("2.25")}, [] { return vb::CDec(Variant("2.25")); }},
        Case{"CVarOfNull", "CVar([p])", {kNull}, [] { return kNull; }},
        Case{"Exp", "Exp([p])", {V(1)}, [] { return vb::Exp(Variant(1)); }},
        Case{"Log", "Log([p])", {V(10)}, [] { return vb::Log(Variant(10)); }},
        Case{"Sin", "Sin([p])", {V(1)}, [] { return vb::Sin(Variant(1)); }},
        Case{"Cos", "Cos([p])", {V(1)}, [] { return vb::Cos(Variant(1)); }},
        Case{"Tan", "Tan([p])", {V(1)}, [] { return vb::Tan(Variant(1)); }},
        Case{"AtnOfNull", "Atn([p])", {kNull}, [] { return kNull; }},
        Case{"RndOfANegativeSeed",
             "Rnd(-1)",
             {},
             [] { return Variant(vb::SingleShown(vb::RandomSequence().Rnd(Variant(-1)))); }},
        Case{"Partition",
             "Partition([p], 0, 99, 5)",
             {V(42)},
             [] { return vb::Partition(Variant(42), Variant(0), Variant(99), Variant(5)); }},
        Case{"PartitionOfNull", "Partition([p], 0, 99, 5)", {kNull}, [] { return kNull; }},
        Case{"FormatNumber",
             "FormatNumber([p], 1)",
             {Variant(-1234.56)},
             [] { return T(vb::FormatNumber(Variant(-1234.56), 1).c_str()); }},
        Case{"FormatCurrency",
             "FormatCurrency([p])",
             {Variant(-5)},
             [] { return T(vb::FormatCurrency(Variant(-5)).c_str()); }},
        Case{"FormatPercentFunction",
             "FormatPercent([p], 0)",
             {Variant(0.5)},
             [] { return T(vb::FormatPercent(Variant(0.5), 0).c_str()); }},
        Case{"FormatCurrencyNegative",
             "Format([p], 'Currency')",
             {Variant(-1234.5)},
             [] { return vb::Format(Variant(-1234.5), "Currency"); }},
        Case{"FormatFixedRounds",
             "Format([p], '0.00')",
             {Variant(2.675)},
             [] { return vb::Format(Variant(2.675), "0.00"); }},
        Case{"FormatThousands",
             "Format([p], '#,##0')",
             {V(1234567)},
             [] { return vb::Format(Variant(1234567), "#,##0"); }},
        Case{"FormatPercent",
             "Format([p], 'Percent')",
             {Variant(0.125)},
             [] { return vb::Format(Variant(0.125), "Percent"); }},
        Case{"FormatNullSection",
             "Format([p], '0;-0;\"zero\";\"none\"')",
             {kNull},
             [] { return vb::Format(kNull, "0;-0;\"zero\";\"none\""); }},
        Case{"FormatNull", "Format([p], '0.00')", {kNull}, [] { return kNull; }},
        Case{"FormatUpper", "Format([p], '>')", {T("abc")}, [] { return vb::Format(Variant("abc"), ">"); }},
        Case{"IntegerDivision", "[p] \\ 2", {Variant(7.6)}, [] { return V(8 / 2); }},
        Case{"Mod", "[p] Mod 3", {V(-7)}, [] { return V(-7 % 3); }},
        Case{"Power", "2 ^ [p]", {V(10)}, [] { return Variant(1024.0); }},
        Case{"DivisionIsFloating", "[p] / 2", {V(7)}, [] { return Variant(3.5); }},
        Case{"NotOfTrue", "Not [p]", {Variant(true)}, [] { return Variant(false); }}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Choices, FunctionTest,
    ::testing::Values(
        Case{"IIfTrue", "IIf([p] > 1, 'big', 'small')", {V(2)}, [] { return T("big"); }},
        Case{"IIfNullConditionIsFalse", "IIf([p] > 1, 'big', 'small')", {kNull}, [] { return T("small"); }},
        Case{"NzDefault", "Nz([p], 'none')", {kNull}, [] { return vb::NZ(kNull, "none"); }},
        Case{"NzWithoutDefaultIsEmptyText", "Nz([p])", {kNull}, [] { return vb::NZ(kNull, ""); }},
        Case{"NzKeepsEmptyText", "Nz([p], 'none')", {T("")}, [] { return vb::NZ(T(""), "none"); }},
        Case{"Switch", "Switch([p] = 1, 'one', [p] = 2, 'two')", {V(2)}, [] { return T("two"); }},
        Case{"SwitchNoMatch", "Switch([p] = 1, 'one')", {V(5)}, [] { return kNull; }},
        Case{"Choose", "Choose([p], 'a', 'b', 'c')", {V(2)}, [] { return T("b"); }},
        Case{"ChooseOutOfRange", "Choose([p], 'a', 'b')", {V(4)}, [] { return kNull; }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JetExpressions, ConversionOfNullFailsNamingTheFunction) {
    Expressions e;
    try {
        e.Eval("CLng([p])", {kNull});
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& err) {
        EXPECT_NE(err.Description().find("CLng: Invalid use of Null"), std::string::npos)
            << err.Description();
    }
}

// What Access refuses is refused saying why, never given as Null or cut short.
TEST(JetExpressions, RefusalsSayWhy) {
    Expressions e;
    const std::pair<std::string, const char*> cases[] = {
        {"1 / 0", "/: Division by zero"},
        {"7 \\ 0", "\\: Division by zero"},
        {"7 Mod 0.4", "Mod: Division by zero"},
        {"1E999", "the number 1E999 is out of range"},
        {"1" + std::string(400, '0'), "is out of range"},
        {std::string("'a\0b'", 5), "a NUL character, code 0, stands in the statement"},
    };
    for (const auto& [expression, says] : cases) {
        SCOPED_TRACE(expression);
        try {
            e.Eval(expression, {});
            ADD_FAILURE() << "no error";
        } catch (const vb::ComError& err) {
            EXPECT_NE(err.Description().find(says), std::string::npos) << err.Description();
        }
    }
}

TEST(JetExpressions, ParametersTakeTheirDeclaredType) {
    ado::JetReaderProcess reader("no-file.mdb");
    ado::JetCatalog catalog;
    ado::JetEngine engine("no-file.mdb", reader, catalog);
    std::vector<Variant> row;
    // A declared DateTime parameter given as text is a date.
    auto c = engine.query("PARAMETERS [When] DateTime; SELECT [When] + 1 AS v", {T("1/31/95")});
    ASSERT_TRUE(c->next(row));
    EXPECT_EQ(row[0], Variant(vb::Date::FromParts(1995, 2, 1)));
    // An undeclared one compared with a date takes the date's type.
    c = engine.query("SELECT Year([d]) AS v WHERE [d] > #1/1/1990#", {T("6/15/95")});
    ASSERT_TRUE(c->next(row));
    EXPECT_EQ(row[0], Variant(1995));
    EXPECT_THROW(engine.query("PARAMETERS [When] DateTime; SELECT [When] AS v", {T("not a date")}),
                 vb::ComError);
    try {
        engine.query("SELECT [First] + [Second] AS v", {V(1)});
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& err) {
        EXPECT_NE(err.Description().find("[Second]"), std::string::npos) << err.Description();
    }
}

}  // namespace
