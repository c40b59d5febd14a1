// Writes conversion-log rows (step lines and problem blocks) through a job into a new lists
// file built from the shipped schema and prints rows per second; then, for comparison, the
// same inserts on a connection that flushes every commit. Each row is committed before the
// next in both runs.
//   bench_conversion_log [rows] [source-dir]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "convert/convert.h"
#include "platform/ado/connection_text.h"
#include "store/context.h"
#include "store/record_classes.h"
#include "store/text_log.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool MakeLists(const std::string& file, const std::string& schema) {
    fs::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) return false;
    const std::string sql = "BEGIN;" + schema + "COMMIT;";
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK;
}

// Seconds for rows written through a job's log writers.
double RunJob(const std::string& lists, long rows, const fs::path& folder) {
    tolvaran::AppContext ctx;
    ctx.programFolder = folder.string();
    ctx.gDb = ado::OpenConnection(ado::JetFileText(lists).Text());
    tolvaran::clsWriteToText text;
    text.FilePath = folder.string();
    text.Filename = "Bench_ErrorLog";
    text.Extension = ".txt";
    text.Create_File();

    tolvaran::clsConvert job(ctx);
    auto report = std::make_shared<tolvaran::clsReport>();
    report->ReportId = 1;
    report->DatabaseListId = 1;
    job.setOReport(report);
    job.setDb(ctx.gDb);
    job.oText = &text;
    job.ReportName = "Bench";

    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < rows; ++i) {
        if (i % 10 == 9)
            job.WriteErrorLog("Cannot deal with Control Type=104", "AddDetails", tolvaran::LogLevel::Problem);
        else
            job.LogStepError("step " + std::to_string(i), "Convert");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    text.close_file();
    return seconds;
}

// Seconds for the same inserts, one commit each, flushed each time.
double RunFlushed(const std::string& lists, long rows) {
    auto db = ado::OpenConnection(ado::JetFileText(lists).Text());
    db->Execute("PRAGMA journal_mode=DELETE");
    db->Execute("PRAGMA synchronous=FULL");
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < rows; ++i) {
        db->Execute(
            "INSERT INTO ErrorLog (ReportName, ErrorSeverityLevel, ReportId, DatabaseListId, "
            "ErrorOccuredInFunction, ErrorDesc, ErrorOn) VALUES (?, ?, ?, ?, ?, ?, ?)",
            {"Bench", 5L, 1L, 1L, "Convert", "step " + std::to_string(i), vb::Date::Now()});
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    long rows = argc > 1 ? std::atol(argv[1]) : 2000;
    const fs::path source = argc > 2 ? fs::path(argv[2]) : fs::path(__FILE__).parent_path().parent_path();
    const std::string schema = ReadFile(source / "resources/store/lists.sql");
    if (schema.empty()) {
        std::fprintf(stderr, "cannot read %s\n", (source / "resources/store/lists.sql").c_str());
        return 1;
    }
    const fs::path folder = fs::temp_directory_path() / ("tolvaran_bench_log_" + std::to_string(::getpid()));
    fs::create_directories(folder);

    const std::string walFile = (folder / "wal.ADL").string();
    const std::string flushFile = (folder / "flush.ADL").string();
    if (!MakeLists(walFile, schema) || !MakeLists(flushFile, schema)) {
        std::fprintf(stderr, "cannot build the lists files\n");
        return 1;
    }
    const double wal = RunJob(walFile, rows, folder);
    std::printf("job log writers:     %ld rows in %.3f s, %.0f rows/s\n", rows, wal, rows / wal);
    const double flush = RunFlushed(flushFile, std::min(rows, 500L));
    rows = std::min(rows, 500L);
    std::printf("flush per commit:    %ld rows in %.3f s, %.0f rows/s\n", rows, flush, rows / flush);
    fs::remove_all(folder);
    return 0;
}
