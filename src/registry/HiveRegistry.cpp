#include "registry/HiveRegistry.h"

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

std::string joined(const std::string& path, const std::string& subKey) {
    return path.empty() ? subKey : path + "\\" + subKey;
}

} // namespace

HiveRegistry::HiveRegistry(std::filesystem::path file) : file_(std::move(file)) {
    load();
}

std::optional<HiveRegistry::OpenedKey> HiveRegistry::opened(Key key) const {
    if (rootName(key))
        return OpenedKey{key, {}};
    const auto found = handles_.find(key);
    return found == handles_.end() ? std::nullopt : std::optional(found->second);
}

HiveKey* HiveRegistry::resolve(const OpenedKey& key) {
    return forest_.childOrNew(rootName(key.root)).find(key.path);
}

Key HiveRegistry::newHandle(OpenedKey key) {
    const Key handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(handle, std::move(key));
    return handle;
}

const HiveKey* HiveRegistry::findKey(Key root, const std::string& path) const {
    const HiveKey* base = rootName(root) ? forest_.child(rootName(root)) : nullptr;
    return base ? base->find(path) : nullptr;
}

Status HiveRegistry::openKey(Key root, const std::string& subKey, std::uint32_t, std::uint32_t,
                             Key* result) {
    if (result)
        *result = 0;
    const auto base = opened(root);
    if (!base)
        return ERROR_INVALID_HANDLE;
    if (!resolve(*base))
        return ERROR_KEY_DELETED;
    OpenedKey key{base->root, joined(base->path, subKey)};
    if (!resolve(key))
        return ERROR_FILE_NOT_FOUND;
    const Key handle = newHandle(std::move(key));
    if (result)
        *result = handle;
    return ERROR_SUCCESS;
}

Status HiveRegistry::createKey(Key root, const std::string& subKey, std::uint32_t, std::uint32_t,
                               Key* result) {
    if (result)
        *result = 0;
    const auto base = opened(root);
    if (!base)
        return ERROR_INVALID_HANDLE;
    OpenedKey key{base->root, joined(base->path, subKey)};
    // What could not be read back is never written.
    if (!RegFileFormat::pathWithinLimits(key.path))
        return ERROR_INVALID_PARAMETER;
    refresh();
    if (!resolve(*base))
        return ERROR_KEY_DELETED;
    if (!resolve(key)) {
        if (readOnly_)
            return ERROR_ACCESS_DENIED;
        forest_.childOrNew(rootName(key.root)).findOrCreate(key.path);
        if (const Status status = saved(); status != ERROR_SUCCESS)
            return status;
    }
    const Key handle = newHandle(std::move(key));
    if (result)
        *result = handle;
    return ERROR_SUCCESS;
}

Status HiveRegistry::setValue(Key key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
    const auto open = opened(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    refresh();
    if (readOnly_)
        return ERROR_ACCESS_DENIED;
    HiveKey* target = resolve(*open);
    if (!target)
        return ERROR_KEY_DELETED;
    target->setValue(name, type, std::vector<std::uint8_t>(data, data + size));
    const Status status = saved();
    if (status == ERROR_SUCCESS && onValueChange_)
        onValueChange_(*target, name);
    return status;
}

Status HiveRegistry::deleteValue(Key key, const std::string& name) {
    const auto open = opened(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    refresh();
    HiveKey* target = resolve(*open);
    if (!target)
        return ERROR_KEY_DELETED;
    if (!target->value(name)) {
        // Whatever still mirrors a value that is gone has to go too; a file that could not
        // be read tells nothing of what is gone.
        if (onValueChange_ && !readOnly_)
            onValueChange_(*target, name);
        return ERROR_FILE_NOT_FOUND;
    }
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
    const auto open = opened(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    const HiveKey* target = resolve(*open);
    if (!target)
        return ERROR_KEY_DELETED;
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
    const auto open = opened(key);
    if (!open)
        return ERROR_INVALID_HANDLE;
    const HiveKey* target = resolve(*open);
    if (!target)
        return ERROR_KEY_DELETED;
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

void HiveRegistry::refresh() {
    if (!file_.empty() && (readOnly_ || stampOf(file_) != stamp_))
        reload();
}

void HiveRegistry::reload() {
    load();
    if (onReload_)
        onReload_();
}

Status HiveRegistry::saved() {
    if (file_.empty())
        return ERROR_SUCCESS;
    const std::string text = RegFileFormat::write(forest_, form_);
    FileStamp stamp;
    if (text.size() <= RegFileFormat::kMaxFileBytes &&
        !writeFileAtomically(file_, text, FileAccess::OwnerOnly, &stamp)) {
        stamp_ = stamp;
        return ERROR_SUCCESS;
    }
    // A change that did not reach the file did not happen: memory holds what the file holds.
    reload();
    return ERROR_ACCESS_DENIED;
}

void HiveRegistry::load() {
    forest_ = HiveKey();
    form_ = {};
    stamp_.reset();
    readOnly_ = false;
    setAsideAs_.reset();
    std::error_code error;
    const auto status = std::filesystem::status(file_, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return; // no hive yet: start empty
    const bool plain = std::filesystem::is_regular_file(status);
    // Too large a file is refused unread, as one whose text goes beyond the limits is.
    if (!plain || std::filesystem::file_size(file_, error) <= RegFileFormat::kMaxFileBytes) {
        FileStamp stamp;
        const auto text = plain ? readFile(file_, &stamp) : std::nullopt;
        if (!text) {
            readOnly_ = true;
            return;
        }
        RegFileFormat::TextForm form;
        if (auto forest = RegFileFormat::read(*text, &form)) {
            forest_ = std::move(*forest);
            form_ = form;
            stamp_ = stamp;
            return;
        }
    }
    // Never overwrite what cannot be read: keep it aside for the user to look at.
    const SetAside aside = setAside(file_);
    readOnly_ = bool(aside.error);
    if (!readOnly_)
        setAsideAs_ = aside.as;
}

} // namespace dormivo::registry
