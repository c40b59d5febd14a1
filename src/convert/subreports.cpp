// Subreports: an Access subreport control is converted by a child job that builds the report
// it shows and saves it beside the parent's file under its own name; the parent embeds that
// file in a section of the area being built (split at the control, so what is above it prints
// before it and what is below after it) and links it to the parent on each pair of link fields.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "store/support.h"

namespace tolvaran {

namespace {

// The field names of an Access link-field list ("A;B"), trimmed; none for an empty list.
std::vector<std::string> LinkFields(const std::string& list) {
    std::vector<std::string> out;
    for (const std::string& part : SplitList(list)) {
        std::string name = vb::Trim(part);
        if (!name.empty()) out.push_back(std::move(name));
    }
    return out;
}

}  // namespace

std::string clsConvert::SubreportToConvert(access::Control& control) {
    const std::string sourceObject = control.SourceObject();
    // A form shown in a report: a report file cannot show it.
    if (vb::StrComp(vb::Left(sourceObject, 5), "Form.", vb::vbTextCompare) == 0) {
        WriteErrorLog("The subreport control " + control.Name() + " shows the form " +
                          vb::Mid(sourceObject, 6) + ", which a report file cannot show; nothing was placed",
                      "ImportSubReport", LogLevel::Problem);
        return {};
    }
    // The report the control shows, also when the control bears the report's own name.
    std::string shown = vb::Replace(sourceObject, "Report.", "");
    // A report already being converted above this one would start child jobs without end.
    bool onChain = vb::StrComp(ReportName, shown, vb::vbTextCompare) == 0;
    for (const std::string& above : parentReports_)
        if (vb::StrComp(above, shown, vb::vbTextCompare) == 0) onChain = true;
    if (onChain) {
        WriteErrorLog("The subreport control " + control.Name() + " shows the report " + shown +
                          ", which is already being converted as its parent; it is not converted again",
                      "ImportSubReport", LogLevel::Problem);
        return {};
    }
    return shown;
}

std::unique_ptr<clsConvert> clsConvert::NewChildJob(const std::string& report) {
    auto child = std::make_unique<clsConvert>(ctx_);
    db();  // made now when none was given, so that the child writes on the same connection
    child->Settings() = Settings();
    if (access_) {
        try {
            child->ReportsDatabaseVersion = access_->DBEngine().Version();
        } catch (...) {
        }
    }
    child->ReportName = report;
    child->IsSubReport = true;
    child->ParentReport = ReportName;
    child->parentReports_ = parentReports_;
    child->parentReports_.push_back(ReportName);
    child->fileEntryId_ = FileEntryId();
    child->logOwner_ = LogOwner{logReportId(), logDatabaseListId()};
    return child;
}

designer::SubreportObject& clsConvert::PlaceSubreport(access::Control& control, const std::string& areaCode,
                                                      const std::string& path, int& step) {
    step = 10;
    if (!crReport_) ThrowNotSet();
    long top = 0;
    designer::Section& holder = SubreportSection(control, areaCode, top);
    designer::SubreportObject& object = holder.AddSubreportObject(path, control.Left(), top);
    // The control's size, also when it is only a few twips high: an empty subreport takes no
    // more room than its control, and one with rows grows to hold them.
    object.Width = control.Width();
    object.Height = control.Height();
    // Hidden in Access, hidden here.
    object.Suppress = !control.Visible();
    step = 11;
    UpdateControl(&object, control, 0);
    step = 12;
    if (control.BorderStyle() != 0) {
        object.TopLineStyle = designer::crLSSingleLine;
        object.BottomLineStyle = designer::crLSSingleLine;
        object.LeftLineStyle = designer::crLSSingleLine;
        object.RightLineStyle = designer::crLSSingleLine;
    }
    step = 13;
    object.CanGrow = control.CanGrow();
    object.KeepTogether = true;
    return object;
}

void clsConvert::LinkSubreport(designer::SubreportObject& object, access::Control& control,
                               const std::string& childSource) {
    // One link per pair of fields: Access separates several link fields by ";".
    const std::string masters = control.LinkMasterFields();
    const std::string children = control.LinkChildFields();
    std::vector<std::string> masterFields = LinkFields(masters);
    std::vector<std::string> childFields = LinkFields(children);
    // Without link fields the subreport shows all its rows, as in Access: no link.
    if (masterFields.empty() && childFields.empty()) return;
    if (masterFields.size() <= 1 && childFields.size() <= 1) {
        SetNewLinks(object, childSource, masterFields.empty() ? "" : masterFields[0],
                    childFields.empty() ? "" : childFields[0]);
        LogStepError("Added subreport link:" + masters + " to " + children, "setsublinks");
        return;
    }
    if (masterFields.size() != childFields.size())
        WriteErrorLog(
            "The link fields " + masters + " and " + children + " do not pair up for " + control.Name(),
            "setsublinks", LogLevel::Problem);
    const size_t pairs = std::min(masterFields.size(), childFields.size());
    for (size_t k = 0; k < pairs; ++k) {
        SetNewLinks(object, childSource, masterFields[k], childFields[k]);
        LogStepError("Added subreport link:" + masterFields[k] + " to " + childFields[k], "setsublinks");
    }
}

bool clsConvert::ImportSubReport(designer::Section* /*section*/, ui::ProgressWindow& window,
                                 access::Control& control, long /*top*/, const std::string& areaCode) {
    // The step under way names a failure in the log row.
    int step = 0;
    std::unique_ptr<clsConvert> child;
    try {
        step = 1;
        const std::string shown = SubreportToConvert(control);
        if (shown.empty()) return false;
        child = NewChildJob(shown);

        step = 2;
        LogStepError("Convert subReport", "ImportSubReport");
        step = 3;
        // The child writes on the same connection: the rows held before it go first.
        WriteHeldRows();
        const bool converted = child->Convert(window, true);
        step = 4;
        // The answer to the page header and footer question holds for the rest of the run.
        AskShowPageHeaderFooterForSubReportsQuestion = child->AskShowPageHeaderFooterForSubReportsQuestion;
        ShowPageHeaderFooterForSubReports = child->ShowPageHeaderFooterForSubReports;
        step = 5;
        // The file the child saved under its own name is the one embedded: no second copy is
        // written, so a control named like another report never overwrites that report's file.
        const std::string name = control.Name();
        const std::string path = ReportFilePath(child->ReportName);
        step = 6;
        if (!converted) {
            LogStepError("---------------------:" + name, "ImportSubReport");
            LogStepError("ERROR(S) IN subReport:" + name, "ImportSubReport");
            LogStepError("---------------------:" + name, "ImportSubReport");
            return false;
        }
        step = 7;
        LogStepError("Finished with subReport:" + path, "ImportSubReport");
        step = 9;
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            WriteErrorLog("Cannot find sub-Report:" + path, "", LogLevel::Problem);
            return false;
        }
        designer::SubreportObject& object = PlaceSubreport(control, areaCode, path, step);
        step = 15;
        LinkSubreport(object, control, child->ReportSource);
        return true;
    } catch (...) {
        RecordError("(" + std::to_string(step) + ")" + CurrentError().description, ReportName, "", "", "n/a");
        try {
            child.reset();
        } catch (...) {
        }
        return false;
    }
}

