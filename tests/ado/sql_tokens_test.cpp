// The one SQL tokenizer: texts that are only looked at (a table name with a quote in it,
// another engine's SQL) are read without an error, and every token knows where it stands.
#include <gtest/gtest.h>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/com_error.h"

namespace {

using ado::SqlErrors;
using ado::SqlToken;

// Each token as its kind letter (Word, Name, Number "#", Text, Date, Symbol, Param), its text
// and, after "@", the statement where it stands.
std::vector<std::string> Shown(const std::string& sql) {
    std::vector<std::string> out;
    for (const SqlToken& t : ado::TokenizeJetSql(sql, SqlErrors::Tolerate)) {
        if (t.kind == SqlToken::End) break;
        out.push_back(std::string(1, "WN#TDSPE"[t.kind]) + ":" + t.text + "@" + sql.substr(t.pos, t.len));
    }
    return out;
}

TEST(SqlTokens, ToleratedTextsReadToTheEndWithoutAnError) {
    struct Case {
        const char* sql;
        std::vector<std::string> tokens;
    } cases[] = {
        {"Customer's Orders", {"W:Customer@Customer", "T:s Orders@'s Orders"}},
        {"[Order Details", {"N:Order Details@[Order Details"}},
        {"x] #tmp", {"W:x@x", "S:]@]", "S:#@#", "W:tmp@tmp"}},
        {"{fn Now()} 'it''s'", {"S:{fn Now()}@{fn Now()}", "T:it's@'it''s'"}},
        {"`a b`.c", {"N:a b@`a b`", "S:.@.", "W:c@c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Shown(c.sql), c.tokens) << c.sql;
    for (const char* sql : {"Customer's Orders", "[Order Details", "x]", "{fn Now()}", "#1/1/2001"})
        EXPECT_THROW(ado::TokenizeJetSql(sql), vb::ComError) << sql;
}

TEST(SqlTokens, TheSelectOfAViewDefinition) {
    struct Case {
        const char* definition;
        const char* select;
    } cases[] = {
        {"CREATE VIEW v AS SELECT * FROM t", "SELECT * FROM t"},
        {"create view [a AS b] (x, y) as\r\n  select 1, 2 \n", "select 1, 2"},
        {"CREATE VIEW \"q\" AS(SELECT 1)", "(SELECT 1)"},
        {"SELECT a AS b FROM t", "SELECT a AS b FROM t"},  // not a definition: as it is
        {"CREATE VIEW v", "CREATE VIEW v"},
    };
    for (const Case& c : cases) EXPECT_EQ(ado::ViewSelectText(c.definition), c.select) << c.definition;
}

}  // namespace
