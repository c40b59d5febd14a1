#include "platform/designer/report.h"

#include <algorithm>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/designer/formula_check.h"
#include "platform/designer/references.h"
#include "platform/designer/report_file.h"
#include "platform/designer/util.h"

namespace designer {

namespace {

const char* KindName(AreaKind k) {
    switch (k) {
        case AreaKind::ReportHeader:
            return "ReportHeader";
        case AreaKind::PageHeader:
            return "PageHeader";
        case AreaKind::GroupHeader:
            return "GroupHeader";
        case AreaKind::Detail:
            return "Detail";
        case AreaKind::GroupFooter:
            return "GroupFooter";
        case AreaKind::PageFooter:
            return "PageFooter";
        case AreaKind::ReportFooter:
            return "ReportFooter";
    }
    return "";
}

[[noreturn]] void BadIndex(const char* what, int index) {
    throw vb::ComError(kErrInvalidIndex,
                       std::string("Invalid index ") + std::to_string(index) + " for " + what + ".");
}

}  // namespace

std::string AreaCode(AreaKind kind, int groupNumber) {
    switch (kind) {
        case AreaKind::ReportHeader:
            return "RH";
        case AreaKind::PageHeader:
            return "PH";
        case AreaKind::GroupHeader:
            return "GH" + std::to_string(groupNumber);
        case AreaKind::Detail:
            return "D";
        case AreaKind::GroupFooter:
            return "GF" + std::to_string(groupNumber);
        case AreaKind::PageFooter:
            return "PF";
        case AreaKind::ReportFooter:
            return "RF";
    }
    return {};
}

// ---- ReportObjects ----------------------------------------------------------------------

ReportObject& ReportObjects::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("report objects", index);
    return *items_[index - 1];
}

ReportObject* ReportObjects::Find(const std::string& name) const {
    for (auto& o : items_)
        if (o->Name == name) return o.get();
    return nullptr;
}

// ---- Section ----------------------------------------------------------------------------

Report& Section::OwnerReport() const {
    return area_->Parent();
}

long Section::EffectiveHeight() const {
    long h = Height;
    for (auto& o : objects_) {
        long bottom = o->Top + o->Height;
        if (o->Kind() == ObjectKind::Line)
            bottom = std::max(bottom, static_cast<const LineObject&>(*o).Bottom);
        if (o->Kind() == ObjectKind::Box) bottom = std::max(bottom, static_cast<const BoxObject&>(*o).Bottom);
        h = std::max(h, bottom);
    }
    return h;
}

template <class T>
T& Section::place(std::unique_ptr<T> obj, const char* prefix, long left, long top) {
    obj->Name = prefix + std::to_string(OwnerReport().NextNumber(prefix));
    obj->Left = left;
    obj->Top = top;
    T& ref = *obj;
    objects_.items_.push_back(std::move(obj));
    return ref;
}

ReportObject& Section::Adopt(std::unique_ptr<ReportObject> object) {
    object->parent_ = this;
    if (object->Name.empty()) {
        static constexpr const char* kPrefix[] = {"Text", "Field", "Line", "Box", "Picture", "Subreport"};
        const char* prefix = kPrefix[static_cast<int>(object->Kind())];
        object->Name = prefix + std::to_string(OwnerReport().NextNumber(prefix));
    }
    ReportObject& ref = *object;
    objects_.items_.push_back(std::move(object));
    return ref;
}

FieldObject& Section::AddFieldObject(const std::string& field, long left, long top) {
    ResolveFieldReference(OwnerReport(), field);  // throws when it does not resolve
    auto obj = std::make_unique<FieldObject>(*this);
    obj->Field = field;
    obj->Width = 1440;
    obj->Height = 221;
    return place(std::move(obj), "Field", left, top);
}

TextObject& Section::AddTextObject(const std::string& text, long left, long top) {
    auto obj = std::make_unique<TextObject>(*this);
    obj->Text = text;
    obj->Width = std::max<long>(500, static_cast<long>(text.size()) * 110);
    obj->Height = 221;
    return place(std::move(obj), "Text", left, top);
}

