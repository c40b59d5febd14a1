// The controls of the source-database dialog and the events that reach their rules.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/qt/guarded.h"
#include "shell/qt/qt_text.h"
#include "shell/qt/screen_fit.h"
#include "shell/source_database/select_database.h"
#include "shell/toolbar/qt_toolbar.h"
#include "store/context.h"
#include "store/support.h"

namespace tolvaran {
namespace {

QString Indexed(const char* name, size_t i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QGroupBox* Frame(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    if (name) label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit* Box(const char* name, QWidget* parent, bool password = false) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    if (password) box->setEchoMode(QLineEdit::Password);
    return box;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QRadioButton* Option(const char* name, const char* caption, QWidget* parent) {
    auto* option = new QRadioButton(QString::fromUtf8(caption), parent);
    option->setObjectName(QLatin1String(name));
    return option;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    auto* check = new QCheckBox(QString::fromUtf8(caption), parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

QListWidget* List(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    return list;
}

QComboBox* Combo(const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setPlaceholderText(QStringLiteral("<none>"));
    return combo;
}

// A box and its picker button side by side.
QHBoxLayout* WithPicker(QLineEdit* box, QPushButton* picker) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    picker->setFixedWidth(32);
    row->addWidget(picker);
    return row;
}

}  // namespace

QPixmap SelectDatabase::Light(const char* file) const {
    return QPixmap(Q(services_.ctx->InFolder(std::string("icons/") + file)))
        .scaled(20, 20, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void SelectDatabase::BuildLayout() {
    setObjectName(QStringLiteral("SelectDatabase"));
    setWindowTitle(QStringLiteral("Select Access Database"));
    setModal(true);

    // The status lights: three stacked pictures per element, at most one of them shown.
    std::array<QWidget*, 5> lights{};
    for (size_t i = 0; i < lights.size(); ++i) {
        lights[i] = new QWidget(this);
        lights[i]->setFixedSize(22, 22);
        const auto make = [&](const char* name, const char* file) {
            auto* label = new QLabel(lights[i]);
            label->setObjectName(Indexed(name, i));
            label->setPixmap(Light(file));
            label->setGeometry(1, 1, 20, 20);
            label->hide();
            return label;
        };
        imGreenTrafficLight_[i] = make("imGreenTrafficLight", "greentrafficlight.ico");
        imYellowTrafficLight_[i] = make("imYellowTrafficLight", "yellowtrafficlight.ico");
        imRedTrafficLight_[i] = make("imRedTrafficLight", "redtrafficlight.ico");
    }
    // The front end's light starts yellow: a file is to be chosen or confirmed.
    imYellowTrafficLight_[0]->show();

    EToolBar_ = new QtToolBar(this);

    // 1. The front end.
    Frame3_ = Frame("Frame3", " 1. Select Front-End Access Database ", this);
    ReportDatabase_ = Box("ReportDatabase", Frame3_);
    cmdGetReportDB_ = Button("cmdGetReportDB", "...", Frame3_);
    ConvertedReportsPath_ = Box("ConvertedReportsPath", Frame3_);
    cmdExportPath_ = Button("cmdExportPath", "...", Frame3_);
    {
        auto* grid = new QGridLayout(Frame3_);
        grid->addWidget(Label("lblReportDatabase", "Select a Database with Reports:", Frame3_), 0, 0);
        grid->addLayout(WithPicker(ReportDatabase_, cmdGetReportDB_), 0, 1);
        grid->addWidget(lights[0], 0, 2, 2, 1, Qt::AlignCenter);
        grid->addWidget(Label("lblConvertedReportsPath", "Exported Reports Path:", Frame3_), 1, 0);
        grid->addLayout(WithPicker(ConvertedReportsPath_, cmdExportPath_), 1, 1);
        grid->setColumnStretch(1, 1);
    }

    // 2. The kind of connection, the summary lines and the logging level.
    Frame2_ = Frame("Frame2", " 2. Select type of connection to data ", this);
    OptDataProject_ =
        Option("OptDataProject",
               "Tables/Views are accessed directly to SQL Server via an Access Data Project.", Frame2_);
    OptODBC_ = Option("OptODBC", "Tables and Views are contained via ODBC links to SQL Server.", Frame2_);
    OptInternal_ =
        Option("OptInternal",
               "Tables and Views are contained within the same Access database as the reports are.", Frame2_);
    OptLinked_ = Option("OptLinked",
                        "Tables and Views are contained in a separate Access Database ( linked ).", Frame2_);
    {
        auto* grid = new QGridLayout(Frame2_);
        grid->addWidget(OptDataProject_, 0, 0);
        grid->addWidget(OptODBC_, 1, 0);
        grid->addWidget(OptInternal_, 2, 0);
        grid->addWidget(OptLinked_, 3, 0);
        grid->addWidget(lights[1], 0, 1, 4, 1, Qt::AlignCenter);
        grid->setColumnStretch(0, 1);
    }
    frmConnectionTypes_ = Frame("frmConnectionTypes", "2. Types of Connections ", this);
    {
        auto* column = new QVBoxLayout(frmConnectionTypes_);
        for (size_t i = 0; i < txtConnectionTypes_.size(); ++i) {
            txtConnectionTypes_[i] = new QLineEdit(frmConnectionTypes_);
            txtConnectionTypes_[i]->setObjectName(Indexed("txtConnectionTypes", i));
            txtConnectionTypes_[i]->setReadOnly(true);
            txtConnectionTypes_[i]->setFrame(false);
            column->addWidget(txtConnectionTypes_[i]);
        }
    }
    frmCaptureErrorLevel_ = Frame("frmCaptureErrorLevel", " Logging Levels ", this);
    optConversionSteps_ = Option("optConversionSteps", "Conversion Steps", frmCaptureErrorLevel_);
    optErrorsOnly_ = Option("optErrorsOnly", "Errors Only", frmCaptureErrorLevel_);
    {
        auto* row = new QHBoxLayout(frmCaptureErrorLevel_);
        row->addWidget(optConversionSteps_);
        row->addWidget(optErrorsOnly_);
        row->addStretch(1);
    }

    // 3. The back end: the four tabs and the test button.
    Frame4_ = Frame("Frame4", " 3. Locations of back-end database ", this);
    ActiveTabs_ = new QTabWidget(Frame4_);
    ActiveTabs_->setObjectName(QStringLiteral("ActiveTabs"));
    cmdTestConnect_ = Button("cmdTestConnect", "&Test Connect", Frame4_);

    // General.
    auto* general = new QWidget;
    frmGeneral_ = Frame("frmGeneral", " General Information ", general);
    cmdLoadTables_ = Button("cmdLoadTables", "View Tables/Views", frmGeneral_);
    dxTreeList1_ = new QTreeWidget(frmGeneral_);
    dxTreeList1_->setObjectName(QStringLiteral("dxTreeList1"));
    dxTreeList1_->setHeaderLabels({QStringLiteral("Table/View")});
    {
        const char* names[3] = {"txtTablesCounts(0)", "txtTablesCounts(1)", "txtTableCounts(2)"};
        const char* captions[3] = {"# of Internal Tables", "# of Access Links", "# of ODBC Links"};
        // The tree beside the three count boxes.
        auto* grid = new QGridLayout(frmGeneral_);
        grid->addWidget(cmdLoadTables_, 0, 0, Qt::AlignLeft);
        grid->addWidget(dxTreeList1_, 1, 0, 7, 1);
        for (int i = 0; i < 3; ++i) {
            tableCounts_[static_cast<size_t>(i)] = new QLineEdit(frmGeneral_);
            tableCounts_[static_cast<size_t>(i)]->setObjectName(QLatin1String(names[i]));
            tableCounts_[static_cast<size_t>(i)]->setReadOnly(true);
            tableCounts_[static_cast<size_t>(i)]->setFixedWidth(60);
            grid->addWidget(Label(nullptr, captions[i], frmGeneral_), 1 + 2 * i, 1);
            grid->addWidget(tableCounts_[static_cast<size_t>(i)], 2 + 2 * i, 1, Qt::AlignLeft);
        }
        grid->setRowStretch(7, 1);
        grid->setColumnStretch(0, 1);
        (new QVBoxLayout(general))->addWidget(frmGeneral_);
    }

    // Access.
    auto* access = new QWidget;
    frmAccess_ = Frame("frmAccess", "Select location to Access data database ( back-end )", access);
    lblAccessTables_ = Label("lblAccessTables", "Tables/Queries Database:", frmAccess_);
    SourceTablesDatabase_ = Box("SourceTablesDatabase", frmAccess_);
    cmdGetTablesDB_ = Button("cmdGetTablesDB", "...", frmAccess_);
    lstAccess_ = List("lstAccess", frmAccess_);
    lblAccessLogin_ = Label("lblAccessLogin", "Login:", frmAccess_);
    AccessLogin_ = Box("AccessLogin", frmAccess_);
    lblAccessPassword_ = Label("lblAccessPassword", "Password:", frmAccess_);
    AccessPassword_ = Box("AccessPassword", frmAccess_, true);
    SecurityFile_ = Box("SecurityFile", frmAccess_);
    cmdGetSecurityFile_ = Button("cmdGetSecurityFile", "...", frmAccess_);
    {
        auto* grid = new QGridLayout(frmAccess_);
        grid->addWidget(lblAccessTables_, 0, 0);
        grid->addLayout(WithPicker(SourceTablesDatabase_, cmdGetTablesDB_), 0, 1);
        grid->addWidget(lights[2], 0, 2, Qt::AlignCenter);
        grid->addWidget(lstAccess_, 1, 1, 1, 2);
        grid->addWidget(lblAccessLogin_, 2, 0);
        grid->addWidget(AccessLogin_, 2, 1);
        grid->addWidget(lblAccessPassword_, 3, 0);
        grid->addWidget(AccessPassword_, 3, 1);
        grid->addWidget(Label("lblSecurityFile", "Security File:", frmAccess_), 4, 0);
        grid->addLayout(WithPicker(SecurityFile_, cmdGetSecurityFile_), 4, 1);
        auto* note = Label("lblStartupNote",
                           "Note: Disable the Startup Form in your Access application or Tolvaran will not "
                           "continue until the form has loaded completely.",
                           frmAccess_);
        note->setWordWrap(true);
        grid->addWidget(note, 5, 0, 1, 3);
        grid->setColumnStretch(1, 1);
        (new QVBoxLayout(access))->addWidget(frmAccess_);
    }

    // SQL Server: the text boxes and the pickers share their places.
    auto* sql = new QWidget;
    SQLFrame_ = Frame("SQLFrame", "Select SQL Server database ", sql);
    SQLFrame_->setFlat(true);
    Server_ = Box("Server", SQLFrame_);
    Server_->setText(QStringLiteral("n/a"));
    cboServer_ = Combo("cboServer", SQLFrame_);
    cboServer_->hide();
    SQLDatabaseName_ = Box("SQLDatabaseName", SQLFrame_);
    cboDatabases_ = Combo("cboDatabases", SQLFrame_);
    cboDatabases_->hide();
    lblDatabases_ = Label("lblDatabases", "Database:", SQLFrame_);
    sqlUseNTAuth_ = Check("sqlUseNTAuth", "Use NT Authentication", SQLFrame_);
    frmSQLLogin_ = Frame("frmSQLLogin", " SQL Login ", SQLFrame_);
    SQLLogin_ = Box("SQLLogin", frmSQLLogin_);
    SQLPassword_ = Box("SQLPassword", frmSQLLogin_, true);
    lblLogin_[0] = Label("lblLogin(0)", "Login Id:", frmSQLLogin_);
    lblPassword_[0] = Label("lblPassword(0)", "Password:", frmSQLLogin_);
    {
        auto* login = new QGridLayout(frmSQLLogin_);
        login->addWidget(lblLogin_[0], 0, 0);
        login->addWidget(SQLLogin_, 0, 1);
        login->addWidget(lblPassword_[0], 1, 0);
        login->addWidget(SQLPassword_, 1, 1);
        auto* grid = new QGridLayout(SQLFrame_);
        grid->addWidget(Label("lblServer", "Server:", SQLFrame_), 0, 0);
        grid->addWidget(Server_, 0, 1);
        grid->addWidget(cboServer_, 0, 1);
        grid->addWidget(lights[3], 0, 2, Qt::AlignCenter);
        grid->addWidget(lblDatabases_, 1, 0);
        grid->addWidget(SQLDatabaseName_, 1, 1);
        grid->addWidget(cboDatabases_, 1, 1);
        grid->addWidget(sqlUseNTAuth_, 2, 1);
        grid->addWidget(frmSQLLogin_, 3, 0, 1, 3);
        grid->setRowStretch(4, 1);
        grid->setColumnStretch(1, 1);
        (new QVBoxLayout(sql))->addWidget(SQLFrame_);
    }

    // ODBC.
    auto* odbc = new QWidget;
    ODBCFrame_ = Frame("ODBCFrame", " Enter ODBC DSN ( Data Set Name ) ", odbc);
    lblDSN_ = Label("lblDSN", "DSN:", ODBCFrame_);
    DSN_ = Box("DSN", ODBCFrame_);
    lstODBC_ = List("lstODBC", ODBCFrame_);
    cmdODBCSources_ = Button("cmdODBCSources", "Data Sources (ODBC)", ODBCFrame_);
    ODBCConnectionString_ = Box("ODBCConnectionString", ODBCFrame_);
    lblLogin_[1] = Label("lblLogin(1)", "Login:", ODBCFrame_);
    ODBCLogin_ = Box("ODBCLogin", ODBCFrame_);
    lblPassword_[1] = Label("lblPassword(1)", "Password:", ODBCFrame_);
    ODBCPassword_ = Box("ODBCPassword", ODBCFrame_, true);
    ODBCUseNTAuth_ = Check("ODBCUseNTAuth", "Use NT Authentication", ODBCFrame_);
    {
        auto* grid = new QGridLayout(ODBCFrame_);
        grid->addWidget(lblDSN_, 0, 0);
        grid->addWidget(DSN_, 0, 1);
        grid->addWidget(cmdODBCSources_, 0, 2);
        grid->addWidget(lights[4], 0, 3, Qt::AlignCenter);
        grid->addWidget(lstODBC_, 1, 1, 1, 3);
        grid->addWidget(Label("lblConnectionString", "Connection String:", ODBCFrame_), 2, 0);
        grid->addWidget(ODBCConnectionString_, 2, 1, 1, 3);
        grid->addWidget(lblLogin_[1], 3, 0);
        grid->addWidget(ODBCLogin_, 3, 1);
        grid->addWidget(lblPassword_[1], 4, 0);
        grid->addWidget(ODBCPassword_, 4, 1);
        grid->addWidget(ODBCUseNTAuth_, 5, 1);
        grid->setColumnStretch(1, 1);
        (new QVBoxLayout(odbc))->addWidget(ODBCFrame_);
    }

    ActiveTabs_->addTab(general, QStringLiteral("General"));
    ActiveTabs_->addTab(access, QStringLiteral("Access"));
    ActiveTabs_->addTab(sql, QStringLiteral("SQL Server"));
    ActiveTabs_->addTab(odbc, QStringLiteral("ODBC"));
    ActiveTabs_->setTabToolTip(3, QStringLiteral("Manage ODBC Connections"));
    {
        auto* column = new QVBoxLayout(Frame4_);
        column->addWidget(ActiveTabs_, 1);
        column->addWidget(cmdTestConnect_, 0, Qt::AlignRight);
    }

    // The columns of the entry that the dialog keeps out of sight.
    DatabaseListId_ = Box("DatabaseListId", this);
    IsDataProject_ = Box("IsDataProject", this);
    IsSQL_ = Box("IsSQL", this);
    CaptureErrorLevel_ = Box("CaptureErrorLevel", this);
    CaptureErrorLevel_->setText(QStringLiteral("0"));
    UpdatedOn_ = Box("UpdatedOn", this);
    for (QLineEdit* hidden : {DatabaseListId_, IsDataProject_, IsSQL_, CaptureErrorLevel_, UpdatedOn_})
        hidden->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(EToolBar_);
    auto* body = new QGridLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(Frame3_, 0, 0, 1, 2);
    body->addWidget(Frame2_, 1, 0, 2, 1);
    body->addWidget(frmConnectionTypes_, 1, 1);
    body->addWidget(frmCaptureErrorLevel_, 2, 1);
    body->addWidget(Frame4_, 3, 0, 1, 2);
    body->setRowStretch(3, 1);
    body->setColumnStretch(0, 3);
    body->setColumnStretch(1, 2);
    layout->addLayout(body, 1);
    FitToScreen(*this, {980, 720});
    dxTreeList1_->setColumnWidth(0, 600);
}

void SelectDatabase::WireEvents() {
    ui::Prompt* p = services_.ctx->prompt;
    connect(EToolBar_, &QtToolBar::ItemClick, this,
            Guard(p, "EToolBar_ItemClick", [this](int index) { EToolBar_ItemClick(index); }));
    connect(cmdGetReportDB_, &QPushButton::clicked, this,
            Guard(p, "cmdGetReportDB_Click", [this] { cmdGetReportDB_Click(); }));
    connect(cmdExportPath_, &QPushButton::clicked, this,
            Guard(p, "cmdExportPath_Click", [this] { cmdExportPath_Click(); }));
    connect(cmdGetTablesDB_, &QPushButton::clicked, this,
            Guard(p, "cmdGetTablesDB_Click", [this] { cmdGetTablesDB_Click(); }));
    connect(cmdGetSecurityFile_, &QPushButton::clicked, this,
            Guard(p, "cmdGetSecurityFile_Click", [this] { cmdGetSecurityFile_Click(); }));
    connect(cmdODBCSources_, &QPushButton::clicked, this,
            Guard(p, "cmdODBCSources_Click", [this] { cmdODBCSources_Click(); }));
    connect(cmdTestConnect_, &QPushButton::clicked, this,
            Guard(p, "cmdTestConnect_Click", [this] { cmdTestConnect_Click(); }));
    connect(cmdLoadTables_, &QPushButton::clicked, this,
            Guard(p, "cmdLoadTables_Click", [this] { cmdLoadTables_Click(); }));
    // Option buttons run their rules on a click, also one made from code (SetOptionButton).
    connect(OptInternal_, &QRadioButton::clicked, this,
            Guard(p, "OptInternal_Click", [this] { OptInternal_Click(); }));
    connect(OptLinked_, &QRadioButton::clicked, this,
            Guard(p, "OptLinked_Click", [this] { OptLinked_Click(); }));
    connect(OptODBC_, &QRadioButton::clicked, this, Guard(p, "OptODBC_Click", [this] { OptODBC_Click(); }));
    connect(OptDataProject_, &QRadioButton::clicked, this,
            Guard(p, "OptDataProject_Click", [this] { OptDataProject_Click(); }));
    // Check boxes and text boxes run theirs on every change of value, from code or the user.
    connect(sqlUseNTAuth_, &QCheckBox::toggled, this,
            Guard(p, "sqlUseNTAuth_Click", [this] { sqlUseNTAuth_Click(); }));
    connect(ODBCUseNTAuth_, &QCheckBox::toggled, this,
            Guard(p, "ODBCUseNTAuth_Click", [this] { ODBCUseNTAuth_Click(); }));
    connect(Server_, &QLineEdit::textChanged, this, Guard(p, "Server_Change", [this] { Server_Change(); }));
    connect(SQLDatabaseName_, &QLineEdit::textChanged, this,
            Guard(p, "SQLDatabaseName_Change", [this] { SQLDatabaseName_Change(); }));
    connect(SQLLogin_, &QLineEdit::textChanged, this,
            Guard(p, "SQLLogin_Change", [this] { SQLLogin_Change(); }));
    connect(SQLPassword_, &QLineEdit::textChanged, this,
            Guard(p, "SQLPassword_Change", [this] { SQLPassword_Change(); }));
    connect(lstAccess_, &QListWidget::itemClicked, this,
            Guard(p, "lstAccess_Click", [this] { lstAccess_Click(); }));
    connect(lstODBC_, &QListWidget::itemClicked, this,
            Guard(p, "lstODBC_Click", [this] { lstODBC_Click(); }));
    connect(cboServer_, &QComboBox::activated, this,
            Guard(p, "cboServer_Click", [this] { cboServer_Click(); }));
    connect(cboDatabases_, &QComboBox::currentIndexChanged, this,
            Guard(p, "cboDatabases_Change", [this] { cboDatabases_Change(); }));
    connect(cboDatabases_, &QComboBox::activated, this,
            Guard(p, "cboDatabases_Click", [this] { cboDatabases_Click(); }));
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
            Guard(p, "ShowHelp", [this] { ShowHelp(*services_.ctx, kHelpContextId); }));
}

}  // namespace tolvaran
