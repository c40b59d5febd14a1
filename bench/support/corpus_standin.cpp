#include "support/corpus_standin.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>

#include "convert/convert.h"
#include "platform/access/encoding.h"
#include "platform/access/export_reader.h"
#include "platform/ado/connection_text.h"
#include "sources/link.h"
#include "sources/links_manager.h"
#include "store/support.h"
#include "store/text_log.h"
#include "support/recording.h"

namespace fs = std::filesystem;
namespace tacc = tolvaran::access;

namespace corpus_standin {
namespace {

// text between two quote characters q, each q inside doubled (SQL names with '"', SQL texts
// with '\'').
std::string Quoted(const std::string& text, char q) {
    std::string out(1, q);
    for (char c : text) {
        if (c == q) out += q;
        out += c;
    }
    return out + q;
}

std::string QuoteIdent(const std::string& name) {
    return Quoted(name, '"');
}

std::string QuoteExport(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool IsSql(const std::string& source) {
    std::string word;
    for (char c : Trim(source)) {
        if (!std::isalpha(static_cast<unsigned char>(c))) break;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return word == "SELECT" || word == "PARAMETERS" || word == "TRANSFORM";
}

// Names between brackets in an expression; the last part of a qualified name.
void BracketNames(const std::string& text, std::set<std::string>& out) {
    size_t i = 0;
    while ((i = text.find('[', i)) != std::string::npos) {
        const size_t j = text.find(']', i + 1);
        if (j == std::string::npos) break;
        const std::string name = text.substr(i + 1, j - i - 1);
        const bool qualified = j + 1 < text.size() && (text[j + 1] == '!' || text[j + 1] == '.');
        if (!qualified && !name.empty() && name != "Page" && name != "Pages") out.insert(name);
        i = j + 1;
    }
}

// A field name written in a control source or group level.
void SourceFields(const std::string& source, std::set<std::string>& out) {
    const std::string s = Trim(source);
    if (s.empty() || s.find("[Forms]") != std::string::npos) return;
    if (s[0] == '=') {
        BracketNames(s, out);
        return;
    }
    std::string name = s;
    if (name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    const size_t dot = name.find_last_of("!.");
    if (dot != std::string::npos) name = name.substr(dot + 1);
    if (!name.empty() && name.find('[') == std::string::npos) out.insert(name);
}

std::vector<std::string> SplitFields(const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string f = Trim(list.substr(start, end - start));
        if (!f.empty()) out.push_back(f);
        start = end + 1;
    }
    return out;
}

std::string SafeIdent(const std::string& s) {
    std::string out;
    for (unsigned char c : s) out += std::isalnum(c) ? static_cast<char>(c) : '_';
    return out;
}

// The export with its record source replaced by the given table name, as UTF-8 with a BOM.
std::string WithRecordSource(const std::string& bytes, const std::string& table) {
    const std::string text = tacc::detail::DecodeExportText(bytes, tacc::detail::AnsiCodePage::Windows1252);
    std::string out = "\xEF\xBB\xBF";
    size_t pos = 0;
    bool skipping = false;
    bool inserted = false;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (skipping) {
            const std::string t = Trim(line);
            if (!t.empty() && t[0] == '"' && line.rfind("        ", 0) == 0) continue;
            skipping = false;
        }
        if (line.rfind("    RecordSource =", 0) == 0) {
            skipping = true;
            continue;
        }
        out += line + "\r\n";
        if (!inserted && Trim(line) == "Begin Report") {
            out += "    RecordSource =" + QuoteExport(table) + "\r\n";
            inserted = true;
        }
    }
    return out;
}

}  // namespace

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool RunSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return false;
    char* err = nullptr;
    const std::string all = "BEGIN;\n" + sql + "\nCOMMIT;";
    const int rc = sqlite3_exec(db, all.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) std::fprintf(stderr, "SQL failed on %s: %s\n", file.c_str(), err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

std::vector<Export> ListExports(const fs::path& folder, const std::string& group) {
    std::vector<Export> exports;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".bas" && ext != ".txt" && ext != ".report") continue;
        const std::string stem = entry.path().stem().string();
        const size_t a = stem.find("__");
        const size_t b = a == std::string::npos ? std::string::npos : stem.find("__", a + 2);
        Export e;
        e.file = entry.path();
        e.extension = ext;
        e.group = b == std::string::npos ? "corpus" : stem.substr(0, b);
        e.name = b == std::string::npos ? stem : stem.substr(b + 2);
        if (group.empty() || e.group == group) exports.push_back(e);
    }
    std::sort(exports.begin(), exports.end(),
              [](const Export& x, const Export& y) { return x.file < y.file; });
    return exports;
}

namespace {

// The record-source tables of each repository, each with the fields its reports need.
using TablesOfGroup = std::map<std::string, std::map<std::string, std::set<std::string>>>;

// Reads the exports (marking each read or not, and naming its table) and gathers the tables.
TablesOfGroup GatherTables(std::vector<Export>& exports) {
    TablesOfGroup tables;                              // group -> table -> fields
    std::map<std::string, std::string> tableOfReport;  // group/name -> table
    std::vector<std::pair<std::string, std::pair<std::string, std::vector<std::string>>>> childLinks;
    for (Export& e : exports) {
        try {
            tacc::ReportPtr r = tacc::ReadReportFile(e.file.string());
            const std::string rs = Trim(r->RecordSource());
            std::string name = rs;
            if (!name.empty() && name.front() == '[' && name.back() == ']')
                name = name.substr(1, name.size() - 2);
            e.table = rs.empty() || IsSql(rs) || name.find_first_of("[];\r\n") != std::string::npos
                          ? "src_" + SafeIdent(e.name)
                          : name;
            tableOfReport[e.group + "/" + e.name] = e.table;
            std::set<std::string>& fields = tables[e.group][e.table];
            for (const tacc::Control* c : r->Controls()) {
                if (c->HasProperty("ControlSource")) SourceFields(c->ControlSource(), fields);
                if (c->ControlType() == tacc::acSubform) {
                    for (const std::string& f : SplitFields(c->LinkMasterFields())) fields.insert(f);
                    std::string child = c->SourceObject();
                    if (child.rfind("Report.", 0) == 0) child = child.substr(7);
                    childLinks.push_back(
                        {e.group + "/" + child, {e.group, SplitFields(c->LinkChildFields())}});
                }
            }
            for (int i = 0; i < r->GroupLevelCount(); ++i)
                SourceFields(r->GroupLevel(i).ControlSource(), fields);
            e.read = true;
        } catch (const std::exception& ex) {
            std::fprintf(stderr, "%s: not readable: %s\n", e.file.filename().c_str(), ex.what());
        }
    }
    for (const auto& [child, link] : childLinks) {
        auto it = tableOfReport.find(child);
        if (it == tableOfReport.end()) continue;
        for (const std::string& f : link.second) tables[link.first][it->second].insert(f);
    }
    return tables;
}

std::string Lower(const std::string& s) {
    std::string lower;
    for (unsigned char ch : s) lower += static_cast<char>(std::tolower(ch));
    return lower;
}

// Writes the stand-in file front with the tables and fillerRows made-up rows in each.
bool WriteFrontEnd(const std::string& front, const std::map<std::string, std::set<std::string>>& tables,
                   int fillerRows) {
    std::string sql =
        "CREATE TABLE MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, ForeignName "
        "TEXT, "
        "Connect TEXT);";
    for (const auto& [table, fields] : tables) {
        std::string cols, values;
        std::vector<std::string> names;
        std::set<std::string> seen;  // SQLite column names ignore case
        for (const std::string& f : fields) {
            if (!seen.insert(Lower(f)).second) continue;
            cols += (cols.empty() ? "" : ", ") + QuoteIdent(f) +
                    (f.find("Date") != std::string::npos ? " DATETIME" : " TEXT");
            names.push_back(f);
        }
        if (cols.empty()) cols = "ID INTEGER";
        sql += "CREATE TABLE " + QuoteIdent(table) + " (" + cols + ");";
        // Made-up rows: every third row repeats a value, so groups gather several records.
        for (int row = 1; row <= fillerRows && !names.empty(); ++row) {
            std::string list;
            for (const std::string& f : names) {
                const std::string v =
                    f.find("Date") != std::string::npos
                        ? "2024-0" + std::to_string(1 + row % 9) + "-1" + std::to_string(row % 10)
                        : f + " " + std::to_string(1 + row % 3);
                list += (list.empty() ? "" : ", ") + Quoted(v, '\'');
            }
            sql += "INSERT INTO " + QuoteIdent(table) + " VALUES (" + list + ");";
        }
        // A table at a time: the text of every table's rows at once took hundreds of MB.
        if (!RunSql(front, sql)) return false;
        sql.clear();
    }
    return sql.empty() || RunSql(front, sql);
}

// The export's copy beside the stand-in, under the report name given.
void WriteExport(const std::string& front, const Export& e, const std::string& name) {
    const fs::path target = fs::path(front + ".src") / "reports" / (name + e.extension);
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << WithRecordSource(ReadFile(e.file), e.table);
}

}  // namespace

std::map<std::string, std::string> BuildFrontEnds(std::vector<Export>& exports, const fs::path& work,
                                                  int fillerRows) {
    // One front end per repository.
    std::map<std::string, std::string> frontOf;
    for (const auto& [group, groupTables] : GatherTables(exports)) {
        const fs::path dir = work / SafeIdent(group);
        fs::create_directories(dir);
        const std::string front = (dir / "front.mdb").string();
        if (!WriteFrontEnd(front, groupTables, fillerRows)) return {};
        frontOf[group] = front;
    }
    for (const Export& e : exports)
        if (e.read) WriteExport(frontOf[e.group], e, e.name);
    return frontOf;
}

std::vector<Export> BuildSharedFrontEnd(std::vector<Export>& exports, const std::string& front, int copies) {
    // The tables of every repository in one file; a table named alike in two of them (names
    // compared as SQLite compares them, without regard to case) has the fields of both.
    std::map<std::string, std::set<std::string>> tables;
    std::map<std::string, std::string> spelling;  // lower-case name -> the first spelling met
    for (const auto& [group, groupTables] : GatherTables(exports))
        for (const auto& [table, fields] : groupTables) {
            const std::string& name = spelling.emplace(Lower(table), table).first->second;
            tables[name].insert(fields.begin(), fields.end());
        }
    for (Export& e : exports)
        if (e.read) e.table = spelling.at(Lower(e.table));
    fs::create_directories(fs::path(front).parent_path());
    if (!WriteFrontEnd(front, tables, 0)) return {};
    std::vector<Export> held;
    std::set<std::string> taken;  // report names, without regard to case
    for (int copy = 1; copy <= copies; ++copy)
        for (const Export& e : exports) {
            if (!e.read) continue;
            Export c = e;
            if (copy > 1) c.name += " " + std::to_string(copy);
            for (int n = 2; !taken.insert(Lower(c.name)).second; ++n)
                c.name = e.name + " (" + e.group + (n > 2 ? " " + std::to_string(n) : "") + ")" +
                         (copy > 1 ? " " + std::to_string(copy) : "");
            WriteExport(front, c, c.name);
            held.push_back(c);
        }
    return held;
}

std::string ProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path().string() : exe.parent_path().string();
}

