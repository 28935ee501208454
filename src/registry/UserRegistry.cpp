#include "registry/UserRegistry.h"

#ifdef _WIN32
#include "registry/Win32Registry.h"
#else
#include "registry/AutostartMirror.h"
#include "registry/HiveRegistry.h"
#endif

namespace dormivo::registry {

#ifdef _WIN32

std::unique_ptr<RegistryApi> openUserRegistry() {
    return std::make_unique<Win32Registry>();
}

#else

namespace {

// The hive with its Run key mirrored into the autostart folder: the whole key whenever the
// file is read (at start and after another program changed it), and each change made here.
class LoginHive final : public HiveRegistry {
public:
    LoginHive()
        : HiveRegistry(xdgConfigHome() / "dormivo" / "HKLM.reg"),
          mirror_(*this, xdgConfigHome() / "autostart") {
        mirror_.sync();
        setReloadListener([this] { mirror_.sync(); });
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
