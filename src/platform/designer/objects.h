#pragma once
// Report objects: what a section holds. Every kind carries the common placement and
// formatting; the kinds add their own content. Positions are twips from the top-left corner
// of the section that holds the object.
#include <memory>
#include <string>
#include <vector>

#include "platform/designer/types.h"

namespace designer {

class Report;
class Section;

enum class ObjectKind { Text, Field, Line, Box, Picture, Subreport };

class ReportObject {
  public:
    virtual ~ReportObject() = default;
    ReportObject(const ReportObject&) = delete;
    ReportObject& operator=(const ReportObject&) = delete;

    ObjectKind Kind() const { return kind_; }
    // The section that holds the object (non-owning; the section owns the object).
    Section& Parent() const { return *parent_; }

    std::string Name;
    long Left = 0;
    long Top = 0;
    long Width = 0;
    long Height = 0;
    bool Suppress = false;
    bool CanGrow = false;
    bool KeepTogether = true;

    ::designer::Font Font;
    long TextColor = kBlack;
    long BackColor = kNoColor;  // kNoColor: no fill
    int BackStyle = 1;          // 0: transparent whatever BackColor holds, 1: filled with BackColor
    long BorderColor = kBlack;
    int LeftLineStyle = crLSNoLine;
    int RightLineStyle = crLSNoLine;
    int TopLineStyle = crLSNoLine;
    int BottomLineStyle = crLSNoLine;
    int HorAlignment = crDefaultAlign;

  protected:
    ReportObject(ObjectKind kind, Section& parent) : kind_(kind), parent_(&parent) {}

  private:
    friend class Section;
    ObjectKind kind_;
    Section* parent_;
};

// Fixed text.
class TextObject : public ReportObject {
  public:
    TextObject(Section& parent) : ReportObject(ObjectKind::Text, parent) {}
    std::string Text;
};

// A database field, formula field or parameter field, by its reference text
// ("{Table.Field}", "{@Formula}", "{?Parameter}").
class FieldObject : public ReportObject {
  public:
    FieldObject(Section& parent) : ReportObject(ObjectKind::Field, parent) {}
    std::string Field;
    int DateWindowsDefaultType = crNotUsingWindowsDefaults;
};

// A straight line from (Left, Top) to (Right, Bottom).
class LineObject : public ReportObject {
  public:
    LineObject(Section& parent) : ReportObject(ObjectKind::Line, parent) {}
    long Right = 0;
    long Bottom = 0;
    long LineColor = kBlack;
    int LineStyle = crLSSingleLine;
    long LineThickness = 20;  // twips
};

// A rectangle from (Left, Top) to (Right, Bottom).
class BoxObject : public ReportObject {
  public:
    BoxObject(Section& parent) : ReportObject(ObjectKind::Box, parent) {}
    long Right = 0;
    long Bottom = 0;
    long FillColor = kNoColor;
    long LineColor = kBlack;
    int LineStyle = crLSSingleLine;
    long LineThickness = 20;  // twips
};

// A picture embedded in the report: the bytes of the file it was made from.
class PictureObject : public ReportObject {
  public:
    PictureObject(Section& parent) : ReportObject(ObjectKind::Picture, parent) {}
    std::string SourceFile;            // the path it was loaded from (kept for information)
    std::vector<unsigned char> Image;  // the file's bytes
};

// A field pair that filters the subreport's records by the main report's current record.
struct SubreportLink {
    std::string MainReportField;  // "{Table.Field}" of the main report
    std::string SubreportField;   // "{Table.Field}" of the subreport
    bool operator==(const SubreportLink&) const = default;
};

class DatabaseFieldDefinition;

class SubreportLinks {
  public:
    // Links the two fields; either missing (nullptr) fails with kErrLinkField.
    void Add(const DatabaseFieldDefinition* mainReportField, const DatabaseFieldDefinition* subreportField);
    // The same by reference texts ("{Table.Field}"); empty texts fail with kErrLinkField.
    void Add(const std::string& mainReportField, const std::string& subreportField);
    int Count() const { return static_cast<int>(links_.size()); }
    const SubreportLink& Item(int index) const;  // 1-based
    auto begin() const { return links_.begin(); }
    auto end() const { return links_.end(); }

  private:
    std::vector<SubreportLink> links_;
};

// A report embedded in its parent; the object owns it.
class SubreportObject : public ReportObject {
  public:
    SubreportObject(Section& parent, std::unique_ptr<Report> report);
    ~SubreportObject() override;

    std::string SubreportName;  // the name of the embedded report (the file's base name)
    SubreportLinks Links;
    Report& OpenSubreport() const { return *report_; }

  private:
    std::unique_ptr<Report> report_;
};

}  // namespace designer
