#include "platform/access/report_cache.h"

namespace tolvaran::access {

bool ReportCache::Stamp(const std::string& file, std::uintmax_t& size,
                        std::filesystem::file_time_type& modified) {
    std::error_code sizeError, timeError;
    size = std::filesystem::file_size(file, sizeError);
    modified = std::filesystem::last_write_time(file, timeError);
    return !sizeError && !timeError;
}

ReportPtr ReportCache::Read(const std::string& file, const ReadOptions& options) {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    const bool known = Stamp(file, size, modified);
    if (known) {
        auto it = entries_.find(file);
        if (it != entries_.end() && it->second.size == size && it->second.modified == modified &&
            it->second.sidecar == options.sidecar)
            return it->second.report;
    }
    ReportPtr report = ReadReportFile(file, options);
    ++reads_;
    if (known) entries_[file] = Entry{size, modified, options.sidecar, report};
    return report;
}

ReportCache::Listing ReportCache::Exports(const std::filesystem::path& folder,
                                          const std::function<Listing()>& list) {
    std::error_code ec;
    const auto modified = std::filesystem::last_write_time(folder, ec);
    if (ec) return list();  // a folder whose time cannot be read is listed each time
    auto it = folders_.find(folder.string());
    if (it != folders_.end() && it->second.modified == modified) return it->second.listing;
    Folder& f = folders_[folder.string()];
    f.modified = modified;
    f.listing = list();
    return f.listing;
}

std::string ReportCache::DatabaseVersion(const std::string& file, const std::function<std::string()>& find) {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    if (!Stamp(file, size, modified)) return find();
    auto it = versions_.find(file);
    if (it != versions_.end() && it->second.size == size && it->second.modified == modified)
        return it->second.version;
    Version& v = versions_[file];
    v = Version{size, modified, find()};
    return v.version;
}

}  // namespace tolvaran::access
