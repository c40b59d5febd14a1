// Objects made from controls: the dispatch by control type, formatting, formula fields,
// parameters, empty text boxes, lines, boxes and pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "convert/layout_support.h"
#include "platform/viewer/engine.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Converts a report whose detail section holds the controls; the job stays for inspection.
clsConvert& ConvertDetail(JobRun& run, const std::vector<Ctl>& controls) {
    run.AddInternalLink();
    ShipPlaceholders(run);
    run.front.AddReport("R", "Orders", Section("Section", "Detail", controls));
    clsConvert& job = run.NewJob("R");
    EXPECT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    return job;
}

TEST(LayoutObjects, EveryControlTypeOfTheDispatchTable) {
    JobRun run;
    clsConvert& job = ConvertDetail(
        run, {Label("lbl", "Caption text", 100, 0), Control("Rectangle", "rect", 100, 400, 500, 200),
              Control("Line", "line", 100, 700, 500, 0), Control("Image", "img", 100, 900, 300, 300),
              Control("BoundObjectFrame", "bof", 100, 1300), Field("txt", "Customer", 100, 1700),
              Control("Subform", "sub", 100, 2100, 3000, 500, {Text("SourceObject", "Report.Child")}),
              Control("UnboundObjectFrame", "ole", 100, 2700), Control("PageBreak", "pb", 100, 3100, 0, 0),
              Control("CustomControl", "cc", 100, 3300, 300, 300, {Text("Filename", "")}),
              Control("CommandButton", "cmd", 100, 3700), Control("ToggleButton", "tgl", 100, 4100)});
    const std::vector<std::string> expected = {"T:Caption text", "B", "L", "P", "F:{Orders.Customer}", "P"};
    EXPECT_EQ(AreaObjects(*job.crReport(), "D"), expected);
    const std::vector<std::string> problems = run.Problems();
    for (const char* p : {"AddDetails: Cannot deal with BoundObjectFrame",
                          "AddDetails: Cannot deal with OLEObject Control Type=114",
                          "AddDetails: Cannot deal with Control Type=104 for control named 'cmd'",
                          "AddDetails: Cannot deal with Control Type=122 for control named 'tgl'"})
        EXPECT_TRUE(HasLine(problems, p)) << p << ::testing::PrintToString(problems);
    const auto steps = Descriptions(run.Rows(), "AddDetails");
    EXPECT_TRUE(HasLine(steps, "PageBreak:pb"));
    EXPECT_TRUE(HasLine(steps, "Import SubReport:sub"));
    EXPECT_TRUE(HasLine(steps, "Detail: txt"));
    // The subreport's report is not in the front end: three error lines, nothing placed.
    EXPECT_TRUE(HasLine(Descriptions(run.Rows(), "ImportSubReport"), "ERROR(S) IN subReport:sub"));
}

TEST(LayoutObjects, FormattingIsCopied) {
    JobRun run;
    clsConvert& job = ConvertDetail(
        run, {Label("bold", "Bold", 100, 0,
                    {Num("FontWeight", 500), On("FontUnderline"), On("FontItalic"), Num("FontSize", 14),
                     Text("FontName", "Tahoma"), Num("ForeColor", 255), Num("BackColor", 65535),
                     Num("BorderStyle", 1), Num("TextAlign", 2)}),
              Label("plain", "Plain", 100, 400,
                    {Num("FontWeight", 400), Num("TextAlign", 5), Num("BorderStyle", 0)}),
              Field("when", "OrderDate", 100, 800, {Text("Format", "Short Date"), On("Visible")}),
              Field("amount", "Amount", 100, 1200, {Text("Format", "Currency")})});
    const designer::Report& r = *job.crReport();
    const designer::ReportObject* bold = FindObject(r, "T:Bold");
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(bold->Font, (designer::Font{"Tahoma", 14, true, true, true, false}));
    EXPECT_EQ(bold->TextColor, 255);
    EXPECT_EQ(bold->BackColor, 65535);
    EXPECT_EQ(bold->Width, 1500);
    EXPECT_EQ(bold->Height, 300);
    EXPECT_EQ(bold->HorAlignment, designer::crHorCenterAlign);
    EXPECT_EQ(bold->BorderColor, 0);
    EXPECT_EQ(bold->TopLineStyle, designer::crLSSingleLine);
    EXPECT_EQ(bold->LeftLineStyle, designer::crLSSingleLine);
    EXPECT_FALSE(bold->CanGrow);
    EXPECT_FALSE(bold->Suppress);

    const designer::ReportObject* plain = FindObject(r, "T:Plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->Font.Bold);
    EXPECT_EQ(plain->HorAlignment, designer::crDefaultAlign);
    EXPECT_EQ(plain->TopLineStyle, designer::crLSNoLine);

    const auto* when = dynamic_cast<const designer::FieldObject*>(FindObject(r, "F:{Orders.OrderDate}"));
    ASSERT_NE(when, nullptr);
    EXPECT_EQ(when->DateWindowsDefaultType, designer::crUseWindowsShortDate);
    EXPECT_TRUE(when->Suppress);
    const auto* amount = dynamic_cast<const designer::FieldObject*>(FindObject(r, "F:{Orders.Amount}"));
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->DateWindowsDefaultType, designer::crNotUsingWindowsDefaults);
    // Labels have no Format: reading it is never tried, so no step fails.
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
}

