#include "support/corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/access/export_reader.h"

using namespace tolvaran::access;
namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = corpus::Dir();

struct Expected {
    int sections = 0, controls = 0, levels = 0;
};

std::map<std::string, Expected> ReadTsv() {
    std::map<std::string, Expected> out;
    std::ifstream in(kCorpus / "reports.tsv");
    std::string line;
    std::getline(in,
                 line);  // header: file repo commit path sha256 bytes lang kind sections controls levels ...
    while (std::getline(in, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t')) cols.push_back(col);
        if (cols.size() < 11) continue;
        out[cols[0]] = {std::stoi(cols[8]), std::stoi(cols[9]), std::stoi(cols[10])};
    }
    return out;
}

ReadOptions WithSidecar(const fs::path& file) {
    ReadOptions o;
    fs::path json = kCorpus / "sidecars" / file.filename();
    json.replace_extension(".json");
    fs::path pv = fs::path(json).replace_extension(".pv");
    if (fs::exists(json))
        o.sidecar = json.string();
    else if (fs::exists(pv))
        o.sidecar = pv.string();
    return o;
}

}  // namespace

TEST(Corpus, EveryExportReadsWithTheListedCounts) {
    SKIP_WITHOUT_CORPUS();
    auto expected = ReadTsv();
    ASSERT_EQ(expected.size(), 50u);
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus / "reports")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        auto it = expected.find(name);
        ASSERT_NE(it, expected.end());
        ReportPtr r = ReadReportFile(entry.path().string(), WithSidecar(entry.path()));
        EXPECT_EQ(r->SectionCount(), it->second.sections);
        EXPECT_EQ(r->Controls().Count(), it->second.controls);
        EXPECT_EQ(r->GroupLevelCount(), it->second.levels);
        // Every control reads its common properties without an error.
        for (Control* c : r->Controls()) {
            EXPECT_NO_THROW((void)c->Name());
            EXPECT_NO_THROW((void)c->Left());
            EXPECT_NO_THROW((void)c->Visible());
            EXPECT_TRUE(r->HasSection(c->Section())) << c->Name();
        }
        ++seen;
    }
    EXPECT_EQ(seen, 50);
}

