// Writes the report document. Attribute order and number formatting are fixed, so the same
// model always gives the same bytes.
#include <charconv>
#include <cstring>
#include <filesystem>
#include <pugixml.hpp>

#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
#include "platform/common/file_beside.h"
#include "platform/common/text.h"
#include "platform/designer/report.h"
#include "platform/designer/report_file.h"
#include "platform/designer/util.h"

namespace designer {

const char* AreaKindName(AreaKind k);  // report_file_read.cpp
const char* ObjectKindName(ObjectKind k);

class ReportFileWriter {
  public:
    static void Write(const Report& r, pugi::xml_node parent);
};

namespace {

std::string Num(double d) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

void Set(pugi::xml_node n, const char* name, const std::string& v) {
    n.append_attribute(name) = v.c_str();
}
void Set(pugi::xml_node n, const char* name, long v) {
    n.append_attribute(name) = std::to_string(v).c_str();
}
void Set(pugi::xml_node n, const char* name, int v) {
    n.append_attribute(name) = std::to_string(v).c_str();
}
void SetB(pugi::xml_node n, const char* name, bool v) {
    n.append_attribute(name) = v ? "1" : "0";
}
void Text(pugi::xml_node n, const std::string& v) {
    if (!v.empty()) n.append_child(pugi::node_pcdata).set_value(v.c_str());
}

// Connection strings are kept without their passwords (and without empty parts).
std::string WithoutPasswords(const std::string& cs) {
    const ado::ConnectionText in = ado::ConnectionText::Read(cs);
    ado::ConnectionText out;
    for (const ado::ConnectionText::Part& part : in.Parts()) {
        const std::string key = tolvaran::UpperCase(tolvaran::TrimBlanks(part.key));
        const bool secret = key.find("PASSWORD") != std::string::npos || key == "PWD";
        if (!secret && (part.hasValue || !key.empty())) out.Add(part);
    }
    return out.Text();
}

void WriteObject(const ReportObject& o, pugi::xml_node sec) {
    pugi::xml_node n = sec.append_child(ObjectKindName(o.Kind()));
    Set(n, "name", o.Name);
    Set(n, "left", o.Left);
    Set(n, "top", o.Top);
    Set(n, "width", o.Width);
    Set(n, "height", o.Height);
    SetB(n, "suppress", o.Suppress);
    SetB(n, "canGrow", o.CanGrow);
    SetB(n, "keepTogether", o.KeepTogether);
    Set(n, "textColor", o.TextColor);
    Set(n, "backColor", o.BackColor);
    Set(n, "backStyle", o.BackStyle);
    Set(n, "borderColor", o.BorderColor);
    Set(n, "leftLineStyle", o.LeftLineStyle);
    Set(n, "rightLineStyle", o.RightLineStyle);
    Set(n, "topLineStyle", o.TopLineStyle);
    Set(n, "bottomLineStyle", o.BottomLineStyle);
    Set(n, "horAlignment", o.HorAlignment);
    pugi::xml_node f = n.append_child("Font");
    Set(f, "name", o.Font.Name);
    Set(f, "size", Num(o.Font.Size));
    SetB(f, "bold", o.Font.Bold);
    SetB(f, "italic", o.Font.Italic);
    SetB(f, "underline", o.Font.Underline);
    SetB(f, "strikethrough", o.Font.Strikethrough);
    switch (o.Kind()) {
        case ObjectKind::Text:
            Text(n.append_child("Content"), static_cast<const TextObject&>(o).Text);
            break;
        case ObjectKind::Field: {
            auto& x = static_cast<const FieldObject&>(o);
            Set(n, "field", x.Field);
            Set(n, "dateWindowsDefaultType", x.DateWindowsDefaultType);
            break;
        }
        case ObjectKind::Line: {
            auto& x = static_cast<const LineObject&>(o);
            Set(n, "right", x.Right);
            Set(n, "bottom", x.Bottom);
            Set(n, "lineColor", x.LineColor);
            Set(n, "lineStyle", x.LineStyle);
            Set(n, "lineThickness", x.LineThickness);
            break;
        }
        case ObjectKind::Box: {
            auto& x = static_cast<const BoxObject&>(o);
            Set(n, "right", x.Right);
            Set(n, "bottom", x.Bottom);
            Set(n, "fillColor", x.FillColor);
            Set(n, "lineColor", x.LineColor);
            Set(n, "lineStyle", x.LineStyle);
            Set(n, "lineThickness", x.LineThickness);
            break;
        }
        case ObjectKind::Picture: {
            auto& x = static_cast<const PictureObject&>(o);
            Set(n, "sourceFile", x.SourceFile);
            Text(n.append_child("Image"), Base64Encode(x.Image));
            break;
        }
        case ObjectKind::Subreport: {
            auto& x = static_cast<const SubreportObject&>(o);
            Set(n, "subreportName", x.SubreportName);
            pugi::xml_node links = n.append_child("Links");
            for (auto& l : x.Links) {
                pugi::xml_node ln = links.append_child("Link");
                Set(ln, "main", l.MainReportField);
                Set(ln, "sub", l.SubreportField);
            }
            ReportFileWriter::Write(x.OpenSubreport(), n);
            break;
        }
    }
}

}  // namespace

void ReportFileWriter::Write(const Report& r, pugi::xml_node parent) {
    pugi::xml_node n = parent.append_child("Report");
    Set(n, "title", r.ReportTitle);
    Set(n, "paperOrientation", r.PaperOrientation);
    Set(n, "paperWidth", r.PaperWidth);
    Set(n, "paperHeight", r.PaperHeight);
    Set(n, "leftMargin", r.LeftMargin);
    Set(n, "rightMargin", r.RightMargin);
    Set(n, "topMargin", r.TopMargin);
    Set(n, "bottomMargin", r.BottomMargin);
    SetB(n, "enableParameterPrompting", r.EnableParameterPrompting);

    pugi::xml_node counters = n.append_child("Counters");
    for (auto& [prefix, value] : r.counters_) {
        pugi::xml_node c = counters.append_child("Counter");
        Set(c, "prefix", prefix);
        Set(c, "value", value);
    }

    pugi::xml_node db = n.append_child("Database");
    for (auto& l : r.Database().LogOns()) {
        pugi::xml_node x = db.append_child("LogOn");
        Set(x, "dll", l.DllName);
        Set(x, "server", l.ServerName);
        Set(x, "database", l.DatabaseName);
        Set(x, "user", l.UserId);
        Set(x, "serverType", l.ServerType);
        Set(x, "connectionString", WithoutPasswords(l.ConnectionString));
    }
    for (auto& t : r.Database().Tables()) {
        const TableSource& s = t->Source();
        pugi::xml_node x = db.append_child("Table");
        Set(x, "name", t->Name());
        Set(x, "type", s.Type);
        Set(x, "location", s.Location);
        Set(x, "subLocation", s.SubLocation);
        Set(x, "connectionInfo", WithoutPasswords(s.ConnectionInfo));
        Set(x, "dll", s.DllName);
        Set(x, "server", s.ServerName);
        Set(x, "serverType", s.ServerType);
        Set(x, "database", s.DatabaseName);
        Set(x, "user", s.UserId);
        Set(x, "connectionString", WithoutPasswords(t->ConnectionString()));
        SetB(x, "fieldsKnown", t->FieldsKnown());
        if (!s.CommandText.empty()) Text(x.append_child("Command"), s.CommandText);
        for (auto& f : t->Fields()) {
            pugi::xml_node fx = x.append_child("Field");
            Set(fx, "name", f->Name());
            Set(fx, "valueType", f->ValueType());
        }
        for (auto& p : t->Parameters()) {
            pugi::xml_node px = x.append_child("Parameter");
            Set(px, "name", p.Name);
            for (auto& v : p.Values) {
                pugi::xml_node vx = px.append_child("Value");
                Set(vx, "kind", v.Kind);
                Text(vx, v.Value);
            }
        }
    }

    pugi::xml_node ff = n.append_child("FormulaFields");
    for (auto& f : r.FormulaFields()) {
        pugi::xml_node x = ff.append_child("FormulaField");
        Set(x, "name", f->Name());
        Text(x, f->Text());
    }
    pugi::xml_node pf = n.append_child("ParameterFields");
    for (auto& p : r.ParameterFields()) {
        pugi::xml_node x = pf.append_child("ParameterField");
        Set(x, "name", p->Name());
        Set(x, "valueType", p->ValueType());
        Set(x, "prompt", p->Prompt);
        if (!p->DefaultValue.empty())
            Set(x, "defaultValue", p->DefaultValue);  // files without one stay as they were
    }
    pugi::xml_node gs = n.append_child("Groups");
    for (auto& g : r.Groups()) {
        pugi::xml_node x = gs.append_child("Group");
        Set(x, "field", g.ConditionField);
        Set(x, "condition", g.Condition);
        Set(x, "direction", g.SortDirection);
    }
    pugi::xml_node sf = n.append_child("RecordSortFields");
    for (auto& s : r.RecordSortFields()) {
        pugi::xml_node x = sf.append_child("SortField");
        Set(x, "field", s.Field);
        Set(x, "direction", s.SortDirection);
    }

    pugi::xml_node areas = n.append_child("Areas");
    for (auto& a : r.Areas()) {
        pugi::xml_node ax = areas.append_child("Area");
        Set(ax, "kind", std::string(AreaKindName(a->Kind())));
        Set(ax, "group", a->GroupNumber());
        SetB(ax, "suppress", a->Suppress);
        for (auto& s : a->Sections()) {
            pugi::xml_node sx = ax.append_child("Section");
            Set(sx, "name", s->Name());
            SetB(sx, "suppress", s->Suppress);
            SetB(sx, "keepTogether", s->KeepTogether);
            SetB(sx, "suppressIfBlank", s->SuppressIfBlank);
            SetB(sx, "newPageBefore", s->NewPageBefore);
            SetB(sx, "newPageAfter", s->NewPageAfter);
            Set(sx, "height", s->Height);
            Set(sx, "backColor", s->BackColor);
            for (auto& o : s->ReportObjects()) WriteObject(*o, sx);
        }
    }
}

namespace {

// pugixml's output appended to a string.
class StringWriter : public pugi::xml_writer {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

