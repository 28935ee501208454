#pragma once

#include "store/StoreError.h"

#include <string>

namespace dormivo {

// The message for a settings file that cannot be used, whether opening it or saving to it
// failed: which file, what is wrong in plain words, what the user can do, and then the
// system's or the database engine's own text.
std::string settingsFailureMessage(const std::string& file, const std::string& problem,
                                   const std::string& remedy, const std::string& detail);

// The same message for a failure the database engine reported.
std::string describeSettingsFailure(const std::string& file, const StoreError& error);

} // namespace dormivo
