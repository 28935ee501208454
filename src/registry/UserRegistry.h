#pragma once

#include "registry/RegistryApi.h"

#include <filesystem>
#include <memory>

namespace dormivo::registry {

// The registry this program works with: a hive in <configFolder>/dormivo/HKLM.reg, the user's
// machine-wide choices for this program, whose Run key starts its programs at the user's next
// login through <configFolder>/autostart.
std::unique_ptr<RegistryApi> openUserRegistry(const std::filesystem::path& configFolder);

} // namespace dormivo::registry
