#pragma once
// The main window over a program folder of its own, with recorders behind every window it
// opens, and source databases made for conversion tests: a SQLite stand-in front end with
// report exports in "<file>.src/reports/", registered either by rows written straight into the
// lists file or the way the source-database dialog registers it (entry, scanned links, report
// scan).
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/registry_file.h"
#include "platform/ui/recording.h"
#include "shell/report_windows.h"
#include "shell/startup.h"
#include "store/context.h"

namespace test {

class RecordingReportWindows : public tolvaran::ReportWindows {
  public:
    struct Viewed {
        long reportId;
        std::string reportName, reportPath;
    };
    std::vector<Viewed> viewed;
    std::vector<std::string> changed;  // OpenArgs of ChangeReport
    std::vector<long> logs;            // report ids of the error-log viewer
    // Runs inside each window call, while the window would be open.
    std::function<void()> whileOpen;

    void ViewReport(long reportId, const std::string& reportName, const std::string& reportPath) override {
        viewed.push_back({reportId, reportName, reportPath});
        if (whileOpen) whileOpen();
    }
    void ChangeReport(const std::string& openArgs) override {
        changed.push_back(openArgs);
        if (whileOpen) whileOpen();
    }
    void ShowModal(long reportId) override {
        logs.push_back(reportId);
        if (whileOpen) whileOpen();
    }
};

// An export of a report on the table Orders (ID, Customer, Amount, OrderDate) whose detail
// section holds one text box per control source given (a bound field or an "=" expression).
std::string OrdersReport(const std::vector<std::string>& controlSources);

class MainWindowRun {
  public:
    explicit MainWindowRun(const std::string& tag);
    ~MainWindowRun();
    MainWindowRun(const MainWindowRun&) = delete;
    MainWindowRun& operator=(const MainWindowRun&) = delete;

    // A SQLite front end in the program folder with the table Orders (three rows) and the
    // given exports (report name -> export text).
    std::filesystem::path FrontEnd(const std::string& file,
                                   const std::map<std::string, std::string>& reports);
    // The entry, its one own-tables link and its report rows written straight into the lists
    // file; the entry becomes current. Returns its DatabaseListId.
    long StoreEntry(const std::filesystem::path& frontEnd, const std::string& convertedFolder,
                    const std::vector<std::string>& reports);
    // The entry registered as the source-database dialog does: the entry appended through the
    // entry grid, the front end scanned for its links, which are saved, then its reports
    // scanned. Returns its DatabaseListId (0 when the entry could not be saved).
    long RegisterEntry(const std::filesystem::path& frontEnd, const std::string& convertedFolder);

    // The ReportId of a report of the current entry; 0 when there is none.
    long ReportId(const std::string& name);
    // Selects exactly the reports grid rows of these names (none: an empty selection).
    void SelectReports(const std::vector<std::string>& names);
    std::vector<std::string> ConvertedList() const;
    std::vector<std::string> Results() const;
    // Rows of the table for a report id.
    long Rows(const std::string& table, long reportId);
    // ErrorLog rows of a report whose level is not 5, as "function: description".
    std::vector<std::string> Problems(long reportId);
    std::vector<std::string> Messages() const;

    std::filesystem::path folder;
    ui::RecordingPrompt prompt;
    ui::RecordingLauncher launcher;
    RecordingReportWindows windows;
    std::unique_ptr<registry::RegistryFile> registry;
    tolvaran::AppContext ctx;
    std::unique_ptr<tolvaran::Startup> window;
};

}  // namespace test