SubreportObject& Section::AddSubreportObject(const std::string& reportFile, long left, long top) {
    auto sub = ReadReportFile(reportFile, OwnerReport().Reader());
    auto obj = std::make_unique<SubreportObject>(*this, std::move(sub));
    obj->SubreportName = BaseName(reportFile);
    obj->Width = 2880;
    obj->Height = 720;
    obj->CanGrow = true;
    return place(std::move(obj), "Subreport", left, top);
}

BoxObject& Section::AddBoxObject(long left, long top, long right, long bottom) {
    auto obj = std::make_unique<BoxObject>(*this);
    obj->Right = right;
    obj->Bottom = bottom;
    obj->Width = right - left;
    obj->Height = bottom - top;
    return place(std::move(obj), "Box", left, top);
}

PictureObject& Section::AddPictureObject(const std::string& file, long left, long top) {
    std::vector<unsigned char> bytes;
    if (file.empty() || !ReadWholeFile(file, bytes))
        throw vb::ComError(kErrPictureFileMissing, "Picture file not found: " + file);
    auto obj = std::make_unique<PictureObject>(*this);
    obj->SourceFile = file;
    long w = 0, h = 0;
    if (!PictureSizeTwips(bytes, w, h)) w = h = 1440;
    obj->Width = w;
    obj->Height = h;
    obj->Image = std::move(bytes);
    return place(std::move(obj), "Picture", left, top);
}

LineObject& Section::AddLineObject(long left, long top, long right, long bottom) {
    auto obj = std::make_unique<LineObject>(*this);
    obj->Right = right;
    obj->Bottom = bottom;
    obj->Width = right - left;
    obj->Height = bottom - top;
    return place(std::move(obj), "Line", left, top);
}

// ---- Sections, Area, Areas ---------------------------------------------------------------

Section& Sections::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("sections", index);
    return *items_[index - 1];
}

Section& Sections::Add() {
    std::string prefix = std::string(KindName(area_->Kind())) + "Section";
    auto s = std::make_unique<Section>(*area_, prefix + std::to_string(area_->Parent().NextNumber(prefix)));
    Section& ref = *s;
    items_.push_back(std::move(s));
    return ref;
}

Area::Area(Report& report, AreaKind kind, int groupNumber)
    : report_(&report), kind_(kind), groupNumber_(groupNumber) {
    sections_.area_ = this;
}

std::string Area::Name() const {
    return std::string(KindName(kind_)) + "Area" + std::to_string(groupNumber_ > 0 ? groupNumber_ : 1);
}

Area& Areas::Item(int index) const {
    if (index < 1 || index > Count()) BadIndex("areas", index);
    return *items_[index - 1];
}

Area* Areas::Find(const std::string& code) const {
    std::string up = tolvaran::UpperCase(code);
    for (auto& a : items_)
        if (a->Code() == up) return a.get();
    return nullptr;
}

Area& Areas::Item(const std::string& code) const {
    Area* a = Find(code);
    if (!a) throw vb::ComError(kErrInvalidIndex, "There is no area \"" + code + "\".");
    return *a;
}

int AllSections::Count() const {
    int n = 0;
    for (auto& a : report_->Areas()) n += a->Sections().Count();
    return n;
}

std::vector<Section*> AllSections::List() const {
    std::vector<Section*> out;
    for (auto& a : report_->Areas())
        for (auto& s : a->Sections()) out.push_back(s.get());
    return out;
}

Section& AllSections::Item(int index) const {
    auto all = List();
    if (index < 1 || index > static_cast<int>(all.size())) BadIndex("sections", index);
    return *all[index - 1];
}

// ---- Report -----------------------------------------------------------------------------

