#pragma once
// clsConvert: one conversion job. It turns one Access report (or subreport) into one report
// file of the report designer: it opens the Access file, binds the new report to the data of
// the source database's links, adds groups, sections and objects, logs every step and
// problem (ErrorLog rows on the lists file and the report's text error log) and saves the
// .rpt file in the output folder.
//
// One header, one source file per concern: convert.cpp (job and driver), log.cpp (conversion
// log), binding.cpp (data-source binding), rawsql.cpp (raw-SQL record sources),
// sections.cpp, groups.cpp, controls.cpp, objects*.cpp, subreports.cpp, formulas.cpp.
//
// Ownership: the job owns its designer application and report, its Access instance and the
// opened Access report, its error-log recordset and its ADOX catalog. The window, the links
// manager, the text log and the context are attached by the caller and must outlive the job;
// the report record and the connections are shared.
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "convert/formula/formula_context.h"
#include "convert/job_settings.h"
#include "platform/access/application.h"
#include "platform/ado/ado.h"
#include "platform/ado/connection_pool.h"
#include "platform/adox/adox.h"
#include "platform/designer/designer.h"
#include "platform/ui/progress_window.h"
#include "store/log_level.h"

namespace ui {
class Prompt;
}

namespace tolvaran {

struct AppContext;
class clsReport;
class clsWriteToText;
class clsManageLinks;
class clsLink;
class clsUpdateQueries;

// The error-log viewer; the shell implements it.
class ErrorLogViewer {
  public:
    virtual ~ErrorLogViewer() = default;
    // Takes the report id, loads that report's rows and shows them modally; returns when the
    // window is closed.
    virtual void ShowModal(long reportId) = 0;
};

// One control of the section being converted, as recorded in the Controls table.
class clsControl {
  public:
    long Height = 0;
    std::string Caption;
    short ControlType = 0;
    short Order = 0;
    const access::Control* Control = nullptr;  // not filled by the converter
    std::string ControlName;
    std::string LeftPos;
    std::string TopPos;  // pushed down below the control before it when the two overlap
};
using ControlPtr = std::shared_ptr<clsControl>;

// A custom control's record: the converter never creates one.
class clsCustomControl {
  public:
    std::string OLEClass;
};

class clsConvert : public FormulaContext, public ConvertSettings {
  public:
    // The columns of one kind of row the job adds to a table of the lists file: the INSERT up
    // to VALUES, and how many values a row has.
    struct RowShape {
        const char* insertHead;
        size_t columns;
    };

    // ctx gives the program folder and the prompt service; it must outlive the job.
    explicit clsConvert(AppContext& ctx);
    ~clsConvert() override;
    clsConvert(const clsConvert&) = delete;
    clsConvert& operator=(const clsConvert&) = delete;

    // ---- Properties -------------------------------------------------------------------
    // The settings a child job copies are those of ConvertSettings (job_settings.h); these are
    // the job's own.
    // The calling main window (Form and ParentForm are one field); not owned. A subreport's
    // job reports to no window.
    ui::ProgressWindow* Form = nullptr;
    void setParentForm(ui::ProgressWindow* window) { Form = window; }
    // Given by the caller and kept, never read by the conversion: progress goes through Form.
    ui::ProgressWindow* ProgressMeter = nullptr;  // not owned
    bool IsSQL = false;
    void* oLv = nullptr;
    // True once the job reached the save step.
    bool success() const { return success_; }
    // Why the .rpt file could not be saved (the error, naming the file); empty when it was
    // saved or the job did not reach the save.
    const std::string& SaveFailure() const { return saveFailure_; }
    // The file stem (no extension) a report of the job's entry is saved under: its name among
    // the entry's reports (report_files.h), from EntryReportFiles when given. Throws
    // vb::ComError when the lists file cannot be read.
    std::string ReportFileStemOf(const std::string& report);
    // The report record; an empty one is created on first use when none was given.
    const std::shared_ptr<clsReport>& oReport();
    void setOReport(std::shared_ptr<clsReport> report) { oReport_ = std::move(report); }
    // Lists-file connection (gDb); an unopened one is created on first use when none was given.
    const ado::ConnectionPtr& db();
    std::string ReportName;
    bool IsSubReport = false;
    std::string ParentReport;
    // Filled by the job: the Access sections counted, the table the report is bound to, the
    // report built.
    short CountOfAccessSections = 0;
    std::string ReportSource;
    designer::Report* crReport() const { return crReport_.get(); }

