// The report engine's reads of its records run under the connection options' query limits.
#include <gtest/gtest.h>

#include "viewer_support.h"

namespace viewer {
namespace {

using testing::Exec;
using testing::SectionOf;
using testing::TempDir;
using testing::TextsOf;

TEST(RecordRead, TheCancelHookStopsTheReadAndTheReportSaysWhy) {
    TempDir dir;
    const std::string file = dir.file("orders.db");
    Exec(file, "CREATE TABLE Orders (OrderID INTEGER, Customer TEXT); INSERT INTO Orders VALUES (1, 'Wu');");
    auto report = designer::Application().NewReport();
    report->Database().Tables().Add(file, "Orders");
    SectionOf(*report, "D").AddFieldObject("{Orders.Customer}", 0, 0);

    RenderOptions options;
    options.connections.queryLimits.cancelled = [] { return true; };
    const Document doc = RenderReport(*report, options);
    ASSERT_FALSE(doc.pages.empty());
    const auto texts = TextsOf(doc.pages[0]);
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(texts[0].text.find("Operation has been cancelled by the user"), std::string::npos)
        << texts[0].text;
}

}  // namespace
}  // namespace viewer
