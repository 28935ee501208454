#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dormivo {
namespace {

std::error_code lastError() {
    return {errno, std::system_category()};
}

FileStamp stampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

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

std::error_code writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t put = ::write(fd, content.data(), content.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? lastError() : std::make_error_code(std::errc::io_error);
        content.remove_prefix(static_cast<std::size_t>(put));
    }
    return {};
}

std::error_code flushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    // Some file systems cannot flush a folder at all (EINVAL): there is nothing to wait for.
    std::error_code error;
    if (::fsync(fd) != 0 && errno != EINVAL)
        error = lastError();
    if (::close(fd) != 0 && !error)
        error = lastError();
    return error;
}

} // namespace

std::optional<std::string> readFile(const std::filesystem::path& path, FileStamp* stamp) {
    // Not blocking, so that a pipe in the file's place cannot hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> text;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        text.emplace();
        text->reserve(static_cast<std::size_t>(info.st_size));
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

std::error_code writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                                    FileAccess access, FileStamp* stamp) {
    const auto target = finalTarget(path);
    if (!target)
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    const std::filesystem::path folder =
        target->parent_path().empty() ? std::filesystem::path(".") : target->parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return error;
    // mkostemps creates with O_EXCL, which also refuses a link in the name's place.
    std::string partial = target->string() + ".XXXXXX.partial";
    const int fd = ::mkostemps(partial.data(), 8, O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return lastError();
    // Made owner-only; the mode asked for before any content, whatever the umask.
    struct stat info {};
    if (::fchmod(fd, access == FileAccess::OwnerOnly ? 0600 : 0644) != 0 ||
        (error = writeAll(fd, content)) || ::fsync(fd) != 0 || ::fstat(fd, &info) != 0)
        error = error ? error : lastError();
    // A write the disk could not take may be reported only here.
    if (::close(fd) != 0 && !error)
        error = lastError();
    if (!error && ::rename(partial.c_str(), target->c_str()) != 0)
        error = lastError();
    if (error) {
        ::unlink(partial.c_str());
        return error;
    }
    if (stamp)
        *stamp = stampFrom(info);
    return flushFolder(folder);
}

SetAside setAside(const std::filesystem::path& file) {
    std::filesystem::path aside = file.string() + ".bad";
    for (int n = 1;; ++n) {
        // Never onto a name that is taken, whoever takes it meanwhile; a file system that
        // cannot promise that is asked first.
        int moved = ::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            struct stat taken {};
            moved = ::lstat(aside.c_str(), &taken) == 0 ? (errno = EEXIST, -1)
                                                        : ::rename(file.c_str(), aside.c_str());
        }
        if (moved == 0)
            return {aside, {}};
        if (errno != EEXIST)
            return {aside, lastError()};
        aside = file.string() + ".bad." + std::to_string(n);
    }
}

} // namespace dormivo
