// clsConvert: construction, the driver Convert with its fixed steps, the Access instance,
// paper orientation and the small members no other file owns.
#include "convert/convert.h"

#include <filesystem>
#include <optional>

#include "convert/trap.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/report.h"
#include "platform/ui/default_prompt.h"
#include "store/context.h"
#include "store/report_files.h"
#include "store/support.h"
#include "store/text_log.h"

namespace tolvaran {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kStepRule = "------------------------";

}  // namespace

clsConvert::clsConvert(AppContext& ctx) : ctx_(ctx), reportCache_(std::make_shared<access::ReportCache>()) {}

clsConvert::~clsConvert() {
    CommitLog();
    try {
        if (access_) access_->CloseCurrentDatabase();
    } catch (...) {
    }
    accessReport_.reset();
    access_.reset();
    crApplication_.reset();
}

const ado::ConnectionPtr& clsConvert::db() {
    if (!db_) db_ = std::make_shared<ado::Connection>();
    return db_;
}

ui::Prompt& clsConvert::prompt() {
    static ui::DefaultPrompt defaults;
    return ctx_.prompt ? *ctx_.prompt : defaults;
}

// Nothing gathered in the lists file's transaction waits while the user reads a question.
int clsConvert::msgBox(const std::string& text, int buttons, const std::string& title) {
    CommitLog();
    return prompt().MsgBox(text, buttons, title);
}

std::string clsConvert::inputBox(const std::string& text, const std::string& title,
                                 const std::string& defaultText) {
    CommitLog();
    return prompt().InputBox(text, title, defaultText);
}

void clsConvert::ShowMessage(const std::string& text) {
    msgBox(text, ui::vbOKOnly);
}

std::string clsConvert::ReportFileStemOf(const std::string& report) {
    return EntryReportFiles ? ReportFileStemIn(*EntryReportFiles, report)
                            : ReportFileStem(db(), FileEntryId(), report);
}

std::string clsConvert::ReportFilePath(const std::string& report) {
    return JoinPath(Reportpath, ReportFileStemOf(report) + ".rpt");
}

