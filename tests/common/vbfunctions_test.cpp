// The date, Format, conversion, Like and query routines against the values the host language gives.
#include <gtest/gtest.h>

#include <functional>

#include "platform/common/com_error.h"
#include "platform/common/vbconvert.h"
#include "platform/common/vbdate.h"
#include "platform/common/vbformat.h"
#include "platform/common/vbinfo.h"
#include "platform/common/vblike.h"
#include "platform/common/vbrandom.h"
#include "platform/common/vbstring.h"

using namespace vb;

namespace {

Date D(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return Date::FromParts(y, m, d, h, mi, s);
}

}  // namespace

TEST(VbFormat, NamedAndCustomNumbers) {
    struct {
        Variant value;
        const char* format;
        const char* expected;
    } cases[] = {
        {Variant(1234.5), "Currency", "$1,234.50"},
        {Variant(-1234.5), "Currency", "($1,234.50)"},
        {Variant(0.125), "Percent", "12.50%"},
        {Variant(1234567.891), "Standard", "1,234,567.89"},
        {Variant(5), "Fixed", "5.00"},
        {Variant(12345.678), "Scientific", "1.23E+04"},
        {Variant(0.00012), "0.0E-00", "1.2E-04"},
        {Variant(0.5), "0%", "50%"},
        {Variant(5551234567LL), "(###) ###-####", "(555) 123-4567"},
        {Variant(-5), "0;(0)", "(5)"},
        {Variant(0), "0;-0;\"zero\"", "zero"},
        {Variant(1234), "#,##0.00", "1,234.00"},
        {Variant(0.75), "#.##", ".75"},
        {Variant(3), "00", "03"},
        {Variant(2.5), "0", "3"},
        {Variant(2.675), "0.00", "2.68"},
        {Variant(1500000), "#,##0,", "1,500"},
        {Variant(-1.5), "0.0", "-1.5"},
        {Variant("3.14159"), "0.00", "3.14"},
        {Variant("abc"), "0.00", "abc"},
        {Variant(0), "Yes/No", "No"},
        {Variant(true), "Yes/No", "Yes"},
        {Variant(-1), "True/False", "True"},
        {Variant(1.5), "General Number", "1.5"},
    };
    for (const auto& c : cases) EXPECT_EQ(Format(c.value, c.format), Variant(c.expected)) << c.format;
    EXPECT_TRUE(Format(Variant::null(), "0.00").IsNull());
    EXPECT_THROW(Format(Variant(1e300), "0%%%%%%"), ComError);  // beyond a Double: Overflow
    EXPECT_EQ(Format(Variant::null(), "0;-0;0;\"none\""), Variant("none"));
}

TEST(VbFormat, DatesAndTexts) {
    const Variant when(D(1995, 6, 15, 13, 45, 30));
    struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"Long Date", "Thursday, June 15, 1995"},
        {"Medium Date", "15-Jun-95"},
        {"Short Date", "6/15/1995"},
        {"Long Time", "1:45:30 PM"},
        {"Medium Time", "01:45 PM"},
        {"Short Time", "13:45"},
        {"General Date", "6/15/1995 1:45:30 PM"},
        {"dddd d mmmm yyyy", "Thursday 15 June 1995"},
        {"ddd, mmm d", "Thu, Jun 15"},
        {"yy/mm/dd", "95/06/15"},
        {"hh:mm:ss", "13:45:30"},
        {"h:nn am/pm", "1:45 pm"},
        {"h A/P", "1 P"},
        {"\"Q\"q yyyy", "Q2 1995"},
        {"y w ww", "166 5 24"},
        {"MMMM", "June"},
    };
    for (const auto& c : cases) EXPECT_EQ(Format(when, c.format), Variant(c.expected)) << c.format;
    EXPECT_EQ(Format(Variant("6/15/1995"), "yyyy"), Variant("1995"));
    EXPECT_EQ(Format(Variant(34865), "d-mmm-yyyy"), Variant("15-Jun-1995"));
    EXPECT_EQ(Format(Variant("abc"), ">"), Variant("ABC"));
    EXPECT_EQ(Format(Variant("ABC"), "<"), Variant("abc"));
    EXPECT_EQ(Format(Variant("abc"), "@@@@@"), Variant("  abc"));
    EXPECT_EQ(Format(Variant("abc"), "!@@@@@"), Variant("abc  "));
    EXPECT_EQ(Format(Variant("5551234"), "@@@-@@@@"), Variant("555-1234"));
    EXPECT_EQ(Format(Variant("abc"), "&&&&&"), Variant("abc"));
}

