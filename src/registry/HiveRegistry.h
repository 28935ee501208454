#pragma once

#include "HiveKey.h"
#include "RegistryApi.h"

#include <filesystem>
#include <functional>
#include <map>

namespace dormivo::registry {

// A registry kept by the program itself: keys and values in memory and, when given a file,
// saved there in the registry editor's export text after every change (written beside it
// and renamed over it, so a crash leaves the old or the new file, never half of one).
// A file that cannot be read is set aside as "<file>.bad" and an empty hive is used.
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
    // Called after every change has been saved.
    void setChangeListener(std::function<void()> listener) { onChange_ = std::move(listener); }

private:
    HiveKey* resolve(Key key) const;
    Status changed(); // saves the hive, then tells the listener
    void load();
    bool save() const;

    std::filesystem::path file_;
    HiveKey forest_; // its children are the roots
    std::map<Key, HiveKey*> handles_;
    Key nextHandle_ = 0x1000;
    std::function<void()> onChange_;
};

} // namespace dormivo::registry
