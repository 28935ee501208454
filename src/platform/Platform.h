#pragma once

#include "platform/Clock.h"
#include "platform/FilePicker.h"
#include "platform/MessageBoxes.h"
#include "platform/Notifier.h"
#include "platform/NotifyIconShell.h"
#include "platform/ProcessWatch.h"
#include "platform/ProgramLauncher.h"
#include "registry/RegistryApi.h"

#include <QString>

namespace dormivo {

// Every service of the desktop the windows use, handed to them at construction: main()
// builds the real one, tests build one of recording fakes.
struct Platform {
    MessageBoxes& messages;
    ProgramLauncher& launcher;
    FilePicker& filePicker;
    NotifyIconShell& notifyIcons;
    Notifier& notifier;
    registry::RegistryApi& registry;
    const Clock& clock;
    QString appFolder; // the folder that holds the executable, without a trailing separator
    ProcessWatch& processes;
};

} // namespace dormivo
