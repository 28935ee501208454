#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace dormivo {

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
std::optional<std::string> readFile(const std::filesystem::path& path, FileStamp* stamp = nullptr);

// The stamp of the file a path names now, links followed; nothing when there is none.
std::optional<FileStamp> stampOf(const std::filesystem::path& path);

// Who may read a file Dormivo writes: its own files are private to the user; files other
// programs of the desktop read (autostart entries) get the desktop's usual mode.
enum class FileAccess { OwnerOnly, EveryoneReads };

// The one way Dormivo writes a file (the hive, the private settings copy, autostart entries):
// a crash leaves the old file or the new one, never half of one. The content goes to a new
// file beside the target, created under a name of its own that no link or earlier file can
// hold (exclusive creation, no link followed), with its final mode before the first byte
// whatever the umask; it is flushed to the disk, renamed over the target, and the folder is
// flushed so that the rename lasts. A link is written through: its target gets the content
// and the link stays (dotfile managers keep files so). Makes the folder when needed.
// Not QSaveFile: the registry has no Qt, and QSaveFile leaves the folder unflushed after its
// rename, so a crash soon after can lose the new name. Returns the first step's failure, or
// nothing; stamp, when given, receives the new file's stamp.
std::error_code writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                                    FileAccess access = FileAccess::OwnerOnly,
                                    FileStamp* stamp = nullptr);

// Moves a file that cannot be used out of the way, for the user to look at: to "<file>.bad",
// or .bad.1, .bad.2, ...; none set aside before is ever overwritten, even by a race.
// Returns the new name, or the failure.
struct SetAside {
    std::filesystem::path as;
    std::error_code error;
};
SetAside setAside(const std::filesystem::path& file);

} // namespace dormivo
