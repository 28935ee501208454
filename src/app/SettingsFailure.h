#pragma once

#include "StoreError.h"

#include <QString>

namespace dormivo {

// The message for a settings file that cannot be used: which file, what is wrong with it in
// plain words, what the user can do, and then the database engine's own text.
QString describeSettingsFailure(const QString& file, const StoreError& error);

} // namespace dormivo
