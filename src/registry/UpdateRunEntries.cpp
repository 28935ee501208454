#include "registry/UpdateRunEntries.h"

#include "common/WholeNumber.h"

namespace dormivo::registry {
namespace {

std::string valueName(int position) {
    return "Velkaro" + std::to_string(position);
}

} // namespace

void UpdateRunEntries(Registry& registry, const std::string& activeFlag,
                      const ProgramList* programList, const std::string& index) {
    if (!index.empty()) {
        if (const auto position = textToInt16(index))
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

void mirrorRunEntries(Registry& registry, const ProgramList& list, bool active) {
    UpdateRunEntries(registry, active ? "1" : "0", &list, std::string());
}

void deleteRunEntry(Registry& registry, int position) {
    UpdateRunEntries(registry, "0", nullptr, std::to_string(position));
}

} // namespace dormivo::registry
