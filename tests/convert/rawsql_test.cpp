// Raw-SQL record sources saved as queries (or views) with and without the questions.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "convert/job_support.h"
#include "platform/adox/adox.h"
#include "platform/common/vbstring.h"

namespace convert_test {
namespace {

using tolvaran::clsConvert;

const char* kSalesSql = "SELECT Customer, Amount FROM Orders";

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The saved queries of a front end, name -> SQL.
std::map<std::string, std::string> Views(const std::string& file) {
    auto connection = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
    adox::Catalog catalog;
    catalog.setActiveConnection(connection);
    std::map<std::string, std::string> out;
    for (const adox::View& v : catalog.Views()) out[v.Name] = v.Command.CommandText;
    return out;
}

TEST(RawSql, StatementIsSavedUnderTheNameTheUserGives) {
    // Upper and lower case statements alike are statements, not names.
    for (const std::string& sql :
         {std::string(kSalesSql), std::string("select Customer, Amount from Orders")}) {
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("Monthly Sales", sql, DetailWithField("Customer"));
        clsConvert& job = run.NewJob("Monthly Sales");

        ASSERT_TRUE(run.Convert()) << sql << ::testing::PrintToString(run.Problems());
        EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
        ASSERT_EQ(run.store.prompt.messages.size(), 1u);
        const auto& box = run.store.prompt.messages[0];
        EXPECT_EQ(box.prompt, "This report has RAW SQL for a record source.  You must save this as a query");
        EXPECT_EQ(box.title, "Add Database Connection");
        EXPECT_EQ(box.buttons, ui::vbExclamation + ui::vbOKOnly);
        ASSERT_EQ(run.store.prompt.inputs.size(), 1u);
        EXPECT_EQ(run.store.prompt.inputs[0].prompt, "New Query Name:");

        // The default answer was taken: the query is saved and the report bound to it.
        EXPECT_EQ(Views(run.front.Path()).count("qryMonthly_Sales"), 1u) << sql;
        EXPECT_EQ(job.ReportSource, "qryMonthly_Sales");
        EXPECT_EQ(job.crReport()->Database().Tables().Item(1).Name(), "qryMonthly_Sales");
        EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"), "Does this report have RAW SQL?Yes"));
    }
}

TEST(RawSql, SavedQueryWithTheSameSelectListIsReusedWithoutQuestions) {
    JobRun run;
    run.AddInternalLink();
    const std::string saved = "SELECT Customer, Amount FROM Orders WHERE Amount > 0";
    run.front.Sql("CREATE VIEW qryMonthly_Sales AS " + saved + ";");
    // Only the select list counts, whatever follows FROM and in whatever case.
    run.front.AddReport("Monthly Sales", "SELECT Customer, Amount\r\nfrom Orders ORDER BY Customer");
    clsConvert& job = run.NewJob("Monthly Sales");

    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.store.prompt.messages.empty());
    EXPECT_TRUE(run.store.prompt.inputs.empty());
    EXPECT_EQ(job.ReportSource, "qryMonthly_Sales");
    EXPECT_EQ(Views(run.front.Path())["qryMonthly_Sales"], saved);
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"), "Does this report have RAW SQL?No"));
}

TEST(RawSql, SavedQueryUnderTheDefaultNameIsReusedUnchanged) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql("CREATE VIEW qryMonthly_Sales AS SELECT ID, Customer FROM Orders;");
    run.front.AddReport("Monthly Sales", kSalesSql);
    clsConvert& job = run.NewJob("Monthly Sales");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.store.prompt.messages.empty());
    EXPECT_EQ(job.ReportSource, "qryMonthly_Sales");
    EXPECT_EQ(Views(run.front.Path())["qryMonthly_Sales"], "SELECT ID, Customer FROM Orders");
    EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"), "Does this report have RAW SQL?Yes"));
}

TEST(RawSql, ExistingNameAsksToOverwrite) {
    struct Case {
        const char* what;
        int answer;
        std::string boundTo;
    };
    const Case cases[] = {
        {"Yes replaces the query", ui::vbYes, "qryTaken"},
        {"No offers a name with _New", ui::vbNo, "qryMonthly Sales_New"},
    };
    for (const Case& c : cases) {
        JobRun run;
        run.AddInternalLink();
        run.front.Sql("CREATE VIEW qryTaken AS SELECT ID FROM Orders;");
        run.front.AddReport("Monthly Sales", kSalesSql);
        run.store.prompt.answers = {ui::vbOK, c.answer};
        run.store.prompt.inputAnswers = {"qryTaken"};
        clsConvert& job = run.NewJob("Monthly Sales");

        ASSERT_TRUE(run.Convert()) << c.what << ::testing::PrintToString(run.Problems());
        ASSERT_EQ(run.store.prompt.messages.size(), 2u) << c.what;
        const auto& question = run.store.prompt.messages[1];
        EXPECT_EQ(question.prompt, "This query already exists.  Overwrite?");
        EXPECT_EQ(question.title, "Overwrite Query");
        EXPECT_EQ(question.buttons, ui::vbQuestion + ui::vbYesNo);
        EXPECT_EQ(run.store.prompt.inputs.size(), c.answer == ui::vbYes ? 1u : 2u) << c.what;
        EXPECT_EQ(job.ReportSource, c.boundTo) << c.what;
        const auto views = Views(run.front.Path());
        EXPECT_EQ(views.at(c.boundTo), kSalesSql) << c.what;
        if (c.answer == ui::vbNo) {
            EXPECT_EQ(views.at("qryTaken"), "SELECT ID FROM Orders");
        }
    }
}

