#pragma once
// clsRegistry: reads (and can write) values under one registry root of the registry file.
// Key paths are built from an application name and a section; callers put whole paths such as
// "SOFTWARE" and "Crystal Decisions\10.0\Crystal Reports" in them. No operation reports
// errors: a value that cannot be read is missing.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ado/driver.h"
#include "platform/common/variant.h"
#include "platform/registry/registry_file.h"

namespace tolvaran {

class clsRegistry {
  public:
    static constexpr long HKEY_CLASSES_ROOT = static_cast<long>(0x80000000);
    static constexpr long HKEY_CURRENT_USER = static_cast<long>(0x80000001);
    static constexpr long HKEY_LOCAL_MACHINE = static_cast<long>(0x80000002);
    static constexpr long HKEY_USERS = static_cast<long>(0x80000003);
    static constexpr long ERROR_SUCCESS = 0;
    static constexpr long ERROR_FILE_NOT_FOUND = 2;
    static constexpr long ERROR_INVALID_HANDLE = 6;
    static constexpr long KEY_ACCESS = 63;  // query, set, create subkey, enumerate, notify, link

    // file is not owned and must outlive this object.
    explicit clsRegistry(registry::RegistryFile& file) : file_(file) {}

    long RootKey = HKEY_LOCAL_MACHINE;
    std::string KeyPrefix;

    // The value, or def when it is missing or empty; without def the text "Error 448".
    vb::Variant GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                           const std::optional<vb::Variant>& def = std::nullopt);
    // type 0: REG_DWORD for a numeric setting, else REG_SZ.
    void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                     const vb::Variant& setting, long type = 0);
    // key empty: deletes the subkey section of appName's key.
    void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key);
    // Empty when the key or value is missing or of another type.
    vb::Variant QueryValue(const std::string& keyPath, const std::string& valueName);
    std::vector<std::pair<std::string, vb::Variant>> GetAllSettings(const std::string& appName,
                                                                    const std::string& section);
    std::vector<std::string> GetAllKeys(const std::string& appName, const std::string& section);
    void SetKeyValue(const std::string& keyPath, const std::string& valueName, const vb::Variant& value,
                     long type);
    void CreateKey(const std::string& keyPath);
    // Handles come from the root or an opened key; result codes as Windows gives them.
    long SetValueEx(long handle, const std::string& valueName, long type, const vb::Variant& value);
    // REG_SZ, REG_BINARY and REG_DWORD are read into value; another type gives -1 and leaves
    // value untouched; a missing value gives 0 and leaves it untouched.
    long QueryValueEx(long handle, const std::string& valueName, vb::Variant& value);

  private:
    long OpenKey(const std::string& appName, const std::string& section);
    std::string BuildKeyPath(const std::string& appName, const std::string& section) const;
    long openPath(const std::string& keyPath, bool create);
    void closeKey(long handle);
    std::string fullPath(const std::string& keyPath) const;
    std::optional<std::string> keyOf(long handle) const;

    registry::RegistryFile& file_;
    std::map<long, std::string> handles_;  // open keys by handle, full paths
    long nextHandle_ = 1;
};

// Points a run's SQL Server connections at the ODBC template kept in its registry
// (HKEY_LOCAL_MACHINE\SOFTWARE\Tolvaran\SQLServer, value OdbcTemplate): options (the run's
// AppContext::connections) take it; the template they hold stays when the value is missing.
// Called once at start-up.
void ApplySqlServerOdbcTemplate(registry::RegistryFile& file, ado::ConnectionOptions& options);

// The largest report file the viewer window and the designer program open, in megabytes: the
// registry value HKEY_LOCAL_MACHINE\SOFTWARE\Tolvaran\Reports MaxFileMB (a number from 1 on),
// else designer::kDefaultMaxReportFileMb.
long MaxReportFileMb(registry::RegistryFile& file);

}  // namespace tolvaran
