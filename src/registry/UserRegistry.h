#pragma once

#include "registry/RegistryApi.h"

#include <memory>

namespace dormivo::registry {

// The registry this program works with. On Windows it is the system's own. Elsewhere it is a
// hive in $XDG_CONFIG_HOME/dormivo/HKLM.reg, the user's machine-wide choices for this
// program, whose Run key starts its programs at the user's next login.
std::unique_ptr<RegistryApi> openUserRegistry();

} // namespace dormivo::registry
