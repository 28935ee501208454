#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dormivo::registry {

// Registry names compare without regard to letter case.
std::string foldCase(std::string_view name);

// The non-empty parts of a backslash-separated key path.
std::vector<std::string_view> pathParts(std::string_view path);

struct HiveValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// One key of a hive: its subkeys by folded name, and its values kept in the order of their
// folded names, so that enumeration is stable.
struct HiveKey {
    std::string name;
    std::map<std::string, std::unique_ptr<HiveKey>> children;
    std::vector<HiveValue> values;

    HiveKey() = default;
    // Frees the keys below one at a time: a chain of keys as deep as a hostile file makes
    // it would overflow the stack if each key freed its children itself.
    ~HiveKey();
    HiveKey(HiveKey&&) = default;
    HiveKey& operator=(HiveKey&&) = default;

    HiveKey* child(std::string_view childName) const;
    HiveKey& childOrNew(std::string_view childName);
    // The key at a backslash-separated path below this one, or null.
    HiveKey* find(std::string_view path) const;
    HiveKey& findOrCreate(std::string_view path);

    const HiveValue* value(std::string_view valueName) const;
    // Replaces the data and type of a value of that name (keeping the name as first
    // written) or adds it.
    void setValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
    bool deleteValue(std::string_view valueName);
    // Puts the values of this key and of every key below it in order, for values appended as
    // a file gave them: one sort per key, where setting them one by one would move the values
    // behind each. A name given twice keeps its first spelling and its last data, as
    // setValue does.
    void sortValues();
};

} // namespace dormivo::registry
