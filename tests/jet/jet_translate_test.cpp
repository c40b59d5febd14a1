// The translator over a file of saved queries made up here: queries drawing on queries, a
// cycle, the order in which parameters take their values.
#include "platform/ado/jet_translate.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/common/com_error.h"

namespace {

class FakeFile : public ado::JetSqlHost {
  public:
    std::map<std::string, std::string> queries;  // name -> SQL
    std::vector<std::string> asked;              // tables the translator asked for

    std::optional<Table> table(const std::string& name, const std::string&) override {
        if (name != "T" && name != "U") return std::nullopt;
        asked.push_back(name);
        return Table{name, {{"a", ado::JetType::Long, 0}, {"b", ado::JetType::Text, 50}}};
    }
    std::optional<Saved> savedQuery(const std::string& name) override {
        auto it = queries.find(name);
        if (it == queries.end()) return std::nullopt;
        return Saved{it->first, it->second};
    }
    std::vector<vb::Variant> columnValues(const std::string&, const std::vector<vb::Variant>&,
                                          ado::JetType) override {
        return {};
    }
};

TEST(JetTranslate, SavedQueriesBecomeOneWithClauseEach) {
    FakeFile file;
    file.queries["Q1"] = "SELECT a, b FROM T WHERE a > 1;";
    file.queries["Q2"] = "SELECT Q1.a, U.b FROM Q1 INNER JOIN U ON Q1.a = U.a;";
    auto t = ado::TranslateJetSql("SELECT Q2.a FROM Q2, Q1 AS again", file, nullptr);
    // Q1 is met twice but translated once, before the query that needs it.
    const size_t q1 = t.sql.find("\"Q1\" AS MATERIALIZED");
    const size_t q2 = t.sql.find("\"Q2\" AS MATERIALIZED");
    ASSERT_NE(q1, std::string::npos) << t.sql;
    ASSERT_NE(q2, std::string::npos) << t.sql;
    EXPECT_LT(q1, q2);
    EXPECT_EQ(t.sql.find("\"Q1\" AS MATERIALIZED", q1 + 1), std::string::npos);
    ASSERT_EQ(t.columns.size(), 1u);
    EXPECT_EQ(t.columns[0].name, "a");
    EXPECT_EQ(t.columns[0].type, ado::JetType::Long);
}

TEST(JetTranslate, ACycleOfQueriesIsNamed) {
    FakeFile file;
    file.queries["A"] = "SELECT * FROM B;";
    file.queries["B"] = "SELECT * FROM C;";
    file.queries["C"] = "SELECT * FROM A;";
    try {
        ado::TranslateJetSql("SELECT * FROM A WHERE 1 = 1", file, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_NE(e.Description().find("A -> B -> C -> A"), std::string::npos) << e.Description();
    }
}

TEST(JetTranslate, AChainOfSavedQueriesTooLongToFollowIsRefused) {
    FakeFile file;
    for (int i = 0; i < 20000; ++i)
        file.queries["Q" + std::to_string(i)] = "SELECT * FROM Q" + std::to_string(i + 1);
    try {
        ado::TranslateJetSql("SELECT * FROM Q0 WHERE 1 = 1", file, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Description().rfind("Query is too complex: ", 0), 0u) << e.Description();
    }
}

TEST(JetTranslate, ParametersInTheirOrder) {
    FakeFile file;
    file.queries["Base"] =
        "PARAMETERS [Low] Long; SELECT a FROM T WHERE a > [Low] AND b = [Forms]![F]![Who];";
    auto t = ado::TranslateJetSql(
        "PARAMETERS [High] Long; SELECT Base.a FROM Base WHERE Base.a < [High] AND Base.a <> ? AND [Extra] "
        "IS "
        "NULL",
        file, nullptr);
    std::vector<std::string> names;
    for (const auto& p : t.parameters) names.push_back(p.name);
    // Placeholders first, then the declarations, then the others as the translation meets them.
    EXPECT_EQ(names, (std::vector<std::string>{"?", "High", "Low", "Forms!F!Who", "Extra"}));
    EXPECT_EQ(t.parameters[2].type, ado::JetType::Long);
    EXPECT_EQ(t.parameters[3].type, ado::JetType::Text);  // compared with a text column
    EXPECT_EQ(t.parameters[4].type, ado::JetType::Value);
}

TEST(JetTranslate, NamesResolveAsJetResolvesThem) {
    FakeFile file;
    // An unqualified name in two sources is ambiguous.
    EXPECT_THROW(ado::TranslateJetSql("SELECT a FROM T, U", file, nullptr), vb::ComError);
    // A select-list alias serves later items and the WHERE clause.
    auto t = ado::TranslateJetSql("SELECT a * 2 AS twice, twice + 1 AS more FROM T WHERE twice > 4", file,
                                  nullptr);
    EXPECT_TRUE(t.parameters.empty());
    EXPECT_EQ(t.columns[1].name, "more");
    // Unaliased expressions and aggregates of a column get Access's names.
    t = ado::TranslateJetSql("SELECT a + 1, Sum(b), Count(*) FROM T GROUP BY a + 1", file, nullptr);
    EXPECT_EQ(t.columns[0].name, "Expr1000");
    EXPECT_EQ(t.columns[1].name, "SumOfb");
    EXPECT_EQ(t.columns[2].name, "Expr1001");
    // The same column of two tables is named by its table.
    t = ado::TranslateJetSql("SELECT T.a, U.a FROM T INNER JOIN U ON T.a = U.a", file, nullptr);
    EXPECT_EQ(t.columns[0].name, "T.a");
    EXPECT_EQ(t.columns[1].name, "U.a");
    // Writes are recognised as such.
    try {
        ado::TranslateJetSql("DELETE * FROM T", file, nullptr);
        ADD_FAILURE() << "no error";
    } catch (const vb::ComError& e) {
        EXPECT_EQ(e.Number(), ado::kErrJetWrite);
    }
}

}  // namespace
