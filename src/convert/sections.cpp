// Sections and areas: the section pass of the converter. Each visible Access section is
// classified by its name (English, French, or a row of the Translations table), or by its
// section number when the name says nothing, matched with the area of the new report, and its
// controls are handed to the object builders. At the end every section without objects is
// suppressed.
#include <algorithm>
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/access/properties.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "platform/ui/prompt.h"

namespace tolvaran {

namespace {

// Equality as SQLite's NOCASE collation has it: ASCII letters without regard to case, every
// other byte as it is.
bool EqualsAsSqliteNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

// The order sections are processed in: report header, page header, the group sections 6 to 25
// (the level-0 footer, then each deeper level's header and footer), then detail, page footer,
// the level-0 header, report footer.
constexpr int kSectionOrder[] = {1,  3,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                 17, 18, 19, 20, 21, 22, 23, 24, 25, 0,  4,  5,  2};

// At most this many group headers (and as many group footers) get an area.
constexpr short kMaxGroupSectionsMet = 5;

bool ContainsAny(const std::string& name, std::initializer_list<const char*> texts) {
    for (const char* t : texts)
        if (vb::InStr(name, t) > 0) return true;
    return false;
}

// One step of a section's conversion: an error is logged under the section's name (as it stands
// when the error comes) and the next step runs.
template <class Body>
void SectionTrap(clsConvert& job, const std::string& sectionName, Body&& body) {
    if (auto e = Try(body))
        job.WriteErrorLog(e->description, "ProcessSection:" + sectionName, LogLevel::Error);
}

}  // namespace

const char* clsConvert::KindName(SectionKind kind) {
    switch (kind) {
        case SectionKind::GroupHeader:
            return "GroupHeader";
        case SectionKind::GroupFooter:
            return "GroupFooter";
        case SectionKind::Detail:
            return "Detail";
        case SectionKind::ReportHeader:
            return "ReportHeader";
        case SectionKind::ReportFooter:
            return "ReportFooter";
        case SectionKind::PageFooter:
            return "PageFooter";
        case SectionKind::PageHeader:
            return "PageHeader";
        case SectionKind::None:
            break;
    }
    return "";
}

bool clsConvert::AddSections(ui::ProgressWindow& window) {
    bool result = false;
    auto trap = [&](auto&& body) {
        if (auto e = Try(body)) WriteErrorLog(e->description, "AddSections", LogLevel::Error);
    };
    trap([&] {
        window.SetLblField("Details: ");
        CountOfAccessSections = 0;
    });
    if (!IsSubReport) ClearCollection();
    trap([&] { LogStepError("Calculate Sections", "AddToDetails"); });
    trap([&] {
        CountOfAccessSections = CountSections();
        LogStepError("There are " + std::to_string(CountOfAccessSections) + " sections", "AddToDetails");
        window.SetProgressValue(window.ProgressValue() + 1);
    });
    trap([&] { ReportLeftOutSections(); });
    trap([&] { CollectCalculatedControls(); });
    for (int i : kSectionOrder) trap([&] { ProcessSection(window, i); });
    trap([&] { CheckDeferredFormulas(window); });
    trap([&] { result = SuppressAllBlankSections(); });
    return result;
}

void clsConvert::ReportLeftOutSections() {
    if (!accessReport_) return;
    const std::vector<std::string>& names = accessReport_->LeftOutSections();
    if (names.empty()) return;
    // One row, however many there are: an export may hold thousands.
    constexpr size_t kNamed = 3;
    std::string which;
    if (names.size() == 1) {
        which = "Section " + names[0] + " was not converted";
    } else {
        std::string listed;
        for (size_t k = 0; k < names.size() && k < kNamed; ++k) listed += (k ? ", " : "") + names[k];
        which = std::to_string(names.size()) + " sections were not converted (" + listed +
                (names.size() > kNamed ? ", ...)" : ")");
    }
    WriteErrorLog(which + ": a report holds one section of each number from 0 to " +
                      std::to_string(access::kMaxSectionNumber),
                  "AddToDetails", LogLevel::Problem);
}

short clsConvert::CountSections() {
    short count = 0;
    try {
        LogStepError("Count Sections", "CountSections");
    } catch (...) {
    }
    for (int i = 0; i <= access::kMaxSectionNumber; ++i) {
        try {
            if (!accessReport_) ThrowNotSet();
            // Asked first: raising and catching the error of a missing number costs more than
            // the rest of the loop.
            if (!accessReport_->HasSection(i)) continue;
            const access::Section& s = accessReport_->Section(i);
            if (!s.Visible()) continue;
            sectionNames_.emplace_back(std::to_string(i), s.Name());
            ++count;
        } catch (...) {
            // A section that does not exist is neither counted nor added.
        }
    }
    return count;
}

bool clsConvert::GetSection(int i) {
    return i >= 1 && static_cast<size_t>(i) <= sectionNames_.size();
}

std::string clsConvert::GetSectionName(int i) {
    const std::string key = std::to_string(i);
    for (const auto& [k, name] : sectionNames_)
        if (k == key) return name;
    return {};
}

void clsConvert::ClearCollection() {
    sectionNames_.clear();
}

std::string clsConvert::GetCrystalAreaName(const std::string& name) {
    static const std::pair<const char*, const char*> kKinds[] = {
        {"PageHeader", "PH"},   {"Detail", "D"},       {"PageFooter", "PF"}, {"ReportHeader", "RH"},
        {"ReportFooter", "RF"}, {"GroupFooter", "GF"}, {"GroupHeader", "GH"}};
    std::string result;
    try {
        if (!crReport_) ThrowNotSet();
        const designer::Areas& areas = crReport_->Areas();
        bool stopped = false;
        for (int n = 1; n <= areas.Count() && !stopped; ++n) {
            if (vb::InStr(areas.Item(n).Name(), "Area") == 0) continue;
            for (const auto& [kind, code] : kKinds)
                if (name == kind) return code;
            if (vb::Val(vb::Right(name, 1)) > 0) stopped = true;
        }
        if (stopped) {
            const std::string digit = vb::Right(name, 1);
            if (vb::InStr(name, "GroupFooterArea") > 0)
                result = "GF" + digit;
            else if (vb::InStr(name, "GroupHeaderArea") > 0)
                result = "GH" + digit;
        }
        return result;
    } catch (...) {
        WriteErrorLog("Cannot determine section number from <" + name + ">", "GetCrystalAreaName",
                      LogLevel::Problem);
        return result;
    }
}

short clsConvert::GetCrystalAreaNo(const std::string& name) {
    short result = 0;
    try {
        if (!crReport_) ThrowNotSet();
        const std::string code = GetCrystalAreaName(name);
        if (code.empty()) return result;
        const designer::Areas& areas = crReport_->Areas();
        for (int n = 1; n <= areas.Count(); ++n)
            if (vb::StrComp(areas.Item(n).Code(), code, vb::vbTextCompare) == 0) return static_cast<short>(n);
        return result;
    } catch (...) {
        WriteErrorLog("Cannot determine section number from <" + name + ">", "GetCrystalAreaNo",
                      LogLevel::Problem);
        return result;
    }
}

bool clsConvert::Translate(const std::string& key, const std::string& name) {
    // The English keys of a section name are read once per job and matched as Jet matches
    // names (EqualsNoCase). The first name asked brings the keys of every section name of the
    // report in the same query: the settings file is locked and unlocked once per query.
    const std::string sql = "SELECT EnglishSectionName FROM Translations Where LanguageSectionName = ?";
    try {
        const TranslationPair* known = FindTranslation(name);
        if (!known) {
            if (!Internaldb) ThrowNotSet();
            std::vector<TranslationPair> asked{{name, {}}};
            for (const auto& section : sectionNames_) {
                const std::string& other = section.second;
                bool listed = FindTranslation(other) != nullptr;
                for (const TranslationPair& pair : asked)
                    listed = listed || EqualsNoCase(pair.language, other);
                if (!listed) asked.push_back({other, {}});
            }
            std::string query = "SELECT EnglishSectionName, LanguageSectionName FROM Translations Where ";
            std::vector<vb::Variant> params;
            for (const TranslationPair& pair : asked) {
                query += params.empty() ? "LanguageSectionName = ?" : " OR LanguageSectionName = ?";
                params.emplace_back(pair.language);
            }
            ado::Recordset rs;
            rs.Open(query, Internaldb, ado::adOpenForwardOnly, ado::adLockReadOnly, params);
            for (; !rs.Eof(); rs.MoveNext()) {
                const std::string english = vb::NZ(rs.Fields(0).Value(), "").ToString();
                const std::string language = vb::NZ(rs.Fields(1).Value(), "").ToString();
                for (TranslationPair& pair : asked)
                    if (EqualsAsSqliteNoCase(pair.language, language)) pair.english.push_back(english);
            }
            rs.Close();
            const size_t first = translations_.size();
            for (TranslationPair& pair : asked) translations_.push_back(std::move(pair));
            known = &translations_[first];
        }
        for (const std::string& english : known->english)
            if (EqualsNoCase(english, key)) return true;
        return false;
    } catch (...) {
        WriteErrorLog(CurrentError().description + ":" + sql, "Translate", LogLevel::Error);
        return false;
    }
}

const clsConvert::TranslationPair* clsConvert::FindTranslation(const std::string& name) const {
    const TranslationPair* known = nullptr;
    for (const TranslationPair& pair : translations_)
        if (EqualsNoCase(pair.language, name)) known = &pair;
    return known;
}

bool clsConvert::IsPageHeaderSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("PageHeader", name) ||
           ContainsAny(name, {"PageHeaderSection", "EntêtePage", "PageHeader"});
}

