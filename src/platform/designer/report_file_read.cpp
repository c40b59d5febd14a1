// Reads the report document back into a model. Every failure is a ComError naming the source
// and what is wrong; nothing half-read is handed out.
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <pugixml.hpp>

#include "platform/common/com_error.h"
#include "platform/common/regular_file.h"
#include "platform/designer/report.h"
#include "platform/designer/report_file.h"
#include "platform/designer/util.h"

namespace designer {

namespace {

struct KindNames {
    AreaKind kind;
    const char* name;
};
constexpr KindNames kAreaKinds[] = {
    {AreaKind::ReportHeader, "ReportHeader"}, {AreaKind::PageHeader, "PageHeader"},
    {AreaKind::GroupHeader, "GroupHeader"},   {AreaKind::Detail, "Detail"},
    {AreaKind::GroupFooter, "GroupFooter"},   {AreaKind::PageFooter, "PageFooter"},
    {AreaKind::ReportFooter, "ReportFooter"},
};

struct ObjectNames {
    ObjectKind kind;
    const char* name;
};
constexpr ObjectNames kObjectKinds[] = {
    {ObjectKind::Text, "Text"}, {ObjectKind::Field, "Field"},     {ObjectKind::Line, "Line"},
    {ObjectKind::Box, "Box"},   {ObjectKind::Picture, "Picture"}, {ObjectKind::Subreport, "Subreport"},
};

constexpr int kMaxDepth = 32;  // subreports nested deeper than this are refused

}  // namespace

const char* AreaKindName(AreaKind k) {
    for (auto& e : kAreaKinds)
        if (e.kind == k) return e.name;
    return "";
}

const char* ObjectKindName(ObjectKind k) {
    for (auto& e : kObjectKinds)
        if (e.kind == k) return e.name;
    return "";
}

class ReportFileReader {
  public:
    ReportFileReader(std::string source, FieldReader reader)
        : source_(std::move(source)), reader_(std::move(reader)) {}

    std::unique_ptr<Report> Read(pugi::xml_node n, int depth);

  private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw vb::ComError(kErrReportFile, "The report file \"" + source_ + "\" cannot be opened: " + why);
    }
    std::string Str(pugi::xml_node n, const char* name) const { return n.attribute(name).as_string(); }
    long Long(pugi::xml_node n, const char* name, long def = 0) const {
        pugi::xml_attribute a = n.attribute(name);
        if (!a) return def;
        const char* s = a.value();
        long v = 0;
        auto res = std::from_chars(s, s + std::char_traits<char>::length(s), v);
        if (res.ec != std::errc() || *res.ptr != '\0')
            Fail(std::string("the value \"") + s + "\" of " + name + " is not a whole number");
        return v;
    }
    int Int(pugi::xml_node n, const char* name, int def = 0) const {
        long v = Long(n, name, def);
        if (v < -2147483647L || v > 2147483647L)
            Fail(std::string("the value of ") + name + " is out of range");
        return static_cast<int>(v);
    }
    bool Bool(pugi::xml_node n, const char* name, bool def = false) const {
        pugi::xml_attribute a = n.attribute(name);
        if (!a) return def;
        std::string v = a.value();
        if (v == "1") return true;
        if (v == "0") return false;
        Fail("the value \"" + v + "\" of " + name + " is not 0 or 1");
    }
    std::string Content(pugi::xml_node n) const { return n.text().get(); }

    void ReadDatabase(Report& r, pugi::xml_node db);
    void ReadObject(Section& s, pugi::xml_node n, int depth);

    std::string source_;
    FieldReader reader_;
};

void ReportFileReader::ReadDatabase(Report& r, pugi::xml_node db) {
    Database& d = r.database_;
    for (pugi::xml_node l : db.children("LogOn"))
        d.logons_.push_back({Str(l, "dll"), Str(l, "server"), Str(l, "database"), Str(l, "user"), "",
                             Str(l, "serverType"), Str(l, "connectionString")});
    for (pugi::xml_node t : db.children("Table")) {
        TableSource s{Str(t, "location"),
                      Str(t, "subLocation"),
                      Str(t, "connectionInfo"),
                      Int(t, "type", 1),
                      Str(t, "dll"),
                      Str(t, "server"),
                      Str(t, "serverType"),
                      Str(t, "database"),
                      Str(t, "user"),
                      "",
                      Content(t.child("Command"))};
        std::string name = Str(t, "name");
        if (name.empty()) Fail("a table has no name");
        auto table = std::make_unique<DatabaseTable>(name, std::move(s));
        table->reader_ = reader_;
        table->connectionString_ = Str(t, "connectionString");
        table->fieldsKnown_ = Bool(t, "fieldsKnown");
        for (pugi::xml_node f : t.children("Field")) table->addField(Str(f, "name"), Int(f, "valueType"));
        for (pugi::xml_node p : t.children("Parameter")) {
            StoredProcParam param{Str(p, "name"), {}};
            for (pugi::xml_node v : p.children("Value")) param.Values.push_back({Content(v), Int(v, "kind")});
            table->params_.Add(std::move(param));
        }
        d.tables_.tables_.push_back(std::move(table));
    }
}

