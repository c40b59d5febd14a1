// Reports whose record source is a saved query or an SQL statement of a real Access file
// (nwind.mdb), converted through the whole job: the designer's table holds the fields with
// their types, and the formulas are checked against them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "convert/layout_support.h"
#include "platform/ado/jet_reader_process.h"
#include "platform/designer/report_file.h"
#include "platform/viewer/data.h"
#include "support/corpus.h"

namespace convert_test {
namespace {

using namespace layout;

// A job converting a report of a copy of nwind.mdb, bound through the file's own tables.
tolvaran::clsConvert& NwindJob(JobRun& run, const std::string& report, const std::string& recordSource,
                               const std::string& sections) {
    const std::string file = run.dir.File("Northwind.mdb");
    std::filesystem::copy_file(corpus::Path("db/mdbtools__mdbtestdata__nwind.mdb"), file);
    FrontEnd(file).AddReport(report, recordSource, sections);
    run.AddLink(tolvaran::kLinkInternal, file, "Internal");
    ShipPlaceholders(run);
    tolvaran::clsConvert& job = run.NewJob(report);
    job.Database = file;
    return job;
}

std::map<std::string, int> FieldTypes(const designer::DatabaseTable& table) {
    std::map<std::string, int> types;
    for (const auto& f : table.Fields()) types[f->Name()] = f->ValueType();
    return types;
}

// The formulas whose check failed, by the log rows.
std::vector<std::string> FailedFormulas(const JobRun& run) {
    std::vector<std::string> failed;
    for (const LogRow& row : run.Rows())
        if (!row.FormulaName.empty()) failed.push_back(row.FormulaName);
    return failed;
}

TEST(NwindQueryJob, SavedQueryRecordSourceConverts) {
    SKIP_WITHOUT_CORPUS();
    JobRun run;
    tolvaran::clsConvert& job = NwindJob(
        run, "Invoice", "Invoices",
        Section("Section", "Detail",
                {Field("OrderDate", "OrderDate", 100, 0), Field("ExtendedPrice", "ExtendedPrice", 1700, 0),
                 Field("Line", "=[Quantity]*[UnitPrice]", 3300, 0),
                 Field("Month", "=Format([OrderDate],\"mmm yyyy\")", 4900, 0),
                 Field("Late", "=IIf([ShippedDate]>[RequiredDate],\"late\",\"\")", 6500, 0),
                 Field("Wrong", "=[Salesperson]*2", 8100, 0),
                 Field("Shipped", "=IIf([ShippedDate],[ShippedDate],Nz([Freight],\"-\"))", 9700, 0)}));
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.ReportSource, "Invoices");

    const designer::Report& r = *job.crReport();
    ASSERT_EQ(r.Database().Tables().Count(), 1);
    const designer::DatabaseTable& table = r.Database().Tables().Item(1);
    EXPECT_EQ(table.Name(), "Invoices");
    std::map<std::string, int> types = FieldTypes(table);
    EXPECT_EQ(types.size(), 26u);
    EXPECT_EQ(types["OrderDate"], designer::crDateTimeField);
    EXPECT_EQ(types["ExtendedPrice"], designer::crCurrencyField);
    EXPECT_EQ(types["Salesperson"], designer::crStringField);
    EXPECT_EQ(types["Quantity"], designer::crNumberField);
    EXPECT_NE(FindObject(r, "F:{Invoices.OrderDate}"), nullptr);
    EXPECT_NE(FindObject(r, "F:{Invoices.ExtendedPrice}"), nullptr);

    // Formulas over numbers, dates and texts pass the check; a text times two does not,
    // which the check can only know from the query's field types.
    const designer::FormulaFieldDefinitions& formulas = r.FormulaFields();
    for (const char* good : {"Line", "Month", "Late", "Shipped"}) {
        ASSERT_NE(formulas.Find(good), nullptr) << good;
        EXPECT_EQ(formulas.Find(good)->Text().rfind("//", 0), std::string::npos)
            << formulas.Find(good)->Text();
    }
    EXPECT_EQ(formulas.Find("Line")->Text(), "{Invoices.Quantity}*{Invoices.UnitPrice}");
    ASSERT_NE(formulas.Find("Wrong"), nullptr);
    EXPECT_EQ(formulas.Find("Wrong")->Text().rfind("// ", 0), 0u);
    EXPECT_EQ(FailedFormulas(run), std::vector<std::string>{"Wrong"});
}

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The Access file is read-only here: the statement is kept in the report, and its rows are
// read through the Access SQL engine, also after the report file is opened again.
TEST(NwindQueryJob, SelectStatementRecordSourceBindsWithoutWritingTheFile) {
    SKIP_WITHOUT_CORPUS();
    JobRun run;
    const std::string sql =
        "SELECT Orders.OrderID, Orders.OrderDate, Customers.CompanyName, Orders.Freight\r\n"
        "FROM Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID\r\n"
        "WHERE Orders.CustomerID = 'ALFKI' ORDER BY Orders.OrderID;";
    tolvaran::clsConvert& job = NwindJob(
        run, "Alfreds Orders", sql,
        Section("Section", "Detail",
                {Field("CompanyName", "CompanyName", 100, 0), Field("Twice", "=[Freight]*2", 1700, 0),
                 Field("Wrong", "=[CompanyName]*2", 3300, 0)}));
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.ReportSource, "qryAlfreds_Orders");

    const designer::Report& r = *job.crReport();
    ASSERT_EQ(r.Database().Tables().Count(), 1);
    const designer::DatabaseTable& table = r.Database().Tables().Item(1);
    EXPECT_EQ(table.Name(), "qryAlfreds_Orders");
    const std::map<std::string, int> expected = {{"OrderID", designer::crNumberField},
                                                 {"OrderDate", designer::crDateTimeField},
                                                 {"CompanyName", designer::crStringField},
                                                 {"Freight", designer::crCurrencyField}};
    EXPECT_EQ(FieldTypes(table), expected);
    EXPECT_NE(FindObject(r, "F:{qryAlfreds_Orders.CompanyName}"), nullptr);
    EXPECT_EQ(FailedFormulas(run), std::vector<std::string>{"Wrong"});

    // The rows of the statement, from the report built and from its file opened again.
    const std::string rpt = run.Output() + "/Alfreds Orders.rpt";
    const auto reopened = designer::ReadReportFile(rpt, designer::AdoFieldReader());
    for (const designer::Report* report : {&r, static_cast<const designer::Report*>(reopened.get())}) {
        viewer::AdoRecordSource source;
        const viewer::TableRows rows = source.Read(report->Database().Tables().Item(1));
        ASSERT_EQ(rows.rows.size(), 6u);
        EXPECT_EQ(rows.rows[0][static_cast<size_t>(rows.ColumnIndex("CompanyName"))].ToString(),
                  "Alfreds Futterkiste");
        EXPECT_EQ(rows.rows[5][static_cast<size_t>(rows.ColumnIndex("OrderID"))].ToLong(), 11011);
    }
    EXPECT_EQ(Bytes(job.Database), Bytes(corpus::Path("db/mdbtools__mdbtestdata__nwind.mdb")));
}

}  // namespace
}  // namespace convert_test
