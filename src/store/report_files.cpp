#include "store/report_files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>

#include "store/support.h"

namespace tolvaran {

std::vector<std::string> ReportFileStems(const std::vector<std::string>& names) {
    // The names of each safe name, once each.
    std::map<std::string, std::set<std::string>> bySafe;
    for (const std::string& name : names) bySafe[MakeSafeName(name)].insert(name);
    std::set<std::string> taken;
    for (const auto& entry : bySafe) taken.insert(entry.first);

    std::map<std::string, std::string> stemOf;
    for (const auto& entry : bySafe) {
        const std::string& safe = entry.first;
        std::vector<std::string> order(entry.second.begin(), entry.second.end());  // byte order
        // The name that is its own safe name keeps it: its file is the one a user expects.
        std::stable_partition(order.begin(), order.end(), [&](const std::string& n) { return n == safe; });
        stemOf[order.front()] = safe;
        unsigned next = 2;
        for (std::size_t i = 1; i < order.size(); ++i) {
            std::string stem;
            do stem = safe + "_" + std::to_string(next++);
            while (taken.count(stem) != 0);
            taken.insert(stem);
            stemOf[order[i]] = stem;
        }
    }
    std::vector<std::string> stems;
    stems.reserve(names.size());
    for (const std::string& name : names) stems.push_back(stemOf[name]);
    return stems;
}

std::string TextLogStem(const std::string& stem) {
    constexpr std::size_t kNameMax = 255;  // bytes of one file name on the usual file systems
    const std::string tail = "_ErrorLog";
    const std::size_t extension = std::string_view(".txt").size();
    if (stem.size() + tail.size() + extension <= kNameMax) return stem + tail;
    std::uint32_t digest = 2166136261u;  // FNV-1a
    for (unsigned char c : stem) digest = (digest ^ c) * 16777619u;
    char mark[10];
    std::snprintf(mark, sizeof mark, "~%08x", static_cast<unsigned>(digest));
    std::size_t keep = kNameMax - tail.size() - extension - (sizeof mark - 1);
    // Not inside a UTF-8 sequence: back up over continuation bytes.
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) --keep;
    return stem.substr(0, keep) + mark + tail;
}

std::vector<ReportFile> ReportFilesOfEntry(const ado::ConnectionPtr& db, long databaseListId) {
    std::vector<ReportFile> files;
    ado::Recordset rs;
    rs.Open("SELECT ReportId, ReportName FROM Report WHERE DatabaseListId = ? ORDER BY ReportId", db,
            ado::adOpenForwardOnly, ado::adLockReadOnly, {vb::Variant(databaseListId)});
    for (; !rs.Eof(); rs.MoveNext())
        files.push_back(
            {static_cast<long>(rs["ReportId"].ToLong()), vb::NZ(rs["ReportName"], "").ToString(), {}});
    rs.Close();
    std::vector<std::string> names;
    names.reserve(files.size());
    for (const ReportFile& file : files) names.push_back(file.reportName);
    const std::vector<std::string> stems = ReportFileStems(names);
    for (std::size_t i = 0; i < files.size(); ++i) files[i].stem = stems[i];
    return files;
}

std::string ReportFileStemIn(const std::vector<ReportFile>& files, const std::string& reportName) {
    for (const ReportFile& file : files)
        if (file.reportName == reportName) return file.stem;
    std::vector<std::string> names;
    names.reserve(files.size() + 1);
    for (const ReportFile& file : files) names.push_back(file.reportName);
    names.push_back(reportName);
    return ReportFileStems(names).back();
}

std::string ReportFileStem(const ado::ConnectionPtr& db, long databaseListId, const std::string& reportName) {
    if (databaseListId == 0) return MakeSafeName(reportName);
    return ReportFileStemIn(ReportFilesOfEntry(db, databaseListId), reportName);
}

}  // namespace tolvaran
