#include "HiveRegistry.h"

#include "TextFile.h"

#include <cstring>

namespace dormivo::registry {
namespace {

const char* rootName(Key root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    default:
        return nullptr;
    }
}

// Copies data into a caller's buffer with the registry's rules for sizes.
Status copyOut(const std::vector<std::uint8_t>& from, std::uint8_t* data, std::uint32_t* size) {
    const auto needed = static_cast<std::uint32_t>(from.size());
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed)
        std::memcpy(data, from.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

} // namespace

HiveRegistry::HiveRegistry(std::filesystem::path file) : file_(std::move(file)) {
    load();
}

HiveKey* HiveRegistry::resolve(Key key) const {
    if (const char* name = rootName(key))
        return &const_cast<HiveKey&>(forest_).childOrNew(name);
    const auto found = handles_.find(key);
    return found == handles_.end() ? nullptr : found->second;
}

const HiveKey* HiveRegistry::findKey(Key root, const std::string& path) const {
    const HiveKey* base = rootName(root) ? forest_.child(rootName(root)) : nullptr;
    return base ? base->find(path) : nullptr;
}

Status HiveRegistry::openKey(Key root, const std::string& subKey, std::uint32_t, std::uint32_t,
                             Key* result) {
    HiveKey* base = resolve(root);
    HiveKey* key = base ? base->find(subKey) : nullptr;
    if (result)
        *result = 0;
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    const Key handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = key;
    if (result)
        *result = handle;
    return ERROR_SUCCESS;
}

Status HiveRegistry::createKey(Key root, const std::string& subKey, std::uint32_t, std::uint32_t,
                               Key* result) {
    HiveKey* base = resolve(root);
    if (result)
        *result = 0;
    if (!base)
        return ERROR_INVALID_HANDLE;
    const bool existed = base->find(subKey) != nullptr;
    if (!existed && readOnly_)
        return ERROR_ACCESS_DENIED;
    HiveKey& key = base->findOrCreate(subKey);
    const Key handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = &key;
    if (result)
        *result = handle;
    return existed ? ERROR_SUCCESS : saved();
}

Status HiveRegistry::setValue(Key key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
    HiveKey* target = resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    if (readOnly_)
        return ERROR_ACCESS_DENIED;
    target->setValue(name, type, std::vector<std::uint8_t>(data, data + size));
    const Status status = saved();
    if (status == ERROR_SUCCESS && onValueChange_)
        onValueChange_(*target, name);
    return status;
}

Status HiveRegistry::deleteValue(Key key, const std::string& name) {
    HiveKey* target = resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    if (!target->value(name))
        return ERROR_FILE_NOT_FOUND;
    if (readOnly_)
        return ERROR_ACCESS_DENIED;
    target->deleteValue(name);
    const Status status = saved();
    if (status == ERROR_SUCCESS && onValueChange_)
        onValueChange_(*target, name);
    return status;
}

Status HiveRegistry::enumValue(Key key, std::uint32_t index, char* name, std::uint32_t* nameChars,
                               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    const HiveKey* target = resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    if (index >= target->values.size())
        return ERROR_NO_MORE_ITEMS;
    if (!name || !nameChars)
        return ERROR_INVALID_PARAMETER;
    const HiveValue& value = target->values[index];
    if (value.name.size() + 1 > *nameChars)
        return ERROR_MORE_DATA;
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameChars = static_cast<std::uint32_t>(value.name.size());
    if (type)
        *type = value.type;
    return copyOut(value.data, data, dataSize);
}

Status HiveRegistry::queryValue(Key key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* dataSize) {
    const HiveKey* target = resolve(key);
    if (!target)
        return ERROR_INVALID_HANDLE;
    const HiveValue* value = target->value(name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    return copyOut(value->data, data, dataSize);
}

Status HiveRegistry::closeKey(Key key) {
    if (rootName(key))
        return ERROR_SUCCESS;
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

Status HiveRegistry::saved() {
    if (file_.empty() || writeTextFileAtomically(file_, RegFileFormat::write(forest_, form_)))
        return ERROR_SUCCESS;
    return ERROR_ACCESS_DENIED;
}

void HiveRegistry::load() {
    std::error_code error;
    const auto status = std::filesystem::status(file_, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return; // no hive yet: start empty
    const auto text = std::filesystem::is_regular_file(status) ? readTextFile(file_) : std::nullopt;
    if (!text) {
        readOnly_ = true;
        return;
    }
    if (auto forest = RegFileFormat::read(*text, &form_)) {
        forest_ = std::move(*forest);
        return;
    }
    // Never overwrite what cannot be read: keep it aside for the user to look at, beside
    // any kept before.
    std::filesystem::path aside = file_;
    aside += ".bad";
    for (int n = 1; std::filesystem::exists(std::filesystem::symlink_status(aside, error)); ++n) {
        aside = file_;
        aside += ".bad." + std::to_string(n);
    }
    std::filesystem::rename(file_, aside, error);
    readOnly_ = bool(error);
}

} // namespace dormivo::registry