TEST(VbDate, AddDiffPart) {
    EXPECT_EQ(DateAdd("m", 1, D(1995, 1, 31)), D(1995, 2, 28));
    EXPECT_EQ(DateAdd("m", 1, D(1996, 1, 31)), D(1996, 2, 29));
    EXPECT_EQ(DateAdd("yyyy", 1, D(1996, 2, 29)), D(1997, 2, 28));
    EXPECT_EQ(DateAdd("q", -1, D(1995, 5, 31)), D(1995, 2, 28));
    EXPECT_EQ(DateAdd("d", -1, D(1995, 3, 1)), D(1995, 2, 28));
    EXPECT_EQ(DateAdd("h", 25, D(1995, 1, 1, 12)), D(1995, 1, 2, 13));
    EXPECT_EQ(DateAdd("n", 90, D(1899, 12, 29)), D(1899, 12, 29, 1, 30));  // before day 0
    EXPECT_THROW(DateAdd("x", 1, D(1995, 1, 1)), ComError);
    EXPECT_EQ(DateDiff("yyyy", D(1994, 12, 31), D(1995, 1, 1)), 1);
    EXPECT_EQ(DateDiff("m", D(1995, 1, 31), D(1995, 2, 1)), 1);
    EXPECT_EQ(DateDiff("q", D(1995, 3, 31), D(1995, 4, 1)), 1);
    EXPECT_EQ(DateDiff("d", D(1995, 1, 1, 23), D(1995, 1, 2, 1)), 1);
    EXPECT_EQ(DateDiff("d", D(1995, 1, 2), D(1995, 1, 1)), -1);
    EXPECT_EQ(DateDiff("ww", D(1995, 6, 10), D(1995, 6, 11)), 1);  // a Sunday crossed
    EXPECT_EQ(DateDiff("w", D(1995, 6, 1), D(1995, 6, 14)), 1);
    EXPECT_EQ(DateDiff("h", D(1995, 1, 1, 10, 59), D(1995, 1, 1, 11, 0)), 1);
    EXPECT_EQ(DatePart("ww", D(1995, 1, 1)), 1);
    EXPECT_EQ(DatePart("ww", D(1995, 12, 31)), 53);
    EXPECT_EQ(DatePart("ww", D(1999, 1, 1), vbMonday, vbFirstFourDays), 53);  // ISO: last week of 1998
    EXPECT_EQ(DatePart("ww", D(1999, 1, 4), vbMonday, vbFirstFourDays), 1);
    EXPECT_EQ(DatePart("ww", D(1999, 1, 1), vbSunday, vbFirstFullWeek), 52);
    EXPECT_EQ(DatePart("ww", D(1999, 1, 3), vbSunday, vbFirstFullWeek), 1);
    EXPECT_EQ(DatePart("y", D(1995, 12, 31)), 365);
    EXPECT_EQ(DatePart("q", D(1995, 10, 1)), 4);
    EXPECT_EQ(Weekday(D(1995, 6, 15)), 5);
    EXPECT_EQ(Weekday(D(1995, 6, 15), vbMonday), 4);
    EXPECT_EQ(Weekday(D(1899, 12, 30)), 7);
    EXPECT_EQ(DateSerial(1995, 14, 1), D(1996, 2, 1));
    EXPECT_EQ(DateSerial(95, 1, 0), D(1994, 12, 31));
    EXPECT_EQ(DateSerial(29, 1, 1), D(2029, 1, 1));
    EXPECT_EQ(DateValue(Variant("6/15/1995 10:30")), D(1995, 6, 15));
    EXPECT_EQ(MonthName(2), "February");
    EXPECT_EQ(MonthName(9, true), "Sep");
    EXPECT_THROW(MonthName(13), ComError);
    // A serial beyond the year 9999 is no date.
    EXPECT_THROW(Year(Date{1e12}), ComError);
    EXPECT_THROW(DateAdd("d", 1, Date{-1e300}), ComError);
}

