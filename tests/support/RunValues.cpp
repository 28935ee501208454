#include "support/RunValues.h"

namespace dormivo::test {

using registry::HKEY_LOCAL_MACHINE;
using registry::kRunKey;

ValueSet listedValues(registry::RegistryApi& api, const std::string& key) {
    registry::Registry values(api);
    registry::Key handle = 0;
    values.OpenKey(HKEY_LOCAL_MACHINE, key, handle);
    registry::ValueTable table;
    values.ListValues(handle, table);
    values.CloseKey(handle);
    return {table.begin(), table.end()};
}

std::string runValue(registry::RegistryApi& api, const std::string& name) {
    const auto value = registry::Registry(api).GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name);
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : "-";
}

void setRunValue(registry::RegistryApi& api, const std::string& name, const std::string& text) {
    if (text.empty())
        registry::Registry(api).DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name);
    else
        registry::Registry(api).SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name, text);
}

} // namespace dormivo::test
