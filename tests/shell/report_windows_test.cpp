// The report windows: the error-log viewer, the control-layout editor and the report viewer,
// each over the store of a temporary program folder, shown through a modal runner that never
// blocks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <filesystem>
#include <map>

#include "platform/designer/report.h"
#include "shell/main_window/environment.h"
#include "shell/qt/data_grid.h"
#include "shell/report_windows/change_report.h"
#include "shell/report_windows/qt_report_windows.h"
#include "shell/report_windows/report_viewer_control.h"
#include "shell/report_windows/show_errors.h"
#include "shell/report_windows/view_report.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"
#include "store/context.h"
#include "store/internal_store.h"
#include "support/recording.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace {

class NoKeys : public SoftwareKeys {
  public:
    std::map<std::string, std::string> paths;  // key -> "Path"
    vb::Variant Query(const std::string& key, const std::string&) override {
        auto it = paths.find(key);
        return it == paths.end() ? vb::Variant() : vb::Variant(it->second);
    }
};

class ScriptedSaveFile : public ui::SaveFileDialog {
  public:
    std::string answer;  // empty: cancelled
    std::vector<std::string> titles;
    std::string AskSaveFileName(const std::string& title, const std::string&, const std::string&,
                                const std::string&) override {
        titles.push_back(title);
        return answer;
    }
};

class RecordingHelp : public ui::HelpService {
  public:
    std::vector<long> topics;
    void ShowTopic(const std::string&, long contextId) override { topics.push_back(contextId); }
};

// A program folder with its store open, the toolbar builder and the windows' services; every
// window shown modally is handed to onModal instead.
struct WindowRun {
    fs::path folder = test::ProgramFolder("reportwin");
    ui::RecordingPrompt prompt;
    ui::RecordingLauncher launcher;
    RecordingHelp help;
    NoKeys keys;
    ScriptedSaveFile saveFile;
    AppContext ctx;
    clsToolBar toolbars{prompt};
    Environment env{keys, launcher, prompt, folder.string()};
    ReportWindowServices services;
    std::function<void(QDialog&)> onModal;
    std::vector<std::string> shown;

    WindowRun() {
        ctx.programFolder = folder.string();
        ctx.prompt = &prompt;
        ctx.help = &help;
        CheckAndTransferData(ctx);
        EXPECT_TRUE(openConnection(ctx));
        toolbars.setConn(ctx.gInternalDb);
        keys.paths["SOFTWARE\\Crystal Decisions\\10.0\\Crystal Reports"] = "/opt/cr";
        services.ctx = &ctx;
        services.toolbars = &toolbars;
        services.env = &env;
        services.crystalVersion = [] { return std::string("10.0"); };
        services.saveFile = &saveFile;
        services.runModal = [this](QDialog& d) {
            shown.push_back(d.objectName().toStdString());
            if (onModal) onModal(d);
        };
        Sql("INSERT INTO DatabaseList (DatabaseListId, ReportDatabase) VALUES (1, ?)",
            {"/data/front, \"main\".mdb"});
    }
    ~WindowRun() {
        ctx.gDb.reset();
        ctx.gInternalDb.reset();
        fs::remove_all(folder);
    }
    void Sql(const std::string& sql, const std::vector<vb::Variant>& params = {}) const {
        ctx.gDb->Execute(sql, params);
    }
    long Count(const std::string& sql, const std::vector<vb::Variant>& params = {}) const {
        ado::Recordset rs;
        rs.Open(sql, ctx.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly, params);
        return static_cast<long>(rs.Fields(0).Value().ToLong());
    }
    void LogRow(long reportId, const vb::Variant& severity, const std::string& name,
                const std::string& desc) const {
        Sql("INSERT INTO ErrorLog (ReportId, DatabaseListId, ReportName, ErrorSeverityLevel, ErrorDesc, "
            "ErrorOccuredInFunction, SubReportOf) VALUES (?, 1, ?, ?, ?, 'Convert', NULL)",
            {reportId, name, severity, desc});
    }
};

