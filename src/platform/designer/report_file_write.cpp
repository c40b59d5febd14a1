// Writes the report document. Attribute order and number formatting are fixed, so the same
// model always gives the same bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <pugixml.hpp>
#include <random>

#include "platform/ado/connection_text.h"
#include "platform/common/com_error.h"
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

}  // namespace

std::string WriteReportDocument(const Report& report) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("TolvaranReport");
    root.append_attribute("version") = kReportFileVersion;
    ReportFileWriter::Write(report, root);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    StringWriter out(text);
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
    return text;
}

namespace {

[[noreturn]] void CannotWrite(const std::string& path, int error) {
    throw vb::ComError(kErrReportFile,
                       "Cannot write the report file \"" + path + "\": " + std::strerror(error) + ".");
}

// A name beside path of its own (".tolvaran-" and six letters): short, so it fits wherever the
// name of path fits (a temporary name made longer than the report's own did not).
std::string NameBeside(const std::string& path) {
    static std::mt19937 pick{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    char tail[] = ".tolvaran-XXXXXX";
    for (char* c = tail + 10; *c != '\0'; ++c) *c = kLetters[pick() % (sizeof kLetters - 1)];
    return tolvaran::JoinPath(parent.empty() ? std::string(".") : parent.string(), tail);
}

// A new file beside path, made here, so that no file that was there is ever opened. Returns its
// descriptor (-1 with errno set) and name.
int CreateBeside(const std::string& path, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = NameBeside(path);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Moves the file at path to a free name beside it, never over another file; false (nothing
// moved) when the file system cannot do that.
bool MoveAside(const std::string& path, std::string& aside) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        aside = NameBeside(path);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace

void WriteReportFile(const Report& report, const std::string& path) {
    // Every file call would end the name at a NUL: the file written would be another one.
    if (tolvaran::HoldsControlChar(path))
        throw vb::ComError(kErrReportFile,
                           "The report file name \"" + path + "\" holds a control character.");
    const std::string text = WriteReportDocument(report);
    // Written beside the target and renamed over it, so a failed write never leaves a
    // truncated report where a good one was.
    std::string temp;
    const int fd = CreateBeside(path, temp);
    if (fd < 0) CannotWrite(path, errno);
    int error = 0;
    for (size_t done = 0; done < text.size() && error == 0;) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            error = errno;
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        CannotWrite(path, error);
    }
    // The file it replaces is first moved aside and removed afterwards: renaming over an
    // existing file makes ext4 write the new one out at once (its guard against empty files
    // after a power cut), which costs more than everything else of a save. At every moment
    // either the old report or the new one is whole, under the name or beside it.
    // (A name taken meanwhile is never replaced: a file moved aside goes to a free name.)
    std::string aside;
    struct stat existing {};
    const bool replacing =
        ::lstat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) && MoveAside(path, aside);
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        if (replacing) std::rename(aside.c_str(), path.c_str());
        ::unlink(temp.c_str());
        CannotWrite(path, error);
    }
    if (replacing) ::unlink(aside.c_str());
}

}  // namespace designer
