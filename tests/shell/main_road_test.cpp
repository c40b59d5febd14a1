// The program's main road on real files: a source database registered, its reports scanned and
// all of them converted through the main window, then converted again.
#include "support/main_road.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "conversion_support.h"
#include "platform/designer/designer.h"
#include "shell/qt/data_grid.h"
#include "shell_test_support.h"
#include "sources/links_manager.h"
#include "store/support.h"
#include "support/corpus.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

// Per report of the entry: its ErrorLog and Controls rows.
std::map<std::string, std::pair<long, long>> RowCounts(test::MainWindowRun& run,
                                                       const std::vector<std::string>& names) {
    std::map<std::string, std::pair<long, long>> out;
    for (const std::string& name : names) {
        const long id = run.ReportId(name);
        out[name] = {run.Rows("ErrorLog", id), run.Rows("Controls", id)};
    }
    return out;
}

std::vector<std::string> GridReports(test::MainWindowRun& run) {
    std::vector<std::string> out;
    DatasetModel& rows = run.window->dxReports()->Dataset();
    for (int row = 0; row < rows.RowCount(); ++row) out.push_back(rows.Value(row, "ReportName").ToString());
    return out;
}

bool HasStep(test::MainWindowRun& run, long reportId, const std::string& text) {
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) AS n FROM ErrorLog WHERE ReportId = ? AND ErrorDesc = ?", run.ctx.gDb,
            ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(reportId), text});
    const bool found = rs["n"].ToLong() > 0;
    rs.Close();
    return found;
}

// The French Northwind's yearly sales (groups, formulas and a subreport), its subreport, and
// three grouped reports, over tables that stand in for the queries they are bound to.
TEST(MainRoad, StandInFrontEndConvertsAllAndReplacesItsRowsTheSecondTime) {
    SKIP_WITHOUT_CORPUS();
    test::MainWindowRun run("road");
    const fs::path front = main_road::NwindFrontEnd(run.folder, corpus::Dir());
    const std::vector<std::string>& reports = main_road::NwindReports();
    const fs::path out = run.folder / "Rapports";
    fs::create_directories(out);

    const long entry = run.RegisterEntry(front, out.string());
    ASSERT_GT(entry, 0);
    ASSERT_EQ(GridReports(run), reports);
    ASSERT_EQ(run.window->gLinks().Items().Count(), 1);

    // Every report converts cleanly: the batch ends quietly.
    run.window->InitiateReportConversion(true);
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    std::vector<std::string> listed = run.ConvertedList();
    for (const std::string& name : reports) {
        SCOPED_TRACE(name);
        const long id = run.ReportId(name);
        const std::string safe = MakeSafeName(name);
        EXPECT_TRUE(fs::exists(out / (safe + ".rpt")));
        EXPECT_NE(std::find(listed.begin(), listed.end(), safe + ".rpt"), listed.end());
        EXPECT_EQ(run.Problems(id), std::vector<std::string>{});
        EXPECT_TRUE(HasStep(run, id, "1. Start Conversion process"));
        EXPECT_TRUE(HasStep(run, id, "Conversion Complete"));
        EXPECT_GT(run.Rows("Controls", id), 0);
        const std::string log = test::ReadFile(out / (safe + "_ErrorLog.txt"));
        EXPECT_NE(log.find("1. Start Conversion process"), std::string::npos);
        EXPECT_NE(log.find("Conversion Complete"), std::string::npos);
    }
    // The yearly sales report holds its groups, formulas and the subreport it embeds.
    auto yearly =
        designer::ReadReportFile((out / "Ventes annuelles.rpt").string(), designer::AdoFieldReader());
    EXPECT_GT(yearly->FormulaFields().Count(), 0);
    EXPECT_GT(yearly->GroupCount(), 0);
    int subreports = 0;
    for (designer::Section* s : yearly->Sections().List())
        for (const auto& o : s->ReportObjects())
            subreports += dynamic_cast<const designer::SubreportObject*>(o.get()) != nullptr;
    EXPECT_EQ(subreports, 1);

    const auto first = RowCounts(run, reports);
    run.prompt.messages.clear();
    run.window->InitiateReportConversion(true);
    EXPECT_TRUE(run.Messages().empty()) << run.Messages()[0];
    EXPECT_EQ(RowCounts(run, reports), first);
    EXPECT_EQ(run.ConvertedList(), listed);

    // The program ends: the lists file alone holds everything, as a user would copy it.
    const fs::path lists = run.folder / "TOLVARAN.ADL";
    EXPECT_TRUE(fs::exists(lists.string() + "-wal"));
    run.window->Form_Terminate();
    run.window.reset();
    run.ctx.gDb.reset();
    run.ctx.gInternalDb.reset();
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        EXPECT_FALSE(fs::exists(lists.string() + suffix)) << suffix;
}