void ReportFileReader::ReadObject(Section& s, pugi::xml_node n, int depth) {
    std::string kind = n.name();
    std::unique_ptr<ReportObject> obj;
    if (kind == "Text") {
        auto x = std::make_unique<TextObject>(s);
        x->Text = Content(n.child("Content"));
        obj = std::move(x);
    } else if (kind == "Field") {
        auto x = std::make_unique<FieldObject>(s);
        x->Field = Str(n, "field");
        x->DateWindowsDefaultType = Int(n, "dateWindowsDefaultType", crNotUsingWindowsDefaults);
        obj = std::move(x);
    } else if (kind == "Line") {
        auto x = std::make_unique<LineObject>(s);
        x->Right = Long(n, "right");
        x->Bottom = Long(n, "bottom");
        x->LineColor = Long(n, "lineColor");
        x->LineStyle = Int(n, "lineStyle", crLSSingleLine);
        x->LineThickness = Long(n, "lineThickness", 20);
        obj = std::move(x);
    } else if (kind == "Box") {
        auto x = std::make_unique<BoxObject>(s);
        x->Right = Long(n, "right");
        x->Bottom = Long(n, "bottom");
        x->FillColor = Long(n, "fillColor", kNoColor);
        x->LineColor = Long(n, "lineColor");
        x->LineStyle = Int(n, "lineStyle", crLSSingleLine);
        x->LineThickness = Long(n, "lineThickness", 20);
        obj = std::move(x);
    } else if (kind == "Picture") {
        auto x = std::make_unique<PictureObject>(s);
        x->SourceFile = Str(n, "sourceFile");
        if (!Base64Decode(Content(n.child("Image")), x->Image)) Fail("a picture's image is damaged");
        obj = std::move(x);
    } else if (kind == "Subreport") {
        pugi::xml_node rep = n.child("Report");
        if (!rep) Fail("a subreport has no report");
        auto x = std::make_unique<SubreportObject>(s, Read(rep, depth + 1));
        x->SubreportName = Str(n, "subreportName");
        for (pugi::xml_node l : n.child("Links").children("Link")) {
            try {
                x->Links.Add(Str(l, "main"), Str(l, "sub"));
            } catch (const vb::ComError& e) {
                Fail(e.what());
            }
        }
        obj = std::move(x);
    } else {
        Fail("unknown report object \"" + kind + "\"");
    }
    obj->Name = Str(n, "name");
    obj->Left = Long(n, "left");
    obj->Top = Long(n, "top");
    obj->Width = Long(n, "width");
    obj->Height = Long(n, "height");
    obj->Suppress = Bool(n, "suppress");
    obj->CanGrow = Bool(n, "canGrow");
    obj->KeepTogether = Bool(n, "keepTogether", true);
    obj->TextColor = Long(n, "textColor");
    obj->BackColor = Long(n, "backColor", kNoColor);
    obj->BackStyle = Int(n, "backStyle", 1);
    obj->BorderColor = Long(n, "borderColor");
    obj->LeftLineStyle = Int(n, "leftLineStyle");
    obj->RightLineStyle = Int(n, "rightLineStyle");
    obj->TopLineStyle = Int(n, "topLineStyle");
    obj->BottomLineStyle = Int(n, "bottomLineStyle");
    obj->HorAlignment = Int(n, "horAlignment");
    if (pugi::xml_node f = n.child("Font")) {
        obj->Font.Name = Str(f, "name");
        obj->Font.Size = f.attribute("size").as_double(10);
        obj->Font.Bold = Bool(f, "bold");
        obj->Font.Italic = Bool(f, "italic");
        obj->Font.Underline = Bool(f, "underline");
        obj->Font.Strikethrough = Bool(f, "strikethrough");
    }
    s.Adopt(std::move(obj));
}

