// Reports built by the tests over SQLite tables, laid out as pages.
#include <gtest/gtest.h>

#include <map>

#include "platform/common/variant.h"
#include "platform/viewer/text_metrics.h"
#include "platform/viewer/value.h"
#include "support/recording.h"
#include "viewer_support.h"

namespace viewer {
namespace {

using testing::AllTexts;
using testing::Exec;
using testing::SectionOf;
using testing::TempDir;
using testing::TextsOf;

// Orders: East has 10 + 20, North 5, West 1 + 2 + 4.
std::string OrdersFile(const TempDir& dir) {
    std::string file = dir.file("orders.db");
    Exec(file,
         "CREATE TABLE Orders (OrderID INTEGER, Region TEXT, Customer TEXT, Amount DOUBLE, OrderDate "
         "DATETIME);"
         "INSERT INTO Orders VALUES (1, 'West', 'Wu', 1, '2024-01-05 00:00:00');"
         "INSERT INTO Orders VALUES (2, 'East', 'Abe', 10, '2024-01-06 00:00:00');"
         "INSERT INTO Orders VALUES (3, 'West', 'Xi', 2, '2024-02-01 00:00:00');"
         "INSERT INTO Orders VALUES (4, 'North', 'Ng', 5, NULL);"
         "INSERT INTO Orders VALUES (5, 'East', 'Bo', 20, '2024-02-07 00:00:00');"
         "INSERT INTO Orders VALUES (6, 'West', 'Yu', 4, '2024-03-01 00:00:00');");
    return file;
}

std::unique_ptr<designer::Report> NewReport(const std::string& file, const std::string& table) {
    auto report = designer::Application().NewReport();
    report->Database().Tables().Add(file, table);
    return report;
}

designer::FieldObject& Formula(designer::Report& r, designer::Section& s, const std::string& name,
                               const std::string& text, long left, long top = 0) {
    r.FormulaFields().Add(name, text);
    return s.AddFieldObject("{@" + name + "}", left, top);
}

RenderOptions Fixed() {
    RenderOptions o;
    o.now = vb::Date::FromParts(2025, 6, 15).serial;
    return o;
}

TEST(Layout, GroupHeadersAndFootersCarryTheirGroupsTotals) {
    TempDir dir;
    auto r = NewReport(OrdersFile(dir), "Orders");
    r->AddGroup(0, "{Orders.Region}", designer::crGCAnyValue, designer::crAscendingOrder);
    r->RecordSortFields().Add("{Orders.Customer}", designer::crDescendingOrder);
    SectionOf(*r, "GH1").AddFieldObject("{Orders.Region}", 0, 0);
    Formula(*r, SectionOf(*r, "GH1"), "HeaderCount", "Count({Orders.OrderID}, {Orders.Region})", 3000);
    SectionOf(*r, "D").AddFieldObject("{Orders.Customer}", 300, 0);
    Formula(*r, SectionOf(*r, "GF1"), "GroupTotal", "\"Total \" & Sum({Orders.Amount}, {Orders.Region})",
            300);
    Formula(*r, SectionOf(*r, "GF1"), "GroupAverage", "Average({Orders.Amount}, {Orders.Region})", 3000);
    Formula(*r, SectionOf(*r, "RF"), "Grand",
            "\"Grand \" & Sum({Orders.Amount}) & \" in \" & Count({Orders.OrderID}) & \" orders\"", 0);
    Formula(*r, SectionOf(*r, "RF"), "Regions", "DistinctCount({Orders.Region})", 5000);

    Document doc = RenderReport(*r, Fixed());
    ASSERT_EQ(doc.pages.size(), 1u);
    std::vector<std::string> expected = {"East",
                                         "2",
                                         "Bo",
                                         "Abe",
                                         "Total 30",
                                         "15.00",
                                         "North",
                                         "1",
                                         "Ng",
                                         "Total 5",
                                         "5.00",
                                         "West",
                                         "3",
                                         "Yu",
                                         "Xi",
                                         "Wu",
                                         "Total 7",
                                         "2.33",
                                         "Grand 42 in 6 orders",
                                         "3"};
    EXPECT_EQ(AllTexts(doc), expected);
    ASSERT_EQ(doc.groups.size(), 3u);
    EXPECT_EQ(doc.groups[1].name, "North");
    EXPECT_EQ(doc.groups[1].page, 0);
    EXPECT_TRUE(doc.notes.empty()) << doc.notes[0];
}

TEST(Layout, DateGroupsSplitByTheirConditionAndNullsComeFirst) {
    TempDir dir;
    auto r = NewReport(OrdersFile(dir), "Orders");
    r->AddGroup(0, "{Orders.OrderDate}", designer::crGCMonthly, designer::crAscendingOrder);
    SectionOf(*r, "GH1").AddFieldObject("{Orders.OrderDate}", 0, 0);
    Formula(*r, SectionOf(*r, "GF1"), "Month", "Sum({Orders.Amount}, {Orders.OrderDate}, \"monthly\")", 0);
    Document doc = RenderReport(*r, Fixed());
    // Null dates, January (1 + 10), February (2 + 20), March (4).
    EXPECT_EQ(AllTexts(doc), (std::vector<std::string>{"5.00", "1/5/2024", "11.00", "2/1/2024", "22.00",
                                                       "3/1/2024", "4.00"}));
    ASSERT_EQ(doc.groups.size(), 4u);
    EXPECT_EQ(doc.groups[1].name, "1/1/2024");
}

// 60 orders, a page header and a page footer "Page n of m".
std::unique_ptr<designer::Report> LongReport(const TempDir& dir) {
    std::string file = dir.file("long.db");
    std::string sql = "CREATE TABLE Items (ID INTEGER, Name TEXT);";
    for (int i = 1; i <= 60; ++i)
        sql += "INSERT INTO Items VALUES (" + std::to_string(i) + ", 'Item " + std::to_string(i) + "');";
    Exec(file, sql);
    auto r = NewReport(file, "Items");
    r->PaperHeight = 7200;  // five inches: a few items a page
    SectionOf(*r, "PH").AddTextObject("Items list", 0, 0);
    SectionOf(*r, "D").AddFieldObject("{Items.Name}", 0, 0).Height = 300;
    Formula(*r, SectionOf(*r, "PF"), "PageOf", "\"Page \" & PageNumber & \" of \" & TotalPageCount", 0);
    SectionOf(*r, "RF").AddTextObject("The end", 0, 0);
    return r;
}

TEST(Layout, PagesBreakWithThePageHeaderAndFooterOnEveryPage) {
    TempDir dir;
    auto r = LongReport(dir);
    Document doc = RenderReport(*r, Fixed());
    ASSERT_GT(doc.pages.size(), 2u);
    int items = 0;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        auto texts = TextsOf(doc.pages[p]);
        ASSERT_GE(texts.size(), 2u);
        const long footerTop = texts.back().rect.top;
        EXPECT_EQ(footerTop, TextsOf(doc.pages[0]).back().rect.top) << "the footer stands in one place";
        EXPECT_EQ(texts.front().text, "Items list") << "page " << p + 1;
        EXPECT_EQ(texts.back().text,
                  "Page " + std::to_string(p + 1) + " of " + std::to_string(doc.pages.size()));
        for (size_t i = 1; i + 1 < texts.size(); ++i) {
            EXPECT_LE(texts[i].rect.bottom(), footerTop) << texts[i].text << " runs into the footer";
            if (texts[i].text.rfind("Item ", 0) == 0) {
                ++items;
                EXPECT_EQ(texts[i].text, "Item " + std::to_string(items));
            }
        }
    }
    EXPECT_EQ(items, 60);
    auto last = TextsOf(doc.pages.back());
    EXPECT_EQ(last[last.size() - 2].text, "The end");
}

// Objects that repeat on every page take memory page after page: the layout stops once its
// pages take more than the stated memory, keeps the pages made and says why in the notes.
TEST(Layout, PagesThatTakeMoreThanTheMemoryLimitCutTheReportOff) {
    TempDir dir;
    auto r = LongReport(dir);
    SectionOf(*r, "D").NewPageAfter = true;  // a page an item
    for (int i = 0; i < 250; ++i) SectionOf(*r, "PH").AddTextObject("Column " + std::to_string(i), 0, 0);
    RenderOptions options = Fixed();
    options.memoryMb = 1;
    const Document doc = RenderReport(*r, options);
    EXPECT_GT(doc.pages.size(), 1u);
    EXPECT_LT(doc.pages.size(), 30u);
    const std::string note = "The report was cut off at page " + std::to_string(doc.pages.size()) +
                             ": its pages take more than 1 MB.";
    EXPECT_NE(std::find(doc.notes.begin(), doc.notes.end(), note), doc.notes.end())
        << ::testing::PrintToString(doc.notes);
}

// Laid out a step at a time, a report that shows its page count has pages ready from its first
// pass on; the second pass's pages replace them as they are finished; the end is the whole.
TEST(Layout, StepByStepPagesAreReadyBeforeTheEndAndTheCountedOnesReplaceThem) {
    TempDir dir;
    auto r = LongReport(dir);
    const Document whole = RenderReport(*r, Fixed());
    const std::string count = std::to_string(whole.pages.size());
    ReportLayout layout(*r, Fixed());
    int ready = 0, readyInFirstPass = 0;
    while (layout.Step()) {
        ASSERT_GE(layout.ReadyPages(), ready);
        ready = layout.ReadyPages();
        if (ready > 0 && layout.Status().pass == 1) readyInFirstPass = ready;
        if (ready > 0 && layout.ReadyPass(0) == 2) {
            EXPECT_EQ(TextsOf(layout.ReadyPage(0)).back().text, "Page 1 of " + count);
        }
    }
    EXPECT_GT(readyInFirstPass, 0);
    EXPECT_EQ(layout.ReadyPass(0), 2);
    EXPECT_EQ(AllTexts(layout.Take()), AllTexts(whole));
}

TEST(Layout, ASectionKeptTogetherMovesWholeToTheNextPage) {
    TempDir dir;
    auto r = LongReport(dir);
    designer::Section& d = SectionOf(*r, "D");
    d.AddTextObject("second line", 0, 300).Height = 2000;
    d.KeepTogether = true;
    Document kept = RenderReport(*r, Fixed());
    for (const Page& page : kept.pages) {
        auto texts = TextsOf(page);
        // Every item's name is followed on the same page by its second line.
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i].text.rfind("Item ", 0) == 0) {
                ASSERT_LT(i + 1, texts.size());
                EXPECT_EQ(texts[i + 1].text, "second line");
            }
    }
    d.KeepTogether = false;
    Document split = RenderReport(*r, Fixed());
    bool splitSomewhere = false;
    for (const Page& page : split.pages) {
        auto texts = TextsOf(page);
        if (texts.size() > 2 && texts[texts.size() - 2].text.rfind("Item ", 0) == 0) splitSomewhere = true;
    }
    EXPECT_TRUE(splitSomewhere);
}