int ItemOf(QtToolBar* bar, long id) {
    for (int i = 1; i <= bar->ItemCount(); ++i)
        if (bar->ItemCtrlID(i) == id) return i;
    ADD_FAILURE() << "no toolbar item " << id;
    return 0;
}

std::vector<std::string> Column(const DatasetModel& ds, const std::string& field) {
    std::vector<std::string> out;
    for (int r = 0; r < ds.RowCount(); ++r) out.push_back(vb::NZ(ds.Value(r, field), "").ToString());
    return out;
}

// Records and fields of CSV text as RFC 4180 defines them.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else
                quoted = false;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row.push_back(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !row.empty()) rows.push_back(row);
    return rows;
}

TEST(ErrorLogViewer, ShowsTheReportsRowsBySeverityAndAnEmptyGridForAReportWithout) {
    WindowRun run;
    run.LogRow(7, 5, "Orders", "Step");
    run.LogRow(7, 1, "Orders", "Trapped");
    run.LogRow(8, 1, "Other", "Not this report");
    // A formula problem's row: the formula's name, no level, no function.
    run.Sql(
        "INSERT INTO ErrorLog (ReportId, DatabaseListId, ReportName, FormulaName, ErrorDesc) "
        "VALUES (7, 1, 'Orders', 'Total', 'Not converted')");
    run.LogRow(7, 2, "Orders", "Problem");
    for (long reportId : {7L, 9L}) {
        ShowErrors window(run.services);
        window.setDb(run.ctx.gDb);
        window.ReportId = reportId;
        window.Form_Load();
        EXPECT_EQ(window.windowTitle().toStdString(), "Show Report Errors");
        const DatasetModel& ds = window.dxGrid()->Dataset();
        std::vector<std::string> captions;
        for (const GridColumn& c : ds.Columns()) captions.push_back(c.caption);
        EXPECT_EQ(captions, (std::vector<std::string>{"Database", "Severity", "Report", "Occured in Function",
                                                      "Error Description", "Sub Report Of"}));
        if (reportId == 9) {
            EXPECT_EQ(ds.RowCount(), 0);
            continue;
        }
        EXPECT_EQ(Column(ds, "ErrorDesc"),
                  (std::vector<std::string>{"Trapped", "Not converted", "Problem", "Step"}));
        EXPECT_EQ(
            Column(ds, "ErrorSeverityDesc"),
            (std::vector<std::string>{"Error", "Conversion problem", "Conversion problem", "Information"}));
        EXPECT_EQ(Column(ds, "ErrorOccuredInFunction"),
                  (std::vector<std::string>{"Convert", "Formula Total", "Convert", "Convert"}));
        EXPECT_EQ(ds.Text(0, 0), "/data/front, \"main\".mdb");
        EXPECT_EQ(window.db(), run.ctx.gDb);
    }
    EXPECT_TRUE(run.prompt.messages.empty());
}

TEST(ErrorLogViewer, ClearRemovesEveryRowOfTheReportAndNoOtherAndAFailureIsLogged) {
    WindowRun run;
    run.LogRow(7, 5, "Orders", "Step");
    run.LogRow(7, vb::Variant::null(), "Orders", "Formula row");
    run.LogRow(7, 1, "Orders", "Trapped");
    run.LogRow(8, 5, "Other", "Kept");
    ShowErrors window(run.services);
    window.setDb(run.ctx.gDb);
    window.ReportId = 7;
    window.Form_Load();
    ASSERT_EQ(window.dxGrid()->Dataset().RowCount(), 3);
    window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 251));
    EXPECT_EQ(run.Count("SELECT COUNT(*) FROM ErrorLog WHERE ReportId = 7"), 0);
    EXPECT_EQ(run.Count("SELECT COUNT(*) FROM ErrorLog WHERE ReportId = 8"), 1);
    EXPECT_EQ(window.dxGrid()->Dataset().RowCount(), 0);

    // A delete the store refuses: the rows stay, shown as before, and the failure is a row.
    run.LogRow(7, 2, "Orders", "Problem");
    run.Sql("CREATE TRIGGER KeepLog BEFORE DELETE ON ErrorLog BEGIN SELECT RAISE(ABORT, 'locked'); END");
    window.setgrid();
    EXPECT_FALSE(window.ClearErrorLog());
    EXPECT_EQ(window.dxGrid()->Dataset().RowCount(), 1);
    EXPECT_EQ(
        run.Count("SELECT COUNT(*) FROM ErrorLog WHERE ReportName = 'ClearErrorLog' AND FormulaName = 'n/a' "
                  "AND ErrorDesc LIKE '%locked%'"),
        1);
    EXPECT_TRUE(run.prompt.messages.empty());
}

