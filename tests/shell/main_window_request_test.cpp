// The main window around its requests: what it shows after switching entries, what a request
// tells the user (once per fault), closing it while a batch runs, and its message list.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <filesystem>

#include "conversion_support.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/results_list.h"
#include "shell_test_support.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

const std::string kClean = test::OrdersReport({"Customer", "Amount"});
constexpr const char* kContinue = "The previous report had errors, continue processing anyway?";

std::string Caption(const test::MainWindowRun& run, const char* label) {
    return run.window->findChild<QLabel*>(label)->text().toStdString();
}

size_t CountHolding(const std::vector<std::string>& lines, const std::string& part) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    }));
}

// After its reports are scanned, after a batch and after the user switches entries, the window
// shows the entry in hand: the label names the highlighted report (the one Convert converts), and the
// message list, the progress captions and the status panels drop the entry before.
TEST(MainWindowRequest, TheWindowShowsTheEntryInHand) {
    test::MainWindowRun run("entry-in-hand");
    const fs::path out = run.folder / "out";
    fs::create_directories(out);
    const long first = run.RegisterEntry(
        run.FrontEnd("first.mdb", {{"Alpha", kClean}, {"Beta", kClean}, {"Gamma", kClean}}), out.string());
    ASSERT_GT(first, 0);
    EXPECT_EQ(run.window->dxReports()->CurrentValue("ReportName").ToString(), "Alpha");
    EXPECT_EQ(Caption(run, "lblReports"), "Alpha");
    run.window->InitiateReportConversion(true);
    EXPECT_EQ(Caption(run, "lblReports"), "Alpha");
    ASSERT_FALSE(run.Results().empty());
    const std::string version = run.window->StatusPanel(1);

    run.StoreEntry(run.FrontEnd("second.mdb", {{"Delta", kClean}}), out.string(), {"Delta"});
    EXPECT_EQ(Caption(run, "lblReports"), "Delta");
    EXPECT_TRUE(run.Results().empty()) << run.Results()[0];
    EXPECT_EQ(Caption(run, "lblProgress"), "Status:");
    EXPECT_EQ(Caption(run, "lblField"), "Field:");
    EXPECT_EQ(run.window->StatusPanel(1), "");
    EXPECT_EQ(run.window->StatusPanel(2), "1 reports");

    DataGrid* entries = run.window->dxDatabases();
    for (int row = 0; row < entries->Dataset().RowCount(); ++row)
        if (entries->Dataset().Value(row, "DatabaseListId").ToLong() == first) entries->SetCurrentRow(row);
    EXPECT_EQ(Caption(run, "lblReports"), "Alpha");
    EXPECT_EQ(run.window->StatusPanel(1), version);
    EXPECT_EQ(run.window->StatusPanel(2), "3 reports");
}