TEST(RawSql, SeveralReportsAtOnceSaveUnderTheDefaultNameWithoutQuestions) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql("CREATE VIEW qryWeekly_Sales AS SELECT ID FROM Orders;");
    run.front.AddReport("Monthly Sales", kSalesSql);
    run.front.AddReport("Weekly Sales", "SELECT Customer, OrderDate FROM Orders");
    for (const std::string name : {"Monthly Sales", "Weekly Sales"}) {
        clsConvert& job = run.NewJob(name, 7, /*multiple=*/true);
        ASSERT_TRUE(run.Convert()) << name << ::testing::PrintToString(run.Problems());
        EXPECT_EQ(job.ReportSource, "qry" + vb::Replace(name, " ", "_"));
    }
    EXPECT_TRUE(run.store.prompt.messages.empty());
    EXPECT_TRUE(run.store.prompt.inputs.empty());
    const std::vector<std::string> expected = {
        "Multiple Reports: defaulting to save/overwrite RAW SQL as qryMonthly_Sales",
        "Multiple Reports: defaulting to save/overwrite RAW SQL as qryWeekly_Sales"};
    std::vector<std::string> questions;  // the section pass adds the section names too
    for (const std::string& line : run.window.results)
        if (line.rfind("Multiple Reports:", 0) == 0) questions.push_back(line);
    EXPECT_EQ(questions, expected);
    EXPECT_EQ(Descriptions(run.Rows(), "Add Query/View to Database"), expected);
    const auto views = Views(run.front.Path());
    EXPECT_EQ(views.at("qryMonthly_Sales"), kSalesSql);
    EXPECT_EQ(views.at("qryWeekly_Sales"), "SELECT Customer, OrderDate FROM Orders");  // replaced
}

// Only the keyword FROM ends the select list: a FROM inside a name or a sub-query does not, so
// a changed select list is saved again in a run of several reports.
TEST(RawSql, FromInsideANameDoesNotEndTheSelectList) {
    for (const std::string head : {"SELECT OrderDate AS DateFrom", "SELECT OrderDate AS [Date From]",
                                   "SELECT (SELECT Max(ID) FROM Orders) AS Newest"}) {
        JobRun run;
        run.AddInternalLink();
        run.front.Sql("CREATE VIEW qryWeekly_Sales AS " + head + ", ID FROM Orders;");
        const std::string sql = head + ", Customer FROM Orders";
        run.front.AddReport("Weekly Sales", sql);
        clsConvert& job = run.NewJob("Weekly Sales", 7, /*multiple=*/true);
        ASSERT_TRUE(run.Convert()) << head << ::testing::PrintToString(run.Problems());
        EXPECT_EQ(job.ReportSource, "qryWeekly_Sales");
        EXPECT_EQ(Views(run.front.Path()).at("qryWeekly_Sales"), sql) << head;
        EXPECT_TRUE(Contains(Descriptions(run.Rows(), "AddDatabase"), "Does this report have RAW SQL?Yes"))
            << head;
    }
}

// A statement chained after the SELECT of a record source never runs on the source, whether
// one report is converted or several: nothing is saved, the report does not convert, and a
// problem row names it.
TEST(RawSql, AStatementChainedAfterTheSelectIsRefusedAndNeverRuns) {
    struct Case {
        const char* sql;
        const char* why;
    } cases[] = {{"SELECT Customer FROM Orders; DELETE FROM Orders", "it holds more than one statement"},
                 {"SELECT Customer FROM Orders DELETE FROM Orders", "it writes (DELETE)"}};
    for (const Case& c : cases) {
        for (const bool multiple : {false, true}) {
            JobRun run;
            run.AddInternalLink();
            run.front.AddReport("Monthly Sales", c.sql, DetailWithField("Customer"));
            run.NewJob("Monthly Sales", 7, multiple);
            EXPECT_FALSE(run.Convert()) << c.sql;
            auto connection =
                ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + run.front.Path());
            ado::Recordset rs;
            rs.Open("SELECT COUNT(*) AS n FROM Orders", connection);
            EXPECT_EQ(rs["n"].ToLong(), 1) << c.sql;
            EXPECT_TRUE(Views(run.front.Path()).empty()) << c.sql;
            EXPECT_TRUE(run.store.prompt.messages.empty()) << c.sql;
            const std::string expected =
                "AddDatabase: The record source of the report Monthly Sales is not one "
                "SELECT statement: " +
                std::string(c.why) + ".";
            const auto problems = run.Problems();
            EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [&](const std::string& p) {
                return p.rfind(expected, 0) == 0;
            })) << ::testing::PrintToString(problems);
        }
    }
}

