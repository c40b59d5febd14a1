#include "store/last_folder.h"

namespace tolvaran {
namespace {

constexpr const char* kColumn = "LastFolder";
constexpr const char* kOptionsRow = "SELECT * FROM Options WHERE SystemConfigId = 1";

}  // namespace

std::string LastFolder(const ado::ConnectionPtr& settings) {
    ado::Recordset rs;
    rs.Open(kOptionsRow, settings, ado::adOpenForwardOnly, ado::adLockReadOnly);
    std::string folder;
    if (!rs.Eof() && rs.HasField(kColumn)) folder = vb::NZ(rs[kColumn], "").ToString();
    rs.Close();
    return folder;
}

void SetLastFolder(const ado::ConnectionPtr& settings, const std::string& folder) {
    ado::Recordset rs;
    rs.Open(kOptionsRow, settings, ado::adOpenDynamic, ado::adLockOptimistic);
    if (!rs.Eof() && rs.HasField(kColumn)) {
        rs.set(kColumn, folder);
        rs.Update();
    }
    rs.Close();
}

}  // namespace tolvaran
