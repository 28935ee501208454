#pragma once

#include <QString>

namespace dormivo {

// The settings file this user works with. An application folder the user can write keeps it
// beside the program; an installed, read-only one ships a default that each user gets a
// private copy of, in $XDG_DATA_HOME/dormivo, on first start. An existing copy is never
// replaced.
QString settingsFileFor(const QString& appFolder);

} // namespace dormivo