// A grown object pushes down what lies wholly below it, by its growth and by what pushed it,
// and leaves what starts beside it; a section taller than the pages is cut page by page with
// its objects in their order.
TEST(Layout, GrownObjectsPushDownWhatLiesBelowThemAndTallSectionsAreCutInOrder) {
    auto r = designer::Application().NewReport();
    designer::Section& d = SectionOf(*r, "D");
    auto text = [&](const std::string& t, long top, bool grows = false) {
        designer::TextObject& o = d.AddTextObject(t, 0, top);
        o.Width = 3000;
        o.CanGrow = grows;
    };
    text("one\ntwo\nthree", 0, true);
    text("beside", 100);
    text("below", 300);
    text("four\nfive", 600, true);
    text("last", 900);
    Document doc = RenderReport(*r, Fixed());
    ASSERT_EQ(doc.pages.size(), 1u);
    std::map<std::string, Rect> at;
    for (const testing::PlacedText& t : TextsOf(doc.pages[0])) at[t.text] = t.rect;
    const long top = at["one\ntwo\nthree"].top;
    const long grewFirst = at["one\ntwo\nthree"].height - 221, grewSecond = at["four\nfive"].height - 221;
    ASSERT_GT(grewFirst, 0);
    ASSERT_GT(grewSecond, 0);
    EXPECT_EQ(at["beside"].top - top, 100);
    EXPECT_EQ(at["below"].top - top, 300 + grewFirst);
    EXPECT_EQ(at["four\nfive"].top - top, 600 + grewFirst);
    EXPECT_EQ(at["last"].top - top, 900 + grewFirst + grewSecond);

    // Rows of five, 300 twips apart, over several pages: each page holds whole rows, in order,
    // each row's objects in the order they were added.
    auto tall = designer::Application().NewReport();
    designer::Section& t = SectionOf(*tall, "D");
    for (int i = 0; i < 1000; ++i) t.AddTextObject(std::to_string(i), 100 + 1500 * (i % 5), 300 * (i / 5));
    Document pages = RenderReport(*tall, Fixed());
    ASSERT_GT(pages.pages.size(), 3u);
    int next = 0;
    for (const Page& page : pages.pages) {
        size_t texts = 0;
        for (const Item& item : page.items)
            if (auto* x = std::get_if<TextItem>(&item)) {
                EXPECT_EQ(x->text, std::to_string(next++));
                ++texts;
            }
        EXPECT_EQ(texts % 5, 0u);
    }
    EXPECT_EQ(next, 1000);
}