TEST(Corpus, RealFilesTableDriven) {
    SKIP_WITHOUT_CORPUS();
    // Values read from real exports through the model's by-name access.
    struct Case {
        const char* file;
        const char* control;  // nullptr: a report property
        const char* property;
        const char* expected;
    };
    const Case cases[] = {
        {"Jlr97470__Nwind2k.mdb__Ventes annuelles.report", "SousÉtatVentesAnnuelles", "SourceObject",
         "Report.Sous-état ventes annuelles"},
        {"Jlr97470__Nwind2k.mdb__Ventes annuelles.report", "SousÉtatVentesAnnuelles", "LinkMasterFields",
         "Année"},
        {"Jlr97470__Nwind2k.mdb__Facture.report", "NomLogo", "PictureType", "0"},
        {"Jlr97470__Nwind2k.mdb__Facture.report", "NomLogo", "Picture", "LOGO22.BMP"},
        {"drbv__tlp_access__Turnierbericht.bas", "Bild2", "PictureType", "2"},
        {"drbv__tlp_access__Turnierbericht.bas", "unentschuldigt_gefehlte_Paare", "LinkChildFields",
         "Turniernr"},
        {"drbv__tlp_access__Musikliste.bas", "Logo", "SourceObject", "Form.Logo"},
        {"NCRN__Water__srpt_LoggerInfoWL.bas", "srpt_LoggerInfoWLFouling", "LinkMasterFields",
         "Logger_Edit_ID"},
        // Orientation: PrtDevMode block, .json sidecar, .pv sidecar, none.
        {"kallal__Control__rptEmployeeID_WithPin.bas", nullptr, "Orientation", "2"},
        {"kallal__Control__rptSalesByClientCommissionHeader.bas", nullptr, "Orientation", "1"},
        {"Jlr97470__Nwind2k.mdb__Produits par catégorie.report", nullptr, "Orientation", "2"},
        {"Jlr97470__Nwind2k.mdb__Facture.report", nullptr, "Orientation", "1"},
        {"NCRN__Birds__VersionTable.bas", nullptr, "Orientation", "2"},
        {"NCRN__Birds__rpt_Event_Report.bas", nullptr, "Orientation", "1"},
        {"NCRN__ForestVeg__Photo.bas", nullptr, "RecordSource", "usys_temp_table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + (c.control ? c.control : "") + " " + c.property);
        fs::path p = kCorpus / "reports" / c.file;
        ReportPtr r = ReadReportFile(p.string(), WithSidecar(p));
        vb::Variant value =
            c.control == nullptr ? r->Property(c.property) : r->Controls(c.control).Property(c.property);
        EXPECT_EQ(value.ToString(), c.expected);
    }
}

TEST(Corpus, LongSqlRecordSourceIsJoinedFromItsContinuationLines) {
    SKIP_WITHOUT_CORPUS();
    fs::path p = kCorpus / "reports" / "drbv__tlp_access__Startliste_Runden.bas";
    ReportPtr r = ReadReportFile(p.string());
    std::string rs = r->RecordSource();
    EXPECT_EQ(rs.rfind("SELECT", 0), 0u) << rs.substr(0, 40);
    EXPECT_EQ(rs.find("\\\""), std::string::npos);  // every escaped quote undone
    EXPECT_NE(rs.find("[Da_Vorname] & \" \" & [Da_NAchname] & \" - \" & [He_Vorname]"), std::string::npos);
    // Group sections of a report whose level 0 has only a footer.
    EXPECT_EQ(r->SectionNumbers(), (std::vector<int>{0, 3, 4, 6, 7, 9, 10}));
    EXPECT_FALSE(r->GroupLevel(0).GroupHeader());
    EXPECT_TRUE(r->GroupLevel(0).GroupFooter());
}

TEST(Corpus, GermanReportTiesGroupSectionsToLevelsByBreakLevel) {
    SKIP_WITHOUT_CORPUS();
    // Sections are numbered from their BreakLevel, never from their (localised) names.
    for (const auto& entry : fs::directory_iterator(kCorpus / "reports")) {
        ReportPtr r = ReadReportFile(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string());
        for (int n : r->SectionNumbers()) {
            if (n < 5) continue;
            const Section& s = r->Section(n);
            int level = (n - 5) / 2;
            EXPECT_EQ(s.BreakLevel(), level);
            EXPECT_LT(level, r->GroupLevelCount());
            EXPECT_EQ(s.Kind(), n % 2 == 1 ? "BreakHeader" : "BreakFooter");
        }
    }
}

// Where a control leaves its size out, the size Access laid it out at (the layout cache, where the
// export has one) is the size the model gives.
TEST(Corpus, UnstatedSizesMatchTheLayoutCache) {
    SKIP_WITHOUT_CORPUS();
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(kCorpus / "reports")) {
        SCOPED_TRACE(entry.path().filename().string());
        ReportPtr r = ReadReportFile(entry.path().string(), WithSidecar(entry.path()));
        for (Control* c : r->Controls()) {
            const PropertyBag& own = c->Explicit();
            auto cached = [&](const char* name) {
                const vb::Variant* v = own.Find(name);
                return v ? v->ToLong() : 0L;
            };
            if (!own.Has("Width") && own.Has("LayoutCachedWidth")) {
                EXPECT_EQ(c->Width(), cached("LayoutCachedWidth") - cached("LayoutCachedLeft")) << c->Name();
                ++checked;
            }
            if (!own.Has("Height") && own.Has("LayoutCachedHeight")) {
                EXPECT_EQ(c->Height(), cached("LayoutCachedHeight") - cached("LayoutCachedTop")) << c->Name();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 100);
}
