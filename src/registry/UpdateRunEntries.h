#pragma once

#include "registry/Registry.h"

#include <string>

namespace dormivo::registry {

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
void UpdateRunEntries(Registry& registry, const std::string& activeFlag,
                      const ProgramList* programList, const std::string& index);

// The ways in, by what the caller means. A list confirmed active writes the values of all its
// positions, one confirmed inactive deletes them:
void mirrorRunEntries(Registry& registry, const ProgramList& list, bool active);
// and a program of the list that was started has its own value deleted.
void deleteRunEntry(Registry& registry, int position);

} // namespace dormivo::registry