TEST(LayoutObjects, FormulaFieldsAddedCheckedAndCommentedOut) {
    JobRun run;
    clsConvert& job = ConvertDetail(
        run, {Field("Doubled", "=[Amount]*2", 100, 0),
              Field("Which", "=IIf([Amount]=1,\"one\",\"other\")", 100, 400),
              Field("Broken", "=[Amount] +* 2", 100, 800), Field("Constant", "=[Amount", 100, 1200)});
    const designer::Report& r = *job.crReport();
    const designer::FormulaFieldDefinitions& formulas = r.FormulaFields();
    ASSERT_EQ(formulas.Count(), 3);

    ASSERT_NE(formulas.Find("Doubled"), nullptr);
    EXPECT_EQ(formulas.Find("Doubled")->Text(), "{Orders.Amount}*2");
    EXPECT_NE(FindObject(r, "F:{@Doubled}"), nullptr);

    // Only the leading "=" is removed: the comparison inside IIf stays.
    ASSERT_NE(formulas.Find("Which"), nullptr);
    const std::string which = formulas.Find("Which")->Text();
    EXPECT_NE(which.find("=1"), std::string::npos) << which;
    EXPECT_EQ(which.rfind("//", 0), std::string::npos) << which;

    // A formula the check rejects is placed, commented out and logged.
    ASSERT_NE(formulas.Find("Broken"), nullptr);
    const std::string broken = formulas.Find("Broken")->Text();
    EXPECT_EQ(broken.rfind("// ", 0), 0u) << broken;
    EXPECT_NE(FindObject(r, "F:{@Broken}"), nullptr);
    EXPECT_TRUE(HasLine(run.window.results, "// " + broken));
    bool sawRow = false;
    for (const LogRow& row : run.Rows()) {
        if (row.FormulaName == "Broken") {
            sawRow = true;
            EXPECT_EQ(row.CrystalFormula, broken.substr(3));
            EXPECT_FALSE(row.ErrorDesc.empty());
        }
    }
    EXPECT_TRUE(sawRow);
    EXPECT_EQ(Descriptions(run.Rows(), "AddTextObject").size(), 1u);
    EXPECT_EQ(Descriptions(run.Rows(), "Broken").size(), 1u);
    const auto text = run.TextLog();
    EXPECT_TRUE(HasLine(text, std::string(20, '-') + "< FORMULA ERROR >" + std::string(43, '-')));
    EXPECT_TRUE(HasLine(text, "Formula Name:Broken"));
    EXPECT_TRUE(HasLine(text, "Access Formula:Formula=[Amount] +* 2"));

    // An expression the translator cannot convert adds no formula and places nothing.
    EXPECT_EQ(formulas.Find("Constant"), nullptr);
    bool sawFailure = false;
    for (const LogRow& row : run.Rows())
        if (row.FormulaName == "Constant") {
            sawFailure = true;
            EXPECT_EQ(row.ErrorDesc, "The Access Formula could not be converted");
            EXPECT_EQ(row.AccessFormula, "[Amount");
        }
    EXPECT_TRUE(sawFailure);
    EXPECT_TRUE(HasLine(text, "FORMULA NAME:   Constant"));
}

// A formula-error row that cannot be stored is reported by the text box's own trap.
TEST(LayoutObjects, UnstorableFormulaErrorRowGoesToTheTextBoxTrap) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders", Section("Section", "Detail", {Field("Broken", "=[Amount] +* 2")}));
    run.NewJob("R");
    run.store.gDb()->Execute("DROP TABLE ErrorLog");
    run.Convert();
    const auto text = run.TextLog();
    const auto at = std::find_if(text.begin(), text.end(), [](const std::string& l) {
        return l.rfind("         Error:AddTextObject:", 0) == 0;
    });
    ASSERT_NE(at, text.end()) << ::testing::PrintToString(text);
    ASSERT_NE(at + 1, text.end());
    EXPECT_EQ(*(at + 1), "function call:n/a");
    EXPECT_EQ(*(at - 1), "Error Severity:2");
}