bool clsConvert::IsPageFooterSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("PageFooter", name) ||
           ContainsAny(name, {"PiedPage", "PageFooterSection", "PageFooter"});
}

bool clsConvert::IsReportFooterSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("ReportFooter", name) || ContainsAny(name, {"PiedÉtat", "FormFooter", "ReportFooter"});
}

bool clsConvert::IsReportHeaderSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("ReportHeader", name) || ContainsAny(name, {"EntêteÉtat", "FormHeader", "ReportHeader"});
}

bool clsConvert::IsGroupFooterSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("GroupFooter", name) || ContainsAny(name, {"PiedGroupe", "GroupFooter"});
}

bool clsConvert::IsGroupHeaderSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("GroupHeader", name) || ContainsAny(name, {"EntêteGroupe", "GroupHeader"});
}

bool clsConvert::IsDetailSection(const std::string& name) {
    if (name.empty()) return false;
    return Translate("Detail", name) || ContainsAny(name, {"De", "Détail", "Detail"});
}

int clsConvert::GroupLevelOfSection(int i) {
    return i >= 5 ? (i - 5) / 2 : -1;
}

clsConvert::SectionKind clsConvert::KindOfSection(int i, const std::string& name, bool& byNumber) {
    byNumber = false;
    if (name.empty()) return SectionKind::None;
    // The detail test comes last: its text "De" stands inside names of other kinds
    // ("EncabezadoDePágina", "PieDelInforme").
    if (IsGroupHeaderSection(name)) return SectionKind::GroupHeader;
    if (IsGroupFooterSection(name)) return SectionKind::GroupFooter;
    if (IsReportHeaderSection(name)) return SectionKind::ReportHeader;
    if (IsReportFooterSection(name)) return SectionKind::ReportFooter;
    if (IsPageFooterSection(name)) return SectionKind::PageFooter;
    if (IsPageHeaderSection(name)) return SectionKind::PageHeader;
    if (IsDetailSection(name)) return SectionKind::Detail;
    // A renamed section, or a language without translation rows: its number tells the kind.
    byNumber = true;
    switch (i) {
        case 0:
            return SectionKind::Detail;
        case 1:
            return SectionKind::ReportHeader;
        case 2:
            return SectionKind::ReportFooter;
        case 3:
            return SectionKind::PageHeader;
        case 4:
            return SectionKind::PageFooter;
        default:
            return i % 2 == 1 ? SectionKind::GroupHeader : SectionKind::GroupFooter;
    }
}

