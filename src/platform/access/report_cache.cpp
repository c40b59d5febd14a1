#include "platform/access/report_cache.h"

namespace tolvaran::access {

ReportPtr ReportCache::Read(const std::string& file, const ReadOptions& options) {
    namespace fs = std::filesystem;
    std::error_code sizeError, timeError;
    const std::uintmax_t size = fs::file_size(file, sizeError);
    const fs::file_time_type modified = fs::last_write_time(file, timeError);
    const bool known = !sizeError && !timeError;
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

}  // namespace tolvaran::access