TEST(Layout, SuppressedSectionsAreasAndObjectsShowNothing) {
    TempDir dir;
    auto r = NewReport(OrdersFile(dir), "Orders");
    SectionOf(*r, "D").AddFieldObject("{Orders.Customer}", 0, 0);
    SectionOf(*r, "D").AddTextObject("hidden object", 2000, 0).Suppress = true;
    designer::Section& second = r->Areas().Item("D").Sections().Add();
    second.AddTextObject("hidden section", 0, 0);
    second.Suppress = true;
    SectionOf(*r, "RH").AddTextObject("hidden area", 0, 0);
    r->Areas().Item("RH").Suppress = true;
    designer::Section& blank = r->Areas().Item("RF").Sections().Add();
    Formula(*r, blank, "OnlyBig", "If {Orders.Amount} > 100 Then \"big\"", 0);
    blank.AddLineObject(0, 100, 1000, 100);  // lines alone do not make a section print
    blank.SuppressIfBlank = true;
    Document doc = RenderReport(*r, Fixed());
    EXPECT_EQ(AllTexts(doc), (std::vector<std::string>{"Wu", "Abe", "Xi", "Ng", "Bo", "Yu"}));
}

TEST(Layout, ASubreportShowsTheRecordsLinkedToEachMainRecord) {
    TempDir dir;
    std::string file = OrdersFile(dir);
    Exec(file,
         "CREATE TABLE Customers (Name TEXT, City TEXT);"
         "INSERT INTO Customers VALUES ('Wu', 'Oslo'); INSERT INTO Customers VALUES ('Abe', 'Rome');"
         "INSERT INTO Customers VALUES ('Zed', 'Lima');");
    auto sub = NewReport(file, "Orders");
    SectionOf(*sub, "D").AddFieldObject("{Orders.OrderID}", 0, 0);
    SectionOf(*sub, "RF").AddTextObject("end of orders", 0, 0);
    Formula(*sub, SectionOf(*sub, "RF"), "Spent", "Sum({Orders.Amount})", 2000);
    std::string subFile = dir.file("orders_sub.rpt");
    sub->SaveAs(subFile);

    auto r = NewReport(file, "Customers");
    r->RecordSortFields().Add("{Customers.Name}", designer::crAscendingOrder);
    designer::Section& d = SectionOf(*r, "D");
    d.AddFieldObject("{Customers.Name}", 0, 0);
    designer::SubreportObject& so = d.AddSubreportObject(subFile, 1000, 300);
    so.Height = 100;
    so.Links.Add("{Customers.Name}", "{Orders.Customer}");
    d.AddTextObject("after", 0, 500);  // below the subreport: moves down as it grows

    Document doc = RenderReport(*r, Fixed());
    EXPECT_EQ(AllTexts(doc), (std::vector<std::string>{"Abe", "2", "end of orders", "10.00", "after", "Wu",
                                                       "1", "end of orders", "1.00", "after", "Zed",
                                                       "end of orders", "0", "after"}));
}