bool clsConvert::ProcessSection(ui::ProgressWindow& window, int i) {
    std::string name;
    currentGroupField_.clear();
    placement_ = Placement{};
    SectionTrap(*this, name, [&] {
        name = GetSectionName(i);
        window.SetLblField(name);
        window.AddResult(name);
    });
    SectionTrap(*this, name, [&] { AskSubreportPageSections(window, name); });
    const SectionTarget target = TargetOfSection(i, name);
    if (name.empty() || !target.section) return true;
    ConvertSectionControls(window, i, name, *target.section, target.areaCode);
    currentGroupField_.clear();
    placement_ = Placement{};
    return true;
}

void clsConvert::AskSubreportPageSections(ui::ProgressWindow& window, const std::string& name) {
    // Asked at most once per main report, by the first subreport with a page section.
    if (!IsSubReport) {
        if (!firstSectionProcessed_) ShowPageHeaderFooterForSubReports = true;
    } else if ((IsPageHeaderSection(name) || IsPageFooterSection(name)) && !MultipleReportsSelected &&
               AskShowPageHeaderFooterForSubReportsQuestion) {
        const int answer =
            msgBox("Show Page Header/Footer for all sub-reports? ( Display can affect layout ).",
                   ui::vbYesNo | ui::vbDefaultButton2, "Show Page Header for Sub-Reports");
        ShowPageHeaderFooterForSubReports = answer == ui::vbYes;
        AskShowPageHeaderFooterForSubReportsQuestion = false;
        window.AddResult(ShowPageHeaderFooterForSubReports
                             ? "Yes, show Page Header/Footers for all sub-reports."
                             : "No, DO NOT show Page Header/Footers for any sub-reports.");
    }
    firstSectionProcessed_ = true;
}

