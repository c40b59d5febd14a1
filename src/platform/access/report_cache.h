#pragma once
// Report exports read once and handed out again. One conversion opens its report several
// times (Access is closed and opened again between its steps), and reading the export is
// most of what opening costs. An entry is used again while the file keeps its size and
// modification time; a changed file is read anew. The engine version of the database file
// opened each time is kept the same way.
//
// The reports handed out are shared, not copied: a change made to one (the converter gives a
// custom control a placeholder file name) is seen by the next open through the same cache.
// Give each conversion a cache of its own, so that nothing outlives it.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/access/export_reader.h"

namespace tolvaran::access {

class ReportCache {
  public:
    // The report of the export file, read with options unless read before with the same
    // sidecar while the file stayed the same. Throws as ReadReportFile does.
    ReportPtr Read(const std::string& file, const ReadOptions& options);
    // Exports read so far (each counted once per reading).
    long Reads() const { return reads_; }

    // (report name, export file) pairs of an export folder, made by list unless made before
    // while the folder stayed unchanged (same size and modification time). Listings hold only
    // names and are kept for the whole run, shared by every cache: the jobs of a batch all look
    // in one folder, and each listing it anew made a batch's time grow with the square of its
    // reports.
    using Listing = std::vector<std::pair<std::string, std::string>>;
    static std::shared_ptr<const Listing> Exports(const std::filesystem::path& folder,
                                                  const std::function<Listing()>& list);

    // The engine version of a database file ("3.51", "4.0"), worked out by find unless worked
    // out before while the file stayed the same.
    std::string DatabaseVersion(const std::string& file, const std::function<std::string()>& find);

  private:
    // Size and modification time (to the nanosecond) of a file, read by one stat call.
    struct FileStamp {
        long long size = -1, seconds = 0, nanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    // False when they cannot be read.
    static bool Stamp(const std::string& file, FileStamp& stamp);
    struct Entry {
        FileStamp stamp;
        std::string sidecar;
        ReportPtr report;
    };
    std::unordered_map<std::string, Entry> entries_;
    long reads_ = 0;
    struct Version {
        FileStamp stamp;
        std::string version;
    };
    std::unordered_map<std::string, Version> versions_;
};

using ReportCachePtr = std::shared_ptr<ReportCache>;

}  // namespace tolvaran::access