// Which rows a link finds, by the kinds of its values: equal numbers of any kind, a number and
// the text it reads as, texts with their case, Null with Null; with two links, both must match.
// The rows keep the subreport's order.
TEST(Layout, LinkedSubreportRowsMatchByValueAndByText) {
    TempDir dir;
    std::string file = dir.file("links.db");
    Exec(file,
         "CREATE TABLE Heads (Id INTEGER, K, J TEXT);"
         "INSERT INTO Heads VALUES (1, 2, 'x'); INSERT INTO Heads VALUES (2, 2.5, 'y');"
         "INSERT INTO Heads VALUES (3, 'b', 'x'); INSERT INTO Heads VALUES (4, NULL, 'y');"
         "INSERT INTO Heads VALUES (5, '2.00', 'x');"
         "CREATE TABLE Lines (Ref, Sub TEXT, Tag TEXT);"
         "INSERT INTO Lines VALUES ('2.00', 'x', 'a1'); INSERT INTO Lines VALUES (2, 'x', 'a2');"
         "INSERT INTO Lines VALUES (2.0, 'y', 'a3'); INSERT INTO Lines VALUES ('B', 'x', 'a4');"
         "INSERT INTO Lines VALUES ('b', 'x', 'a5'); INSERT INTO Lines VALUES (NULL, 'y', 'a6');"
         "INSERT INTO Lines VALUES (2.5, 'y', 'a7'); INSERT INTO Lines VALUES ('2.50', 'y', 'a8');"
         "INSERT INTO Lines VALUES (' 2', 'x', 'a9');");
    auto sub = NewReport(file, "Lines");
    sub->RecordSortFields().Add("{Lines.Tag}", designer::crDescendingOrder);
    SectionOf(*sub, "D").AddFieldObject("{Lines.Tag}", 0, 0);
    std::string subFile = dir.file("lines_sub.rpt");
    sub->SaveAs(subFile);

    auto r = NewReport(file, "Heads");
    r->RecordSortFields().Add("{Heads.Id}", designer::crAscendingOrder);
    designer::Section& d = SectionOf(*r, "D");
    d.AddFieldObject("{Heads.Id}", 0, 0);
    d.AddSubreportObject(subFile, 1000, 300).Links.Add("{Heads.K}", "{Lines.Ref}");
    designer::SubreportObject& both = d.AddSubreportObject(subFile, 5000, 300);
    both.Links.Add("{Heads.K}", "{Lines.Ref}");
    both.Links.Add("{Heads.J}", "{Lines.Sub}");

    // Per subreport column, each master record's Id followed by the rows found for it.
    std::vector<std::string> one, two;
    for (const Page& page : RenderReport(*r, Fixed()).pages)
        for (const testing::PlacedText& t : TextsOf(page)) {
            const long left = t.rect.left - r->LeftMargin;
            if (left < 5000) one.push_back(t.text);
            if (left < 1000 || left >= 5000) two.push_back(t.text);
        }
    EXPECT_EQ(one, (std::vector<std::string>{"1", "a3", "a2", "a1", "2", "a8", "a7", "3", "a5", "4", "a6",
                                             "5", "a3", "a2", "a1"}));
    EXPECT_EQ(two, (std::vector<std::string>{"1", "a2", "a1", "2", "a8", "a7", "3", "a5", "4", "a6", "5",
                                             "a2", "a1"}));
}

