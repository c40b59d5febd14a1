// Saved-query SQL rebuilt from MSysQueries rows: synthetic rows for each clause, then the
// saved queries of the sample databases.
#include "platform/ado/jet_queries.h"

#include <gtest/gtest.h>

#include "jet_support.h"
#include "platform/ado/jet_driver.h"

namespace {

using ado::JetQueryRow;

JetQueryRow Row(int attribute, std::string name1 = {}, std::string name2 = {}, std::string expr = {},
                std::optional<long> flag = std::nullopt) {
    return JetQueryRow{attribute, std::move(name1), std::move(name2), std::move(expr), flag};
}

struct RebuildCase {
    const char* label;
    std::vector<JetQueryRow> rows;
    const char* sql;
};

class RebuildTest : public ::testing::TestWithParam<RebuildCase> {};

TEST_P(RebuildTest, GivesAccessSql) {
    EXPECT_EQ(ado::RebuildJetQuery(GetParam().rows).sql, GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(
    Clauses, RebuildTest,
    ::testing::Values(
        RebuildCase{"PlainSelectWithAlias",
                    {Row(1, {}, {}, {}, 1), Row(5, "Order Details", "od"), Row(6, "Total", {}, "od.Qty*2")},
                    "SELECT od.Qty*2 AS Total\r\nFROM [Order Details] AS od;"},
        RebuildCase{"TopPercentDistinctOrderDesc",
                    {Row(1, {}, {}, {}, 1), Row(3, "25", {}, {}, 0x10 | 0x20 | 0x02), Row(5, "T"),
                     Row(6, {}, {}, "T.a"), Row(11, "D", {}, "T.a"), Row(11, {}, {}, "T.b")},
                    "SELECT DISTINCT TOP 25 PERCENT T.a\r\nFROM T\r\nORDER BY T.a DESC, T.b;"},
        RebuildCase{"ThreeTablesNestLeftToRight",
                    {Row(1, {}, {}, {}, 1), Row(5, "A"), Row(5, "B"), Row(5, "C"), Row(6, {}, {}, "*"),
                     Row(7, "A", "B", "A.x = B.x", 2), Row(7, "B", "C", "B.y = C.y", 3)},
                    "SELECT *\r\nFROM (A LEFT JOIN B ON A.x = B.x) RIGHT JOIN C ON B.y = C.y;"},
        RebuildCase{"TwoConditionsOnOneJoin",
                    {Row(1, {}, {}, {}, 1), Row(5, "A"), Row(5, "B"), Row(6, {}, {}, "A.x"),
                     Row(7, "A", "B", "A.x = B.x", 1), Row(7, "A", "B", "A.y = B.y", 1)},
                    "SELECT A.x\r\nFROM A INNER JOIN B ON (A.x = B.x) AND (A.y = B.y);"},
        RebuildCase{"UnjoinedTablesAreListed",
                    {Row(1, {}, {}, {}, 1), Row(5, "A"), Row(5, "B"), Row(6, {}, {}, "A.x"),
                     Row(8, {}, {}, "A.x=B.x")},
                    "SELECT A.x\r\nFROM A, B\r\nWHERE A.x=B.x;"},
        RebuildCase{"GroupByHaving",
                    {Row(1, {}, {}, {}, 1), Row(5, "T"), Row(6, "n", {}, "Count(*)"), Row(6, {}, {}, "T.k"),
                     Row(9, {}, {}, "T.k"), Row(10, {}, {}, "Count(*)>1")},
                    "SELECT Count(*) AS n, T.k\r\nFROM T\r\nGROUP BY T.k\r\nHAVING Count(*)>1;"},
        RebuildCase{
            "ParametersFromAForm",
            {Row(1, {}, {}, {}, 1), Row(2, "Forms!Sales Dialog!Start", {}, {}, 8), Row(2, "Who", {}, {}, 10),
             Row(5, "T"), Row(6, {}, {}, "T.d")},
            "PARAMETERS [Forms]![Sales Dialog]![Start] DateTime, Who Text ( 255 );\r\nSELECT T.d\r\nFROM T;"},
        RebuildCase{
            "UnionDistinct",
            {Row(1, {}, {}, {}, 9), Row(3, {}, {}, {}, 3), Row(5, {}, "X7YZ_____1", "SELECT a FROM A\r\n"),
             Row(5, {}, "X7YZ_____2", "SELECT b FROM B"), Row(11, {}, {}, "a")},
            "SELECT a FROM A\r\nUNION\r\nSELECT b FROM B\r\nORDER BY a;"},
        RebuildCase{
            "UnionAll",
            {Row(1, {}, {}, {}, 9), Row(3, {}, {}, {}, 1), Row(5, {}, "X7YZ_____1", "SELECT a FROM A"),
             Row(5, {}, "X7YZ_____2", "SELECT b FROM B;")},
            "SELECT a FROM A\r\nUNION ALL\r\nSELECT b FROM B;"},
        RebuildCase{"OwnerAccessEndsTheStatement",
                    {Row(1, {}, {}, {}, 1), Row(3, {}, {}, {}, 0x04), Row(5, "T"), Row(6, {}, {}, "T.a"),
                     Row(11, {}, {}, "T.a")},
                    "SELECT T.a\r\nFROM T\r\nORDER BY T.a\r\nWITH OWNERACCESS OPTION;"},
        RebuildCase{"MakeTable",
                    {Row(1, "New Table", {}, {}, 2), Row(5, "T"), Row(6, {}, {}, "T.a")},
                    "SELECT T.a INTO [New Table]\r\nFROM T;"},
        RebuildCase{"Append",
                    {Row(1, "Dest", {}, {}, 3), Row(5, "T"), Row(6, {}, "x", "T.a"), Row(6, {}, "y", "T.b")},
                    "INSERT INTO Dest ( x, y )\r\nSELECT T.a, T.b\r\nFROM T;"},
        RebuildCase{
            "Update",
            {Row(1, {}, {}, {}, 4), Row(5, "T"), Row(6, {}, "T.a", "1"), Row(8, {}, {}, "T.b Is Null")},
            "UPDATE T SET T.a = 1\r\nWHERE T.b Is Null;"},
        RebuildCase{"Delete",
                    {Row(1, {}, {}, {}, 5), Row(5, "T"), Row(6, {}, {}, "T.*"), Row(8, {}, {}, "T.a=1")},
                    "DELETE T.*\r\nFROM T\r\nWHERE T.a=1;"},
        RebuildCase{
            "Crosstab",
            {Row(1, {}, {}, {}, 6), Row(5, "T"), Row(6, "V", {}, "Sum(T.v)", 0), Row(6, {}, {}, "T.r", 2),
             Row(6, {}, {}, "T.c", 1), Row(9, {}, {}, "T.r", 2), Row(9, {}, {}, "T.c", 1)},
            "TRANSFORM Sum(T.v) AS V\r\nSELECT T.r\r\nFROM T\r\nGROUP BY T.r\r\nPIVOT T.c;"},
        RebuildCase{
            "TableInAnotherFileWithAQuoteInItsPath",
            {Row(1, {}, {}, {}, 1), Row(4, "C:\\Data\\O'Brien.mdb"), Row(5, "T"), Row(6, {}, {}, "T.a")},
            "SELECT T.a\r\nFROM T IN 'C:\\Data\\O''Brien.mdb';"},
        RebuildCase{"PassThroughKeepsItsText", {Row(1, "ODBC;", {}, "EXEC sp_who", 8)}, "EXEC sp_who"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(JetQuoteName, BracketsOnlyWhatNeedsIt) {
    EXPECT_EQ(ado::JetQuoteName("Orders"), "Orders");
    EXPECT_EQ(ado::JetQuoteName("Order Details"), "[Order Details]");
    EXPECT_EQ(ado::JetQuoteName("1st"), "[1st]");
    EXPECT_EQ(ado::JetQuoteName("Umsätze"), "Umsätze");
    EXPECT_EQ(ado::JetQuoteName("[Already]"), "[Already]");
}

TEST(JetQueryKinds, ParametersMakeAProcedure) {
    auto q = ado::RebuildJetQuery(
        {Row(1, {}, {}, {}, 1), Row(2, "p", {}, {}, 4), Row(5, "T"), Row(6, {}, {}, "T.a")});
    EXPECT_EQ(q.type, ado::JetQueryType::Select);
    EXPECT_TRUE(q.hasParameters);
}

// The query test files hold one saved query of each kind, in three file formats.
class QueryFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(QueryFileTest, EveryKindRebuilt) {
    SKIP_WITHOUT_CORPUS();
    auto driver = ado::OpenJetFile(jettest::Corpus(GetParam()));
    auto views = driver->views();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].name, "SelectQuery");
    EXPECT_EQ(
        views[0].commandText,
        "SELECT DISTINCT Table1.*, Table2.col1, Table2.col2, Table3.col3\r\n"
        "FROM (Table1 LEFT JOIN Table3 ON Table1.col1 = Table3.col1) INNER JOIN Table2 ON (Table3.col1 = "
        "Table2.col1) AND (Table3.col1 = Table2.col2)\r\n"
        "WHERE (((Table2.col2)=\"foo\" Or (Table2.col2) In (\"buzz\",\"bazz\")))\r\n"
        "ORDER BY Table2.col1;");
    std::map<std::string, std::string> procs;
    for (const auto& p : driver->procedures()) procs[p.name] = p.commandText;
    ASSERT_EQ(procs.size(), 8u);
    EXPECT_EQ(
        procs["UpdateQuery"],
        "PARAMETERS [User Name] Text ( 255 );\r\nUPDATE Table1 SET Table1.col1 = \"foo\", Table1.col2 = "
        "[Table2].[col3], [Table2].[col1] = [User Name]\r\nWHERE ((([Table2].[col1]) Is Not Null));");
    EXPECT_EQ(procs["MakeTableQuery"].rfind(
                  "SELECT Max(Table2.col1) AS MaxOfcol1, Table2.col2, Table3.col2 INTO Table4\r\nFROM ", 0),
              0u);
    EXPECT_EQ(procs["AppendQuery"].rfind("INSERT INTO Table3 ( col2, col2, col3 )\r\nSELECT ", 0), 0u);
    EXPECT_EQ(
        procs["DeleteQuery"],
        "DELETE Table1.col1, Table1.col2, Table1.col3\r\nFROM Table1\r\nWHERE (((Table1.col1)>\"blah\"));");
    EXPECT_EQ(procs["CrosstabQuery"].rfind("TRANSFORM Count([Table2].[col2]) AS CountOfcol2\r\nSELECT ", 0),
              0u);
    EXPECT_NE(procs["CrosstabQuery"].find("\r\nPIVOT [Table1].[col1];"), std::string::npos);
    EXPECT_NE(procs["UnionQuery"].find("\r\nUNION ALL\r\nSelect Table3.col1"), std::string::npos);
    EXPECT_EQ(procs["DataDefinitionQuery"], "CREATE TABLE Table5 (col1 CHAR, col2 CHAR);");
    EXPECT_EQ(procs["PassthroughQuery"], "ALTER TABLE Table4 DROP COLUMN col5;");
}

INSTANTIATE_TEST_SUITE_P(Formats, QueryFileTest,
                         ::testing::Values("jahlborn__jackcess__queryTestV1997.mdb",
                                           "jahlborn__jackcess__queryTestV2000.mdb",
                                           "jahlborn__jackcess__queryTestV2003.mdb"));

TEST(NwindQueries, AllTwentyTwoRebuilt) {
    SKIP_WITHOUT_CORPUS();
    auto driver = ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    auto views = driver->views();
    auto procs = driver->procedures();
    EXPECT_EQ(views.size() + procs.size(), 22u);
    EXPECT_EQ(procs.size(), 4u);  // the union, the crosstab and the two with parameters
    std::map<std::string, std::string> all;
    for (const auto& q : views) all[q.name] = q.commandText;
    for (const auto& q : procs) all[q.name] = q.commandText;
    for (const auto& [name, sql] : all) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(sql.rfind("SELECT ", 0) == 0 || sql.rfind("PARAMETERS ", 0) == 0 ||
                    sql.rfind("TRANSFORM ", 0) == 0);
        EXPECT_NE(sql.find("\r\nFROM "), std::string::npos);
        EXPECT_EQ(sql.back(), ';');
    }
    EXPECT_EQ(all["Invoices"].substr(all["Invoices"].find("FROM ")),
              "FROM Shippers INNER JOIN (Products INNER JOIN ((Employees INNER JOIN (Customers INNER JOIN "
              "Orders ON "
              "Customers.CustomerID = Orders.CustomerID) ON Employees.EmployeeID = Orders.EmployeeID) INNER "
              "JOIN [Order "
              "Details] ON Orders.OrderID = [Order Details].OrderID) ON Products.ProductID = [Order "
              "Details].ProductID) ON "
              "Shippers.ShipperID = Orders.ShipVia;");
    EXPECT_EQ(
        all["Ten Most Expensive Products"],
        "SELECT DISTINCTROW TOP 10 Products.ProductName AS TenMostExpensiveProducts, Products.UnitPrice\r\n"
        "FROM Products\r\nORDER BY Products.UnitPrice DESC;");
    EXPECT_EQ(all["Current Product List"].rfind("SELECT [Product List].ProductID, [Product "
                                                "List].ProductName\r\nFROM Products AS [Product List]\r\n",
                                                0),
              0u);
    EXPECT_EQ(
        all["Sales by Year"].rfind("PARAMETERS [Forms]![Sales by Year Dialog]![BeginningDate] DateTime, "
                                   "[Forms]![Sales by Year Dialog]![EndingDate] DateTime;\r\nSELECT ",
                                   0),
        0u);
}

}  // namespace
