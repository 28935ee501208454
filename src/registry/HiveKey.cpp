#include "registry/HiveKey.h"

#include <algorithm>
#include <cctype>

namespace dormivo::registry {
namespace {

auto valuePosition(std::vector<HiveValue>& values, const std::string& folded) {
    return std::lower_bound(
        values.begin(), values.end(), folded,
        [](const HiveValue& v, const std::string& f) { return foldCase(v.name) < f; });
}

} // namespace

std::vector<std::string_view> pathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto cut = path.find('\\');
        if (const std::string_view part = path.substr(0, cut); !part.empty())
            parts.push_back(part);
        if (cut == std::string_view::npos)
            break;
        path.remove_prefix(cut + 1);
    }
    return parts;
}

HiveKey::~HiveKey() {
    std::vector<std::unique_ptr<HiveKey>> pending;
    const auto takeChildren = [&pending](HiveKey& key) {
        for (auto& [folded, child] : key.children)
            pending.push_back(std::move(child));
        key.children.clear();
    };
    takeChildren(*this);
    while (!pending.empty()) {
        std::unique_ptr<HiveKey> key = std::move(pending.back());
        pending.pop_back();
        takeChildren(*key);
    }
}

std::string foldCase(std::string_view name) {
    std::string folded(name);
    std::ranges::transform(folded, folded.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

HiveKey* HiveKey::child(std::string_view childName) const {
    const auto found = children.find(foldCase(childName));
    return found == children.end() ? nullptr : found->second.get();
}

HiveKey& HiveKey::childOrNew(std::string_view childName) {
    auto& slot = children[foldCase(childName)];
    if (!slot) {
        slot = std::make_unique<HiveKey>();
        slot->name = std::string(childName);
    }
    return *slot;
}

HiveKey* HiveKey::find(std::string_view path) const {
    const HiveKey* key = this;
    for (const std::string_view part : pathParts(path))
        if (key)
            key = key->child(part);
    return const_cast<HiveKey*>(key);
}

HiveKey& HiveKey::findOrCreate(std::string_view path) {
    HiveKey* key = this;
    for (const std::string_view part : pathParts(path))
        key = &key->childOrNew(part);
    return *key;
}

const HiveValue* HiveKey::value(std::string_view valueName) const {
    const std::string folded = foldCase(valueName);
    auto& list = const_cast<std::vector<HiveValue>&>(values);
    const auto found = valuePosition(list, folded);
    return found != list.end() && foldCase(found->name) == folded ? &*found : nullptr;
}

void HiveKey::setValue(std::string_view valueName, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
    const std::string folded = foldCase(valueName);
    auto found = valuePosition(values, folded);
    if (found == values.end() || foldCase(found->name) != folded)
        found = values.insert(found, HiveValue{std::string(valueName), 0, {}});
    found->type = type;
    found->data = std::move(data);
}

bool HiveKey::deleteValue(std::string_view valueName) {
    const std::string folded = foldCase(valueName);
    const auto found = valuePosition(values, folded);
    if (found == values.end() || foldCase(found->name) != folded)
        return false;
    values.erase(found);
    return true;
}

} // namespace dormivo::registry
