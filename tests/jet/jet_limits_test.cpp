// Statements held to their limits: chains and nesting too deep to translate or run end in one
// clear error.
#include <gtest/gtest.h>

#include "platform/ado/jet_engine.h"
#include "platform/common/com_error.h"

namespace {

std::string Repeat(const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
}

struct DeepCase {
    const char* name;
    std::string sql;
    std::string value;  // the one value it gives, "" when it is refused as too complex
};

class DeepStatement : public ::testing::TestWithParam<DeepCase> {};

// The engine of a file with no tables runs what needs none, as the fuzz target does.
TEST_P(DeepStatement, RunsOrIsRefusedAsTooComplex) {
    ado::JetReaderProcess reader("no-file.mdb");
    ado::JetCatalog catalog;
    ado::JetEngine engine("no-file.mdb", reader, catalog);
    const DeepCase& c = GetParam();
    try {
        auto cursor = engine.query(c.sql, {});
        std::vector<vb::Variant> row;
        ASSERT_TRUE(cursor->next(row));
        EXPECT_EQ(row.at(0).ToString(), c.value);
    } catch (const vb::ComError& e) {
        EXPECT_TRUE(c.value.empty()) << e.Description();
        EXPECT_EQ(e.Description().rfind("Query is too complex: ", 0), 0u) << e.Description();
        EXPECT_LT(e.Description().size(), 600u) << "the statement is shown by its start";
    }
}

const int kLong = 10000;
INSTANTIATE_TEST_SUITE_P(
    Chains, DeepStatement,
    ::testing::Values(DeepCase{"Plus", "SELECT 1" + Repeat("+1", kLong), ""},
                      DeepCase{"And", "SELECT True" + Repeat(" AND True", kLong), ""},
                      DeepCase{"Concatenation", "SELECT 'a'" + Repeat(" & 'a'", kLong), ""},
                      DeepCase{"Comparison", "SELECT 1" + Repeat(" = 1", kLong), ""},
                      DeepCase{"IsNull", "SELECT 1" + Repeat(" IS NULL", kLong), ""},
                      DeepCase{"Power", "SELECT 1" + Repeat("^1", kLong), ""},
                      DeepCase{"Joins", "SELECT 1 FROM T" + Repeat(" INNER JOIN T ON 1 = 1", kLong), ""},
                      DeepCase{"Brackets", "SELECT " + Repeat("(", kLong) + "1" + Repeat(")", kLong), ""},
                      // Within the limit, a chain of one operator runs...
                      DeepCase{"PlusWithin", "SELECT 1" + Repeat("+1", 150), "151"},
                      DeepCase{"OrWithin", "SELECT False" + Repeat(" OR False", 150) + " OR True", "True"},
                      // ...or, where SQLite's parser cannot hold it, is refused the same way.
                      DeepCase{"ConcatenationWithin", "SELECT 'a'" + Repeat(" & 'a'", 150), ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
