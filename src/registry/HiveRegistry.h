#pragma once

#include "HiveKey.h"
#include "RegFileFormat.h"
#include "RegistryApi.h"

#include <filesystem>
#include <functional>
#include <map>

namespace dormivo::registry {

// A registry kept by the program itself: keys and values in memory and, when given a file,
// saved there in the registry editor's export text after every change (written beside it
// and renamed over it, so a crash leaves the old or the new file, never half of one).
// The file keeps the encoding (UTF-8, or UTF-16 as the registry editor exports) and the line
// ends it was found with. A file whose text cannot be read is set aside as "<file>.bad" (or
// .bad.1, .bad.2, ...: none is ever overwritten) and an empty hive is used. A file that
// cannot be opened at all (no permission, a folder) is not ours to replace: the hive then
// stays empty and refuses every change.
class HiveRegistry : public RegistryApi {
public:
    HiveRegistry() = default;                          // in memory only
    explicit HiveRegistry(std::filesystem::path file); // loaded from and saved to file

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

    // The key at a path below a root, for readers of the whole hive; null when missing.
    const HiveKey* findKey(Key root, const std::string& path) const;
    // Called for every value set or deleted through this interface, once the change is saved.
    using ValueListener = std::function<void(const HiveKey& key, const std::string& valueName)>;
    void setValueListener(ValueListener listener) { onValueChange_ = std::move(listener); }

private:
    HiveKey* resolve(Key key) const;
    Status saved(); // saves the hive after a change
    void load();

    std::filesystem::path file_;
    RegFileFormat::TextForm form_;
    bool readOnly_ = false;
    HiveKey forest_; // its children are the roots
    std::map<Key, HiveKey*> handles_;
    Key nextHandle_ = 0x1000;
    ValueListener onValueChange_;
};

} // namespace dormivo::registry