TEST(VbDate, TextsReadAsDates) {
    EXPECT_EQ(Variant("1/2/95").ToDate(), D(1995, 1, 2));
    EXPECT_EQ(Variant("1/2/29").ToDate(), D(2029, 1, 2));
    EXPECT_EQ(Variant("1/2/30").ToDate(), D(1930, 1, 2));
    EXPECT_EQ(Variant("1/2/0095").ToDate(), D(95, 1, 2));  // four digits: as written
    EXPECT_EQ(Variant("15-Jun-95").ToDate(), D(1995, 6, 15));
    EXPECT_EQ(Variant("15 June 1995").ToDate(), D(1995, 6, 15));
    EXPECT_EQ(Variant("June 15, 1995 1:30 PM").ToDate(), D(1995, 6, 15, 13, 30));
    EXPECT_THROW(Variant("15 Juin 1995").ToDate(), ComError);
}

TEST(VbConvert, RoundingAndRanges) {
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_DOUBLE_EQ(Round(2.675, 2), 2.68);
    EXPECT_DOUBLE_EQ(Round(0.125, 2), 0.12);
    EXPECT_DOUBLE_EQ(CCur(Variant(1.00005)).ToDouble(), 1.0);
    EXPECT_DOUBLE_EQ(CCur(Variant(1.00015)).ToDouble(), 1.0002);
    EXPECT_EQ(CInt(Variant(-2.5)), Variant(-2));
    EXPECT_EQ(CLng(Variant("41.5")), Variant(42));
    EXPECT_EQ(Int(Variant(-2.5)), Variant(-3.0));
    EXPECT_EQ(Fix(Variant(-2.5)), Variant(-2.0));
    EXPECT_EQ(Sgn(Variant("-4")), Variant(-1));
    EXPECT_THROW(CInt(Variant(32768)), ComError);
    EXPECT_THROW(CLng(Variant("abc")), ComError);
    EXPECT_THROW(CStr(Variant::null()), ComError);
    EXPECT_THROW(Sqr(Variant(-1)), ComError);
    EXPECT_TRUE(Abs(Variant::null()).IsNull());
    EXPECT_EQ(StrConv("hello wORLD", 3), "Hello World");
    EXPECT_EQ(StrConv(std::string("one\0two", 7), 3), std::string("One\0Two", 7));  // NUL ends a word
    EXPECT_EQ(StrConv("élan vital", 1), "ÉLAN VITAL");
}

