#pragma once

#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "registry/RegistryApi.h"
#include "store/SettingsStore.h"

#include <QString>

#include <memory>

namespace dormivo {

// What happens when a countdown runs out: the chosen action's command runs, its program taken
// from the application folder, or, for "Lauch Program", every program of the list starts in
// order and its Run entry goes. Whatever cannot be done is told in a message box; a failure of the
// settings file itself is thrown (StoreError) for the caller to end the program with.
class Expiry {
public:
    Expiry(SettingsStore& store, ProgramLauncher& launcher, registry::RegistryApi& registry,
           MessageBoxes& messages, QString appFolder);

    void run(const QString& actionName);

private:
    void runPowerAction(const QString& name, const std::string& command);
    void launchPrograms();

    SettingsStore& store_;
    ProgramLauncher& launcher_;
    registry::RegistryApi& registry_;
    MessageBoxes& messages_;
    QString appFolder_;
    // A power action reports its failure later; by then this object may be gone.
    std::shared_ptr<Expiry*> self_ = std::make_shared<Expiry*>(this);
};

} // namespace dormivo
