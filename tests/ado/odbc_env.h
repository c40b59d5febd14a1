#pragma once
// Private ODBC configuration for tests: an odbcinst.ini naming the SQLite ODBC driver
// "SQLite3" and an odbc.ini with two DSNs, in a folder of the test process, chosen through
// ODBCSYSINI/ODBCINI before the first ODBC call. No system file is touched.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace testodbc {

inline constexpr const char* kDriverLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

// The folder of this process's ini files and DSN databases.
inline const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / ("tolvaran-odbc-" + std::to_string(::getpid()));
        std::filesystem::create_directories(f);
        {
            std::ofstream inst(f / "odbcinst.ini");
            inst << "[SQLite3]\nDescription=SQLite ODBC\nDriver=" << kDriverLibrary
                 << "\nSetup=" << kDriverLibrary << "\nUsageCount=1\n";
        }
        {
            std::ofstream ini(f / "odbc.ini");
            ini << "[TolvaranSales]\nDriver=SQLite3\nDatabase=" << (f / "sales.db").string() << "\n\n"
                << "[TolvaranStock]\nDriver=SQLite3\nDatabase=" << (f / "stock.db").string() << "\n";
        }
        ::setenv("ODBCSYSINI", f.string().c_str(), 1);
        ::setenv("ODBCINI", (f / "odbc.ini").string().c_str(), 1);
        return f;
    }();
    return folder;
}

// Makes the ini files current; call before the first ODBC use of a test.
inline void UsePrivateIni() {
    (void)Folder();
}

inline std::string SalesDb() {
    return (Folder() / "sales.db").string();
}
inline std::string StockDb() {
    return (Folder() / "stock.db").string();
}

// Creates (replacing) a SQLite file and runs sql in it.
inline void MakeSqlite(const std::string& file, const std::string& sql) {
    std::filesystem::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create " + file);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("fixture SQL failed: " + msg);
}

}  // namespace testodbc
