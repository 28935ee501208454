#pragma once

#include "registry/Registry.h"

#include <string>

namespace dormivo {

// What the Run entries are made from: the programs list, entry by entry.
class ProgramList {
public:
    virtual int count() const = 0;
    virtual std::string item(int position) const = 0;

protected:
    ~ProgramList() = default;
};

// Mirrors the programs list into the machine-wide Run key as "Velkaro0", "Velkaro1", ...
// With an index, only that one value is deleted. Otherwise an active list ("1") writes one
// value per entry and any other flag deletes the values of every position of the list;
// values above the list's length are left as they are.
void UpdateRunEntries(registry::Registry& registry, const std::string& activeFlag,
                      const ProgramList* programList, const std::string& index);

} // namespace dormivo
