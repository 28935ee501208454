#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace dormivo::registry {

// Tells one version of a file from the next without reading it: which file it is, its size
// and when it was last written.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// The whole content of a file, or nothing when it cannot be read (or is no plain file).
// stamp, when given, receives the stamp of the very file that was read.
std::optional<std::string> readTextFile(const std::filesystem::path& path,
                                        FileStamp* stamp = nullptr);

// The stamp of the file a path names now, links followed; nothing when there is none.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);

// Who may read a file Dormivo writes: its own files are private to the user; files other
// programs of the desktop read (autostart entries) get the desktop's usual mode.
enum class FileAccess { OwnerOnly, EveryoneReads };

// Replaces a file's content so that a crash leaves either the old or the new file, never
// half of one: written beside it, flushed to disk, renamed over it, and the folder flushed
// so that the rename lasts. Makes the folder when needed. A link is written through: its
// target gets the new content and the link stays (dotfile managers keep files so). The file
// gets the access asked for whatever the umask (on POSIX systems). Returns whether every
// step succeeded; stamp, when given, receives the new file's stamp.
bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text,
                             FileAccess access = FileAccess::OwnerOnly, FileStamp* stamp = nullptr);

} // namespace dormivo::registry