// A subreport shown for every record with the same records shows what its formulas give each
// time: a variable it counts with, or the page number, goes on from record to record.
TEST(Layout, ASubreportShownAgainForTheSameRecordsEvaluatesItsFormulasAgain) {
    struct Case {
        const char* formula;
        std::vector<std::string> shown;  // for the three customers
    };
    const std::vector<Case> cases = {
        {"Count({Orders.OrderID})", {"6", "6", "6"}},
        {"Global NumberVar n := n + 1; n", {"1", "2", "3"}},
        {"Shared NumberVar m := m + 1; m", {"1", "2", "3"}},
        {"PageNumber", {"1", "2", "3"}},
    };
    TempDir dir;
    std::string file = OrdersFile(dir);
    Exec(file,
         "CREATE TABLE Customers (Name TEXT);"
         "INSERT INTO Customers VALUES ('Wu'); INSERT INTO Customers VALUES ('Abe');"
         "INSERT INTO Customers VALUES ('Zed');");
    for (const Case& c : cases) {
        auto sub = NewReport(file, "Orders");
        Formula(*sub, SectionOf(*sub, "RF"), "Shown", c.formula, 0);
        std::string subFile = dir.file("shown_sub.rpt");
        sub->SaveAs(subFile);
        auto r = NewReport(file, "Customers");
        designer::Section& d = SectionOf(*r, "D");
        d.AddSubreportObject(subFile, 1000, 0);
        d.NewPageAfter = true;
        EXPECT_EQ(AllTexts(RenderReport(*r, Fixed())), c.shown) << c.formula;
    }
}