TEST(LayoutObjects, ParametersFromFormReferences) {
    JobRun run;
    clsConvert& job =
        ConvertDetail(run, {Field("from1", "=[Forms]![frmDates]![StartDate]", 100, 0),
                            Field("from2", "[Forms]![frmDates]![StartDate]", 100, 400),
                            Field("shown", "[StartDate]", 100, 800), Field("unknown", "[Nope]", 100, 1200)});
    const designer::Report& r = *job.crReport();
    ASSERT_EQ(r.ParameterFields().Count(), 1);
    EXPECT_EQ(r.ParameterFields().Item(1).Name(), "StartDate");
    EXPECT_EQ(r.ParameterFields().Item(1).ValueType(), designer::crStringField);
    EXPECT_TRUE(r.EnableParameterPrompting);
    EXPECT_EQ(r.FormulaFields().Count(), 0);
    // Each reference to the form, and the bound reference to the parameter, places the
    // parameter's field; a bracketed name that is no parameter is a field of the record source,
    // which the designer refuses when the table has none of that name.
    EXPECT_EQ(AreaObjects(r, "D"),
              (std::vector<std::string>{"F:{?StartDate}", "F:{?StartDate}", "F:{?StartDate}"}));
    const auto problems = run.Problems();
    ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("{Orders.Nope}"), std::string::npos) << problems[0];
    EXPECT_TRUE(ControlRows(run.store.gDb(), 7).size() == 4u);
}

// A form reference's parameter takes the type its use needs: a number where it is compared or
// computed with a number, a date where with a date, text otherwise; one only shown takes the
// type of its first use in a formula.
TEST(LayoutObjects, FormReferencesAreTypedByTheirUse) {
    JobRun run;
    clsConvert& job = ConvertDetail(
        run, {Field("a", "=[Forms]![F]![Zero]=0", 100, 0), Field("b", "=Forms!F!Rate/100+1", 100, 400),
              Field("c", "=[ID]-[Forms]![F]![Year]", 100, 800),
              Field("d", "=[OrderDate]>=[Forms]![F]![Start]", 100, 1200),
              Field("e", "=\"For \" & [Forms]![F]![Who]", 100, 1600),
              Field("f", "[Forms]![F]![Shown]", 100, 2000), Field("g", "=[Forms]![F]![Shown]*2", 100, 2400)});
    const designer::Report& r = *job.crReport();
    const std::map<std::string, int> expected = {
        {"Zero", designer::crNumberField}, {"Rate", designer::crNumberField},
        {"Year", designer::crNumberField}, {"Start", designer::crDateField},
        {"Who", designer::crStringField},  {"Shown", designer::crNumberField}};
    std::map<std::string, int> types;
    for (const auto& p : r.ParameterFields()) types[p->Name()] = p->ValueType();
    EXPECT_EQ(types, expected);
    for (const auto& f : r.FormulaFields())
        EXPECT_EQ(f->Text().rfind("//", 0), std::string::npos) << f->Text();
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
}