// The NCPN invasive-species front end: a real Access file whose tables live in a back end that
// is not here, with the exports of its nine reports beside it.
TEST(MainRoad, RealAccessFileRegistersScansAndConvertsAllNine) {
    SKIP_WITHOUT_CORPUS();
    test::MainWindowRun run("road-accdb");
    const std::string zip = corpus::Path("db/NCPN__invasives_rpts__Invasives_Reports.zip").string();
    const std::string unzip = "unzip -q -o '" + zip + "' -d '" + run.folder.string() + "'";
    ASSERT_EQ(std::system(unzip.c_str()), 0) << unzip;
    const fs::path front = run.folder / "Invasives_Reports.accdb";
    ASSERT_TRUE(fs::exists(front));
    const fs::path exports = front.string() + ".src/reports";
    fs::create_directories(exports);
    const std::string prefix = "NCPN__invasives_rpts__";
    std::vector<std::string> reports;
    for (const auto& e : fs::directory_iterator(corpus::Path("reports"))) {
        const std::string file = e.path().filename().string();
        if (file.rfind(prefix, 0) != 0) continue;
        fs::copy_file(e.path(), exports / file.substr(prefix.size()));
        reports.push_back(e.path().stem().string().substr(prefix.size()));
    }
    // Listed by name without regard to case, as the reports grid orders them.
    std::sort(reports.begin(), reports.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
    });
    ASSERT_EQ(reports.size(), 9u);
    const fs::path out = run.folder / "converted";
    fs::create_directories(out);

    const long entry = run.RegisterEntry(front, out.string());
    ASSERT_GT(entry, 0);
    EXPECT_EQ(GridReports(run), reports);
    // The scan finds the file's own tables and the two Access files its tables are linked
    // from, which are not on this machine.
    std::vector<std::string> links;
    for (const auto& link : run.window->gLinks().Items())
        links.push_back(std::to_string(link->LinkType) + " " + GetFileName(link->LinkDatabase));
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (std::vector<std::string>{"0 Invasives_Reports.accdb", "2 Invasives_be_Master.accdb",
                                               "2 NCPN_Master_Species.accdb"}));
    EXPECT_EQ(run.window->StatusPanel(2), "9 reports");

    std::vector<std::string> missing;  // the two link lines each report's log holds
    for (const auto& link : run.window->gLinks().Items())
        if (link->LinkType == kLinkAccess)
            missing.push_back("Link " + link->Name + " (" + link->LinkDatabase +
                              ") could not be opened; passed over");

    run.window->InitiateReportConversion(true);
    // Each report tries the two back ends and logs it; the user is told once per back end.
    // Formulas the designer refuses are logged as errors, so the question comes once, and
    // its default answer goes on.
    int openFailures = 0, questions = 0;
    for (const auto& m : run.prompt.messages) {
        openFailures += m.title == "clsLink.OpenConnection";
        questions += m.prompt == "The previous report had errors, continue processing anyway?";
    }
    EXPECT_EQ(openFailures, 2);
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(run.prompt.messages.size(), 2u + 2u);
    EXPECT_EQ(run.prompt.messages.back().prompt.rfind("9 reports processed.\r\n", 0), 0u);
    std::vector<std::string> problems;
    for (const std::string& name : reports) {
        SCOPED_TRACE(name);
        const long id = run.ReportId(name);
        for (const std::string& line : missing) EXPECT_TRUE(HasStep(run, id, line)) << line;
        EXPECT_TRUE(HasStep(run, id, "1. Start Conversion process"));
        EXPECT_TRUE(HasStep(run, id, "Conversion Complete"));
        EXPECT_TRUE(fs::exists(out / (name + ".rpt")));
        EXPECT_TRUE(fs::exists(out / (name + "_ErrorLog.txt")));
        for (const std::string& p : run.Problems(id)) problems.push_back(name + " " + p);
    }
    // Each problem is logged under its own report.
    EXPECT_NE(
        std::find(problems.begin(), problems.end(),
                  "rpt_Infestation AddDetails: Cannot deal with Control Type=106 for control named 'Pulled'"),
        problems.end());
    EXPECT_NE(std::find_if(problems.begin(), problems.end(),
                           [](const std::string& p) {
                               return p.rfind("rpt_Tgt_Species_List_Park_Summary tbxPark: ", 0) == 0;
                           }),
              problems.end());
    EXPECT_EQ(run.ConvertedList().size(), 9u);
}

}  // namespace