TEST(Layout, ASubreportLongerThanAPageBreaksBetweenItsRecords) {
    TempDir dir;
    auto main = LongReport(dir);  // Items, a page header and "Page n of m" below
    std::string file = dir.file("long.db");
    auto sub = NewReport(file, "Items");
    SectionOf(*sub, "D").AddFieldObject("{Items.ID}", 0, 0).Height = 300;
    std::string subFile = dir.file("items_sub.rpt");
    sub->SaveAs(subFile);
    designer::Section& rh = SectionOf(*main, "RH");
    rh.AddTextObject("before", 0, 0);
    rh.AddSubreportObject(subFile, 500, 300).Height = 300;
    rh.AddTextObject("after", 0, 700);
    rh.KeepTogether = true;  // too tall for any page: it breaks all the same
    main->Areas().Item("D").Suppress = true;
    Document doc = RenderReport(*main, Fixed());
    ASSERT_GT(doc.pages.size(), 2u);
    std::vector<std::string> ids;
    for (const Page& page : doc.pages) {
        auto texts = TextsOf(page);
        const long footerTop = texts.back().rect.top;
        for (const auto& t : texts) {
            if (t.rect.left == 500 + main->LeftMargin) {
                ids.push_back(t.text);
                EXPECT_LE(t.rect.bottom(), footerTop) << t.text << " runs into the footer";
            }
        }
    }
    ASSERT_EQ(ids.size(), 60u);
    EXPECT_EQ(ids.front(), "1");
    EXPECT_EQ(ids.back(), "60");
    auto last = TextsOf(doc.pages.back());
    bool after = false;
    for (const auto& t : last) after = after || t.text == "after";
    EXPECT_TRUE(after) << "the text below the subreport follows its last record";
}

TEST(Layout, AnUnreachableSourceIsLaidOutWithFieldNamesAndTheReason) {
    TempDir dir;
    std::string file = OrdersFile(dir);
    auto r = NewReport(file, "Orders");
    r->AddGroup(0, "{Orders.Region}", designer::crGCAnyValue, designer::crAscendingOrder);
    SectionOf(*r, "GH1").AddFieldObject("{Orders.Region}", 0, 0);
    SectionOf(*r, "D").AddFieldObject("{Orders.Customer}", 0, 0);
    Formula(*r, SectionOf(*r, "PF"), "Page", "\"Page \" & PageNumber", 0);
    std::filesystem::remove(file);  // the source moved away after the report was made

    Document doc = RenderReport(*r, Fixed());
    ASSERT_EQ(doc.pages.size(), 1u);
    auto texts = TextsOf(doc.pages[0]);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_NE(texts[0].text.find("The field names are shown in place of their values."), std::string::npos);
    EXPECT_NE(texts[0].text.find("The records of \"Orders\" could not be read"), std::string::npos);
    EXPECT_NE(texts[0].text.find(file), std::string::npos) << texts[0].text;
    EXPECT_EQ(texts[1].text, "Region");
    EXPECT_EQ(texts[2].text, "Customer");
    EXPECT_EQ(texts[3].text, "Page 1");
    ASSERT_FALSE(doc.notes.empty());
}

