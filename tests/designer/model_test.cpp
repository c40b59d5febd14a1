// The report model: areas and sections, groups, objects and their properties, fields.
#include <gtest/gtest.h>

#include <fstream>

#include "designer_fixture.h"
#include "platform/designer/formula_check.h"

namespace designer {
namespace {

using testing::FakeSource;
using testing::TempDir;

std::vector<std::string> AreaNames(const Report& r) {
    std::vector<std::string> v;
    for (auto& a : r.Areas()) v.push_back(a->Name() + "/" + a->Code());
    return v;
}

template <class F>
long ErrorNumber(F f) {
    try {
        f();
    } catch (const vb::ComError& e) {
        return e.Number();
    }
    return 0;
}

struct ModelTest : ::testing::Test {
    FakeSource source = testing::Orders();
    Application app{source.reader()};
    std::unique_ptr<Report> report = app.NewReport();
    DatabaseTable& orders = report->Database().Tables().Add("C:\\data\\nwind.mdb", "Orders");
};

TEST_F(ModelTest, NewReportHasFiveAreasWithOneSectionEach) {
    auto fresh = app.NewReport();
    EXPECT_EQ(AreaNames(*fresh),
              (std::vector<std::string>{"ReportHeaderArea1/RH", "PageHeaderArea1/PH", "DetailArea1/D",
                                        "PageFooterArea1/PF", "ReportFooterArea1/RF"}));
    ASSERT_EQ(fresh->Sections().Count(), 5);
    EXPECT_EQ(fresh->Sections().Item(1).Name(), "ReportHeaderSection1");
    EXPECT_EQ(fresh->Sections().Item(3).Name(), "DetailSection1");
    EXPECT_EQ(fresh->Areas().Item("d").Sections().Item(1).Name(), "DetailSection1");
    EXPECT_EQ(ErrorNumber([&] { fresh->Areas().Item("GH1"); }), kErrInvalidIndex);
    EXPECT_EQ(ErrorNumber([&] { fresh->Areas().Item(6); }), kErrInvalidIndex);
    Section& added = fresh->Areas().Item("D").Sections().Add();
    EXPECT_EQ(added.Name(), "DetailSection2");
    EXPECT_EQ(fresh->Sections().Count(), 6);
    EXPECT_EQ(&fresh->Sections().Item(4), &added);
}

TEST_F(ModelTest, GroupsAddTheirAreasInPrintOrder) {
    const DatabaseFieldDefinition* customer = orders.Fields().Find("CustomerID");
    const DatabaseFieldDefinition* date = orders.Fields().Find("OrderDate");
    ASSERT_TRUE(customer && date);
    report->AddGroup(report->GroupCount(), *customer, crGCAnyValue, crAscendingOrder);
    report->AddGroup(report->GroupCount(), *date, crGCDaily, crDescendingOrder);
    EXPECT_EQ(AreaNames(*report), (std::vector<std::string>{
                                      "ReportHeaderArea1/RH", "PageHeaderArea1/PH", "GroupHeaderArea1/GH1",
                                      "GroupHeaderArea2/GH2", "DetailArea1/D", "GroupFooterArea2/GF2",
                                      "GroupFooterArea1/GF1", "PageFooterArea1/PF", "ReportFooterArea1/RF"}));
    ASSERT_EQ(report->GroupCount(), 2);
    EXPECT_EQ(report->Groups()[0], (Group{"{Orders.CustomerID}", crGCAnyValue, crAscendingOrder}));
    EXPECT_EQ(report->Groups()[1], (Group{"{Orders.OrderDate}", crGCDaily, crDescendingOrder}));
    EXPECT_EQ(report->Areas().Item("GH2").Sections().Item(1).Name(), "GroupHeaderSection2");

    // A group inserted as the outermost moves the others inward.
    report->AddGroup(0, "{Orders.ID}", crGCAnyValue, crAscendingOrder);
    EXPECT_EQ(report->Areas().Item("GH1").Sections().Item(1).Name(), "GroupHeaderSection3");
    EXPECT_EQ(report->Areas().Item("GH2").Sections().Item(1).Name(), "GroupHeaderSection1");
    EXPECT_EQ(report->Areas().Item(3).Name(), "GroupHeaderArea1");
    EXPECT_EQ(report->Areas().Item(10).Code(), "PF");

    EXPECT_EQ(ErrorNumber([&] { report->AddGroup(5, *customer, crGCAnyValue, 0); }), kErrInvalidIndex);
    EXPECT_EQ(ErrorNumber([&] { report->AddGroup(0, *customer, 15, 0); }), kErrInvalidArgument);
    EXPECT_EQ(ErrorNumber([&] { report->AddGroup(0, "{Orders.Nope}", crGCAnyValue, 0); }), kErrFieldNotKnown);
}

TEST_F(ModelTest, ObjectsArePlacedWithTheirProperties) {
    Section& detail = report->Areas().Item("D").Sections().Item(1);
    TextObject& label = detail.AddTextObject("Customer", 100, 200);
    EXPECT_EQ(label.Name, "Text1");
    EXPECT_EQ(label.Kind(), ObjectKind::Text);
    EXPECT_EQ(label.Left, 100);
    EXPECT_EQ(label.Top, 200);
    label.Font.Name = "Tahoma";
    label.Font.Bold = true;
    label.Font.Size = 12;
    label.TextColor = 255;
    label.BackColor = 0xEEEEEE;
    label.HorAlignment = crRightAlign;
    label.LeftLineStyle = label.RightLineStyle = crLSSingleLine;

    FieldObject& field = detail.AddFieldObject("{Orders.OrderDate}", 1500, 200);
    EXPECT_EQ(field.Name, "Field1");
    EXPECT_EQ(field.Field, "{Orders.OrderDate}");
    EXPECT_GT(field.Height, 0);
    field.DateWindowsDefaultType = crUseWindowsShortDate;

    LineObject& line = detail.AddLineObject(100, 200, 3100, 200);
    EXPECT_EQ(line.Name, "Line1");
    EXPECT_EQ(line.Right, 3100);
    EXPECT_EQ(line.Bottom, 200);
    BoxObject& box = detail.AddBoxObject(0, 0, 5000, 400);
    box.FillColor = 0xFFFFFF;
    EXPECT_EQ(box.Width, 5000);
    EXPECT_EQ(box.Height, 400);

    ASSERT_EQ(detail.ReportObjects().Count(), 4);
    EXPECT_EQ(&detail.ReportObjects().Item(2), &field);
    EXPECT_EQ(detail.ReportObjects().Find("Box1"), &box);
    EXPECT_EQ(&field.Parent(), &detail);
    EXPECT_EQ(detail.EffectiveHeight(), 421);
}

TEST_F(ModelTest, FieldObjectsResolveTheirReference) {
    Section& s = report->Areas().Item("D").Sections().Item(1);
    report->FormulaFields().Add("Total", "{Orders.Amount} * 2");
    report->ParameterFields().Add("StartDate", crDateField);
    EXPECT_NO_THROW(s.AddFieldObject("{@Total}", 0, 0));
    EXPECT_NO_THROW(s.AddFieldObject("{?StartDate}", 0, 0));
    EXPECT_NO_THROW(s.AddFieldObject("{orders.amount}", 0, 0));
    for (const char* bad :
         {"", "{}", "Orders.Amount", "{Orders.Nope}", "{Nope.Amount}", "{@Nope}", "{?Nope}"})
        EXPECT_EQ(ErrorNumber([&] { s.AddFieldObject(bad, 0, 0); }), kErrFieldNotKnown) << bad;
    EXPECT_EQ(s.ReportObjects().Count(), 3);
}

TEST_F(ModelTest, PictureFromMissingFileFails) {
    Section& s = report->Areas().Item("RH").Sections().Item(1);
    EXPECT_EQ(ErrorNumber([&] { s.AddPictureObject("/no/such/brenmoor.bmp", 0, 0); }),
              static_cast<long>(0x80043AC4));
    EXPECT_EQ(s.ReportObjects().Count(), 0);

    TempDir dir;
    std::vector<unsigned char> bmp(58, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[18] = 32, bmp[22] = 16;
    std::ofstream(dir.file("p.bmp"), std::ios::binary).write(reinterpret_cast<char*>(bmp.data()), 58);
    PictureObject& p = s.AddPictureObject(dir.file("p.bmp"), 50, 60);
    EXPECT_EQ(p.Width, 32 * 15);
    EXPECT_EQ(p.Height, 16 * 15);
    EXPECT_EQ(p.Image, bmp);
}

TEST_F(ModelTest, SubreportIsEmbeddedAndLinked) {
    TempDir dir;
    auto child = app.NewReport();
    DatabaseTable& details = child->Database().Tables().Add("C:\\data\\nwind.mdb", "Details");
    child->Areas().Item("D").Sections().Item(1).AddFieldObject("{Details.Qty}", 0, 0);
    child->SaveAs(dir.file("subDetails.rpt"), 0);

    Section& s = report->Areas().Item("D").Sections().Add();
    SubreportObject& sub = s.AddSubreportObject(dir.file("subDetails.rpt"), 300, 0);
    EXPECT_EQ(sub.Name, "Subreport1");
    EXPECT_EQ(sub.SubreportName, "subDetails");
    Report& embedded = sub.OpenSubreport();
    ASSERT_EQ(embedded.Database().Tables().Count(), 1);
    EXPECT_EQ(embedded.Database().Tables().Item(1).Name(), "Details");
    EXPECT_EQ(embedded.Areas().Item("D").Sections().Item(1).ReportObjects().Count(), 1);

    sub.Links.Add(orders.Fields().Find("OrderID"),
                  embedded.Database().Tables().Item(1).Fields().Find("OrderID"));
    ASSERT_EQ(sub.Links.Count(), 1);
    EXPECT_EQ(sub.Links.Item(1), (SubreportLink{"{Orders.OrderID}", "{Details.OrderID}"}));
    EXPECT_EQ(ErrorNumber([&] { sub.Links.Add(orders.Fields().Find("OrderID"), nullptr); }), kErrLinkField);
    EXPECT_EQ(ErrorNumber([&] { sub.Links.Add("", "{Details.OrderID}"); }), kErrLinkField);
    (void)details;

    EXPECT_EQ(ErrorNumber([&] { s.AddSubreportObject(dir.file("missing.rpt"), 0, 0); }), kErrReportFile);
}

TEST_F(ModelTest, FormulaFieldsAreAddedCheckedAndCommentedOut) {
    FormulaFieldDefinitions& ff = report->FormulaFields();
    FormulaFieldDefinition& a = ff.Add("Total", "{Orders.Amount} * 1.1");
    EXPECT_EQ(ff.Count(), 1);
    EXPECT_EQ(&ff.Item(1), &a);
    EXPECT_EQ(a.FormulaFieldName(), "{@Total}");
    bool ok = false;
    std::string message = "stale";
    a.Check(ok, message);
    EXPECT_TRUE(ok);
    EXPECT_EQ(message, "");

    FormulaFieldDefinition& b = ff.Add("Bad", "IF [Qty]>10 Then 1 else 0");
    b.Check(ok, message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, msg::kOperandExpected);
    b.setText("// " + b.Text());
    b.Check(ok, message);
    EXPECT_TRUE(ok);

    ff.Add("UsesTotal", "{@Total} + 1").Check(ok, message);
    EXPECT_TRUE(ok);
    ff.Add("Name", "'Mr ' & {Orders.CustomerID}");
    ff.Add("Twice", "{@Name} * 2").Check(ok, message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, msg::kNumberOrCurrencyRequired);
    ff.Add("Self", "{@Self} + 1").Check(ok, message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, msg::kFieldNotKnown);

    EXPECT_EQ(ErrorNumber([&] { ff.Add("Total", "1"); }), kErrDuplicateName);
    EXPECT_EQ(ErrorNumber([&] { ff.Add("TOTAL", "1"); }), kErrDuplicateName);
    EXPECT_EQ(ErrorNumber([&] { ff.Add("", "1"); }), kErrInvalidArgument);
    EXPECT_EQ(ErrorNumber([&] { ff.Add("a{b", "1"); }), kErrInvalidArgument);
    EXPECT_EQ(ErrorNumber([&] { ff.Item(9); }), kErrInvalidIndex);
}

// The types kept from one look to the next (formulas added, texts edited, another formula
// left out) are the ones a report typed afresh gives, at every step.
TEST_F(ModelTest, FormulaTypesKeptAcrossChangesMatchTypingAfresh) {
    std::unique_ptr<Report> fresh = app.NewReport();
    fresh->Database().Tables().Add("C:\\data\\nwind.mdb", "Orders");
    struct Step {
        const char* add;   // a formula added ("Name=text"), or
        const char* edit;  // a formula's text changed ("Name=text")
        const char* exclude;
    };
    const Step steps[] = {
        {"Amt={Orders.Amount} * 1.1", nullptr, "Amt"},
        {"Uses={@Amt} + 1", nullptr, "Uses"},
        {"Early={@Later} & 'a'", nullptr, "Uses"},
        {"Later='text'", nullptr, "Uses"},
        {nullptr, nullptr, ""},
        {nullptr, "Later=// 'text'", ""},
        {nullptr, nullptr, "Amt"},
        {nullptr, nullptr, "Uses"},
        {nullptr, "Amt={Orders.OrderDate}", "Uses"},
        {"Both={@amt} & {@LATER}", nullptr, "Both"},
        {nullptr, nullptr, "Later"},
        {nullptr, "Uses={@Uses} + 1", "Uses"},
        {nullptr, nullptr, ""},
    };
    for (const Step& step : steps) {
        for (Report* r : {report.get(), fresh.get()}) {
            if (step.add) {
                const std::string a = step.add;
                r->FormulaFields().Add(a.substr(0, a.find('=')), a.substr(a.find('=') + 1));
            }
            if (step.edit) {
                const std::string e = step.edit;
                r->FormulaFields().Find(e.substr(0, e.find('=')))->setText(e.substr(e.find('=') + 1));
            }
        }
        fresh->TypeMemo() = FormulaTypeMemo{};
        const auto kept = TypedSymbols(*report, step.exclude).formulas;
        EXPECT_EQ(kept, TypedSymbols(*fresh, step.exclude).formulas) << (step.add    ? step.add
                                                                         : step.edit ? step.edit
                                                                                     : "")
                                                                     << ", leaving out " << step.exclude;
    }
}

TEST_F(ModelTest, ParameterFieldsTakeSimpleValueTypes) {
    ParameterFieldDefinitions& pf = report->ParameterFields();
    for (int type : {crStringField, crDateField, crNumberField}) {
        std::string name = "P" + std::to_string(type);
        ParameterFieldDefinition& p = pf.Add(name, type);
        EXPECT_EQ(p.ValueType(), type);
        EXPECT_EQ(p.ParameterFieldName(), "{?" + name + "}");
    }
    EXPECT_EQ(pf.Count(), 3);
    EXPECT_EQ(ErrorNumber([&] { pf.Add("X", crBlobField); }), kErrInvalidArgument);
    EXPECT_EQ(ErrorNumber([&] { pf.Add("P12", crStringField); }), kErrDuplicateName);
    report->EnableParameterPrompting = true;

    bool ok;
    std::string message;
    report->FormulaFields().Add("F", "{?P10} + 1").Check(ok, message);
    EXPECT_TRUE(ok) << message;
}

TEST_F(ModelTest, RecordSortFieldsKeepFieldAndDirection) {
    report->RecordSortFields().Add(*orders.Fields().Find("Amount"), crDescendingOrder);
    ASSERT_EQ(report->RecordSortFields().Count(), 1);
    EXPECT_EQ(report->RecordSortFields().Item(1), (SortField{"{Orders.Amount}", crDescendingOrder}));
    EXPECT_EQ(ErrorNumber([&] { report->RecordSortFields().Add("{Orders.Amount}", 3); }),
              kErrInvalidArgument);
}

}  // namespace
}  // namespace designer