    // ---- Job and driver ----------------------------------------------------------------
    // Runs the job; True when the report was built and saved. The subreport flag only changes
    // the wording of failure lines.
    bool Convert(ui::ProgressWindow& window, bool subreport);
    bool OpenAccess();
    std::unique_ptr<access::Application> GetAccessObject();
    bool OpenAccessReport();
    void CloseAccess();
    bool SetPaperOrientation();
    bool AddFormulaField();
    // Places the Access report header's labels and text boxes in the first section (no
    // conversion calls it).
    bool AddToHeader();
    short FindField(const std::string& table, const std::string& field);

    // ---- Conversion log ----------------------------------------------------------------
    // One ErrorLog row and the text-log line (a step) or block (a problem); False when the
    // lists file did not get the row. tag is a text callers pass along; it is not stored.
    bool WriteErrorLog(const std::string& description, const std::string& function, LogLevel level,
                       const std::string& tag = {}) override;
    // A step line: WriteErrorLog at LogLevel::Step.
    bool LogStepError(const std::string& message, const std::string& function) override;
    // True when a write to the lists file failed during the job (see NoteStoreFailure).
    bool StoreWriteFailed() const { return storeFailed_; }
    bool RecordError(const std::string& description, const std::string& formulaName,
                     const std::string& accessFormula, const std::string& crystalFormula,
                     const std::string& function);
    void ShowErrorLog();

    // ---- Data-source binding -------------------------------------------------------------
    bool AddDatabases();
    bool SetCatalog(std::shared_ptr<adox::Catalog>& catalog, clsLink& link);
    std::string CheckReportSource(clsLink& link);
    bool ConnectionIsUsedInReport(clsLink& link);
    bool AddDatabaseReference(clsLink& link);
    bool AddDatabase_AccessInternalTables(clsLink& link);
    bool AddDatabase_AccessLinkedTables(clsLink& link);
    bool AddDatabase_ODBCLinkedTables(clsLink& link);
    bool AddDatabase_DataProject(clsLink& link);
    designer::StoredProcParams GetStoredProcedureParameters();
    std::string StripOutdataTypes(std::string& text);
    designer::StoredProcParams GetParametersFromStoredProcedure(clsLink& link);

    // ---- Raw-SQL record sources ----------------------------------------------------------
    std::string DealWithRAWSQL(clsUpdateQueries& classifier, const std::string& sql,
                               const std::string& defaultName);
    bool AddView(const std::string& name, const std::string& sql, bool overwrite);
    bool CompareSQL(const std::string& name, const std::string& sql);
    bool CreateSQLView(const ado::ConnectionPtr& connection, const std::string& sql, const std::string& name,
                       bool overwrite);
    bool DropView(const ado::ConnectionPtr& connection, const std::string& name);

    // ---- Sections and areas ----------------------------------------------------------------
    bool AddSections(ui::ProgressWindow& window);
    short CountSections();
    // One problem row naming the section blocks of the export that have no section number.
    void ReportLeftOutSections();
    bool ProcessSection(ui::ProgressWindow& window, int i);
    std::string GetSectionName(int i);
    bool GetSection(int i);
    std::string GetCrystalAreaName(const std::string& name);
    short GetCrystalAreaNo(const std::string& name);
    bool Translate(const std::string& key, const std::string& name);
    bool IsPageHeaderSection(const std::string& name);
    bool IsPageFooterSection(const std::string& name);
    bool IsReportHeaderSection(const std::string& name);
    bool IsReportFooterSection(const std::string& name);
    bool IsGroupHeaderSection(const std::string& name);
    bool IsGroupFooterSection(const std::string& name);
    bool IsDetailSection(const std::string& name);
    short CheckSectionForControls(designer::Section& crSection, int i);
    bool SuppressAllBlankSections();
    void ClearCollection();

    // ---- Groups --------------------------------------------------------------------------
    short AddGroupLevels();
    bool GetGroupLevel(int i);
    // True when a group (or sort field) was added for level i.
    bool AddGroup(int i);
    // Levels 0 to 16 that hold a group; levels with a grouping field (no conversion calls them).
    short GetTotalNoOfGroups();
    bool IsValidGroupLevel(int i);

    // ---- Control discovery and layout bookkeeping --------------------------------------------
    void DiscoverControls(short sectionNo);
    // heightFlag 1: the object's height is not recorded.
    void UpdateControl(designer::ReportObject* object, access::Control& control, short heightFlag);
    void AlignCrystalControls(const std::string& area);
    // A vertical pass over the whole built report, writing positions back to Controls rows;
    // the conversion uses AlignCrystalControls per area instead.
    void CheckCrystalReportAlignment();
    void ShowControlsInDebug(designer::Section& section);

