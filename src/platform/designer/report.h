#pragma once
// The report designer component's object model: application, report, areas, sections.
//
// Ownership: the report owns its areas, the areas their sections, the sections their report
// objects, a subreport object its embedded report. Everything is handed out by reference;
// references stay valid while the report lives (collections hold their items by pointer),
// except that an area's number and name change when a group is inserted before it.
//
// A new report has the areas ReportHeaderArea1 (code "RH"), PageHeaderArea1 ("PH"),
// DetailArea1 ("D"), PageFooterArea1 ("PF") and ReportFooterArea1 ("RF"), each with one
// section (ReportHeaderSection1, ...). Group n adds GroupHeaderArea<n> ("GH"n) after the
// page header and the outer groups' headers, and GroupFooterArea<n> ("GF"n) before the
// outer groups' footers. Positions are twips.
#include <memory>
#include <string>
#include <vector>

#include "platform/designer/database.h"
#include "platform/designer/fields.h"
#include "platform/designer/objects.h"
#include "platform/designer/report_file.h"
#include "platform/designer/types.h"

namespace designer {

class Area;

class ReportObjects {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    ReportObject& Item(int index) const;                // 1-based
    ReportObject* Find(const std::string& name) const;  // by Name; nullptr when none
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    friend class Section;
    std::vector<std::unique_ptr<ReportObject>> items_;
};

class Section {
  public:
    Section(Area& area, std::string name) : area_(&area), name_(std::move(name)) {}
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    const std::string& Name() const { return name_; }
    void setName(const std::string& n) { name_ = n; }
    Area& Parent() const { return *area_; }
    Report& OwnerReport() const;
    ::designer::ReportObjects& ReportObjects() { return objects_; }
    const ::designer::ReportObjects& ReportObjects() const { return objects_; }

    bool Suppress = false;
    bool KeepTogether = false;  // the format flag the converter sets on every converted section
    bool SuppressIfBlank = false;
    bool NewPageBefore = false;
    bool NewPageAfter = false;
    long Height = 0;  // twips; 0: as tall as its objects need
    long BackColor = kNoColor;
    // The height the section prints with: Height, or the lowest bottom of its objects.
    long EffectiveHeight() const;

    // Places a database, formula or parameter field by its reference text ("{T.F}",
    // "{@F}", "{?P}"). An empty or malformed text, or one naming a formula, parameter or
    // field the report does not have, fails with ComError (kErrFieldNotKnown). A field of
    // a table whose fields could not be read is accepted.
    FieldObject& AddFieldObject(const std::string& field, long left, long top);
    TextObject& AddTextObject(const std::string& text, long left, long top);
    // Embeds the report saved in the file (read with ReportFile), placed at (left, top).
    // A file that cannot be read fails with ComError (kErrReportFile).
    SubreportObject& AddSubreportObject(const std::string& reportFile, long left, long top);
    BoxObject& AddBoxObject(long left, long top, long right, long bottom);
    // Embeds the picture file; a missing or unreadable file fails with ComError
    // (kErrPictureFileMissing, 0x80043AC4).
    PictureObject& AddPictureObject(const std::string& file, long left, long top);
    LineObject& AddLineObject(long left, long top, long right, long bottom);

    // Takes over an object built elsewhere (the report-file reader); names it when unnamed.
    ReportObject& Adopt(std::unique_ptr<ReportObject> object);

  private:
    template <class T>
    T& place(std::unique_ptr<T> obj, const char* prefix, long left, long top);

    Area* area_;
    std::string name_;
    ::designer::ReportObjects objects_;
};

class Sections {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    Section& Item(int index) const;  // 1-based
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    // Adds a section at the end of the area, named after the area's kind.
    Section& Add();

  private:
    friend class Area;
    friend class ReportFileReader;
    Area* area_ = nullptr;
    std::vector<std::unique_ptr<Section>> items_;
};

class Area {
  public:
    Area(Report& report, AreaKind kind, int groupNumber);
    Area(const Area&) = delete;
    Area& operator=(const Area&) = delete;

    AreaKind Kind() const { return kind_; }
    int GroupNumber() const { return groupNumber_; }  // 1-based for group areas, else 0
    // "ReportHeaderArea1", "GroupHeaderArea2", ...
    std::string Name() const;
    // "RH", "PH", "GH"n, "D", "GF"n, "PF", "RF".
    std::string Code() const { return AreaCode(kind_, groupNumber_); }
    Report& Parent() const { return *report_; }
    ::designer::Sections& Sections() { return sections_; }
    const ::designer::Sections& Sections() const { return sections_; }

