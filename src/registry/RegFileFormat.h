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

std::string write(const HiveKey& forest);
// The keys and values of a text, or nothing when any line of it cannot be read.
std::optional<HiveKey> read(const std::string& text);

} // namespace RegFileFormat
} // namespace dormivo::registry
