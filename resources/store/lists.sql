-- Lists file template (tolvaran.f2): source database entries, their links, reports, control
-- positions, the error log and the saved query over it. Autonumber keys are INTEGER PRIMARY
-- KEY; Booleans are 0 (False) and 1 (True); dates are text "YYYY-MM-DD HH:MM:SS". Text
-- compares without regard to case, as the Jet engine compares it.

-- An entry's key is never given again once the entry is removed: rows it left behind
-- (links, reports, log rows) never come under another entry. A lists file made before this
-- is rebuilt so when the program opens it (UpgradeListsFile).
CREATE TABLE DatabaseList (
    DatabaseListId INTEGER PRIMARY KEY AUTOINCREMENT,
    ReportDatabase TEXT(255) COLLATE NOCASE,
    SourceTablesDatabase TEXT(255) COLLATE NOCASE,
    ConvertedReportsPath TEXT(255) COLLATE NOCASE,
    IsDataProject BOOLEAN DEFAULT 0,
    IsSQL BOOLEAN DEFAULT 0,
    UpdatedOn DATETIME,
    CaptureErrorLevel SMALLINT DEFAULT 1
);

CREATE TABLE DatabaseConnections (
    DatabaseConnectionId INTEGER PRIMARY KEY,
    DatabaseListId LONG DEFAULT 0,
    LinkName TEXT(255) COLLATE NOCASE,
    LinkDatabase MEMO COLLATE NOCASE,
    BackEndType LONG DEFAULT 0,
    Server TEXT(255) COLLATE NOCASE,
    SQLDatabaseName TEXT(255) COLLATE NOCASE,
    DSN TEXT(255) COLLATE NOCASE,
    LoginId TEXT(255),
    Password TEXT(255),
    UseNTAuth BOOLEAN DEFAULT 0,
    SecurityFile TEXT(255) COLLATE NOCASE,
    ConnectionString MEMO,
    Provider TEXT(255) COLLATE NOCASE
);
CREATE INDEX DatabaseConnectionsEntry ON DatabaseConnections (DatabaseListId, LinkName);

CREATE TABLE Report (
    ReportId INTEGER PRIMARY KEY,
    DatabaseListId LONG DEFAULT 0,
    ReportName TEXT(255) COLLATE NOCASE,
    ReportPath TEXT(255) COLLATE NOCASE,
    HasSubReports BOOLEAN DEFAULT 0,
    SuppressSectionsWithNoControls BOOLEAN DEFAULT 1,
    UpdatedOn DATETIME,
    LinkedToReportId LONG,
    ReportQueryType TEXT(50),
    ReportSQL MEMO,
    ReportType TEXT(50),
    Selected BOOLEAN DEFAULT 0
);
CREATE INDEX ReportEntry ON Report (DatabaseListId, ReportName);

CREATE TABLE Controls (
    ControlId INTEGER PRIMARY KEY,
    ReportId LONG DEFAULT 0,
    SectionNo LONG DEFAULT 0,
    ControlName TEXT(255) COLLATE NOCASE,
    LeftPos LONG DEFAULT 0,
    TopPos LONG DEFAULT 0,
    Height LONG DEFAULT 0,
    Width LONG DEFAULT 0,
    ControlType LONG DEFAULT 0,
    Caption TEXT(255),
    ControlOrder LONG DEFAULT 0,
    CrystalControlName TEXT(255) COLLATE NOCASE,
    CrystalTopPos LONG DEFAULT 0,
    CrystalLeftPos LONG DEFAULT 0,
    CrystalHeight LONG DEFAULT 0
);
CREATE INDEX ControlsReport ON Controls (ReportId, SectionNo);
-- The converter finds a control's row by report and name (UpdateControl). A lists file made
-- before this index existed gets it when the program opens it (UpgradeListsFile).
CREATE INDEX ControlsReportName ON Controls (ReportId, ControlName);

CREATE TABLE ErrorLog (
    ErrorLogId INTEGER PRIMARY KEY,
    ReportId LONG,
    DatabaseListId LONG,
    ReportName TEXT(255) COLLATE NOCASE,
    SubReportOf TEXT(255) COLLATE NOCASE,
    FormulaName TEXT(255),
    AccessFormula MEMO,
    CrystalFormula MEMO,
    ErrorDesc MEMO,
    ErrorOn DATETIME,
    ErrorSeverityLevel LONG,
    ErrorOccuredInFunction TEXT(255)
);
CREATE INDEX ErrorLogReport ON ErrorLog (ReportId);

-- Severity texts, used only by ShowReportErrors.
CREATE TABLE ErrorSeverity (
    ErrorSeverityLevel LONG NOT NULL PRIMARY KEY,
    ErrorSeverityDesc TEXT(50)
);
INSERT INTO ErrorSeverity (ErrorSeverityLevel, ErrorSeverityDesc) VALUES
    (1, 'Error'),
    (2, 'Conversion problem'),
    (5, 'Information');

-- Rows without an entry or a level (written by the error-log appender and for formula
-- problems) are kept: outer joins. A formula problem's row carries the formula's name and no
-- level or function: it shows as a conversion problem, sorted with them, in "Formula <name>".
CREATE VIEW ShowReportErrors AS
SELECT DatabaseList.ReportDatabase AS ReportDatabase,
       ErrorSeverity.ErrorSeverityDesc AS ErrorSeverityDesc,
       Problem.ReportName AS ReportName,
       Problem.ErrorOccuredInFunction AS ErrorOccuredInFunction,
       Problem.ErrorDesc AS ErrorDesc,
       Problem.SubReportOf AS SubReportOf,
       Problem.ErrorLogId AS ErrorLogId,
       Problem.ReportId AS ReportId,
       Problem.ErrorSeverityLevel AS ErrorSeverityLevel
FROM (SELECT ErrorLogId, ReportId, DatabaseListId, ReportName, SubReportOf, ErrorDesc,
             CASE WHEN ErrorSeverityLevel IS NULL AND FormulaName IS NOT NULL THEN 2
                  ELSE ErrorSeverityLevel END AS ErrorSeverityLevel,
             CASE WHEN ErrorSeverityLevel IS NULL AND FormulaName IS NOT NULL THEN 'Formula ' || FormulaName
                  ELSE ErrorOccuredInFunction END AS ErrorOccuredInFunction
      FROM ErrorLog) AS Problem
     LEFT JOIN DatabaseList ON Problem.DatabaseListId = DatabaseList.DatabaseListId
     LEFT JOIN ErrorSeverity ON Problem.ErrorSeverityLevel = ErrorSeverity.ErrorSeverityLevel;
