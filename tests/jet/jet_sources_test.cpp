// The source-database scan and the query scanner over real Access files read through the Jet
// driver.
#include <gtest/gtest.h>

#include "jet_support.h"
#include "platform/ado/ado.h"
#include "platform/ado/jet_driver.h"
#include "sources/links_manager.h"
#include "sources/query_scanner.h"
#include "support/recording.h"

namespace {

struct ScanResult {
    bool ok = false;
    std::vector<tolvaran::LinkPtr> links;
    std::vector<std::string> lines;
    std::vector<std::string> errors;
    size_t messages = 0;
};

ScanResult Scan(const std::string& file) {
    ui::RecordingPrompt prompt;
    ui::RecordingWindow window;
    tolvaran::clsManageLinks manager(prompt);
    ScanResult r;
    manager.setErrorLogWriter([&](const std::string& desc, const std::string&, const std::string&,
                                  const std::string&, const std::string&) {
        r.errors.push_back(desc);
        return true;
    });
    r.ok = manager.ParseLinks(window, jettest::Corpus(file), "Admin", "");
    for (long i = 1; i <= manager.Items().Count(); ++i) r.links.push_back(manager.Items().Item(i));
    r.lines = window.results;
    r.messages = prompt.messages.size();
    return r;
}

TEST(JetParseLinks, AccessLinkedFile) {
    SKIP_WITHOUT_CORPUS();
    ScanResult r = Scan("jahlborn__jackcess__linkerTestV2007.accdb");
    ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0]);
    ASSERT_EQ(r.links.size(), 2u);
    std::map<long, tolvaran::LinkPtr> byKind;
    for (const auto& l : r.links) byKind[l->LinkType] = l;
    ASSERT_TRUE(byKind.count(0));
    EXPECT_EQ(byKind[0]->Name, "INTERNAL");
    EXPECT_EQ(byKind[0]->LinkDatabase, jettest::Corpus("jahlborn__jackcess__linkerTestV2007.accdb"));
    ASSERT_TRUE(byKind.count(2));
    EXPECT_EQ(byKind[2]->Name, "Table2");
    EXPECT_EQ(byKind[2]->Link, "Table1");
    EXPECT_EQ(byKind[2]->LinkDatabase, "Z:\\jackcess_test\\linkeeTest.accdb");
}

TEST(JetParseLinks, OdbcLinkedTable) {
    SKIP_WITHOUT_CORPUS();
    ScanResult r = Scan("jahlborn__jackcess__odbcLinkerTestV2007.accdb");
    ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[0]);
    tolvaran::LinkPtr odbc;
    for (const auto& l : r.links)
        if (l->LinkType == 3) odbc = l;
    ASSERT_TRUE(odbc);
    EXPECT_EQ(odbc->Name, "Ordrar");
    EXPECT_EQ(odbc->DSN, "Magnapinna");
    EXPECT_EQ(odbc->UserId, "safexit");
    EXPECT_EQ(odbc->Database, "safexit");
}

TEST(JetParseLinks, NwindHasOnlyItsOwnTables) {
    SKIP_WITHOUT_CORPUS();
    ScanResult r = Scan("mdbtools__mdbtestdata__nwind.mdb");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0]->Name, "INTERNAL");
    EXPECT_EQ(r.links[0]->LinkType, 0);
    ASSERT_GE(r.lines.size(), 4u);
    EXPECT_EQ(r.lines[0], "Opening Database:" + jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    EXPECT_EQ(ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"))->engineVersion(), "3.51");
}

std::vector<std::string> Names(const tolvaran::TableViewCollection& c) {
    std::vector<std::string> out;
    for (long i = 1; i <= c.Count(); ++i) out.push_back(c.Item(i)->Name);
    return out;
}

// The query scanner over the rebuilt SELECT texts finds their tables, following views.
TEST(JetQueryScanner, FindsTheTablesOfSavedQueries) {
    SKIP_WITHOUT_CORPUS();
    ui::RecordingPrompt prompt;
    for (const char* file :
         {"jahlborn__jackcess__queryTestV1997.mdb", "jahlborn__jackcess__queryTestV2000.mdb",
          "jahlborn__jackcess__queryTestV2003.mdb"}) {
        SCOPED_TRACE(file);
        auto conn =
            ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + jettest::Corpus(file));
        tolvaran::clsInterface scanner(prompt);
        scanner.setActiveConnection(conn);
        scanner.Execute("SELECT * FROM SelectQuery");
        ASSERT_EQ(scanner.SQLTables.Count(), 1);
        auto view = scanner.SQLTables.Item(1);
        EXPECT_EQ(view->Name, "selectquery");
        EXPECT_EQ(Names(view->Children), (std::vector<std::string>{"table1", "table3", "table2"}));
    }

    auto nwind = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                                     jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    auto driver = ado::OpenJetFile(jettest::Corpus("mdbtools__mdbtestdata__nwind.mdb"));
    std::map<std::string, std::string> sql;
    for (const auto& v : driver->views()) sql[v.name] = v.commandText;
    struct Expect {
        const char* query;
        std::vector<std::string> tables;
    };
    for (const Expect& e :
         {Expect{"Orders Qry", {"customers", "orders"}}, Expect{"Quarterly Orders", {"customers", "orders"}},
          Expect{"Alphabetical List of Products", {"categories", "products"}},
          Expect{"Invoices",
                 {"shippers", "products", "employees", "customers", "orders", "order details"}}}) {
        SCOPED_TRACE(e.query);
        tolvaran::clsInterface scanner(prompt);
        scanner.setActiveConnection(nwind);
        scanner.Execute(sql.at(e.query));
        EXPECT_EQ(Names(scanner.SQLTables), e.tables);
        EXPECT_GT(scanner.FieldCount, 0);
    }
    // A view in the FROM list is followed into its own text.
    tolvaran::clsInterface scanner(prompt);
    scanner.setActiveConnection(nwind);
    scanner.Execute(sql.at("Invoices Filter"));
    ASSERT_EQ(scanner.SQLTables.Count(), 1);
    EXPECT_EQ(scanner.SQLTables.Item(1)->Name, "invoices");
    EXPECT_EQ(scanner.SQLTables.Item(1)->Children.Count(), 6);
    // A bracketed name with blanks is one name: "[Product Sales for 1995]" is one view, and it
    // is followed.
    tolvaran::clsInterface sales(prompt);
    sales.setActiveConnection(nwind);
    sales.Execute(sql.at("Category Sales for 1995"));
    ASSERT_EQ(sales.SQLTables.Count(), 1);
    EXPECT_EQ(sales.SQLTables.Item(1)->SQLSource, sql.at("Product Sales for 1995"));
    EXPECT_EQ(Names(sales.SQLTables.Item(1)->Children),
              (std::vector<std::string>{"categories", "products", "orders", "order details"}));
    EXPECT_EQ(prompt.messages.size(), 0u);
}

}  // namespace
