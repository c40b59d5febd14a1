#pragma once
// Builders of report exports for the layout tests (sections, group levels and controls written
// as Access writes them), and readers of what a conversion made: the objects of an area and
// the Controls rows of a report.
#include <filesystem>
#include <string>
#include <vector>

#include "convert/job_support.h"
#include "platform/designer/report.h"

namespace convert_test::layout {

// One property line of an export block: a text, a number or a Boolean set to its non-default.
inline std::string Text(const std::string& name, const std::string& value) {
    std::string out = name + " =\"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}
inline std::string Num(const std::string& name, long value) {
    return name + " =" + std::to_string(value);
}
inline std::string On(const std::string& name) {
    return name + " = NotDefault";
}

struct Ctl {
    std::string kind;  // "TextBox", "Label", ...
    std::vector<std::string> props;
};

// A control at (left, top) of size (width, height), twips.
inline Ctl Control(const std::string& kind, const std::string& name, long left, long top, long width = 1000,
                   long height = 300, std::vector<std::string> more = {}) {
    Ctl c{
        kind,
        {Text("Name", name), Num("Left", left), Num("Top", top), Num("Width", width), Num("Height", height)}};
    c.props.insert(c.props.end(), more.begin(), more.end());
    return c;
}
inline Ctl Field(const std::string& name, const std::string& source, long left = 100, long top = 50,
                 std::vector<std::string> more = {}) {
    more.insert(more.begin(), Text("ControlSource", source));
    return Control("TextBox", name, left, top, 1500, 300, more);
}
inline Ctl Label(const std::string& name, const std::string& caption, long left = 100, long top = 50,
                 std::vector<std::string> more = {}) {
    more.insert(more.begin(), Text("Caption", caption));
    return Control("Label", name, left, top, 1500, 300, more);
}

// A section block: keyword FormHeader, PageHeader, Section, BreakHeader, BreakFooter, ...
inline std::string Section(const std::string& keyword, const std::string& name,
                           const std::vector<Ctl>& controls, std::vector<std::string> props = {}) {
    std::string s =
        "        Begin " + keyword + "\n            " + Text("Name", name) + "\n            Height =600\n";
    for (const auto& p : props) s += "            " + p + "\n";
    if (!controls.empty()) {
        s += "            Begin\n";
        for (const Ctl& c : controls) {
            s += "                Begin " + c.kind + "\n";
            for (const auto& p : c.props) s += "                    " + p + "\n";
            s += "                End\n";
        }
        s += "            End\n";
    }
    return s + "        End\n";
}
// The header and footer of group level j.
inline std::string GroupHeader(int level, const std::string& name, const std::vector<Ctl>& controls) {
    return Section("BreakHeader", name, controls, {Num("BreakLevel", level)});
}
inline std::string GroupFooter(int level, const std::string& name, const std::vector<Ctl>& controls) {
    return Section("BreakFooter", name, controls, {Num("BreakLevel", level)});
}
inline std::string Level(const std::string& source, bool header, bool footer, bool descending = false) {
    std::string s = "        Begin BreakLevel\n";
    if (header) s += "            " + On("GroupHeader") + "\n";
    if (footer) s += "            " + On("GroupFooter") + "\n";
    if (descending) s += "            " + On("SortOrder") + "\n";
    return s + "            " + Text("ControlSource", source) + "\n        End\n";
}

// What an object of the new report shows: "T:<text>", "F:<field>", "L", "B", "P", "S:<name>".
inline std::string Describe(const designer::ReportObject& o) {
    switch (o.Kind()) {
        case designer::ObjectKind::Text:
            return "T:" + static_cast<const designer::TextObject&>(o).Text;
        case designer::ObjectKind::Field:
            return "F:" + static_cast<const designer::FieldObject&>(o).Field;
        case designer::ObjectKind::Line:
            return "L";
        case designer::ObjectKind::Box:
            return "B";
        case designer::ObjectKind::Picture:
            return "P";
        case designer::ObjectKind::Subreport:
            return "S:" + static_cast<const designer::SubreportObject&>(o).SubreportName;
    }
    return "?";
}

// The objects of every section of an area, described, in order.
inline std::vector<std::string> AreaObjects(const designer::Report& r, const std::string& code) {
    std::vector<std::string> out;
    const designer::Area* area = r.Areas().Find(code);
    if (!area) return {"<no area " + code + ">"};
    for (const auto& s : area->Sections())
        for (const auto& o : s->ReportObjects()) out.push_back(Describe(*o));
    return out;
}

// The first object of the report whose description is d, or null.
inline designer::ReportObject* FindObject(const designer::Report& r, const std::string& d) {
    for (designer::Section* s : r.Sections().List())
        for (const auto& o : s->ReportObjects())
            if (Describe(*o) == d) return o.get();
    return nullptr;
}

struct ControlRow {
    long SectionNo = 0;
    std::string ControlName, Caption, CrystalControlName;
    long LeftPos = 0, TopPos = 0, ControlType = 0, ControlOrder = 0;
    long CrystalTopPos = 0, CrystalLeftPos = 0, CrystalHeight = 0;
};
inline std::vector<ControlRow> ControlRows(const ado::ConnectionPtr& db, long reportId) {
    std::vector<ControlRow> rows;
    ado::Recordset rs;
    rs.Open("SELECT * FROM Controls WHERE ReportId = ? ORDER BY ControlId", db, ado::adOpenForwardOnly,
            ado::adLockReadOnly, {vb::Variant(reportId)});
    auto num = [&](const char* n) { return static_cast<long>(vb::NZ(rs[n], 0).ToLong()); };
    auto text = [&](const char* n) { return vb::NZ(rs[n], "").ToString(); };
    for (; !rs.Eof(); rs.MoveNext()) {
        ControlRow r;
        r.SectionNo = num("SectionNo");
        r.ControlName = text("ControlName");
        r.Caption = text("Caption");
        r.CrystalControlName = text("CrystalControlName");
        r.LeftPos = num("LeftPos");
        r.TopPos = num("TopPos");
        r.ControlType = num("ControlType");
        r.ControlOrder = num("ControlOrder");
        r.CrystalTopPos = num("CrystalTopPos");
        r.CrystalLeftPos = num("CrystalLeftPos");
        r.CrystalHeight = num("CrystalHeight");
        rows.push_back(r);
    }
    return rows;
}

// Copies the shipped placeholder pictures into the run's program folder.
inline void ShipPlaceholders(const JobRun& run) {
    namespace fs = std::filesystem;
    const fs::path folder = run.store.ctx.programFolder;
    fs::create_directories(folder / "icons");
    fs::copy_file(TOLVARAN_SOURCE_DIR "/resources/ship/icons/yellowquestion.ico",
                  folder / "icons/yellowquestion.ico", fs::copy_options::overwrite_existing);
    fs::copy_file(TOLVARAN_SOURCE_DIR "/resources/ship/brenmoor.bmp", folder / "brenmoor.bmp",
                  fs::copy_options::overwrite_existing);
}

}  // namespace convert_test::layout
