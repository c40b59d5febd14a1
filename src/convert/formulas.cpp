// Formula fields: the converter's side of formula translation. A text box whose control
// source is an expression becomes a formula field of the new report, translated from the
// Access expression, checked by the designer, commented out when the check fails, and placed
// as a field object. Failures go to the error log (rows and text log).
#include <string>

#include "convert/convert.h"
#include "convert/formula/form_references.h"
#include "convert/formula/formula_translator.h"
#include "convert/trap.h"
#include "platform/common/vbstring.h"
#include "store/record_classes.h"
#include "store/text_log.h"

namespace tolvaran {

namespace {

// The expression of a calculated control source: the source without its leading "=" (an
// "=" inside the expression is a comparison and stays).
std::string ExpressionOf(const std::string& source) {
    const size_t first = source.find_first_not_of(' ');
    if (first != std::string::npos && source[first] == '=') return source.substr(first + 1);
    return source;
}

// A formula name the designer takes for a control's name: the characters a formula name
// cannot hold ("{", "}", "@", "?") become "_", and a name already used (without regard to
// case, as references compare) gets "_2", "_3", ... appended.
std::string FormulaNameFor(const std::string& controlName,
                           const designer::FormulaFieldDefinitions& formulas) {
    std::string base = controlName;
    for (char& c : base)
        if (c == '{' || c == '}' || c == '@' || c == '?') c = '_';
    if (base.empty()) base = "Formula";
    auto used = [&](const std::string& name) {
        for (const auto& f : formulas)
            if (vb::StrComp(f->Name(), name, vb::vbTextCompare) == 0) return true;
        return false;
    };
    std::string name = base;
    for (int n = 2; used(name); ++n) name = base + "_" + std::to_string(n);
    return name;
}

const std::string kFormulaErrorRule = std::string(20, '-') + "< FORMULA ERROR >" + std::string(43, '-');
const std::string kRule(79, '-');

}  // namespace

std::string clsConvert::ConvertFormula(const std::string& expression) {
    FormulaTranslator translator(*this);
    return translator.ConvertFormula(expression);
}

bool clsConvert::IsFormulaField(const std::string& name) {
    try {
        if (!crReport_) return false;
        for (const auto& f : crReport_->FormulaFields())
            if (f->Name() == name) return true;
        return false;
    } catch (...) {
        return false;
    }
}

ado::Recordset& clsConvert::FormulaErrorLog() {
    // The recordset adds its row at once: the rows held before it go first.
    WriteHeldRows();
    if (errorLog_ && errorLog_->State() == ado::adStateOpen) return *errorLog_;
    if (!ownFormulaLog_ || ownFormulaLog_->State() != ado::adStateOpen) {
        ownFormulaLog_ = std::make_unique<ado::Recordset>();
        ownFormulaLog_->Open("Select * from ErrorLog Where 1 = 0", db(), ado::adOpenStatic,
                             ado::adLockPessimistic);
    }
    return *ownFormulaLog_;
}

void clsConvert::AddFormulaObject(designer::Section& section, access::Control& control,
                                  designer::FormulaFieldDefinitions& formulas, ui::ProgressWindow& window,
                                  long top) {
    const std::string controlName = control.Name();
    const std::string expression = ExpressionOf(control.ControlSource());
    // A form reference reads the parameter field made for it.
    const std::string crystalFormula = ConvertFormula(ReplaceFormReferences(expression));
    if (expression.empty() || crystalFormula.empty()) {
        WriteFormulaConversionFailure(controlName, expression, crystalFormula);
        return;
    }
    // Log rows name the control; they name the formula too when it had to be named apart.
    const std::string formulaName = FormulaNameFor(controlName, formulas);
    const std::string named =
        formulaName == controlName ? controlName : controlName + " (formula field " + formulaName + ")";
    if (formulaName != controlName)
        LogStepError("The formula field of control " + controlName + " is named " + formulaName,
                     "AddToDetails");
    std::string logged = expression;
    if (vb::InStr(logged, "Formula=") == 0) logged = "Formula=" + logged;
    // The definition is held by name: a formula the designer refused to add leaves the
    // counter and the collection apart, and must not make later formulas check the wrong one.
    designer::FormulaFieldDefinition* definition = nullptr;
    try {
        definition = &formulas.Add(formulaName, crystalFormula);
    } catch (...) {
        WriteErrorLog("The formula field of control " + named +
                          " could not be added: " + CurrentError().description + ": " + crystalFormula,
                      "AddToDetails", LogLevel::Problem, "Formulas");
    }
    if (!definition) return;
    bool ok = false;
    std::string message;
    definition->Check(ok, message);
    // A form reference's parameter takes the type this use needs, unless an earlier use fixed it.
    if (!ok && TypeFormParameters(*definition)) ok = true;
    if (ok) KeepParameterTypes(crystalFormula);
    if (!ok && RefersToFormulaNotYetAdded(crystalFormula)) {
        // It names a calculated control met later: checked again once every formula is in.
        deferredChecks_.push_back({definition, formulaName, logged, crystalFormula, named});
        ok = true;
    }
    if (!ok) WriteFormulaCheckFailure(formulaName, logged, crystalFormula, message, named);
    designer::FieldObject* field = nullptr;
    if (auto e = Try(
            [&] { field = &section.AddFieldObject(definition->FormulaFieldName(), control.Left(), top); }))
        RecordError("AddTextObject:" + e->description, ReportName, "", "", "n/a");
    if (!ok) {
        definition->setText("// " + definition->Text());
        window.AddResult("// " + definition->Text());
    }
    if (field) UpdateFieldObjectProperties(*field, control, field->Name);
}

void clsConvert::CollectCalculatedControls() {
    calculatedControls_.clear();
    deferredChecks_.clear();
    if (!accessReport_) return;
    for (const access::Control* c : accessReport_->Controls()) {
        try {
            if (c->ControlType() != access::acTextBox) continue;
            const std::string source = c->ControlSource();
            const size_t first = source.find_first_not_of(' ');
            if (first == std::string::npos || source[first] != '=' || IsOnlyFormReference(source)) continue;
            calculatedControls_.push_back(c->Name());
        } catch (...) {
            // A control without a source is not calculated.
        }
    }
}

bool clsConvert::RefersToFormulaNotYetAdded(const std::string& crystalFormula) {
    if (!crReport_) return false;
    for (const std::string& name : calculatedControls_)
        if (!crReport_->FormulaFields().Find(name) &&
            crystalFormula.find("{@" + name + "}") != std::string::npos)
            return true;
    return false;
}

void clsConvert::CheckDeferredFormulas(ui::ProgressWindow& window) {
    std::vector<DeferredCheck> checks;
    checks.swap(deferredChecks_);
    for (const DeferredCheck& d : checks) {
        if (auto e = Try([&] {
                bool ok = false;
                std::string message;
                d.definition->Check(ok, message);
                if (ok) return;
                WriteFormulaCheckFailure(d.formulaName, d.expression, d.crystalFormula, message,
                                         d.controlName);
                d.definition->setText("// " + d.definition->Text());
                window.AddResult("// " + d.definition->Text());
            }))
            RecordError("AddTextObject:" + e->description, ReportName, "", "", "n/a");
    }
}

void clsConvert::WriteFormulaCheckFailure(const std::string& formulaName, const std::string& expression,
                                          const std::string& crystalFormula, const std::string& message,
                                          const std::string& controlName) {
    LogCluster cluster(*this);
    WriteErrorLog(crystalFormula, "AddTextObject", LogLevel::Error, "Formulas");
    WriteErrorLog(controlName + ":" + message, formulaName, LogLevel::Error, "Formulas");
    std::string savedFormula = crystalFormula;
    try {
        ado::Recordset& rs = FormulaErrorLog();
        rs.AddNew();
        rs.set("ReportId", vb::Variant(logReportId()));
        rs.set("DatabaseListId", vb::Variant(logDatabaseListId()));
        rs.set("ReportName", vb::Variant(ReportName));
        if (IsSubReport) {
            if (oText) oText->PutToFile("SUBREPORT OF:   " + ParentReport);
            rs.set("SubReportOf", vb::Variant(ParentReport));
        }
        rs.set("FormulaName", vb::Variant(formulaName));
        rs.set("CrystalFormula", vb::Variant(crystalFormula));
        rs.set("ErrorDesc", vb::Variant(message));
        rs.set("ErrorOn", vb::Variant(vb::Date::Now()));
        rs.Update();
        CommitLog();  // a problem row
        savedFormula = vb::NZ(rs["CrystalFormula"], "").ToString();
    } catch (...) {
        RecordError("AddTextObject:" + CurrentError().description, ReportName, "", "", "n/a");
    }
    if (!oText) return;
    oText->PutToFile(kFormulaErrorRule);
    oText->PutToFile("    ReportName:" + ReportName);
    oText->PutToFile("   SubReportOf:" + ParentReport);
    oText->PutToFile("Error Severity:" + LevelText(LogLevel::Problem));
    oText->PutToFile("         Error:" + message);
    oText->PutToFile("Formula Name:" + formulaName);
    oText->PutToFile("Access Formula:" + expression);
    oText->PutToFile("Crystal Formula:" + savedFormula);
    oText->PutToFile(kRule);
}

void clsConvert::WriteFormulaConversionFailure(const std::string& formulaName, const std::string& expression,
                                               const std::string& crystalFormula) {
    auto line = [&](const std::string& text) {
        if (oText) oText->PutToFile(text);
    };
    try {
        ado::Recordset& rs = FormulaErrorLog();
        const vb::Variant now(vb::Date::Now());
        rs.AddNew();
        rs.set("ReportId", vb::Variant(logReportId()));
        rs.set("DatabaseListId", vb::Variant(logDatabaseListId()));
        line("REPORT NAME:    " + ReportName);
        rs.set("ReportName", vb::Variant(ReportName));
        if (IsSubReport) {
            line("SUBREPORT OF:   " + ParentReport);
            rs.set("SubReportOf", vb::Variant(ParentReport));
        }
        line("FORMULA NAME:   " + formulaName);
        rs.set("FormulaName", vb::Variant(formulaName));
        line("ACCESS FORMULA: " + expression);
        rs.set("AccessFormula", vb::Variant(expression));
        line("CRYSTAL FORMULA:" + crystalFormula);
        rs.set("CrystalFormula", vb::Variant(crystalFormula));
        line("ERROR:          ");
        rs.set("ErrorDesc", vb::Variant("The Access Formula could not be converted"));
        line("ErrorOn:        " + now.ToString());
        rs.set("ErrorOn", now);
        rs.Update();
        CommitLog();  // a problem row
    } catch (...) {
        RecordError("AddTextObject:" + CurrentError().description, ReportName, "", "", "n/a");
    }
}

}  // namespace tolvaran