Report::Report(FieldReader reader) : reader_(std::move(reader)), database_(reader_), formulas_(*this) {
    for (AreaKind k : {AreaKind::ReportHeader, AreaKind::PageHeader, AreaKind::Detail, AreaKind::PageFooter,
                       AreaKind::ReportFooter})
        addArea(areas_.items_.size(), k, 0).Sections().Add();
}

Report::~Report() = default;

FormulaTypeMemo& Report::TypeMemo() const {
    if (!typeMemo_) typeMemo_ = std::make_unique<FormulaTypeMemo>();
    return *typeMemo_;
}

Area& Report::addArea(size_t position, AreaKind kind, int groupNumber) {
    auto a = std::make_unique<Area>(*this, kind, groupNumber);
    Area& ref = *a;
    areas_.items_.insert(areas_.items_.begin() + static_cast<long>(position), std::move(a));
    return ref;
}

int Report::NextNumber(const std::string& prefix) {
    for (auto& c : counters_)
        if (c.first == prefix) return ++c.second;
    counters_.emplace_back(prefix, 1);
    return 1;
}

void Report::AddGroup(int groupNumber, const DatabaseFieldDefinition& field, int condition, int direction) {
    AddGroup(groupNumber, field.FormulaName(), condition, direction);
}

void Report::AddGroup(int groupNumber, const std::string& fieldReference, int condition, int direction) {
    int count = GroupCount();
    if (groupNumber < 0 || groupNumber > count)
        throw vb::ComError(kErrInvalidIndex, "Invalid group number " + std::to_string(groupNumber) + ".");
    if (condition < crGCDaily || condition > crGCAnyValue)
        throw vb::ComError(kErrInvalidArgument, "Invalid group condition " + std::to_string(condition) + ".");
    if (direction != crAscendingOrder && direction != crDescendingOrder)
        throw vb::ComError(kErrInvalidArgument, "Invalid sort direction " + std::to_string(direction) + ".");
    ResolveFieldReference(*this, fieldReference);

    // Renumber the areas of the groups that move inward: group k (1-based) > groupNumber.
    for (auto& a : areas_.items_)
        if ((a->kind_ == AreaKind::GroupHeader || a->kind_ == AreaKind::GroupFooter) &&
            a->groupNumber_ > groupNumber)
            ++a->groupNumber_;
    int n = groupNumber + 1;  // the new group's 1-based number

    // Header: after the page header and the headers of groups 1..n-1.
    size_t pos = 0;
    for (size_t i = 0; i < areas_.items_.size(); ++i) {
        const Area& a = *areas_.items_[i];
        if (a.kind_ == AreaKind::ReportHeader || a.kind_ == AreaKind::PageHeader ||
            (a.kind_ == AreaKind::GroupHeader && a.groupNumber_ < n))
            pos = i + 1;
    }
    addArea(pos, AreaKind::GroupHeader, n).Sections().Add();
    // Footer: after the detail and the footers of groups n+1..; before the outer footers.
    pos = 0;
    for (size_t i = 0; i < areas_.items_.size(); ++i) {
        const Area& a = *areas_.items_[i];
        if (a.kind_ == AreaKind::Detail || (a.kind_ == AreaKind::GroupFooter && a.groupNumber_ > n))
            pos = i + 1;
    }
    addArea(pos, AreaKind::GroupFooter, n).Sections().Add();

    groups_.insert(groups_.begin() + groupNumber, Group{fieldReference, condition, direction});
}

void Report::SaveAs(const std::string& path, int format) const {
    if (format != crReportFormat2048 && format != crStandardReport)
        throw vb::ComError(kErrReportFile, "Unsupported report file format " + std::to_string(format) + ".");
    WriteReportFile(*this, path);
}

// ---- Application ------------------------------------------------------------------------

std::unique_ptr<Report> Application::NewReport() const {
    return std::make_unique<Report>(reader_);
}

std::unique_ptr<Report> Application::OpenReport(const std::string& path) const {
    return ReadReportFile(path, reader_, MaxFileMb);
}

}  // namespace designer
