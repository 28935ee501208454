#pragma once

#include "HiveKey.h"

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

std::string write(const HiveKey& forest, TextForm form = {});
// The keys and values of a file's bytes, or nothing when any line of it cannot be read.
std::optional<HiveKey> read(const std::string& bytes, TextForm* form = nullptr);

} // namespace RegFileFormat
} // namespace dormivo::registry
