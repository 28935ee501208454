#pragma once

#include "registry/RegistryApi.h"

namespace dormivo::registry {

// The Windows registry itself, through the ANSI functions of advapi32.
class Win32Registry final : public RegistryApi {
public:
    Status openKey(Key root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                   Key* result) override;
    Status createKey(Key root, const std::string& subKey, std::uint32_t options,
                     std::uint32_t access, Key* result) override;
    Status setValue(Key key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t size) override;
    Status deleteValue(Key key, const std::string& name) override;
    Status enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameChars,
                     std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
    Status queryValue(Key key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                      std::uint32_t* dataSize) override;
    Status closeKey(Key key) override;
};

} // namespace dormivo::registry
