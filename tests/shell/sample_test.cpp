// The sample that ships beside the program, taken the road the README gives: its source
// database added through the file picker, every report converted without a problem, and each
// converted report laid out with its data.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion_support.h"
#include "platform/designer/designer.h"
#include "platform/viewer/engine.h"
#include "shell/qt/data_grid.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

// Every text of every page, in page order.
std::vector<std::string> Texts(const viewer::Document& doc) {
    std::vector<std::string> out;
    for (const viewer::Page& page : doc.pages)
        for (const viewer::Item& item : page.items)
            if (const auto* t = std::get_if<viewer::TextItem>(&item)) out.push_back(t->text);
    return out;
}

TEST(Sample, RegistersConvertsAndShowsEveryReportWithItsData) {
    test::MainWindowRun run("sample");
    // A copy, as the converted reports go beside the source database.
    const fs::path sample = run.folder / "sample";
    fs::copy(fs::path(TOLVARAN_BIN_DIR) / "sample", sample, fs::copy_options::recursive);
    ASSERT_GT(run.RegisterEntry(sample / "Harbour.mdb", sample.string()), 0);
    std::vector<std::string> listed;
    DatasetModel& grid = run.window->dxReports()->Dataset();
    for (int row = 0; row < grid.RowCount(); ++row)
        listed.push_back(grid.Value(row, "ReportName").ToString());
    ASSERT_EQ(listed, (std::vector<std::string>{"Customer Order Lines", "Customer Orders", "Price List",
                                                "Sales by Category"}));

    run.window->InitiateReportConversion(true);
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];

    // The report, texts its pages must show, and how many pages it has.
    const struct {
        const char* report;
        std::vector<std::string> shown;
        size_t pages;
        std::vector<std::string> ordered;  // shown in this order (its sort levels)
    } expected[] = {
        {"Sales by Category",
         {"Deck Hardware", "Snatch block", "Total for Safety", "2,866.40", "7,728.00"},
         1,
         {}},
        {"Customer Orders", {"Nordfjord Ferries", "Ålesund", "Fire extinguisher, 1 kg", "2,623.90"}, 1, {}},
        {"Customer Order Lines", {"Antifouling, 2.5 l"}, 1, {}},
        {"Price List",
         {"Turnbuckle, 10 mm", "31.75", "Page 1 of 1"},
         1,
         {"Bronze cleat, 150 mm", "Stainless shackle, 8 mm", "Antifouling, 2.5 l", "Teak oil, 1 l",
          "Braided line, 10 mm (per m)", "Turnbuckle, 10 mm", "Fire extinguisher, 1 kg",
          "Throwing line bag"}},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.report);
        EXPECT_EQ(run.Problems(run.ReportId(e.report)), std::vector<std::string>{});
        auto report = designer::ReadReportFile((sample / (std::string(e.report) + ".rpt")).string(),
                                               designer::AdoFieldReader());
        const viewer::Document doc = viewer::RenderReport(*report);
        EXPECT_EQ(doc.notes, std::vector<std::string>{});
        EXPECT_EQ(doc.pages.size(), e.pages);
        const std::vector<std::string> texts = Texts(doc);
        for (const std::string& text : e.shown)
            EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
        std::vector<std::string> order;
        for (const std::string& text : texts)
            if (std::find(e.ordered.begin(), e.ordered.end(), text) != e.ordered.end()) order.push_back(text);
        EXPECT_EQ(order, e.ordered);
    }
}

}  // namespace
