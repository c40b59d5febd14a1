// A report whose record source is a saved query of a real Access file (nwind.mdb), converted
// through the whole job: the designer's table holds the query's fields with their types, and
// the formulas are checked against them.
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/layout_support.h"
#include "platform/ado/jet_reader_process.h"
#include "support/corpus.h"

namespace convert_test {
namespace {

using namespace layout;

TEST(NwindQueryJob, SavedQueryRecordSourceConverts) {
    SKIP_WITHOUT_CORPUS();
    JobRun run;
    const std::string file = run.dir.File("Northwind.mdb");
    std::filesystem::copy_file(corpus::Path("db/mdbtools__mdbtestdata__nwind.mdb"), file);
    const FrontEnd nwind(file);
    nwind.AddReport(
        "Invoice", "Invoices",
        Section("Section", "Detail",
                {Field("OrderDate", "OrderDate", 100, 0), Field("ExtendedPrice", "ExtendedPrice", 1700, 0),
                 Field("Line", "=[Quantity]*[UnitPrice]", 3300, 0),
                 Field("Month", "=Format([OrderDate],\"mmm yyyy\")", 4900, 0),
                 Field("Late", "=IIf([ShippedDate]>[RequiredDate],\"late\",\"\")", 6500, 0),
                 Field("Wrong", "=[Salesperson]*2", 8100, 0)}));
    run.AddLink(tolvaran::kLinkInternal, file, "Internal");
    ShipPlaceholders(run);
    tolvaran::clsConvert& job = run.NewJob("Invoice");
    job.Database = file;
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.ReportSource, "Invoices");

    const designer::Report& r = *job.crReport();
    ASSERT_EQ(r.Database().Tables().Count(), 1);
    const designer::DatabaseTable& table = r.Database().Tables().Item(1);
    EXPECT_EQ(table.Name(), "Invoices");
    std::map<std::string, int> types;
    for (const auto& f : table.Fields()) types[f->Name()] = f->ValueType();
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
    for (const char* good : {"Line", "Month", "Late"}) {
        ASSERT_NE(formulas.Find(good), nullptr) << good;
        EXPECT_EQ(formulas.Find(good)->Text().rfind("//", 0), std::string::npos)
            << formulas.Find(good)->Text();
    }
    EXPECT_EQ(formulas.Find("Line")->Text(), "{Invoices.Quantity}*{Invoices.UnitPrice}");
    ASSERT_NE(formulas.Find("Wrong"), nullptr);
    EXPECT_EQ(formulas.Find("Wrong")->Text().rfind("// ", 0), 0u);
    std::vector<std::string> failed;
    for (const LogRow& row : run.Rows())
        if (!row.FormulaName.empty()) failed.push_back(row.FormulaName);
    EXPECT_EQ(failed, std::vector<std::string>{"Wrong"});
}

}  // namespace
}  // namespace convert_test
