#pragma once

#include "registry/Registry.h"

#include <set>
#include <string>
#include <utility>

namespace dormivo::test {

// (type code, name) of every value under a key of HKEY_LOCAL_MACHINE, in name order.
using ValueSet = std::set<std::pair<std::string, std::string>>;
ValueSet listedValues(registry::RegistryApi& api, const std::string& key = registry::kRunKey);

// The text of the Run value `name`; "-" when there is none, or it holds no text.
std::string runValue(registry::RegistryApi& api, const std::string& name);

// Sets the Run value `name` to `text`, or deletes it when `text` is empty.
void setRunValue(registry::RegistryApi& api, const std::string& name, const std::string& text);

} // namespace dormivo::test