  private:
    std::string& out_;
};

// pugixml's output written to a file in pieces of 64 KiB, so that a large report is never
// held whole as text too; the first failure is kept (errno) and nothing after it is written.
class FileWriter : public pugi::xml_writer {
  public:
    explicit FileWriter(tolvaran::FileBeside& file) : file_(file) { buffer_.reserve(kPiece); }
    void write(const void* data, size_t size) override {
        buffer_.append(static_cast<const char*>(data), size);
        if (buffer_.size() >= kPiece) Flush();
    }
    // Writes what is held; the first failure's errno, or 0.
    int Flush() {
        if (error_ == 0) error_ = file_.Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return error_;
    }

  private:
    static constexpr size_t kPiece = 64 * 1024;
    tolvaran::FileBeside& file_;
    int error_ = 0;
    std::string buffer_;
};

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

void BuildDocument(const Report& report, pugi::xml_document& doc) {
    pugi::xml_node root = doc.append_child("TolvaranReport");
    root.append_attribute("version") = kReportFileVersion;
    ReportFileWriter::Write(report, root);
}

void SaveDocument(const pugi::xml_document& doc, pugi::xml_writer& out) {
    out.write(kDeclaration, std::strlen(kDeclaration));
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
}

}  // namespace

std::string WriteReportDocument(const Report& report) {
    pugi::xml_document doc;
    BuildDocument(report, doc);
    std::string text;
    StringWriter out(text);
    SaveDocument(doc, out);
    return text;
}

namespace {

[[noreturn]] void CannotWrite(const std::string& path, int error) {
    throw vb::ComError(kErrReportFile, "Cannot write the report file \"" + path +
                                           "\": " + tolvaran::FileBeside::ErrorText(error) + ".");
}

}  // namespace

void WriteReportFile(const Report& report, const std::string& path) {
    // Every file call would end the name at a NUL: the file written would be another one.
    if (tolvaran::HoldsControlChar(path))
        throw vb::ComError(kErrReportFile,
                           "The report file name \"" + path + "\" holds a control character.");
    pugi::xml_document doc;
    BuildDocument(report, doc);
    // Partial files of earlier saves here that were killed mid-way.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    tolvaran::RemoveSaveLeftovers(folder.empty() ? std::string(".") : folder.string());
    // Written beside the target and moved over it, so a failed write never leaves a truncated
    // report where a good one was, and a link under the name is replaced, not written
    // through. The new file is on the disk before it takes the name: after a power cut the
    // name holds the earlier report or the whole new one.
    tolvaran::FileBeside file(path);
    int error = file.Create();
    if (error == 0) {
        FileWriter out(file);
        SaveDocument(doc, out);  // out of memory: the file beside is removed with `file`
        error = out.Flush();
    }
    if (error == 0) error = file.Sync();
    if (error == 0) error = file.MoveOver(true);
    if (error != 0) CannotWrite(path, error);
    if ((error = file.Close()) != 0) CannotWrite(path, error);
}

}  // namespace designer
