// clsConvert: construction, the driver Convert with its fixed steps, the Access instance,
// paper orientation and the small members no other file owns.
#include "convert/convert.h"

#include <filesystem>

#include "convert/trap.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"
#include "store/context.h"
#include "store/support.h"

namespace tolvaran {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kStepRule = "------------------------";

}  // namespace

clsConvert::clsConvert(AppContext& ctx) : ctx_(ctx) {}

clsConvert::~clsConvert() {
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

namespace {

// Answers every box with its default button and every input box with its default text.
class DefaultAnswers : public ui::Prompt {
public:
    int MsgBox(const std::string&, int buttons, const std::string&) override {
        switch (buttons & 7) {
            case ui::vbYesNo:
            case ui::vbYesNoCancel: return (buttons & ui::vbDefaultButton2) ? ui::vbNo : ui::vbYes;
            case ui::vbOKCancel: return (buttons & ui::vbDefaultButton2) ? ui::vbCancel : ui::vbOK;
            default: return ui::vbOK;
        }
    }
    std::string InputBox(const std::string&, const std::string&, const std::string& defaultText) override {
        return defaultText;
    }
};

}  // namespace

ui::Prompt& clsConvert::prompt() {
    static DefaultAnswers defaults;
    return ctx_.prompt ? *ctx_.prompt : defaults;
}

int clsConvert::msgBox(const std::string& text, int buttons, const std::string& title) {
    return prompt().MsgBox(text, buttons, title);
}

std::string clsConvert::inputBox(const std::string& text, const std::string& title, const std::string& defaultText) {
    return prompt().InputBox(text, title, defaultText);
}

void clsConvert::ShowMessage(const std::string& text) { msgBox(text, ui::vbOKOnly); }

bool clsConvert::Convert(ui::ProgressWindow& window, bool subreport) {
    bool ok = false;
    std::string stepText;  // the step reached last, for the failure line
    auto step = [&](const std::string& text, const std::string& function = "Convert") {
        stepText = text;
        LogStepError(text, function, 5);
    };
    // The continuing trap: logs the failure, clears ok and goes on with the next statement.
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) {
            ok = false;
            std::string text = stepText + kCrLf;
            if (subreport) text += std::string("Working on SubReport") + kCrLf;
            text += e->description + kCrLf;
            WriteErrorLog(text, "Convert", "", 1);
        }
    };
    auto bump = [&](long by) { trap([&] { window.SetProgressValue(window.ProgressValue() + by); }); };

    if (!Form) Form = &window;

    // 1. The private connection of the original serves no purpose and is not made.
    // 2.
    trap([&] {
        LogStepError(kStepRule, "Convert", 5);
        LogStepError(IsSubReport ? "1. Start SUBREPORT process" : "1. Start Conversion process", "Convert", 5);
        LogStepError(kStepRule, "Convert", 5);
    });
    // 3.
    trap([&] {
        step("Create CRAXDRT");
        crApplication_ = std::make_unique<designer::Application>();
    });
    // 4. Only new rows go through this recordset: it selects none of the stored ones.
    trap([&] {
        step("Open Error Log");
        errorLog_ = std::make_unique<ado::Recordset>();
        errorLog_->Open("Select * from ErrorLog Where 1 = 0", db(), ado::adOpenStatic, ado::adLockPessimistic);
    });
    // 5.
    trap([&] {
        window.SetProgressMin(1);
        window.SetProgressMax(10);
        window.SetProgressValue(1);
        window.SetLblProgress("Opening Report " + ReportName);
        window.DoEvents();
        formulaErrorCount_ = 0;
    });
    // 6. No file-system object is needed here.
    trap([&] { step("Scripting.FileSystemObject"); });
    // 7.
    trap([&] {
        step("crApplication.NewReport");
        if (!crApplication_) ThrowNotSet();
        crReport_ = crApplication_->NewReport();
    });
    // 8.
    trap([&] {
        step("Open Access");
        ok = OpenAccess();
        if (ok) ok = OpenAccessReport();
    });
    // 9.
    CloseAccess();
    // 10.
    if (ok) {
        trap([&] {
            window.SetLblProgress("Add Database Reference(s)");
            step("Add Database Reference(s)");
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
            step("AddGroupLevel");
        });
        trap([&] { numberOfGroups_ = AddGroupLevels(); });
        bump(1);
    }
    // 13.
    if (ok) {
        trap([&] {
            step("SetPaperOrientation");
            SetPaperOrientation();
        });
    }
    // 14.
    if (ok) {
        trap([&] {
            window.SetLblProgress("Add Sections");
            step("Add Sections");
        });
        trap([&] { ok = AddSections(window); });
        bump(5);
    }
    // 15.
    if (ok) trap([&] { LogStepError("Complete Process!", "Convert", 5); });
    // 16.
    CloseAccess();
    // 17. A failed save is logged and clears ok; the rest of the step still runs.
    if (ok) {
        success_ = true;
        trap([&] {
            window.SetLblProgress("Saving Report...");
            LogStepError("Saving Report...:" + JoinPath(Reportpath, ReportName + ".rpt"), "Convert", 5);
        });
        trap([&] {
            if (!crReport_) ThrowNotSet();
            crReport_->SaveAs(JoinPath(Reportpath, MakeSafeName(ReportName) + ".rpt"), designer::crReportFormat2048);
        });
        trap([&] {
            window.SetLblProgress("Complete.");
            window.SetLblField("");
            LogStepError("Conversion Complete", "Convert Report", 5);
        });
    } else {
        // 18.
        trap([&] {
            LogStepError("Did not complete", "Convert", 5);
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
        msgBox(e.description + kCrLf +
                   "You may have multiple versions of Access installed or the Access 97 version is the current "
                   "version right now or, " +
                   kCrLf +
                   "There may be another instance of Access running in memory. Try using Task Manager to close "
                   "down any open instances of Microsoft Access and try again.",
               ui::vbOKOnly);
        WriteErrorLog(e.description, "OpenAccess", "", 1);
        return false;
    }
}

std::unique_ptr<access::Application> clsConvert::GetAccessObject() {
    try {
        return std::make_unique<access::Application>();
    } catch (...) {
        WriteErrorLog(CurrentError().description, "Get Access object", "", 2);
        return std::make_unique<access::Application>();
    }
}

bool clsConvert::OpenAccessReport() {
    try {
        LogStepError("try to open Report:" + ReportName, "OpenReport", 5);
        if (!access_) ThrowNotSet();
        access_->DoCmd().OpenReport(ReportName, access::acViewDesign);
        accessReport_ = access_->Reports(ReportName);
        LogStepError((IsSubReport ? "opened sub-report successfully:" : "opened report successfully:") + ReportName,
                     "OpenReport", 5);
        recordSource_ = accessReport_->RecordSource();
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "OpenReport", "", 1);
        return false;
    }
}