TEST(ErrorLogViewer, SaveAsWritesTheGridAsCsvAndACancelSavesNothing) {
    WindowRun run;
    const std::vector<std::string> names = {"Plain", "Sales, by region", "The \"best\" report",
                                            "Line one\r\nline two", "Récapitulatif des ventes"};
    for (const std::string& n : names) run.LogRow(7, 1, n, n + " failed; see \"log\"");
    ShowErrors window(run.services);
    window.setDb(run.ctx.gDb);
    window.ReportId = 7;
    window.Form_Load();
    const fs::path file = run.folder / "saved.csv";

    run.saveFile.answer.clear();
    window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 253));
    EXPECT_EQ(run.saveFile.titles, (std::vector<std::string>{"Save As"}));
    EXPECT_FALSE(fs::exists(file));

    run.saveFile.answer = file.string();
    window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 253));
    const auto rows = ParseCsv(test::ReadFile(file));
    const DatasetModel& ds = window.dxGrid()->Dataset();
    ASSERT_EQ(rows.size(), names.size() + 1);
    for (size_t c = 0; c < ds.Columns().size(); ++c) EXPECT_EQ(rows[0][c], ds.Columns()[c].caption);
    for (int r = 0; r < ds.RowCount(); ++r) {
        ASSERT_EQ(rows[static_cast<size_t>(r) + 1].size(), ds.Columns().size());
        for (int c = 0; c < static_cast<int>(ds.Columns().size()); ++c)
            EXPECT_EQ(rows[static_cast<size_t>(r) + 1][static_cast<size_t>(c)], ds.Text(r, c))
                << r << "," << c;
    }
    EXPECT_EQ(Column(ds, "ReportName"), names);

    // A file that cannot be written: a message, and the window goes on.
    run.saveFile.answer = (run.folder / "no such folder" / "saved.csv").string();
    window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 253));
    ASSERT_EQ(run.prompt.messages.size(), 1u);
    EXPECT_EQ(run.prompt.messages[0].title, "Save As");

    // Copy: the same rows, tab-separated, for a paste into a spreadsheet.
    window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 252));
    EXPECT_EQ(QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0).toStdString(),
              "Database\tSeverity\tReport\tOccured in Function\tError Description\tSub Report Of\r");
}

TEST(ReportViewer, ErrorLogItemOpensTheViewerOnAConnectionOfItsOwn) {
    for (bool runConnectionOpen : {true, false}) {
        WindowRun run;
        run.LogRow(7, 2, "Orders", "Problem");
        if (!runConnectionOpen) run.ctx.gDb.reset();
        ViewReport viewer(run.services);
        viewer.ReportId = 7;
        viewer.Form_Load();
        int rows = -1;
        bool ownConnection = false;
        run.onModal = [&](QDialog& d) {
            auto* errors = qobject_cast<ShowErrors*>(&d);
            ASSERT_NE(errors, nullptr);
            rows = errors->dxGrid()->Dataset().RowCount();
            ownConnection =
                errors->db() && errors->db() != run.ctx.gDb && errors->db()->State() == ado::adStateOpen;
        };
        viewer.EToolBar_ItemClick(3);
        EXPECT_EQ(run.shown, (std::vector<std::string>{"ShowErrors"}));
        EXPECT_EQ(rows, 1) << runConnectionOpen;
        EXPECT_TRUE(ownConnection);
        EXPECT_TRUE(run.prompt.messages.empty());
    }
}

