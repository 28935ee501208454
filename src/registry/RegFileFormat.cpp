#include "registry/RegFileFormat.h"

#include "registry/RegistryApi.h"
#include "registry/Utf16.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace dormivo::registry::RegFileFormat {
namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00";
const std::string kUtf16Mark = "\xFF\xFE";
const std::array<std::string, 4> kRoots{"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                        "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string hexList(const std::vector<std::uint8_t>& data) {
    std::string out;
    char byte[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        if (i)
            out += ',';
        out += byte;
    }
    return out;
}

// A text value is written as text only when it reads back to the very same bytes.
bool plainText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0 || data[i] == '\n' || data[i] == '\r')
            return false;
    return true;
}

std::string valueText(const HiveValue& value) {
    if (value.type == REG_SZ && plainText(value.data))
        return quoted(std::string(value.data.begin(), value.data.end() - 1));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        char number[16];
        const std::uint32_t n = value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                static_cast<std::uint32_t>(value.data[3]) << 24;
        std::snprintf(number, sizeof number, "dword:%08x", n);
        return number;
    }
    if (value.type == REG_BINARY)
        return "hex:" + hexList(value.data);
    // The type in hexadecimal, as the registry editor writes it (REG_QWORD is "hex(b)").
    char type[16];
    std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
    return type + hexList(value.data);
}

// Keys in depth-first order, each as a section with its full path, as the registry editor
// exports them. Walked with a stack of its own: a hive may be as deep as the limits allow.
void writeKeys(std::ostringstream& out, const HiveKey& root) {
    std::vector<std::pair<const HiveKey*, std::string>> pending{{&root, root.name}};
    while (!pending.empty()) {
        auto [key, path] = std::move(pending.back());
        pending.pop_back();
        // A root always exists: it needs a section only for values of its own.
        if (key != &root || !key->values.empty()) {
            out << "[" << path << "]\n";
            for (const auto& value : key->values)
                out << (value.name.empty() ? "@" : quoted(value.name)) << "=" << valueText(value)
                    << "\n";
            out << "\n";
        }
        for (auto child = key->children.rbegin(); child != key->children.rend(); ++child)
            pending.emplace_back(child->second.get(), path + "\\" + child->second->name);
    }
}

// Characters, not bytes, as the registry counts them.
std::size_t characters(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The key a section names, made with any missing keys above it; nothing when the path goes
// beyond the limits or the new keys' sections would not fit in the room left.
HiveKey* sectionKey(HiveKey& forest, const std::string& path, std::size_t& room) {
    const auto parts = pathParts(path);
    if (parts.empty() || !pathWithinLimits(path.substr(parts[0].size())))
        return nullptr;
    HiveKey* key = &forest;
    std::size_t pathBytes = 0;
    for (const std::string_view part : parts) {
        pathBytes += (key == &forest ? 0 : 1) + part.size();
        HiveKey* child = key->child(part);
        if (!child) {
            // "[", "]", a line end, a blank line. A root takes none: it has a section only
            // for values of its own, so charging it would refuse files written within the size.
            const std::size_t section = key == &forest ? 0 : pathBytes + 4;
            if (section > room)
                return nullptr;
            room -= section;
            child = &key->childOrNew(part);
        }
        key = child;
    }
    return key;
}

// Reads a quoted text at pos; pos ends after the closing quote.
std::optional<std::string> readQuoted(const std::string& line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string text;
    for (++pos; pos < line.size(); ++pos) {
        if (line[pos] == '\\' && pos + 1 < line.size()) {
            text += line[++pos];
        } else if (line[pos] == '"') {
            ++pos;
            return text;
        } else {
            text += line[pos];
        }
    }
    return std::nullopt;
}

// A whole number in hexadecimal that fills the text, of exactly `digits` digits when given.
std::optional<std::uint32_t> hexNumber(std::string_view text, std::size_t digits = 0) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 16);
    if (error != std::errc() || end != text.data() + text.size() ||
        (digits && text.size() != digits))
        return std::nullopt;
    return number;
}

std::optional<std::vector<std::uint8_t>> readHex(std::string_view list) {
    std::vector<std::uint8_t> data;
    data.reserve(list.size() / 3 + 1);
    for (std::size_t pos = 0; pos < list.size(); pos += 3) {
        const auto byte = hexNumber(list.substr(pos, 2), 2);
        if (!byte || (pos + 2 < list.size() && list[pos + 2] != ','))
            return std::nullopt;
        data.push_back(static_cast<std::uint8_t>(*byte));
    }
    return data;
}

