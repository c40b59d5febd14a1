// The lists of the main window: source database entries, the reports of the current entry,
// the converted reports, and the report scan of an entry's Access file.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QScopeGuard>
#include <algorithm>
#include <filesystem>

#include "platform/common/text.h"
#include "shell/main_window/startup.h"
#include "shell/qt/data_grid.h"
#include "shell/qt/qt_text.h"
#include "store/support.h"

namespace fs = std::filesystem;

namespace tolvaran {
namespace {

bool FolderExists(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec);
}

// Where the reports of a front end are looked for, as the end of a message.
std::string LookedIn(const std::string& frontEnd) {
    return " (looked in " + access::ReportExportFolder(frontEnd) + ")";
}

bool HasRptInName(const std::string& name) {
    return FindNoCase(name, ".rpt") != std::string::npos;
}

// Ordinal comparison after upper-casing, the exact text deciding between names that differ
// only in case.
bool FolderOrder(const std::string& a, const std::string& b) {
    const int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

}  // namespace

long Startup::CurrentDatabaseListId(long missing) {
    const vb::Variant v = dxDatabases_->CurrentValue("DatabaseListId");
    return v.IsNull() || v.IsEmpty() ? missing : static_cast<long>(v.ToLong());
}

void Startup::OnDatabaseRowChanged() {
    if (refreshingEntries_) return;
    const long id = CurrentDatabaseListId(-1);
    if (id != -1 && databaseList_.LoadRecord(id)) {
        LoadReports(id);
        LoadConvertedReports(id);
    }
    if (id != shownEntry_) ShowEntry(id);
}

void Startup::ShowEntry(long databaseListId) {
    // The lines in hand belong to the entry before, unless the scan of an entry just added
    // wrote them: they are about this one.
    if (!appendingEntry_) ClearResults();
    SetLblProgress("Status:");
    SetLblField("Field:");
    SetProgressVisible(false);
    const auto version = scannedVersions_.find(databaseListId);
    SetStatusPanel(1, version == scannedVersions_.end() ? std::string() : version->second);
    SetStatusPanel(2, databaseListId == -1 ? std::string()
                                           : std::to_string(dxReports_->Dataset().RowCount()) + " reports");
    shownEntry_ = databaseListId;
}

void Startup::ShowCurrentReportName() {
    if (converting_) return;  // a batch says which report it is on
    const vb::Variant name = dxReports_->CurrentValue("ReportName");
    SetLblReports(name.IsNull() || name.IsEmpty() ? std::string(kNoReportCaption) : name.ToString());
}

void Startup::SetDatabaseList() {
    try {
        DatasetModel& ds = dxDatabases_->Dataset();
        ds.setColumns({{"Database", "ReportDatabase", 280}});
        ds.setKeyField("DatabaseListId");
        ds.setConnection(services_.ctx->gDb);
        ds.setSource("DatabaseList");
        ds.Open();
        dxDatabases_->ApplyColumns();
    } catch (const std::exception& e) {
        ShowError(e, "Set Database List");
        WriteToStartupLog(e.what());
    }
}

void Startup::RefreshDatabaseList() {
    // The entry in hand stays current when it is still listed; the rows the grid passes
    // through meanwhile are not shown.
    const vb::Variant key = dxDatabases_->CurrentValue("DatabaseListId");
    DatasetModel& ds = dxDatabases_->Dataset();
    {
        refreshingEntries_ = true;
        const auto shown = qScopeGuard([this] { refreshingEntries_ = false; });
        ds.Close();
        DoEvents();
        try {
            ds.Open();
        } catch (const std::exception& e) {
            ShowError(e, "Set Database List");
            return;
        }
        for (int row = 0; !key.IsNull() && row < ds.RowCount(); ++row) {
            if (ds.Value(row, "DatabaseListId") == key) {
                dxDatabases_->SetCurrentRow(row);
                break;
            }
        }
    }
    OnDatabaseRowChanged();
}

void Startup::LoadDatabaseList() {
    try {
        if (dxDatabases_->Dataset().IsOpen()) dxDatabases_->Dataset().Close();
        SetDatabaseList();
        RefreshDatabaseList();
    } catch (const std::exception& e) {
        ShowError(e, "Load Database List");
    }
}

void Startup::LoadReports(long databaseListId) {
    try {
        DatasetModel& ds = dxReports_->Dataset();
        ds.setColumns({{"Report", "ReportName", 320}});
        if (ds.IsOpen()) ds.Close();
        ds.setKeyField("ReportId");
        ds.setConnection(services_.ctx->gDb);
        ds.setSource("Report", "DatabaseListId = ?", {vb::Variant(databaseListId)}, "ReportName");
        ds.Open();
        dxReports_->ApplyColumns();
        frmReports_->setTitle(Q(GetAccessReportsCaption(databaseListId)));
    } catch (const std::exception& e) {
        ShowError(e, "Load Database Reports List");
    }
}

std::string Startup::GetAccessReportsCaption(long databaseListId) {
    ado::Recordset rs;
    rs.Open("SELECT COUNT(*) FROM Report WHERE DatabaseListId = ?", services_.ctx->gDb,
            ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(databaseListId)});
    const vb::Variant n = rs.Eof() ? vb::Variant::null() : rs.Fields(0).Value();
    rs.Close();
    return "Access Reports (" + (n.IsNull() ? std::string() : n.ToString()) + ")";
}