TEST(RawSql, OdbcLinkTakesTheViewPath) {
    UsePrivateOdbc();
    RunSql(OdbcDb(),
           "DROP TABLE IF EXISTS Orders; CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer TEXT);");
    JobRun run;
    auto link = run.AddLink(tolvaran::kLinkOdbc, "", "TolvaranConvert");
    link->DSN = "TolvaranConvert";
    run.front.AddReport("Monthly Sales", "SELECT Customer FROM Orders");
    run.NewJob("Monthly Sales");
    run.Convert();
    // The back end has no dbo schema: the statement "Create View dbo.…" is refused there.
    const auto rows = run.Rows();
    EXPECT_EQ(Descriptions(rows, "CreateSQLView").size(), 1u) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(Descriptions(rows, "Add Query/View to Database").empty());
}

TEST(RawSql, CreateSQLViewTextAndOverwrite) {
    JobRun run;
    const std::string dboFile = run.dir.File("dbo.db");
    RunSql(dboFile,
           "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer TEXT, Open INTEGER);"
           "CREATE VIEW qryOpen AS SELECT ID FROM Orders;");
    auto connection = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + run.front.Path());
    connection->Execute("ATTACH DATABASE ? AS dbo", {dboFile});
    clsConvert& job = run.NewJob("R");

    EXPECT_TRUE(job.CreateSQLView(
        connection,
        "  SELECT Customer FROM Orders WHERE Open = True Or Open = False ORDER BY Customer; "
        "SELECT 1",
        "qryOpen", true));
    RunSql(dboFile, "");  // the view is in the file behind dbo
    ado::Recordset rs;
    rs.Open("SELECT sql FROM dbo.sqlite_master WHERE name = 'qryOpen'", connection);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(0).Value().ToString(),
              "CREATE VIEW qryOpen as SELECT Customer FROM Orders WHERE Open = 1 Or Open = 0");
    rs.Close();

    // Literals and names keep their text: only the bare words True and False, the first ";"
    // and the ORDER BY of the statement itself are rewritten.
    EXPECT_TRUE(
        job.CreateSQLView(connection,
                          "SELECT [TrueName] FROM (SELECT Customer AS TrueName, Open FROM Orders ORDER BY 1) "
                          "WHERE TrueName <> 'True; ORDER BY' AND Open = true ORDER BY 1",
                          "qryLiteral", false))
        << ::testing::PrintToString(run.Problems());
    rs.Open("SELECT sql FROM dbo.sqlite_master WHERE name = 'qryLiteral'", connection);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields(0).Value().ToString(),
              "CREATE VIEW qryLiteral as SELECT [TrueName] FROM (SELECT Customer AS TrueName, Open FROM "
              "Orders ORDER "
              "BY 1) WHERE TrueName <> 'True; ORDER BY' AND Open = 1");
    rs.Close();

    // Without overwrite an existing view is an error, logged under the member's name.
    EXPECT_FALSE(job.CreateSQLView(connection, "SELECT ID FROM Orders", "qryOpen", false));
    EXPECT_EQ(Descriptions(run.Rows(), "CreateSQLView").size(), 1u);
    EXPECT_TRUE(job.DropView(connection, "dbo.qryOpen"));
    EXPECT_FALSE(job.DropView(connection, "dbo.qryOpen"));
    EXPECT_EQ(Descriptions(run.Rows(), "DropView").size(), 1u);
}

// A view name holding a quote, a blank or "True" is created and dropped under that very name.
TEST(RawSql, ViewNamesAreKeptWhole) {
    JobRun run;
    const std::string dboFile = run.dir.File("dbo.db");
    RunSql(dboFile, "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Open INTEGER);");
    auto connection = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + run.front.Path());
    connection->Execute("ATTACH DATABASE ? AS dbo", {dboFile});
    clsConvert& job = run.NewJob("R");
    const std::string name = "qryO'Brien True";
    ASSERT_TRUE(job.CreateSQLView(connection, "SELECT ID FROM Orders WHERE Open = True", name, false))
        << ::testing::PrintToString(run.Problems());
    ado::Recordset rs;
    rs.Open("SELECT sql FROM dbo.sqlite_master WHERE name = ?", connection, ado::adOpenStatic,
            ado::adLockReadOnly, {name});
    ASSERT_FALSE(rs.Eof());
    EXPECT_NE(rs.Fields(0).Value().ToString().find("WHERE Open = 1"), std::string::npos);
    EXPECT_TRUE(job.CreateSQLView(connection, "SELECT ID FROM Orders", name, true));
    EXPECT_TRUE(job.DropView(connection, name));
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
}

}  // namespace
}  // namespace convert_test
