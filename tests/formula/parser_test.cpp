// Parser.Parse items and PutTogether, and the tokenizer under them.
#include "convert/formula/parser.h"

#include <gtest/gtest.h>

#include "platform/common/expression_tokens.h"

namespace tolvaran {
namespace {

struct ParseRow {
    const char* text;
    std::vector<std::string> items;
};

class ParseItems : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseItems, SplitsNestedCallsAndPutsThemBackTogether) {
    std::vector<std::string> items = Parser().Parse(GetParam().text);
    EXPECT_EQ(items, GetParam().items);
    EXPECT_EQ(Parser::PutTogether(items), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseItems,
    ::testing::Values(ParseRow{"IIf(a,IIf(b,c,d),e)", {"IIf(b,c,d)", "IIf(a,%1%,e)", "%2%"}},
                      ParseRow{"Sum(IIf(a,b,c))+1", {"IIf(a,b,c)", "Sum(%1%)", "%2%+1"}},
                      ParseRow{"IIf(Len([x])>1,b,c)", {"Len([x])", "IIf(%1%>1,b,c)", "%2%"}},
                      ParseRow{"IIf(a,b,c) & IIf(d,e,f)", {"IIf(a,b,c)", "IIf(d,e,f)", "%1% & %2%"}},
                      // A text ending in "(" is one item.
                      ParseRow{"Sum(", {"Sum("}},
                      // A blank between a name and its bracket belongs to the call.
                      ParseRow{"Len ([x])", {"Len ([x])", "%1%"}},
                      // Grouping brackets and brackets after a keyword are items with no name.
                      ParseRow{"IIf(a,(Sum(b))/2,c)", {"Sum(b)", "(%1%)", "IIf(a,%2%/2,c)", "%3%"}},
                      ParseRow{"a And (b)", {"(b)", "a And %1%"}},
                      // Brackets inside literals and names are not calls; names with digits and "_" are.
                      ParseRow{"Get_W(\"f(x)\",[a(b)])", {"Get_W(\"f(x)\",[a(b)])", "%1%"}},
                      ParseRow{"Sum([x]", {"Sum([x]", "%1%"}}, ParseRow{"a)b", {"a)b"}}));

TEST(ParseItems, PutTogetherLeavesUnknownPlaceholders) {
    EXPECT_EQ(Parser::PutTogether({"x", "%1% & %7%"}), "x & %7%");
    EXPECT_EQ(Parser::PutTogether({}), "");
}

TEST(ParseItems, DeepNestingIsAnErrorNotACrash) {
    const std::string deep = std::string(100000, '(') + "x" + std::string(100000, ')');
    EXPECT_THROW(Parser().Parse(deep), ExpressionError);
    const std::string fine = std::string(200, '(') + "x" + std::string(200, ')');
    EXPECT_EQ(Parser::PutTogether(Parser().Parse(fine)), fine);
}

TEST(Tokens, JoinGivesBackTheText) {
    const std::string text = "IIf([Unit Price]>=1.5E3,\"a \"\"b\"\"\",#1/2/2024#) & {T.x} <> %3% ![y].z";
    TokenList t(text);
    EXPECT_EQ(t.Join(0, t.size()), text);
    std::vector<TokenKind> kinds;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i].kind != TokenKind::Space) kinds.push_back(t[i].kind);
    std::vector<TokenKind> expected = {TokenKind::Identifier, TokenKind::LParen,      TokenKind::Name,
                                       TokenKind::Operator,   TokenKind::Number,      TokenKind::Comma,
                                       TokenKind::String,     TokenKind::Comma,       TokenKind::DateLiteral,
                                       TokenKind::RParen,     TokenKind::Operator,    TokenKind::Reference,
                                       TokenKind::Operator,   TokenKind::Placeholder, TokenKind::Bang,
                                       TokenKind::Name,       TokenKind::Dot,         TokenKind::Identifier};
    EXPECT_EQ(kinds, expected);
}

TEST(Tokens, UnclosedPiecesAreErrorsWithTheirPosition) {
    for (const char* bad : {"[a", "\"a", "'a", "#1/1/2024", "{T.x", "a]"}) {
        EXPECT_THROW(TokenList{bad}, ExpressionError) << bad;
    }
    try {
        TokenList t("1 + [Qty");
        FAIL();
    } catch (const ExpressionError& e) {
        EXPECT_NE(std::string(e.what()).find("position 5"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tolvaran
