// The shared text helpers: names compare as Jet compares them in every layer.
#include "platform/common/text.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/common/vbstring.h"

namespace {

using namespace tolvaran;

TEST(TextHelpers, NamesCompareWithoutCaseAccentedLettersIncluded) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"Order Details", "ORDER DETAILS", true},
        {"Catégories", "CATÉGORIES", true},  // é folds as vb::UCase folds it
        {"Ærø", "æRØ", true},
        {"Catégories", "Categories", false},  // accents count
        {"×", "÷", false},                    // signs, not letters
        {"ÿ", "Ÿ", false},                    // U+0178 is outside Latin-1
        {"abc", "abcd", false},
        {"", "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(CompareNoCase(c.a, c.b) == 0, c.same) << c.a << " / " << c.b;
        EXPECT_EQ(UpperCase(c.a) == UpperCase(c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(UpperCase(c.a), vb::UCase(c.a));
        EXPECT_EQ(LowerCase(c.a), vb::LCase(c.a));
    }
    EXPECT_TRUE(StartsWithNoCase("Ébauche finale", "éBAUCHE"));
    EXPECT_FALSE(StartsWithNoCase("Éb", "ébauche"));
    EXPECT_EQ(FindNoCase("Report Été.RPT", ".rpt"), 12u);
    EXPECT_EQ(FindNoCase("Report ÉTÉ", "été"), 7u);

    std::map<std::string, int, NoCaseLess> byName{{"Région", 1}, {"b", 2}};
    EXPECT_EQ(byName.count("RÉGION"), 1u);
    EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
    EXPECT_GT(CompareNoCase("apples", "APPLE"), 0);
}

TEST(TextHelpers, TrimSplitJoinAndReplace) {
    EXPECT_EQ(TrimBlanks(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimBlanks("\\Software\\Key\\ ", "\\ "), "Software\\Key");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimEnd("x = 1;\r\n", " \r\n;"), "x = 1");

    EXPECT_EQ(SplitList("A;;B "), (std::vector<std::string>{"A", "", "B "}));
    EXPECT_EQ(SplitList(""), (std::vector<std::string>{}));
    EXPECT_EQ(SplitList(";"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitList(std::string("a\0b", 3), '\0'), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(JoinList({"a", "b", "c"}, ", "), "a, b, c");
    EXPECT_EQ(JoinList({}, ", "), "");

    std::string s = "@a@";
    ReplaceAll(s, "@", "_at_");  // what is put in is not searched again
    EXPECT_EQ(s, "_at_a_at_");
    ReplaceAll(s, "", "x");
    EXPECT_EQ(s, "_at_a_at_");
}

}  // namespace
