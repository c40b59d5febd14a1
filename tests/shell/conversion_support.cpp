#include "conversion_support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QLineEdit>
#include <QListWidget>

#include "shell/qt/data_grid.h"
#include "shell/source_database/select_database.h"
#include "shell/toolbar/qt_toolbar.h"
#include "shell_test_support.h"

namespace fs = std::filesystem;
using namespace tolvaran;

namespace test {
namespace {

// The export file name of a report: the characters a file name cannot hold escaped as the
// version-control export tools write them.
std::string ExportFileName(const std::string& report) {
    std::string out;
    for (char c : report) {
        if (c == '%')
            out += "%25";
        else if (c == '/')
            out += "%2F";
        else if (c == '\\')
            out += "%5C";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string OrdersReport(const std::vector<std::string>& controlSources) {
    std::string text =
        "Version =20\r\nVersionRequired =20\r\nBegin Report\r\n    RecordSource =\"Orders\"\r\n"
        "    Width =9000\r\n    Begin\r\n        Begin Section\r\n            Name =\"Detail\"\r\n"
        "            Height =600\r\n            Begin\r\n";
    int n = 0;
    for (const std::string& source : controlSources) {
        std::string quoted;
        for (char c : source) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        const int left = 100 + 1600 * n++;
        text += "                Begin TextBox\r\n                    Name =\"Text" + std::to_string(n) +
                "\"\r\n                    ControlSource =\"" + quoted +
                "\"\r\n                    Left =" + std::to_string(left) +
                "\r\n                    Top =50\r\n                    Width =1500\r\n"
                "                    Height =300\r\n                End\r\n";
    }
    text += "            End\r\n        End\r\n    End\r\nEnd\r\n";
    return text;
}

MainWindowRun::MainWindowRun(const std::string& tag, ReportWindows* reportWindows)
    : folder(ProgramFolder(tag)) {
    dialogs = std::make_unique<SelectDatabaseDialogs>(files, files, launcher, sqldmo);
    dialogs->setRunner([this](SelectDatabase& dialog) {
        dialog.findChild<QLineEdit*>("ConvertedReportsPath")->setText(QString::fromStdString(typedFolder));
        QtToolBar* bar = dialog.EToolBar();
        for (int i = 1; i <= bar->ItemCount(); ++i)
            if (bar->ItemCtrlID(i) == 236) return dialog.EToolBar_ItemClick(i);  // Save
    });
    registry = std::make_unique<registry::RegistryFile>((folder / "registry.reg").string());
    ctx.programFolder = folder.string();
    ctx.prompt = &prompt;
    ctx.registry = registry.get();
    StartupServices s;
    s.ctx = &ctx;
    s.launcher = &launcher;
    s.accessFactory = [] { return std::make_unique<access::Application>(); };
    s.endProgram = [] {};
    s.reportWindows = reportWindows ? reportWindows : &windows;
    s.selectDatabase = dialogs.get();
    window = std::make_unique<Startup>(std::move(s));
    window->Form_Load();
}

MainWindowRun::~MainWindowRun() {
    if (window) window->Form_Terminate();
    window.reset();
    ctx.gDb.reset();
    ctx.gInternalDb.reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
}

fs::path MainWindowRun::FrontEnd(const std::string& file, const std::map<std::string, std::string>& reports) {
    const fs::path path = folder / file;
    sqlite3* db = nullptr;
    sqlite3_open(path.string().c_str(), &db);
    sqlite3_exec(
        db,
        "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer TEXT, Amount REAL, OrderDate DATETIME);"
        "INSERT INTO Orders (Customer, Amount, OrderDate) VALUES ('Alfreds', 12.5, '2004-01-02 00:00:00'),"
        " ('Bólido', 7, '2004-02-03 00:00:00'), ('O''Brien', 3.25, '2004-03-04 00:00:00');",
        nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const fs::path exports = folder / (file + ".src") / "reports";
    fs::create_directories(exports);
    for (const auto& [name, text] : reports) WriteFile(exports / (ExportFileName(name) + ".bas"), text);
    return path;
}

long MainWindowRun::StoreEntry(const fs::path& frontEnd, const std::string& convertedFolder,
                               const std::vector<std::string>& reports) {
    const ado::ConnectionPtr& db = ctx.gDb;
    db->Execute(
        "INSERT INTO DatabaseList (ReportDatabase, SourceTablesDatabase, ConvertedReportsPath) VALUES (?, ?, "
        "?)",
        {frontEnd.string(), frontEnd.string(), convertedFolder});
    ado::Recordset rs;
    rs.Open("SELECT MAX(DatabaseListId) AS id FROM DatabaseList", db);
    const long id = static_cast<long>(rs["id"].ToLong());
    rs.Close();
    db->Execute(
        "INSERT INTO DatabaseConnections (DatabaseListId, LinkName, LinkDatabase, BackEndType, Provider) "
        "VALUES (?, 'INTERNAL', ?, 0, 'Microsoft.Jet.OLEDB.4.0')",
        {vb::Variant(id), frontEnd.string()});
    for (const std::string& name : reports)
        db->Execute("INSERT INTO Report (DatabaseListId, ReportName, ReportPath) VALUES (?, ?, ?)",
                    {vb::Variant(id), name, frontEnd.string()});
    window->RefreshDatabaseList();
    DataGrid* grid = window->dxDatabases();
    for (int row = 0; row < grid->Dataset().RowCount(); ++row)
        if (grid->Dataset().Value(row, "DatabaseListId").ToLong() == id) grid->SetCurrentRow(row);
    return id;
}

long MainWindowRun::RegisterEntry(const fs::path& frontEnd, const std::string& convertedFolder) {
    files.Choose(frontEnd.string());
    typedFolder = convertedFolder;
    QtToolBar* bar = window->EToolBar();
    for (int i = 1; i <= bar->ItemCount(); ++i)
        if (bar->ItemCtrlID(i) == 239) window->EToolBar_ItemClick(i);  // Add
    const vb::Variant id = window->dxDatabases()->CurrentValue("DatabaseListId");
    return id.IsNull() ? 0 : static_cast<long>(id.ToLong());
}

long MainWindowRun::ReportId(const std::string& name) {
    DatasetModel& rows = window->dxReports()->Dataset();
    for (int row = 0; row < rows.RowCount(); ++row)
        if (rows.Value(row, "ReportName").ToString() == name)
            return static_cast<long>(rows.Value(row, "ReportId").ToLong());
    return 0;
}

void MainWindowRun::SelectReports(const std::vector<std::string>& names) {
    DataGrid* grid = window->dxReports();
    grid->clearSelection();
    bool first = true;
    for (int row = 0; row < grid->Dataset().RowCount(); ++row) {
        const std::string name = grid->Dataset().Value(row, "ReportName").ToString();
        if (std::find(names.begin(), names.end(), name) == names.end()) continue;
        if (first) grid->SetCurrentRow(row);
        grid->SetRowSelected(row, true);
        first = false;
    }
}

std::vector<std::string> MainWindowRun::ConvertedList() const {
    std::vector<std::string> out;
    QListWidget* list = window->dxConvertedReports();
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

std::vector<std::string> MainWindowRun::Results() const {
    std::vector<std::string> out;
    QListWidget* list = window->ReportResults();
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

long MainWindowRun::Rows(const std::string& table, long reportId) {
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) AS n FROM " + table + " WHERE ReportId = ?", ctx.gDb, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {vb::Variant(reportId)});
    const long n = static_cast<long>(rs["n"].ToLong());
    rs.Close();
    return n;
}

std::vector<std::string> MainWindowRun::Problems(long reportId) {
    ado::Recordset rs;
    rs.Open(
        "SELECT ErrorOccuredInFunction, ErrorDesc FROM ErrorLog WHERE ReportId = ? AND ErrorSeverityLevel <> "
        "5 "
        "ORDER BY ErrorLogId",
        ctx.gDb, ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(reportId)});
    std::vector<std::string> out;
    for (; !rs.Eof(); rs.MoveNext())
        out.push_back(vb::NZ(rs["ErrorOccuredInFunction"], "").ToString() + ": " +
                      vb::NZ(rs["ErrorDesc"], "").ToString());
    rs.Close();
    return out;
}

std::vector<std::string> MainWindowRun::Messages() const {
    std::vector<std::string> out;
    for (const auto& m : prompt.messages) out.push_back(m.prompt);
    return out;
}

}  // namespace test
