#pragma once
// Environment detection and program launching: which Crystal Reports, Office, data-access
// and .NET Framework versions the registry lists, where the Crystal designer is, and starting
// the designer and the updater. No Qt here.
#include <functional>
#include <optional>
#include <string>

#include "platform/common/variant.h"
#include "platform/ui/launcher.h"
#include "platform/ui/prompt.h"

namespace tolvaran {

// Read access to HKEY_LOCAL_MACHINE. Query gives a value's data: text for REG_SZ, a number
// for REG_DWORD, bytes for REG_BINARY, Empty when the key or value is missing or of another
// type.
class SoftwareKeys {
  public:
    virtual ~SoftwareKeys() = default;
    virtual vb::Variant Query(const std::string& keyPath, const std::string& valueName) = 0;
};

// The text a registry read gives when it finds nothing and the caller gave no default.
inline constexpr const char* kMissingValue = "Error 448";

class Environment {
  public:
    // All references must outlive the object. programFolder carries no final separator.
    Environment(SoftwareKeys& keys, ui::Launcher& launcher, ui::Prompt& prompt, std::string programFolder)
        : keys_(keys), launcher_(launcher), prompt_(prompt), programFolder_(std::move(programFolder)) {}

    // HKEY_LOCAL_MACHINE\SOFTWARE\<section>, value key: the text of the value; def (or
    // "Error 448" without one) when it is missing or empty.
    std::string GetSetting(const std::string& section, const std::string& key,
                           const std::optional<std::string>& def = std::nullopt) const;

    std::string GetCrystalPath(const std::string& version) const;
    bool IsCrystal10Installed() const;
    std::string GetCurrentCrystalInstalls() const;
    static std::string CrystalVersionName(const std::string& crystalVersion);
    // Starts the designer of crystalVersion (gCrystalVersion) on file.
    void OpenReportInCrystal(const std::string& file, const std::string& crystalVersion) const;
    void RunUpdater() const;

    std::string GetDotNetVersionsText() const;
    bool IsDotNet10Installed() const;
    bool IsDotNet11Installed() const;
    int GetDotNet10SPLevel() const;
    int GetDotNet11SPLevel() const;
    bool IsTabletOrMediaCenter() const;

    // Lines of the system information window.
    std::vector<std::string> AccessInstalls() const;
    std::vector<std::string> CrystalInstalls() const;
    std::string MDACVersion() const;

    // GetSystemMetrics; this platform has no tablet or media-center metric (always 0).
    std::function<int(int)> SystemMetrics = [](int) { return 0; };

    SoftwareKeys& Keys() const { return keys_; }
    ui::Prompt& Prompt() const { return prompt_; }
    // Starts a program with no parameters (the result is not looked at).
    void Launch(const std::string& program) const { launcher_.Open(program); }
    const std::string& ProgramFolder() const { return programFolder_; }

  private:
    SoftwareKeys& keys_;
    ui::Launcher& launcher_;
    ui::Prompt& prompt_;
    std::string programFolder_;
};

// The about box's direct registry read: true and the value's text (a DWORD as its decimal
// number) when the value is there, else false and the empty text.
bool GetKeyValue(SoftwareKeys& keys, const std::string& keyName, const std::string& valueName,
                 std::string& value);

}  // namespace tolvaran
