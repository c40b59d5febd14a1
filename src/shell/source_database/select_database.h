#pragma once
// The source-database dialog SelectDatabase: adds or edits one source database entry (a row
// of DatabaseList, through the shared entry record gDatabaseList) and the rows of
// DatabaseConnections that say where its tables live (through the links manager gLinks).
//
// In add mode the load opens a file picker before the dialog shows, scans the chosen Access
// database or data project into links (its progress lines go to the main window's
// ReportResults), stores the entry and its links at once and preselects the connection kind
// the scan found; Cancel then deletes what was stored. In edit mode the load fills the dialog
// from the stored entry and its links. The back-end tabs (General, Access, SQL Server, ODBC)
// hold the connection settings, the connection test, the SQL Server pickers and the tree of
// views; Save writes the entry and the link row of the chosen kind.
//
// Every control carries its name as objectName; a control array element is "name(i)".
// Implementation: select_database_layout.cpp (controls), select_database_flow.cpp (load,
// scan, save, cancel, kind rules, lights), select_database_tabs.cpp (tabs, pickers, boxes,
// connection test, view tree).
#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/ado/ado.h"
#include "sources/link.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPixmap;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace sqldmo {
class Factory;
}
namespace ui {
class CommonDialog;
class FolderBrowser;
class Launcher;
class ProgressWindow;
class Prompt;
}  // namespace ui

namespace tolvaran {

// The dialog's tabs, by their position from 1 (the option buttons of the connection kinds use
// the same numbers).
constexpr int kGeneralTab = 1;
constexpr int kAccessTab = 2;
constexpr int kSqlServerTab = 3;
constexpr int kOdbcTab = 4;

struct AppContext;
class QtToolBar;
class clsDatabase;
class clsDatabaseList;
class clsInterface;
class clsManageLinks;
class clsODBCCollection;
class clsToolBar;

// What the dialog works with; every pointer must outlive the dialog.
struct SelectDatabaseServices {
    AppContext* ctx = nullptr;                 // gDb, the prompt, the help file, the program folder
    clsDatabaseList* databaseList = nullptr;   // gDatabaseList (appends new entries to the entry grid)
    clsManageLinks* links = nullptr;           // gLinks
    clsToolBar* toolBar = nullptr;             // gToolBar
    ui::ProgressWindow* mainWindow = nullptr;  // receives the scans' progress lines
    ui::CommonDialog* commonDialog = nullptr;
    ui::FolderBrowser* folderBrowser = nullptr;
    ui::Launcher* launcher = nullptr;
    sqldmo::Factory* sqldmo = nullptr;
    clsODBCCollection* odbcCache = nullptr;  // gODBCCollection
    // The server-selection window shown while the data project at path does not open: true
    // to try the project again, false when the user cancels. Without one a project that does
    // not open is not retried.
    std::function<bool(const std::string& path)> selectServer;
};

class SelectDatabase : public QDialog {
    Q_OBJECT
  public:
    static constexpr long kHelpContextId = 5;

    explicit SelectDatabase(SelectDatabaseServices services, QWidget* parent = nullptr);
    ~SelectDatabase() override;

    // Set by the caller before Form_Load: True adds a new entry (and lets Cancel delete it).
    void setNewReference(bool value) { NewReference_ = value; }
    bool NewReference() const { return NewReference_; }
    // The key of the entry to edit, as text; empty for a new entry.
    const std::string& OpenArgs() const { return OpenArgs_; }
    void setOpenArgs(std::string value) { OpenArgs_ = std::move(value); }
    // The entry's DatabaseListId (0 until a new entry is first stored).
    long EntryKey() const { return key_; }
    // The tab shown last by ShowTab (1 General, 2 Access, 3 SQL Server, 4 ODBC).
    int CurrentTab() const { return currentTab_; }
    // True once the dialog has unloaded itself (a cancelled first picker, Save, Cancel).
    bool Unloaded() const { return unloaded_; }

    // Flow and saving (select_database_flow.cpp).
    void Form_Load();
    bool GetNewDatabase();
    void Save();
    void UpdateAllSavedReferences();
    void SaveInternalLink();
    void SaveAccessLink();
    void SaveODBC();
    void SaveDataProjectLink(const std::string& name);
    void EToolBar_ItemClick(int index);
    // Toolbar item 237: a new entry's stored rows are deleted; an edited entry is left as it
    // is stored. Then the dialog unloads.
    void Cancel();
    // The title bar's close button and Esc: Cancel.
    void reject() override;
    // state 1 green, 2 yellow, 3 red for element index; 4 clears elements 1 to 4.
    void TrafficLight(int index, int state);
    void EnableAccess(bool flag);
    void EnableODBC(bool flag);
    void EnableSQL(bool flag);
    void FlagAllContainedInOne();
    void LoadConnectionsList();
    bool MsgHasBeenAdded(const std::string& text) const;
    void clearfields();
    // The open-file dialog; the chosen path, or "" when the user cancels.
    std::string getFile(const std::string& title);

