// The report file: round trips, the golden document, refused inputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "designer_fixture.h"

namespace designer {
namespace {

using testing::FakeSource;
using testing::TempDir;

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A report using every part of the model; subreport embedded from a file in dir.
std::unique_ptr<Report> FullReport(Application& app, const TempDir& dir) {
    auto child = app.NewReport();
    child->Database().Tables().Add("C:\\data\\nwind.mdb", "Details");
    child->Areas().Item("D").Sections().Item(1).AddFieldObject("{Details.Qty}", 0, 0);
    child->SaveAs(dir.file("sub.rpt"), 0);

    auto r = app.NewReport();
    r->ReportTitle = "Orders & <Totals>";
    r->PaperOrientation = crLandscape;
    r->EnableParameterPrompting = true;
    Database& db = r->Database();
    db.LogOnServerEx("p2soledb.dll", "C:\\data\\nwind.mdb", "", "admin", "secret", "OLE DB",
                     "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\data\\nwind.mdb;Jet OLEDB:Database "
                     "Password=secret");
    DatabaseTable& orders = db.Tables().Add("C:\\data\\nwind.mdb", "Orders");
    StoredProcParams params;
    params.Add({"@start", {{"1/1/2004", 0}}});
    db.Tables().AddStoredProcedure("spOrders", "", "Provider=SQLOLEDB;Data Source=srv;User ID=sa;Password=pw",
                                   2, "p2ssql.dll", "srv", "OLE DB", "sales", "sa", "pw", &params);
    r->FormulaFields().Add("Total", "WhilePrintingRecords;\r\n{Orders.Amount} * 1.1 // \"quoted\"");
    r->ParameterFields().Add("StartDate", crDateField).Prompt = "Start\r\n\t\"date\"";
    r->AddGroup(0, *orders.Fields().Find("CustomerID"), crGCAnyValue, crAscendingOrder);
    r->RecordSortFields().Add(*orders.Fields().Find("Amount"), crDescendingOrder);

    Section& ph = r->Areas().Item("PH").Sections().Item(1);
    TextObject& t = ph.AddTextObject(" ", 10, 20);
    t.Font = Font{"Times New Roman", 10.5, true, true, false, false};
    t.BackStyle = 0;
    ph.AddTextObject("Line one\r\nLine two", 30, 40).HorAlignment = crHorCenterAlign;
    Section& d = r->Areas().Item("D").Sections().Item(1);
    FieldObject& f = d.AddFieldObject("{@Total}", 100, 0);
    f.DateWindowsDefaultType = crUseWindowsShortDate;
    f.Suppress = true;
    f.BorderColor = 0;
    f.TopLineStyle = f.BottomLineStyle = crLSSingleLine;
    d.AddLineObject(0, 0, 5000, 0).LineStyle = crLSDashLine;
    d.AddBoxObject(0, 0, 5000, 300).FillColor = 0xC0C0C0;
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13,
                                      'I',  'H', 'D', 'R', 0,  0,  0,  8,  0, 0, 0, 4};
    WriteText(dir.file("pic.png"), std::string(png.begin(), png.end()));
    PictureObject& p = r->Areas().Item("RH").Sections().Item(1).AddPictureObject(dir.file("pic.png"), 0, 0);
    p.SourceFile = "pic.png";  // keep the golden document free of the temp folder
    Section& extra = r->Areas().Item("GF1").Sections().Add();
    extra.KeepTogether = true;
    extra.Suppress = true;
    SubreportObject& sub = extra.AddSubreportObject(dir.file("sub.rpt"), 200, 0);
    sub.Links.Add(orders.Fields().Find("OrderID"),
                  sub.OpenSubreport().Database().Tables().Item(1).Fields().Find("OrderID"));
    return r;
}

struct ReportFileTest : ::testing::Test {
    FakeSource source = testing::Orders();
    TempDir dir;
    Application app{source.reader()};
    void SetUp() override { source.tables["spOrders"] = {{"Total", crCurrencyField}}; }
};

TEST_F(ReportFileTest, SaveOpenSaveGivesTheSameDocument) {
    auto r = FullReport(app, dir);
    r->SaveAs(dir.file("a.rpt"), 2048);
    auto reopened = app.OpenReport(dir.file("a.rpt"));
    reopened->SaveAs(dir.file("b.rpt"), 2048);
    EXPECT_EQ(ReadText(dir.file("a.rpt")), ReadText(dir.file("b.rpt")));

    // What was read back is the model itself, not only the same text.
    EXPECT_EQ(reopened->FormulaFields().Item(1).Text(), r->FormulaFields().Item(1).Text());
    EXPECT_EQ(reopened->ParameterFields().Item(1).Prompt, "Start\r\n\t\"date\"");
    EXPECT_EQ(reopened->Areas().Item("PH").Sections().Item(1).ReportObjects().Count(), 2);
    auto& blank =
        static_cast<TextObject&>(reopened->Areas().Item("PH").Sections().Item(1).ReportObjects().Item(1));
    EXPECT_EQ(blank.Text, " ");
    EXPECT_EQ(blank.Font.Size, 10.5);
    EXPECT_EQ(reopened->Areas().Item("GH1").Name(), "GroupHeaderArea1");
    auto& sub = static_cast<SubreportObject&>(
        reopened->Areas().Item("GF1").Sections().Item(2).ReportObjects().Item(1));
    EXPECT_EQ(sub.Links.Item(1).MainReportField, "{Orders.OrderID}");
    EXPECT_EQ(sub.OpenSubreport().Database().Tables().Item(1).Fields().Count(), 2);
    const DatabaseTable& sp = reopened->Database().Tables().Item(2);
    EXPECT_EQ(sp.Source().Type, crTableTypeStoredProcedure);
    EXPECT_EQ(sp.Parameters().Item(1).Values[0].Value, "1/1/2004");

    // Numbering goes on where it stopped.
    EXPECT_EQ(reopened->Areas().Item("D").Sections().Item(1).AddTextObject("x", 0, 0).Name, "Text3");
}

TEST_F(ReportFileTest, FormatNumbers2048And0WriteTheSameDocument) {
    auto r = FullReport(app, dir);
    r->SaveAs(dir.file("a.rpt"), 2048);
    r->SaveAs(dir.file("b.rpt"), 0);
    EXPECT_EQ(ReadText(dir.file("a.rpt")), ReadText(dir.file("b.rpt")));
    EXPECT_THROW(r->SaveAs(dir.file("c.rpt"), 1), vb::ComError);
    EXPECT_THROW(r->SaveAs(dir.file("no/such/folder/c.rpt"), 0), vb::ComError);
}

// A save creates the files it writes: a name that fits as a report file is saved (no longer
// temporary name that does not fit), a file beside it is left as it was, a name a NUL would
// cut short is refused, and the error names the file and the reason.
TEST_F(ReportFileTest, SavingWritesOnlyFilesItCreates) {
    auto r = FullReport(app, dir);
    const std::string doc = WriteReportDocument(*r);
    for (size_t length = 247; length <= 251; ++length) {
        const std::string file = dir.file(std::string(length, 'n') + ".rpt");
        ASSERT_NO_THROW(r->SaveAs(file, 2048)) << length;
        ASSERT_NO_THROW(r->SaveAs(file, 2048)) << length << " again";
        EXPECT_EQ(ReadText(file), doc) << length;
    }
    WriteText(dir.file("kept.rpt.tmp"), "mine");
    WriteText(dir.file("kept.rpt.old"), "mine too");
    r->SaveAs(dir.file("kept.rpt"), 2048);
    r->SaveAs(dir.file("kept.rpt"), 2048);
    EXPECT_EQ(ReadText(dir.file("kept.rpt.tmp")), "mine");
    EXPECT_EQ(ReadText(dir.file("kept.rpt.old")), "mine too");

    WriteText(dir.file("source.mdb"), "precious");
    EXPECT_THROW(r->SaveAs(dir.file("source.mdb") + std::string("\0.rpt", 5), 2048), vb::ComError);
    EXPECT_EQ(ReadText(dir.file("source.mdb")), "precious");

    std::filesystem::create_directory(dir.file("folder.rpt"));
    try {
        r->SaveAs(dir.file("folder.rpt"), 2048);
        ADD_FAILURE() << "saved over a folder";
    } catch (const vb::ComError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write the report file \"" + dir.file("folder.rpt") + "\": Is a directory.");
    }
    // Nothing of the saves is left beside the reports.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(dir.file("")))) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find(".tolvaran-"), std::string::npos) << name;
    }
}