    // ---- Text, label and field objects -----------------------------------------------------
    bool AddLabelObject(designer::Section& section, access::Control& control, long top);
    bool AddTextObject(designer::Section& section, access::Control& control,
                       designer::FormulaFieldDefinitions& formulas, ui::ProgressWindow& window, long top);
    bool AddFieldObject(designer::Section& section, access::Control& control, long left, long top);
    void UpdateFieldObjectProperties(designer::ReportObject& object, access::Control& control,
                                     const std::string& name);
    std::string StripAccessParameter(const std::string& controlSource);
    bool ExistsParameter(const std::string& name);
    std::string CheckForParameter(const std::string& controlSource);
    std::string ParseControlRecordSource(const std::string& table);

    // ---- Lines, boxes, images and pictures --------------------------------------------------
    bool AddLineObject(designer::Section& section, access::Control& control, long top);
    void AddBoxObject(designer::Section& section, access::Control& control, long top);
    // top: where the object goes in the section (twips).
    void AddImageObject(designer::Section& section, access::Control& control, long top);
    bool CustomControlHasFileNameProperty(access::Control& control);
    void AddPictureObject(designer::Section& section, access::Control& control, long top);

    // ---- Subreports ------------------------------------------------------------------------
    // The subreport control's report, converted by a child job and embedded where the control
    // stands in the area being built (areaCode); False when nothing was placed.
    // The section and top given are not read: the area code says where the subreport goes.
    bool ImportSubReport(designer::Section* section, ui::ProgressWindow& window, access::Control& control,
                         long top, const std::string& areaCode);
    bool SetNewLinks(designer::SubreportObject& object, const std::string& childSource,
                     const std::string& master, const std::string& child);
    const designer::DatabaseFieldDefinition* GetFieldDef(designer::Report& report, const std::string& table,
                                                         const std::string& field);
    // Links on the report source's fields; the conversion uses SetNewLinks.
    bool SetSublinks(designer::SubreportLinks& links, const std::string& master, const std::string& child);

    // ---- Formula translation -----------------------------------------------------------------
    std::string ConvertFormula(const std::string& expression);
    bool IsFormulaField(const std::string& name);

    // ---- FormulaContext ----------------------------------------------------------------------
    std::string CurrentTableName() const override { return currentTableName_; }
    std::vector<std::string> FormulaFieldNames() const override;
    std::string RowCountFieldName() const override;
    std::string GroupFieldReference() const override { return currentGroupField_; }
    int ValueTypeOf(const std::string& formula) const override;
    bool IsWholeNumberField(const std::string& text) const override;
    void ShowMessage(const std::string& text) override;

    // ---- Read-only views of the job's state (tests, child jobs) ---------------------------------
    access::Application* AccessApplication() const { return access_.get(); }
    const access::ReportPtr& AccessReport() const { return accessReport_; }
    const std::string& AccessRecordSource() const { return recordSource_; }
    bool AccessIsOpen() const { return accessOpen_; }
    short NumberOfGroups() const { return numberOfGroups_; }
    const std::shared_ptr<adox::Catalog>& Catalog() const { return catalog_; }
    AppContext& Context() const { return ctx_; }

  private:
    // The context's prompt service; with none, one that answers with the default button and
    // the default text without showing anything.
    ui::Prompt& prompt();
    // A message box through prompt().
    int msgBox(const std::string& text, int buttons, const std::string& title = {});
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText);
    // The window progress goes to: Form, else null.
    ui::ProgressWindow* window() const { return Form; }
    long reportId();
    long databaseListId();
    // The ids the job's ErrorLog rows carry: its report record's, or for a subreport's job the
    // report that holds it (the rows name the subreport in ReportName and SubReportOf), so that
    // they show in that report's problem log, count for it and go with its next conversion.
    long logReportId() { return logOwner_ ? logOwner_->reportId : reportId(); }
    long logDatabaseListId() { return logOwner_ ? logOwner_->databaseListId : databaseListId(); }
    struct LogOwner {
        long reportId = 0;
        long databaseListId = 0;
    };
    std::optional<LogOwner> logOwner_;
    void writeTextBlock(const std::string& description, const std::string& function, LogLevel level);
    // Once per job: commits on a SQLite lists file go to its write-ahead log without a flush.
    void EnsureFastCommits();
    bool fastCommitsTried_ = false;

