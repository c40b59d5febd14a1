// The section pass: order, classification by name or number, areas, suppression, and the
// page-header question for subreports.
#include <gtest/gtest.h>

#include <algorithm>

#include "convert/layout_support.h"

namespace convert_test {
namespace {

using namespace layout;
using tolvaran::clsConvert;

std::vector<std::string> NonEmpty(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (!l.empty()) out.push_back(l);
    return out;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(LayoutSections, ProcessedInFixedOrderIntoTheirAreas) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("Orders", "Orders",
                        Level("Customer", true, true) + Level("Amount", true, true) +
                            Section("FormHeader", "ReportHeader", {Label("lRH", "Report title")}) +
                            Section("PageHeader", "PageHeaderSection", {Label("lPH", "Page title")}) +
                            GroupHeader(0, "GroupHeader0", {Field("tG0", "Customer")}) +
                            GroupHeader(1, "GroupHeader1", {Field("tG1", "Amount")}) +
                            Section("Section", "Detail", {Field("tD", "ID")}) +
                            GroupFooter(1, "GroupFooter1", {Label("lF1", "end amount")}) +
                            GroupFooter(0, "GroupFooter0", {Label("lF0", "end customer")}) +
                            Section("PageFooter", "PageFooterSection", {Label("lPF", "page foot")}) +
                            Section("FormFooter", "ReportFooter", {Label("lRF", "report foot")}));
    clsConvert& job = run.NewJob("Orders");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
    EXPECT_EQ(job.CountOfAccessSections, 9);

    // Order 1, 3, 6..25, 0, 4, 5, 2: 26 lines, one per section number.
    const std::vector<std::string> expected = {"ReportHeader",      "PageHeaderSection", "GroupFooter0",
                                               "GroupHeader1",      "GroupFooter1",      "Detail",
                                               "PageFooterSection", "GroupHeader0",      "ReportFooter"};
    EXPECT_EQ(NonEmpty(run.window.results), expected);
    EXPECT_EQ(run.window.results.size(), 26u);

    const designer::Report& r = *job.crReport();
    EXPECT_EQ(AreaObjects(r, "RH"), std::vector<std::string>{"T:Report title"});
    EXPECT_EQ(AreaObjects(r, "PH"), std::vector<std::string>{"T:Page title"});
    EXPECT_EQ(AreaObjects(r, "GH1"), std::vector<std::string>{"F:{Orders.Customer}"});
    EXPECT_EQ(AreaObjects(r, "GH2"), std::vector<std::string>{"F:{Orders.Amount}"});
    EXPECT_EQ(AreaObjects(r, "D"), std::vector<std::string>{"F:{Orders.ID}"});
    EXPECT_EQ(AreaObjects(r, "GF2"), std::vector<std::string>{"T:end amount"});
    EXPECT_EQ(AreaObjects(r, "GF1"), std::vector<std::string>{"T:end customer"});
    EXPECT_EQ(AreaObjects(r, "PF"), std::vector<std::string>{"T:page foot"});
    EXPECT_EQ(AreaObjects(r, "RF"), std::vector<std::string>{"T:report foot"});
    for (designer::Section* s : r.Sections().List()) {
        EXPECT_FALSE(s->Suppress) << s->Name();
        EXPECT_TRUE(s->KeepTogether) << s->Name();
    }

    const auto rows = run.Rows();
    EXPECT_TRUE(HasLine(Descriptions(rows, "AddToDetails"), "There are 9 sections"));
    EXPECT_TRUE(HasLine(Descriptions(rows, "AddDetails"), "There is 1 control for section 'Detail'"));
    EXPECT_TRUE(HasLine(Descriptions(rows, ""), "There were 2 group levels added"));
}

// The kind of a section: its name in English, French or a translated language, else its number,
// which a step line names.
struct KindCase {
    const char* keyword;
    const char* name;
    const char* area;
    const char* byNumber;  // the step line when the number gave the kind
};

TEST(LayoutSections, KindFromNameTranslationOrNumber) {
    const KindCase cases[] = {
        {"FormHeader", "EntêteÉtat", "RH", nullptr},
        {"PageHeader", "EntêtePage", "PH", nullptr},
        {"Section", "Détail", "D", nullptr},
        {"PageFooter", "PiedPage", "PF", nullptr},
        {"FormFooter", "PiedÉtat", "RF", nullptr},
        {"FormHeader", "Berichtskopf", "RH", nullptr},
        {"PageFooter", "Seitenfußbereich", "PF", nullptr},
        {"FormHeader", "EntêteEtat", "RH",
         "Section EntêteEtat converted as ReportHeader by its number 1 (area RH)"},
        {"PageHeader", "Kopfzeile", "PH",
         "Section Kopfzeile converted as PageHeader by its number 3 (area PH)"},
        {"FormFooter", "Zusammenfassung", "RF",
         "Section Zusammenfassung converted as ReportFooter by its number 2 (area RF)"},
    };
    for (const KindCase& c : cases) {
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("R", "Orders", Section(c.keyword, c.name, {Label("l1", "here")}));
        clsConvert& job = run.NewJob("R");
        ASSERT_TRUE(run.Convert()) << c.name;
        EXPECT_EQ(AreaObjects(*job.crReport(), c.area), std::vector<std::string>{"T:here"}) << c.name;
        EXPECT_TRUE(run.Problems().empty()) << c.name << ::testing::PrintToString(run.Problems());
        if (c.byNumber) {
            EXPECT_TRUE(HasLine(Descriptions(run.Rows(), "AddDetails"), c.byNumber)) << c.name;
        }
    }
}

// The section names of every language the shipped translation rows hold go to their own
// areas: no name is taken for the detail section because it holds "De".
TEST(LayoutSections, SectionNamesOfEveryShippedLanguage) {
    struct Language {
        const char* language;
        const char* reportHeader;
        const char* pageHeader;
        const char* detail;
        const char* pageFooter;
        const char* reportFooter;
        const char* groupHeader;
        const char* groupFooter;
    };
    const Language languages[] = {
        {"German", "Berichtskopf", "Seitenkopfbereich", "Detailbereich", "Seitenfußbereich", "Berichtsfuß",
         "Gruppenkopf0", "Gruppenfuß0"},
        {"Spanish", "EncabezadoDelInforme", "EncabezadoDePágina", "Detalle", "PieDePágina", "PieDelInforme",
         "EncabezadoDelGrupo0", "PieDelGrupo0"},
        {"Italian", "IntestazioneReport", "IntestazionePagina", "Corpo", "PièDiPaginaPagina",
         "PièDiPaginaReport", "IntestazioneGruppo0", "PièDiPaginaGruppo0"},
        {"Dutch", "Rapportkoptekst", "Paginakoptekst", "Details", "Paginavoettekst", "Rapportvoettekst",
         "Groepskoptekst0", "Groepsvoettekst0"},
        {"Portuguese", "CabeçalhoDoRelatório", "CabeçalhoDaPágina", "Detalhe", "RodapéDaPágina",
         "RodapéDoRelatório", "CabeçalhoDoGrupo0", "RodapéDoGrupo0"},
        {"Finnish", "RaportinYlätunniste", "SivunYlätunniste", "Tiedot", "SivunAlatunniste",
         "RaportinAlatunniste", "RyhmänYlätunniste0", "RyhmänAlatunniste0"},
        {"Latvian", "AtskaitesGalvene", "LapasGalvene", "Detaļas", "LapasKājene", "AtskaitesKājene",
         "GrupasGalvene0", "GrupasKājene0"},
    };
    for (const Language& l : languages)
        [&] {
            JobRun run;
            run.AddInternalLink();
            run.front.AddReport("R", "Orders",
                                Level("Customer", true, true) +
                                    Section("FormHeader", l.reportHeader, {Label("a", "RH")}) +
                                    Section("PageHeader", l.pageHeader, {Label("b", "PH")}) +
                                    GroupHeader(0, l.groupHeader, {Label("c", "GH")}) +
                                    Section("Section", l.detail, {Label("d", "D")}) +
                                    GroupFooter(0, l.groupFooter, {Label("e", "GF")}) +
                                    Section("PageFooter", l.pageFooter, {Label("f", "PF")}) +
                                    Section("FormFooter", l.reportFooter, {Label("g", "RF")}));
            clsConvert& job = run.NewJob("R");
            ASSERT_TRUE(run.Convert()) << l.language;
            EXPECT_TRUE(run.Problems().empty()) << l.language << ::testing::PrintToString(run.Problems());
            const std::pair<const char*, const char*> areas[] = {
                {"RH", "T:RH"},  {"PH", "T:PH"}, {"GH1", "T:GH"}, {"D", "T:D"},
                {"GF1", "T:GF"}, {"PF", "T:PF"}, {"RF", "T:RF"}};
            for (const auto& [area, object] : areas)
                EXPECT_EQ(AreaObjects(*job.crReport(), area), std::vector<std::string>{object})
                    << l.language << " " << area;
        }();
}

// Only five group headers and five group footers get an area; each section dropped is logged.
TEST(LayoutSections, GroupSectionsBeyondTheFifthAreLogged) {
    JobRun run;
    run.AddInternalLink();
    run.front.Sql("CREATE TABLE Wide (F0 TEXT, F1 TEXT, F2 TEXT, F3 TEXT, F4 TEXT, F5 TEXT);");
    std::string levels, sections;
    for (int j = 0; j < 6; ++j) {
        const std::string n = std::to_string(j);
        levels += Level("F" + n, true, true);
        sections += GroupHeader(j, "GroupHeader" + n, {Label("h" + n, "head " + n)}) +
                    GroupFooter(j, "GroupFooter" + n, {Label("f" + n, "foot " + n)});
    }
    run.front.AddReport("R", "Wide", levels + sections + Section("Section", "Detail", {Field("t", "F0")}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    // Headers are met from level 1 down and level 0 last; footers from level 0 on.
    EXPECT_EQ(run.Problems(),
              (std::vector<std::string>{"AddToDetails: Section GroupFooter5 was not converted: only the "
                                        "first 5 group footers get an area",
                                        "AddToDetails: Section GroupHeader0 was not converted: only the "
                                        "first 5 group headers get an area"}));
    EXPECT_EQ(FindObject(*job.crReport(), "T:head 0"), nullptr);
    EXPECT_EQ(FindObject(*job.crReport(), "T:foot 5"), nullptr);
    EXPECT_NE(FindObject(*job.crReport(), "T:head 5"), nullptr);
}

// Sections Access cannot number (a second detail section, a group section of a level past the
// eleventh) and group levels past the eleventh are not converted: one problem says which.
TEST(LayoutSections, SectionsAndLevelsLeftOutAreSaid) {
    std::string details, levels;
    for (int k = 0; k < 40; ++k)
        details += Section("Section", "Detail" + std::to_string(k), {Label("d", "d")});
    for (int j = 0; j < 30; ++j) levels += Level("Customer", true, false);
    struct Case {
        std::string export_;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {details,
         {"AddToDetails: 39 sections were not converted (Detail1, Detail2, Detail3, ...): a report holds one "
          "section of each number from 0 to 25"}},
        {levels + GroupHeader(0, "GroupHeader0", {Label("h", "h")}) +
             GroupHeader(29, "GroupHeader29", {Label("h29", "h")}) + Section("Section", "Detail", {}),
         {"AddGroupLevel: Group levels 11 to 29 were not converted: only the first 11 group levels are",
          "AddToDetails: Section GroupHeader29 was not converted: a report holds one section of each number "
          "from 0 to 25"}},
    };
    for (const Case& c : cases) {
        JobRun run;
        run.AddInternalLink();
        run.front.AddReport("R", "Orders", c.export_);
        run.NewJob("R");
        ASSERT_TRUE(run.Convert());
        std::vector<std::string> said;
        for (const std::string& p : run.Problems())
            if (p.find("not converted") != std::string::npos) said.push_back(p);
        EXPECT_EQ(said, c.problems);
    }
}

TEST(LayoutSections, RenamedGroupSectionsFindTheirLevelsAreas) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders",
                        Level("Customer", true, true) + GroupHeader(0, "Kopf Kunde", {Label("h", "head")}) +
                            GroupFooter(0, "Fuss Kunde", {Label("f", "foot")}) +
                            Section("Section", "Detail", {Field("tD", "ID")}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(AreaObjects(*job.crReport(), "GH1"), std::vector<std::string>{"T:head"});
    EXPECT_EQ(AreaObjects(*job.crReport(), "GF1"), std::vector<std::string>{"T:foot"});
    EXPECT_TRUE(run.Problems().empty()) << ::testing::PrintToString(run.Problems());
}

TEST(LayoutSections, SectionsWithoutObjectsEndSuppressed) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders",
                        Section("FormHeader", "ReportHeader", {Control("CommandButton", "cmdGo", 100, 100)}) +
                            Section("Section", "Detail", {Field("tD", "ID")}) +
                            Section("FormFooter", "ReportFooter", {}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    const designer::Report& r = *job.crReport();
    EXPECT_TRUE(r.Areas().Item("RH").Sections().Item(1).Suppress);
    EXPECT_TRUE(r.Areas().Item("RF").Sections().Item(1).Suppress);
    EXPECT_TRUE(r.Areas().Item("PH").Sections().Item(1).Suppress);
    EXPECT_FALSE(r.Areas().Item("D").Sections().Item(1).Suppress);
    EXPECT_EQ(run.Problems(), std::vector<std::string>{
                                  "AddDetails: Cannot deal with Control Type=104 for control named 'cmdGo'"});
    EXPECT_TRUE(
        HasLine(Descriptions(run.Rows(), "AddDetails"), "There are 0 controls for section 'ReportFooter'"));
}

TEST(LayoutSections, InvisibleSectionsAreNotConverted) {
    JobRun run;
    run.AddInternalLink();
    run.front.AddReport("R", "Orders",
                        Section("FormHeader", "ReportHeader", {Label("l", "hidden")}, {Num("Visible", 0)}) +
                            Section("Section", "Detail", {Field("tD", "ID")}));
    clsConvert& job = run.NewJob("R");
    ASSERT_TRUE(run.Convert());
    EXPECT_EQ(job.CountOfAccessSections, 1);
    EXPECT_TRUE(AreaObjects(*job.crReport(), "RH").empty());
}

// A main report with two subreport controls whose report has a page header and footer.
void AddSubreportPair(JobRun& run) {
    run.front.AddReport("rptChild", "Orders",
                        Section("PageHeader", "PageHeaderSection", {Label("lp", "child page")}) +
                            Section("Section", "Detail", {Field("tC", "Customer")}) +
                            Section("PageFooter", "PageFooterSection", {Label("lpf", "child foot")}));
    run.front.AddReport(
        "Main", "Orders",
        Section(
            "Section", "Detail",
            {Control("Subform", "subA", 100, 100, 4000, 1000, {Text("SourceObject", "Report.rptChild")}),
             Control("Subform", "subB", 100, 1500, 4000, 1000, {Text("SourceObject", "Report.rptChild")})}));
}

TEST(LayoutSections, PageHeaderQuestionAskedOnceAndAnswerCarried) {
    JobRun run;
    run.AddInternalLink();
    AddSubreportPair(run);
    run.store.prompt.answers.push_back(ui::vbNo);
    clsConvert& job = run.NewJob("Main");
    ASSERT_TRUE(run.Convert()) << ::testing::PrintToString(run.Problems());

    ASSERT_EQ(run.store.prompt.messages.size(), 1u);
    EXPECT_EQ(run.store.prompt.messages[0].prompt,
              "Show Page Header/Footer for all sub-reports? ( Display can affect layout ).");
    EXPECT_EQ(run.store.prompt.messages[0].title, "Show Page Header for Sub-Reports");
    EXPECT_EQ(run.store.prompt.messages[0].buttons, ui::vbYesNo | ui::vbDefaultButton2);
    EXPECT_FALSE(job.ShowPageHeaderFooterForSubReports);
    EXPECT_FALSE(job.AskShowPageHeaderFooterForSubReportsQuestion);
    EXPECT_TRUE(HasLine(run.window.results, "No, DO NOT show Page Header/Footers for any sub-reports."));
    // Both children skipped both page sections.
    const auto skipped = Descriptions(run.Rows(), "AddToDetails");
    EXPECT_EQ(std::count(skipped.begin(), skipped.end(), "Skipping section 'PageHeaderSection'"), 2);
    EXPECT_EQ(std::count(skipped.begin(), skipped.end(), "Skipping section 'PageFooterSection'"), 2);
    EXPECT_EQ(AreaObjects(*job.crReport(), "D"), (std::vector<std::string>{"S:rptChild", "S:rptChild"}));
}

TEST(LayoutSections, YesKeepsSubreportPageSectionsAndBatchNeverAsks) {
    {
        JobRun run;
        run.AddInternalLink();
        AddSubreportPair(run);
        run.store.prompt.answers.push_back(ui::vbYes);
        clsConvert& job = run.NewJob("Main");
        ASSERT_TRUE(run.Convert());
        EXPECT_EQ(run.store.prompt.messages.size(), 1u);
        EXPECT_TRUE(job.ShowPageHeaderFooterForSubReports);
        const auto& sub = static_cast<const designer::SubreportObject&>(
            job.crReport()->Areas().Item("D").Sections().Item(2).ReportObjects().Item(1));
        EXPECT_EQ(AreaObjects(sub.OpenSubreport(), "PH"), std::vector<std::string>{"T:child page"});
    }
    {
        JobRun run;
        run.AddInternalLink();
        AddSubreportPair(run);
        clsConvert& job = run.NewJob("Main", 7, /*multiple=*/true);
        ASSERT_TRUE(run.Convert());
        EXPECT_TRUE(run.store.prompt.messages.empty());
        EXPECT_TRUE(job.ShowPageHeaderFooterForSubReports);
    }
}

}  // namespace
}  // namespace convert_test