TEST_F(ReportFileTest, PasswordsAreNeverWritten) {
    std::string doc = WriteReportDocument(*FullReport(app, dir));
    EXPECT_EQ(doc.find("secret"), std::string::npos);
    EXPECT_EQ(doc.find("pw"), std::string::npos);
    EXPECT_NE(doc.find("User ID=sa"), std::string::npos);

    // A password in quotes or braces goes whole, however many ';' and '=' it holds.
    for (const char* cs :
         {"DSN=Sales;User ID=sa;PWD={zq;xv=wk}", "DSN=Sales;User ID=sa;Password=\"zq;xv=wk\"",
          "Provider=SQLOLEDB;Data Source=srv;Password='zq;xv=wk';User ID=sa"}) {
        auto r = app.NewReport();
        r->Database().LogOnServerEx("p2soledb.dll", "srv", "", "sa", "", "OLE DB", cs);
        doc = WriteReportDocument(*r);
        EXPECT_EQ(doc.find("xv"), std::string::npos) << cs;
        EXPECT_EQ(doc.find("wk"), std::string::npos) << cs;
        EXPECT_NE(doc.find("User ID=sa"), std::string::npos) << cs;
    }
}

TEST_F(ReportFileTest, MatchesTheGoldenDocument) {
    std::string doc = WriteReportDocument(*FullReport(app, dir));
    std::string golden = std::string(TOLVARAN_SOURCE_DIR) + "/tests/designer/golden/full_report.xml";
    if (std::getenv("TOLVARAN_UPDATE_GOLDEN")) WriteText(golden, doc);
    EXPECT_EQ(doc, ReadText(golden));
}

