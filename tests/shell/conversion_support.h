#pragma once
// The main window over a program folder of its own, with recorders behind the report windows
// it opens and the real source-database dialog over a scripted file picker, and source
// databases made for conversion tests: a SQLite stand-in front end with report exports in
// "<file>.src/reports/", registered either by rows written straight into the lists file or
// through the dialog from the toolbar's Add.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/registry_file.h"
#include "shell/main_window/startup.h"
#include "shell/report_windows/report_windows.h"
#include "shell/source_database/select_database_opener.h"
#include "store/context.h"
#include "support/fake_common_dialog.h"
#include "support/fake_sqldmo.h"
#include "support/recording.h"

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
    // reportWindows: what opens the report windows (not owned); none: the recorder windows.
    explicit MainWindowRun(const std::string& tag, tolvaran::ReportWindows* reportWindows = nullptr);
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
    // The entry added through the source-database dialog, opened by the toolbar's Add: the
    // front end chosen in its file picker (the dialog scans it for its links), the converted
    // reports folder typed into it, then Save; the main window scans the new entry's reports.
    // Returns its DatabaseListId (0 when no entry is current afterwards).
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
    ui::FakeCommonDialog files;
    sqldmo::FakeFactory sqldmo;
    std::unique_ptr<tolvaran::SelectDatabaseDialogs> dialogs;
    std::string typedFolder;  // what the dialog's runner types as the converted-reports folder
    std::unique_ptr<registry::RegistryFile> registry;
    tolvaran::AppContext ctx;
    std::unique_ptr<tolvaran::Startup> window;
};

}  // namespace test
