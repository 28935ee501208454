#include "TextFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dormivo::registry {

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

// Opens the file beside the target with its final mode from the start, so that no other user
// can read a private file even for a moment.
std::FILE* createPartial(const std::filesystem::path& partial, FileAccess access) {
#ifdef _WIN32
    (void)access;
    return std::fopen(partial.string().c_str(), "wb");
#else
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
#endif
}

} // namespace

bool writeTextFileAtomically(const std::filesystem::path& path, const std::string& text,
                             FileAccess access) {
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    std::filesystem::path partial = path;
    partial += ".partial";
    std::FILE* out = createPartial(partial, access);
    if (!out)
        return false;
    const bool written =
        std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
#ifdef _WIN32
    _commit(_fileno(out));
#else
    fsync(fileno(out));
#endif
    std::fclose(out);
    if (written)
        std::filesystem::rename(partial, path, error);
    else
        std::filesystem::remove(partial, error);
    return written && !error;
}

} // namespace dormivo::registry
