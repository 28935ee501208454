#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace dormivo::registry {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// Who may read a file Dormivo writes: its own files are private to the user; files other
// programs of the desktop read (autostart entries) get the desktop's usual mode.
enum class FileAccess { OwnerOnly, EveryoneReads };

// Replaces a file's content so that a crash leaves either the old or the new file, never
// half of one: written beside it, flushed to disk, then renamed over it. Makes the folder
// when needed. The file gets the access asked for whatever the umask (on POSIX systems).
// Returns whether the new content is in place.
bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text,
                             FileAccess access = FileAccess::OwnerOnly);

} // namespace dormivo::registry