void Startup::LoadConvertedReports(long) {
    try {
        // A missing folder lists nothing: never another folder's reports. It is made, or named
        // to the user, when the entry is refreshed or converted (EnsureConvertedReportsFolder).
        const std::string folder = databaseList_.ConvertedReportsPath;
        if (!FolderExists(folder)) {
            dxConvertedReports_->clear();
            return;
        }
        // Listed by name the way the original platform's folders list their files: letters
        // compared as capitals, so "a.rpt" comes before "B.RPT".
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (HasRptInName(name) && !entry.is_directory()) names.push_back(name);
        }
        std::sort(names.begin(), names.end(), FolderOrder);
        // The list as it stands keeps its selection and place (a batch refreshes it after each
        // report, mostly to find the same files).
        bool same = dxConvertedReports_->count() == static_cast<int>(names.size());
        for (int i = 0; same && i < dxConvertedReports_->count(); ++i)
            same = dxConvertedReports_->item(i)->data(kFileNameRole).toByteArray().toStdString() ==
                   names[static_cast<size_t>(i)];
        if (same) return;
        dxConvertedReports_->clear();
        for (const std::string& name : names) {
            // The name shown may not be the name on disk (bytes that are not UTF-8 show as
            // replacement characters): the item keeps the name on disk.
            auto* item = new QListWidgetItem(Q(name), dxConvertedReports_);
            item->setData(kFileNameRole, QByteArray::fromStdString(name));
        }
    } catch (const std::exception& e) {
        ShowError(e, "Load Converted Reports List");
    }
}

bool Startup::EnsureConvertedReportsFolder() {
    const std::string& folder = databaseList_.ConvertedReportsPath;
    if (FolderExists(folder)) return true;
    std::error_code ec;
    if (!folder.empty() && fs::create_directories(folder, ec) && !ec) {
        prompt().MsgBox("The folder for converted reports did not exist; it has been made: " + folder,
                        ui::vbInformation, "Tolvaran");
        return true;
    }
    prompt().MsgBox("The folder for converted reports does not exist and cannot be made: " +
                        (folder.empty() ? std::string("(none is set)") : folder) +
                        "\r\nNothing is written elsewhere. Set the folder with Edit.",
                    ui::vbExclamation, "Tolvaran");
    return false;
}

bool Startup::SetExportedReportsPath() {
    try {
        EnsureConvertedReportsFolder();
        LoadConvertedReports(CurrentDatabaseListId(0));
    } catch (const std::exception& e) {
        ShowError(e, "Set Exported Reports Path");
    }
    return true;
}

void Startup::RefreshCurrentDatabase() {
    const long id = CurrentDatabaseListId(-1);
    if (id != -1 && databaseList_.LoadRecord(id)) {
        LoadTables(id);
        SetExportedReportsPath();
    }
}

