#pragma once

#include <cstdint>
#include <string>

namespace dormivo::registry {

// A key handle; 0 means no key. Predefined roots carry the values the Windows API gives them.
using Key = std::uintptr_t;
constexpr Key predefinedRoot(std::uint32_t value) {
    return static_cast<Key>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}
inline constexpr Key HKEY_CLASSES_ROOT = predefinedRoot(0x80000000u);
inline constexpr Key HKEY_CURRENT_USER = predefinedRoot(0x80000001u);
inline constexpr Key HKEY_LOCAL_MACHINE = predefinedRoot(0x80000002u);
inline constexpr Key HKEY_USERS = predefinedRoot(0x80000003u);

// Status codes, as the Windows registry functions return them.
using Status = long;
inline constexpr Status ERROR_SUCCESS = 0;
inline constexpr Status ERROR_FILE_NOT_FOUND = 2;
inline constexpr Status ERROR_ACCESS_DENIED = 5;
inline constexpr Status ERROR_INVALID_HANDLE = 6;
inline constexpr Status ERROR_INVALID_PARAMETER = 87;
inline constexpr Status ERROR_MORE_DATA = 234;
inline constexpr Status ERROR_NO_MORE_ITEMS = 259;
inline constexpr Status ERROR_KEY_DELETED = 1018;

// Value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

inline constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;
inline constexpr std::uint32_t REG_OPTION_NON_VOLATILE = 0;

// The seven registry calls the program makes (RegOpenKeyExA, RegCreateKeyExA,
// RegSetValueExA, RegDeleteValueA, RegEnumValueA, RegQueryValueExA, RegCloseKey in
// advapi32), with the Windows API's contract: buffers and
// their sizes in and out, ERROR_MORE_DATA with the needed size when a buffer is too small,
// names compared without regard to letter case, texts in the ANSI code page.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual Status openKey(Key root, const std::string& subKey, std::uint32_t options,
                           std::uint32_t access, Key* result) = 0;
    virtual Status createKey(Key root, const std::string& subKey, std::uint32_t options,
                             std::uint32_t access, Key* result) = 0;
    virtual Status setValue(Key key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) = 0;
    virtual Status deleteValue(Key key, const std::string& name) = 0;
    // nameChars: in, the name buffer's size in characters; out, the name's length without its
    // terminator. data may be null: dataSize then only receives the size.
    virtual Status enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameChars,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual Status queryValue(Key key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual Status closeKey(Key key) = 0;
};

} // namespace dormivo::registry