clsConvert::SectionTarget clsConvert::TargetOfSection(int i, std::string& name) {
    bool byNumber = false;
    SectionKind kind = SectionKind::None;
    SectionTrap(*this, name, [&] { kind = KindOfSection(i, name, byNumber); });
    const SectionTarget target = TargetOfKind(kind, i, name);
    // A name the kind tests do not know: its number gave the kind, and the log says whether
    // the section was converted by it.
    if (byNumber && !name.empty())
        SectionTrap(*this, name, [&] {
            if (target.section)
                LogStepError("Section " + name + " converted as " + KindName(kind) + " by its number " +
                                 std::to_string(i) + " (area " + target.areaCode + ")",
                             "AddDetails");
            else
                WriteErrorLog("Does not understand conversion of " + name, "AddDetails", LogLevel::Problem);
        });
    return target;
}

clsConvert::SectionTarget clsConvert::TargetOfKind(SectionKind kind, int i, std::string& name) {
    const bool pagesShown = !IsSubReport || ShowPageHeaderFooterForSubReports;
    switch (kind) {
        case SectionKind::GroupHeader:
            return GroupSectionTarget(i, name, true);
        case SectionKind::GroupFooter:
            return GroupSectionTarget(i, name, false);
        case SectionKind::Detail:
        case SectionKind::ReportHeader:
        case SectionKind::ReportFooter:
            return PlainSectionTarget(KindName(kind), "Error creating section (" + name + ") ",
                                      "AddToDetails");
        case SectionKind::PageFooter:
        case SectionKind::PageHeader:
            if (pagesShown)
                return PlainSectionTarget(KindName(kind),
                                          kind == SectionKind::PageFooter
                                              ? "Error creating section (" + name + ") "
                                              : "Error creating section '" + name + "'",
                                          kind == SectionKind::PageFooter ? "AddToDetails:" : "AddToDetails");
            SectionTrap(*this, name,
                        [&] { LogStepError("Skipping section '" + name + "'", "AddToDetails"); });
            name.clear();
            return {};
        case SectionKind::None:
            break;
    }
    return {};
}

designer::Section* clsConvert::FirstSectionOf(const std::string& areaCode) {
    if (!crReport_) ThrowNotSet();
    return &crReport_->Areas().Item(areaCode).Sections().Item(1);
}

