#include "support/corpus_rows.h"

#include <sqlite3.h>

#include <cstdio>
#include <utility>

#include "support/corpus_conversion.h"

namespace bench {

bool FillTables(const std::string& file, const std::vector<std::string>& tables, int rows) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return false;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    bool ok = true;
    for (const std::string& table : tables) {
        std::vector<std::pair<std::string, std::string>> columns;  // name, declared type
        sqlite3_stmt* info = nullptr;
        std::string pragma = "PRAGMA table_info(" + QuoteIdent(table) + ")";
        if (sqlite3_prepare_v2(db, pragma.c_str(), -1, &info, nullptr) != SQLITE_OK) continue;
        while (sqlite3_step(info) == SQLITE_ROW) {
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(info, 1));
            const char* type = reinterpret_cast<const char*>(sqlite3_column_text(info, 2));
            columns.push_back({name ? name : "", type ? type : ""});
        }
        sqlite3_finalize(info);
        if (columns.empty()) continue;
        std::string sql = "INSERT INTO " + QuoteIdent(table) + " VALUES (";
        for (size_t i = 0; i < columns.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK) {
            ok = false;
            continue;
        }
        for (int r = 0; r < rows; ++r) {
            for (size_t c = 0; c < columns.size(); ++c) {
                const std::string& type = columns[c].second;
                int col = static_cast<int>(c) + 1;
                if (type == "DATETIME") {
                    char date[32];
                    int day = r * 9;
                    std::snprintf(date, sizeof date, "2024-%02d-%02d 00:00:00", 1 + day / 28 % 12,
                                  1 + day % 28);
                    sqlite3_bind_text(insert, col, date, -1, SQLITE_TRANSIENT);
                } else if (type == "INTEGER") {
                    sqlite3_bind_int(insert, col, r + 1);
                } else {
                    std::string text = columns[c].first + " " + std::to_string(1 + r % 4);
                    sqlite3_bind_text(insert, col, text.c_str(), -1, SQLITE_TRANSIENT);
                }
            }
            if (sqlite3_step(insert) != SQLITE_DONE) ok = false;
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

}  // namespace bench
