// The source-database dialog's flow: load, the add-mode scan, Save with its link rows, Cancel,
// the connection-kind rules, the summary lines and the status lights.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "platform/ado/connection_pool.h"
#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
#include "platform/common/vbstring.h"
#include "platform/ui/common_dialog.h"
#include "platform/ui/progress_window.h"
#include "shell/qt/guarded.h"
#include "shell/qt/qt_common_dialog.h"
#include "shell/qt/qt_form.h"
#include "shell/qt/qt_text.h"
#include "shell/source_database/odbc_info.h"
#include "shell/source_database/picker_folder.h"
#include "shell/source_database/select_database.h"
#include "shell/toolbar/cls_toolbar.h"
#include "shell/toolbar/qt_toolbar.h"
#include "sources/connection_settings.h"
#include "sources/links_manager.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "store/support.h"

namespace tolvaran {
namespace {

constexpr int kSave = 236;
constexpr int kCancel = 237;

std::string BoolText(bool flag) {
    return flag ? "True" : "False";
}

}  // namespace

SelectDatabase::SelectDatabase(SelectDatabaseServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    BuildLayout();
    WireEvents();
}

SelectDatabase::~SelectDatabase() {
    SetHourglass(false);
}

ui::Prompt& SelectDatabase::prompt() const {
    return *services_.ctx->prompt;
}

ado::ConnectionPtr SelectDatabase::gDb() const {
    return services_.ctx->gDb;
}

clsDatabase& SelectDatabase::database() {
    if (!database_) {
        database_ = std::make_unique<clsDatabase>(prompt(), *services_.sqldmo, *services_.odbcCache);
        database_->setConnectionOptions(services_.ctx->connections);
        database_->setOdbcDialog([this](clsDatabase& settings) {
            frmODBCInfo info(settings, *services_.toolBar, prompt(), this);
            info.Form_Load();
            info.exec();
        });
    }
    return *database_;
}

std::string SelectDatabase::Text(QLineEdit* box) const {
    return S(box->text());
}

void SelectDatabase::SetText(QLineEdit* box, const std::string& text) {
    box->setText(Q(text));
}

void SelectDatabase::SetHourglass(bool on) {
    if (on == hourglass_) return;
    hourglass_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void SelectDatabase::Unload(bool saved) {
    unloaded_ = true;
    SetHourglass(false);
    done(saved ? QDialog::Accepted : QDialog::Rejected);
}

void SelectDatabase::Form_Load() {
    try {
        clearfields();
        if (!services_.toolBar->Load(*EToolBar_, "GenericSaveCancel"))
            prompt().MsgBox(services_.toolBar->ErrorMessage);
        EToolBar_->Render();
        TrafficLight(0, 4);
        TrafficLight(1, 4);
        TrafficLight(2, 4);
        TrafficLight(3, 4);
        key_ = std::lround(vb::Val(OpenArgs_));
        if (key_ < 1) {
            if (!GetNewDatabase()) {
                Unload(false);
                return;
            }
        } else {
            NewReference_ = false;
            QtForm form(*this);
            services_.databaseList->LoadRecord(key_);
            services_.databaseList->PopulateForm(form);
            clsManageLinks& links = *services_.links;
            links.LoadAll(key_);
            HideAllTabs();
            ShowTab(1);
            // The entry comes back with the kind it was stored with.
            SetKindFromLinks(Text(SourceTablesDatabase_));
            const bool accessTab = links.HasAccessLinks() || links.HasInternalLinks();
            const bool odbcTab = links.GetFirstLink(kLinkOdbc)->LinkType > 0;
            const bool project = links.GetFirstLink(kLinkDataProject)->LinkType > 0;
            if (accessTab && lstAccess_->count() > 0) {
                // The stored login of the back end chosen (else the first listed), so that a save
                // does not replace it by the dialog's defaults.
                QListWidgetItem* chosen =
                    lstAccess_->currentItem() ? lstAccess_->currentItem() : lstAccess_->item(0);
                const LinkPtr link = AccessLinkOf(S(chosen->text()));
                SetText(AccessLogin_, link->UserId);
                SetText(AccessPassword_, link->Password);
                SetText(SecurityFile_, links.GetFirstInternalLink()->SecurityFile);
            }
            if (odbcTab) LoadODBCValuesFromLink();
            if (project) {
                SetOptionButton(*OptDataProject_, true);
                LoadDataProjectValuesFromLink();
            }
            // The tabs of the kinds the entry has, the stored kind's in front.
            ActiveTabs_->setTabVisible(kAccessTab - 1, accessTab && !project);
            ActiveTabs_->setTabVisible(kSqlServerTab - 1, project);
            ActiveTabs_->setTabVisible(kOdbcTab - 1, odbcTab && !project);
            if (project)
                ShowTab(kSqlServerTab);
            else if (OptODBC_->isChecked())
                ShowTab(kOdbcTab);
            else if (OptInternal_->isChecked() || OptLinked_->isChecked())
                ShowTab(kAccessTab);
            else
                ShowTab(1);
        }
        LoadConnectionsList();
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    SetHourglass(false);
}

void SelectDatabase::ForgetStoredLinks() {
    if (key_ < 1) return;
    gDb()->Execute("DELETE FROM DatabaseConnections WHERE DatabaseListId = ?", {key_});
}

bool SelectDatabase::Readable(const std::string& path) {
    try {
        ado::OpenConnection(ado::JetFileText(path).Text(), services_.ctx->connections);
        return true;
    } catch (const std::exception& e) {
        prompt().MsgBox(
            "The file " + path + " was not added: it cannot be read as an Access database.\r\n" + e.what(),
            ui::vbExclamation, "Select Access Database");
        return false;
    }
}

void SelectDatabase::StoreScannedLinks() {
    if (!NewReference_) {
        // An entry being edited keeps its stored links until Save, so that Cancel leaves it
        // as it was.
        scannedLinksPending_ = true;
        return;
    }
    ForgetStoredLinks();
    services_.databaseList->SaveRecord(key_, &key_);
    services_.links->SaveAll(key_);
}

bool SelectDatabase::GetNewDatabase() {
    bool result = false;
    clsManageLinks& links = *services_.links;
    clsDatabaseList& entry = *services_.databaseList;
    try {
        const std::string path = getFile("Select a Microsoft Access Database or Data Project (.MDB/.ADP)");
        SetHourglass(true);
        services_.mainWindow->DoEvents();
        TrafficLight(0, 3);
        // One session of the file serves the check and the scan.
        ado::ConnectionPool files;
        ado::ConnectionPool::Use pooled(files);
        if (!path.empty() && !clsDatabase::IsDataProject(path) && !Readable(path)) {
            SetHourglass(false);
            return false;
        }
        if (!path.empty()) {
            // The links of a file chosen before in this dialog do not belong to this one.
            links.ClearAllLinks();
            lstAccess_->clear();
            lstODBC_->clear();
            HideTab(3);
            HideTab(2);
            HideTab(4);
            SetText(ReportDatabase_, path);
            SetText(ConvertedReportsPath_, GetFilePath(path));
            TrafficLight(0, 2);
            result = true;  // from here on the dialog shows, so Cancel can remove what is stored
            if (clsDatabase::IsDataProject(path)) {
                ShowTab(1);
                HideTab(2);
                HideTab(4);
                ShowTab(3);
                links.setServerSelector(
                    [this, path] { return services_.selectServer && services_.selectServer(path); });
                const bool ok = links.ParseDataProject(*services_.mainWindow, path);
                links.setServerSelector(nullptr);  // it refers to this dialog
                entry.SourceTablesDatabase = path;
                entry.ReportDatabase = path;
                if (!ok) {
                    QtComboControl servers(*cboServer_);
                    database().PopulateServerDropDown(servers);
                    Server_->hide();
                    SQLDatabaseName_->hide();
                    cboDatabases_->show();
                    cboDatabases_->setEnabled(false);
                    cboServer_->show();
                    // The file is a data project whatever its scan gave: the server and
                    // database the user picks are stored as its data-project link.
                    SetOptionButton(*OptDataProject_, true);
                } else {
                    StoreScannedLinks();
                    LoadDataProjectValuesFromLink();
                    SetOptionButton(*OptDataProject_, true);
                    EnableSQL(true);
                    TrafficLight(1, 2);
                }
            } else {
                const bool ok = links.ParseLinks(*services_.mainWindow, path, "Admin", "");
                entry.SourceTablesDatabase = path;
                entry.ReportDatabase = path;
                if (ok) {
                    StoreScannedLinks();
                    services_.mainWindow->DoEvents();
                }
                SetKindFromLinks({});
            }
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    SetHourglass(false);
    return result;
}

void SelectDatabase::SetKindFromLinks(const std::string& tablesFile) {
    clsManageLinks& links = *services_.links;
    if (links.HasODBCLinks()) {
        QtListControl list(*lstODBC_);
        links.LoadODBCList(list);
        SetOptionButton(*OptODBC_, true);
    } else {
        SetOptionButton(*OptODBC_, false);
    }
    if (links.HasInternalLinks() || links.HasAccessLinks()) {
        QtListControl list(*lstAccess_);
        links.LoadAccessList(list);
    }
    // A tables file that is one of the linked Access files was chosen from the Access list:
    // the linked kind with that entry selected. Otherwise own tables win, as they are set last.
    const LinkPtr chosen = AccessLinkOf(tablesFile);
    const bool linked =
        !tablesFile.empty() && chosen->LinkType == kLinkAccess && chosen->LinkDatabase == tablesFile;
    SetOptionButton(*OptLinked_, links.HasAccessLinks());
    SetOptionButton(*OptInternal_, links.HasInternalLinks() && !linked);
    if (linked) {
        const QList<QListWidgetItem*> entries = lstAccess_->findItems(Q(tablesFile), Qt::MatchExactly);
        if (!entries.isEmpty()) lstAccess_->setCurrentItem(entries.front());
    }
    if (links.HasInternalLinks() || links.HasAccessLinks()) ShowTab(kAccessTab);
}

std::string SelectDatabase::getFile(const std::string& title) {
    std::string file, fileTitle;
    std::string filter = kAccessFilesFilter;
    long filterIndex = 1;
    long flags = 0;
    bool readOnly = false;
    const std::string folder = PickerStartFolder(*services_.ctx);
    services_.commonDialog->VBGetOpenFileName(file, fileTitle, true, false, readOnly, false, filter,
                                              filterIndex, folder, title, "", QtCommonDialog::HandleOf(*this),
                                              flags);
    RememberPickerFolder(*services_.ctx, file);
    return file;
}

void SelectDatabase::Save() {
    SetText(UpdatedOn_, vb::Variant(vb::Date::Now()).ToString());
    if (Text(Server_).empty()) SetText(Server_, "1");
    if (Text(SQLDatabaseName_).empty()) SetText(SQLDatabaseName_, "1");
    const std::string isProject = Text(IsDataProject_);
    if (!vb::Trim(isProject).empty() && vb::Variant(isProject).ToBool() && Text(SQLPassword_).empty())
        SetText(SQLPassword_, "1");
    if (Text(SourceTablesDatabase_).empty()) {
        if (!OptODBC_->isChecked()) {
            SetText(SourceTablesDatabase_, "<Select>");
        } else {
            SetText(SourceTablesDatabase_, "1");
            if (vb::Trim(Text(ODBCConnectionString_)).empty())
                SetText(ODBCConnectionString_,
                        ado::ConnectionText(ado::QuoteStyle::Odbc).Add("DSN", Text(DSN_)).Text());
        }
    }
    if (scannedLinksPending_) {
        ForgetStoredLinks();
        services_.links->SaveAll(key_);
        scannedLinksPending_ = false;
    }
    if (OptInternal_->isChecked()) SaveInternalLink();
    if (OptLinked_->isChecked()) SaveAccessLink();
    if (OptODBC_->isChecked()) SaveODBC();
    if (OptDataProject_->isChecked()) {
        LinkPtr link = DataProjectLinkForSave();
        link->Server = Text(Server_);
        link->SQLDatabase = Text(SQLDatabaseName_);
        link->UserId = Text(SQLLogin_);
        link->Password = Text(SQLPassword_);
        link->UseNTAuth = sqlUseNTAuth_->isChecked();
        SaveDataProjectLink(link->Name);
    }
    QtForm form(*this);
    clsDatabaseList& entry = *services_.databaseList;
    bool ok = false;
    if (key_ < 1) {
        entry.PopulatePropertiesFromForm(form);
        ok = entry.SaveRecord(0);
        if (ok) {
            key_ = entry.DatabaseListId;
            SetText(DatabaseListId_, std::to_string(key_));
            UpdateAllSavedReferences();
        }
    } else {
        entry.PopulatePropertiesFromForm(form);
        ok = entry.SaveRecord(key_);
    }
    if (ok) Unload(true);
}

void SelectDatabase::UpdateAllSavedReferences() {
    gDb()->Execute("UPDATE DatabaseConnections SET DatabaseListId = ? WHERE DatabaseListId = 0", {key_});
}

LinkPtr SelectDatabase::DataProjectLinkForSave() {
    clsManageLinks& links = *services_.links;
    LinkPtr link = links.GetFirstLink(kLinkDataProject);
    if (link->LinkType == kLinkDataProject) return link;
    link->LinkType = kLinkDataProject;
    link->Name = Text(SQLDatabaseName_);
    link->Provider = "SQLOLEDB";
    if (!links.Items().HasKey(link->Name)) links.Items().Add(link, link->Name);
    return link;
}

void SelectDatabase::WriteLinkRow(const std::string& name, long kind, const char* title,
                                  const std::function<void(ado::Recordset&, clsLink&)>& fields) {
    try {
        LinkPtr link = services_.links->Item(name);
        if (link->Name != name) {
            // Not a link of the manager: the row still names itself and its kind, so that a
            // later save finds it again.
            link->Name = name;
            link->LinkType = kind;
        }
        ado::Recordset rs;
        rs.Open("SELECT * FROM DatabaseConnections WHERE LinkName = ? AND DatabaseListId = ?", gDb(),
                ado::adOpenDynamic, ado::adLockOptimistic, {name, key_});
        if (rs.Eof()) rs.AddNew();
        rs.set("DatabaseListId", key_);
        rs.set("LinkDatabase", link->LinkDatabase);
        rs.set("LinkName", link->Name);
        rs.set("BackEndType", link->LinkType);
        fields(rs, *link);
        rs.Update();
        rs.Close();
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what(), ui::vbOKOnly, title);
    }
}

void SelectDatabase::SaveInternalLink() {
    WriteLinkRow("INTERNAL", kLinkInternal, "Save Internal Link", [this](ado::Recordset& rs, clsLink& link) {
        rs.set("LoginId", Text(AccessLogin_));
        rs.set("Password", Text(AccessPassword_));
        rs.set("SecurityFile", link.SecurityFile);
    });
}

void SelectDatabase::SaveAccessLink() {
    QListWidgetItem* selected = lstAccess_->currentItem();
    if (!selected || !selected->isSelected()) return;
    const std::string entry = S(selected->text());
    LinkPtr link = AccessLinkOf(entry);
    const std::string name = link->Name.empty() ? entry : link->Name;
    WriteLinkRow(name, kLinkAccess, "Save Access Link", [this](ado::Recordset& rs, clsLink& l) {
        rs.set("DSN", Text(DSN_));
        rs.set("LoginId", Text(AccessLogin_));
        rs.set("Password", Text(AccessPassword_));
        rs.set("UseNTAuth", 0);
        rs.set("SecurityFile", l.SecurityFile);
    });
}

void SelectDatabase::SaveODBC() {
    QListWidgetItem* selected = lstODBC_->currentItem();
    if (!selected || !selected->isSelected()) selected = lstODBC_->item(0);
    // With no ODBC link listed the row is named after the data source the user typed.
    const std::string name = selected ? S(selected->text()) : Text(DSN_);
    WriteLinkRow(name, kLinkOdbc, "Save ODBC Link", [this](ado::Recordset& rs, clsLink&) {
        rs.set("DSN", Text(DSN_));
        rs.set("LoginId", Text(ODBCLogin_));
        rs.set("Password", Text(ODBCPassword_));
        rs.set("UseNTAuth", ODBCUseNTAuth_->isChecked() ? 1 : 0);
        if (!Text(ODBCConnectionString_).empty()) rs.set("ConnectionString", Text(ODBCConnectionString_));
    });
}

void SelectDatabase::SaveDataProjectLink(const std::string& name) {
    WriteLinkRow(name, kLinkDataProject, "Save Project Link", [this](ado::Recordset& rs, clsLink&) {
        rs.set("Server", Text(Server_));
        rs.set("SQLDatabaseName", Text(SQLDatabaseName_));
        rs.set("UseNTAuth", sqlUseNTAuth_->isChecked() ? 1 : 0);
        rs.set("LoginId", Text(SQLLogin_));
        rs.set("Password", Text(SQLPassword_));
        rs.set("ConnectionString", "");
        rs.set("Provider", "SQLOLEDB");
        rs.set("SecurityFile", "");
    });
}

void SelectDatabase::EToolBar_ItemClick(int index) {
    switch (EToolBar_->ItemCtrlID(index)) {
        case kSave:
            Guarded(&prompt(), "Save", [this] { Save(); });
            break;
        case kCancel:
            Guarded(&prompt(), "Cancel", [this] { Cancel(); });
            break;
        default:
            break;
    }
}

void SelectDatabase::Cancel() {
    try {
        if (NewReference_) {
            gDb()->Execute("DELETE FROM DatabaseConnections WHERE DatabaseListId = ?", {key_});
            gDb()->Execute("DELETE FROM DatabaseList WHERE DatabaseListId = ?", {key_});
        } else if (key_ >= 1) {
            // The shared entry record holds the stored entry again, not what the dialog changed.
            services_.databaseList->LoadRecord(key_);
        }
    } catch (const std::exception& e) {
        prompt().MsgBox(e.what());
    }
    Unload(false);
}

void SelectDatabase::reject() {
    // The title bar's close button and Esc end the dialog as Cancel does.
    if (unloaded_)
        QDialog::reject();
    else
        Cancel();
}

void SelectDatabase::clearfields() {
    for (QLineEdit* box : {SourceTablesDatabase_, SQLDatabaseName_, SQLLogin_, SQLPassword_, ODBCLogin_,
                           ODBCPassword_, AccessPassword_, SecurityFile_})
        box->clear();
    SetText(AccessLogin_, "Admin");
    lstAccess_->clear();
    lstODBC_->clear();
    services_.links->ClearAllLinks();
    SetText(ConvertedReportsPath_, services_.ctx->InFolder("Reports"));
    SetText(ReportDatabase_, services_.ctx->InFolder("Reports"));
}

void SelectDatabase::TrafficLight(int index, int state) {
    const auto set = [&](size_t i, bool green, bool yellow, bool red) {
        imGreenTrafficLight_[i]->setVisible(green);
        imYellowTrafficLight_[i]->setVisible(yellow);
        imRedTrafficLight_[i]->setVisible(red);
    };
    if (state == 4) {
        for (size_t i = 1; i < imGreenTrafficLight_.size(); ++i) set(i, false, false, false);
        return;
    }
    if (index < 0 || index >= static_cast<int>(imGreenTrafficLight_.size())) return;
    const auto i = static_cast<size_t>(index);
    if (state == 1) set(i, true, false, false);
    if (state == 2) set(i, false, true, false);
    if (state == 3) set(i, false, false, true);
}

void SelectDatabase::FlagAllContainedInOne() {
    EnableSQL(false);
    EnableAccess(false);
    EnableODBC(false);
    TrafficLight(1, 1);
    if (OptInternal_->isChecked()) {
        SourceTablesDatabase_->setText(ReportDatabase_->text());
        SourceTablesDatabase_->setEnabled(false);
    }
    ShowTab(2);
}

void SelectDatabase::OptLinked_Click() {
    EnableAccess(true);
    TrafficLight(1, 1);
    ActivateTab(1);
}

void SelectDatabase::OptODBC_Click() {
    EnableODBC(OptODBC_->isChecked());
    TrafficLight(4, 2);
}

void SelectDatabase::OptDataProject_Click() {
    try {
        EnableSQL(true);
        TrafficLight(1, 2);
    } catch (const std::exception&) {
        // Nothing is shown; the pointer is reset all the same.
    }
    SetHourglass(false);
}

void SelectDatabase::EnableAccess(bool flag) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{frmAccess_, SourceTablesDatabase_, AccessLogin_, AccessPassword_,
                                         lblAccessTables_, lblAccessLogin_, lblAccessPassword_})
        w->setEnabled(flag);
    if (!flag) TrafficLight(2, 4);
}

void SelectDatabase::EnableODBC(bool flag) {
    for (QWidget* w : std::initializer_list<QWidget*>{ODBCFrame_, DSN_, lblDSN_}) w->setEnabled(flag);
    ShowTab(4);
    for (QWidget* w : std::initializer_list<QWidget*>{ODBCLogin_, ODBCPassword_, ODBCUseNTAuth_,
                                                      ODBCConnectionString_, cmdTestConnect_})
        w->setEnabled(flag);
}

void SelectDatabase::EnableSQL(bool flag) {
    ShowTab(3);
    for (QWidget* w : std::initializer_list<QWidget*>{SQLFrame_, Server_, SQLDatabaseName_, SQLLogin_,
                                                      SQLPassword_, sqlUseNTAuth_})
        w->setEnabled(flag);
    SetText(IsSQL_, BoolText(flag));
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblDatabases_, lblLogin_[0], lblPassword_[0], cmdTestConnect_})
        w->setEnabled(flag);
    if (flag)
        SQLFrame_->setFlat(false);
    else
        TrafficLight(3, 4);
    SetText(IsDataProject_, BoolText(flag));
    SetText(IsSQL_, BoolText(flag));
}

void SelectDatabase::LoadConnectionsList() {
    for (QLineEdit* line : txtConnectionTypes_) line->clear();
    size_t counter = 0;
    for (const LinkPtr& link : services_.links->Items()) {
        const char* text = nullptr;
        switch (link->LinkType) {
            case kLinkInternal:
                text = "Has tables internal to this database.";
                break;
            case kLinkAccess:
                text = "Has links to one or more external Access tables.";
                break;
            case kLinkOdbc:
                text = "Has one or more ODBC links to external databases.";
                break;
            case kLinkDataProject:
                text = "Microsoft Access Data Project.";
                break;
            default:
                break;
        }
        // A fourth kind has no line to go to.
        if (!text || MsgHasBeenAdded(text) || counter >= txtConnectionTypes_.size()) continue;
        txtConnectionTypes_[counter]->setText(QString::fromLatin1(text));
        txtConnectionTypes_[counter++]->setCursorPosition(0);
    }
}

bool SelectDatabase::MsgHasBeenAdded(const std::string& text) const {
    for (QLineEdit* line : txtConnectionTypes_)
        if (S(line->text()) == text) return true;
    return false;
}

}  // namespace tolvaran