TEST(ReportViewer, OpensTheFileWithOrWithoutATrailingSeparatorAndHandsItToTheDesigner) {
    WindowRun run;
    const fs::path dir = run.folder / "Reports";
    fs::create_directories(dir);
    designer::Report().SaveAs((dir / "Orders.rpt").string());
    for (const std::string& path : {dir.string(), dir.string() + "/", dir.string() + "\\"}) {
        ViewReport viewer(run.services);
        viewer.ReportName = "Orders.rpt";
        viewer.Reportpath = path;
        viewer.Form_Load();
        viewer.ShowReport();
        EXPECT_EQ(viewer.windowTitle().toStdString(), "View Report");
        EXPECT_NE(viewer.CRViewer()->ReportSource(), nullptr) << path;
        EXPECT_EQ(viewer.CRViewer()->EmptyReason(), "") << path;
        viewer.EToolBar_ItemClick(2);
        ASSERT_FALSE(run.launcher.calls.empty());
        EXPECT_EQ(run.launcher.calls.back().file, "/opt/cr/crw32.exe");
        EXPECT_EQ(run.launcher.calls.back().arguments,
                  std::vector<std::string>{(dir / "Orders.rpt").string()})
            << path;
    }
    ViewReport viewer(run.services);
    viewer.ShowHelp();
    EXPECT_EQ(run.help.topics, (std::vector<long>{7}));
    viewer.show();
    viewer.EToolBar_ItemClick(1);
    EXPECT_FALSE(viewer.isVisible());
}

// Closing the window while pages are being laid out stops the layout; what was laid out stays.
TEST(ReportViewer, ClosingTheWindowStopsTheLayout) {
    WindowRun run;
    designer::Report report;
    designer::Section& detail = report.Areas().Item("D").Sections().Item(1);
    detail.AddTextObject("one page", 0, 0);
    detail.NewPageAfter = true;
    detail.Height = 300;
    designer::Section& footer = report.Areas().Item("RF").Sections().Item(1);
    footer.AddTextObject("second page", 0, 0);
    footer.NewPageBefore = true;
    report.SaveAs((run.folder / "Two.rpt").string());
    ViewReport viewer(run.services);
    viewer.ReportName = "Two.rpt";
    viewer.Reportpath = run.folder.string();
    viewer.Form_Load();
    viewer.ShowReport();
    viewer.show();
    ASSERT_TRUE(viewer.CRViewer()->LayingOut());
    viewer.close();
    EXPECT_FALSE(viewer.CRViewer()->LayingOut());
    QCoreApplication::processEvents();
    EXPECT_EQ(viewer.CRViewer()->PageCount(), 1);
    EXPECT_EQ(viewer.CRViewer()->PageText().toStdString(), "Page 1 of ?");
}

