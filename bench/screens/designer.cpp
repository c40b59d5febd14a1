// The designer program's window on converted corpus reports, converted over a stand-in of their
// database with made-up rows: one with groups, one with a subreport.
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "screens/screens.h"
#include "shell/report_windows/designer_window.h"
#include "shell/report_windows/report_viewer_control.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "store/support.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRepository = "Jlr97470__Nwind2k.mdb";

// The report converted into a fresh folder; its .rpt file, or an empty path (with a line on
// stderr) when the corpus is not at hand.
fs::path Convert(screens::Session& s, const std::string& name) {
    const fs::path corpus = screens::Session::Corpus() / "reports";
    if (!fs::is_directory(corpus)) {
        std::fprintf(stderr, "designer: no corpus at %s, scene skipped\n", corpus.c_str());
        return {};
    }
    const fs::path work = s.FreshProgramFolder("designer");
    std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(corpus, kRepository);
    const auto fronts = corpus_standin::BuildFrontEnds(exports, work / "standin", 24);
    ui::RecordingPrompt quiet;
    tolvaran::AppContext ctx;
    if (!fronts.count(kRepository) ||
        !corpus_standin::PrepareStore(work, TOLVARAN_SOURCE_DIR, work.string(), quiet, ctx))
        throw std::runtime_error("the stand-in of " + std::string(kRepository) + " could not be made");
    for (const auto& e : exports) {
        if (e.name != name || !e.read) continue;
        auto record = std::make_shared<tolvaran::clsReport>();
        record->ReportId = 1;
        record->DatabaseListId = 1;
        record->ReportName = name;
        corpus_standin::ConvertExport(ctx, quiet, e, fronts.at(kRepository), work / "Reports", record);
        return work / "Reports" / (tolvaran::MakeSafeName(name) + ".rpt");
    }
    throw std::runtime_error(name + " is not in the corpus");
}

// The window on the report, its structure opened out to depth (objects of each section at 3,
// a subreport's own structure further down).
void Show(screens::Session& s, const std::string& report, const std::string& scene, int depth) {
    const fs::path file = Convert(s, report);
    if (file.empty()) return;
    ui::RecordingPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    if (!window.Open(file.string())) throw std::runtime_error(prompt.messages.at(0).prompt);
    window.resize(1400, 900);
    window.Structure().expandToDepth(depth);
    window.Viewer().FinishLayout();  // the window as it settles: every page laid out
    s.Save(window, scene);
}

}  // namespace

TOLVARAN_SCREEN("designer_groups",
                [](screens::Session& s) { Show(s, "Produits par catégorie", "designer_groups", 3); });

TOLVARAN_SCREEN("designer_subreport",
                [](screens::Session& s) { Show(s, "Ventes par catégorie", "designer_subreport", 7); });