    // Option buttons' click rules.
    void OptInternal_Click() { FlagAllContainedInOne(); }
    void OptLinked_Click();
    void OptODBC_Click();
    void OptDataProject_Click();

    // Tabs, pickers, boxes, test and tree (select_database_tabs.cpp).
    void HideAllTabs();
    void ShowTab(int n);
    void HideTab(int n);
    void ActivateTab(int n);
    void cmdGetReportDB_Click() { GetNewDatabase(); }
    void cmdGetTablesDB_Click();
    void cmdGetSecurityFile_Click();
    void cmdExportPath_Click();
    // Opens the user's ODBC data-source file (ODBCINI, else ~/.odbc.ini; an empty one is
    // made when there is none), this system's counterpart of the ODBC administrator.
    void cmdODBCSources_Click();
    void cmdTestConnect_Click();
    void cmdLoadTables_Click() { LoadTablesTreeView(); }
    void LoadODBCValuesFromLink();
    void LoadDataProjectValuesFromLink();
    void LoadAccessValuesFromLink();
    void lstAccess_Click();
    void lstODBC_Click();
    void Server_Change();
    void SQLDatabaseName_Change();
    void SQLLogin_Change();
    void SQLPassword_Change();
    void sqlUseNTAuth_Click();
    void ODBCUseNTAuth_Click();
    // Opens a connection with the string of the selected tab; true when it is open. Why it
    // did not open is kept for the test's one message.
    bool ConnectIt();
    // The string ConnectIt opens for a tab ("" for a tab without one): the text a link of
    // that kind builds from the tab's boxes (sources/connect_text.h). Reading it for the
    // Access tab writes "Admin" into an empty AccessLogin.
    std::string ConnectionStringForTab(int tab);
    void cboServer_Click();
    void cboDatabases_Change();
    void cboDatabases_Click();
    bool LoadTablesTreeView();
    void testsqldmo(clsInterface& scanner, QTreeWidgetItem* node);

    QtToolBar* EToolBar() const { return EToolBar_; }
    QTabWidget* ActiveTabs() const { return ActiveTabs_; }

  private:
    void BuildLayout();
    void WireEvents();
    void Unload(bool saved);
    void SetHourglass(bool on);
    ui::Prompt& prompt() const;
    clsDatabase& database();
    ado::ConnectionPtr gDb() const;
    // The link an entry of the Access list stands for: the own-tables or Access link whose
    // LinkDatabase is the entry, else the link of that name, else a new empty link.
    LinkPtr AccessLinkOf(const std::string& entry) const;
    // The data-project link, made and kept in the links manager when it has none (a project
    // whose scan failed, or the data-project kind chosen for an Access database).
    LinkPtr DataProjectLinkForSave();
    // The connection kind and the Access and ODBC lists from the links in the manager, as a
    // scan leaves them: ODBC, then linked Access files, then own tables, the last one set on
    // winning; a tablesFile that is one of the linked Access files (a stored entry's) keeps the
    // linked kind with that file selected.
    void SetKindFromLinks(const std::string& tablesFile);
    // Deletes the entry's link rows before the links of a newly chosen front end are stored.
    void ForgetStoredLinks();
    // Whether path opens as an Access database; when it does not, the user is told which file
    // was not added and why.
    bool Readable(const std::string& path);
    // After a successful scan: a new entry and its links are stored at once; an edited entry's
    // links are stored by Save.
    void StoreScannedLinks();
    // Writes one DatabaseConnections row of the entry, found by link name (bound), added when
    // missing: the entry key, the link's LinkDatabase, LinkName and BackEndType, then the
    // writer's own fields. A name the links manager does not hold is written as a link of kind.
    void WriteLinkRow(const std::string& name, long kind, const char* title,
                      const std::function<void(ado::Recordset&, clsLink&)>& fields);
    // A child node per view under parent, with one grandchild per table or view the view's
    // text draws on (that view's own, not those of the views scanned before it).
    void AddViewNode(clsInterface& scanner, QTreeWidgetItem* parent, const std::string& name,
                     const std::string& text);
    std::string Text(QLineEdit* box) const;
    void SetText(QLineEdit* box, const std::string& text);
    QPixmap Light(const char* file) const;

