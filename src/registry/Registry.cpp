#include "registry/Registry.h"

#include "registry/HiveKey.h"

#include <cstring>

namespace dormivo::registry {
namespace {

constexpr std::uint32_t kNameBufferChars = 2000;
constexpr std::uint32_t kTextBufferBytes = 2048;

std::vector<std::uint8_t> dwordBytes(std::int32_t number) {
    const auto n = static_cast<std::uint32_t>(number);
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

} // namespace

void Registry::OpenKey(Key root, const std::string& keyPath, Key& handle) {
    Key opened = 0;
    if (api_.openKey(root, keyPath, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
        opened = 0;
    handle = opened;
}

void Registry::CreateKey(Key root, const std::string& keyPath, Key& handle) {
    Key created = 0;
    if (api_.createKey(root, keyPath, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, &created) !=
        ERROR_SUCCESS)
        created = 0;
    handle = created;
}

bool Registry::CloseKey(Key handle) {
    return api_.closeKey(handle) == ERROR_SUCCESS;
}

void Registry::WriteValue(Key handle, const std::string& name, const RegValue& value) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (const auto* small = std::get_if<std::int16_t>(&value)) {
        type = REG_DWORD;
        data = dwordBytes(*small);
    } else if (const auto* number = std::get_if<std::int32_t>(&value)) {
        type = REG_DWORD;
        data = dwordBytes(*number);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        type = REG_SZ;
        data.assign(text->begin(), text->end());
        data.push_back(0);
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        type = REG_BINARY;
        data = {static_cast<std::uint8_t>(*flag ? 0xFF : 0x00)};
    } else {
        return; // a kind the registry is not given
    }
    api_.setValue(handle, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

void Registry::ListValues(Key handle, ValueTable& table) {
    std::vector<char> name(kNameBufferChars);
    for (std::uint32_t index = 0;;) {
        auto nameChars = static_cast<std::uint32_t>(name.size());
        std::uint32_t type = 0;
        std::uint32_t dataSize = kNameBufferChars;
        const Status status =
            api_.enumValue(handle, index, name.data(), &nameChars, &type, nullptr, &dataSize);
        if (status == ERROR_MORE_DATA && name.size() < 32768) {
            name.resize(name.size() * 2); // a longer name: try the same index again
            continue;
        }
        if (status != ERROR_SUCCESS)
            return; // no more items, or a failure that a retry would not mend
        table.emplace_back(std::to_string(type), std::string(name.data(), nameChars));
        ++index;
    }
}

void Registry::ReadValue(Key handle, const std::string& name, RegValue& value) {
    if (handle == 0)
        return;
    ValueTable table;
    ListValues(handle, table);
    const std::string wanted = foldCase(name);
    for (std::uint32_t index = 0; index < table.size(); ++index) {
        const auto& [typeCode, valueName] = table[index];
        if (foldCase(valueName) != wanted)
            continue;
        const std::uint32_t type = static_cast<std::uint32_t>(std::stoul(typeCode));
        if (type == REG_SZ) {
            std::vector<std::uint8_t> data(kTextBufferBytes);
            auto size = static_cast<std::uint32_t>(data.size());
            Status status = api_.queryValue(handle, valueName, nullptr, data.data(), &size);
            if (status == ERROR_MORE_DATA) { // a long text: read it in full
                data.resize(size);
                status = api_.queryValue(handle, valueName, nullptr, data.data(), &size);
            }
            if (status != ERROR_SUCCESS)
                return;
            std::string text(data.begin(), data.begin() + size);
            if (!text.empty() && text.back() == '\0')
                text.pop_back();
            value = text;
            return;
        }
        if (type == REG_DWORD || type == REG_BINARY) {
            std::vector<char> nameBuffer(valueName.size() + 1);
            auto nameChars = static_cast<std::uint32_t>(nameBuffer.size());
            std::uint8_t data[4] = {};
            std::uint32_t size = type == REG_DWORD ? 4 : 1;
            if (api_.enumValue(handle, index, nameBuffer.data(), &nameChars, nullptr, data,
                               &size) != ERROR_SUCCESS)
                return;
            if (type == REG_BINARY) {
                value = data[0] != 0;
            } else {
                std::int32_t number = 0;
                std::memcpy(&number, data, sizeof number); // little-endian, as stored
                value = number;
            }
            return;
        }
    }
}

void Registry::SetKeyValue(Key root, const std::string& keyPath, const std::string& name,
                           const RegValue& value) {
    Key handle = 0;
    CreateKey(root, keyPath, handle);
    WriteValue(handle, name, value);
    CloseKey(handle);
}

void Registry::DeleteKeyValue(Key root, const std::string& keyPath, const std::string& name) {
    Key handle = 0;
    OpenKey(root, keyPath, handle);
    api_.deleteValue(handle, name);
    CloseKey(handle);
}

RegValue Registry::GetKeyValue(Key root, const std::string& keyPath, const std::string& name) {
    Key handle = 0;
    if (api_.openKey(root, keyPath, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return {};
    RegValue value;
    ReadValue(handle, name, value);
    api_.closeKey(handle);
    return value;
}

} // namespace dormivo::registry
