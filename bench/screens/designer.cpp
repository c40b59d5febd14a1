// The designer program's window on converted corpus reports (their record-source tables filled
// with rows): one with groups, one with a subreport.
#include <QCoreApplication>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "platform/ui/recording.h"
#include "screens/screens.h"
#include "shell/designer_window.h"
#include "shell/report_viewer_control.h"
#include "support/corpus_conversion.h"
#include "support/corpus_rows.h"

namespace {

namespace fs = std::filesystem;

// The corpus converted once for every scene of this file.
const bench::CorpusConversion& Converted() {
    static std::unique_ptr<bench::CorpusConversion> run;
    if (!run) {
        run = std::make_unique<bench::CorpusConversion>();
        if (!bench::ConvertCorpus(screens::Session::Corpus() / "reports", TOLVARAN_SOURCE_DIR,
                                  QCoreApplication::applicationDirPath().toStdString(), *run))
            throw std::runtime_error("the corpus could not be converted");
        for (const auto& [group, tables] : run->tables) {
            std::vector<std::string> names;
            for (const auto& [table, fields] : tables) names.push_back(table);
            bench::FillTables(run->frontOf.at(group), names, 24);
        }
        std::atexit([] {
            std::error_code ec;
            if (run) fs::remove_all(run->work, ec);
        });
    }
    return *run;
}

void Show(screens::Session& s, const std::string& group, const std::string& report, const std::string& scene,
          int depth) {
    const fs::path file = Converted().work / "out" / group / (report + ".rpt");
    ui::RecordingPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    if (!window.Open(file.string())) throw std::runtime_error(prompt.messages.at(0).prompt);
    window.resize(1400, 900);
    // The structure opened out to the objects of each section (and a subreport's own).
    window.Structure().expandToDepth(depth);
    s.Save(window, scene);
}

}  // namespace

TOLVARAN_SCREEN("designer_groups", [](screens::Session& s) {
    Show(s, "Jlr97470__Nwind2k_mdb", "Produits par catégorie", "designer_groups", 3);
});

TOLVARAN_SCREEN("designer_subreport", [](screens::Session& s) {
    Show(s, "Jlr97470__Nwind2k_mdb", "Ventes par catégorie", "designer_subreport", 7);
});
