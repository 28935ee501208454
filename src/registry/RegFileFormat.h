#pragma once

#include "registry/HiveKey.h"

#include <cstddef>
#include <optional>
#include <string>

namespace dormivo::registry {

// The registry editor's export text ("Windows Registry Editor Version 5.00"): one
// [ROOT\path] section per key, then its values as "name"="text", "name"=dword:0000002a,
// "name"=hex:ff,00 or "name"=hex(N):.. for any other type or irregular data.
// The forest's children are the roots (HKEY_LOCAL_MACHINE, ...).
namespace RegFileFormat {

// How a file's text is laid out, so that it is written back as it was found: the registry
// editor exports UTF-16LE after a byte-order mark with CRLF line ends.
struct TextForm {
    bool utf16 = false;
    bool crlf = false;
};

// Beyond these limits a file is no registry export but damage or an attack, which would cost
// the program its stack, its memory or its time; it is refused like any unreadable file.
// The depth and the name length are those of the Windows registry. Every key is written with
// its full path, so a file that names a deep key implies many long sections: the sections of
// all its keys, implied ones included, must fit in the size limit too, which also bounds the
// number of keys (each takes at least a short line).
inline constexpr std::size_t kMaxFileBytes = 1024 * 1024; // Dormivo's own values take < 1 kB
inline constexpr std::size_t kMaxDepth = 512;             // levels of keys below a root
inline constexpr std::size_t kMaxKeyNameChars = 255;

// Whether a path below a root stays within the depth and name limits.
bool pathWithinLimits(std::string_view path);

std::string write(const HiveKey& forest, TextForm form = {});
// The keys and values of a file's bytes, or nothing when any line of it cannot be read or the
// file goes beyond the limits.
std::optional<HiveKey> read(const std::string& bytes, TextForm* form = nullptr);

} // namespace RegFileFormat
} // namespace dormivo::registry
