// Statements held to their limits: chains and nesting too deep to translate or run end in one
// clear error; rows stream; work, memory and the caller's cancel hook stop a statement.
#include <gtest/gtest.h>

#include <functional>

#include "jet_support.h"
#include "platform/ado/ado.h"
#include "platform/ado/jet_driver.h"
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

// Texts made by String, Space, Replace, & and + count against the statement's memory limit.
TEST(JetMadeTexts, PastTheMemoryLimitStopTheStatement) {
    ado::JetReaderProcess reader("no-file.mdb");
    ado::JetCatalog catalog;
    ado::QueryLimits limits;
    limits.memoryMb = 16;
    ado::JetEngine engine("no-file.mdb", reader, catalog, limits);
    for (const char* sql :
         {"SELECT Len(Replace(String(2000000, 'x'), 'x', String(10, 'y')))",
          "SELECT Len(String(20000000, 'x'))", "SELECT Len(Space(20000000))",
          "SELECT Len(String(6000000, 'x') & String(6000000, 'x') & String(6000000, 'x'))",
          "SELECT Len(String(6000000, 'x') + String(6000000, 'x') + String(6000000, 'x'))"}) {
        SCOPED_TRACE(sql);
        try {
            engine.query(sql, {});
            ADD_FAILURE() << "no error";
        } catch (const vb::ComError& e) {
            EXPECT_EQ(e.Number(), ado::kErrQueryLimit);
            EXPECT_NE(e.Description().find("more than 16 MB, the memory limit for one statement"),
                      std::string::npos)
                << e.Description();
        }
    }
    auto cursor = engine.query("SELECT Len(Replace(String(200000, 'x'), 'x', String(10, 'y')))", {});
    std::vector<vb::Variant> row;
    ASSERT_TRUE(cursor->next(row));
    EXPECT_EQ(row.at(0).ToLong(), 2000000);
}

class NwindLimits : public ::testing::Test {
  protected:
    void SetUp() override { SKIP_WITHOUT_CORPUS(); }
    static std::string Nwind() { return jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"); }
};

// 830 x 2,155 x 91 rows, about 163 million.
const char* const kCrossJoin = "SELECT * FROM Orders, [Order Details], Customers";

TEST_F(NwindLimits, RowsStreamAndTheCursorOutlivesNoEngine) {
    ado::ConnectionOptions options;
    options.queryLimits.workMillions = 10;
    auto driver = ado::OpenJetFile(Nwind(), options);
    auto cursor = driver->query(kCrossJoin, {});
    std::vector<vb::Variant> row;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(cursor->next(row));
    EXPECT_EQ(row.size(), 30u);
    // Another statement, loading another table, while the first is being read.
    auto other = driver->query("SELECT Count(*) FROM Products", {});
    ASSERT_TRUE(other->next(row));
    EXPECT_EQ(row.at(0).ToLong(), 77);
    ASSERT_TRUE(cursor->next(row));
    EXPECT_EQ(row.size(), 30u);
    driver.reset();
    EXPECT_THROW(cursor->next(row), vb::ComError);
}

// A criteria text whose value is a domain function with the same criteria (a quine through
// Replace, as values stored in a file can be) would nest without end.
TEST_F(NwindLimits, ADomainFunctionLeadingBackToItselfIsRefused) {
    const std::string a = "DCount('*','Shippers',Replace(@,Chr(64),Chr(34) & @ & Chr(34)))>=0";
    const std::string sql = "SELECT DCount(\"*\", \"Shippers\", Replace(\"" + a + "\", \"@\", Chr(34) & \"" +
                            a + "\" & Chr(34))) AS n FROM Shippers";
    auto driver = ado::OpenJetFile(Nwind(), {});
    try {
        auto cursor = driver->query(sql, {});
        std::vector<vb::Variant> row;
        while (cursor->next(row)) {
        }
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("leads back to itself"), std::string::npos) << e.Description();
    }
}

struct LimitCase {
    const char* name;
    std::function<void(ado::QueryLimits&)> set;
    long number;
    const char* says;
};

class StoppedStatement : public ::testing::TestWithParam<LimitCase> {};

TEST_P(StoppedStatement, EndsWithAnErrorNamingWhatStoppedIt) {
    SKIP_WITHOUT_CORPUS();
    const LimitCase& c = GetParam();
    ado::ConnectionOptions options;
    c.set(options.queryLimits);
    auto conn = ado::OpenConnection(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"),
        options);
    ado::Recordset rs;
    try {
        rs.Open(kCrossJoin, conn);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), c.number);
        EXPECT_NE(e.Description().find(c.says), std::string::npos) << e.Description();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, StoppedStatement,
    ::testing::Values(LimitCase{"Memory", [](ado::QueryLimits& l) { l.memoryMb = 64; }, ado::kErrQueryLimit,
                                "take more than 64 MB, the memory limit for the rows of one statement"},
                      LimitCase{"Work", [](ado::QueryLimits& l) { l.workMillions = 20; }, ado::kErrQueryLimit,
                                "passed the work limit of 20 million steps for one statement"},
                      LimitCase{"Cancelled",
                                [](ado::QueryLimits& l) {
                                    auto asked = std::make_shared<int>(0);
                                    l.cancelled = [asked] { return ++*asked > 100; };
                                },
                                ado::kErrCancelled, "Operation has been cancelled by the user"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
