#include "platform/access/report_cache.h"

#include <sys/stat.h>

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

ReportCache::Listing ReportCache::Exports(const std::filesystem::path& folder,
                                          const std::function<Listing()>& list) {
    FileStamp stamp;
    if (!Stamp(folder.string(), stamp)) return list();  // a folder that cannot be read is listed each time
    auto it = folders_.find(folder.string());
    if (it != folders_.end() && it->second.stamp == stamp) return it->second.listing;
    Folder& f = folders_[folder.string()];
    f.stamp = stamp;
    f.listing = list();
    return f.listing;
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
