#include "store/cls_registry.h"

#include "platform/ado/driver.h"
#include "platform/designer/report_file.h"

namespace tolvaran {

namespace {

const char* RootName(long root) {
    switch (root) {
        case clsRegistry::HKEY_CLASSES_ROOT:
            return "HKEY_CLASSES_ROOT";
        case clsRegistry::HKEY_CURRENT_USER:
            return "HKEY_CURRENT_USER";
        case clsRegistry::HKEY_USERS:
            return "HKEY_USERS";
        default:
            return "HKEY_LOCAL_MACHINE";
    }
}

vb::Variant ToVariant(const registry::Value& v) {
    switch (v.type) {
        case registry::REG_SZ:
            return vb::Variant(v.text);
        case registry::REG_DWORD:
            return vb::Variant(static_cast<long long>(v.dword));
        case registry::REG_BINARY:
            return vb::Variant(v.bytes);
        default:
            return {};
    }
}

bool IsEmptyText(const vb::Variant& v) {
    if (v.IsEmpty() || v.IsNull()) return true;
    if (v.IsText()) return v.AsString()->empty();
    if (v.Type() == vb::VarType::Bytes) return v.ToBytes().empty();
    return false;
}

}  // namespace

std::string clsRegistry::BuildKeyPath(const std::string& appName, const std::string& section) const {
    if (section.empty()) return KeyPrefix + appName;
    return KeyPrefix + appName + "\\" + section;
}

std::string clsRegistry::fullPath(const std::string& keyPath) const {
    std::string root = RootName(RootKey);
    return keyPath.empty() ? root : root + "\\" + keyPath;
}

long clsRegistry::openPath(const std::string& keyPath, bool create) {
    const std::string full = fullPath(keyPath);
    if (keyPath.empty()) return RootKey;
    if (!file_.KeyExists(full)) {
        if (!create) return 0;
        file_.CreateKey(full);
    }
    const long h = nextHandle_++;
    handles_[h] = full;
    return h;
}

void clsRegistry::closeKey(long handle) {
    handles_.erase(handle);
}

std::optional<std::string> clsRegistry::keyOf(long handle) const {
    if (handle == RootKey) return std::string(RootName(RootKey));
    auto it = handles_.find(handle);
    if (it == handles_.end()) return std::nullopt;
    return it->second;
}

long clsRegistry::OpenKey(const std::string& appName, const std::string& section) {
    return openPath(BuildKeyPath(appName, section), false);
}

vb::Variant clsRegistry::GetSetting(const std::string& appName, const std::string& section,
                                    const std::string& key, const std::optional<vb::Variant>& def) {
    vb::Variant value = QueryValue(BuildKeyPath(appName, section), key);
    if (!IsEmptyText(value)) return value;
    return def ? *def : vb::Variant("Error 448");
}

void clsRegistry::SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                              const vb::Variant& setting, long type) {
    if (type == 0) type = setting.IsNumeric() && !setting.IsEmpty() ? registry::REG_DWORD : registry::REG_SZ;
    SetKeyValue(BuildKeyPath(appName, section), key, setting, type);
}

void clsRegistry::DeleteSetting(const std::string& appName, const std::string& section,
                                const std::string& key) {
    try {
        if (key.empty())
            file_.DeleteKey(fullPath(BuildKeyPath(appName, {}) + "\\" + section));
        else
            file_.DeleteValue(fullPath(BuildKeyPath(appName, section)), key);
    } catch (const std::exception&) {
    }
}

vb::Variant clsRegistry::QueryValue(const std::string& keyPath, const std::string& valueName) {
    vb::Variant value;
    const long h = openPath(keyPath, false);
    if (h == 0) return value;
    QueryValueEx(h, valueName, value);
    closeKey(h);
    return value;
}

long clsRegistry::QueryValueEx(long handle, const std::string& valueName, vb::Variant& value) {
    const auto key = keyOf(handle);
    if (!key) return 0;
    const auto v = file_.Get(*key, valueName);
    if (!v) return 0;
    if (v->type != registry::REG_SZ && v->type != registry::REG_BINARY && v->type != registry::REG_DWORD)
        return -1;
    value = ToVariant(*v);
    return ERROR_SUCCESS;
}

std::vector<std::pair<std::string, vb::Variant>> clsRegistry::GetAllSettings(const std::string& appName,
                                                                             const std::string& section) {
    std::vector<std::pair<std::string, vb::Variant>> out;
    for (const auto& [name, v] : file_.Values(fullPath(BuildKeyPath(appName, section))))
        out.emplace_back(name, ToVariant(v));
    return out;
}

std::vector<std::string> clsRegistry::GetAllKeys(const std::string& appName, const std::string& section) {
    return file_.SubKeys(fullPath(BuildKeyPath(appName, section)));
}

void clsRegistry::SetKeyValue(const std::string& keyPath, const std::string& valueName,
                              const vb::Variant& value, long type) {
    try {
        const long h = openPath(keyPath, true);
        SetValueEx(h, valueName, type, value);
        closeKey(h);
    } catch (const std::exception&) {
    }
}

void clsRegistry::CreateKey(const std::string& keyPath) {
    try {
        closeKey(openPath(keyPath, true));
    } catch (const std::exception&) {
    }
}

long clsRegistry::SetValueEx(long handle, const std::string& valueName, long type, const vb::Variant& value) {
    const auto key = keyOf(handle);
    if (!key) return ERROR_INVALID_HANDLE;
    try {
        registry::Value v;
        switch (type) {
            case registry::REG_SZ:
                v = registry::Value::Text(value.IsNull() ? std::string() : value.ToString());
                break;
            case registry::REG_BINARY: {
                if (value.Type() == vb::VarType::Bytes) {
                    v = registry::Value::Binary(value.ToBytes());
                } else {
                    const std::string text = value.ToString();
                    v = registry::Value::Binary(vb::Bytes(text.begin(), text.end()));
                }
                break;
            }
            case registry::REG_DWORD:
                v = registry::Value::Dword(static_cast<std::uint32_t>(value.ToLong()));
                break;
            default:
                return 87;  // ERROR_INVALID_PARAMETER
        }
        file_.Set(*key, valueName, v);
        return ERROR_SUCCESS;
    } catch (const std::exception&) {
        return 5;  // ERROR_ACCESS_DENIED
    }
}

void ApplySqlServerOdbcTemplate(registry::RegistryFile& file, ado::ConnectionOptions& options) {
    clsRegistry reg(file);
    const vb::Variant t = reg.GetSetting("SOFTWARE", "Tolvaran\\SQLServer", "OdbcTemplate", vb::Variant(""));
    if (t.IsText() && !t.AsString()->empty()) options.sqlServerOdbcTemplate = *t.AsString();
}

long MaxReportFileMb(registry::RegistryFile& file) {
    clsRegistry reg(file);
    const vb::Variant v = reg.GetSetting("SOFTWARE", "Tolvaran\\Reports", "MaxFileMB", vb::Variant(""));
    long mb = 0;
    try {
        if (v.IsNumeric()) mb = v.ToLong();
    } catch (const vb::ComError&) {
        // Out of range: the default stands.
    }
    return mb >= 1 ? mb : designer::kDefaultMaxReportFileMb;
}

}  // namespace tolvaran
