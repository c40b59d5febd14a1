#include "platform/access/report_cache.h"

#include <sys/stat.h>
#include <time.h>

#include <mutex>

namespace tolvaran::access {

bool ReportCache::Stamp(const std::string& file, FileStamp& stamp) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return false;
    stamp = FileStamp{static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
                      static_cast<long long>(st.st_mtim.tv_nsec)};
    return true;
}

ReportPtr ReportCache::Read(const std::string& file, const ReadOptions& options) {
    FileStamp stamp;
    const bool known = Stamp(file, stamp);
    if (known) {
        auto it = entries_.find(file);
        if (it != entries_.end() && it->second.stamp == stamp && it->second.sidecar == options.sidecar)
            return it->second.report;
    }
    ReportPtr report = ReadReportFile(file, options);
    ++reads_;
    if (known) entries_[file] = Entry{stamp, options.sidecar, report};
    return report;
}

std::shared_ptr<const ReportCache::Listing> ReportCache::Exports(const std::filesystem::path& folder,
                                                                 const std::function<Listing()>& list) {
    struct Folder {
        FileStamp stamp;
        std::shared_ptr<const Listing> listing;
    };
    static std::mutex mutex;
    static std::unordered_map<std::string, Folder> folders;

    FileStamp stamp;
    // A folder that cannot be read is listed each time.
    if (!Stamp(folder.string(), stamp)) return std::make_shared<const Listing>(list());
    {
        const std::lock_guard<std::mutex> lock(mutex);
        auto it = folders.find(folder.string());
        if (it != folders.end() && it->second.stamp == stamp) return it->second.listing;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    auto listing = std::make_shared<const Listing>(list());
    // The file system stamps a folder from a coarse clock: a file added in the same tick as
    // the change before it leaves the stamp as it was. A listing made within 50 ms of the
    // folder's last change is therefore not kept; a later one is, since any later change
    // gets a later stamp.
    const long long sinceChangeMs = (static_cast<long long>(now.tv_sec) - stamp.seconds) * 1000 +
                                    (now.tv_nsec - stamp.nanoseconds) / 1000000;
    if (sinceChangeMs < 50) return listing;
    const std::lock_guard<std::mutex> lock(mutex);
    folders[folder.string()] = Folder{stamp, listing};
    return listing;
}

std::string ReportCache::DatabaseVersion(const std::string& file, const std::function<std::string()>& find) {
    FileStamp stamp;
    if (!Stamp(file, stamp)) return find();
    auto it = versions_.find(file);
    if (it != versions_.end() && it->second.stamp == stamp) return it->second.version;
    Version& v = versions_[file];
    v = Version{stamp, find()};
    return v.version;
}

}  // namespace tolvaran::access