void clsConvert::CloseAccess() {
    try {
        LogStepError("Garbage Collection..", "CloseAccess", 5);
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
        WriteErrorLog(e.description, "PaperOrientation", "", 1);
        return true;
    }
}

bool clsConvert::AddFormulaField() {
    try {
        if (!crReport_) ThrowNotSet();
        (void)crReport_->FormulaFields().Count();
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AddFormulaField", "", 2);
        return false;
    }
}

bool clsConvert::AddToHeader() {
    try {
        if (!crReport_ || !accessReport_) ThrowNotSet();
        designer::Section& first = crReport_->Sections().Item(1);
        for (access::Control* c : accessReport_->Section(1).Controls()) {
            if (c->Type() == access::acLabel) first.AddTextObject(c->Name(), c->Left(), c->Top());
            else if (c->Type() == access::acTextBox) first.AddFieldObject(c->Name(), c->Left(), c->Top());
        }
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "AddToHeader", "", 1);
        return false;
    }
}

short clsConvert::FindField(const std::string& table, const std::string& field) {
    short result = 9999;
    try {
        if (!catalog_) ThrowNotSet();
        adox::Tables& tables = catalog_->Tables();
        if (tables.Count() == 0) {
            LogStepError("TableCount=0", "FindField", 5);
            return result;
        }
        for (adox::Table& t : tables) {
            if (!adox::SameName(t.Name, table)) continue;
            adox::Columns& columns = t.Columns();
            for (long i = 0; i < columns.Count(); ++i)
                if (adox::SameName(columns.Item(i).Name, field)) return static_cast<short>(i);
            break;
        }
        return result;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "FindField", "", 2);
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

std::string clsConvert::RowCountFieldName() const {
    if (!crReport_) return {};
    const designer::DatabaseTables& tables = crReport_->Database().Tables();
    const designer::DatabaseTable* t = tables.Find(currentTableName_);
    if (!t && tables.Count() > 0) t = &tables.Item(1);
    if (!t || t->Fields().Count() == 0) return {};
    return t->Fields().Item(1).Name();
}

}  // namespace tolvaran