TEST(ReportViewer, AMissingOrUnreadableFileLeavesTheViewerEmptySayingWhy) {
    WindowRun run;
    test::WriteFile(run.folder / "Broken.rpt", "not a report");
    // Names that are no report file: each is named, none is read (a FIFO would wait for a
    // writer without end), and a file above the run's limit is not read either.
    fs::create_directory(run.folder / "Folder.rpt");
    ASSERT_EQ(mkfifo((run.folder / "Pipe.rpt").c_str(), 0600), 0);
    run.ctx.maxReportFileMb = 1;
    test::WriteFile(run.folder / "Large.rpt", std::string(1024 * 1024 + 1, ' '));
    struct Case {
        std::string name, reasonPart;
    };
    for (const Case& c : {Case{"Missing.rpt", "does not exist"}, Case{"Broken.rpt", "Broken.rpt"},
                          Case{"Folder.rpt", "it is a directory, not a file"},
                          Case{"Pipe.rpt", "it is a FIFO (named pipe), not a file"},
                          Case{"Large.rpt", "it holds 2 MB, more than the 1 MB allowed"}}) {
        ViewReport viewer(run.services);
        viewer.ReportName = c.name;
        viewer.Reportpath = run.folder.string();
        viewer.Form_Load();
        viewer.ShowReport();
        EXPECT_EQ(viewer.CRViewer()->ReportSource(), nullptr);
        const std::string reason = viewer.CRViewer()->EmptyReason();
        EXPECT_NE(reason.find((run.folder / c.name).string()), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
    }
    EXPECT_TRUE(run.prompt.messages.empty());
}

struct LayoutRun : WindowRun {
    LayoutRun() {
        Sql("INSERT INTO Report (ReportId, DatabaseListId, ReportName) VALUES (7, 1, 'Orders')");
        const char* insert =
            "INSERT INTO Controls (ControlId, ReportId, SectionNo, ControlName, TopPos, LeftPos, Caption) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)";
        Sql(insert, {1, 7, 0, "txtName", 900, 100, "<txtName>"});
        Sql(insert, {2, 7, 3, "lblTitle", 80, 200, "Orders"});
        Sql(insert, {3, 7, 0, "txtTotal", 1000, 300, "<txtTotal>"});
        Sql(insert, {4, 0, 0, "subControl", 10, 10, "<subControl>"});
    }
    std::string Field(long controlId, const std::string& field) const {
        ado::Recordset rs;
        rs.Open("SELECT * FROM Controls WHERE ControlId = ?", ctx.gDb, ado::adOpenForwardOnly,
                ado::adLockReadOnly, {controlId});
        return vb::NZ(rs[field], "").ToString();
    }
};

TEST(LayoutEditor, OpenArgsGivesTheReportIdAndANonNumberGivesZero) {
    LayoutRun run;
    struct Case {
        std::string openArgs;
        long reportId;
        std::vector<std::string> controls;
    };
    const Case cases[] = {{"", 0, {"subControl"}},
                          {"Orders", 0, {"subControl"}},
                          {"1e300", 0, {"subControl"}},
                          {"7", 7, {"txtName", "lblTitle", "txtTotal"}},
                          {"6.6", 7, {"txtName", "lblTitle", "txtTotal"}}};
    for (const Case& c : cases) {
        ChangeReport window(run.services);
        window.setDb(run.ctx.gDb);
        window.OpenArgs = c.openArgs;
        window.Form_Load();
        EXPECT_EQ(window.windowTitle().toStdString(), "Change Report");
        EXPECT_EQ(window.ReportId(), c.reportId) << c.openArgs;
        EXPECT_EQ(window.Report().ReportName, c.reportId ? "Orders" : "") << c.openArgs;
        const DatasetModel& ds = window.dxGrid()->Dataset();
        EXPECT_EQ(ds.Columns().size(), 11u);
        EXPECT_EQ(Column(ds, "ControlName"), c.controls) << c.openArgs;
        EXPECT_EQ(ds.Text(c.reportId ? 1 : 0, 0), c.reportId ? "3" : "0");  // the section number
        // Saving a window without a report adds no empty Report row.
        window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 236));
        EXPECT_EQ(run.Count("SELECT COUNT(*) FROM Report"), 1);
    }
    EXPECT_TRUE(run.prompt.messages.empty());
}

