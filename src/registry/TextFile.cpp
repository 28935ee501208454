#include "registry/TextFile.h"

#include <cstdio>
#ifdef _WIN32
#include <fstream>
#include <io.h>
#include <sstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dormivo::registry {
namespace {

#ifdef _WIN32

// Windows has no inode number here; the size and the write time tell versions apart.
std::optional<FileStamp> stampOfPath(const std::filesystem::path& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error)
        return std::nullopt;
    stamp.modified = std::filesystem::last_write_time(path, error).time_since_epoch().count();
    return error ? std::nullopt : std::optional(stamp);
}

std::FILE* createPartial(const std::filesystem::path& partial, FileAccess) {
    return _wfopen(partial.c_str(), L"wb");
}

bool flushToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

bool stampOfWritten(std::FILE*, const std::filesystem::path& partial, FileStamp& stamp) {
    const auto found = stampOfPath(partial); // the rename keeps the size and the write time
    if (found)
        stamp = *found;
    return found.has_value();
}

// Windows cannot flush a folder; its file system journals the rename itself.
bool flushFolder(const std::filesystem::path&) {
    return true;
}

#else

FileStamp stampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// Opens the file beside the target with its final mode from the start, so that no other user
// can read a private file even for a moment.
std::FILE* createPartial(const std::filesystem::path& partial, FileAccess access) {
    const mode_t mode = access == FileAccess::OwnerOnly ? 0600 : 0644;
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return nullptr;
    // The umask may have narrowed the mode, and a leftover partial file kept its old one.
    if (::fchmod(fd, mode) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* out = ::fdopen(fd, "wb");
    if (!out)
        ::close(fd);
    return out;
}

bool flushToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

// Taken from the open file, so that no later change by another program can slip in.
bool stampOfWritten(std::FILE* file, const std::filesystem::path&, FileStamp& stamp) {
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0)
        return false;
    stamp = stampFrom(info);
    return true;
}

bool flushFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot flush a folder at all (EINVAL): there is nothing to wait for.
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
    return ::close(fd) == 0 && flushed;
}

#endif

// The file a path finally names: a link's target, that target's own target, and so on;
// nothing for a loop of links.
std::optional<std::filesystem::path> finalTarget(std::filesystem::path path) {
    std::error_code error;
    for (int hops = 0; hops < 40; ++hops) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
            return path;
        const auto target = std::filesystem::read_symlink(path, error);
        if (error)
            return std::nullopt;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return std::nullopt;
}

} // namespace

#ifdef _WIN32

std::optional<std::string> readTextFile(const std::filesystem::path& path, FileStamp* stamp) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    if (stamp)
        *stamp = stampOfPath(path).value_or(FileStamp{});
    return text.str();
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path) {
    return stampOfPath(path);
}

#else

std::optional<std::string> readTextFile(const std::filesystem::path& path, FileStamp* stamp) {
    // Not blocking, so that a pipe in the file's place cannot hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> text;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.emplace();
        char buffer[1 << 16];
        for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
            if (got > 0) {
                text->append(buffer, static_cast<std::size_t>(got));
            } else if (errno != EINTR) {
                text.reset();
                break;
            }
        }
    }
    ::close(fd);
    if (text && stamp)
        *stamp = stampFrom(info);
    return text;
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return stampFrom(info);
}

#endif

bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text,
                             FileAccess access, FileStamp* stamp) {
    const auto target = finalTarget(path);
    if (!target)
        return false;
    const std::filesystem::path folder = target->parent_path();
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    std::filesystem::path partial = *target;
    partial += ".partial";
    std::FILE* out = createPartial(partial, access);
    if (!out)
        return false;
    FileStamp written;
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size() &&
              std::fflush(out) == 0 && flushToDisk(out) && stampOfWritten(out, partial, written);
    ok = std::fclose(out) == 0 && ok;
    if (ok) {
        std::filesystem::rename(partial, *target, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(partial, error);
        return false;
    }
    if (stamp)
        *stamp = written;
    return flushFolder(folder);
}

} // namespace dormivo::registry