bool clsConvert::SetNewLinks(designer::SubreportObject& object, const std::string& childSource,
                             const std::string& master, const std::string& child) {
    try {
        if (!crReport_) ThrowNotSet();
        const designer::DatabaseFieldDefinition* masterDef = GetFieldDef(*crReport_, ReportSource, master);
        designer::Report& subreport = object.OpenSubreport();
        const designer::DatabaseFieldDefinition* childDef = GetFieldDef(subreport, childSource, child);
        object.Links.Add(masterDef, childDef);
        return true;
    } catch (...) {
        RecordError(CurrentError().description, "SetNewLinks", "", "", "n/a");
        return false;
    }
}

const designer::DatabaseFieldDefinition* clsConvert::GetFieldDef(designer::Report& report,
                                                                 const std::string& table,
                                                                 const std::string& field) {
    for (const auto& t : report.Database().Tables())
        if (vb::InStr(t->Name(), table) > 0) return t->Fields().Find(field);
    return nullptr;
}

bool clsConvert::SetSublinks(designer::SubreportLinks& links, const std::string& master,
                             const std::string& child) {
    try {
        links.Add("{" + ReportSource + "." + master + "}", "{" + ReportSource + "." + child + "}");
        return true;
    } catch (...) {
        RecordError(CurrentError().description, "SetSublinks", "", "", "n/a");
        return false;
    }
}

}  // namespace tolvaran
