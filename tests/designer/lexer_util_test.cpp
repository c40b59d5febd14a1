// The formula tokenizer and the component's small helpers.
#include <gtest/gtest.h>

#include "platform/designer/formula_lexer.h"
#include "platform/designer/util.h"

namespace designer {
namespace {

using formula::Tok;
using formula::Tokenize;

std::string Describe(std::string_view text) {
    std::string out;
    for (const formula::Token& t : Tokenize(text)) {
        static const char* kNames[] = {"End", "Num", "Str", "Date", "Ref", "Word", "P", "Unk", "Err"};
        out +=
            std::string(kNames[static_cast<int>(t.kind)]) + "(" + t.text + ")@" + std::to_string(t.pos) + " ";
    }
    return out;
}

TEST(FormulaLexer, SplitsTokensWithPositions) {
    struct Case {
        const char* text;
        const char* tokens;
    };
    const Case cases[] = {
        {"", "End()@0 "},
        {"1.5+.5", "Num(1.5)@0 P(+)@3 Num(.5)@4 End()@6 "},
        {"x:=y<>z<=1", "Word(x)@0 P(:=)@1 Word(y)@3 P(<>)@4 Word(z)@6 P(<=)@7 Num(1)@9 End()@10 "},
        {"\"a\"\"b\" 'c''d'", "Str(a\"b)@0 Str(c'd)@7 End()@13 "},
        {"'say \"hi\"'", "Str(say \"hi\")@0 End()@10 "},
        {"{Order Details.Unit Price}", "Ref(Order Details.Unit Price)@0 End()@26 "},
        {"{aaUDS7;1.ObsValue}", "Ref(aaUDS7;1.ObsValue)@0 End()@19 "},
        {"#Jan 5, 1999# // note\r\n$1", "Date(Jan 5, 1999)@0 P($)@23 Num(1)@24 End()@25 "},
        {"_To_ UpTo_ To_", "Word(_To_)@0 Word(UpTo_)@5 Word(To_)@11 End()@14 "},
        {"a ! b", "Word(a)@0 Unk(!)@2 Word(b)@4 End()@5 "},
        {"Länge", "Word(Länge)@0 End()@6 "},
        {"1 + \"open", "Num(1)@0 P(+)@2 Err(The matching \" for this string is missing.)@4 "},
        {"{T.F", "Err(The } is missing.)@0 "},
        {"#1/1/2000", "Err(The # is missing.)@0 "},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(c.text), c.tokens) << c.text;
}

TEST(DesignerUtil, PictureSizesAreReadFromHeaders) {
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        bool known;
        long width, height;
    };
    std::vector<unsigned char> bmp(26, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[18] = 10, bmp[22] = 0xF6, bmp[23] = 0xFF, bmp[24] = 0xFF, bmp[25] = 0xFF;
    const Case cases[] = {
        {"bmp, top-down", bmp, true, 150, 150},
        {"png",
         {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 1, 0, 0, 0, 0, 2},
         true,
         256 * 15,
         30},
        {"gif", {'G', 'I', 'F', '8', '9', 'a', 3, 0, 4, 0}, true, 45, 60},
        {"ico", {0, 0, 1, 0, 1, 0, 0, 32}, true, 256 * 15, 32 * 15},
        {"truncated png", {0x89, 'P', 'N', 'G'}, false, 0, 0},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, false, 0, 0},
    };
    for (const Case& c : cases) {
        long w = 0, h = 0;
        EXPECT_EQ(PictureSizeTwips(c.bytes, w, h), c.known) << c.what;
        if (c.known) {
            EXPECT_EQ(w, c.width) << c.what;
            EXPECT_EQ(h, c.height) << c.what;
        }
    }
}

TEST(DesignerUtil, Base64RoundTripsAndRefusesDamage) {
    for (size_t n = 0; n < 8; ++n) {
        std::vector<unsigned char> bytes;
        for (size_t i = 0; i < n; ++i) bytes.push_back(static_cast<unsigned char>(250 + i * 3));
        std::vector<unsigned char> back;
        ASSERT_TRUE(Base64Decode(Base64Encode(bytes), back)) << n;
        EXPECT_EQ(back, bytes) << n;
    }
    EXPECT_EQ(Base64Encode({'M', 'a', 'n'}), "TWFu");
    EXPECT_EQ(Base64Encode({'M'}), "TQ==");
    std::vector<unsigned char> out;
    EXPECT_FALSE(Base64Decode("TW*u", out));
    EXPECT_FALSE(Base64Decode("TQ==TQ", out));
}

TEST(DesignerUtil, BaseNameTakesEitherSeparator) {
    EXPECT_EQ(BaseName("C:\\out\\subDetails.rpt"), "subDetails");
    EXPECT_EQ(BaseName("/out/sub.v2.rpt"), "sub.v2");
    EXPECT_EQ(BaseName("noext"), "noext");
    EXPECT_EQ(BaseName(".hidden"), ".hidden");
}

}  // namespace
}  // namespace designer
