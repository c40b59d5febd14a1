// The report windows on a corpus report with groups and formula errors, converted over a
// stand-in of its database: the report viewer, the error-log viewer, the layout editor, and
// the viewer given a file that is not there.
#include <cstdio>
#include <memory>

#include "screens/screens.h"
#include "shell/main_window/app_run.h"
#include "shell/report_windows/change_report.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell/report_windows/show_errors.h"
#include "shell/report_windows/view_report.h"
#include "store/support.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRepository = "NCPN__invasives_rpts";
constexpr const char* kReport = "rpt_Infest_by_Route";

long LastKey(const ado::ConnectionPtr& db) {
    return static_cast<long>(db->driver().lastInsertKey().ToLong());
}

// The program started in a fresh folder, with the report converted into its Reports folder
// and recorded in its lists file as a report of entry 1.
struct Converted {
    std::unique_ptr<tolvaran::AppRun> run;
    long reportId = 0;
    fs::path folder;
    std::string fileName;

    tolvaran::ReportWindowServices& Services() { return run->ReportWindowsOfRun().Services(); }
};

// Null, with a line on stderr, when the corpus is not at hand.
std::unique_ptr<Converted> Convert(screens::Session& s) {
    const fs::path corpus = screens::Session::Corpus() / "reports";
    if (!fs::is_directory(corpus)) {
        std::fprintf(stderr, "report windows: no corpus at %s, scene skipped\n", corpus.c_str());
        return nullptr;
    }
    auto c = std::make_unique<Converted>();
    const fs::path program = s.FreshProgramFolder("report_windows");
    c->run = std::make_unique<tolvaran::AppRun>(program.string());
    if (!c->run->Start()) throw std::runtime_error("the program did not start");
    tolvaran::AppContext& ctx = c->run->Context();

    std::vector<corpus_standin::Export> exports = corpus_standin::ListExports(corpus, kRepository);
    const auto fronts = corpus_standin::BuildFrontEnds(exports, program / "standin", 9);
    const corpus_standin::Export* report = nullptr;
    for (const auto& e : exports)
        if (e.name == kReport && e.read) report = &e;
    if (!report || !fronts.count(kRepository)) throw std::runtime_error("the corpus report is not at hand");

    c->folder = program / "Reports";
    ctx.gDb->Execute(
        "INSERT INTO DatabaseList (ReportDatabase, SourceTablesDatabase, ConvertedReportsPath) "
        "VALUES (?, ?, ?)",
        {fronts.at(kRepository), fronts.at(kRepository), c->folder.string()});
    const long entry = LastKey(ctx.gDb);
    ctx.gDb->Execute("INSERT INTO Report (DatabaseListId, ReportName, ReportPath) VALUES (?, ?, ?)",
                     {entry, kReport, fronts.at(kRepository)});
    c->reportId = LastKey(ctx.gDb);
    auto record = std::make_shared<tolvaran::clsReport>();
    record->ReportId = c->reportId;
    record->DatabaseListId = entry;
    record->ReportName = kReport;

    // The converter puts no question when several reports are selected; whatever it would
    // show goes to a recorder, not to a box nobody answers.
    ui::RecordingPrompt quiet;
    ui::Prompt* shown = ctx.prompt;
    ctx.prompt = &quiet;
    const bool done =
        corpus_standin::ConvertExport(ctx, quiet, *report, fronts.at(kRepository), c->folder, record);
    ctx.prompt = shown;
    if (!done) std::fprintf(stderr, "%s did not convert completely\n", kReport);
    c->fileName = tolvaran::MakeSafeName(kReport) + ".rpt";
    return c;
}

void ShowViewer(screens::Session& s, Converted& c, const std::string& fileName, const std::string& picture) {
    tolvaran::ViewReport window(c.Services());
    window.ReportId = c.reportId;
    window.ReportName = fileName;
    window.Reportpath = c.folder.string();
    window.Form_Load();
    window.ShowReport();
    window.CRViewer()->FinishLayout();  // the window as it settles: every page laid out
    s.Save(window, picture);
}

}  // namespace

TOLVARAN_SCREEN("report_viewer", [](screens::Session& s) {
    auto c = Convert(s);
    if (!c) return;
    ShowViewer(s, *c, c->fileName, "report_viewer");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("report_viewer_missing_file", [](screens::Session& s) {
    auto c = Convert(s);
    if (!c) return;
    ShowViewer(s, *c, "Missing Report.rpt", "report_viewer_missing_file");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("error_log_viewer", [](screens::Session& s) {
    auto c = Convert(s);
    if (!c) return;
    tolvaran::ShowErrors window(c->Services());
    window.setDb(c->run->Context().gDb);
    window.ReportId = c->reportId;
    window.Form_Load();
    s.Save(window, "error_log_viewer");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("layout_editor", [](screens::Session& s) {
    auto c = Convert(s);
    if (!c) return;
    tolvaran::ChangeReport window(c->Services());
    window.setDb(c->run->Context().gDb);
    window.OpenArgs = std::to_string(c->reportId);
    window.Form_Load();
    s.Save(window, "layout_editor");
    c->run->Window().Form_Terminate();
});
