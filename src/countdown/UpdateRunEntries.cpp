#include "countdown/UpdateRunEntries.h"

#include "store/Value.h"

namespace dormivo {
namespace {

std::string valueName(int position) {
    return "Velkaro" + std::to_string(position);
}

} // namespace

void UpdateRunEntries(registry::Registry& registry, const std::string& activeFlag,
                      const ProgramList* programList, const std::string& index) {
    using registry::HKEY_LOCAL_MACHINE;
    using registry::kRunKey;
    if (!index.empty()) {
        if (const auto position = Value(index).toInt16())
            registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, valueName(*position));
        return;
    }
    const int count = programList ? programList->count() : 0;
    for (int i = 0; i < count; ++i) {
        if (activeFlag == "1")
            registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, valueName(i), programList->item(i));
        else
            registry.DeleteKeyValue(HKEY_LOCAL_MACHINE, kRunKey, valueName(i));
    }
}

} // namespace dormivo