bool clsConvert::Convert(ui::ProgressWindow& window, bool subreport) {
    bool ok = false;
    std::string stepText;  // the step reached last, for the failure line
    // A step that starts work that lasts (Access, the data, the groups, the sections, the
    // file) has its line committed first; the lines of the steps between, which last
    // microseconds, are committed with it.
    auto step = [&](const std::string& text, bool lasting) {
        stepText = text;
        if (lasting)
            LogStep(text, "Convert");
        else
            LogStepError(text, "Convert");
    };
    // The continuing trap: logs the failure, clears ok and goes on with the next statement.
    auto fail = [&](const TrappedError& e) {
        ok = false;
        std::string text = stepText + kCrLf;
        if (subreport) text += std::string("Working on SubReport") + kCrLf;
        text += e.description + kCrLf;
        WriteErrorLog(text, "Convert", LogLevel::Error);
    };
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) fail(*e);
    };
    auto bump = [&](long by) { trap([&] { window.SetProgressValue(window.ProgressValue() + by); }); };

    if (!Form) Form = &window;
    std::optional<ado::ConnectionPool::Use> pooled;
    if (!ado::ConnectionPool::Current()) pooled.emplace(pool_);
    batching_ = true;
    // Text-log lines reach the file with each commit of the lists file (CommitLog).
    const bool textAutoFlush = oText ? oText->AutoFlush : true;
    if (oText) oText->AutoFlush = false;

    // 1. The private connection of the original serves no purpose and is not made.
    // 2.
    trap([&] {
        LogStepError(kStepRule, "Convert");
        LogStepError(IsSubReport ? "1. Start SUBREPORT process" : "1. Start Conversion process", "Convert");
        LogStepError(kStepRule, "Convert");
    });
    // 3.
    trap([&] {
        step("Create CRAXDRT", false);
        crApplication_ = std::make_unique<designer::Application>(designer::AdoFieldReader(ctx_.connections));
    });
    // 4. Only new rows go through this recordset: it selects none of the stored ones.
    trap([&] {
        step("Open Error Log", false);
        errorLog_ = std::make_unique<ado::Recordset>();
        errorLog_->Open("Select * from ErrorLog Where 1 = 0", db(), ado::adOpenStatic,
                        ado::adLockPessimistic);
    });
    // 5.
    trap([&] {
        window.SetProgressMin(1);
        window.SetProgressMax(10);
        window.SetProgressValue(1);
        window.SetLblProgress("Opening Report " + ReportName);
        window.DoEvents();
    });
    // 6. No file-system object is needed here.
    trap([&] { step("Scripting.FileSystemObject", false); });
    // 7.
    trap([&] {
        step("crApplication.NewReport", false);
        if (!crApplication_) ThrowNotSet();
        crReport_ = crApplication_->NewReport();
    });
    // 8.
    trap([&] {
        step("Open Access", true);
        ok = OpenAccess();
        if (ok) ok = OpenAccessReport();
    });
    // 9.
    CloseAccess();
    // 10.
    if (ok) {
        trap([&] {
            window.SetLblProgress("Add Database Reference(s)");
            step("Add Database Reference(s)", true);
        });
        trap([&] {
            if (ok) ok = AddDatabases();
        });
        bump(1);
    }
    // 11.
    if (ok) {
        trap([&] { AddFormulaField(); });
        bump(1);
    }
    // 12.
    if (ok) {
        trap([&] {
            window.SetLblProgress("Review Grouping Levels");
            step("AddGroupLevel", true);
        });
        trap([&] { numberOfGroups_ = AddGroupLevels(); });
        bump(1);
    }
    // 13.
    if (ok) {
        trap([&] {
            step("SetPaperOrientation", false);
            SetPaperOrientation();
        });
    }
    // 14.
    if (ok) {
        trap([&] {
            window.SetLblProgress("Add Sections");
            step("Add Sections", true);
        });
        trap([&] { ok = AddSections(window); });
        bump(5);
    }
    // 15.
    if (ok) trap([&] { LogStepError("Complete Process!", "Convert"); });
    // 16.
    CloseAccess();
    // A conversion whose rows could not all be stored has failed, whatever else it did.
    if (storeFailed_) ok = false;
    // 17. The file is saved under the report's file name (its safe name, unless another report
    // of the entry has that one), and the log names the file written. A failed
    // save is logged under this step and clears ok: the job did not complete.
    if (ok) {
        success_ = true;
        std::string file;
        std::optional<TrappedError> e = Try([&] { file = ReportFilePath(ReportName); });
        if (!e) {
            trap([&] {
                window.SetLblProgress("Saving Report...");
                step("Saving Report...:" + file, true);
            });
            e = Try([&] {
                if (!crReport_) ThrowNotSet();
                crReport_->SaveAs(file, designer::crReportFormat2048);
            });
        }
        if (e) {
            saveFailure_ = e->description;
            fail(*e);
        }
        trap([&] {
            window.SetLblField("");
            if (saveFailure_.empty()) {
                window.SetLblProgress("Complete.");
                LogStepError("Conversion Complete", "Convert Report");
            } else {
                window.SetLblProgress("The report could not be saved.");
                LogStepError("Did not complete", "Convert");
            }
        });
    } else {
        // 18.
        trap([&] {
            LogStepError("Did not complete", "Convert");
            window.SetLblProgress("There were errors.");
            window.SetLblField("");
        });
    }
    // 19.
    try {
        if (errorLog_) errorLog_->Close();
    } catch (...) {
    }
    errorLog_.reset();
    CommitLog();
    // What the text log lost is said where the report's rows are; a subreport's job shares
    // its parent's text log and leaves that to the parent.
    const bool textFailed = oText && oText->WriteFailed();
    if (textFailed && !subreport)
        WriteErrorLog("The text log " + oText->FullName() + " could not be written: " + oText->WriteError(),
                      "Convert", LogLevel::Error);
    batching_ = false;
    if (oText) oText->AutoFlush = textAutoFlush;
    if (storeFailed_) {
        ok = false;
        try {
            if (storeTimeout_ >= 0 && db()->State() == ado::adStateOpen)
                db()->setCommandTimeout(storeTimeout_);
        } catch (...) {
        }
        storeTimeout_ = -1;
        const std::string kept = textFailed ? "The report's text log " + oText->FullName() +
                                                  " could not be written either: " + oText->WriteError() +
                                                  ". Not every step and problem of this conversion was kept."
                                            : "Every step and problem is in the report's text log.";
        msgBox("The lists file could not be written while converting " + ReportName + ": " + storeError_ +
                   kCrLf + "The conversion did not complete. " + kept,
               ui::vbOKOnly | ui::vbCritical, "Convert Reports");
    }
    return ok;
}