TEST(VbLike, AccessWildcards) {
    struct {
        const char* text;
        const char* pattern;
        CompareMethod compare;
        bool expected;
    } cases[] = {
        {"abc", "a*", vbBinaryCompare, true},      {"abc", "A*", vbBinaryCompare, false},
        {"abc", "A*", vbTextCompare, true},        {"a1", "a#", vbBinaryCompare, true},
        {"ab", "a#", vbBinaryCompare, false},      {"ab", "a[!b]", vbBinaryCompare, false},
        {"ac", "a[!b]", vbBinaryCompare, true},    {"x*y", "x[*]y", vbBinaryCompare, true},
        {"xzy", "x[*]y", vbBinaryCompare, false},  {"", "*", vbBinaryCompare, true},
        {"", "?", vbBinaryCompare, false},         {"abc", "a?c", vbBinaryCompare, true},
        {"Größe", "gr?ße", vbTextCompare, true},   {"m", "[a-z]", vbBinaryCompare, true},
        {"abcabd", "*ab?", vbBinaryCompare, true}, {"abcabc", "*ab?d", vbBinaryCompare, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Like(c.text, c.pattern, c.compare), c.expected) << c.text << " " << c.pattern;
    EXPECT_THROW(Like("a", "[a"), ComError);
    // Many stars against a long text that does not match end quickly.
    EXPECT_FALSE(Like(std::string(5000, 'a') + "b", "*a*a*a*a*a*a*a*a*a*a*c"));
}

// The routines queries call beside the ones above: each value, or the error it raises (its
// number), as the host language gives it.
TEST(VbQueryFunctions, ValuesAndErrorsOfTheHostLanguage) {
    struct Case {
        const char* label;
        std::function<Variant()> call;
        Variant expected;  // when error is 0
        long error = 0;
    };
    const Variant null = Variant::null();
    const Date june15 = D(1995, 6, 15, 13, 45, 30);
    const Case cases[] = {
        {"Chr of a Windows-1252 code", [] { return Variant(Chr(128)); }, Variant("\xE2\x82\xAC")},
        {"Chr of Latin-1", [] { return Variant(Chr(233)); }, Variant("\xC3\xA9")},
        {"Chr past 255", [] { return Variant(Chr(256)); }, {}, kErrGeneric},
        {"ChrW counts from 65536 below zero", [] { return Variant(ChrW(-8180)); }, Variant("\xEE\x80\x8C")},
        {"Asc of the euro sign",
         [] {
             return Variant(
                 Asc("\xE2\x82\xAC"
                     "x"));
         },
         Variant(128)},
        {"Asc of a letter the page lacks", [] { return Variant(Asc("\xCE\xA9")); }, Variant(63)},
        {"Asc of the empty text", [] { return Variant(Asc("")); }, {}, kErrGeneric},
        {"AscW is signed", [] { return Variant(AscW("\xEF\xBF\xBF")); }, Variant(-1)},
        {"StrReverse by character",
         [] {
             return Variant(
                 StrReverse("Gr\xC3\xB6\xC3\x9F"
                            "e"));
         },
         Variant("e\xC3\x9F\xC3\xB6rG")},
        {"String of a character", [] { return Variant(String(3, "\xC3\xA9x")); },
         Variant("\xC3\xA9\xC3\xA9\xC3\xA9")},
        {"Space past the bound", [] { return Variant(Space(1000000000)); }, {}, 14},
        {"String past the bound", [] { return Variant(String(40000000, "\xC3\xA9")); }, {}, 14},
        {"Str pads positives", [] { return Str(Variant(12.5)); }, Variant(" 12.5")},
        {"Str of a negative", [] { return Str(Variant("-3")); }, Variant("-3")},
        {"Str of Null", [=] { return Str(null); }, null},
        {"Hex of -1 is 16 bits", [] { return Hex(Variant(-1)); }, Variant("FFFF")},
        {"Hex of a 32-bit negative", [] { return Hex(Variant(-40000)); }, Variant("FFFF63C0")},
        {"Hex rounds halves to even", [] { return Hex(Variant(254.5)); }, Variant("FE")},
        {"Oct", [] { return Oct(Variant(-1)); }, Variant("177777")},
        {"Hex past 32 bits", [] { return Hex(Variant(3e9)); }, {}, kErrOverflow},
        {"CSng is the float itself", [] { return CSng(Variant(1.1)); }, Variant(static_cast<double>(1.1f))},
        {"A Single shows seven digits", [] { return Variant(SingleShown(1.0 / 3)); }, Variant(0.3333333)},
        {"CByte rounds", [] { return CByte(Variant("254.5")); }, Variant(254)},
        {"CByte below 0", [] { return CByte(Variant(-1)); }, {}, kErrOverflow},
        {"CDec of Null", [=] { return CDec(null); }, {}, kErrInvalidUseOfNull},
        {"CVar keeps Null", [=] { return CVar(null); }, null},
        {"IsNumeric of a number text", [] { return Variant(IsNumeric(Variant(" 1.5e3 "))); }, Variant(true)},
        {"IsNumeric of Null", [=] { return Variant(IsNumeric(null)); }, Variant(false)},
        {"IsNumeric of a date", [=] { return Variant(IsNumeric(Variant(june15))); }, Variant(false)},
        {"IsDate of a date text", [] { return Variant(IsDate(Variant("15-Jun-95"))); }, Variant(true)},
        {"IsDate of a number text", [] { return Variant(IsDate(Variant("34865"))); }, Variant(false)},
        {"IsEmpty of the empty text", [] { return Variant(IsEmpty(Variant(""))); }, Variant(false)},
        {"VarType of Null", [=] { return Variant(VarTypeOf(null)); }, Variant(1)},
        {"VarType of a text", [] { return Variant(VarTypeOf(Variant(""))); }, Variant(8)},
        {"TypeName of a date", [=] { return Variant(TypeName(Variant(june15))); }, Variant("Date")},
        {"Log of zero", [] { return Log(Variant(0)); }, {}, kErrGeneric},
        {"Exp past a Double", [] { return Exp(Variant(710)); }, {}, kErrOverflow},
        {"Atn of Null", [=] { return Atn(null); }, null},
        {"Partition below the series",
         [] { return Partition(Variant(-5), Variant(0), Variant(99), Variant(5)); }, Variant("   : -1")},
        {"Partition first range", [] { return Partition(Variant(3), Variant(0), Variant(99), Variant(5)); },
         Variant("  0:  4")},
        {"Partition short last range",
         [] { return Partition(Variant(1005), Variant(100), Variant(1010), Variant(20)); },
         Variant("1000:1010")},
        {"Partition above the series",
         [] { return Partition(Variant(2000), Variant(20), Variant(199), Variant(10)); }, Variant("200:   ")},
        {"Partition of a bad series",
         [] { return Partition(Variant(1), Variant(5), Variant(5), Variant(1)); },
         {},
         kErrGeneric},
        {"TimeSerial rolls", [] { return Variant(TimeSerial(12, -15, 0)); },
         Variant(D(1899, 12, 30, 11, 45))},
        {"TimeSerial below zero", [] { return Variant(TimeSerial(-1, 0, 0)); }, Variant(D(1899, 12, 29, 23))},
        {"TimeValue drops the date", [] { return Variant(TimeValue(Variant("6/15/1995 1:30 PM"))); },
         Variant(D(1899, 12, 30, 13, 30))},
        {"FormatNumber", [] { return Variant(FormatNumber(Variant(-1234.567))); }, Variant("-1,234.57")},
        {"FormatNumber without a leading zero",
         [] { return Variant(FormatNumber(Variant(0.5), 1, 0, -2, 0)); }, Variant(".5")},
        {"FormatCurrency brackets negatives", [] { return Variant(FormatCurrency(Variant("-5"))); },
         Variant("($5.00)")},
        {"FormatPercent", [] { return Variant(FormatPercent(Variant(0.1234), 1)); }, Variant("12.3%")},
        {"FormatNumber of a word",
         [] { return Variant(FormatNumber(Variant("abc"))); },
         {},
         kErrTypeMismatch},
        {"FormatCurrency of Null", [=] { return Variant(FormatCurrency(null)); }, {}, kErrInvalidUseOfNull},
        {"FormatDateTime long date", [=] { return Variant(FormatDateTime(Variant(june15), 1)); },
         Variant("Thursday, June 15, 1995")},
        {"FormatDateTime short time", [=] { return Variant(FormatDateTime(Variant(june15), 4)); },
         Variant("13:45")},
        {"FormatDateTime of an unknown form",
         [=] { return Variant(FormatDateTime(Variant(june15), 7)); },
         {},
         kErrGeneric},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            const Variant got = c.call();
            EXPECT_EQ(c.error, 0) << "no error";
            if (got.Type() == VarType::Double && c.expected.Type() == VarType::Double)
                EXPECT_NEAR(got.ToDouble(), c.expected.ToDouble(), 1e-12);
            else
                EXPECT_EQ(got, c.expected) << (got.IsNull() ? "Null" : got.ToString());
        } catch (const ComError& e) {
            EXPECT_EQ(e.Number(), c.error) << e.what();
        }
    }
}

TEST(VbQueryFunctions, RndFollowsTheHostLanguagesSequence) {
    RandomSequence r;
    EXPECT_NEAR(r.Rnd(), 0.7055475, 1e-7);  // the first number of a fresh program
    EXPECT_NEAR(r.Rnd(Variant(0)), 0.7055475, 1e-7);
    EXPECT_NEAR(r.Rnd(Variant(-1)), 0.2240070, 1e-7);
    EXPECT_NEAR(r.Rnd(Variant(-1)), 0.2240070, 1e-7);
    const double next = r.Rnd(Variant(5));
    EXPECT_GE(next, 0);
    EXPECT_LT(next, 1);
}