struct BadFile {
    const char* name;
    const char* content;
    const char* reason;
};

TEST_F(ReportFileTest, OpeningAnythingElseFailsClearly) {
    const BadFile cases[] = {
        {"empty.rpt", "", "not an XML document"},
        {"binary.rpt", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "not an XML document"},
        {"other.rpt", "<html><body/></html>", "not a report file"},
        {"newer.rpt", "<TolvaranReport version=\"99\"><Report/></TolvaranReport>", "newer version"},
        {"noversion.rpt", "<TolvaranReport><Report/></TolvaranReport>", "no valid version"},
        {"noareas.rpt", "<TolvaranReport version=\"1\"><Report/></TolvaranReport>", "no areas"},
        {"badnumber.rpt",
         "<TolvaranReport version=\"1\"><Report paperWidth=\"wide\"><Areas><Area "
         "kind=\"Detail\"/></Areas></Report>"
         "</TolvaranReport>",
         "not a whole number"},
        {"badobject.rpt",
         "<TolvaranReport version=\"1\"><Report><Areas><Area "
         "kind=\"Detail\"><Section><Chart/></Section></Area>"
         "</Areas></Report></TolvaranReport>",
         "unknown report object"},
        {"badgroup.rpt",
         "<TolvaranReport version=\"1\"><Report><Areas><Area kind=\"GroupHeader\" "
         "group=\"3\"/></Areas></Report>"
         "</TolvaranReport>",
         "wrong group number"},
    };
    for (const BadFile& c : cases) {
        WriteText(dir.file(c.name), c.content);
        try {
            app.OpenReport(dir.file(c.name));
            ADD_FAILURE() << c.name << " opened";
        } catch (const vb::ComError& e) {
            EXPECT_EQ(e.Number(), kErrReportFile) << c.name;
            EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(app.OpenReport(dir.file("missing.rpt")), vb::ComError);
}

}  // namespace
}  // namespace designer