bool Startup::LoadTables(long databaseListId) {
    std::unique_ptr<access::Application> app;
    try {
        if (!services_.accessFactory) throw vb::ComError(429, "ActiveX component can't create object");
        app = services_.accessFactory();
        SetLblReports("Progress:  Opening Database");
        app->OpenCurrentDatabase(databaseList_.ReportDatabase, false);
        app->Visible = false;
        SetProgressVisible(true);
        SetProgressMin(0);
        SetProgressValue(1);

        const std::string version = app->DBEngine().Version();
        if (version < "3.6") {
            gReportsDatabaseVersion = version;
            const access::Database db = app->CurrentDb();
            const access::ContainerList containers = db.Containers();
            const access::Container* reports = nullptr;
            for (long i = 0; i < containers.Count(); ++i) {
                if (containers.Item(i).Name == "Reports") {
                    reports = &containers.Item(i);
                    break;
                }
            }
            if (!reports) {
                prompt().MsgBox("Could not locate Reports area of database.  Try Compact and repair.",
                                ui::vbCritical, "Tolvaran");
            } else {
                const long n = reports->Documents.Count();
                SetLblProgress("Progress:  Database:" + db.Name() + " has " + std::to_string(n) + " reports");
                SetStatusPanel(2, std::to_string(n) + " reports");
                // The meter counts the documents, so it gets their number as its maximum.
                SetProgressMax(n + 1);
                if (n == 0) {
                    prompt().MsgBox(
                        "There are no reports in this database" + LookedIn(databaseList_.ReportDatabase),
                        ui::vbExclamation, "Tolvaran");
                } else {
                    for (long i = 0; i < n; ++i) {
                        CheckReport(reports->Documents.Item(i).Name, databaseListId);
                        SetProgressValue(ProgressValue() + 1);
                    }
                }
            }
        } else {
            gReportsDatabaseVersion = "10.0";
            const access::NamedList all = app->CurrentProject().AllReports();
            const long n = all.Count();
            SetStatusPanel(2, std::to_string(n) + " reports");
            SetProgressMax(n + 1);
            if (n == 0) {
                prompt().MsgBox(
                    "There are no reports for this database" + LookedIn(databaseList_.ReportDatabase),
                    ui::vbExclamation, "Tolvaran");
            } else {
                for (long i = 0; i < n; ++i) {
                    SetProgressValue(ProgressValue() + 1);
                    CheckReport(all.Item(i).Name, databaseListId);
                }
            }
        }

        SetProgressVisible(false);
        app->CloseCurrentDatabase();
        app.reset();
        SetStatusPanel(1, gReportsDatabaseVersion);
        scannedVersions_[databaseListId] = gReportsDatabaseVersion;
        RefreshReports(databaseListId);
        return true;
    } catch (const std::exception& e) {
        app.reset();
        // The progress line says why the scan ended rather than staying at "Opening".
        SetLblReports("Progress:  " + std::string(e.what()));
        return false;
    }
}

void Startup::CheckReport(const std::string& reportName, long databaseListId) {
    SetLblReports(reportName);
    DoEvents();
    ado::Recordset rs;
    try {
        rs.Open("SELECT * FROM Report WHERE ReportName = ? AND DatabaseListId = ?", services_.ctx->gDb,
                ado::adOpenStatic, ado::adLockPessimistic,
                {vb::Variant(reportName), vb::Variant(databaseListId)});
        if (rs.Eof()) {
            DatasetModel& ds = dxReports_->Dataset();
            ds.AddNew();
            ds.SetField("HasSubReports", false);
            ds.SetField("SuppressSectionsWithNoControls", true);
            ds.SetField("UpdatedOn", vb::Date::Now());
            ds.SetField("ReportName", reportName);
            ds.SetField("ReportPath", databaseList_.ReportDatabase);
            ds.SetField("DatabaseListId", databaseListId);
            ds.Post();
        }
    } catch (const std::exception& e) {
        ShowError(e, "CheckReport");
    }
    try {
        if (rs.State() == ado::adStateOpen) rs.Close();
    } catch (const std::exception&) {
    }
}

bool Startup::HasSelectedDatabase() {
    try {
        return CurrentDatabaseListId(-1) != -1;
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
        return false;
    }
}

bool Startup::HasSelectedReport() {
    try {
        const vb::Variant v = dxReports_->CurrentValue("ReportId");
        return !(v.IsNull() || v.IsEmpty()) && v.ToLong() != -1;
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
        return false;
    }
}

}  // namespace tolvaran