// A field made text because the other branch of an IIf or Nz is text shows as Access shows
// it: a whole-number field without decimals or thousands separators; a fractional one keeps two
// decimals.
TEST(LayoutObjects, NumbersMadeTextForAMixedIIfOrNzShowAsAccessShowsThem) {
    JobRun run;
    run.front.Sql(
        "CREATE TABLE Lines (Qty INTEGER, Price REAL);"
        "INSERT INTO Lines VALUES (5, 2.5), (1234, 1234.5);");
    run.AddInternalLink();
    run.front.AddReport(
        "R", "Lines",
        Section("Section", "Detail",
                {Field("q", "=IIf([Qty]>0,[Qty],\"\")", 100, 0), Field("n", "=Nz([Qty],\"-\")", 1700, 0),
                 Field("p", "=IIf([Price]>0,[Price],\"\")", 3300, 0)}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    std::vector<std::string> shown;
    for (const viewer::Page& page : viewer::RenderReport(*job.crReport()).pages)
        for (const viewer::Item& item : page.items)
            if (const auto* t = std::get_if<viewer::TextItem>(&item)) shown.push_back(t->text);
    EXPECT_EQ(shown, (std::vector<std::string>{"5", "5", "2.50", "1234", "1234", "1,234.50"}));
}

// A label shows its caption as Access draws it: "&&" is one "&", a single "&" marks the access
// key and is not drawn, and each line break (CR LF, or CR or LF alone) starts a new line.
TEST(LayoutObjects, LabelCaptionsShowAsAccessDrawsThem) {
    JobRun run;
    const auto label = [](const std::string& name, const std::string& escaped, long top) {
        return Control("Label", name, 100, top, 3000, 600, {"Caption =\"" + escaped + "\""});
    };
    clsConvert& job = ConvertDetail(
        run, {label("crlf", "KOMORI K-STATIC\\015\\012. .", 0), label("cr", "KOMORI K-STATIC\\015. .", 700),
              label("lf", "KOMORI K-STATIC\\012. .", 1400), label("amp", "Parks && Recreation", 2100),
              label("key", "&Notes of R&&D&", 2800)});
    EXPECT_EQ(AreaObjects(*job.crReport(), "D"),
              (std::vector<std::string>{"T:KOMORI K-STATIC\r\n. .", "T:KOMORI K-STATIC\r. .",
                                        "T:KOMORI K-STATIC\n. .", "T:Parks & Recreation", "T:Notes of R&D"}));
    std::vector<std::vector<std::string>> lines;
    for (const viewer::Page& page : viewer::RenderReport(*job.crReport()).pages)
        for (const viewer::Item& item : page.items)
            if (const auto* t = std::get_if<viewer::TextItem>(&item))
                lines.push_back(t->wrap ? t->lines : std::vector<std::string>{t->text});
    const std::vector<std::string> twoLines = {"KOMORI K-STATIC", ". ."};
    EXPECT_EQ(lines, (std::vector<std::vector<std::string>>{
                         twoLines, twoLines, twoLines, {"Parks & Recreation"}, {"Notes of R&D"}}));
}

TEST(LayoutObjects, EmptyTextBoxesDifferOnlyInBackground) {
    JobRun run;
    clsConvert& job = ConvertDetail(run, {Field("white", "", 100, 0, {Num("BackColor", 16777215)}),
                                          Field("red", "", 100, 400, {Num("BackColor", 255)})});
    const auto& objects = job.crReport()->Areas().Item("D").Sections().Item(1).ReportObjects();
    ASSERT_EQ(objects.Count(), 2);
    EXPECT_EQ(objects.Item(1).BackStyle, 0);
    EXPECT_EQ(objects.Item(2).BackStyle, 1);
    EXPECT_EQ(objects.Item(2).BackColor, 255);
    // Empty text boxes are not recorded.
    for (const ControlRow& row : ControlRows(run.store.gDb(), 7)) EXPECT_TRUE(row.CrystalControlName.empty());
}

TEST(LayoutObjects, LinesBoxesAndPictures) {
    JobRun run;
    const std::string linked = run.dir.File("logo.bmp");
    std::filesystem::copy_file(TOLVARAN_SOURCE_DIR "/resources/ship/brenmoor.bmp", linked);
    clsConvert& job = ConvertDetail(
        run,
        {Control("Line", "ln", 100, 200, 3000, 0),
         Control("Rectangle", "bx", 50, 500, 2000, 400, {Num("BackColor", 16777215)}),
         Control("Image", "embedded1", 100, 1000, 300, 300, {Num("PictureType", 0)}),
         Control("Image", "embedded2", 500, 1000, 300, 300, {Num("PictureType", 0)}),
         Control("Image", "linked", 900, 1000, 300, 300, {Num("PictureType", 1), Text("Picture", linked)}),
         Control("Image", "gone", 1300, 1000, 300, 300,
                 {Num("PictureType", 1), Text("Picture", "C:\\Pictures\\missing.bmp")}),
         Control("CustomControl", "ccFile", 100, 1500, 300, 300, {Text("Filename", linked)}),
         Control("CustomControl", "ccEmpty", 500, 1500, 300, 300, {Text("Filename", "")})});
    const auto& objects = job.crReport()->Areas().Item("D").Sections().Item(1).ReportObjects();
    ASSERT_EQ(objects.Count(), 8);
    const auto& line = dynamic_cast<const designer::LineObject&>(objects.Item(1));
    EXPECT_EQ(std::vector<long>({line.Left, line.Top, line.Right, line.Bottom}),
              std::vector<long>({100, 200, 3100, 200}));
    const auto& box = dynamic_cast<const designer::BoxObject&>(objects.Item(2));
    EXPECT_EQ(std::vector<long>({box.Left, box.Top, box.Right, box.Bottom}),
              std::vector<long>({50, 500, 2050, 900}));
    EXPECT_EQ(box.FillColor, 16777215);

    const std::string icon = run.store.ctx.InFolder("icons/yellowquestion.ico");
    const std::string bmp = run.store.ctx.InFolder("brenmoor.bmp");
    auto picture = [&](int i) -> const designer::PictureObject& {
        return dynamic_cast<const designer::PictureObject&>(objects.Item(i));
    };
    EXPECT_EQ(picture(3).SourceFile, icon);
    EXPECT_EQ(picture(4).SourceFile, icon);
    EXPECT_EQ(picture(4).Left, 500);
    EXPECT_EQ(picture(5).SourceFile, linked);
    EXPECT_EQ(picture(6).SourceFile, icon);
    EXPECT_EQ(picture(7).SourceFile, linked);
    EXPECT_EQ(picture(8).SourceFile, bmp);
    EXPECT_FALSE(picture(3).Image.empty());

    // Images are recorded; custom controls are not.
    int recorded = 0;
    for (const ControlRow& row : ControlRows(run.store.gDb(), 7))
        if (!row.CrystalControlName.empty()) ++recorded;
    EXPECT_EQ(recorded, 6);
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
}

// What Access does not draw is not drawn: hidden graphics, transparent backgrounds (the control's
// own or its kind's default), and colours given by index are drawn in the colour Access shows.
TEST(LayoutObjects, HiddenGraphicsTransparentBackgroundsAndIndexedColours) {
    JobRun run;
    run.AddInternalLink();
    ShipPlaceholders(run);
    const std::string textBoxDefaults = "        Begin TextBox\n            BackStyle =0\n        End\n";
    run.front.AddReport(
        "R", "Orders",
        textBoxDefaults +
            Section(
                "Section", "Detail",
                {Control("Line", "line", 100, 0, 500, 0, {On("Visible")}),
                 Control("Rectangle", "box", 100, 100, 500, 200, {On("Visible")}),
                 Control("Image", "img", 100, 400, 300, 300, {On("Visible")}),
                 Control("CustomControl", "cc", 100, 800, 300, 300, {Text("Filename", ""), On("Visible")}),
                 Control("Rectangle", "clear", 100, 1200, 500, 200, {Num("BackStyle", 0)}),
                 Label("lbl", "Label", 100, 1500, {Num("BackColor", 255), Num("ForeColor", -2147483640)}),
                 Field("inherits", "Customer", 100, 1900, {Num("BackColor", 255)}),
                 Field(
                     "filled", "Amount", 100, 2300,
                     {Num("BackStyle", 1), Num("BackColor", -2147483609), Num("ForeColor", -2147483617)})}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    const auto& objects = job.crReport()->Areas().Item("D").Sections().Item(1).ReportObjects();
    ASSERT_EQ(objects.Count(), 8);
    for (int i = 1; i <= 4; ++i) EXPECT_TRUE(objects.Item(i).Suppress) << Describe(objects.Item(i));
    EXPECT_EQ(dynamic_cast<const designer::BoxObject&>(objects.Item(5)).FillColor, designer::kNoColor);
    struct Expected {
        int backStyle;
        long backColor, textColor;
    };
    const Expected texts[] = {{0, 255, 0}, {0, 255, 0}, {1, 0xA5A5A5, 0}};
    for (int i = 0; i < 3; ++i) {
        const designer::ReportObject& o = objects.Item(6 + i);
        SCOPED_TRACE(Describe(o));
        EXPECT_EQ(o.BackStyle, texts[i].backStyle);
        EXPECT_EQ(o.BackColor, texts[i].backColor);
        EXPECT_EQ(o.TextColor, texts[i].textColor);
    }
}

TEST(LayoutObjects, MissingPlaceholderAndCustomControlWithoutFileAreRecorded) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport(
        "R", "Orders",
        Section("Section", "Detail",
                {Control("Image", "img", 100, 0, 300, 300, {Num("PictureType", 0)}),
                 Control("CustomControl", "cc", 100, 400, 300, 300), Field("txt", "ID", 100, 800)}));
    clsConvert& job = run.NewJob("R");  // no placeholders in the program folder
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(AreaObjects(*job.crReport(), "D"), std::vector<std::string>{"F:{Orders.ID}"});
    const auto problems = run.Problems();
    bool image = false, custom = false;
    for (const std::string& p : problems) {
        if (p.find("-->Image File Not Found for img.") != std::string::npos) image = true;
        if (p.find("not found for cc.") != std::string::npos) custom = true;
    }
    EXPECT_TRUE(image) << ::testing::PrintToString(problems);
    EXPECT_TRUE(custom) << ::testing::PrintToString(problems);
}

}  // namespace
}  // namespace convert_test