    // Lists-file writes of a running Convert are gathered in one transaction, committed at
    // the line of every step of the driver that starts lasting work (LogStep), with every
    // problem row, before anything is asked of the user and at the end; the report's text log
    // reaches its file at the same moments. A kill therefore loses at most the information
    // lines of the step under way, never a problem row or the step itself, and the text log
    // never shows more than the lists file holds. A step's rows cost one commit instead of
    // one each.
    // One log row; commit: the row (and everything before it) is committed before its text
    // is written.
    bool writeLogRow(const std::string& description, const std::string& function, LogLevel level,
                     bool commit);
    // A step line that is committed at once: where a killed job was.
    bool LogStep(const std::string& message, const std::string& function);
    // Opens the job's transaction on the lists file when it gathers rows and none is open.
    void BeginLogBatch();
    // Writes rows (shape.columns values each, one after another; the values are moved out)
    // with as few INSERTs as it can, through StoreExecute.
    void StoreInsertRows(const RowShape& shape, std::span<vb::Variant> values);
    // The INSERT of rows rows of shape, made once per job.
    const std::string& InsertText(const RowShape& shape, size_t rows);
    struct InsertTextEntry {
        const RowShape* shape;
        size_t rows;
        std::string sql;
    };
    std::vector<InsertTextEntry> insertTexts_;
    // One ErrorLog row (its values are moved out): held while the job's transaction on a
    // SQLite lists file is open (HoldsRows), written at once otherwise.
    void AddRow(const RowShape& shape, std::span<vb::Variant> values);
    bool HoldsRows();
    // Writes the rows held, in the order they came; before the commit and before anything
    // else adds ErrorLog rows on the connection (the formula-failure recordset, a subreport's
    // job), so that the rows keep their order. A failure is a failed store write
    // (NoteStoreFailure), not raised.
    void WriteHeldRows();
    // Held rows: their values one after another, and runs of rows of one shape in order.
    struct HeldRun {
        const RowShape* shape;
        size_t rows;
    };
    std::vector<HeldRun> heldRuns_;
    std::vector<vb::Variant> heldValues_;
    // Commits what the job gathered; a failure is a failed store write. Inside a LogCluster
    // the commit waits for the cluster's end.
    void CommitLog();
    bool batching_ = false;
    // Problem rows written back to back (a formula failure writes three) are committed
    // together when the cluster ends.
    class LogCluster {
      public:
        explicit LogCluster(clsConvert& job) : job_(job) { ++job_.clusterDepth_; }
        ~LogCluster() {
            if (--job_.clusterDepth_ == 0 && job_.commitDue_) {
                job_.commitDue_ = false;
                job_.CommitLog();
            }
        }
        LogCluster(const LogCluster&) = delete;
        LogCluster& operator=(const LogCluster&) = delete;

      private:
        clsConvert& job_;
    };
    int clusterDepth_ = 0;
    bool commitDue_ = false;

    // A write to the lists file that failed (a lock held longer than the connection waits, a
    // full disk): the job says so once in the text log, stops writing to the lists file and
    // fails; every later row still goes to the text log. Rows are never dropped in silence.
    void NoteStoreFailure(const std::string& error);
    // Execute on the lists file, noting a failure before it goes on to the caller's trap.
    long long StoreExecute(const std::string& sql, const std::vector<vb::Variant>& params);
    bool storeFailed_ = false;
    std::string storeError_;
    long storeTimeout_ = -1;  // the connection's wait, restored when Convert ends

    AppContext& ctx_;
    bool success_ = false;
    std::string saveFailure_;
    std::shared_ptr<clsReport> oReport_;

    // Designer side.
    std::unique_ptr<designer::Application> crApplication_;
    std::unique_ptr<designer::Report> crReport_;

    // The files this job opens, each opened once (Access side, links, the report's field
    // reader); a subreport's job uses its parent's.
    ado::ConnectionPool pool_;

    // Access side.
    access::ReportCachePtr reportCache_;  // the exports this job has read
    std::unique_ptr<access::Application> access_;
    access::ReportPtr accessReport_;
    std::string recordSource_;
    bool accessOpen_ = false;

    // The converter's error-log recordset, opened by Convert; formula failures go into it.
    std::unique_ptr<ado::Recordset> errorLog_;

    // Section-name collection: (section number as text, name) in the order added.
    std::vector<std::pair<std::string, std::string>> sectionNames_;
    // Control collection of the section being converted.
    std::vector<ControlPtr> controls_;
    short groupHeadersMet_ = 0;
    short groupFootersMet_ = 0;
    short numberOfGroups_ = 0;
    std::string currentTableName_;

