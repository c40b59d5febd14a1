#include "convert/fixtures.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/ado/sqlite_driver.h"

namespace convert_test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device rd;
    path_ = fs::temp_directory_path() / ("tolvaran_convert_" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void RunSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + file);
    char* err = nullptr;
    // One transaction: a flush per statement makes fixtures slow.
    const std::string all = "BEGIN;\n" + sql + "\nCOMMIT;";
    const int rc = sqlite3_exec(db, all.c_str(), nullptr, nullptr, &err);
    const std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("fixture SQL failed on " + file + ": " + msg);
}

namespace {

std::string ReadFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// A text as an export writes it: between double quotes, with quotes escaped.
std::string Quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\r') {
            out += "\\015";
        } else if (c == '\n') {
            out += "\\012";
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

FrontEnd::FrontEnd(std::string path) : path_(std::move(path)) {
    const std::string ext = fs::path(path_).extension().string();
    if (ext == ".adp" || ext == ".ade") {
        WriteFile(path_, "data project");
        return;
    }
    if (ado::AccessFileVersion(path_) != 0) return;  // a real Access file copied here
    Sql("CREATE TABLE IF NOT EXISTS MSysObjects (Name TEXT, Type INTEGER, Flags INTEGER, Database TEXT, "
        "ForeignName TEXT, Connect TEXT);");
}

void FrontEnd::LinkAccessTable(const std::string& name, const std::string& database,
                               const std::string& foreignName) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO MSysObjects VALUES (?, 6, 0, ?, ?, '')", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, database.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, foreignName.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

void FrontEnd::LinkOdbcTable(const std::string& name, const std::string& connect,
                             const std::string& foreignName) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO MSysObjects VALUES (?, 4, 0, '', ?, ?)", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, foreignName.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, connect.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(st);
    sqlite3_finalize(st);
    sqlite3_close(db);
}

std::string DetailWithField(const std::string& field) {
    return "        Begin Section\n"
           "            Name =\"Detail\"\n"
           "            Height =400\n"
           "            Begin\n"
           "                Begin TextBox\n"
           "                    Name =" +
           Quoted(field) +
           "\n"
           "                    ControlSource =" +
           Quoted(field) +
           "\n"
           "                    Left =100\n"
           "                    Top =50\n"
           "                    Width =1500\n"
           "                    Height =300\n"
           "                End\n"
           "            End\n"
           "        End\n";
}

void FrontEnd::AddReport(const std::string& name, const std::string& recordSource,
                         const std::string& sections, const std::string& reportProps) const {
    std::string text = "Version =20\nVersionRequired =20\nBegin Report\n";
    if (!recordSource.empty()) text += "    RecordSource =" + Quoted(recordSource) + "\n";
    text += reportProps;
    text += "    Begin\n" + (sections.empty() ? DetailWithField("ID") : sections) + "    End\nEnd\n";
    WriteFile(fs::path(path_ + ".src") / "reports" / (name + ".bas"), text);
}

void FrontEnd::SetConnection(const std::string& text) const {
    WriteFile(fs::path(path_ + ".src") / "connection.txt", text);
}

Store::Store(const TempFolder& folder) {
    listsFile = folder.File("TOLVARAN.ADL");
    settingsFile = folder.File("TOLVARAN.DAT");
    RunSql(listsFile, ReadFile(TOLVARAN_SOURCE_DIR "/resources/store/lists.sql"));
    RunSql(settingsFile, ReadFile(TOLVARAN_SOURCE_DIR "/resources/store/settings.sql"));
    ctx.programFolder = folder.path().string();
    ctx.gDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + listsFile);
    ctx.gInternalDb = ado::OpenConnection("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + settingsFile);
    ctx.prompt = &prompt;
}

std::vector<LogRow> ReadErrorLog(const ado::ConnectionPtr& db) {
    std::vector<LogRow> rows;
    ado::Recordset rs;
    rs.Open("SELECT * FROM ErrorLog ORDER BY ErrorLogId", db);
    auto text = [&](const char* name) { return vb::NZ(rs[name], "").ToString(); };
    for (; !rs.Eof(); rs.MoveNext()) {
        LogRow r;
        r.ReportName = text("ReportName");
        r.SubReportOf = rs["SubReportOf"];
        r.ErrorSeverityLevel = rs["ErrorSeverityLevel"];
        r.ReportId = vb::NZ(rs["ReportId"], 0).ToLong();
        r.DatabaseListId = vb::NZ(rs["DatabaseListId"], 0).ToLong();
        r.ErrorOccuredInFunction = text("ErrorOccuredInFunction");
        r.ErrorDesc = text("ErrorDesc");
        r.FormulaName = text("FormulaName");
        r.AccessFormula = text("AccessFormula");
        r.CrystalFormula = text("CrystalFormula");
        r.ErrorOn = rs["ErrorOn"];
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<std::string> Descriptions(const std::vector<LogRow>& rows, const std::string& function) {
    std::vector<std::string> out;
    for (const LogRow& r : rows)
        if (r.ErrorOccuredInFunction == function) out.push_back(r.ErrorDesc);
    return out;
}

std::vector<std::string> ReadLines(const std::string& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

namespace {

const fs::path& OdbcFolder() {
    static const fs::path folder = [] {
        const fs::path f =
            fs::temp_directory_path() / ("tolvaran-convert-odbc-" + std::to_string(::getpid()));
        fs::create_directories(f);
        const std::string lib = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
        WriteFile(f / "odbcinst.ini", "[SQLite3]\nDescription=SQLite ODBC\nDriver=" + lib + "\nSetup=" + lib +
                                          "\nUsageCount=1\n");
        WriteFile(f / "odbc.ini",
                  "[TolvaranConvert]\nDriver=SQLite3\nDatabase=" + (f / "orders.db").string() + "\n");
        ::setenv("ODBCSYSINI", f.string().c_str(), 1);
        ::setenv("ODBCINI", (f / "odbc.ini").string().c_str(), 1);
        return f;
    }();
    return folder;
}

}  // namespace

void UsePrivateOdbc() {
    (void)OdbcFolder();
}
std::string OdbcDb() {
    return (OdbcFolder() / "orders.db").string();
}

}  // namespace convert_test