TEST(Layout, ParametersAreAskedWhenTheReportPromptsElseTheyTakeTheirDefault) {
    TempDir dir;
    auto r = NewReport(OrdersFile(dir), "Orders");
    designer::ParameterFieldDefinition& p = r->ParameterFields().Add("MinAmount", designer::crNumberField);
    p.DefaultValue = "5";
    p.Prompt = "Smallest amount";
    Formula(*r, SectionOf(*r, "RH"), "Big", "\"Over \" & {?MinAmount}", 0);
    EXPECT_EQ(AllTexts(RenderReport(*r, Fixed())), std::vector<std::string>{"Over 5"});

    r->EnableParameterPrompting = true;
    ui::RecordingPrompt prompt;
    prompt.inputAnswers = {"12"};
    RenderOptions o = Fixed();
    o.prompt = &prompt;
    EXPECT_EQ(AllTexts(RenderReport(*r, o)), std::vector<std::string>{"Over 12"});
    ASSERT_EQ(prompt.inputs.size(), 1u);  // once, though TotalPageCount is not asked and no second pass runs
    EXPECT_EQ(prompt.inputs[0].prompt, "Smallest amount");
}

TEST(Layout, FieldsAreFormattedByTheirTypeAndObjectsKeepTheirLook) {
    TempDir dir;
    auto r = NewReport(OrdersFile(dir), "Orders");
    r->RecordSortFields().Add("{Orders.OrderID}", designer::crAscendingOrder);
    r->PaperOrientation = designer::crLandscape;
    designer::Section& d = SectionOf(*r, "D");
    designer::FieldObject& amount = d.AddFieldObject("{Orders.Amount}", 0, 0);
    amount.Font.Bold = true;
    amount.TextColor = 0x0000FF;
    d.AddFieldObject("{Orders.OrderDate}", 2000, 0).DateWindowsDefaultType = designer::crUseWindowsLongDate;
    Formula(*r, d, "Commented", "// Sum({Orders.Amount})", 6000);  // as the converter comments a formula out
    d.AddLineObject(0, 250, 5000, 250).LineColor = 0x00FF00;
    Document doc = RenderReport(*r, Fixed());
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_GT(doc.pages[0].width, doc.pages[0].height);
    auto texts = TextsOf(doc.pages[0]);
    ASSERT_GE(texts.size(), 2u);
    // A whole amount of a column of doubles shows its decimals as the others of its column do.
    EXPECT_EQ(texts[0].text, "1.00");
    EXPECT_EQ(texts[1].text, "Friday, January 5, 2024");
    const TextItem* first = nullptr;
    int lines = 0;
    for (const Item& i : doc.pages[0].items) {
        if (auto* t = std::get_if<TextItem>(&i); t && !first) first = t;
        if (auto* l = std::get_if<LineItem>(&i)) lines += l->color == 0x00FF00;
    }
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->font.Bold);
    EXPECT_EQ(first->color, 0x0000FF);
    EXPECT_EQ(first->align, TextAlign::Right);  // numbers to the right
    EXPECT_EQ(lines, 6);
    EXPECT_EQ(AllTexts(doc).size(), 11u);  // the North order has no date; the commented formula shows nothing
}