clsConvert::SectionTarget clsConvert::GroupSectionTarget(int i, const std::string& name, bool header) {
    short& met = header ? groupHeadersMet_ : groupFootersMet_;
    ++met;
    if (met > kMaxGroupSectionsMet) {
        WriteErrorLog("Section " + name + " was not converted: only the first " +
                          std::to_string(kMaxGroupSectionsMet) + " group " +
                          (header ? "headers" : "footers") + " get an area",
                      "AddToDetails", LogLevel::Problem);
        return {};
    }
    // A group section goes to the area of the group made for its own level.
    const int group = GroupOfLevel(GroupLevelOfSection(i));
    try {
        if (group == 0) ThrowNotSet();
        SectionTarget target;
        target.areaCode =
            GetCrystalAreaName((header ? "GroupHeaderArea" : "GroupFooterArea") + std::to_string(group));
        if (target.areaCode.empty()) return {};
        target.section = FirstSectionOf(target.areaCode);
        // Totals in the group's header and footer are the group's.
        if (group <= crReport_->GroupCount())
            currentGroupField_ = crReport_->Groups()[static_cast<size_t>(group - 1)].ConditionField;
        return target;
    } catch (...) {
        WriteErrorLog(std::string(header ? "Error creating Group Header Level ("
                                         : "Error creating Group Footer Level (") +
                          std::to_string(met) + ") ",
                      "AddToDetails", LogLevel::Problem);
        return {};
    }
}

clsConvert::SectionTarget clsConvert::PlainSectionTarget(const std::string& kindName,
                                                         const std::string& errorText,
                                                         const std::string& function) {
    try {
        SectionTarget target;
        target.areaCode = GetCrystalAreaName(kindName);
        target.section = FirstSectionOf(target.areaCode);
        return target;
    } catch (...) {
        WriteErrorLog(errorText, function, LogLevel::Error);
        return {};
    }
}

void clsConvert::ConvertSectionControls(ui::ProgressWindow& window, int i, const std::string& name,
                                        designer::Section& section, const std::string& areaCode) {
    SectionTrap(*this, name, [&] {
        const int formulas = crReport_->FormulaFields().Count();
        if (formulas > 0)
            LogStepError(name + ": Section(" + name + ") has (" + std::to_string(formulas) + ") formula(s)",
                         "AddDetails");
    });
    short n = 0;
    SectionTrap(*this, name, [&] {
        LogStepError("Calculate Section Controls", "AddDetails");
        n = CheckSectionForControls(section, i);
        LogStepError(n == 1 ? "There is 1 control for section '" + name + "'"
                            : "There are " + std::to_string(n) + " controls for section '" + name + "'",
                     "AddDetails");
    });
    SectionTrap(*this, name, [&] { section.KeepTogether = true; });
    if (n > 0) {
        SectionTrap(*this, name, [&] {
            LogStepError(
                "Working on Section(" + name + "): " + name + " with (" + std::to_string(n) + ") controls",
                "AddToDetails");
        });
    }
    SectionTrap(*this, name, [&] { DiscoverControls(static_cast<short>(i)); });
    placement_.current = &section;
    placement_.areaCode = areaCode;
    const std::vector<ControlPtr> records = controls_;
    for (const ControlPtr& record : records) {
        SectionTrap(*this, name, [&] {
            if (!accessReport_) ThrowNotSet();
            access::Control& control = accessReport_->Controls(record->ControlName);
            if (control.Section() != i) return;
            int type = 0;
            try {
                type = control.ControlType();
            } catch (...) {
                WriteErrorLog(name + ":" + CurrentError().description + "--> ControlType: ", "AddToDetails",
                              LogLevel::Error);
            }
            if (type != 0) {
                const std::string caption = name + ": " + control.Name();
                window.SetLblField(caption);
                LogStepError(vb::Trim(caption), "AddDetails");
            }
            DispatchControl(section, control, type, areaCode, window);
        });
    }
    if (!controls_.empty()) SectionTrap(*this, name, [&] { AlignCrystalControls(areaCode); });
}

