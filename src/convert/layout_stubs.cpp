// Temporary definitions of the layout members until their own files define them; each is
// deleted as its real definition lands.
#include "convert/convert.h"
#include "platform/common/vbstring.h"

namespace tolvaran {

// Sections and areas
bool clsConvert::AddSections(ui::ProgressWindow& window) {
    window.SetProgressValue(window.ProgressValue() + 1);
    return true;
}
short clsConvert::CountSections() { return 0; }
bool clsConvert::ProcessSection(ui::ProgressWindow&, int) { return true; }
std::string clsConvert::GetSectionName(int) { return {}; }
bool clsConvert::GetSection(int) { return false; }
std::string clsConvert::GetCrystalAreaName(const std::string&) { return {}; }
short clsConvert::GetCrystalAreaNo(const std::string&) { return 0; }
bool clsConvert::Translate(const std::string&, const std::string&) { return false; }
bool clsConvert::IsPageHeaderSection(const std::string&) { return false; }
bool clsConvert::IsPageFooterSection(const std::string&) { return false; }
bool clsConvert::IsReportHeaderSection(const std::string&) { return false; }
bool clsConvert::IsReportFooterSection(const std::string&) { return false; }
bool clsConvert::IsGroupHeaderSection(const std::string&) { return false; }
bool clsConvert::IsGroupFooterSection(const std::string&) { return false; }
bool clsConvert::IsDetailSection(const std::string&) { return false; }
short clsConvert::CheckSectionForControls(designer::Section&, int) { return 0; }
bool clsConvert::SuppressAllBlankSections() { return true; }
void clsConvert::ClearCollection() { sectionNames_.clear(); }

// Groups
short clsConvert::AddGroupLevels() { return 0; }
bool clsConvert::GetGroupLevel(int) { return false; }
void clsConvert::AddGroup(int) {}
short clsConvert::GetTotalNoOfGroups() { return 0; }
bool clsConvert::IsValidGroupLevel(int) { return false; }

// Control discovery and layout bookkeeping
void clsConvert::DiscoverControls(short) {}
void clsConvert::UpdateControl(designer::ReportObject*, access::Control&, short) {}
void clsConvert::AlignCrystalControls(const std::string&) {}
void clsConvert::CheckCrystalReportAlignment() {}
void clsConvert::ShowControlsInDebug(designer::Section&) {}

// Text, label and field objects
bool clsConvert::AddLabelObject(designer::Section&, access::Control&, long) { return true; }
bool clsConvert::AddTextObject(designer::Section&, access::Control&, designer::FormulaFieldDefinitions&,
                               ui::ProgressWindow&, long) {
    return true;
}
bool clsConvert::AddFieldObject(designer::Section&, access::Control&, long, long) { return true; }
void clsConvert::UpdateFieldObjectProperties(designer::ReportObject&, access::Control&, const std::string&) {}
std::string clsConvert::StripAccessParameter(const std::string& s) { return s; }
bool clsConvert::ExistsParameter(const std::string&) { return false; }
std::string clsConvert::CheckForParameter(const std::string& s) { return s; }
std::string clsConvert::ParseControlRecordSource(const std::string& table) {
    const long p = vb::InStr(table, "dbo_");
    return p > 0 ? vb::Mid(table, p + 4) : table;
}

// Lines, boxes, images and pictures
bool clsConvert::AddLineObject(designer::Section&, access::Control&, long) { return true; }
void clsConvert::AddBoxObject(designer::Section&, access::Control&, long) {}
void clsConvert::AddImageObject(designer::Section&, access::Control&) {}
bool clsConvert::CustomControlHasFileNameProperty(access::Control&) { return false; }
void clsConvert::AddPictureObject(designer::Section&, access::Control&) {}

// Subreports
bool clsConvert::ImportSubReport(designer::Section*, ui::ProgressWindow&, access::Control&, long,
                                 const std::string&) {
    return false;
}
bool clsConvert::SetNewLinks(designer::SubreportObject&, const std::string&, const std::string&,
                             const std::string&) {
    return false;
}
const designer::DatabaseFieldDefinition* clsConvert::GetFieldDef(designer::Report&, const std::string&,
                                                                 const std::string&) {
    return nullptr;
}
bool clsConvert::SetSublinks(designer::SubreportLinks&, const std::string&, const std::string&) { return false; }

// Formula translation
std::string clsConvert::ConvertFormula(const std::string&) { return {}; }
bool clsConvert::IsFormulaField(const std::string&) { return false; }

}  // namespace tolvaran
