#include "registry/Win32Registry.h"

#include <windows.h>

namespace dormivo::registry {
namespace {

HKEY handle(Key key) {
    return reinterpret_cast<HKEY>(key);
}

// DWORD and our 32-bit sizes are the same width; these pass them through unchanged.
LPDWORD dwords(std::uint32_t* value) {
    return reinterpret_cast<LPDWORD>(value);
}

} // namespace

Status Win32Registry::openKey(Key root, const std::string& subKey, std::uint32_t options,
                              std::uint32_t access, Key* result) {
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(handle(root), subKey.c_str(), options, access, &opened);
    if (result)
        *result = reinterpret_cast<Key>(opened);
    return status;
}

Status Win32Registry::createKey(Key root, const std::string& subKey, std::uint32_t options,
                                std::uint32_t access, Key* result) {
    HKEY created = nullptr;
    const LONG status = ::RegCreateKeyExA(handle(root), subKey.c_str(), 0, nullptr, options, access,
                                          nullptr, &created, nullptr);
    if (result)
        *result = reinterpret_cast<Key>(created);
    return status;
}

Status Win32Registry::setValue(Key key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    return ::RegSetValueExA(handle(key), name.c_str(), 0, type, data, size);
}

Status Win32Registry::deleteValue(Key key, const std::string& name) {
    return ::RegDeleteValueA(handle(key), name.c_str());
}

Status Win32Registry::enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameChars,
                                std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    return ::RegEnumValueA(handle(key), index, name, dwords(nameChars), nullptr, dwords(type), data,
                           dwords(dataSize));
}

Status Win32Registry::queryValue(Key key, const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* dataSize) {
    return ::RegQueryValueExA(handle(key), name.c_str(), nullptr, dwords(type), data,
                              dwords(dataSize));
}

Status Win32Registry::closeKey(Key key) {
    return ::RegCloseKey(handle(key));
}

} // namespace dormivo::registry