bool clsConvert::OpenAccess() {
    try {
        std::error_code ec;
        if (!std::filesystem::exists(Database, ec)) {
            msgBox("The Access database <" + Database +
                       "> does not exist. Please edit your database reference and try again.",
                   ui::vbOKOnly);
            return false;
        }
        access_ = GetAccessObject();
        access_->OpenCurrentDatabase(Database, false);
        access_->Visible = false;
        accessOpen_ = true;
        ReportsDatabaseVersion = access_->DBEngine().Version();
        return true;
    } catch (...) {
        const TrappedError e = CurrentError();
        accessReport_.reset();
        access_.reset();
        accessOpen_ = false;
        msgBox(
            e.description + kCrLf +
                "You may have multiple versions of Access installed or the Access 97 version is the current "
                "version right now or, " +
                kCrLf +
                "There may be another instance of Access running in memory. Try using Task Manager to close "
                "down any open instances of Microsoft Access and try again.",
            ui::vbOKOnly);
        WriteErrorLog(e.description, "OpenAccess", LogLevel::Error);
        return false;
    }
}

std::unique_ptr<access::Application> clsConvert::GetAccessObject() {
    std::unique_ptr<access::Application> app;
    try {
        app = std::make_unique<access::Application>();
    } catch (...) {
        WriteErrorLog(CurrentError().description, "Get Access object", LogLevel::Problem);
        app = std::make_unique<access::Application>();
    }
    // Every instance of this job reads the report exports through the job's cache: Access is
    // opened more than once in a conversion, the export is read once.
    app->setReportCache(reportCache_);
    app->setConnectionOptions(ctx_.connections);
    return app;
}

bool clsConvert::OpenAccessReport() {
    try {
        LogStepError("try to open Report:" + ReportName, "OpenReport");
        if (!access_) ThrowNotSet();
        access_->DoCmd().OpenReport(ReportName, access::acViewDesign);
        accessReport_ = access_->Reports(ReportName);
        LogStepError(
            (IsSubReport ? "opened sub-report successfully:" : "opened report successfully:") + ReportName,
            "OpenReport");
        recordSource_ = accessReport_->RecordSource();
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "OpenReport", LogLevel::Error);
        return false;
    }
}

void clsConvert::CloseAccess() {
    try {
        LogStepError("Garbage Collection..", "CloseAccess");
    } catch (...) {
    }
    accessReport_.reset();
    try {
        if (access_) access_->Quit(2);
    } catch (...) {
    }
    access_.reset();
    accessOpen_ = false;
}

