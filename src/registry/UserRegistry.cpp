#include "registry/UserRegistry.h"

#include "registry/AutostartMirror.h"
#include "registry/HiveRegistry.h"

#include <cstdio>

namespace dormivo::registry {
namespace {

// The hive with its Run key mirrored into the autostart folder: the whole key whenever the
// file is read (at start and after another program changed it), and each change made here.
// A hive that had to be set aside lost its Run values, but our entries still hold them: they
// are brought back into the fresh hive rather than taken for values that are gone.
class LoginHive final : public HiveRegistry {
public:
    explicit LoginHive(const std::filesystem::path& configFolder)
        : HiveRegistry(configFolder / "dormivo" / "HKLM.reg"),
          mirror_(*this, configFolder / "autostart") {
        broughtInLine();
        setReloadListener([this] { broughtInLine(); });
        setValueListener([this](const HiveKey& key, const std::string& valueName) {
            if (!restoring_)
                mirror_.valueChanged(key, valueName);
        });
    }

private:
    void broughtInLine() {
        // Restoring saves the hive, and a save that fails reads the file again: that read
        // must not take the values still being brought back for values that are gone.
        if (restoring_)
            return;
        // A copy: restoring saves the hive, which may read it again.
        if (const std::optional<std::filesystem::path> aside = setAsideAs()) {
            const auto values = mirror_.recordedValues();
            restoring_ = true; // the entries stay as the user or the desktop left them
            Registry registry(*this);
            std::size_t restored = 0;
            for (const auto& [name, commandLine] : values) {
                registry.SetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name, commandLine);
                restored += registry.GetKeyValue(HKEY_LOCAL_MACHINE, kRunKey, name) ==
                            RegValue(commandLine);
            }
            restoring_ = false;
            std::fprintf(stderr,
                         "dormivo: the registry file could not be read; it was set aside as %s, "
                         "and %zu of the %zu programs to start at login were brought back from "
                         "the autostart entries.\n",
                         aside->c_str(), restored, values.size());
            // The entries are then the only copy of what could not be saved: they stay.
            return;
        }
        mirror_.sync();
    }

    AutostartMirror mirror_;
    bool restoring_ = false;
};

} // namespace

std::unique_ptr<RegistryApi> openUserRegistry(const std::filesystem::path& configFolder) {
    return std::make_unique<LoginHive>(configFolder);
}

} // namespace dormivo::registry
