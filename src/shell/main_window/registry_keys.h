#pragma once
// SoftwareKeys over the registry file of this machine (HKEY_LOCAL_MACHINE).
#include "platform/registry/registry_file.h"
#include "shell/main_window/environment.h"

namespace tolvaran {

class RegistryKeys : public SoftwareKeys {
  public:
    // registry may be null (an empty registry); it must outlive this object.
    explicit RegistryKeys(registry::RegistryFile* registry) : registry_(registry) {}
    vb::Variant Query(const std::string& keyPath, const std::string& valueName) override;

  private:
    registry::RegistryFile* registry_;
};

}  // namespace tolvaran