bool clsConvert::SetPaperOrientation() {
    try {
        if (!crReport_) ThrowNotSet();
        if (ReportsDatabaseVersion == "3.51") {
            crReport_->PaperOrientation = designer::crPortrait;
        } else {
            if (!accessReport_) ThrowNotSet();
            const bool landscape = accessReport_->Orientation() == 2 || accessReport_->Width() > 10000;
            crReport_->PaperOrientation = landscape ? designer::crLandscape : designer::crPortrait;
        }
        return true;
    } catch (...) {
        const TrappedError e = CurrentError();
        if (crReport_) crReport_->PaperOrientation = designer::crPortrait;
        WriteErrorLog(e.description, "PaperOrientation", LogLevel::Error);
        return true;
    }
}

bool clsConvert::AddToHeader() {
    try {
        if (!crReport_ || !accessReport_) ThrowNotSet();
        designer::Section& first = crReport_->Sections().Item(1);
        for (access::Control* c : accessReport_->Section(1).Controls()) {
            if (c->Type() == access::acLabel)
                first.AddTextObject(c->Name(), c->Left(), c->Top());
            else if (c->Type() == access::acTextBox)
                first.AddFieldObject(c->Name(), c->Left(), c->Top());
        }
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AddToHeader", LogLevel::Error);
        return false;
    }
}

bool clsConvert::AddFormulaField() {
    try {
        if (!crReport_) ThrowNotSet();
        (void)crReport_->FormulaFields().Count();
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AddFormulaField", LogLevel::Problem);
        return false;
    }
}

short clsConvert::FindField(const std::string& table, const std::string& field) {
    short result = 9999;
    try {
        if (!catalog_) ThrowNotSet();
        adox::Tables& tables = catalog_->Tables();
        if (tables.Count() == 0) {
            LogStepError("TableCount=0", "FindField");
            return result;
        }
        for (adox::Table& t : tables) {
            if (!EqualsNoCase(t.Name, table)) continue;
            adox::Columns& columns = t.Columns();
            for (long i = 0; i < columns.Count(); ++i)
                if (EqualsNoCase(columns.Item(i).Name, field)) return static_cast<short>(i);
            break;
        }
        return result;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "FindField", LogLevel::Problem);
        return result;
    }
}

std::vector<std::string> clsConvert::FormulaFieldNames() const {
    std::vector<std::string> names;
    if (!crReport_) return names;
    for (const auto& f : crReport_->FormulaFields()) names.push_back(f->Name());
    // The calculated controls met later are formulas too: a reference to one is a formula
    // reference whatever the order the sections come in.
    for (const std::string& name : calculatedControls_)
        if (!crReport_->FormulaFields().Find(name)) names.push_back(name);
    return names;
}

int clsConvert::ValueTypeOf(const std::string& formula) const {
    if (!crReport_) return designer::crUnknownField;
    const designer::FormulaCheckResult result =
        designer::CheckFormula(formula, designer::TypedSymbols(*crReport_));
    return result.ok ? result.valueType : designer::crUnknownField;
}

bool clsConvert::IsWholeNumberField(const std::string& text) const {
    if (!crReport_) return false;
    const std::string t = vb::Trim(text);
    if (t.size() < 3 || t.front() != '{' || t.back() != '}' || t[1] == '@' || t[1] == '?') return false;
    const std::string body = t.substr(1, t.size() - 2);
    if (body.find_first_of("{}") != std::string::npos) return false;
    for (const auto& table : crReport_->Database().Tables()) {
        const std::string& name = table->Name();
        if (body.size() > name.size() + 1 && body[name.size()] == '.' &&
            EqualsNoCase(body.substr(0, name.size()), name))
            if (const designer::DatabaseFieldDefinition* f =
                    table->Fields().Find(body.substr(name.size() + 1)))
                return f->WholeNumber();
    }
    return false;
}

std::string clsConvert::RowCountFieldName() const {
    if (!crReport_) return {};
    const designer::DatabaseTables& tables = crReport_->Database().Tables();
    const designer::DatabaseTable* t = tables.Find(currentTableName_);
    if (!t && tables.Count() > 0) t = &tables.Item(1);
    if (!t || t->Fields().Count() == 0) return {};
    return t->Fields().Item(1).Name();
}

}  // namespace tolvaran
