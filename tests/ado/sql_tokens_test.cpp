// The one SQL tokenizer: texts that are only looked at (a table name with a quote in it,
// another engine's SQL) are read without an error, and every token knows where it stands.
#include <gtest/gtest.h>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/ado/read_statement.h"
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

// One statement that only reads, and what is not: a ";" or keyword inside a literal, a name or
// a comment counts for nothing; one anywhere else does, also where another engine would read
// "#" or "--" differently.
TEST(ReadStatement, OnlyOneStatementThatReads) {
    const struct {
        const char* sql;
        const char* why;  // "" when it is one statement that only reads
    } cases[] = {
        {"SELECT * FROM Orders", ""},
        {"SELECT * FROM Orders;  ", ""},
        {"select [a;b], 'x; DELETE FROM t', \"Drop\" FROM [Delete Me] WHERE d > #1/31/2024#", ""},
        {"SELECT a FROM t -- totals; by region\nWHERE b = 1 /* ; DROP TABLE t */", ""},
        {"(SELECT a FROM t) UNION ALL (SELECT a FROM u) ORDER BY 1", ""},
        {"PARAMETERS [Start] DateTime; SELECT * FROM t WHERE d >= [Start];", ""},
        {"TRANSFORM Sum(x) SELECT r FROM t GROUP BY r PIVOT c", ""},
        {"SELECT t.Update, t.Into FROM t", ""},
        {"", "is empty"},
        {"  -- nothing\n", "is empty"},
        {"SELECT * FROM Products; DELETE FROM Orders", "holds more than one statement"},
        {"SELECT 1 /* */; VACUUM", "holds more than one statement"},
        {"SELECT 1 --x; DELETE FROM t", "holds more than one statement"},
        {"DELETE FROM Orders", "is a DELETE statement, not a SELECT statement"},
        {"VACUUM INTO '/tmp/x'", "is a VACUUM statement, not a SELECT statement"},
        {"SELECT * INTO Backup FROM Orders", "writes (INTO)"},
        {"SELECT * FROM Products DELETE FROM Orders", "writes (DELETE)"},
        {"SELECT * FROM #t DELETE FROM x SELECT 1 FROM #", "writes (DELETE)"},
        {"SELECT * FROM #t; DELETE FROM x; SELECT * FROM #", "holds a date literal that is no date"},
        {"SELECT 1 /*! ; DELETE FROM t */", "holds more than one statement"},
        {"SELECT 'open", "cannot be read"},
        {"PARAMETERS x Text", "declares parameters but holds no SELECT statement"},
    };
    for (const auto& c : cases) {
        const std::string why = ado::WhyNotOneReadStatement(c.sql);
        if (*c.why == '\0')
            EXPECT_EQ(why, "") << c.sql;
        else
            EXPECT_EQ(why.rfind(c.why, 0), 0u) << c.sql << " -> " << why;
    }
}

}  // namespace