    bool Suppress = false;

  private:
    friend class Report;
    friend class ReportFileReader;
    Report* report_;
    AreaKind kind_;
    int groupNumber_;
    ::designer::Sections sections_;
};

class Areas {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    Area& Item(int index) const;                // 1-based, in print order
    Area& Item(const std::string& code) const;  // "RH", "GH1", ... (case-insensitive)
    Area* Find(const std::string& code) const;
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    friend class Report;
    friend class ReportFileReader;
    std::vector<std::unique_ptr<Area>> items_;
};

// All sections of a report in print order (a view; the areas own the sections).
class AllSections {
  public:
    explicit AllSections(const Report& r) : report_(&r) {}
    int Count() const;
    Section& Item(int index) const;  // 1-based
    std::vector<Section*> List() const;

  private:
    const Report* report_;
};

struct FormulaTypeMemo;

// A report; constructed with the five standard areas, one section each.
class Report {
  public:
    explicit Report(FieldReader reader = AdoFieldReader());
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    ::designer::Areas& Areas() { return areas_; }
    const ::designer::Areas& Areas() const { return areas_; }
    AllSections Sections() const { return AllSections(*this); }
    ::designer::Database& Database() { return database_; }
    const ::designer::Database& Database() const { return database_; }
    FormulaFieldDefinitions& FormulaFields() { return formulas_; }
    const FormulaFieldDefinitions& FormulaFields() const { return formulas_; }
    ParameterFieldDefinitions& ParameterFields() { return parameters_; }
    const ParameterFieldDefinitions& ParameterFields() const { return parameters_; }
    ::designer::RecordSortFields& RecordSortFields() { return sortFields_; }
    const ::designer::RecordSortFields& RecordSortFields() const { return sortFields_; }

    std::string ReportTitle;
    int PaperOrientation = crPortrait;  // 1 portrait, 2 landscape
    long PaperWidth = 12240;            // twips, portrait (US Letter)
    long PaperHeight = 15840;
    long LeftMargin = 360, RightMargin = 360, TopMargin = 360, BottomMargin = 360;
    bool EnableParameterPrompting = false;  // ask for parameter values before printing

    // Groups, outermost first.
    const std::vector<Group>& Groups() const { return groups_; }
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    // Inserts a group at groupNumber (0-based: 0 makes it the outermost, GroupCount() the
    // innermost) with its header and footer areas; later groups move one number on.
    void AddGroup(int groupNumber, const DatabaseFieldDefinition& field, int condition, int direction);
    void AddGroup(int groupNumber, const std::string& fieldReference, int condition, int direction);

    // Drops data kept from an earlier run before the report is viewed (none is kept here;
    // the call is accepted and marks the report as ready).
    void DiscardSavedData() { savedData_ = false; }

    // Writes the report file; format 2048 and 0 write the same document, others fail.
    void SaveAs(const std::string& path, int format = crReportFormat2048) const;

    // Next free number for an object, section or other name with this prefix ("Text",
    // "Field", "DetailSection", ...), counted per report.
    int NextNumber(const std::string& prefix);
    const FieldReader& Reader() const { return reader_; }

    // The result types SymbolsOf worked out for the texts of this report's formulas, kept
    // while the names those texts refer to stay the same (symbols.cpp).
    FormulaTypeMemo& TypeMemo() const;

  private:
    friend class ReportFileReader;
    friend class ReportFileWriter;
    Area& addArea(size_t position, AreaKind kind, int groupNumber);

    FieldReader reader_;
    ::designer::Areas areas_;
    ::designer::Database database_;
    FormulaFieldDefinitions formulas_;
    ParameterFieldDefinitions parameters_;
    ::designer::RecordSortFields sortFields_;
    std::vector<Group> groups_;
    std::vector<std::pair<std::string, int>> counters_;
    bool savedData_ = false;
    mutable std::unique_ptr<FormulaTypeMemo> typeMemo_;
};

// The component's entry: creates and opens reports. The caller owns what it returns.
class Application {
  public:
    explicit Application(FieldReader reader = AdoFieldReader()) : reader_(std::move(reader)) {}
    std::unique_ptr<Report> NewReport() const;
    // Opens a report file; anything that is not such a file fails with ComError
    // (kErrReportFile) whose text names the file and the reason.
    std::unique_ptr<Report> OpenReport(const std::string& path) const;

    // The largest report file OpenReport reads, in megabytes.
    long MaxFileMb = kDefaultMaxReportFileMb;

  private:
    FieldReader reader_;
};

}  // namespace designer
