#pragma once

#include <functional>

namespace dormivo {

class StoreError;

// Where a dialog hands a failure of the settings file that it cannot go on without: the
// opener tells the user and ends the program. A dialog whose load fails this way unloads.
using StoreFailure = std::function<void(const StoreError&)>;

} // namespace dormivo
