#pragma once

#include <optional>
#include <string>
#include <string_view>

// The two encodings a registry export comes in: the registry editor writes UTF-16LE, and
// Dormivo keeps its texts in UTF-8.
namespace dormivo::registry {

// UTF-16LE bytes as UTF-8, or nothing when they are not well-formed.
std::optional<std::string> fromUtf16(std::string_view bytes);
// UTF-8 as UTF-16LE bytes, or nothing when it is not well-formed.
std::optional<std::string> toUtf16(std::string_view text);

} // namespace dormivo::registry
