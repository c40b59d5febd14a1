// The sample that ships beside the program: its grouped report, and its price list sorted by
// category and product, converted and shown in the viewer with their data; then the grouped
// report once its database is gone, so that its data cannot be read: the viewer and the
// designer as they open, within the screen, the note cut to one line.
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "screens/screens.h"
#include "shell/main_window/app_run.h"
#include "shell/report_windows/designer_window.h"
#include "shell/report_windows/view_report.h"
#include "store/support.h"
#include "support/corpus_standin.h"
#include "support/recording.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kReport = "Sales by Category";

// The program started in a fresh folder with a report of the sample converted beside the
// sample database.
struct Converted {
    std::unique_ptr<tolvaran::AppRun> run;
    fs::path database, folder;
    std::string fileName;
};

std::unique_ptr<Converted> Convert(screens::Session& s, const std::string& tag,
                                   const std::string& name = kReport) {
    auto c = std::make_unique<Converted>();
    const fs::path program = s.FreshProgramFolder(tag);
    c->folder = program / "sample";
    c->database = c->folder / "Harbour.mdb";
    if (!fs::exists(c->database)) throw std::runtime_error("no sample database in " + program.string());
    c->run = std::make_unique<tolvaran::AppRun>(program.string());
    if (!c->run->Start()) throw std::runtime_error("the program did not start");
    corpus_standin::Export report;
    report.name = name;
    report.read = true;
    auto record = std::make_shared<tolvaran::clsReport>();
    record->ReportId = 1;
    record->DatabaseListId = 1;
    record->ReportName = name;
    ui::RecordingPrompt quiet;
    if (!corpus_standin::ConvertExport(c->run->Context(), quiet, report, c->database.string(), c->folder,
                                       record))
        throw std::runtime_error(name + " did not convert");
    c->fileName = tolvaran::MakeSafeName(name) + ".rpt";
    return c;
}

void ShowViewer(screens::Session& s, Converted& c, const std::string& picture) {
    tolvaran::ViewReport window(c.run->ReportWindowsOfRun().Services(), &c.run->Window());
    window.ReportName = c.fileName;
    window.Reportpath = c.folder.string();
    window.Form_Load();
    window.ShowReport();
    s.Save(window, picture);
}

}  // namespace

TOLVARAN_SCREEN("sample_report_viewer", [](screens::Session& s) {
    auto c = Convert(s, "sample");
    ShowViewer(s, *c, "sample_report_viewer");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("sample_price_list_viewer", [](screens::Session& s) {
    auto c = Convert(s, "price_list", "Price List");
    ShowViewer(s, *c, "sample_price_list_viewer");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("report_viewer_unreadable_data", [](screens::Session& s) {
    auto c = Convert(s, "unreadable");
    fs::remove(c->database);
    ShowViewer(s, *c, "report_viewer_unreadable_data");
    c->run->Window().Form_Terminate();
});

TOLVARAN_SCREEN("designer_unreadable_data", [](screens::Session& s) {
    auto c = Convert(s, "unreadable_designer");
    fs::remove(c->database);
    ui::RecordingPrompt prompt;
    tolvaran::DesignerWindow window(prompt);
    if (!window.Open((c->folder / c->fileName).string()))
        throw std::runtime_error(prompt.messages.at(0).prompt);
    window.Structure().expandToDepth(2);
    s.Save(window, "designer_unreadable_data");
    c->run->Window().Form_Terminate();
});