bool PrepareStore(const fs::path& work, const fs::path& source, const std::string& programFolder,
                  ui::Prompt& prompt, tolvaran::AppContext& ctx) {
    const std::string lists = (work / "TOLVARAN.ADL").string();
    const std::string settings = (work / "TOLVARAN.DAT").string();
    if (!RunSql(lists, ReadFile(source / "resources/store/lists.sql")) ||
        !RunSql(settings, ReadFile(source / "resources/store/settings.sql")))
        return false;
    ctx.programFolder = programFolder;
    ctx.gDb = ado::OpenConnection(ado::JetFileText(lists).Text());
    ctx.gInternalDb = ado::OpenConnection(ado::JetFileText(settings).Text());
    ctx.prompt = &prompt;
    return true;
}

bool ConvertExport(tolvaran::AppContext& ctx, ui::Prompt& prompt, const Export& e,
                   const std::string& frontEnd, const fs::path& out,
                   std::shared_ptr<tolvaran::clsReport> report,
                   const std::function<void(tolvaran::clsConvert&)>& inspect) {
    fs::create_directories(out);
    tolvaran::clsManageLinks links(prompt);
    auto link = std::make_shared<tolvaran::clsLink>();
    link->LinkType = tolvaran::kLinkInternal;
    link->LinkDatabase = frontEnd;
    link->Name = "Internal";
    links.Add(link);
    tolvaran::clsWriteToText text(&prompt);
    text.FilePath = out.string();
    text.Filename = tolvaran::MakeSafeName(e.name) + "_ErrorLog";
    text.Extension = ".txt";
    text.Create_File();
    ui::RecordingWindow window;
    bool completed = false;
    try {
        tolvaran::clsConvert job(ctx);
        job.MultipleReportsSelected = true;  // no question is put to anyone
        job.setOReport(std::move(report));
        job.SuppressSectionsWithNoControls = true;
        job.oLinks = &links;
        job.Database = frontEnd;
        job.ReportName = e.name;
        job.Reportpath = out.string();
        job.AskShowPageHeaderFooterForSubReportsQuestion = true;
        job.Form = &window;
        job.oText = &text;
        job.ProgressMeter = &window;
        job.setDb(ctx.gDb);
        job.Internaldb = ctx.gInternalDb;
        completed = job.Convert(window, false);
        if (inspect) inspect(job);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "%s: %s\n", e.name.c_str(), ex.what());
    }
    text.close_file();
    return completed;
}

}  // namespace corpus_standin