// A field of pictures shows each record's picture: a bitmap Access stored as an OLE object is
// unwrapped to its BMP file, a picture file stored as it is stays as it is, Null shows nothing.
TEST(Layout, APictureFieldShowsTheStoredPicture) {
    const std::string bmp =
        "424D3A000000000000003600000028000000010000000100000001001800000000000400000000000000"
        "00000000000000000000000000FF0000";
    auto hex = [](size_t n, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i, n >>= 8) {
            const char digits[] = "0123456789ABCDEF";
            out += digits[(n >> 4) & 0xF];
            out += digits[n & 0xF];
        }
        return out;
    };
    // Access's header (signature, its size, embedded, name and class with their lengths and
    // places, two sizes of -1), then the OLE 1.0 stream of a "PBrush" object, then what follows
    // the native data.
    const std::string name = "4269746D617020496D61676500", cls = "5061696E742E5069637475726500";
    const std::string ole = "151C" + hex(47, 2) + hex(2, 4) + hex(13, 2) + hex(14, 2) + hex(20, 2) +
                            hex(33, 2) + "FFFFFFFF" + name + cls + hex(0x0501, 4) + hex(2, 4) + hex(7, 4) +
                            "50427275736800" + hex(0, 4) + hex(0, 4) + hex(bmp.size() / 2, 4) + bmp +
                            "0105000000000000";
    const std::string png = "89504E470D0A1A0A0000000D49484452";
    TempDir dir;
    const std::string file = dir.file("pictures.db");
    Exec(file, "CREATE TABLE Pics (ID INTEGER, Photo BLOB); INSERT INTO Pics VALUES (1, X'" + ole +
                   "'); INSERT INTO Pics VALUES (2, X'" + png + "'); INSERT INTO Pics VALUES (3, NULL);");
    auto r = NewReport(file, "Pics");
    r->RecordSortFields().Add("{Pics.ID}", designer::crAscendingOrder);
    designer::FieldObject& photo = SectionOf(*r, "D").AddFieldObject("{Pics.Photo}", 0, 0);
    photo.Height = 1440;
    Document doc = RenderReport(*r, Fixed());
    std::vector<std::string> shown;
    for (const Page& page : doc.pages) {
        for (const Item& i : page.items) {
            if (auto* image = std::get_if<ImageItem>(&i)) {
                std::string h;
                for (unsigned char c : *image->bytes) h += hex(c, 1);
                shown.push_back(h);
            }
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{bmp, png}));
    EXPECT_TRUE(AllTexts(doc).empty());
}

// Text is broken and grown by the measure of the fonts that draw it: here every character is
// 100 twips wide and lines 300 apart, where the built-in widths would keep each text on one line.
TEST(Layout, TextIsMeasuredWithTheFontsThatDrawIt) {
    struct Wide : TextMeasure {
        double Width(const std::string& text, const designer::Font&) const override {
            return 100.0 * static_cast<double>(text.size());
        }
        double LineHeight(const designer::Font&) const override { return 300; }
    } wide;
    auto r = designer::Application().NewReport();
    designer::Section& header = SectionOf(*r, "RH");
    designer::TextObject& grows = header.AddTextObject("iii iii", 0, 0);
    grows.Width = 500;
    grows.Height = 300;
    grows.CanGrow = true;
    designer::TextObject& tall = header.AddTextObject("jj jj", 0, 1000);  // room for two lines
    tall.Width = 300;
    tall.Height = 600;
    RenderOptions o = Fixed();
    o.measure = &wide;
    Document doc = RenderReport(*r, o);
    ASSERT_EQ(doc.pages.size(), 1u);
    std::vector<const TextItem*> items;
    for (const Item& i : doc.pages[0].items)
        if (auto* t = std::get_if<TextItem>(&i)) items.push_back(t);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->lines, (std::vector<std::string>{"iii", "iii"}));
    EXPECT_EQ(items[0]->lineHeight, 300);
    EXPECT_EQ(items[0]->rect.height, 600);  // grown to its two lines
    EXPECT_TRUE(items[1]->wrap);
    EXPECT_EQ(items[1]->lines, (std::vector<std::string>{"jj", "jj"}));
    EXPECT_EQ(items[1]->rect.height, 600);
}

// A field set to show dates the short or long way shows a date-time as its date alone.
TEST(Layout, DateSettingShowsTheDateAlone) {
    const Value when = Value::DateTime(vb::Date::FromParts(2026, 12, 7, 16, 33, 5).serial);
    const std::pair<int, const char*> cases[] = {
        {designer::crUseWindowsShortDate, "12/7/2026"},
        {designer::crUseWindowsLongDate, "Monday, December 7, 2026"},
        {designer::crNotUsingWindowsDefaults, "12/7/2026 4:33:05 PM"},
    };
    for (const auto& [setting, text] : cases) EXPECT_EQ(DisplayText(when, setting), text) << setting;
}

}  // namespace
}  // namespace viewer
