#pragma once

#include "registry/RegistryApi.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace dormivo::registry {

// The key, under HKEY_LOCAL_MACHINE, whose text values are started at login.
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A value as the program hands it over: integers are stored as REG_DWORD, texts as REG_SZ
// with their terminator, Booleans as one REG_BINARY byte (0xFF or 0x00). Any other kind (a
// real number, nothing at all) is not written.
using RegValue =
    std::variant<std::monostate, std::int16_t, std::int32_t, std::string, bool, double>;

// (type code as decimal text, value name), in the order the registry enumerates them.
using ValueTable = std::vector<std::pair<std::string, std::string>>;

// Operations on single registry values. Each top-level one opens the key it needs, does one
// thing and closes the key again; none reports failure to its caller.
class Registry {
public:
    explicit Registry(RegistryApi& api) : api_(api) {}

    void SetKeyValue(Key root, const std::string& keyPath, const std::string& name,
                     const RegValue& value);
    void DeleteKeyValue(Key root, const std::string& keyPath, const std::string& name);
    RegValue GetKeyValue(Key root, const std::string& keyPath, const std::string& name);

    void OpenKey(Key root, const std::string& keyPath, Key& handle);
    void CreateKey(Key root, const std::string& keyPath, Key& handle);
    bool CloseKey(Key handle);
    void WriteValue(Key handle, const std::string& name, const RegValue& value);
    void ReadValue(Key handle, const std::string& name, RegValue& value);
    void ListValues(Key handle, ValueTable& table);

private:
    RegistryApi& api_;
};

} // namespace dormivo::registry