designer::Section& clsConvert::SectionFor(const access::Control& control, long& top) {
    Placement& p = placement_;
    if (!p.current) ThrowNotSet();
    const long accessTop = control.Top();
    if (p.band) {
        if (accessTop < p.bandBottom) {
            top = accessTop - p.bandTop;
            return *p.band;
        }
        // Below the subreports: a section of its own after theirs.
        if (!crReport_) ThrowNotSet();
        p.current = &crReport_->Areas().Item(p.areaCode).Sections().Add();
        p.offset = p.bandBottom;
        p.band = nullptr;
    }
    top = accessTop - p.offset;
    return *p.current;
}

designer::Section& clsConvert::SubreportSection(const access::Control& control, const std::string& areaCode,
                                                long& top) {
    Placement& p = placement_;
    const long accessTop = control.Top();
    if (p.band && accessTop < p.bandBottom) {
        top = accessTop - p.bandTop;
        p.bandBottom = std::max(p.bandBottom, accessTop + control.Height());
        return *p.band;
    }
    if (!crReport_) ThrowNotSet();
    designer::Section& band = crReport_->Areas().Item(areaCode).Sections().Add();
    if (p.current) {
        p.band = &band;
        p.bandTop = accessTop;
        p.bandBottom = accessTop + control.Height();
    }
    top = 0;
    return band;
}

void clsConvert::DispatchControl(designer::Section& holder, access::Control& control, int type,
                                 const std::string& areaCode, ui::ProgressWindow& window) {
    // The section the control goes to: the section being processed, or the one before or after
    // a subreport placed in it (a subreport finds its own).
    long top = control.Top();
    designer::Section* target = &holder;
    if (type != access::acSubform && placement_.current) target = &SectionFor(control, top);
    designer::Section& section = *target;
    switch (type) {
        case access::acLabel:
            AddLabelObject(section, control, top);
            break;
        case access::acRectangle:
            AddBoxObject(section, control, top);
            break;
        case access::acLine:
            AddLineObject(section, control, top);
            break;
        case access::acImage:
            AddImageObject(section, control, top);
            break;
        case access::acBoundObjectFrame:
            WriteErrorLog("Cannot deal with BoundObjectFrame", "AddDetails", LogLevel::Problem);
            break;
        case access::acTextBox:
            if (!crReport_) ThrowNotSet();
            AddTextObject(section, control, crReport_->FormulaFields(), window, top);
            break;
        case access::acSubform:
            LogStepError("Import SubReport:" + control.Name(), "AddDetails");
            ImportSubReport(&section, window, control, top, areaCode);
            break;
        case access::acObjectFrame:
            WriteErrorLog("Cannot deal with OLEObject Control Type=114", "AddDetails", LogLevel::Problem);
            break;
        case access::acPageBreak:
            LogStepError("PageBreak:" + control.Name(), "AddDetails");
            break;
        case access::acCustomControl:
            AddPictureObject(section, control, top);
            break;
        default:
            WriteErrorLog("Cannot deal with Control Type=" + std::to_string(type) + " for control named '" +
                              control.Name() + "'",
                          "AddDetails", LogLevel::Problem);
            break;
    }
}

short clsConvert::CheckSectionForControls(designer::Section& crSection, int i) {
    try {
        if (!accessReport_) ThrowNotSet();
        const short n = static_cast<short>(accessReport_->Section(i).Controls().Count());
        if (n == 0) crSection.Suppress = SuppressSectionsWithNoControls;
        return n;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "CheckSectionForControls", LogLevel::Problem);
        return 0;
    }
}

bool clsConvert::SuppressAllBlankSections() {
    try {
        LogStepError("Deal With blank Sections", "SuppressAllBlankSections");
        if (!crReport_) ThrowNotSet();
        for (designer::Section* s : crReport_->Sections().List()) {
            s->Suppress = s->ReportObjects().Count() == 0;
            s->KeepTogether = true;
        }
        return true;
    } catch (...) {
        WriteErrorLog(CurrentError().description, "SuppressAllBlankSections", LogLevel::Error);
        return false;
    }
}

}  // namespace tolvaran
