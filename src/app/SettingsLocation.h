#pragma once

#include "store/SettingsStore.h"

#include <QString>

#include <optional>

namespace dormivo {

// The settings file this user works with. An application folder of the user's own that they
// can write, holding a settings file they can write, keeps it beside the program. Otherwise
// (an installed program, under /usr or /opt or in another user's folder, for root too; a
// read-only folder, or a file made read-only) the shipped file is a default that each user
// gets a private copy of, in $XDG_DATA_HOME/dormivo.
struct SettingsLocation {
    QString file;    // the one this user works with
    QString shipped; // the one beside the program
    bool isPrivateCopy() const { return file != shipped; }
};

// The folder this program runs from, known before any application object exists (as
// QCoreApplication::applicationDirPath() would say, from /proc/self/exe).
QString applicationFolder();

// Only decides; nothing is copied yet, so that the copy can wait for the one-instance lock,
// which is named after the file.
SettingsLocation settingsLocationFor(const QString& appFolder);

// This run's settings, or the message that says why there are none.
struct OpenedSettings {
    std::optional<SettingsStore> store;
    QString failure;
};

// Opens the settings file; call it holding the one-instance lock. A missing private copy is
// made first. A private copy that is empty or not a database (an interrupted first start) is
// set aside as "info.velkaro.bad" (.bad.1, ...: none is overwritten) and made afresh, which a
// line on stderr says. The shipped file is only ever read.
OpenedSettings openSettings(const SettingsLocation& location);

} // namespace dormivo
