#include "UserRegistry.h"

#ifdef _WIN32
#include "Win32Registry.h"
#else
#include "AutostartMirror.h"
#include "HiveRegistry.h"
#endif

namespace dormivo::registry {

#ifdef _WIN32

std::unique_ptr<RegistryApi> openUserRegistry() {
    return std::make_unique<Win32Registry>();
}

#else

namespace {

// The hive with each change to its Run key mirrored into the autostart folder.
class LoginHive final : public HiveRegistry {
public:
    LoginHive()
        : HiveRegistry(xdgConfigHome() / "dormivo" / "HKLM.reg"),
          mirror_(*this, xdgConfigHome() / "autostart") {
        setValueListener([this](const HiveKey& key, const std::string& valueName) {
            mirror_.valueChanged(key, valueName);
        });
    }

private:
    AutostartMirror mirror_;
};

} // namespace

std::unique_ptr<RegistryApi> openUserRegistry() {
    return std::make_unique<LoginHive>();
}

#endif

} // namespace dormivo::registry
