#include "shell/main_window/environment.h"

#include <filesystem>
#include <vector>

#include "store/support.h"

namespace tolvaran {
namespace {

constexpr const char* kCrLf = "\r\n";

bool HasError(const std::string& s) {
    return s.find("Error") != std::string::npos;
}

std::string ValueText(const vb::Variant& v) {
    switch (v.Type()) {
        case vb::VarType::String:
        case vb::VarType::Long:
        case vb::VarType::Double:
        case vb::VarType::Boolean:
            return v.ToString();
        default:
            return {};
    }
}

// The numeric value of a text as Val reads it: leading blanks, digits; 0 when none.
int NumberOf(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    int n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < 100000) n = n * 10 + (s[i++] - '0');
    return n;
}

// Whether the value exists under HKEY_LOCAL_MACHINE\SOFTWARE, empty or not.
bool Present(SoftwareKeys& keys, const std::string& section, const std::string& value = "Path") {
    const vb::Variant v = keys.Query("SOFTWARE\\" + section, value);
    return !v.IsEmpty() && !v.IsNull();
}

}  // namespace

std::string Environment::GetSetting(const std::string& section, const std::string& key,
                                    const std::optional<std::string>& def) const {
    const std::string path = section.empty() ? "SOFTWARE" : "SOFTWARE\\" + section;
    std::string value = ValueText(keys_.Query(path, key));
    if (value.empty()) return def ? *def : kMissingValue;
    return value;
}

std::string Environment::GetCrystalPath(const std::string& version) const {
    if (version == "8.0" || version == "8.5") {
        std::string path = GetSetting("Seagate Software\\" + version + "\\Crystal Reports", "Path");
        if (path == kMissingValue) path = GetSetting("Seagate Software\\Crystal Reports", "Path");
        return path;
    }
    if (version == "9.0" || version == "10.0")
        return GetSetting("Crystal Decisions\\" + version + "\\Crystal Reports", "Path");
    if (version == "11.0" || version == "11.5")
        return GetSetting("Business Objects\\Suite 11.0\\Crystal Reports", "Path");
    return {};
}

bool Environment::IsCrystal10Installed() const {
    // A "Path" that exists but is empty counts as installed, as the registry function
    // reports it; only a missing key or value does not.
    if (Present(keys_, "Crystal Decisions\\10.0\\Crystal Reports")) return true;
    return !HasError(GetSetting("Crystal Decisions\\10.0\\Crystal Reports", "Path"));
}

std::string Environment::GetCurrentCrystalInstalls() const {
    std::string lines;
    try {
        // A value that is there but empty counts as installed (the read only fails when the
        // key or value is missing).
        auto installed = [&](const std::string& section, const std::string& value = "Path") {
            return Present(keys_, section, value) || !HasError(GetSetting(section, value));
        };
        const bool v85 = installed("Crystal Decisions\\8.5\\Crystal Reports") ||
                         installed("Seagate Software\\Crystal Reports");
        if (v85) lines += std::string("Crystal Reports 8.5") + kCrLf;
        if (installed("Crystal Decisions\\9.0\\Crystal Reports"))
            lines += std::string("Crystal Reports 9.0") + kCrLf;
        if (installed("Crystal Decisions\\10.0\\Crystal Reports"))
            lines += std::string("Crystal Reports 10.0") + kCrLf;
        if (installed("Crystal Decisions\\11.0\\Crystal Reports"))
            lines += std::string("Crystal Reports 11.0") + kCrLf;
        if (installed("Crystal Decisions\\11.5\\Crystal Reports"))
            lines += std::string("Crystal Reports 11.5") + kCrLf;
        if (installed("Crystal Decisions\\Crystal Reports\\VS7NET"))
            lines += std::string("Crystal Reports .NET") + kCrLf;
    } catch (const std::exception&) {
        return lines;
    }
    if (lines.empty())
        return "Un-able to determine what versions of Crystal Reports are installed on this machine.";
    return lines;
}

std::string Environment::CrystalVersionName(const std::string& v) {
    if (v == "8.0" || v == "8.5") return "Crystal Reports 8.5";
    if (v == "9.0") return "Crystal Reports 9.0";
    if (v == "10.0") return "Crystal Reports 10.0";
    if (v == "11.0") return "Crystal Reports 11.0";
    if (v == "11.5") return "Crystal Reports 11.5";
    return "<unknown>";
}

void Environment::OpenReportInCrystal(const std::string& file, const std::string& crystalVersion) const {
    std::string path;
    if (crystalVersion == "8.0" || crystalVersion == "8.5") {
        path = GetCrystalPath("8.5");
        if (path == kMissingValue) path = GetCrystalPath("8.0");
    } else {
        path = GetCrystalPath(crystalVersion);
    }
    if (!path.empty() && path != kMissingValue) {
        // The report file is one argument whatever its name holds (blanks, quotes).
        launcher_.Start(JoinPath(path, "crw32.exe"), {file});
    } else {
        prompt_.MsgBox("Cannot find Crystal Reports ", ui::vbExclamation);
    }
}

