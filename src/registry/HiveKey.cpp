#include "registry/HiveKey.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace dormivo::registry {
namespace {

// As foldCase does, compared as std::string compares: by unsigned bytes.
unsigned char folded(char c) {
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

// a < b as their folded names compare, without folding a copy of either.
bool foldedLess(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(a, b, std::less<>(), folded, folded);
}

bool foldedEqual(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, std::equal_to<>(), folded, folded);
}

auto valuePosition(std::vector<HiveValue>& values, std::string_view name) {
    return std::lower_bound(
        values.begin(), values.end(), name,
        [](const HiveValue& v, std::string_view n) { return foldedLess(v.name, n); });
}

void sortOwnValues(std::vector<HiveValue>& values) {
    std::vector<std::pair<std::string, std::size_t>> order; // folded name, place in the file
    order.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        order.emplace_back(foldCase(values[i].name), i);
    std::ranges::sort(order);
    std::vector<HiveValue> sorted;
    sorted.reserve(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && order[i].first == order[i - 1].first) {
            HiveValue& kept = sorted.back();
            kept.type = values[order[i].second].type;
            kept.data = std::move(values[order[i].second].data);
        } else {
            sorted.push_back(std::move(values[order[i].second]));
        }
    }
    values = std::move(sorted);
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
    auto& list = const_cast<std::vector<HiveValue>&>(values);
    const auto found = valuePosition(list, valueName);
    return found != list.end() && foldedEqual(found->name, valueName) ? &*found : nullptr;
}

void HiveKey::setValue(std::string_view valueName, std::uint32_t type,
                       std::vector<std::uint8_t> data) {
    auto found = valuePosition(values, valueName);
    if (found == values.end() || !foldedEqual(found->name, valueName))
        found = values.insert(found, HiveValue{std::string(valueName), 0, {}});
    found->type = type;
    found->data = std::move(data);
}

bool HiveKey::deleteValue(std::string_view valueName) {
    const auto found = valuePosition(values, valueName);
    if (found == values.end() || !foldedEqual(found->name, valueName))
        return false;
    values.erase(found);
    return true;
}

void HiveKey::sortValues() {
    std::vector<HiveKey*> pending{this};
    while (!pending.empty()) {
        HiveKey* key = pending.back();
        pending.pop_back();
        sortOwnValues(key->values);
        for (auto& [folded, child] : key->children)
            pending.push_back(child.get());
    }
}

} // namespace dormivo::registry