// A fault that every report of a batch meets is told once per request; the reports after the
// one it was shown for keep it in their logs and the summary counts it. A text log that
// cannot be made is said in each report's own log, not in a box of its own.
TEST(MainWindowRequest, AFaultMetByEveryReportIsToldOnce) {
    struct Case {
        const char* name;
        std::function<void(test::MainWindowRun& run, const fs::path& front, const fs::path& out)> fault;
        std::string told;     // the fault's message
        size_t shown;         // how often it is shown
        std::string summary;  // a line the summary holds
    };
    const Case cases[] = {
        {"the Access file is gone",
         [](test::MainWindowRun&, const fs::path& front, const fs::path&) { fs::remove(front); },
         "does not exist. Please edit your database reference", 1, "Messages not shown: 2"},
        {"the text logs' names are taken",
         [](test::MainWindowRun&, const fs::path&, const fs::path& out) {
             for (const char* name : {"Alpha", "Beta", "Gamma"})
                 fs::create_directories(out / (std::string(name) + "_ErrorLog.txt") / "held");
         },
         "Path/File access error", 0, "Converted with problems: 3"},
        {"the lists file is full",
         [](test::MainWindowRun& run, const fs::path&, const fs::path&) {
             ado::Recordset rs;
             rs.Open("PRAGMA page_count", run.ctx.gDb);
             const long pages = static_cast<long>(rs.Fields(0).Value().ToLong());
             rs.Close();
             run.ctx.gDb->Execute("PRAGMA max_page_count = " + std::to_string(pages));
         },
         "The lists file could not be written", 1, "Messages not shown: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MainWindowRun run("told-once");
        const fs::path out = run.folder / "out";
        fs::create_directories(out);
        const fs::path front =
            run.FrontEnd("front.mdb", {{"Alpha", kClean}, {"Beta", kClean}, {"Gamma", kClean}});
        run.StoreEntry(front, out.string(), {"Alpha", "Beta", "Gamma"});
        c.fault(run, front, out);
        run.prompt.answers = {ui::vbYes};
        run.window->InitiateReportConversion(true);
        const std::vector<std::string> messages = run.Messages();
        EXPECT_EQ(CountHolding(messages, c.told), c.shown);
        EXPECT_EQ(CountHolding(messages, kContinue), 1u);
        ASSERT_FALSE(messages.empty());
        EXPECT_NE(messages.back().find(c.summary), std::string::npos) << messages.back();
        // The last report met it after it was shown.
        if (c.shown > 0) {
            EXPECT_NE(test::ReadFile(out / "Gamma_ErrorLog.txt").find(c.told), std::string::npos);
        }
    }
}

// Closing the window while a batch runs asks whether to stop after the report in hand: Yes
// stops there, the summary counts the reports left, and the window closes; No goes on.
TEST(MainWindowRequest, ClosingDuringABatchAsksToStopAfterTheCurrentReport) {
    for (const int answer : {ui::vbYes, ui::vbNo}) {
        SCOPED_TRACE(answer);
        test::MainWindowRun run("close-batch");
        const fs::path out = run.folder / "out";
        fs::create_directories(out);
        run.StoreEntry(run.FrontEnd("front.mdb", {{"Alpha", kClean}, {"Beta", kClean}, {"Gamma", kClean}}),
                       out.string(), {"Alpha", "Beta", "Gamma"});
        run.window->show();
        QAbstractItemModel* lines = run.window->ReportResults()->model();
        QObject::connect(lines, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int) {
            if (lines->index(first, 0).data().toString() == QStringLiteral("Conversion Started for Beta"))
                run.window->close();
        });
        run.prompt.answers = {answer};
        run.window->InitiateReportConversion(true);

        ASSERT_FALSE(run.prompt.messages.empty());
        EXPECT_EQ(run.prompt.messages[0].prompt, Startup::kStopQuestion);
        EXPECT_EQ(run.prompt.messages[0].buttons, ui::vbYesNo | ui::vbQuestion);
        EXPECT_TRUE(fs::exists(out / "Beta.rpt"));
        EXPECT_EQ(fs::exists(out / "Gamma.rpt"), answer == ui::vbNo);
        EXPECT_EQ(run.window->isVisible(), answer == ui::vbNo);
        const std::vector<std::string> messages = run.Messages();
        const std::vector<std::string> after(messages.begin() + 1, messages.end());
        const std::vector<std::string> summary = {
            "2 reports processed.\r\nConverted: 2\r\nConverted with problems: 0\r\nFailed: 0\r\nLeft "
            "unconverted: 1"};
        EXPECT_EQ(after, answer == ui::vbYes ? summary : std::vector<std::string>{});
    }
}

// A message line of any length shows as one line, cut after ResultsList::kMaxChars
// characters.
TEST(MainWindowRequest, AResultLineShowsAsOneLineCutWhenLong) {
    test::MainWindowRun run("result-lines");
    const QString cut = QString(ResultsList::kMaxChars, QLatin1Char('x')) + QChar(0x2026);
    const std::pair<std::string, QString> cases[] = {
        {"Conversion Started for Alpha", QStringLiteral("Conversion Started for Alpha")},
        {"Two\r\nlines", QStringLiteral("Two  lines")},
        {std::string(ResultsList::kMaxChars, 'x'), QString(ResultsList::kMaxChars, QLatin1Char('x'))},
        {std::string(10'000'000, 'x'), cut},
    };
    for (const auto& [line, shown] : cases) {
        run.window->AddResult(line);
        QListWidget* list = run.window->ReportResults();
        EXPECT_EQ(list->item(list->count() - 1)->text(), shown) << line.substr(0, 40);
    }
}

}  // namespace
