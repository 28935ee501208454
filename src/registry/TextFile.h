#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dormivo::registry {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// Replaces a file's content so that a crash leaves either the old or the new file, never
// half of one: written beside it, flushed to disk, then renamed over it. Makes the folder
// when needed. Returns whether the new content is in place.
bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text);

} // namespace dormivo::registry