// Appends the value a line gives to the key's values, unsorted.
bool readValue(const std::string& line, HiveKey& key) {
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else if (auto text = readQuoted(line, pos)) {
        name = *text;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos++] != '=')
        return false;
    const std::string_view rest = std::string_view(line).substr(pos);
    const auto add = [&](std::uint32_t type, std::vector<std::uint8_t> data) {
        key.values.push_back({std::move(name), type, std::move(data)});
        return true;
    };
    if (!rest.empty() && rest[0] == '"') {
        std::size_t at = pos;
        const auto text = readQuoted(line, at);
        if (!text || at != line.size())
            return false;
        std::vector<std::uint8_t> data(text->begin(), text->end());
        data.push_back(0);
        return add(REG_SZ, std::move(data));
    }
    if (rest.starts_with("dword:")) {
        const auto number = hexNumber(rest.substr(6), 8);
        if (!number)
            return false;
        return add(REG_DWORD,
                   {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                    static_cast<std::uint8_t>(*number >> 16),
                    static_cast<std::uint8_t>(*number >> 24)});
    }
    std::uint32_t type = REG_BINARY;
    std::size_t listStart = 4;
    if (rest.starts_with("hex(")) {
        const auto close = rest.find("):");
        const auto number =
            close == std::string_view::npos ? std::nullopt : hexNumber(rest.substr(4, close - 4));
        if (!number)
            return false;
        type = *number;
        listStart = close + 2;
    } else if (!rest.starts_with("hex:")) {
        return false;
    }
    auto data = readHex(rest.substr(listStart));
    return data && add(type, std::move(*data));
}

} // namespace

bool pathWithinLimits(std::string_view path) {
    const auto parts = pathParts(path);
    if (parts.size() > kMaxDepth)
        return false;
    for (const std::string_view part : parts)
        if (characters(part) > kMaxKeyNameChars)
            return false;
    return true;
}

std::string write(const HiveKey& forest, TextForm form) {
    std::ostringstream out;
    out << kHeader << "\n\n";
    for (const auto& [folded, root] : forest.children)
        writeKeys(out, *root);
    std::string text = out.str();
    if (form.crlf) {
        std::string lines;
        lines.reserve(text.size() + text.size() / 8);
        for (const char c : text) {
            if (c == '\n')
                lines.push_back('\r');
            lines.push_back(c);
        }
        text = std::move(lines);
    }
    // A text that UTF-16 cannot carry stays UTF-8, which reads back all the same.
    if (const auto utf16 = form.utf16 ? toUtf16(text) : std::nullopt)
        return kUtf16Mark + *utf16;
    return text;
}

std::optional<HiveKey> read(const std::string& bytes, TextForm* form) {
    if (bytes.size() > kMaxFileBytes)
        return std::nullopt;
    const bool utf16 = bytes.starts_with(kUtf16Mark);
    const auto text = utf16 ? fromUtf16(std::string_view(bytes).substr(2)) : bytes;
    if (!text)
        return std::nullopt;
    const auto firstEnd = text->find('\n');
    if (form)
        *form = {utf16,
                 firstEnd != std::string::npos && firstEnd > 0 && (*text)[firstEnd - 1] == '\r'};
    std::istringstream in(*text);
    std::string line;
    std::string pending;
    bool headerSeen = false;
    HiveKey forest;
    HiveKey* section = nullptr;
    std::size_t room = kMaxFileBytes;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A long hex list may go on over several lines, each but the last ending in '\'.
        // A comment ends at its line end, whatever it ends with.
        // The pieces are appended where they are, so that a long list costs its length once.
        const bool continued = !pending.empty();
        if (continued) {
            const auto start = line.find_first_not_of(' ');
            pending.append(line, start == std::string::npos ? line.size() : start);
        } else if (!line.empty() && line[0] == ';') {
            continue;
        }
        std::string& whole = continued ? pending : line;
        if (!whole.empty() && whole.back() == '\\' &&
            (continued || whole.find("=hex") != std::string::npos)) {
            whole.pop_back();
            if (!continued)
                pending = std::move(line);
            continue;
        }
        if (continued)
            line = std::move(pending);
        pending.clear();
        if (line.empty())
            continue;
        if (!headerSeen) {
            if (line != kHeader && line != "\xEF\xBB\xBF" + kHeader)
                return std::nullopt;
            headerSeen = true;
        } else if (line[0] == '[') {
            if (line.back() != ']')
                return std::nullopt;
            const std::string path = line.substr(1, line.size() - 2);
            const std::string root = path.substr(0, path.find('\\'));
            bool known = false;
            for (const auto& name : kRoots)
                known = known || name == root;
            section = known ? sectionKey(forest, path, room) : nullptr;
            if (!section)
                return std::nullopt;
        } else if (!section || !readValue(line, *section)) {
            return std::nullopt;
        }
    }
    if (!headerSeen || !pending.empty())
        return std::nullopt;
    forest.sortValues();
    return forest;
}

} // namespace dormivo::registry::RegFileFormat
