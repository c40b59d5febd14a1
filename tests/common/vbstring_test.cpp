#include "platform/common/vbstring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/common/com_error.h"
#include "platform/common/variant.h"
#include "platform/common/vbconvert.h"

using namespace vb;

TEST(VbString, InStrCountsFromOneAndByCharacter) {
    struct {
        long start;
        const char* s;
        const char* find;
        CompareMethod cmp;
        long expected;
    } cases[] = {
        {1, "Berichtskopf", "kopf", vbBinaryCompare, 9},
        {1, "Berichtskopf", "KOPF", vbBinaryCompare, 0},
        {1, "Berichtskopf", "KOPF", vbTextCompare, 9},
        {10, "Berichtskopf", "kopf", vbBinaryCompare, 0},
        {3, "abc", "", vbBinaryCompare, 3},
        {5, "abc", "", vbBinaryCompare, 0},
        {1, "Größe=Ä", "=", vbBinaryCompare, 6},
        {1, "größe", "GRÖSSE", vbTextCompare, 0},
        {1, "ÄNDERUNG", "änderung", vbTextCompare, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.start, c.s, c.find, c.cmp), c.expected) << c.s << " / " << c.find;
    EXPECT_THROW(InStr(0, "abc", "a"), ComError);
    EXPECT_EQ(InStrRev("a.b.c", "."), 4);
    EXPECT_EQ(InStrRev("a.b.c", ".", 3), 2);
    EXPECT_EQ(InStrRev("abc", "x"), 0);
}

TEST(VbString, MidLeftRight) {
    EXPECT_EQ(Mid("Detailbereich", 7), "bereich");
    EXPECT_EQ(Mid("Detailbereich", 1, 6), "Detail");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 2, 100), "bc");
    EXPECT_EQ(Mid("Größe", 3, 2), "öß");
    EXPECT_THROW(Mid("abc", 0), ComError);
    EXPECT_EQ(Left("Größe", 3), "Grö");
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Right("Größe", 2), "ße");
    EXPECT_EQ(Right("abc", 10), "abc");
    EXPECT_EQ(Len("Größe"), 5);
}

TEST(VbString, ReplaceStartsResultAtStart) {
    EXPECT_EQ(Replace("a-b-c", "-", "_"), "a_b_c");
    EXPECT_EQ(Replace("a-b-c", "-", "_", 3), "b_c");
    EXPECT_EQ(Replace("a-b-c", "-", "_", 1, 1), "a_b-c");
    EXPECT_EQ(Replace("aXbxc", "x", "", 1, -1, vbTextCompare), "abc");
    EXPECT_EQ(Replace("abc", "", "z"), "abc");
    EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");
}

TEST(VbString, CaseAndTrim) {
    EXPECT_EQ(UCase("Seitenfuß äöü"), "SEITENFUß ÄÖÜ");
    EXPECT_EQ(LCase("ÄÖÜ ABC"), "äöü abc");
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim(" a  "), " a");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // only blanks are trimmed
}

TEST(VbString, ValReadsTheLeadingNumber) {
    struct {
        const char* s;
        double v;
    } cases[] = {{"  1 2 3abc", 123}, {"12.5.6", 12.5}, {"-3e2x", -300}, {"&HFF", 255}, {"&O17", 15},
                 {"abc", 0},          {"", 0},          {"1e", 1},       {".5", 0.5},   {"2D3", 2000}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.s), c.v) << c.s;
}

TEST(VbString, FormatFixedAndStrComp) {
    EXPECT_EQ(FormatFixed(2.345, 2), "2.35");
    EXPECT_EQ(FormatFixed(-0.001, 2), "0.00");
    EXPECT_EQ(FormatFixed(3, 0), "3");
    EXPECT_EQ(StrComp("a", "B", vbTextCompare), -1);
    EXPECT_EQ(StrComp("a", "A"), 1);
    EXPECT_EQ(Space(3), "   ");
}

TEST(VariantText, NullDefaultAndShownTexts) {
    EXPECT_EQ(NZ(Variant::null()), Variant(0));
    EXPECT_EQ(NZ(Variant::null(), "x"), Variant("x"));
    EXPECT_EQ(NZ(Variant("")), Variant(""));
    EXPECT_EQ(Variant(true).ToString(), "True");
    EXPECT_EQ(Variant(1.5).ToString(), "1.5");
    EXPECT_EQ(Variant(Date::FromParts(2026, 12, 7, 15, 4, 5)).ToString(), "12/7/2026 3:04:05 PM");
    EXPECT_THROW(Variant::null().ToString(), ComError);
}

// Whole-number conversions raise Overflow (6) outside their range, as the language does;
// texts that are not decimal numbers are a type mismatch (13). Before, 1E20 or an infinity
// was cast with undefined behaviour and came back sign-flipped.
TEST(VariantNumbers, WholeNumberConversionsRaiseOverflowOutsideTheirRange) {
    auto number = [](auto f) -> long {
        try {
            f();
            return 0;
        } catch (const vb::ComError& e) {
            return e.Number();
        }
    };
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        Variant value;
        long toLong, clng, cint;
    };
    const Case cases[] = {
        {Variant("6E66"), 6, 6, 6},        {Variant("99999999999999999999"), 6, 6, 6},
        {Variant(1e20), 6, 6, 6},          {Variant(inf), 6, 6, 6},
        {Variant(-inf), 6, 6, 6},          {Variant(std::nan("")), 6, 6, 6},
        {Variant("inf"), 13, 13, 13},      {Variant("nan"), 13, 13, 13},
        {Variant("0x10"), 13, 13, 13},     {Variant(2147483648.0), 0, 6, 6},
        {Variant("-2147483648"), 0, 0, 6}, {Variant(32768), 0, 0, 6},
        {Variant("-32768"), 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.ToString());
        EXPECT_EQ(number([&] { (void)c.value.ToLong(); }), c.toLong);
        EXPECT_EQ(number([&] { (void)vb::CLng(c.value); }), c.clng);
        EXPECT_EQ(number([&] { (void)vb::CInt(c.value); }), c.cint);
    }
    EXPECT_EQ(vb::CLng(Variant(2.5)), Variant(2));  // halves to even
    EXPECT_EQ(vb::CLng(Variant("-3.5")), Variant(-4));
    EXPECT_EQ(vb::CInt(Variant("-32768")), Variant(-32768));
    EXPECT_FALSE(Variant("inf").IsNumeric());
}