    // Data-source binding.
    bool storedProcedure_ = false;
    // Whether a link that holds every name of the source database was asked for the record
    // source (a name, not a statement), and whether any link has a table or query of that name.
    bool recordSourceLookedUp_ = false;
    bool recordSourceFound_ = false;
    std::shared_ptr<adox::Catalog> catalog_;
    // The back-end kind AddView follows: the kind of the link being bound.
    short backEndType_ = 0;
    // A raw-SQL record source on a link that cannot be written (an Access file): the report
    // keeps the statement and reads it as a command; empty otherwise.
    std::string keptStatement_;
    // The table the record source is read from in an Access file (location): the kept
    // statement as a command, else the table or query of that name.
    designer::DatabaseTable& AddRecordSourceTable(designer::DatabaseTables& tables,
                                                  const std::string& location, const std::string& name);

    // layout internals
    // The kinds a section is converted as.
    enum class SectionKind {
        None,
        GroupHeader,
        GroupFooter,
        Detail,
        ReportHeader,
        ReportFooter,
        PageFooter,
        PageHeader
    };
    // The kind the name tests give; when they give none, the kind the section number gives
    // (byNumber is then set).
    SectionKind KindOfSection(int i, const std::string& name, bool& byNumber);
    static const char* KindName(SectionKind kind);
    // The Access group level a group section number belongs to (5 + 2j, 6 + 2j); -1 otherwise.
    static int GroupLevelOfSection(int i);
    // The designer group made for an Access group level; 0 when the level got none.
    int GroupOfLevel(int level) const;
    // The steps of ProcessSection. The question whether subreports show their page header and
    // footer (section name: the section being processed).
    void AskSubreportPageSections(ui::ProgressWindow& window, const std::string& name);
    // Where a section's controls go; no section when the section is not converted.
    struct SectionTarget {
        designer::Section* section = nullptr;
        std::string areaCode;
    };
    // The target for section i; name is cleared when the section is skipped on purpose.
    SectionTarget TargetOfSection(int i, std::string& name);
    // The target of a section of that kind; name is cleared when the section is skipped.
    SectionTarget TargetOfKind(SectionKind kind, int i, std::string& name);
    SectionTarget GroupSectionTarget(int i, const std::string& name, bool header);
    SectionTarget PlainSectionTarget(const std::string& kindName, const std::string& errorText,
                                     const std::string& function);
    designer::Section* FirstSectionOf(const std::string& areaCode);
    // The controls of Access section i, each handed to its builder.
    void ConvertSectionControls(ui::ProgressWindow& window, int i, const std::string& name,
                                designer::Section& section, const std::string& areaCode);
    // One control of the section being processed, by its ControlType.
    void DispatchControl(designer::Section& section, access::Control& control, int type,
                         const std::string& areaCode, ui::ProgressWindow& window);
    // Case 3 of a text box: a formula field from an expression, checked and placed.
    void AddFormulaObject(designer::Section& section, access::Control& control,
                          designer::FormulaFieldDefinitions& formulas, ui::ProgressWindow& window, long top);
    // controlName: how the rows name the control ("Name", or "Name (formula field Other)").
    void WriteFormulaCheckFailure(const std::string& formulaName, const std::string& expression,
                                  const std::string& crystalFormula, const std::string& message,
                                  const std::string& controlName);
    void WriteFormulaConversionFailure(const std::string& formulaName, const std::string& expression,
                                       const std::string& crystalFormula);
    // A new row in the job's error-log recordset (one of its own when Convert has not opened it).
    ado::Recordset& FormulaErrorLog();
    // A form reference's parameter field, added unless the report has it (value type string,
    // else date, else number), with parameter prompting on.
    void AddFormParameter(const std::string& name, const std::string& sectionName);
    // Parameters of form references added as text whose type no formula relies on yet: each
    // takes the type its first use in a formula needs.
    std::vector<std::string> untypedParameters_;
    // For a formula whose check failed: the untyped parameters it names take a number, a date
    // or a date-time type, the first that makes it check; True when one did.
    bool TypeFormParameters(designer::FormulaFieldDefinition& definition);
    // The untyped parameters a formula that checks names keep their type from here on.
    void KeepParameterTypes(const std::string& formula);
    // A field object for the reference text, sized and formatted from the control and recorded.
    bool PlaceFieldObject(designer::Section& section, access::Control& control, const std::string& fieldText,
                          long left, long top);
    // The name of a source that is one bracketed name ("[Customer Name]"); "" otherwise.
    static std::string BracketedName(const std::string& source);