TEST(LayoutEditor, EditsAreStoredByControlIdAndCancelPutsTheRowsBack) {
    LayoutRun run;
    auto open = [&](ChangeReport& window) {
        window.setDb(run.ctx.gDb);
        window.OpenArgs = "7";
        window.Form_Load();
    };
    auto column = [](const DatasetModel& ds, const std::string& caption) {
        for (size_t c = 0; c < ds.Columns().size(); ++c)
            if (ds.Columns()[c].caption == caption) return static_cast<int>(c);
        return -1;
    };
    {
        ChangeReport window(run.services);
        open(window);
        DatasetModel& ds = window.dxGrid()->Dataset();
        // Numbers sort as numbers; an edit after a sort still reaches its own row.
        ds.sort(column(ds, "Top Pos"), Qt::AscendingOrder);
        EXPECT_EQ(Column(ds, "ControlName"), (std::vector<std::string>{"lblTitle", "txtName", "txtTotal"}));
        EXPECT_TRUE(ds.setData(ds.index(1, column(ds, "Left Pos")), "1440"));
        EXPECT_TRUE(ds.setData(ds.index(1, column(ds, "Caption")), "Name, \"full\""));
        EXPECT_EQ(run.Field(1, "LeftPos"), "1440");
        EXPECT_EQ(run.Field(1, "Caption"), "Name, \"full\"");
        EXPECT_EQ(run.Field(2, "LeftPos"), "200");
        // Text in a number column is refused with a message and stores nothing.
        EXPECT_FALSE(ds.setData(ds.index(2, column(ds, "Height")), "tall"));
        EXPECT_EQ(run.prompt.messages.size(), 1u);
        EXPECT_EQ(run.Field(3, "Height"), "0");
        window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 237));
    }
    EXPECT_EQ(run.Field(1, "LeftPos"), "100");
    EXPECT_EQ(run.Field(1, "Caption"), "<txtName>");
    {
        ChangeReport window(run.services);
        open(window);
        DatasetModel& ds = window.dxGrid()->Dataset();
        EXPECT_TRUE(ds.setData(ds.index(2, column(ds, "Crystal Name")), "Text7"));
        window.EToolBar_ItemClick(ItemOf(window.EToolBar(), 236));
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    EXPECT_EQ(run.Field(3, "CrystalControlName"), "Text7");
    EXPECT_EQ(run.Count("SELECT COUNT(*) FROM Report"), 1);

    // A cell still being typed in: Save stores it, Cancel drops it.
    for (long toolbarId : {237L, 236L}) {
        ChangeReport window(run.services);
        open(window);
        window.show();
        QApplication::setActiveWindow(&window);
        DataGrid* grid = window.dxGrid();
        grid->edit(grid->Dataset().index(0, column(grid->Dataset(), "Width")));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        QApplication::processEvents();
        editor->setText(toolbarId == 236 ? "720" : "999");
        window.EToolBar_ItemClick(ItemOf(window.EToolBar(), toolbarId));
        QApplication::processEvents();
        EXPECT_EQ(run.Field(1, "Width"), toolbarId == 236 ? "720" : "0");
    }
}

TEST(ReportWindowsOfTheRun, EachCommandLoadsItsWindowAndShowsItModally) {
    LayoutRun run;
    run.LogRow(7, 1, "Orders", "Trapped");
    QtReportWindows windows(run.services);
    std::vector<int> rows;
    run.onModal = [&](QDialog& d) {
        if (auto* e = qobject_cast<ShowErrors*>(&d)) {
            EXPECT_EQ(e->db(), run.ctx.gDb);
            rows.push_back(e->dxGrid()->Dataset().RowCount());
        }
        if (auto* c = qobject_cast<ChangeReport*>(&d)) rows.push_back(c->dxGrid()->Dataset().RowCount());
        if (auto* v = qobject_cast<ViewReport*>(&d))
            rows.push_back(v->CRViewer()->EmptyReason().empty() ? 1 : 0);
    };
    windows.ShowModal(7);
    windows.ChangeReport("7");
    windows.ViewReport(7, "Orders.rpt", run.folder.string());
    EXPECT_EQ(run.shown, (std::vector<std::string>{"ShowErrors", "ChangeReport", "ViewReport"}));
    EXPECT_EQ(rows, (std::vector<int>{1, 3, 0}));
}

}  // namespace
