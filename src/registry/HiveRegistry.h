#pragma once

#include "common/AtomicFile.h"
#include "registry/HiveKey.h"
#include "registry/RegFileFormat.h"
#include "registry/RegistryApi.h"

#include <filesystem>
#include <functional>
#include <map>

namespace dormivo::registry {

// A registry kept by the program itself: keys and values in memory and, when given a file,
// saved there in the registry editor's export text after every change (written beside it
// and renamed over it, so a crash leaves the old or the new file, never half of one).
// Other programs may edit the file meanwhile: before each change the file is read again when
// it is no longer the one last read or written, and the change is made to what it holds.
// A change that cannot be saved is not kept in memory either.
// The file keeps the encoding (UTF-8, or UTF-16 as the registry editor exports) and the line
// ends it was found with. A file whose text cannot be read, or that goes beyond the format's
// limits, is set aside as "<file>.bad" (or .bad.1, .bad.2, ...: none is ever overwritten) and
// an empty hive is used. A file that cannot be opened at all (no permission, a folder) is not
// ours to replace: the hive then stays empty and refuses every change.
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
    // Whether the file is there but could not be read: what it holds is then unknown.
    bool unreadable() const { return readOnly_; }
    // Where the file was set aside when it was last read, or nothing when it was not.
    const std::optional<std::filesystem::path>& setAsideAs() const { return setAsideAs_; }
    // Called for every value set or deleted through this interface, once the change is saved,
    // and for a value asked to be deleted that the key does not hold.
    using ValueListener = std::function<void(const HiveKey& key, const std::string& valueName)>;
    void setValueListener(ValueListener listener) { onValueChange_ = std::move(listener); }
    // Called whenever the hive was read again from its file.
    void setReloadListener(std::function<void()> listener) { onReload_ = std::move(listener); }

private:
    // An open key, found again by its path on every use: a reload replaces every key.
    struct OpenedKey {
        Key root;
        std::string path;
    };
    std::optional<OpenedKey> opened(Key key) const;
    HiveKey* resolve(const OpenedKey& key);
    Key newHandle(OpenedKey key);
    void refresh(); // reads the file again when it changed since it was last read or written
    void reload();
    Status saved(); // saves the hive after a change, or forgets the change
    void load();

    std::filesystem::path file_;
    RegFileFormat::TextForm form_;
    std::optional<FileStamp> stamp_; // of the file as last read or written; none: no file
    bool readOnly_ = false;
    std::optional<std::filesystem::path> setAsideAs_;
    HiveKey forest_; // its children are the roots
    std::map<Key, OpenedKey> handles_;
    Key nextHandle_ = 0x1000;
    ValueListener onValueChange_;
    std::function<void()> onReload_;
};

} // namespace dormivo::registry