    // The names of the report's calculated text boxes, collected before the sections, so that
    // a formula may refer to one met later; formulas whose check failed only for such a
    // reference are checked again when every section is done.
    void CollectCalculatedControls();
    bool RefersToFormulaNotYetAdded(const std::string& crystalFormula);
    void CheckDeferredFormulas(ui::ProgressWindow& window);
    struct DeferredCheck {
        designer::FormulaFieldDefinition* definition;
        std::string formulaName;
        std::string expression;
        std::string crystalFormula;
        std::string controlName;  // as log rows name the control
    };
    std::vector<std::string> calculatedControls_;
    std::vector<DeferredCheck> deferredChecks_;

    // Where the controls of the section being processed go (twips). A subreport control
    // starts a section of its own after what is above it; subreport controls side by side
    // share it, with the controls beside them; controls below start a further section, their
    // tops taken from the subreport's bottom.
    struct Placement {
        designer::Section* current = nullptr;  // controls outside a subreport band
        long offset = 0;                       // the Access top that is top 0 of current
        designer::Section* band = nullptr;     // the section of the subreports side by side
        long bandTop = 0;
        long bandBottom = 0;
        std::string areaCode;
    };
    Placement placement_;
    // The section a control other than a subreport goes to, and its top there.
    designer::Section& SectionFor(const access::Control& control, long& top);
    // The section a subreport control goes to, and its top there.
    designer::Section& SubreportSection(const access::Control& control, const std::string& areaCode,
                                        long& top);
    // The group field of the group section being processed ("{T.F}"); "" elsewhere.
    std::string currentGroupField_;

    // The steps of ImportSubReport. The report the control shows, "" when it is not converted
    // (a form, or a report on the chain of parents; the reason is logged).
    std::string SubreportToConvert(access::Control& control);
    // A job for the subreport: the settings copied from this one, its own identity.
    std::unique_ptr<clsConvert> NewChildJob(const std::string& report);
    // The subreport object for the child's saved file, placed and sized from the control;
    // step follows the work for the failure row.
    designer::SubreportObject& PlaceSubreport(access::Control& control, const std::string& areaCode,
                                              const std::string& path, int& step);
    // One link per pair of the control's link fields.
    void LinkSubreport(designer::SubreportObject& object, access::Control& control,
                       const std::string& childSource);

    // The reports on the chain of parent jobs above this one, nearest last: a report among
    // them is not converted again as a subreport.
    std::vector<std::string> parentReports_;

    // The entry whose reports share the output folder: a subreport's job has no report record
    // of its own and takes its parent's. 0 until a child is given one.
    long fileEntryId_ = 0;
    long FileEntryId() { return fileEntryId_ != 0 ? fileEntryId_ : databaseListId(); }
    // Where the report is saved in the output folder: ReportFileStemOf with ".rpt".
    std::string ReportFilePath(const std::string& report);

    // A file of the program folder ("icons/yellowquestion.ico", "brenmoor.bmp").
    std::string ProgramFile(const std::string& name) const;
    // The existing file a linked image names, "" when there is none.
    std::string LinkedPictureFile(const access::Control& control) const;

    struct LevelGroup {
        int level;
        int group;
    };
    std::vector<LevelGroup> levelGroups_;
    struct TranslationPair {
        std::string language;              // a section name
        std::vector<std::string> english;  // the keys it translates
    };
    std::vector<TranslationPair> translations_;  // answers of the Translations table, once per name and job
    const TranslationPair* FindTranslation(const std::string& name) const;
    std::vector<ado::ColumnInfo> controlsColumns_;  // the Controls table's, read once per job
    bool controlsColumnsRead_ = false;
    // Names of the controls whose Controls rows this job stored: each has a row to update.
    std::unordered_set<std::string> storedControls_;
    bool firstSectionProcessed_ = false;
    std::unique_ptr<ado::Recordset> ownFormulaLog_;
    // end of layout internals
};

// Makes ready, once for the run, what every conversion shares, so that the first conversion of
// the run does not pay for it alone: the lists file's fast commits (its write-ahead log, which
// a conversion otherwise turns on at its first row, at the cost of flushes of the file). A file
// that refuses them keeps its own mode; nothing is reported.
void PrepareConversions(const AppContext& ctx);

}  // namespace tolvaran
