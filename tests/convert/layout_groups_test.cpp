// Groups: one designer group per Access level with a header or footer, and each level's
// header and footer in the areas of its own group.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/layout_support.h"
#include "platform/designer/report_file.h"
#include "platform/viewer/engine.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Levels 0..n-1 each with a header and footer holding one label that names the level.
std::string Levels(const std::vector<std::string>& fields, bool sortOnlyFirst) {
    std::string levels;
    std::string sections;
    int level = 0;
    if (sortOnlyFirst) {
        levels += Level("ID", false, false);
        ++level;
    }
    for (const std::string& f : fields) {
        levels += Level(f, true, true);
        sections += GroupHeader(level, "GroupHeader" + std::to_string(level), {Label("h" + f, "head " + f)});
        sections += GroupFooter(level, "GroupFooter" + std::to_string(level), {Label("f" + f, "foot " + f)});
        ++level;
    }
    return levels + sections + Section("Section", "Detail", {Field("tD", "ID")});
}

struct GroupCase {
    std::vector<std::string> fields;
    bool sortOnlyFirst;
};

TEST(LayoutGroups, HeadersAndFootersGoToTheirOwnLevelsAreas) {
    const GroupCase cases[] = {
        {{"Customer", "Amount"}, false},
        {{"Customer", "Amount"}, true},
        {{"Customer", "Amount", "OrderDate"}, true},
    };
    for (const GroupCase& c : cases) {
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("R", "Orders", Levels(c.fields, c.sortOnlyFirst));
        clsConvert& job = run.NewJob("R");
        ASSERT_TRUE(run.Convert());
        EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
        const designer::Report& r = *job.crReport();
        ASSERT_EQ(r.GroupCount(), static_cast<int>(c.fields.size()));
        EXPECT_EQ(job.NumberOfGroups(), static_cast<short>(c.fields.size()));
        for (size_t g = 0; g < c.fields.size(); ++g) {
            const std::string n = std::to_string(g + 1);
            EXPECT_EQ(r.Groups()[g].ConditionField, "{Orders." + c.fields[g] + "}");
            EXPECT_EQ(AreaObjects(r, "GH" + n), std::vector<std::string>{"T:head " + c.fields[g]}) << n;
            EXPECT_EQ(AreaObjects(r, "GF" + n), std::vector<std::string>{"T:foot " + c.fields[g]}) << n;
        }
    }
}

TEST(LayoutGroups, FieldChoiceConditionDirectionAndExpressionLevels) {
    JobRun run;
    run.AddInternalLink();
    // A level groups on the field it names, in any case, not on one whose name holds it; an
    // expression names no field: it gets no group, is not counted and is reported; a date-time
    // field groups by day.
    run.front.Sql("CREATE TABLE Lines (CustomerID INTEGER, ID INTEGER, Shipped DATETIME, Qty REAL);");
    run.front.AddReport("R", "Lines",
                        Level("ID", true, false) + Level("=Left([Qty],1)", true, false) +
                            Level("shipped", false, true, /*descending=*/true) +
                            GroupHeader(0, "GroupHeader0", {Label("a", "by id")}) +
                            GroupHeader(1, "GroupHeader1", {Label("b", "by expression")}) +
                            GroupFooter(2, "GroupFooter2", {Label("c", "by day")}) +
                            Section("Section", "Detail", {Field("tD", "Qty")}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    const designer::Report& r = *job.crReport();
    ASSERT_EQ(r.GroupCount(), 2);
    EXPECT_EQ(r.Groups()[0], (designer::Group{"{Lines.ID}", designer::crGCAnyValue, 0}));
    EXPECT_EQ(r.Groups()[1], (designer::Group{"{Lines.Shipped}", designer::crGCDaily, 1}));
    EXPECT_EQ(job.NumberOfGroups(), 2);
    EXPECT_EQ(AreaObjects(r, "GH1"), std::vector<std::string>{"T:by id"});
    EXPECT_EQ(AreaObjects(r, "GF2"), std::vector<std::string>{"T:by day"});
    // The expression level has no group: it is reported, and its header placed nowhere.
    EXPECT_EQ(run.Problems(),
              (std::vector<std::string>{
                  "AddGroup: Group level 1 on =Left([Qty],1) finds no field of Lines: no group was added",
                  "AddToDetails: Error creating Group Header Level (1) "}));
    EXPECT_TRUE(HasLine(Descriptions(run.Rows(), ""), "There were 2 group levels added"));
    EXPECT_EQ(FindObject(r, "T:by expression"), nullptr);
}

// A level without header or footer sorts the records: a record sort field with the level's
// direction, not a group, so the group areas keep their numbers. A level written as an
// expression that is one field ("=[Product]") groups or sorts on that field. The report file
// keeps the sort fields and the viewer orders the records by them after the groups.
TEST(LayoutGroups, SortOnlyLevelsSortTheRecordsAndOneFieldExpressionsNameTheirField) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql(
        "CREATE TABLE Stock (Category TEXT, Product TEXT, Qty INTEGER);"
        "INSERT INTO Stock VALUES ('Rope', 'Manila', 1), ('Paint', 'Varnish', 2), ('Rope', 'Hemp', 3),"
        " ('Paint', 'Antifoul', 4), ('Rope', 'Hemp', 5);");
    run.front.AddReport(
        "R", "Stock",
        Level("=[Category]", true, false) + Level("Product", false, false, /*descending=*/true) +
            Level("= Qty", false, false) + GroupHeader(0, "GroupHeader0", {Field("tC", "Category")}) +
            Section("Section", "Detail", {Field("tP", "Product"), Field("tQ", "Qty", 2000)}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.NumberOfGroups(), 1);
    const auto saved = designer::ReadReportFile(run.Output() + "/R.rpt", designer::AdoFieldReader());
    for (const designer::Report* r : {static_cast<const designer::Report*>(job.crReport()),
                                      static_cast<const designer::Report*>(saved.get())}) {
        ASSERT_EQ(r->GroupCount(), 1);
        EXPECT_EQ(r->Groups()[0].ConditionField, "{Stock.Category}");
        ASSERT_EQ(r->RecordSortFields().Count(), 2);
        EXPECT_EQ(r->RecordSortFields().Item(1),
                  (designer::SortField{"{Stock.Product}", designer::crDescendingOrder}));
        EXPECT_EQ(r->RecordSortFields().Item(2),
                  (designer::SortField{"{Stock.Qty}", designer::crAscendingOrder}));
        EXPECT_EQ(AreaObjects(*r, "GH1"), std::vector<std::string>{"F:{Stock.Category}"});
    }
    std::vector<std::string> shown;
    for (const viewer::Page& page : viewer::RenderReport(*saved).pages)
        for (const viewer::Item& item : page.items)
            if (const auto* t = std::get_if<viewer::TextItem>(&item)) shown.push_back(t->text);
    EXPECT_EQ(shown, (std::vector<std::string>{"Paint", "Varnish", "2", "Antifoul", "4", "Rope", "Manila",
                                               "1", "Hemp", "3", "Hemp", "5"}));
}

TEST(LayoutGroups, NoLevelsNoGroups) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders");
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(job.crReport()->GroupCount(), 0);
    EXPECT_EQ(Descriptions(run.Rows(), ""), std::vector<std::string>{"There were 0 group levels added"});
}

}  // namespace
}  // namespace convert_test