std::unique_ptr<Report> ReportFileReader::Read(pugi::xml_node n, int depth) {
    if (depth > kMaxDepth) Fail("subreports are nested too deeply");
    auto r = std::make_unique<Report>(reader_);
    r->areas_.items_.clear();
    r->counters_.clear();
    r->ReportTitle = Str(n, "title");
    r->PaperOrientation = Int(n, "paperOrientation", crPortrait);
    r->PaperWidth = Long(n, "paperWidth", 12240);
    r->PaperHeight = Long(n, "paperHeight", 15840);
    r->LeftMargin = Long(n, "leftMargin", 360);
    r->RightMargin = Long(n, "rightMargin", 360);
    r->TopMargin = Long(n, "topMargin", 360);
    r->BottomMargin = Long(n, "bottomMargin", 360);
    r->EnableParameterPrompting = Bool(n, "enableParameterPrompting");
    for (pugi::xml_node c : n.child("Counters").children("Counter"))
        r->counters_.emplace_back(Str(c, "prefix"), Int(c, "value"));

    ReadDatabase(*r, n.child("Database"));
    try {
        for (pugi::xml_node f : n.child("FormulaFields").children("FormulaField"))
            r->FormulaFields().Add(Str(f, "name"), Content(f));
        for (pugi::xml_node p : n.child("ParameterFields").children("ParameterField")) {
            ParameterFieldDefinition& d = r->ParameterFields().Add(Str(p, "name"), Int(p, "valueType"));
            d.Prompt = Str(p, "prompt");
            d.DefaultValue = Str(p, "defaultValue");
        }
        for (pugi::xml_node s : n.child("RecordSortFields").children("SortField"))
            r->RecordSortFields().Add(Str(s, "field"), Int(s, "direction"));
    } catch (const vb::ComError& e) {
        Fail(e.what());
    }
    for (pugi::xml_node g : n.child("Groups").children("Group"))
        r->groups_.push_back({Str(g, "field"), Int(g, "condition"), Int(g, "direction")});

    int groups = r->GroupCount();
    for (pugi::xml_node a : n.child("Areas").children("Area")) {
        std::string kindName = Str(a, "kind");
        const KindNames* k = nullptr;
        for (auto& e : kAreaKinds)
            if (kindName == e.name) k = &e;
        if (!k) Fail("unknown area kind \"" + kindName + "\"");
        int group = Int(a, "group");
        bool isGroup = k->kind == AreaKind::GroupHeader || k->kind == AreaKind::GroupFooter;
        if (isGroup ? (group < 1 || group > groups) : group != 0) Fail("an area has a wrong group number");
        Area& area = r->addArea(r->areas_.items_.size(), k->kind, group);
        area.Suppress = Bool(a, "suppress");
        for (pugi::xml_node sx : a.children("Section")) {
            auto sec = std::make_unique<Section>(area, Str(sx, "name"));
            sec->Suppress = Bool(sx, "suppress");
            sec->KeepTogether = Bool(sx, "keepTogether");
            sec->SuppressIfBlank = Bool(sx, "suppressIfBlank");
            sec->NewPageBefore = Bool(sx, "newPageBefore");
            sec->NewPageAfter = Bool(sx, "newPageAfter");
            sec->Height = Long(sx, "height");
            sec->BackColor = Long(sx, "backColor", kNoColor);
            for (pugi::xml_node o : sx.children())
                if (o.type() == pugi::node_element) ReadObject(*sec, o, depth);
            area.sections_.items_.push_back(std::move(sec));
        }
    }
    if (r->areas_.items_.empty()) Fail("the report has no areas");
    return r;
}

namespace {

// No end-of-line or whitespace normalisation: formula texts keep their CR LF.
constexpr unsigned kParseOptions =
    pugi::parse_cdata | pugi::parse_escapes | pugi::parse_ws_pcdata_single | pugi::parse_declaration;

std::unique_ptr<Report> ReadParsed(const pugi::xml_document& doc, const pugi::xml_parse_result& res,
                                   const std::string& source, FieldReader reader) {
    auto fail = [&](const std::string& why) -> void {
        throw vb::ComError(kErrReportFile, "The report file \"" + source + "\" cannot be opened: " + why);
    };
    if (!res)
        fail(std::string("it is not an XML document (") + res.description() + " at offset " +
             std::to_string(res.offset) + ").");
    pugi::xml_node root = doc.document_element();
    if (std::string(root.name()) != "TolvaranReport") fail("it is not a report file.");
    int version = root.attribute("version").as_int(0);
    if (version < 1) fail("it has no valid version.");
    if (version > kReportFileVersion)
        fail("it was written by a newer version (" + std::to_string(version) + ") of the program.");
    pugi::xml_node rep = root.child("Report");
    if (!rep) fail("it holds no report.");
    return ReportFileReader(source, std::move(reader)).Read(rep, 0);
}

}  // namespace

std::unique_ptr<Report> ReadReportDocument(const std::string& xml, const std::string& source,
                                           FieldReader reader) {
    pugi::xml_document doc;
    const pugi::xml_parse_result res = doc.load_buffer(xml.data(), xml.size(), kParseOptions);
    return ReadParsed(doc, res, source, std::move(reader));
}

std::unique_ptr<Report> ReadReportFile(const std::string& path, FieldReader reader, long maxFileMb) {
    // Read once into a buffer of its size and parsed where it lies: a large report is not
    // copied again and again on its way in.
    std::string text;
    const std::uint64_t limit = static_cast<std::uint64_t>(std::max(0L, maxFileMb)) * 1024 * 1024;
    const std::string why = tolvaran::ReadRegularFile(path, text, limit);
    if (!why.empty())
        throw vb::ComError(kErrReportFile, "The report file \"" + path + "\" cannot be opened: " + why + ".");
    pugi::xml_document doc;  // points into text: destroyed first
    const pugi::xml_parse_result res = doc.load_buffer_inplace(text.data(), text.size(), kParseOptions);
    return ReadParsed(doc, res, path, std::move(reader));
}

}  // namespace designer
