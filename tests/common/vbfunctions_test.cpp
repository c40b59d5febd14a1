// The date, Format, conversion and Like routines against the values the host language gives.
#include <gtest/gtest.h>

#include "platform/common/com_error.h"
#include "platform/common/vbconvert.h"
#include "platform/common/vbdate.h"
#include "platform/common/vbformat.h"
#include "platform/common/vblike.h"

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