    SelectDatabaseServices services_;
    bool NewReference_ = false;
    std::string OpenArgs_;
    long key_ = 0;
    int currentTab_ = 1;
    std::string connectError_;  // the provider's refusal of the last ConnectIt
    bool unloaded_ = false;
    bool scannedLinksPending_ = false;  // an edited entry's new front end, scanned, not stored
    bool hourglass_ = false;
    std::unique_ptr<clsDatabase> database_;

    // Controls.
    QtToolBar* EToolBar_ = nullptr;
    QGroupBox* Frame3_ = nullptr;
    QLineEdit* ReportDatabase_ = nullptr;
    QPushButton* cmdGetReportDB_ = nullptr;
    QLineEdit* ConvertedReportsPath_ = nullptr;
    QPushButton* cmdExportPath_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QRadioButton* OptDataProject_ = nullptr;
    QRadioButton* OptODBC_ = nullptr;
    QRadioButton* OptInternal_ = nullptr;
    QRadioButton* OptLinked_ = nullptr;
    QGroupBox* Frame4_ = nullptr;
    QTabWidget* ActiveTabs_ = nullptr;
    QPushButton* cmdTestConnect_ = nullptr;
    QGroupBox* frmConnectionTypes_ = nullptr;
    std::array<QLineEdit*, 3> txtConnectionTypes_{};
    QGroupBox* frmCaptureErrorLevel_ = nullptr;
    QRadioButton* optConversionSteps_ = nullptr;
    QRadioButton* optErrorsOnly_ = nullptr;
    QLineEdit* DatabaseListId_ = nullptr;
    QLineEdit* IsDataProject_ = nullptr;
    QLineEdit* IsSQL_ = nullptr;
    QLineEdit* CaptureErrorLevel_ = nullptr;
    QLineEdit* UpdatedOn_ = nullptr;
    std::array<QLabel*, 5> imGreenTrafficLight_{};
    std::array<QLabel*, 5> imYellowTrafficLight_{};
    std::array<QLabel*, 5> imRedTrafficLight_{};
    // General tab.
    QGroupBox* frmGeneral_ = nullptr;
    QPushButton* cmdLoadTables_ = nullptr;
    QTreeWidget* dxTreeList1_ = nullptr;
    std::array<QLineEdit*, 3> tableCounts_{};  // txtTablesCounts(0), (1), txtTableCounts(2)
    // Access tab.
    QGroupBox* frmAccess_ = nullptr;
    QLabel* lblAccessTables_ = nullptr;
    QLineEdit* SourceTablesDatabase_ = nullptr;
    QPushButton* cmdGetTablesDB_ = nullptr;
    QListWidget* lstAccess_ = nullptr;
    QLabel* lblAccessLogin_ = nullptr;
    QLineEdit* AccessLogin_ = nullptr;
    QLabel* lblAccessPassword_ = nullptr;
    QLineEdit* AccessPassword_ = nullptr;
    QLineEdit* SecurityFile_ = nullptr;
    QPushButton* cmdGetSecurityFile_ = nullptr;
    // SQL Server tab.
    QGroupBox* SQLFrame_ = nullptr;
    QLineEdit* Server_ = nullptr;
    QComboBox* cboServer_ = nullptr;
    QLineEdit* SQLDatabaseName_ = nullptr;
    QComboBox* cboDatabases_ = nullptr;
    QLabel* lblDatabases_ = nullptr;
    QCheckBox* sqlUseNTAuth_ = nullptr;
    QGroupBox* frmSQLLogin_ = nullptr;
    QLineEdit* SQLLogin_ = nullptr;
    QLineEdit* SQLPassword_ = nullptr;
    std::array<QLabel*, 2> lblLogin_{};     // 0 SQL Server tab, 1 ODBC tab
    std::array<QLabel*, 2> lblPassword_{};  // 0 SQL Server tab, 1 ODBC tab
    // ODBC tab.
    QGroupBox* ODBCFrame_ = nullptr;
    QLabel* lblDSN_ = nullptr;
    QLineEdit* DSN_ = nullptr;
    QListWidget* lstODBC_ = nullptr;
    QPushButton* cmdODBCSources_ = nullptr;
    QLineEdit* ODBCConnectionString_ = nullptr;
    QLineEdit* ODBCLogin_ = nullptr;
    QLineEdit* ODBCPassword_ = nullptr;
    QCheckBox* ODBCUseNTAuth_ = nullptr;
};

}  // namespace tolvaran