void Environment::RunUpdater() const {
    const std::string updater = JoinPath(programFolder_, "TVN_UPDATE.EXE");
    // The second form is tried only when the first finds no file.
    if (!launcher_.Open(updater, " /TEST=2") && !std::filesystem::exists(updater))
        launcher_.Open(updater + " /TEST=2", "");
}

bool Environment::IsDotNet10Installed() const {
    std::string v = GetSetting("Microsoft\\.NETFramework\\Policy\\v1.0", "3705", "");
    if (v.empty()) v = GetSetting("Microsoft\\.NETFramework\\Policy\\Standards\\v1.0.0", "3705", "");
    return !v.empty();
}

bool Environment::IsDotNet11Installed() const {
    return !GetSetting("Microsoft\\NET Framework Setup\\NDP\\v1.1.4322", "Install", "").empty();
}

int Environment::GetDotNet10SPLevel() const {
    const std::string key =
        IsTabletOrMediaCenter()
            ? "Microsoft\\Active Setup\\Installed Components\\{FDC11A6F-17D1-48f9-9EA3-9051954BAA24}"
            : "Microsoft\\Active Setup\\Installed Components\\{78705f0d-e8db-4b2d-8193-982bdda15ecd}";
    const std::string v = GetSetting(key, "Version", "");
    // "1,0,3705,<level>": the fourth part carries the service-pack level.
    std::vector<std::string> parts(1);
    for (char ch : v) {
        if (ch == ',')
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    if (parts.size() != 4) return 0;
    return NumberOf(parts[3]);
}

int Environment::GetDotNet11SPLevel() const {
    return NumberOf(GetSetting("Microsoft\\NET Framework Setup\\NDP\\v1.1.4322", "SP", ""));
}

bool Environment::IsTabletOrMediaCenter() const {
    return SystemMetrics(86) != 0 || SystemMetrics(87) != 0;
}

std::string Environment::GetDotNetVersionsText() const {
    auto line = [](bool installed, int level, const std::string& v) {
        if (!installed) return ".NET Framework " + v + " is not installed.";
        if (level > 0) return ".NET Framework " + v + " SP" + std::to_string(level) + " is installed.";
        return ".NET Framework " + v + " is installed with no service packs.";
    };
    const bool v10 = IsDotNet10Installed();
    const bool v11 = IsDotNet11Installed();
    return line(v10, v10 ? GetDotNet10SPLevel() : 0, "1.0") + kCrLf +
           line(v11, v11 ? GetDotNet11SPLevel() : 0, "1.1") + kCrLf;
}

std::vector<std::string> Environment::AccessInstalls() const {
    static const std::pair<const char*, const char*> kOffice[] = {{"8.0", "Microsoft Office 97"},
                                                                  {"9.0", "Microsoft Office 2000"},
                                                                  {"10.0", "Microsoft Office XP"},
                                                                  {"11.0", "Microsoft Office 2003"}};
    std::vector<std::string> out;
    for (const auto& [version, name] : kOffice) {
        if (!HasError(
                GetSetting(std::string("Microsoft\\Office\\") + version + "\\Common\\InstallRoot", "Path")))
            out.emplace_back(name);
    }
    return out;
}

std::vector<std::string> Environment::CrystalInstalls() const {
    static const std::pair<const char*, const char*> kCrystal[] = {
        {"8.5", "Crystal Reports 8.5"},
        {"9.0", "Crystal Reports 9.0"},
        {"10.0", "Crystal Reports 10.0"},
        {"11.0", "Business Objects Crystal Reports 11.0"}};
    std::vector<std::string> out;
    for (const auto& [version, name] : kCrystal) {
        const bool present =
            std::string(version) == "8.5" ? Present(keys_, "Seagate Software\\8.5\\Crystal Reports") ||
                                                Present(keys_, "Seagate Software\\Crystal Reports")
            : std::string(version) == "11.0"
                ? Present(keys_, "Business Objects\\Suite 11.0\\Crystal Reports")
                : Present(keys_, std::string("Crystal Decisions\\") + version + "\\Crystal Reports");
        if (present || !HasError(GetCrystalPath(version))) out.emplace_back(name);
    }
    if (!HasError(GetSetting("Crystal Decisions\\Crystal Reports\\VSNET", "VS7NET")))
        out.emplace_back("Visual Studio Crystal Reports.NET");
    return out;
}

std::string Environment::MDACVersion() const {
    return GetSetting("Microsoft\\DataAccess", "FullInstallVer");
}

bool GetKeyValue(SoftwareKeys& keys, const std::string& keyName, const std::string& valueName,
                 std::string& value) {
    const vb::Variant v = keys.Query(keyName, valueName);
    value.clear();
    if (v.IsText()) {
        value = *v.AsString();
        while (!value.empty() && value.back() == '\0') value.pop_back();
        return true;
    }
    if (v.Type() == vb::VarType::Long) {
        value = std::to_string(static_cast<std::uint32_t>(v.ToLong()));
        return true;
    }
    return false;
}

}  // namespace tolvaran
